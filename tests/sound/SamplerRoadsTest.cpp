// The fast roads of the samplers' render: resonances run side by side, forward roll-outs, and
// mixes of a mono partner into stereo. Each gives exactly what the plain road gives, on every
// kernel the processor has, near and past the 16-bit limits, when the filter runs away, stopped
// and without memory.

#include "sound/Filters.h"
#include "sound/SoundOps.h"
#include "sound/WavePrimitives.h"
#include "sound/WaveSignalCommon.h"
#include "support/Signals.h"

#include <gtest/gtest.h>

#include <functional>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using V = std::vector<int>;

/// The kernels this processor runs, each switched on for the length of a test body.
struct RunCase
{
    int64_t count;
    double per;
    double factor;
    std::function<WavePtr(int64_t)> input;
};

WavePtr Square(int64_t n)
{
    return MakeWaveOf(n, [](int32_t i) { return i % 2 ? 32767 : -32768; });
}

WavePtr Loud(int64_t n)
{
    return Sine(n, 37.3, 32767.0);
}

WavePtr Spread(int64_t n)
{
    return Scrambled(n, 3);
}

// Lengths around a block, at the lane count and past it; periods from the shortest allowed
// (where the oscillator runs away past 32 bits and then to infinity and NaN, which store 0) to
// long ones; factors at both ends.
const RunCase Cases[] = {
    {0, 10.0, 0.5, Square},    {1, 1.0, 0.0, Square},      {2, 1.0, 1.0, Square},
    {999, 1.0, 0.9, Square},   {1000, 1.05, 0.9, Square},  {1001, 1.0, 0.05, Loud},
    {3333, 1.7, 0.05, Spread}, {2500, 7.5, 0.05, Loud},    {777, 50.1, 0.6, Spread},
    {4100, 441.0, 0.05, Loud}, {1500, 100.0, 1.0, Spread}, {1200, 30.0, 0.0, Square},
    {64, 2.0, 0.3, Spread},    {2048, 1.0, 1.0, Loud},     {5000, 1.05, 0.9, Spread},
    {48, 12.25, 0.05, Square}, {1999, 1000.0, 0.01, Loud}, {10, 3.3, 0.5, Square},
};

/// Four times the table, so that runs outnumber the lanes and lanes are refilled, and some
/// lanes end while others go on.
std::vector<RunCase> ManyRuns()
{
    std::vector<RunCase> runs;
    for (int copy = 0; copy < 4; ++copy)
        for (const RunCase& c : Cases)
            runs.push_back({c.count + copy * 17 * (c.count > 0), c.per, c.factor, c.input});
    return runs;
}

TEST(ResonanceSideBySide, EveryRunGetsWhatItGetsAlone)
{
    ResonanceKernelReset reset;
    const std::vector<RunCase> cases = ManyRuns();
    std::vector<WavePtr> inputs, outputs;
    std::vector<ResonanceRun> runs;
    for (const RunCase& c : cases) {
        inputs.push_back(c.input(c.count));
        outputs.push_back(MakeWaveOf(c.count, [](int32_t) { return 12345; }));
        runs.push_back({inputs.back()->Data(), outputs.back()->Data(), c.count, c.per, c.factor});
    }
    ASSERT_GT(runs.size(), 48u);
    for (ResonanceKernel kernel : ResonanceKernels()) {
        ASSERT_TRUE(UseResonanceKernel(kernel));
        AbortFlag abort = 0;
        ASSERT_TRUE(resonateSideBySide(&abort, runs.data(), runs.size()));
        for (size_t i = 0; i < cases.size(); ++i) {
            AbortFlag alone = 0;
            const WavePtr expected =
                resFilter(*inputs[i], &alone, cases[i].per, cases[i].factor, 0, -1);
            ASSERT_TRUE(expected);
            EXPECT_EQ(ValuesOf(outputs[i]), ValuesOf(expected))
                << "kernel " << int(kernel) << " run " << i << " per " << cases[i].per << " factor "
                << cases[i].factor;
        }
        EXPECT_EQ(abort, 0);
    }
}

TEST(ResonanceSideBySide, LooksAtTheFlagEveryBlockAndStopsAtOnce)
{
    HookReset hooks;
    const WavePtr in = Spread(25000);
    WavePtr out = Constant(25000, 0);
    const ResonanceRun run{in->Data(), out->Data(), 25000, 20.0, 0.05};
    signal::CountPolls(true);
    EXPECT_TRUE(resonateSideBySide(nullptr, &run, 1));
    EXPECT_GE(signal::PollsCounted(), 25);
    signal::CountPolls(false);
    for (int64_t after : {0, 3}) {
        AbortFlag abort = 0;
        signal::CountPolls(true);
        AbortAfterPolls(after);
        EXPECT_FALSE(resonateSideBySide(&abort, &run, 1));
        ResetAbortHook();
        EXPECT_EQ(abort, 1);
        EXPECT_LE(signal::PollsCounted(), after + 1);
        signal::CountPolls(false);
    }
}

