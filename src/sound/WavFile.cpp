#include "sound/WavFile.h"

#include "general/Assert.h"
#include "general/Messages.h"
#include "general/files/SafeFile.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kelvorn {

namespace {

// Samples are moved through buffers of this size: large enough that a system call costs
// nothing beside the conversion, small enough to stay in the cache.
constexpr size_t BlockBytes = 256 * 1024;

constexpr uint16_t FormatPcm = 1;
constexpr uint16_t FormatExtensible = 0xFFFE;
// The tail of the PCM sub-format GUID of an extensible format chunk (after its 16-bit tag 1).
constexpr uint8_t PcmGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                     0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint16_t Le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void PutLe16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void PutLe32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// A stereo 16-bit frame as one little-endian 32-bit word: left in the low half.
uint32_t FrameFromFile(uint32_t word)
{
    if constexpr (std::endian::native == std::endian::little)
        return word;
    else
        return ((word & 0x00FF00FFu) << 8) | ((word >> 8) & 0x00FF00FFu);
}

// The two hot loops of 16-bit stereo files. Compilers at -O2 leave them scalar, which costs as
// much as the file system does, so x86 gets them spelled out eight frames at a time.
void SplitFrames(const uint32_t* words, int32_t n, int16_t* l, int16_t* r)
{
    int32_t i = 0;
#if defined(__SSE2__)
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 8 <= n; i += 8) {
            __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(words + i));
            __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(words + i + 4));
            __m128i left = _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(a, 16), 16),
                                           _mm_srai_epi32(_mm_slli_epi32(b, 16), 16));
            __m128i right = _mm_packs_epi32(_mm_srai_epi32(a, 16), _mm_srai_epi32(b, 16));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(l + i), left);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(r + i), right);
        }
    }
#endif
    for (; i < n; ++i) {
        const uint32_t frame = FrameFromFile(words[i]);
        l[i] = static_cast<int16_t>(frame & 0xFFFF);
        r[i] = static_cast<int16_t>(frame >> 16);
    }
}

void JoinFrames(const int16_t* l, const int16_t* r, int32_t n, uint32_t* words)
{
    int32_t i = 0;
#if defined(__SSE2__)
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 8 <= n; i += 8) {
            __m128i left = _mm_loadu_si128(reinterpret_cast<const __m128i*>(l + i));
            __m128i right = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(words + i),
                             _mm_unpacklo_epi16(left, right));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(words + i + 4),
                             _mm_unpackhi_epi16(left, right));
        }
    }
#endif
    for (; i < n; ++i)
        words[i] = FrameFromFile(static_cast<uint16_t>(l[i]) |
                                 (static_cast<uint32_t>(static_cast<uint16_t>(r[i])) << 16));
}

int16_t FromByte(uint8_t b)
{
    return static_cast<int16_t>((b - 128) * 256);
}

// Division truncates toward zero, so every value from -255 to 255 is silence (128).
uint8_t ToByte(int16_t v)
{
    return static_cast<uint8_t>(128 + v / 256);
}

// The bytes of a file: the file itself or a copy in memory. Positions never pass Size().
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    /// Up to count bytes from the position on; fewer only at the end or when reading fails.
    virtual size_t Read(void* to, size_t count) = 0;
    virtual bool Failed() const { return false; }

    uint64_t Position() const { return position; }
    uint64_t Size() const { return size; }
    uint64_t Remaining() const { return size - position; }
    void Skip(uint64_t count) { position += std::min(count, Remaining()); }
    bool ReadExact(void* to, size_t count) { return Read(to, count) == count; }

protected:
    uint64_t position = 0;
    uint64_t size = 0;
};

class MemorySource final : public ByteSource
{
public:
    MemorySource(const uint8_t* bytes, size_t count) : bytes(bytes) { size = count; }

