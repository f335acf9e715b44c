// The editing commands that add and remove symbols or change their durations: clicks in insert
// and delete mode, Delete, the note and rest lengths, dots and tuplets.

#include "general/Assert.h"
#include "music/core/MuzEditShared.h"
#include "music/core/Stave.h"
#include "music/core/UnitMuz.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace kelvorn {

void TSinglePartMuz::ShiftSymbol(TStaveSymbol* symbol, double position)
{
    if (!KV_SOFT_ASSERT(symbol != nullptr) || symbol->Owner != this)
        return;
    const double old = symbol->Position;
    symbol->SetPosition(position);
    // The rest of the chain is in order: the symbol goes after the last symbol up to its new
    // time that must stand before it (later), or before the first from its new time on that
    // must stand after it (earlier). A rest and a note of one time are unordered, so the scan
    // covers the whole window rather than stopping at the first neighbour in place.
    if (position > old) {
        TStaveSymbol* after = nullptr;
        for (TStaveSymbol* s = symbol->Next; s && s->Position <= position; s = s->Next)
            if (s->IsPrevOf(*symbol))
                after = s;
        if (after) {
            Unlink(symbol);
            Link(symbol, after);
        }
    } else if (position < old) {
        TStaveSymbol* before = nullptr;
        for (TStaveSymbol* s = symbol->Prev; s && s->Position >= position; s = s->Prev)
            if (symbol->IsPrevOf(*s))
                before = s;
        if (before) {
            Unlink(symbol);
            Link(symbol, before->Prev);
        }
    }
}

