#include "sound/Sound.h"

#include "general/Services.h"
#include "sound/WavePrimitives.h"
#include "support/Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

std::unique_ptr<MonoSound> Mono(const std::vector<int>& values, int32_t rate = 1000)
{
    return MonoOf(values, rate, 2);
}

std::unique_ptr<StereoSound> Stereo(const std::vector<int>& left, const std::vector<int>& right)
{
    return StereoOf(left, right, 1000, 2);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction and format

TEST(SoundTest, EmptySoundsCarryTheirFormat)
{
    MonoSound mono(22050, 1);
    StereoSound stereo(44100, 2);
    EXPECT_EQ(mono.GetMonoStereo(), 1);
    EXPECT_EQ(mono.GetSampleFreq(), 22050);
    EXPECT_EQ(mono.GetBytesPSample(), 1);
    EXPECT_EQ(stereo.GetMonoStereo(), 2);
    EXPECT_EQ(stereo.GetSampleFreq(), 44100);
    EXPECT_EQ(stereo.GetBytesPSample(), 2);
    for (const Sound* s : {static_cast<const Sound*>(&mono), static_cast<const Sound*>(&stereo)}) {
        EXPECT_EQ(s->GetValues(), 0);
        EXPECT_EQ(s->GetTime(), 0.0L);
        EXPECT_FALSE(s->GetRunResult());
        ASSERT_NE(s->GetLeftWave(), nullptr);
        ASSERT_NE(s->GetRightWave(), nullptr);
        EXPECT_EQ(s->GetRightWave()->Values(), 0);
    }
    EXPECT_NE(stereo.GetLeftWave(), stereo.GetRightWave());
}

TEST(SoundTest, NullWavesBecomeEmptyOnes)
{
    MonoSound mono(nullptr, 8000, 2);
    StereoSound stereo(nullptr, nullptr, 8000, 2);
    EXPECT_EQ(mono.GetValues(), 0);
    ASSERT_NE(mono.GetWave(), nullptr);
    EXPECT_EQ(stereo.GetValues(), 0);
    EXPECT_EQ(stereo.GetWaveRight()->Values(), 0);
}

TEST(SoundTest, TimeIsValuesOverRate)
{
    MonoSound mono(Ramp(44100, 0), 22050, 2);
    EXPECT_EQ(mono.GetTime(), 2.0L);
    StereoSound stereo(Ramp(3, 0), Ramp(3, 0), 4, 2);
    EXPECT_EQ(stereo.GetTime(), 0.75L);
    // A sound without a usable rate has no length in time rather than a division by zero.
    MonoSound noRate(Ramp(10, 0), 0, 2);
    EXPECT_EQ(noRate.GetTime(), 0.0L);
}

TEST(SoundTest, RunResultIsOnlyWhatItIsSetTo)
{
    auto sound = Mono({1, 2});
    sound->SetRunResult(true);
    EXPECT_TRUE(sound->GetRunResult());
    AbortFlag abort = 0;
    MonoSound copy(*sound, &abort);
    EXPECT_FALSE(copy.GetRunResult());
}

TEST(SoundTest, StereoChannelsOfDifferentLengthAreCutToTheShorter)
{
    RecordedBoxes boxes;
    for (bool leftLonger : {true, false}) {
        boxes.boxes.clear();
        WavePtr a = MakeWave({1, 2, 3, 4, 5});
        WavePtr b = MakeWave({-1, -2, -3});
        StereoSound sound(leftLonger ? std::move(a) : std::move(b),
                          leftLonger ? std::move(b) : std::move(a), 8000, 2);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].caption, "Assertion failed");
        EXPECT_NE(boxes.boxes[0].text.find(
                      "Condition \"waveLeft->getValues() == waveRight->getValues()\"failed!"),
                  std::string::npos)
            << boxes.boxes[0].text;
        EXPECT_EQ(sound.GetValues(), 3);
        EXPECT_EQ(sound.GetWaveRight()->Values(), 3);
        const Wave* longOne = leftLonger ? sound.GetWaveLeft() : sound.GetWaveRight();
        EXPECT_EQ(ValuesOf(*longOne), (std::vector<int>{1, 2, 3}));
    }
}

