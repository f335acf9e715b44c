#pragma once
// The integer geometry under the placement of nodes: which edge, corner or inside of a rectangle
// a point touches, and the pool of node rectangles that keeps its members apart by gaps and
// borders and pushes them aside when one of them grows or moves into another.

#include "factory/core/Touchable.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace kelvorn {

/// The part of a rectangle a point touches; the editor shows a sizing cursor for each edge and
/// corner and drags the whole rectangle from its inside.
enum sntTouchPart : uint8_t {
    sntTouchLeft = 0,
    sntTouchTop = 1,
    sntTouchRight = 2,
    sntTouchBottom = 3,
    sntTouchTopLeft = 4,
    sntTouchTopRight = 5,
    sntTouchBottomRight = 6,
    sntTouchBottomLeft = 7,
    sntTouchInside = 8,
};

/// The parts that drag the left, right, top or bottom edge.
bool IsLeftPart(uint8_t part);
bool IsRightPart(uint8_t part);
bool IsTopPart(uint8_t part);
bool IsBottomPart(uint8_t part);

/// Whether the point lies within 6 pixels of the rectangle, and which part it touches: a zone of
/// 6 pixels (a third of the side when it is shorter than 18) along each edge, corners where two
/// zones meet, later edges winning (right over left, bottom over top). distance is the distance
/// to the nearest edge, also inside.
bool TouchRect(const TSountoryRectangle& rect, PixelPoint point, double& distance, uint8_t& part);

/// The edges of a rectangle along one axis and across it, so that one piece of code serves the
/// horizontal and the vertical direction.
struct TRectangleAxis
{
    int32_t TSountoryRectangle::*lo;
    int32_t TSountoryRectangle::*hi;
    int32_t TSountoryRectangle::*crossLo;
    int32_t TSountoryRectangle::*crossHi;
};
inline constexpr TRectangleAxis HorizontalAxis{&TSountoryRectangle::left,
                                               &TSountoryRectangle::right, &TSountoryRectangle::top,
                                               &TSountoryRectangle::bottom};
inline constexpr TRectangleAxis VerticalAxis{&TSountoryRectangle::top, &TSountoryRectangle::bottom,
                                             &TSountoryRectangle::left, &TSountoryRectangle::right};

/// Sides of a rectangle for FindNeighbour.
enum sntSide : uint8_t { sntSideLeft = 0, sntSideAbove = 1, sntSideRight = 2, sntSideBelow = 3 };

/// The node rectangles of one factory area, in list order, with the gaps they keep from each
/// other and the borders they keep from the sides of the area. The pool neither owns its
/// rectangles nor the area; it moves them when it pushes.
///
/// Rectangles have a width and a height above 0: factory files and the property dialogs refuse
/// other sizes, since two rectangles of width 0 at one x each lie beside the other. Should one
/// slip in, the pool never pushes it, so a push cannot run round in a circle.
class TRectanglePool
{
public:
    TRectanglePool(TSountoryRectangle& area, int32_t horGap, int32_t vertGap, int32_t horBorder,
                   int32_t vertBorder);

    void Add(TSountoryRectangle& rect);
    /// The rectangle must be in the pool (asserted).
    void Remove(const TSountoryRectangle& rect);
    const std::vector<TSountoryRectangle*>& Rectangles() const { return rects; }

    /// The first rectangle of the list after `after` (from the head when null), other than rect,
    /// that lies on that side of rect within the gap band across it; null when none.
    TSountoryRectangle* FindNeighbour(const TSountoryRectangle& rect, uint8_t side,
                                      const TSountoryRectangle* after) const;

    /// How far of the wanted shift d the rectangle can move, pushing the rectangles in its way:
    /// the sign of d (or 0) and at most its size; a d to the right (or down) is granted whole
    /// when the area may grow that way and stays within GrowLimit.
    int32_t CanShiftHor(const TSountoryRectangle& rect, int32_t d) const;
    int32_t CanShiftVert(const TSountoryRectangle& rect, int32_t d) const;
    /// Pushes every rectangle in the way of a shift by d far enough, grows the area to the right
    /// (or down) to keep the border behind a pushed one, and moves rect itself when asked. True
    /// when any rectangle or the area changed.
    bool ShiftHor(TSountoryRectangle& rect, int32_t d, bool moveItself);
    bool ShiftVert(TSountoryRectangle& rect, int32_t d, bool moveItself);

    const int32_t HorGap;
    const int32_t VertGap;
    const int32_t HorBorder;
    const int32_t VertBorder;
    /// The area may grow to the right / downwards when rectangles are pushed, up to GrowLimit
    /// wide or high: a push that would carry a rectangle past it is granted as far as it fits.
    bool GrowHor = false;
    bool GrowVert = false;
    int32_t GrowLimit = std::numeric_limits<int32_t>::max();

private:
    struct Axis;
    Axis AxisOf(bool horizontal) const;
    int32_t CanShift(const Axis& axis, const TSountoryRectangle& rect, int32_t d) const;
    bool Shift(const Axis& axis, TSountoryRectangle& rect, int32_t d, bool moveItself);

    TSountoryRectangle* area;
    std::vector<TSountoryRectangle*> rects;
};

} // namespace kelvorn
