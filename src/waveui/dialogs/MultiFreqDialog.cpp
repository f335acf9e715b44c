#include "waveui/dialogs/MultiFreqDialog.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace kelvorn {

namespace {

QString Latin1(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

struct PartialControl
{
    MFreqField field;
    const char* edit;
    const char* check;
};

// In the order the form shows them, which is the record's order.
constexpr PartialControl kPartialControls[] = {
    {MFreqField::StartVolume, "editVolume", "chkDefVolume"},
    {MFreqField::Frequency, "editFrequency", "chkDefFrequency"},
    {MFreqField::StartAngle, "editAngle", "chkDefAngle"},
    {MFreqField::VolumeFactor, "editVolFact", "chkDefVolFact"},
    {MFreqField::VolumeFactorAtTime, "editVolFactTime", "chkDefVolFactTime"},
};

// Form geometry of the partial group and the browser buttons below the table's rows.
constexpr int ClientWidth = 470;
constexpr int ButtonColumn = 386;
constexpr int GroupLeft = 16;
constexpr int GroupWidth = 354;
constexpr int FieldStep = 24;
constexpr int ButtonWidth = 56;
constexpr int ButtonStep = 58;

} // namespace

TDlgMFreqProps::TDlgMFreqProps(QWidget* owner, const TMFreqProps& record)
    : TOperationDialog(owner, ButtonSide::Right, "Multi Frequency", HelpContextMFreq), props(record)
{
    setObjectName(QStringLiteral("DlgMFreqProps"));
    Build(
        {
            EditRow("editLength", props.length, "Length"),
            OptionRow("optSinus", "Sinus", props.use, TMFreqProps::useSinus),
            OptionRow("optWaveForm", "Wave Form", props.use, TMFreqProps::useWaveForm),
            WaveRow("cboWaveForm", props.waveForm, "Wave Form", waveListOthers, "optWaveForm"),
            HookRow(
                "#partials",
                [this] {
                    ready = false;
                    for (const PartialControl& control : kPartialControls)
                        DefaultBox(control.field)
                            ->setChecked(props.defaultFlags[Index(control.field)] != 0);
                    ready = true;
                    props.partials.OpenView(this);
                },
                [this](bool& ok) {
                    if (ok)
                        ok = props.partials.CloseOk();
                }),
        },
        {"optSinus", "optWaveForm", "cboWaveForm", "editLength", "#partials"});
    BuildPartialGroup();
}

void TDlgMFreqProps::BuildPartialGroup()
{
    const int groupTop = 92;
    const int groupHeight = 40 + kMFreqFieldCount * FieldStep;
    grpFreq = new QGroupBox(QStringLiteral("Frequency"), this);
    grpFreq->setObjectName(QStringLiteral("grpFreq"));
    Place(grpFreq, GroupLeft, groupTop, GroupWidth, groupHeight);
    // Below the box's title line, which the header would otherwise sit on.
    auto* header = new QLabel(QStringLiteral("Default"), grpFreq);
    header->setGeometry(290, 16, 56, 15);
    int y = 32;
    for (const PartialControl& control : kPartialControls) {
        auto* label = new QLabel(QString::fromLatin1(MFreqFieldLabel(control.field)), grpFreq);
        label->setGeometry(8, y + 3, 130, 15);
        auto* edit = new QLineEdit(grpFreq);
        edit->setObjectName(QLatin1String(control.edit));
        edit->setGeometry(140, y, 140, 21);
        auto* check = new QCheckBox(grpFreq);
        check->setObjectName(QLatin1String(control.check));
        check->setGeometry(304, y + 2, 20, 17);
        connect(check, &QCheckBox::toggled, this, [this] { DefaultBoxClicked(); });
        partialEdits[Index(control.field)] = edit;
        defaultBoxes[Index(control.field)] = check;
        y += FieldStep;
    }

    const int navTop = groupTop + groupHeight + 8;
    btnFirst = MakeButton("btnFirst", "First", GroupLeft, navTop, &TRecordBrowser::First);
    btnPrevious = MakeButton("btnPrevious", "Previous", GroupLeft + ButtonStep, navTop,
                             &TRecordBrowser::Previous);
    btnNext =
        MakeButton("btnNext", "Next", GroupLeft + 2 * ButtonStep, navTop, &TRecordBrowser::Next);
    btnLast =
        MakeButton("btnLast", "Last", GroupLeft + 3 * ButtonStep, navTop, &TRecordBrowser::Last);
    auto makeBox = [this](const char* name, const char* caption, int left, int top) {
        auto* label = new QLabel(QLatin1String(caption), this);
        Place(label, left, top + 3, 40, 15);
        auto* box = new QLineEdit(this);
        box->setObjectName(QLatin1String(name));
        box->setReadOnly(true);
        Place(box, left + 42, top, 40, 21);
        return box;
    };
    editCount = makeBox("editCount", "Count", 250, navTop);
    const int editTop = navTop + 30;
    btnInsert = MakeButton("btnInsert", "Insert", GroupLeft, editTop, &TRecordBrowser::Insert);
    btnAppend =
        MakeButton("btnAppend", "Append", GroupLeft + ButtonStep, editTop, &TRecordBrowser::Append);
    btnDelete = MakeButton("btnDelete", "Delete", GroupLeft + 2 * ButtonStep, editTop,
                           &TRecordBrowser::Delete);
    btnCopy =
        MakeButton("btnCopy", "Copy", GroupLeft + 3 * ButtonStep, editTop, &TRecordBrowser::Copy);
    editCursor = makeBox("editCursor", "Cursor", 250, editTop);
    const int lastTop = editTop + 30;
    btnPaste = MakeButton("btnPaste", "Paste", GroupLeft, lastTop, &TRecordBrowser::Paste);
    btnClear =
        MakeButton("btnClear", "Clear", GroupLeft + ButtonStep, lastTop, &TRecordBrowser::Clear);

    // The table sized the form for its own rows; the partial group makes it larger.
    const int height = lastTop + 25 + 16;
    SetClientSize(ClientWidth, height);
    Place(Bevel1, 8, 8, ButtonColumn - 16, height - 16);
    Place(OKBtn, ButtonColumn, 8, 75, 25);
    Place(CancelBtn, ButtonColumn, 38, 75, 25);
    if (HelpBtn)
        Place(HelpBtn, ButtonColumn, 68, 75, 25);
    Bevel1->lower();
}

QPushButton* TDlgMFreqProps::MakeButton(const char* name, const char* text, int left, int top,
                                        void (TRecordBrowser::*step)())
{
    auto* button = new QPushButton(QLatin1String(text), this);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    Place(button, left, top, ButtonWidth, 25);
    connect(button, &QPushButton::clicked, this, [this, step] { (props.partials.*step)(); });
    return button;
}

void TDlgMFreqProps::DefaultBoxClicked()
{
    if (!ready)
        return;
    for (const PartialControl& control : kPartialControls)
        props.defaultFlags[Index(control.field)] = DefaultBox(control.field)->isChecked() ? 1 : 0;
}

std::string TDlgMFreqProps::GetFieldText(MFreqField field) const
{
    return PartialEdit(field)->text().toLatin1().toStdString();
}

void TDlgMFreqProps::SetFieldText(MFreqField field, const std::string& text)
{
    PartialEdit(field)->setText(Latin1(text));
}

bool TDlgMFreqProps::GetKeepDefault(MFreqField field) const
{
    return DefaultBox(field)->isChecked();
}

void TDlgMFreqProps::ShowBrowserState(const std::string& count, const std::string& position,
                                      bool canPrevious, bool canNext, bool canDelete, bool canPaste)
{
    editCount->setText(Latin1(count));
    editCursor->setText(Latin1(position));
    btnFirst->setEnabled(canPrevious);
    btnPrevious->setEnabled(canPrevious);
    btnNext->setEnabled(canNext);
    btnLast->setEnabled(canNext);
    btnDelete->setEnabled(canDelete);
    btnPaste->setEnabled(canPaste);
}

void TDlgMFreqProps::reject()
{
    if (props.partials.GetView() == this)
        props.partials.CloseCancel();
    TOperationDialog::reject();
}

} // namespace kelvorn
