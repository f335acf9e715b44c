#pragma once
// The 15-bit random generator that the dice and the noise operations draw from. It is the
// classic C library generator (RAND_MAX 32767) written out, so that a seed gives the same
// numbers on every system; the system's own rand() differs between C libraries.

#include <cstdint>

namespace kelvorn {

class Random15
{
public:
    static constexpr int Max = 32767;

    /// Starts as an unseeded C library generator does: as if seeded with 1.
    explicit Random15(uint32_t seed = 1) : next(seed) {}

    void Seed(uint32_t seed) { next = seed; }

    /// The next value, 0 to Max.
    int Next()
    {
        next = next * 1103515245u + 12345u;
        return static_cast<int>((next / 65536u) % 32768u);
    }

private:
    uint32_t next;
};

/// The program-wide generator (GUI thread only): Dicer seeds it, the noise operations draw
/// from it, so seeding a Dicer also fixes the noise drawn after it.
Random15& ProgramRandom15();

/// Seeds the program-wide generator.
void SeedRandom15(uint32_t seed);

/// The next value of the program-wide generator, 0 to Random15::Max.
int NextRandom15();

} // namespace kelvorn
