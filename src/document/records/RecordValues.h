#pragma once
// Field-by-field equality of the parameter records. A value field is the same when its number,
// its display unit and (by its class) its range rule are; a wave reference when its caption is.
// A record lists its fields once, in order, through Fields(); equality walks that list.

#include "document/records/WaveReference.h"
#include "general/values/ValueUnits.h"

#include <cstddef>
#include <cstdint>
#include <tuple>
#include <utility>

namespace kelvorn {

inline bool SameValue(uint8_t a, uint8_t b)
{
    return a == b;
}
inline bool SameValue(int16_t a, int16_t b)
{
    return a == b;
}
inline bool SameValue(int32_t a, int32_t b)
{
    return a == b;
}
inline bool SameValue(double a, double b)
{
    return a == b;
}
inline bool SameValue(const unitUnitWave& a, const unitUnitWave& b)
{
    return a == b;
}
inline bool SameValue(const unitFactor& a, const unitFactor& b)
{
    return a.GetValue() == b.GetValue() && a.GetUnit() == b.GetUnit() &&
           a.GetConstraint() == b.GetConstraint();
}
inline bool SameValue(const unitInteger& a, const unitInteger& b)
{
    return a.GetValue() == b.GetValue() && a.GetUnit() == b.GetUnit() &&
           a.GetConstraint() == b.GetConstraint();
}
inline bool SameValue(const unitTime& a, const unitTime& b)
{
    return a.GetValue() == b.GetValue() && a.GetUnit() == b.GetUnit() &&
           a.GetConstraint() == b.GetConstraint();
}
inline bool SameValue(const unitWaveVal& a, const unitWaveVal& b)
{
    return a.value == b.value && a.GetUnit() == b.GetUnit() &&
           a.GetConstraint() == b.GetConstraint();
}
inline bool SameValue(const unitWavePosition& a, const unitWavePosition& b)
{
    return a.position == b.position && a.length == b.length && a.fromEnd == b.fromEnd &&
           a.GetUnit() == b.GetUnit();
}

/// True when every pair of fields of two Fields() lists is the same.
template <class... A>
bool SameFields(const std::tuple<const A&...>& a, const std::tuple<const A&...>& b)
{
    return [&]<std::size_t... I>(std::index_sequence<I...>)
    {
        return (SameValue(std::get<I>(a), std::get<I>(b)) && ...);
    }
    (std::index_sequence_for<A...>{});
}

} // namespace kelvorn
