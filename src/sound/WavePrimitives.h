#pragma once
// The primitive operations on waves: queries, in-place copies, generators, simple transforms,
// range edits, horizontal moves and linear resampling. Plain functions over Wave ranges; they
// follow the conventions of Wave.h (half-open ranges, end -1 for the whole rest, the abort flag
// polled every WaveBlock values, truncation toward zero with a 16-bit wrap on every store).
//
// How they fail:
// - Memory: a new wave that cannot be had, or a computed count that is negative or beyond
//   MaxWaveValues, shows the "not enough memmory" box (CheckMemory), sets *abort and gives
//   nullptr. Nothing is allocated for an impossible count.
// - Abort: when the flag is found set an operation stops within one block; one that builds a
//   new wave then gives nullptr, one in place leaves the values as far as it got.
// - Broken preconditions (a range outside the wave, begin > end, a period of 0 ...) are the
//   caller's duty: they show the "Assertion failed" box naming the condition, set *abort (so
//   the caller discards the command as it discards an aborted one) and change nothing.
// - Inputs a user can choose badly (an empty envelope, form or curve) are refused before
//   anything runs: nullptr, *abort left as it was, and the reason in *error when error is not
//   null. Callers put their context in front of it.
//
// Operations that replace a range take begin and end by pointer: the new wave is the source's
// [0, begin), the new values, then the source's [end, Values()); on return *end is
// *begin + the number of new values, so that the two frame the new part.

#include "sound/Wave.h"

#include <cstdint>
#include <string>

