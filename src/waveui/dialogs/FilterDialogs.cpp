#include "waveui/dialogs/FilterDialogs.h"

#include "general/GuiMessages.h"

namespace kelvorn {

TDlgResNotchProps::TDlgResNotchProps(QWidget* owner, const TResNotchProps& record,
                                     int32_t sampleFreq)
    : TOperationDialog(owner, ButtonSide::Right, "Resonant/Notch", 16), props(record),
      sampleFreq(sampleFreq)
{
    setObjectName(QStringLiteral("DlgResNotchProps"));
    Build({
        TextRow("Frequency"),
        OptionRow("optFreqConstant", "Constant", props.frequencyKind, filterConstant),
        EditRow("editFreqConstant", props.frequency, "Frequency Constant", "optFreqConstant"),
        // The same product the filter forms: a period below one value cannot resonate.
        HookRow("#sampleFreq", nullptr,
                [this](bool& ok) {
                    if (this->sampleFreq <= 0 ||
                        static_cast<double>(this->sampleFreq) * props.frequency.GetValue() >= 1.0)
                        return;
                    TGuiMessages::ShowFieldInputError(
                        "Frequency Constant",
                        "The frequency may not be above the sample frequency (" +
                            std::to_string(this->sampleFreq) + " Hz).");
                    ok = false;
                })
            .When("optFreqConstant"),
        OptionRow("optFreqEnvelope", "Envelope", props.frequencyKind, filterEnvelope),
        WaveRow("cboFreqEnvelope", props.frequencyEnvelope, "Frequency Envelope", waveListOthers,
                "optFreqEnvelope"),
        TextRow("Width"),
        OptionRow("optWidthConstant", "Constant", props.widthKind, filterConstant),
        EditRow("editWidthConstant", props.width, "Width Constant", "optWidthConstant"),
        OptionRow("optWidthEnvelope", "Envelope", props.widthKind, filterEnvelope),
        WaveRow("cboWidthEnvelope", props.widthEnvelope, "Frequency Width Envelope", waveListOthers,
                "optWidthEnvelope"),
    });
}

TDlgHighLowProps::TDlgHighLowProps(QWidget* owner, const THighLowProps& record)
    : TOperationDialog(owner, ButtonSide::Right, "High Low Filter", 15), props(record)
{
    setObjectName(QStringLiteral("DlgHighLowProps"));
    Build({
        OptionRow("optFreqConstant", "Frequency", props.frequencyKind, filterConstant),
        EditRow("editFreqConstant", props.frequency, "Frequency", "optFreqConstant"),
        OptionRow("optFreqEnvelope", "Envelope", props.frequencyKind, filterEnvelope),
        WaveRow("cboFreqEnvelope", props.frequencyEnvelope, "Frequency Envelope", waveListOthers,
                "optFreqEnvelope"),
        EditRow("editFactor", props.factor, "Volume Factor"),
        EditRow("editCount", props.count, "Count"),
        CheckRow("chkMaximizeVolume", "Maximize Volume", props.maximizeVolume),
    });
}

TDlgBlockFilterProps::TDlgBlockFilterProps(QWidget* owner, const TBlockFilterProps& record)
    : TOperationDialog(owner, ButtonSide::Right, "Block Filter", 17), props(record)
{
    setObjectName(QStringLiteral("DlgBlockFilterProps"));
    // Kept: the block time is read even while the envelope is on.
    Build(
        {
            EditRow("editTimeConstant", props.blockTime, "Block Time"),
            CheckRow("chkTimeEnvelope", "Envelope", props.envelopeFlag),
            WaveRow("cboTimeEnvelope", props.envelope, "Envelope", waveListOthers,
                    "chkTimeEnvelope"),
        },
        {"chkTimeEnvelope", "editTimeConstant", "cboTimeEnvelope"});
}

} // namespace kelvorn
