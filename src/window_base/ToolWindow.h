#pragma once
// A modeless tool window of the main window: created on first use, owned by its owner widget,
// and on close only hidden, so that the same object serves the next use. The slot makes every
// window it creates a tool window of its owner without an always-on-top flag: it floats above
// its owner only, and the program's dialogs and boxes open above it. Whenever it hides
// (its close box, the owner's toggle, a dialog's Close button) the closed notice runs, so that
// the owner can uncheck the action that shows it. A window shown before its owner is on the
// screen counts as shown and comes on the screen right after the owner, so that the window
// manager knows whose it is and keeps it above its owner; it leaves the keyboard to the owner,
// whose keys the user expects to work as soon as the program is up.
//
// A close never destroys the native window (a window made anew is placed anew by the window
// manager), and a window shown again comes back where the user left it, at the size they gave
// it, whatever windows were active meanwhile. Its first show places it as the window itself
// does (PlaceOnFirstShow, beside the tool windows already shown) or, without a place of its
// own, the window manager decides.

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

namespace kelvorn {

class ToolWindowSlot : public QObject
{
    Q_OBJECT

public:
    using Factory = std::function<QWidget*(QWidget* owner)>;

    /// create makes the window, a child of owner (it may be null: the slot then owns it).
    ToolWindowSlot(QWidget* owner, Factory create);
    ~ToolWindowSlot() override;

    /// The window, created on the first call.
    QWidget* Window();
    /// The window when it was created, else nullptr.
    QWidget* Existing() const { return window.data(); }
    bool Exists() const { return !window.isNull(); }
    /// Whether the window is shown, or waits to come up with its owner.
    bool IsVisible() const { return waitsForOwner || (window && window->isVisible()); }

    /// Creates the window when needed, shows it (a hidden one where it was last) and brings it
    /// to the front with the keyboard; before the owner is on the screen, it comes up right
    /// after the owner, without the keyboard.
    void Show();
    /// Closes (hides) the window when it exists.
    void Close();
    /// Closes a visible window, else shows it; answers whether it is visible afterwards.
    bool Toggle();

    /// Runs after every hide of the window that the program asked for (not when the desktop
    /// hides it with its owner).
    void SetClosedNotice(std::function<void()> notice) { closedNotice = std::move(notice); }

    /// How many windows this slot created: never more than one.
    int Creations() const { return creations; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowNow(QWidget& w, bool activate);

    QPointer<QWidget> owner;
    Factory create;
    QPointer<QWidget> window;
    std::function<void()> closedNotice;
    /// Where the window was when the program last hid it; null before.
    QRect lastPlace;
    int creations = 0;
    /// Shown before its owner was on the screen, and not closed since.
    bool waitsForOwner = false;
};

/// Where a tool window of frame size own opens: at the lower right corner of the main window's
/// frame main, moved left and up as far as the screen's available area (when a screen is known)
/// needs. When that place covers one of the frames shown (the tool windows already on the
/// screen), it is the place nearest to it beside them, to their left or above them, that lies
/// whole on the screen and covers none; without room for one, the corner's place.
QPoint ToolWindowPlace(const QRect& main, const QSize& own, const std::vector<QRect>& shown = {});
/// Moves window to its ToolWindowPlace, beside the other tool windows its owner shows, on its
/// first show only: shown again, it comes back where the user left it.
void PlaceOnFirstShow(QWidget& window, const QRect& main);

/// A ToolWindowSlot of a known window class W.
template <class W> class ToolWindow final : public ToolWindowSlot
{
public:
    /// Makes W(owner) on first use.
    explicit ToolWindow(QWidget* owner)
        : ToolWindowSlot(owner, [](QWidget* parent) { return new W(parent); })
    {
    }
    ToolWindow(QWidget* owner, std::function<W*(QWidget*)> make)
        : ToolWindowSlot(owner, [make = std::move(make)](QWidget* parent) { return make(parent); })
    {
    }

    W* Window() { return static_cast<W*>(ToolWindowSlot::Window()); }
    W* Existing() const { return static_cast<W*>(ToolWindowSlot::Existing()); }
};

} // namespace kelvorn