namespace muzedit {

std::vector<TStaveTimeSymbol*> TupletOf(TStaveTimeSymbol* symbol)
{
    if (symbol->GetMultiOol() == sool)
        return {symbol};
    std::vector<TStaveTimeSymbol*> members;
    for (TStaveSymbol* s = symbol->FindFirstAtPosition(); s; s = s->FindNextAtPosition())
        if (static_cast<TStaveTimeSymbol*>(s)->GetMultiOol() == symbol->GetMultiOol())
            members.push_back(static_cast<TStaveTimeSymbol*>(s));
    return members;
}

std::vector<TMuzNote*> ChordOf(TStaveSymbol* symbol)
{
    std::vector<TMuzNote*> notes;
    for (TStaveSymbol* s = symbol->FindFirstInOolAtPosition(); s; s = s->FindNextInOolAtPosition())
        if (TMuzNote* note = s->AsNote())
            notes.push_back(note);
    return notes;
}

bool HoldsNote(const std::vector<TStaveTimeSymbol*>& symbols)
{
    return std::any_of(symbols.begin(), symbols.end(),
                       [](TStaveTimeSymbol* s) { return s->AsNote() != nullptr; });
}

std::vector<TStaveSymbol*> TimeGroupOf(TStaveSymbol* symbol)
{
    if (!symbol->IsTimeSymbol())
        return {symbol};
    std::vector<TStaveSymbol*> group;
    for (TStaveSymbol* s = symbol->FindFirstAtPosition(); s; s = s->FindNextAtPosition())
        group.push_back(s);
    return group;
}

TStaveSymbol* LastOfGroup(TStaveSymbol* symbol)
{
    return symbol->IsTimeSymbol() ? symbol->FindLastAtPosition() : symbol;
}

double GroupEnd(TStaveSymbol* symbol, const std::function<bool(const TStaveSymbol*)>& leaves)
{
    double end = symbol->GetPosition();
    if (!symbol->IsTimeSymbol())
        return end;
    for (TStaveSymbol* s : TimeGroupOf(symbol))
        if (!leaves || !leaves(s))
            end = std::max(end,
                           s->GetPosition() + static_cast<TStaveTimeSymbol*>(s)->GetLengthValue());
    return end;
}

void ShiftAfter(TSinglePartMuz& part, TStaveSymbol* anchor, const TNoteStave* stave, double delta,
                double floor)
{
    std::vector<TStaveSymbol*> moving;
    double first = 0.0;
    for (TStaveSymbol* s = anchor ? anchor->GetNext() : part.FirstSymbol(); s; s = s->GetNext())
        if (s->GetNoteStave() == stave) {
            first = moving.empty() ? s->GetPosition() : std::min(first, s->GetPosition());
            moving.push_back(s);
        }
    if (moving.empty())
        return;
    // Only a chord of unequal notes lets later music start before the group's end; it moves
    // as little as it must then, and never back towards the group.
    if (delta < 0)
        delta = std::max(delta, std::min(0.0, floor - first));
    else
        delta = std::max(delta, floor - first);
    if (delta == 0.0)
        return;
    // A clef that lands where clefs of the stave stay comes after them.
    std::map<TStaveSymbol*, int32_t> renumbered;
    for (TStaveSymbol* s : moving)
        if (TKey* key = s->AsKey()) {
            const double to = key->GetPosition() + delta;
            int32_t staying = 0;
            for (TStaveSymbol* o = part.FirstSymbol(); o && o->GetPosition() <= to;
                 o = o->GetNext())
                if (TKey* other = o->AsKey();
                    other && other->GetNoteStave() == stave && other->GetPosition() == to &&
                    std::find(moving.begin(), moving.end(), o) == moving.end())
                    staying = std::max(staying, other->GetKeyNumber());
            if (staying > 0)
                renumbered[key] = key->GetKeyNumber() + staying;
        }
    // One symbol at a time leaves its place, so that the rest of the chain stays in order for
    // the re-sort.
    auto move = [&](TStaveSymbol* s) {
        if (const auto it = renumbered.find(s); it != renumbered.end()) {
            // A new number re-sorts at the old time first, so that the chain stays in order.
            s->AsKey()->SetKeyNumber(it->second);
            part.MoveSymbol(s);
        }
        part.ShiftSymbol(s, s->GetPosition() + delta);
    };
    // A symbol moved first never has to pass one still waiting to move.
    if (delta < 0)
        std::for_each(moving.begin(), moving.end(), move);
    else
        std::for_each(moving.rbegin(), moving.rend(), move);
    // The clefs that moved on from their fellows at one time count from 1 where they land.
    for (TStaveSymbol* s : moving)
        if (s->AsKey())
            NumberKeys(part, stave, s->GetPosition());
}

void NumberKeys(TSinglePartMuz& part, const TNoteStave* stave, double position)
{
    std::vector<TKey*> keys;
    for (TStaveSymbol* s = part.FirstSymbol(); s && s->GetPosition() <= position; s = s->GetNext())
        if (TKey* key = s->AsKey();
            key && key->GetNoteStave() == stave && key->GetPosition() == position)
            keys.push_back(key);
    // Clefs of all staves at one time share the order of their numbers: each re-sorts at once.
    for (size_t i = 0; i < keys.size(); ++i)
        if (keys[i]->GetKeyNumber() != int32_t(i + 1)) {
            keys[i]->SetKeyNumber(int32_t(i + 1));
            part.MoveSymbol(keys[i]);
        }
}

void RenumberKeys(TSinglePartMuz& part, const TNoteStave* stave, double position, int32_t from,
                  int32_t by, const TKey* except)
{
    std::vector<TKey*> keys;
    for (TStaveSymbol* s = part.FirstSymbol(); s && s->GetPosition() <= position; s = s->GetNext())
        if (TKey* key = s->AsKey(); key && key != except && key->GetNoteStave() == stave &&
                                    key->GetPosition() == position && key->GetKeyNumber() >= from)
            keys.push_back(key);
    for (TKey* key : keys) {
        key->SetKeyNumber(key->GetKeyNumber() + by);
        part.MoveSymbol(key);
    }
}

} // namespace muzedit

using namespace muzedit;

