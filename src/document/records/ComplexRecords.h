#pragma once
// The parameter records of the changes that involve both channels, echoes, tempo and pitch, or
// filtering. Fields whose label is a frequency hold a period in seconds shown in kHz.

#include "document/records/OperationRecords.h"
#include "document/records/RecordValues.h"
#include "document/records/WaveReference.h"
#include "general/values/ValueUnits.h"

#include <array>
#include <cstdint>
#include <string>
#include <tuple>

namespace kelvorn {

/// One example of Mix Left Right: its name and the four shares it sets.
struct LeftRightExample
{
    const char* text;
    double leftToLeft;
    double leftToRight;
    double rightToLeft;
    double rightToRight;
};

/// The examples in list order, "Normal" first.
extern const std::array<LeftRightExample, 8> kLeftRightExamples;

class TLeftRightProps
{
public:
    unitFactor leftToLeft{1.0, EHPerc};
    unitFactor leftToRight{0.0, EHPerc};
    unitFactor rightToLeft{0.0, EHPerc};
    unitFactor rightToRight{1.0, EHPerc};

    /// Sets the four shares to example item, keeping their display units. Any item outside the
    /// list (-1: none chosen) changes nothing and answers false.
    bool SetExample(int item);

    auto Fields() const { return std::tie(leftToLeft, leftToRight, rightToLeft, rightToRight); }
    bool operator==(const TLeftRightProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

/// How a balance or an echo's balance treats the far channel.
enum : uint8_t {
    volumeDifferenceNone = 0,
    volumeDifferenceVolume = 1,
    volumeDifferenceFilter = 2,
};

class TBalanceProps
{
public:
    enum : uint8_t { directionKindConstant = 0, directionKindEnvelope = 1 };

    uint8_t directionKind = directionKindConstant;
    unitBalAngleFactor direction{0.0, EHAngle};
    unitUnitWave directionEnvelope;
    uint8_t timeDifference = 1;
    uint8_t volumeDifference = volumeDifferenceVolume;

    auto Fields() const
    {
        return std::tie(directionKind, direction, directionEnvelope, timeDifference,
                        volumeDifference);
    }
    bool operator==(const TBalanceProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

class TPerEchoProps
{
public:
    enum : uint8_t { volumeKindConstant = 0, volumeKindEnvelope = 1 };

    unitTime time{0.01, EHMS};
    uint8_t timeEnvelopeFlag = 0;
    unitUnitWave timeEnvelope;
    uint8_t volumeKind = volumeKindConstant;
    unitUnitWave volumeEnvelope;
    unitFactor volume{1.0, EHPerc};
    unitIntegerPosMore count{1, EHNone};

    auto Fields() const
    {
        return std::tie(time, timeEnvelopeFlag, timeEnvelope, volumeKind, volumeEnvelope, volume,
                        count);
    }
    bool operator==(const TPerEchoProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

/// One manipulation of Random Echo: how it changes the echoes, the envelope its random values
/// follow, and the die (0 to 5) that throws them.
class TEchoManip
{
public:
    TEchoManip() = default;
    explicit TEchoManip(int32_t die) : source(die) {}

    uint8_t kind = 0;
    unitUnitWave envelope;
    int32_t source = 0;

    auto Fields() const { return std::tie(kind, envelope, source); }
    bool operator==(const TEchoManip& other) const { return SameFields(Fields(), other.Fields()); }
};

inline bool SameValue(const TEchoManip& a, const TEchoManip& b)
{
    return a == b;
}

class TRandomEchoProps
{
public:
    /// Time: 0 linear, 1 random envelope. Length, pitch, tempo: 0 no change, 1 random
    /// envelope. Volume, balance: 0 no change, 1 linear, 2 random envelope.
    enum : uint8_t { manipNoChange = 0, manipLinear = 1 };
    enum : uint8_t { timeLinear = 0, timeEnvelope = 1 };
    enum : uint8_t { qualityLow = 0, qualityHigh = 1 };

    int32_t activeTab = 0;
    unitIntegerPosMore count{20, EHNone};
    uint8_t cyclable = 0;
    unitInteger randomSeed{0, EHNone};
    unitTimePosMore timeDifference{1.0, EHMS};
    TEchoManip time{0};
    TEchoManip volume{1};
    TEchoManip length{2};
    TEchoManip balance{3};
    uint8_t balanceVolumeDifference = volumeDifferenceVolume;
    uint8_t balanceTimeDifference = 1;
    unitFactor frequencyFactor{2.0, EHNone};
    TEchoManip pitch{4};
    TEchoManip tempo{5};
    uint8_t quality = qualityLow;
    unitTimePosMore blockSize{0.04, EHMS};

    auto Fields() const
    {
        return std::tie(activeTab, count, cyclable, randomSeed, timeDifference, time, volume,
                        length, balance, balanceVolumeDifference, balanceTimeDifference,
                        frequencyFactor, pitch, tempo, quality, blockSize);
    }
    bool operator==(const TRandomEchoProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

class TTempoPitchProps
{
public:
    enum : uint8_t { qualityLow = 0, qualityHigh = 1 };

    /// Seconds of the range the operation will work on; the command sets it in the copy it hands
    /// to the dialog. 0 until then.
    double currentLength = 0.0;
    unitFactorNotNul frequencyFactor{1.0, EHPerc};
    uint8_t frequencyEnvelopeFlag = 0;
    unitUnitWave frequencyEnvelope;
    unitFactorNotNul speedFactor{1.0, EHPerc};
    uint8_t speedEnvelopeFlag = 0;
    unitUnitWave speedEnvelope;
    uint8_t lengthKind = lengthKindFactor;
    unitFactorPosMore lengthFactor{1.0, EHPerc};
    unitTimePosMore newLength{2.0, EHS};
    unitUnitWave sameLengthAs;
    unitFactorPosMore count{3.0, EHNone};
    unitWavePosition startPosition{0.0, EHPerc, false};
    uint8_t quality = qualityLow;
    unitTimePosMore blockSize{0.04, EHMS};

    /// As TRollOutProps::GetLengthFactor.
    double GetLengthFactor() const;

    auto Fields() const
    {
        return std::tie(currentLength, frequencyFactor, frequencyEnvelopeFlag, frequencyEnvelope,
                        speedFactor, speedEnvelopeFlag, speedEnvelope, lengthKind, lengthFactor,
                        newLength, sameLengthAs, count, startPosition, quality, blockSize);
    }
    bool operator==(const TTempoPitchProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

/// The constant-or-envelope choice of the filters.
enum : uint8_t {
    filterConstant = 0,
    filterEnvelope = 1,
};

/// Resonant and notch filters.
class TResNotchProps
{
public:
    uint8_t frequencyKind = filterConstant;
    unitUnitWave frequencyEnvelope;
    unitTimePosMore frequency{0.001, EHKHZ};
    uint8_t widthKind = filterConstant;
    unitUnitWave widthEnvelope;
    unitFactorPosMax1 width{0.25, EHNone};

    auto Fields() const
    {
        return std::tie(frequencyKind, frequencyEnvelope, frequency, widthKind, widthEnvelope,
                        width);
    }
    bool operator==(const TResNotchProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

/// High and low filters.
class THighLowProps
{
public:
    uint8_t frequencyKind = filterConstant;
    unitUnitWave frequencyEnvelope;
    unitTimePosMore frequency{0.001, EHKHZ};
    unitFactorPosMoreLess1 factor{0.5, EHPerc};
    unitIntegerPosMore count{1, EHNone};
    uint8_t maximizeVolume = 0;

    auto Fields() const
    {
        return std::tie(frequencyKind, frequencyEnvelope, frequency, factor, count, maximizeVolume);
    }
    bool operator==(const THighLowProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

class TBlockFilterProps
{
public:
    uint8_t envelopeFlag = 0;
    unitUnitWave envelope;
    unitTime blockTime{0.01, EHMS};

    auto Fields() const { return std::tie(envelopeFlag, envelope, blockTime); }
    bool operator==(const TBlockFilterProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

} // namespace kelvorn
