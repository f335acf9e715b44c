#include "shell/WindowArrangement.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>

#include <algorithm>

namespace kelvorn {

namespace {

/// The windows cascade and tile move, in order.
std::vector<QMdiSubWindow*> ArrangedWindows(const QMdiArea& frame, QMdiArea::WindowOrder order)
{
    std::vector<QMdiSubWindow*> shown;
    for (QMdiSubWindow* w : frame.subWindowList(order))
        if (!w->isMinimized() && !w->isHidden())
            shown.push_back(w);
    return shown;
}

/// Scrolls the frame back to where it starts and answers the size the arrangements fill: its
/// visible part without scroll bars. A window placed at the top left while the frame is
/// scrolled would leave an empty strip above it to scroll to.
QSize ScrollHome(QMdiArea& frame)
{
    frame.horizontalScrollBar()->setValue(0);
    frame.verticalScrollBar()->setValue(0);
    return frame.contentsRect().size();
}

} // namespace

std::vector<QRect> CascadePlaces(QSize area, int count, int step, QSize least)
{
    std::vector<QRect> places;
    if (area.isEmpty() || count < 1)
        return places;
    step = std::max(step, 1);
    least = least.boundedTo(area);
    const int room = std::min(area.width() - least.width(), area.height() - least.height());
    const int cycle = std::min(count, 1 + room / step);
    const QSize size(area.width() - (cycle - 1) * step, area.height() - (cycle - 1) * step);
    for (int i = 0; i < count; ++i) {
        const int offset = (i % cycle) * step;
        places.emplace_back(QPoint(offset, offset), size);
    }
    return places;
}

std::vector<QRect> IconPlaces(QSize area, const std::vector<QSize>& icons)
{
    std::vector<QRect> places;
    int left = 0;
    int bottom = area.height();
    int rowHeight = 0;
    for (const QSize& icon : icons) {
        if (left > 0 && left + icon.width() > area.width()) {
            bottom -= rowHeight;
            left = 0;
            rowHeight = 0;
        }
        places.emplace_back(QPoint(left, bottom - icon.height()), icon);
        left += icon.width();
        rowHeight = std::max(rowHeight, icon.height());
    }
    return places;
}

QPoint NewWindowPlace(QSize area, QSize size, const std::vector<QPoint>& taken, int step)
{
    step = std::max(step, 1);
    for (int offset = 0;
         offset + size.width() <= area.width() && offset + size.height() <= area.height();
         offset += step) {
        const QPoint place(offset, offset);
        if (std::find(taken.begin(), taken.end(), place) == taken.end())
            return place;
    }
    return QPoint(0, 0);
}

void CascadeWindows(QMdiArea& frame, QSize least)
{
    // Bottom first, so that raising each in turn keeps the order; the active one ends on top.
    std::vector<QMdiSubWindow*> shown = ArrangedWindows(frame, QMdiArea::StackingOrder);
    QMdiSubWindow* active = frame.activeSubWindow();
    const auto activeAt = std::find(shown.begin(), shown.end(), active);
    const bool activeShown = activeAt != shown.end();
    if (activeShown)
        std::rotate(activeAt, activeAt + 1, shown.end());
    if (shown.empty())
        return;
    // A maximised window first takes its own frame again, title bar included.
    for (QMdiSubWindow* w : shown)
        w->showNormal();
    const int titleBar = shown.front()->contentsMargins().top();
    const std::vector<QRect> places =
        CascadePlaces(ScrollHome(frame), int(shown.size()), titleBar, least);
    for (size_t i = 0; i < places.size(); ++i) {
        shown[i]->setGeometry(places[i]);
        shown[i]->raise();
    }
    if (activeShown)
        frame.setActiveSubWindow(active);
}

void TileWindows(QMdiArea& frame, bool horizontally)
{
    const std::vector<QMdiSubWindow*> shown = ArrangedWindows(frame, QMdiArea::CreationOrder);
    if (shown.empty())
        return;
    const QSize area = ScrollHome(frame);
    const int count = int(shown.size());
    for (int i = 0; i < count; ++i) {
        shown[size_t(i)]->showNormal();
        if (horizontally)
            shown[size_t(i)]->setGeometry(0, i * area.height() / count, area.width(),
                                          area.height() / count);
        else
            shown[size_t(i)]->setGeometry(i * area.width() / count, 0, area.width() / count,
                                          area.height());
    }
}

void MinimizeWindows(QMdiArea& frame)
{
    // A window being minimised becomes the active one, and after a maximised one the frame
    // maximises the window it activates instead of leaving it an icon.
    const bool maximisesActive = !frame.testOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    frame.setOption(QMdiArea::DontMaximizeSubWindowOnActivation, true);
    for (QMdiSubWindow* w : frame.subWindowList())
        if (!w->isHidden())
            w->showMinimized();
    frame.setOption(QMdiArea::DontMaximizeSubWindowOnActivation, !maximisesActive);
}

void ArrangeMinimizedWindows(QMdiArea& frame)
{
    std::vector<QMdiSubWindow*> minimised;
    std::vector<QSize> icons;
    for (QMdiSubWindow* w : frame.subWindowList())
        if (w->isMinimized()) {
            minimised.push_back(w);
            icons.push_back(w->size());
        }
    const std::vector<QRect> places = IconPlaces(frame.viewport()->size(), icons);
    for (size_t i = 0; i < places.size(); ++i)
        minimised[i]->setGeometry(places[i]);
}

void BringUpWindow(QMdiArea& frame, QMdiSubWindow& window)
{
    // Activation alone leaves a minimised window an icon, with its menus on show.
    if (window.isMinimized())
        window.showNormal();
    frame.setActiveSubWindow(&window);
}

} // namespace kelvorn
