#pragma once
// What the wave document asks of its window and of the main window. The model knows neither:
// the shell's wave window implements WaveWindowLink and the main window MainFormLink; tests use
// recording fakes.

#include "document/FileUnit.h"
#include "sound/Sound.h"

#include <cstdint>
#include <string>

namespace kelvorn {

class TUnitWave;
class TXMLComplexElement;
class TXMLItem;

/// The wave window as its document sees it (its pane group included).
class WaveWindowLink : public DocumentWindowLink
{
public:
    /// Whether the window has its pane group yet (operations that move values need it).
    virtual bool HasPaneGroup() const = 0;
    /// Both panes remember their zoom relative to the range [begin, end) about to change.
    virtual void SaveZoom(int32_t begin, int32_t end) = 0;
    /// Both panes re-apply the remembered zoom to the new range [begin, end).
    virtual void RestoreZoom(int32_t begin, int32_t end) = 0;

    /// Repaints the two pixel columns around the sample position.
    virtual void RepaintPosition(int32_t position) = 0;
    /// Repaints the pixel columns of the samples [from, to).
    virtual void RepaintRange(int32_t from, int32_t to) = 0;
    /// Draws the cursor line at the sample position.
    virtual void DrawCursor(int32_t position) = 0;

    /// The document's sound was replaced: repaint both panes (or restart the volume writer) and
    /// the windows that draw this wave as their envelope.
    virtual void RefreshWave() = 0;
    /// The channel count changed: the window icon follows it.
    virtual void SetIconByChannels(int16_t channels) = 0;
    /// 0 while the wave curve is shown, 1 while the volume diagram is.
    virtual uint8_t GetWaveWindKind() const = 0;

    /// The side file's display part: appended to the "UnitWave" root when writing, and read
    /// from its first element ("SplitPosition") on; false with a message and the failing
    /// element's line and column.
    virtual void WriteViewXml(TXMLComplexElement& root) const = 0;
    virtual bool ReadViewXml(const TXMLItem* first, std::string& message, int32_t& line,
                             int32_t& column, bool displayFlag) = 0;
};

/// The main window as a wave document sees it. The shell installs it with
/// InstallService<MainFormLink> (general/Services.h); without one the document asks nothing of
/// it: no clipboard, no status bar, no undo record to drop.
class MainFormLink
{
public:
    static constexpr const char* ServiceName = "MainFormLink";
    virtual ~MainFormLink() = default;
    /// Drops the undo record when it belongs to unit (called while unit is being destroyed).
    virtual void DeleteUndoOfUnit(const TUnitWave& unit) = 0;
    /// The selection of unit's window changed (the Select and Zoom window follows it).
    virtual void WaveSelectionChanged(const TUnitWave& unit) = 0;
    /// The sound clipboard: its sound (null when empty), and its replacement.
    virtual SoundPtr GetClipBoardSound() const = 0;
    virtual void SetClipBoardSound(SoundPtr sound) = 0;
    /// Writes the text of panel `panel` (counted from 0) of the status bar.
    virtual void SetStatusText(int panel, const std::string& text) = 0;
};

} // namespace kelvorn
