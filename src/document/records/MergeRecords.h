#pragma once
// The records of the commands that work on whole wave windows: split one wave into parts, and
// merge two into a new window. The main window holds them, not the wave documents; the merge
// records carry the display of the new window.

#include "document/records/RecordValues.h"
#include "document/records/WaveReference.h"
#include "document/views/VoldViewProps.h"
#include "document/views/WaveViewProps.h"

#include <cstdint>
#include <tuple>

namespace kelvorn {

class TSplitHorProps
{
public:
    enum : uint8_t { threeParts = 0, twoPartsInclusive = 1, twoPartsExclusive = 2 };

    uint8_t result = threeParts;

    auto Fields() const { return std::tie(result); }
    bool operator==(const TSplitHorProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

inline bool SameValue(const TWaveViewProps& a, const TWaveViewProps& b)
{
    return a == b;
}
inline bool SameValue(const TVoldViewProps& a, const TVoldViewProps& b)
{
    return a == b;
}

/// Which diagram a new window shows.
enum : uint8_t {
    mergeWindWave = 0,
    mergeWindVolume = 1,
};

/// Two open waves one after the other in a new window. The channels, frequency, bytes per
/// sample and window kind are 0 until a dialog's OK writes them.
class TMergeHorProps
{
public:
    unitUnitWave first;
    unitUnitWave last;
    int16_t MonoStereo = 0;
    int32_t SampleFreq = 0;
    int16_t BytesPSample = 0;
    TWaveViewProps waveViewProps;
    TVoldViewProps voldViewProps;
    uint8_t waveWindKind = mergeWindWave;

    auto Fields() const
    {
        return std::tie(first, last, MonoStereo, SampleFreq, BytesPSample, waveViewProps,
                        voldViewProps, waveWindKind);
    }
    bool operator==(const TMergeHorProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

/// Two open waves as the left and right channel of a new stereo window. The frequency, bytes
/// per sample, length rule and window kind are 0 until a dialog's OK writes them.
class TMergeVertProps
{
public:
    enum : uint8_t {
        silenceAtBegin = 0,
        silenceAtEnd = 1,
        stretchShortest = 2,
        stretchLongest = 3,
    };

    unitUnitWave left;
    unitUnitWave right;
    int32_t SampleFreq = 0;
    int16_t BytesPSample = 0;
    uint8_t makeLengthsEqual = silenceAtBegin;
    TWaveViewProps waveViewProps;
    TVoldViewProps voldViewProps;
    uint8_t waveWindKind = mergeWindWave;

    auto Fields() const
    {
        return std::tie(left, right, SampleFreq, BytesPSample, makeLengthsEqual, waveViewProps,
                        voldViewProps, waveWindKind);
    }
    bool operator==(const TMergeVertProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

} // namespace kelvorn
