#include "window_base/ColorCombo.h"

#include "general/Services.h"
#include "platform/ColorDialog.h"

#include <QPainter>
#include <QPixmap>

namespace kelvorn {

namespace {

constexpr int kSwatch = 12;
constexpr const char* kCustomText = "Custom...";

} // namespace

const std::vector<TColorCombo::NamedColor>& TColorCombo::NamedColors()
{
    static const std::vector<NamedColor> colors{
        {"Black", 0x000000}, {"Maroon", 0x000080},      {"Green", 0x008000},
        {"Olive", 0x008080}, {"Navy", 0x800000},        {"Purple", 0x800080},
        {"Teal", 0x808000},  {"Gray", 0x808080},        {"Silver", 0xC0C0C0},
        {"Red", 0x0000FF},   {"Lime", 0x00FF00},        {"Yellow", 0x00FFFF},
        {"Blue", 0xFF0000},  {"Fuchsia", 0xFF00FF},     {"Aqua", 0xFFFF00},
        {"White", 0xFFFFFF}, {"Money Green", 0xC0DCC0}, {"Sky Blue", 0xF0CAA6},
        {"Cream", 0xF0FBFF}, {"Medium Gray", 0xA4A0A0},
    };
    return colors;
}

QString TColorCombo::ColorName(int32_t color)
{
    for (const NamedColor& named : NamedColors())
        if (named.color == color)
            return QLatin1String(named.name);
    return QStringLiteral("$%1")
        .arg(static_cast<uint32_t>(color), 8, 16, QLatin1Char('0'))
        .toUpper();
}

QColor TColorCombo::ToQColor(int32_t color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

TColorCombo::TColorCombo(QWidget* parent) : QComboBox(parent)
{
    for (const NamedColor& named : NamedColors())
        AddItem(QLatin1String(named.name), named.color);
    addItem(QLatin1String(kCustomText));
    setCurrentIndex(0);
    connect(this, &QComboBox::activated, this, &TColorCombo::ChooseRow);
}

void TColorCombo::AddItem(const QString& text, int32_t color)
{
    QPixmap swatch(kSwatch, kSwatch);
    swatch.fill(ToQColor(color));
    QPainter painter(&swatch);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, kSwatch - 1, kSwatch - 1);
    painter.end();
    addItem(QIcon(swatch), text, color);
}

void TColorCombo::SetColor(int32_t color)
{
    current = color;
    for (int row = 0; row < CustomRow(); ++row) {
        if (itemData(row).toInt() == color) {
            setCurrentIndex(row);
            return;
        }
    }
    // One custom item at most, kept just above "Custom...", so the list does not grow with
    // every colour the user tries.
    if (hasCustomItem)
        removeItem(CustomRow() - 1);
    const QString text = ColorName(color);
    QPixmap swatch(kSwatch, kSwatch);
    swatch.fill(ToQColor(color));
    insertItem(CustomRow(), QIcon(swatch), text, color);
    hasCustomItem = true;
    setCurrentIndex(CustomRow() - 1);
}

void TColorCombo::ChooseRow(int row)
{
    if (row < 0 || row >= count())
        return;
    if (row != CustomRow()) {
        SetColor(itemData(row).toInt());
        emit ColorPicked(current);
        return;
    }
    int32_t color = current;
    ColorDialog* dialog = FindService<ColorDialog>();
    if (!dialog || !dialog->PickColor("Color", color)) {
        SetColor(current);
        return;
    }
    SetColor(color);
    emit ColorPicked(current);
}

} // namespace kelvorn
