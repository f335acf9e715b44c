// The editing commands that change what a symbol is rather than how long it lasts:
// articulation, accidentals and key signatures, clefs, pitches, the exchange of neighbouring
// groups in time, note groups and stems, and playing the selected note.

#include "general/Assert.h"
#include "music/core/MuzEditShared.h"
#include "music/core/Stave.h"
#include "music/core/UnitMuz.h"

#include <algorithm>

namespace kelvorn {

using namespace muzedit;

namespace {

/// From the shortest to the longest sound.
constexpr NoteArtKind artOrder[] = {noteArtStaccatissimo, noteArtStaccato, noteArtNormal,
                                    noteArtPortato, noteArtLegato};

int32_t ArtRank(NoteArtKind art)
{
    return static_cast<int32_t>(std::find(std::begin(artOrder), std::end(artOrder), art) -
                                std::begin(artOrder));
}

/// Whether another note of note's chord sounds pitch.
bool ChordHasPitch(const TMuzNote& note, int32_t pitch)
{
    auto same = [&note, pitch](const TStaveSymbol* s) {
        const TMuzNote* other = s->AsNote();
        return other && other->GetNoteStave() == note.GetNoteStave() &&
               other->GetPosInOol() == note.GetPosInOol() && other->GetPitch() == pitch;
    };
    for (const TStaveSymbol* s = note.GetPrev(); s && s->GetPosition() == note.GetPosition();
         s = s->GetPrev())
        if (same(s))
            return true;
    for (const TStaveSymbol* s = note.GetNext(); s && s->GetPosition() == note.GetPosition();
         s = s->GetNext())
        if (same(s))
            return true;
    return false;
}

/// The longest duration of a group of notes and rests (0 for a clef).
double GroupDuration(const std::vector<TStaveSymbol*>& group)
{
    double duration = 0.0;
    for (TStaveSymbol* s : group)
        if (s->IsTimeSymbol())
            duration = std::max(duration, static_cast<TStaveTimeSymbol*>(s)->GetLengthValue());
    return duration;
}

bool IsOpeningKey(const TStaveSymbol* symbol)
{
    const TKey* key =
        symbol->GetStaveSymbolKind() == staveSymbolKey ? static_cast<const TKey*>(symbol) : nullptr;
    return key && key->GetPosition() == 0.0 && key->GetKeyNumber() == 1;
}

void Repitch(TUnitMuz& doc, TMuzNote& note, int32_t pitch)
{
    note.SetPitch(pitch);
    note.GetOwner()->MoveSymbol(&note);
    note.PlayNoteSound(doc.tempo.GetValue());
}

} // namespace

// ---- Articulation -------------------------------------------------------------------------------

void TUnitMuz::ArtExecute(NoteArtKind art)
{
    if (!KV_SOFT_ASSERT(CanArtExecute(art)))
        return;
    if (mode == unitMuzNew) {
        insertTool.Art = art;
        return;
    }
    TMuzNote* note = SelectedNote();
    for (TMuzNote* member : ChordOf(note))
        member->SetNoteArtKind(art);
    note->PlayNoteSound(tempo.GetValue());
    Edited();
}

void TUnitMuz::ArtLongerExecute()
{
    NoteArtKind art = noteArtNormal;
    if (!GetCurrentArt(art))
        return;
    const int32_t rank = ArtRank(art);
    if (rank + 1 < int32_t(std::size(artOrder)) && CanArtExecute(artOrder[rank + 1]))
        ArtExecute(artOrder[rank + 1]);
}

void TUnitMuz::ArtShorterExecute()
{
    NoteArtKind art = noteArtNormal;
    if (!GetCurrentArt(art))
        return;
    const int32_t rank = ArtRank(art);
    if (rank > 0 && rank < int32_t(std::size(artOrder)) && CanArtExecute(artOrder[rank - 1]))
        ArtExecute(artOrder[rank - 1]);
}

// ---- Accidentals, key signatures and clefs ------------------------------------------------------

void TUnitMuz::NoteShiftExecute(NoteShiftKind shift)
{
    if (!KV_SOFT_ASSERT(CanNoteShiftExecute(shift)))
        return;
    if (mode == unitMuzNew) {
        insertTool.NoteShift = shift;
        insertTool.Kind = insertModeNoteShift;
        return;
    }
    if (TMuzNote* note = SelectedNote()) {
        note->SetNoteShiftKind(shift);
        note->PlayNoteSound(tempo.GetValue());
        Edited();
        return;
    }
    // A clef's signature: one sharp more or one flat less, or the other way round.
    TKey* key = SelectedKey();
    int32_t toonladder = 0;
    key->ToonLadder(toonladder);
    if (shift == noteShiftKruis) {
        if (toonladder >= 0)
            key->SetKeyNoteShift(key->GetKeyShiftHeight(noteShiftKruis, toonladder),
                                 noteShiftKruis);
        else
            key->SetKeyNoteShift(key->GetKeyShiftHeight(noteShiftMol, -toonladder - 1),
                                 noteShiftNormal);
    } else if (toonladder <= 0) {
        key->SetKeyNoteShift(key->GetKeyShiftHeight(noteShiftMol, -toonladder), noteShiftMol);
    } else {
        key->SetKeyNoteShift(key->GetKeyShiftHeight(noteShiftKruis, toonladder - 1),
                             noteShiftNormal);
    }
    Edited();
}

void TUnitMuz::KeyExecute(KeyKind kind)
{
    if (!KV_SOFT_ASSERT(CanKeyExecute(kind)))
        return;
    if (mode == unitMuzNew) {
        insertTool.Key = kind;
        insertTool.Kind = insertModeKey;
        return;
    }
    SelectedKey()->SetKeyKind(kind);
    Edited();
}

void TUnitMuz::ClefUpExecute()
{
    if (IsKeyChecked(keyKindF) && CanKeyExecute(keyKindC))
        KeyExecute(keyKindC);
    else if (IsKeyChecked(keyKindC) && CanKeyExecute(keyKindG))
        KeyExecute(keyKindG);
}

void TUnitMuz::ClefDownExecute()
{
    if (IsKeyChecked(keyKindG) && CanKeyExecute(keyKindC))
        KeyExecute(keyKindC);
    else if (IsKeyChecked(keyKindC) && CanKeyExecute(keyKindF))
        KeyExecute(keyKindF);
}

// ---- Pitches ----------------------------------------------------------------------------------

bool TUnitMuz::UpperPosition(const TMuzNote* note, int32_t& pitch) const
{
    int32_t p = note->GetPitch() + 1;
    while (p <= GetMaxPitch() && ChordHasPitch(*note, p))
        ++p;
    if (p > GetMaxPitch())
        return false;
    pitch = p;
    return true;
}

bool TUnitMuz::LowerPosition(const TMuzNote* note, int32_t& pitch) const
{
    int32_t p = note->GetPitch() - 1;
    while (p >= GetMinPitch() && ChordHasPitch(*note, p))
        --p;
    if (p < GetMinPitch())
        return false;
    pitch = p;
    return true;
}

bool TUnitMuz::UpperOctPosition(const TMuzNote* note, int32_t& pitch) const
{
    const int32_t p = note->GetPitch() + 7;
    if (p > GetMaxPitch() || ChordHasPitch(*note, p))
        return false;
    pitch = p;
    return true;
}

bool TUnitMuz::LowerOctPosition(const TMuzNote* note, int32_t& pitch) const
{
    const int32_t p = note->GetPitch() - 7;
    if (p < GetMinPitch() || ChordHasPitch(*note, p))
        return false;
    pitch = p;
    return true;
}

void TUnitMuz::MoveUpExecute()
{
    if (!KV_SOFT_ASSERT(CanMoveUpExecute()))
        return;
    TMuzNote* moveNote = SelectedNote();
    int32_t pitch = 0;
    if (KV_SOFT_ASSERT(UpperPosition(moveNote, pitch)))
        Repitch(*this, *moveNote, pitch);
    Edited();
}

void TUnitMuz::MoveDownExecute()
{
    if (!KV_SOFT_ASSERT(CanMoveDownExecute()))
        return;
    TMuzNote* moveNote = SelectedNote();
    int32_t pitch = 0;
    if (KV_SOFT_ASSERT(LowerPosition(moveNote, pitch)))
        Repitch(*this, *moveNote, pitch);
    Edited();
}

void TUnitMuz::MoveOctUpExecute()
{
    if (!KV_SOFT_ASSERT(CanMoveOctUpExecute()))
        return;
    if (TKey* key = SelectedKey()) {
        const int32_t addOctaves = key->GetOctavesUp();
        if (KV_SOFT_ASSERT(addOctaves < 2))
            key->SetOctavesUp(addOctaves + 1);
    } else {
        TMuzNote* moveNote = SelectedNote();
        int32_t pitch = 0;
        if (KV_SOFT_ASSERT(UpperOctPosition(moveNote, pitch)))
            Repitch(*this, *moveNote, pitch);
    }
    Edited();
}

void TUnitMuz::MoveOctDownExecute()
{
    if (!KV_SOFT_ASSERT(CanMoveOctDownExecute()))
        return;
    if (TKey* key = SelectedKey()) {
        const int32_t addOctaves = key->GetOctavesUp();
        if (KV_SOFT_ASSERT(addOctaves > -2))
            key->SetOctavesUp(addOctaves - 1);
    } else {
        TMuzNote* moveNote = SelectedNote();
        int32_t pitch = 0;
        if (KV_SOFT_ASSERT(LowerOctPosition(moveNote, pitch)))
            Repitch(*this, *moveNote, pitch);
    }
    Edited();
}

// ---- Exchanging neighbouring groups in time ---------------------------------------------------

bool TUnitMuz::SearchForSwitch(TStaveSymbol* symbol, SwitchSide side, TStaveSymbol*& firstStart,
                               TStaveSymbol*& lastStart, TStaveSymbol*& firstFound,
                               TStaveSymbol*& lastFound) const
{
    if (!symbol)
        return false;
    const TSinglePartMuz& part = *symbol->GetOwner();
    const std::vector<TStaveSymbol*> start = TimeGroupOf(symbol);
    TStaveSymbol* found = side == side2Left ? part.PrevSymbolOfStave(start.front())
                                            : part.NextSymbolOfStave(start.back());
    // A note or rest passes the clefs at its own time.
    if (side == side2Left && symbol->IsTimeSymbol())
        while (found && found->AsKey() && found->GetPosition() == symbol->GetPosition())
            found = part.PrevSymbolOfStave(found);
    if (!found)
        return false;
    // The clef a stave opens with stays in front of its notes and rests.
    if ((symbol->IsTimeSymbol() && IsOpeningKey(found)) ||
        (IsOpeningKey(symbol) && found->IsTimeSymbol()))
        return false;
    const std::vector<TStaveSymbol*> other = TimeGroupOf(found);
    // The earlier group follows the later one at its old time plus the later one's length: where
    // a chord of unequal notes let the music after them begin sooner, a group may already stand
    // there, and two groups at one time would mix a tuplet with what is not its own.
    const std::vector<TStaveSymbol*>& earlier = side == side2Left ? other : start;
    const std::vector<TStaveSymbol*>& later = side == side2Left ? start : other;
    if (earlier.front()->IsTimeSymbol() && later.front()->IsTimeSymbol()) {
        const double landing = earlier.front()->GetPosition() + GroupDuration(later);
        for (TStaveSymbol* s = later.back()->GetNext(); s && s->GetPosition() <= landing;
             s = s->GetNext())
            if (s->GetNoteStave() == symbol->GetNoteStave() && s->IsTimeSymbol() &&
                s->GetPosition() == landing)
                return false;
    }
    firstStart = start.front();
    lastStart = start.back();
    firstFound = other.front();
    lastFound = other.back();
    return true;
}

void TUnitMuz::SwitchSymbols(TStaveSymbol* firstPrev, TStaveSymbol* lastPrev,
                             TStaveSymbol* firstNext, TStaveSymbol* lastNext)
{
    if (!KV_SOFT_ASSERT(firstPrev->GetNoteStave() == firstNext->GetNoteStave()) ||
        !KV_SOFT_ASSERT(firstPrev->GetOwner() == firstNext->GetOwner()) ||
        !KV_SOFT_ASSERT(lastPrev->IsPrevOf(*firstNext)) || !KV_SOFT_ASSERT(lastNext != NULL))
        return;
    TSinglePartMuz& part = *firstPrev->GetOwner();
    const TNoteStave* stave = firstPrev->GetNoteStave();
    const double prevPos = firstPrev->GetPosition();
    const double nextPos = firstNext->GetPosition();
    const std::vector<TStaveSymbol*> earlier = TimeGroupOf(firstPrev);
    const std::vector<TStaveSymbol*> later = TimeGroupOf(firstNext);
    auto place = [&part](TStaveSymbol* s, double position) {
        if (s->GetPosition() != position)
            part.ShiftSymbol(s, position);
        else
            part.MoveSymbol(s);
    };
    TKey* prevKey = firstPrev->AsKey();
    TKey* nextKey = firstNext->AsKey();
    if (prevKey && nextKey) {
        const int32_t prevNumber = prevKey->GetKeyNumber();
        const int32_t nextNumber = nextKey->GetKeyNumber();
        if (prevPos == nextPos) {
            // Two clefs at one time exchange their order only.
            prevKey->SetKeyNumber(nextNumber);
            part.MoveSymbol(prevKey);
            nextKey->SetKeyNumber(prevNumber);
            part.MoveSymbol(nextKey);
            return;
        }
        RenumberKeys(part, stave, nextPos, nextNumber + 1, -1, nextKey);
        prevKey->SetKeyNumber(prevNumber + 1);
        part.MoveSymbol(prevKey);
        nextKey->SetKeyNumber(prevNumber);
        place(nextKey, prevPos);
        return;
    }
    if (prevKey) {
        // A clef moving right past notes and rests comes first at its new time.
        for (TStaveSymbol* s : later)
            place(s, prevPos);
        const double to = prevPos + GroupDuration(later);
        RenumberKeys(part, stave, to, 1, 1, prevKey);
        prevKey->SetKeyNumber(1);
        place(prevKey, to);
        return;
    }
    if (nextKey) {
        // A clef moving left comes after the clefs already at its new time.
        const TKey* inForce = part.FindKeyAt(stave, prevPos);
        const int32_t number =
            inForce && inForce->GetPosition() == prevPos ? inForce->GetKeyNumber() + 1 : 1;
        RenumberKeys(part, stave, nextPos, nextKey->GetKeyNumber() + 1, -1, nextKey);
        nextKey->SetKeyNumber(number);
        place(nextKey, prevPos);
        return;
    }
    const double to = prevPos + GroupDuration(later);
    for (TStaveSymbol* s : later)
        place(s, prevPos);
    for (auto it = earlier.rbegin(); it != earlier.rend(); ++it)
        place(*it, to);
}

void TUnitMuz::MovePrevExecute()
{
    TStaveSymbol *firstStart = nullptr, *lastStart = nullptr, *firstFound = nullptr,
                 *lastFound = nullptr;
    if (!KV_SOFT_ASSERT(CanMovePrevExecute()) ||
        !SearchForSwitch(SelectedStaveSymbol(), side2Left, firstStart, lastStart, firstFound,
                         lastFound))
        return;
    SwitchSymbols(firstFound, lastFound, firstStart, lastStart);
    Edited();
}

void TUnitMuz::MoveNextExecute()
{
    TStaveSymbol *firstStart = nullptr, *lastStart = nullptr, *firstFound = nullptr,
                 *lastFound = nullptr;
    if (!KV_SOFT_ASSERT(CanMoveNextExecute()) ||
        !SearchForSwitch(SelectedStaveSymbol(), side2Right, firstStart, lastStart, firstFound,
                         lastFound))
        return;
    SwitchSymbols(firstStart, lastStart, firstFound, lastFound);
    Edited();
}

// ---- Playing, note groups and stems -----------------------------------------------------------

void TUnitMuz::PlayNoteExecute()
{
    if (KV_SOFT_ASSERT(CanPlayNoteExecute()))
        SelectedNote()->PlaySymbolSound(tempo.GetValue());
}

void TUnitMuz::NoteGroupPrevExecute()
{
    if (!KV_SOFT_ASSERT(CanNoteGroupPrevExecute()))
        return;
    TMuzNote* note = SelectedNote();
    TNoteStave* stave = note->GetNoteStave();
    TNoteGroup* prevNoteGroup = stave->GetPrevNoteGroup(note->GetNoteGroup());
    stave->SetSelectedNoteGroup(prevNoteGroup);
    note->SetNoteGroup(prevNoteGroup);
    Edited();
    note->PlayNoteSound(tempo.GetValue());
}

void TUnitMuz::NoteGroupNextExecute()
{
    if (!KV_SOFT_ASSERT(CanNoteGroupNextExecute()))
        return;
    TMuzNote* note = SelectedNote();
    TNoteGroup* nextNoteGroup = note->GetNoteGroup()->GetNext();
    note->GetNoteStave()->SetSelectedNoteGroup(nextNoteGroup);
    note->SetNoteGroup(nextNoteGroup);
    Edited();
    note->PlayNoteSound(tempo.GetValue());
}

bool TUnitMuz::GetCurrentStick(DrawStickKind& stick) const
{
    if (mode == unitMuzNew && insertTool.Kind == insertModeNote) {
        stick = insertTool.Stick;
        return true;
    }
    TMuzNote* note = mode == unitMuzSel ? SelectedNote() : nullptr;
    if (note)
        stick = note->GetDrawStickKind();
    return note != nullptr;
}

void TUnitMuz::SetStick(DrawStickKind stick)
{
    DrawStickKind current = drawStickAuto;
    if (!KV_SOFT_ASSERT(GetCurrentStick(current)))
        return;
    const DrawStickKind next = current == stick ? drawStickAuto : stick;
    if (mode == unitMuzNew) {
        insertTool.Stick = next;
        return;
    }
    TMuzNote* note = SelectedNote();
    note->SetDrawStickKind(next);
    note->PlayNoteSound(tempo.GetValue());
    Edited();
}

} // namespace kelvorn
