#include "factory/core/Placement.h"

#include "factory/core/FactoryFile.h"

#include <algorithm>
#include <unordered_set>

namespace kelvorn {

namespace {

void MoveBy(TSountoryRectangle& rect, int32_t dx, int32_t dy)
{
    rect.left += dx;
    rect.right += dx;
    rect.top += dy;
    rect.bottom += dy;
}

// Takes a better hit: only a strictly nearer one, so that a tie stays with the element tested
// first (a pin before its node, the front-most node before the ones behind it).
// Each element writes its distance and part here before Nearer reads them.
struct HitSearch
{
    TSntHit& hit;
    double best = 1000.0;
    double distance = 0;
    uint8_t part = sntTouchInside;

    bool Nearer(bool touched)
    {
        if (!touched || !(distance < best))
            return false;
        best = distance;
        hit = TSntHit{};
        return true;
    }
};

} // namespace

bool TSountoryNode::IsTouched(PixelPoint point, double& distance, uint8_t& part) const
{
    if (!TouchRect(rect, ToFactoryPoint(*factory, point), distance, part))
        return false;
    if (part == sntTouchInside)
        distance = 0;
    return true;
}

bool TUnitSountory::IsTouched(PixelPoint point, double& distance, uint8_t& part) const
{
    return TouchRect(FactoryRect, point, distance, part);
}

PixelPoint ToFactoryPoint(const TUnitSountory& factory, PixelPoint windowPoint)
{
    return {windowPoint.x - factory.FactoryRect.left, windowPoint.y - factory.FactoryRect.top};
}

bool PointInObject(const TUnitSountory& factory, PixelPoint windowPoint, TSntHit& hit,
                   bool forDragging)
{
    hit = TSntHit{};
    HitSearch search{hit};
    for (const auto& node : factory.Nodes()) {
        for (const auto& pin : node->Inputs())
            if (search.Nearer(pin->IsTouched(windowPoint, search.distance))) {
                hit.object = sntSountoryObjectNodeInput;
                hit.touchable = pin.get();
                hit.node = node.get();
                hit.nodeInput = pin.get();
            }
        for (const auto& pin : node->Outputs())
            if (search.Nearer(pin->IsTouched(windowPoint, search.distance))) {
                hit.object = sntSountoryObjectNodeOutput;
                hit.touchable = pin.get();
                hit.node = node.get();
                hit.nodeOutput = pin.get();
            }
        if (search.Nearer(node->IsTouched(windowPoint, search.distance, search.part))) {
            hit.object = sntSountoryObjectNode;
            hit.part = search.part;
            hit.touchable = node.get();
            hit.node = node.get();
        }
    }
    for (const auto& pin : factory.Inputs())
        if (search.Nearer(pin->IsTouched(windowPoint, search.distance))) {
            hit.object = sntSountoryObjectInput;
            hit.touchable = static_cast<TSountoryInputOutput*>(pin.get());
            hit.input = pin.get();
        }
    for (const auto& pin : factory.Outputs())
        if (search.Nearer(pin->IsTouched(windowPoint, search.distance))) {
            hit.object = sntSountoryObjectOutput;
            hit.touchable = static_cast<TSountoryInputOutput*>(pin.get());
            hit.output = pin.get();
        }
    if (search.Nearer(factory.IsTouched(windowPoint, search.distance, search.part))) {
        hit.object = sntSountoryObjectSountory;
        hit.part = search.part;
    }
    if (hit.object == sntSountoryObjectSountory && forDragging) {
        // The area's left and top stay where the scroll position puts them.
        switch (hit.part) {
        case sntTouchTopRight:
            hit.part = sntTouchRight;
            break;
        case sntTouchBottomLeft:
            hit.part = sntTouchBottom;
            break;
        case sntTouchRight:
        case sntTouchBottom:
        case sntTouchBottomRight:
            break;
        default:
            hit = TSntHit{};
            return false;
        }
    }
    return hit.object != 0;
}

// ---- overlaps and borders ----

bool Overlaps(const TSountoryRectangle& node, const TSountoryRectangle& rect)
{
    return int64_t(rect.left) < int64_t(node.right) + NodeHorGap &&
           int64_t(node.left) - NodeHorGap < rect.right &&
           int64_t(rect.top) < int64_t(node.bottom) + NodeVertGap &&
           int64_t(node.top) - NodeVertGap < rect.bottom;
}

bool AnyNodesOverlap(const TUnitSountory& factory)
{
    const auto& nodes = factory.Nodes();
    for (size_t i = 0; i < nodes.size(); ++i)
        for (size_t j = i + 1; j < nodes.size(); ++j)
            if (Overlaps(nodes[i]->GetRect(), nodes[j]->GetRect()))
                return true;
    return false;
}

bool OverlapsNode(const TUnitSountory& factory, const TSountoryRectangle& rect)
{
    for (const auto& node : factory.Nodes())
        if (Overlaps(node->GetRect(), rect))
            return true;
    return false;
}

bool FitsInFactory(const TUnitSountory& factory, const TSountoryRectangle& rect)
{
    return rect.left >= NodeHorBorder && rect.top >= NodeVertBorder &&
           int64_t(rect.right) <= int64_t(factory.GetWidth()) - NodeHorBorder &&
           int64_t(rect.bottom) <= int64_t(factory.GetHeight()) - NodeVertBorder;
}

TRectanglePool MakeNodePool(TUnitSountory& factory)
{
    TRectanglePool pool(factory.FactoryRect, NodeHorGap, NodeVertGap, NodeHorBorder,
                        NodeVertBorder);
    pool.GrowHor = pool.GrowVert = factory.GetNodesCombination() == NodesShift;
    // Pushed nodes never carry the area past what its file can hold.
    pool.GrowLimit = factoryAreaLimit;
    const auto& nodes = factory.Nodes();
    for (auto it = nodes.rbegin(); it != nodes.rend(); ++it)
        pool.Add((*it)->GetRectangle());
    return pool;
}

// ---- dragging ----

bool DragRectangle(TSountoryNode& node, uint8_t part, TSountoryRectangle& rect)
{
    TUnitSountory& factory = *node.GetFactory();
    const uint8_t mode = factory.GetNodesCombination();
    const bool move = part == sntTouchInside;
    const bool left = IsLeftPart(part);
    const bool right = IsRightPart(part);
    const bool top = IsTopPart(part);
    const bool bottom = IsBottomPart(part);

    if (rect.top < NodeVertBorder) {
        if (top)
            rect.top = NodeVertBorder;
        else if (move)
            MoveBy(rect, 0, NodeVertBorder - rect.top);
    }
    if (rect.left < NodeHorBorder) {
        if (left)
            rect.left = NodeHorBorder;
        else if (move)
            MoveBy(rect, NodeHorBorder - rect.left, 0);
    }
    if (mode != NodesShift) {
        const int32_t maxRight = factory.GetWidth() - NodeHorBorder;
        const int32_t maxBottom = factory.GetHeight() - NodeVertBorder;
        if (rect.right > maxRight) {
            if (right)
                rect.right = maxRight;
            else if (move)
                MoveBy(rect, maxRight - rect.right, 0);
        }
        if (rect.bottom > maxBottom) {
            if (bottom)
                rect.bottom = maxBottom;
            else if (move)
                MoveBy(rect, 0, maxBottom - rect.bottom);
        }
    }
    // A side typed at the largest number an edit takes must not overflow the sums below.
    if (int64_t(rect.top) + NodeMinHeight > rect.bottom) {
        if (top)
            rect.top = rect.bottom - NodeMinHeight;
        if (bottom)
            rect.bottom = rect.top + NodeMinHeight;
    }
    if (int64_t(rect.right) < int64_t(rect.left) + NodeMinWidth) {
        if (left)
            rect.left = rect.right - NodeMinWidth;
        if (right)
            rect.right = rect.left + NodeMinWidth;
    }

    const TSountoryRectangle old = node.GetRect();
    const int32_t dL = rect.left - old.left;
    const int32_t dR = rect.right - old.right;
    const int32_t dT = rect.top - old.top;
    const int32_t dB = rect.bottom - old.bottom;
    int32_t adjX = 0;
    int32_t adjY = 0;
    bool pushed = false;

    if (mode == NodesShift) {
        TRectanglePool pool = MakeNodePool(factory);
        TSountoryRectangle& self = node.GetRectangle();
        if (dR > 0) {
            adjX = pool.CanShiftHor(self, dR) - dR;
            pushed = pool.ShiftHor(self, dR + adjX, false) || pushed;
        }
        if (dL < 0) {
            adjX = pool.CanShiftHor(self, dL) - dL;
            pushed = pool.ShiftHor(self, dL + adjX, false) || pushed;
        }
        if (dB > 0) {
            adjY = pool.CanShiftVert(self, dB) - dB;
            pushed = pool.ShiftVert(self, dB + adjY, false) || pushed;
        }
        if (dT < 0) {
            adjY = pool.CanShiftVert(self, dT) - dT;
            pushed = pool.ShiftVert(self, dT + adjY, false) || pushed;
        }
    } else if (mode == NodesFixed) {
        for (const auto& other : factory.Nodes()) {
            if (other.get() == &node || !Overlaps(other->GetRect(), rect))
                continue;
            const TSountoryRectangle& n = other->GetRect();
            if (dR > 0 && n.left < rect.right + NodeHorGap && old.right + NodeHorGap <= n.left)
                adjX = std::min(adjX, n.left - rect.right - NodeHorGap);
            if (dB > 0 && n.top < rect.bottom + NodeVertGap && old.bottom + NodeVertGap <= n.top)
                adjY = std::min(adjY, n.top - rect.bottom - NodeVertGap);
            if (dL < 0 && rect.left - NodeHorGap < n.right && n.right <= old.left - NodeHorGap)
                adjX = std::max(adjX, n.right - rect.left + NodeHorGap);
            if (dT < 0 && rect.top - NodeVertGap < n.bottom && n.bottom <= old.top - NodeVertGap)
                adjY = std::max(adjY, n.bottom - rect.top + NodeVertGap);
        }
    }
    if (left || move)
        rect.left += adjX;
    if (right || move)
        rect.right += adjX;
    if (top || move)
        rect.top += adjY;
    if (bottom || move)
        rect.bottom += adjY;

    if (mode != NodesOverlap)
        for (const auto& other : factory.Nodes())
            if (other.get() != &node && Overlaps(other->GetRect(), rect)) {
                rect = old;
                break;
            }
    return pushed;
}

void FitFactoryRect(const TUnitSountory& factory, uint8_t part, TSountoryRectangle& rect)
{
    // The margin the editor window keeps around the area at scroll position 0.
    constexpr int32_t leftMargin = 23;
    constexpr int32_t topMargin = 3;
    const bool move = part == sntTouchInside;
    if (rect.top < topMargin) {
        if (IsTopPart(part))
            rect.top = topMargin;
        else if (move)
            MoveBy(rect, 0, topMargin - rect.top);
    }
    if (rect.left < leftMargin) {
        if (IsLeftPart(part))
            rect.left = leftMargin;
        else if (move)
            MoveBy(rect, leftMargin - rect.left, 0);
    }
    // A file holds an area only up to a size, so a drag or a typed size stops there.
    if (int64_t(rect.right) - rect.left > factoryAreaLimit) {
        if (IsLeftPart(part))
            rect.left = rect.right - factoryAreaLimit;
        else if (IsRightPart(part))
            rect.right = rect.left + factoryAreaLimit;
    }
    if (int64_t(rect.bottom) - rect.top > factoryAreaLimit) {
        if (IsTopPart(part))
            rect.top = rect.bottom - factoryAreaLimit;
        else if (IsBottomPart(part))
            rect.bottom = rect.top + factoryAreaLimit;
    }
    int32_t minWidth = AreaMinWidth;
    int32_t minHeight = AreaMinHeight;
    for (const auto& node : factory.Nodes()) {
        minWidth = std::max(minWidth, node->GetRect().right + NodeHorBorder);
        minHeight = std::max(minHeight, node->GetRect().bottom + NodeVertBorder);
    }
    if (int64_t(rect.top) + minHeight > rect.bottom) {
        if (IsTopPart(part))
            rect.top = rect.bottom - minHeight;
        if (IsBottomPart(part))
            rect.bottom = rect.top + minHeight;
    }
    if (int64_t(rect.left) + minWidth > rect.right) {
        if (IsLeftPart(part))
            rect.left = rect.right - minWidth;
        if (IsRightPart(part))
            rect.right = rect.left + minWidth;
    }
}

// ---- a free place for a new node ----

bool StepOutOfNodes(const TUnitSountory& factory, TSountoryRectangle& rect, uint8_t direction)
{
    // Left and up take the smallest target edge, right and down the largest.
    const bool lowest = direction == sntDirLeft || direction == sntDirUp;
    bool found = false;
    int64_t target = 0;
    auto candidate = [&](int64_t edge) {
        target = !found ? edge : (lowest ? std::min(target, edge) : std::max(target, edge));
        found = true;
    };
    if (factory.GetNodesCombination() != NodesOverlap)
        for (const auto& node : factory.Nodes()) {
            const TSountoryRectangle& n = node->GetRect();
            if (!Overlaps(n, rect))
                continue;
            switch (direction) {
            case sntDirLeft:
                candidate(int64_t(n.left) - NodeHorGap);
                break;
            case sntDirRight:
                candidate(int64_t(n.right) + NodeHorGap);
                break;
            case sntDirUp:
                candidate(int64_t(n.top) - NodeVertGap);
                break;
            case sntDirDown:
                candidate(int64_t(n.bottom) + NodeVertGap);
                break;
            }
        }
    const int64_t maxRight = int64_t(factory.GetWidth()) - NodeHorBorder;
    const int64_t maxBottom = int64_t(factory.GetHeight()) - NodeVertBorder;
    switch (direction) {
    case sntDirLeft:
        if (rect.right > maxRight)
            candidate(maxRight);
        break;
    case sntDirRight:
        if (rect.left < NodeHorBorder)
            candidate(NodeHorBorder);
        break;
    case sntDirUp:
        if (rect.bottom > maxBottom)
            candidate(maxBottom);
        break;
    case sntDirDown:
        if (rect.top < NodeVertBorder)
            candidate(NodeVertBorder);
        break;
    }
    if (!found)
        return false;
    switch (direction) {
    case sntDirLeft:
        MoveBy(rect, int32_t(target - rect.right), 0);
        break;
    case sntDirRight:
        MoveBy(rect, int32_t(target - rect.left), 0);
        break;
    case sntDirUp:
        MoveBy(rect, 0, int32_t(target - rect.bottom));
        break;
    default:
        MoveBy(rect, 0, int32_t(target - rect.top));
        break;
    }
    return true;
}

namespace {

uint64_t PlaceKey(const TSountoryRectangle& rect)
{
    return uint64_t(uint32_t(rect.left)) << 32 | uint32_t(rect.top);
}

// Without a first direction only the last step is never reversed, so left, up, right and down
// could follow each other round for ever: a place already on the way here counts as a failed
// try. The places on the way are the only memory; a search that ended without it ends the same.
bool SearchFreePlace(const TUnitSountory& factory, TSountoryRectangle& rect, uint8_t first,
                     uint8_t last, PixelPoint point, std::unordered_set<uint64_t>& path)
{
    if (point.x < int64_t(rect.left) - 10 || point.x > int64_t(rect.right) + 10 ||
        point.y < int64_t(rect.top) - 10 || point.y > int64_t(rect.bottom) + 10)
        return false;
    if ((factory.GetNodesCombination() == NodesOverlap || !OverlapsNode(factory, rect)) &&
        FitsInFactory(factory, rect))
        return true;
    const TSountoryRectangle saved = rect;
    const uint64_t here = PlaceKey(saved);
    path.insert(here);
    auto against = [&](uint8_t direction) {
        // The direction each one reverses: right for left, down for up, and back.
        const uint8_t reverse = uint8_t(direction ^ 1);
        return first == reverse || last == reverse;
    };
    for (uint8_t direction : {sntDirLeft, sntDirRight, sntDirUp, sntDirDown}) {
        if (against(direction))
            continue;
        if (StepOutOfNodes(factory, rect, direction) && !path.contains(PlaceKey(rect)) &&
            SearchFreePlace(factory, rect, first, direction, point, path))
            return true;
        rect = saved;
    }
    path.erase(here);
    return false;
}

} // namespace

bool FindFreePlace(const TUnitSountory& factory, TSountoryRectangle& rect, uint8_t first,
                   uint8_t last, PixelPoint point)
{
    std::unordered_set<uint64_t> path;
    return SearchFreePlace(factory, rect, first, last, point, path);
}

TSountoryRectangle NewNodeRect(PixelPoint factoryPoint)
{
    const int32_t left = factoryPoint.x - 17;
    const int32_t top = factoryPoint.y - 11;
    return {left, top, left + NodeMinWidth, top + NodeMinHeight};
}

bool FindNewNodePlace(const TUnitSountory& factory, PixelPoint factoryPoint,
                      TSountoryRectangle& rect)
{
    rect = NewNodeRect(factoryPoint);
    return FindFreePlace(factory, rect, sntDirNone, sntDirNone, factoryPoint);
}

// ---- growing a new node ----

namespace {

// One axis of the growth: its edges, gap and border, the band across it widened by the other
// gap, and the area's extent.
struct GrowAxis : TRectangleAxis
{
    int32_t gap;
    int32_t crossGap;
    int32_t border;
    int64_t extent;
};

void Grow(const TUnitSountory& factory, const GrowAxis& axis, int32_t size,
          TSountoryRectangle& rect)
{
    int64_t minLo = axis.border;
    int64_t maxHi = axis.extent - axis.border;
    if (factory.GetNodesCombination() != NodesOverlap)
        for (const auto& node : factory.Nodes()) {
            const TSountoryRectangle& n = node->GetRect();
            if (!(int64_t(rect.*axis.crossLo) - axis.crossGap < n.*axis.crossHi &&
                  int64_t(rect.*axis.crossHi) + axis.crossGap > n.*axis.crossLo))
                continue;
            if (int64_t(n.*axis.hi) + axis.gap <= rect.*axis.lo)
                minLo = std::max(minLo, int64_t(n.*axis.hi) + axis.gap);
            if (int64_t(n.*axis.lo) - axis.gap >= rect.*axis.hi)
                maxHi = std::min(maxHi, int64_t(n.*axis.lo) - axis.gap);
        }
    auto missing = [&] { return int64_t(size) - (int64_t(rect.*axis.hi) - rect.*axis.lo); };
    auto lowerLo = [&](int64_t d) {
        rect.*axis.lo = int32_t(d > rect.*axis.lo - minLo ? minLo : rect.*axis.lo - d);
    };
    lowerLo(missing() / 2);
    const int64_t d = missing();
    rect.*axis.hi = int32_t(d > maxHi - rect.*axis.hi ? maxHi : rect.*axis.hi + d);
    lowerLo(missing());
}

} // namespace

void GrowWidth(const TUnitSountory& factory, int32_t width, TSountoryRectangle& rect)
{
    Grow(factory, {HorizontalAxis, NodeHorGap, NodeVertGap, NodeHorBorder, factory.GetWidth()},
         width, rect);
}

void GrowHeight(const TUnitSountory& factory, int32_t height, TSountoryRectangle& rect)
{
    Grow(factory, {VerticalAxis, NodeVertGap, NodeHorGap, NodeVertBorder, factory.GetHeight()},
         height, rect);
}

void GrowToSize(const TUnitSountory& factory, int32_t width, int32_t height,
                TSountoryRectangle& rect)
{
    int32_t w = 40;
    int32_t h = 30;
    while (true) {
        GrowHeight(factory, h, rect);
        GrowWidth(factory, w, rect);
        if (w == width && h == height)
            break;
        w = std::min(w + 10, width);
        h = std::min(h + 10, height);
    }
}

} // namespace kelvorn
