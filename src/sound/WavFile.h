#pragma once
// WAV files: RIFF/WAVE with PCM samples, mono or stereo, 8 or 16 bits.
//
// The writer always writes the plain 44-byte header. The reader takes what common tools write:
// a format chunk of 16 bytes or more (the extensible form too when its sub-format is PCM), and
// any chunks it does not know (fact, LIST, cue, bext, JUNK, ...) skipped by their sizes.

#include "sound/Sound.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace kelvorn {

/// The reader's message while nothing has failed.
inline constexpr const char* WaveReadNoError = "No errors occurred.";

/// The bytes of the samples a WAV file can hold: its size fields are 32-bit, and the reader
/// reads the data size as a signed number, so the writer stays within that.
constexpr int64_t MaxWaveDataBytes = INT32_MAX;

/// Reads a WAV file into a new MonoSound or StereoSound. message always receives a text:
/// WaveReadNoError, or the reason of the failure. On failure sound is left unchanged.
bool ReadWaveFile(const std::string& fileName, SoundUPtr& sound, std::string& message);

/// The same on the bytes of a file held in memory.
bool ReadWaveBytes(const uint8_t* bytes, size_t size, SoundUPtr& sound, std::string& message);

/// Writes the values [begin, end) (end -1: to the end) of each channel safely: a temporary file
/// is written, checked and renamed over fileName. On failure the old file is untouched, the
/// failure is shown under "FileError" and message receives the same text (for callers that
/// record it; they need not show it again).
bool WriteWaveFile(AbortFlag* abort, const std::string& fileName, const Sound* sound, int32_t begin,
                   int32_t end, std::string& message);

/// The 44-byte header the writer puts in front of dataBytes bytes of samples.
void MakeWaveHeader(uint8_t header[44], int16_t monoStereo, int32_t sampleFreq,
                    int16_t bytesPSample, uint32_t dataBytes);

} // namespace kelvorn
