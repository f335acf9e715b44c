#pragma once
// A factory on a canvas: the raised area, the factory inputs on its left side and outputs on its
// right side, every node in the colour of its run state with its name, function and picture,
// the pins with their symbols and labels, the connections with arrow heads, and the connection
// the user is drawing. All of it in window coordinates; the head of the node list is drawn last.

#include "factory/core/UnitSountory.h"
#include "platform/Canvas.h"

namespace kelvorn {

/// The fill colour of a node in run state 0 idle, 1 busy, 2 done, 3 failed; grey for another.
uint32_t GetStateColor(uint8_t runState);

/// A connection from `from` to `to`: a line of the pen width and a filled head whose tip stands
/// backOff pixels before `to`. Equal points draw the head along angle 0.
void DrawArrow(Canvas& canvas, PixelPoint from, PixelPoint to, int32_t backOff, int32_t penWidth,
               uint32_t color);

/// The line from the target's source to the target, if it has one, its tip `gap` pixels short.
void DrawConnection(Canvas& canvas, const TSountoryOutputTarget& target, int32_t gap);

/// The connection the user is drawing from (or to) a pin to the mouse point; none without pin.
struct TPendingConnection
{
    const TSountoryTouchable* pin = nullptr;
    PixelPoint point;
};
void DrawPendingConnection(Canvas& canvas, const TPendingConnection& pending);

/// One node: body, title, picture and pins with their incoming connections.
void DrawNode(Canvas& canvas, const TSountoryNode& node);
/// The window rectangle that a node's drawing covers (its connections aside): what must be
/// shown again after DrawNode. The canvas measures the pin labels (its font changes).
PixelRect NodeDrawBounds(Canvas& canvas, const TSountoryNode& node);

/// The whole factory, then the pending connection.
void DrawFactory(Canvas& canvas, const TUnitSountory& factory,
                 const TPendingConnection& pending = {});

} // namespace kelvorn
