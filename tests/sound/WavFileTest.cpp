// WAV files: the exact bytes written, round trips, what other programs write, refusals with their
// messages, damaged and endless input, interrupted reads, failed and refused writes.

#include "sound/WavFile.h"

#include "general/files/SafeFile.h"
#include "support/Files.h"
#include "support/Signals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

using namespace kelvorn;
using namespace kelvorn::test;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;
using V = std::vector<int>;

Bytes Le(std::initializer_list<std::pair<uint32_t, int>> fields)
{
    Bytes b;
    for (auto [v, n] : fields)
        for (int i = 0; i < n; ++i)
            b.push_back(uint8_t(v >> (8 * i)));
    return b;
}

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes b;
    for (const Bytes& p : parts)
        b.insert(b.end(), p.begin(), p.end());
    return b;
}

Bytes Tag(const char* t)
{
    return Bytes(t, t + 4);
}

// A chunk with its pad byte; claimed, when given, stands in the size field instead of the size.
Bytes Chunk(const char* name, const Bytes& body, int64_t claimed = -1)
{
    const auto size = uint32_t(claimed >= 0 ? claimed : int64_t(body.size()));
    return Cat({Tag(name), Le({{size, 4}}), body, Bytes(body.size() % 2, 0)});
}

Bytes FormatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits)
{
    const uint32_t align = channels * (bits / 8u);
    return Le({{tag, 2}, {channels, 2}, {rate, 4}, {rate * align, 4}, {align, 2}, {bits, 2}});
}

// The extensible form: cbSize 22, valid bits, channel mask, and a sub-format GUID whose first
// two bytes are the sub-format tag.
Bytes ExtensibleBody(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t subTag)
{
    return Cat({FormatBody(0xFFFE, channels, rate, bits),
                Le({{22, 2}, {bits, 2}, {channels == 2 ? 3u : 4u, 4}, {subTag, 2}}),
                {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71}});
}

Bytes Riff(std::initializer_list<Bytes> chunks)
{
    const Bytes body = Cat({Tag("WAVE"), Cat(chunks)});
    return Cat({Tag("RIFF"), Le({{uint32_t(body.size()), 4}}), body});
}

Bytes Samples16(const V& values)
{
    Bytes b;
    for (int v : values)
        b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)});
    return b;
}

// Deterministic values that begin with the extremes and the edges of the 8-bit mapping.
WavePtr TestWave(int32_t count, uint32_t seed)
{
    static const int edges[] = {-32768, 32767, 0, -1, 1, -255, 255, -256, 256, -257, 257};
    uint32_t state = seed;
    return MakeWaveOf(count, [&](int32_t i) {
        state = state * 1103515245u + 12345u;
        return i < 11 ? edges[i] : int(state >> 8);
    });
}

// What an 8-bit file keeps of a value: v -> 128 + v / 256 truncated toward zero, b -> (b-128)*256.
uint8_t ToByte(int v)
{
    return uint8_t(128 + v / 256);
}

V Kept(V values, int bytes)
{
    if (bytes == 1)
        for (int& v : values)
            v = (ToByte(v) - 128) * 256;
    return values;
}

// The channels of a sound of this many channels: left, and right when stereo.
std::vector<V> Channels(int channels, const V& left, const V& right)
{
    return channels == 2 ? std::vector<V>{left, right} : std::vector<V>{left};
}

// Reads a file from disk (fromFile) or from memory.
bool Read(bool fromFile, const fs::path& file, const Bytes& bytes, SoundUPtr& sound,
          std::string& message, WaveReadCounts* counts)
{
    return fromFile ? ReadWaveFile(file, sound, message, counts)
                    : ReadWaveBytes(bytes.data(), bytes.size(), sound, message, counts);
}

class WavFile : public ::testing::Test
{
protected:
    void TearDown() override
    {
        SafeFileWriter::FailAfterBytes(-1);
        ResetAllocationFailure();
    }
    TempDir dir{"wav"};
};

template <class P> class WavFileP : public WavFile, public ::testing::WithParamInterface<P>
{
};

} // namespace

// ---- Writing: exact bytes, then read back from the file and from memory -------------------

struct WriteCase
{
    const char* name;
    int channels, bytes;
    int32_t rate, count, begin, end;
};

using WavWrite = WavFileP<WriteCase>;

