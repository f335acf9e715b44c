#include "sound/WavFile.h"

#include "general/Messages.h"
#include "general/files/SafeFile.h"
#include "sound/Sound.h"
#include "sound/WaveTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace kelvorn;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

using BoxRecorder = test::RecordedBoxes;

void Le16(Bytes& b, uint32_t v)
{
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void Le32(Bytes& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void Text(Bytes& b, const char* t)
{
    while (*t)
        b.push_back(static_cast<uint8_t>(*t++));
}

// A chunk with its pad byte; claimed, when given, stands in the size field instead of the size.
Bytes Chunk(const char* name, const Bytes& body, int64_t claimed = -1)
{
    Bytes b;
    Text(b, name);
    Le32(b, static_cast<uint32_t>(claimed >= 0 ? claimed : static_cast<int64_t>(body.size())));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() % 2)
        b.push_back(0);
    return b;
}

Bytes FormatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits)
{
    Bytes b;
    Le16(b, tag);
    Le16(b, channels);
    Le32(b, rate);
    Le32(b, rate * channels * (bits / 8));
    Le16(b, static_cast<uint16_t>(channels * (bits / 8)));
    Le16(b, bits);
    return b;
}

// The extensible form: cbSize 22, valid bits, channel mask, and a sub-format GUID whose first two
// bytes are the sub-format tag.
Bytes ExtensibleBody(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t subTag)
{
    Bytes b = FormatBody(0xFFFE, channels, rate, bits);
    Le16(b, 22);
    Le16(b, bits);
    Le32(b, channels == 2 ? 3 : 4);
    Le16(b, subTag);
    for (uint8_t x :
         {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71})
        b.push_back(x);
    return b;
}

Bytes Riff(const std::vector<Bytes>& chunks)
{
    Bytes body;
    Text(body, "WAVE");
    for (const Bytes& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    Bytes b;
    Text(b, "RIFF");
    Le32(b, static_cast<uint32_t>(body.size()));
    body.insert(body.begin(), b.begin(), b.end());
    return body;
}

// 16-bit little-endian samples of the given values.
Bytes Samples16(const std::vector<int16_t>& values)
{
    Bytes b;
    for (int16_t v : values)
        Le16(b, static_cast<uint16_t>(v));
    return b;
}

// Deterministic values that include the extremes and the edges of the 8-bit mapping.
std::vector<int16_t> TestValues(int32_t count, uint32_t seed)
{
    static const int16_t edges[] = {-32768, 32767, 0, -1, 1, -255, 255, -256, 256, -257, 257};
    std::vector<int16_t> v(static_cast<size_t>(count));
    uint32_t state = seed;
    for (int32_t i = 0; i < count; ++i) {
        state = state * 1103515245u + 12345u;
        v[static_cast<size_t>(i)] =
            i < 11 ? edges[i] : static_cast<int16_t>(static_cast<uint16_t>(state >> 8));
    }
    return v;
}

WavePtr WaveOf(const std::vector<int16_t>& values)
{
    AbortFlag flag = 0;
    WavePtr w = CreateWave(&flag, static_cast<int64_t>(values.size()));
    if (!w)
        return std::make_unique<Wave>();
    std::copy(values.begin(), values.end(), w->Data());
    return w;
}

std::vector<int16_t> ValuesOf(const Wave* w)
{
    return std::vector<int16_t>(w->Data(), w->Data() + w->Values());
}

uint8_t ToByte(int16_t v)
{
    return static_cast<uint8_t>(128 + v / 256);
}

Bytes ReadAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), {});
}

void WriteAll(const fs::path& p, const Bytes& bytes)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

class WavFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir = fs::temp_directory_path() / ("kv-wav-" + std::to_string(::getpid()) + "-" + name);
        fs::create_directories(dir);
    }
    void TearDown() override
    {
        SafeFileWriter::FailAfterBytes(-1);
        fs::remove_all(dir);
    }
    fs::path dir;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Writing: the exact bytes

struct WriteCase
{
    int channels;
    int bytes;
    int32_t rate;
    int32_t count;
    int32_t begin;
    int32_t end;
};

class WavWriteBytes : public WavFileTest, public ::testing::WithParamInterface<WriteCase>
{
};

