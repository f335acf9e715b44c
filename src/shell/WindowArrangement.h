#pragma once
// The Window menu's arrangements of the document windows in the frame: cascade, tile, minimise
// all and line up the minimised ones. Where the windows go is plain arithmetic on sizes
// (CascadePlaces, IconPlaces), apart from the frame that applies it.

#include <QRect>
#include <QSize>

#include <vector>

class QMdiArea;

namespace kelvorn {

/// The places of count cascaded windows in area (count and step at least 1): window i lies
/// i × step right of and below the top left, and all are of the largest size that leaves room
/// for the steps while staying at least least (bounded by area). When the steps of all of them
/// would leave less, the cascade starts again at the top left after as many as fit. Nothing for
/// an empty area.
std::vector<QRect> CascadePlaces(QSize area, int count, int step, QSize least);

/// The places of minimised windows of the sizes given, lined up from the left along the bottom
/// of area in the order given, each row that is full followed by one above it.
std::vector<QRect> IconPlaces(QSize area, const std::vector<QSize>& icons);

/// The frame's windows that are neither minimised nor hidden, cascaded by the height of a title
/// bar, the active one last and in front; each as large as CascadePlaces allows with least as
/// the smallest usable size (and never below its own minimum size).
void CascadeWindows(QMdiArea& frame, QSize least);
/// Those windows one above the other, each the frame's full width (horizontally), or side by
/// side, each its full height.
void TileWindows(QMdiArea& frame, bool horizontally);
/// Every document window on show minimised.
void MinimizeWindows(QMdiArea& frame);
/// The minimised windows lined up along the frame's bottom edge (IconPlaces), in the order
/// they were made; the others stay where they are.
void ArrangeMinimizedWindows(QMdiArea& frame);

} // namespace kelvorn
