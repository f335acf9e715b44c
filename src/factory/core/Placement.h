#pragma once
// Where things stand on a factory area: what lies under a point of the editor window, the limits
// a dragged node and a dragged area obey in the three placement modes, the search for a free
// place for a new node near a click, and the growth of a new node to its size. The editor window
// and the property dialogs call these with window points; node rectangles are in factory
// coordinates (relative to the area's top-left corner), the area in window coordinates.

#include "factory/core/Rectangles.h"
#include "factory/core/UnitSountory.h"

namespace kelvorn {

/// The gaps between nodes and the borders between nodes and the sides of the area.
inline constexpr int32_t NodeHorGap = 10;
inline constexpr int32_t NodeVertGap = 3;
inline constexpr int32_t NodeHorBorder = 15;
inline constexpr int32_t NodeVertBorder = 5;
/// The least node and the least area.
inline constexpr int32_t NodeMinWidth = 35;
inline constexpr int32_t NodeMinHeight = 23;
inline constexpr int32_t AreaMinWidth = 70;
inline constexpr int32_t AreaMinHeight = 40;

/// What lies under a point: the kind (0 nothing), the touched part of a node or of the area
/// (sntTouchInside for pins), and the element. touchable is the element whose highlight the
/// editor sets (null for the area); node is the hit node or the node of a hit pin.
struct TSntHit
{
    uint8_t object = 0;
    uint8_t part = sntTouchInside;
    TSountoryTouchable* touchable = nullptr;
    TSountoryNode* node = nullptr;
    TSountoryInput* input = nullptr;
    TSountoryOutput* output = nullptr;
    TSountoryNodeInput* nodeInput = nullptr;
    TSountoryNodeOutput* nodeOutput = nullptr;
};

/// Directions of the free-place search; none starts a search.
enum sntDirection : uint8_t {
    sntDirLeft = 0,
    sntDirRight = 1,
    sntDirUp = 2,
    sntDirDown = 3,
    sntDirNone = 8,
};

/// The window point in factory coordinates.
PixelPoint ToFactoryPoint(const TUnitSountory& factory, PixelPoint windowPoint);

/// The hit test of a window point: the pins and then the body of each node from the front-most
/// one, then the factory inputs, the factory outputs and the area; the nearest hit wins and a
/// tie goes to the element tested first. For dragging, the area answers only at its right and
/// bottom edges (its corners there count as those edges). True when something was hit.
bool PointInObject(const TUnitSountory& factory, PixelPoint windowPoint, TSntHit& hit,
                   bool forDragging);

/// Whether two factory rectangles come closer than the gaps between nodes.
bool Overlaps(const TSountoryRectangle& node, const TSountoryRectangle& rect);
bool AnyNodesOverlap(const TUnitSountory& factory);
/// Whether a factory rectangle comes closer than the gaps to any node.
bool OverlapsNode(const TUnitSountory& factory, const TSountoryRectangle& rect);
/// Whether a factory rectangle keeps the borders of the area.
bool FitsInFactory(const TUnitSountory& factory, const TSountoryRectangle& rect);

/// The node rectangles of the factory, oldest first, bound to its area; the area may grow
/// right and down exactly in the shift mode.
TRectanglePool MakeNodePool(TUnitSountory& factory);

/// Turns the wanted new rectangle of a node (factory coordinates), moved from its inside or
/// resized at an edge or corner, into the one the placement mode allows. In the shift mode the
/// nodes in the way are pushed and the area grows; the result tells whether that changed
/// anything (the factory is then modified even when rect comes back unchanged). The caller
/// stores rect into the node.
bool DragRectangle(TSountoryNode& node, uint8_t part, TSountoryRectangle& rect);

/// Limits a wanted area rectangle (window coordinates) dragged at the given part: it stays below
/// and right of the window's margin and encloses every node with the borders.
void FitFactoryRect(const TUnitSountory& factory, uint8_t part, TSountoryRectangle& rect);

/// Moves rect (unchanged in size) just out of the nodes it overlaps, or back inside the border
/// it crosses, in the direction; false, rect unchanged, when nothing is in the way.
bool StepOutOfNodes(const TUnitSountory& factory, TSountoryRectangle& rect, uint8_t direction);
/// Moves rect to a free place within 10 pixels of the factory point, never turning back against
/// the first direction or the last step; false, rect unchanged, when there is none.
bool FindFreePlace(const TUnitSountory& factory, TSountoryRectangle& rect, uint8_t first,
                   uint8_t last, PixelPoint point);
/// The 35 by 23 rectangle around a factory point that a new node starts from.
TSountoryRectangle NewNodeRect(PixelPoint factoryPoint);
/// The place of a new node for a click at the factory point, as the editor searches it.
bool FindNewNodePlace(const TUnitSountory& factory, PixelPoint factoryPoint,
                      TSountoryRectangle& rect);

/// Widens (or narrows) rect around its centre towards width, as far as the borders and the
/// nodes beside it allow; GrowHeight the same vertically.
void GrowWidth(const TUnitSountory& factory, int32_t width, TSountoryRectangle& rect);
void GrowHeight(const TUnitSountory& factory, int32_t height, TSountoryRectangle& rect);
/// Grows rect from 40 by 30 in steps of 10 up to the target size, height first in each step,
/// so a new node fills the room around it evenly.
void GrowToSize(const TUnitSountory& factory, int32_t width, int32_t height,
                TSountoryRectangle& rect);

} // namespace kelvorn
