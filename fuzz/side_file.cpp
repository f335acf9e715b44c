// Tokenize, parse against the side-file grammar and read a wave side file from memory into a
// document with a window. Invariant: a refused file comes with a message and changes neither the
// document nor the caller's sound; a read file leaves a document whose drawing renders, and
// writes a file that reads back as the same view and writes the same bytes again.
#include "document/views/WaveDisplayPart.h"
#include "document/wave/SideFile.h"
#include "document/wave/UnitWave.h"
#include "general/Messages.h"
#include "general/Services.h"
#include "general/xml/XMLToken.h"
#include "general/xml/XMLWriter.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

using namespace kelvorn;

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// A version other than 8.0 is a soft assertion and may appear; any other box is a fault.
class CountingSink final : public MessageSink
{
public:
    MsgAnswer Show(const std::string& text, const std::string& caption, MsgIcon,
                   MsgButtons) override
    {
        Require(caption == "Assertion failed" && text.find("version") != std::string::npos);
        return MsgAnswer::Ok;
    }
};

class Window final : public WaveWindowLink
{
public:
    void RefreshCaption(const std::string&) override {}
    void UpdateCaption() override {}
    void SetDrawCursor() override {}
    bool HasPaneGroup() const override { return true; }
    void SaveZoom(int32_t, int32_t) override {}
    void RestoreZoom(int32_t, int32_t) override {}
    void RepaintPosition(int32_t) override {}
    void RepaintRange(int32_t, int32_t) override {}
    void DrawCursor(int32_t) override {}
    void RefreshWave() override {}
    void SetIconByChannels(int16_t) override {}
    uint8_t GetWaveWindKind() const override { return display.WaveWindKind; }
    void WriteViewXml(TXMLComplexElement& root) const override { display.WriteXml(root); }
    bool ReadViewXml(const TXMLItem* first, std::string& message, int32_t& line, int32_t& column,
                     bool) override
    {
        return display.ReadXml(first, message, line, column);
    }

    TWaveDisplayPart display;
};

int Read(TUnitWave& wave, const std::string& bytes, std::string& message, SoundPtr& sound)
{
    std::string version;
    auto tokens = TXMLToken::FromMemory(bytes, version);
    if (tokens->GetTokenKind() == xmlTokenError) {
        message = tokens->GetError();
        return 2;
    }
    return ReadSideFileTokens(wave, *tokens, version, message, false, sound);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CountingSink sink;
    static MessageSink* installed = InstallService<MessageSink>(&sink);
    (void)installed;

    // A small sound keeps rendering cheap; a drawing's length is capped below for the same
    // reason.
    auto sound = std::make_shared<MonoSound>(8000, int16_t{2});
    Window window;
    TUnitWave wave("fuzz", "", sound);
    wave.SetChildWave(&window);
    wave.SetPos1(0);
    const TWaveDisplayPart formerDisplay = window.display;

    SoundPtr given = sound;
    std::string message;
    int result = Read(wave, std::string(reinterpret_cast<const char*>(data), size), message, given);
    if (result != 1) {
        Require(result == 2 && !message.empty());
        Require(!wave.IsUserDrawing() && wave.GetPos1() == 0 && wave.GetPos2() == 0);
        Require(given == sound && window.display == formerDisplay);
        wave.SetChildWave(nullptr);
        return 0;
    }
    Require(given != nullptr);
    if (wave.IsUserDrawing()) {
        Require(wave.GetDrawNodeCount() >= 2);
        if (wave.GetDrawLength() * wave.GetSampleFreq() < 1e5)
            Require(wave.RenderUserDraw());
    }

    // What was read is written as a file that reads back as the same values and the same bytes.
    std::string written;
    std::string error;
    Require(FormatXMLFile(*wave.WriteXml(), "", written, error));
    Window window2;
    TUnitWave again("again", "", wave.GetSound());
    again.SetChildWave(&window2);
    SoundPtr given2 = again.GetSound();
    Require(Read(again, written, message, given2) == 1);
    Require(window2.display == window.display);
    std::string rewritten;
    Require(FormatXMLFile(*again.WriteXml(), "", rewritten, error));
    Require(rewritten == written);
    again.SetChildWave(nullptr);
    wave.SetChildWave(nullptr);
    return 0;
}