namespace {

/// Where a click between two symbols of a stave inserts: the part, the symbol after which the
/// stave's later symbols move, and the time.
struct TInsertPlace
{
    TSinglePartMuz* part = nullptr;
    TStaveSymbol* anchor = nullptr;
    double position = 0.0;
};

/// The symbols of a stave around a click that can give a time: a loop mark stands between parts
/// and has none, and what lies on another stave is no neighbour.
TXTouchMuzSymbol* Neighbour(TXTouchMuzSymbol* symbol, const TNoteStave* stave)
{
    if (!symbol || symbol->GetMuzSymbolKind() == muzSymbolLoop)
        return nullptr;
    if (symbol->GetMuzSymbolKind() == muzSymbolStave &&
        static_cast<TStaveSymbol*>(symbol)->GetNoteStave() != stave)
        return nullptr;
    return symbol;
}

/// The end of left, or the time of right without one. A bar stands for the start of its part,
/// behind the clefs its stave opens with.
bool FindPlace(const TNoteStave* stave, TXTouchMuzSymbol* left, TXTouchMuzSymbol* right,
               TInsertPlace& place)
{
    TXTouchMuzSymbol* from = left ? left : right;
    if (!from)
        return false;
    if (from->GetMuzSymbolKind() == muzSymbolBar) {
        place.part = static_cast<TMuzBar*>(from)->GetSinglePartMuz();
        place.position = 0.0;
        for (TStaveSymbol* s = place.part->FirstSymbol(); s && s->GetPosition() == 0.0;
             s = s->GetNext())
            if (s->GetNoteStave() == stave && s->AsKey())
                place.anchor = s;
        return true;
    }
    auto* symbol = static_cast<TStaveSymbol*>(from);
    place.part = symbol->GetOwner();
    if (!left) {
        place.anchor = place.part->PrevSymbolOfStave(symbol);
        place.position = symbol->GetPosition();
        return true;
    }
    place.anchor = LastOfGroup(symbol);
    place.position = symbol->GetPosition();
    if (symbol->IsTimeSymbol())
        place.position += static_cast<TStaveTimeSymbol*>(symbol)->GetLengthValue();
    return true;
}

/// A note or rest only goes after the last member of a tuplet, never inside one.
bool InsideTuplet(const TXTouchMuzSymbol* left)
{
    if (left->GetMuzSymbolKind() != muzSymbolStave)
        return false;
    const auto* symbol = static_cast<const TStaveSymbol*>(left);
    if (!symbol->IsTimeSymbol())
        return false;
    const auto* time = static_cast<const TStaveTimeSymbol*>(symbol);
    return time->GetMultiOol() != sool && time->GetPosInOol() != time->GetMultiOol() - 1;
}

/// The clef that gives the pitch of a step at a time of a stave.
bool PitchOfStep(const TSinglePartMuz& part, const TNoteStave* stave, double time, int32_t step,
                 int32_t& pitch)
{
    const TKey* key = part.FindKeyAt(stave, time);
    if (!key || !key->IsPitchInRange(step))
        return false;
    pitch = key->GetPitchOfStep(step);
    return true;
}

} // namespace

// ---- Clicks -----------------------------------------------------------------------------------

