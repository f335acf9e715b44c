#include "platform/qt/audio/QtAudioDevice.h"

#include "PulsePipes.h"
#include "platform/TempDir.h"
#include "sound/WavFile.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

constexpr double Pi = 3.14159265358979323846;

struct Played
{
    /// What the sink must receive: interleaved stereo values.
    std::vector<int16_t> stereo;
    int64_t frames = 0;
};

/// Writes a sound of frames frames of a fixed noise (never silent) and answers what a stereo
/// 16-bit sink at the same rate must receive of it: the file as the program's reader reads it,
/// a mono channel doubled.
Played WriteNoiseFile(const std::string& file, int channels, int bytesPSample, int rate,
                      int32_t frames)
{
    uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        const int v = static_cast<int>((state >> 16) % 20001) - 10000;
        return static_cast<int16_t>(v >= 0 ? v + 1000 : v - 1000);
    };
    WavePtr left = CreateWave(nullptr, frames);
    WavePtr right = CreateWave(nullptr, frames);
    for (int32_t i = 0; i < frames; ++i) {
        (*left)[i] = next();
        (*right)[i] = next();
    }
    SoundUPtr sound;
    if (channels == 1)
        sound = std::make_unique<MonoSound>(std::move(left), rate, bytesPSample);
    else
        sound = std::make_unique<StereoSound>(std::move(left), std::move(right), rate,
                                              bytesPSample);
    std::string message;
    EXPECT_TRUE(WriteWaveFile(nullptr, file, sound.get(), 0, -1, message)) << message;

    SoundUPtr back;
    EXPECT_TRUE(ReadWaveFile(file, back, message)) << message;
    Played played;
    played.frames = back->GetValues();
    for (int32_t i = 0; i < back->GetValues(); ++i) {
        played.stereo.push_back((*back->GetLeftWave())[i]);
        played.stereo.push_back((*back->GetRightWave())[i]);
    }
    return played;
}

void WriteEmptyFile(const std::string& file, int channels, int bytesPSample, int rate)
{
    SoundUPtr sound;
    if (channels == 1)
        sound = std::make_unique<MonoSound>(rate, bytesPSample);
    else
        sound = std::make_unique<StereoSound>(rate, bytesPSample);
    std::string message;
    ASSERT_TRUE(WriteWaveFile(nullptr, file, sound.get(), 0, -1, message)) << message;
}

/// Interleaved stereo values of a sine of freq Hz at the pipes' rate, both channels alike.
std::vector<int16_t> Sine(double freq, double amplitude, int64_t frames)
{
    std::vector<int16_t> values;
    values.reserve(static_cast<size_t>(frames * 2));
    for (int64_t i = 0; i < frames; ++i) {
        const auto v = static_cast<int16_t>(
            std::lround(amplitude * std::sin(2 * Pi * freq * double(i) / PipeRate)));
        values.push_back(v);
        values.push_back(v);
    }
    return values;
}

class QtAudioDeviceFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.Create());
        playFile = dir.Path() + "/kvtempplaywave.wav";
        recordFile = dir.Path() + "/kvtemprecwave.wav";
    }

    /// Skips the test, with the reason on one line, where no private server can be reached.
    bool NeedServer()
    {
        std::string reason;
        if (!FindPulsePipes(sinkPipe, sourcePipe, reason)) {
            skipReason = reason;
            return false;
        }
        output = QtAudioDevice::FindOutput(PipeSinkName);
        input = QtAudioDevice::FindInput(PipeSourceName);
        if (output.isNull() || input.isNull()) {
            skipReason = std::string("the private PulseAudio server offers no ") +
                         (output.isNull() ? PipeSinkName : PipeSourceName);
            return false;
        }
        DrainPipe(sourcePipe);
        return true;
    }

    PrivateDirectory dir{"/tmp/kelvorn-audio-XXXXXX"};
    std::string playFile;
    std::string recordFile;
    std::string sinkPipe;
    std::string sourcePipe;
    std::string skipReason;
    QAudioDevice output;
    QAudioDevice input;
};

#define KV_NEED_SERVER()                                                                       \
    do {                                                                                       \
        if (!NeedServer())                                                                     \
            GTEST_SKIP() << skipReason;                                                        \
    } while (false)

