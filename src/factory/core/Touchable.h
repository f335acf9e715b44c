#pragma once
// What every element of a factory graph shares with the editor: its object kind, whether a point
// hits it, the hint it shows, and the highlight the editor gives the element under the mouse.

#include "general/view/PixelRect.h"

#include <cstdint>
#include <string>

namespace kelvorn {

/// A rectangle in window or factory coordinates; right and bottom are its far sides.
struct TSountoryRectangle
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

/// The kinds of element; the same codes tell sources and targets apart.
enum sntSountoryObject : uint8_t {
    sntSountoryObjectSountory = 1,
    sntSountoryObjectInput = 2,
    sntSountoryObjectOutput = 3,
    sntSountoryObjectNode = 4,
    sntSountoryObjectNodeInput = 5,
    sntSountoryObjectNodeOutput = 6,
};

class TSountoryTouchable
{
public:
    virtual ~TSountoryTouchable() = default;

    /// Whether the point hits the element; distance tells near hits apart.
    virtual bool IsTouched(PixelPoint point, double& distance) const = 0;
    virtual uint8_t GetSntSountoryObject() const = 0;
    /// The text of the element's hint; the hint window shows it below the mouse.
    virtual std::string GetHintText() const { return {}; }

    /// 0 none, 1 pointed at, 2 to 4 the connect results always, sometimes and never, 5 other.
    uint8_t HighlightState = 0;

    /// The colour (0x00BBGGRR) of a highlight state 1 to 5; 0 after a failed assertion.
    static uint32_t GetHighlightColor(uint8_t state);
};

} // namespace kelvorn
