#pragma once
// Staves and note groups. A stave is one band of the score with its colours, room and mute flag;
// it owns a list of note groups, and a group gives its notes their colour, head shape, default
// stem and sound (its compound player). The symbols themselves lie on the chains of the single
// parts and point to their stave.

#include "general/values/ValueUnits.h"
#include "music/core/MuzSymbols.h"

#include <cstdint>
#include <memory>

namespace kelvorn {

class TCompoundPlayer;

/// Never stored in a stave: the flags of a stave are either single (0) or joined (1).
constexpr uint8_t drawFlagNone = 2;

class TNoteGroup
{
public:
    TNoteGroup(TNoteStave* stave, std::unique_ptr<TCompoundPlayer> player, uint32_t noteColor,
               uint8_t noteShape, uint8_t defaultStem);
    ~TNoteGroup();
    TNoteGroup(const TNoteGroup&) = delete;
    TNoteGroup& operator=(const TNoteGroup&) = delete;

    TNoteGroup* GetNext() const { return next; }
    void SetNext(TNoteGroup* group) { next = group; }
    TCompoundPlayer* GetPlayer() const { return player.get(); }
    TNoteStave* GetNoteStave() const { return stave; }
    uint8_t GetDefaultStem() const { return defaultStem; }
    void SetDefaultStem(uint8_t stem) { defaultStem = stem; }

    uint32_t NoteColor;
    /// 0 normal heads, 1 rectangles as long as the note.
    uint8_t NoteShape;

private:
    TNoteGroup* next = nullptr;
    std::unique_ptr<TCompoundPlayer> player;
    uint8_t defaultStem;
    TNoteStave* stave;
};

/// A list node of the document's staves with the stave's list of note groups (owned).
class TStave
{
public:
    TStave() = default;
    ~TStave();
    TStave(const TStave&) = delete;
    TStave& operator=(const TStave&) = delete;

    TNoteStave* GetNext() const { return next; }
    void SetNext(TNoteStave* stave) { next = stave; }
    TNoteStave* GetPrev() const { return prev; }
    void SetPrev(TNoteStave* stave) { prev = stave; }

    TNoteGroup* GetFirstNoteGroup() const { return firstNoteGroup; }
    /// Links group after afterGroup, or at the front for null or an empty list; takes it over.
    void InsertNoteGroup(TNoteGroup* afterGroup, TNoteGroup* group);
    TNoteGroup* GetPrevNoteGroup(const TNoteGroup* group) const;
    /// Unlinks group (not destroyed); the list may not become empty.
    bool DeleteNoteGroup(TNoteGroup* group);
    int32_t CountNoteGroups() const;

protected:
    TNoteStave* next = nullptr;
    TNoteStave* prev = nullptr;
    TNoteGroup* firstNoteGroup = nullptr;
};

class TNoteStave : public TStave
{
public:
    TNoteStave(TUnitMuz* owner, uint32_t foregroundColor, uint32_t backgroundColor, int32_t roomUp,
               int32_t roomDown, uint8_t drawFlagKind, uint8_t mute, uint8_t extraLines);
    /// Tells the document, which then forgets every reference to the stave.
    ~TNoteStave();

    TUnitMuz* GetOwner() const { return owner; }
    TNoteGroup* GetSelectedNoteGroup() const;
    void SetSelectedNoteGroup(TNoteGroup* group);
    /// Keeps the selection on a group of the list when group leaves it.
    void GroupLeaving(const TNoteGroup* group);

    bool IsMuted() const { return Mute != 0; }
    int32_t GetMiddleY() const { return middleY; }
    /// Starts a layout pass: the middle line's row and the left x.
    void StartLayout(int32_t newMiddleY, int32_t leftX);
    void ExtendLayoutX(int32_t x);
    int32_t GetLayoutX() const { return layoutX; }
    double GetLastPosition() const { return lastPosition; }
    void SetLastPosition(double position) { lastPosition = position; }

    uint32_t ForegroundColor;
    uint32_t BackgroundColor;
    unitIntegerMoreUser RoomUp;
    unitIntegerMoreUser RoomDown;
    uint8_t drawFlagKind;
    uint8_t Mute;
    uint8_t ExtraLines;

private:
    double lastPosition = 0.0;
    TUnitMuz* owner;
    TNoteGroup* SelectedNoteGroup = nullptr;
    int32_t middleY = 0;
    int32_t layoutX = 0;
};

} // namespace kelvorn