/// A sound of channels at rate for the batch tests.
SoundUPtr Recorded(int channels, int32_t rate, int64_t n)
{
    return SoundOf(channels, rate, 2, Loud(n), channels == 2 ? Spread(n) : nullptr);
}

TEST(ResonanceBatch, ResultsAreThoseOfTheFilterAlone)
{
    const struct
    {
        int channels;
        int32_t rate;
        int64_t values;
        double time;
        double factor;
    } cases[] = {{1, 22050, 11025, 1.0 / 440, 0.05}, {2, 44100, 3000, 1.0 / 1000, 0.5},
                 {1, 8000, 1, 2.0 / 8000, 1.0},      {2, 22050, 0, 1.0 / 440, 0.05},
                 {1, 1000, 2000, 1.0, 0.0},          {2, 22050, 5000, 1.0 / 21000, 0.9}};
    ResonanceBatch batch;
    std::vector<SoundPtr> sounds;
    std::vector<int> indices;
    for (const auto& c : cases) {
        sounds.push_back(Recorded(c.channels, c.rate, c.values));
        // Each sound twice: a batch holds several resonances of one roll-out.
        for (int twice = 0; twice < 2; ++twice)
            indices.push_back(batch.Add(sounds.back(), nullptr, c.time, c.factor));
    }
    EXPECT_EQ(indices, (V{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(batch.WaitingRuns(), 18);
    EXPECT_EQ(batch.WaitingValues(), 2 * (11025 + 6000 + 1 + 0 + 2000 + 10000));
    EXPECT_FALSE(batch.Take(0));
    AbortFlag abort = 0;
    ASSERT_TRUE(batch.Run(&abort));
    EXPECT_EQ(batch.WaitingRuns(), 0);
    for (size_t i = 0; i < indices.size(); ++i) {
        const auto& c = cases[i / 2];
        const Sound& source = *sounds[i / 2];
        const SoundUPtr alone = FilterTwoParams(source, nullptr, true, true, c.time, c.factor,
                                                nullptr, nullptr, TheFilterTable.resonance, 0, -1);
        const SoundUPtr made = batch.Take(indices[i]);
        ASSERT_TRUE(alone && made) << i;
        ExpectFormat(*made, int16_t(c.channels), c.rate, 2);
        EXPECT_EQ(ChannelsOf(*made), ChannelsOf(*alone)) << i;
        EXPECT_FALSE(batch.Take(indices[i])) << "handed out once";
    }
    EXPECT_FALSE(batch.Take(-1));
    EXPECT_FALSE(batch.Take(99));
    batch.Clear();
    EXPECT_FALSE(batch.Take(0));
}

TEST(ResonanceBatch, RefusesWhatTheFilterRefusesSilentlyAndFailsWithoutMemory)
{
    HookReset hooks;
    const SoundPtr mono = Recorded(1, 1000, 500), stereo = Recorded(2, 1000, 500);
    // Refused without a box or the flag: the caller's own call of the filter shows its box.
    const std::pair<double, double> refused[] = {{0.0009, 0.5}, {0.002, -0.1}, {0.002, 1.5},
                                                 {NAN, 0.5},    {0.002, NAN},  {-1.0, 0.5}};
    for (const auto& [time, factor] : refused) {
        RecordedBoxes boxes;
        ResonanceBatch batch;
        AbortFlag abort = 0;
        EXPECT_EQ(batch.Add(mono, &abort, time, factor), -1) << time << " " << factor;
        EXPECT_EQ((V{abort, batch.WaitingRuns()}), (V{0, 0}));
        EXPECT_TRUE(boxes.texts.empty());
    }
    {
        ResonanceBatch batch;
        AbortFlag abort = 1;
        EXPECT_EQ(batch.Add(mono, &abort, 0.01, 0.5), -1);
    }
    // The first allocation fails, and for stereo the second: one box, the flag, nothing queued.
    for (const auto& [sound, successes] :
         {std::pair{mono, 0}, std::pair{stereo, 0}, std::pair{stereo, 1}}) {
        RecordedBoxes boxes;
        ResonanceBatch batch;
        AbortFlag abort = 0;
        FailAllocationsAfter(successes);
        EXPECT_EQ(batch.Add(sound, &abort, 0.01, 0.5), -1);
        ResetAllocationFailure();
        EXPECT_EQ((V{abort, batch.WaitingRuns()}), (V{1, 0}));
        EXPECT_EQ(boxes.texts, std::vector<std::string>{NoMemoryBox});
    }
}

TEST(ResonanceBatch, AStoppedRunMakesNothing)
{
    HookReset hooks;
    ResonanceBatch batch;
    const int index = batch.Add(Recorded(2, 22050, 5000), nullptr, 0.001, 0.05);
    ASSERT_EQ(index, 0);
    AbortFlag abort = 0;
    AbortAfterPolls(2);
    EXPECT_FALSE(batch.Run(&abort));
    EXPECT_EQ(abort, 1);
    EXPECT_FALSE(batch.Take(index));
    EXPECT_EQ(batch.WaitingRuns(), 0);
}

/// repeatForm by its definition: the form read between its values at every step of the phase,
/// stored as a sample, the phase wrapped into [0, 1).
std::vector<int> RepeatByDefinition(const Wave& form, double per, double count, double start,
                                    int32_t beginf, int32_t endf)
{
    std::vector<int> out;
    const int64_t length = wavedetail::TruncCount(std::fabs(per) * count);
    double phi = start;
    for (int64_t k = 0; k < length; ++k) {
        out.push_back(StoreSample(ReadInterpolated(form, beginf + (endf - 1.0 - beginf) * phi)));
        phi += 1.0 / per;
        if (phi >= 1.0)
            phi -= std::trunc(phi);
        if (phi < 0.0)
            phi += std::trunc(1.0 - phi);
    }
    return out;
}

TEST(RepeatForm, EveryRoadGivesTheValuesOfItsDefinition)
{
    const WavePtr square = Square(11025), spread = Spread(3001), one = Constant(1, -32768);
    const struct
    {
        const Wave* form;
        double per;
        double count;
        double start;
        int32_t beginf;
        int32_t endf;
    } cases[] = {
        // Forward from inside the period: the fast road.
        {square.get(), 11025.0, 1.0, 0.0, 0, 11025},
        {square.get(), 11024.999, 3.0, 0.0, 0, 11025},
        {spread.get(), 1.0001, 2000.0, 0.0, 0, 3001},
        {spread.get(), 7.3, 400.0, 0.25, 100, 2000},
        {spread.get(), 50.0, 61.7, 0.999999, 2999, 3001},
        {spread.get(), 1.0e6, 0.004, 0.5, 0, 3001},
        {one.get(), 3.5, 10.0, 0.0, 0, 1},
        // Periods of one value or less, backwards, and starts outside the period: the long road.
        {spread.get(), 1.0, 500.0, 0.0, 0, 3001},
        {spread.get(), 0.4, 900.0, 0.0, 0, 3001},
        {spread.get(), -13.3, 80.0, 0.0, 10, 500},
        {spread.get(), 9.1, 50.0, -0.5, 0, 3001},
        {spread.get(), 9.1, 50.0, 1.0, 0, 3001},
    };
    for (const auto& c : cases) {
        const WavePtr target = Constant(7, 5);
        AbortFlag abort = 0;
        int32_t b = 2, e = 4;
        const WavePtr made =
            repeatForm(*target, &abort, c.form, c.per, c.count, c.start, &b, &e, c.beginf, c.endf);
        ASSERT_TRUE(made) << c.per;
        std::vector<int> expected = {5, 5};
        const std::vector<int> part =
            RepeatByDefinition(*c.form, c.per, c.count, c.start, c.beginf, c.endf);
        expected.insert(expected.end(), part.begin(), part.end());
        expected.insert(expected.end(), {5, 5, 5});
        EXPECT_EQ(ValuesOf(made), expected) << c.per << " " << c.start;
        EXPECT_EQ((V{b, e}), (V{2, 2 + int(part.size())}));
    }
}

// A mono partner reaches both channels of a stereo sound as one wave, resampled once: the mix
// is the one a stereo pair of the partner's copies gives.
TEST(MixMonoIntoStereo, IsTheMixOfItsStereoCopy)
{
    const struct
    {
        int32_t partnerRate;
        double time;
        double factor;
    } cases[] = {{22050, 0.01, 1.0}, {44100, 0.0, 0.3}, {11025, 0.05, -0.7}, {8000, 0.2, 2.5}};
    for (const auto& c : cases) {
        const MonoSound partner(Sine(3000, 50.3, 30000.0), c.partnerRate, 2);
        AbortFlag abort = 0;
        const StereoSound pair(partner, &abort);
        SoundUPtr once = SoundOf(2, 44100, 2, Scrambled(20000, 1), Scrambled(20000, 2));
        SoundUPtr twice = SoundOf(2, 44100, 2, Scrambled(20000, 1), Scrambled(20000, 2));
        ASSERT_TRUE(MixAfterTime(*once, &abort, partner, c.time, c.factor));
        ASSERT_TRUE(MixAfterTime(*twice, &abort, pair, c.time, c.factor));
        EXPECT_EQ(ChannelsOf(*once), ChannelsOf(*twice)) << c.partnerRate;
        EXPECT_NE(ChannelsOf(*once)[0], ValuesOf(Scrambled(20000, 1))) << "the mix added";
        EXPECT_EQ(abort, 0);
    }
    // Without memory for the resampled partner the mix fails at once, the box shown once.
    HookReset hooks;
    RecordedBoxes boxes;
    const MonoSound partner(Sine(3000, 50.3), 22050, 2);
    SoundUPtr target = SoundOf(2, 44100, 2, Constant(9000, 0), Constant(9000, 0));
    AbortFlag abort = 0;
    FailAllocationsAfter(0);
    EXPECT_FALSE(MixAfterTime(*target, &abort, partner, 0.0, 1.0));
    ResetAllocationFailure();
    EXPECT_EQ(abort, 1);
    EXPECT_EQ(boxes.texts, std::vector<std::string>{NoMemoryBox});
    EXPECT_EQ(ChannelsOf(*target)[1], ValuesOf(Constant(9000, 0)));
}

} // namespace
