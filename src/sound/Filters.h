#pragma once
// Filters on a range of a wave: the one-pole low pass and its high-pass complement, the
// resonator and its notch complement, and the moving-average block filter. Each returns a new
// wave in which [begin, end) is filtered and the rest copied unchanged.
//
// Shared rules (see WaveSignal.h): end -1 stands for the whole rest; the abort flag is polled
// before every block of at most 1000 values and a stopped call gives nullptr; stores truncate
// toward zero and keep their low 16 bits. Memory failures, broken preconditions and empty
// envelopes fail as the signal operations do.
//
// Periods ("time", "per") are in values. A frequency envelope value v stands for
// 20 * 10^((v + 32768) / 21845) Hz, turned into a period by the sample rate; a factor envelope
// value v stands for (v + 32768) / 65536. Envelopes are stretched over the range with
// D = end - begin - 1 and read again from their start for every pass.

#include "sound/Wave.h"

#include <cstdint>
#include <string>

namespace kelvorn {

// ---- One-pole low and high pass ----------------------------------------------------------------

/// Low pass with the corner period time: factor is the attenuation that countBer passes give at
/// the corner; countCmd passes are run, each over the previous one's stored values. A corner
/// so short that the coefficient would be negative passes the input unchanged.
WavePtr lowFilter(const Wave& w, AbortFlag* abort, double time, double factor, int32_t countBer,
                  int32_t countCmd, int32_t begin, int32_t end);

/// The complement of lowFilter: each pass stores the input minus the low-pass value.
WavePtr highFilter(const Wave& w, AbortFlag* abort, double time, double factor, int32_t countBer,
                   int32_t countCmd, int32_t begin, int32_t end);

/// lowFilter with the corner frequency taken per value from a frequency envelope.
WavePtr lowFilterEnv(const Wave& w, AbortFlag* abort, const Wave* freqEnvelope, double factor,
                     int32_t countBer, int32_t countCmd, int32_t rate, int32_t begin, int32_t end,
                     std::string* error = nullptr);

/// highFilter with the corner frequency taken per value from a frequency envelope.
WavePtr highFilterEnv(const Wave& w, AbortFlag* abort, const Wave* freqEnvelope, double factor,
                      int32_t countBer, int32_t countCmd, int32_t rate, int32_t begin, int32_t end,
                      std::string* error = nullptr);

// ---- Resonance and notch -----------------------------------------------------------------------
// A damped oscillator that turns once per period per: factor 1 passes the input through the
// resonance (the notch gives silence), factor 0 never feeds the input in (the resonance gives
// silence, the notch the input). Needs per >= 1 and factor in [0, 1].

WavePtr resFilter(const Wave& w, AbortFlag* abort, double per, double factor, int32_t begin,
                  int32_t end);
/// The period from a frequency envelope; this variant runs 20 finer steps per value.
WavePtr resFilter(const Wave& w, AbortFlag* abort, const Wave* freqEnvelope, double factor,
                  int32_t rate, int32_t begin, int32_t end, std::string* error = nullptr);
/// The factor from a factor envelope.
WavePtr resFilter(const Wave& w, AbortFlag* abort, double per, const Wave* factorEnvelope,
                  int32_t begin, int32_t end, std::string* error = nullptr);
/// Both from envelopes.
WavePtr resFilter(const Wave& w, AbortFlag* abort, const Wave* freqEnvelope,
                  const Wave* factorEnvelope, int32_t rate, int32_t begin, int32_t end,
                  std::string* error = nullptr);

/// The notch stores the input minus the resonator, in the same four variants.
WavePtr notchFilter(const Wave& w, AbortFlag* abort, double per, double factor, int32_t begin,
                    int32_t end);
WavePtr notchFilter(const Wave& w, AbortFlag* abort, const Wave* freqEnvelope, double factor,
                    int32_t rate, int32_t begin, int32_t end, std::string* error = nullptr);
WavePtr notchFilter(const Wave& w, AbortFlag* abort, double per, const Wave* factorEnvelope,
                    int32_t begin, int32_t end, std::string* error = nullptr);
WavePtr notchFilter(const Wave& w, AbortFlag* abort, const Wave* freqEnvelope,
                    const Wave* factorEnvelope, int32_t rate, int32_t begin, int32_t end,
                    std::string* error = nullptr);

// ---- Several resonances side by side ------------------------------------------------------------

/// One run of values for the constant resonance: count values from in resonated into out.
struct ResonanceRun
{
    const int16_t* in = nullptr;
    int16_t* out = nullptr;
    int64_t count = 0;
    double per = 1.0;
    double factor = 0.0;
};

/// Every run's values exactly as resFilter(w, abort, per, factor, 0, -1) gives them, several
/// runs at once. One resonance is a chain of dependent steps that leaves most of the
/// processor's arithmetic idle; independent runs side by side, each doing the same operations
/// in the same order as alone, keep it busy. Every run needs per >= 1 and factor in [0, 1]
/// (the caller checks them, as resFilter would). The flag is polled before every block of at
/// most WaveBlock values; false when stopped, with the outputs partly written.
bool resonateSideBySide(AbortFlag* abort, const ResonanceRun* runs, size_t count);

/// The machine code the runs side by side use: plain vectors any processor has, or those of
/// AVX2, used when the processor has it. Both give the same values.
enum class ResonanceKernel { Baseline, Avx2 };
/// Test and benchmark hook: runs every resonance side by side with kernel from now on. False
/// (nothing changed) when the processor lacks it.
bool UseResonanceKernel(ResonanceKernel kernel);
void UseBestResonanceKernel();

// ---- Block filter ------------------------------------------------------------------------------

/// A running box average of width w values, halved (kept: waves made earlier depend on the
/// level). The range grows by |w| truncated + 1 values and *end moves by that count. A width of
/// 0 leaves the wave unchanged.
WavePtr blockFilter(const Wave& w, AbortFlag* abort, double width, int32_t* begin, int32_t* end);

/// The block filter with the width per value taken as envelope * width / 32767; widths within
/// [-1, 1] take the source value as it is. The range grows by 2 * (|width| + 1) truncated values.
WavePtr blockFilterEnv(const Wave& w, AbortFlag* abort, double width, const Wave* envelope,
                       int32_t* begin, int32_t* end, std::string* error = nullptr);

// ---- The filter table --------------------------------------------------------------------------
// The Sound operations pick their kernel from this table; the row order (high, low, resonance,
// notch) is the one the factory's builtin filters copy.

using OnePoleFilterFn = WavePtr (*)(const Wave&, AbortFlag*, double time, double factor,
                                    int32_t countBer, int32_t countCmd, int32_t begin, int32_t end);
using OnePoleFilterEnvFn = WavePtr (*)(const Wave&, AbortFlag*, const Wave* freqEnvelope,
                                       double factor, int32_t countBer, int32_t countCmd,
                                       int32_t rate, int32_t begin, int32_t end,
                                       std::string* error);
using ResFilterFn = WavePtr (*)(const Wave&, AbortFlag*, double per, double factor, int32_t begin,
                                int32_t end);
using ResFilterFreqEnvFn = WavePtr (*)(const Wave&, AbortFlag*, const Wave* freqEnvelope,
                                       double factor, int32_t rate, int32_t begin, int32_t end,
                                       std::string* error);
using ResFilterFactorEnvFn = WavePtr (*)(const Wave&, AbortFlag*, double per,
                                         const Wave* factorEnvelope, int32_t begin, int32_t end,
                                         std::string* error);
using ResFilterEnvsFn = WavePtr (*)(const Wave&, AbortFlag*, const Wave* freqEnvelope,
                                    const Wave* factorEnvelope, int32_t rate, int32_t begin,
                                    int32_t end, std::string* error);

struct OnePoleFilters
{
    OnePoleFilterFn constant;
    OnePoleFilterEnvFn envelope;
};

struct ResFilters
{
    ResFilterFn constant;
    ResFilterFreqEnvFn freqEnvelope;
    ResFilterFactorEnvFn factorEnvelope;
    ResFilterEnvsFn bothEnvelopes;
};

/// Rows 0-1 high pass, 2-3 low pass, 4-7 resonance, 8-11 notch.
struct FilterTable
{
    OnePoleFilters high;
    OnePoleFilters low;
    ResFilters resonance;
    ResFilters notch;
};

extern const FilterTable TheFilterTable;

} // namespace kelvorn
