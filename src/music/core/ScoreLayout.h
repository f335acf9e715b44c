#pragma once
// The arithmetic of score layout that needs no canvas: written values of cut durations, stave
// rows, beam lines, the tie outline and the step under a pixel row. Pixel sums run in 64 bits
// and are clamped only where they reach the canvas.

#include "general/view/PixelRect.h"
#include "music/core/MuzSymbols.h"

#include <cstdint>
#include <span>
#include <vector>

namespace kelvorn {

/// A duration of the layout: a written value with dots, or while broken any length in whole
/// notes.
struct TDrawLength
{
    uint8_t LengthIsBroken = 0;
    uint8_t NoteLengthKind = 4;
    int32_t Points = 0;
    double Broken = 0.0;

    double Value() const;
    void SetBroken(double length);
    void SetWritten(int32_t points, uint8_t noteLengthKind);
    /// The written value of each member of a multiOol tuplet, at most 64.
    int32_t FlagLength(MultiOol multiOol) const;
    /// The dots drawn for each member of a multiOol tuplet.
    int32_t DrawnDots(MultiOol multiOol) const;
};

/// The largest written value (1 to 64, at most two dots) that fits in length. A length under a
/// 64th has no written value: it is drawn as a 64th and nothing is left over.
struct TWrittenValue
{
    uint8_t NoteLengthKind = 64;
    int32_t Points = 0;
    double Value = 1.0 / 64;
    double Remainder = 0.0;
};
TWrittenValue LargestWrittenValue(double length);

/// Beam levels of a written value: 8 gives 1, 64 gives 4, below 8 none.
int32_t BeamLevels(int32_t flagLength);

/// Clamps a 64-bit pixel coordinate into what a canvas takes.
int ClampPixel(int64_t v);

/// The nearest whole number of 5-pixel steps of row y above the middle line (negative below).
int32_t StepFromY(int32_t y, int32_t middleY);

/// The rows of a stack of staves: the first middle line lies roomUp + 40 below top, each next
/// one the previous roomDown plus its own roomUp lower; the stack ends 40 below the last band.
struct TStaveRows
{
    std::vector<int64_t> Middles;
    int64_t End = 0;
};
struct TStaveRooms
{
    int64_t RoomUp = 30;
    int64_t RoomDown = 30;
};
TStaveRows StackStaves(int64_t top, std::span<const TStaveRooms> rooms);

/// A stem tip of a beamed group: its stem x and the beam's y offset from the middle line.
struct TBeamTip
{
    int32_t X = 0;
    int32_t Y = 0;
};
/// A straight beam line through (X1, Y1) and (X2, Y2), X1 != X2.
struct TBeamLine
{
    int32_t X1 = 0;
    int32_t Y1 = 0;
    int32_t X2 = 1;
    int32_t Y2 = 0;
    double YAt(double x) const;
};
/// The beam line of a group of tips (at least one) whose stems point down (down true) or up:
/// it touches the outermost tips and leaves every other tip on the heads' side.
TBeamLine FindBeamLine(std::span<const TBeamTip> tips, bool down);

/// The 50 corners of a tie between (x1, y1) and (x2, y2) whose outer curve reaches height
/// pixels from y1; empty when the height leaves the curves undefined.
std::vector<PixelPoint> TieOutline(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t height);

/// Step wrapped into 0..6.
inline int32_t WrapStep(int32_t step)
{
    return ((step % 7) + 7) % 7;
}

} // namespace kelvorn
