#pragma once
// The symbols of a music piece: clefs with their key signatures, rests and notes on the symbol
// chain of a single part, the time signature of the part and the marks of loop parts. Times are
// doubles in whole notes; pitches are diatonic steps from middle C (5 is A4 at 440 Hz).
//
// Ownership: a single part's chain owns its symbols; a symbol never deletes its neighbours.
// Notes point to their group and stave but own neither.

#include "sound/Wave.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace kelvorn {

class Sound;
class TUnitMuz;
class TNoteStave;
class TNoteGroup;
class TCompoundPlayer;
class TSinglePartMuz;
class TLoopPartMuz;

enum MuzSymbolKind : uint8_t { muzSymbolBar = 0, muzSymbolLoop = 1, muzSymbolStave = 2 };
/// The selection kind when nothing is selected.
constexpr uint8_t muzSymbolNone = 3;
enum StaveSymbolKind : uint8_t { staveSymbolKey = 0, staveSymbolNote = 1, staveSymbolSilence = 2 };
enum MultiOol : uint8_t { sool = 1, duool = 2, triool = 3, kwartool = 4, kwintool = 5 };
enum NoteShiftKind : uint8_t {
    noteShiftDoubleKruis = 0,
    noteShiftKruis = 1,
    noteShiftNormal = 2,
    noteShiftMol = 3,
    noteShiftDoubleMol = 4,
    noteShiftNone = 5
};
enum NoteArtKind : uint8_t {
    noteArtNormal = 0,
    noteArtStaccato = 1,
    noteArtStaccatissimo = 2,
    noteArtPortato = 3,
    noteArtLegato = 4
};
enum DrawStickKind : uint8_t { drawStickUp = 0, drawStickDown = 1, drawStickAuto = 2 };
/// The clef: the pitch of the stave's middle line in octave 0.
enum KeyKind : int8_t { keyKindF = -6, keyKindC = 0, keyKindG = 6 };

constexpr int32_t GetMinPitch()
{
    return -43;
}
constexpr int32_t GetMaxPitch()
{
    return 43;
}

/// Anything that stands on a chain or beside it and is hit by the mouse: the horizontal range of
/// pixels it covered when last drawn.
class TXTouchMuzSymbol
{
public:
    virtual ~TXTouchMuzSymbol() = default;
    virtual MuzSymbolKind GetMuzSymbolKind() const = 0;

    void ResetX() { XValid = 0; }
    void AddX(int32_t x);
    /// 0 inside the range, else the distance to its nearer end.
    int32_t XDistance(int32_t x) const;
    bool IsLeftHalf(int32_t x) const { return (XLeft + XRight) / 2 > x; }

    int32_t XLeft = 0;
    int32_t XRight = 0;
    uint8_t XValid = 0;
};

class TMuzNote;
class TKey;

/// A clef, rest or note: a symbol of one stave on the chain of one single part.
class TStaveSymbol : public TXTouchMuzSymbol
{
public:
    TStaveSymbol(TSinglePartMuz* owner, double position, TNoteStave* stave)
        : Position(position), Stave(stave), Owner(owner)
    {
    }
    ~TStaveSymbol() override;

    MuzSymbolKind GetMuzSymbolKind() const override { return muzSymbolStave; }
    virtual StaveSymbolKind GetStaveSymbolKind() const = 0;
    virtual void SetNext(TStaveSymbol* next) { Next = next; }
    /// Vertical pixels between y and the symbol, 0 on it.
    virtual int32_t GetYDistance(int32_t y) const = 0;
    virtual void Dump() const {}

    TStaveSymbol* GetNext() const { return Next; }
    TStaveSymbol* GetPrev() const { return Prev; }
    void SetPrev(TStaveSymbol* prev) { Prev = prev; }
    TNoteStave* GetNoteStave() const { return Stave; }
    double GetPosition() const { return Position; }
    /// Moves the symbol in time; the chain is not re-sorted (MoveSymbol does that).
    void SetPosition(double position);
    TSinglePartMuz* GetOwner() const { return Owner; }
    void SetOwner(TSinglePartMuz* owner) { Owner = owner; }

    /// The chain order: time, then keys before notes and rests, then key number or place in the
    /// tuplet, then the higher pitch of two notes.
    bool IsPrevOf(const TStaveSymbol& other) const;