TEST_P(WavWrite, HeaderAndSamplesAreExactAndReadBack)
{
    const WriteCase c = GetParam();
    WavePtr l = TestWave(c.count, 7), r = TestWave(c.count, 99);
    const V left = ValuesOf(l), right = ValuesOf(r);
    SoundUPtr sound = SoundOf(c.channels, c.rate, int16_t(c.bytes), std::move(l), std::move(r));
    const fs::path file = dir / "out.wav";
    std::string message;
    RecordedBoxes boxes;
    ASSERT_TRUE(WriteWaveFile(nullptr, file, sound.get(), c.begin, c.end, message));
    EXPECT_TRUE(boxes.boxes.empty());
    const int32_t end = c.end == -1 ? c.count : c.end;
    const auto data = uint32_t(c.channels * (end - c.begin) * c.bytes);

    const auto ch = uint32_t(c.channels), rate = uint32_t(c.rate), bytes = uint32_t(c.bytes);
    Bytes expected = Cat({Tag("RIFF"), Le({{36 + data, 4}}), Tag("WAVE"), Tag("fmt "),
                          Le({{16, 4}, {1, 2}, {ch, 2}, {rate, 4}, {ch * rate * bytes, 4}}),
                          Le({{ch * bytes, 2}, {8 * bytes, 2}}), Tag("data"), Le({{data, 4}})});
    for (int32_t i = c.begin; i < end; ++i)
        for (int k = 0; k < c.channels; ++k) {
            const int v = (k == 0 ? left : right)[size_t(i)];
            const Bytes sample = c.bytes == 1 ? Bytes{ToByte(v)} : Samples16({v});
            expected.insert(expected.end(), sample.begin(), sample.end());
        }
    const Bytes written = ReadBytes(file);
    ASSERT_EQ(written, expected);

    for (bool fromFile : {true, false}) {
        SoundUPtr back;
        ASSERT_TRUE(Read(fromFile, file, written, back, message, nullptr)) << message;
        EXPECT_EQ(message, WaveReadNoError);
        ExpectFormat(*back, int16_t(c.channels), c.rate, int16_t(c.bytes));
        const auto part = [&](const V& v) {
            return Kept(V(v.begin() + c.begin, v.begin() + end), c.bytes);
        };
        EXPECT_EQ(ChannelsOf(*back), Channels(c.channels, part(left), part(right)));
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Formats, WavWrite, ::testing::Values(
    WriteCase{"mono16", 1, 2, 44100, 300, 0, 300},
    WriteCase{"mono8 to the end", 1, 1, 22050, 300, 0, -1},
    WriteCase{"stereo16 several blocks", 2, 2, 48000, 70000, 5, 69990},
    WriteCase{"stereo8 inside", 2, 1, 8000, 300, 3, 299},
    WriteCase{"mono16 empty range", 1, 2, 44100, 100, 40, 40},
    WriteCase{"stereo8 empty range", 2, 1, 11025, 100, 0, 0},
    WriteCase{"empty mono8", 1, 1, 5512, 0, 0, 0},
    WriteCase{"empty stereo16", 2, 2, 176128, 0, 0, -1},
    WriteCase{"mono16 rate 1 large", 1, 2, 1, 200000, 0, 200000},
    WriteCase{"mono8 several blocks", 1, 1, 7, 300000, 17, 299000},
    WriteCase{"stereo8 several blocks", 2, 1, 96000, 200000, 1, 199999}),
    [](const auto& info) { return TableName(info); });
// clang-format on

// ---- Reading what other programs write -----------------------------------------------------

struct AcceptCase
{
    const char* name;
    Bytes file;
    int channels;
    int32_t rate;
    int bytes;
    V left, right;
    int64_t claimed = -1; ///< the frames the data size announces; -1: those read
};

std::vector<AcceptCase> AcceptCases()
{
    const V v = {100, -200, 32767, -32768, 5, 6}, l = {100, 32767, 5}, r = {-200, -32768, 6};
    const V v8 = {-32768, 32512, 0, -256, 256, -32512};
    const Bytes d16 = Samples16(v), b8 = {0, 255, 128, 127, 129, 1}, odd = {1, 2, 3, 4, 5};
    const Bytes fact4 = {6, 0, 0, 0}, list = Cat({Tag("INFO"), Chunk("ICMT", Tag("text"))});
    const Bytes mono16 = Chunk("fmt ", FormatBody(1, 1, 44100, 16));
    const Bytes stereo16 = Chunk("fmt ", FormatBody(1, 2, 48000, 16));
    const Bytes fmt18 = Cat({FormatBody(1, 1, 44100, 16), {0, 0}});
    Bytes cut = Riff({stereo16, Chunk("data", d16)});
    cut[cut.size() - d16.size() - 4] = 0xF0; // a data size of 240
    cut.resize(cut.size() - 3);
    Bytes huge = Riff({mono16, Chunk("data", d16)});
    huge[huge.size() - d16.size() - 1] = 0x7F; // a data size of 0x7F00000C
    // clang-format off
    return {
        {"plain", Riff({mono16, Chunk("data", d16)}), 1, 44100, 2, v, {}},
        {"format of 18 bytes", Riff({Chunk("fmt ", fmt18), Chunk("data", d16)}), 1, 44100, 2, v, {}},
        {"fact of 4", Riff({mono16, Chunk("fact", fact4), Chunk("data", d16)}), 1, 44100, 2, v, {}},
        {"odd chunk with pad", Riff({mono16, Chunk("fact", odd), Chunk("data", d16)}), 1, 44100, 2, v, {}},
        {"LIST, cue, bext, fact", Riff({mono16, Chunk("LIST", list), Chunk("cue ", fact4),
            Chunk("bext", Bytes(602, 0)), Chunk("fact", fact4), Chunk("data", d16)}), 1, 44100, 2, v, {}},
        {"JUNK before the format", Riff({Chunk("JUNK", Bytes(28, 0)), mono16, Chunk("data", d16)}),
            1, 44100, 2, v, {}},
        {"stereo drops trailing bytes", Riff({stereo16, Chunk("data", Cat({d16, {1, 2}}))}),
            2, 48000, 2, l, r},
        {"mono drops the odd byte", Riff({mono16, Chunk("data", Cat({d16, {0x7F}}))}), 1, 44100, 2, v, {}},
        {"mono 8 bit", Riff({Chunk("fmt ", FormatBody(1, 1, 11025, 8)), Chunk("data", b8)}),
            1, 11025, 1, v8, {}},
        {"stereo 8 bit", Riff({Chunk("fmt ", FormatBody(1, 2, 5512, 8)), Chunk("data", b8)}),
            2, 5512, 1, {v8[0], v8[2], v8[4]}, {v8[1], v8[3], v8[5]}},
        {"extensible PCM 16 bit", Riff({Chunk("fmt ", ExtensibleBody(2, 44100, 16, 1)),
            Chunk("fact", fact4), Chunk("data", d16)}), 2, 44100, 2, l, r},
        {"extensible PCM 8 bit", Riff({Chunk("fmt ", ExtensibleBody(1, 8000, 8, 1)),
            Chunk("data", b8)}), 1, 8000, 1, v8, {}},
        {"empty data", Riff({stereo16, Chunk("data", {})}), 2, 48000, 2, {}, {}},
        {"data less than a frame", Riff({stereo16, Chunk("data", {1, 2, 3})}), 2, 48000, 2, {}, {}},
        {"chunks after the data", Riff({mono16, Chunk("data", d16), Chunk("LIST", list)}),
            1, 44100, 2, v, {}},
        {"rate 1", Riff({Chunk("fmt ", FormatBody(1, 1, 1, 16)), Chunk("data", d16)}), 1, 1, 2, v, {}},
        {"largest rate", Riff({Chunk("fmt ", FormatBody(1, 1, 0x7FFFFFFF, 16)), Chunk("data", d16)}),
            1, 0x7FFFFFFF, 2, v, {}},
        {"truncated", cut, 2, 48000, 2, {100, 32767}, {-200, -32768}, 240 / 4},
        {"size beyond the file", huge, 1, 44100, 2, v, {}, 0x7F00000C / 2},
    };
    // clang-format on
}

using WavAccept = WavFileP<AcceptCase>;

TEST_P(WavAccept, ReadsTheSamples)
{
    const AcceptCase& c = GetParam();
    WriteAll(dir / "in.wav", c.file);
    for (bool fromFile : {true, false}) {
        SoundUPtr sound;
        std::string message = "stale";
        WaveReadCounts counts{-1, -1};
        ASSERT_TRUE(Read(fromFile, dir / "in.wav", c.file, sound, message, &counts)) << message;
        EXPECT_EQ(message, "No errors occurred.");
        EXPECT_EQ(counts.framesRead, int64_t(c.left.size()));
        EXPECT_EQ(counts.framesClaimed, c.claimed < 0 ? counts.framesRead : c.claimed);
        ExpectFormat(*sound, int16_t(c.channels), c.rate, int16_t(c.bytes));
        EXPECT_EQ(ChannelsOf(*sound), Channels(c.channels, c.left, c.right));
    }
}

INSTANTIATE_TEST_SUITE_P(Files, WavAccept, ::testing::ValuesIn(AcceptCases()),
                         [](const auto& info) { return TableName(info); });

// ---- Refusals ------------------------------------------------------------------------------

struct RefuseCase
{
    const char* name;
    Bytes file;
    std::string message;
};

std::vector<RefuseCase> RefuseCases()
{
    const Bytes d16 = Samples16({1, 2, 3, 4});
    const Bytes mono16 = Chunk("fmt ", FormatBody(1, 1, 44100, 16));
    const auto with = [&](const Bytes& body) {
        return Riff({Chunk("fmt ", body), Chunk("data", d16)});
    };
    const Bytes good = Riff({mono16, Chunk("data", d16)});
    Bytes fmt14 = FormatBody(1, 1, 44100, 16);
    fmt14.resize(14);
    Bytes rifx = good, noWave = good, hugeFormat = good, cutInFormat = good;
    rifx[3] = 'X';
    noWave[8] = 'w';
    hugeFormat[19] = 0x80;
    cutInFormat.resize(30);
    Bytes cutInExtension = Riff({Chunk("fmt ", ExtensibleBody(1, 8000, 16, 1))});
    cutInExtension.resize(44);
    const std::string bits = "BitsPerSample must be 8 or 16, not ";
    const std::string rate = "SampleFreq must be greater than 0, not ";
    // clang-format off
    return {
        {"empty file", {}, "\"RIFF\" not found."},
        {"three bytes", {'R', 'I', 'F'}, "\"RIFF\" not found."},
        {"RIFX", rifx, "\"RIFF\" not found."},
        {"RIFF without size", {'R', 'I', 'F', 'F', 1, 2}, "Unexpected end of file at byte 6."},
        {"no WAVE", noWave, "\"WAVEfmt \" not found."},
        {"WAVE without format", Riff({Chunk("data", d16)}), "\"WAVEfmt \" not found."},
        {"format of 14 bytes", with(fmt14), "chunk too small."},
        {"format larger than the file", hugeFormat, "\"data\" not found."},
        {"format cut short", cutInFormat, "Unexpected end of file at byte 30."},
        {"extension cut short", cutInExtension, "Unexpected end of file at byte 44."},
        {"float", with(FormatBody(3, 1, 44100, 32)), "A value must be 1."},
        {"tag 0", with(FormatBody(0, 1, 44100, 16)), "A value must be 1."},
        {"extensible float", with(ExtensibleBody(2, 44100, 32, 3)), "A value must be 1."},
        {"extensible without extension", with(FormatBody(0xFFFE, 1, 44100, 16)), "A value must be 1."},
        {"no channels", with(FormatBody(1, 0, 44100, 16)), "MonoStereo must be 1 or 2."},
        {"three channels", with(FormatBody(1, 3, 44100, 16)), "MonoStereo must be 1 or 2."},
        {"channels 0xFFFF", with(FormatBody(1, 0xFFFF, 44100, 16)), "MonoStereo must be 1 or 2."},
        {"24 bits", with(FormatBody(1, 1, 44100, 24)), bits + "24."},
        {"0 bits", with(FormatBody(1, 1, 44100, 0)), bits + "0."},
        {"12 bits", with(FormatBody(1, 2, 44100, 12)), bits + "12."},
        {"extensible 24 bits", with(ExtensibleBody(2, 44100, 24, 1)), bits + "24."},
        {"rate 0", with(FormatBody(1, 1, 0, 16)), rate + "0."},
        {"negative rate", with(FormatBody(1, 1, 0x80000000u, 16)), rate + "-2147483648."},
        {"no data", Riff({mono16}), "\"data\" not found."},
        {"only a LIST", Riff({mono16, Chunk("LIST", {1, 2, 3, 4})}), "\"data\" not found."},
        {"chunk larger than the file", Riff({mono16, Chunk("LIST", Bytes(8, 0), 0x10000000),
            Chunk("data", d16)}), "\"data\" not found."},
    };
    // clang-format on
}

using WavRefuse = WavFileP<RefuseCase>;

TEST_P(WavRefuse, FailsWithItsMessageAndLeavesTheSound)
{
    const RefuseCase& c = GetParam();
    WriteAll(dir / "bad.wav", c.file);
    RecordedBoxes boxes;
    for (bool fromFile : {true, false}) {
        auto keep = std::make_unique<MonoSound>(1234, 2);
        const Sound* before = keep.get();
        SoundUPtr sound = std::move(keep);
        std::string message;
        WaveReadCounts counts{7, 7};
        EXPECT_FALSE(Read(fromFile, dir / "bad.wav", c.file, sound, message, &counts));
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(sound.get(), before);
        EXPECT_EQ(counts.framesRead, 0);
        EXPECT_EQ(counts.framesClaimed, 0);
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Files, WavRefuse, ::testing::ValuesIn(RefuseCases()),
                         [](const auto& info) { return TableName(info); });

TEST_F(WavFile, UnopenableFilesAndNoMemoryFailWithTheirMessage)
{
    RecordedBoxes boxes;
    for (const fs::path& p : {dir / "missing.wav", dir.path, fs::path()}) {
        SoundUPtr sound;
        std::string message;
        EXPECT_FALSE(ReadWaveFile(p, sound, message));
        EXPECT_EQ(message, "Cannot open File.");
        EXPECT_FALSE(sound);
    }
    const Bytes file =
        Riff({Chunk("fmt ", FormatBody(1, 2, 8000, 16)), Chunk("data", Samples16({1, 2}))});
    SoundUPtr sound;
    std::string message;
    FailAllocationsAfter(1); // the right channel's
    EXPECT_FALSE(ReadWaveBytes(file.data(), file.size(), sound, message));
    EXPECT_EQ(message, "There is not enough memmory for the samples of this file.");
    EXPECT_EQ(boxes.texts, std::vector<std::string>{NoMemoryBox});
    EXPECT_FALSE(sound);
}

// ---- Damaged files -------------------------------------------------------------------------

TEST_F(WavFile, DamagedFilesReadTheFramesTheyHoldAndSaySo)
{
    struct Case
    {
        int channels;
        int16_t bytes;
        int64_t keep;    ///< bytes of the written file kept
        int64_t size;    ///< the "data" size written over the true one; -1: keep it
        int64_t read;    ///< frames expected
        int64_t claimed; ///< frames announced
    };
    // clang-format off
    const Case cases[] = {
        {2, 2, 44, -1, 0, 1000}, {2, 2, 44 + 3, -1, 0, 1000}, {2, 2, 44 + 4 * 300 + 3, -1, 300, 1000},
        {2, 2, 44 + 4 * 999, -1, 999, 1000}, {2, 2, 44 + 4 * 1000, -1, 1000, 1000},
        {1, 1, 44 + 1, -1, 1, 1000}, {1, 2, 44 + 2 * 500 + 1, -1, 500, 1000},
        {2, 1, 44 + 2 * 777, -1, 777, 1000},
        // Sizes from 2 GB up are unsigned, never negative.
        {2, 2, 44 + 4 * 1000, 0xC0000000, 1000, 0xC0000000 / 4},
        {2, 1, 44 + 2 * 1000, 0x80000000, 1000, 0x80000000 / 2},
        {1, 2, 44 + 2 * 1000, 0xFFFFFFFF, 1000, 0xFFFFFFFF / 2},
        {1, 1, 44 + 600, 0xFFFFFFFF, 600, 0xFFFFFFFF},
    };
    // clang-format on
    const V l = ValuesOf(TestWave(1000, 1)), r = ValuesOf(TestWave(1000, 2));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.channels) + " channels, " + std::to_string(c.bytes) +
                     " bytes, " + std::to_string(c.keep) + " bytes kept");
        SoundUPtr sound = SoundOf(c.channels, 8000, c.bytes, MakeWave(l), MakeWave(r));
        ASSERT_TRUE(sound->SaveToWavFile(nullptr, dir / "d.wav", 0, -1));
        Bytes file = ReadBytes(dir / "d.wav");
        file.resize(size_t(c.keep));
        if (c.size >= 0)
            for (int i = 0; i < 4; ++i)
                file[40 + size_t(i)] = uint8_t(c.size >> (8 * i));
        WriteAll(dir / "d.wav", file);
        for (bool fromFile : {true, false}) {
            SoundUPtr back;
            std::string message;
            WaveReadCounts counts;
            ASSERT_TRUE(Read(fromFile, dir / "d.wav", file, back, message, &counts)) << message;
            EXPECT_EQ(message, "No errors occurred.");
            EXPECT_EQ(counts.framesRead, c.read);
            EXPECT_EQ(counts.framesClaimed, c.claimed);
            EXPECT_EQ(counts.Damaged(), c.read < c.claimed);
            const auto expect = [&](const V& v) {
                return Kept(V(v.begin(), v.begin() + c.read), c.bytes);
            };
            EXPECT_EQ(ChannelsOf(*back), Channels(c.channels, expect(l), expect(r)));
        }
    }
    EXPECT_EQ(WaveDamagedText({1477, 4410}),
              "The file is damaged: only 1477 of the 4410 sample frames its header announces "
              "were read.");
    EXPECT_EQ(WaveDamagedText({0, 4294967295}),
              "The file is damaged: only 0 of the 4294967295 sample frames its header announces "
              "were read.");
}

