#include "general/random/Dicer.h"
#include "general/random/Random15.h"
#include "general/random/RuntimeRandom.h"
#include "platform/test/ScriptedMessages.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

using namespace kelvorn;

namespace {

// The generator as the ISO C standard prints it, with its unsigned long state kept in 64 bits
// here, so it is worked out independently of the 32-bit code under test.
class IsoRand
{
public:
    explicit IsoRand(uint64_t seed) : next(seed) {}
    int operator()()
    {
        next = next * 1103515245 + 12345;
        return static_cast<int>(static_cast<unsigned>(next / 65536) % 32768);
    }

private:
    uint64_t next;
};

std::array<uint64_t, 6> ExpectedDice(IsoRand& rand)
{
    std::array<uint64_t, 6> dice{};
    for (uint64_t& die : dice) {
        uint64_t high = rand();
        uint64_t low = rand();
        die = high * 32768 + low;
    }
    return dice;
}

} // namespace

TEST(Random15, MatchesTheWellKnownSequenceOfSeedOne)
{
    // The first ten values every implementation of the standard's example generator gives.
    const std::vector<int> expected{16838, 5758,  10113, 17515, 31051,
                                    5627,  23010, 7419,  16212, 4086};
    Random15 seeded(1);
    Random15 unseeded;
    for (int value : expected) {
        EXPECT_EQ(seeded.Next(), value);
        EXPECT_EQ(unseeded.Next(), value);
    }
}

class Random15Seeds : public ::testing::TestWithParam<uint32_t>
{
};

TEST_P(Random15Seeds, FollowsTheIsoFormulaAndStaysInRange)
{
    Random15 generator(GetParam());
    IsoRand reference(GetParam());
    for (int i = 0; i < 5000; ++i) {
        int value = generator.Next();
        ASSERT_EQ(value, reference()) << "draw " << i;
        ASSERT_GE(value, 0);
        ASSERT_LE(value, Random15::Max);
    }
}

TEST_P(Random15Seeds, ProgramWideGeneratorIsSeededLikeAnyOther)
{
    SeedRandom15(GetParam());
    IsoRand reference(GetParam());
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(NextRandom15(), reference());
    ProgramRandom15().Seed(GetParam());
    EXPECT_EQ(NextRandom15(), IsoRand(GetParam())());
}

INSTANTIATE_TEST_SUITE_P(Seeds, Random15Seeds,
                         ::testing::Values(0u, 1u, 2u, 42u, 32767u, 0x80000000u, 0xFFFFFFFFu));

class DicerSeeds : public ::testing::TestWithParam<uint32_t>
{
};

TEST_P(DicerSeeds, ThrowsSixDiceOfThirtyBitsHighHalfFirst)
{
    Dicer dicer(GetParam());
    IsoRand reference(GetParam());
    for (int round = 0; round < 3; ++round) {
        dicer.Throw();
        std::array<uint64_t, 6> dice = ExpectedDice(reference);
        for (int i = 0; i < Dicer::DICES; ++i) {
            EXPECT_DOUBLE_EQ(dicer.Value(i, 1.0, 0.0), dice[i] / 1073676288.0)
                << "round " << round << " die " << i;
            EXPECT_DOUBLE_EQ(dicer.Value(i, 1.0, -1.0), dice[i] / 1073676288.0 * 2.0 - 1.0);
        }
    }
}

TEST_P(DicerSeeds, SameSeedGivesSameDice)
{
    Dicer first(GetParam());
    first.Throw();
    Dicer second(GetParam());
    second.Throw();
    for (int i = 0; i < Dicer::DICES; ++i)
        EXPECT_EQ(first.Value(i, 10.0, -3.0), second.Value(i, 10.0, -3.0));
}

TEST_P(DicerSeeds, SeedingFixesTheNoiseDrawnAfterIt)
{
    Dicer dicer(GetParam());
    EXPECT_EQ(NextRandom15(), IsoRand(GetParam())());
}

INSTANTIATE_TEST_SUITE_P(Seeds, DicerSeeds, ::testing::Values(0u, 1u, 1234u, 0xDEADBEEFu));

TEST(Dicer, UnthrownDiceAreZero)
{
    Dicer dicer(5);
    for (int i = 0; i < Dicer::DICES; ++i)
        EXPECT_EQ(dicer.Value(i, 8.0, 2.0), 2.0);
}

