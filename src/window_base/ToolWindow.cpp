#include "window_base/ToolWindow.h"

#include "general/Services.h"
#include "platform/Screen.h"

#include <QEvent>
#include <QMargins>
#include <QWindow>

#include <algorithm>

namespace kelvorn {

namespace {

// Whether showing w gives it the keyboard. The toolkit reads the attribute when it makes the
// native window, and the native window's property on every show after that.
void ActivateOnShow(QWidget& w, bool activate)
{
    w.setAttribute(Qt::WA_ShowWithoutActivating, !activate);
    if (QWindow* handle = w.windowHandle())
        handle->setProperty("_q_showWithoutActivating", !activate);
}

// The frame the window manager drew around window as the window system has it now: the
// widget's own frame geometry follows only once the window moves again.
QMargins FrameMargins(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

QMargins Widest(const QMargins& a, const QMargins& b)
{
    return {std::max(a.left(), b.left()), std::max(a.top(), b.top()),
            std::max(a.right(), b.right()), std::max(a.bottom(), b.bottom())};
}

} // namespace

ToolWindowSlot::ToolWindowSlot(QWidget* owner, Factory create)
    : owner(owner), create(std::move(create))
{
    if (owner)
        owner->installEventFilter(this);
}

ToolWindowSlot::~ToolWindowSlot()
{
    if (window) {
        window->removeEventFilter(this);
        // With an owner, the owner deletes its children; without one the window is ours.
        if (!window->parent())
            delete window.data();
    }
}

QWidget* ToolWindowSlot::Window()
{
    if (!window) {
        QWidget* made = create(owner.data());
        if (!made)
            return nullptr;
        ++creations;
        made->setAttribute(Qt::WA_DeleteOnClose, false);
        // A tool window belongs to its owner and floats above it only: above the other
        // programs' windows it would be in the way, and above the program's own dialogs it
        // would hide their buttons. Whatever the maker gave, the slot's rule holds.
        const Qt::WindowFlags flags =
            (made->windowFlags() & ~(Qt::WindowType_Mask | Qt::WindowStaysOnTopHint)) | Qt::Tool;
        if (owner && made->parentWidget() != owner)
            made->setParent(owner, flags);
        else
            made->setWindowFlags(flags);
        made->installEventFilter(this);
        window = made;
    }
    return window.data();
}

void ToolWindowSlot::Show()
{
    QWidget* w = Window();
    if (!w)
        return;
    // A window manager reads whose window a window is when it takes the window on, and an owner
    // it does not manage yet counts for nothing (openbox): a window shown before its owner would
    // fall behind the owner at the first click into it. So it waits for the owner. Hiding and
    // showing it again later instead races the window manager's own handling of the first map,
    // which can leave the window unmanaged and never on the screen.
    if (owner && !owner->isVisible()) {
        waitsForOwner = true;
        return;
    }
    waitsForOwner = false;
    ShowNow(*w, true);
}

void ToolWindowSlot::ShowNow(QWidget& w, bool activate)
{
    // A place the program sets on the native window is one the window manager keeps; without
    // it, it places the window as if it were new. The native window followed the user's moves,
    // so the widget's geometry alone would set nothing there.
    if (!w.isVisible() && !lastPlace.isNull()) {
        w.setGeometry(lastPlace);
        if (QWindow* handle = w.windowHandle())
            handle->setGeometry(lastPlace);
    }
    ActivateOnShow(w, activate);
    w.show();
    w.raise();
    if (activate)
        w.activateWindow();
    else
        ActivateOnShow(w, true);
}

void ToolWindowSlot::Close()
{
    if (waitsForOwner) {
        waitsForOwner = false;
        if (closedNotice)
            closedNotice();
        return;
    }
    if (window)
        window->close();
}

bool ToolWindowSlot::Toggle()
{
    if (IsVisible())
        Close();
    else
        Show();
    return IsVisible();
}

bool ToolWindowSlot::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window.data() && event->type() == QEvent::Close) {
        // An accepted close destroys the native window: the window is only hidden.
        event->ignore();
        window->hide();
        return true;
    }
    if (watched == window.data() && event->type() == QEvent::Hide && !event->spontaneous()) {
        lastPlace = window->geometry();
        if (closedNotice)
            closedNotice();
    }
    // The owner's Show event comes before the window system has the owner; ShowToParent comes
    // once it has. At start it is the owner's keys the user types first.
    if (watched == owner.data() && event->type() == QEvent::ShowToParent && waitsForOwner) {
        waitsForOwner = false;
        if (window)
            ShowNow(*window, false);
    }
    return QObject::eventFilter(watched, event);
}

