
#include "waveui/dialogs/SplitMergeDialogs.h"
#include "general/values/ValueUnits.h"
#include "support/WaveWindows.h"
#include "waveui/dialogs/WaveFilePropDialog.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {
// ---- Split -----------------------------------------------------------------------------------

class SplitHorDialogTest : public ::testing::TestWithParam<int>
{
};

TEST_P(SplitHorDialogTest, ShowsTheRecordsChoiceAndReadsTheNewOne)
{
    ScriptedDialogs dialogs;
    TSplitHorProps record;
    record.result = static_cast<uint8_t>(GetParam());
    TDlgSplitHorProps dialog(nullptr, record);
    const int next = (GetParam() + 1) % 3;
    dialogs.When(
        "TDlgSplitHorProps",
        [&](ModalDialog&) {
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(dialog.resultItems[size_t(i)]->isChecked(), i == GetParam());
            dialog.resultItems[size_t(next)]->setChecked(true);
        },
        DialogResult::Accepted);
    ASSERT_EQ(RunDialog(dialog), DialogResult::Accepted);
    EXPECT_EQ(dialog.GetProps().result, next);
    EXPECT_EQ(dialog.windowTitle(), "Split Horizontally");
    EXPECT_EQ(dialog.HelpContext(), 38);
    EXPECT_EQ(dialog.resultItems[1]->text(), "Two parts, both inclusive selected part");
    EXPECT_EQ(dialog.resultItems[2]->text(), "Two parts, both exclusive selected part");
}

INSTANTIATE_TEST_SUITE_P(Choices, SplitHorDialogTest, ::testing::Values(0, 1, 2));

// ---- Merge -----------------------------------------------------------------------------------

struct Format
{
    int16_t channels = 1;
    int32_t freq = 44100;
    int16_t bytes = 2;
    int32_t values = 100;
    uint8_t kind = mergeWindWave;
};

class MergeDialogTest : public WaveWindowTest
{
protected:
    MergeDialogTest() { list.standard = false; }
    ~MergeDialogTest() override
    {
        EXPECT_TRUE(dialogs.Unexpected().empty());
        EXPECT_EQ(dialogs.Pending(), 0u);
    }

    TMDIChildWave* OpenWave(const std::string& name, const Format& f)
    {
        SoundPtr sound = Flat(f.channels, f.values, 7, f.freq);
        if (f.bytes == 1)
            sound = f.channels == 1
                        ? SoundPtr(std::make_shared<MonoSound>(
                              CreateWaveCopy(nullptr, sound->GetLeftWave()), f.freq, int16_t{1}))
                        : SoundPtr(std::make_shared<StereoSound>(
                              CreateWaveCopy(nullptr, sound->GetLeftWave()),
                              CreateWaveCopy(nullptr, sound->GetRightWave()), f.freq, int16_t{1}));
        TMDIChildWave* window = Open(sound, 1, 300, 100, name);
        window->SetWaveWindKind(f.kind);
        list.extra.push_back({name, &window->GetUnitWave()});
        return window;
    }

    static void Pick(QComboBox* combo, const char* text)
    {
        const int index = combo->findText(QString::fromLatin1(text));
        ASSERT_GE(index, 0) << text;
        combo->setCurrentIndex(index);
    }

    static std::vector<std::string> ShownTabs(const TMergeDialogBase& dialog)
    {
        std::vector<std::string> tabs;
        for (int i = 0; i < dialog.pgcDiffs->count(); ++i)
            if (dialog.pgcDiffs->isTabVisible(i))
                tabs.push_back(dialog.pgcDiffs->tabText(i).toStdString());
        return tabs;
    }

    static std::string Checked(const QGroupBox* group)
    {
        for (QRadioButton* item : group->findChildren<QRadioButton*>())
            if (item->isChecked())
                return item->text().toStdString();
        return "";
    }

