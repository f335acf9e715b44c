#include "waveui/dialogs/EffectDialogs.h"

#include "general/GuiMessages.h"
#include "waveui/dialogs/SharedRows.h"
#include "window_base/EditFields.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>

namespace kelvorn {

TDlgVolumeProps::TDlgVolumeProps(QWidget* owner, bool userDrawing, const TVolumeProps& record)
    : TOperationDialog(owner, ButtonSide::Right, "Change Volume", 9), props(record)
{
    setObjectName(QStringLiteral("DlgVolumeProps"));
    Build({
        TextRow("Volume Factor"),
        OptionRow("optConstant", "Constant", props.kind, TVolumeProps::kindConstant),
        EditRow("editVolume", props.factor, "Constant", "optConstant"),
        OptionRow("optEnvelope", "Envelope", props.kind, TVolumeProps::kindEnvelope),
        WaveRow("cboUnitWave", props.envelope, "Envelope", waveListOthers, "optEnvelope"),
    });
    if (userDrawing) {
        Button("optEnvelope")->setEnabled(false);
        Combo("cboUnitWave")->setEnabled(false);
    }
}

TDlgRotateProps::TDlgRotateProps(QWidget* owner, const TRotateProps& record, double rangeTime)
    : TOperationDialog(owner, ButtonSide::Right, "Rotate", 21), props(record), rangeTime(rangeTime)
{
    setObjectName(QStringLiteral("DlgRotateProps"));
    Build({
        GroupRow("rgrShift", "Shift to", props.direction, {"Left", "Right"}),
        // Kept: factor 1 and time 0, the reverse of the list order.
        OptionRow("optFactor", "Factor", props.kind, TRotateProps::kindFactor),
        EditRow("editFactor", props.factor, "Factor", "optFactor").Always(),
        OptionRow("optTime", "Time", props.kind, TRotateProps::kindTime),
        EditRow("editTime", props.time, "Time", "optTime").Always(),
        HookRow("#timeCheck", nullptr,
                [this](bool& ok) {
                    std::string message;
                    if (!props.CheckTime(this->rangeTime, message)) {
                        TGuiMessages::ShowInputError(message);
                        ok = false;
                    }
                }),
    });
}

TDlgBlockProps::TDlgBlockProps(QWidget* owner, const TBlockProps& record)
    : TOperationDialog(owner, ButtonSide::Right, "Block", 43), props(record)
{
    setObjectName(QStringLiteral("DlgBlockProps"));
    Build({
        TextRow("Horizontal"),
        OptionRow("optHorNoChange", "No Change", props.horKind, TBlockProps::horKindNoChange),
        OptionRow("optHorCount", "Count", props.horKind, TBlockProps::horKindCount),
        EditRow("editHorCount", props.horCount, " Horizontal Count", "optHorCount"),
        OptionRow("optHorTime", "Time", props.horKind, TBlockProps::horKindTime),
        EditRow("editHorTime", props.horTime, " Time", "optHorTime"),
        TextRow("Vertical"),
        OptionRow("optVertNoChange", "No Change", props.vertKind, TBlockProps::vertKindNoChange),
        OptionRow("optVertCount", "Count", props.vertKind, TBlockProps::vertKindCount),
        EditRow("editVertCount", props.vertCount, " Vertical Count", "optVertCount"),
        OptionRow("optVertHeight", "Height", props.vertKind, TBlockProps::vertKindHeight),
        EditRow("editVertHeight", props.height, " Height", "optVertHeight"),
    });
}

TDlgRollInProps::TDlgRollInProps(QWidget* owner, const TRollInProps& record)
    : TOperationDialog(owner, ButtonSide::Right, "Roll in", 44), props(record)
{
    setObjectName(QStringLiteral("DlgRollInProps"));
    // Both positions are places inside the roll-in, so they follow its length.
    auto giveLength = [this] {
        props.startAt.SetLength(props.length.GetValue());
        props.endAt.SetLength(props.length.GetValue());
    };
    Build(
        {
            EditRow("editLength", props.length, "Length"),
            HookRow("#positionLength", giveLength, [giveLength](bool&) { giveLength(); }),
            OptionRow("optStart", "Start at", props.placement, TRollInProps::placeStart),
            EditRow("editStart", props.startAt, "Start at", "optStart"),
            OptionRow("optEnd", "End at", props.placement, TRollInProps::placeEnd),
            EditRow("editEnd", props.endAt, "End at", "optEnd"),
        },
        {"optStart", "optEnd", "editLength", "#positionLength", "editStart", "editEnd"});
}

TDlgRollOutProps::TDlgRollOutProps(QWidget* owner, const TRollOutProps& record)
    : TOperationDialog(owner, ButtonSide::Right, "Roll out", 46), props(record)
{
    setObjectName(QStringLiteral("DlgRollOutProps"));
    Build(JoinRows(SpeedRows(props.speedFactor, props.speedEnvelopeFlag, props.speedEnvelope),
                   LengthAndStartRows(props)));
}

TDlgLengthProps::TDlgLengthProps(QWidget* owner, const TLengthProps& record)
    : TOperationDialog(owner, ButtonSide::Right, "Change Length", 49), props(record)
{
    setObjectName(QStringLiteral("DlgLengthProps"));
    Build(LengthRows(props.lengthKind, props.lengthFactor, props.newLength, props.sameLengthAs,
                     nullptr));
}

TDlgUpProps::TDlgUpProps(QWidget* owner, const TUpProps& record)
    : TOperationDialog(owner, ButtonSide::Bottom, "Move Wave Vertically", 19), props(record)
{
    setObjectName(QStringLiteral("DlgUpProps"));
    Build({EditRow("editAdd", props.add, "Add Value")});
}

TDlgShiftProps::TDlgShiftProps(QWidget* owner, const TShiftProps& record, int channels)
    : TOperationDialog(owner, ButtonSide::Right, "Move Wave Horizontally", 55), props(record),
      channels(channels)
{
    setObjectName(QStringLiteral("DlgShiftProps"));
    auto stereo = [this] { return this->channels == 2; };
    Build({
        EditRow("editDiffTimeMiddle", props.middle, "Time Middle"),
        EditRow("editDiffTimeLeft", props.left, "Time Left").If(stereo),
        EditRow("editDiffTimeRight", props.right, "Time Right").If(stereo),
        CheckRow("chkDiffTimeEnvelope", "Envelope", props.envelopeFlag),
        WaveRow("cboDiffTimeEnvelope", props.envelope, "Time Envelope", waveListOthers,
                "chkDiffTimeEnvelope"),
        HookRow(
            "#channels",
            [this] {
                for (const char* name : {"editDiffTimeLeft", "editDiffTimeRight"}) {
                    if (this->channels == 2)
                        EnableEdit(Edit(name));
                    else
                        DisableEdit(Edit(name), false);
                }
                middleChanged = false;
            },
            nullptr),
    });
    connect(Edit("editDiffTimeMiddle"), &QLineEdit::textChanged, this,
            &TDlgShiftProps::editDiffTimeMiddleChange);
    connect(Edit("editDiffTimeMiddle"), &QLineEdit::editingFinished, this,
            &TDlgShiftProps::editDiffTimeMiddleExit);
}

void TDlgShiftProps::editDiffTimeMiddleChange()
{
    if (!Filling())
        middleChanged = true;
}

void TDlgShiftProps::editDiffTimeMiddleExit()
{
    if (!middleChanged)
        return;
    middleChanged = false;
    if (channels != 2)
        return;
    unitTime middle(0.0, EHS);
    bool ok = true;
    middle.SetTextMsg(ok, Edit("editDiffTimeMiddle")->text().toLatin1().toStdString(),
                      "Time Middle");
    if (!ok)
        return;
    SetEditText(Edit("editDiffTimeLeft"), middle.ToText());
    SetEditText(Edit("editDiffTimeRight"), middle.ToText());
}

TDlgDistortProps::TDlgDistortProps(QWidget* owner, const TDistortProps& record)
    : TOperationDialog(owner, ButtonSide::Bottom, "Distort", 45), props(record)
{
    setObjectName(QStringLiteral("DlgDistortProps"));
    Build({WaveRow("cboDistortEnvelope", props.envelope, "Distort Envelope", waveListOthers)});
}

TDlgMixProps::TDlgMixProps(QWidget* owner, const TMixProps& record)
    : TOperationDialog(owner, ButtonSide::Right, "Mix", 4), props(record)
{
    setObjectName(QStringLiteral("DlgMixProps"));
    Build(
        {GroupRow("rgrPlace", "Place", props.placement, {"Align Begin", "Align End", "Stretch"})});
}

} // namespace kelvorn
