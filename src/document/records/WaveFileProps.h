#pragma once
// The stored format of a wave: samples per second, channels and bytes per stored sample. A new
// wave is made with it, and a wave's format is changed to a new one given as this record.

#include <array>
#include <cstdint>

namespace kelvorn {

class TWaveFileProps
{
public:
    /// The argument order differs from the field order: channels come first.
    TWaveFileProps(int16_t monoStereo, int32_t sampleFreq, int16_t bytesPSample)
        : SampleFreq(sampleFreq), MonoStereo(monoStereo), BytesPSample(bytesPSample)
    {
    }

    bool operator==(const TWaveFileProps& other) const = default;

    /// Whether a wave can be kept in this format: a frequency above 0, 1 or 2 channels and 1 or
    /// 2 bytes per sample.
    bool IsValid() const;

    int32_t SampleFreq;
    int16_t MonoStereo;
    int16_t BytesPSample;
};

/// The sample frequencies the format lists offer, "5 kHz" to "176 kHz" (176128, not 176400:
/// kept as the list has always offered it).
constexpr std::array<int32_t, 6> kWaveFileFrequencies{5512, 11025, 22050, 44100, 88200, 176128};

/// The list item that shows sampleFreq: its index, or 0 for a frequency the list lacks.
int WaveFileFrequencyItem(int32_t sampleFreq);
/// The frequency of list item; an index outside the list (none chosen) gives current.
int32_t WaveFileFrequencyOfItem(int item, int32_t current);

} // namespace kelvorn
