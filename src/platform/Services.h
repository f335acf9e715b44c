#pragma once
// The platform services the shell reaches the system through: each is a small interface
// (Clock, Screen, TempDir, ...); src/platform/qt implements it on Qt and src/platform/test
// scripts it for tests. One registry holds them all: InstallService<Clock>(&clock) installs
// (not owned), GetService<Clock>() finds the installed one.
//
// Message boxes are the exception: model code, which cannot see this layer, reports through
// the sink of general/Messages.h, installed with InstallMessages.

#include "general/Messages.h"

namespace kelvorn {

namespace detail {

template <class S> S*& ServiceSlot()
{
    static S* slot = nullptr;
    return slot;
}

/// Writes one line naming the service to standard error and aborts.
[[noreturn]] void MissingService(const char* name);

} // namespace detail

/// Installs service (not owned) for interface S; nullptr uninstalls. Returns the previous one
/// so that it can be put back. Services are installed at start-up, before any other thread.
template <class S> S* InstallService(S* service)
{
    S* previous = detail::ServiceSlot<S>();
    detail::ServiceSlot<S>() = service;
    return previous;
}

/// The installed implementation of S, or nullptr.
template <class S> S* FindService()
{
    return detail::ServiceSlot<S>();
}

/// The installed implementation of S. Asking for a service nobody installed is a programming
/// error: the program stops with a line that names S::ServiceName.
template <class S> S& GetService()
{
    S* service = detail::ServiceSlot<S>();
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
