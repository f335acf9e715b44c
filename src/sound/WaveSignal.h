#pragma once
// Signal operations on waves: mixing two waves (in place and into a new wave), the periodic
// echo, the balance of one channel, the tempo/pitch block resampler with one or two read heads
// and the multi-frequency generator.
//
// Shared rules (see Wave.h and WavePrimitives.h): ranges are [begin, end) with end -1 for the
// whole rest; the abort flag is polled before every block of at most 1000 values; every store
// truncates toward zero and keeps the low 16 bits. Operations that return a new wave give
// nullptr when stopped by the flag, and nullptr with the memory box and *abort set when the
// memory cannot be had or a computed length is negative or too large. A broken precondition
// (a range outside the wave, waves of unequal length ...) shows the "Assertion failed" box
// naming it, sets *abort and changes nothing. An empty envelope, form or partner that an
// operation would read is refused before anything runs: nullptr, *abort left as it was, the
// reason in *error when error is not null.
// Operations given begin and end by pointer replace that range in the new wave and leave begin
// and end framing the new part.

#include "sound/Wave.h"

#include <cstdint>
#include <string>

namespace kelvorn {

// ---- Mixing in place: additions wrap at 16 bits ------------------------------------------------

/// Adds other to w from index after on, going on at index 0 whenever the end of w is reached,
/// until all of other is added (other may wrap around w more than once). Needs a w with values
/// and 0 <= after < w.Values().
void mixCycleAfterThis(Wave& w, AbortFlag* abort, const Wave& other, int32_t after);

/// w[after + i] += other[i] wherever both indices lie inside their waves.
void addAt(Wave& w, AbortFlag* abort, const Wave& other, int32_t after);

/// w[after + i] = (w[after + i] + other[i] * factor) truncated, same bounds as addAt.
void addScaledAt(Wave& w, AbortFlag* abort, const Wave& other, int32_t after, double factor);

/// Adds other so that other[otherBegin] falls on w[thisBegin]; only where both waves have
/// values.
void addShifted(Wave& w, AbortFlag* abort, const Wave& other, int32_t thisBegin,
                int32_t otherBegin);

/// As addShifted with w[j] = (w[j] + other[j - offset] * factor) truncated.
void addShiftedScaled(Wave& w, AbortFlag* abort, const Wave& other, int32_t thisBegin,
                      int32_t otherBegin, double factor);

// ---- Mixing into a new wave --------------------------------------------------------------------

/// w with the used part of other added from index offset on. The used part is other's first
/// min(otherEnd, its values) values (otherEnd -1: all of it), or its last ones when fromEnd is
/// set and otherEnd is not -1. The result grows with zeros in front when offset is negative and
/// at the end where the part sticks out.
WavePtr mixAlignBegin(const Wave& w, AbortFlag* abort, const Wave& other, int32_t offset,
                      int32_t otherEnd, bool fromEnd);

/// mixAlignBegin placed so that the used part of other ends at index position.
WavePtr mixAlignEnd(const Wave& w, AbortFlag* abort, const Wave& other, int32_t position,
                    int32_t otherEnd, bool fromEnd);

/// w with other, stretched over [begin, end) like an envelope, added to that range. The
/// stretch divides by end - begin + 1, so other's end is never quite reached (kept: mixes made
/// earlier depend on it). An empty other is refused.
WavePtr mixStretch(const Wave& w, AbortFlag* abort, const Wave& other, int32_t begin, int32_t end,
                   std::string* error = nullptr);

/// w with [begin, end) replaced by (w[k] * a + other[k] * b) truncated. Both waves must hold
/// the same number of values (reported and refused otherwise).
WavePtr mixWeighted(const Wave& w, AbortFlag* abort, double a, const Wave& other, double b,
                    int32_t begin, int32_t end);

/// The mean of two waves of the same length, (w[k] * 0.5 + other[k] * 0.5) truncated: how a
/// stereo sound becomes mono.
WavePtr mixHalf(const Wave& w, AbortFlag* abort, const Wave& other);

} // namespace kelvorn
