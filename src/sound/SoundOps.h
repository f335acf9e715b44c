#pragma once
// Every wave operation on whole sounds. Each function runs its wave operation once per channel
// (a mono sound's one channel; a stereo sound's left channel with the caller's begin and end,
// then its right channel with copies of their values on entry) and wraps the new channels in a
// new sound.
//
// Rules shared by all of them:
// - The sound called on is never changed, except by the "in place" functions, which take a
//   non-const sound and are only for a sound no one else holds (a shared sound is never
//   changed in place).
// - A new sound has the class (mono or stereo), SampleFreq and BytesPSample of the sound it was
//   made from, unless a function says otherwise. A new stereo sound's channels are always
//   equally long.
// - Times in seconds become numbers of values in one of three forms, named per function:
//   count+1 = trunc(SampleFreq * t + 1); count = trunc(SampleFreq * t); rate = SampleFreq * t
//   as a double. Counts are worked out in 64 bits; one that no wave can hold takes the memory
//   failure road.
// - Envelopes, curves and forms are read through GetMonoWave by a mono sound and through
//   GetLeftWave / GetRightWave by a stereo one (left for left, right for right), at their own
//   sample frequency: a mono envelope drives both channels of a stereo sound alike, a stereo
//   envelope acts on a mono sound by the mean of its channels. Partners that are mixed in or
//   pasted are read the same way but at this sound's SampleFreq (resampled when theirs
//   differs). Such channels are made one at a time and freed before the next, so one stereo
//   operation holds at most the sound, its result and one channel of the other sound (made
//   only where it is mixed or resampled).
// - begin and end are value indices of a half-open range, end -1 for the whole rest. Where
//   they are passed by pointer (never null) they are in/out: on success they frame the range
//   the result occupies in the new sound; on failure they keep the values they came with.
//
// How they fail (nullptr, or false for the in-place ones):
// - abort is the calling document's one-byte flag (a null pointer is allowed: the function
//   then uses a flag of its own). A set flag, found on entry or set during the work by the
//   user's stop, by a memory shortage (the "not enough memmory" box has been shown) or by a
//   broken precondition (the "Assertion failed" box naming it), gives no result and leaves
//   *abort set. A partial result is never handed out.
// - An empty envelope, curve or form (or a partner stretched like one) is refused before
//   anything runs: no result, *abort left as it was, and the reason in *error when error is
//   given ("The volume envelope is empty." and the like). An empty partner that is pasted or
//   added is no error: it adds nothing.
// - The in-place functions leave the channels as far as they got; the caller discards the
//   sound, as it discards an aborted result.

#include "sound/Filters.h"
#include "sound/Sound.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvorn {

// ---- Format and length ---------------------------------------------------------------------

/// Each channel linearly resampled by newFreq / SampleFreq; the result's SampleFreq is newFreq
/// truncated. Needs 1 <= newFreq <= INT32_MAX and a sound with SampleFreq > 0.
SoundUPtr ChangeSampleFreq(const Sound& sound, AbortFlag* abort, double newFreq);

/// [*begin, *end) resampled to ((end - begin - 1) * |factor| + 1) values, reversed for
/// factor < 0.
SoundUPtr Length(const Sound& sound, AbortFlag* abort, double factor, int32_t* begin, int32_t* end);

/// The whole sound resampled as Length does a range.
SoundUPtr Resample(const Sound& sound, AbortFlag* abort, double factor);

// ---- Transforms of a range (same length) ---------------------------------------------------

SoundUPtr MoveV(const Sound& sound, AbortFlag* abort, int16_t delta, int32_t begin, int32_t end);

/// Moves the range by minus its mean; needs begin < end.
SoundUPtr NormalizeV(const Sound& sound, AbortFlag* abort, int32_t begin, int32_t end);

/// Block averages over blocks of blockTime seconds (rate), quantised to levels (0: not).
SoundUPtr Block(const Sound& sound, AbortFlag* abort, double blockTime, int32_t levels,
                int32_t begin, int32_t end);

/// The range rotated left by time seconds (count).
SoundUPtr Rotate(const Sound& sound, AbortFlag* abort, double time, int32_t begin, int32_t end);

SoundUPtr Reverse(const Sound& sound, AbortFlag* abort, int32_t begin, int32_t end);

