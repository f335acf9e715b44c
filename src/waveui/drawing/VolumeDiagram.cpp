#include "waveui/drawing/VolumeDiagram.h"

#include "general/Assert.h"
#include "general/numeric/NumericHelpers.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kelvorn {

namespace {

uint32_t Byte(uint32_t colour, int shift)
{
    return (colour >> shift) & 0xFF;
}

// Which cells meet the update area, and where their edges fall in pixels (doubles, truncated
// only per cell, so neighbouring cells share their edges exactly).
struct CellRange
{
    int32_t x0 = 0;
    int32_t x1 = 0;
    int32_t y0 = 0;
    int32_t y1 = 0;
    std::vector<double> columnEdges; // x0 .. x1
    std::vector<double> rowEdges;    // y0 .. y1
};

bool ComputeCellRange(const PixelRect& paneArea, const PixelRect& updateArea, double zoomBegin,
                      double zoomEnd, int64_t sampleCount, int32_t width, int32_t height,
                      CellRange& range)
{
    // An empty wave (an envelope wave may have become one), an empty pane or an empty zoom
    // has no cells to show, and each would divide by zero below.
    if (sampleCount <= 0 || width <= 0 || height <= 0 || paneArea.Width() <= 0 ||
        paneArea.Height() <= 0 || !(zoomEnd != zoomBegin) || !std::isfinite(zoomBegin) ||
        !std::isfinite(zoomEnd))
        return false;
    const double n = double(sampleCount);
    const double w = width;
    const double hCells = height;
    const double h = paneArea.Height();
    const double sL = LinearMap(updateArea.left, paneArea.left, paneArea.right, zoomBegin, zoomEnd);
    const double sR =
        LinearMap(updateArea.right, paneArea.left, paneArea.right, zoomBegin, zoomEnd);
    // Cells outside the grid hold nothing: the range is kept within it.
    range.x0 = std::max(0, TruncToInt32(sL * w / n));
    range.x1 = std::min(width, TruncToInt32(sR * w / n + 1.0));
    range.y0 = std::max(0, TruncToInt32((updateArea.top - paneArea.top) * hCells / h));
    range.y1 =
        std::min(height, TruncToInt32((updateArea.bottom - paneArea.top) * hCells / h + 1.0));
    if (range.x0 >= range.x1 || range.y0 >= range.y1)
        return false;
    range.columnEdges.resize(size_t(range.x1 - range.x0 + 1));
    for (int32_t x = range.x0; x <= range.x1; ++x)
        range.columnEdges[size_t(x - range.x0)] =
            LinearMap(double(x) * n / w, zoomBegin, zoomEnd, paneArea.left, paneArea.right);
    range.rowEdges.resize(size_t(range.y1 - range.y0 + 1));
    for (int32_t y = range.y0; y <= range.y1; ++y)
        range.rowEdges[size_t(y - range.y0)] = paneArea.top + double(y) * h / hCells;
    return true;
}

// Paints one cell between the given pixel edges, clipped to clip (right and bottom inclusive).
// A cell narrower than a pixel often ends before it starts and is skipped: a neighbour paints
// that pixel.
void PaintCell(Canvas& canvas, double leftEdge, double rightEdge, double topEdge, double bottomEdge,
               const PixelRect& clip, uint32_t colour)
{
    const int left = std::max(TruncToInt32(leftEdge), clip.left);
    const int right = std::min(TruncToInt32(rightEdge - 1.0), clip.right);
    const int top = std::max(TruncToInt32(topEdge), clip.top);
    const int bottom = std::min(TruncToInt32(bottomEdge - 1.0), clip.bottom);
    if (right < left || bottom < top)
        return;
    if (left == right && top == bottom) {
        canvas.SetPixel(left, top, colour);
    } else if (left == right) {
        canvas.SetPenColor(colour);
        canvas.MoveTo(left, top);
        canvas.LineTo(left, bottom + 1);
    } else if (top == bottom) {
        canvas.SetPenColor(colour);
        canvas.MoveTo(left, top);
        canvas.LineTo(right + 1, top);
    } else {
        canvas.SetBrushColor(colour);
        canvas.FillRect(PixelRect{left, top, right + 1, bottom + 1});
    }
}

bool UpdateAreaIsEmpty(const PixelRect& updateArea)
{
    return updateArea.Width() <= 0 || updateArea.Height() <= 0;
}

PixelRect ClipOf(const PixelRect& updateArea)
{
    return PixelRect{updateArea.left, updateArea.top, updateArea.right - 1, updateArea.bottom - 1};
}

void PrepareCanvas(Canvas& canvas)
{
    canvas.SetPenWidth(1);
    canvas.SetBrushStyle(BrushStyle::Solid);
}

// Paints the columns of range before xEnd, each cell in colourOf(x, y).
template <class ColourOf>
void PaintCells(Canvas& canvas, const CellRange& range, int32_t xEnd, const PixelRect& updateArea,
                ColourOf colourOf)
{
    const PixelRect clip = ClipOf(updateArea);
    PrepareCanvas(canvas);
    for (int32_t x = range.x0; x < xEnd; ++x) {
        const double leftEdge = range.columnEdges[size_t(x - range.x0)];
        const double rightEdge = range.columnEdges[size_t(x - range.x0 + 1)];
        for (int32_t y = range.y0; y < range.y1; ++y)
            PaintCell(canvas, leftEdge, rightEdge, range.rowEdges[size_t(y - range.y0)],
                      range.rowEdges[size_t(y - range.y0 + 1)], clip, colourOf(x, y));
    }
}

} // namespace

