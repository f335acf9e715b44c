#include "platform/qt/audio/QtAudioDevice.h"

#include "PulsePipes.h"
#include "platform/TempDir.h"
#include "platform/test/RecordingMessages.h"
#include "sound/WavFile.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

// One QCoreApplication for the whole binary: the audio device needs an event loop, no display.
struct AudioApplication : ::testing::Environment
{
    void SetUp() override { app = std::make_unique<QCoreApplication>(argc, argv); }
    void TearDown() override { app.reset(); }
    int argc = 1;
    char name[16] = "kelvorn_audio", *argv[2] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new AudioApplication);

/// Writes frames frames of a fixed noise (never silent) and answers what a stereo 16-bit sink
/// at the same rate must receive of it: the file as the program's reader reads it, a mono
/// channel doubled.
std::vector<int16_t> WriteNoiseFile(const std::string& file, int channels, int bytesPSample,
                                    int rate, int32_t frames)
{
    uint32_t state = 12345;
    WavePtr waves[2] = {CreateWave(nullptr, frames), CreateWave(nullptr, frames)};
    for (int32_t i = 0; i < frames * 2; ++i) {
        state = state * 1103515245u + 12345u;
        const int v = static_cast<int>((state >> 16) % 20001) - 10000;
        (*waves[i % 2])[i / 2] = static_cast<int16_t>(v >= 0 ? v + 1000 : v - 1000);
    }
    SoundUPtr sound;
    if (channels == 1)
        sound = std::make_unique<MonoSound>(std::move(waves[0]), rate, bytesPSample);
    else
        sound = std::make_unique<StereoSound>(std::move(waves[0]), std::move(waves[1]), rate,
                                              bytesPSample);
    std::string message;
    EXPECT_TRUE(WriteWaveFile(nullptr, file, sound.get(), 0, -1, message)) << message;
    EXPECT_TRUE(ReadWaveFile(file, sound, message)) << message;
    std::vector<int16_t> stereo;
    for (int32_t i = 0; i < sound->GetValues() * 2; ++i)
        stereo.push_back((*(i % 2 ? sound->GetRightWave() : sound->GetLeftWave()))[i / 2]);
    return stereo;
}

class QtAudioDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.Create());
        file = dir.Path() + "/kvtempwave.wav";
        output = QtAudioDevice::FindOutput(PipeSinkName);
        input = QtAudioDevice::FindInput(PipeSourceName);
        if (FindPulsePipes(sinkPipe, sourcePipe, skip) && (output.isNull() || input.isNull()))
            skip = std::string("the private PulseAudio server offers no ") + PipeSinkName;
        if (skip.empty())
            DrainPipe(sourcePipe);
    }

    /// Opens file on the device, completions noted (and whether they came on the GUI thread).
    void Open(QtAudioDevice& audio)
    {
        audio.SetCompletionHandler([this](AudioCompletion c) {
            completions.push_back(c);
            onGuiThread = onGuiThread && QThread::currentThread() == qApp->thread();
        });
        std::string message;
        audio.SetFileName(file);
        ASSERT_TRUE(audio.Open(message)) << message;
        audio.SetNotify(true);
    }

    PrivateDirectory dir{"/tmp/kelvorn-audio-XXXXXX"};
    /// Why the tests against the private server are skipped; empty when they run.
    std::string file, sinkPipe, sourcePipe, skip;
    QAudioDevice output, input;
    std::vector<AudioCompletion> completions;
    bool onGuiThread = true;
};

TEST_F(QtAudioDeviceTest, WithoutDevicesOrWithABadFileTheDeviceSaysWhy)
{
    QtAudioDevice audio{QAudioDevice(), QAudioDevice()};
    EXPECT_FALSE(audio.HasOutput() || audio.HasInput());
    // Devices given, not the server's: the server is not to blame.
    EXPECT_EQ(audio.UnavailableReason(), AudioNoDevicesText);
    std::string message, readerText;
    SoundUPtr sound;
    audio.SetFileName(file);
    for (const std::string& bytes :
         {std::string("missing"), std::string(), std::string("RIFX\0\0\0\0", 8)}) {
        if (bytes != "missing")
            std::ofstream(file, std::ios::binary) << bytes;
        ASSERT_FALSE(ReadWaveFile(file, sound, readerText));
        EXPECT_FALSE(audio.Open(message));
        EXPECT_EQ(message, "Cannot open the sound file \"" + file + "\": " + readerText);
        EXPECT_EQ(audio.Mode(), AudioMode::NotReady);
    }
}

