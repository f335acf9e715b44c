#pragma once
// WAV files: RIFF/WAVE with PCM samples, mono or stereo, 8 or 16 bits.
//
// The writer always writes the plain 44-byte header. The reader takes what common tools write:
// a format chunk of 16 bytes or more (the extensible form too when its sub-format is PCM), and
// any chunks it does not know (fact, LIST, cue, bext, JUNK, ...) skipped by their sizes.

#include "general/Memory.h"
#include "sound/Sound.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kelvorn {

/// The reader's message while nothing has failed.
inline constexpr const char* WaveReadNoError = "No errors occurred.";

/// The bytes of the samples a WAV file can hold: its sizes are unsigned 32-bit numbers, and the
/// "RIFF" size counts the 36 header bytes behind it too.
constexpr int64_t MaxWaveDataBytes = int64_t{UINT32_MAX} - 36;

/// The most sample frames of monoStereo channels of bytesPSample bytes that both a WAV file and
/// one wave hold: what the writer writes at most and the reader can read back.
constexpr int64_t MaxWaveFileFrames(int16_t monoStereo, int16_t bytesPSample)
{
    const int64_t frameBytes = int64_t{monoStereo} * bytesPSample;
    return frameBytes > 0 ? std::min(MaxWaveDataBytes / frameBytes, MaxWaveValues) : 0;
}

/// What the reader took of the samples a file announces. A damaged file (cut short, or with a
/// wrong "data" size) announces more than it holds; the reader keeps the frames it holds.
struct WaveReadCounts
{
    int64_t framesRead = 0;    ///< sample frames taken from the file
    int64_t framesClaimed = 0; ///< sample frames the size of the "data" chunk announces
    bool Damaged() const { return framesRead < framesClaimed; }
};

/// The warning for a damaged file: "The file is damaged: only 1477 of the 4410 sample frames
/// its header announces were read."
std::string WaveDamagedText(const WaveReadCounts& counts);

/// Reads a WAV file into a new MonoSound or StereoSound. message always receives a text:
/// WaveReadNoError, or the reason of the failure. On failure sound is left unchanged. counts,
/// when given, receives how many frames were read of those announced (both 0 on failure); a
/// damaged file succeeds with the frames it holds, so callers warn with WaveDamagedText.
/// A pipe or device is read into memory up to what one wave holds; beyond that, or when the
/// memory cannot be had, the reader fails with its memory message.
bool ReadWaveFile(const std::string& fileName, SoundUPtr& sound, std::string& message,
                  WaveReadCounts* counts = nullptr);

/// The same on the bytes of a file held in memory.
bool ReadWaveBytes(const uint8_t* bytes, size_t size, SoundUPtr& sound, std::string& message,
                   WaveReadCounts* counts = nullptr);

/// Writes the values [begin, end) (end -1: to the end) of each channel safely: a temporary file
/// is written, checked and renamed over fileName. On failure the old file is untouched, the
/// failure is shown under "FileError" and message receives the same text (for callers that
/// record it; they need not show it again).
bool WriteWaveFile(AbortFlag* abort, const std::string& fileName, const Sound* sound, int32_t begin,
                   int32_t end, std::string& message);
/// The whole sound written as WriteWaveFile writes it, with no box: message alone tells the
/// failure, for a caller that hands it on to be shown once (the audio device's take).
bool WriteWaveFileQuietly(const std::string& fileName, const Sound* sound, std::string& message);

/// The 44-byte header the writer puts in front of dataBytes bytes of samples.
void MakeWaveHeader(uint8_t header[44], int16_t monoStereo, int32_t sampleFreq,
                    int16_t bytesPSample, uint32_t dataBytes);

} // namespace kelvorn
