#include "factory/core/Rectangles.h"

#include "general/Assert.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelvorn {

bool IsLeftPart(uint8_t part)
{
    return part == sntTouchLeft || part == sntTouchTopLeft || part == sntTouchBottomLeft;
}

bool IsRightPart(uint8_t part)
{
    return part == sntTouchRight || part == sntTouchTopRight || part == sntTouchBottomRight;
}

bool IsTopPart(uint8_t part)
{
    return part == sntTouchTop || part == sntTouchTopLeft || part == sntTouchTopRight;
}

bool IsBottomPart(uint8_t part)
{
    return part == sntTouchBottom || part == sntTouchBottomLeft || part == sntTouchBottomRight;
}

bool TouchRect(const TSountoryRectangle& rect, PixelPoint point, double& distance, uint8_t& part)
{
    constexpr int32_t margin = 6;
    const int64_t x = point.x;
    const int64_t y = point.y;
    if (x < int64_t(rect.left) - margin || y < int64_t(rect.top) - margin ||
        x > int64_t(rect.right) + margin || y > int64_t(rect.bottom) + margin)
        return false;
    const int64_t width = int64_t(rect.right) - rect.left;
    const int64_t height = int64_t(rect.bottom) - rect.top;
    const int64_t mx = width < 18 ? width / 3 : margin;
    const int64_t my = height < 18 ? height / 3 : margin;
    distance = double(std::min({std::llabs(x - rect.left), std::llabs(x - rect.right),
                                std::llabs(y - rect.top), std::llabs(y - rect.bottom)}));
    const bool nearLeft = x < rect.left + mx;
    const bool nearRight = x > rect.right - mx;
    const bool nearTop = y < rect.top + my;
    const bool nearBottom = y > rect.bottom - my;
    part = sntTouchInside;
    if (nearLeft)
        part = sntTouchLeft;
    if (nearRight)
        part = sntTouchRight;
    if (nearTop)
        part = nearRight ? sntTouchTopRight : (nearLeft ? sntTouchTopLeft : sntTouchTop);
    if (nearBottom)
        part = nearRight ? sntTouchBottomRight : (nearLeft ? sntTouchBottomLeft : sntTouchBottom);
    return true;
}

// ---- the pool ----

// One axis of the pool: its edges, gap, border and growth and the area's extent.
struct TRectanglePool::Axis : TRectangleAxis
{
    int32_t gap;
    int32_t crossGap;
    int32_t border;
    bool grow;
    int64_t extent;

    // N lies within the band across R widened by the cross gap.
    bool InBand(const TSountoryRectangle& r, const TSountoryRectangle& n) const
    {
        return int64_t(n.*crossHi) > int64_t(r.*crossLo) - crossGap &&
               int64_t(n.*crossLo) < int64_t(r.*crossHi) + crossGap;
    }
    // N lies beyond R on the side of a positive (forward) or negative move.
    bool Beside(const TSountoryRectangle& r, const TSountoryRectangle& n, bool forward) const
    {
        return InBand(r, n) && (forward ? n.*lo >= r.*hi : n.*hi <= r.*lo);
    }
    // Only a rectangle without extent along the axis can lie on both sides of another one, and a
    // push through such rectangles could come back to where it started: they are never pushed.
    bool HasExtent(const TSountoryRectangle& r) const { return r.*hi > r.*lo; }
    // The room between R and N beyond the gap, on the side of the move.
    int64_t Room(const TSountoryRectangle& r, const TSountoryRectangle& n, bool forward) const
    {
        return forward ? int64_t(n.*lo) - r.*hi - gap : int64_t(r.*lo) - n.*hi - gap;
    }
};

TRectanglePool::TRectanglePool(TSountoryRectangle& area, int32_t horGap, int32_t vertGap,
                               int32_t horBorder, int32_t vertBorder)
    : HorGap(horGap), VertGap(vertGap), HorBorder(horBorder), VertBorder(vertBorder), area(&area)
{
}

TRectanglePool::Axis TRectanglePool::AxisOf(bool horizontal) const
{
    if (horizontal)
        return {HorizontalAxis, HorGap,  VertGap,
                HorBorder,      GrowHor, int64_t(area->right) - area->left};
    return {VerticalAxis, VertGap, HorGap, VertBorder, GrowVert, int64_t(area->bottom) - area->top};
}

void TRectanglePool::Add(TSountoryRectangle& rect)
{
    rects.push_back(&rect);
}

void TRectanglePool::Remove(const TSountoryRectangle& rect)
{
    // From the tail: a factory deletes its nodes newest first.
    auto it = std::find(rects.rbegin(), rects.rend(), &rect);
    if (KV_SOFT_ASSERT(it != rects.rend()))
        rects.erase(std::next(it).base());
}

TSountoryRectangle* TRectanglePool::FindNeighbour(const TSountoryRectangle& rect, uint8_t side,
                                                  const TSountoryRectangle* after) const
{
    const bool horizontal = side == sntSideLeft || side == sntSideRight;
    const bool forward = side == sntSideRight || side == sntSideBelow;
    const Axis axis = AxisOf(horizontal);
    size_t i = 0;
    if (after) {
        auto it = std::find(rects.begin(), rects.end(), after);
        i = it == rects.end() ? rects.size() : size_t(it - rects.begin()) + 1;
    }
    for (; i < rects.size(); ++i)
        if (rects[i] != &rect && axis.Beside(rect, *rects[i], forward))
            return rects[i];
    return nullptr;
}

