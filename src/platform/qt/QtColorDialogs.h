#pragma once
// The colour dialog on QColorDialog.

#include "platform/ColorDialogs.h"

#include <QColor>

class QWidget;

namespace kelvorn {

/// The QColor of a 0x00BBGGRR colour, and back (the alpha channel is dropped).
QColor ToQColor(int32_t color);
int32_t FromQColor(const QColor& color);

class QtColorDialogs final : public ColorDialogs
{
public:
    /// owner: the window the dialog centres on; null takes the active window at each call.
    explicit QtColorDialogs(QWidget* owner = nullptr) : owner(owner) {}

    bool ChooseColor(int32_t& color) override;

private:
    QWidget* owner;
};

} // namespace kelvorn
