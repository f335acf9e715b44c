// Generators: operations that replace [*begin, *end) by new values.

#include "sound/WavePrimitives.h"

#include "general/random/Random15.h"
#include "sound/SineTable.h"
#include "sound/WavePrimitivesDetail.h"

#include <algorithm>
#include <cmath>

namespace kelvorn {

using namespace wavedetail;

namespace {

/// fill(part, from, to) over the count new values in blocks.
template <class Body>
WavePtr Generate(const Wave& wave, AbortFlag* abort, int64_t count, int32_t* begin, int32_t* end,
                 Body&& body)
{
    return Splice(wave, abort, *begin, *end, count, end, [&](int16_t* part) {
        return ForBlocks(abort, count, [&](int64_t a, int64_t b) { body(part, a, b); });
    });
}

} // namespace

WavePtr makeSilence(const Wave& wave, AbortFlag* abort, int64_t length, int32_t* begin,
                    int32_t* end)
{
    if (!ResolveRange(wave, abort, *begin, *end))
        return nullptr;
    return Splice(wave, abort, *begin, *end, length, end,
                  [&](int16_t* part) { return ZeroValues(abort, part, length); });
}

WavePtr makeLine(const Wave& wave, AbortFlag* abort, int16_t from, int16_t to, int64_t length,
                 int32_t* begin, int32_t* end)
{
    if (!ResolveRange(wave, abort, *begin, *end))
        return nullptr;
    if (length == 1)
        length = 2;
    const double step =
        length > 1 ? static_cast<double>(to - from) / (static_cast<double>(length) - 1.0) : 0.0;
    double y = from;
    return Generate(wave, abort, length, begin, end, [&](int16_t* part, int64_t a, int64_t b) {
        for (int64_t k = a; k < b; ++k) {
            part[k] = StoreSample(y);
            y += step;
        }
    });
}

WavePtr makeExpLine(const Wave& wave, AbortFlag* abort, int16_t from, int16_t to, int64_t length,
                    int32_t* begin, int32_t* end)
{
    if (!ResolveRange(wave, abort, *begin, *end))
        return nullptr;
    if (!KV_SOFT_ASSERT(double(from) * to > 0)) {
        Refused(abort);
        return nullptr;
    }
    if (length == 1)
        length = 2;
    // Kept: the ratio's root is the count, not the count minus one, so the line ends one
    // factor short of `to`.
    const double ratio =
        std::pow(static_cast<double>(to) / from, 1.0 / static_cast<double>(length));
    double y = from;
    return Generate(wave, abort, length, begin, end, [&](int16_t* part, int64_t a, int64_t b) {
        for (int64_t k = a; k < b; ++k) {
            part[k] = StoreSample(y);
            y *= ratio;
        }
    });
}

WavePtr makeNoise(const Wave& wave, AbortFlag* abort, int16_t amplitude, int64_t length,
                  int32_t* begin, int32_t* end)
{
    if (!ResolveRange(wave, abort, *begin, *end))
        return nullptr;
    const double scale = amplitude / 16384.0;
    return Generate(wave, abort, length, begin, end, [&](int16_t* part, int64_t a, int64_t b) {
        for (int64_t k = a; k < b; ++k)
            part[k] = StoreSample((NextRandom15() - 16384) * scale);
    });
}

namespace {

/// One value of a block or triangle wave at phase phi.
inline int16_t BlockTriangleValue(int16_t level1, int16_t level2, double middle, double phi,
                                  bool triangle)
{
    if (!triangle)
        return phi < middle ? level1 : level2;
    if (phi < middle) {
        const double rise = middle == 0.0 ? 0.0 : (level2 - level1) / middle;
        return StoreSample(level1 + phi * rise);
    }
    const double fall = middle == 1.0 ? 0.0 : (level1 - level2) / (1.0 - middle);
    return StoreSample(level1 + (phi - 1.0) * fall);
}

template <class Middle>
WavePtr BlockTriangle(const Wave& wave, AbortFlag* abort, int16_t level1, int16_t level2,
                      double period, Middle middle, int64_t length, double startPhase,
                      bool triangle, int32_t* begin, int32_t* end)
{
    double phi = startPhase;
    const double advance = 1.0 / period;
    return Generate(wave, abort, length, begin, end, [&](int16_t* part, int64_t a, int64_t b) {
        for (int64_t k = a; k < b; ++k) {
            part[k] = BlockTriangleValue(level1, level2, middle(k), phi, triangle);
            phi = WrapRange(phi + advance, 0.0, 1.0);
        }
    });
}

} // namespace

WavePtr makeBlockTriangle(const Wave& wave, AbortFlag* abort, int16_t level1, int16_t level2,
                          double period, double middle, int64_t length, double startPhase,
                          bool triangle, int32_t* begin, int32_t* end)
{
    if (!ResolveRange(wave, abort, *begin, *end))
        return nullptr;
    if (!KV_SOFT_ASSERT(period > 0) || !KV_SOFT_ASSERT(middle >= 0) ||
        !KV_SOFT_ASSERT(middle <= 1)) {
        Refused(abort);
        return nullptr;
    }
    return BlockTriangle(
        wave, abort, level1, level2, period, [middle](int64_t) { return middle; }, length,
        startPhase, triangle, begin, end);
}

WavePtr makeBlockTriangleEnv(const Wave& wave, AbortFlag* abort, int16_t level1, int16_t level2,
                             double period, const Wave* middleEnvelope, int64_t length,
                             double startPhase, bool triangle, int32_t* begin, int32_t* end,
                             std::string* error)
{
    if (!CheckNotEmpty(middleEnvelope, "middle envelope", error))
        return nullptr;
    if (!ResolveRange(wave, abort, *begin, *end))
        return nullptr;
    if (!KV_SOFT_ASSERT(period > 0)) {
        Refused(abort);
        return nullptr;
    }
    const EnvelopeReader envelope(*middleEnvelope, static_cast<double>(length) - 1.0);
    return BlockTriangle(
        wave, abort, level1, level2, period,
        [&envelope](int64_t k) { return envelope.At(static_cast<double>(k)) / 65535.0 + 0.5; },
        length, startPhase, triangle, begin, end);
}

WavePtr makeSinus(const Wave& wave, AbortFlag* abort, int16_t top, int16_t bottom, double per,
                  double periods, double startAngle, int32_t* begin, int32_t* end)
{
    if (!ResolveRange(wave, abort, *begin, *end))
        return nullptr;
    const Wave* sinus = Sinus();
    if (!KV_SOFT_ASSERT(sinus != NULL) || !KV_SOFT_ASSERT(per > 0) ||
        !KV_SOFT_ASSERT(startAngle < 1)) {
        Refused(abort);
        return nullptr;
    }
    const int64_t length = std::max<int64_t>(1, TruncCount(periods * per));
    const double tableEnd = sinus->Values() - 1;
    const double height = top - bottom;
    const auto centre = static_cast<int16_t>(static_cast<int32_t>((top + bottom) * 0.5));
    const double advance = 1.0 / per;
    double phi = startAngle;
    return Generate(wave, abort, length, begin, end, [&](int16_t* part, int64_t a, int64_t b) {
        for (int64_t k = a; k < b; ++k) {
            const double s = ReadInterpolated(*sinus, tableEnd * phi);
            part[k] = StoreSample(s * height / 65535.0 + centre);
            phi += advance;
            if (phi >= 1.0)
                phi -= std::trunc(phi);
        }
    });
}

namespace {

/// count values of repeatForm's loop for a forward roll-out from phi in [0, 1) (0 < advance < 1);
/// the phase after them. phi then stays in [0, 1): every read lies inside the form's range, a
/// wrap subtracts exactly 1, and interpolated values are samples' values, so the reads and
/// stores need none of their checks and give the same values several times faster. The roll-out
/// of samplers spends most of its time here. Not inlined: inlined, the compiler kept the phase in
/// memory, and the store and load on the one chain of the loop cost more than the rest.
[[gnu::noinline]] double RepeatForward(int16_t* part, int64_t count, const Wave& form,
                                       int32_t beginf, double span, double advance, double phi)
{
    const int16_t* f = form.Data();
    const int32_t last = form.Values() - 1;
    for (int64_t k = 0; k < count; ++k) {
        const double p = beginf + span * phi;
        const auto i = static_cast<int32_t>(p);
        const double fraction = p - i;
        // At a fraction of 0 the neighbour adds a zero: the value is f[i] exactly.
        part[k] = StoreSmall((1.0 - fraction) * f[i] + fraction * f[std::min(i + 1, last)]);
        phi += advance;
        if (phi >= 1.0)
            phi -= 1.0;
    }
    return phi;
}

} // namespace

WavePtr repeatForm(const Wave& wave, AbortFlag* abort, const Wave* form, double per, double count,
                   double startAngle, int32_t* begin, int32_t* end, int32_t beginf, int32_t endf,
                   std::string* error)
{
    if (!CheckNotEmpty(form, "form", error))
        return nullptr;
    if (!ResolveRange(wave, abort, *begin, *end) || !ResolveRange(*form, abort, beginf, endf))
        return nullptr;
    if (beginf == endf) {
        CheckNotEmpty(nullptr, "form", error);
        return nullptr;
    }
    if (!KV_SOFT_ASSERT(per != 0)) {
        Refused(abort);
        return nullptr;
    }
    const int64_t length = TruncCount(std::fabs(per) * count);
    const double span = static_cast<double>(endf - 1 - beginf);
    const double advance = 1.0 / per;
    double phi = startAngle;
    if (advance > 0.0 && advance < 1.0 && startAngle >= 0.0 && startAngle < 1.0) {
        return Generate(wave, abort, length, begin, end, [&](int16_t* part, int64_t a, int64_t b) {
            phi = RepeatForward(part + a, b - a, *form, beginf, span, advance, phi);
        });
    }
    return Generate(wave, abort, length, begin, end, [&](int16_t* part, int64_t a, int64_t b) {
        for (int64_t k = a; k < b; ++k) {
            part[k] = StoreSample(ReadInterpolated(*form, beginf + span * phi));
            phi += advance;
            if (phi >= 1.0)
                phi -= std::trunc(phi);
            if (phi < 0.0)
                phi += std::trunc(1.0 - phi);
        }
    });
}

WavePtr rollIn(const Wave& wave, AbortFlag* abort, int64_t length, int64_t target, int32_t* begin,
               int32_t* end)
{
    if (!ResolveRange(wave, abort, *begin, *end))
        return nullptr;
    if (length < 1) {
        // Nothing to roll into: the wave stays as it is.
        WavePtr copy = NewWave(abort, wave.Values());
        if (!copy || !CopyValues(abort, copy->Data(), wave.Data(), wave.Values()))
            return nullptr;
        return copy;
    }
    if (!KV_SOFT_ASSERT(target >= 0) || !KV_SOFT_ASSERT(target < length)) {
        Refused(abort);
        return nullptr;
    }
    const int16_t* source = wave.Data() + *begin;
    const int64_t n = int64_t{*end} - *begin;
    return Splice(wave, abort, *begin, *end, length, end, [&](int16_t* part) {
        if (!ZeroValues(abort, part, length))
            return false;
        int64_t read = 0;
        int64_t write = target;
        while (read < n) {
            if (PollAbort(abort))
                return false;
            const int64_t piece = std::min({n - read, length - write, int64_t{WaveBlock}});
            for (int64_t k = 0; k < piece; ++k)
                part[write + k] = WrapSample(int32_t{part[write + k]} + source[read + k]);
            read += piece;
            write += piece;
            if (write == length)
                write = 0;
        }
        return true;
    });
}

WavePtr rollOut(const Wave& wave, AbortFlag* abort, const Wave* speedEnvelope, double lengthfactor,
                double speed, double startpos, int32_t* begin, int32_t* end, std::string* error)
{
    if (!CheckNotEmpty(speedEnvelope, "speed envelope", error))
        return nullptr;
    if (!ResolveRange(wave, abort, *begin, *end))
        return nullptr;
    if (!KV_SOFT_ASSERT(lengthfactor > 0)) {
        Refused(abort);
        return nullptr;
    }
    const int32_t first = *begin;
    const int32_t last = *end - 1;
    const double lo = first;
    const double hi = *end;
    const double n = hi - lo;
    const int64_t length = TruncCount(n * lengthfactor);
    const EnvelopeReader envelope(*speedEnvelope, 0.0);
    const double envelopeStep = (speedEnvelope->Values() - 1) / lengthfactor;
    const int16_t* source = wave.Data();
    double p = lo + n * startpos;
    return Generate(wave, abort, length, begin, end, [&](int16_t* part, int64_t a, int64_t b) {
        for (int64_t k = a; k < b; ++k) {
            const double e = envelope.AtPosition(static_cast<double>(k) * envelopeStep / n);
            p = p + e * speed / 32767.0;
            if (p >= lo)
                p -= std::trunc((p - lo) / n) * n;
            else
                p += std::trunc((lo - p) / n + 1.0) * n;
            // Rounding can leave p a hair outside the loop; never read outside it.
            if (p < lo)
                p += n;
            else if (p >= hi)
                p -= n;
            if (!(p >= lo && p < hi))
                p = lo;
            const auto i = static_cast<int32_t>(p);
            const double f = p - i;
            const int32_t j = i == last ? first : i + 1;
            part[k] = StoreSample((1.0 - f) * source[i] + f * source[j]);
        }
    });
}

} // namespace kelvorn
