// Play and record through the real audio device, against the private PulseAudio server: what
// the main window's commands play arrives at the pipe sink, what is fed into the pipe source
// ends up in the wave, and the device's completion comes back on the GUI thread.
#include "waveui/WaveWindow.h"
#include "PulsePipes.h"
#include "platform/qt/audio/QtAudioDevice.h"
#include "PlayRecordTestSupport.h"

#include <QThread>

#include <cmath>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

constexpr double Pi = 3.14159265358979323846;

/// A fixed noise that is never silent, so that every frame can be found at the sink.
int16_t Noise(int32_t i, int channel)
{
    uint32_t state = uint32_t(i) * 2654435761u + uint32_t(channel) * 40503u + 12345u;
    state ^= state >> 13;
    state *= 1103515245u;
    const int v = static_cast<int>((state >> 16) % 20001) - 10000;
    return static_cast<int16_t>(v >= 0 ? v + 1000 : v - 1000);
}

SoundPtr NoiseSound(int32_t values)
{
    WavePtr left = CreateWave(nullptr, values);
    WavePtr right = CreateWave(nullptr, values);
    for (int32_t i = 0; i < values; ++i) {
        (*left)[i] = Noise(i, 0);
        (*right)[i] = Noise(i, 1);
    }
    return std::make_shared<StereoSound>(std::move(left), std::move(right), PipeRate, int16_t{2});
}

/// The interleaved stereo values of [begin, end) of sound.
std::vector<int16_t> Frames(const Sound& sound, int32_t begin, int32_t end)
{
    std::vector<int16_t> values;
    for (int32_t i = begin; i < end; ++i) {
        values.push_back((*sound.GetLeftWave())[i]);
        values.push_back((*sound.GetRightWave())[i]);
    }
    return values;
}

std::vector<int16_t> Sine(double freq, double amplitude, int64_t frames)
{
    std::vector<int16_t> values;
    for (int64_t i = 0; i < frames; ++i) {
        const auto v = static_cast<int16_t>(
            std::lround(amplitude * std::sin(2 * Pi * freq * double(i) / PipeRate)));
        values.push_back(v);
        values.push_back(v);
    }
    return values;
}

/// The main window with play and record on the device of the private server's pipes; skips
/// the test, with the reason on one line, where there is no such server.
class PlayRecordDevice : public MainFormTest
{
protected:
    void SetUp() override
    {
        std::string reason;
        if (!FindPulsePipes(sinkPipe, sourcePipe, reason))
            GTEST_SKIP() << reason;
        QAudioDevice output = QtAudioDevice::FindOutput(PipeSinkName);
        QAudioDevice input = QtAudioDevice::FindInput(PipeSourceName);
        if (output.isNull() || input.isNull())
            GTEST_SKIP() << "the private PulseAudio server offers no "
                         << (output.isNull() ? PipeSinkName : PipeSourceName);
        DrainPipe(sourcePipe);
        audio = std::make_unique<QtAudioDevice>(output, input);
        Start();
        player = std::make_unique<TPlayRecord>(*form, *audio);
        // The check states change where the completion is handled.
        QObject::connect(A("FilePlay"), &QAction::toggled, [this](bool on) {
            if (!on)
                uncheckedOnGuiThread = QThread::currentThread() == qApp->thread();
        });
    }

    void TearDown() override
    {
        for (const ShownMessage& box : messages.Unexpected())
            ADD_FAILURE() << "unexpected box: " << box.caption << ": " << box.text;
        player.reset();
        form.reset();
        Flush();
        audio.reset();
    }

    TMDIChildKelvorn* OpenSound(const std::string& name, SoundPtr sound)
    {
        auto* window = new TMDIChildKelvorn;
        window->SetUnit(std::make_unique<TUnitWave>(name, std::string(), std::move(sound)));
        return Add(window);
    }

    std::string sinkPipe;
    std::string sourcePipe;
    std::unique_ptr<QtAudioDevice> audio;
    std::unique_ptr<TPlayRecord> player;
    bool uncheckedOnGuiThread = false;
};

TEST_F(PlayRecordDevice, PlayDeliversThePartAtTheSinkAndEndsOnTheGuiThread)
{
    SoundPtr sound = NoiseSound(PipeRate);
    TMDIChildKelvorn* window = OpenSound("Noise", sound);
    // Set right to left, as a drag from the end would.
    UnitWaveOf(window)->SetPos1(PipeRate * 3 / 4);
    UnitWaveOf(window)->SetPos2(PipeRate / 4);
    const std::vector<int16_t> part = Frames(*sound, PipeRate / 4, PipeRate * 3 / 4);
    SinkPipeReader reader(sinkPipe);
    ASSERT_TRUE(reader.Opened());

    A("FilePlay")->trigger();
    EXPECT_TRUE(A("FilePlay")->isChecked());
    EXPECT_EQ(audio->Mode(), AudioMode::Playing);
    ASSERT_TRUE(WaitUntil([&] { return !A("FilePlay")->isChecked(); }, 20000));
    EXPECT_TRUE(uncheckedOnGuiThread);
    EXPECT_EQ(audio->Mode(), AudioMode::NotReady);
    EXPECT_FALSE(A("FileStop")->isEnabled());

    const int64_t frames = PipeRate / 2;
    Arrival arrival;
    int64_t start = -1;
    WaitUntil(
        [&] {
            const std::vector<int16_t> got = reader.Values();
            start = FindFrames(got, part, 64);
            if (start >= 0)
                arrival = TraceArrival(got, part, start);
            return arrival.framesMatched == frames;
        },
        5000);
    ASSERT_GE(start, 0) << "the part never reached the sink";
    EXPECT_EQ(arrival.framesMatched, frames);
    EXPECT_EQ(arrival.silentFramesBetween, 0);
    EXPECT_FALSE(arrival.strayAfter);
}