bool TUnitMuz::InsertAt(TNoteStave* stave, TMuzNote* note, TSilence* rest, TXTouchMuzSymbol* left,
                        TXTouchMuzSymbol* right, int32_t step)
{
    if (mode != unitMuzNew || !stave)
        return false;
    left = Neighbour(left, stave);
    right = Neighbour(right, stave);
    if (note && note->GetNoteStave() != stave)
        note = nullptr;
    if (rest && rest->GetNoteStave() != stave)
        rest = nullptr;
    TNoteGroup* group = stave->GetFirstNoteGroup() ? stave->GetSelectedNoteGroup() : nullptr;
    const TInsertTool& tool = insertTool;
    int32_t pitch = 0;

    if (tool.Kind == insertModeNote && (note || rest)) {
        TStaveTimeSymbol* clicked = note ? static_cast<TStaveTimeSymbol*>(note) : rest;
        TSinglePartMuz* part = clicked->GetOwner();
        if (!PitchOfStep(*part, stave, clicked->GetPosition(), step, pitch) ||
            !KV_SOFT_ASSERT(group != NULL))
            return false;
        if (note)
            for (TMuzNote* other : ChordOf(note))
                if (other->GetPitch() == pitch)
                    return false;
        auto* added = new TMuzNote(this, group, clicked->GetNoteLengthKind(), clicked->GetPoints(),
                                   clicked->GetPosition(), pitch, stave, noteShiftNormal,
                                   clicked->GetMultiOol(), clicked->GetPosInOol(), tool.Art, part,
                                   tool.Stick);
        if (rest)
            part->DeleteSymbol(rest);
        part->InsertSymbol(added);
        SelectSymbol(added);
        return true;
    }

    TInsertPlace place;
    if (!FindPlace(stave, left, right, place))
        return false;
    TSinglePartMuz& part = *place.part;
    if (tool.Kind == insertModeKey) {
        // The clefs every stave opens with stay as they are.
        if (place.position == 0.0)
            return false;
        TKey* leftKey = left && left->GetMuzSymbolKind() == muzSymbolStave
                            ? static_cast<TStaveSymbol*>(left)->AsKey()
                            : nullptr;
        const int32_t number = leftKey ? leftKey->GetKeyNumber() + 1 : 1;
        RenumberKeys(part, stave, place.position, number, 1, nullptr);
        auto* key = new TKey(this, tool.Key, 0, place.position, stave, number, &part);
        part.InsertSymbol(key);
        SelectSymbol(key);
        return true;
    }
    if ((tool.Kind != insertModeNote && tool.Kind != insertModeSilence) || !left ||
        InsideTuplet(left))
        return false;
    TStaveTimeSymbol* added = nullptr;
    if (tool.Kind == insertModeNote) {
        const double keyTime = left->GetMuzSymbolKind() == muzSymbolBar
                                   ? 0.0
                                   : static_cast<TStaveSymbol*>(left)->GetPosition();
        if (!PitchOfStep(part, stave, keyTime, step, pitch) || !KV_SOFT_ASSERT(group != NULL))
            return false;
        added = new TMuzNote(this, group, tool.NoteLengthKind, tool.Points, place.position, pitch,
                             stave, noteShiftNormal, sool, 0, tool.Art, &part, tool.Stick);
    } else {
        added =
            new TSilence(tool.NoteLengthKind, tool.Points, place.position, stave, sool, 0, &part);
    }
    ShiftAfter(part, place.anchor, stave, added->GetLengthValue(),
               place.position + added->GetLengthValue());
    part.InsertSymbol(added);
    SelectSymbol(added);
    return true;
}

bool TUnitMuz::ApplyNoteShift(TXTouchMuzSymbol* symbol, int32_t step)
{
    if (mode != unitMuzNew || !symbol || symbol->GetMuzSymbolKind() != muzSymbolStave)
        return false;
    auto* staveSymbol = static_cast<TStaveSymbol*>(symbol);
    const NoteShiftKind shift = insertTool.NoteShift;
    if (TMuzNote* note = staveSymbol->AsNote()) {
        note->SetNoteShiftKind(shift);
        note->PlayNoteSound(tempo.GetValue());
        return true;
    }
    // A signature holds sharps and flats only; natural takes the step's accidental away.
    TKey* key = staveSymbol->AsKey();
    if (!key || shift == noteShiftDoubleKruis || shift == noteShiftDoubleMol ||
        shift == noteShiftNone)
        return false;
    key->SetKeyNoteShift(step, shift);
    return true;
}

// ---- Deleting ---------------------------------------------------------------------------------

bool TUnitMuz::CanDeleteSymbol(const TXTouchMuzSymbol* symbol) const
{
    if (!symbol || symbol->GetMuzSymbolKind() != muzSymbolStave)
        return false;
    const auto* staveSymbol = static_cast<const TStaveSymbol*>(symbol);
    switch (staveSymbol->GetStaveSymbolKind()) {
    case staveSymbolKey:
        return staveSymbol->GetPosition() != 0.0 ||
               staveSymbol->GetOwner()->CountKeysAtZero(staveSymbol->GetNoteStave()) > 1;
    case staveSymbolSilence:
        return static_cast<const TSilence*>(staveSymbol)->GetMultiOol() == sool;
    default:
        return true;
    }
}

