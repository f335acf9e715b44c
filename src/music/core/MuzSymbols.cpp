#include "music/core/MuzSymbols.h"

#include "general/Assert.h"
#include "music/core/PartMuz.h"
#include "music/core/Stave.h"
#include "music/core/UnitMuz.h"

#include <cmath>
#include <cstdlib>

namespace kelvorn {

namespace {

int32_t Wrap7(int32_t x)
{
    return ((x % 7) + 7) % 7;
}

/// Pixels beyond the band of 15 pixels around the stave's middle line.
int32_t BandDistance(const TNoteStave* stave, int32_t y)
{
    const int32_t d = std::abs(y - (stave ? stave->GetMiddleY() : 0));
    return d <= 15 ? 0 : d - 15;
}

} // namespace

void TXTouchMuzSymbol::AddX(int32_t x)
{
    if (!XValid) {
        XLeft = XRight = x;
        XValid = 1;
    } else if (x < XLeft) {
        XLeft = x;
    } else if (x > XRight) {
        XRight = x;
    }
}

int32_t TXTouchMuzSymbol::XDistance(int32_t x) const
{
    if (x < XLeft)
        return XLeft - x;
    if (x > XRight)
        return x - XRight;
    return 0;
}

// ---- Stave symbols ---------------------------------------------------------------------------

TStaveSymbol::~TStaveSymbol()
{
    if (Owner && Owner->GetDocument())
        Owner->GetDocument()->ForgetSymbol(this);
}

void TStaveSymbol::Touched() const
{
    if (Owner && Owner->GetDocument())
        Owner->GetDocument()->SymbolChanged(*this);
}

void TStaveSymbol::SetPosition(double position)
{
    // Both times are touched: what was drawn at the old one and what will be at the new one.
    Touched();
    Position = position;
    Touched();
}

bool TStaveSymbol::IsPrevOf(const TStaveSymbol& other) const
{
    if (Position != other.Position)
        return Position < other.Position;
    if (Rank() != other.Rank())
        return Rank() < other.Rank();
    if (SubOrder() != other.SubOrder())
        return SubOrder() < other.SubOrder();
    const TMuzNote* a = AsNote();
    const TMuzNote* b = other.AsNote();
    return a && b && a->GetPitch() > b->GetPitch();
}

TMuzNote* TStaveSymbol::AsNote()
{
    return GetStaveSymbolKind() == staveSymbolNote ? static_cast<TMuzNote*>(this) : nullptr;
}

const TMuzNote* TStaveSymbol::AsNote() const
{
    return GetStaveSymbolKind() == staveSymbolNote ? static_cast<const TMuzNote*>(this) : nullptr;
}

TKey* TStaveSymbol::AsKey()
{
    return GetStaveSymbolKind() == staveSymbolKey ? static_cast<TKey*>(this) : nullptr;
}

TMuzNote* TStaveSymbol::FirstNote()
{
    for (TStaveSymbol* s = this; s; s = s->Next)
        if (TMuzNote* note = s->AsNote())
            return note;
    return nullptr;
}

TKey* TStaveSymbol::FindKeyOfStave(const TNoteStave* stave)
{
    for (TStaveSymbol* s = this; s; s = s->Next)
        if (s->Stave == stave && s->GetStaveSymbolKind() == staveSymbolKey)
            return static_cast<TKey*>(s);
    return nullptr;
}

TStaveSymbol* TStaveSymbol::FindNextAtPosition()
{
    for (TStaveSymbol* s = Next; s && s->Position == Position; s = s->Next)
        if (s->Stave == Stave && s->IsTimeSymbol())
            return s;
    return nullptr;
}

TStaveSymbol* TStaveSymbol::FindLastAtPosition()
{
    TStaveSymbol* s = this;
    while (TStaveSymbol* n = s->FindNextAtPosition())
        s = n;
    return s;
}

TStaveSymbol* TStaveSymbol::FindFirstAtPosition()
{
    TStaveSymbol* found = this;
    for (TStaveSymbol* s = Prev; s && s->Position == Position; s = s->Prev)
        if (s->Stave == Stave && s->IsTimeSymbol())
            found = s;
    return found;
}

TStaveSymbol* TStaveSymbol::FindNextInOolAtPosition()
{
    const int32_t ool = IsTimeSymbol() ? static_cast<TStaveTimeSymbol*>(this)->GetPosInOol() : 0;
    for (TStaveSymbol* s = Next; s && s->Position == Position; s = s->Next)
        if (s->Stave == Stave && s->IsTimeSymbol() &&
            static_cast<TStaveTimeSymbol*>(s)->GetPosInOol() == ool)
            return s;
    return nullptr;
}

TStaveSymbol* TStaveSymbol::FindFirstInOolAtPosition()
{
    const int32_t ool = IsTimeSymbol() ? static_cast<TStaveTimeSymbol*>(this)->GetPosInOol() : 0;
    TStaveSymbol* found = this;
    for (TStaveSymbol* s = Prev; s && s->Position == Position; s = s->Prev)
        if (s->Stave == Stave && s->IsTimeSymbol() &&
            static_cast<TStaveTimeSymbol*>(s)->GetPosInOol() == ool)
            found = s;
    return found;
}

// ---- Durations -------------------------------------------------------------------------------

TStaveTimeSymbol::TStaveTimeSymbol(TSinglePartMuz* owner, double position, TNoteStave* stave,
                                   uint8_t noteLengthKind, int32_t points, MultiOol multiOol,
                                   int32_t posInOol)
    : TStaveSymbol(owner, position, stave), NoteLengthKind(noteLengthKind), Points(points),
      MultiOolKind(multiOol), PosInOol(posInOol)
{
    KV_SOFT_ASSERT(PosInOol < MultiOolKind);
}

double TStaveTimeSymbol::GetLengthValue() const
{
    double add = 1.0 / NoteLengthKind;
    double length = add;
    for (int32_t i = 0; i < Points; ++i) {
        add /= 2;
        length += add;
    }
    return length;
}

int32_t TStaveTimeSymbol::GetFlagLength() const
{
    int32_t flag = NoteLengthKind;
    if (MultiOolKind == duool || MultiOolKind == triool || MultiOolKind == kwartool)
        flag *= 2;
    else if (MultiOolKind == kwintool)
        flag *= 4;
    KV_SOFT_ASSERT(flag <= 64);
    return flag;
}

bool TStaveTimeSymbol::FlagLength2TotalLength(MultiOol multiOol, int32_t flagLength,
                                              uint8_t& lengthKind)
{
    switch (multiOol) {
    case sool:
        lengthKind = static_cast<uint8_t>(flagLength);
        return true;
    case duool:
    case triool:
    case kwartool:
        if (flagLength < 2)
            return false;
        lengthKind = static_cast<uint8_t>(flagLength / 2);
        return true;
    case kwintool:
        if (flagLength < 4)
            return false;
        lengthKind = static_cast<uint8_t>(flagLength / 2 / 2);
        return true;
    }
    return false;
}

bool TStaveTimeSymbol::MayTotalPoints(int32_t points) const
{
    if (MultiOolKind == duool || MultiOolKind == kwartool)
        return points >= 1 && points <= 3;
    return points >= 0 && points <= 3;
}

void TStaveTimeSymbol::SetOol(MultiOol multiOol, int32_t posInOol)
{
    KV_SOFT_ASSERT(posInOol < multiOol);
    MultiOolKind = multiOol;
    PosInOol = posInOol;
    Touched();
}

void TStaveTimeSymbol::SetMark(int32_t mark)
{
    if (KV_SOFT_ASSERT(mark != 0) && KV_SOFT_ASSERT(Mark == 0))
        Mark = mark;
}

void TStaveTimeSymbol::ClearMark()
{
    KV_SOFT_ASSERT(Mark != 0);
    Mark = 0;
}

int32_t TSilence::GetYDistance(int32_t y) const
{
    return BandDistance(Stave, y);
}

// ---- Notes -----------------------------------------------------------------------------------

TMuzNote::TMuzNote(TUnitMuz* unitMuz, TNoteGroup* group, uint8_t noteLengthKind, int32_t points,
                   double position, int32_t pitch, TNoteStave* stave, NoteShiftKind noteShift,
                   MultiOol multiOol, int32_t posInOol, NoteArtKind art, TSinglePartMuz* owner,
                   DrawStickKind stick)
    : TStaveTimeSymbol(owner, position, stave, noteLengthKind, points, multiOol, posInOol),
      Group(group), UnitMuz(unitMuz), Pitch(pitch), NoteShift(noteShift), Art(art), Stick(stick)
{
}

TMuzNote* TMuzNote::GetNextNote()
{
    return Next ? Next->FirstNote() : nullptr;
}

TCompoundPlayer* TMuzNote::GetPlayer() const
{
    return Group ? Group->GetPlayer() : nullptr;
}

double TMuzNote::GetSymbolTime() const
{
    return Position + GetLengthValue() * PosInOol / static_cast<int32_t>(MultiOolKind);
}

double TMuzNote::PeriodOf(int32_t pitch, NoteShiftKind shift)
{
    const int32_t h = pitch - 5;
    const int32_t step = Wrap7(h);
    const int32_t octave = (h - step) / 7;
    int32_t semitones = 2 * step;
    if (semitones > 8)
        --semitones;
    if (semitones > 2)
        --semitones;
    static const int32_t shifts[] = {2, 1, 0, -1, -2, 0};
    semitones += shifts[shift <= noteShiftNone ? shift : noteShiftNormal];
    return 1.0 / (440.0 * std::pow(2.0, octave + semitones / 12.0));
}

double TMuzNote::GetPeriod() const
{
    return PeriodOf(Pitch, NoteShift);
}

double TMuzNote::GetSoundLength() const
{
    static const double factors[] = {1.0, 0.5, 0.25, 1.5, 2.0};
    return GetLengthValue() / static_cast<int32_t>(MultiOolKind) *
           factors[Art <= noteArtLegato ? Art : 0];
}

bool TMuzNote::IsMuted() const
{
    return Stave && Stave->IsMuted();
}

void TMuzNote::SetNext(TStaveSymbol* next)
{
    Next = next;
    KV_SOFT_ASSERT(Pitch >= GetMinPitch() && Pitch <= GetMaxPitch());
}

int32_t TMuzNote::GetYDistance(int32_t y) const
{
    return std::abs(y - ((Stave ? Stave->GetMiddleY() : 0) - Height * 5));
}

void TMuzNote::SetPitch(int32_t pitch)
{
    Pitch = pitch;
    Touched();
    KV_SOFT_ASSERT(Pitch >= GetMinPitch() && Pitch <= GetMaxPitch());
}

DrawStickKind TMuzNote::GetBerDrawStickKind() const
{
    if (Stick != drawStickAuto || !Group)
        return Stick;
    return static_cast<DrawStickKind>(Group->GetDefaultStem());
}

// ---- Keys ------------------------------------------------------------------------------------

TKey::TKey(TUnitMuz* unitMuz, KeyKind kind, int32_t octavesUp, double position, TNoteStave* stave,
           int32_t keyNumber, TSinglePartMuz* owner)
    : TStaveSymbol(owner, position, stave), Kind(kind), OctavesUp(octavesUp), KeyNumber(keyNumber),
      UnitMuz(unitMuz)
{
    KeyNoteShifts.fill(noteShiftNormal);
    KV_SOFT_ASSERT(OctavesUp >= -2 && OctavesUp <= 2);
}

int32_t TKey::GetYDistance(int32_t y) const
{
    return BandDistance(Stave, y);
}

void TKey::SetKeyKind(KeyKind kind)
{
    const int32_t shift = kind / 6 - Kind / 6;
    std::array<uint8_t, 7> rotated{};
    for (int32_t i = 0; i < 7; ++i)
        rotated[Wrap7(i + shift)] = KeyNoteShifts[i];
    KeyNoteShifts = rotated;
    Kind = kind;
    Touched();
}

void TKey::SetOctavesUp(int32_t octaves)
{
    if (KV_SOFT_ASSERT(octaves >= -2 && octaves <= 2))
        OctavesUp = octaves;
    Touched();
}

void TKey::SetKeyNoteShift(int32_t height, NoteShiftKind kind)
{
    KeyNoteShifts[Wrap7(height)] = kind;
    Touched();
}

NoteShiftKind TKey::GetKeyNoteShift(int32_t height) const
{
    return static_cast<NoteShiftKind>(KeyNoteShifts[Wrap7(height)]);
}

bool TKey::IsPitchInRange(int32_t step) const
{
    const int32_t pitch = GetPitchOfStep(step);
    return pitch >= GetMinPitch() && pitch <= GetMaxPitch();
}

int32_t TKey::GetKeyShiftHeight(NoteShiftKind kind, int32_t n) const
{
    KV_SOFT_ASSERT(n >= 0 && n <= 6);
    KV_SOFT_ASSERT(kind == noteShiftKruis || kind == noteShiftMol);
    return kind == noteShiftKruis ? Wrap7(Kind / 6 + 4 * n + 3) : Wrap7(Kind / 6 + 3 * n + 6);
}

int32_t TKey::GetKeyShiftLow(NoteShiftKind kind) const
{
    KV_SOFT_ASSERT(kind == noteShiftKruis || kind == noteShiftMol);
    const int32_t clef = Kind / 6; // 1 G, 0 C, -1 F
    return (kind == noteShiftKruis ? -2 : -4) + clef;
}

int32_t TKey::GetKeyShiftDrawHeight(int32_t step, NoteShiftKind kind) const
{
    const int32_t low = GetKeyShiftLow(kind);
    return low + Wrap7(step - low);
}

bool TKey::ToonLadder(int32_t& count) const
{
    int32_t flats = 0, sharps = 0;
    bool gap = false;
    for (int32_t n = 0; n < 7; ++n) {
        const NoteShiftKind f = GetKeyNoteShift(GetKeyShiftHeight(noteShiftMol, n));
        const NoteShiftKind s = GetKeyNoteShift(GetKeyShiftHeight(noteShiftKruis, n));
        if (f == noteShiftMol) {
            if (sharps > 0 || gap)
                return false;
            ++flats;
        }
        if (s == noteShiftKruis) {
            if (flats > 0 || gap)
                return false;
            ++sharps;
        }
        if ((flats > 0 && f == noteShiftNormal) || (sharps > 0 && s == noteShiftNormal))
            gap = true;
        if (flats == 0 && sharps == 0 && f != noteShiftMol && s != noteShiftKruis)
            gap = true;
    }
    count = sharps >= 1 ? sharps : -flats;
    return true;
}

// ---- Bars and loop marks ---------------------------------------------------------------------

TMuzBar::TMuzBar(TSinglePartMuz* singlePart, uint8_t length, int32_t count, int32_t countFirstBar)
    : SinglePart(singlePart), Length(length), Count(count), CountFirstBar(countFirstBar)
{
    if (KV_SOFT_ASSERT(SinglePart != nullptr))
        SinglePart->SetMuzBar(this);
}

TMuzBar::~TMuzBar()
{
    if (SinglePart && SinglePart->GetDocument())
        SinglePart->GetDocument()->ForgetSymbol(this);
}

double TMuzBar::GetNextBarLine(double position) const
{
    const double L = static_cast<double>(Count) / Length;
    const double offset = static_cast<double>(CountFirstBar) / Length - L;
    return (std::trunc((position - offset) / L) + 1) * L + offset;
}

void TMuzBar::Touched() const
{
    if (SinglePart && SinglePart->GetDocument())
        SinglePart->GetDocument()->Changed({TMuzChange::WholePart, SinglePart, 0.0});
}

int32_t TMuzBar::NextBeat()
{
    Touched();
    CountFirstBar = (CountFirstBar + 1) % Count;
    return CountFirstBar == 0 ? 1 : 0;
}

int32_t TMuzBar::PrevBeat()
{
    Touched();
    const int32_t carry = (CountFirstBar + Count - 1) / Count;
    CountFirstBar = (CountFirstBar + Count - 1) % Count;
    return carry;
}

TLoopPartSymbol::~TLoopPartSymbol()
{
    if (LoopPart && LoopPart->GetDocument())
        LoopPart->GetDocument()->ForgetSymbol(this);
}

int32_t TNoteShift::GetYDistance(int32_t y) const
{
    return std::abs(y - ((Stave ? Stave->GetMiddleY() : 0) - Height * 5));
}

} // namespace kelvorn