TEST(SoundTest, StereoChannelsOfEqualLengthNeedNoAssertion)
{
    RecordedBoxes boxes;
    auto sound = Stereo({1, 2}, {3, 4});
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(ValuesOf(*sound->GetRightWave()), (std::vector<int>{3, 4}));
}

// ---------------------------------------------------------------------------------------------
// Channel accessors

TEST(SoundTest, MonoHandsOutItsOwnWaveForEveryChannel)
{
    auto sound = Mono({5, -6, 7});
    AbortFlag abort = 0;
    WaveRef mono = sound->GetMonoWave(&abort);
    EXPECT_FALSE(mono.IsCopy());
    EXPECT_EQ(mono.get(), sound->GetWave());
    EXPECT_EQ(sound->GetLeftWave(), sound->GetWave());
    EXPECT_EQ(sound->GetRightWave(), sound->GetWave());
}

TEST(SoundTest, StereoMonoWaveIsAlwaysANewMix)
{
    // Each value left * 0.5 + right * 0.5, truncated toward zero.
    auto sound = Stereo({3, -3, 32767, -32768, 1, 10000}, {0, 0, 32767, -32768, 0, -10001});
    AbortFlag abort = 0;
    WaveRef mix = sound->GetMonoWave(&abort);
    ASSERT_TRUE(mix);
    EXPECT_TRUE(mix.IsCopy());
    EXPECT_NE(mix.get(), sound->GetLeftWave());
    EXPECT_EQ(ValuesOf(*mix), (std::vector<int>{1, -1, 32767, -32768, 0, 0}));
    WaveRef again = sound->GetMonoWave(&abort);
    EXPECT_NE(again.get(), mix.get());
    EXPECT_EQ(sound->GetLeftWave(), sound->GetWaveLeft());
    EXPECT_EQ(sound->GetRightWave(), sound->GetWaveRight());
}

struct AtCase
{
    bool stereo;
    int which; // 0 mono, 1 left, 2 right
    int32_t freq;
    bool copy;
    int32_t count;
};

class SoundAtFrequency : public ::testing::TestWithParam<AtCase>
{
};

