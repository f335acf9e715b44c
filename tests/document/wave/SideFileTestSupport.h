#pragma once
// A wave window for the side-file tests: it keeps its display part in the model record the pane
// group writes and reads, and counts what the document asked of it.

#include "sound/Sound.h"
#include "sound/Wave.h"
#include "document/wave/UnitWave.h"
#include "document/views/WaveDisplayPart.h"

#include <memory>
#include <string>

namespace kelvorn::sidefiletest {

class FakeWaveWindow final : public WaveWindowLink
{
public:
    void RefreshCaption(const std::string&) override {}
    void UpdateCaption() override {}
    void SetDrawCursor() override { ++drawCursorCalls; }
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
                     bool flag) override
    {
        ++viewReads;
        displayFlag = flag;
        return display.ReadXml(first, message, line, column);
    }

    TWaveDisplayPart display;
    int drawCursorCalls = 0;
    int viewReads = 0;
    bool displayFlag = false;
};

/// A mono sound of count values (0, 1, 2, ...) at freq.
inline SoundPtr Mono(int32_t count, int32_t freq = 44100, int16_t bytes = 2)
{
    AbortFlag abort = 0;
    WavePtr wave = CreateWave(&abort, count);
    for (int32_t i = 0; i < count; ++i)
        wave->Data()[i] = static_cast<int16_t>(i);
    return std::make_shared<MonoSound>(std::move(wave), freq, bytes);
}

/// A document around sound with a window linked to it.
struct Document
{
    explicit Document(SoundPtr sound) : wave("song", "", std::move(sound))
    {
        wave.SetChildWave(&window);
        wave.SetWindow(&window);
    }
    ~Document()
    {
        wave.SetChildWave(nullptr);
        wave.SetWindow(nullptr);
    }

    FakeWaveWindow window;
    TUnitWave wave;
};

} // namespace kelvorn::sidefiletest
