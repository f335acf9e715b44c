#include "factory/ui/FactoryImage.h"

namespace kelvorn {

TFactoryImage::TFactoryImage(int width, int height, uint32_t background)
    : canvas(width, height, background), background(background)
{
}

void TFactoryImage::Resize(int width, int height)
{
    canvas.Resize(width, height, background);
}

void TFactoryImage::Paint(const TUnitSountory& factory, const TPendingConnection& pending)
{
    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.SetBrushColor(background);
    canvas.FillRect({0, 0, canvas.Width(), canvas.Height()});
    DrawFactory(canvas, factory, pending);
}

void TFactoryImage::Redraw(const TSountoryNode& node)
{
    DrawNode(canvas, node);
    if (repaint)
        repaint(NodeDrawBounds(canvas, node));
}

} // namespace kelvorn
