#pragma once
// Recording stand-ins for the wave window and the main window, and small sound makers, for the
// tests of the wave document.

#include "general/Services.h"
#include "sound/Sound.h"
#include "document/wave/UndoUnit.h"
#include "document/wave/UnitWave.h"
#include "document/wave/WaveDocumentLinks.h"
#include "document/records/WaveFileProps.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kelvorn::test {

class RecordingWaveWindow final : public WaveWindowLink
{
public:
    void RefreshCaption(const std::string& oldName) override
    {
        calls.push_back("RefreshCaption " + oldName);
    }
    void UpdateCaption() override { calls.push_back("UpdateCaption"); }
    void SetDrawCursor() override { calls.push_back("SetDrawCursor"); }
    bool HasPaneGroup() const override { return hasPaneGroup; }
    void SaveZoom(int32_t begin, int32_t end) override
    {
        Log("SaveZoom", begin, end);
        zoomSaved.push_back({begin, end});
    }
    void RestoreZoom(int32_t begin, int32_t end) override
    {
        Log("RestoreZoom", begin, end);
        zoomRestored.push_back({begin, end});
    }
    void RepaintPosition(int32_t position) override { Log("RepaintPosition", position); }
    void RepaintRange(int32_t from, int32_t to) override { Log("RepaintRange", from, to); }
    void DrawCursor(int32_t position) override { Log("DrawCursor", position); }
    void RefreshWave() override
    {
        calls.push_back("RefreshWave");
        ++refreshes;
    }
    void SetIconByChannels(int16_t channels) override { Log("SetIconByChannels", channels); }
    uint8_t GetWaveWindKind() const override { return waveWindKind; }
    void WriteViewXml(TXMLComplexElement&) const override {}
    bool ReadViewXml(const TXMLItem*, std::string&, int32_t&, int32_t&, bool) override
    {
        return true;
    }

    struct Range
    {
        int32_t begin;
        int32_t end;
    };

    std::vector<std::string> calls;
    std::vector<Range> zoomSaved;
    std::vector<Range> zoomRestored;
    int refreshes = 0;
    bool hasPaneGroup = true;
    uint8_t waveWindKind = 0;

private:
    void Log(const std::string& name, int64_t a)
    {
        calls.push_back(name + " " + std::to_string(a));
    }
    void Log(const std::string& name, int64_t a, int64_t b)
    {
        calls.push_back(name + " " + std::to_string(a) + " " + std::to_string(b));
    }
};

/// Installs itself as the main-window link for its lifetime. Like the main window it owns at
/// most one undo record and drops it when its document goes.
class RecordingMainForm final : public MainFormLink
{
public:
    RecordingMainForm() : previous(InstallService<MainFormLink>(this)) {}
    ~RecordingMainForm() override { InstallService<MainFormLink>(previous); }

    void DeleteUndoOfUnit(const TUnitWave& unit) override
    {
        // Built in place: a moved temporary string draws a false g++ 12 warning at -O2.
        calls.emplace_back("DeleteUndoOfUnit");
        if (undo && undo->GetUnitWave() == &unit)
            undo.reset();
    }
    void WaveSelectionChanged(const TUnitWave&) override
    {
        calls.emplace_back("WaveSelectionChanged");
    }
    SoundPtr GetClipBoardSound() const override { return clipboard; }
    void SetClipBoardSound(SoundPtr sound) override
    {
        clipboard = std::move(sound);
        ++clipboardSets;
    }
    void SetStatusText(int panel, const std::string& text) override { panels[panel] = text; }

    void MakeUndo(TUnitWave& unit)
    {
        undo.reset();
        undo = std::make_unique<TUndoUnit>(unit);
    }

    std::vector<std::string> calls;
    SoundPtr clipboard;
    int clipboardSets = 0;
    std::map<int, std::string> panels;
    std::unique_ptr<TUndoUnit> undo;

private:
    MainFormLink* previous;
};

/// A mono sound whose value i is (i * step) wrapped to 16 bits.
inline SoundPtr RampMono(int32_t values, int32_t freq = 44100, int step = 1, int16_t bytes = 2)
{
    WavePtr wave = CreateWave(nullptr, values);
    for (int32_t i = 0; i < values; ++i)
        (*wave)[i] = static_cast<int16_t>(i * step);
    return std::make_shared<MonoSound>(std::move(wave), freq, bytes);
}

/// A stereo sound: left i, right -i (wrapped to 16 bits).
inline SoundPtr RampStereo(int32_t values, int32_t freq = 44100, int16_t bytes = 2)
{
    WavePtr left = CreateWave(nullptr, values);
    WavePtr right = CreateWave(nullptr, values);
    for (int32_t i = 0; i < values; ++i) {
        (*left)[i] = static_cast<int16_t>(i);
        (*right)[i] = static_cast<int16_t>(-i);
    }
    return std::make_shared<StereoSound>(std::move(left), std::move(right), freq, bytes);
}

} // namespace kelvorn::test