/// Each value mapped through the curve (a transfer function from -32768 to 32767).
SoundUPtr Distort(const Sound& sound, AbortFlag* abort, const Sound& curve, int32_t begin,
                  int32_t end, std::string* error = nullptr);

// ---- Volume --------------------------------------------------------------------------------

SoundUPtr Volume(const Sound& sound, AbortFlag* abort, double factor, int32_t begin, int32_t end);

/// Value times e / 32767, e the envelope stretched over the range.
SoundUPtr VolumeEnvelope(const Sound& sound, AbortFlag* abort, const Sound& envelope, int32_t begin,
                         int32_t end, std::string* error = nullptr);

/// Volume with the factor level * 32767 / peak, peak the largest magnitude of the range over
/// both channels (so a stereo sound keeps its balance); factor 0 when the range is silent.
SoundUPtr VolumeToLevel(const Sound& sound, AbortFlag* abort, double level, int32_t begin,
                        int32_t end);
/// VolumeToLevel with level 1.0 and 0.7.
SoundUPtr MaxVolume(const Sound& sound, AbortFlag* abort, int32_t begin, int32_t end);
SoundUPtr Volume07(const Sound& sound, AbortFlag* abort, int32_t begin, int32_t end);

/// In place: for a sound no one else holds. False when stopped or refused.
bool VolumeInPlace(Sound& sound, AbortFlag* abort, double factor, int32_t begin, int32_t end);
bool VolumeToLevelInPlace(Sound& sound, AbortFlag* abort, double level, int32_t begin, int32_t end);
bool MaxVolumeInPlace(Sound& sound, AbortFlag* abort, int32_t begin, int32_t end);
bool Volume07InPlace(Sound& sound, AbortFlag* abort, int32_t begin, int32_t end);

// ---- Generators: replace [*begin, *end) by new values -----------------------------------------

/// count+1 zeros: time 0 still makes one value.
SoundUPtr MakeSilence(const Sound& sound, AbortFlag* abort, double time, int32_t* begin,
                      int32_t* end);

/// trunc(count) zeros in place of the whole sound.
SoundUPtr MakeSilenceCount(const Sound& sound, AbortFlag* abort, double count);

/// count+1 values on a straight line from `from` to `to`, or a geometric one.
SoundUPtr MakeLine(const Sound& sound, AbortFlag* abort, int16_t from, int16_t to, double time,
                   bool geometric, int32_t* begin, int32_t* end);

/// A block (triangle false) or triangle wave of time seconds (count) with a period of period
/// seconds (rate). The first level given is where the wave turns at middle (level2 of the wave
/// operation), the second where each period starts (its level1).
SoundUPtr MakeBlockTriangle(const Sound& sound, AbortFlag* abort, int16_t levelB, int16_t levelA,
                            double period, double middle, double time, double startPhase,
                            bool triangle, int32_t* begin, int32_t* end);

/// The same with the middle read per value from an envelope.
SoundUPtr MakeBlockTriangleEnvelope(const Sound& sound, AbortFlag* abort, int16_t levelB,
                                    int16_t levelA, double period, const Sound& middleEnvelope,
                                    double time, double startPhase, bool triangle, int32_t* begin,
                                    int32_t* end, std::string* error = nullptr);

/// A sine from top to bottom with a period of period seconds (rate), periods periods long.
/// Needs the program's sine table.
SoundUPtr MakeSinus(const Sound& sound, AbortFlag* abort, int16_t top, int16_t bottom,
                    double period, double periods, double startAngle, int32_t* begin, int32_t* end);

/// count values of noise within [-amplitude, amplitude): time 0 makes none. Each channel draws
/// its own values.
SoundUPtr MakeNoise(const Sound& sound, AbortFlag* abort, int16_t amplitude, double time,
                    int32_t* begin, int32_t* end);

/// time seconds (count) of n partials read from the sine table. Partial i starts at
/// amplitudes[i] and phases[i], has a period of periods[i] seconds, and its volume falls to
/// factors[i] after factorTimes[i] seconds (a per-value factor of
/// factors[i]^(1 / (SampleFreq * factorTimes[i]))).
SoundUPtr MakeMFreq(const Sound& sound, AbortFlag* abort, double time, int32_t n,
                    const double* amplitudes, const double* periods, const double* factorTimes,
                    const double* factors, const double* phases, int32_t* begin, int32_t* end);

