#pragma once
// The layout of one stave between two bar lines (or clefs): the notes and rests handed over by
// the part's drawing loop are grouped into columns and chords, cut at the bar line and into
// written values joined by ties, beamed, given stems, accidentals and widths, and drawn. What
// runs past the bar line waits for the next segment; the last chord before it stays as the
// link for a tie.

#include "music/core/ScoreLayout.h"
#include "music/core/Stave.h"
#include "platform/Canvas.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace kelvorn {

class TStaveLayout
{
public:
    explicit TStaveLayout(TNoteStave& stave);
    /// A copy with its own columns, which its chords and rests point into: what a kept layout
    /// starts again from.
    std::unique_ptr<TStaveLayout> Clone() const;

    TNoteStave& Stave() const { return stave; }
    /// The clef in force from here on: its signature fills both accidental rows.
    void SetClef(const TKey* key);
    const TKey* Clef() const { return clef; }
    /// The accidentals of the bar start again from the signature.
    void RestartBarAccidentals() { barShifts = keyShifts; }
    bool HasXPositions() const;

    void AddNote(TMuzNote& note, bool selected);
    void AddRest(TSilence& rest, bool selected);
    /// Lays out and draws what starts before p from startX on; answers the x reached.
    int32_t Layout(double p, Canvas& canvas, int32_t startX);

    /// Counts for tests: columns, chords and rests waiting in the lists.
    size_t CountColumns() const { return columns.size(); }
    size_t CountChords() const;

private:
    struct Column
    {
        double Position = 0;
        int32_t PosInOol = 0;
        MultiOol Ool = sool;
        int32_t WidthBefore = -1, WidthCore = -1, WidthAfter = -1;
        int64_t X = 0;
        std::array<uint8_t, 7> Shifts;
        Column() { Shifts.fill(noteShiftNone); }
    };
    struct NoteItem
    {
        TMuzNote* Note = nullptr;
        bool Selected = false;
        bool Shifted = false;
        int32_t Height = 0;
        NoteShiftKind DrawShift = noteShiftNone;
    };
    struct Chord
    {
        double Position = 0;
        int32_t PosInOol = 0;
        MultiOol Ool = sool;
        Column* Col = nullptr;
        NoteArtKind Art = noteArtNormal;
        TDrawLength Length;
        int32_t BeamY = 0, StemY = 0, StemX = 0;
        bool FlagBegin = false, FlagEnd = false, GroupBegin = false, GroupEnd = false;
        bool SlurBegin = false, SlurEnd = false;
        bool Down = false;
        bool Kept = false;
        // Where the chord was drawn, for a tie from it in the next segment.
        int32_t CoreMidX = 0, HighY = 0, LowY = 0;
        std::vector<NoteItem> Notes;
        double Start() const;
        double End() const;
        int32_t Highest() const;
        int32_t Lowest() const;
    };
    struct Rest
    {
        double Position = 0;
        int32_t PosInOol = 0;
        MultiOol Ool = sool;
        Column* Col = nullptr;
        TDrawLength Length;
        TSilence* Silence = nullptr;
        bool Selected = false;
    };
    using ChordList = std::vector<std::unique_ptr<Chord>>;

    Column* FindColumn(double position, int32_t posInOol, MultiOol ool);
    Chord* FindChord(ChordList& list, double position, int32_t posInOol, MultiOol ool);
    void CutAt(double p);
    void WriteValues(double p);
    void BreakBeams(ChordList& list, double p);
    void SetAccidentals(double p);
    void SetAutomaticStems(double p);
    void SetWidths(double p);
    void PlaceStems(double p);
    void DrawBeamGroups(Canvas& canvas, double p);
    void DrawChords(Canvas& canvas, ChordList& list, double p);
    void DrawTies(Canvas& canvas, ChordList& list);
    void CleanUp(double p);
    std::vector<Chord*> Taking(ChordList& list, double p) const;
    int32_t StepOf(const TMuzNote& note) const;

    TNoteStave& stave;
    const TKey* clef = nullptr;
    std::array<uint8_t, 7> barShifts;
    std::array<uint8_t, 7> keyShifts;
    std::vector<std::unique_ptr<Column>> columns;
    std::array<ChordList, 3> chords; // stems up, down, automatic
    std::vector<std::unique_ptr<Rest>> rests;
};

} // namespace kelvorn
