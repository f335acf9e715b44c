#pragma once
// Acts on the next modal dialog or box that runs its own loop (QDialog::exec), from inside that
// loop: a timer looks for it every few milliseconds, runs the test's action on it and closes it
// unless the action did. A dialog that never comes fails nothing by itself; Seen() says whether
// one came. The probe gives up after its time, so a test never hangs.

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace kelvorn::test {

class ModalProbe
{
public:
    using Action = std::function<void(QDialog&)>;

    explicit ModalProbe(Action action, int giveUpMs = 10000)
        : action(std::move(action)), deadline(giveUpMs)
    {
        timer.setInterval(5);
        timer.callOnTimeout([this] { Look(); });
        timer.start();
    }

    bool Seen() const { return seen; }

private:
    void Look()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (deadline.hasExpired())
                timer.stop();
            return;
        }
        timer.stop();
        seen = true;
        QPointer<QDialog> guard(dialog);
        if (action)
            action(*dialog);
        if (guard && guard->isVisible())
            guard->reject();
    }

    Action action;
    QDeadlineTimer deadline;
    QTimer timer;
    bool seen = false;
};

} // namespace kelvorn::test
