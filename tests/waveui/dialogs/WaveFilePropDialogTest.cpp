#include "waveui/dialogs/WaveFilePropDialog.h"
#include "platform/test/ScriptedDialogs.h"
#include "shell/base/QtModalDialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace kelvorn;

namespace {

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

INSTANTIATE_TEST_SUITE_P(
    Records, WaveFilePropShowTest,
    ::testing::Values(
        ShowCase{"Default", TWaveFileProps(2, 44100, 2), kStandard, 3, false, false},
        ShowCase{"Lowest", TWaveFileProps(1, 5512, 1), kStandard, 0, true, true},
        ShowCase{"Highest", TWaveFileProps(2, 176128, 2), kStandard, 5, false, false},
        ShowCase{"Eleven", TWaveFileProps(1, 11025, 2), kStandard, 1, false, true},
        // A frequency the list lacks is one more item, in frequency order, and is kept.
        ShowCase{"Studio", TWaveFileProps(2, 48000, 2), With(kStandard, 4, "48000 Hz"), 4, false,
                 false},
        ShowCase{"BelowAll", TWaveFileProps(1, 4000, 1), With(kStandard, 0, "4000 Hz"), 0, true,
                 true},
        ShowCase{"AboveAll", TWaveFileProps(2, 192000, 2), With(kStandard, 6, "192000 Hz"), 6,
                 false, false},
        // 176400 is not the list's 176128.
        ShowCase{"CdTimesFour", TWaveFileProps(2, 176400, 2), With(kStandard, 6, "176400 Hz"), 6,
                 false, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Byte counts other than 1 show "16 Bits", and confirming stores 2; other channel counts
// likewise show "Stereo" and store 2.
TEST(WaveFilePropDialog, OddCountsShowAndStoreTheLargerChoice)
{
    for (int16_t odd : {int16_t{0}, int16_t{3}, int16_t{-1}}) {
        ScriptedDialogs dialogs;
        TDlgWaveFileProp dialog(nullptr, TWaveFileProps(odd, 22050, odd));
        dialogs.When("TDlgWaveFileProp", DialogResult::Accepted);
        ASSERT_EQ(RunDialog(dialog), DialogResult::Accepted);
        EXPECT_EQ(dialog.GetProps(), TWaveFileProps(2, 22050, 2)) << odd;
    }
}

struct ChoiceCase
{
    int row;
    int32_t expected;
};

class WaveFilePropChoiceTest : public ::testing::TestWithParam<ChoiceCase>
{
};

TEST_P(WaveFilePropChoiceTest, EachItemStoresItsFrequency)
{
    ScriptedDialogs dialogs;
    TDlgWaveFileProp dialog(nullptr, TWaveFileProps(2, 48000, 2));
    dialogs.When(
        "TDlgWaveFileProp",
        [&](ModalDialog&) {
            dialog.lbSampleFreq->setCurrentRow(GetParam().row);
            dialog.rbMono->setChecked(true);
            dialog.rbBits8->setChecked(true);
        },
        DialogResult::Accepted);
    ASSERT_EQ(RunDialog(dialog), DialogResult::Accepted);
    EXPECT_EQ(dialog.GetProps(), TWaveFileProps(1, GetParam().expected, 1));
}

// The 48000 record puts its own item at row 4, so the rows after it move down by one.
INSTANTIATE_TEST_SUITE_P(Rows, WaveFilePropChoiceTest,
                         ::testing::Values(ChoiceCase{0, 5512}, ChoiceCase{1, 11025},
                                           ChoiceCase{2, 22050}, ChoiceCase{3, 44100},
                                           ChoiceCase{4, 48000}, ChoiceCase{5, 88200},
                                           ChoiceCase{6, 176128},
                                           // No item chosen: the frequency stays.
                                           ChoiceCase{-1, 48000}));

TEST(WaveFilePropDialog, FormTexts)
{
    TDlgWaveFileProp dialog(nullptr, TWaveFileProps(2, 44100, 2));
    EXPECT_EQ(dialog.windowTitle(), "Wave Properties");
    EXPECT_EQ(dialog.HelpContext(), 2);
    EXPECT_EQ(dialog.lblSampleFreq->text(), "Sample Frequency:");
    EXPECT_EQ(dialog.grpWaveValues->title(), "Wave Values");
    EXPECT_EQ(dialog.grpMonoStereo->title(), "");
    EXPECT_EQ(dialog.rbBits8->text(), "8 Bits");
    EXPECT_EQ(dialog.rbBits16->text(), "16 Bits");
    EXPECT_EQ(dialog.rbMono->text(), "Mono");
    EXPECT_EQ(dialog.rbStereo->text(), "Stereo");
    ASSERT_NE(dialog.HelpBtn, nullptr);
}

} // namespace