/// The same with the partials read from a form (one period, at least two values).
SoundUPtr MakeMFreqForm(const Sound& sound, AbortFlag* abort, double time, const Sound& form,
                        int32_t n, const double* amplitudes, const double* periods,
                        const double* factorTimes, const double* factors, const double* phases,
                        int32_t* begin, int32_t* end, std::string* error = nullptr);

/// The range [*begin, *end) repeated: each repetition period seconds (rate) long, count
/// repetitions, starting at startAngle of a period.
SoundUPtr RepeatPart(const Sound& sound, AbortFlag* abort, double period, double count,
                     double startAngle, int32_t* begin, int32_t* end);

/// The range folded into time seconds (count) of values, added from the offset target on.
SoundUPtr RollIn(const Sound& sound, AbortFlag* abort, double time, int32_t target, int32_t* begin,
                 int32_t* end);

/// The range played as a loop, lengthfactor times as long, at speed times the speed envelope,
/// starting at the fraction startpos of the range (a start past its end wraps into it). Needs
/// lengthfactor > 0, startpos >= 0 and a range with values.
SoundUPtr RollOut(const Sound& sound, AbortFlag* abort, const Sound& speedEnvelope,
                  double lengthfactor, double speed, double startpos, int32_t* begin, int32_t* end,
                  std::string* error = nullptr);

/// In place: [begin, end) of every channel overwritten by a straight line from a to b.
bool DrawLine(Sound& sound, AbortFlag* abort, int32_t begin, int16_t a, int32_t end, int16_t b);

// ---- Range edits ---------------------------------------------------------------------------

/// [0, begin) followed by [end, the end); deleting everything gives an empty sound.
SoundUPtr Delete(const Sound& sound, AbortFlag* abort, int32_t begin, int32_t end);

/// An empty sound of the same class and format.
SoundUPtr CreateEmpty(const Sound& sound, AbortFlag* abort);

/// [begin, end) alone; begin = end gives an empty sound.
SoundUPtr CopyPart(const Sound& sound, AbortFlag* abort, int32_t begin, int32_t end);

/// [begin, end) replaced by all of partner, read at this sound's SampleFreq: a partner of
/// another rate is resampled first, so it lasts as long as it did.
SoundUPtr Paste(const Sound& sound, AbortFlag* abort, const Sound& partner, int32_t begin,
                int32_t end);

// ---- Mixing --------------------------------------------------------------------------------
// Partners are read at this sound's SampleFreq.

/// The partner's used part (its first min(otherEnd, length) values, otherEnd -1 for all; the
/// last ones when fromEnd) added so that it ends at value at; the sound grows with zeros where
/// the part reaches before 0 or past the end.
SoundUPtr EditMixBefore(const Sound& sound, AbortFlag* abort, const Sound& partner, int32_t at,
                        int32_t otherEnd, bool fromEnd);

/// The same with the used part starting at value at.
SoundUPtr EditMixAfter(const Sound& sound, AbortFlag* abort, const Sound& partner, int32_t at,
                       int32_t otherEnd, bool fromEnd);

/// The partner stretched over [begin, end) like an envelope (no change of rate) and added.
SoundUPtr MixStretched(const Sound& sound, AbortFlag* abort, const Sound& partner, int32_t begin,
                       int32_t end, std::string* error = nullptr);

/// In place, for a sound no one else holds; additions wrap at 16 bits.
/// MixAfterFactor at the value time seconds in (count).
bool MixAfterTime(Sound& sound, AbortFlag* abort, const Sound& partner, double time, double factor);
/// partner * factor added from value after on, as far as both reach.
bool MixAfterFactor(Sound& sound, AbortFlag* abort, const Sound& partner, int32_t after,
                    double factor);
/// partner added from value after on, as far as both reach.
bool MixAfter(Sound& sound, AbortFlag* abort, const Sound& partner, int32_t after);
/// partner added so that its value trunc(its length * relPartner) falls on this sound's value
/// trunc(GetValues() * relThis); the partner's length is counted at this sound's rate.
bool MixAligned(Sound& sound, AbortFlag* abort, const Sound& partner, double relThis,
                double relPartner);
