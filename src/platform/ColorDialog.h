#pragma once
// The colour dialog. A colour list's "Custom..." entry asks this service for a colour; the
// program shows the toolkit's colour dialog, a test answers from a script, so no test waits on
// a modal box. Colours travel as the program keeps them everywhere: 0x00BBGGRR.

#include <cstdint>
#include <string>

namespace kelvorn {

class ColorDialog
{
public:
    static constexpr const char* ServiceName = "ColorDialog";
    virtual ~ColorDialog() = default;

    /// Shows the dialog titled title, starting at color. True with the chosen colour in color;
    /// false, color untouched, when cancelled.
    virtual bool PickColor(const std::string& title, int32_t& color) = 0;
};

} // namespace kelvorn