// A stereo 8-bit play to its end with a pause between, an empty file played with wait on, and a
// recording.
TEST_F(QtAudioDeviceTest, PlaysAndRecordsThroughThePrivateServer)
{
    if (!skip.empty())
        GTEST_SKIP() << skip;
    // The server answers: nothing to report at start.
    EXPECT_EQ(QtAudioDevice().UnavailableReason(), "");
    const int64_t frames = PipeRate * 3 / 2;
    const std::vector<int16_t> sent = WriteNoiseFile(file, 2, 1, PipeRate, frames);
    SinkPipeReader reader(sinkPipe);
    ASSERT_TRUE(reader.Opened());
    auto heard = [&] {
        const std::vector<int16_t> got = reader.Values();
        const int64_t start = FindFrames(got, sent, 64);
        return start < 0 ? Arrival{} : TraceArrival(got, sent, start);
    };
    QtAudioDevice audio(output, input);
    Open(audio);
    std::string message;
    ASSERT_TRUE(audio.Play(message)) << message;
    EXPECT_EQ(audio.Mode(), AudioMode::Playing);
    ASSERT_TRUE(WaitUntil([&] { return heard().framesMatched > 0; }, 10000));
    EXPECT_TRUE(completions.empty()) << "a completion came within the call";
    ASSERT_TRUE(audio.PauseOrResume(message)) << message;
    EXPECT_EQ(audio.Mode(), AudioMode::Paused);
    ASSERT_TRUE(WaitUntil([&] { return !completions.empty(); }, 5000));
    const int64_t pausedAt = audio.Position();
    EXPECT_LT(pausedAt, frames);
    // While paused the sink hears silence, and the play does not end however long it waits.
    WaitUntil([] { return false; }, 600);
    EXPECT_EQ(audio.Position(), pausedAt);
    EXPECT_EQ(audio.Mode(), AudioMode::Paused);
    ASSERT_TRUE(audio.PauseOrResume(message)) << message;
    EXPECT_EQ(audio.Mode(), AudioMode::Playing);
    ASSERT_TRUE(WaitUntil([&] { return completions.size() == 2; }, 20000));
    EXPECT_EQ(completions,
              (std::vector<AudioCompletion>{AudioCompletion::Aborted, AudioCompletion::Finished}));
    EXPECT_TRUE(onGuiThread);
    EXPECT_EQ(audio.Mode(), AudioMode::Stopped);
    EXPECT_EQ(audio.Position(), frames);
    // Every frame once, in order, with the pause as silence between; the last frames may still
    // be on their way through the server.
    Arrival played;
    WaitUntil([&] { return (played = heard()).framesMatched == frames; }, 5000);
    EXPECT_EQ(played.framesMatched, frames);
    EXPECT_GT(played.silentFramesBetween, PipeRate / 10);
    EXPECT_FALSE(played.strayAfter);

    WriteNoiseFile(file, 2, 2, PipeRate, 0);
    Open(audio);
    audio.SetWait(true);
    completions.clear();
    ASSERT_TRUE(audio.Play(message)) << message;
    EXPECT_EQ(audio.Mode(), AudioMode::Stopped);
    EXPECT_EQ(audio.Position(), 0);
    EXPECT_TRUE(completions.empty());
    ASSERT_TRUE(WaitUntil([&] { return !completions.empty(); }, 5000));
    EXPECT_EQ(completions, std::vector<AudioCompletion>{AudioCompletion::Finished});

    // A mono 8-bit take at 11025 Hz of the sine fed, paused between.
    constexpr int Rate = 11025;
    WriteNoiseFile(file, 1, 1, Rate, 0);
    constexpr double Freq = 441, Amplitude = 16000, Pi = 3.14159265358979323846;
    auto feed = [&](int64_t count) {
        std::vector<int16_t> sine;
        for (int64_t i = 0; i < count * 2; ++i)
            sine.push_back(static_cast<int16_t>(
                std::lround(Amplitude * std::sin(2 * Pi * Freq * double(i / 2) / PipeRate))));
        SourcePipeWriter writer(sourcePipe, sine);
        ASSERT_TRUE(WaitUntil([&] { return writer.Done(); }, 10000));
        ASSERT_FALSE(writer.Failed());
    };
    Open(audio);
    completions.clear();
    ASSERT_TRUE(audio.StartRecording(message)) << message;
    EXPECT_EQ(audio.Mode(), AudioMode::Recording);
    feed(PipeRate);
    // Most of the second, at the file's own rate.
    ASSERT_TRUE(WaitUntil([&] { return audio.Position() >= Rate * 9 / 10; }, 10000))
        << "recorded only " << audio.Position() << " frames";
    ASSERT_TRUE(audio.PauseOrResume(message)) << message;
    WaitUntil([] { return false; }, 200);
    const int64_t takenAt = audio.Position();
    // A quarter second fed while paused waits in the pipe (it fits) and is taken on resume.
    feed(PipeRate / 4);
    WaitUntil([] { return false; }, 300);
    EXPECT_EQ(audio.Position(), takenAt);
    EXPECT_EQ(audio.Mode(), AudioMode::Paused);
    ASSERT_TRUE(audio.PauseOrResume(message)) << message;
    EXPECT_EQ(audio.Mode(), AudioMode::Recording);
    ASSERT_TRUE(WaitUntil([&] { return audio.Position() >= takenAt + Rate / 5; }, 10000))
        << "recorded only " << audio.Position() - takenAt << " frames after the resume";
    audio.Stop();
    const int64_t position = audio.Position();
    ASSERT_TRUE(audio.SaveRecording(message)) << message;
    audio.Close();

    SoundUPtr take;
    ASSERT_TRUE(ReadWaveFile(file, take, message)) << message;
    EXPECT_EQ(std::tuple(take->GetMonoStereo(), take->GetSampleFreq(), take->GetBytesPSample()),
              std::tuple(1, Rate, 1));
    EXPECT_EQ(take->GetValues(), position);
    // Level and pitch over the middle, away from the edges of the take.
    const Wave& wave = *take->GetLeftWave();
    const int32_t begin = Rate / 10, end = take->GetValues() - Rate / 10;
    double squares = 0;
    int crossings = 0;
    for (int32_t i = begin; i < end; ++i) {
        squares += double(wave[i]) * wave[i];
        crossings += i > begin && (wave[i - 1] < 0) != (wave[i] < 0);
    }
    EXPECT_NEAR(std::sqrt(squares / (end - begin)), Amplitude / std::sqrt(2.0), Amplitude * 0.05);
    EXPECT_NEAR(crossings / 2.0 / ((end - begin) / double(Rate)), Freq, Freq * 0.03);
    QCoreApplication::processEvents();
    EXPECT_EQ(completions, std::vector<AudioCompletion>(2, AudioCompletion::Aborted));
}

// A take that cannot be written is told once, by the message the device's caller shows: the
// writer shows no box of its own.
TEST_F(QtAudioDeviceTest, ATakeThatCannotBeWrittenIsToldByItsMessageAlone)
{
    if (!skip.empty())
        GTEST_SKIP() << skip;
    WriteNoiseFile(file, 1, 2, PipeRate, 0);
    QtAudioDevice audio(output, input);
    Open(audio);
    std::string message;
    ASSERT_TRUE(audio.StartRecording(message)) << message;
    audio.Stop();
    // A folder that holds an entry, in the file's place: nothing can be renamed over it.
    std::filesystem::remove(file);
    std::filesystem::create_directories(file + "/entry");
    RecordingMessages boxes;
    EXPECT_FALSE(audio.SaveRecording(message));
    EXPECT_EQ(message, "Cannot save Wave: Is a directory.");
    EXPECT_EQ(boxes.texts, std::vector<std::string>{});
    audio.Close();
}

} // namespace