    TMuzNote* AsNote();
    const TMuzNote* AsNote() const;
    TKey* AsKey();
    /// A note or a rest (a symbol with a duration).
    bool IsTimeSymbol() const { return GetStaveSymbolKind() != staveSymbolKey; }

    /// The first note from here on (this one included), or null.
    TMuzNote* FirstNote();
    /// The first key of stave from here on, or null.
    TKey* FindKeyOfStave(const TNoteStave* stave);

    // Chord walks on this symbol's stave: a chord is the notes and rests of one stave at one
    // Position.
    TStaveSymbol* FindNextAtPosition();
    TStaveSymbol* FindLastAtPosition();
    TStaveSymbol* FindFirstAtPosition();
    TStaveSymbol* FindNextInOolAtPosition();
    TStaveSymbol* FindFirstInOolAtPosition();

protected:
    /// Tells the document that this symbol changed (what is drawn from its time on is stale).
    /// Every setter of a symbol calls it; the layout's own bookkeeping (heights, touch ranges)
    /// does not.
    void Touched() const;
    /// Keys rank 1, notes and rests 6.
    virtual int32_t Rank() const = 0;
    /// The order among symbols of one rank at one Position.
    virtual int32_t SubOrder() const = 0;

    TStaveSymbol* Next = nullptr;
    TStaveSymbol* Prev = nullptr;
    double Position;
    TNoteStave* Stave;
    TSinglePartMuz* Owner;

    friend class TSinglePartMuz;
};

/// A note or rest: a symbol with a written value, dots and a place in a tuplet.
class TStaveTimeSymbol : public TStaveSymbol
{
public:
    TStaveTimeSymbol(TSinglePartMuz* owner, double position, TNoteStave* stave,
                     uint8_t noteLengthKind, int32_t points, MultiOol multiOol, int32_t posInOol);

    /// 1 / NoteLengthKind with each dot adding half the previous addition; for a tuplet member
    /// the length of the whole tuplet.
    virtual double GetLengthValue() const;
    /// The written value of each member of the tuplet.
    int32_t GetFlagLength() const;
    /// The NoteLengthKind whose members are written as flagLength; false when there is none.
    static bool FlagLength2TotalLength(MultiOol multiOol, int32_t flagLength, uint8_t& lengthKind);
    bool FlagLength2TotalLength(int32_t flagLength, uint8_t& lengthKind) const
    {
        return FlagLength2TotalLength(MultiOolKind, flagLength, lengthKind);
    }
    bool MayTotalPoints(int32_t points) const;

    uint8_t GetNoteLengthKind() const { return NoteLengthKind; }
    void SetNoteLengthKind(uint8_t kind)
    {
        NoteLengthKind = kind;
        Touched();
    }
    int32_t GetPoints() const { return Points; }
    void SetPoints(int32_t points)
    {
        Points = points;
        Touched();
    }
    MultiOol GetMultiOol() const { return MultiOolKind; }
    int32_t GetPosInOol() const { return PosInOol; }
    void SetOol(MultiOol multiOol, int32_t posInOol);

    void SetMark(int32_t mark);
    void ClearMark();
    int32_t GetMark() const { return Mark; }

protected:
    int32_t Rank() const override { return 6; }
    int32_t SubOrder() const override { return PosInOol; }

    uint8_t NoteLengthKind;
    int32_t Points;
    MultiOol MultiOolKind;
    int32_t PosInOol;
    int32_t Mark = 0;
};

class TSilence : public TStaveTimeSymbol
{
public:
    TSilence(uint8_t noteLengthKind, int32_t points, double position, TNoteStave* stave,
             MultiOol multiOol, int32_t posInOol, TSinglePartMuz* owner)
        : TStaveTimeSymbol(owner, position, stave, noteLengthKind, points, multiOol, posInOol)
    {
    }
    StaveSymbolKind GetStaveSymbolKind() const override { return staveSymbolSilence; }
    int32_t GetYDistance(int32_t y) const override;
};

/// What rendering and the players read of a sounding note.
class TNote
{
public:
    virtual ~TNote() = default;
    virtual TMuzNote* GetNextNote() = 0;
    virtual TCompoundPlayer* GetPlayer() const = 0;
    virtual double GetPosition() const = 0;
    /// Where this member of its tuplet starts, in whole notes.
    virtual double GetSymbolTime() const = 0;
    /// Seconds per vibration.
    virtual double GetPeriod() const = 0;
    virtual double GetLengthValue() const = 0;
    /// How long the note sounds, in whole notes (articulation included).
    virtual double GetSoundLength() const = 0;
    virtual bool IsMuted() const = 0;
};

