#pragma once
// Wave: the one numeric array of the program, a count and an owned array of 16-bit signed
// values. It is a channel of a sound and it is an envelope (the curve of another wave used as a
// parameter that changes over the processed range).
//
// Conventions shared by every operation on waves:
// - ranges are half-open [begin, end) in value indices; an end of -1 stands for Values();
// - `abort` points at the one-byte abort flag of the calling document; loops work in blocks of
//   at most 1000 values and test it before each block; the same byte is the failure flag of
//   allocation (set when sample memory cannot be had);
// - a computed real value stored as a sample is truncated toward zero and keeps its low 16 bits
//   (no clamping unless an operation says so).

#include "general/Memory.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace kelvorn {

/// The abort and allocation-failure flag of a document: nonzero stops every wave loop.
using AbortFlag = uint8_t;

/// The mark a user's stop leaves in an abort flag. Any other nonzero value is the failure flag
/// (memory that could not be had, a refused precondition). Both stop the loops alike; the mark
/// only lets the command that ends tell the user which of the two ended it.
constexpr AbortFlag AbortByUser = 2;

/// Values processed between two looks at the abort flag.
constexpr int32_t WaveBlock = 1000;

namespace detail {
// Armed only by the test hook below; one relaxed load per block when it is not.
extern std::atomic<int64_t> abortPollsLeft;
extern std::atomic<AbortFlag> abortPollsMark;
bool CountAbortPoll(AbortFlag* abort);
} // namespace detail

/// Asked by every wave loop before each block of at most WaveBlock values: true when the
/// operation must stop. A null flag never stops.
inline bool PollAbort(AbortFlag* abort)
{
    if (abort && *abort)
        return true;
    if (detail::abortPollsLeft.load(std::memory_order_relaxed) < 0)
        return false;
    return detail::CountAbortPoll(abort);
}

/// Test hook: the next `polls` calls of PollAbort answer as usual; the one after sets the flag
/// it is given to mark (the failure flag, or AbortByUser for a user's stop) and answers true. A
/// negative value switches it off.
void AbortAfterPolls(int64_t polls, AbortFlag mark = 1);
void ResetAbortHook();

/// True when memory is not null; otherwise shows "There is not enough memmory for this
/// operation." under "System Error" and answers false. Every allocation of values is tested
/// with it.
bool CheckMemory(const void* memory);

class Wave
{
public:
    /// An empty wave: no values.
    Wave() = default;

    /// count values with undefined contents. When the memory cannot be had (or count is out of
    /// range) *failed is set to 1 and the wave stays empty.
    Wave(AbortFlag* failed, int64_t count);

    /// Adopts samples, which AllocSamples gave, as the wave's own.
    Wave(int16_t* samples, int32_t count) : data(samples), values(samples ? count : 0) {}

    /// A copy of other, made in blocks; an allocation failure sets *abort and leaves this empty;
    /// an abort during the copy leaves the rest zero.
    Wave(AbortFlag* abort, const Wave& other);

    ~Wave() { FreeSamples(data); }

    Wave(Wave&& other) noexcept : data(other.data), values(other.values)
    {
        other.data = nullptr;
        other.values = 0;
    }
    Wave& operator=(Wave&& other) noexcept;
    Wave(const Wave&) = delete;
    Wave& operator=(const Wave&) = delete;

    int32_t Values() const { return values; }
    bool IsEmpty() const { return values == 0; }

    /// Direct access for hot loops. For speed nothing is checked: the index must be in
    /// [0, Values()).
    int16_t* Data() { return data; }
    const int16_t* Data() const { return data; }
    int16_t& operator[](int32_t i) { return data[i]; }
    int16_t operator[](int32_t i) const { return data[i]; }

    /// Replaces an end of -1 by Values().
    int32_t ResolveEnd(int32_t end) const { return end == -1 ? values : end; }

private:
    int16_t* data = nullptr;
    int32_t values = 0;
};

using WavePtr = std::unique_ptr<Wave>;

/// A new wave of count values, or nullptr (and *flag set) when the memory cannot be had;
/// nullptr without allocating when *flag is already set.
WavePtr CreateWave(AbortFlag* flag, int64_t count);

/// A new copy of source, or nullptr as CreateWave; nullptr for a null source.
WavePtr CreateWaveCopy(AbortFlag* flag, const Wave* source);

} // namespace kelvorn
