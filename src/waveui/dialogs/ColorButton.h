#pragma once
// A colour box of the view dialogs: a button filled with its colour that opens the colour
// dialog (platform/ColorDialogs.h) on a click and takes the colour picked there.

#include <QPushButton>

#include <cstdint>

namespace kelvorn {

class TColorButton : public QPushButton
{
    Q_OBJECT

public:
    explicit TColorButton(QWidget* parent = nullptr);

    /// 0x00BBGGRR.
    int32_t Color() const { return color; }
    void SetColor(int32_t newColor);

signals:
    /// The user picked a colour in the dialog (also when it is the same one).
    void ColorChosen(int32_t color);

private:
    void Choose();

    int32_t color = 0;
};

} // namespace kelvorn