// ---- Pipes: interrupted reads and endless input --------------------------------------------

namespace {

std::atomic<int> signalsTaken{0};
void CountSignal(int)
{
    signalsTaken.fetch_add(1);
}

// The scheduler state of a thread of this process ('S': asleep, as in a blocking read).
char StateOf(pid_t tid)
{
    std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(in)), {});
    const size_t close = all.rfind(')');
    return close == std::string::npos || close + 2 >= all.size() ? '?' : all[close + 2];
}

bool WaitAsleep(pid_t tid)
{
    for (int i = 0; i < 5000; ++i) {
        if (StateOf(tid) == 'S')
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

} // namespace

// A FIFO fed from a thread of this process: each piece once the reader waits for it (after a
// signal has interrupted that wait, when asked), then zeros until the reader goes away.
TEST_F(WavFile, PipesInterruptedEndlessOrNotWav)
{
    constexpr int64_t limitValues = 256 * 1024;
    const Bytes file =
        Riff({Chunk("fmt ", FormatBody(1, 1, 8000, 16)), Chunk("data", Samples16({7, -7, 9}))});
    const Bytes half(file.begin(), file.begin() + 25), rest(file.begin() + 25, file.end());
    Bytes damaged = file; // announces 2000 frames and holds 3
    damaged[41] = 2000 * 2 / 256;
    damaged[40] = 2000 * 2 % 256;
    const Bytes endlessHeader =
        Riff({Chunk("fmt ", FormatBody(1, 2, 8000, 16)), Chunk("data", {}, 0xFFFFFFFF)});
    const std::string notRiff = "\"RIFF\" not found.";
    struct Case
    {
        const char* name;
        std::vector<Bytes> pieces;
        bool interrupt, endless;
        std::string message;
        int64_t least, most; ///< bytes the feed gets in
        int64_t claimed = 3; ///< frames announced, when read
    };
    // clang-format off
    const Case cases[] = {
        {"interrupted", {half, rest}, true, false, WaveReadNoError, 0, 1 << 20},
        {"damaged", {half, Bytes(damaged.begin() + 25, damaged.end())}, false, false, WaveReadNoError, 0, 1 << 20, 2000},
        {"four bytes, not RIFF", {Tag("JUNK")}, false, true, notRiff, 4, 4 + 65536},
        {"zeros only", {}, false, true, notRiff, 0, 2 * 65536},
        {"endless data", {endlessHeader}, false, true,
            "There is not enough memmory for the samples of this file.", 2 * limitValues,
            2 * limitValues + 2 * 65536},
    };
    // clang-format on
    // A handler without SA_RESTART: a blocked read returns EINTR, which the reader must retry.
    struct sigaction action = {}, oldUsr1 = {}, ignore = {}, oldPipe = {};
    action.sa_handler = CountSignal;
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGUSR1, &action, &oldUsr1), 0);
    ASSERT_EQ(::sigaction(SIGPIPE, &ignore, &oldPipe), 0);
    const pid_t reader = pid_t(::syscall(SYS_gettid));
    const pthread_t readerThread = ::pthread_self();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path fifo = dir / "fifo";
        fs::remove(fifo);
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        // Opened for reading and writing here, the reader's open does not block.
        const int both = ::open(fifo.c_str(), O_RDWR);
        ASSERT_GE(both, 0);
        signalsTaken = 0;
        int64_t written = 0;
        std::thread writer([&] {
            // Once the reader is in, only it holds the reading end: writes fail when it goes.
            WaitAsleep(reader);
            const int feed = ::open(fifo.c_str(), O_WRONLY);
            ::close(both);
            for (const Bytes& piece : c.pieces) {
                if (c.interrupt) {
                    const int before = signalsTaken.load();
                    ::pthread_kill(readerThread, SIGUSR1);
                    while (signalsTaken.load() == before)
                        std::this_thread::yield();
                    WaitAsleep(reader);
                }
                written += std::max<ssize_t>(0, ::write(feed, piece.data(), piece.size()));
                WaitAsleep(reader);
            }
            static const char zeros[65536] = {};
            for (ssize_t n; c.endless && (n = ::write(feed, zeros, sizeof zeros)) > 0;)
                written += n;
            ::close(feed);
        });
        RecordedBoxes boxes;
        LimitSamples(limitValues);
        SoundUPtr sound;
        std::string message;
        WaveReadCounts counts;
        const bool ok = ReadWaveFile(fifo, sound, message, &counts);
        writer.join();
        ResetAllocationFailure();
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(ok, c.message == WaveReadNoError);
        EXPECT_EQ(boxes.boxes.size(), size_t(c.least > 65536));
        EXPECT_EQ(signalsTaken.load(), c.interrupt ? 2 : 0);
        if (ok) {
            EXPECT_EQ(ChannelsOf(*sound), (std::vector<V>{{7, -7, 9}}));
            EXPECT_EQ(counts.framesClaimed, c.claimed);
        }
        EXPECT_GE(written, c.least);
        EXPECT_LE(written, c.most);
    }
    ::sigaction(SIGUSR1, &oldUsr1, nullptr);
    ::sigaction(SIGPIPE, &oldPipe, nullptr);
}