    size_t Read(void* to, size_t count) override
    {
        size_t n = static_cast<size_t>(std::min<uint64_t>(count, Remaining()));
        if (n > 0)
            std::memcpy(to, bytes + position, n);
        position += n;
        return n;
    }

private:
    const uint8_t* bytes;
};

class FileSource final : public ByteSource
{
public:
    FileSource(int fd, uint64_t fileSize) : fd(fd) { size = fileSize; }

    size_t Read(void* to, size_t count) override
    {
        auto* out = static_cast<uint8_t*>(to);
        size_t wanted = static_cast<size_t>(std::min<uint64_t>(count, Remaining()));
        size_t done = 0;
        while (done < wanted) {
            ssize_t n = ::pread(fd, out + done, wanted - done, static_cast<off_t>(position));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                failed = true;
            if (n <= 0) {
                // The file ended before its size said (it shrank while being read): no more.
                size = position;
                break;
            }
            done += static_cast<size_t>(n);
            position += static_cast<uint64_t>(n);
        }
        return done;
    }
    bool Failed() const override { return failed; }

private:
    int fd;
    bool failed = false;
};

using SampleBlock = std::unique_ptr<int16_t[], decltype(&FreeSamples)>;

// Bytes in blocks of blockBytes each but the last, as an unsized file is read.
class BlockSource final : public ByteSource
{
public:
    BlockSource(const std::vector<SampleBlock>& blocks, int64_t blockBytes, int64_t count)
        : blocks(blocks), blockBytes(static_cast<uint64_t>(blockBytes))
    {
        size = static_cast<uint64_t>(count);
    }

    size_t Read(void* to, size_t count) override
    {
        auto* out = static_cast<uint8_t*>(to);
        const auto n = static_cast<size_t>(std::min<uint64_t>(count, Remaining()));
        for (size_t done = 0; done < n;) {
            const uint64_t within = position % blockBytes;
            const auto piece =
                static_cast<size_t>(std::min<uint64_t>(n - done, blockBytes - within));
            std::memcpy(out + done,
                        reinterpret_cast<const uint8_t*>(blocks[position / blockBytes].get()) +
                            within,
                        piece);
            done += piece;
            position += piece;
        }
        return n;
    }

private:
    const std::vector<SampleBlock>& blocks;
    uint64_t blockBytes;
};

