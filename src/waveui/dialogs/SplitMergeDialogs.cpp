#include "waveui/dialogs/SplitMergeDialogs.h"

#include "document/records/WaveFileProps.h"
#include "document/wave/UnitWave.h"
#include "general/GuiMessages.h"
#include "general/Services.h"
#include "general/values/ValueUnits.h"
#include "waveui/WaveCombo.h"
#include "waveui/WaveWindow.h"
#include "waveui/dialogs/OperationDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTabWidget>

#include <algorithm>

namespace kelvorn {

namespace {

QString Latin1(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr const char* kFrequencyTexts[] = {"5 kHz",  "11 kHz", "22 kHz",
                                           "44 kHz", "88 kHz", "176 kHz"};

// Titled radio buttons stacked in a group; the item index is the choice.
QGroupBox* MakeGroup(QWidget* parent, const char* name, const char* title,
                     std::initializer_list<const char*> items, int width)
{
    auto* box = new QGroupBox(QLatin1String(title), parent);
    box->setObjectName(QLatin1String(name));
    auto* group = new QButtonGroup(box);
    int id = 0;
    for (const char* item : items) {
        auto* button = new QRadioButton(QLatin1String(item), box);
        button->setGeometry(10, 18 + id * 20, width - 20, 17);
        group->addButton(button, id++);
    }
    box->setFixedHeight(26 + id * 20);
    return box;
}

// What the comparison reads of a wave's window: its diagram and the two view records.
struct WindowDisplay
{
    uint8_t kind = mergeWindWave;
    TWaveViewProps waveProps;
    TVoldViewProps voldProps;

    bool operator==(const WindowDisplay& other) const
    {
        return kind == other.kind && waveProps == other.waveProps && voldProps == other.voldProps;
    }
};

WindowDisplay DisplayOf(const TUnitWave& unit)
{
    WindowDisplay display;
    if (auto* window = dynamic_cast<TMDIChildWave*>(unit.GetChildWave())) {
        display.kind = window->GetWaveWindKind();
        display.waveProps = window->GetWaveViewProps();
        display.voldProps = window->GetVoldViewProps();
    }
    return display;
}

double Seconds(const TUnitWave& unit)
{
    return unit.GetSampleFreq() > 0 ? double(unit.GetValues()) / unit.GetSampleFreq() : 0.0;
}

std::string BitsText(int16_t bytes)
{
    return bytes == 1 ? "8 Bits" : "16 Bits";
}

} // namespace

// ---- Split horizontally ------------------------------------------------------------------------

TDlgSplitHorProps::TDlgSplitHorProps(QWidget* owner, const TSplitHorProps& record)
    : TOKHelpRightDlg(owner), props(record)
{
    setObjectName(QStringLiteral("DlgSplitHorProps"));
    setWindowTitle(QStringLiteral("Split Horizontally"));
    SetHelpContext(HelpContextSplitHor);
    rgrResult = MakeGroup(this, "rgrResult", "Result",
                          {"Three parts", "Two parts, both inclusive selected part",
                           "Two parts, both exclusive selected part"},
                          265);
    Place(rgrResult, 16, 16, 265, rgrResult->height());
    const auto buttons = rgrResult->findChildren<QRadioButton*>();
    for (size_t i = 0; i < resultItems.size(); ++i)
        resultItems[i] = buttons[static_cast<qsizetype>(i)];
}

void TDlgSplitHorProps::showEvent(QShowEvent* event)
{
    if (!event->spontaneous() && props.result < resultItems.size())
        resultItems[props.result]->setChecked(true);
    TOKHelpRightDlg::showEvent(event);
}

void TDlgSplitHorProps::accept()
{
    for (size_t i = 0; i < resultItems.size(); ++i)
        if (resultItems[i]->isChecked())
            props.result = static_cast<uint8_t>(i);
    TOKHelpRightDlg::accept();
}

// ---- What both merge dialogs share -------------------------------------------------------------

TMergeDialogBase::TMergeDialogBase(QWidget* owner, const char* caption, int helpContext,
                                   const char* oneLabel, const char* twoLabel)
    : TOKHelpRightDlg(owner), oneLabel(oneLabel), twoLabel(twoLabel)
{
    setWindowTitle(QLatin1String(caption));
    SetHelpContext(helpContext);
    SetClientSize(464, 320);
    Place(Bevel1, 8, 8, 361, 304);

    auto makeList = [this](const char* label, int top) {
        auto* caption = new QLabel(QLatin1String(label), this);
        Place(caption, 16, top + 3, 40, 15);
        auto* combo = new QComboBox(this);
        combo->setObjectName(QLatin1String("cbo") + QLatin1String(label));
        Place(combo, 60, top, 301, 21);
        connect(combo, &QComboBox::currentIndexChanged, this,
                &TMergeDialogBase::EvOnChangeUnitWave);
        return combo;
    };
    cboOne = makeList(oneLabel, 16);
    cboTwo = makeList(twoLabel, 42);
    auto* properties = new QLabel(QStringLiteral("Properties of the new Wave"), this);
    Place(properties, 16, 72, 345, 15);
    pgcDiffs = new QTabWidget(this);
    pgcDiffs->setObjectName(QStringLiteral("pgcDiffs"));
    Place(pgcDiffs, 16, 90, 345, 214);

    // The frequency page has a list where the others have a radio group.
    tsFrequency = new QWidget(pgcDiffs);
    tsFrequency->setObjectName(QStringLiteral("tsFrequency"));
    lbFreq = new QListWidget(tsFrequency);
    lbFreq->setObjectName(QStringLiteral("lbFreq"));
    for (const char* text : kFrequencyTexts)
        lbFreq->addItem(QLatin1String(text));
    lbFreq->setGeometry(8, 8, 110, 130);
    auto sideEdit = [](QWidget* page, const std::string& name, int top) {
        auto* edit = new QLineEdit(page);
        edit->setObjectName(Latin1(name));
        edit->setReadOnly(true);
        edit->setGeometry(130, top, 150, 21);
        return edit;
    };
    editFreqOne = sideEdit(tsFrequency, "editFreq" + this->oneLabel, 8);
    editFreqTwo = sideEdit(tsFrequency, "editFreq" + this->twoLabel, 34);
    pgcDiffs->addTab(tsFrequency, QStringLiteral("Frequency"));

    const std::string one = this->oneLabel;
    const std::string two = this->twoLabel;
    tsBits = AddPage("tsBits", "Bits", "rgrBits", "Wave Values", {"8 Bits", "16 Bits"},
                     ("editBits" + one).c_str(), ("editBits" + two).c_str(), rgrBits, editBitsOne,
                     editBitsTwo);
    QLineEdit* unusedOne = nullptr;
    QLineEdit* unusedTwo = nullptr;
    tsDisplay = AddPage("tsDisplay", "Display", "rgrDisplay", "Use Display Properties of",
                        {oneLabel, twoLabel}, nullptr, nullptr, rgrDisplay, unusedOne, unusedTwo);
    CheckItem(*rgrDisplay, 0);

    Place(OKBtn, 380, 8, 75, 25);
    Place(CancelBtn, 380, 38, 75, 25);
    Place(HelpBtn, 380, 68, 75, 25);
    Bevel1->lower();
}

QWidget* TMergeDialogBase::AddPage(const char* name, const char* title, const char* groupName,
                                   const char* groupTitle, std::initializer_list<const char*> items,
                                   const char* editOneName, const char* editTwoName,
                                   QGroupBox*& group, QLineEdit*& editOne, QLineEdit*& editTwo,
                                   int at)
{
    auto* page = new QWidget(pgcDiffs);
    page->setObjectName(QLatin1String(name));
    group = MakeGroup(page, groupName, groupTitle, items, 320);
    group->setGeometry(8, 8, 320, group->height());
    int top = 16 + group->height();
    const std::pair<const char*, QLineEdit**> sides[] = {{editOneName, &editOne},
                                                         {editTwoName, &editTwo}};
    for (const auto& [editName, edit] : sides) {
        if (!editName)
            continue;
        *edit = new QLineEdit(page);
        (*edit)->setObjectName(QLatin1String(editName));
        (*edit)->setReadOnly(true);
        (*edit)->setGeometry(8, top, 150, 21);
        top += 26;
    }
    pgcDiffs->insertTab(at, page, QLatin1String(title));
    return page;
}

bool TMergeDialogBase::IsTabShown(QWidget* page) const
{
    const int index = pgcDiffs->indexOf(page);
    return index >= 0 && pgcDiffs->isTabVisible(index);
}

int TMergeDialogBase::CheckedItem(const QGroupBox& group)
{
    const auto items = group.findChildren<QRadioButton*>();
    for (qsizetype i = 0; i < items.size(); ++i)
        if (items[i]->isChecked())
            return static_cast<int>(i);
    return -1;
}

void TMergeDialogBase::CheckItem(QGroupBox& group, int index)
{
    const auto items = group.findChildren<QRadioButton*>();
    if (index >= 0 && index < items.size())
        items[index]->setChecked(true);
}

void TMergeDialogBase::ShowTab(QWidget* page, bool shown)
{
    pgcDiffs->setTabVisible(pgcDiffs->indexOf(page), shown);
}

void TMergeDialogBase::HideAllTabs()
{
    for (int i = 0; i < pgcDiffs->count(); ++i)
        pgcDiffs->setTabVisible(i, false);
}

void TMergeDialogBase::ShowWaves(const unitUnitWave& one, const unitUnitWave& two)
{
    // Filling and selecting the record's waves is not the user's choice: OK stays disabled.
    const QSignalBlocker blockOne(cboOne);
    const QSignalBlocker blockTwo(cboTwo);
    std::vector<WaveChoice> list;
    if (WaveListSource* source = FindService<WaveListSource>())
        source->FillWaveList(list, waveListAll);
    FillWaveComboItems(*cboOne, list, -1);
    FillWaveComboItems(*cboTwo, list, -1);
    FillWaveCombo(one, *cboOne);
    FillWaveCombo(two, *cboTwo);
    HideAllTabs();
    OKBtn->setEnabled(false);
}

bool TMergeDialogBase::ReadWaves(unitUnitWave& one, unitUnitWave& two) const
{
    bool ok = true;
    ReadWaveCombo(one, ok, *cboOne, oneLabel);
    ReadWaveCombo(two, ok, *cboTwo, twoLabel);
    return ok && one.GetUnitWave() && two.GetUnitWave();
}

void TMergeDialogBase::EvOnChangeUnitWave()
{
    if (cboOne->currentIndex() < 0 || cboTwo->currentIndex() < 0)
        return;
    if (cboOne->currentIndex() == cboTwo->currentIndex()) {
        OKBtn->setEnabled(false);
        HideAllTabs();
        TGuiMessages::ShowInputError(SameWavesMessage);
        return;
    }
    unitUnitWave one;
    unitUnitWave two;
    if (!ReadWaves(one, two))
        return;
    OKBtn->setEnabled(true);
    const TUnitWave& w1 = *one.GetUnitWave();
    const TUnitWave& w2 = *two.GetUnitWave();
    CompareMore(w1, w2);

    const int32_t f1 = w1.GetSampleFreq();
    const int32_t f2 = w2.GetSampleFreq();
    ShowTab(tsFrequency, f1 != f2);
    if (f1 != f2) {
        editFreqOne->setText(Latin1(unitFreq(f1 / 1000 * 1000, EHKHZ).ToText()));
        editFreqTwo->setText(Latin1(unitFreq(f2 / 1000 * 1000, EHKHZ).ToText()));
        const int32_t higher = std::max(f1, f2);
        const auto found =
            std::find(kWaveFileFrequencies.begin(), kWaveFileFrequencies.end(), higher);
        lbFreq->setCurrentRow(found == kWaveFileFrequencies.end()
                                  ? 0
                                  : static_cast<int>(found - kWaveFileFrequencies.begin()));
    }

    const bool bitsDiffer = w1.GetBytesPSample() != w2.GetBytesPSample();
    ShowTab(tsBits, bitsDiffer);
    if (bitsDiffer) {
        CheckItem(*rgrBits, 1);
        editBitsOne->setText(Latin1(BitsText(w1.GetBytesPSample())));
        editBitsTwo->setText(Latin1(BitsText(w2.GetBytesPSample())));
    }

    const bool displayDiffers = !(DisplayOf(w1) == DisplayOf(w2));
    ShowTab(tsDisplay, displayDiffers);
    if (displayDiffers)
        CheckItem(*rgrDisplay, 0);
}

void TMergeDialogBase::SetRecordWaves(unitUnitWave& one, unitUnitWave& two)
{
    recordOne = &one;
    recordTwo = &two;
}

void TMergeDialogBase::ShowOwnPage(bool differ, int item, const QString& one, const QString& two)
{
    ShowTab(tsOwn, differ);
    if (!differ)
        return;
    CheckItem(*rgrOwn, item);
    editOwnOne->setText(one);
    editOwnTwo->setText(two);
}

void TMergeDialogBase::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        ShowWaves(*recordOne, *recordTwo);
    TOKHelpRightDlg::showEvent(event);
}

void TMergeDialogBase::accept()
{
    // OK is enabled only for two different waves; a wave closed meanwhile keeps the dialog
    // open rather than handing on a reference without its document.
    if (!OKBtn->isEnabled() || !ReadWaves(*recordOne, *recordTwo))
        return;
    ReadMore(*recordOne->GetUnitWave(), *recordTwo->GetUnitWave());
    TOKHelpRightDlg::accept();
}

void TMergeDialogBase::ReadShared(const TUnitWave& one, const TUnitWave& two, int32_t& freq,
                                  int16_t& bytes, TWaveViewProps& waveProps,
                                  TVoldViewProps& voldProps, uint8_t& kind) const
{
    if (IsTabShown(tsFrequency)) {
        const int row = lbFreq->currentRow();
        if (row >= 0 && row < static_cast<int>(kWaveFileFrequencies.size()))
            freq = kWaveFileFrequencies[static_cast<size_t>(row)];
    } else {
        freq = one.GetSampleFreq();
    }
    bytes = IsTabShown(tsBits) ? static_cast<int16_t>(CheckedItem(*rgrBits) + 1)
                               : one.GetBytesPSample();
    const WindowDisplay display = DisplayOf(CheckedItem(*rgrDisplay) == 0 ? one : two);
    waveProps = display.waveProps;
    voldProps = display.voldProps;
    kind = display.kind;
}

// ---- Merge horizontally ------------------------------------------------------------------------

TDlgMergeHorProps::TDlgMergeHorProps(QWidget* owner, const TMergeHorProps& record)
    : TMergeDialogBase(owner, "Merge Horizontally", HelpContextMergeHor, "First", "Last"),
      props(record)
{
    setObjectName(QStringLiteral("DlgMergeHorProps"));
    SetRecordWaves(props.first, props.last);
    tsOwn = AddPage("tsMonoStereo", "Mono/Stereo", "rgrMonoStereo", "", {"Mono", "Stereo"},
                    "editMSFirst", "editMSLast", rgrOwn, editOwnOne, editOwnTwo, 0);
}

void TDlgMergeHorProps::CompareMore(const TUnitWave& one, const TUnitWave& two)
{
    auto text = [](const TUnitWave& wave) {
        return wave.GetMonoStereo() == 1 ? QStringLiteral("Mono") : QStringLiteral("Stereo");
    };
    ShowOwnPage(one.GetMonoStereo() != two.GetMonoStereo(), 1, text(one), text(two));
}

void TDlgMergeHorProps::ReadMore(const TUnitWave& one, const TUnitWave& two)
{
    props.MonoStereo =
        IsTabShown(tsOwn) ? static_cast<int16_t>(CheckedItem(*rgrOwn) + 1) : one.GetMonoStereo();
    ReadShared(one, two, props);
}

// ---- Merge vertically --------------------------------------------------------------------------

TDlgMergeVertProps::TDlgMergeVertProps(QWidget* owner, const TMergeVertProps& record)
    : TMergeDialogBase(owner, "Merge Vertically", HelpContextMergeVert, "Left", "Right"),
      props(record)
{
    setObjectName(QStringLiteral("DlgMergeVertProps"));
    SetRecordWaves(props.left, props.right);
    tsOwn = AddPage("tsLength", "Length", "rgrMakeLengthsEqual", "Make Lengths Equal",
                    {"Add Silence at the begin of the shortest wave",
                     "Add Silence at the end of the shortest wave", "Stretch the shortest wave",
                     "Stretch the longest wave"},
                    "editLengthLeft", "editLengthRight", rgrOwn, editOwnOne, editOwnTwo, 0);
}

void TDlgMergeVertProps::CompareMore(const TUnitWave& one, const TUnitWave& two)
{
    const double left = Seconds(one);
    const double right = Seconds(two);
    ShowOwnPage(left != right, TMergeVertProps::silenceAtEnd, Latin1(unitTime(left, EHS).ToText()),
                Latin1(unitTime(right, EHS).ToText()));
}

void TDlgMergeVertProps::ReadMore(const TUnitWave& one, const TUnitWave& two)
{
    props.makeLengthsEqual = IsTabShown(tsOwn) ? static_cast<uint8_t>(CheckedItem(*rgrOwn))
                                               : uint8_t{TMergeVertProps::silenceAtBegin};
    ReadShared(one, two, props);
}

} // namespace kelvorn
