#pragma once
// A node of the user drawing: a sample value at a place in the drawn wave, given as a fraction
// of its length. The wave document keeps its nodes as a doubly linked list ordered by position
// and owns them; the wave pane turns nodes into pixels and back with the mappings below.

#include "general/view/PixelRect.h"

#include <cstdint>

namespace kelvorn {

class TDrawNode
{
public:
    /// A node with the value and position given, visible, unlinked.
    TDrawNode(int16_t nodeValue, double nodePosition);
    /// A node made from the pixel (x, y) of a pane showing the values [zoomBegin, zoomEnd) of a
    /// wave of `values` values in rect.
    TDrawNode(int x, int y, const PixelRect& rect, double zoomBegin, double zoomEnd,
              int32_t values);

    TDrawNode(const TDrawNode&) = delete;
    TDrawNode& operator=(const TDrawNode&) = delete;

    int16_t GetValue() const { return value; }
    void SetValue(int16_t nodeValue) { value = nodeValue; }
    double GetPosition() const { return position; }
    void SetPosition(double nodePosition) { position = nodePosition; }
    bool IsVisible() const { return visible; }
    void SetVisible(bool show) { visible = show; }

    TDrawNode* GetNext() const { return next; }
    TDrawNode* GetPrevious() const { return previous; }

    /// position = the sample index under x (x from [left, right] onto [zoomBegin, zoomEnd])
    /// divided by values. values must not be 0, nor left equal right.
    void SetPixelX(int x, const PixelRect& rect, double zoomBegin, double zoomEnd, int32_t values);
    /// value = y from [top, bottom] onto [32767, -32767], truncated toward zero.
    void SetPixelY(int y, const PixelRect& rect);
    /// The pixel column of the node (values × position from [zoomBegin, zoomEnd] onto
    /// [left, right]).
    double GetPixelX(const PixelRect& rect, double zoomBegin, double zoomEnd, int32_t values) const;
    /// The pixel row of the node (value from [32767, -32767] onto [top, bottom]).
    double GetPixelY(const PixelRect& rect) const;
    /// Euclidean distance from (x, y) to the node's pixel, whose coordinates are truncated first.
    double PixelDistance(int x, int y, const PixelRect& rect, double zoomBegin, double zoomEnd,
                         int32_t values) const;

    /// 1 + the number of nodes after this one.
    int32_t CountFromHere() const;

private:
    friend class TUnitWave; // links and unlinks the nodes of its list
    void Init();

    int16_t value = 0;
    double position = 0.0;
    bool visible = true;
    TDrawNode* next = nullptr;
    TDrawNode* previous = nullptr;
};

} // namespace kelvorn