TEST_F(PlayRecordDevice, RecordCapturesTheFedSineIntoTheWave)
{
    constexpr double Freq = 441;
    constexpr double Amplitude = 12000;
    constexpr int32_t Rate = 22050;
    auto* window = new TMDIChildKelvorn;
    window->SetUnit(
        std::make_unique<TUnitWave>("Empty", std::string(), TWaveFileProps(1, Rate, 2)));
    Add(window);
    TUnitWave& unit = *UnitWaveOf(window);

    A("FileRecord")->trigger();
    ASSERT_EQ(audio->Mode(), AudioMode::Recording);
    EXPECT_TRUE(A("FileRecord")->isChecked());
    {
        SourcePipeWriter writer(sourcePipe, Sine(Freq, Amplitude, PipeRate));
        ASSERT_TRUE(WaitUntil([&] { return writer.Done(); }, 10000));
        ASSERT_FALSE(writer.Failed());
        ASSERT_TRUE(WaitUntil([&] { return audio->Position() >= Rate * 9 / 10; }, 10000))
            << "recorded only " << audio->Position() << " frames";
    }
    A("FileStop")->trigger();

    EXPECT_FALSE(A("FileRecord")->isChecked());
    EXPECT_EQ(player->RecordUnitWave(), nullptr);
    EXPECT_EQ(unit.GetMonoStereo(), 1);
    EXPECT_EQ(unit.GetSampleFreq(), Rate);
    EXPECT_TRUE(unit.IsModified());
    ASSERT_GE(unit.GetValues(), Rate * 9 / 10);
    const Wave& wave = *unit.GetSound()->GetLeftWave();
    const int32_t begin = Rate / 10;
    const int32_t end = unit.GetValues() - Rate / 10;
    double squares = 0;
    int crossings = 0;
    for (int32_t i = begin; i < end; ++i) {
        squares += double(wave[i]) * wave[i];
        if (i > begin && (wave[i - 1] < 0) != (wave[i] < 0))
            ++crossings;
    }
    EXPECT_NEAR(std::sqrt(squares / (end - begin)), Amplitude / std::sqrt(2.0), Amplitude * 0.05);
    EXPECT_NEAR(crossings / 2.0 / ((end - begin) / double(Rate)), Freq, Freq * 0.03);

    // The stopped recording's completion is the one left to ignore.
    ASSERT_TRUE(WaitUntil([&] { return player->IgnoredNotifications() == 0; }, 5000));
    EXPECT_EQ(unit.GetValues(), unit.GetSound()->GetValues());
}

TEST_F(PlayRecordDevice, StopMidStreamEndsThePlayAtOnce)
{
    SoundPtr sound = NoiseSound(PipeRate * 2);
    OpenSound("Noise", sound);
    const std::vector<int16_t> all = Frames(*sound, 0, sound->GetValues());
    SinkPipeReader reader(sinkPipe);
    A("FilePlay")->trigger();
    ASSERT_TRUE(WaitUntil([&] { return FindFrames(reader.Values(), all, 64) >= 0; }, 10000));

    A("FileStop")->trigger();
    EXPECT_FALSE(A("FilePlay")->isChecked());
    EXPECT_FALSE(A("FileStop")->isEnabled());
    EXPECT_EQ(audio->Mode(), AudioMode::NotReady);
    ASSERT_TRUE(WaitUntil([&] { return player->IgnoredNotifications() == 0; }, 5000));

    // What was under way arrives; the rest never follows.
    WaitUntil([] { return false; }, 300);
    const std::vector<int16_t> got = reader.Values();
    const Arrival arrival = TraceArrival(got, all, FindFrames(got, all, 64));
    EXPECT_GT(arrival.framesMatched, 0);
    EXPECT_LT(arrival.framesMatched, sound->GetValues());
    EXPECT_FALSE(arrival.strayAfter);
}

TEST_F(PlayRecordDevice, PauseMidStreamHoldsThePlayAndPauseAgainFinishesIt)
{
    SoundPtr sound = NoiseSound(PipeRate * 3 / 2);
    OpenSound("Noise", sound);
    const std::vector<int16_t> all = Frames(*sound, 0, sound->GetValues());
    SinkPipeReader reader(sinkPipe);
    A("FilePlay")->trigger();
    ASSERT_TRUE(WaitUntil([&] { return FindFrames(reader.Values(), all, 64) >= 0; }, 10000));

    A("FilePause")->trigger();
    EXPECT_EQ(audio->Mode(), AudioMode::Paused);
    EXPECT_TRUE(A("FilePause")->isChecked());
    // However long it waits, a paused play does not end.
    WaitUntil([] { return false; }, 600);
    EXPECT_TRUE(A("FilePlay")->isChecked());
    EXPECT_EQ(player->IgnoredNotifications(), 0);

    A("FilePause")->trigger();
    EXPECT_EQ(audio->Mode(), AudioMode::Playing);
    EXPECT_FALSE(A("FilePause")->isChecked());
    ASSERT_TRUE(WaitUntil([&] { return !A("FilePlay")->isChecked(); }, 20000));
    EXPECT_TRUE(uncheckedOnGuiThread);

    Arrival arrival;
    WaitUntil(
        [&] {
            const std::vector<int16_t> got = reader.Values();
            arrival = TraceArrival(got, all, FindFrames(got, all, 64));
            return arrival.framesMatched == sound->GetValues();
        },
        5000);
    EXPECT_EQ(arrival.framesMatched, sound->GetValues());
    EXPECT_GT(arrival.silentFramesBetween, PipeRate / 10);
}

} // namespace