bool MixAlignedFactor(Sound& sound, AbortFlag* abort, const Sound& partner, double relThis,
                      double relPartner, double factor);
/// partner added from value after on; at the end of this sound the adding goes on at its
/// start until the partner is used up. Needs a sound with values and 0 <= after < GetValues().
bool MixCycleAfterThis(Sound& sound, AbortFlag* abort, const Sound& partner, int32_t after);

/// New left = left * ll + right * rl, new right = right * rr + left * lr over [begin, end).
/// Needs a sound with values.
SoundUPtr MixLeftRight(const StereoSound& sound, AbortFlag* abort, double ll, double lr, double rl,
                       double rr, int32_t begin, int32_t end);

// ---- Filters -------------------------------------------------------------------------------

/// A one-pole filter (a constant row of TheFilterTable) with the corner period time seconds
/// (rate); the further arguments go to it unchanged.
SoundUPtr FilterConstant(const Sound& sound, AbortFlag* abort, OnePoleFilterFn filter, double time,
                         double factor, int32_t countBer, int32_t countCmd, int32_t begin,
                         int32_t end);

/// A one-pole filter with the corner from a frequency envelope; it also receives SampleFreq.
SoundUPtr FilterEnvelope(const Sound& sound, AbortFlag* abort, OnePoleFilterEnvFn filter,
                         const Sound& envelope, double factor, int32_t countBer, int32_t countCmd,
                         int32_t begin, int32_t end, std::string* error = nullptr);

/// A resonance or notch filter: firstConstant picks the period time seconds (rate) over the
/// frequency envelope envelope1, secondConstant the factor second over the factor envelope
/// envelope2; the variant of filters that fits runs. An envelope is read only when chosen (it
/// may be null otherwise); the frequency-envelope variants also receive SampleFreq.
SoundUPtr FilterTwoParams(const Sound& sound, AbortFlag* abort, bool firstConstant,
                          bool secondConstant, double time, double second, const Sound* envelope1,
                          const Sound* envelope2, const ResFilters& filters, int32_t begin,
                          int32_t end, std::string* error = nullptr);

/// Constant resonances over whole sounds, made together: each result holds what
/// FilterTwoParams(sound, abort, true, true, time, factor, nullptr, nullptr,
/// TheFilterTable.resonance, 0, -1) gives, while the channels of all the sounds queued run side
/// by side (resonateSideBySide).
class ResonanceBatch
{
public:
    /// Queues the resonance of sound, held until the batch is cleared, and answers its index; -1
    /// when the call alone would be refused (a period under one value, a factor outside [0, 1]),
    /// the flag is set or the result's memory cannot be had (the box shown, the flag set). The
    /// caller then calls FilterTwoParams itself, which fails as it always did.
    int Add(SoundPtr sound, AbortFlag* abort, double time, double factor);
    /// Runs every resonance queued since the last Run; false when stopped (their results are
    /// then null).
    bool Run(AbortFlag* abort);
    /// The result of index after its Run, handed out once; null before, after a stopped Run or
    /// once taken.
    SoundUPtr Take(int index);
    /// Channels and values queued and not run yet.
    int32_t WaitingRuns() const { return waitingRuns; }
    int64_t WaitingValues() const { return waitingValues; }
    /// Forgets every resonance, run or not, and the sounds it held.
    void Clear();

private:
    struct Item
    {
        SoundPtr source;
        double per = 1.0;
        double factor = 0.0;
        WavePtr left;
        WavePtr right;
        bool waiting = true;
        bool made = false;
    };
    std::vector<Item> items;
    int32_t waitingRuns = 0;
    int64_t waitingValues = 0;
};

/// The running box average of width time seconds (rate); the range grows.
SoundUPtr FilterBlock(const Sound& sound, AbortFlag* abort, double time, int32_t* begin,
                      int32_t* end);
SoundUPtr FilterBlockEnvelope(const Sound& sound, AbortFlag* abort, const Sound& envelope,
                              double time, int32_t* begin, int32_t* end,
                              std::string* error = nullptr);

// ---- Periodic echo ---------------------------------------------------------------------------
// count echoes of the range, echo i time * i seconds (rate) later and scaled by factor^i; the
// range grows to take the echoes.