QPoint ToolWindowPlace(const QRect& main, const QSize& own, const std::vector<QRect>& shown)
{
    QRect area;
    if (Screen* screen = FindService<Screen>()) {
        const PixelRect available = screen->AvailableGeometry();
        if (available.Width() > 0 && available.Height() > 0)
            area = QRect(available.left, available.top, available.Width(), available.Height());
    }
    // A window larger than the screen keeps its top left on it, where its title bar is.
    const auto onScreen = [&area, &own](int left, int top) {
        if (area.isNull())
            return QPoint(left, top);
        return QPoint(std::max(std::min(left, area.x() + area.width() - own.width()), area.x()),
                      std::max(std::min(top, area.y() + area.height() - own.height()), area.y()));
    };
    const auto coversNone = [&shown, &own](QPoint at) {
        const QRect frame(at, own);
        return std::none_of(shown.begin(), shown.end(),
                            [&frame](const QRect& other) { return frame.intersects(other); });
    };
    const QPoint corner = onScreen(main.x() + main.width(), main.y() + main.height());
    if (coversNone(corner))
        return corner;
    std::vector<int> lefts{corner.x()};
    std::vector<int> tops{corner.y()};
    for (const QRect& other : shown) {
        lefts.push_back(other.x() - own.width());
        tops.push_back(other.y() - own.height());
    }
    QPoint best = corner;
    int bestDistance = -1;
    for (int left : lefts)
        for (int top : tops) {
            const QPoint at(left, top);
            const int distance = (at - corner).manhattanLength();
            if ((area.isNull() || area.contains(QRect(at, own))) && coversNone(at) &&
                (bestDistance < 0 || distance < bestDistance)) {
                best = at;
                bestDistance = distance;
            }
        }
    return best;
}

void PlaceOnFirstShow(QWidget& window, const QRect& main)
{
    if (window.testAttribute(Qt::WA_Moved))
        return;
    // Before its first show the window manager has not framed the window, and the toolkit counts
    // its frame as nothing; a window shown a moment ago may not have its frame told yet either.
    // The windows framed already tell how large a frame is: the widest of them, as a maximised
    // owner lacks the borders and a window of a fixed size the handle below.
    QMargins frame = FrameMargins(window);
    std::vector<const QWidget*> others;
    if (QWidget* owner = window.parentWidget()) {
        frame = Widest(frame, FrameMargins(*owner));
        for (QWidget* other : owner->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (other != &window && other->isWindow() && other->windowType() == Qt::Tool &&
                other->isVisible()) {
                others.push_back(other);
                frame = Widest(frame, FrameMargins(*other));
            }
    }
    std::vector<QRect> shown;
    for (const QWidget* other : others)
        shown.push_back(other->geometry().marginsAdded(frame));
    const QPoint place = ToolWindowPlace(main, window.size().grownBy(frame), shown);
    // Placed by its inside: a move places the frame as the toolkit knows it, as nothing yet, and
    // the window would come up its frame's width above and left of its place.
    window.setGeometry(QRect(place + QPoint(frame.left(), frame.top()), window.size()));
}

} // namespace kelvorn
