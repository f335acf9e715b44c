#pragma once
// Where the document windows go in the frame: the Window menu's arrangements (cascade, tile,
// minimise all, line up the minimised ones), the window its list brings up, and the place of a
// new window. Where the windows go is plain arithmetic on sizes (CascadePlaces, IconPlaces,
// NewWindowPlace), apart from the frame that applies it.
//
// The frame shows scroll bars while a window lies partly outside it. Cascade and tile fill the
// frame as it is once every window lies inside, so without scroll bars, which then go.

#include <QRect>
#include <QSize>

#include <vector>

class QMdiArea;
class QMdiSubWindow;

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

/// Where a new window of size goes in area: the first of the cascade places (n × step,
/// n × step), n = 0, 1, 2, ..., that no window has taken (taken: the top left corners of the
/// windows on show) and where it lies whole in area; the top left when there is none.
QPoint NewWindowPlace(QSize area, QSize size, const std::vector<QPoint>& taken, int step);

/// The frame's windows that are neither minimised nor hidden, cascaded by the height of a title
/// bar, the active one last and in front; each as large as CascadePlaces allows with least as
/// the smallest usable size (and never below its own minimum size).
void CascadeWindows(QMdiArea& frame, QSize least);
/// Those windows one above the other, each the frame's full width (horizontally), or side by
/// side, each its full height.
void TileWindows(QMdiArea& frame, bool horizontally);
/// Every document window on show minimised, a maximised one too.
void MinimizeWindows(QMdiArea& frame);
/// The minimised windows lined up along the frame's bottom edge (IconPlaces), in the order
/// they were made; the others stay where they are.
void ArrangeMinimizedWindows(QMdiArea& frame);
/// Brings window up as the Window menu's list does: a minimised one first gets back the size
/// and place it had before (a window minimised while maximised, the ones it had before that),
/// then it becomes the active window.
void BringUpWindow(QMdiArea& frame, QMdiSubWindow& window);

} // namespace kelvorn