// ---- Failed and refused writes -------------------------------------------------------------

TEST_F(WavFile, FailedWriteKeepsTheOldFile)
{
    StereoSound sound(TestWave(100000, 5), TestWave(100000, 6), 44100, 2);
    const fs::path file = dir / "keep.wav";
    WriteAll(file, "old");
    MonoSound mono(TestWave(200000, 5), 44100, 2);
    for (int64_t failAt : {0, 10, 44, 45, 1000, 300000, 44 + 400000 - 1})
        for (const Sound* s :
             {static_cast<const Sound*>(&sound), static_cast<const Sound*>(&mono)}) {
            SafeFileWriter::FailAfterBytes(failAt);
            RecordedBoxes boxes;
            // The temporary file is gone before the box, which the program may not outlive.
            size_t entriesWhileShown = 0;
            boxes.whileShown = [&] { entriesWhileShown = dir.Count(); };
            std::string message;
            EXPECT_FALSE(WriteWaveFile(nullptr, file, s, 0, -1, message)) << failAt;
            EXPECT_EQ(message, "Cannot save Wave: No space left on device.");
            EXPECT_EQ(entriesWhileShown, 1u);
            ASSERT_EQ(boxes.boxes.size(), 1u);
            EXPECT_EQ(boxes.boxes[0].text, message);
            EXPECT_EQ(boxes.boxes[0].caption, "FileError");
            EXPECT_EQ(boxes.boxes[0].icon, MsgIcon::Information);
            EXPECT_EQ(ReadAll(file), "old");
            EXPECT_EQ(dir.Count(), 1u);
        }
    SafeFileWriter::FailAfterBytes(44 + 400000);
    std::string message;
    EXPECT_TRUE(WriteWaveFile(nullptr, file, &sound, 0, -1, message)) << message;
    EXPECT_EQ(fs::file_size(file), 44u + 400000u);

    // Without a write bit the file is refused before anything is written, also for root.
    fs::permissions(file, fs::perms(0444));
    const std::string before = FileState(file);
    RecordedBoxes boxes;
    EXPECT_FALSE(WriteWaveFile(nullptr, file, &mono, 0, -1, message));
    EXPECT_EQ(message, "Cannot save Wave: Operating System cannot open file for writing, maybe "
                       "the file is readonly.");
    EXPECT_EQ(std::tuple(boxes.boxes.size(), FileState(file)), std::tuple(1u, before));
}

