#include "music/ui/Glyphs.h"

#include <array>
#include <vector>

namespace kelvorn {

namespace {

PixelRect Box(int32_t l, int32_t t, int32_t r, int32_t b)
{
    return {l, t, r, b};
}

void Selection(Canvas& canvas, bool selected, const TStaveColors& colors, const PixelRect& rect)
{
    if (!selected)
        return;
    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.SetBrushColor(colors.Fore);
    canvas.FillRect(rect);
}

uint32_t InkOf(bool selected, const TStaveColors& colors)
{
    return selected ? colors.Back : colors.Fore;
}

void Line(Canvas& canvas, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

/// A polygon given relative to (x, y).
void Shape(Canvas& canvas, int32_t x, int32_t y, std::initializer_list<PixelPoint> points,
           int32_t mx = 1, int32_t my = 1)
{
    std::vector<PixelPoint> p;
    p.reserve(points.size());
    for (const PixelPoint& q : points)
        p.push_back({x + mx * q.x, y + my * q.y});
    canvas.Polygon(p);
}

void Flat(Canvas& canvas, int32_t x, int32_t y)
{
    canvas.SetPenWidth(2);
    Line(canvas, x, y - 15, x, y + 5);
    canvas.SetPenWidth(1);
    Shape(canvas, x, y,
          {{2, 4},
           {5, 2},
           {7, 0},
           {7, -3},
           {5, -4},
           {2, -3},
           {2, -4},
           {3, -5},
           {7, -5},
           {9, -4},
           {9, -1},
           {8, 0},
           {4, 3},
           {2, 5}});
}

void OctaveMark(Canvas& canvas, int32_t octaves, int32_t x, int32_t aboveY, int32_t belowY)
{
    if (octaves == 0)
        return;
    const int32_t y = octaves > 0 ? aboveY : belowY;
    if (octaves == 1 || octaves == -1) // an "8": two stacked rings as one outline
        Shape(canvas, x, y,
              {{3, 0}, {6, 0}, {8, 2}, {6, 4}, {8, 6}, {6, 9}, {3, 9}, {1, 6}, {3, 4}, {1, 2}});
    else // "15": a bar and a hooked figure
        Shape(canvas, x, y,
              {{0, 1},
               {2, 0},
               {3, 0},
               {3, 9},
               {5, 9},
               {5, 0},
               {12, 0},
               {12, 2},
               {7, 2},
               {7, 4},
               {11, 4},
               {13, 6},
               {11, 9},
               {5, 9},
               {1, 9},
               {1, 2},
               {0, 2}});
}

void DrawClefShape(Canvas& canvas, KeyKind kind, int32_t x, int32_t m)
{
    switch (kind) {
    case keyKindF:
        // The curl from the F line round to the lower left.
        Shape(canvas, x, m,
              {{0, -12},
               {4, -19},
               {10, -22},
               {16, -20},
               {19, -14},
               {18, -6},
               {12, 2},
               {2, 12},
               {1, 10},
               {10, 1},
               {14, -7},
               {14, -14},
               {11, -18},
               {6, -17},
               {3, -13},
               {6, -12},
               {7, -9},
               {4, -6},
               {1, -8}});
        canvas.Ellipse(Box(x + 21, m - 17, x + 26, m - 12));
        canvas.Ellipse(Box(x + 21, m - 7, x + 26, m - 2));
        break;
    case keyKindC:
        canvas.FillRect(Box(x, m - 20, x + 4, m + 20));
        canvas.FillRect(Box(x + 6, m - 20, x + 7, m + 20));
        for (int32_t my : {1, -1})
            Shape(canvas, x, m,
                  {{8, 0},
                   {12, -6},
                   {14, -10},
                   {17, -18},
                   {22, -20},
                   {27, -16},
                   {27, -10},
                   {23, -7},
                   {19, -9},
                   {22, -13},
                   {20, -16},
                   {17, -13},
                   {16, -7},
                   {12, -2}},
                  1, my);
        break;
    case keyKindG:
        Shape(canvas, x, m,
              {{14, 33},  {10, 30},  {12, 27}, {15, 29},  {17, 26},  {16, 14},  {10, 16},
               {3, 12},   {1, 4},    {5, -5},  {13, -13}, {12, -24}, {15, -33}, {19, -30},
               {19, -22}, {15, -11}, {7, -2},  {5, 4},    {8, 10},   {14, 10},  {17, 6},
               {14, 2},   {13, 0},   {20, -1}, {26, 4},   {25, 12},  {19, 15},  {20, 28}});
        Line(canvas, x + 14, m - 12, x + 18, m + 14);
        break;
    }
}

} // namespace

CanvasFont ScoreFont(int pixelSize, uint32_t color)
{
    CanvasFont font;
    font.families = {"Times New Roman", "Liberation Serif"};
    font.pixelSize = pixelSize;
    font.bold = true;
    font.color = color;
    return font;
}

void SetInk(Canvas& canvas, uint32_t color, int penWidth)
{
    canvas.SetPenColor(color);
    canvas.SetPenWidth(penWidth);
    canvas.SetBrushColor(color);
    canvas.SetBrushStyle(BrushStyle::Solid);
}

int32_t NoteShiftWidth(NoteShiftKind kind)
{
    switch (kind) {
    case noteShiftDoubleKruis:
        return 15;
    case noteShiftKruis:
        return 13;
    case noteShiftNormal:
        return 10;
    case noteShiftMol:
        return 12;
    case noteShiftDoubleMol:
        return 24;
    default:
        return 0;
    }
}

int32_t DrawNoteShift(Canvas& canvas, NoteShiftKind kind, int32_t x, int32_t y, bool selected,
                      const TStaveColors& colors)
{
    static constexpr std::array<PixelRect, 5> selection{
        {{-3, -9, 15, 9}, {-3, -14, 12, 14}, {-3, -15, 9, 15}, {-3, -18, 12, 8}, {-3, -18, 24, 8}}};
    if (kind > noteShiftDoubleMol)
        return x;
    const PixelRect& s = selection[kind];
    Selection(canvas, selected, colors, Box(x + s.left, y + s.top, x + s.right, y + s.bottom));
    SetInk(canvas, InkOf(selected, colors));
    switch (kind) {
    case noteShiftDoubleKruis: {
        const std::initializer_list<PixelPoint> quarter{{6, 0},  {4, -2}, {1, -2}, {0, -5},
                                                        {0, -6}, {1, -6}, {4, -5}, {4, -2}};
        Shape(canvas, x, y, quarter);
        Shape(canvas, x, y, quarter, 1, -1);
        Shape(canvas, x + 12, y, quarter, -1, -1);
        Shape(canvas, x + 12, y, quarter, -1, 1);
        break;
    }
    case noteShiftKruis:
        canvas.SetPenWidth(2);
        Line(canvas, x + 2, y - 9, x + 2, y + 12);
        Line(canvas, x + 7, y - 11, x + 7, y + 10);
        Line(canvas, x - 1, y, x + 9, y - 6);
        Line(canvas, x - 1, y + 6, x + 9, y);
        break;
    case noteShiftNormal:
        canvas.SetPenWidth(2);
        Line(canvas, x, y - 12, x, y + 6);
        Line(canvas, x + 6, y - 6, x + 6, y + 12);
        canvas.SetPenWidth(3);
        Line(canvas, x, y - 5, x + 5, y - 8);
        Line(canvas, x, y + 6, x + 5, y + 3);
        break;
    case noteShiftMol:
        Flat(canvas, x, y);
        break;
    case noteShiftDoubleMol:
        Flat(canvas, x, y);
        Flat(canvas, x + 12, y);
        break;
    default:
        break;
    }
    canvas.SetPenWidth(1);
    return x + NoteShiftWidth(kind);
}

std::pair<int32_t, int32_t> DrawNoteGlyph(Canvas& canvas, const TNoteGlyph& n,
                                          const TStaveColors& colors)
{
    const int32_t y = n.MiddleY - 5 * n.Height;
    Selection(canvas, n.Selected, colors, Box(n.XL - 2, y - 6, n.XR + 2, y + 7));
    int32_t left = n.XL;
    if (n.Shift != noteShiftNone) {
        left = n.XL - NoteShiftWidth(n.Shift);
        DrawNoteShift(canvas, n.Shift, left, y, n.Selected, colors);
    }
    auto head = [&](const PixelRect& r, uint32_t color) {
        SetInk(canvas, color);
        if (n.Rectangle)
            canvas.FillRect(r);
        else
            canvas.Ellipse(r);
    };
    head(Box(n.XL, y - 4, n.XR, y + 5), n.Selected ? colors.Back : n.NoteColor);
    if (n.FlagLength <= 2)
        head(Box(n.XL + 2, y - 3, n.XR - 2, y + 4), n.Selected ? colors.Fore : colors.Back);
    SetInk(canvas, n.NoteColor);
    for (int32_t i = 0; i < n.Dots; ++i)
        canvas.Ellipse(Box(n.XR + 2 + 4 * i, y + 2, n.XR + 5 + 4 * i, y + 5));
    return {left, n.XR + 4 * n.Dots};
}

void DrawArticulation(Canvas& canvas, NoteArtKind art, int32_t xm, int32_t ref, bool stemsUp,
                      uint32_t color)
{
    SetInk(canvas, color);
    const int32_t s = stemsUp ? 1 : -1;
    switch (art) {
    case noteArtStaccato:
        canvas.Ellipse(stemsUp ? Box(xm - 2, ref + 7, xm + 2, ref + 11)
                               : Box(xm - 2, ref - 10, xm + 2, ref - 6));
        break;
    case noteArtStaccatissimo:
        Line(canvas, xm, ref + 8 * s, xm, ref + 6 * s);
        canvas.Ellipse(stemsUp ? Box(xm - 2, ref + 9, xm + 2, ref + 14)
                               : Box(xm - 2, ref - 13, xm + 2, ref - 8));
        break;
    case noteArtPortato:
        Line(canvas, xm - 5, ref + 8 * s, xm + 5, ref + 8 * s);
        break;
    case noteArtLegato: {
        const auto tie = TieOutline(xm - 10, ref + 5 * s, xm + 10, ref + 5 * s, -9 * s);
        if (!tie.empty())
            canvas.Polygon(tie);
        break;
    }
    default:
        break;
    }
}

void DrawFlag(Canvas& canvas, int32_t x, int32_t y0, int32_t d, uint32_t color)
{
    SetInk(canvas, color);
    Shape(canvas, x, y0,
          {{0, 0},
           {3, 4},
           {6, 6},
           {7, 8},
           {8, 10},
           {8, 14},
           {6, 16},
           {8, 13},
           {8, 13},
           {8, 13},
           {7, 9},
           {6, 7},
           {3, 5},
           {0, 3}},
          1, d);
}

int32_t SilenceWidth(int32_t flagLength, int32_t dots)
{
    int32_t w = 29;
    switch (flagLength) {
    case 1:
    case 2:
        w = 22;
        break;
    case 4:
        w = 18;
        break;
    case 8:
        w = 20;
        break;
    case 16:
        w = 23;
        break;
    case 32:
        w = 26;
        break;
    default:
        break;
    }
    return w + 4 * dots;
}

int32_t DrawSilenceGlyph(Canvas& canvas, int32_t flagLength, int32_t dots, int32_t x, int32_t y,
                         bool selected, const TStaveColors& colors, TXTouchMuzSymbol* touch)
{
    const uint32_t ink = InkOf(selected, colors);
    int32_t next = x;
    PixelRect sel;
    if (flagLength <= 2) {
        const int32_t top = flagLength == 1 ? -9 : -5;
        sel =
            flagLength == 1 ? Box(x - 3, y - 12, x + 17, y - 1) : Box(x - 3, y - 8, x + 17, y + 2);
        Selection(canvas, selected, colors, sel);
        SetInk(canvas, ink);
        canvas.FillRect(Box(x, y + top, x + 14, y + top + 5));
        next = x + 16;
    } else if (flagLength == 4) {
        sel = Box(x - 3, y - 18, x + 14, y + 18);
        Selection(canvas, selected, colors, sel);
        SetInk(canvas, ink);
        // A zigzag down to a hook that curls back.
        Shape(canvas, x, y,
              {{3, -17},
               {10, -8},
               {6, -3},
               {11, 5},
               {7, 5},
               {3, 8},
               {6, 14},
               {4, 15},
               {0, 9},
               {2, 4},
               {6, 3},
               {1, -3},
               {5, -9},
               {2, -14}});
        next = x + 14;
    } else {
        int32_t n = 1;
        for (int32_t v = 8; v < flagLength && n < 4; v *= 2)
            ++n;
        const int32_t yb = flagLength <= 16 ? y - 8 : y - 18;
        sel = Box(x - 3, yb - 3, x + 3 * n + 11, yb + 10 * n + 11);
        Selection(canvas, selected, colors, sel);
        SetInk(canvas, ink);
        for (int32_t i = 0; i < n; ++i) {
            const int32_t sx = x + 3 * n + 5 - 3 * i;
            const int32_t sy = yb + 11 + 10 * i;
            Shape(canvas, sx, sy,
                  {{0, 0},
                   {2, -10},
                   {-1, -6},
                   {-4, -5},
                   {-6, -6},
                   {-8, -7},
                   {-9, -9},
                   {-8, -11},
                   {-6, -11},
                   {-5, -10},
                   {-5, -8},
                   {-4, -7},
                   {-2, -7},
                   {0, -9},
                   {1, -11}});
        }
        canvas.SetPenWidth(2);
        Line(canvas, x + 3 * n + 7, yb + 1, x + 4, yb + 10 * n + 9);
        canvas.SetPenWidth(1);
        next = x + 3 * n + 10;
    }
    for (int32_t i = 0; i < dots; ++i)
        canvas.Ellipse(Box(next + 2 + 4 * i, y + 2, next + 5 + 4 * i, y + 5));
    next += 4 * dots;
    if (touch) {
        touch->AddX(x);
        touch->AddX(next);
    }
    return next;
}

int32_t DrawKeyGlyph(Canvas& canvas, TKey& key, int32_t x, int32_t m, bool selected,
                     const TStaveColors& colors)
{
    struct Row
    {
        PixelRect sel;
        int32_t touch, next, markX, above, below;
    };
    const Row rows[3] = {{{-2, -22, 28, 13}, 27, 29, 8, -33, 14},
                         {{-3, -23, 28, 23}, 28, 30, 9, -34, 24},
                         {{-2, -34, 29, 33}, 28, 30, 9, -44, 34}};
    const Row& r = rows[key.GetKeyKind() == keyKindF ? 0 : key.GetKeyKind() == keyKindC ? 1 : 2];
    Selection(canvas, selected, colors,
              Box(x + r.sel.left, m + r.sel.top, x + r.sel.right, m + r.sel.bottom));
    SetInk(canvas, InkOf(selected, colors));
    DrawClefShape(canvas, key.GetKeyKind(), x, m);
    // The octave mark stands above or below the selection box, on the stave's band: in the
    // inverted ink it would vanish there, so it keeps the stave's ink, as the signature does.
    SetInk(canvas, colors.Fore);
    OctaveMark(canvas, key.GetOctavesUp(), x + r.markX, m + r.above, m + r.below);
    key.ResetX();
    key.AddX(x);
    key.AddX(x + r.touch);
    int32_t sx = x + r.touch + 3;
    bool any = false;
    for (NoteShiftKind kind : {noteShiftKruis, noteShiftMol})
        for (int32_t n = 0; n < 7; ++n) {
            const int32_t step = key.GetKeyShiftHeight(kind, n);
            if (key.GetKeyNoteShift(step) != kind)
                continue;
            const int32_t h = key.GetKeyShiftDrawHeight(step, kind);
            sx = DrawNoteShift(canvas, kind, sx, m - 5 * h, false, colors);
            any = true;
        }
    if (!any)
        return x + r.next;
    key.AddX(sx);
    return sx + 2;
}

int32_t DrawBarGlyph(Canvas& canvas, TMuzBar& bar, int32_t x, int32_t m, bool selected,
                     const TStaveColors& colors)
{
    const bool narrow = bar.GetCount() < 10 && bar.GetLength() < 10;
    Selection(canvas, selected, colors, Box(x - 2, m - 23, x + (narrow ? 14 : 28), m + 24));
    canvas.SetFont(ScoreFont(24, InkOf(selected, colors)));
    canvas.SetBrushStyle(BrushStyle::Clear);
    canvas.TextOut(x, m - 23, std::to_string(bar.GetCount()));
    canvas.TextOut(x, m - 2, std::to_string(bar.GetLength()));
    const int32_t next = x + (narrow ? 21 : 39);
    bar.ResetX();
    bar.AddX(x - 2);
    bar.AddX(next + 2);
    return next;
}

int32_t LoopMarkWidth(int32_t count)
{
    return count == 2 ? 13 : count < 10 ? 26 : 40;
}

int32_t DrawLoopGlyph(Canvas& canvas, TLoopPartSymbol& mark, int32_t count, int32_t x, int32_t m,
                      bool selected, const TStaveColors& colors)
{
    const int32_t w = LoopMarkWidth(count);
    const bool open = mark.GetIsLeft();
    Selection(canvas, selected, colors, Box(x - 3, m - 23, x + w + 4, m + 24));
    const uint32_t ink = InkOf(selected, colors);
    SetInk(canvas, ink, 3);
    const int32_t thick = open ? x + 1 : x + w - 1;
    Line(canvas, thick, m - 19, thick, m + 19);
    canvas.SetPenWidth(1);
    const int32_t thin = open ? x + 5 : x + w - 5;
    Line(canvas, thin, m - 20, thin, m + 20);
    const int32_t dx = open ? x + 8 : x + w - 12;
    canvas.Ellipse(Box(dx, m - 7, dx + 5, m - 2));
    canvas.Ellipse(Box(dx, m + 3, dx + 5, m + 8));
    if (count != 2) {
        canvas.SetFont(ScoreFont(24, ink));
        canvas.SetBrushStyle(BrushStyle::Clear);
        canvas.TextOut(open ? x + 16 : x + 1, m - 13, std::to_string(count));
    }
    mark.ResetX();
    mark.AddX(x - 2);
    mark.AddX(x + w + 5);
    return x + w + 5;
}

void DrawTupletBracket(Canvas& canvas, int32_t firstStemX, int32_t lastStemX, const TBeamLine& line,
                       int32_t m, bool stemsDown, int32_t number, const TStaveColors& colors)
{
    const int32_t x1 = firstStemX - 3, x2 = lastStemX + 3, xm = (x1 + x2) / 2;
    const int32_t d = stemsDown ? 1 : -1;
    auto y = [&](int32_t x) { return static_cast<int32_t>(line.YAt(x)) + m; };
    canvas.SetPenColor(colors.Fore);
    canvas.SetPenWidth(1);
    canvas.MoveTo(x1, y(x1) + 6 * d);
    canvas.LineTo(x1, y(x1) + 11 * d);
    canvas.LineTo(xm - 7, y(xm - 7) + 11 * d);
    canvas.MoveTo(xm + 7, y(xm + 7) + 11 * d);
    canvas.LineTo(x2, y(x2) + 11 * d);
    canvas.LineTo(x2, y(x2) + 6 * d);
    canvas.SetFont(ScoreFont(16, colors.Fore));
    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.SetBrushColor(colors.Back);
    canvas.TextOut(xm - 3, y(xm) + 11 * d - 8, std::to_string(number));
}

} // namespace kelvorn