    /// Runs dialog as className, acts, then presses answer.
    DialogResult Run(QDialog& dialog, const char* className, std::function<void()> act,
                     DialogResult answer = DialogResult::Accepted)
    {
        dialogs.When(
            className, [&](ModalDialog&) { act(); }, answer);
        return RunDialog(dialog);
    }

    ScriptedDialogs dialogs;
    FixedWaveList list; // the open waves of the test
};

struct HorCase
{
    const char* name;
    Format first;
    Format last;
    std::vector<std::string> tabs;
    int16_t channels;
    int32_t freq;
    int16_t bytes;
    uint8_t kind;
};

class MergeHorDialogTest : public MergeDialogTest, public ::testing::WithParamInterface<HorCase>
{
};

TEST_P(MergeHorDialogTest, ShowsTheDifferencesAndTakesTheRestFromTheFirst)
{
    const HorCase& c = GetParam();
    OpenWave("A", c.first);
    OpenWave("B", c.last);
    TDlgMergeHorProps dialog(nullptr, TMergeHorProps());
    Run(dialog, "TDlgMergeHorProps", [&] {
        EXPECT_FALSE(dialog.OKBtn->isEnabled());
        EXPECT_TRUE(ShownTabs(dialog).empty());
        Pick(dialog.cboFirst(), "A");
        EXPECT_FALSE(dialog.OKBtn->isEnabled()); // the last list is still empty
        Pick(dialog.cboLast(), "B");
        EXPECT_TRUE(dialog.OKBtn->isEnabled());
        EXPECT_EQ(ShownTabs(dialog), c.tabs);
    });
    const TMergeHorProps out = dialog.GetProps();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(out.first.GetCaption(), "A");
    EXPECT_EQ(out.last.GetCaption(), "B");
    EXPECT_EQ(out.MonoStereo, c.channels);
    EXPECT_EQ(out.SampleFreq, c.freq);
    EXPECT_EQ(out.BytesPSample, c.bytes);
    EXPECT_EQ(out.waveWindKind, c.kind);
    EXPECT_EQ(list.modes, std::vector<int>{waveListAll});
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Pairs, MergeHorDialogTest, ::testing::Values(
    HorCase{"Alike", {}, {}, {}, 1, 44100, 2, mergeWindWave},
    HorCase{"MonoStereo", {1}, {2}, {"Mono/Stereo"}, 2, 44100, 2, mergeWindWave},
    HorCase{"StereoMono", {2}, {1}, {"Mono/Stereo"}, 2, 44100, 2, mergeWindWave},
    // 48000 Hz is not one of the list's six: the list selects its first item.
    HorCase{"FreqNotListed", {1, 22050}, {1, 48000}, {"Frequency"}, 1, 5512, 2, mergeWindWave},
    HorCase{"FreqListed", {1, 88200}, {1, 11025}, {"Frequency"}, 1, 88200, 2, mergeWindWave},
    HorCase{"Bits", {1, 44100, 1}, {1, 44100, 2}, {"Bits"}, 1, 44100, 2, mergeWindWave},
    HorCase{"AllAtOnce", {2, 22050, 1, 100, mergeWindVolume}, {1, 44100, 2},
            {"Mono/Stereo", "Frequency", "Bits", "Display"}, 2, 44100, 2, mergeWindVolume}),
    CaseName);
// clang-format on

TEST_F(MergeDialogTest, TheSameWaveTwiceIsRefusedAndHidesEveryTab)
{
    OpenWave("A", {1, 22050});
    OpenWave("B", {2, 44100});
    TDlgMergeHorProps dialog(nullptr, TMergeHorProps());
    messages.Expect();
    const DialogResult result = Run(dialog, "TDlgMergeHorProps", [&] {
        Pick(dialog.cboFirst(), "A");
        Pick(dialog.cboLast(), "B");
        EXPECT_EQ(ShownTabs(dialog).size(), 2u);
        Pick(dialog.cboLast(), "A");
        EXPECT_FALSE(dialog.OKBtn->isEnabled());
        EXPECT_TRUE(ShownTabs(dialog).empty());
    });
    // OK is disabled, so pressing it cannot close the dialog.
    EXPECT_EQ(result, DialogResult::Rejected);
    ExpectInputErrors(messages, {"The chosen Waves must be different"});
}

