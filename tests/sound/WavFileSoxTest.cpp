// WAV files checked against sox, the common command-line tool: the files it writes must read
// with exactly its samples, and the files written here must read in it with ours.
#include "sound/WavFile.h"

#include "sound/Sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

using namespace kelvorn;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

bool SoxOnPath()
{
    static const bool found = std::system("command -v sox >/dev/null 2>&1") == 0;
    return found;
}

#define SKIP_WITHOUT_SOX()                                                                         \
    if (!SoxOnPath())                                                                              \
    GTEST_SKIP() << "sox is not on PATH: the checks against sox were not run"

int Shell(const std::string& command)
{
    return std::system((command + " 2>/dev/null").c_str());
}

std::string Quote(const fs::path& p)
{
    // Appended: "text" + std::string&& draws a false g++ 12 warning at -O2.
    return std::string("'").append(p.string()).append("'");
}

// One line of a command's output.
std::string Output(const std::string& command)
{
    std::string out;
    if (FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        ::pclose(pipe);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
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

void PutLe32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Puts a chunk right after the format chunk of a plain 44-byte-header file and mends the RIFF
// size.
Bytes InsertChunk(Bytes file, const char* name, const Bytes& body)
{
    Bytes chunk(name, name + 4);
    chunk.resize(8);
    PutLe32(chunk.data() + 4, static_cast<uint32_t>(body.size()));
    chunk.insert(chunk.end(), body.begin(), body.end());
    if (body.size() % 2)
        chunk.push_back(0);
    file.insert(file.begin() + 36, chunk.begin(), chunk.end());
    PutLe32(file.data() + 4, static_cast<uint32_t>(file.size() - 8));
    return file;
}

// Rewrites the 16-byte PCM format chunk as the 40-byte extensible form with a PCM sub-format.
Bytes MakeExtensible(Bytes file)
{
    Bytes format(file.begin() + 20, file.begin() + 36);
    const uint16_t bits = static_cast<uint16_t>(format[14] | (format[15] << 8));
    format[0] = 0xFE;
    format[1] = 0xFF;
    const uint8_t extension[24] = {22,   0,    static_cast<uint8_t>(bits),
                                   0,    3,    0,
                                   0,    0,    1,
                                   0,    0,    0,
                                   0,    0,    0x10,
                                   0,    0x80, 0,
                                   0,    0xAA, 0,
                                   0x38, 0x9B, 0x71};
    format.insert(format.end(), extension, extension + 24);
    Bytes out(file.begin(), file.begin() + 12);
    const Bytes fmt = {'f', 'm', 't', ' ', 40, 0, 0, 0};
    out.insert(out.end(), fmt.begin(), fmt.end());
    out.insert(out.end(), format.begin(), format.end());
    out.insert(out.end(), file.begin() + 36, file.end());
    PutLe32(out.data() + 4, static_cast<uint32_t>(out.size() - 8));
    return out;
}

// The samples sox decodes from a file, interleaved: 16-bit files as signed 16-bit values,
// 8-bit files as their unsigned bytes.
std::vector<int32_t> SoxSamples(const fs::path& file, int bits, const fs::path& raw)
{
    std::string encoding = bits == 8 ? "-e unsigned-integer -b 8" : "-e signed-integer -b 16 -L";
    if (Shell("sox -D " + Quote(file) + " -t raw " + encoding + " " + Quote(raw)) != 0)
        return {};
    Bytes b = ReadAll(raw);
    std::vector<int32_t> out;
    if (bits == 8) {
        out.assign(b.begin(), b.end());
    } else {
        for (size_t i = 0; i + 1 < b.size(); i += 2)
            out.push_back(static_cast<int16_t>(b[i] | (b[i + 1] << 8)));
    }
    return out;
}

// Our reading of a file, interleaved the same way as SoxSamples.
std::vector<int32_t> OurSamples(const Sound& sound)
{
    std::vector<int32_t> out;
    const Wave* l = sound.GetLeftWave();
    const Wave* r = sound.GetRightWave();
    for (int32_t i = 0; i < sound.GetValues(); ++i) {
        for (int ch = 0; ch < sound.GetMonoStereo(); ++ch) {
            int16_t v = (ch == 0 ? *l : *r)[i];
            out.push_back(sound.GetBytesPSample() == 1 ? 128 + v / 256 : v);
        }
    }
    return out;
}

class WavSoxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir = fs::temp_directory_path() / ("kv-wavsox-" + std::to_string(::getpid()) + "-" + name);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

} // namespace

struct SoxMade
{
    int32_t rate;
    int bits;
    int channels;
    const char* extra; // "", "LIST", "extensible" or "truncated"
};

class WavFromSox : public WavSoxTest, public ::testing::WithParamInterface<SoxMade>
{
};

TEST_P(WavFromSox, ReadsExactlySoxsSamples)
{
    SKIP_WITHOUT_SOX();
    const SoxMade c = GetParam();
    fs::path file = dir / "sox.wav";
    // Full scale, and a different signal in each channel of a stereo file.
    const std::string synth =
        c.channels == 2 ? "synth 0.25 sine 440 square 313" : "synth 0.25 sine 440";
    ASSERT_EQ(Shell("sox -D -R -n -r " + std::to_string(c.rate) + " -b " + std::to_string(c.bits) +
                    " -c " + std::to_string(c.channels) + " " + Quote(file) + " " + synth),
              0);
    Bytes bytes = ReadAll(file);
    ASSERT_GT(bytes.size(), 44u);
    const std::string extra = c.extra;
    if (extra == "LIST") {
        const char info[] = "INFOICMT\x0c\0\0\0made by sox\0ISFT\x05\0\0\0kvx\0\0";
        bytes = InsertChunk(bytes, "LIST", Bytes(info, info + sizeof info - 1));
    } else if (extra == "extensible") {
        bytes = MakeExtensible(bytes);
    } else if (extra == "truncated") {
        bytes.resize(bytes.size() * 2 / 3 + 1);
    }
    WriteAll(file, bytes);

    std::vector<int32_t> expected = SoxSamples(file, c.bits, dir / "sox.raw");
    ASSERT_FALSE(expected.empty()) << "sox could not decode the file";
    SoundUPtr sound;
    std::string message;
    ASSERT_TRUE(ReadWaveFile(file, sound, message)) << message;
    EXPECT_EQ(sound->GetSampleFreq(), c.rate);
    EXPECT_EQ(sound->GetMonoStereo(), c.channels);
    EXPECT_EQ(sound->GetBytesPSample(), c.bits / 8);
    EXPECT_EQ(sound->GetValues() * c.channels, static_cast<int32_t>(expected.size()));
    EXPECT_EQ(OurSamples(*sound), expected);
    if (c.bits == 16) {
        auto [lo, hi] = std::minmax_element(expected.begin(), expected.end());
        EXPECT_LT(*lo, -20000) << "the test signal should use the range";
        EXPECT_GT(*hi, 20000);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, WavFromSox,
    ::testing::Values(SoxMade{8000, 8, 1, ""}, SoxMade{22050, 8, 2, ""}, SoxMade{44100, 16, 1, ""},
                      SoxMade{48000, 16, 2, ""}, SoxMade{96000, 16, 2, ""},
                      SoxMade{5512, 8, 1, "LIST"}, SoxMade{11025, 16, 2, "LIST"},
                      SoxMade{22050, 8, 2, "LIST"}, SoxMade{44100, 16, 1, "LIST"},
                      SoxMade{32000, 16, 2, "extensible"}, SoxMade{16000, 8, 1, "extensible"},
                      SoxMade{44100, 16, 2, "truncated"}, SoxMade{8000, 8, 2, "truncated"}));

struct OursMade
{
    int32_t rate;
    int bytes;
    int channels;
    int32_t count;
};

class WavToSox : public WavSoxTest, public ::testing::WithParamInterface<OursMade>
{
};

TEST_P(WavToSox, SoxReadsOurFiles)
{
    SKIP_WITHOUT_SOX();
    const OursMade c = GetParam();
    AbortFlag flag = 0;
    auto make = [&](uint32_t seed) {
        WavePtr w = CreateWave(&flag, c.count);
        uint32_t s = seed;
        for (int32_t i = 0; i < c.count; ++i) {
            s = s * 1664525u + 1013904223u;
            (*w)[i] = i == 0 ? -32768 : i == 1 ? 32767 : static_cast<int16_t>(s >> 16);
        }
        return w;
    };
    SoundUPtr sound;
    if (c.channels == 1)
        sound = std::make_unique<MonoSound>(make(1), c.rate, c.bytes);
    else
        sound = std::make_unique<StereoSound>(make(1), make(2), c.rate, c.bytes);
    fs::path file = dir / "ours.wav";
    ASSERT_TRUE(sound->SaveToWavFile(nullptr, file, 0, -1));

    const std::string q = Quote(file);
    EXPECT_EQ(Output("sox --i -r " + q), std::to_string(c.rate));
    EXPECT_EQ(Output("sox --i -c " + q), std::to_string(c.channels));
    EXPECT_EQ(Output("sox --i -b " + q), std::to_string(8 * c.bytes));
    EXPECT_EQ(Output("sox --i -s " + q), std::to_string(c.count));
    EXPECT_EQ(Output("sox --i -e " + q),
              c.bytes == 1 ? "Unsigned Integer PCM" : "Signed Integer PCM");
    EXPECT_EQ(SoxSamples(file, 8 * c.bytes, dir / "ours.raw"), OurSamples(*sound));
}

INSTANTIATE_TEST_SUITE_P(Files, WavToSox,
                         ::testing::Values(OursMade{5512, 1, 1, 3001}, OursMade{11025, 1, 2, 4000},
                                           OursMade{44100, 2, 1, 44101},
                                           OursMade{48000, 2, 2, 50000},
                                           OursMade{176128, 2, 2, 1000}, OursMade{22050, 2, 1, 0}));
