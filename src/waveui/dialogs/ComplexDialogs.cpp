#include "waveui/dialogs/ComplexDialogs.h"

#include "general/GuiMessages.h"
#include "waveui/dialogs/SharedRows.h"

#include <QComboBox>
#include <QLineEdit>

namespace kelvorn {

namespace {

const char* const LeftRightEdits[] = {"editLeft2Left", "editLeft2Right", "editRight2Left",
                                      "editRight2Right"};

std::vector<std::string> ExampleTexts()
{
    std::vector<std::string> texts;
    for (const LeftRightExample& example : kLeftRightExamples)
        texts.emplace_back(example.text);
    return texts;
}

const std::vector<std::string> Dice = {"Die 1", "Die 2", "Die 3", "Die 4", "Die 5", "Die 6"};
const std::vector<std::string> VolumeDifferences = {"None", "Volume", "Filter"};
const std::vector<std::string> Qualities = {"Low", "High"};

/// One manipulation of Random Echo: its kind options (names and texts from kinds, values in
/// order), its random envelope and its die.
std::vector<FieldRow> ManipRows(const std::string& group, const std::string& title,
                                TEchoManip& manip,
                                std::vector<std::pair<std::string, std::string>> kinds)
{
    std::vector<FieldRow> rows;
    rows.push_back(PageRow(title));
    const std::string envelopeOption = "opt" + group + "Envelope";
    for (size_t i = 0; i < kinds.size(); ++i)
        rows.push_back(OptionRow("opt" + group + kinds[i].first, kinds[i].second, manip.kind,
                                 static_cast<uint8_t>(i)));
    rows.push_back(WaveRow("cbo" + group + "Envelope", manip.envelope, title + " - Random Envelope",
                           waveListOtherMono, envelopeOption));
    rows.push_back(ItemsRow("cbo" + group + "Source", "Die", manip.source, Dice));
    return rows;
}

} // namespace

TDlgLeftRightProps::TDlgLeftRightProps(QWidget* owner, const TLeftRightProps& record)
    : TOperationDialog(owner, ButtonSide::Right, "Mix Left Right", 36), props(record)
{
    setObjectName(QStringLiteral("DlgLeftRightProps"));
    Build({
        EditRow("editLeft2Left", props.leftToLeft, "from Left to Left"),
        EditRow("editLeft2Right", props.leftToRight, "from Left to Right"),
        EditRow("editRight2Left", props.rightToLeft, "from Right to Left"),
        EditRow("editRight2Right", props.rightToRight, "from Right to Right"),
        ItemsRow("cboExample", "Example", example, ExampleTexts()),
    });
    for (const char* name : LeftRightEdits)
        connect(Edit(name), &QLineEdit::textChanged, this, &TDlgLeftRightProps::editLR2LRChange);
    connect(Combo("cboExample"), &QComboBox::currentIndexChanged, this,
            &TDlgLeftRightProps::cboExampleChange);
}

void TDlgLeftRightProps::cboExampleChange(int item)
{
    if (Filling() || !props.SetExample(item))
        return;
    const unitFactor* shares[] = {&props.leftToLeft, &props.leftToRight, &props.rightToLeft,
                                  &props.rightToRight};
    // Written with the edits' signals blocked, so that the example stays shown.
    for (int i = 0; i < 4; ++i)
        SetEditText(Edit(LeftRightEdits[i]), shares[i]->ToText());
}

void TDlgLeftRightProps::editLR2LRChange()
{
    if (!Filling())
        Combo("cboExample")->setCurrentIndex(-1);
}

TDlgBalanceProps::TDlgBalanceProps(QWidget* owner, const TBalanceProps& record)
    : TOperationDialog(owner, ButtonSide::Right, "Balance", 11), props(record)
{
    setObjectName(QStringLiteral("DlgBalanceProps"));
    using P = TBalanceProps;
    Build({
        OptionRow("optDirConstant", "Constant", props.directionKind, P::directionKindConstant),
        EditRow("editDirConstant", props.direction, "Direction Constant", "optDirConstant"),
        OptionRow("optDirEnvelope", "Envelope", props.directionKind, P::directionKindEnvelope),
        WaveRow("cboDirEnvelope", props.directionEnvelope, "Direction Envelope", waveListOtherMono,
                "optDirEnvelope"),
        CheckRow("chkTimeDiff", "Time Difference", props.timeDifference),
        GroupRow("rgrVolume", "Volume Difference", props.volumeDifference, VolumeDifferences),
    });
}

TDlgPerEchoProps::TDlgPerEchoProps(QWidget* owner, const TPerEchoProps& record)
    : TOperationDialog(owner, ButtonSide::Right, "Period Echo", 12), props(record)
{
    setObjectName(QStringLiteral("DlgPerEchoProps"));
    using P = TPerEchoProps;
    Build({
        EditRow("editTime", props.time, "Time"),
        CheckRow("chkTimeEnvelope", "Envelope", props.timeEnvelopeFlag),
        WaveRow("cboTimeEnvelope", props.timeEnvelope, " Echo Time Envelope", waveListOtherMono,
                "chkTimeEnvelope"),
        // The echo engine follows a time envelope only forwards.
        HookRow("#timeSign", nullptr,
                [this](bool& ok) {
                    if (props.timeEnvelopeFlag && props.time.GetValue() < 0.0) {
                        TGuiMessages::ShowFieldInputError(
                            "Time", "The time may not be negative with a time envelope.");
                        ok = false;
                    }
                }),
        OptionRow("optVolumeConstant", "Constant", props.volumeKind, P::volumeKindConstant),
        EditRow("editVolumeConstant", props.volume, "Volume Constant", "optVolumeConstant"),
        OptionRow("optVolumeEnvelope", "Envelope", props.volumeKind, P::volumeKindEnvelope),
        WaveRow("cboVolumeEnvelope", props.volumeEnvelope, " Echo Volume Envelope", waveListOthers,
                "optVolumeEnvelope"),
        EditRow("editCount", props.count, "Count"),
    });
}

TDlgRandomEchoProps::TDlgRandomEchoProps(QWidget* owner, const TRandomEchoProps& record)
    : TOperationDialog(owner, ButtonSide::Right, "Random Echo", 13), props(record)
{
    setObjectName(QStringLiteral("DlgRandomEchoProps"));
    std::vector<FieldRow> rows;
    rows.push_back(EditRow("editCount", props.count, "Count"));
    rows.push_back(CheckRow("chkCyclable", "Cyclable", props.cyclable));
    rows.push_back(EditRow("editRandomSeed", props.randomSeed, "Random Seed"));
    rows.push_back(PagesRow("pgcEchoManip", props.activeTab));
    rows = JoinRows(std::move(rows),
                    ManipRows("Time", "Time", props.time,
                              {{"Linear", "Linear"}, {"Envelope", "Random Envelope"}}));
    rows.push_back(EditRow("editTimeDiff", props.timeDifference, "Time Difference"));
    // The time difference is shown again as read, in its own unit.
    rows.push_back(HookRow("#timeDiffText", nullptr, [this](bool& ok) {
        if (ok)
            SetEditText(Edit("editTimeDiff"), props.timeDifference.ToText());
    }));
    rows = JoinRows(std::move(rows), ManipRows("Volume", "Volume", props.volume,
                                               {{"NoChange", "No Change"},
                                                {"Linear", "Linear"},
                                                {"Envelope", "Random Envelope"}}));
    rows = JoinRows(std::move(rows),
                    ManipRows("Length", "Length", props.length,
                              {{"NoChange", "No Change"}, {"Envelope", "Random Envelope"}}));
    rows = JoinRows(std::move(rows), ManipRows("Bal", "Balance", props.balance,
                                               {{"NoChange", "No Change"},
                                                {"Linear", "Linear"},
                                                {"Envelope", "Random Envelope"}}));
    rows.push_back(GroupRow("rgrBalVolume", "Volume Difference", props.balanceVolumeDifference,
                            VolumeDifferences));
    rows.push_back(CheckRow("chkBalTimeDiff", "Time Difference", props.balanceTimeDifference));
    rows = JoinRows(std::move(rows),
                    ManipRows("Pitch", "Pitch", props.pitch,
                              {{"NoChange", "No Change"}, {"Envelope", "Random Envelope"}}));
    rows.push_back(EditRow("editFreqFactor", props.frequencyFactor, "Pitch - Frequency Factor",
                           "optPitchEnvelope", "Frequency Factor"));
    rows = JoinRows(std::move(rows),
                    ManipRows("Tempo", "Tempo", props.tempo,
                              {{"NoChange", "No Change"}, {"Envelope", "Random Envelope"}}));
    rows.push_back(EndPagesRow());
    rows.push_back(GroupRow("rgrQuality", "Quality", props.quality, Qualities));
    rows.push_back(EditRow("editBlockSize", props.blockSize, "Block Size"));
    Build(std::move(rows),
          {"pgcEchoManip",      "cboTimeSource",     "cboVolumeSource",   "cboLengthSource",
           "cboBalSource",      "cboPitchSource",    "cboTempoSource",    "optTimeLinear",
           "optTimeEnvelope",   "cboTimeEnvelope",   "editTimeDiff",      "#timeDiffText",
           "optVolumeNoChange", "optVolumeLinear",   "optVolumeEnvelope", "cboVolumeEnvelope",
           "optLengthNoChange", "optLengthEnvelope", "cboLengthEnvelope", "optBalNoChange",
           "optBalLinear",      "optBalEnvelope",    "cboBalEnvelope",    "rgrBalVolume",
           "chkBalTimeDiff",    "optTempoNoChange",  "optTempoEnvelope",  "cboTempoEnvelope",
           "optPitchNoChange",  "optPitchEnvelope",  "editFreqFactor",    "cboPitchEnvelope",
           "editCount",         "editRandomSeed",    "chkCyclable",       "editBlockSize",
           "rgrQuality"});
}

TDlgTempoPitchProps::TDlgTempoPitchProps(QWidget* owner, const TTempoPitchProps& record)
    : TOperationDialog(owner, ButtonSide::Right, "Pitch Tempo", 50), props(record)
{
    setObjectName(QStringLiteral("DlgTempoPitchProps"));
    std::vector<FieldRow> rows;
    rows.push_back(EditRow("editFreqFactor", props.frequencyFactor, "Frequency Factor"));
    rows.push_back(CheckRow("chkFreqEnvelope", "Frequency Envelope", props.frequencyEnvelopeFlag));
    rows.push_back(WaveRow("cboFreqEnvelope", props.frequencyEnvelope, "Frequency Envelope",
                           waveListOtherMono, "chkFreqEnvelope"));
    rows = JoinRows(std::move(rows),
                    SpeedRows(props.speedFactor, props.speedEnvelopeFlag, props.speedEnvelope));
    // The tempo engine follows a speed envelope only forwards.
    rows.push_back(HookRow("#speedSign", nullptr, [this](bool& ok) {
        if (props.speedEnvelopeFlag && props.speedFactor.GetValue() < 0.0) {
            TGuiMessages::ShowFieldInputError(
                "Speed Factor", "The speed may not be negative with a speed envelope.");
            ok = false;
        }
    }));
    rows = JoinRows(std::move(rows), LengthAndStartRows(props));
    rows.push_back(GroupRow("rgrQuality", "Quality", props.quality, Qualities));
    rows.push_back(EditRow("editBlockSize", props.blockSize, "Block Size"));
    Build(std::move(rows));
}

} // namespace kelvorn
