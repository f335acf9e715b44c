// Whether each editing command may run now, and which of its choices shows checked. Each answer
// looks at the edit mode first, then at what is selected, then at its fields; every combination
// not named is false, and in delete mode only playing the selected note is offered.

#include "music/core/Stave.h"
#include "music/core/UnitMuz.h"

namespace kelvorn {

namespace {

/// Whether a note or rest can be written with value length, its tuplet and its dots.
bool Fits(const TStaveSymbol* symbol, int32_t length)
{
    if (!symbol || !symbol->IsTimeSymbol())
        return false;
    const auto* time = static_cast<const TStaveTimeSymbol*>(symbol);
    uint8_t total = 0;
    return time->FlagLength2TotalLength(length, total) &&
           TUnitMuz::MaxPoints(length) >= time->GetPoints();
}

bool MayHavePoints(const TStaveSymbol* symbol, int32_t points)
{
    return symbol && symbol->IsTimeSymbol() &&
           static_cast<const TStaveTimeSymbol*>(symbol)->MayTotalPoints(points);
}

/// The written value of a selected note or rest, 0 for anything else.
int32_t FlagLengthOf(const TStaveSymbol* symbol)
{
    return symbol && symbol->IsTimeSymbol()
               ? static_cast<const TStaveTimeSymbol*>(symbol)->GetFlagLength()
               : 0;
}

} // namespace

bool TUnitMuz::CanNoteExecute(int32_t length) const
{
    if (mode == unitMuzNew)
        return MaxPoints(length) >= insertTool.Points;
    return mode == unitMuzSel && (SelectedBar() || Fits(SelectedStaveSymbol(), length));
}

bool TUnitMuz::CanSilenceExecute(int32_t length) const
{
    if (mode == unitMuzNew)
        return MaxPoints(length) >= insertTool.Points;
    return mode == unitMuzSel && Fits(SelectedStaveSymbol(), length);
}

bool TUnitMuz::CanArtExecute(NoteArtKind) const
{
    return mode == unitMuzNew || (mode == unitMuzSel && SelectedNote());
}

bool TUnitMuz::CanKeyExecute(KeyKind) const
{
    return mode == unitMuzNew || (mode == unitMuzSel && SelectedKey());
}

bool TUnitMuz::CanNoteShiftExecute(NoteShiftKind shift) const
{
    if (mode == unitMuzNew)
        return true;
    if (mode != unitMuzSel)
        return false;
    if (SelectedNote())
        return shift <= noteShiftDoubleMol;
    const TKey* key = SelectedKey();
    int32_t toonladder = 0;
    if (!key || !key->ToonLadder(toonladder))
        return false;
    return (shift == noteShiftMol && toonladder > -7) ||
           (shift == noteShiftKruis && toonladder < 7);
}

bool TUnitMuz::CanPointAddExecute() const
{
    if (mode == unitMuzNew)
        return insertTool.Points < MaxPoints(insertTool.NoteLengthKind);
    if (mode != unitMuzSel)
        return false;
    if (const TMuzBar* bar = SelectedBar())
        return bar->GetCount() < 99;
    const TStaveSymbol* symbol = SelectedStaveSymbol();
    return symbol && symbol->IsTimeSymbol() &&
           MayHavePoints(symbol, static_cast<const TStaveTimeSymbol*>(symbol)->GetPoints() + 1);
}

bool TUnitMuz::CanPointDeleteExecute() const
{
    if (mode == unitMuzNew)
        return insertTool.Points > 0;
    if (mode != unitMuzSel)
        return false;
    if (const TMuzBar* bar = SelectedBar())
        return bar->GetCount() > 1;
    const TStaveSymbol* symbol = SelectedStaveSymbol();
    return symbol && symbol->IsTimeSymbol() &&
           MayHavePoints(symbol, static_cast<const TStaveTimeSymbol*>(symbol)->GetPoints() - 1);
}

bool TUnitMuz::CanDeleteExecute() const
{
    return (mode == unitMuzNew || mode == unitMuzSel) && CanDeleteSymbol(SelectedStaveSymbol());
}

bool TUnitMuz::CanTupletExecute(int32_t multiOol) const
{
    const TMuzNote* note = mode == unitMuzSel ? SelectedNote() : nullptr;
    if (!note || note->GetMultiOol() != sool || multiOol < duool || multiOol > kwintool)
        return false;
    const int32_t points = note->GetPoints();
    if ((multiOol == duool || multiOol == kwartool) && (points < 1 || points > 3))
        return false;
    const int32_t length = note->GetNoteLengthKind();
    if (length > (multiOol == kwintool ? 16 : 32))
        return false;
    // A member is written a value shorter than the whole: a whole note has no triplet.
    uint8_t total = 0;
    return TStaveTimeSymbol::FlagLength2TotalLength(static_cast<MultiOol>(multiOol), length, total);
}

bool TUnitMuz::CanSelectUpExecute() const
{
    const TMuzNote* note = mode == unitMuzSel ? SelectedNote() : nullptr;
    const TStaveSymbol* prev = note ? note->GetOwner()->PrevSymbolOfStave(note) : nullptr;
    const TMuzNote* other = prev ? prev->AsNote() : nullptr;
    return other && other->GetPosition() == note->GetPosition() &&
           other->GetPosInOol() == note->GetPosInOol();
}

bool TUnitMuz::CanSelectDownExecute() const
{
    const TMuzNote* note = mode == unitMuzSel ? SelectedNote() : nullptr;
    const TStaveSymbol* next = note ? note->GetOwner()->NextSymbolOfStave(note) : nullptr;
    const TMuzNote* other = next ? next->AsNote() : nullptr;
    return other && other->GetPosition() == note->GetPosition() &&
           other->GetPosInOol() == note->GetPosInOol();
}

bool TUnitMuz::CanSelectPrevExecute() const
{
    TXTouchMuzSymbol* symbol = nullptr;
    return FindSymbolLeft(symbol);
}

bool TUnitMuz::CanSelectNextExecute() const
{
    TXTouchMuzSymbol* symbol = nullptr;
    return FindSymbolRight(symbol);
}

bool TUnitMuz::CanMoveUpExecute() const
{
    int32_t pitch = 0;
    const TMuzNote* note = mode != unitMuzDel ? SelectedNote() : nullptr;
    return note && UpperPosition(note, pitch);
}

bool TUnitMuz::CanMoveDownExecute() const
{
    int32_t pitch = 0;
    const TMuzNote* note = mode != unitMuzDel ? SelectedNote() : nullptr;
    return note && LowerPosition(note, pitch);
}

bool TUnitMuz::CanMoveOctUpExecute() const
{
    if (mode == unitMuzDel)
        return false;
    int32_t pitch = 0;
    if (const TMuzNote* note = SelectedNote())
        return UpperOctPosition(note, pitch);
    const TKey* key = SelectedKey();
    return key && key->GetOctavesUp() < 2;
}

bool TUnitMuz::CanMoveOctDownExecute() const
{
    if (mode == unitMuzDel)
        return false;
    int32_t pitch = 0;
    if (const TMuzNote* note = SelectedNote())
        return LowerOctPosition(note, pitch);
    const TKey* key = SelectedKey();
    return key && key->GetOctavesUp() > -2;
}

bool TUnitMuz::CanMovePrevExecute() const
{
    TStaveSymbol *a = nullptr, *b = nullptr, *c = nullptr, *d = nullptr;
    return mode == unitMuzSel && SearchForSwitch(SelectedStaveSymbol(), side2Left, a, b, c, d);
}

bool TUnitMuz::CanMoveNextExecute() const
{
    TStaveSymbol *a = nullptr, *b = nullptr, *c = nullptr, *d = nullptr;
    return mode == unitMuzSel && SearchForSwitch(SelectedStaveSymbol(), side2Right, a, b, c, d);
}

bool TUnitMuz::CanPlayNoteExecute() const
{
    return SelectedNote() != nullptr;
}

bool TUnitMuz::CanNoteGroupPrevExecute() const
{
    const TMuzNote* note = mode == unitMuzSel ? SelectedNote() : nullptr;
    return note && note->GetNoteGroup() &&
           note->GetNoteStave()->GetPrevNoteGroup(note->GetNoteGroup()) != nullptr;
}

bool TUnitMuz::CanNoteGroupNextExecute() const
{
    const TMuzNote* note = mode == unitMuzSel ? SelectedNote() : nullptr;
    return note && note->GetNoteGroup() && note->GetNoteGroup()->GetNext() != nullptr;
}

bool TUnitMuz::CanNoteStickUpExecute() const
{
    DrawStickKind stick = drawStickAuto;
    return GetCurrentStick(stick);
}

bool TUnitMuz::CanNoteStickDownExecute() const
{
    DrawStickKind stick = drawStickAuto;
    return GetCurrentStick(stick);
}

// ---- Check marks ------------------------------------------------------------------------------

bool TUnitMuz::IsNoteChecked(int32_t length) const
{
    if (mode == unitMuzNew)
        return insertTool.Kind == insertModeNote && insertTool.NoteLengthKind == length;
    if (mode != unitMuzSel)
        return false;
    if (const TMuzBar* bar = SelectedBar())
        return bar->GetLength() == length;
    return SelectedNote() && FlagLengthOf(SelectedNote()) == length;
}

bool TUnitMuz::IsSilenceChecked(int32_t length) const
{
    if (mode == unitMuzNew)
        return insertTool.Kind == insertModeSilence && insertTool.NoteLengthKind == length;
    return mode == unitMuzSel && SelectedSilence() && FlagLengthOf(SelectedSilence()) == length;
}

bool TUnitMuz::IsArtChecked(NoteArtKind art) const
{
    if (mode == unitMuzNew)
        return insertTool.Kind == insertModeNote && insertTool.Art == art;
    return mode == unitMuzSel && SelectedNote() && SelectedNote()->GetNoteArtKind() == art;
}

bool TUnitMuz::IsKeyChecked(KeyKind kind) const
{
    if (mode == unitMuzNew)
        return insertTool.Kind == insertModeKey && insertTool.Key == kind;
    return mode == unitMuzSel && SelectedKey() && SelectedKey()->GetKeyKind() == kind;
}

bool TUnitMuz::IsNoteShiftChecked(NoteShiftKind shift) const
{
    if (mode == unitMuzNew)
        return insertTool.Kind == insertModeNoteShift && insertTool.NoteShift == shift;
    return mode == unitMuzSel && SelectedNote() && SelectedNote()->GetNoteShiftKind() == shift;
}

bool TUnitMuz::IsNoteStickUpChecked() const
{
    DrawStickKind stick = drawStickAuto;
    return GetCurrentStick(stick) && stick == drawStickUp;
}

bool TUnitMuz::IsNoteStickDownChecked() const
{
    DrawStickKind stick = drawStickAuto;
    return GetCurrentStick(stick) && stick == drawStickDown;
}

} // namespace kelvorn