TEST_F(WavFile, RefusedWritesSayWhyAndWriteNothing)
{
    const std::string cannotOpen = "Cannot save Wave: Operating System cannot open file for "
                                   "writing, maybe the file is readonly.";
    struct Case
    {
        const char* name;
        SoundUPtr sound;
        int32_t begin, end;
        fs::path file;
        std::string message;
        std::vector<std::string> captions; ///< of the boxes shown
    };
    const fs::path x = dir / "x.wav";
    const std::string part = "Cannot save Wave: the part ", outside = " lies outside the wave.";
    const std::vector<std::string> assertion = {"Assertion failed", "FileError"},
                                   file = {"FileError"};
    // clang-format off
    Case cases[] = {
        {"no sound", nullptr, 0, -1, x, "Cannot save Wave: there is no sound.", {"Assertion failed"}},
        {"3 bytes", SoundOf(1, 8000, 3, Ramp(2, 1)), 0, -1, x,
            "Cannot save Wave: BytesPSample must be 1 or 2, not 3.", file},
        {"0 bytes", SoundOf(2, 8000, 0, Ramp(2, 1), Ramp(2, 1)), 0, -1, x,
            "Cannot save Wave: BytesPSample must be 1 or 2, not 0.", file},
        {"rate 0", SoundOf(1, 0, 2, Ramp(2, 1)), 0, -1, x,
            "Cannot save Wave: SampleFreq must be greater than 0, not 0.", file},
        {"rate -5", SoundOf(1, -5, 1, Ramp(2, 1)), 0, -1, x,
            "Cannot save Wave: SampleFreq must be greater than 0, not -5.", file},
        {"past the end", SoundOf(1, 8000, 2, Ramp(3, 1)), 2, 4, x, part + "2 to 4" + outside, assertion},
        {"begin after end", SoundOf(1, 8000, 2, Ramp(3, 1)), 2, 1, x, part + "2 to 1" + outside, assertion},
        {"negative begin", SoundOf(1, 8000, 2, Ramp(3, 1)), -1, 2, x, part + "-1 to 2" + outside, assertion},
        {"no such folder", SoundOf(1, 8000, 2, Ramp(3, 1)), 0, -1, dir / "no" / "x.wav", cannotOpen, file},
        {"no name", SoundOf(1, 8000, 2, Ramp(3, 1)), 0, -1, fs::path(), cannotOpen, file},
    };
    // clang-format on
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordedBoxes boxes;
        std::string message = "stale";
        EXPECT_FALSE(WriteWaveFile(nullptr, c.file, c.sound.get(), c.begin, c.end, message));
        EXPECT_EQ(message, c.message);
        std::vector<std::string> captions;
        for (const auto& box : boxes.boxes)
            captions.push_back(box.caption);
        EXPECT_EQ(captions, c.captions);
        if (c.captions.back() == "FileError") {
            EXPECT_EQ(boxes.boxes.back().text, c.message);
        }
        if (c.sound) {
            EXPECT_FALSE(c.sound->SaveToWavFile(nullptr, c.file, c.begin, c.end));
        }
        EXPECT_TRUE(fs::is_empty(dir.path));
    }
}

