#pragma once
// Counts every allocation of the benchmark binary, for the peak memory of a run: the global
// operator new and delete are replaced, so include this from exactly one file of a benchmark
// (each benchmark is its own program). liveBytes is what is allocated now, peakBytes the most
// since it was last set; set it to liveBytes before a run to measure that run's peak.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

std::atomic<int64_t> liveBytes{0};
std::atomic<int64_t> peakBytes{0};

// Room in front of each block for its size, keeping the alignment operator new promises.
constexpr size_t Header = alignof(std::max_align_t) > sizeof(size_t) ? alignof(std::max_align_t)
                                                                     : sizeof(size_t);

void* Counted(size_t size) noexcept
{
    auto* raw = static_cast<unsigned char*>(std::malloc(size + Header));
    if (!raw)
        return nullptr;
    *reinterpret_cast<size_t*>(raw) = size;
    const int64_t now =
        liveBytes.fetch_add(static_cast<int64_t>(size)) + static_cast<int64_t>(size);
    int64_t peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
    }
    return raw + Header;
}

void Uncounted(void* p) noexcept
{
    if (!p)
        return;
    auto* raw = static_cast<unsigned char*>(p) - Header;
    liveBytes.fetch_sub(static_cast<int64_t>(*reinterpret_cast<size_t*>(raw)));
    std::free(raw);
}

void* CountedOrThrow(size_t size)
{
    if (void* p = Counted(size))
        return p;
    throw std::bad_alloc();
}

} // namespace

void* operator new(size_t size)
{
    return CountedOrThrow(size);
}
void* operator new[](size_t size)
{
    return CountedOrThrow(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return Counted(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return Counted(size);
}
void operator delete(void* p) noexcept
{
    Uncounted(p);
}
void operator delete[](void* p) noexcept
{
    Uncounted(p);
}
void operator delete(void* p, size_t) noexcept
{
    Uncounted(p);
}
void operator delete[](void* p, size_t) noexcept
{
    Uncounted(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    Uncounted(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    Uncounted(p);
}
