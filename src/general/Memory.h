#pragma once
// Guarded allocation of sample memory. Sizes are counted in 64 bits and refused beyond what a
// Wave can count, the allocation never throws, and a failure takes the same road as a real
// out-of-memory: a null result that the caller turns into its failure flag and the
// "not enough memmory" box.

#include <cstdint>

namespace kelvorn {

/// The most values one Wave can count (its count is a signed 32-bit number).
constexpr int64_t MaxWaveValues = INT32_MAX;

/// Memory for count 16-bit values, or nullptr when count is negative, above SampleLimit() or
/// the memory cannot be had. A count of 0 gives nullptr too (nothing to hold).
int16_t* AllocSamples(int64_t count);

/// The most values one allocation may hold: MaxWaveValues, or less under LimitSamples.
int64_t SampleLimit();

/// Releases what AllocSamples gave; nullptr is ignored.
void FreeSamples(int16_t* samples);

/// Test hook: the next `successes` calls of AllocSamples succeed as usual, every later one
/// fails, until ResetAllocationFailure. A negative value switches the hook off.
void FailAllocationsAfter(int64_t successes);
/// Test hook: SampleLimit() becomes min(values, MaxWaveValues) until ResetAllocationFailure,
/// so that the refusal at the limit can be reached without gigabytes.
void LimitSamples(int64_t values);
/// Switches both hooks off.
void ResetAllocationFailure();

} // namespace kelvorn
