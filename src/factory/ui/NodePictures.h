#pragma once
// The pictures that nodes show under their title: one list shared by the drawing and the
// dialogs that offer builtin functions, indexed by the icon numbers of the builtin catalogue,
// 141 for a user node and 142 for a repeat node. The program draws them itself on first use.

#include "platform/Canvas.h"

#include <cstdint>
#include <vector>

namespace kelvorn {

/// The side of every node picture in pixels.
inline constexpr int NodePictureSize = 16;

/// The picture at index; an empty bitmap for an index without one. Needs a QGuiApplication the
/// first time (the pictures are drawn then).
const CanvasBitmap& GetNodePicture(int32_t index);

/// The indices that have a picture, ascending.
const std::vector<int32_t>& NodePictureIndices();

} // namespace kelvorn
