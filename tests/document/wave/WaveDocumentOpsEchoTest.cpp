// The random echo: the same seed gives the same sound, echoes whose time the dice put past the
// end of a cyclable result wrap into it, echoes pushed before the start of the other kind start
// at 0, and a stopped echo keeps the sound but still puts the cursor at 0.

#include "document/wave/WaveDocumentOpsTestSupport.h"

#include "general/random/Dicer.h"
#include "sound/SoundOps.h"

#include <cmath>
#include <vector>

namespace kelvorn::test {
namespace {

std::vector<int> Ramp(int n, int step)
{
    std::vector<int> v;
    for (int i = 0; i < n; ++i)
        v.push_back((i + 1) * step);
    return v;
}

/// The first seed from start whose first throw puts die `die` at least at `least`.
uint32_t SeedWithFirstDieAtLeast(int die, double least, uint32_t start)
{
    for (uint32_t seed = start; seed < start + 2000000; ++seed) {
        Dicer d(seed);
        d.Throw();
        if (d.Value(die, 1.0, 0.0) >= least)
            return seed;
    }
    ADD_FAILURE() << "no such seed";
    return start;
}

TRandomEchoProps EchoProps(int count, uint32_t seed, double timeDifference)
{
    TRandomEchoProps p;
    p.count.SetValue(count);
    p.randomSeed.SetValue(static_cast<int32_t>(seed));
    p.timeDifference.SetValue(timeDifference);
    return p;
}

class RndEchoTest : public DocOpsTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(RndEchoTest, TheSameSeedGivesTheSameSound)
{
    const bool stereo = GetParam();
    TRandomEchoProps p = EchoProps(6, 1234, 20.0 / OpsRate);
    p.volume.kind = 1;
    p.volume.source = 1;
    p.length.kind = 1;
    p.length.envelope = EnvRef();
    p.balance.kind = 2;
    p.balance.envelope = EnvRef();
    p.balanceVolumeDifference = volumeDifferenceFilter;

    RecordedBoxes boxes;
    auto first = MakeDoc(KnownSound(stereo), 2, 6);
    auto second = MakeDoc(KnownSound(stereo), 5, 5);
    ASSERT_TRUE(waveops::RndEcho(*first, p).Succeeded());
    ASSERT_TRUE(waveops::RndEcho(*second, p).Succeeded());
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(ChannelsOf(*first->GetSound()), ChannelsOf(*second->GetSound()));
    ExpectFormat(*first->GetSound(), 2, OpsRate, OpsBytes);
    // 10 values + 20 of time difference + 1 + OpsRate / 3400, then one more as silence of
    // (n + 1) / rate seconds makes.
    EXPECT_GE(first->GetValues(), 32);
    EXPECT_LE(first->GetValues(), 33);
    EXPECT_EQ(first->GetPos1(), 0);
    EXPECT_EQ(first->GetPos2(), 0);

