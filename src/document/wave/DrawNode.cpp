#include "document/wave/DrawNode.h"

#include "general/numeric/NumericHelpers.h"

#include <cmath>

namespace kelvorn {

TDrawNode::TDrawNode(int16_t nodeValue, double nodePosition)
    : value(nodeValue), position(nodePosition)
{
    Init();
}

TDrawNode::TDrawNode(int x, int y, const PixelRect& rect, double zoomBegin, double zoomEnd,
                     int32_t values)
{
    SetPixelX(x, rect, zoomBegin, zoomEnd, values);
    SetPixelY(y, rect);
    Init();
}

void TDrawNode::Init()
{
    next = nullptr;
    previous = nullptr;
    visible = true;
}

void TDrawNode::SetPixelX(int x, const PixelRect& rect, double zoomBegin, double zoomEnd,
                          int32_t values)
{
    position = LinearMap(x, rect.left, rect.right, zoomBegin, zoomEnd) / values;
}

void TDrawNode::SetPixelY(int y, const PixelRect& rect)
{
    // A node dragged past the pane's edge keeps the drawing's own range.
    double mapped = LinearMap(y, rect.top, rect.bottom, 32767.0, -32767.0);
    value = static_cast<int16_t>(ClampValue(mapped, -32767.0, 32767.0));
}

double TDrawNode::GetPixelX(const PixelRect& rect, double zoomBegin, double zoomEnd,
                            int32_t values) const
{
    return LinearMap(static_cast<double>(values) * position, zoomBegin, zoomEnd, rect.left,
                     rect.right);
}

double TDrawNode::GetPixelY(const PixelRect& rect) const
{
    return LinearMap(value, 32767.0, -32767.0, rect.top, rect.bottom);
}

double TDrawNode::PixelDistance(int x, int y, const PixelRect& rect, double zoomBegin,
                                double zoomEnd, int32_t values) const
{
    double dx = x - std::trunc(GetPixelX(rect, zoomBegin, zoomEnd, values));
    double dy = y - std::trunc(GetPixelY(rect));
    return std::sqrt(dx * dx + dy * dy);
}

int32_t TDrawNode::CountFromHere() const
{
    // A loop, not recursion: a drawing may hold many thousands of nodes.
    int32_t count = 0;
    for (const TDrawNode* node = this; node; node = node->next)
        ++count;
    return count;
}

} // namespace kelvorn
