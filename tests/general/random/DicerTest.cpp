#include "general/random/Dicer.h"
#include "general/random/Random15.h"
#include "general/random/RuntimeRandom.h"
#include "general/values/NoBoxes.h"

#include <gtest/gtest.h>

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

using Random = kelvorn::testing::NoBoxes<>;

TEST_F(Random, TheFifteenBitGeneratorFollowsTheIsoFormula)
{
    // The first values every implementation of the standard's example generator gives.
    Random15 unseeded;
    for (int value : {16838, 5758, 10113, 17515, 31051, 5627, 23010, 7419, 16212, 4086})
        EXPECT_EQ(unseeded.Next(), value);
    for (uint32_t seed : {0u, 1u, 2u, 42u, 32767u, 0x80000000u, 0xFFFFFFFFu}) {
        Random15 generator(seed);
        IsoRand reference(seed), program(seed);
        SeedRandom15(seed);
        for (int i = 0; i < 5000; ++i) {
            ASSERT_EQ(generator.Next(), reference()) << "seed " << seed << " draw " << i;
            ASSERT_EQ(NextRandom15(), program()) << "seed " << seed;
        }
        ProgramRandom15().Seed(seed);
        EXPECT_EQ(NextRandom15(), IsoRand(seed)());
    }
}

TEST_F(Random, DiceAreThirtyBitsHighHalfFirstAndSeedTheNoise)
{
    for (uint32_t seed : {0u, 1u, 1234u, 0xDEADBEEFu}) {
        Dicer seeding(seed);
        EXPECT_EQ(NextRandom15(), IsoRand(seed)()) << "seeding fixes the noise drawn after it";
        Dicer dicer(seed);
        for (int i = 0; i < Dicer::DICES; ++i)
            EXPECT_EQ(dicer.Value(i, 8.0, 2.0), 2.0) << "unthrown dice are zero";
        IsoRand reference(seed);
        for (int round = 0; round < 3; ++round) {
            dicer.Throw();
            for (int i = 0; i < Dicer::DICES; ++i) {
                uint64_t high = reference();
                double die = static_cast<double>(high * 32768 + reference()) / 1073676288.0;
                EXPECT_DOUBLE_EQ(dicer.Value(i, 1.0, 0.0), die) << seed << " die " << i;
                EXPECT_DOUBLE_EQ(dicer.Value(i, 10.0, -3.0), die * 13.0 - 3.0);
            }
        }
    }
    // A seed whose first two draws are both 32767 (found by running the generator backwards):
    // the highest die overshoots the range.
    IsoRand check(1519540229u);
    ASSERT_EQ(std::pair(check(), check()), std::pair(32767, 32767));
    Dicer dicer(1519540229u);
    dicer.Throw();
    EXPECT_DOUBLE_EQ(dicer.Value(0, 1.0, 0.0), 1073741823.0 / 1073676288.0); // 1.000061
    for (int index : {-1, 6, 1000000})
        EXPECT_EQ(dicer.Value(index, 5.0, -2.5), -2.5) << index;
    EXPECT_TRUE(Asserted("Dicer.cpp", {"dice >= 0", "dice < DICES", "dice < DICES"}));
}

TEST_F(Random, TheRuntimeGeneratorIsApartFromTheFifteenBitOne)
{
    SetRuntimeRandomState(0);
    EXPECT_EQ(NextRuntimeRandom(), 1.0 / 4294967296.0);
    EXPECT_EQ(RuntimeRandomState(), 1u);
    for (uint32_t seed : {5u, 0u, 0xFFFFFFFFu, 86399999u}) {
        SetRuntimeRandomState(seed);
        uint64_t state = seed;
        for (int i = 0; i < 50; ++i) {
            state = (state * 134775813 + 1) % 4294967296;
            ASSERT_EQ(NextRuntimeRandom(), static_cast<double>(state) / 4294967296.0);
        }
    }
    SeedRandom15(9);
    SetRuntimeRandomState(9);
    NextRuntimeRandom();
    EXPECT_EQ(NextRandom15(), IsoRand(9)());
    Dicer dicer(77);
    dicer.Throw();
    EXPECT_EQ(RuntimeRandomState(), 9u * 134775813u + 1u);
}

} // namespace
