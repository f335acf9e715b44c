#include "waveui/dialogs/WaveFilePropDialog.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

#include <algorithm>

namespace kelvorn {

namespace {

constexpr const char* kStandardTexts[] = {"5 kHz",  "11 kHz", "22 kHz",
                                          "44 kHz", "88 kHz", "176 kHz"};

// A group box holding two exclusive radio buttons stacked in it.
QGroupBox* MakeTwoChoices(QWidget* parent, const char* name, const QString& caption,
                          const char* first, const char* second, QRadioButton*& one,
                          QRadioButton*& two)
{
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    one = new QRadioButton(QLatin1String(first), box);
    two = new QRadioButton(QLatin1String(second), box);
    auto* group = new QButtonGroup(box);
    group->addButton(one, 0);
    group->addButton(two, 1);
    // Inside the box's frame.
    one->setGeometry(12, 20, 80, 17);
    two->setGeometry(12, 42, 80, 17);
    return box;
}

} // namespace

TDlgWaveFileProp::TDlgWaveFileProp(QWidget* owner, const TWaveFileProps& props)
    : TOKHelpRightDlg(owner), props(props)
{
    setObjectName(QStringLiteral("DlgWaveFileProp"));
    setWindowTitle(QStringLiteral("Wave Properties"));
    SetHelpContext(HelpContextWaveProps);
    SetClientSize(316, 180);
    const Anchors topRight = Anchors(Anchor::Top) | Anchor::Right;
    Place(Bevel1, 8, 8, 216, 164);
    Place(OKBtn, 233, 8, 75, 25, topRight);
    Place(CancelBtn, 233, 38, 75, 25, topRight);
    Place(HelpBtn, 233, 68, 75, 25, topRight);

    lblSampleFreq = new QLabel(QStringLiteral("Sample Frequency:"), this);
    lblSampleFreq->setObjectName(QStringLiteral("lblSampleFreq"));
    lbSampleFreq = new QListWidget(this);
    lbSampleFreq->setObjectName(QStringLiteral("lbSampleFreq"));
    lblSampleFreq->setBuddy(lbSampleFreq);
    grpWaveValues = MakeTwoChoices(this, "grpWaveValues", QStringLiteral("Wave Values"), "8 Bits",
                                   "16 Bits", rbBits8, rbBits16);
    grpMonoStereo =
        MakeTwoChoices(this, "grpMonoStereo", QString(), "Mono", "Stereo", rbMono, rbStereo);
    // The caption ends before the groups, and the list holds the widest frequency a file can
    // have ("2147483647 Hz").
    Place(lblSampleFreq, 16, 16, 100, 16);
    Place(lbSampleFreq, 16, 34, 96, 130);
    Place(grpWaveValues, 120, 16, 96, 70);
    Place(grpMonoStereo, 120, 94, 96, 70);
    FillFrequencies();
}

QString TDlgWaveFileProp::ExtraFrequencyText(int32_t sampleFreq)
{
    return QString::number(sampleFreq) + QStringLiteral(" Hz");
}

void TDlgWaveFileProp::FillFrequencies()
{
    lbSampleFreq->clear();
    std::vector<std::pair<int32_t, QString>> items;
    for (size_t i = 0; i < kWaveFileFrequencies.size(); ++i)
        items.emplace_back(kWaveFileFrequencies[i], QLatin1String(kStandardTexts[i]));
    const bool standard = std::find(kWaveFileFrequencies.begin(), kWaveFileFrequencies.end(),
                                    props.SampleFreq) != kWaveFileFrequencies.end();
    if (!standard) {
        // In frequency order among the others, so the list still reads from low to high.
        auto at = std::find_if(items.begin(), items.end(),
                               [&](const auto& item) { return item.first > props.SampleFreq; });
        items.insert(at, {props.SampleFreq, ExtraFrequencyText(props.SampleFreq)});
    }
    for (const auto& [freq, text] : items) {
        auto* item = new QListWidgetItem(text, lbSampleFreq);
        item->setData(Qt::UserRole, freq);
    }
}

int32_t TDlgWaveFileProp::FrequencyOfRow(int row) const
{
    const QListWidgetItem* item = lbSampleFreq->item(row);
    return item ? item->data(Qt::UserRole).toInt() : props.SampleFreq;
}

void TDlgWaveFileProp::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        (props.BytesPSample == 1 ? rbBits8 : rbBits16)->setChecked(true);
        for (int row = 0; row < lbSampleFreq->count(); ++row)
            if (FrequencyOfRow(row) == props.SampleFreq)
                lbSampleFreq->setCurrentRow(row);
        (props.MonoStereo == 1 ? rbMono : rbStereo)->setChecked(true);
    }
    TOKHelpRightDlg::showEvent(event);
}

void TDlgWaveFileProp::accept()
{
    props.BytesPSample = rbBits8->isChecked() ? 1 : 2;
    props.SampleFreq = FrequencyOfRow(lbSampleFreq->currentRow());
    props.MonoStereo = rbMono->isChecked() ? 1 : 2;
    TOKHelpRightDlg::accept();
}

} // namespace kelvorn