bool TUnitMuz::DeleteStaveSymbol(TStaveSymbol* symbol)
{
    if (!CanDeleteSymbol(symbol))
        return false;
    TSinglePartMuz& part = *symbol->GetOwner();
    if (TKey* key = symbol->AsKey()) {
        RenumberKeys(part, key->GetNoteStave(), key->GetPosition(), key->GetKeyNumber() + 1, -1,
                     key);
        part.DeleteSymbol(key);
        return true;
    }
    auto* time = static_cast<TStaveTimeSymbol*>(symbol);
    TMuzNote* note = time->AsNote();
    // What follows closes the gap up to the end of what stays at the symbol's time.
    auto closeGap = [&part, time] {
        ShiftAfter(part, LastOfGroup(time), time->GetNoteStave(), -time->GetLengthValue(),
                   GroupEnd(time, [time](const TStaveSymbol* s) { return s == time; }));
    };
    if (!note) {
        closeGap();
        part.DeleteSymbol(time);
        return true;
    }
    note->PlayNoteSound(tempo.GetValue());
    if (ChordOf(note).size() > 1) {
        part.DeleteSymbol(note);
        return true;
    }
    if (note->GetMultiOol() == sool) {
        closeGap();
        part.DeleteSymbol(note);
        return true;
    }
    // A tuplet keeps its members: a rest stands where the note was.
    RemoveEmptyTuplet(ReplaceByRest(note));
    return true;
}

void TUnitMuz::DeleteExecute()
{
    if (!KV_SOFT_ASSERT(CanDeleteExecute()))
        return;
    TStaveSymbol* symbol = SelectedStaveSymbol();
    TSinglePartMuz* part = symbol->GetOwner();
    // The neighbours outside the symbol's tuplet: the tuplet may go as a whole.
    std::vector<TStaveTimeSymbol*> members;
    if (symbol->IsTimeSymbol())
        members = TupletOf(static_cast<TStaveTimeSymbol*>(symbol));
    TStaveSymbol* first = members.empty() ? symbol : members.front();
    TStaveSymbol* last = members.empty() ? symbol : members.back();
    TStaveSymbol* before = part->PrevSymbolOfStave(first);
    TStaveSymbol* after = part->NextSymbolOfStave(last);
    DeleteStaveSymbol(symbol);
    if (!SelectedSymbol)
        SelectSymbol(after ? after : before);
    Edited();
}

void TUnitMuz::RemoveEmptyTuplet(TStaveTimeSymbol* symbol)
{
    if (symbol->GetMultiOol() == sool)
        return;
    const std::vector<TStaveTimeSymbol*> members = TupletOf(symbol);
    if (HoldsNote(members))
        return;
    // Every member lasts the whole tuplet: the gap closes once.
    TSinglePartMuz& part = *symbol->GetOwner();
    const MultiOol ool = symbol->GetMultiOol();
    ShiftAfter(part, LastOfGroup(symbol), symbol->GetNoteStave(), -symbol->GetLengthValue(),
               GroupEnd(symbol, [ool](const TStaveSymbol* s) {
                   return static_cast<const TStaveTimeSymbol*>(s)->GetMultiOol() == ool;
               }));
    for (TStaveTimeSymbol* member : members)
        part.DeleteSymbol(member);
    SetSelectedSymbol(nullptr);
}

void TUnitMuz::ShiftFollowing(TStaveSymbol* symbol, double delta, const TNoteStave* stave)
{
    // After the symbol's whole chord or tuplet: its other members keep their time.
    ShiftAfter(*symbol->GetOwner(), LastOfGroup(symbol), stave ? stave : symbol->GetNoteStave(),
               delta, GroupEnd(symbol));
}

// ---- Lengths ----------------------------------------------------------------------------------

bool TUnitMuz::ChangeLength(TStaveTimeSymbol* symbol, int32_t length)
{
    uint8_t total = 0;
    if (!KV_SOFT_ASSERT(symbol->FlagLength2TotalLength(length, total)))
        return false;
    const double before = symbol->GetLengthValue();
    for (TStaveTimeSymbol* member : TupletOf(symbol))
        member->SetNoteLengthKind(total);
    if (const double delta = symbol->GetLengthValue() - before; delta != 0.0)
        ShiftFollowing(symbol, delta);
    return true;
}

