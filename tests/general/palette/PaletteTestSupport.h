#pragma once
// Palettes of the palette tests, built through the public operations, and a compact rendering
// of a chain.

#include "general/palette/ColorPalette1D.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kelvorn::palettetest {

inline constexpr int32_t black = 0x000000;
inline constexpr int32_t white = 0xFFFFFF;
inline constexpr int32_t red = 0x0000FF;
inline constexpr int32_t green = 0x00FF00;
inline constexpr int32_t blue = 0xFF0000;

struct Stop
{
    double position;
    int32_t before;
    bool useAfter = false;
    int32_t after = 0;
};

/// A palette from begin to end with the given inner stops, inserted in the order given.
inline TColorPalette1DItem Palette(int32_t begin, const std::vector<Stop>& inner, int32_t end)
{
    TColorPalette1DItem head(begin, end);
    for (const Stop& s : inner) {
        TColorPalette1DItem* item = head.Insert(s.position, s.before);
        if (item && s.useAfter) {
            item->SetUseColorAfter(true);
            item->SetColorAfter(s.after);
        }
    }
    return head;
}

/// One entry per stop: "position:BBGGRR" with "/BBGGRR" for a colour-after in use.
inline std::vector<std::string> Render(const TColorPalette1DItem& head)
{
    std::vector<std::string> out;
    for (const TColorPalette1DItem* s = &head; s; s = s->GetNext()) {
        char buffer[64];
        std::snprintf(buffer, sizeof(buffer), "%g:%06X", s->GetDPosition(),
                      static_cast<unsigned>(s->GetColorBefore()));
        std::string entry = buffer;
        if (s->GetUseColorAfter()) {
            std::snprintf(buffer, sizeof(buffer), "/%06X",
                          static_cast<unsigned>(s->GetColorAfter()));
            entry += buffer;
        }
        out.push_back(entry);
    }
    return out;
}

} // namespace kelvorn::palettetest
