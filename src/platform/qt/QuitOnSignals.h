#pragma once
// Turns SIGTERM, SIGINT and SIGHUP into a normal end of the event loop, so that the program
// still runs its destructors (among them the removal of the temporary directory) when the
// session ends or the user presses Ctrl+C. A signal handler may not call Qt, so the handler
// only writes a byte to a pipe that the event loop watches.

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

    /// The signal that ended the loop, or 0.
    int Received() const { return received; }

private:
    void ReadSignal();

    QSocketNotifier* notifier = nullptr;
    struct sigaction previous[3] = {};
    int received = 0;
};

} // namespace kelvorn
