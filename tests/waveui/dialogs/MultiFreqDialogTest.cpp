#include "waveui/dialogs/MultiFreqDialog.h"

#include "support/WaveWindows.h"

#include <QCheckBox>
#include <QPushButton>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

constexpr MFreqField kFields[] = {MFreqField::StartVolume, MFreqField::Frequency,
                                  MFreqField::StartAngle, MFreqField::VolumeFactor,
                                  MFreqField::VolumeFactorAtTime};

TMFreqBrowseRecord Partial(double volume, double period, double angle, double factor,
                           double factorTime)
{
    TMFreqBrowseRecord partial;
    partial.startVolume.SetValue(volume);
    partial.frequency.SetValue(period);
    partial.startAngle.SetValue(angle);
    partial.volumeFactor.SetValue(factor);
    partial.volumeFactorAtTime.SetValue(factorTime);
    return partial;
}

/// A record whose list holds partials, the cursor on index.
TMFreqProps WithPartials(const std::vector<TMFreqBrowseRecord>& partials, int32_t index)
{
    TMFreqProps props;
    std::unique_ptr<TBrowseRecord> first = partials.front().Clone();
    TBrowseRecord* at = first.get();
    for (size_t i = 1; i < partials.size(); ++i)
        at = at->InsertAfter(partials[i].Clone());
    props.partials.SetList(std::move(first), index);
    return props;
}

/// The five boxes' texts, of the dialog or of a partial.
std::vector<std::string> Texts(const TDlgMFreqProps& dialog)
{
    std::vector<std::string> texts;
    for (MFreqField field : kFields)
        texts.push_back(dialog.PartialEdit(field)->text().toStdString());
    return texts;
}

std::vector<std::string> TextsOf(const TMFreqBrowseRecord& partial)
{
    std::vector<std::string> texts;
    for (MFreqField field : kFields)
        texts.push_back(partial.Field(field).ToText());
    return texts;
}

/// "cursor/count" and which of First, Previous, Next, Last, Delete and Paste are enabled, as
/// a word of six letters ("-" for disabled).
std::string State(const TDlgMFreqProps& dialog)
{
    std::string state = dialog.editCursor->text().toStdString() + "/" +
                        dialog.editCount->text().toStdString() + " ";
    for (const auto& [button, letter] : {std::pair{dialog.btnFirst, 'F'},
                                         {dialog.btnPrevious, 'P'},
                                         {dialog.btnNext, 'N'},
                                         {dialog.btnLast, 'L'},
                                         {dialog.btnDelete, 'D'},
                                         {dialog.btnPaste, 'V'}})
        state += button->isEnabled() ? letter : '-';
    return state;
}

using MultiFreqDialogTest = DialogTest;

TEST_F(MultiFreqDialogTest, ANewRecordShowsOneDefaultPartialWithOnlyTheEditButtons)
{
    TDlgMFreqProps dialog(nullptr, TMFreqProps());
    Run(
        dialog,
        [&] {
            EXPECT_EQ(State(dialog), "1/1 ------");
            EXPECT_EQ(Texts(dialog), TextsOf(TMFreqBrowseRecord()));
            EXPECT_EQ(Shown(dialog, "optSinus"), "on");
            EXPECT_EQ(Shown(dialog, "editLength"), TMFreqProps().length.ToText());
            EXPECT_TRUE(dialog.btnInsert->isEnabled());
            EXPECT_TRUE(dialog.btnAppend->isEnabled());
            EXPECT_TRUE(dialog.btnCopy->isEnabled());
            EXPECT_TRUE(dialog.btnClear->isEnabled());
            EXPECT_TRUE(dialog.editCount->isReadOnly());
        },
        DialogResult::Rejected);
    EXPECT_EQ(dialog.windowTitle(), "Multi Frequency");
    EXPECT_EQ(dialog.HelpContext(), 37);
}

TEST_F(MultiFreqDialogTest, BrowsingShowsEachPartialAndStoresTheEditedOne)
{
    const std::vector<TMFreqBrowseRecord> list{Partial(0.1, 0.01, 0, 0.5, 1),
                                               Partial(0.2, 0.002, 0.25, 0.3, 2),
                                               Partial(0.3, 0.0005, 0.75, 0.9, 3)};
    TDlgMFreqProps dialog(nullptr, WithPartials(list, 1));
    Run(
        dialog,
        [&] {
            EXPECT_EQ(State(dialog), "2/3 FPNLD-");
            EXPECT_EQ(Texts(dialog), TextsOf(list[1]));
            dialog.btnFirst->click();
            EXPECT_EQ(State(dialog), "1/3 --NLD-");
            EXPECT_EQ(Texts(dialog), TextsOf(list[0]));
            dialog.btnLast->click();
            EXPECT_EQ(State(dialog), "3/3 FP--D-");
            EXPECT_EQ(Texts(dialog), TextsOf(list[2]));
            dialog.btnPrevious->click();
            EXPECT_EQ(Texts(dialog), TextsOf(list[1]));
            // Edited, then left: the edit is stored in the list.
            dialog.PartialEdit(MFreqField::StartVolume)->setText("40 %");
            dialog.btnNext->click();
            EXPECT_EQ(State(dialog), "3/3 FP--D-");
            dialog.btnPrevious->click();
            EXPECT_EQ(Texts(dialog)[0], "40 %");
        },
        DialogResult::Accepted);
    const TMFreqProps out = dialog.GetProps();
    ASSERT_EQ(out.partials.GetPartialCount(), 3);
    EXPECT_EQ(out.partials.GetCursor(), 1);
    EXPECT_DOUBLE_EQ(out.partials.GetPartial(1)->startVolume.GetValue(), 0.4);
    EXPECT_EQ(TextsOf(*out.partials.GetPartial(0)), TextsOf(list[0]));
    EXPECT_EQ(TextsOf(*out.partials.GetPartial(2)), TextsOf(list[2]));
}

TEST_F(MultiFreqDialogTest, WaveFormNeedsAChosenWave)
{
    TDlgMFreqProps dialog(nullptr, TMFreqProps());
    messages.Expect();
    Run(
        dialog,
        [&] {
            Set(dialog, "optWaveForm", "on");
            Set(dialog, "cboWaveForm", "");
        },
        DialogResult::Accepted);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text, "In Wave Form: You have to select a Wave");

    TDlgMFreqProps chosen(nullptr, TMFreqProps());
    Run(
        chosen, [&] { Set(chosen, "cboWaveForm", "Wave 2"); }, DialogResult::Accepted);
    // Picking a wave turns the wave form on.
    EXPECT_EQ(chosen.GetProps().use, TMFreqProps::useWaveForm);
    EXPECT_EQ(chosen.GetProps().waveForm.GetCaption(), "Wave 2");
}

} // namespace
