#include "waveui/dialogs/GeneratorDialogs.h"

#include "general/GuiMessages.h"

namespace kelvorn {

TDlgSilenceProps::TDlgSilenceProps(QWidget* owner, const TSilenceProps& record)
    : TOperationDialog(owner, ButtonSide::Bottom, "Make Silence", 20), props(record)
{
    setObjectName(QStringLiteral("DlgSilenceProps"));
    Build({EditRow("editLength", props.length, "Length")});
}

TDlgLineProps::TDlgLineProps(QWidget* owner, const TLineProps& record)
    : TOperationDialog(owner, ButtonSide::Right, "Make Line", 5), props(record)
{
    setObjectName(QStringLiteral("DlgLineProps"));
    Build({
        GroupRow("rgrKind", "Kind", props.kind, {"Linear", "Exponential"}),
        EditRow("editBegin", props.beginValue, "Begin Value"),
        EditRow("editEnd", props.endValue, "End Value"),
        HookRow("#exponential", nullptr,
                [this](bool& ok) {
                    std::string message;
                    if (!props.CheckExponential(message)) {
                        TGuiMessages::ShowInputError(message);
                        ok = false;
                    }
                }),
        EditRow("editLength", props.length, "Length"),
    });
}

TDlgNoiseProps::TDlgNoiseProps(QWidget* owner, const TNoiseProps& record)
    : TOperationDialog(owner, ButtonSide::Right, "Make Noise", 8), props(record)
{
    setObjectName(QStringLiteral("DlgNoiseProps"));
    Build({
        EditRow("editLength", props.length, "Length"),
        EditRow("editVolume", props.volume, "Volume"),
    });
}

TDlgBlockTriangleProps::TDlgBlockTriangleProps(QWidget* owner, const TBlockTriangleProps& record,
                                               const std::string& caption)
    : TOperationDialog(owner, ButtonSide::Right, caption, 6), props(record)
{
    setObjectName(QStringLiteral("DlgBlockTriangleProps"));
    using P = TBlockTriangleProps;
    Build({
        EditRow("editHeight1", props.height1, "Height 1"),
        EditRow("editHeight2", props.height2, "Height 2"),
        OptionRow("optFrequency", "Frequency", props.BloTriHorKind, bloTriFrequency),
        EditRow("editFrequency", props.period, "Frequency", "optFrequency"),
        OptionRow("optMiddleConstant", "Middle", props.middleKind, P::middleKindConstant)
            .When("optFrequency"),
        EditRow("editMiddle", props.middle, "Middle", "optMiddleConstant")
            .When("optFrequency optMiddleConstant"),
        OptionRow("optMiddleEnvelope", "Middle Envelope", props.middleKind, P::middleKindEnvelope)
            .When("optFrequency"),
        WaveRow("cboMiddleEnvelope", props.middleEnvelope, "Middle Envelope", waveListOthers,
                "optMiddleEnvelope")
            .When("optFrequency optMiddleEnvelope"),
        OptionRow("optTime", "Wave in Time", props.BloTriHorKind, bloTriTime),
        EditRow("editTime1", props.time1, "Time 1", "optTime"),
        EditRow("editTime2", props.time2, "Time 2", "optTime"),
        OptionRow("optLengthNew", "New Length", props.lengthKind, P::lengthNew),
        EditRow("editLengthNew", props.newLength, "Length New", "optLengthNew"),
        OptionRow("optLengthSameAs", "Same Length as", props.lengthKind, P::lengthSameAs),
        WaveRow("cboLengthSameAs", props.sameLengthAs, "Length Same As", waveListOthers,
                "optLengthSameAs"),
        OptionRow("optLengthCount", "Count", props.lengthKind, P::lengthCount),
        EditRow("editLengthCount", props.count, "Length Count", "optLengthCount"),
        EditRow("editStartPosition", props.startPosition, "Start Position"),
    });
}

TDlgSinusProps::TDlgSinusProps(QWidget* owner, const TSinusProps& record)
    : TOperationDialog(owner, ButtonSide::Right, "Make Sinus", 7), props(record)
{
    setObjectName(QStringLiteral("DlgSinusProps"));
    Build({
        OptionRow("optLength", "Length", props.lengthKind, TSinusProps::lengthTime),
        EditRow("editLength", props.length, "Length", "optLength"),
        OptionRow("optCount", "Count", props.lengthKind, TSinusProps::lengthCount),
        EditRow("editCount", props.count, "Count", "optCount"),
        EditRow("editAmplitude", props.amplitude, "Amplitude"),
        EditRow("editFrequency", props.period, "Frequency"),
        EditRow("editStartPhase", props.startPhase, "Start Phase"),
    });
}

} // namespace kelvorn
