#pragma once
// Six 30-bit dice thrown together: the random echo draws the delay and level of each echo from
// one throw, so the same seed gives the same echoes.

#include <cstdint>

namespace kelvorn {

class Dicer
{
public:
    static constexpr int DICES = 6;

    /// Seeds the program-wide 15-bit generator (SeedRandom15); draws nothing yet.
    explicit Dicer(uint32_t seed);

    /// Draws all six dice anew, each 0 to 2^30 - 1, from the program-wide generator.
    void Throw();

    /// Die number dice mapped onto about [low, high]: dice[i] / 1073676288 * (high - low) + low.
    /// The divisor is below 2^30 - 1, so a result can exceed high by up to about 0.00006 of the
    /// range. An index outside [0, DICES) shows a soft assertion and gives low.
    double Value(int dice, double high, double low) const;

private:
    uint32_t dices[DICES] = {};
};

} // namespace kelvorn
