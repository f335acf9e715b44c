#pragma once
// The grid of the volume diagram: for each time column and each frequency band, how loud the
// channel is there, scaled to about 0..1. The background writer fills it column by column while
// the panes paint it, so every cell and the count of filled columns are atomics: the writer
// publishes a column by raising Filled (release) after its cells, and a reader that loads Filled
// (acquire) sees every cell below it complete. Cells at or beyond Filled may be read at any time
// and hold 0 or a value being written, never a torn one.

#include <atomic>
#include <cstdint>
#include <memory>

namespace kelvorn {

class TVolumeArray
{
public:
    /// A grid of width columns by height bands, every cell 0, or nullptr when either size is
    /// below 1 or the cells would be more than maxVolumeCells (sizes counted in 64 bits, so no
    /// product wraps) or cannot be allocated.
    static std::unique_ptr<TVolumeArray> Create(int64_t width, int64_t height);

    TVolumeArray(const TVolumeArray&) = delete;
    TVolumeArray& operator=(const TVolumeArray&) = delete;

    int32_t GetWidth() const { return Width; }
    int32_t GetHeight() const { return Height; }

    /// Band 0 is the highest frequency. Indices are clamped into the grid: a negative one
    /// becomes 0, one at or beyond the size the last. A volume below 0 or not a number is an
    /// internal error "volume >= 0" and stores 0; a drawing never meets one.
    void SetVolume(int64_t x, int64_t y, float volume);
    float GetVolume(int64_t x, int64_t y) const;

    /// Columns written so far by the writer; may exceed the width by one at the end of a
    /// channel (the last write lands, clamped, in the last column).
    int32_t GetFilled() const { return Filled.load(std::memory_order_acquire); }
    void SetFilled(int32_t filled) { Filled.store(filled, std::memory_order_release); }

    /// Columns already handed to the panes for repainting. Only the GUI thread uses it.
    int32_t GetDrawn() const { return Drawn; }
    void SetDrawn(int32_t drawn) { Drawn = drawn; }

    /// The columns filled since the last call, as [first, end): first is Drawn, end the Filled
    /// read once; Drawn becomes end. False when nothing new was filled. GUI thread only.
    bool TakeNewColumns(int32_t& first, int32_t& end);

private:
    TVolumeArray(int32_t width, int32_t height, std::unique_ptr<std::atomic<float>[]> cells);

    int64_t Index(int64_t x, int64_t y) const;

    int32_t Width;
    int32_t Height;
    std::atomic<int32_t> Filled{0};
    int32_t Drawn = 0;
    // Column by column: the cell of column x and band y is element y + Height * x.
    std::unique_ptr<std::atomic<float>[]> Volumes;
};

} // namespace kelvorn
