#include "waveui/dialogs/SharedRows.h"

#include "document/records/OperationRecords.h"
#include "general/GuiMessages.h"

namespace kelvorn {

std::vector<FieldRow> LengthRows(uint8_t& kind, unit& factor, unitTime& newLength,
                                 unitUnitWave& sameAs, unit* count)
{
    std::vector<FieldRow> rows;
    rows.push_back(OptionRow("optLengthFactor", "Length Factor", kind, lengthKindFactor));
    rows.push_back(EditRow("editLengthFactor", factor, "Length Factor", "optLengthFactor"));
    rows.push_back(OptionRow("optLengthNew", "New Length", kind, lengthKindNew));
    rows.push_back(EditRow("editLengthNew", newLength, "New Length", "optLengthNew"));
    rows.push_back(OptionRow("optLengthSameAs", "Same Length as", kind, lengthKindSameAs));
    rows.push_back(
        WaveRow("cboLengthSameAs", sameAs, "Same Length as", waveListOthers, "optLengthSameAs"));
    if (count) {
        rows.push_back(OptionRow("optLengthCount", "Count", kind, lengthKindCount));
        rows.push_back(EditRow("editLengthCount", *count, "Count", "optLengthCount"));
    }
    return rows;
}

FieldRow LengthFactorCheckRow(const uint8_t& kind, std::function<double()> lengthFactor,
                              const unitUnitWave& sameAs)
{
    return HookRow("#lengthFactor", nullptr, [&kind, lengthFactor, &sameAs](bool& ok) {
        if (kind != lengthKindNew && kind != lengthKindSameAs)
            return;
        // A list entry without a document is resolved by the command; nothing to measure.
        if (kind == lengthKindSameAs && !sameAs.GetUnitWave())
            return;
        if (lengthFactor() > 0.0)
            return;
        TGuiMessages::ShowFieldInputError(kind == lengthKindNew ? "New Length" : "Same Length as",
                                          "The length factor would be 0.");
        ok = false;
    });
}

FieldRow StartLengthRow(unitWavePosition& start, const double& currentLength)
{
    return HookRow(
        "#startLength",
        [&start, &currentLength] {
            if (currentLength > 0.0)
                start.SetLength(currentLength);
        },
        nullptr);
}

std::vector<FieldRow> SpeedRows(unit& speed, uint8_t& envelopeFlag, unitUnitWave& envelope)
{
    std::vector<FieldRow> rows;
    rows.push_back(EditRow("editSpeedFactor", speed, "Speed Factor"));
    rows.push_back(CheckRow("chkSpeedEnvelope", "Speed Envelope", envelopeFlag));
    rows.push_back(WaveRow("cboSpeedEnvelope", envelope, "Speed Envelope", waveListOtherMono,
                           "chkSpeedEnvelope"));
    return rows;
}

} // namespace kelvorn
