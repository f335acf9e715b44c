#include "platform/qt/QuitOnSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kelvorn {

namespace {

constexpr int Signals[3] = {SIGTERM, SIGINT, SIGHUP};
int pipeEnds[2] = {-1, -1};

void OnSignal(int number)
{
    unsigned char byte = static_cast<unsigned char>(number);
    // Nothing else is safe here; a full pipe means a quit is on its way already.
    [[maybe_unused]] ssize_t written = ::write(pipeEnds[0], &byte, 1);
}

} // namespace

QuitOnSignals::QuitOnSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipeEnds) != 0)
        return;
    notifier = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &QuitOnSignals::ReadSignal);
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i)
        sigaction(Signals[i], &action, &previous[i]);
}

QuitOnSignals::~QuitOnSignals()
{
    if (!notifier)
        return;
    for (int i = 0; i < 3; ++i)
        sigaction(Signals[i], &previous[i], nullptr);
    delete notifier;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void QuitOnSignals::ReadSignal()
{
    unsigned char byte = 0;
    while (::read(pipeEnds[1], &byte, 1) == 1)
        received = byte;
    QCoreApplication::quit();
}

} // namespace kelvorn
