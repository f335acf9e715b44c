#pragma once
// The backing image of a factory editor window: the whole factory is painted into it, the
// window copies it to the screen in its paint event, and a node whose run state changes during
// a run is drawn into it at once and shown at once, while the run keeps the event loop waiting.

#include "factory/ui/FactoryDrawing.h"
#include "window_base/QtCanvas.h"

#include <functional>

namespace kelvorn {

class TFactoryImage
{
public:
    /// The colour of the window around the factory area (0x00BBGGRR).
    TFactoryImage(int width, int height, uint32_t background);

    /// A new image of the client size; paint it again afterwards.
    void Resize(int width, int height);
    QtCanvas& Canvas() { return canvas; }
    const QImage& Image() const { return canvas.Image(); }

    /// The whole window afresh: the background, the factory and the pending connection.
    void Paint(const TUnitSountory& factory, const TPendingConnection& pending = {});
    /// One node over what is there; then `repaint` shows the rectangle it covers at once.
    void Redraw(const TSountoryNode& node);

    /// Set by the window: shows that part of the image on the screen now, not later (a run
    /// does not return to the event loop before it ends).
    std::function<void(const PixelRect&)> repaint;

private:
    QtCanvas canvas;
    uint32_t background;
};

} // namespace kelvorn
