#pragma once
// Pixel geometry shared by the view maths and the canvas. A rectangle is half-open: it covers
// the columns left to right - 1 and the rows top to bottom - 1.

namespace kelvorn {

struct PixelPoint
{
    int x = 0;
    int y = 0;
};

struct PixelRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    /// The same rectangle grown by d pixels on every side (shrunk for a negative d).
    PixelRect Grown(int d) const { return {left - d, top - d, right + d, bottom + d}; }
};

} // namespace kelvorn