TEST_P(SoundAtFrequency, ResamplesOnlyWhenTheRateDiffers)
{
    const AtCase c = GetParam();
    // 101 values at 1000 Hz: left a ramp by 100, right a ramp by -100 (mix: all zeros).
    SoundUPtr sound;
    if (c.stereo)
        sound = std::make_unique<StereoSound>(Ramp(101, 100), Ramp(101, -100), 1000, 2);
    else
        sound = std::make_unique<MonoSound>(Ramp(101, 100), 1000, 2);
    AbortFlag abort = 0;
    WaveRef w = c.which == 0   ? sound->GetMonoWaveAt(&abort, c.freq)
                : c.which == 1 ? sound->GetLeftWaveAt(&abort, c.freq)
                               : sound->GetRightWaveAt(&abort, c.freq);
    ASSERT_TRUE(w);
    EXPECT_EQ(w.IsCopy(), c.copy);
    EXPECT_EQ(w->Values(), c.count);
    // The channel read: a mono sound's one ramp, the mix of opposite ramps (silence), or the
    // stereo channel asked for; resampled by freq / SampleFreq when the rates differ.
    WavePtr channel = c.which == 0 && c.stereo   ? MakeWaveOf(101, [](int32_t) { return 0; })
                      : c.which == 2 && c.stereo ? Ramp(101, -100)
                                                 : Ramp(101, 100);
    if (c.freq != 1000)
        channel = resampleFactor(*channel, nullptr, c.freq / 1000.0);
    EXPECT_EQ(ValuesOf(*w), ValuesOf(*channel));
    if (!c.copy) {
        EXPECT_EQ(w.get(), c.which == 2 ? sound->GetRightWave() : sound->GetLeftWave());
    }
    if (c.which == 0) {
        WaveRef same = sound->GetMonoWaveAtFreq(&abort, c.freq);
        EXPECT_EQ(ValuesOf(*same), ValuesOf(*w));
        EXPECT_EQ(same.IsCopy(), c.copy);
    }
    EXPECT_EQ(abort, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SoundAtFrequency,
    ::testing::Values(
        // mono: its own wave at its own rate, a resampled copy otherwise
        AtCase{false, 0, 1000, false, 101}, AtCase{false, 1, 1000, false, 101},
        AtCase{false, 2, 1000, false, 101}, AtCase{false, 0, 2000, true, 201},
        AtCase{false, 1, 500, true, 51}, AtCase{false, 2, 2000, true, 201},
        // stereo: the mix is always new; single channels are borrowed at the own rate
        AtCase{true, 0, 1000, true, 101}, AtCase{true, 0, 2000, true, 201},
        AtCase{true, 1, 1000, false, 101}, AtCase{true, 2, 1000, false, 101},
        AtCase{true, 1, 4000, true, 401}, AtCase{true, 2, 250, true, 26}));

TEST(SoundTest, CloneAlwaysGivesTheCallerItsOwnWave)
{
    auto mono = Mono({10, 20, 30, 40, 50}, 1000);
    auto stereo = Stereo({10, 20, 30, 40, 50}, {30, 40, 50, 60, 70});
    AbortFlag abort = 0;

    WavePtr a = mono->CloneMonoWave(&abort, 0);
    ASSERT_TRUE(a);
    EXPECT_NE(a.get(), mono->GetWave());
    EXPECT_EQ(ValuesOf(*a), (std::vector<int>{10, 20, 30, 40, 50}));
    (*a)[0] = 99;
    EXPECT_EQ((*mono->GetWave())[0], 10);

    EXPECT_EQ(ValuesOf(mono->CloneMonoWave(&abort, 1000)), ValuesOf(*mono->GetWave()));
    EXPECT_EQ(ValuesOf(mono->CloneLeftWave(&abort, 0)), ValuesOf(*mono->GetWave()));
    EXPECT_EQ(ValuesOf(mono->CloneRightWave(&abort, 1000)), ValuesOf(*mono->GetWave()));
    EXPECT_EQ(ValuesOf(mono->CloneLeftWave(&abort, 2000)),
              ValuesOf(resampleFactor(*mono->GetWave(), nullptr, 2.0)));
    EXPECT_EQ(mono->CloneLeftWave(&abort, 2000)->Values(), 9);

    EXPECT_EQ(ValuesOf(stereo->CloneMonoWave(&abort, 0)), (std::vector<int>{20, 30, 40, 50, 60}));
    WavePtr mix = MakeWave({20, 30, 40, 50, 60});
    EXPECT_EQ(ValuesOf(stereo->CloneMonoWave(&abort, 2000)),
              ValuesOf(resampleFactor(*mix, nullptr, 2.0)));
    WavePtr left = stereo->CloneLeftWave(&abort, 0);
    EXPECT_NE(left.get(), stereo->GetWaveLeft());
    EXPECT_EQ(ValuesOf(*left), ValuesOf(*stereo->GetWaveLeft()));
    EXPECT_EQ(ValuesOf(stereo->CloneRightWave(&abort, 0)), ValuesOf(*stereo->GetWaveRight()));
    EXPECT_EQ(ValuesOf(stereo->CloneRightWave(&abort, 500)),
              ValuesOf(resampleFactor(*stereo->GetWaveRight(), nullptr, 0.5)));
    EXPECT_EQ(stereo->CloneRightWave(&abort, 500)->Values(), 3);
    EXPECT_EQ(abort, 0);
}

TEST(SoundTest, AbortAndMemoryFailuresGiveNoWave)
{
    HookReset reset;
    auto stereo = Stereo({1, 2, 3}, {3, 4, 5});
    auto mono = Mono({1, 2, 3});
    AbortFlag abort = 1;
    EXPECT_FALSE(stereo->GetMonoWave(&abort));
    EXPECT_FALSE(stereo->GetLeftWaveAt(&abort, 2000));
    EXPECT_EQ(stereo->CloneLeftWave(&abort, 0), nullptr);
    EXPECT_EQ(mono->CloneMonoWave(&abort, 0), nullptr);
    // Borrowing needs no work, so a set flag does not stop it.
    EXPECT_TRUE(mono->GetMonoWave(&abort));

    RecordedBoxes boxes;
    abort = 0;
    FailAllocationsAfter(0);
    EXPECT_FALSE(mono->GetMonoWaveAt(&abort, 3000));
    EXPECT_EQ(abort, 1);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "There is not enough memmory for this operation.");
}