/// The sound of one note and where it stands: the sound starts startOffset seconds before the
/// note's time and is mixed in with mixFactor. A note that gives no sound leaves sound null.
struct TNoteSound
{
    std::unique_ptr<Sound> sound;
    double startOffset = 0.0;
    double mixFactor = 1.0;
};

class TMuzNote : public TNote, public TStaveTimeSymbol
{
public:
    TMuzNote(TUnitMuz* unitMuz, TNoteGroup* group, uint8_t noteLengthKind, int32_t points,
             double position, int32_t pitch, TNoteStave* stave, NoteShiftKind noteShift,
             MultiOol multiOol, int32_t posInOol, NoteArtKind art, TSinglePartMuz* owner,
             DrawStickKind stick);

    TMuzNote* GetNextNote() override;
    TCompoundPlayer* GetPlayer() const override;
    double GetPosition() const override { return Position; }
    double GetSymbolTime() const override;
    double GetPeriod() const override;
    double GetLengthValue() const override { return TStaveTimeSymbol::GetLengthValue(); }
    double GetSoundLength() const override;
    bool IsMuted() const override;

    StaveSymbolKind GetStaveSymbolKind() const override { return staveSymbolNote; }
    void SetNext(TStaveSymbol* next) override;
    int32_t GetYDistance(int32_t y) const override;

    int32_t GetPitch() const { return Pitch; }
    void SetPitch(int32_t pitch);
    NoteShiftKind GetNoteShiftKind() const { return NoteShift; }
    void SetNoteShiftKind(NoteShiftKind kind)
    {
        NoteShift = kind;
        Touched();
    }
    NoteArtKind GetNoteArtKind() const { return Art; }
    void SetNoteArtKind(NoteArtKind art)
    {
        Art = art;
        Touched();
    }
    DrawStickKind GetDrawStickKind() const { return Stick; }
    void SetDrawStickKind(DrawStickKind stick)
    {
        Stick = stick;
        Touched();
    }
    /// The note's own stem, or its group's default when it is automatic.
    DrawStickKind GetBerDrawStickKind() const;
    TNoteGroup* GetNoteGroup() const { return Group; }
    void SetNoteGroup(TNoteGroup* group)
    {
        Group = group;
        Touched();
    }
    int32_t GetHeight() const { return Height; }
    void SetHeight(int32_t height) { Height = height; }

    /// The sound of the note transposed by transpose semitones at tempo seconds per whole note,
    /// from its group's players. False with message filled when a player failed.
    bool GetSymbolSound(double transpose, double tempo, AbortFlag* abort, std::string& message,
                        TNoteSound& result) const;
    /// How far the note's sound reaches before and after its time, in seconds.
    bool GetSymbolOffsets(double transpose, double tempo, std::string& message, double& startOffset,
                          double& endOffset) const;
    /// Gets the note's sound and plays it; false when there was none to play.
    bool PlaySymbolSound(double tempo) const;
    /// PlaySymbolSound while the document's auto play is on; true otherwise.
    bool PlayNoteSound(double tempo) const;

    /// The period of pitch with the accidental shift, in seconds.
    static double PeriodOf(int32_t pitch, NoteShiftKind shift);

protected:
    int32_t SubOrder() const override { return PosInOol; }

private:
    TNoteGroup* Group;
    TUnitMuz* UnitMuz;
    int32_t Pitch;
    NoteShiftKind NoteShift;
    NoteArtKind Art;
    int32_t Height = 0;
    DrawStickKind Stick;
};

/// A clef with its key signature.
class TKey : public TStaveSymbol
{
public:
    TKey(TUnitMuz* unitMuz, KeyKind kind, int32_t octavesUp, double position, TNoteStave* stave,
         int32_t keyNumber, TSinglePartMuz* owner);

    StaveSymbolKind GetStaveSymbolKind() const override { return staveSymbolKey; }
    int32_t GetYDistance(int32_t y) const override;

