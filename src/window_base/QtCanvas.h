#pragma once
// The canvas on a QImage backing image: drawing works outside paint events, a widget shows
// the image by copying it in its paintEvent, and tests read the pixels back. Needs a
// QGuiApplication (fonts).

#include "platform/Canvas.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <memory>

namespace kelvorn {

class QtCanvas final : public Canvas
{
public:
    /// A width × height image filled with background (0x00BBGGRR).
    QtCanvas(int width, int height, uint32_t background = 0xFFFFFF);
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    /// A new image of the new size filled with background; pen, brush, font and position stay.
    void Resize(int width, int height, uint32_t background = 0xFFFFFF);
    int Width() const { return image.width(); }
    int Height() const { return image.height(); }

    /// The backing image, up to date after every call.
    const QImage& Image() const { return image; }

    void SetPenColor(uint32_t color) override;
    void SetPenWidth(int width) override;
    void SetBrushColor(uint32_t color) override;
    void SetBrushStyle(BrushStyle style) override;
    void SetFont(const CanvasFont& font) override;

    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;

    void FillRect(const PixelRect& rect) override;
    void FrameRect(const PixelRect& rect) override;
    void Rectangle(const PixelRect& rect) override;
    void Ellipse(const PixelRect& rect) override;
    void Polygon(std::span<const PixelPoint> points) override;
    void Chord(const PixelRect& bounds, PixelPoint start, PixelPoint end) override;

    uint32_t Pixel(int x, int y) const override;
    void SetPixel(int x, int y, uint32_t color) override;

    void TextOut(int x, int y, const std::string& text) override;
    void TextRect(const PixelRect& clip, int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) const override;
    int TextHeight(const std::string& text) const override;

    void DrawBitmap(int x, int y, const CanvasBitmap& bitmap) override;

private:
    void Begin();
    void UsePenAndBrush();
    void FillArea(const QRect& area, uint32_t color);

    QImage image;
    std::unique_ptr<QPainter> painter;
    uint32_t penColor = 0x000000;
    int penWidth = 1;
    uint32_t brushColor = 0xFFFFFF;
    BrushStyle brushStyle = BrushStyle::Solid;
    QFont font;
    uint32_t fontColor = 0x000000;
    PixelPoint position;
};

} // namespace kelvorn
