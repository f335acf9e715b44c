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

} // namespace
