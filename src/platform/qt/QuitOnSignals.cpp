#include "platform/qt/QuitOnSignals.h"

#include "general/Services.h"
#include "platform/TempDir.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kelvorn {

namespace {

constexpr int Signals[3] = {SIGTERM, SIGINT, SIGHUP};
int pipeEnds[2] = {-1, -1};

void OnSignal(int number)
{
    const int saved = errno;
    unsigned char byte = static_cast<unsigned char>(number);
    // Nothing else is safe here; a full socket means the end is on its way already.
    [[maybe_unused]] ssize_t written = ::write(pipeEnds[0], &byte, 1);
    errno = saved;
}

} // namespace

QuitOnSignals::QuitOnSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipeEnds) != 0)
        return;
    notifier = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &QuitOnSignals::EndProgram);
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

void QuitOnSignals::EndProgram()
{
    unsigned char byte = 0;
    int signal = 0;
    while (::read(pipeEnds[1], &byte, 1) == 1)
        signal = byte;
    if (signal == 0)
        return;
    // The GUI thread, the one that writes the play and record files, is between two events
    // here: no file in the directory is half written.
    if (TempDir* tempDir = FindService<TempDir>(); tempDir && tempDir->Exists()) {
        std::error_code ignored;
        std::filesystem::remove_all(tempDir->Path(), ignored);
    }
    std::fflush(nullptr);
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    std::raise(signal);
    // Only a signal the system refuses to deliver gets here.
    ::_exit(128 + signal);
}

} // namespace kelvorn