    KeyKind GetKeyKind() const { return Kind; }
    /// Rotates the signature so that the same pitch classes keep their accidentals.
    void SetKeyKind(KeyKind kind);
    int32_t GetOctavesUp() const { return OctavesUp; }
    void SetOctavesUp(int32_t octaves);
    int32_t GetKeyNumber() const { return KeyNumber; }
    TUnitMuz* GetUnitMuz() const { return UnitMuz; }
    void SetKeyNumber(int32_t number)
    {
        KeyNumber = number;
        Touched();
    }

    void SetKeyNoteShift(int32_t height, NoteShiftKind kind);
    NoteShiftKind GetKeyNoteShift(int32_t height) const;

    int32_t GetPitchOfStep(int32_t step) const { return Kind + step + 7 * OctavesUp; }
    int32_t GetStepOfPitch(int32_t pitch) const { return pitch - Kind - 7 * OctavesUp; }
    bool IsPitchInRange(int32_t step) const;

    /// The stave step (0..6) of the n-th sharp or flat of a signature.
    int32_t GetKeyShiftHeight(NoteShiftKind kind, int32_t n) const;
    int32_t GetKeyShiftLow(NoteShiftKind kind) const;
    int32_t GetKeyShiftDrawHeight(int32_t step, NoteShiftKind kind) const;
    /// +n for n sharps, -n for n flats; false for a signature that is no prefix of either order.
    bool ToonLadder(int32_t& count) const;

protected:
    int32_t Rank() const override { return 1; }
    int32_t SubOrder() const override { return KeyNumber * 2; }

private:
    KeyKind Kind;
    int32_t OctavesUp;
    std::array<uint8_t, 7> KeyNoteShifts;
    int32_t KeyNumber;
    TUnitMuz* UnitMuz;
};

/// The time signature of one single part; it registers itself with the part.
class TMuzBar : public TXTouchMuzSymbol
{
public:
    TMuzBar(TSinglePartMuz* singlePart, uint8_t length, int32_t count, int32_t countFirstBar);
    ~TMuzBar() override;
    MuzSymbolKind GetMuzSymbolKind() const override { return muzSymbolBar; }

    TSinglePartMuz* GetSinglePartMuz() const { return SinglePart; }
    uint8_t GetLength() const { return Length; }
    void SetLength(uint8_t length)
    {
        Length = length;
        Touched();
    }
    int32_t GetCount() const { return Count; }
    void SetCount(int32_t count)
    {
        Count = count;
        Touched();
    }
    int32_t GetCountFirstBar() const { return CountFirstBar; }
    /// Beats in the pick-up bar, 0..Count-1.
    void SetCountFirstBar(int32_t count)
    {
        CountFirstBar = count;
        Touched();
    }

    double GetFirstBarLength() const { return static_cast<double>(CountFirstBar) / Length; }
    /// The first bar line strictly after position.
    double GetNextBarLine(double position) const;
    /// One beat less in the pick-up bar's rest; 1 when the count wrapped to 0.
    int32_t NextBeat();
    int32_t PrevBeat();

private:
    /// The time signature changes the whole part.
    void Touched() const;

    TSinglePartMuz* SinglePart;
    uint8_t Length;
    int32_t Count;
    int32_t CountFirstBar;
};

/// The opening or closing mark of a loop part.
class TLoopPartSymbol : public TXTouchMuzSymbol
{
public:
    TLoopPartSymbol(TLoopPartMuz* loopPart, bool isLeft) : LoopPart(loopPart), IsLeft(isLeft) {}
    ~TLoopPartSymbol() override;
    MuzSymbolKind GetMuzSymbolKind() const override { return muzSymbolLoop; }
    TLoopPartMuz* GetLoopPart() const { return LoopPart; }
    bool GetIsLeft() const { return IsLeft != 0; }

private:
    TLoopPartMuz* LoopPart;
    uint8_t IsLeft;
};

/// An accidental to be drawn.
class TNoteShift
{
public:
    TNoteShift(TNoteStave* stave, NoteShiftKind kind, int32_t height)
        : Kind(kind), Height(height), Stave(stave)
    {
    }
    virtual ~TNoteShift() = default;
    virtual int32_t GetYDistance(int32_t y) const;
    virtual void Dump() const {}

    NoteShiftKind Kind;
    int32_t Height;
    TNoteStave* Stave;
};

} // namespace kelvorn