    auto other = MakeDoc(KnownSound(stereo), 0, 0);
    p.randomSeed.SetValue(1235);
    ASSERT_TRUE(waveops::RndEcho(*other, p).Succeeded());
    EXPECT_NE(ChannelsOf(*first->GetSound()), ChannelsOf(*other->GetSound()));
}

TEST_P(RndEchoTest, WithoutBalanceTheChannelCountStays)
{
    const bool stereo = GetParam();
    auto doc = MakeDoc(KnownSound(stereo), 0, 0);
    ASSERT_TRUE(waveops::RndEcho(*doc, EchoProps(3, 9, 4.0 / OpsRate)).Succeeded());
    ExpectFormat(*doc->GetSound(), stereo ? 2 : 1, OpsRate, OpsBytes);
    // Cyclable off: the whole sound fits after the latest start.
    EXPECT_GE(doc->GetValues(), 10 + 4 + 1);
}

TEST_P(RndEchoTest, CyclableEchoesPastTheEndWrapToTheStart)
{
    const bool stereo = GetParam();
    // A die near its top reaches past maxShift: the divisor of the dice is below 2^30 - 1.
    const uint32_t seed = SeedWithFirstDieAtLeast(0, 1.00003, 1);
    const int32_t rate = 1000;
    const double seconds = 1000.0; // maxShift 1e6 values: the die overshoots by 30 or more
    const std::vector<int> source = Ramp(40, 10);
    SoundPtr sound = stereo ? SoundPtr(std::make_shared<StereoSound>(
                                  MakeWave(source), MakeWave(Ramp(40, -7)), rate, OpsBytes))
                            : MonoSoundOf(source, rate);
    RecordedBoxes boxes;
    auto doc = MakeDoc(sound, 0, 0);
    TRandomEchoProps p = EchoProps(1, seed, seconds);
    p.cyclable = 1;
    ASSERT_TRUE(waveops::RndEcho(*doc, p).Succeeded());
    EXPECT_TRUE(boxes.boxes.empty());

    const int32_t n = doc->GetValues();
    // n = maxShift + 1, and silence of (n + 1) / rate seconds is n + 2 values (one for the end).
    ASSERT_GE(n, 1000002);
    ASSERT_LE(n, 1000003);
    Dicer d(seed);
    d.Throw();
    const auto at = static_cast<int64_t>(d.Value(0, rate * seconds, 0.0));
    ASSERT_GE(at, n) << "the seed must put the echo past the end";
    const int64_t wrapped = at - n;
    const Wave& left = *doc->GetSound()->GetLeftWave();
    for (int64_t i = 0; i < n; ++i) {
        const int64_t k = i - wrapped;
        const int expected = k >= 0 && k < 40 ? source[static_cast<size_t>(k)] : 0;
        if (left[static_cast<int32_t>(i)] != expected) {
            ADD_FAILURE() << "value " << i << " is " << left[static_cast<int32_t>(i)];
            break;
        }
    }
}

TEST_P(RndEchoTest, EchoesPushedBeforeTheStartBeginAtZero)
{
    const bool stereo = GetParam();
    // At 34000 Hz the balance margin is 10 values: with almost no time difference the latest
    // start is -10, and most dice put the echo before 0.
    const int32_t rate = 34000;
    const std::vector<int> source = Ramp(20, 100);
    SoundPtr sound = stereo ? SoundPtr(std::make_shared<StereoSound>(
                                  MakeWave(source), MakeWave(Ramp(20, -50)), rate, OpsBytes))
                            : MonoSoundOf(source, rate);
    const uint32_t seed = SeedWithFirstDieAtLeast(0, 0.5, 3);
    Dicer d(seed);
    d.Throw();
    ASSERT_LE(std::trunc(d.Value(0, -10.0, 0.0)), -1.0);
    const double angle = d.Value(3, 1.0, -1.0);

    RecordedBoxes boxes;
    auto doc = MakeDoc(sound, 4, 9);
    TRandomEchoProps p = EchoProps(1, seed, 1e-6);
    p.balance.kind = 1;
    p.balanceTimeDifference = 0;
    p.balanceVolumeDifference = volumeDifferenceVolume;
    ASSERT_TRUE(waveops::RndEcho(*doc, p).Succeeded());
    EXPECT_TRUE(boxes.boxes.empty());

    SoundUPtr echo = BalanceConstant(*sound, nullptr, angle, false, true, false);
    ASSERT_TRUE(echo);
    auto expected = std::make_unique<StereoSound>(
        MakeWave(std::vector<int>(static_cast<size_t>(doc->GetValues()), 0)),
        MakeWave(std::vector<int>(static_cast<size_t>(doc->GetValues()), 0)), rate, OpsBytes);
    ASSERT_TRUE(MixAfter(*expected, nullptr, *echo, 0));
    EXPECT_EQ(ChannelsOf(*doc->GetSound()), ChannelsOf(*expected));
    EXPECT_GE(doc->GetValues(), 20 + 10 + 1);
}

TEST_P(RndEchoTest, AStoppedEchoKeepsTheSoundAndPutsTheCursorAtZero)
{
    const bool stereo = GetParam();
    RecordedBoxes boxes;
    auto doc = MakeDoc(KnownSound(stereo), 3, 7);
    const SoundPtr before = doc->GetSound();
    AbortAfterPolls(2);
    const WaveOpResult result = waveops::RndEcho(*doc, EchoProps(4, 1, 0.5));
    ResetAbortHook();
    EXPECT_EQ(result.outcome, WaveOpOutcome::Stopped);
    EXPECT_EQ(doc->GetSound(), before);
    EXPECT_EQ(doc->GetPos1(), 0);
    EXPECT_EQ(doc->GetPos2(), 0);
    EXPECT_EQ(window.refreshes, 1);

    FailAllocationsAfter(0);
    EXPECT_EQ(waveops::RndEcho(*doc, EchoProps(4, 1, 0.5)).outcome, WaveOpOutcome::Stopped);
    ResetAllocationFailure();
    EXPECT_EQ(doc->GetSound(), before);
}

INSTANTIATE_TEST_SUITE_P(MonoAndStereo, RndEchoTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Stereo" : "Mono"; });

} // namespace
} // namespace kelvorn::test
