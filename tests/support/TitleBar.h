#pragma once
// Where the document area draws the buttons of a document window's title bar, for clicks as the
// user's mouse makes them.

#include <QMdiSubWindow>
#include <QStyle>
#include <QStyleOptionTitleBar>

namespace kelvorn::test {

/// The middle of window's close box, in the window's own coordinates.
inline QPoint CloseBoxOf(const QMdiSubWindow& window)
{
    // The title bar as the sub-window lays it out: inside a border of 4 pixels, as high as the
    // style's title bar less that border.
    QStyleOptionTitleBar option;
    option.initFrom(&window);
    option.subControls = QStyle::SC_All;
    option.titleBarFlags = window.windowFlags();
    option.titleBarState = window.windowState();
    constexpr int border = 4;
    const int height =
        window.style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, &window) - border;
    option.rect = QRect(border, border, window.width() - 2 * border, height);
    return window.style()
        ->subControlRect(QStyle::CC_TitleBar, &option, QStyle::SC_TitleBarCloseButton, &window)
        .center();
}

} // namespace kelvorn::test
