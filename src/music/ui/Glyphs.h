#pragma once
// The glyphs of the score: accidentals, notes with their dots, articulation marks, flags, rests,
// clefs with octave marks and signatures, time signatures, loop marks and tuplet brackets. Each
// draws at a given left x with fixed widths, so positions never depend on fonts; a selected
// glyph is drawn in inverse video over a rectangle in the foreground colour.

#include "music/core/MuzSymbols.h"
#include "music/core/ScoreLayout.h"
#include "platform/Canvas.h"

#include <cstdint>
#include <string>

namespace kelvorn {

/// The colours of one stave: lines and glyphs, and the band.
struct TStaveColors
{
    uint32_t Fore = 0x000000;
    uint32_t Back = 0xFFFFFF;
};

/// The serif text of the score: "Times New Roman" bold at pixelSize (24 for 18 points, 16 for 12).
CanvasFont ScoreFont(int pixelSize, uint32_t color);

/// Pen and brush in one colour for filled outlines.
void SetInk(Canvas& canvas, uint32_t color, int penWidth = 1);

int32_t NoteShiftWidth(NoteShiftKind kind);
/// Draws the accidental at left x on row y; answers x + its width.
int32_t DrawNoteShift(Canvas& canvas, NoteShiftKind kind, int32_t x, int32_t y, bool selected,
                      const TStaveColors& colors);

/// One note head between xL and xR at stave step height, with its accidental and dots.
struct TNoteGlyph
{
    int32_t XL = 0;
    int32_t XR = 10;
    int32_t MiddleY = 0;
    int32_t Height = 0;
    NoteShiftKind Shift = noteShiftNone;
    int32_t FlagLength = 4;
    int32_t Dots = 0;
    bool Selected = false;
    bool Rectangle = false;
    uint32_t NoteColor = 0x000000;
};
/// Draws the note and answers its touch range (accidental to last dot).
std::pair<int32_t, int32_t> DrawNoteGlyph(Canvas& canvas, const TNoteGlyph& note,
                                          const TStaveColors& colors);

/// The mark at xm on the head side: ref is the lowest head's row for stems up, else the highest.
void DrawArticulation(Canvas& canvas, NoteArtKind art, int32_t xm, int32_t ref, bool stemsUp,
                      uint32_t color);
/// One flag level from the stem tip (x, y0); d = +1 for stems up, -1 for stems down.
void DrawFlag(Canvas& canvas, int32_t x, int32_t y0, int32_t d, uint32_t color);

/// The layout width of a rest of written value flagLength with dots.
int32_t SilenceWidth(int32_t flagLength, int32_t dots);
/// Draws a rest at left x (row middleY is the middle line); answers the next x and sets the
/// touch range when touch is given.
int32_t DrawSilenceGlyph(Canvas& canvas, int32_t flagLength, int32_t dots, int32_t x,
                         int32_t middleY, bool selected, const TStaveColors& colors,
                         TXTouchMuzSymbol* touch = nullptr);

/// Draws the clef with its octave mark and signature; answers the next x and sets the touch
/// range.
int32_t DrawKeyGlyph(Canvas& canvas, TKey& key, int32_t x, int32_t middleY, bool selected,
                     const TStaveColors& colors);

/// Draws the time signature; answers the next x and sets the touch range.
int32_t DrawBarGlyph(Canvas& canvas, TMuzBar& bar, int32_t x, int32_t middleY, bool selected,
                     const TStaveColors& colors);

/// The width of a loop mark for a loop played count times.
int32_t LoopMarkWidth(int32_t count);
/// Draws an opening or closing loop mark; answers the next x and sets the touch range.
int32_t DrawLoopGlyph(Canvas& canvas, TLoopPartSymbol& mark, int32_t count, int32_t x,
                      int32_t middleY, bool selected, const TStaveColors& colors);

/// The bracket of a tuplet under or over its beam line (offsets from the middle line).
void DrawTupletBracket(Canvas& canvas, int32_t firstStemX, int32_t lastStemX, const TBeamLine& line,
                       int32_t middleY, bool stemsDown, int32_t number, const TStaveColors& colors);

} // namespace kelvorn
