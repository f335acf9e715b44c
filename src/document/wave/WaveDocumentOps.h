#pragma once
// The wave operations of a wave document, as the main window's command road calls them once it
// has shown the operation's dialog and taken the undo snapshot. Each operation
// - clears the document's abort flag first, so one failure affects one command;
// - takes the record it is given as the document's own (the next dialog of that command on this
//   document starts from it) and reads only that copy;
// - picks its range: the selected part, or the whole wave with a lone cursor (the "range"); the
//   generators, Paste and Swap take the part, which with a lone cursor is the empty range at
//   the cursor, so that they insert there;
// - calls the matching sound operation (SoundOps.h), which leaves the document's sound alone,
//   and swaps the new sound in only when the engine finished: the previous sound stays with
//   whoever still holds it (the undo record, the clipboard, a volume writer);
// - places the positions: operations that keep the length keep them; those that may move
//   values select the range the result occupies, or move a lone cursor (over a change of the
//   whole wave) to the same fraction of the new length;
// - repaints the window (RefreshWave), except where a function says otherwise.
//
// The command road marks the document modified afterwards; these functions never do.
// All of them run on the GUI thread.

#include "document/records/WaveRecords.h"

#include <cstdint>
#include <string>

namespace kelvorn {

class TUnitWave;

/// How a document operation ended.
enum class WaveOpOutcome : uint8_t {
    /// The new sound is installed (Copy: the clipboard holds the copy).
    Done,
    /// Nothing to do for this document (a stereo wave for Balance, a mono one for Mix Left
    /// Right, an empty clipboard, a drawing without nodes): nothing changed, nothing repainted.
    Unchanged,
    /// The abort flag stopped the engine: a memory failure (whose box has been shown) or the
    /// user's stop. The sound is the one before; the positions are as the operation says.
    Stopped,
    /// The parameters cannot be used (an empty envelope, a reference without its document):
    /// nothing changed, and the reason is in message for the caller to show.
    Refused,
};

struct WaveOpResult
{
    WaveOpOutcome outcome = WaveOpOutcome::Done;
    std::string message;

    bool Succeeded() const { return outcome == WaveOpOutcome::Done; }
};

namespace waveops {

// ---- Generators: the part is replaced, or the new values inserted at a lone cursor; the new
// piece is selected afterwards. ----------------------------------------------------------------

WaveOpResult MakeLine(TUnitWave& unit, const TLineProps& props);
WaveOpResult MakeSilence(TUnitWave& unit, const TSilenceProps& props);
WaveOpResult MakeNoise(TUnitWave& unit, const TNoiseProps& props);
WaveOpResult MakeBlock(TUnitWave& unit, const TBlockTriangleProps& props);
WaveOpResult MakeTriangle(TUnitWave& unit, const TBlockTriangleProps& props);
/// A sine of the record's length (its Length, or Count periods). Needs the program's sine table.
WaveOpResult MakeSinus(TUnitWave& unit, const TSinusProps& props);
/// The partials of the record's list, as many as the list counts.
WaveOpResult MakeMFreq(TUnitWave& unit, const TMFreqProps& props);

// ---- Changes of the range that keep its length and the positions ------------------------------
// While the user draws, Volume, MaxVolume, MoveV and NormalizeVertically (and Length, below)
// change the drawing's nodes instead and render the drawing anew; the envelope choice of Volume
// is then not read. A drawing that cannot be rendered gets its nodes back.

WaveOpResult Volume(TUnitWave& unit, const TVolumeProps& props);
WaveOpResult MaxVolume(TUnitWave& unit);
WaveOpResult MoveV(TUnitWave& unit, const TUpProps& props);
WaveOpResult NormalizeVertically(TUnitWave& unit);
/// A mono wave with values made stereo (the whole sound); Unchanged for any other.
WaveOpResult Balance(TUnitWave& unit, const TBalanceProps& props);
WaveOpResult Rotate(TUnitWave& unit, const TRotateProps& props);
WaveOpResult Block(TUnitWave& unit, const TBlockProps& props);
WaveOpResult Distort(TUnitWave& unit, const TDistortProps& props);
/// Stereo waves with values only; Unchanged for any other.
WaveOpResult MixLeftRight(TUnitWave& unit, const TLeftRightProps& props);
WaveOpResult Reverse(TUnitWave& unit);
WaveOpResult FilterHigh(TUnitWave& unit, const THighLowProps& props);
WaveOpResult FilterLow(TUnitWave& unit, const THighLowProps& props);
WaveOpResult FilterRes(TUnitWave& unit, const TResNotchProps& props);
WaveOpResult FilterNotch(TUnitWave& unit, const TResNotchProps& props);

// ---- Changes that may move values: the range the result occupies is selected afterwards -------

WaveOpResult RollIn(TUnitWave& unit, const TRollInProps& props);
WaveOpResult RollOut(TUnitWave& unit, const TRollOutProps& props);
/// While drawing: the drawing's length times the length factor, rendered anew, no repaint.
WaveOpResult Length(TUnitWave& unit, const TLengthProps& props);
WaveOpResult TempoPitch(TUnitWave& unit, const TTempoPitchProps& props);
WaveOpResult MoveH(TUnitWave& unit, const TShiftProps& props);
WaveOpResult PerEcho(TUnitWave& unit, const TPerEchoProps& props);
WaveOpResult FilterBlock(TUnitWave& unit, const TBlockFilterProps& props);

/// Count echoes of the whole sound, each changed at random by the record's dice, in place of
/// the whole sound. The cursor goes to 0 afterwards, also when the engine was stopped.
WaveOpResult RndEcho(TUnitWave& unit, const TRandomEchoProps& props);

// ---- The range and the sound clipboard (the main window's) -------------------------------------

/// The range removed; a cursor is left where it began.
WaveOpResult Delete(TUnitWave& unit);
/// Only the range kept, and selected whole.
WaveOpResult Trim(TUnitWave& unit);
/// The range to the clipboard; the document, its positions and its window stay as they are.
WaveOpResult Copy(TUnitWave& unit);
/// Copy, then Delete; a copy that failed deletes nothing.
WaveOpResult Cut(TUnitWave& unit);
/// The clipboard's sound, at this document's sample frequency, in place of the part. The
/// selection afterwards is the clipboard's length times the ratio of the two frequencies from
/// the part's begin, within the wave.
WaveOpResult Paste(TUnitWave& unit);
/// Paste, with the part that was replaced going to the clipboard; on failure the clipboard and
/// the positions stay.
WaveOpResult Swap(TUnitWave& unit);
/// The range to the clipboard, and silence of the same length in its place.
WaveOpResult Extract(TUnitWave& unit);
/// The clipboard's sound mixed in by the record's placement; the positions stay.
WaveOpResult Mix(TUnitWave& unit, const TMixProps& props);

} // namespace waveops
} // namespace kelvorn