int32_t TRectanglePool::CanShiftHor(const TSountoryRectangle& rect, int32_t d) const
{
    return CanShift(AxisOf(true), rect, d);
}

int32_t TRectanglePool::CanShiftVert(const TSountoryRectangle& rect, int32_t d) const
{
    return CanShift(AxisOf(false), rect, d);
}

bool TRectanglePool::ShiftHor(TSountoryRectangle& rect, int32_t d, bool moveItself)
{
    return Shift(AxisOf(true), rect, d, moveItself);
}

bool TRectanglePool::ShiftVert(TSountoryRectangle& rect, int32_t d, bool moveItself)
{
    return Shift(AxisOf(false), rect, d, moveItself);
}

// The farthest a rectangle can move one way does not depend on how far it is asked to move: it
// is the least of its own room before the border and, for each rectangle beside it, the room
// between them plus that one's farthest move (when it can move at all). Asking each neighbour
// anew for every wanted shift cost 2^(n-1) steps for a row of n rectangles; here each
// rectangle's farthest move is found once, so a call costs at most n^2 neighbour tests.
int32_t TRectanglePool::CanShift(const Axis& axis, const TSountoryRectangle& rect, int32_t d) const
{
    if (d == 0)
        return 0;
    const bool forward = d > 0;
    const size_t n = rects.size();
    // A growing area makes room for any shift that keeps every rectangle within the limit; only
    // a shift beyond it is bounded like one against a fixed side at the limit.
    int64_t extent = axis.extent;
    if (forward && axis.grow) {
        int64_t farthest = rect.*(axis.hi);
        for (const TSountoryRectangle* other : rects)
            farthest = std::max<int64_t>(farthest, other->*(axis.hi));
        if (farthest + d + axis.border <= GrowLimit)
            return d;
        extent = std::max<int64_t>(extent, GrowLimit);
    }

    // The rectangle asked for is its entry of the pool, or the extra entry n.
    const size_t top = size_t(std::find(rects.begin(), rects.end(), &rect) - rects.begin());
    auto at = [&](size_t i) -> const TSountoryRectangle& { return i == n ? rect : *rects[i]; };
    auto ownLimit = [&](const TSountoryRectangle& r) {
        return forward ? extent - r.*(axis.hi) - axis.border : int64_t(axis.border) - r.*(axis.lo);
    };
    // A neighbour's room and farthest move give a limit for the rectangle beside it.
    auto through = [&](int64_t room, int64_t farthest) {
        return forward ? room + std::max<int64_t>(0, farthest)
                       : -room + std::min<int64_t>(0, farthest);
    };
    auto tighter = [&](int64_t a, int64_t b) { return forward ? std::min(a, b) : std::max(a, b); };

    std::vector<bool> found(n + 1, false);
    std::vector<int64_t> farthest(n + 1, 0);
    struct Frame
    {
        size_t index;
        size_t next;
    };
    std::vector<Frame> stack{{top, 0}};
    found[top] = true;
    farthest[top] = ownLimit(rect);
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const TSountoryRectangle& r = at(frame.index);
        bool descended = false;
        while (frame.next < n) {
            const size_t j = frame.next;
            const TSountoryRectangle& other = *rects[j];
            if (j == frame.index || !axis.Beside(r, other, forward)) {
                ++frame.next;
                continue;
            }
            const bool movable = axis.HasExtent(other);
            if (movable && !found[j]) {
                found[j] = true;
                farthest[j] = ownLimit(other);
                stack.push_back({j, 0});
                descended = true;
                break;
            }
            const int64_t beyond = movable ? farthest[j] : 0;
            farthest[frame.index] =
                tighter(farthest[frame.index], through(axis.Room(r, other, forward), beyond));
            ++frame.next;
        }
        if (!descended)
            stack.pop_back();
    }
    const int64_t reach = farthest[top];
    return int32_t(forward ? std::max<int64_t>(0, std::min<int64_t>(d, reach))
                           : std::min<int64_t>(0, std::max<int64_t>(d, reach)));
}

bool TRectanglePool::Shift(const Axis& axis, TSountoryRectangle& rect, int32_t d, bool moveItself)
{
    if (d == 0)
        return false;
    const bool forward = d > 0;
    bool changed = moveItself;
    for (TSountoryRectangle* other : rects) {
        if (other == &rect || !axis.HasExtent(*other) || !axis.Beside(rect, *other, forward))
            continue;
        const int64_t room = axis.Room(rect, *other, forward);
        const int64_t need = forward ? d - room : room + d;
        if (forward ? need > 0 : need < 0)
            changed = Shift(axis, *other, int32_t(need), true) || changed;
    }
    if (forward &&
        int64_t(rect.*(axis.hi)) + d + axis.border > area->*(axis.hi) - area->*(axis.lo)) {
        area->*(axis.hi) = int32_t(int64_t(area->*(axis.lo)) + rect.*(axis.hi) + d + axis.border);
        changed = true;
    }
    if (moveItself) {
        rect.*(axis.lo) += d;
        rect.*(axis.hi) += d;
    }
    return changed;
}

} // namespace kelvorn
