#pragma once
// Row groups that more than one dialog shows: the length group of Roll out, Change Length and
// Pitch Tempo (a length factor, a new length, the length of another wave and, but for Change
// Length, a count, one option each) and the speed of Roll out and Pitch Tempo.

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

/// The speed factor and the speed envelope that its check box switches on.
std::vector<FieldRow> SpeedRows(unit& speed, uint8_t& envelopeFlag, unitUnitWave& envelope);

/// The whole length group of Roll out and Pitch Tempo, with its check and the start position
/// inside the range.
template <class P> std::vector<FieldRow> LengthAndStartRows(P& props)
{
    std::vector<FieldRow> rows = LengthRows(props.lengthKind, props.lengthFactor, props.newLength,
                                            props.sameLengthAs, &props.count);
    rows.push_back(LengthFactorCheckRow(
        props.lengthKind, [&props] { return props.GetLengthFactor(); }, props.sameLengthAs));
    rows.push_back(StartLengthRow(props.startPosition, props.currentLength));
    rows.push_back(EditRow("editStartPosition", props.startPosition, "Start Position"));
    return rows;
}

} // namespace kelvorn