// ---- without a server -----------------------------------------------------------------------

TEST_F(QtAudioDeviceFixture, WithoutDevicesPlayAndRecordSaySo)
{
    WriteNoiseFile(playFile, 2, 2, 44100, 100);
    QtAudioDevice audio{QAudioDevice(), QAudioDevice()};
    EXPECT_FALSE(audio.HasOutput());
    EXPECT_FALSE(audio.HasInput());
    std::string message;
    audio.SetFileName(playFile);
    ASSERT_TRUE(audio.Open(message)) << message;
    EXPECT_EQ(audio.Mode(), AudioMode::Stopped);
    EXPECT_FALSE(audio.Play(message));
    EXPECT_EQ(message, AudioNoOutputText);
    EXPECT_FALSE(audio.StartRecording(message));
    EXPECT_EQ(message, AudioNoInputText);
    EXPECT_EQ(audio.Mode(), AudioMode::Stopped);
}

struct BadFileRow
{
    const char* name;
    std::vector<uint8_t> bytes;
    bool create;
};

class QtAudioDeviceBadFiles : public QtAudioDeviceFixture,
                              public ::testing::WithParamInterface<BadFileRow>
{
};

TEST_P(QtAudioDeviceBadFiles, OpenNamesTheFileAndTheReadersReason)
{
    const BadFileRow& row = GetParam();
    if (row.create) {
        FILE* f = std::fopen(playFile.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        if (!row.bytes.empty())
            std::fwrite(row.bytes.data(), 1, row.bytes.size(), f);
        std::fclose(f);
    }
    SoundUPtr sound;
    std::string readerText;
    ASSERT_FALSE(ReadWaveFile(playFile, sound, readerText));

    QtAudioDevice audio{QAudioDevice(), QAudioDevice()};
    audio.SetFileName(playFile);
    std::string message;
    EXPECT_FALSE(audio.Open(message));
    EXPECT_EQ(message, "Cannot open the sound file \"" + playFile + "\": " + readerText);
    EXPECT_EQ(audio.Mode(), AudioMode::NotReady);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, QtAudioDeviceBadFiles,
    ::testing::Values(BadFileRow{"Missing", {}, false}, BadFileRow{"Empty", {}, true},
                      BadFileRow{"NotRiff", {'R', 'I', 'F', 'X', 0, 0, 0, 0}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- against the private server -------------------------------------------------------------

struct PlayRow
{
    const char* name;
    int channels;
    int bytesPSample;
};

class QtAudioDevicePlays : public QtAudioDeviceFixture,
                           public ::testing::WithParamInterface<PlayRow>
{
};

TEST_P(QtAudioDevicePlays, EveryValueArrivesAtTheSinkAndCompletionComesOnTheGuiThread)
{
    KV_NEED_SERVER();
    const PlayRow& row = GetParam();
    const Played played = WriteNoiseFile(playFile, row.channels, row.bytesPSample, PipeRate,
                                          PipeRate * 3 / 4);
    SinkPipeReader reader(sinkPipe);
    ASSERT_TRUE(reader.Opened());

    QtAudioDevice audio(output, input);
    std::vector<AudioCompletion> completions;
    bool onGuiThread = true;
    audio.SetCompletionHandler([&](AudioCompletion c) {
        completions.push_back(c);
        onGuiThread = onGuiThread && QThread::currentThread() == qApp->thread();
    });
    std::string message;
    audio.SetFileName(playFile);
    ASSERT_TRUE(audio.Open(message)) << message;
    audio.SetNotify(true);
    ASSERT_TRUE(audio.Play(message)) << message;
    EXPECT_EQ(audio.Mode(), AudioMode::Playing);
    EXPECT_TRUE(completions.empty());

    ASSERT_TRUE(WaitUntil([&] { return !completions.empty(); }, 20000));
    EXPECT_EQ(completions, std::vector<AudioCompletion>{AudioCompletion::Finished});
    EXPECT_TRUE(onGuiThread);
    EXPECT_EQ(audio.Mode(), AudioMode::Stopped);
    EXPECT_EQ(audio.Position(), played.frames);

    // The last frames may still be on their way through the server.
    int64_t start = -1;
    Arrival arrival;
    WaitUntil(
        [&] {
            const std::vector<int16_t> got = reader.Values();
            start = FindFrames(got, played.stereo, 64);
            if (start >= 0)
                arrival = TraceArrival(got, played.stereo, start);
            return arrival.framesMatched == played.frames;
        },
        5000);
    ASSERT_GE(start, 0) << "the played sound never reached the sink";
    EXPECT_EQ(arrival.framesMatched, played.frames);
    EXPECT_EQ(arrival.silentFramesBetween, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, QtAudioDevicePlays,
                         ::testing::Values(PlayRow{"Stereo16", 2, 2}, PlayRow{"Mono16", 1, 2},
                                           PlayRow{"Mono8", 1, 1}, PlayRow{"Stereo8", 2, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(QtAudioDeviceFixture, StopMidStreamEndsThePlayAtOnce)
{
    KV_NEED_SERVER();
    const Played played = WriteNoiseFile(playFile, 2, 2, PipeRate, PipeRate * 2);
    SinkPipeReader reader(sinkPipe);
    ASSERT_TRUE(reader.Opened());
    QtAudioDevice audio(output, input);
    std::vector<AudioCompletion> completions;
    audio.SetCompletionHandler([&](AudioCompletion c) { completions.push_back(c); });
    std::string message;
    audio.SetFileName(playFile);
    ASSERT_TRUE(audio.Open(message)) << message;
    audio.SetNotify(true);
    ASSERT_TRUE(audio.Play(message)) << message;
    ASSERT_TRUE(WaitUntil([&] { return FindFrames(reader.Values(), played.stereo, 64) >= 0; },
                          10000));
    audio.Stop();
    EXPECT_EQ(audio.Mode(), AudioMode::Stopped);
    ASSERT_TRUE(WaitUntil([&] { return !completions.empty(); }, 5000));
    EXPECT_EQ(completions, std::vector<AudioCompletion>{AudioCompletion::Aborted});
    const int64_t position = audio.Position();
    EXPECT_LT(position, played.frames);

    // Give what was under way time to arrive: the rest of the sound never follows.
    QThread::msleep(300);
    const std::vector<int16_t> got = reader.Values();
    const Arrival arrival = TraceArrival(got, played.stereo, FindFrames(got, played.stereo, 64));
    EXPECT_GT(arrival.framesMatched, 0);
    EXPECT_LT(arrival.framesMatched, played.frames);
    EXPECT_FALSE(arrival.strayAfter);
    QCoreApplication::processEvents();
    EXPECT_EQ(completions.size(), 1u);
}

TEST_F(QtAudioDeviceFixture, PauseMidStreamHoldsThePlayAndResumeFinishesIt)
{
    KV_NEED_SERVER();
    const Played played = WriteNoiseFile(playFile, 2, 2, PipeRate, PipeRate * 3 / 2);
    SinkPipeReader reader(sinkPipe);
    ASSERT_TRUE(reader.Opened());
    QtAudioDevice audio(output, input);
    std::vector<AudioCompletion> completions;
    audio.SetCompletionHandler([&](AudioCompletion c) { completions.push_back(c); });
    std::string message;
    audio.SetFileName(playFile);
    ASSERT_TRUE(audio.Open(message)) << message;
    audio.SetNotify(true);
    ASSERT_TRUE(audio.Play(message)) << message;
    ASSERT_TRUE(WaitUntil([&] { return FindFrames(reader.Values(), played.stereo, 64) >= 0; },
                          10000));
    ASSERT_TRUE(audio.PauseOrResume(message)) << message;
    EXPECT_EQ(audio.Mode(), AudioMode::Paused);
    ASSERT_TRUE(WaitUntil([&] { return !completions.empty(); }, 5000));
    EXPECT_EQ(completions, std::vector<AudioCompletion>{AudioCompletion::Aborted});
    const int64_t pausedAt = audio.Position();

    // While paused the sink hears silence, and the play does not end however long it waits.
    WaitUntil([] { return false; }, 600);
    EXPECT_EQ(audio.Mode(), AudioMode::Paused);
    EXPECT_EQ(audio.Position(), pausedAt);

    ASSERT_TRUE(audio.PauseOrResume(message)) << message;
    EXPECT_EQ(audio.Mode(), AudioMode::Playing);
    ASSERT_TRUE(WaitUntil([&] { return completions.size() == 2; }, 20000));
    EXPECT_EQ(completions[1], AudioCompletion::Finished);
    EXPECT_EQ(audio.Mode(), AudioMode::Stopped);

    Arrival arrival;
    WaitUntil(
        [&] {
            const std::vector<int16_t> got = reader.Values();
            arrival = TraceArrival(got, played.stereo, FindFrames(got, played.stereo, 64));
            return arrival.framesMatched == played.frames;
        },
        5000);
    // Every frame once, in order, with the pause as silence between.
    EXPECT_EQ(arrival.framesMatched, played.frames);
    EXPECT_GT(arrival.silentFramesBetween, PipeRate / 10);
}

TEST_F(QtAudioDeviceFixture, EmptyFilePlaysAndFinishesAtOnce)
{
    KV_NEED_SERVER();
    WriteEmptyFile(playFile, 2, 2, PipeRate);
    QtAudioDevice audio(output, input);
    std::vector<AudioCompletion> completions;
    audio.SetCompletionHandler([&](AudioCompletion c) { completions.push_back(c); });
    std::string message;
    audio.SetFileName(playFile);
    ASSERT_TRUE(audio.Open(message)) << message;
    audio.SetNotify(true);
    ASSERT_TRUE(audio.Play(message)) << message;
    ASSERT_TRUE(WaitUntil([&] { return !completions.empty(); }, 10000));
    EXPECT_EQ(completions, std::vector<AudioCompletion>{AudioCompletion::Finished});
    EXPECT_EQ(audio.Mode(), AudioMode::Stopped);
    EXPECT_EQ(audio.Position(), 0);
}

TEST_F(QtAudioDeviceFixture, WaitedPlayReturnsWhenItHasEnded)
{
    KV_NEED_SERVER();
    const Played played = WriteNoiseFile(playFile, 1, 2, PipeRate, PipeRate / 2);
    SinkPipeReader reader(sinkPipe);
    QtAudioDevice audio(output, input);
    std::vector<AudioCompletion> completions;
    audio.SetCompletionHandler([&](AudioCompletion c) { completions.push_back(c); });
    std::string message;
    audio.SetFileName(playFile);
    ASSERT_TRUE(audio.Open(message)) << message;
    audio.SetNotify(true);
    audio.SetWait(true);
    ASSERT_TRUE(audio.Play(message)) << message;
    EXPECT_EQ(audio.Mode(), AudioMode::Stopped);
    EXPECT_EQ(audio.Position(), played.frames);
    ASSERT_TRUE(WaitUntil([&] { return !completions.empty(); }, 5000));
    EXPECT_EQ(completions, std::vector<AudioCompletion>{AudioCompletion::Finished});
}

struct RecordRow
{
    const char* name;
    int channels;
    int bytesPSample;
    int rate;
};

class QtAudioDeviceRecords : public QtAudioDeviceFixture,
                             public ::testing::WithParamInterface<RecordRow>
{
};

TEST_P(QtAudioDeviceRecords, TheFedSineIsWhatTheRecordingHolds)
{
    KV_NEED_SERVER();
    const RecordRow& row = GetParam();
    WriteEmptyFile(recordFile, row.channels, row.bytesPSample, row.rate);
    constexpr double Freq = 441;
    constexpr double Amplitude = 16000;

    QtAudioDevice audio(output, input);
    std::vector<AudioCompletion> completions;
    audio.SetCompletionHandler([&](AudioCompletion c) { completions.push_back(c); });
    std::string message;
    audio.SetFileName(recordFile);
    ASSERT_TRUE(audio.Open(message)) << message;
    audio.SetNotify(true);
    ASSERT_TRUE(audio.StartRecording(message)) << message;
    EXPECT_EQ(audio.Mode(), AudioMode::Recording);
    {
        SourcePipeWriter writer(sourcePipe, Sine(Freq, Amplitude, PipeRate));
        ASSERT_TRUE(WaitUntil([&] { return writer.Done(); }, 10000));
        ASSERT_FALSE(writer.Failed());
        // Most of the second, at the file's own rate.
        ASSERT_TRUE(WaitUntil([&] { return audio.Position() >= row.rate * 9 / 10; }, 10000))
            << "recorded only " << audio.Position() << " frames";
    }
    audio.Stop();
    EXPECT_EQ(audio.Mode(), AudioMode::Stopped);
    ASSERT_TRUE(audio.SaveRecording(message)) << message;
    audio.Close();

    SoundUPtr recorded;
    ASSERT_TRUE(ReadWaveFile(recordFile, recorded, message)) << message;
    EXPECT_EQ(recorded->GetMonoStereo(), row.channels);
    EXPECT_EQ(recorded->GetSampleFreq(), row.rate);
    EXPECT_EQ(recorded->GetBytesPSample(), row.bytesPSample);
    ASSERT_GE(recorded->GetValues(), row.rate * 9 / 10);

    // Level and pitch over the middle, away from the edges of the take.
    for (const Wave* channel : {recorded->GetLeftWave(), recorded->GetRightWave()}) {
        const int32_t begin = row.rate / 10;
        const int32_t end = recorded->GetValues() - row.rate / 10;
        double squares = 0;
        int crossings = 0;
        for (int32_t i = begin; i < end; ++i) {
            squares += double((*channel)[i]) * (*channel)[i];
            if (i > begin && ((*channel)[i - 1] < 0) != ((*channel)[i] < 0))
                ++crossings;
        }
        const double rms = std::sqrt(squares / (end - begin));
        EXPECT_NEAR(rms, Amplitude / std::sqrt(2.0), Amplitude * 0.05);
        const double freq = crossings / 2.0 / ((end - begin) / double(row.rate));
        EXPECT_NEAR(freq, Freq, Freq * 0.03);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(completions, std::vector<AudioCompletion>{AudioCompletion::Aborted});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, QtAudioDeviceRecords,
    ::testing::Values(RecordRow{"Stereo16At44100", 2, 2, 44100},
                      RecordRow{"Mono8At11025", 1, 1, 11025},
                      RecordRow{"Mono16At22050", 1, 2, 22050}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QtAudioDeviceFixture, RecordingPausedTakesNothingUntilResumed)
{
    KV_NEED_SERVER();
    WriteEmptyFile(recordFile, 2, 2, PipeRate);
    QtAudioDevice audio(output, input);
    std::string message;
    audio.SetFileName(recordFile);
    ASSERT_TRUE(audio.Open(message)) << message;
    ASSERT_TRUE(audio.StartRecording(message)) << message;
    {
        SourcePipeWriter writer(sourcePipe, Sine(441, 8000, PipeRate / 2));
        ASSERT_TRUE(WaitUntil([&] { return audio.Position() >= PipeRate * 4 / 10; }, 10000));
    }
    ASSERT_TRUE(audio.PauseOrResume(message)) << message;
    EXPECT_EQ(audio.Mode(), AudioMode::Paused);
    WaitUntil([] { return false; }, 200);
    const int64_t pausedAt = audio.Position();

    // A quarter second fed while paused waits in the pipe (it fits) and is taken on resume.
    {
        SourcePipeWriter writer(sourcePipe, Sine(441, 8000, PipeRate / 4));
        ASSERT_TRUE(WaitUntil([&] { return writer.Done(); }, 10000));
        ASSERT_FALSE(writer.Failed());
    }
    WaitUntil([] { return false; }, 300);
    EXPECT_EQ(audio.Position(), pausedAt);
    EXPECT_EQ(audio.Mode(), AudioMode::Paused);

    ASSERT_TRUE(audio.PauseOrResume(message)) << message;
    EXPECT_EQ(audio.Mode(), AudioMode::Recording);
    ASSERT_TRUE(WaitUntil([&] { return audio.Position() >= pausedAt + PipeRate / 5; }, 10000))
        << "recorded only " << audio.Position() - pausedAt << " frames after the resume";
    audio.Stop();
    ASSERT_TRUE(audio.SaveRecording(message)) << message;
    SoundUPtr recorded;
    ASSERT_TRUE(ReadWaveFile(recordFile, recorded, message)) << message;
    EXPECT_EQ(recorded->GetValues(), audio.Position());
    EXPECT_GE(recorded->GetValues(), pausedAt + PipeRate / 5);
}

} // namespace
