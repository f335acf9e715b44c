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
auto Mono(const std::vector<int>& v, int32_t rate = 1000)
{
    return MonoOf(v, rate, 2);
}
auto Stereo(const std::vector<int>& l, const std::vector<int>& r)
{
    return StereoOf(l, r, 1000, 2);
}
} // namespace

TEST(SoundTest, FormatTimeAndRunResult)
{
    ExpectFormat(MonoSound(22050, 1), 1, 22050, 1);
    ExpectFormat(StereoSound(44100, 2), 2, 44100, 2);
    for (const SoundUPtr& s : {SoundOf(1, 8000, 2, nullptr), SoundOf(2, 8000, 2, nullptr, nullptr),
                               SoundUPtr(std::make_unique<MonoSound>(8000, 2))}) {
        EXPECT_EQ((std::vector<int>{s->GetValues(), s->GetRightWave()->Values()}),
                  (std::vector<int>{0, 0}));
        EXPECT_EQ(s->GetTime(), 0.0L);
    }
    EXPECT_EQ(MonoSound(Ramp(44100, 0), 22050, 2).GetTime(), 2.0L);
    EXPECT_EQ(StereoSound(Ramp(3, 0), Ramp(3, 0), 4, 2).GetTime(), 0.75L);
    // A sound without a usable rate has no length in time rather than a division by zero.
    EXPECT_EQ(MonoSound(Ramp(10, 0), 0, 2).GetTime(), 0.0L);
    auto sound = Mono({1, 2});
    sound->SetRunResult(true);
    EXPECT_TRUE(sound->GetRunResult());
    AbortFlag abort = 0;
    EXPECT_FALSE(MonoSound(*sound, &abort).GetRunResult());
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

TEST(SoundTest, TheMonoWave)
{
    // A mono sound hands out its own wave for every channel.
    const auto mono = Mono({5, -6, 7});
    AbortFlag abort = 0;
    const WaveRef own = mono->GetMonoWave(&abort);
    EXPECT_TRUE(!own.IsCopy() && own.get() == mono->GetWave());
    EXPECT_TRUE(mono->GetLeftWave() == mono->GetWave() && mono->GetRightWave() == mono->GetWave());
    // A stereo sound's is always a new mix: left * 0.5 + right * 0.5, truncated toward zero.
    const auto stereo = Stereo({3, -3, 32767, -32768, 1, 10000}, {0, 0, 32767, -32768, 0, -10001});
    const WaveRef mix = stereo->GetMonoWave(&abort);
    EXPECT_TRUE(mix.IsCopy() && mix.get() != stereo->GetLeftWave());
    EXPECT_EQ(ValuesOf(*mix), (std::vector<int>{1, -1, 32767, -32768, 0, 0}));
    EXPECT_NE(stereo->GetMonoWave(&abort).get(), mix.get());
    EXPECT_TRUE(stereo->GetLeftWave() == stereo->GetWaveLeft() &&
                stereo->GetRightWave() == stereo->GetWaveRight());
}

TEST(SoundTest, ChannelsAtARateAreResampledOnlyWhenItDiffers)
{
    // Mono: its own wave at its own rate, a resampled copy otherwise. Stereo: the mix is always
    // new; single channels are borrowed at the own rate. Rows: stereo, channel (0 mono, 1 left,
    // 2 right), rate, copied, count.
    // clang-format off
    const std::tuple<bool, int, int32_t, bool, int> cases[] = {
        {false, 0, 1000, false, 101}, {false, 1, 1000, false, 101}, {false, 2, 1000, false, 101},
        {false, 0, 2000, true, 201}, {false, 1, 500, true, 51}, {false, 2, 2000, true, 201},
        {true, 0, 1000, true, 101}, {true, 0, 2000, true, 201}, {true, 1, 1000, false, 101},
        {true, 2, 1000, false, 101}, {true, 1, 4000, true, 401}, {true, 2, 250, true, 26}};
    // clang-format on
    for (const auto& [stereo, which, freq, copy, count] : cases) {
        // Left a ramp by 100, right one by -100: their mix is silence.
        const SoundUPtr sound = SoundOf(stereo ? 2 : 1, 1000, 2, Ramp(101, 100), Ramp(101, -100));
        AbortFlag abort = 0;
        const WaveRef w = which == 0   ? sound->GetMonoWaveAtFreq(&abort, freq)
                          : which == 1 ? sound->GetLeftWaveAt(&abort, freq)
                                       : sound->GetRightWaveAt(&abort, freq);
        EXPECT_EQ((std::vector<int>{w.IsCopy(), w->Values(), abort}),
                  (std::vector<int>{copy, count, 0}));
        WavePtr channel =
            which == 0 && stereo ? Constant(101, 0) : Ramp(101, which == 2 && stereo ? -100 : 100);
        if (freq != 1000)
            channel = resampleFactor(*channel, nullptr, freq / 1000.0);
        EXPECT_EQ(ValuesOf(*w), ValuesOf(channel));
        EXPECT_EQ(w.get() == (which == 2 ? sound->GetRightWave() : sound->GetLeftWave()), !copy);
    }
}

TEST(SoundTest, CloneAlwaysGivesTheCallerItsOwnWave)
{
    const auto mono = Mono({10, 20, 30, 40, 50});
    const auto stereo = Stereo({10, 20, 30, 40, 50}, {30, 40, 50, 60, 70});
    const WavePtr mix = MakeWave({20, 30, 40, 50, 60});
    AbortFlag abort = 0;
    // Rate 0 or the own rate: a copy of the channel; another rate: resampled by the ratio.
    // clang-format off
    const std::tuple<WavePtr, const Wave*, double> cases[] = {
        {mono->CloneMonoWave(&abort, 0), mono->GetWave(), 1}, {mono->CloneMonoWave(&abort, 1000), mono->GetWave(), 1},
        {mono->CloneLeftWave(&abort, 0), mono->GetWave(), 1}, {mono->CloneRightWave(&abort, 1000), mono->GetWave(), 1},
        {mono->CloneLeftWave(&abort, 2000), mono->GetWave(), 2}, {stereo->CloneMonoWave(&abort, 0), mix.get(), 1},
        {stereo->CloneMonoWave(&abort, 2000), mix.get(), 2}, {stereo->CloneLeftWave(&abort, 0), stereo->GetWaveLeft(), 1},
        {stereo->CloneRightWave(&abort, 0), stereo->GetWaveRight(), 1}, {stereo->CloneRightWave(&abort, 500), stereo->GetWaveRight(), 0.5}};
    // clang-format on
    for (const auto& [clone, channel, factor] : cases) {
        EXPECT_NE(clone.get(), channel);
        EXPECT_EQ(ValuesOf(clone),
                  ValuesOf(factor == 1 ? CreateWaveCopy(nullptr, channel)
                                       : resampleFactor(*channel, nullptr, factor)));
        EXPECT_EQ(clone->Values(), factor == 1 ? 5 : factor == 2 ? 9 : 3);
    }
    (*std::get<0>(cases[0]))[0] = 99;
    EXPECT_EQ((*mono->GetWave())[0], 10);
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

TEST(WaveRefTest, OwnershipFollowsTheKind)
{
    const auto sound = Mono({1, 2, 3});
    AbortFlag abort = 0;
    // Taking a borrowed wave copies it; taking an owned one hands over the same wave.
    WaveRef borrowed = WaveRef::Borrow(*sound->GetWave());
    const WavePtr copy = borrowed.Take(&abort);
    EXPECT_NE(copy.get(), sound->GetWave());
    EXPECT_EQ(ValuesOf(copy), (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(borrowed);
    WavePtr fresh = MakeWave({7, 8});
    Wave* raw = fresh.get();
    WaveRef owned = WaveRef::Own(std::move(fresh));
    EXPECT_TRUE(owned.IsCopy());
    WaveRef moved = std::move(owned);
    EXPECT_TRUE(!owned && !owned.IsCopy() && moved.get() == raw);
    EXPECT_EQ(moved.Take(&abort).get(), raw);
    EXPECT_FALSE(moved);
    WaveRef none = WaveRef::Own(nullptr);
    EXPECT_TRUE(!none && none.Take(&abort) == nullptr);
    WaveRef target = WaveRef::Own(MakeWave({1}));
    target = WaveRef::Borrow(*sound->GetWave());
    EXPECT_TRUE(!target.IsCopy() && target.get() == sound->GetWave());
}

TEST(WaveRefTest, ABorrowedWaveLivesAsLongAsASharedHolder)
{
    SoundPtr shared = Stereo({4, 5}, {6, 7});
    SoundPtr other = shared;
    WaveRef left = other->GetLeftWaveAt(nullptr, 1000);
    shared.reset();
    EXPECT_EQ(ValuesOf(*left), (std::vector<int>{4, 5}));
}

TEST(SoundTest, ValueAtInterpolatesBetweenNeighbours)
{
    const auto at = [](const Sound& sound, double x) {
        double l = 1, r = 1, m = 1;
        sound.GetValueAt(x, l, r, m);
        return std::vector<double>{l, r, m};
    };
    auto mono = Mono({100, 200, -300});
    struct Case
    {
        double x, value;
    };
    const Case cases[] = {{0, 100},       {1, 200},  {2, -300}, {0.25, 125}, {1.5, -50},
                          {2.0000001, 0}, {-0.5, 0}, {3, 0},    {NAN, 0}};
    for (Case c : cases)
        EXPECT_EQ(at(*mono, c.x), std::vector<double>(3, c.value)) << c.x;
    auto stereo = Stereo({100, 200, -300}, {0, 1000, 7});
    EXPECT_EQ(at(*stereo, 2), (std::vector<double>{-300, 7, -146.5}));
    EXPECT_EQ(at(*stereo, 0.5), (std::vector<double>{150, 500, 325}));
    EXPECT_EQ(at(MonoSound(8000, 2), 0), (std::vector<double>{0, 0, 0}));
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

TEST(SoundTest, MinMaxGivesTheExtremesOfTheRangeOverBothChannels)
{
    // left, right (none: mono), begin, end, then max, negMin, peak.
    // clang-format off
    const std::tuple<std::vector<int>, std::vector<int>, int32_t, int32_t, std::vector<int>> cases[] = {
        {{5, 9, 3}, {}, 0, -1, {9, 0, 9}}, {{0, 0, 0}, {}, 0, 3, {0, 0, 0}}, {{-4, -9, -2}, {}, 0, -1, {0, 9, 9}},
        {{100, -32768, 50}, {}, 0, 3, {100, 32767, 32767}}, {{100, -500, 50, 7000}, {}, 1, 3, {50, 500, 500}},
        {{1, 2, 3}, {}, 1, 1, {0, 0, 0}}, {{10, -20, 5}, {-300, 4, 6}, 0, -1, {10, 300, 300}},
        {{10, -20, 5}, {-3, 400, 6}, 0, 3, {400, 20, 400}}, {{1000, -20, 5}, {-3, 400, -6000}, 1, 2, {400, 20, 400}}};
    // clang-format on
    for (const auto& [left, right, begin, end, expected] : cases) {
        const SoundUPtr sound = right.empty()
                                    ? SoundOf(1, 8000, 2, MakeWave(left))
                                    : SoundOf(2, 8000, 2, MakeWave(left), MakeWave(right));
        AbortFlag abort = 0;
        int16_t max = -1, negMin = -1, peak = -1;
        sound->GetMinMax(&abort, begin, end, max, negMin, peak);
        EXPECT_EQ((std::vector<int>{max, negMin, peak}), expected);
    }
}

TEST(SoundTest, ConversionsCopyTheChannelsAndKeepTheFormat)
{
    HookReset reset;
    AbortFlag abort = 0;
    const auto stereo = StereoOf({10, -10, 3}, {20, -20, 0}, 11025, 1);
    const auto mono = MonoOf({1, -2, 3}, 5512, 2);
    const MonoSound fromStereo(*stereo, &abort), fromMono(*mono, &abort);
    const StereoSound stereoFromMono(*mono, &abort), fromStereoToo(*stereo, &abort);
    ExpectFormat(fromStereo, 1, 11025, 1);
    ExpectFormat(stereoFromMono, 2, 5512, 2);
    // Stereo to mono is the mean, truncated; mono to stereo is the channel twice.
    EXPECT_EQ(ChannelsOf(fromStereo), (std::vector<std::vector<int>>{{15, -15, 1}}));
    EXPECT_EQ(ChannelsOf(fromMono), ChannelsOf(*mono));
    EXPECT_EQ(ChannelsOf(stereoFromMono), (std::vector<std::vector<int>>{{1, -2, 3}, {1, -2, 3}}));
    EXPECT_EQ(ChannelsOf(fromStereoToo), ChannelsOf(*stereo));
    for (const Wave* w : {fromMono.GetWave(), stereoFromMono.GetWaveLeft(),
                          stereoFromMono.GetWaveRight(), fromStereoToo.GetWaveRight()})
        EXPECT_TRUE(w != mono->GetWave() && w != stereo->GetWaveLeft() &&
                    w != stereo->GetWaveRight());
    // Empty sources are not read: no allocation, no box.
    RecordedBoxes boxes;
    FailAllocationsAfter(0);
    const MonoSound a(StereoSound(96000, 1), &abort);
    const StereoSound b(MonoSound(7, 2), &abort);
    ExpectFormat(a, 1, 96000, 1);
    ExpectFormat(b, 2, 7, 2);
    EXPECT_EQ((std::vector<int>{a.GetValues(), b.GetValues(), abort}), (std::vector<int>{0, 0, 0}));
    EXPECT_TRUE(boxes.boxes.empty());
    ResetAllocationFailure();
    // Stopped after the first channel: empty but equal channels.
    AbortAfterPolls(1);
    const StereoSound stopped(*mono, &abort);
    EXPECT_EQ(abort, 1);
    EXPECT_EQ(stopped.GetWaveLeft()->Values(), stopped.GetWaveRight()->Values());
}

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

TEST(SoundTest, ASharedChannelIsReadInPlaceAndCopiedBeforeAnyChange)
{
    SoundPtr owner = Stereo({1, 2, 3}, {4, 5, 6});
    const Wave* right = owner->GetRightWave();
    auto shared = std::make_unique<MonoSound>(owner, *right);
    ExpectFormat(*shared, 1, 1000, 2);
    EXPECT_EQ(shared->GetLeftWave(), right);
    EXPECT_EQ(owner.use_count(), 2);
    // Asked for a channel it may change, it takes a copy; the owner's channel stays.
    Wave* own = shared->GetWave();
    EXPECT_NE(own, right);
    (*own)[0] = 9;
    EXPECT_FALSE(shared->SharesChannel());
    EXPECT_EQ(owner.use_count(), 1);
    EXPECT_EQ(ChannelsOf(*owner), (std::vector<std::vector<int>>{{1, 2, 3}, {4, 5, 6}}));
    auto taken = MonoSound(owner, *owner->GetLeftWave()).TakeWave();
    EXPECT_NE(taken.get(), owner->GetLeftWave());
    EXPECT_EQ(ValuesOf(*taken), (std::vector<int>{1, 2, 3}));
    // Gone, it leaves the owner's channel to the owner.
    {
        MonoSound gone(owner, *right);
    }
    EXPECT_EQ(ValuesOf(*owner->GetRightWave()), (std::vector<int>{4, 5, 6}));
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
    const auto sound = Mono({1});
    ScopedService<SoundPlayer> none(nullptr);
    sound->Play(false); // no player: nothing happens
    {
        ScopedService<SoundPlayer> install(&player);
        sound->Play(true);
        sound->Play(false);
    }
    sound->Play(true);
    EXPECT_EQ(player.played, (std::vector<std::pair<const Sound*, bool>>{{sound.get(), true},
                                                                         {sound.get(), false}}));
}
