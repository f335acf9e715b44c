#pragma once
// The parameter records of the wave generators: silence, line, noise, blocks and triangles,
// sines. Fields whose label is a frequency hold a period in seconds shown in kHz.

#include "document/records/RecordValues.h"
#include "document/records/WaveReference.h"
#include "general/values/ValueUnits.h"

#include <cstdint>
#include <string>
#include <tuple>

namespace kelvorn {

class TSilenceProps
{
public:
    unitTimePosMore length{0.1, EHMS};

    auto Fields() const { return std::tie(length); }
    bool operator==(const TSilenceProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

class TLineProps
{
public:
    enum : uint8_t { kindLinear = 0, kindExponential = 1 };

    uint8_t kind = kindLinear;
    unitWaveVal beginValue{16383, EHPerc};
    unitWaveVal endValue{-16384, EHPerc}; // -16384, not -16383: kept as the line has always been
    unitTimePosMore length{0.1, EHMS};

    /// The dialog's check after the end value: an exponential line whose begin times end value
    /// is not above 0 is refused with "Exponential Line may not contain value 0.".
    bool CheckExponential(std::string& message) const;

    auto Fields() const { return std::tie(kind, beginValue, endValue, length); }
    bool operator==(const TLineProps& other) const { return SameFields(Fields(), other.Fields()); }
};

class TNoiseProps
{
public:
    unitWaveVal volume{16383, EHPerc};
    unitTimePosMore length{0.5, EHMS};

    auto Fields() const { return std::tie(volume, length); }
    bool operator==(const TNoiseProps& other) const { return SameFields(Fields(), other.Fields()); }
};

/// The horizontal kinds of blocks and triangles.
enum : uint8_t {
    bloTriFrequency = 0,
    bloTriTime = 1,
};

class TBlockTriangleProps
{
public:
    enum : uint8_t { middleKindConstant = 0, middleKindEnvelope = 1 };
    enum : uint8_t { lengthNew = 0, lengthSameAs = 1, lengthCount = 2 };

    unitWaveVal height1{16383, EHPerc};
    unitWaveVal height2{-16383, EHPerc};
    uint8_t BloTriHorKind = bloTriFrequency;
    unitTimePosMore period{0.001, EHKHZ};
    uint8_t middleKind = middleKindConstant;
    unitAngleFactorMin1Pos1 middle{0.5, EHPerc};
    unitUnitWave middleEnvelope;
    unitTimePosMore time1{0.005, EHMS};
    unitTimePosMore time2{0.005, EHMS};
    uint8_t lengthKind = lengthNew;
    unitTimePosMore newLength{1.0, EHS};
    unitUnitWave sameLengthAs;
    unitFactorPosMore count{10.0, EHNone};
    unitAngleFactorMin1Pos1 startPosition{0.0, EHNone};

    /// True for the frequency kind with the middle taken from an envelope.
    bool HasMiddleEnvelope() const;
    /// Seconds of one period: the period field for the frequency kind, time 1 + time 2 for the
    /// time kind.
    double GetPeriod() const;
    /// Requires !HasMiddleEnvelope() (assertion box, then goes on): the middle for the
    /// frequency kind; time 1 / (time 1 + time 2) otherwise (assertion box for a kind other than
    /// the time kind).
    double GetMiddleFraction() const;
    /// Seconds to make: the new length; the same-as wave's length; count × GetPeriod(); any
    /// other kind 0.
    double GetLength() const;

    auto Fields() const
    {
        return std::tie(height1, height2, BloTriHorKind, period, middleKind, middle, middleEnvelope,
                        time1, time2, lengthKind, newLength, sameLengthAs, count, startPosition);
    }
    bool operator==(const TBlockTriangleProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

class TSinusProps
{
public:
    enum : uint8_t { lengthTime = 0, lengthCount = 1 };

    uint8_t lengthKind = lengthTime;
    unitWaveVal amplitude{16383, EHPerc};
    unitTimePosMore period{0.001, EHKHZ};
    unitAngleFactorMin1Pos1 startPhase{0.0, EHAngle};
    unitTimePosMore length{0.5, EHMS};
    unitFactorPosMore count{500.0, EHNone};

    /// Seconds to make: the length for the length kind, else count × period.
    double GetLength() const;

    auto Fields() const
    {
        return std::tie(lengthKind, amplitude, period, startPhase, length, count);
    }
    bool operator==(const TSinusProps& other) const { return SameFields(Fields(), other.Fields()); }
};

} // namespace kelvorn