SoundUPtr PerEcho(const Sound& sound, AbortFlag* abort, double time, double factor, int32_t count,
                  int32_t* begin, int32_t* end);
SoundUPtr PerEchoFactorEnvelope(const Sound& sound, AbortFlag* abort, double time,
                                const Sound& factorEnvelope, int32_t count, int32_t* begin,
                                int32_t* end, std::string* error = nullptr);
SoundUPtr PerEchoDelayEnvelope(const Sound& sound, AbortFlag* abort, double time,
                               const Sound& delayEnvelope, double factor, int32_t count,
                               int32_t* begin, int32_t* end, std::string* error = nullptr);
SoundUPtr PerEchoEnvelopes(const Sound& sound, AbortFlag* abort, double time,
                           const Sound& delayEnvelope, const Sound& factorEnvelope, int32_t count,
                           int32_t* begin, int32_t* end, std::string* error = nullptr);

// ---- Tempo and pitch -------------------------------------------------------------------------
// blockTime in seconds (count); mode 1 cross-fades two read heads, any other mode uses one.

/// Over the whole sound.
SoundUPtr TempoPitchWhole(const Sound& sound, AbortFlag* abort, double speed, double start,
                          double lengthFactor, double step, double blockTime, int32_t mode);
SoundUPtr TempoPitch(const Sound& sound, AbortFlag* abort, double speed, double start,
                     double lengthFactor, double step, double blockTime, int32_t mode,
                     int32_t* begin, int32_t* end);
SoundUPtr TempoPitchFreqEnvelope(const Sound& sound, AbortFlag* abort, double speed, double start,
                                 double lengthFactor, double step, const Sound& freqEnvelope,
                                 double blockTime, int32_t mode, int32_t* begin, int32_t* end,
                                 std::string* error = nullptr);
SoundUPtr TempoPitchSpeedEnvelope(const Sound& sound, AbortFlag* abort, double speed,
                                  const Sound& speedEnvelope, double start, double lengthFactor,
                                  double step, double blockTime, int32_t mode, int32_t* begin,
                                  int32_t* end, std::string* error = nullptr);
SoundUPtr TempoPitchEnvelopes(const Sound& sound, AbortFlag* abort, double speed,
                              const Sound& speedEnvelope, double start, double lengthFactor,
                              double step, const Sound& freqEnvelope, double blockTime,
                              int32_t mode, int32_t* begin, int32_t* end,
                              std::string* error = nullptr);

// ---- Horizontal moves ------------------------------------------------------------------------
// The sound grows with zeros where the moved range would leave it; begin and end come back
// framing what the move covered.

/// The range moved by time seconds (rate).
SoundUPtr MoveHConstant(const MonoSound& sound, AbortFlag* abort, double time, int32_t* begin,
                        int32_t* end);
/// Each channel moved by its own time; the range comes back covering both moved ranges.
SoundUPtr MoveHConstant(const StereoSound& sound, AbortFlag* abort, double timeLeft,
                        double timeRight, int32_t* begin, int32_t* end);
/// Shifts between -maxTime and +maxTime seconds (rate), taken per value from the envelope.
SoundUPtr MoveHEnvelope(const MonoSound& sound, AbortFlag* abort, double maxTime,
                        const Sound& envelope, int32_t* begin, int32_t* end,
                        std::string* error = nullptr);
SoundUPtr MoveHEnvelope(const StereoSound& sound, AbortFlag* abort, double maxTimeLeft,
                        double maxTimeRight, const Sound& envelope, int32_t* begin, int32_t* end,
                        std::string* error = nullptr);

// ---- Balance: one channel made a stereo pair -------------------------------------------------
// The source is the sound's first channel (a stereo sound's left); the result is always a
// StereoSound, with SampleFreq as the rate of the delay and filter.

SoundUPtr BalanceConstant(const Sound& sound, AbortFlag* abort, double angle, bool delay,
                          bool volume, bool filter);
/// The angle per value from an envelope, read through GetMonoWave.
SoundUPtr BalanceEnvelope(const Sound& sound, AbortFlag* abort, const Sound& angleEnvelope,
                          bool delay, bool volume, bool filter, std::string* error = nullptr);

} // namespace kelvorn
