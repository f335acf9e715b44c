#pragma once
// The resonator bank behind the volume diagram: one damped resonator per frequency band, run
// over every sample of a channel; each band keeps the peak of its output since the last column
// it wrote, and a column of the grid receives those peaks, scaled by 2^-15, whenever the sample
// position crosses a column boundary.
//
// The filter state is single precision and the bands are independent, so the bank runs all
// bands of a sample side by side in vector registers; the cells are exactly those of running
// the bands one after another.

#include "document/views/VolumeArray.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

namespace kelvorn {

class TVoldViewProps;

/// Samples run between two looks at the stop flag and between two reports of new columns.
inline constexpr int32_t volumeBlock = 300;

/// One band's resonator: spring coefficient and damping factor. A band that the update would
/// drive to infinity (Tr > 2 (1 + Free), which a top band of 20 kHz reaches at sample rates up
/// to about 16 kHz) or with a coefficient that is not a number is not stable and stays 0.
struct VolumeBand
{
    float Tr = 0.0f;
    float Free = 0.0f;
    bool Stable = false;
};

/// The bands of props (YResolution of them, band 0 at TimeTop) for a channel at rate samples
/// per second. Every intermediate quantity is single precision. Free[i] is taken from the next
/// band's period, not the one Tr[i] uses: the diagrams users know were made that way.
std::vector<VolumeBand> ComputeVolumeBands(const TVoldViewProps& props, int32_t rate);

/// The column that the sample at index (0-based) of a channel of count samples writes into a
/// grid of width columns: trunc(-1 + (index + 1) (width + 1) / count), computed exactly in
/// integers, so a long wave's columns do not drift. It may be width for the last samples (the
/// write is clamped into the last column). The step (width + 1) / count is the writer's own;
/// the drawing maps column x to sample x * count / width.
int64_t VolumeColumnOfSample(int64_t index, int64_t count, int32_t width);

/// The first sample index after index whose column is greater than that of index (count when
/// there is none).
int64_t NextVolumeColumnSample(int64_t index, int64_t count, int32_t width);

/// The machine code the bank runs: plain vectors any processor has, or those of AVX2 or
/// AVX-512. The best one the processor has is used; every one gives the same cells.
enum class VolumeKernel { Baseline, Avx2, Avx512 };
/// Test and benchmark hook: runs every bank from now on with kernel. False (nothing changed)
/// when the processor lacks it.
bool UseVolumeKernel(VolumeKernel kernel);
void UseBestVolumeKernel();

/// The resonator bank over one channel, run once from the channel's first sample.
class VolumeBank
{
public:
    explicit VolumeBank(const std::vector<VolumeBand>& bands);
    // The arrays point into the bank's own storage.
    VolumeBank(const VolumeBank&) = delete;
    VolumeBank& operator=(const VolumeBank&) = delete;

    int32_t Bands() const { return bands; }

    /// Runs the samples [0, count) of samples into grid, whose height must equal Bands(). After
    /// each block of volumeBlock samples (fewer for a bank of more than 64 bands) the new
    /// columns [first, end) are reported, if any, and stop is looked at; a set stop ends the
    /// run before the next block. True when every sample ran.
    bool Run(const int16_t* samples, int64_t count, TVolumeArray& grid,
             const std::atomic<bool>& stop,
             const std::function<void(int32_t first, int32_t end)>& report);

    /// Runs samples [0, count) through every band, updating the state and the peaks.
    void Resonate(const int16_t* samples, int64_t count);
    /// The peak of band i since the last TakePeak, already truncated toward zero (0 for an
    /// unstable band or a value that is not finite), and resets it.
    float TakePeak(int32_t i);

private:
    int32_t bands = 0;
    int32_t lanes = 0; // bands rounded up to whole vectors; the extra lanes run neutral bands
    // One array per quantity, lanes long, all in one block.
    std::vector<float> storage;
    float* value = nullptr;
    float* speed = nullptr;
    float* peak = nullptr;
    float* tr = nullptr;
    float* free = nullptr;
    float* gain = nullptr; // 1 - free
    std::vector<uint8_t> stable;
};

} // namespace kelvorn