TEST(Dicer, DifferentSeedsGiveDifferentDice)
{
    Dicer a(1);
    a.Throw();
    double fromOne = a.Value(0, 1.0, 0.0);
    Dicer b(2);
    b.Throw();
    EXPECT_NE(fromOne, b.Value(0, 1.0, 0.0));
}

TEST(Dicer, HighestDieOvershootsTheRange)
{
    // A seed whose first two draws are both 32767, found by running the generator backwards
    // from a state that yields 32767: a step is state * a + c mod 2^32, and a is odd.
    const uint32_t a = 1103515245u;
    const uint32_t c = 12345u;
    uint32_t inverse = 1; // a^-1 mod 2^32 by Newton's iteration
    for (int i = 0; i < 5; ++i)
        inverse *= 2 - a * inverse;
    ASSERT_EQ(a * inverse, 1u);
    bool found = false;
    uint32_t seed = 0;
    for (uint32_t top = 0; top < 2 && !found; ++top) {
        for (uint32_t low = 0; low < 65536 && !found; ++low) {
            uint32_t state1 = top << 31 | 0x7FFFu << 16 | low;
            uint32_t state2 = state1 * a + c;
            if ((state2 >> 16 & 0x7FFF) == 0x7FFF) {
                seed = (state1 - c) * inverse;
                found = true;
            }
        }
    }
    ASSERT_TRUE(found);
    IsoRand check(seed);
    ASSERT_EQ(check(), 32767);
    ASSERT_EQ(check(), 32767);

    Dicer dicer(seed);
    dicer.Throw();
    double value = dicer.Value(0, 1.0, 0.0);
    EXPECT_DOUBLE_EQ(value, 1073741823.0 / 1073676288.0);
    EXPECT_NEAR(value, 1.000061, 0.0000005);
    EXPECT_GT(value, 1.0);
}

TEST(Dicer, IndexOutsideTheDiceShowsAnAssertionAndGivesLow)
{
    struct Case
    {
        int index;
        const char* condition;
    };
    for (Case c : {Case{-1, "\"dice >= 0\"failed!"}, Case{6, "\"dice < DICES\"failed!"},
                   Case{1000000, "\"dice < DICES\"failed!"}}) {
        ScriptedMessages messages;
        messages.Expect();
        Dicer dicer(3);
        dicer.Throw();
        EXPECT_EQ(dicer.Value(c.index, 5.0, -2.5), -2.5) << c.index;
        ASSERT_EQ(messages.Shown().size(), 1u) << c.index;
        EXPECT_TRUE(messages.Unexpected().empty());
        EXPECT_EQ(messages.Shown()[0].caption, "Assertion failed");
        EXPECT_NE(messages.Shown()[0].text.find(c.condition), std::string::npos)
            << messages.Shown()[0].text;
        EXPECT_EQ(messages.Shown()[0].text.rfind("In Dicer.cpp line ", 0), 0u);
    }
}

TEST(RuntimeRandom, FirstValueAfterSeedZeroIsOneOverTwoToThe32)
{
    SetRuntimeRandomState(0);
    EXPECT_EQ(NextRuntimeRandom(), 1.0 / 4294967296.0);
    EXPECT_EQ(RuntimeRandomState(), 1u);
}

TEST(RuntimeRandom, SameSeedGivesSameSequenceAndFollowsTheRecurrence)
{
    for (uint32_t seed : {5u, 0u, 0xFFFFFFFFu, 86399999u}) {
        SetRuntimeRandomState(seed);
        std::vector<double> first;
        for (int i = 0; i < 50; ++i)
            first.push_back(NextRuntimeRandom());
        SetRuntimeRandomState(seed);
        uint64_t state = seed;
        for (int i = 0; i < 50; ++i) {
            state = (state * 134775813 + 1) % 4294967296;
            double value = NextRuntimeRandom();
            ASSERT_EQ(value, first[i]);
            ASSERT_EQ(value, static_cast<double>(state) / 4294967296.0);
            ASSERT_GE(value, 0.0);
            ASSERT_LT(value, 1.0);
        }
    }
}

TEST(RuntimeRandom, IsApartFromTheFifteenBitGenerator)
{
    SeedRandom15(9);
    SetRuntimeRandomState(9);
    NextRuntimeRandom();
    EXPECT_EQ(NextRandom15(), IsoRand(9)());
    Dicer dicer(77);
    dicer.Throw();
    EXPECT_EQ(RuntimeRandomState(), 9u * 134775813u + 1u);
}