std::vector<std::string> ListTexts(const TDlgWaveFileProp& dialog)
{
    std::vector<std::string> texts;
    for (int row = 0; row < dialog.lbSampleFreq->count(); ++row)
        texts.push_back(dialog.lbSampleFreq->item(row)->text().toStdString());
    return texts;
}

struct ShowCase
{
    const char* name;
    TWaveFileProps props;
    std::vector<std::string> items;
    int row;
    bool bits8;
    bool mono;
};

const std::vector<std::string> kStandard{"5 kHz",  "11 kHz", "22 kHz",
                                         "44 kHz", "88 kHz", "176 kHz"};

class WaveFilePropShowTest : public ::testing::TestWithParam<ShowCase>
{
};

// Shows the record, confirms without touching anything: the record must come back as it was.
TEST_P(WaveFilePropShowTest, ShowsTheRecordAndConfirmingKeepsIt)
{
    const ShowCase& c = GetParam();
    ScriptedDialogs dialogs;
    TDlgWaveFileProp dialog(nullptr, c.props);
    dialogs.When(
        "TDlgWaveFileProp",
        [&](ModalDialog&) {
            EXPECT_EQ(ListTexts(dialog), c.items);
            EXPECT_EQ(dialog.lbSampleFreq->currentRow(), c.row);
            EXPECT_EQ(dialog.rbBits8->isChecked(), c.bits8);
            EXPECT_EQ(dialog.rbBits16->isChecked(), !c.bits8);
            EXPECT_EQ(dialog.rbMono->isChecked(), c.mono);
            EXPECT_EQ(dialog.rbStereo->isChecked(), !c.mono);
        },
        DialogResult::Accepted);
    ASSERT_EQ(RunDialog(dialog), DialogResult::Accepted);
    const TWaveFileProps out = dialog.GetProps();
    EXPECT_EQ(out.SampleFreq, c.props.SampleFreq);
    EXPECT_EQ(out.MonoStereo, c.mono ? 1 : 2);
    EXPECT_EQ(out.BytesPSample, c.bits8 ? 1 : 2);
    EXPECT_TRUE(dialogs.Unexpected().empty());
}

std::vector<std::string> With(std::vector<std::string> items, size_t at, const char* extra)
{
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), extra);
    return items;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Records, WaveFilePropShowTest, ::testing::Values(
    ShowCase{"Default", TWaveFileProps(2, 44100, 2), kStandard, 3, false, false},
    ShowCase{"Lowest", TWaveFileProps(1, 5512, 1), kStandard, 0, true, true},
    ShowCase{"Highest", TWaveFileProps(2, 176128, 2), kStandard, 5, false, false},
    ShowCase{"Eleven", TWaveFileProps(1, 11025, 2), kStandard, 1, false, true},
    // A frequency the list lacks is one more item, in frequency order, and is kept.
    ShowCase{"Studio", TWaveFileProps(2, 48000, 2), With(kStandard, 4, "48000 Hz"), 4, false, false},
    ShowCase{"BelowAll", TWaveFileProps(1, 4000, 1), With(kStandard, 0, "4000 Hz"), 0, true, true},
    ShowCase{"AboveAll", TWaveFileProps(2, 192000, 2), With(kStandard, 6, "192000 Hz"), 6, false, false},
    // 176400 is not the list's 176128.
    ShowCase{"CdTimesFour", TWaveFileProps(2, 176400, 2), With(kStandard, 6, "176400 Hz"), 6, false, false}),
    CaseName);
// clang-format on

} // namespace
