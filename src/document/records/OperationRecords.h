#pragma once
// The parameter records of the simple wave changes: volume, rotate, block, roll in and out,
// change length, the vertical and horizontal moves, distortion and the mix placement. A wave
// document keeps one of each and the main window one more, last-used set; a dialog edits a copy
// and the document's operation reads the fields and the derived values below. Records are never
// written to files. A choice byte takes the values 0, 1, 2, ... of its alternatives in the order
// listed; a flag byte is 0 or 1.

#include "document/records/RecordValues.h"
#include "document/records/WaveReference.h"
#include "general/values/ValueUnits.h"

#include <cstdint>
#include <string>
#include <tuple>

namespace kelvorn {

/// The length kinds of Roll out, Change Length and Pitch Tempo.
enum : uint8_t {
    lengthKindFactor = 0,
    lengthKindNew = 1,
    lengthKindSameAs = 2,
    lengthKindCount = 3, // Roll out and Pitch Tempo only
};

class TVolumeProps
{
public:
    enum : uint8_t { kindConstant = 0, kindEnvelope = 1 };

    uint8_t kind = kindConstant;
    unitUnitWave envelope;
    unitFactor factor{0.5, EHPerc};

    auto Fields() const { return std::tie(kind, envelope, factor); }
    bool operator==(const TVolumeProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

class TRotateProps
{
public:
    enum : uint8_t { directionLeft = 0, directionRight = 1 };
    enum : uint8_t { kindTime = 0, kindFactor = 1 };

    uint8_t direction = directionLeft;
    uint8_t kind = kindFactor;
    unitAngleFactorMin1Pos1 factor{0.1, EHNone};
    unitTime time{0.1, EHS};

    /// The shift in seconds for a range of length seconds: factor × length or the time, taken
    /// from the end for a shift to the right, clipped to 0 .. length.
    double GetShiftTime(double length) const;
    /// The dialog's last check: false with "In Time: Time may not be longer than the time of the
    /// sound." when |time| exceeds rangeTime, whatever the kind.
    bool CheckTime(double rangeTime, std::string& message) const;

    auto Fields() const { return std::tie(direction, kind, factor, time); }
    bool operator==(const TRotateProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

class TBlockProps
{
public:
    enum : uint8_t { horKindNoChange = 0, horKindCount = 1, horKindTime = 2 };
    enum : uint8_t { vertKindNoChange = 0, vertKindCount = 1, vertKindHeight = 2 };

    uint8_t horKind = horKindNoChange;
    uint8_t vertKind = vertKindNoChange;
    unitIntegerPosMore horCount{20, EHNone};
    unitIntegerPosMore vertCount{20, EHNone};
    unitTimePosMore horTime{0.01, EHMS};
    unitWaveValPosMore height{3277, EHPerc};

    /// Seconds per block for a range of length seconds: the time for the time kind, else
    /// length / the horizontal count (0 for a count that is not above 0).
    double GetHorBlockTime(double length) const;
    /// Levels: the vertical count for the count kind, else 65572 / height in integer division
    /// (0 for a height that is not above 0).
    int32_t GetVertBlockCount() const;

    auto Fields() const
    {
        return std::tie(horKind, vertKind, horCount, vertCount, horTime, height);
    }
    bool operator==(const TBlockProps& other) const { return SameFields(Fields(), other.Fields()); }
};

class TRollInProps
{
public:
    enum : uint8_t { placeStart = 0, placeEnd = 1 };

    uint8_t placement = placeStart;
    unitTimePosMore length{1.0, EHS};
    /// Positions inside the roll-in length; the dialog gives them that length.
    unitWavePosition startAt{0.0, EHPerc, false};
    unitWavePosition endAt{0.0, EHPerc, false};

    auto Fields() const { return std::tie(placement, length, startAt, endAt); }
    bool operator==(const TRollInProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

class TRollOutProps
{
public:
    /// Seconds of the range the operation will work on; the command sets it in the copy it hands
    /// to the dialog. 0 until then.
    double currentLength = 0.0;
    unitFactorNotNul speedFactor{1.0, EHPerc};
    uint8_t speedEnvelopeFlag = 0;
    unitUnitWave speedEnvelope;
    uint8_t lengthKind = lengthKindFactor;
    unitFactorPosMore lengthFactor{1.0, EHPerc};
    unitTimePosMore newLength{2.0, EHS};
    unitUnitWave sameLengthAs;
    unitFactorPosMore count{3.0, EHNone};
    unitWavePosition startPosition{0.0, EHPerc, false};

    /// By length kind: the factor; new length / current length; the same-as wave's seconds /
    /// current length; count / |speed factor|; any other kind 0.
    double GetLengthFactor() const;

    auto Fields() const
    {
        return std::tie(currentLength, speedFactor, speedEnvelopeFlag, speedEnvelope, lengthKind,
                        lengthFactor, newLength, sameLengthAs, count, startPosition);
    }
    bool operator==(const TRollOutProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

class TLengthProps
{
public:
    uint8_t lengthKind = lengthKindFactor;
    unitFactor lengthFactor{0.5, EHPerc};
    unitTimePosMore newLength{2.0, EHS};
    unitUnitWave sameLengthAs;

    /// By length kind, for a range of currentLength seconds: the factor; new length / current
    /// length; the same-as wave's seconds / current length; any other kind (count included) 0.
    double GetLengthFactor(double currentLength) const;

    auto Fields() const { return std::tie(lengthKind, lengthFactor, newLength, sameLengthAs); }
    bool operator==(const TLengthProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

class TUpProps
{
public:
    unitWaveVal add{16383, EHPerc};

    auto Fields() const { return std::tie(add); }
    bool operator==(const TUpProps& other) const { return SameFields(Fields(), other.Fields()); }
};

class TShiftProps
{
public:
    unitTime middle{0.0, EHMS};
    unitTime left{0.0, EHMS};
    unitTime right{0.0, EHMS};
    uint8_t envelopeFlag = 0;
    unitUnitWave envelope;

    auto Fields() const { return std::tie(middle, left, right, envelopeFlag, envelope); }
    bool operator==(const TShiftProps& other) const { return SameFields(Fields(), other.Fields()); }
};

class TDistortProps
{
public:
    unitUnitWave envelope;

    auto Fields() const { return std::tie(envelope); }
    bool operator==(const TDistortProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

class TMixProps
{
public:
    enum : uint8_t { alignBegin = 0, alignEnd = 1, stretch = 2 };

    uint8_t placement = alignBegin;

    auto Fields() const { return std::tie(placement); }
    bool operator==(const TMixProps& other) const { return SameFields(Fields(), other.Fields()); }
};

/// The seconds of the wave a same-length-as reference names; 0 (after the assertion box of
/// GetSound) when no document was read into it.
double ReferencedLength(const unitUnitWave& reference);

} // namespace kelvorn
