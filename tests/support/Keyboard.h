#pragma once
// Where the keyboard is: a window activated as a click on it would, and boxes that leave the
// keyboard with another window, as boxes on a desktop may.

#include "general/Messages.h"
#include "general/Services.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <functional>

namespace kelvorn::test {

/// Whether condition stays true for ms milliseconds while events are processed.
inline bool HeldFor(const std::function<bool()>& condition, int ms)
{
    for (QDeadlineTimer hold(ms); !hold.hasExpired();) {
        QTest::qWait(5);
        if (!condition())
            return false;
    }
    return true;
}

/// Activates window as a click on it would and waits until it has the keyboard and keeps it for
/// a moment.
inline bool Focus(QWidget* window)
{
    // A window manager may let an activation request pass unanswered (a busy machine delays
    // the request past the window's user time): the request is repeated until one is granted.
    // A box or dialog closed just before may still hand the keyboard on after the grant, so the
    // keyboard must stay before the window counts as focused.
    const std::function<bool()> focused = [window] {
        return QGuiApplication::focusWindow() == window->windowHandle() &&
               QApplication::activeWindow() == window;
    };
    for (int attempt = 0; attempt < 20; ++attempt) {
        window->activateWindow();
        if (QTest::qWaitFor(focused, 500) && HeldFor(focused, 50))
            return true;
    }
    return false;
}

/// Every box takes the keyboard from the window it opens over and, once closed, leaves it with
/// keeper (the main window, say). The answers come from the sink installed before.
class BoxesLeaveTheKeyboard final : public MessageSink
{
public:
    explicit BoxesLeaveTheKeyboard(QWidget& keeper)
        : keeper(keeper), previous(InstallService<MessageSink>(this))
    {
    }
    ~BoxesLeaveTheKeyboard() override { InstallService<MessageSink>(previous); }

    MsgAnswer Show(const std::string& text, const std::string& caption, MsgIcon icon,
                   MsgButtons buttons) override
    {
        Focus(&keeper);
        return previous ? previous->Show(text, caption, icon, buttons) : FirstButtonAnswer(buttons);
    }

private:
    QWidget& keeper;
    MessageSink* previous;
};

} // namespace kelvorn::test
