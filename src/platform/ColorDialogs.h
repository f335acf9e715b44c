#pragma once
// The colour dialog. A colour box of a dialog asks for a colour starting from its own and gets
// the chosen one back; the program's implementation shows the toolkit's colour dialog, a test's
// answers from a script, so no test waits on one.
//
// Colours are the records' 32-bit values with red in the low byte, then green and blue
// (0x00BBGGRR); the top byte is always 0 in an answer.

#include <cstdint>

namespace kelvorn {

class ColorDialogs
{
public:
    static constexpr const char* ServiceName = "ColorDialogs";
    virtual ~ColorDialogs() = default;

    /// Shows the dialog starting at color. True with the chosen colour in color; false, color
    /// untouched, when cancelled.
    virtual bool ChooseColor(int32_t& color) = 0;
};

} // namespace kelvorn