namespace kelvorn {

/// True when wave holds values; otherwise *error (if given) becomes "The <role> is empty.".
bool CheckNotEmpty(const Wave* wave, const char* role, std::string* error);

// ---- Queries and in-place set-up ---------------------------------------------------------

/// The largest magnitude in [begin, end): -32768 counts as 32768; 0 for an empty range and
/// when the abort flag stops it.
int32_t peak(const Wave& wave, AbortFlag* abort, int32_t begin, int32_t end);

/// max: the largest value of [begin, end), at least 0; negMin: the magnitude of the smallest,
/// at least 0 and at most 32767 (the magnitude of -32768 does not fit). An abort leaves both as
/// far as they got.
void minMax(const Wave& wave, AbortFlag* abort, int16_t& max, int16_t& negMin, int32_t begin,
            int32_t end);

/// One sine period over the whole wave: value i = sin(2 i pi / Values()) * 32767, truncated,
/// with the program's pi 3.1415293.
void makeSinePeriod(Wave& wave);

/// The frequency curve of the balance filter, on a wave of exactly 150 values: five points
/// (the whole-value periods at or above 20000, 3500, 2500, 1000 and 350 Hz at this sample
/// rate, in the frequency-envelope mapping) joined by drawLine. A point whose period would
/// be less than one value (any rate below its frequency) takes the curve's top, 32767.
void makeFrequencyCurve(Wave& wave, AbortFlag* abort, int32_t rate);

// ---- In-place primitives ---------------------------------------------------------------

/// wave[to + k] = from[begin + k] for k in [0, end - begin). from may be wave itself.
void copyFrom(Wave& wave, AbortFlag* abort, const Wave& from, int32_t begin, int32_t end,
              int32_t to);

/// wave[to + k] += from[begin + k], 16-bit wrap. from may be wave itself.
void addFrom(Wave& wave, AbortFlag* abort, const Wave& from, int32_t begin, int32_t end,
             int32_t to);

/// Sets [begin, end) to 0.
void clear(Wave& wave, AbortFlag* abort, int32_t begin, int32_t end);

/// Writes [x0, x1) as a straight line from y0 so that x1 - 1 receives y1; a single value gets
/// the mean of y0 and y1, truncated. x1 -1 stands for Values().
void drawLine(Wave& wave, AbortFlag* abort, int32_t x0, int16_t y0, int32_t x1, int16_t y1);

/// Makes [begin, end) symmetric by copying its second half, reversed, over its first half.
void mirror(Wave& wave, AbortFlag* abort, int32_t begin, int32_t end);

/// Each value of [begin, end) times factor, truncated, low 16 bits kept.
void volumeInPlace(Wave& wave, AbortFlag* abort, double factor, int32_t begin, int32_t end);

// ---- Generators that replace [*begin, *end) by new values ---------------------------------

/// length zeros.
WavePtr makeSilence(const Wave& wave, AbortFlag* abort, int64_t length, int32_t* begin,
                    int32_t* end);

/// A straight line of length values from `from` to `to` (both reached); a length of 1 is
/// taken as 2.
WavePtr makeLine(const Wave& wave, AbortFlag* abort, int16_t from, int16_t to, int64_t length,
                 int32_t* begin, int32_t* end);

/// A geometric line from `from` (same sign as `to`, neither 0); each value is the previous
/// times (to / from)^(1 / length), so the last is one factor short of `to`. A length of 1 is
/// taken as 2.
WavePtr makeExpLine(const Wave& wave, AbortFlag* abort, int16_t from, int16_t to, int64_t length,
                    int32_t* begin, int32_t* end);

/// length values (r - 16384) * (amplitude / 16384), truncated, r the next NoiseRand() draw:
/// within [-amplitude, amplitude * 16383 / 16384].
WavePtr makeNoise(const Wave& wave, AbortFlag* abort, int16_t amplitude, int64_t length,
                  int32_t* begin, int32_t* end);

/// A block (triangle false) or triangle wave of length values between level1 and level2;
/// period > 0 in values; middle in [0, 1] is the phase where level2 begins (block) or is
/// reached (triangle); the phase starts at startPhase.
WavePtr makeBlockTriangle(const Wave& wave, AbortFlag* abort, int16_t level1, int16_t level2,
                          double period, double middle, int64_t length, double startPhase,
                          bool triangle, int32_t* begin, int32_t* end);

/// makeBlockTriangle with a middle per value: e / 65535 + 0.5, e the middle envelope stretched
/// over the length values. An empty envelope is refused.
WavePtr makeBlockTriangleEnv(const Wave& wave, AbortFlag* abort, int16_t level1, int16_t level2,
                             double period, const Wave* middleEnvelope, int64_t length,
                             double startPhase, bool triangle, int32_t* begin, int32_t* end,
                             std::string* error = nullptr);

/// A sine read from the program's sine table (SineTable.h, which must exist): top at a quarter
/// period, bottom at three quarters; per > 0 values per period, periods * per values (at least
/// 1); startAngle in [0, 1) of a period.
WavePtr makeSinus(const Wave& wave, AbortFlag* abort, int16_t top, int16_t bottom, double per,
                  double periods, double startAngle, int32_t* begin, int32_t* end);

/// form's [beginf, endf) (endf -1: the form's count) repeated |per| * count values long, each
/// repetition resampled to |per| values; a negative per plays the form backwards. form may be
/// wave itself. An empty form or form range is refused.
WavePtr repeatForm(const Wave& wave, AbortFlag* abort, const Wave* form, double per, double count,
                   double startAngle, int32_t* begin, int32_t* end, int32_t beginf, int32_t endf,
                   std::string* error = nullptr);

/// [*begin, *end) folded into length values: added (16-bit wrap) from offset target of the
/// new part on, going on at its start whenever it reaches its end. A length below 1 leaves
/// the wave as it is: the result is an unchanged copy and begin and end stay.
WavePtr rollIn(const Wave& wave, AbortFlag* abort, int64_t length, int64_t target, int32_t* begin,
               int32_t* end);

/// [*begin, *end) played as a loop at a speed of speed * e / 32767 values per value, e the
/// speed envelope stretched over the new part of (range length * lengthfactor) values; play
/// starts at the fraction startpos of the range. An empty envelope is refused.
WavePtr rollOut(const Wave& wave, AbortFlag* abort, const Wave* speedEnvelope, double lengthfactor,
                double speed, double startpos, int32_t* begin, int32_t* end,
                std::string* error = nullptr);

/// [*begin, *end) linearly resampled to count values, optionally reversed. Reads past the
/// wave's last value take 0.
WavePtr resampleTo(const Wave& wave, AbortFlag* abort, int64_t count, bool reverse, int32_t* begin,
                   int32_t* end);

// ---- Transforms: a new wave of the same count, outside [begin, end) unchanged -----------

WavePtr reverse(const Wave& wave, AbortFlag* abort, int32_t begin, int32_t end);

/// value + shift, 16-bit wrap.
WavePtr moveV(const Wave& wave, AbortFlag* abort, int16_t shift, int32_t begin, int32_t end);

/// moveV by minus the mean of the range (truncated); begin < end.
WavePtr normalizeV(const Wave& wave, AbortFlag* abort, int32_t begin, int32_t end);

/// Blocks of blockTime values (below 1: 1) take their average; levels != 0 quantises the
/// average to that many levels over -32768..32767, levels 1 silences the range.
WavePtr block(const Wave& wave, AbortFlag* abort, double blockTime, int32_t levels, int32_t begin,
              int32_t end);

/// Each value mapped through curve, a transfer function from -32768..32767 (its first to its
/// last value). An empty curve is refused.
WavePtr distort(const Wave& wave, AbortFlag* abort, const Wave* curve, int32_t begin, int32_t end,
                std::string* error = nullptr);

/// value * factor, truncated.
WavePtr volume(const Wave& wave, AbortFlag* abort, double factor, int32_t begin, int32_t end);

/// value * e / 32767, e the envelope stretched over the range. An empty envelope is refused.
WavePtr volumeEnvelope(const Wave& wave, AbortFlag* abort, const Wave* envelope, int32_t begin,
                       int32_t end, std::string* error = nullptr);

/// The range rotated left by leftShift (0..range length) values.
WavePtr rotate(const Wave& wave, AbortFlag* abort, int64_t leftShift, int32_t begin, int32_t end);

// ---- Range edits ---------------------------------------------------------------------

/// The values of [begin, end) alone (an empty wave for begin = end).
WavePtr copyPart(const Wave& wave, AbortFlag* abort, int32_t begin, int32_t end);

/// [0, begin) followed by [end, Values()).
WavePtr deletePart(const Wave& wave, AbortFlag* abort, int32_t begin, int32_t end);

/// [0, begin), all of other, [end, Values()). other may be wave itself.
WavePtr replace(const Wave& wave, AbortFlag* abort, const Wave& other, int32_t begin, int32_t end);

/// All of wave followed by all of other.
WavePtr append(const Wave& wave, AbortFlag* abort, const Wave& other);

/// resampleRange over the whole wave.
WavePtr resampleFactor(const Wave& wave, AbortFlag* abort, double factor);

/// [*begin, *end) resampled to ((end - begin - 1) * |factor| + 1) values, truncated, reversed
/// when factor < 0. An empty range stays empty (an empty wave gives a new empty wave).
WavePtr resampleRange(const Wave& wave, AbortFlag* abort, double factor, int32_t* begin,
                      int32_t* end);

/// resampleTo over the whole wave.
WavePtr resample(const Wave& wave, AbortFlag* abort, int64_t count, bool reverse);

// ---- Horizontal moves ----------------------------------------------------------------

/// The zeros to add before and after the wave so that [begin, end) moved by any shift between
/// minShift and maxShift (values, rounded away from zero) still fits.
void moveHMargins(const Wave& wave, double maxShift, double minShift, int32_t begin, int32_t end,
                  int64_t* before, int64_t* after);

/// A wave of Values() + before + after values in which [*begin, *end) is moved by shift values
/// (interpolated for a fractional shift); outside the range the old values stay, the range's
/// old place keeps only what moves in. begin and end follow the moved range.
WavePtr moveH(const Wave& wave, AbortFlag* abort, double shift, int64_t before, int64_t after,
              int32_t* begin, int32_t* end);

/// As moveH with a shift per value of -e * maxShift / 32768, e the envelope stretched over
/// the range widened by |maxShift| on both sides; begin and end come back widened by
/// |maxShift|. An empty envelope is refused.
WavePtr moveHEnvelope(const Wave& wave, AbortFlag* abort, double maxShift, const Wave* envelope,
                      int64_t before, int64_t after, int32_t* begin, int32_t* end,
                      std::string* error = nullptr);

} // namespace kelvorn
