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

// ---- Periodic echo -----------------------------------------------------------------------------

/// [*begin, *end) echoed count times, echo i delayed by diffTime * i values (a negative delay
/// echoes ahead) and scaled by factor^i; every echo reads the source range. The wave grows with
/// zeros where the echoes reach past either end; begin and end then frame the range with all
/// its echoes. A count below 1 gives an unchanged copy. Needs a range of at least two values.
WavePtr periodEcho(const Wave& w, AbortFlag* abort, double diffTime, double factor, int32_t count,
                   int32_t* begin, int32_t* end);

/// periodEcho with the delay of echo i taken as e * i * diffTime / 32767, e the delay envelope
/// stretched over the extended range; diffTime >= 0.
WavePtr periodEchoEnv(const Wave& w, AbortFlag* abort, const Wave* delayEnvelope, double diffTime,
                      double factor, int32_t count, int32_t* begin, int32_t* end,
                      std::string* error = nullptr);

/// periodEcho with echo i scaled by (e / 32767)^i, e the factor envelope stretched over the
/// extended range.
WavePtr periodEchoEnv(const Wave& w, AbortFlag* abort, double diffTime, const Wave* factorEnvelope,
                      int32_t count, int32_t* begin, int32_t* end, std::string* error = nullptr);

/// Both the delay and the factor from envelopes; diffTime >= 0.
WavePtr periodEchoEnv(const Wave& w, AbortFlag* abort, const Wave* delayEnvelope, double diffTime,
                      const Wave* factorEnvelope, int32_t count, int32_t* begin, int32_t* end,
                      std::string* error = nullptr);

// ---- Tempo and pitch ---------------------------------------------------------------------------
// [*begin, *end) of n values is replaced by (n * lengthFactor) truncated values, read in blocks
// of blockTime values: inside a block the read head moves by step values per value (2 plays an
// octave higher); at each block start it jumps to where the tempo puts it, start + (values
// written so far) * speed, wrapped into the range. start is the fraction of the range where
// reading begins. Reads outside the wave give 0. The two-head forms cross-fade two heads that
// jump alternately while silent, every half block.

WavePtr tempoPitch(const Wave& w, AbortFlag* abort, double speed, double start, double lengthFactor,
                   double step, int32_t blockTime, int32_t* begin, int32_t* end);
WavePtr tempoPitch2(const Wave& w, AbortFlag* abort, double speed, double start,
                    double lengthFactor, double step, int32_t blockTime, int32_t* begin,
                    int32_t* end);

/// The step after each value scaled by e / 32767, e the pitch envelope (freqWave) stretched
/// over the new part.
WavePtr tempoPitchFreqEnv(const Wave& w, AbortFlag* abort, double speed, double start,
                          double lengthFactor, double step, const Wave* freqWave, int32_t blockTime,
                          int32_t* begin, int32_t* end, std::string* error = nullptr);
WavePtr tempoPitch2FreqEnv(const Wave& w, AbortFlag* abort, double speed, double start,
                           double lengthFactor, double step, const Wave* freqWave,
                           int32_t blockTime, int32_t* begin, int32_t* end,
                           std::string* error = nullptr);

/// The jump of each block (each half block with two heads) scaled by e / 32767, e the speed
/// envelope (speedEnvelop) read block by block over the new part; reads wrap into the range.
WavePtr tempoPitchSpeedEnv(const Wave& w, AbortFlag* abort, double speed, const Wave* speedEnvelop,
                           double start, double lengthFactor, double step, int32_t blockTime,
                           int32_t* begin, int32_t* end, std::string* error = nullptr);
WavePtr tempoPitch2SpeedEnv(const Wave& w, AbortFlag* abort, double speed, const Wave* speedEnvelop,
                            double start, double lengthFactor, double step, int32_t blockTime,
                            int32_t* begin, int32_t* end, std::string* error = nullptr);

/// Both envelopes: the speed-envelope rules with the pitch envelope's step.
WavePtr tempoPitchEnvs(const Wave& w, AbortFlag* abort, double speed, const Wave* speedEnvelop,
                       double start, double lengthFactor, double step, const Wave* freqWave,
                       int32_t blockTime, int32_t* begin, int32_t* end,
                       std::string* error = nullptr);
WavePtr tempoPitch2Envs(const Wave& w, AbortFlag* abort, double speed, const Wave* speedEnvelop,
                        double start, double lengthFactor, double step, const Wave* freqWave,
                        int32_t blockTime, int32_t* begin, int32_t* end,
                        std::string* error = nullptr);

// ---- Multi-frequency ---------------------------------------------------------------------------
// [*begin, *end) is replaced by length new values, the sum of count partials. Partial j reads a
// form (one period) at its own pace: it starts at the fraction phases[j] of the form, takes
// periods[j] values per period, and its amplitude starts at amplitudes[j] and is multiplied by
// decays[j] after every value. The sum is truncated toward zero after every partial. Reads
// wrap over the form's first F - 1 values, F its count.

/// The partials read the program's sine table (which must exist).
WavePtr makeMFreq(const Wave& w, AbortFlag* abort, int64_t length, int32_t count,
                  const double* amplitudes, const double* periods, const double* phases,
                  const double* decays, int32_t* begin, int32_t* end);

/// The partials read the given form, which needs at least two values.
WavePtr makeMFreqForm(const Wave& w, AbortFlag* abort, int64_t length, const Wave* form,
                      int32_t count, const double* amplitudes, const double* periods,
                      const double* phases, const double* decays, int32_t* begin, int32_t* end,
                      std::string* error = nullptr);

// ---- Balance of one channel --------------------------------------------------------------------
// One source channel becomes one side of a stereo pair (side 0 left, side 1 right; the angle
// is negated for side 1), through any of three effects: volume, the side's low pass and its
// interaural delay. angle runs from -1 (full left) to 1 (full right).

/// With the volume flag the gain is (1 - angle) * 0.5. Volume without delay scales the wave
/// (the filter flag is then not used); filter without delay or volume low-passes it; with delay
/// the (filtered) wave is delayed with the gain applied. No flag: a copy.
WavePtr balance(const Wave& w, AbortFlag* abort, double angle, int32_t side, bool delay,
                bool volume, bool filter, int32_t rate);

/// The whole wave low-passed at a corner that falls from about 20 kHz (angle -1) to about
/// 350 Hz (angle 1), read from the frequency curve of the rate.
WavePtr balFilter(const Wave& w, AbortFlag* abort, double angle, int32_t rate);

/// The whole wave delayed by sin(angle * pi / 2) * rate * 2 / 3400 values (interpolated) and
/// scaled by gain; a negative delay instead appends (|delay| + 1) zeros and leaves the level.
WavePtr balanceDelay(const Wave& w, AbortFlag* abort, double angle, int32_t rate, double gain);

/// balance with the angle per value from an envelope stretched over the wave; volume, filter
/// and delay apply in that order, each to the result of the one before.
WavePtr balanceEnvelope(const Wave& w, AbortFlag* abort, const Wave* angleEnvelope, int32_t side,
                        bool delay, bool volume, bool filter, int32_t rate,
                        std::string* error = nullptr);

} // namespace kelvorn
