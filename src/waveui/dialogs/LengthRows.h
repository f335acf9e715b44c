#pragma once
// The length group that Roll out, Change Length and Pitch Tempo share: a length factor, a new
// length, the length of another wave and (Roll out and Pitch Tempo) a count, one option each.

#include "waveui/dialogs/OperationDialog.h"

namespace kelvorn {

class unitTime;
class unitWavePosition;

/// The rows of the group, kind taking lengthKindFactor ... lengthKindCount. count may be
/// nullptr (no count option).
std::vector<FieldRow> LengthRows(uint8_t& kind, unit& factor, unitTime& newLength,
                                 unitUnitWave& sameAs, unit* count);

/// A last step of the group for the operations that cannot run with a length factor of 0
/// (a new length over an empty range, the length of an empty wave): such a factor is refused
/// under the label of the chosen field.
FieldRow LengthFactorCheckRow(const uint8_t& kind, std::function<double()> lengthFactor,
                              const unitUnitWave& sameAs);

/// Gives start, a place inside the range, the range's length currentLength before it is shown;
/// an unset length (0) leaves it alone.
FieldRow StartLengthRow(unitWavePosition& start, const double& currentLength);

} // namespace kelvorn
