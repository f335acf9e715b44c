#include "platform/qt/QtColorDialog.h"

#include <QApplication>
#include <QColorDialog>

namespace kelvorn {

bool QtColorDialog::PickColor(const std::string& title, int32_t& color)
{
    const QColor initial(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(initial, QApplication::activeWindow(),
                                                 QString::fromStdString(title));
    if (!chosen.isValid())
        return false;
    color = chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16);
    return true;
}

} // namespace kelvorn
