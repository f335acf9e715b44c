#pragma once
// Reading waves between their values: the interpolation and envelope rules every wave
// operation shares, and the conversion of a computed real number to a stored sample.

#include "sound/Wave.h"

#include <cmath>
#include <cstdint>

namespace kelvorn {

/// A computed value stored as a sample: truncated toward zero, then only its low 16 bits kept.
/// Kept on purpose: the engine wraps rather than clamps, and files made with it depend on that.
/// Values that are not finite or beyond the 64-bit range store 0 instead of undefined results.
inline int16_t StoreSample(double x)
{
    if (!(x > -9.2e18 && x < 9.2e18))
        return 0;
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<int64_t>(x) & 0xFFFF));
}

/// Integer sum of samples, wrapped to 16 bits.
inline int16_t WrapSample(int64_t x)
{
    return static_cast<int16_t>(static_cast<uint16_t>(x & 0xFFFF));
}

/// Interpolated read at position p: outside [0, Values() - 1] gives 0, so a read one past the
/// end blends toward silence instead of touching memory that is not there.
inline double ReadInterpolated(const Wave& w, double p)
{
    if (!(p >= 0.0))
        return 0.0;
    const int32_t n = w.Values();
    if (p > static_cast<double>(n - 1)) {
        if (p < static_cast<double>(n)) {
            double f = p - static_cast<double>(n - 1);
            return (1.0 - f) * w[n - 1];
        }
        return 0.0;
    }
    const auto i = static_cast<int32_t>(p);
    const double f = p - i;
    if (f == 0.0 || i + 1 >= n)
        return w[i];
    return (1.0 - f) * w[i] + f * w[i + 1];
}

/// An envelope stretched over a processed range: the k-th of the range reads the envelope at
/// k * (E - 1) / D, D being the operation's denominator (usually the range length minus one).
/// D = 0 (a one-value range) reads position 0, and positions past the envelope's end read its
/// last value. The envelope must hold at least one value: operations refuse empty envelopes
/// before they start.
class EnvelopeReader
{
public:
    EnvelopeReader(const Wave& envelope, double denominator)
        : env(envelope), last(envelope.Values() - 1),
          scale(denominator > 0.0 ? static_cast<double>(envelope.Values() - 1) / denominator : 0.0)
    {
    }

    /// The envelope's value for the k-th value of the range.
    double At(double k) const { return AtPosition(k * scale); }

    /// The envelope's value at a position in its own values.
    double AtPosition(double p) const
    {
        if (!(p > 0.0))
            return env[0];
        if (p >= static_cast<double>(last))
            return env[last];
        const auto i = static_cast<int32_t>(p);
        const double f = p - i;
        if (f == 0.0)
            return env[i];
        return (1.0 - f) * env[i] + f * env[i + 1];
    }

    /// The step in envelope positions per value of the range.
    double Scale() const { return scale; }

private:
    const Wave& env;
    int32_t last;
    double scale;
};

} // namespace kelvorn