TEST_F(WavFile, WriterAndReaderAgreeOnTheLargestFile)
{
    // The writer refuses before it reads a value, so one real value and a claimed count stand
    // for a wave of gigabytes; what it would write is checked through its header.
    struct Case
    {
        int16_t channels, bytes;
        int64_t most; ///< frames written at most
    };
    const Case cases[] = {
        {1, 1, INT32_MAX}, // a wave counts no more
        {1, 2, 2147483629},
        {2, 1, 2147483629},
        {2, 2, 1073741814},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.channels) + " channels of " + std::to_string(c.bytes));
        EXPECT_EQ(MaxWaveFileFrames(c.channels, c.bytes), c.most);
        const auto write = [&](int64_t frames, std::string& message) {
            const auto fake = [&] {
                return std::make_unique<Wave>(AllocSamples(1), int32_t(frames));
            };
            SoundUPtr sound = SoundOf(c.channels, 8000, c.bytes, fake(), fake());
            RecordedBoxes boxes;
            // Accepted sizes fail at the first byte, before the fake values are read.
            SafeFileWriter::FailAfterBytes(0);
            const bool ok = WriteWaveFile(nullptr, dir / "big.wav", sound.get(), 0, -1, message);
            SafeFileWriter::FailAfterBytes(-1);
            return ok;
        };
        std::string message;
        EXPECT_FALSE(write(c.most, message));
        EXPECT_EQ(message, "Cannot save Wave: No space left on device.");
        if (c.most < INT32_MAX) {
            EXPECT_FALSE(write(c.most + 1, message));
            EXPECT_EQ(message, "Cannot save Wave: its " +
                                   std::to_string((c.most + 1) * c.channels * c.bytes) +
                                   " bytes of samples are more than a WAV file can hold "
                                   "(4294967259).");
        }
        EXPECT_FALSE(fs::exists(dir / "big.wav"));

        // The header of the largest file reads back with all its frames announced.
        const auto dataBytes = uint32_t(c.most * c.channels * c.bytes);
        uint8_t header[44];
        MakeWaveHeader(header, c.channels, 8000, c.bytes, dataBytes);
        EXPECT_EQ(header[4] | header[5] << 8 | header[6] << 16 | uint32_t{header[7]} << 24,
                  36 + int64_t{dataBytes});
        SoundUPtr back;
        WaveReadCounts counts;
        ASSERT_TRUE(ReadWaveBytes(header, sizeof header, back, message, &counts)) << message;
        EXPECT_EQ(counts.framesRead, 0);
        EXPECT_EQ(counts.framesClaimed, c.most);
    }
}

