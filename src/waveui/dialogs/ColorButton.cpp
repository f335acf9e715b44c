#include "waveui/dialogs/ColorButton.h"

#include "platform/ColorDialogs.h"
#include "platform/Services.h"
#include "platform/qt/QtColorDialogs.h"

namespace kelvorn {

TColorButton::TColorButton(QWidget* parent) : QPushButton(parent)
{
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &TColorButton::Choose);
    SetColor(0);
}

void TColorButton::SetColor(int32_t newColor)
{
    color = newColor & 0xFFFFFF;
    // A style sheet rather than the palette: most styles paint push buttons in their own
    // colours and ignore the palette's button colour.
    setStyleSheet(QStringLiteral("background-color: %1;").arg(ToQColor(color).name()));
}

void TColorButton::Choose()
{
    ColorDialogs* dialogs = FindService<ColorDialogs>();
    if (!dialogs)
        return;
    int32_t chosen = color;
    if (!dialogs->ChooseColor(chosen))
        return;
    SetColor(chosen);
    emit ColorChosen(color);
}

} // namespace kelvorn
