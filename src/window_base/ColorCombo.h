#pragma once
// A colour list: the sixteen standard colours and four extended ones by name, the custom
// colour in use (when it is none of them) and "Custom...", which asks the ColorDialog service
// for any colour. Colours are 0x00BBGGRR. Each item shows a swatch before its name.
//
// ColorPicked fires only for a choice of the user (an item chosen, or a custom colour
// confirmed), never for SetColor, so a dialog filling its fields needs no guard against its
// own echo.

#include <QComboBox>

#include <cstdint>
#include <vector>

namespace kelvorn {

class TColorCombo : public QComboBox
{
    Q_OBJECT

public:
    struct NamedColor
    {
        const char* name;
        int32_t color;
    };
    /// The named colours in list order.
    static const std::vector<NamedColor>& NamedColors();
    /// The name of a named colour; for any other the hexadecimal "$00BBGGRR" text.
    static QString ColorName(int32_t color);
    static QColor ToQColor(int32_t color);

    explicit TColorCombo(QWidget* parent = nullptr);

    /// Shows color, adding or replacing the custom item when no named item has it.
    void SetColor(int32_t color);
    int32_t Color() const { return current; }

    /// Acts as the user choosing row: a colour item is taken at once; "Custom..." asks the
    /// colour dialog and, when cancelled, leaves the former colour shown.
    void ChooseRow(int row);
    /// The row of "Custom...".
    int CustomRow() const { return count() - 1; }

signals:
    void ColorPicked(int32_t color);

private:
    void AddItem(const QString& text, int32_t color);

    int32_t current = 0;
    bool hasCustomItem = false;
};

} // namespace kelvorn
