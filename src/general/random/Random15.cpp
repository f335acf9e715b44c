#include "general/random/Random15.h"

namespace kelvorn {

namespace {
Random15 programRandom15;
} // namespace

Random15& ProgramRandom15()
{
    return programRandom15;
}

void SeedRandom15(uint32_t seed)
{
    programRandom15.Seed(seed);
}

int NextRandom15()
{
    return programRandom15.Next();
}

} // namespace kelvorn
