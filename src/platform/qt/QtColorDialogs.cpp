#include "platform/qt/QtColorDialogs.h"

#include <QApplication>
#include <QColorDialog>

namespace kelvorn {

QColor ToQColor(int32_t color)
{
    const auto c = static_cast<uint32_t>(color);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

int32_t FromQColor(const QColor& color)
{
    return int32_t(uint32_t(color.red()) | uint32_t(color.green()) << 8 |
                   uint32_t(color.blue()) << 16);
}

bool QtColorDialogs::ChooseColor(int32_t& color)
{
    QWidget* parent = owner ? owner : QApplication::activeWindow();
    const QColor chosen = QColorDialog::getColor(ToQColor(color), parent);
    if (!chosen.isValid())
        return false;
    color = FromQColor(chosen);
    return true;
}

} // namespace kelvorn
