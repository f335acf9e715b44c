// Tokenize, parse against the palette file grammar and read the palette, all from memory, then
// look colours up over [0, 1]. Invariant: a failure with a message that leaves the former palette
// as it was, or a whole palette (head at 0, end at 1, positions strictly increasing) whose every
// colour look-up stays quiet and that writes a file read back stop for stop.
#include "general/Messages.h"
#include "general/Services.h"
#include "general/palette/ColorPalette1D.h"
#include "general/xml/XMLToken.h"
#include "general/xml/XMLWriter.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace kelvorn;

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// A version other than 1.0 is a soft assertion and may appear; any other box is a fault.
class CountingSink final : public MessageSink
{
public:
    MsgAnswer Show(const std::string&, const std::string& caption, MsgIcon, MsgButtons) override
    {
        Require(caption == "Assertion failed");
        ++count;
        return MsgAnswer::Ok;
    }
    int count = 0;
};

bool ReadFromMemory(TColorPalette1DItem& palette, const std::string& bytes, std::string& message)
{
    std::string version;
    auto tokens = TXMLToken::FromMemory(bytes, version);
    if (tokens->GetTokenKind() == xmlTokenError) {
        message = tokens->GetError();
        return false;
    }
    return ReadPaletteTokens(palette, *tokens, version, message);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CountingSink sink;
    static MessageSink* installed = InstallService<MessageSink>(&sink);
    (void)installed;

    TColorPalette1DItem palette(0x102030, 0x405060);
    palette.Insert(0.5, 0x0000FF)->SetUseColorAfter(true);
    const TColorPalette1DItem former(palette);

    std::string message;
    if (!ReadFromMemory(palette, std::string(reinterpret_cast<const char*>(data), size), message)) {
        Require(!message.empty());
        Require(palette == former);
        return 0;
    }
    Require(palette.IsConsistent());

    sink.count = 0;
    constexpr int steps = 4096;
    for (int i = 0; i <= steps; ++i) {
        int32_t colour = palette.GetColor(static_cast<double>(i) / steps);
        Require((colour & ~0xFFFFFF) == 0);
    }
    Require(palette.GetColor(1.0) == (palette.GetLast()->GetColorBefore() & 0xFFFFFF));
    Require(sink.count == 0);

    // What was read is written as a file the reader takes back, stop for stop.
    std::string written;
    std::string error;
    Require(FormatXMLFile(*PaletteFileTree(palette), "", written, error));
    TColorPalette1DItem again(0, 0);
    Require(ReadFromMemory(again, written, message));
    Require(again.IsConsistent());
    const TColorPalette1DItem* a = &again;
    const TColorPalette1DItem* b = &palette;
    for (; a && b; a = a->GetNext(), b = b->GetNext()) {
        Require(a->GetColorBefore() == b->GetColorBefore());
        Require(a->GetLeavingColor() == b->GetLeavingColor());
    }
    Require(a == nullptr && b == nullptr);
    Require(sink.count == 0);
    return 0;
}
