#include "window_base/DialogFonts.h"

#include <QStringList>

namespace kelvorn {

namespace {

QFont Make(const QStringList& families, QFont::StyleHint hint, int pixelSize, bool bold)
{
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace

QFont DialogFont(int pixelSize, bool bold)
{
    return ArialFont(pixelSize, bold);
}

QFont ArialFont(int pixelSize, bool bold)
{
    return Make({"Arial", "Liberation Sans", "Arimo", "DejaVu Sans"}, QFont::SansSerif, pixelSize,
                bold);
}

QFont TerminalFont(int pixelSize)
{
    return Make({"Terminal", "Liberation Mono", "Cousine", "DejaVu Sans Mono"}, QFont::TypeWriter,
                pixelSize, false);
}

QFont SerifFont(int pixelSize, bool bold)
{
    return Make({"Times New Roman", "Liberation Serif", "Tinos", "DejaVu Serif"}, QFont::Serif,
                pixelSize, bold);
}

} // namespace kelvorn
