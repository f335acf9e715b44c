#pragma once
// Documents for tests of every layer above the model: recording stand-ins for the wave window
// and the main window, small sounds, a wave document wired to its window, the default view
// elements as the side file writes them, and a temporary folder with file readers. The signal
// makers and readers (ValuesOf, ChannelsOf) are those of support/Signals.h.

#include "document/records/WaveFileProps.h"
#include "document/views/WaveDisplayPart.h"
#include "document/wave/UndoUnit.h"
#include "document/wave/UnitWave.h"
#include "document/wave/WaveDocumentLinks.h"
#include "general/Services.h"
#include "sound/Sound.h"
#include "sound/Wave.h"
#include "support/Signals.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace kelvorn::test {

/// A wave window that logs what the document asks of it and keeps its display part in the model
/// record the pane group writes and reads.
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
    void SaveZoom(int32_t begin, int32_t end) override { Log("SaveZoom", begin, end); }
    void RestoreZoom(int32_t begin, int32_t end) override { Log("RestoreZoom", begin, end); }
    void RepaintPosition(int32_t position) override { Log("RepaintPosition", position); }
    void RepaintRange(int32_t from, int32_t to) override { Log("RepaintRange", from, to); }
    void DrawCursor(int32_t position) override { Log("DrawCursor", position); }
    void RefreshWave() override
    {
        calls.push_back("RefreshWave");
        ++refreshes;
    }
    void SetIconByChannels(int16_t channels) override { Log("SetIconByChannels", channels); }
    uint8_t GetWaveWindKind() const override { return display.WaveWindKind; }
    void WriteViewXml(TXMLComplexElement& root) const override { display.WriteXml(root); }
    bool ReadViewXml(const TXMLItem* first, std::string& message, int32_t& line, int32_t& column,
                     bool flag) override
    {
        ++viewReads;
        displayFlag = flag;
        if (!refusal.empty()) {
            message = refusal;
            line = first->GetLine();
            column = first->GetColumn();
            return false;
        }
        return display.ReadXml(first, message, line, column);
    }

    /// The calls whose text starts with prefix.
    std::vector<std::string> Calls(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const std::string& call : calls)
            if (call.rfind(prefix, 0) == 0)
                out.push_back(call);
        return out;
    }

    std::vector<std::string> calls;
    int refreshes = 0;
    bool hasPaneGroup = true;
    TWaveDisplayPart display;
    int viewReads = 0;
    bool displayFlag = false;
    std::string refusal; ///< when set, ReadViewXml refuses with this message

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
        calls.push_back("DeleteUndoOfUnit");
        if (undo && undo->GetUnitWave() == &unit)
            undo.reset();
    }
    void WaveSelectionChanged(const TUnitWave&) override
    {
        calls.push_back("WaveSelectionChanged");
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

// ---- sounds -------------------------------------------------------------------------------

inline WavePtr WaveOf(const std::vector<int>& values)
{
    WavePtr wave = CreateWave(nullptr, static_cast<int64_t>(values.size()));
    for (size_t i = 0; i < values.size(); ++i)
        (*wave)[static_cast<int32_t>(i)] = static_cast<int16_t>(values[i]);
    return wave;
}

inline SoundPtr MonoSoundOf(const std::vector<int>& values, int32_t freq = 44100, int16_t bytes = 2)
{
    return std::make_shared<MonoSound>(WaveOf(values), freq, bytes);
}

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

/// A wave document named "song" around sound, linked to a recording window.
struct WaveDoc
{
    explicit WaveDoc(SoundPtr sound, const std::string& file = "")
        : wave("song", file, std::move(sound))
    {
        wave.SetChildWave(&window);
        wave.SetWindow(&window);
    }
    ~WaveDoc()
    {
        wave.SetChildWave(nullptr);
        wave.SetWindow(nullptr);
    }

    RecordingWaveWindow window;
    TUnitWave wave;
};

// ---- the default view elements, as the side file writes them at the top level -------------

// clang-format off
inline const std::string defaultViewWaveText =
    "<ViewWave>\n  <DrawLines />\n  <DistPeriod />\n  <ValuesPerPixel>15</ValuesPerPixel>\n"
    "  <UseGrid />\n  <GridColor>808080</GridColor>\n  <CursorColor>FF00FF</CursorColor>\n"
    "  <Strength>1</Strength>\n  <SingleColor>000000</SingleColor>\n"
    "  <BackgroundColor>FFFFFF</BackgroundColor>\n  <LeftColor>0000FF</LeftColor>\n"
    "  <RightColor>808000</RightColor>\n  <FrontNone />\n  <DrawSingle />\n</ViewWave>\n";

inline const std::string defaultViewVolumeText =
    "<ViewVolume>\n  <TimeTop>20 khz</TimeTop>\n  <TimeBottom>20 hz</TimeBottom>\n"
    "  <XResolution>500</XResolution>\n  <YResolution>50</YResolution>\n  <YWidth>1</YWidth>\n"
    "  <YLog />\n  <SensNormal />\n  <Strength>1.3</Strength>\n  <SingleColor>FFFFFF</SingleColor>\n"
    "  <BackgroundColor>000000</BackgroundColor>\n  <LeftColor>0000FF</LeftColor>\n"
    "  <RightColor>808000</RightColor>\n  <CursorColor>FF00FF</CursorColor>\n"
    "  <ColorPalette1D>\n    <BeginColor>000000</BeginColor>\n    <EndColor>FFFFFF</EndColor>\n"
    "  </ColorPalette1D>\n  <DrawSingle />\n</ViewVolume>\n";
// clang-format on

/// Two blanks more in front of every line.
inline std::string Indent(const std::string& text)
{
    std::string out;
    bool lineStart = true;
    for (char c : text) {
        if (lineStart)
            out += "  ";
        out += c;
        lineStart = c == '\n';
    }
    return out;
}

/// The default display part inside a side file's root element.
inline const std::string defaultDisplayText = "  <SplitPosition>0.5</SplitPosition>\n"
                                              "  <View />\n  <View />\n  <ShowWave />\n" +
                                              Indent(defaultViewWaveText) +
                                              Indent(defaultViewVolumeText);

/// text with its first from replaced by to (unchanged when from is missing).
inline std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

// ---- files ----------------------------------------------------------------------------------

/// A fresh folder under the system's temporary folder, removed with its content at the end.
struct TempDir
{
    explicit TempDir(const std::string& tag)
        : path(std::filesystem::temp_directory_path() /
               ("kv-" + tag + "-" + std::to_string(::getpid()) + "-" +
                std::to_string(reinterpret_cast<uintptr_t>(this))))
    {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string operator/(const std::string& name) const { return (path / name).string(); }
    size_t Count() const
    {
        size_t n = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(path))
            ++n;
        return n;
    }

    std::filesystem::path path;
};

inline std::string ReadFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::filesystem::path& file, const std::string& text)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

} // namespace kelvorn::test
