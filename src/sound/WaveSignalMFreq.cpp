#include "sound/WaveSignal.h"

#include "sound/SineTable.h"
#include "sound/WavePrimitives.h"
#include "sound/WaveSampling.h"
#include "sound/WaveSignalCommon.h"

#include <algorithm>
#include <array>
#include <new>
#include <vector>

namespace kelvorn {

using namespace signal;

namespace {

struct Partial
{
    double amplitude;
    double position;
    double step;
    double decay;
};

/// A step in [0, F - 1) keeps a position inside [0, F - 1) there: one wrap at most, which is
/// an exact subtraction, and an interpolation partner that is always a value of the form
/// (weighted 0 when the position is whole). Such partials need none of the checks.
bool Steady(const Partial& p, double wrapEnd)
{
    return p.step >= 0.0 && p.step < wrapEnd && p.position >= 0.0 && p.position < wrapEnd;
}

/// A steady partial over n outputs, added to sum[]; form holds the form's values as doubles.
void RunSteady(Partial& p, double* sum, size_t n, const double* form, double wrapEnd)
{
    double a = p.amplitude;
    double pos = p.position;
    const double step = p.step;
    const double decay = p.decay;
    for (size_t i = 0; i < n; ++i) {
        const auto k = static_cast<int32_t>(pos);
        const double f = pos - k;
        const double v = (1.0 - f) * form[k] + f * form[k + 1];
        sum[i] = Trunc(v * a + sum[i]);
        a = a * decay;
        const double x = pos + step;
        pos = x >= wrapEnd ? x - wrapEnd : x;
    }
    p.amplitude = a;
    p.position = pos;
}

/// One partial over n outputs: the general rule until it is steady, then the steady loop.
void RunOne(Partial& p, double* sum, size_t n, const double* form, const int16_t* data,
            int32_t formValues, double wrapEnd)
{
    size_t i = 0;
    for (; i < n && !Steady(p, wrapEnd); ++i) {
        const double v = ReadRange(data, p.position, 0, formValues);
        sum[i] = Trunc(v * p.amplitude + sum[i]);
        p.amplitude = p.amplitude * p.decay;
        p.position = WrapInto(p.position + p.step, 0.0, wrapEnd);
    }
    if (i < n)
        RunSteady(p, sum + i, n - i, form, wrapEnd);
}

WavePtr MFreq(const Wave& w, AbortFlag* abort, int64_t length, const Wave& form, int32_t count,
              const double* amplitudes, const double* periods, const double* phases,
              const double* decays, int32_t* begin, int32_t* end)
{
    int32_t e = *end;
    if (!wavedetail::ResolveRange(w, abort, *begin, e))
        return nullptr;
    const int32_t freqCount = count;
    if (!KV_SOFT_ASSERT(freqCount > 0) ||
        !KV_SOFT_ASSERT(amplitudes && periods && phases && decays)) {
        wavedetail::Refused(abort);
        return nullptr;
    }
    const double f = form.Values();
    const double wrapEnd = f - 1.0;
    const int16_t* data = form.Data();
    const int32_t formValues = form.Values();
    // The partials' states and the form as doubles live for the call; memory that cannot be
    // had for them takes the same road as sample memory.
    std::vector<Partial> partials;
    std::vector<double> table;
    try {
        partials.resize(static_cast<size_t>(count));
        table.assign(data, data + formValues);
    } catch (const std::bad_alloc&) {
        wavedetail::MemoryFailure(abort);
        return nullptr;
    }
    for (int32_t j = 0; j < count; ++j)
        partials[static_cast<size_t>(j)] = {amplitudes[j], phases[j] * f, f / periods[j],
                                            decays[j]};
    return wavedetail::Splice(w, abort, *begin, e, length, end, [&](int16_t* o) {
        std::array<double, WaveBlock> sum{};
        return ForBlocks(abort, length, [&](int64_t at, int64_t stop) {
            const auto n = static_cast<size_t>(stop - at);
            std::fill(sum.begin(), sum.begin() + static_cast<std::ptrdiff_t>(n), 0.0);
            // Partial by partial over the block: each output still adds its partials in order,
            // and the partial's state stays in registers.
            for (Partial& p : partials)
                RunOne(p, sum.data(), n, table.data(), data, formValues, wrapEnd);
            for (size_t i = 0; i < n; ++i)
                o[at + static_cast<int64_t>(i)] = StoreSample(sum[i]);
        });
    });
}

} // namespace

WavePtr makeMFreq(const Wave& w, AbortFlag* abort, int64_t length, int32_t count,
                  const double* amplitudes, const double* periods, const double* phases,
                  const double* decays, int32_t* begin, int32_t* end)
{
    const Wave* sinus = Sinus();
    if (!KV_SOFT_ASSERT(sinus != NULL)) {
        wavedetail::Refused(abort);
        return nullptr;
    }
    return MFreq(w, abort, length, *sinus, count, amplitudes, periods, phases, decays, begin, end);
}

WavePtr makeMFreqForm(const Wave& w, AbortFlag* abort, int64_t length, const Wave* form,
                      int32_t count, const double* amplitudes, const double* periods,
                      const double* phases, const double* decays, int32_t* begin, int32_t* end,
                      std::string* error)
{
    if (!CheckNotEmpty(form, "form", error))
        return nullptr;
    // Positions wrap over [0, F - 1): a form of one value leaves nothing to wrap over.
    if (form->Values() < 2) {
        if (error)
            *error = "The form needs at least two values.";
        return nullptr;
    }
    return MFreq(w, abort, length, *form, count, amplitudes, periods, phases, decays, begin, end);
}

} // namespace kelvorn