TEST_P(WavWriteBytes, HeaderAndSamplesAreExact)
{
    const WriteCase c = GetParam();
    std::vector<int16_t> left = TestValues(c.count, 7), right = TestValues(c.count, 99);
    SoundUPtr sound;
    if (c.channels == 1)
        sound = std::make_unique<MonoSound>(WaveOf(left), c.rate, c.bytes);
    else
        sound = std::make_unique<StereoSound>(WaveOf(left), WaveOf(right), c.rate, c.bytes);

    fs::path file = dir / "out.wav";
    std::string message;
    BoxRecorder boxes;
    ASSERT_TRUE(WriteWaveFile(nullptr, file, sound.get(), c.begin, c.end, message));
    EXPECT_TRUE(boxes.boxes.empty());
    const int32_t end = c.end == -1 ? c.count : c.end;
    const uint32_t data = static_cast<uint32_t>(c.channels * (end - c.begin) * c.bytes);

    Bytes expected;
    Text(expected, "RIFF");
    Le32(expected, 36 + data);
    Text(expected, "WAVEfmt ");
    Le32(expected, 16);
    Le16(expected, 1);
    Le16(expected, static_cast<uint16_t>(c.channels));
    Le32(expected, static_cast<uint32_t>(c.rate));
    Le32(expected, static_cast<uint32_t>(c.channels * c.rate * c.bytes));
    Le16(expected, static_cast<uint16_t>(c.channels * c.bytes));
    Le16(expected, static_cast<uint16_t>(8 * c.bytes));
    Text(expected, "data");
    Le32(expected, data);
    ASSERT_EQ(expected.size(), 44u);
    for (int32_t i = c.begin; i < end; ++i) {
        for (int ch = 0; ch < c.channels; ++ch) {
            int16_t v = (ch == 0 ? left : right)[static_cast<size_t>(i)];
            if (c.bytes == 1)
                expected.push_back(ToByte(v));
            else
                Le16(expected, static_cast<uint16_t>(v));
        }
    }
    EXPECT_EQ(ReadAll(file), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, WavWriteBytes,
    ::testing::Values(WriteCase{1, 2, 44100, 300, 0, 300}, WriteCase{1, 1, 22050, 300, 0, -1},
                      WriteCase{2, 2, 48000, 70000, 5, 69990}, WriteCase{2, 1, 8000, 300, 3, 299},
                      WriteCase{1, 2, 44100, 100, 40, 40}, WriteCase{2, 1, 11025, 100, 0, 0},
                      WriteCase{1, 1, 5512, 0, 0, 0}, WriteCase{2, 2, 176128, 0, 0, -1},
                      WriteCase{1, 2, 1, 200000, 0, 200000}));

TEST_F(WavFileTest, EightBitMappingBothWays)
{
    // v -> 128 + v / 256 truncated toward zero; b -> (b - 128) * 256.
    const std::vector<std::pair<int16_t, uint8_t>> table = {
        {-32768, 0}, {32767, 255}, {0, 128},   {-255, 128}, {255, 128}, {-256, 127},
        {256, 129},  {-257, 127},  {511, 129}, {512, 130},  {-513, 126}};
    std::vector<int16_t> values;
    for (auto& [v, b] : table)
        values.push_back(v);
    MonoSound sound(WaveOf(values), 8000, 1);
    std::string message;
    ASSERT_TRUE(WriteWaveFile(nullptr, dir / "m.wav", &sound, 0, -1, message));
    Bytes file = ReadAll(dir / "m.wav");
    ASSERT_EQ(file.size(), 44 + table.size());
    for (size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(file[44 + i], table[i].second) << "value " << table[i].first;

    SoundUPtr back;
    ASSERT_TRUE(ReadWaveFile(dir / "m.wav", back, message)) << message;
    EXPECT_EQ(message, "No errors occurred.");
    const Wave* w = back->GetLeftWave();
    ASSERT_EQ(w->Values(), static_cast<int32_t>(table.size()));
    for (size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ((*w)[static_cast<int32_t>(i)], (table[i].second - 128) * 256);
}

// ---------------------------------------------------------------------------------------------
// Round trips

class WavRoundTrip : public WavFileTest, public ::testing::WithParamInterface<WriteCase>
{
};

TEST_P(WavRoundTrip, ReadsBackWhatWasWritten)
{
    const WriteCase c = GetParam();
    std::vector<int16_t> left = TestValues(c.count, 3), right = TestValues(c.count, 4);
    SoundUPtr sound;
    if (c.channels == 1)
        sound = std::make_unique<MonoSound>(WaveOf(left), c.rate, c.bytes);
    else
        sound = std::make_unique<StereoSound>(WaveOf(left), WaveOf(right), c.rate, c.bytes);
    std::string message;
    fs::path file = dir / "rt.wav";
    ASSERT_TRUE(sound->SaveToWavFile(nullptr, file, c.begin, c.end));

    SoundUPtr back;
    ASSERT_TRUE(ReadWaveFile(file, back, message)) << message;
    EXPECT_EQ(back->GetMonoStereo(), c.channels);
    EXPECT_EQ(back->GetSampleFreq(), c.rate);
    EXPECT_EQ(back->GetBytesPSample(), c.bytes);
    auto expect = [&](const std::vector<int16_t>& src) {
        std::vector<int16_t> e(src.begin() + c.begin, src.begin() + c.end);
        if (c.bytes == 1)
            for (int16_t& v : e)
                v = static_cast<int16_t>((ToByte(v) - 128) * 256);
        return e;
    };
    EXPECT_EQ(ValuesOf(back->GetLeftWave()), expect(left));
    if (c.channels == 2) {
        EXPECT_EQ(ValuesOf(back->GetRightWave()), expect(right));
    }

    // The same bytes from memory give the same sound.
    Bytes bytes = ReadAll(file);
    SoundUPtr fromMemory;
    ASSERT_TRUE(ReadWaveBytes(bytes.data(), bytes.size(), fromMemory, message));
    EXPECT_EQ(ValuesOf(fromMemory->GetRightWave()), ValuesOf(back->GetRightWave()));
}

INSTANTIATE_TEST_SUITE_P(Formats, WavRoundTrip,
                         ::testing::Values(WriteCase{1, 2, 44100, 5000, 0, 5000},
                                           WriteCase{1, 1, 22050, 5000, 17, 4000},
                                           WriteCase{2, 2, 96000, 300000, 1, 299999},
                                           WriteCase{2, 1, 7, 5000, 0, 5000},
                                           WriteCase{2, 2, 44100, 10, 4, 4}));

// ---------------------------------------------------------------------------------------------
// Reading what other programs write

struct AcceptCase
{
    const char* name;
    Bytes file;
    int channels;
    int32_t rate;
    int bytes;
    std::vector<int16_t> left;
    std::vector<int16_t> right;
    int64_t claimed = -1; ///< the frames the data size announces; -1: those read
};

std::vector<AcceptCase> AcceptCases()
{
    const std::vector<int16_t> v = {100, -200, 32767, -32768, 5, 6};
    const Bytes d16 = Samples16(v);
    const Bytes fmtMono16 = Chunk("fmt ", FormatBody(1, 1, 44100, 16));
    const Bytes fmtStereo16 = Chunk("fmt ", FormatBody(1, 2, 48000, 16));
    Bytes fmt18 = FormatBody(1, 1, 44100, 16);
    Le16(fmt18, 0);
    Bytes list = {'I', 'N', 'F', 'O', 'I', 'C', 'M', 'T', 5, 0, 0, 0, 'h', 'e', 'l', 'l', 'o', 0};
    Bytes odd = {1, 2, 3, 4, 5};
    Bytes fact8 = {6, 0, 0, 0, 0, 0, 0, 0};
    Bytes fact4 = {6, 0, 0, 0};
    Bytes oddData = d16;
    oddData.push_back(0x7F);
    Bytes bytes8 = {0, 255, 128, 127, 129, 1};
    std::vector<int16_t> v8;
    for (uint8_t b : bytes8)
        v8.push_back(static_cast<int16_t>((b - 128) * 256));
    Bytes stereo14 = d16;
    stereo14.insert(stereo14.end(), {1, 2});

    std::vector<AcceptCase> cases = {
        {"plain", Riff({fmtMono16, Chunk("data", d16)}), 1, 44100, 2, v, {}},
        {"format of 18 bytes",
         Riff({Chunk("fmt ", fmt18), Chunk("data", d16)}),
         1,
         44100,
         2,
         v,
         {}},
        {"fact of 4",
         Riff({fmtMono16, Chunk("fact", fact4), Chunk("data", d16)}),
         1,
         44100,
         2,
         v,
         {}},
        {"fact of 8",
         Riff({fmtMono16, Chunk("fact", fact8), Chunk("data", d16)}),
         1,
         44100,
         2,
         v,
         {}},
        {"fact of odd size with pad",
         Riff({fmtMono16, Chunk("fact", odd), Chunk("data", d16)}),
         1,
         44100,
         2,
         v,
         {}},
        {"LIST", Riff({fmtMono16, Chunk("LIST", list), Chunk("data", d16)}), 1, 44100, 2, v, {}},
        {"LIST odd, cue, bext, fact",
         Riff({fmtMono16, Chunk("LIST", odd), Chunk("cue ", fact4), Chunk("bext", Bytes(602, 0)),
               Chunk("fact", fact4), Chunk("data", d16)}),
         1,
         44100,
         2,
         v,
         {}},
        {"JUNK before the format",
         Riff({Chunk("JUNK", Bytes(28, 0)), fmtMono16, Chunk("data", d16)}),
         1,
         44100,
         2,
         v,
         {}},
        {"stereo drops trailing bytes",
         Riff({fmtStereo16, Chunk("data", stereo14)}),
         2,
         48000,
         2,
         {100, 32767, 5},
         {-200, -32768, 6}},
        {"mono odd size drops the last byte",
         Riff({fmtMono16, Chunk("data", oddData)}),
         1,
         44100,
         2,
         v,
         {}},
        {"mono 8 bit",
         Riff({Chunk("fmt ", FormatBody(1, 1, 11025, 8)), Chunk("data", bytes8)}),
         1,
         11025,
         1,
         v8,
         {}},
        {"stereo 8 bit",
         Riff({Chunk("fmt ", FormatBody(1, 2, 5512, 8)), Chunk("data", bytes8)}),
         2,
         5512,
         1,
         {v8[0], v8[2], v8[4]},
         {v8[1], v8[3], v8[5]}},
        {"extensible PCM 16 bit",
         Riff({Chunk("fmt ", ExtensibleBody(2, 44100, 16, 1)), Chunk("fact", fact4),
               Chunk("data", d16)}),
         2,
         44100,
         2,
         {100, 32767, 5},
         {-200, -32768, 6}},
        {"extensible PCM 8 bit",
         Riff({Chunk("fmt ", ExtensibleBody(1, 8000, 8, 1)), Chunk("data", bytes8)}),
         1,
         8000,
         1,
         v8,
         {}},
        {"empty data", Riff({fmtStereo16, Chunk("data", {})}), 2, 48000, 2, {}, {}},
        {"data less than a frame",
         Riff({fmtStereo16, Chunk("data", {1, 2, 3})}),
         2,
         48000,
         2,
         {},
         {}},
        {"chunks after the data",
         Riff({fmtMono16, Chunk("data", d16), Chunk("LIST", list)}),
         1,
         44100,
         2,
         v,
         {}},
        {"odd rate",
         Riff({Chunk("fmt ", FormatBody(1, 1, 1, 16)), Chunk("data", d16)}),
         1,
         1,
         2,
         v,
         {}},
        {"largest rate",
         Riff({Chunk("fmt ", FormatBody(1, 1, 0x7FFFFFFF, 16)), Chunk("data", d16)}),
         1,
         0x7FFFFFFF,
         2,
         v,
         {}},
    };
    // A data chunk that claims more than the file holds reads what is there.
    Bytes truncated = Riff({fmtStereo16, Chunk("data", d16)});
    truncated[truncated.size() - d16.size() - 4] = 0xF0;
    truncated.resize(truncated.size() - 3);
    cases.push_back({"truncated", truncated, 2, 48000, 2, {100, 32767}, {-200, -32768}, 240 / 4});
    Bytes huge = Riff({fmtMono16, Chunk("data", d16)});
    huge[huge.size() - d16.size() - 1] = 0x7F; // size 0x7F00000C
    cases.push_back({"size beyond the file", huge, 1, 44100, 2, v, {}, 0x7F00000C / 2});
    return cases;
}

class WavAccept : public WavFileTest, public ::testing::WithParamInterface<AcceptCase>
{
};

TEST_P(WavAccept, ReadsTheSamples)
{
    const AcceptCase& c = GetParam();
    WriteAll(dir / "in.wav", c.file);
    for (int fromFile = 0; fromFile < 2; ++fromFile) {
        SoundUPtr sound;
        std::string message = "stale";
        WaveReadCounts counts{-1, -1};
        bool ok = fromFile ? ReadWaveFile(dir / "in.wav", sound, message, &counts)
                           : ReadWaveBytes(c.file.data(), c.file.size(), sound, message, &counts);
        ASSERT_TRUE(ok) << message;
        EXPECT_EQ(message, "No errors occurred.");
        ASSERT_TRUE(sound);
        EXPECT_EQ(counts.framesRead, static_cast<int64_t>(c.left.size()));
        EXPECT_EQ(counts.framesClaimed, c.claimed < 0 ? counts.framesRead : c.claimed);
        EXPECT_EQ(sound->GetMonoStereo(), c.channels);
        EXPECT_EQ(sound->GetSampleFreq(), c.rate);
        EXPECT_EQ(sound->GetBytesPSample(), c.bytes);
        EXPECT_EQ(ValuesOf(sound->GetLeftWave()), c.left);
        if (c.channels == 2) {
            EXPECT_EQ(ValuesOf(sound->GetRightWave()), c.right);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, WavAccept, ::testing::ValuesIn(AcceptCases()),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (char& ch : n)
                                 if (!isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return n;
                         });

// ---------------------------------------------------------------------------------------------
// Refusals

struct RefuseCase
{
    const char* name;
    Bytes file;
    std::string message;
};

std::vector<RefuseCase> RefuseCases()
{
    const Bytes d16 = Samples16({1, 2, 3, 4});
    const Bytes fmtMono16 = Chunk("fmt ", FormatBody(1, 1, 44100, 16));
    auto withFormat = [&](const Bytes& body) {
        return Riff({Chunk("fmt ", body), Chunk("data", d16)});
    };
    Bytes fmt14 = FormatBody(1, 1, 44100, 16);
    fmt14.resize(14);
    Bytes rifx = Riff({fmtMono16, Chunk("data", d16)});
    rifx[3] = 'X';
    Bytes noWave = Riff({fmtMono16, Chunk("data", d16)});
    noWave[8] = 'w';
    Bytes hugeFormat = Riff({fmtMono16, Chunk("data", d16)});
    hugeFormat[19] = 0x80;
    Bytes cutInFormat = Riff({fmtMono16, Chunk("data", d16)});
    cutInFormat.resize(30);
    Bytes cutInExtension = Riff({Chunk("fmt ", ExtensibleBody(1, 8000, 16, 1))});
    cutInExtension.resize(44);

    return {
        {"empty file", {}, "\"RIFF\" not found."},
        {"three bytes", {'R', 'I', 'F'}, "\"RIFF\" not found."},
        {"RIFX", rifx, "\"RIFF\" not found."},
        {"RIFF without size", {'R', 'I', 'F', 'F', 1, 2}, "Unexpected end of file at byte 6."},
        {"no WAVE", noWave, "\"WAVEfmt \" not found."},
        {"WAVE without format", Riff({Chunk("data", d16)}), "\"WAVEfmt \" not found."},
        {"format of 14 bytes", withFormat(fmt14), "chunk too small."},
        {"format larger than the file", hugeFormat, "\"data\" not found."},
        {"format cut short", cutInFormat, "Unexpected end of file at byte 30."},
        {"extension cut short", cutInExtension, "Unexpected end of file at byte 44."},
        {"float", withFormat(FormatBody(3, 1, 44100, 32)), "A value must be 1."},
        {"ADPCM", withFormat(FormatBody(2, 1, 44100, 4)), "A value must be 1."},
        {"tag 0", withFormat(FormatBody(0, 1, 44100, 16)), "A value must be 1."},
        {"extensible float", withFormat(ExtensibleBody(2, 44100, 32, 3)), "A value must be 1."},
        {"extensible without its extension", withFormat(FormatBody(0xFFFE, 1, 44100, 16)),
         "A value must be 1."},
        {"no channels", withFormat(FormatBody(1, 0, 44100, 16)), "MonoStereo must be 1 or 2."},
        {"three channels", withFormat(FormatBody(1, 3, 44100, 16)), "MonoStereo must be 1 or 2."},
        {"minus one channel", withFormat(FormatBody(1, 0xFFFF, 44100, 16)),
         "MonoStereo must be 1 or 2."},
        {"24 bits", withFormat(FormatBody(1, 1, 44100, 24)),
         "BitsPerSample must be 8 or 16, not 24."},
        {"4 bits", withFormat(FormatBody(1, 1, 44100, 4)), "BitsPerSample must be 8 or 16, not 4."},
        {"12 bits", withFormat(FormatBody(1, 2, 44100, 12)),
         "BitsPerSample must be 8 or 16, not 12."},
        {"0 bits", withFormat(FormatBody(1, 1, 44100, 0)), "BitsPerSample must be 8 or 16, not 0."},
        {"32 bits", withFormat(FormatBody(1, 1, 44100, 32)),
         "BitsPerSample must be 8 or 16, not 32."},
        {"extensible 24 bits", withFormat(ExtensibleBody(2, 44100, 24, 1)),
         "BitsPerSample must be 8 or 16, not 24."},
        {"rate 0", withFormat(FormatBody(1, 1, 0, 16)),
         "SampleFreq must be greater than 0, not 0."},
        {"negative rate", withFormat(FormatBody(1, 1, 0x80000000u, 16)),
         "SampleFreq must be greater than 0, not -2147483648."},
        {"no data", Riff({fmtMono16}), "\"data\" not found."},
        {"only a LIST", Riff({fmtMono16, Chunk("LIST", {1, 2, 3, 4})}), "\"data\" not found."},
        {"chunk larger than the file",
         Riff({fmtMono16, Chunk("LIST", Bytes(8, 0), 0x10000000), Chunk("data", d16)}),
         "\"data\" not found."},
    };
}

class WavRefuse : public WavFileTest, public ::testing::WithParamInterface<RefuseCase>
{
};

TEST_P(WavRefuse, FailsWithItsMessageAndLeavesTheSound)
{
    const RefuseCase& c = GetParam();
    WriteAll(dir / "bad.wav", c.file);
    BoxRecorder boxes;
    for (int fromFile = 0; fromFile < 2; ++fromFile) {
        auto keep = std::make_unique<MonoSound>(1234, 2);
        Sound* before = keep.get();
        SoundUPtr sound = std::move(keep);
        std::string message;
        WaveReadCounts counts{7, 7};
        bool ok = fromFile ? ReadWaveFile(dir / "bad.wav", sound, message, &counts)
                           : ReadWaveBytes(c.file.data(), c.file.size(), sound, message, &counts);
        EXPECT_FALSE(ok);
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(sound.get(), before);
        EXPECT_EQ(counts.framesRead, 0);
        EXPECT_EQ(counts.framesClaimed, 0);
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Files, WavRefuse, ::testing::ValuesIn(RefuseCases()),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (char& ch : n)
                                 if (!isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return n;
                         });

TEST_F(WavFileTest, FilesThatCannotBeOpened)
{
    SoundUPtr sound;
    std::string message;
    EXPECT_FALSE(ReadWaveFile(dir / "missing.wav", sound, message));
    EXPECT_EQ(message, "Cannot open File.");
    message.clear();
    EXPECT_FALSE(ReadWaveFile(dir, sound, message));
    EXPECT_EQ(message, "Cannot open File.");
    EXPECT_FALSE(ReadWaveFile("", sound, message));
    EXPECT_EQ(message, "Cannot open File.");
    EXPECT_FALSE(sound);
}

TEST_F(WavFileTest, ReadsFromAPipe)
{
    // No size to check against: what arrives is read.
    Bytes file =
        Riff({Chunk("fmt ", FormatBody(1, 1, 8000, 16)), Chunk("data", Samples16({7, -7}))});
    fs::path fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FILE* out = std::fopen(fifo.c_str(), "wb");
        std::fwrite(file.data(), 1, file.size(), out);
        std::fclose(out);
        ::_exit(0);
    }
    SoundUPtr sound;
    std::string message;
    EXPECT_TRUE(ReadWaveFile(fifo, sound, message)) << message;
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(sound);
    EXPECT_EQ(ValuesOf(sound->GetLeftWave()), (std::vector<int16_t>{7, -7}));
}

TEST_F(WavFileTest, AllocationFailureShowsTheMemoryBox)
{
    Bytes file =
        Riff({Chunk("fmt ", FormatBody(1, 2, 8000, 16)), Chunk("data", Samples16({1, 2}))});
    BoxRecorder boxes;
    SoundUPtr sound;
    std::string message;
    FailAllocationsAfter(1);
    bool ok = ReadWaveBytes(file.data(), file.size(), sound, message);
    ResetAllocationFailure();
    EXPECT_FALSE(ok);
    EXPECT_EQ(message, "There is not enough memmory for the samples of this file.");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "There is not enough memmory for this operation.");
    EXPECT_EQ(boxes.boxes[0].caption, "System Error");
    EXPECT_FALSE(sound);
}

TEST_F(WavFileTest, DamagedFilesReadTheFramesTheyHoldAndSaySo)
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
    const std::vector<Case> cases = {
        {2, 2, 44, -1, 0, 1000},
        {2, 2, 44 + 3, -1, 0, 1000},
        {2, 2, 44 + 4 * 300 + 3, -1, 300, 1000},
        {2, 2, 44 + 4 * 999, -1, 999, 1000},
        {2, 2, 44 + 4 * 1000, -1, 1000, 1000},
        {1, 1, 44 + 1, -1, 1, 1000},
        {1, 2, 44 + 2 * 500 + 1, -1, 500, 1000},
        {2, 1, 44 + 2 * 777, -1, 777, 1000},
        // Sizes from 2 GB up are unsigned, never negative.
        {2, 2, 44 + 4 * 1000, 0xC0000000, 1000, 0xC0000000 / 4},
        {2, 1, 44 + 2 * 1000, 0x80000000, 1000, 0x80000000 / 2},
        {1, 2, 44 + 2 * 1000, 0xFFFFFFFF, 1000, 0xFFFFFFFF / 2},
        {1, 1, 44 + 600, 0xFFFFFFFF, 600, 0xFFFFFFFF},
    };
    const std::vector<int16_t> l = TestValues(1000, 1), r = TestValues(1000, 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.channels) + " channels, " + std::to_string(c.bytes) +
                     " bytes, " + std::to_string(c.keep) + " bytes kept");
        SoundUPtr sound;
        if (c.channels == 1)
            sound = std::make_unique<MonoSound>(WaveOf(l), 8000, c.bytes);
        else
            sound = std::make_unique<StereoSound>(WaveOf(l), WaveOf(r), 8000, c.bytes);
        ASSERT_TRUE(sound->SaveToWavFile(nullptr, dir / "d.wav", 0, -1));
        Bytes file = ReadAll(dir / "d.wav");
        file.resize(static_cast<size_t>(c.keep));
        if (c.size >= 0)
            for (int i = 0; i < 4; ++i)
                file[40 + static_cast<size_t>(i)] = static_cast<uint8_t>(c.size >> (8 * i));
        WriteAll(dir / "d.wav", file);

        for (int fromFile = 0; fromFile < 2; ++fromFile) {
            SoundUPtr back;
            std::string message;
            WaveReadCounts counts;
            bool ok = fromFile ? ReadWaveFile(dir / "d.wav", back, message, &counts)
                               : ReadWaveBytes(file.data(), file.size(), back, message, &counts);
            ASSERT_TRUE(ok) << message;
            EXPECT_EQ(message, "No errors occurred.");
            EXPECT_EQ(counts.framesRead, c.read);
            EXPECT_EQ(counts.framesClaimed, c.claimed);
            EXPECT_EQ(counts.Damaged(), c.read < c.claimed);
            ASSERT_EQ(back->GetValues(), c.read);
            auto expect = [&](const std::vector<int16_t>& v) {
                std::vector<int16_t> e(v.begin(), v.begin() + c.read);
                if (c.bytes == 1)
                    for (int16_t& x : e)
                        x = static_cast<int16_t>((ToByte(x) - 128) * 256);
                return e;
            };
            if (c.read > 0) {
                EXPECT_EQ(ValuesOf(back->GetLeftWave()), expect(l));
                if (c.channels == 2) {
                    EXPECT_EQ(ValuesOf(back->GetRightWave()), expect(r));
                }
            }
        }
    }
}

TEST(WaveDamagedText, SaysHowManyOfHowMany)
{
    EXPECT_EQ(WaveDamagedText({1477, 4410}),
              "The file is damaged: only 1477 of the 4410 sample frames its header announces "
              "were read.");
    EXPECT_EQ(WaveDamagedText({0, 4294967295}),
              "The file is damaged: only 0 of the 4294967295 sample frames its header announces "
              "were read.");
}

// A FIFO fed by a child that writes head and then zeros from /dev/zero until the reader goes
// away; the child reports the bytes it got into the FIFO.
class EndlessFifo
{
public:
    EndlessFifo(const fs::path& fifo, const Bytes& head)
    {
        int report[2];
        if (::mkfifo(fifo.c_str(), 0600) != 0 || ::pipe(report) != 0)
            return;
        child = ::fork();
        if (child == 0) {
            ::signal(SIGPIPE, SIG_IGN);
            ::close(report[0]);
            int out = ::open(fifo.c_str(), O_WRONLY);
            int zero = ::open("/dev/zero", O_RDONLY);
            int64_t written = 0;
            bool open = out >= 0 && zero >= 0 &&
                        ::write(out, head.data(), head.size()) == ssize_t(head.size());
            written += open ? int64_t(head.size()) : 0;
            char block[65536];
            while (open && ::read(zero, block, sizeof block) == ssize_t(sizeof block)) {
                ssize_t n = ::write(out, block, sizeof block);
                if (n <= 0)
                    break;
                written += n;
            }
            [[maybe_unused]] ssize_t sent = ::write(report[1], &written, sizeof written);
            ::_exit(0);
        }
        ::close(report[1]);
        reportFd = report[0];
    }
    ~EndlessFifo()
    {
        if (child > 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
        if (reportFd >= 0)
            ::close(reportFd);
    }
    bool Started() const { return child > 0; }
    /// The bytes the child wrote before the reader closed the FIFO.
    int64_t Written()
    {
        int64_t written = -1;
        if (::read(reportFd, &written, sizeof written) != sizeof written)
            return -1;
        ::waitpid(child, nullptr, 0);
        child = -1;
        return written;
    }

private:
    pid_t child = -1;
    int reportFd = -1;
};

TEST_F(WavFileTest, EndlessFifoIsRefusedWithinTheWaveLimit)
{
    constexpr int64_t limitValues = 256 * 1024;
    const Bytes header =
        Riff({Chunk("fmt ", FormatBody(1, 2, 8000, 16)), Chunk("data", {}, 0xFFFFFFFF)});
    struct Case
    {
        const char* name;
        Bytes head;
        std::string message;
        int boxes;
    };
    const std::vector<Case> cases = {
        {"zeros only", {}, "\"RIFF\" not found.", 0},
        {"a header, then zeros", header,
         "There is not enough memmory for the samples of this file.", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path fifo = dir / "fifo";
        fs::remove(fifo);
        EndlessFifo feed(fifo, c.head);
        ASSERT_TRUE(feed.Started());
        BoxRecorder boxes;
        LimitSamples(limitValues);
        auto keep = std::make_unique<MonoSound>(1234, 2);
        const Sound* before = keep.get();
        SoundUPtr sound = std::move(keep);
        std::string message;
        WaveReadCounts counts{7, 7};
        const bool ok = ReadWaveFile(fifo, sound, message, &counts);
        ResetAllocationFailure();
        EXPECT_FALSE(ok);
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(sound.get(), before);
        EXPECT_EQ(counts.framesRead, 0);
        EXPECT_EQ(counts.framesClaimed, 0);
        ASSERT_EQ(boxes.boxes.size(), static_cast<size_t>(c.boxes));
        if (c.boxes > 0) {
            EXPECT_EQ(boxes.boxes[0].text, "There is not enough memmory for this operation.");
        }
        // What the reader took, and at most a pipe's buffer and a block besides.
        const int64_t written = feed.Written();
        EXPECT_GE(written, c.boxes > 0 ? 2 * limitValues : 0);
        EXPECT_LE(written, 2 * limitValues + 2 * 65536);
    }
}

// ---------------------------------------------------------------------------------------------
// Write failures

TEST_F(WavFileTest, FailedWriteKeepsTheOldFile)
{
    std::vector<int16_t> l = TestValues(100000, 5);
    StereoSound sound(WaveOf(l), WaveOf(l), 44100, 2);
    fs::path file = dir / "keep.wav";
    WriteAll(file, {'o', 'l', 'd'});
    for (int64_t failAt : {0, 10, 44, 45, 1000, 300000}) {
        SafeFileWriter::FailAfterBytes(failAt);
        BoxRecorder boxes;
        std::string message;
        EXPECT_FALSE(WriteWaveFile(nullptr, file, &sound, 0, -1, message)) << failAt;
        SafeFileWriter::FailAfterBytes(-1);
        EXPECT_EQ(message, "Cannot save Wave: No space left on device.");
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, message);
        EXPECT_EQ(boxes.boxes[0].caption, "FileError");
        EXPECT_EQ(boxes.boxes[0].icon, MsgIcon::Information);
        EXPECT_EQ(ReadAll(file), (Bytes{'o', 'l', 'd'}));
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    }
    // 44 + 400000 bytes exactly is enough.
    SafeFileWriter::FailAfterBytes(44 + 400000);
    std::string message;
    EXPECT_TRUE(WriteWaveFile(nullptr, file, &sound, 0, -1, message)) << message;
    EXPECT_EQ(fs::file_size(file), 44u + 400000u);
}

TEST_F(WavFileTest, UnopenableTargetShowsTheOpenMessage)
{
    MonoSound sound(WaveOf({1, 2, 3}), 8000, 2);
    const std::string text = "Cannot save Wave: Operating System cannot open file for writing, "
                             "maybe the file is readonly.";
    for (fs::path target : {dir / "no" / "such" / "dir.wav", fs::path()}) {
        BoxRecorder boxes;
        std::string message;
        EXPECT_FALSE(WriteWaveFile(nullptr, target, &sound, 0, -1, message));
        EXPECT_EQ(message, text);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].caption, "FileError");
        EXPECT_FALSE(sound.SaveToWavFile(nullptr, target, 0, -1));
    }
}

