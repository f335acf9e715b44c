#include "factory/ui/FactoryDrawing.h"

#include "factory/ui/NodePictures.h"
#include "general/numeric/NumericHelpers.h"
#include "platform/Shapes.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kelvorn {

namespace {

constexpr uint32_t White = 0xFFFFFF;
constexpr uint32_t Black = 0x000000;
// Connections of waves are drawn thicker than those of values.
constexpr int32_t WavePenWidth = 2;
// Arrow heads stop short of a factory output and of a node input by their symbol's size.
constexpr int32_t OutputGap = 10;
constexpr int32_t NodeInputGap = 6;
// Pin directions: inputs point left, outputs right.
constexpr int InputDirection = 1;
constexpr int OutputDirection = 2;

PixelRect ToPixelRect(const TSountoryRectangle& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

uint32_t Blend75(uint32_t color)
{
    return static_cast<uint32_t>(BlendColor(Black, static_cast<int32_t>(color), 0.75));
}

CanvasFont Arial(int points, uint32_t color, bool italic = false)
{
    CanvasFont font;
    font.pixelSize = FontPixelsFromPoints(points);
    font.color = color;
    font.italic = italic;
    return font;
}

// How the pins of one owner are drawn: factory pins on the area, node pins on a node.
struct PinLook
{
    bool factoryPin;
    bool showName;
    bool showType;
    uint32_t background;
    PixelRect side;
};

PinLook FactoryPinLook(const TUnitSountory& factory)
{
    return {true, factory.ShowNameIO, factory.ShowTypeIO, Blend75(White),
            ToPixelRect(factory.FactoryRect)};
}

PinLook NodePinLook(const TSountoryNode& node)
{
    const TUnitSountory& factory = *node.GetFactory();
    return {false, factory.ShowNameNIO, factory.ShowTypeNIO,
            Blend75(GetStateColor(node.GetRunState())), ToPixelRect(node.GetDrawRect())};
}

enum class Shape { Square, Circle, HalfDisc, Triangle };

Shape ShapeOf(ValueDomType type)
{
    switch (type) {
    case ValueDomType::Integer:
    case ValueDomType::Boolean:
    case ValueDomType::WaveMonoStereo:
    case ValueDomType::WaveBytesPerSample:
    case ValueDomType::WaveSampleFrequency:
        return Shape::Square;
    case ValueDomType::Wave:
        return Shape::Circle;
    default:
        return static_cast<int>(type) >= 15 ? Shape::HalfDisc : Shape::Triangle;
    }
}

// The symbol's size by shape, factory or node pin, normal or highlighted.
int SymbolSize(Shape shape, bool factoryPin, bool highlighted)
{
    static constexpr int sizes[4][2][2] = {
        {{4, 6}, {6, 8}},  // square: half side
        {{6, 8}, {9, 11}}, // circle: radius
        {{6, 8}, {9, 11}}, // half disc: radius
        {{5, 8}, {7, 10}}, // triangle
    };
    return sizes[static_cast<int>(shape)][factoryPin ? 1 : 0][highlighted ? 1 : 0];
}

void DrawSymbol(Canvas& canvas, const TSntPinPlace& pin, int x, bool marked, int direction,
                bool factoryPin)
{
    const uint8_t state = pin.HighlightState;
    const uint32_t color =
        state != 0 ? TSountoryTouchable::GetHighlightColor(state) : pin.GetColor();
    const bool highlighted = state >= 1 && state <= 4;
    const Shape shape = ShapeOf(pin.GetValueDomType());
    const int size = SymbolSize(shape, factoryPin, highlighted);
    const int y = pin.GetY();
    switch (shape) {
    case Shape::Square:
        DrawFramedRect(canvas, {x - size, y - size, x + size, y + size}, color, marked);
        break;
    case Shape::Circle:
        DrawEllipse(canvas, {x - size, y - size, x + size, y + size}, color, marked);
        break;
    case Shape::HalfDisc:
        DrawChord(canvas, x, y, size, color, marked, direction);
        break;
    case Shape::Triangle:
        DrawTriangle(canvas, x, y, size, color, marked, direction);
        break;
    }
}

// Up to two lines beside the pin, the name above the type, centred on its row; inputs write
// them inside from the left side, outputs end them inside the right side.
struct LabelLine
{
    std::string text;
    int x;
    int y;
};

std::vector<LabelLine> LayOutLabel(Canvas& canvas, const TSntPinPlace& pin, bool input,
                                   const std::string& name, const PinLook& look)
{
    std::vector<LabelLine> lines;
    const int n = int(look.showName) + int(look.showType);
    if (n == 0)
        return lines;
    canvas.SetFont(Arial(look.factoryPin ? 10 : 8, pin.GetColor()));
    const int inset = look.factoryPin ? 12 : 9;
    const int y = pin.GetY();
    const int h = canvas.TextHeight(name);
    auto place = [&](const std::string& text, int top) {
        const int x =
            input ? look.side.left + inset : look.side.right - inset - canvas.TextWidth(text);
        lines.push_back({text, x, top});
    };
    if (look.showName)
        place(name, y - (n * h) / 2);
    if (look.showType)
        place(pin.GetTypeText(), y + ((n - 2) * h) / 2);
    return lines;
}

void DrawLabel(Canvas& canvas, const TSntPinPlace& pin, bool input, const std::string& name,
               const PinLook& look)
{
    const std::vector<LabelLine> lines = LayOutLabel(canvas, pin, input, name, look);
    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.SetBrushColor(look.background);
    for (const LabelLine& line : lines)
        canvas.TextOut(line.x, line.y, line.text);
}

// The node's name, and its function or factory in italics when that differs; the bottom of
// the title, where the picture starts.
int DrawTitle(Canvas& canvas, const TSountoryNode& node, const PixelRect& r)
{
    canvas.SetBrushStyle(BrushStyle::Clear);
    auto centred = [&](const std::string& text) {
        return std::max(r.left + 2, (r.left + r.right - canvas.TextWidth(text)) / 2);
    };
    canvas.SetFont(Arial(10, Black));
    canvas.TextRect({r.left + 2, r.top + 2, r.right - 2, std::min(r.bottom - 2, r.top + 20)},
                    centred(node.Name), r.top + 2, node.Name);
    const std::string display = node.GetDisplayName();
    if (display == node.Name)
        return r.top + 19;
    canvas.SetFont(Arial(10, Black, true));
    canvas.TextRect({r.left + 2, std::min(r.bottom - 2, r.top + 19), r.right - 2,
                     std::min(r.bottom - 2, r.top + 38)},
                    centred(display), r.top + 19, display);
    return r.top + 36;
}

// The picture centred under the title in a white and a black frame; it is not clipped to the
// node, so a low node shows it below its bottom edge.
PixelRect PictureFrame(const PixelRect& r, int titleBottom, const CanvasBitmap& picture)
{
    const int x = (r.left + r.right - picture.width) / 2;
    return {x - 2, titleBottom, x + picture.width + 2, titleBottom + picture.height + 4};
}

void DrawPicture(Canvas& canvas, const PixelRect& r, int titleBottom, const CanvasBitmap& picture)
{
    if (picture.Empty())
        return;
    const PixelRect outer = PictureFrame(r, titleBottom, picture);
    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.SetBrushColor(White);
    canvas.FrameRect({outer.left + 1, outer.top + 1, outer.right - 1, outer.bottom - 1});
    canvas.SetBrushColor(Black);
    canvas.FrameRect(outer);
    canvas.DrawBitmap(outer.left + 2, titleBottom + 2, picture);
}

} // namespace

uint32_t GetStateColor(uint8_t runState)
{
    switch (runState) {
    case sntRunIdle:
        return 0xF0E0C0;
    case sntRunBusy:
        return 0x90F0FF;
    case sntRunDone:
        return 0xC0FFC0;
    case sntRunFailed:
        return 0x9090FF;
    default:
        return 0xB0B0B0;
    }
}

void DrawArrow(Canvas& canvas, PixelPoint from, PixelPoint to, int32_t backOff, int32_t penWidth,
               uint32_t color)
{
    // One 25th of a turn of the program's pi on either side of the line.
    constexpr double wing = 0.251322344;
    constexpr double wingLength = 14;
    const double a =
        from.x == to.x && from.y == to.y ? 0.0 : PointAngle({from.x, from.y}, {to.x, to.y});
    auto round = [](double v) { return static_cast<int>(std::lround(v)); };
    const PixelPoint tip{round(to.x - backOff * std::cos(a)), round(to.y - backOff * std::sin(a))};
    const std::array<PixelPoint, 3> head{
        tip,
        PixelPoint{round(tip.x - wingLength * std::cos(a - wing)),
                   round(tip.y - wingLength * std::sin(a - wing))},
        PixelPoint{round(tip.x - wingLength * std::cos(a + wing)),
                   round(tip.y - wingLength * std::sin(a + wing))}};
    canvas.SetPenColor(color);
    canvas.SetPenWidth(penWidth);
    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.SetBrushColor(color);
    canvas.MoveTo(from.x, from.y);
    canvas.LineTo(to.x, to.y);
    canvas.Polygon(head);
}

void DrawConnection(Canvas& canvas, const TSountoryOutputTarget& target, int32_t gap)
{
    const TSountoryInputSource* source = target.GetSource();
    if (!source)
        return;
    DrawArrow(canvas, source->GetSourcePoint(), target.GetTargetPoint(), gap,
              source->IsWaveSource() ? WavePenWidth : 1,
              GetTypeDomainColor(source->GetSourceDomType(), source->GetSourceDomain()));
}

void DrawPendingConnection(Canvas& canvas, const TPendingConnection& pending)
{
    const auto* place = dynamic_cast<const TSntPinPlace*>(pending.pin);
    if (!place)
        return;
    const int32_t width = place->IsWave() ? WavePenWidth : 1;
    const uint32_t color = place->GetColor();
    if (const auto* source = dynamic_cast<const TSountoryInputSource*>(pending.pin))
        DrawArrow(canvas, source->GetSourcePoint(), pending.point, 0, width, color);
    else if (const auto* target = dynamic_cast<const TSountoryOutputTarget*>(pending.pin))
        DrawArrow(canvas, pending.point, target->GetTargetPoint(),
                  target->GetSntSountoryTargetKind() == sntSountoryObjectNodeInput ? NodeInputGap
                                                                                   : OutputGap,
                  width, color);
}

void DrawNode(Canvas& canvas, const TSountoryNode& node)
{
    const PixelRect r = ToPixelRect(node.GetDrawRect());
    Draw3DRect(canvas, r, GetStateColor(node.GetRunState()));
    const int titleBottom = DrawTitle(canvas, node, r);
    DrawPicture(canvas, r, titleBottom, GetNodePicture(node.GetPictureIndex()));
    const PinLook look = NodePinLook(node);
    for (const auto& pin : node.Inputs()) {
        DrawLabel(canvas, *pin, true, pin->Name, look);
        DrawConnection(canvas, *pin, NodeInputGap);
        DrawSymbol(canvas, *pin, r.left, pin->GetHasConstant(), InputDirection, false);
    }
    for (const auto& pin : node.Outputs()) {
        DrawLabel(canvas, *pin, false, pin->Name, look);
        DrawSymbol(canvas, *pin, r.right, false, OutputDirection, false);
    }
}

PixelRect NodeDrawBounds(Canvas& canvas, const TSountoryNode& node)
{
    // The largest node symbol, highlighted and marked, reaches 12 pixels past its side.
    constexpr int symbolReach = 14;
    const PixelRect r = ToPixelRect(node.GetDrawRect());
    PixelRect bounds = r.Grown(symbolReach);
    auto include = [&](const PixelRect& part) {
        bounds = {std::min(bounds.left, part.left), std::min(bounds.top, part.top),
                  std::max(bounds.right, part.right), std::max(bounds.bottom, part.bottom)};
    };
    const CanvasBitmap& picture = GetNodePicture(node.GetPictureIndex());
    if (!picture.Empty()) {
        const int titleBottom = node.GetDisplayName() == node.Name ? r.top + 19 : r.top + 36;
        include(PictureFrame(r, titleBottom, picture));
    }
    // Labels are not clipped: a long one reaches past the node.
    const PinLook look = NodePinLook(node);
    auto includeLabel = [&](const TSntPinPlace& pin, bool input, const std::string& name) {
        for (const LabelLine& line : LayOutLabel(canvas, pin, input, name, look))
            include({line.x, line.y, line.x + canvas.TextWidth(line.text),
                     line.y + canvas.TextHeight(line.text)});
    };
    for (const auto& pin : node.Inputs())
        includeLabel(*pin, true, pin->Name);
    for (const auto& pin : node.Outputs())
        includeLabel(*pin, false, pin->Name);
    return bounds;
}

void DrawFactory(Canvas& canvas, const TUnitSountory& factory, const TPendingConnection& pending)
{
    const PixelRect area = ToPixelRect(factory.FactoryRect);
    Draw3DRect(canvas, area, White);
    const PinLook look = FactoryPinLook(factory);
    for (const auto& pin : factory.Inputs()) {
        DrawLabel(canvas, *pin, true, pin->Name, look);
        DrawSymbol(canvas, *pin, area.left, false, InputDirection, true);
    }
    for (const auto& pin : factory.Outputs()) {
        DrawLabel(canvas, *pin, false, pin->Name, look);
        DrawConnection(canvas, *pin, OutputGap);
        DrawSymbol(canvas, *pin, area.right, pin->GetHasConstant(), OutputDirection, true);
    }
    const auto& nodes = factory.Nodes();
    for (auto it = nodes.rbegin(); it != nodes.rend(); ++it)
        DrawNode(canvas, **it);
    DrawPendingConnection(canvas, pending);
}

} // namespace kelvorn