// ---- A peer: files sox writes read as sox reads them, and sox reads ours -------------------

TEST_F(WavFile, AgreesWithSox)
{
    if (std::system("command -v sox >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "sox is not on PATH: the checks against sox were not run";
    const auto sox = [&](const std::string& args) {
        return std::system(("sox -D " + args + " 2>/dev/null").c_str());
    };
    // The samples sox decodes, interleaved: 16-bit files as signed values, 8-bit ones as bytes.
    const auto soxSamples = [&](const fs::path& file, int bits) {
        const std::string raw = (dir / "sox.raw").string();
        V out;
        if (sox("'" + file.string() + "' -t raw " +
                (bits == 8 ? "-e unsigned-integer -b 8 '" : "-e signed-integer -b 16 -L '") + raw +
                "'") != 0)
            return out;
        const Bytes b = ReadBytes(raw);
        for (size_t i = 0; i + bits / 8 <= b.size(); i += bits / 8)
            out.push_back(bits == 8 ? b[i] : int16_t(b[i] | b[i + 1] << 8));
        return out;
    };
    const auto ours = [](const Sound& sound) {
        V out;
        const auto ch = ChannelsOf(sound);
        for (size_t i = 0; i < ch[0].size(); ++i)
            for (const V& c : ch)
                out.push_back(sound.GetBytesPSample() == 1 ? ToByte(c[i]) : c[i]);
        return out;
    };
    // clang-format off
    const std::tuple<int32_t, int, int, std::string> cases[] = {
        {8000, 8, 1, ""}, {22050, 8, 2, "LIST"}, {44100, 16, 1, "LIST"}, {48000, 16, 2, ""},
        {44100, 16, 2, "cut"}, {8000, 8, 2, "cut"}};
    // clang-format on
    const fs::path file = dir / "sox.wav";
    for (const auto& [rate, bits, channels, extra] : cases) {
        SCOPED_TRACE(std::to_string(rate) + " " + extra);
        ASSERT_EQ(sox("-R -n -r " + std::to_string(rate) + " -b " + std::to_string(bits) + " -c " +
                      std::to_string(channels) + " '" + file.string() + "' synth 0.25 sine 440" +
                      (channels == 2 ? " square 313" : "")),
                  0);
        Bytes bytes = ReadBytes(file);
        if (extra == "LIST") {
            const Bytes info = Chunk("LIST", Cat({Tag("INFO"), Chunk("ICMT", Tag("kvx!"))}));
            bytes.insert(bytes.begin() + 36, info.begin(), info.end());
            const Bytes riff = Le({{uint32_t(bytes.size() - 8), 4}});
            std::copy(riff.begin(), riff.end(), bytes.begin() + 4);
        } else if (extra == "cut") {
            bytes.resize(bytes.size() * 2 / 3 + 1);
        }
        WriteAll(file, bytes);
        const V expected = soxSamples(file, bits);
        ASSERT_FALSE(expected.empty());
        SoundUPtr sound;
        std::string message;
        ASSERT_TRUE(ReadWaveFile(file, sound, message)) << message;
        EXPECT_EQ((V{sound->GetSampleFreq(), sound->GetMonoStereo()}), (V{rate, channels}));
        EXPECT_EQ(ours(*sound), expected);
        // Ours, with the extremes, read by sox as written.
        const SoundUPtr mine =
            SoundOf(channels, rate, int16_t(bits / 8), TestWave(3001, 1), TestWave(3001, 2));
        ASSERT_TRUE(mine->SaveToWavFile(nullptr, file, 0, -1));
        EXPECT_EQ(soxSamples(file, bits), ours(*mine));
    }
}