// Large fresh arrays are filled at once: with huge pages the kernel takes a few hundred faults
// instead of tens of thousands. Only advice; nothing depends on it.
void AdviseHugePages(Wave& wave)
{
    constexpr uintptr_t huge = 2 * 1024 * 1024;
    const auto from = reinterpret_cast<uintptr_t>(wave.Data());
    const uintptr_t to = from + static_cast<uintptr_t>(wave.Values()) * sizeof(int16_t);
    const uintptr_t first = (from + huge - 1) & ~(huge - 1);
    const uintptr_t last = to & ~(huge - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

bool Fail(std::string& message, std::string text)
{
    message = std::move(text);
    return false;
}

bool EndedEarly(std::string& message, const ByteSource& source)
{
    return Fail(message,
                "Unexpected end of file at byte " + std::to_string(source.Position()) + ".");
}

// Fills the channels from the data chunk, frames frames of channels × bytes bytes, and gives the
// frames the source delivered in read. A data chunk that ends early (the file shrank meanwhile)
// leaves silence behind it, never undefined values.
bool ReadSamples(ByteSource& source, int channels, int bytes, int32_t frames, Wave& left,
                 Wave* right, int64_t& read)
{
    const size_t frameBytes = static_cast<size_t>(channels) * static_cast<size_t>(bytes);
    const uint64_t total = static_cast<uint64_t>(frames) * frameBytes;
    int16_t* l = left.Data();
    int16_t* r = right ? right->Data() : nullptr;
    int32_t done = 0;

    if (channels == 1 && bytes == 2) {
        // Straight into the wave: the file's layout is the memory's.
        size_t got = source.Read(l, static_cast<size_t>(total));
        done = static_cast<int32_t>(got / 2);
        if constexpr (std::endian::native == std::endian::big) {
            for (int32_t i = 0; i < done; ++i)
                l[i] = static_cast<int16_t>(Le16(reinterpret_cast<const uint8_t*>(l + i)));
        }
    } else {
        // Words, so that whole 16-bit stereo frames can be loaded aligned.
        std::vector<uint32_t> buffer(static_cast<size_t>(
            (std::min<uint64_t>(total, BlockBytes / frameBytes * frameBytes) + 3) / 4));
        const uint64_t capacity = std::min<uint64_t>(total, buffer.size() * 4);
        while (done < frames) {
            size_t want =
                std::min<uint64_t>(capacity, static_cast<uint64_t>(frames - done) * frameBytes);
            size_t got = source.Read(buffer.data(), want);
            const int32_t n = static_cast<int32_t>(got / frameBytes);
            const auto* p = reinterpret_cast<const uint8_t*>(buffer.data());
            const uint32_t* words = buffer.data();
            if (channels == 1) {
                for (int32_t i = 0; i < n; ++i)
                    l[done + i] = FromByte(p[i]);
            } else if (bytes == 1) {
                for (int32_t i = 0; i < n; ++i) {
                    l[done + i] = FromByte(p[2 * i]);
                    r[done + i] = FromByte(p[2 * i + 1]);
                }
            } else {
                SplitFrames(words, n, l + done, r + done);
            }
            done += n;
            if (got < want)
                break;
        }
    }
    if (done < frames) {
        std::fill(l + done, l + frames, int16_t{0});
        if (r)
            std::fill(r + done, r + frames, int16_t{0});
    }
    read = done;
    return !source.Failed();
}

bool OutOfMemory(std::string& message)
{
    CheckMemory(nullptr);
    return Fail(message, "There is not enough memmory for the samples of this file.");
}

bool ReadWave(ByteSource& source, SoundUPtr& sound, std::string& message, WaveReadCounts& counts)
{
    message = WaveReadNoError;
    counts = {};
    uint8_t b[40];

    if (!source.ReadExact(b, 4) || std::memcmp(b, "RIFF", 4) != 0)
        return Fail(message, "\"RIFF\" not found.");
    // The RIFF size is ignored: files from streaming writers often carry a wrong one.
    if (!source.ReadExact(b, 4))
        return EndedEarly(message, source);

    // Some writers put chunks such as "JUNK" in front of the format chunk: skip them.
    const std::string noFormat = "\"WAVEfmt \" not found.";
    if (!source.ReadExact(b, 4) || std::memcmp(b, "WAVE", 4) != 0)
        return Fail(message, noFormat);
    uint32_t formatSize = 0;
    for (;;) {
        if (!source.ReadExact(b, 8))
            return Fail(message, noFormat);
        formatSize = Le32(b + 4);
        if (std::memcmp(b, "fmt ", 4) == 0)
            break;
        source.Skip(uint64_t{formatSize} + (formatSize & 1));
    }
    if (formatSize < 16)
        return Fail(message, "chunk too small.");

    if (!source.ReadExact(b, 16))
        return EndedEarly(message, source);
    uint32_t formatRead = 16;
    const uint16_t tag = Le16(b);
    const auto channels = static_cast<int16_t>(Le16(b + 2));
    const auto sampleFreq = static_cast<int32_t>(Le32(b + 4));
    const uint16_t bits = Le16(b + 14);

    bool pcm = tag == FormatPcm;
    if (tag == FormatExtensible && formatSize >= 40) {
        if (!source.ReadExact(b, 24))
            return EndedEarly(message, source);
        formatRead += 24;
        pcm = Le16(b + 8) == FormatPcm && std::memcmp(b + 10, PcmGuidTail, 14) == 0;
    }
    if (!pcm)
        return Fail(message, "A value must be 1.");
    if (channels != 1 && channels != 2)
        return Fail(message, "MonoStereo must be 1 or 2.");
    if (bits != 8 && bits != 16)
        return Fail(message, "BitsPerSample must be 8 or 16, not " + std::to_string(bits) + ".");
    if (sampleFreq <= 0)
        return Fail(message,
                    "SampleFreq must be greater than 0, not " + std::to_string(sampleFreq) + ".");
    const auto bytesPSample = static_cast<int16_t>(bits / 8);
    source.Skip(uint64_t{formatSize} - formatRead + (formatSize & 1));

    // Every chunk up to "data" is skipped by its size: "fact", "LIST", "cue ", "bext", ...
    uint32_t dataSize = 0;
    for (;;) {
        if (!source.ReadExact(b, 8))
            return Fail(message, "\"data\" not found.");
        const uint32_t size = Le32(b + 4);
        if (std::memcmp(b, "data", 4) == 0) {
            dataSize = size;
            break;
        }
        source.Skip(uint64_t{size} + (size & 1));
    }

    // A damaged file reads the samples it holds, and says how many it was meant to hold.
    const uint64_t frameBytes = static_cast<uint64_t>(channels) * bytesPSample;
    const auto claimed = static_cast<int64_t>(dataSize / frameBytes);
    const auto present =
        static_cast<int64_t>(std::min<uint64_t>(dataSize, source.Remaining()) / frameBytes);
    if (present == 0) {
        if (channels == 1)
            sound = std::make_unique<MonoSound>(sampleFreq, bytesPSample);
        else
            sound = std::make_unique<StereoSound>(sampleFreq, bytesPSample);
        counts = {0, claimed};
        return true;
    }

    // The memory guard refuses more frames than a wave counts.
    AbortFlag failed = 0;
    WavePtr left = CreateWave(&failed, present);
    WavePtr right = channels == 2 ? CreateWave(&failed, present) : nullptr;
    if (!left || (channels == 2 && !right))
        return OutOfMemory(message);
    AdviseHugePages(*left);
    if (right)
        AdviseHugePages(*right);
    int64_t read = 0;
    if (!ReadSamples(source, channels, bytesPSample, left->Values(), *left, right.get(), read))
        return Fail(message, "Cannot read File.");

    if (channels == 1)
        sound = std::make_unique<MonoSound>(std::move(left), sampleFreq, bytesPSample);
    else
        sound = std::make_unique<StereoSound>(std::move(left), std::move(right), sampleFreq,
                                              bytesPSample);
    counts = {read, claimed};
    return true;
}

// A pipe or device has no size to check against, and one such as /dev/zero never ends: what
// it delivers is kept in blocks from the memory guard, up to the bytes one wave holds.
bool ReadUnsized(int fd, SoundUPtr& sound, std::string& message, WaveReadCounts& counts)
{
    constexpr int64_t blockBytes = 1024 * 1024;
    const int64_t limit = 2 * SampleLimit();
    std::vector<SampleBlock> blocks;
    blocks.reserve(static_cast<size_t>(limit / blockBytes + 1));
    int64_t total = 0;
    int64_t used = 0; // of the last block
    int64_t size = 0; // of the last block
    for (;;) {
        if (used == size) {
            if (total >= limit)
                return OutOfMemory(message);
            // Every block but the last is full, so total is even here.
            size = std::min(blockBytes, limit - total);
            blocks.emplace_back(AllocSamples(size / 2), &FreeSamples);
            if (!blocks.back())
                return OutOfMemory(message);
            used = 0;
        }
        auto* to = reinterpret_cast<uint8_t*>(blocks.back().get()) + used;
        const ssize_t n = ::read(fd, to, static_cast<size_t>(size - used));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Fail(message, "Cannot read File.");
        if (n == 0)
            break;
        // Not a WAV file at all: no need to wait for the rest.
        if (total < 4 && total + n >= 4 && blocks.size() == 1 &&
            std::memcmp(blocks.front().get(), "RIFF", 4) != 0)
            return Fail(message, "\"RIFF\" not found.");
        total += n;
        used += n;
    }
    BlockSource source(blocks, blockBytes, total);
    return ReadWave(source, sound, message, counts);
}

// Writes frames [begin, end) of the channels as bytes-per-sample samples, interleaved.
bool WriteSamples(SafeFileWriter& writer, const Wave& left, const Wave* right, int bytes,
                  int32_t begin, int32_t end)
{
    const int channels = right ? 2 : 1;
    const size_t frameBytes = static_cast<size_t>(channels) * static_cast<size_t>(bytes);
    const int16_t* l = left.Data();
    const int16_t* r = right ? right->Data() : nullptr;

    if (channels == 1 && bytes == 2 && std::endian::native == std::endian::little) {
        // The memory's layout is the file's: straight from the wave, in large pieces.
        for (int32_t at = begin; at < end;) {
            int32_t n = std::min<int32_t>(end - at, static_cast<int32_t>(BlockBytes));
            if (!writer.Write(l + at, static_cast<size_t>(n) * 2))
                return false;
            at += n;
        }
        return true;
    }

    const auto blockFrames = static_cast<int32_t>(BlockBytes / frameBytes);
    std::vector<uint32_t> buffer(
        (static_cast<size_t>(std::min<int64_t>(int64_t{end} - begin, blockFrames)) * frameBytes +
         3) /
        4);
    for (int32_t at = begin; at < end;) {
        const int32_t n = std::min(end - at, blockFrames);
        auto* p = reinterpret_cast<uint8_t*>(buffer.data());
        uint32_t* words = buffer.data();
        if (channels == 1) {
            for (int32_t i = 0; i < n; ++i)
                p[i] = ToByte(l[at + i]);
        } else if (bytes == 1) {
            for (int32_t i = 0; i < n; ++i) {
                p[2 * i] = ToByte(l[at + i]);
                p[2 * i + 1] = ToByte(r[at + i]);
            }
        } else {
            JoinFrames(l + at, r + at, n, words);
        }
        if (!writer.Write(buffer.data(), static_cast<size_t>(n) * frameBytes))
            return false;
        at += n;
    }
    return true;
}

} // namespace

void MakeWaveHeader(uint8_t header[44], int16_t monoStereo, int32_t sampleFreq,
                    int16_t bytesPSample, uint32_t dataBytes)
{
    std::memcpy(header, "RIFF", 4);
    PutLe32(header + 4, 36 + dataBytes);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    PutLe32(header + 16, 16);
    PutLe16(header + 20, FormatPcm);
    PutLe16(header + 22, static_cast<uint16_t>(monoStereo));
    PutLe32(header + 24, static_cast<uint32_t>(sampleFreq));
    PutLe32(header + 28, static_cast<uint32_t>(monoStereo) * static_cast<uint32_t>(sampleFreq) *
                             static_cast<uint32_t>(bytesPSample));
    PutLe16(header + 32, static_cast<uint16_t>(monoStereo * bytesPSample));
    PutLe16(header + 34, static_cast<uint16_t>(bytesPSample * 8));
    std::memcpy(header + 36, "data", 4);
    PutLe32(header + 40, dataBytes);
}

std::string WaveDamagedText(const WaveReadCounts& counts)
{
    return "The file is damaged: only " + std::to_string(counts.framesRead) + " of the " +
           std::to_string(counts.framesClaimed) + " sample frames its header announces were read.";
}

bool ReadWaveBytes(const uint8_t* bytes, size_t size, SoundUPtr& sound, std::string& message,
                   WaveReadCounts* counts)
{
    WaveReadCounts found;
    MemorySource source(bytes, bytes ? size : 0);
    const bool ok = ReadWave(source, sound, message, found);
    if (counts)
        *counts = found;
    return ok;
}

bool ReadWaveFile(const std::string& fileName, SoundUPtr& sound, std::string& message,
                  WaveReadCounts* counts)
{
    message = WaveReadNoError;
    WaveReadCounts found;
    int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    bool ok;
    struct stat info
    {
    };
    if (fd < 0 || ::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ok = Fail(message, "Cannot open File.");
    } else if (S_ISREG(info.st_mode)) {
        FileSource source(fd, static_cast<uint64_t>(info.st_size));
        ok = ReadWave(source, sound, message, found);
    } else {
        ok = ReadUnsized(fd, sound, message, found);
    }
    if (fd >= 0)
        ::close(fd);
    if (counts)
        *counts = found;
    return ok;
}

namespace {

bool WriteWave(const std::string& fileName, const Sound* sound, int32_t begin, int32_t end,
               std::string& message, bool showFailure)
{
    auto fail = [&message, showFailure](std::string text) {
        message = std::move(text);
        if (showFailure)
            Messages().Show(message, "FileError", MsgIcon::Information, MsgButtons::Ok);
        return false;
    };
    const std::string cannotOpen = "Cannot save Wave: Operating System cannot open file for "
                                   "writing, maybe the file is readonly.";
    message.clear();
    if (!KV_SOFT_ASSERT(sound != nullptr)) {
        message = "Cannot save Wave: there is no sound.";
        return false;
    }
    const int16_t channels = sound->GetMonoStereo();
    const int32_t sampleFreq = sound->GetSampleFreq();
    const int16_t bytesPSample = sound->GetBytesPSample();
    const Wave* left = sound->GetLeftWave();
    const Wave* right = channels == 2 ? sound->GetRightWave() : nullptr;
    if (!left || (channels == 2 && !right)) {
        message = "Cannot save Wave: the sound has no wave.";
        return false;
    }
    end = left->ResolveEnd(end);
    if (!KV_SOFT_ASSERT(begin >= 0 && begin <= end && end <= left->Values()))
        return fail("Cannot save Wave: the part " + std::to_string(begin) + " to " +
                    std::to_string(end) + " lies outside the wave.");
    // The reader refuses what follows, and a writer never writes what its reader refuses.
    if (channels != 1 && channels != 2)
        return fail("Cannot save Wave: MonoStereo must be 1 or 2, not " + std::to_string(channels) +
                    ".");
    if (bytesPSample != 1 && bytesPSample != 2)
        return fail("Cannot save Wave: BytesPSample must be 1 or 2, not " +
                    std::to_string(bytesPSample) + ".");
    if (sampleFreq <= 0)
        return fail("Cannot save Wave: SampleFreq must be greater than 0, not " +
                    std::to_string(sampleFreq) + ".");
    const int64_t dataBytes = int64_t{channels} * (int64_t{end} - begin) * bytesPSample;
    if (dataBytes > MaxWaveDataBytes)
        return fail("Cannot save Wave: its " + std::to_string(dataBytes) +
                    " bytes of samples are more than a WAV file can hold (" +
                    std::to_string(MaxWaveDataBytes) + ").");
    if (fileName.empty())
        return fail(cannotOpen);

    SafeFileWriter writer(fileName);
    uint8_t header[44];
    MakeWaveHeader(header, channels, sampleFreq, bytesPSample, static_cast<uint32_t>(dataBytes));
    if (writer.Open() && writer.Write(header, sizeof header) &&
        WriteSamples(writer, *left, right, bytesPSample, begin, end) && writer.Commit())
        return true;
    return fail(writer.OpenFailed() ? cannotOpen : "Cannot save Wave: " + writer.Reason() + ".");
}

} // namespace

bool WriteWaveFile(AbortFlag* /*abort*/, const std::string& fileName, const Sound* sound,
                   int32_t begin, int32_t end, std::string& message)
{
    return WriteWave(fileName, sound, begin, end, message, true);
}

bool WriteWaveFileQuietly(const std::string& fileName, const Sound* sound, std::string& message)
{
    return WriteWave(fileName, sound, 0, -1, message, false);
}

} // namespace kelvorn