TMuzNote* TUnitMuz::ReplaceByNote(TSilence* rest)
{
    TSinglePartMuz& part = *rest->GetOwner();
    TNoteStave* stave = rest->GetNoteStave();
    TNoteGroup* noteGroup = stave->GetFirstNoteGroup() ? stave->GetSelectedNoteGroup() : nullptr;
    if (!KV_SOFT_ASSERT(noteGroup != NULL))
        return nullptr;
    const TKey* key = part.FindKeyAt(stave, rest->GetPosition());
    auto* note = new TMuzNote(this, noteGroup, rest->GetNoteLengthKind(), rest->GetPoints(),
                              rest->GetPosition(), key ? key->GetPitchOfStep(0) : 0, stave,
                              noteShiftNormal, rest->GetMultiOol(), rest->GetPosInOol(),
                              noteArtNormal, &part, insertTool.Stick);
    part.DeleteSymbol(rest);
    part.InsertSymbol(note);
    SelectSymbol(note);
    return note;
}

TSilence* TUnitMuz::ReplaceByRest(TMuzNote* note)
{
    TSinglePartMuz& part = *note->GetOwner();
    auto* rest =
        new TSilence(note->GetNoteLengthKind(), note->GetPoints(), note->GetPosition(),
                     note->GetNoteStave(), note->GetMultiOol(), note->GetPosInOol(), &part);
    part.DeleteSymbol(note);
    part.InsertSymbol(rest);
    SelectSymbol(rest);
    return rest;
}

void TUnitMuz::ChangeBarCount(int32_t count)
{
    TMuzBar* bar = SelectedBar();
    bar->SetCount(count);
    // The pick-up bar is shorter than a whole one; its bar lines would land wrong otherwise.
    if (bar->GetCountFirstBar() > count - 1)
        bar->SetCountFirstBar(count - 1);
}

bool TUnitMuz::TakeLengthTool(InsertModeKind kind, int32_t length)
{
    if (mode != unitMuzNew)
        return false;
    insertTool.NoteLengthKind = static_cast<uint8_t>(length);
    insertTool.Kind = kind;
    insertTool.Points = 0;
    return true;
}

void TUnitMuz::NoteExecute(int32_t length)
{
    if (!KV_SOFT_ASSERT(mode != unitMuzDel) || !KV_SOFT_ASSERT(CanNoteExecute(length)))
        return;
    if (TakeLengthTool(insertModeNote, length))
        return;
    if (TMuzBar* bar = SelectedBar()) {
        // The bar keeps its duration where it can: four quarters become eight eighths.
        const double beats = std::trunc(double(bar->GetCount()) * length / bar->GetLength() + 0.5);
        const int32_t count = static_cast<int32_t>(std::trunc(std::clamp(beats, 1.0, 99.0)));
        bar->SetLength(static_cast<uint8_t>(length));
        ChangeBarCount(count);
        Edited();
        return;
    }
    auto* symbol = static_cast<TStaveTimeSymbol*>(SelectedStaveSymbol());
    if (!ChangeLength(symbol, length))
        return;
    if (symbol->GetStaveSymbolKind() == staveSymbolSilence)
        ReplaceByNote(static_cast<TSilence*>(symbol));
    else
        symbol->AsNote()->PlayNoteSound(tempo.GetValue());
    Edited();
}

void TUnitMuz::SilenceExecute(int32_t length)
{
    if (!KV_SOFT_ASSERT(mode != unitMuzDel) || !KV_SOFT_ASSERT(CanSilenceExecute(length)))
        return;
    if (TakeLengthTool(insertModeSilence, length))
        return;
    auto* symbol = static_cast<TStaveTimeSymbol*>(SelectedStaveSymbol());
    if (!ChangeLength(symbol, length))
        return;
    if (TMuzNote* note = symbol->AsNote())
        RemoveEmptyTuplet(ReplaceByRest(note));
    Edited();
}

void TUnitMuz::ToNoteExecute()
{
    uint8_t length = 0;
    if (GetCurrentLength(length) && CanNoteExecute(length))
        NoteExecute(length);
}

