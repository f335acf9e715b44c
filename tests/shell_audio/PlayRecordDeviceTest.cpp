// Play and record through the real audio device, against the private PulseAudio server: what
// the main window's commands play arrives at the pipe sink, what is fed into the pipe source
// ends up in the wave, and the device's completion comes back on the GUI thread.
#include "PulsePipes.h"
#include "ShellSupport.h"
#include "document/records/WaveFileProps.h"
#include "platform/qt/audio/QtAudioDevice.h"
#include "shell/PlayRecord.h"

#include <QThread>

#include <cmath>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

/// A stereo sound of a fixed noise that is never silent, so that every frame can be found.
SoundPtr NoiseSound(int32_t values)
{
    V left;
    for (int32_t i = 0; i < values; ++i) {
        uint32_t state = uint32_t(i) * 2654435761u + 12345u;
        state ^= state >> 13;
        state *= 1103515245u;
        const int v = static_cast<int>((state >> 16) % 20001) - 10000;
        left.push_back(static_cast<int16_t>(v >= 0 ? v + 1000 : v - 1000));
    }
    return Values(left, 2, PipeRate);
}

/// The main window with play and record on the device of the private server's pipes; skips
/// the test, with the reason on one line, where there is no such server.
class PlayRecordDevice : public ShellTest
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
        EXPECT_TRUE(messages.Unexpected().empty());
        player.reset();
        form.reset();
        Flush();
        audio.reset();
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
    TMDIChildKelvorn* window =
        Add(new TMDIChildKelvorn, std::make_unique<TUnitWave>("Noise", std::string(), sound));
    // Set right to left, as a drag from the end would.
    UnitWaveOf(window)->SetPos1(PipeRate * 3 / 4);
    UnitWaveOf(window)->SetPos2(PipeRate / 4);
    SinkPipeReader reader(sinkPipe);
    ASSERT_TRUE(reader.Opened());
    A("FilePlay")->trigger();
    EXPECT_TRUE(A("FilePlay")->isChecked());
    EXPECT_EQ(audio->Mode(), AudioMode::Playing);
    ASSERT_TRUE(WaitUntil([&] { return !A("FilePlay")->isChecked(); }, 20000));
    EXPECT_TRUE(uncheckedOnGuiThread);
    EXPECT_EQ(audio->Mode(), AudioMode::NotReady);
    EXPECT_FALSE(A("FileStop")->isEnabled());
    std::vector<int16_t> part; // the interleaved stereo values of the part
    for (int32_t i = PipeRate / 4; i < PipeRate * 3 / 4; ++i)
        part.insert(part.end(), {(*sound->GetLeftWave())[i], (*sound->GetRightWave())[i]});
    Arrival arrival;
    WaitUntil(
        [&] {
            const std::vector<int16_t> got = reader.Values();
            const int64_t start = FindFrames(got, part, 64);
            if (start >= 0)
                arrival = TraceArrival(got, part, start);
            return arrival.framesMatched == PipeRate / 2;
        },
        5000);
    EXPECT_EQ(arrival.framesMatched, PipeRate / 2);
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
    TUnitWave& unit = *UnitWaveOf(Add(window));
    std::vector<int16_t> sine;
    for (int64_t i = 0; i < PipeRate; ++i)
        sine.insert(sine.end(), 2,
                    static_cast<int16_t>(
                        std::lround(Amplitude * std::sin(2 * M_PI * Freq * double(i) / PipeRate))));
    A("FileRecord")->trigger();
    ASSERT_EQ(audio->Mode(), AudioMode::Recording);
    {
        SourcePipeWriter writer(sourcePipe, sine);
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
    const V wave = LeftOf(*unit.GetSound());
    const int32_t begin = Rate / 10;
    const int32_t end = unit.GetValues() - Rate / 10;
    double squares = 0;
    int crossings = 0;
    for (int32_t i = begin; i < end; ++i) {
        squares += double(wave[size_t(i)]) * wave[size_t(i)];
        crossings += i > begin && (wave[size_t(i - 1)] < 0) != (wave[size_t(i)] < 0);
    }
    EXPECT_NEAR(std::sqrt(squares / (end - begin)), Amplitude / std::sqrt(2.0), Amplitude * 0.05);
    EXPECT_NEAR(crossings / 2.0 / ((end - begin) / double(Rate)), Freq, Freq * 0.03);
    // The stopped recording's completion is the one left to ignore.
    ASSERT_TRUE(WaitUntil([&] { return player->IgnoredNotifications() == 0; }, 5000));
    EXPECT_EQ(unit.GetValues(), unit.GetSound()->GetValues());
}

} // namespace
