#include "music/core/ScoreLayout.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace kelvorn {

namespace {

// Lengths come from sums of binary fractions and from file text: a difference this small is
// rounding, not music.
constexpr double lengthSlack = 1e-9;

double WrittenValue(int32_t kind, int32_t points)
{
    double value = 1.0 / kind;
    double add = value / 2;
    for (int32_t i = 0; i < points; ++i, add /= 2)
        value += add;
    return value;
}

} // namespace

double TDrawLength::Value() const
{
    return LengthIsBroken ? Broken : WrittenValue(NoteLengthKind, Points);
}

void TDrawLength::SetBroken(double length)
{
    LengthIsBroken = 1;
    Broken = length;
}

void TDrawLength::SetWritten(int32_t points, uint8_t noteLengthKind)
{
    LengthIsBroken = 0;
    Points = points;
    NoteLengthKind = noteLengthKind;
}

int32_t TDrawLength::FlagLength(MultiOol multiOol) const
{
    int32_t flag = NoteLengthKind;
    if (multiOol == duool || multiOol == triool || multiOol == kwartool)
        flag *= 2;
    else if (multiOol == kwintool)
        flag *= 4;
    return std::min(flag, 64);
}

int32_t TDrawLength::DrawnDots(MultiOol multiOol) const
{
    if ((multiOol == duool || multiOol == kwartool) && Points > 0)
        return Points - 1;
    return Points;
}

TWrittenValue LargestWrittenValue(double length)
{
    TWrittenValue w;
    if (length < 1.0 / 64 - lengthSlack)
        return w; // a 64th, not split further
    int32_t k = 1;
    while (k < 64 && 1.0 / k > length + lengthSlack)
        k *= 2;
    double value = 1.0 / k;
    double dot = value / 2;
    int32_t dots = 0;
    while (value < length - lengthSlack && dots < 2) {
        value += dot;
        dot /= 2;
        ++dots;
    }
    if (value > length + lengthSlack) {
        dot *= 2;
        value -= dot;
        --dots;
    }
    w.NoteLengthKind = static_cast<uint8_t>(k);
    w.Points = dots;
    w.Value = value;
    w.Remainder = length - value;
    if (w.Remainder < lengthSlack)
        w.Remainder = 0.0;
    return w;
}

int32_t BeamLevels(int32_t flagLength)
{
    int32_t levels = 0;
    for (int32_t v = 8; v <= flagLength && v <= 64; v *= 2)
        ++levels;
    return levels;
}

int ClampPixel(int64_t v)
{
    // Far beyond any surface, yet room to add a glyph's offsets without overflow.
    constexpr int64_t limit = INT_MAX / 4;
    return static_cast<int>(std::clamp<int64_t>(v, -limit, limit));
}

int32_t StepFromY(int32_t y, int32_t middleY)
{
    const int64_t m = middleY;
    const int64_t d = m >= y ? (m + 2 - y) / 5 : (m - y - 2) / 5;
    return static_cast<int32_t>(d);
}

TStaveRows StackStaves(int64_t top, std::span<const TStaveRooms> rooms)
{
    TStaveRows rows;
    int64_t y = top + 40;
    for (const TStaveRooms& r : rooms) {
        y += r.RoomUp;
        rows.Middles.push_back(y);
        y += r.RoomDown;
    }
    rows.End = rooms.empty() ? top + 40 : y + 40;
    return rows;
}

double TBeamLine::YAt(double x) const
{
    return Y1 + (x - X1) * static_cast<double>(Y2 - Y1) / (X2 - X1);
}

TBeamLine FindBeamLine(std::span<const TBeamTip> tips, bool down)
{
    TBeamLine line;
    if (tips.empty())
        return line;
    const int64_t d = down ? 1 : -1;
    int32_t outer = tips[0].Y;
    for (const TBeamTip& t : tips)
        if (t.Y * d > outer * d)
            outer = t.Y;
    int32_t xa = 0, xb = 0;
    bool seen = false;
    for (const TBeamTip& t : tips)
        if (t.Y == outer) {
            if (!seen)
                xa = t.X;
            xb = t.X;
            seen = true;
        }
    const int64_t m = (static_cast<int64_t>(tips.front().X) + tips.back().X) / 2;
    line = {xa, outer, xa + 1, outer};
    if (m >= xa - 2 && m <= xb + 2)
        return line;

    const bool leftward = m < xa - 2;
    TBeamTip pivot = leftward ? TBeamTip{xa, outer} : TBeamTip{xb, outer};
    for (;;) {
        const TBeamTip* best = nullptr;
        double bestSlope = 0.0;
        for (const TBeamTip& t : tips) {
            if (leftward ? t.X >= pivot.X : t.X <= pivot.X)
                continue;
            const double dx = leftward ? double(pivot.X) - t.X : double(t.X) - pivot.X;
            const double slope = d * (double(pivot.Y) - t.Y) / dx;
            // Equal slopes: the tip further right wins.
            if (!best || slope < bestSlope || (slope == bestSlope && t.X > best->X)) {
                best = &t;
                bestSlope = slope;
            }
        }
        if (!best)
            break;
        const TBeamTip previous = pivot;
        pivot = *best;
        const bool go = leftward ? m < pivot.X - 2 : m > pivot.X + 2;
        if (!go || std::abs(bestSlope) < 0.0001) {
            line = {previous.X, previous.Y, pivot.X, pivot.Y};
            break;
        }
    }
    if (line.X1 == line.X2)
        line.X2 += 1;
    return line;
}

std::vector<PixelPoint> TieOutline(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t height)
{
    std::vector<PixelPoint> points;
    const double startX = x1 >= x2 ? x1 - 1.0 : x1 + 1.0;
    const double endX = x1 >= x2 ? x2 + 1.0 : x2 - 1.0;
    const double rise = double(y2) - y1;
    const double outerH = height;
    const double innerH = height < 0 ? height + 4.0 : height - 4.0;
    struct Curve
    {
        double a, b;
    };
    auto make = [&](double h, Curve& c) {
        const double under = h * (h - rise);
        if (h == 0 || under < 0)
            return false;
        c.b = (h < 0 ? 2 : -2) * std::sqrt(under) - 2 * h;
        c.a = c.b * c.b / (4 * h);
        return true;
    };
    Curve outer{}, inner{};
    if (!make(outerH, outer) || !make(innerH, inner))
        return points;
    auto at = [&](const Curve& c, int k) {
        const double t = k / 25.0;
        const double x = startX + (endX - startX) * t;
        const double y = c.a * t * t + c.b * t + y1;
        return PixelPoint{ClampPixel(std::llround(x)), ClampPixel(std::llround(y))};
    };
    points.reserve(50);
    for (int k = 0; k < 25; ++k)
        points.push_back(at(outer, k));
    for (int k = 25; k > 0; --k)
        points.push_back(at(inner, k));
    return points;
}

} // namespace kelvorn