void TUnitMuz::ToSilenceExecute()
{
    uint8_t length = 0;
    if (GetCurrentLength(length) && CanSilenceExecute(length))
        SilenceExecute(length);
}

namespace {

/// A length command on whatever the length keys aim at: the note or rest tool or selection,
/// or a selected bar.
void ApplyLength(TUnitMuz& doc, int32_t length)
{
    InsertModeKind target = insertModeNote;
    if (doc.GetLengthTarget(target)) {
        if (target == insertModeNote && doc.CanNoteExecute(length))
            doc.NoteExecute(length);
        else if (target == insertModeSilence && doc.CanSilenceExecute(length))
            doc.SilenceExecute(length);
    } else if (doc.SelectedBar() && doc.CanNoteExecute(length)) {
        doc.NoteExecute(length);
    }
}

} // namespace

void TUnitMuz::LongerExecute()
{
    uint8_t length = 0;
    if (GetCurrentLength(length) && length > 1)
        ApplyLength(*this, length / 2);
}

void TUnitMuz::ShorterExecute()
{
    uint8_t length = 0;
    if (GetCurrentLength(length) && length < 64)
        ApplyLength(*this, length * 2);
}

// ---- Dots and tuplets -------------------------------------------------------------------------

void TUnitMuz::ChangePoints(int32_t by)
{
    if (mode == unitMuzNew) {
        insertTool.Points += by;
        return;
    }
    if (SelectedBar()) {
        ChangeBarCount(SelectedBar()->GetCount() + by);
        Edited();
        return;
    }
    auto* symbol = static_cast<TStaveTimeSymbol*>(SelectedStaveSymbol());
    const double before = symbol->GetLengthValue();
    const int32_t points = symbol->GetPoints() + by;
    for (TStaveTimeSymbol* member : TupletOf(symbol))
        member->SetPoints(points);
    ShiftFollowing(symbol, symbol->GetLengthValue() - before);
    if (TMuzNote* note = symbol->AsNote())
        note->PlayNoteSound(tempo.GetValue());
    Edited();
}

void TUnitMuz::PointAddExecute()
{
    if (KV_SOFT_ASSERT(CanPointAddExecute()))
        ChangePoints(1);
}

void TUnitMuz::PointDeleteExecute()
{
    if (KV_SOFT_ASSERT(CanPointDeleteExecute()))
        ChangePoints(-1);
}

void TUnitMuz::TupletExecute(int32_t multiOol)
{
    if (!KV_SOFT_ASSERT(CanTupletExecute(multiOol)))
        return;
    const auto ool = static_cast<MultiOol>(multiOol);
    TMuzNote* selected = SelectedNote();
    uint8_t total = 0;
    TStaveTimeSymbol::FlagLength2TotalLength(ool, selected->GetNoteLengthKind(), total);
    const int32_t points = selected->GetPoints();
    const double before = selected->GetLengthValue();
    TSinglePartMuz& part = *selected->GetOwner();
    // The whole chord becomes one tuplet: every note its first member with the same value.
    // A rest the chord holds becomes a tuplet of rests beside it, so that nothing at the
    // tuplet's time stays outside it.
    for (TStaveSymbol* symbol : TimeGroupOf(selected)) {
        auto* member = static_cast<TStaveTimeSymbol*>(symbol);
        member->SetOol(ool, 0);
        member->SetNoteLengthKind(total);
        member->SetPoints(points);
        TMuzNote* note = member->AsNote();
        for (int32_t i = 1; i < multiOol; ++i)
            part.InsertSymbol(
                note ? static_cast<TStaveSymbol*>(new TMuzNote(
                           this, note->GetNoteGroup(), total, points, note->GetPosition(),
                           note->GetPitch(), note->GetNoteStave(), note->GetNoteShiftKind(), ool, i,
                           note->GetNoteArtKind(), &part, note->GetDrawStickKind()))
                     : new TSilence(total, points, member->GetPosition(), member->GetNoteStave(),
                                    ool, i, &part));
    }
    ShiftFollowing(selected, selected->GetLengthValue() - before);
    Edited();
}

} // namespace kelvorn