double VolumeIntensity(double volume, uint8_t sensKind, double strength)
{
    double s;
    switch (sensKind) {
    case sensLow:
        s = volume * volume;
        break;
    case sensHigh:
        s = std::sqrt(volume);
        break;
    case sensVeryHigh:
        s = std::pow(volume, 0.25);
        break;
    default:
        s = volume;
        break;
    }
    s = s * strength;
    return s > 1.0 ? 1.0 : s;
}

uint32_t VolumeSingleColor(double s, const TVoldViewProps& props, bool inverted)
{
    if (props.UseColorPalette1D)
        return uint32_t(props.ColorPalette1D.GetColor(inverted ? 1 - s : s));
    const int32_t c0 = inverted ? props.SingleColor : props.BackgroundColor;
    const int32_t c1 = inverted ? props.BackgroundColor : props.SingleColor;
    return uint32_t(BlendColor(c0, c1, s));
}

uint32_t VolumeJoinedColor(double sLeft, double sRight, const TVoldViewProps& props, bool inverted)
{
    const uint32_t zero = uint32_t(inverted ? props.SingleColor : props.BackgroundColor);
    const uint32_t equal = uint32_t(inverted ? props.BackgroundColor : props.SingleColor);
    const uint32_t leftDominant = uint32_t(inverted ? props.RightColor : props.LeftColor);
    const uint32_t rightDominant = uint32_t(inverted ? props.LeftColor : props.RightColor);
    double s, r;
    uint32_t dominant;
    if (sLeft > sRight) {
        r = sRight / sLeft;
        s = sLeft;
        dominant = leftDominant;
    } else if (sRight > 0) {
        r = sLeft / sRight;
        s = sRight;
        dominant = rightDominant;
    } else {
        return zero & 0xFFFFFF;
    }
    uint32_t colour = 0;
    for (int shift : {0, 8, 16}) {
        const double mixed = Byte(equal, shift) * r + Byte(dominant, shift) * (1 - r);
        const int32_t byte = TruncToInt32(mixed * s + Byte(zero, shift) * (1 - s));
        colour |= uint32_t(std::clamp(byte, 0, 255)) << shift;
    }
    return colour;
}

void DrawVolume(Canvas& canvas, const PixelRect& paneArea, const PixelRect& updateArea,
                double zoomBegin, double zoomEnd, int64_t sampleCount, int channels,
                const VolumeGrids& grids, const TVoldViewProps& props, bool inverted)
{
    if (channels == 2 && props.DrawSingle) {
        const int mid = (paneArea.top + paneArea.bottom) / 2;
        PixelRect upperPane = paneArea;
        upperPane.bottom = mid;
        PixelRect upperUpdate = updateArea;
        upperUpdate.bottom = std::min(mid, updateArea.bottom);
        DrawVolumeSingle(canvas, upperPane, upperUpdate, zoomBegin, zoomEnd, sampleCount,
                         grids.left, props, inverted);
        PixelRect lowerPane = paneArea;
        lowerPane.top = mid;
        PixelRect lowerUpdate = updateArea;
        lowerUpdate.top = std::max(mid, updateArea.top);
        DrawVolumeSingle(canvas, lowerPane, lowerUpdate, zoomBegin, zoomEnd, sampleCount,
                         grids.right, props, inverted);
    } else if (channels == 2) {
        DrawVolumeJoined(canvas, paneArea, updateArea, zoomBegin, zoomEnd, sampleCount, grids.left,
                         grids.right, props, inverted);
    } else {
        DrawVolumeSingle(canvas, paneArea, updateArea, zoomBegin, zoomEnd, sampleCount,
                         grids.single, props, inverted);
    }
}

