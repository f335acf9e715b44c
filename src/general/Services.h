#pragma once
// The one registry of the program's services. Each service is a small interface with a
// ServiceName: the platform services the shell reaches the system through (Clock, Screen,
// TempDir, ...; src/platform), and the few things model code needs that only an upper layer
// knows (the message sink, the sound player, the main-window link). An upper layer or a test
// installs an implementation with InstallService<Clock>(&clock) (not owned) and whoever needs
// it finds it with GetService<Clock>() or FindService<Clock>().
//
// The registry lives here, in the lowest layer, so that model code can find what the layers
// above it install.

#include <atomic>

namespace kelvorn {

namespace detail {

// Atomic because a worker thread may look a service up (a soft assertion reaches the message
// sink from the volume writer's thread) while the GUI thread reads the same slot.
template <class S> std::atomic<S*>& ServiceSlot()
{
    static std::atomic<S*> slot{nullptr};
    return slot;
}

/// Writes one line naming the service to standard error and aborts.
[[noreturn]] void MissingService(const char* name);

} // namespace detail

/// Installs service (not owned) for interface S; nullptr uninstalls. Returns the previous one
/// so that it can be put back. Services are installed before the threads that use them start
/// and stay until those threads have ended.
template <class S> S* InstallService(S* service)
{
    return detail::ServiceSlot<S>().exchange(service);
}

/// The installed implementation of S, or nullptr.
template <class S> S* FindService()
{
    return detail::ServiceSlot<S>().load();
}

/// The installed implementation of S. Asking for a service nobody installed is a programming
/// error: the program stops with a line that names S::ServiceName.
template <class S> S& GetService()
{
    S* service = FindService<S>();
    if (!service)
        detail::MissingService(S::ServiceName);
    return *service;
}

/// Installs a service for one scope and puts the previous one back at its end.
template <class S> class ScopedService
{
public:
    explicit ScopedService(S* service) : previous(InstallService<S>(service)) {}
    ~ScopedService() { InstallService<S>(previous); }
    ScopedService(const ScopedService&) = delete;
    ScopedService& operator=(const ScopedService&) = delete;

private:
    S* previous;
};

} // namespace kelvorn
