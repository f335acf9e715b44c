#include "platform/qt/audio/QtAudioDevice.h"

#include "PulsePipes.h"
#include "platform/TempDir.h"
#include "sound/WavFile.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

/// Writes frames frames of a fixed noise (never silent) and answers what a stereo 16-bit sink
/// at the same rate must receive of it: the file as the program's reader reads it, a mono
/// channel doubled.
std::vector<int16_t> WriteNoiseFile(const std::string& file, int channels, int bytesPSample,
                                    int rate, int32_t frames)
{
    uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        const int v = static_cast<int>((state >> 16) % 20001) - 10000;
        return static_cast<int16_t>(v >= 0 ? v + 1000 : v - 1000);
    };
    WavePtr left = CreateWave(nullptr, frames), right = CreateWave(nullptr, frames);
    for (int32_t i = 0; i < frames; ++i)
        (*left)[i] = next(), (*right)[i] = next();
    SoundUPtr sound;
    if (channels == 1)
        sound = std::make_unique<MonoSound>(std::move(left), rate, bytesPSample);
    else
        sound =
            std::make_unique<StereoSound>(std::move(left), std::move(right), rate, bytesPSample);
    std::string message;
    EXPECT_TRUE(WriteWaveFile(nullptr, file, sound.get(), 0, -1, message)) << message;
    EXPECT_TRUE(ReadWaveFile(file, sound, message)) << message;
    std::vector<int16_t> stereo;
    for (int32_t i = 0; i < sound->GetValues(); ++i) {
        stereo.push_back((*sound->GetLeftWave())[i]);
        stereo.push_back((*sound->GetRightWave())[i]);
    }
    return stereo;
}

class QtAudioDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.Create());
        file = dir.Path() + "/kvtempwave.wav";
    }

    /// Where no private server can be reached, says why and answers false.
    bool NeedServer()
    {
        std::string reason;
        if (!FindPulsePipes(sinkPipe, sourcePipe, reason))
            return Skip(reason);
        output = QtAudioDevice::FindOutput(PipeSinkName);
        input = QtAudioDevice::FindInput(PipeSourceName);
        if (output.isNull() || input.isNull())
            return Skip(std::string("the private PulseAudio server offers no ") +
                        (output.isNull() ? PipeSinkName : PipeSourceName));
        DrainPipe(sourcePipe);
        return true;
    }
    bool Skip(const std::string& reason)
    {
        skipReason = reason;
        return false;
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
    std::string file, sinkPipe, sourcePipe, skipReason;
    QAudioDevice output, input;
    std::vector<AudioCompletion> completions;
    bool onGuiThread = true;
};

#define KV_NEED_SERVER()                                                                           \
    if (!NeedServer())                                                                             \
    GTEST_SKIP() << skipReason

TEST_F(QtAudioDeviceTest, WithoutDevicesOrWithABadFileTheDeviceSaysWhy)
{
    QtAudioDevice audio{QAudioDevice(), QAudioDevice()};
    EXPECT_FALSE(audio.HasOutput() || audio.HasInput());
    std::string message, readerText;
    SoundUPtr sound;
    audio.SetFileName(file);
    for (const char* bytes : {"", "RIFX\0\0\0\0", "missing"}) {
        if (std::string(bytes) != "missing")
            std::ofstream(file, std::ios::binary).write(bytes, std::strlen(bytes) ? 8 : 0);
        else
            std::remove(file.c_str());
        ASSERT_FALSE(ReadWaveFile(file, sound, readerText));
        EXPECT_FALSE(audio.Open(message));
        EXPECT_EQ(message, "Cannot open the sound file \"" + file + "\": " + readerText);
        EXPECT_EQ(audio.Mode(), AudioMode::NotReady);
    }
    WriteNoiseFile(file, 2, 2, 44100, 100);
    ASSERT_TRUE(audio.Open(message)) << message;
    EXPECT_FALSE(audio.Play(message));
    EXPECT_EQ(message, AudioNoOutputText);
    EXPECT_FALSE(audio.StartRecording(message));
    EXPECT_EQ(message, AudioNoInputText);
    EXPECT_EQ(audio.Mode(), AudioMode::Stopped);
}

