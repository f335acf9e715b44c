// Hostile WAV files: the reader never crashes, allocates at most a small multiple of the file's
// size, fails always with a message, and what it accepts is a sound the writer writes and the
// reader reads back unchanged.
#include "general/Messages.h"
#include "general/Services.h"
#include "sound/Sound.h"
#include "sound/WavFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace kelvorn;

namespace {

// Any box means a failure where none may happen (the reader shows one only when memory runs out,
// which the size bound below rules out; the writer only when it fails).
class NoBoxes final : public MessageSink
{
public:
    MsgAnswer Show(const std::string& text, const std::string& caption, MsgIcon,
                   MsgButtons) override
    {
        std::fprintf(stderr, "unexpected box \"%s\": %s\n", caption.c_str(), text.c_str());
        std::abort();
    }
};

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

bool SameSamples(const Wave& a, const Wave& b)
{
    if (a.Values() != b.Values())
        return false;
    for (int32_t i = 0; i < a.Values(); ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

// Round trips go to memory-backed storage where there is some: a saved file is synced.
std::string RoundTripPath()
{
    std::filesystem::path base =
        std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    return (base / ("kv-fuzz-wav-" + std::to_string(::getpid()) + ".wav")).string();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static NoBoxes sink;
    static const std::string path = RoundTripPath();
    InstallService<MessageSink>(&sink);

    SoundUPtr sound;
    std::string message;
    WaveReadCounts counts;
    const bool ok = ReadWaveBytes(data, size, sound, message, &counts);
    if (!ok) {
        Check(!message.empty() && message != WaveReadNoError, "a failure has its message");
        Check(sound == nullptr, "a failure leaves the sound alone");
        return 0;
    }
    Check(message == WaveReadNoError, "success keeps the no-error message");
    Check(sound != nullptr, "success gives a sound");
    const int channels = sound->GetMonoStereo();
    Check(channels == 1 || channels == 2, "one or two channels");
    Check(sound->GetSampleFreq() > 0, "a sample frequency above 0");
    Check(sound->GetBytesPSample() == 1 || sound->GetBytesPSample() == 2, "1 or 2 bytes");
    Check(sound->GetLeftWave()->Values() == sound->GetRightWave()->Values(), "equal channels");
    Check(counts.framesRead == sound->GetValues(), "the frames read are the sound's");
    Check(counts.framesRead <= counts.framesClaimed, "no more frames read than announced");
    // Every sample came from at least one byte of the file.
    Check(static_cast<uint64_t>(sound->GetValues()) * channels * sound->GetBytesPSample() <= size,
          "samples bounded by the file");

    std::string writeMessage;
    Check(WriteWaveFile(nullptr, path, sound.get(), 0, -1, writeMessage), "the writer writes it");
    SoundUPtr back;
    WaveReadCounts backCounts;
    Check(ReadWaveFile(path, back, message, &backCounts), "the reader reads what was written");
    Check(!backCounts.Damaged(), "what was written is whole");
    Check(back->GetMonoStereo() == channels, "channels kept");
    Check(back->GetSampleFreq() == sound->GetSampleFreq(), "rate kept");
    Check(back->GetBytesPSample() == sound->GetBytesPSample(), "bytes per sample kept");
    Check(SameSamples(*back->GetLeftWave(), *sound->GetLeftWave()), "left samples kept");
    Check(SameSamples(*back->GetRightWave(), *sound->GetRightWave()), "right samples kept");
    ::unlink(path.c_str());
    return 0;
}
