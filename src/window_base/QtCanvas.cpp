#include "window_base/QtCanvas.h"

#include <QFontMetrics>
#include <QPolygon>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace kelvorn {

namespace {

QColor ToQColor(uint32_t color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

// The degrees, counter-clockwise from three o'clock as the screen shows them, of the ray from
// (cx, cy) through p.
double RayDegrees(double cx, double cy, PixelPoint p)
{
    return std::atan2(cy - p.y, p.x - cx) * 180.0 / 3.14159265358979323846;
}

// Cuts the segment to the rectangle [left, right] × [top, bottom] (Liang-Barsky); false when
// nothing of it lies inside. A segment wholly inside stays exactly as it was.
bool ClipLine(double& x0, double& y0, double& x1, double& y1, double left, double top, double right,
              double bottom)
{
    double dx = x1 - x0;
    double dy = y1 - y0;
    double t0 = 0;
    double t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - left, right - x0, y0 - top, bottom - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return false;
    double sx = x0;
    double sy = y0;
    if (t1 < 1) {
        x1 = sx + t1 * dx;
        y1 = sy + t1 * dy;
    }
    if (t0 > 0) {
        x0 = sx + t0 * dx;
        y0 = sy + t0 * dy;
    }
    return true;
}

} // namespace

QtCanvas::QtCanvas(int width, int height, uint32_t background)
{
    font.setFamilies({"Arial", "Liberation Sans"});
    font.setPixelSize(13);
    Resize(width, height, background);
}

QtCanvas::~QtCanvas()
{
    if (painter)
        painter->end();
}

void QtCanvas::Resize(int width, int height, uint32_t background)
{
    if (painter) {
        painter->end();
        painter.reset();
    }
    image = QImage(width > 0 ? width : 0, height > 0 ? height : 0, QImage::Format_RGB32);
    image.fill(ToQColor(background));
    Begin();
}

void QtCanvas::Begin()
{
    if (image.isNull())
        return;
    painter = std::make_unique<QPainter>(&image);
    // Aliased drawing: every pixel is either the pen's, the brush's or untouched.
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setFont(font);
}

void QtCanvas::SetPenColor(uint32_t color)
{
    penColor = color & 0xFFFFFF;
}

void QtCanvas::SetPenWidth(int width)
{
    penWidth = width < 1 ? 1 : width;
}

void QtCanvas::SetBrushColor(uint32_t color)
{
    brushColor = color & 0xFFFFFF;
}

void QtCanvas::SetBrushStyle(BrushStyle style)
{
    brushStyle = style;
}

void QtCanvas::SetFont(const CanvasFont& canvasFont)
{
    QStringList families;
    for (const std::string& family : canvasFont.families)
        families << QString::fromStdString(family);
    font = QFont();
    font.setFamilies(families);
    font.setPixelSize(canvasFont.pixelSize > 0 ? canvasFont.pixelSize : 1);
    font.setBold(canvasFont.bold);
    font.setItalic(canvasFont.italic);
    fontColor = canvasFont.color & 0xFFFFFF;
    if (painter)
        painter->setFont(font);
}

void QtCanvas::MoveTo(int x, int y)
{
    position = {x, y};
}

void QtCanvas::LineTo(int x, int y)
{
    PixelPoint from = position;
    position = {x, y};
    if (!painter)
        return;
    if (penWidth > 1) {
        QPen pen(ToQColor(penColor), penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter->setPen(pen);
        painter->drawLine(from.x, from.y, x, y);
        return;
    }
    // One pixel wide: stepped here rather than by QPainter, so that the end point is left out
    // exactly and a path of lines draws every corner once, in the colour of the line leaving it.
    // A line reaching far outside is first cut to the image and one pixel around it (where the
    // left-out end point of a cut line lies), so no far-away point costs time or memory.
    double x0 = from.x;
    double y0 = from.y;
    double x1 = x;
    double y1 = y;
    if (!ClipLine(x0, y0, x1, y1, -1, -1, image.width(), image.height()))
        return;
    int ax = static_cast<int>(std::lround(x0));
    int ay = static_cast<int>(std::lround(y0));
    int bx = static_cast<int>(std::lround(x1));
    int by = static_cast<int>(std::lround(y1));
    int dx = std::abs(bx - ax);
    int dy = -std::abs(by - ay);
    int sx = ax < bx ? 1 : -1;
    int sy = ay < by ? 1 : -1;
    int error = dx + dy;
    std::vector<QPoint> points;
    points.reserve(static_cast<size_t>(dx - dy));
    while (ax != bx || ay != by) {
        points.emplace_back(ax, ay);
        int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            ax += sx;
        }
        if (twice <= dx) {
            error += dx;
            ay += sy;
        }
    }
    if (points.empty())
        return;
    painter->setPen(QPen(ToQColor(penColor), 1));
    painter->drawPoints(points.data(), static_cast<int>(points.size()));
}

void QtCanvas::FillArea(const QRect& area, uint32_t color)
{
    if (painter && area.isValid())
        painter->fillRect(area, ToQColor(color));
}

void QtCanvas::FillRect(const PixelRect& rect)
{
    if (brushStyle == BrushStyle::Solid)
        FillArea(QRect(rect.left, rect.top, rect.Width(), rect.Height()), brushColor);
}

void QtCanvas::FrameRect(const PixelRect& rect)
{
    if (brushStyle != BrushStyle::Solid || rect.Width() <= 0 || rect.Height() <= 0)
        return;
    int w = rect.Width();
    int h = rect.Height();
    FillArea(QRect(rect.left, rect.top, w, 1), brushColor);
    FillArea(QRect(rect.left, rect.bottom - 1, w, 1), brushColor);
    FillArea(QRect(rect.left, rect.top, 1, h), brushColor);
    FillArea(QRect(rect.right - 1, rect.top, 1, h), brushColor);
}

void QtCanvas::UsePenAndBrush()
{
    QPen pen(ToQColor(penColor), penWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    painter->setPen(pen);
    if (brushStyle == BrushStyle::Solid)
        painter->setBrush(ToQColor(brushColor));
    else
        painter->setBrush(Qt::NoBrush);
}

void QtCanvas::Rectangle(const PixelRect& rect)
{
    if (!painter || rect.Width() <= 0 || rect.Height() <= 0)
        return;
    UsePenAndBrush();
    // A stroked QRect covers one pixel more than its size; the outline stays inside rect.
    painter->drawRect(QRect(rect.left, rect.top, rect.Width() - 1, rect.Height() - 1));
}

void QtCanvas::Ellipse(const PixelRect& rect)
{
    if (!painter || rect.Width() <= 0 || rect.Height() <= 0)
        return;
    UsePenAndBrush();
    painter->drawEllipse(QRect(rect.left, rect.top, rect.Width() - 1, rect.Height() - 1));
}

void QtCanvas::Polygon(std::span<const PixelPoint> points)
{
    if (!painter || points.empty())
        return;
    QPolygon polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const PixelPoint& p : points)
        polygon << QPoint(p.x, p.y);
    UsePenAndBrush();
    painter->drawPolygon(polygon);
}

void QtCanvas::Chord(const PixelRect& bounds, PixelPoint start, PixelPoint end)
{
    if (!painter || bounds.Width() <= 0 || bounds.Height() <= 0)
        return;
    double cx = (bounds.left + bounds.right) / 2.0;
    double cy = (bounds.top + bounds.bottom) / 2.0;
    double from = RayDegrees(cx, cy, start);
    double span = RayDegrees(cx, cy, end) - from;
    while (span <= 0)
        span += 360;
    while (span > 360)
        span -= 360;
    UsePenAndBrush();
    painter->drawChord(QRect(bounds.left, bounds.top, bounds.Width() - 1, bounds.Height() - 1),
                       static_cast<int>(std::lround(from * 16)),
                       static_cast<int>(std::lround(span * 16)));
}

uint32_t QtCanvas::Pixel(int x, int y) const
{
    if (!image.valid(x, y))
        return InvalidColor;
    QRgb rgb = image.pixel(x, y);
    return static_cast<uint32_t>(qRed(rgb)) | static_cast<uint32_t>(qGreen(rgb)) << 8 |
           static_cast<uint32_t>(qBlue(rgb)) << 16;
}

void QtCanvas::SetPixel(int x, int y, uint32_t color)
{
    if (image.valid(x, y))
        FillArea(QRect(x, y, 1, 1), color);
}

void QtCanvas::TextOut(int x, int y, const std::string& text)
{
    if (!painter)
        return;
    QString qtext = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    QFontMetrics metrics(font);
    if (brushStyle == BrushStyle::Solid)
        FillArea(QRect(x, y, metrics.horizontalAdvance(qtext), metrics.height()), brushColor);
    painter->setPen(ToQColor(fontColor));
    painter->drawText(x, y + metrics.ascent(), qtext);
}

void QtCanvas::TextRect(const PixelRect& clip, int x, int y, const std::string& text)
{
    if (!painter || clip.Width() <= 0 || clip.Height() <= 0)
        return;
    painter->save();
    painter->setClipRect(QRect(clip.left, clip.top, clip.Width(), clip.Height()));
    TextOut(x, y, text);
    painter->restore();
}

int QtCanvas::TextWidth(const std::string& text) const
{
    QString qtext = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    return QFontMetrics(font).horizontalAdvance(qtext);
}

int QtCanvas::TextHeight(const std::string& text) const
{
    return QFontMetrics(font).height();
}

void QtCanvas::DrawBitmap(int x, int y, const CanvasBitmap& bitmap)
{
    if (!painter || bitmap.Empty())
        return;
    QImage copy(bitmap.width, bitmap.height, QImage::Format_RGB32);
    const uint32_t* from = bitmap.pixels.data();
    for (int row = 0; row < bitmap.height; ++row) {
        auto* line = reinterpret_cast<QRgb*>(copy.scanLine(row));
        for (int column = 0; column < bitmap.width; ++column, ++from)
            line[column] = qRgb(*from & 0xFF, (*from >> 8) & 0xFF, (*from >> 16) & 0xFF);
    }
    painter->drawImage(x, y, copy);
}

} // namespace kelvorn
