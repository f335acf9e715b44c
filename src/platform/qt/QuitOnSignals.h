#pragma once
// Ends the program promptly on SIGTERM, SIGINT and SIGHUP (a kill, Ctrl+C, the end of the
// session), whatever is open: the private temporary directory is removed and the process ends
// by the same signal, so that its parent sees how it ended.
//
// It does not ask the event loop to return: QCoreApplication::quit() does nothing before the
// main loop runs (a start-up error box), a modal dialog's own loop keeps the program going once
// the quit has closed it, and closing the main window may ask to save, which a session's end
// cannot wait for. A signal handler may not call Qt nor free memory, so the handler only
// writes a byte to a socket that every event loop of the GUI thread watches, modal loops too.

#include <QObject>

#include <csignal>

class QSocketNotifier;

namespace kelvorn {

class QuitOnSignals final : public QObject
{
    Q_OBJECT
public:
    /// Installs the handlers; needs a QCoreApplication. Only one may exist at a time.
    QuitOnSignals();
    /// Puts the previous handlers back.
    ~QuitOnSignals() override;

private:
    /// Returns only when no signal came.
    void EndProgram();

    QSocketNotifier* notifier = nullptr;
    struct sigaction previous[3] = {};
};

} // namespace kelvorn