// ---------------------------------------------------------------------------------------------
// WaveRef

TEST(WaveRefTest, OwnershipFollowsTheKind)
{
    auto sound = Mono({1, 2, 3});
    AbortFlag abort = 0;

    WaveRef borrowed = WaveRef::Borrow(*sound->GetWave());
    WavePtr copy = borrowed.Take(&abort);
    ASSERT_TRUE(copy);
    EXPECT_NE(copy.get(), sound->GetWave());
    EXPECT_EQ(ValuesOf(*copy), (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(borrowed);

    WavePtr fresh = MakeWave({7, 8});
    Wave* raw = fresh.get();
    WaveRef owned = WaveRef::Own(std::move(fresh));
    EXPECT_TRUE(owned.IsCopy());
    WaveRef moved = std::move(owned);
    EXPECT_FALSE(owned);
    EXPECT_FALSE(owned.IsCopy());
    EXPECT_EQ(moved.get(), raw);
    WavePtr taken = moved.Take(&abort);
    EXPECT_EQ(taken.get(), raw);
    EXPECT_FALSE(moved);

    WaveRef none = WaveRef::Own(nullptr);
    EXPECT_FALSE(none);
    EXPECT_EQ(none.Take(&abort), nullptr);

    WaveRef target = WaveRef::Own(MakeWave({1}));
    target = WaveRef::Borrow(*sound->GetWave());
    EXPECT_FALSE(target.IsCopy());
    EXPECT_EQ(target.get(), sound->GetWave());
}

TEST(WaveRefTest, ABorrowedWaveLivesAsLongAsASharedHolder)
{
    SoundPtr shared = Stereo({4, 5}, {6, 7});
    SoundPtr other = shared;
    WaveRef left = other->GetLeftWaveAt(nullptr, 1000);
    shared.reset();
    EXPECT_EQ(ValuesOf(*left), (std::vector<int>{4, 5}));
}

// ---------------------------------------------------------------------------------------------
// Values at positions and their extremes

TEST(SoundTest, ValueAtInterpolatesBetweenNeighbours)
{
    auto mono = Mono({100, 200, -300});
    struct Case
    {
        double x, value;
    };
    for (Case c : std::vector<Case>{{0, 100},
                                    {1, 200},
                                    {2, -300},
                                    {0.25, 125},
                                    {1.5, -50},
                                    {2.0000001, 0},
                                    {-0.5, 0},
                                    {3, 0},
                                    {NAN, 0}}) {
        double l = 1, r = 1, m = 1;
        mono->GetValueAt(c.x, l, r, m);
        EXPECT_DOUBLE_EQ(l, c.value) << c.x;
        EXPECT_DOUBLE_EQ(r, c.value) << c.x;
        EXPECT_DOUBLE_EQ(m, c.value) << c.x;
    }
    auto stereo = Stereo({100, 200, -300}, {0, 1000, 7});
    double l, r, m;
    stereo->GetValueAt(2, l, r, m);
    EXPECT_EQ(l, -300);
    EXPECT_EQ(r, 7);
    EXPECT_EQ(m, -146.5);
    stereo->GetValueAt(0.5, l, r, m);
    EXPECT_EQ(l, 150);
    EXPECT_EQ(r, 500);
    EXPECT_EQ(m, 325);
    MonoSound empty(8000, 2);
    empty.GetValueAt(0, l, r, m);
    EXPECT_EQ(m, 0);
}

TEST(SoundTest, MappedValueRunsFromYAtMinToYAtMax)
{
    auto mono = Mono({-32768, 0, 32767});
    AbortFlag abort = 0;
    EXPECT_DOUBLE_EQ(mono->GetMappedValueAt(&abort, 0.0, 100.0, 0.0), 0.0);
    EXPECT_DOUBLE_EQ(mono->GetMappedValueAt(&abort, 1.0, 100.0, 0.0), 100.0);
    EXPECT_DOUBLE_EQ(mono->GetMappedValueAt(&abort, 0.5, 100.0, 0.0), 32768.0 / 65535.0 * 100.0);
    // Screen rows grow downwards: the top value maps to the smaller y.
    EXPECT_DOUBLE_EQ(mono->GetMappedValueAt(&abort, 1.0, 10.0, 300.0), 10.0);
    EXPECT_DOUBLE_EQ(mono->GetMappedValueAt(&abort, 0.25, 1.0, -1.0),
                     (-16384.0 + 32768.0) / 65535.0 * 2.0 - 1.0);

    auto stereo = Stereo({-32768, 32767}, {32767, 32767});
    EXPECT_DOUBLE_EQ(stereo->GetMappedValueAt(&abort, 0.0, 65535.0, 0.0), 32767.5);
    EXPECT_DOUBLE_EQ(stereo->GetMappedValueAt(&abort, 1.0, 65535.0, 0.0), 65535.0);
}

struct MinMaxCase
{
    std::vector<int> left, right;
    int32_t begin, end;
    int max, negMin, peak;
};

class SoundMinMax : public ::testing::TestWithParam<MinMaxCase>
{
};

TEST_P(SoundMinMax, GivesTheExtremesOfTheRange)
{
    const MinMaxCase& c = GetParam();
    SoundUPtr sound;
    if (c.right.empty())
        sound = std::make_unique<MonoSound>(MakeWave(c.left), 8000, 2);
    else
        sound = std::make_unique<StereoSound>(MakeWave(c.left), MakeWave(c.right), 8000, 2);
    AbortFlag abort = 0;
    int16_t max = -1, negMin = -1, peak = -1;
    sound->GetMinMax(&abort, c.begin, c.end, max, negMin, peak);
    EXPECT_EQ(max, c.max);
    EXPECT_EQ(negMin, c.negMin);
    EXPECT_EQ(peak, c.peak);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SoundMinMax,
    ::testing::Values(MinMaxCase{{5, 9, 3}, {}, 0, -1, 9, 0, 9},
                      MinMaxCase{{0, 0, 0}, {}, 0, 3, 0, 0, 0},
                      MinMaxCase{{-4, -9, -2}, {}, 0, -1, 0, 9, 9},
                      MinMaxCase{{100, -32768, 50}, {}, 0, 3, 100, 32767, 32767},
                      MinMaxCase{{100, -500, 50, 7000}, {}, 1, 3, 50, 500, 500},
                      MinMaxCase{{1, 2, 3}, {}, 1, 1, 0, 0, 0},
                      MinMaxCase{{10, -20, 5}, {-300, 4, 6}, 0, -1, 10, 300, 300},
                      MinMaxCase{{10, -20, 5}, {-3, 400, 6}, 0, 3, 400, 20, 400},
                      MinMaxCase{{1000, -20, 5}, {-3, 400, -6000}, 1, 2, 400, 20, 400}));

// ---------------------------------------------------------------------------------------------
// Conversion constructors

TEST(SoundTest, MonoFromAnySound)
{
    AbortFlag abort = 0;
    auto stereo = StereoOf({10, -10, 3}, {20, -20, 0}, 11025, 1);
    MonoSound fromStereo(*stereo, &abort);
    EXPECT_EQ(fromStereo.GetSampleFreq(), 11025);
    EXPECT_EQ(fromStereo.GetBytesPSample(), 1);
    EXPECT_EQ(ValuesOf(*fromStereo.GetWave()), (std::vector<int>{15, -15, 1}));

    auto mono = MonoOf({1, 2, 3}, 8000, 2);
    MonoSound fromMono(*mono, &abort);
    EXPECT_NE(fromMono.GetWave(), mono->GetWave());
    mono->GetWave()->Data()[0] = 77;
    EXPECT_EQ(ValuesOf(*fromMono.GetWave()), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(fromMono.GetSampleFreq(), 8000);
}

TEST(SoundTest, StereoFromAnySound)
{
    AbortFlag abort = 0;
    auto mono = MonoOf({1, -2, 3}, 5512, 1);
    StereoSound fromMono(*mono, &abort);
    EXPECT_EQ(fromMono.GetMonoStereo(), 2);
    EXPECT_EQ(fromMono.GetSampleFreq(), 5512);
    EXPECT_EQ(fromMono.GetBytesPSample(), 1);
    EXPECT_EQ(ValuesOf(*fromMono.GetWaveLeft()), (std::vector<int>{1, -2, 3}));
    EXPECT_EQ(ValuesOf(*fromMono.GetWaveRight()), (std::vector<int>{1, -2, 3}));
    EXPECT_NE(fromMono.GetWaveLeft(), fromMono.GetWaveRight());
    EXPECT_NE(fromMono.GetWaveLeft(), mono->GetWave());

    auto stereo = StereoOf({1, 2}, {3, 4}, 48000, 2);
    StereoSound copy(*stereo, &abort);
    EXPECT_EQ(ValuesOf(*copy.GetWaveLeft()), (std::vector<int>{1, 2}));
    EXPECT_EQ(ValuesOf(*copy.GetWaveRight()), (std::vector<int>{3, 4}));
    EXPECT_NE(copy.GetWaveRight(), stereo->GetWaveRight());
}

TEST(SoundTest, EmptySourcesGiveEmptyChannelsWithoutWork)
{
    HookReset reset;
    RecordedBoxes boxes;
    // No allocation may happen: an empty source is not read.
    FailAllocationsAfter(0);
    AbortFlag abort = 0;
    StereoSound emptyStereo(96000, 1);
    MonoSound emptyMono(7, 2);
    MonoSound a(emptyStereo, &abort);
    StereoSound b(emptyMono, &abort);
    EXPECT_EQ(a.GetValues(), 0);
    EXPECT_EQ(a.GetSampleFreq(), 96000);
    EXPECT_EQ(a.GetBytesPSample(), 1);
    EXPECT_EQ(b.GetValues(), 0);
    EXPECT_EQ(b.GetWaveRight()->Values(), 0);
    EXPECT_EQ(b.GetSampleFreq(), 7);
    EXPECT_EQ(abort, 0);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST(SoundTest, ConversionStoppedByAbortGivesEmptyButEqualChannels)
{
    HookReset reset;
    AbortFlag abort = 0;
    auto mono = Mono({1, 2, 3});
    // The first channel is copied, the second finds the flag set.
    AbortAfterPolls(1);
    StereoSound stereo(*mono, &abort);
    EXPECT_EQ(abort, 1);
    EXPECT_EQ(stereo.GetWaveLeft()->Values(), stereo.GetWaveRight()->Values());
}

// ---------------------------------------------------------------------------------------------
// Handing the waves on, and playing

TEST(SoundTest, TakingTheWavesLeavesAnEmptySound)
{
    auto mono = Mono({1, 2});
    const Wave* own = mono->GetWave();
    WavePtr taken = mono->TakeWave();
    EXPECT_EQ(taken.get(), own);
    EXPECT_EQ(mono->GetValues(), 0);
    MonoSound adopter(std::move(taken), 8000, 2);
    EXPECT_EQ(adopter.GetWave(), own);

    auto stereo = Stereo({1, 2, 3}, {4, 5, 6});
    const Wave* left = stereo->GetWaveLeft();
    auto [l, r] = stereo->TakeWaves();
    EXPECT_EQ(l.get(), left);
    EXPECT_EQ(ValuesOf(*r), (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(stereo->GetValues(), 0);
    EXPECT_EQ(stereo->GetWaveRight()->Values(), 0);
}

TEST(SoundTest, PlayGoesToTheInstalledPlayer)
{
    struct Player : SoundPlayer
    {
        void PlaySound(const Sound& sound, bool maximise) override
        {
            played.push_back({&sound, maximise});
        }
        std::vector<std::pair<const Sound*, bool>> played;
    } player;
    auto sound = Mono({1});
    ScopedService<SoundPlayer> none(nullptr);
    sound->Play(false); // no player: nothing happens
    {
        ScopedService<SoundPlayer> install(&player);
        sound->Play(true);
        sound->Play(false);
    }
    sound->Play(true);
    ASSERT_EQ(player.played.size(), 2u);
    EXPECT_EQ(player.played[0].first, sound.get());
    EXPECT_TRUE(player.played[0].second);
    EXPECT_FALSE(player.played[1].second);
}
