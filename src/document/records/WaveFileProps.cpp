#include "document/records/WaveFileProps.h"

#include <cstddef>

namespace kelvorn {

bool TWaveFileProps::IsValid() const
{
    return SampleFreq > 0 && (MonoStereo == 1 || MonoStereo == 2) &&
           (BytesPSample == 1 || BytesPSample == 2);
}

int WaveFileFrequencyItem(int32_t sampleFreq)
{
    for (size_t item = 0; item < kWaveFileFrequencies.size(); ++item)
        if (kWaveFileFrequencies[item] == sampleFreq)
            return static_cast<int>(item);
    return 0;
}

int32_t WaveFileFrequencyOfItem(int item, int32_t current)
{
    if (item < 0 || item >= static_cast<int>(kWaveFileFrequencies.size()))
        return current;
    return kWaveFileFrequencies[static_cast<size_t>(item)];
}

} // namespace kelvorn
