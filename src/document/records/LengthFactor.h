#pragma once
// The length factor that Roll out, Change Length and Pitch Tempo share.

#include "document/records/WaveReference.h"

#include <cstdint>

namespace kelvorn {

/// By length kind: factor; newLength / currentLength; the seconds of the wave sameAs names /
/// currentLength; count / |speedFactor| (only where countAllowed); any other kind 0. A current
/// length that is not above 0 gives 0 where it would divide.
double LengthFactorOf(uint8_t kind, double factor, double newLength, const unitUnitWave& sameAs,
                      double count, double speedFactor, double currentLength, bool countAllowed);

} // namespace kelvorn