struct PlayRow
{
    int channels, bytesPSample;
    int32_t frames;
    /// "end", "wait" (Play returns at the end), "pause" (and resume) or "stop" midway.
    std::string how;
};

class QtAudioDevicePlays : public QtAudioDeviceTest, public ::testing::WithParamInterface<PlayRow>
{
};

TEST_P(QtAudioDevicePlays, EveryFrameArrivesOnceInOrderAndTheEndIsReported)
{
    KV_NEED_SERVER();
    const PlayRow& row = GetParam();
    const std::vector<int16_t> sent =
        WriteNoiseFile(file, row.channels, row.bytesPSample, PipeRate, row.frames);
    SinkPipeReader reader(sinkPipe);
    ASSERT_TRUE(reader.Opened());
    QtAudioDevice audio(output, input);
    Open(audio);
    audio.SetWait(row.how == "wait");
    std::string message;
    ASSERT_TRUE(audio.Play(message)) << message;
    EXPECT_EQ(audio.Mode(), row.how == "wait" ? AudioMode::Stopped : AudioMode::Playing);
    EXPECT_TRUE(completions.empty()) << "a completion came within the call";
    auto arrival = [&] {
        const std::vector<int16_t> got = reader.Values();
        const int64_t start = FindFrames(got, sent, 64);
        return start < 0 ? Arrival{} : TraceArrival(got, sent, start);
    };
    if (row.how == "pause" || row.how == "stop") {
        ASSERT_TRUE(WaitUntil([&] { return arrival().framesMatched > 0; }, 10000));
        if (row.how == "stop")
            audio.Stop();
        else
            ASSERT_TRUE(audio.PauseOrResume(message)) << message;
        EXPECT_EQ(audio.Mode(), row.how == "stop" ? AudioMode::Stopped : AudioMode::Paused);
        ASSERT_TRUE(WaitUntil([&] { return !completions.empty(); }, 5000));
        EXPECT_EQ(completions, std::vector<AudioCompletion>{AudioCompletion::Aborted});
        const int64_t position = audio.Position();
        EXPECT_LT(position, row.frames);
        // Give what was under way time to arrive: nothing more follows, or ends the pause.
        WaitUntil([] { return false; }, 600);
        EXPECT_EQ(audio.Position(), position);
        if (row.how == "stop") {
            const Arrival heard = arrival();
            EXPECT_TRUE(heard.framesMatched > 0 && heard.framesMatched < row.frames);
            EXPECT_FALSE(heard.strayAfter);
            EXPECT_EQ(completions.size(), 1u);
            return;
        }
        EXPECT_EQ(audio.Mode(), AudioMode::Paused);
        ASSERT_TRUE(audio.PauseOrResume(message)) << message;
        EXPECT_EQ(audio.Mode(), AudioMode::Playing);
    }
    ASSERT_TRUE(WaitUntil([&] { return completions.size() == 1u + (row.how == "pause"); }, 20000));
    EXPECT_EQ(completions.back(), AudioCompletion::Finished);
    EXPECT_TRUE(onGuiThread);
    EXPECT_EQ(audio.Mode(), AudioMode::Stopped);
    EXPECT_EQ(audio.Position(), row.frames);
    if (row.frames == 0)
        return;
    // The last frames may still be on their way through the server.
    Arrival heard;
    WaitUntil([&] { return (heard = arrival()).framesMatched == row.frames; }, 5000);
    EXPECT_EQ(heard.framesMatched, row.frames);
    if (row.how == "pause")
        EXPECT_GT(heard.silentFramesBetween, PipeRate / 10);
    else
        EXPECT_EQ(heard.silentFramesBetween, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, QtAudioDevicePlays,
                         ::testing::Values(PlayRow{2, 2, PipeRate * 3 / 4, "end"},
                                           PlayRow{1, 1, PipeRate / 2, "wait"},
                                           PlayRow{2, 1, PipeRate * 3 / 2, "pause"},
                                           PlayRow{1, 2, PipeRate * 2, "stop"},
                                           PlayRow{2, 2, 0, "end"}));

struct RecordRow
{
    int channels, bytesPSample, rate;
    bool paused;
};

class QtAudioDeviceRecords : public QtAudioDeviceTest,
                             public ::testing::WithParamInterface<RecordRow>
{
};

TEST_P(QtAudioDeviceRecords, TheFedSineIsWhatTheRecordingHolds)
{
    KV_NEED_SERVER();
    const RecordRow& row = GetParam();
    WriteNoiseFile(file, row.channels, row.bytesPSample, row.rate, 0);
    constexpr double Freq = 441, Amplitude = 16000, Pi = 3.14159265358979323846;
    auto sine = [&](int64_t frames) {
        std::vector<int16_t> values;
        for (int64_t i = 0; i < frames * 2; ++i)
            values.push_back(static_cast<int16_t>(
                std::lround(Amplitude * std::sin(2 * Pi * Freq * double(i / 2) / PipeRate))));
        return values;
    };
    auto feed = [&](int64_t frames) {
        SourcePipeWriter writer(sourcePipe, sine(frames));
        ASSERT_TRUE(WaitUntil([&] { return writer.Done(); }, 10000));
        ASSERT_FALSE(writer.Failed());
    };
    QtAudioDevice audio(output, input);
    Open(audio);
    std::string message;
    ASSERT_TRUE(audio.StartRecording(message)) << message;
    EXPECT_EQ(audio.Mode(), AudioMode::Recording);
    feed(PipeRate);
    // Most of the second, at the file's own rate.
    ASSERT_TRUE(WaitUntil([&] { return audio.Position() >= row.rate * 9 / 10; }, 10000))
        << "recorded only " << audio.Position() << " frames";
    if (row.paused) {
        ASSERT_TRUE(audio.PauseOrResume(message)) << message;
        WaitUntil([] { return false; }, 200);
        const int64_t pausedAt = audio.Position();
        // A quarter second fed while paused waits in the pipe (it fits) and is taken on resume.
        feed(PipeRate / 4);
        WaitUntil([] { return false; }, 300);
        EXPECT_EQ(audio.Position(), pausedAt);
        EXPECT_EQ(audio.Mode(), AudioMode::Paused);
        ASSERT_TRUE(audio.PauseOrResume(message)) << message;
        EXPECT_EQ(audio.Mode(), AudioMode::Recording);
        ASSERT_TRUE(WaitUntil([&] { return audio.Position() >= pausedAt + row.rate / 5; }, 10000))
            << "recorded only " << audio.Position() - pausedAt << " frames after the resume";
    }
    audio.Stop();
    const int64_t position = audio.Position();
    ASSERT_TRUE(audio.SaveRecording(message)) << message;
    audio.Close();

    SoundUPtr recorded;
    ASSERT_TRUE(ReadWaveFile(file, recorded, message)) << message;
    EXPECT_EQ(recorded->GetMonoStereo(), row.channels);
    EXPECT_EQ(recorded->GetSampleFreq(), row.rate);
    EXPECT_EQ(recorded->GetBytesPSample(), row.bytesPSample);
    EXPECT_EQ(recorded->GetValues(), position);
    // Level and pitch over the middle, away from the edges of the take.
    for (const Wave* channel : {recorded->GetLeftWave(), recorded->GetRightWave()}) {
        const int32_t begin = row.rate / 10, end = recorded->GetValues() - row.rate / 10;
        double squares = 0;
        int crossings = 0;
        for (int32_t i = begin; i < end; ++i) {
            squares += double((*channel)[i]) * (*channel)[i];
            crossings += i > begin && ((*channel)[i - 1] < 0) != ((*channel)[i] < 0);
        }
        EXPECT_NEAR(std::sqrt(squares / (end - begin)), Amplitude / std::sqrt(2.0),
                    Amplitude * 0.05);
        EXPECT_NEAR(crossings / 2.0 / ((end - begin) / double(row.rate)), Freq, Freq * 0.03);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(completions, std::vector<AudioCompletion>(1 + row.paused, AudioCompletion::Aborted));
}

INSTANTIATE_TEST_SUITE_P(Rows, QtAudioDeviceRecords,
                         ::testing::Values(RecordRow{2, 2, 44100, false},
                                           RecordRow{1, 1, 11025, false},
                                           RecordRow{1, 2, 22050, true}));

} // namespace
