#pragma once
// The three lists the "Music" window walks: the staves of a piece, the note groups of a stave
// and the players of a group's compound player. Each has a current element (the piece's current
// stave, the stave's selected note group, the compound player's current player), and each is
// walked, grown, shrunk and reordered the same way, so the window drives all three through one
// interface. Every change tells the piece (the score's layout is kept with it).
//
// Also here: what a typed value must satisfy before the music file can hold it, and the sound
// of a render with its failure shown.

#include "music/core/NotePlayer.h"
#include "music/core/UnitMuz.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kelvorn {

class TNoteGroup;
class TNoteStave;

/// One list with a current element; places are 0-based, -1 for none.
class TMuzList
{
public:
    virtual ~TMuzList() = default;
    virtual int32_t Count() const = 0;
    /// The place of the current element, -1 when there is none.
    virtual int32_t CurrentIndex() const = 0;
    /// Makes the element at index current (clamped to the list).
    virtual void SetCurrentIndex(int32_t index) = 0;
    /// A new element before (after is false) or after the current one, made current. Before
    /// the first it goes to the front; without a current element it goes to the end.
    virtual void Insert(bool after) = 0;
    /// Removes the current element when the list holds at least two; the following one (the
    /// preceding one for the last) becomes current. False when nothing was removed.
    virtual bool DeleteCurrent() = 0;
    /// The current element changes places with its predecessor (forward: its follower) and
    /// stays current. False when it has none.
    virtual bool MoveCurrent(bool forward) = 0;
};

/// The staves of doc; the current stave is the piece's. A new stave is the piece's default
/// stave with a G clef in every single part; a stave removed takes its symbols along.
std::unique_ptr<TMuzList> StaveList(TUnitMuz& doc);
/// The note groups of stave; the current group is the stave's selected one. A new group draws
/// black normal heads with stems up and sounds through one default player; a group removed
/// takes its notes along, and the gaps they leave are filled with rests.
std::unique_ptr<TMuzList> NoteGroupList(TNoteStave& stave);
/// The players of player; a new one is the default simple sampler.
std::unique_ptr<TMuzList> OnePlayerList(TCompoundPlayer& player);

/// The player every new stave and note group starts with: a simple sampler of "sample" at
/// 1 kHz (shown in kHz), no frequency shift (kHz) and half volume (shown in percent); linked
/// after after (at the front for null).
TOnePlayer* MakeDefaultOnePlayer(TCompoundPlayer& owner, TOnePlayer* after = nullptr);

/// Why text cannot be stored as a label or a sample-wave name, or "" when it can. text is in
/// Latin-1; latin1 is false when the typed text had characters outside it. The music file holds
/// neither "<" nor ">" nor control characters in a text.
std::string StoredNameProblem(const std::string& text, bool latin1);
/// text without the blanks and control characters at either end, which a file cannot keep.
std::string TrimmedName(const std::string& text);

/// The sound of render; null after a failure, whose "Cannot create music: " box under "Error"
/// has been shown.
std::unique_ptr<Sound> RenderedSound(TMusicRender render);

} // namespace kelvorn