TEST_F(WavFileTest, FormatsTheReaderWouldRefuseAreNotWritten)
{
    struct Case
    {
        int16_t bytes;
        int32_t rate;
        std::string message;
    };
    const std::vector<Case> cases = {
        {3, 8000, "Cannot save Wave: BytesPSample must be 1 or 2, not 3."},
        {0, 8000, "Cannot save Wave: BytesPSample must be 1 or 2, not 0."},
        {2, 0, "Cannot save Wave: SampleFreq must be greater than 0, not 0."},
        {1, -5, "Cannot save Wave: SampleFreq must be greater than 0, not -5."},
    };
    for (const Case& c : cases) {
        MonoSound sound(WaveOf({1, 2}), c.rate, c.bytes);
        BoxRecorder boxes;
        std::string message;
        EXPECT_FALSE(WriteWaveFile(nullptr, dir / "x.wav", &sound, 0, -1, message));
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(boxes.boxes.size(), 1u);
        EXPECT_FALSE(fs::exists(dir / "x.wav"));
    }
}

TEST_F(WavFileTest, WriterAndReaderAgreeOnTheLargestFile)
{
    // The writer refuses before it reads a single value, so one real value and a claimed count
    // stand for a wave of gigabytes; what it would write is checked through its header.
    struct Case
    {
        int16_t channels;
        int16_t bytes;
        int64_t most; ///< frames written at most
    };
    const std::vector<Case> cases = {
        {1, 1, INT32_MAX}, // a wave counts no more
        {1, 2, 2147483629},
        {2, 1, 2147483629},
        {2, 2, 1073741814},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.channels) + " channels of " + std::to_string(c.bytes));
        EXPECT_EQ(MaxWaveFileFrames(c.channels, c.bytes), c.most);
        auto write = [&](int64_t frames, std::string& message) {
            auto fake = [&] {
                return std::make_unique<Wave>(AllocSamples(1), static_cast<int32_t>(frames));
            };
            SoundUPtr sound;
            if (c.channels == 1)
                sound = std::make_unique<MonoSound>(fake(), 8000, c.bytes);
            else
                sound = std::make_unique<StereoSound>(fake(), fake(), 8000, c.bytes);
            BoxRecorder boxes;
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
            const int64_t bytes = (c.most + 1) * c.channels * c.bytes;
            EXPECT_EQ(message, "Cannot save Wave: its " + std::to_string(bytes) +
                                   " bytes of samples are more than a WAV file can hold "
                                   "(4294967259).");
        }
        EXPECT_FALSE(fs::exists(dir / "big.wav"));

        // The header of the largest file reads back with all its frames announced.
        const auto dataBytes = static_cast<uint32_t>(c.most * c.channels * c.bytes);
        uint8_t header[44];
        MakeWaveHeader(header, c.channels, 8000, c.bytes, dataBytes);
        EXPECT_LE(36 + int64_t{dataBytes}, int64_t{UINT32_MAX});
        EXPECT_EQ(header[4] | header[5] << 8 | header[6] << 16 | uint32_t{header[7]} << 24,
                  36 + dataBytes);
        SoundUPtr back;
        WaveReadCounts counts;
        ASSERT_TRUE(ReadWaveBytes(header, sizeof header, back, message, &counts)) << message;
        EXPECT_EQ(counts.framesRead, 0);
        EXPECT_EQ(counts.framesClaimed, c.most);
    }
}

TEST_F(WavFileTest, RangeOutsideTheWaveIsRefused)
{
    MonoSound sound(WaveOf({1, 2, 3}), 8000, 2);
    BoxRecorder boxes;
    std::string message;
    EXPECT_FALSE(WriteWaveFile(nullptr, dir / "r.wav", &sound, 2, 4, message));
    EXPECT_EQ(message, "Cannot save Wave: the part 2 to 4 lies outside the wave.");
    EXPECT_FALSE(WriteWaveFile(nullptr, dir / "r.wav", &sound, 2, 1, message));
    EXPECT_FALSE(WriteWaveFile(nullptr, dir / "r.wav", &sound, -1, 2, message));
    // Each refusal: the assertion box and the failure box.
    ASSERT_EQ(boxes.boxes.size(), 6u);
    EXPECT_EQ(boxes.boxes[0].caption, "Assertion failed");
    EXPECT_EQ(boxes.boxes[1].caption, "FileError");
    EXPECT_FALSE(fs::exists(dir / "r.wav"));
}