void DrawVolumeSingle(Canvas& canvas, const PixelRect& paneArea, const PixelRect& updateArea,
                      double zoomBegin, double zoomEnd, int64_t sampleCount,
                      const TVolumeArray* grid, const TVoldViewProps& props, bool inverted)
{
    if (UpdateAreaIsEmpty(updateArea) || !grid)
        return;
    CellRange range;
    if (!ComputeCellRange(paneArea, updateArea, zoomBegin, zoomEnd, sampleCount, grid->GetWidth(),
                          grid->GetHeight(), range))
        return;
    // Only filled columns: the writer may be filling the next one right now.
    const int32_t xEnd = std::min(range.x1, grid->GetFilled());
    const double strength = props.Strength.GetValue();
    PaintCells(canvas, range, xEnd, updateArea, [&](int32_t x, int32_t y) {
        const double s = VolumeIntensity(grid->GetVolume(x, y), props.SensKind, strength);
        return VolumeSingleColor(s, props, inverted);
    });
}

void DrawVolumeJoined(Canvas& canvas, const PixelRect& paneArea, const PixelRect& updateArea,
                      double zoomBegin, double zoomEnd, int64_t sampleCount,
                      const TVolumeArray* left, const TVolumeArray* right,
                      const TVoldViewProps& props, bool inverted)
{
    if (UpdateAreaIsEmpty(updateArea) || !left || !right)
        return;
    const TVolumeArray* volumeArrayRight = right;
    const int32_t arrayWidth = left->GetWidth();
    const int32_t arrayHeight = left->GetHeight();
    if (!KV_SOFT_ASSERT(volumeArrayRight->GetWidth() == arrayWidth) ||
        !KV_SOFT_ASSERT(volumeArrayRight->GetHeight() == arrayHeight))
        return;
    CellRange range;
    if (!ComputeCellRange(paneArea, updateArea, zoomBegin, zoomEnd, sampleCount, arrayWidth,
                          arrayHeight, range))
        return;
    const int32_t endLeft = std::min(range.x1, left->GetFilled());
    const int32_t endRight = std::min(range.x1, right->GetFilled());
    const int32_t xEnd = std::max(endLeft, endRight);
    const double strength = props.Strength.GetValue();
    PaintCells(canvas, range, xEnd, updateArea, [&](int32_t x, int32_t y) {
        const double vLeft = x < endLeft ? left->GetVolume(x, y) : 0.0;
        const double vRight = x < endRight ? right->GetVolume(x, y) : 0.0;
        return VolumeJoinedColor(VolumeIntensity(vLeft, props.SensKind, strength),
                                 VolumeIntensity(vRight, props.SensKind, strength), props,
                                 inverted);
    });
}

bool VolumeRefreshRect(int32_t first, int32_t end, int32_t gridWidth, double b, double e, double n,
                       double currentCount, double zoomBegin, double zoomEnd,
                       const PixelRect& client, int channels, int refreshSide, bool drawSingle,
                       PixelRect& rect)
{
    rect = client;
    if (channels == 2 && drawSingle) {
        const int mid = (client.top + client.bottom) / 2;
        if (refreshSide == sideLeft) {
            rect.bottom = mid;
        } else {
            KV_SOFT_ASSERT(refreshSide == sideRight);
            rect.top = mid;
        }
    }
    // Nothing to map for an empty wave or zoom: no division by zero.
    if (!(n != 0) || !(zoomEnd != zoomBegin))
        return false;
    const double cb = b * gridWidth / n;
    const double ce = e * gridWidth / n;
    if (!(ce != cb))
        return false;
    const double sFirst = (first - cb) * currentCount / (ce - cb);
    const double sEnd = (end - cb) * currentCount / (ce - cb);
    const double scale = double(client.right - client.left) / (zoomEnd - zoomBegin);
    const int pFirst = TruncToInt32(client.left + (sFirst - zoomBegin) * scale);
    const int pEnd = TruncToInt32(client.left + (sEnd - zoomBegin) * scale);
    if (!(pFirst < pEnd && pEnd > client.left && pFirst < client.right))
        return false;
    // Kept within the pane, so the caller's repaint never reaches past it.
    rect.left = std::max(pFirst, client.left);
    rect.right = std::min(pEnd, client.right);
    return rect.Height() > 0;
}

} // namespace kelvorn
