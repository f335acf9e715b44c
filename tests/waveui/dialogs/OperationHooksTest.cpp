// What single dialogs do beyond the common table: their own checks, the controls they tie
// together, and the values the wave engine could not take.
#include "OperationDialogSupport.h"

#include "document/wave/UnitWave.h"
#include "waveui/dialogs/ComplexDialogs.h"
#include "waveui/dialogs/EffectDialogs.h"
#include "waveui/dialogs/FilterDialogs.h"
#include "waveui/dialogs/GeneratorDialogs.h"

#include <gtest/gtest.h>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class OperationHooks : public ::testing::Test
{
protected:
    /// Runs dialog, acts, presses OK; answers whether it closed, and checks the boxes shown
    /// against texts (each one expected).
    bool Confirm(TOperationDialog& dialog, const std::string& className, std::function<void()> act,
                 std::vector<std::string> texts = {})
    {
        for (size_t i = 0; i < texts.size(); ++i)
            messages.Expect();
        const DialogResult result = RunScripted(dialogs, dialog, className, [&] {
            act();
            dialog.accept();
        });
        std::vector<std::string> shown;
        for (const ShownMessage& box : messages.Shown()) {
            shown.push_back(box.text);
            EXPECT_EQ(box.caption, "Input Error");
            EXPECT_EQ(box.icon, MsgIcon::Information);
        }
        EXPECT_EQ(shown, texts);
        messages.Clear();
        return result == DialogResult::Accepted;
    }

    FixedWaveList waves;
    ScriptedDialogs dialogs;
    ScriptedMessages messages;
};

TEST_F(OperationHooks, VolumeWhileDrawingOffersOnlyTheConstant)
{
    TDlgVolumeProps dialog(nullptr, true, TVolumeProps());
    EXPECT_FALSE(dialog.Button("optEnvelope")->isEnabled());
    EXPECT_FALSE(dialog.Combo("cboUnitWave")->isEnabled());
    EXPECT_TRUE(dialog.Edit("editVolume")->isEnabled());
    EXPECT_TRUE(Confirm(dialog, "TDlgVolumeProps", [&] { Set(dialog, "editVolume", "200 %"); }));
    EXPECT_EQ(dialog.GetProps().factor.GetValue(), 2.0);
    EXPECT_EQ(dialog.GetProps().kind, TVolumeProps::kindConstant);
}

TEST_F(OperationHooks, AWaveListShowsTheChosenWaveWhenItIsOpen)
{
    TVolumeProps props;
    props.kind = TVolumeProps::kindEnvelope;
    props.envelope.SetCaption("Wave 2");
    TDlgVolumeProps open(nullptr, false, props);
    std::string shown;
    RunScripted(dialogs, open, "TDlgVolumeProps", [&] { shown = Shown(open, "cboUnitWave"); });
    EXPECT_EQ(shown, "Wave 2");
    EXPECT_EQ(waves.modes, std::vector<int>{waveListOthers});

    props.envelope.SetCaption("Closed Wave");
    TDlgVolumeProps closed(nullptr, false, props);
    int index = 0;
    RunScripted(dialogs, closed, "TDlgVolumeProps",
                [&] { index = closed.Combo("cboUnitWave")->currentIndex(); });
    EXPECT_EQ(index, -1);
    // Confirming without a choice names the field.
    EXPECT_FALSE(
        Confirm(closed, "TDlgVolumeProps", [] {}, {"In Envelope: You have to select a Wave"}));
    EXPECT_TRUE(closed.GetProps().envelope.IsEmpty());
}

TEST_F(OperationHooks, MonoOnlyListsOfferTheOtherMonoWaves)
{
    struct Combo
    {
        std::function<TOperationDialog*()> make;
        const char* name;
        int count;
    };
    const Combo combos[] = {
        {[] { return new TDlgBalanceProps(nullptr, {}); }, "cboDirEnvelope", 1},
        {[] { return new TDlgPerEchoProps(nullptr, {}); }, "cboTimeEnvelope", 1},
        {[] { return new TDlgPerEchoProps(nullptr, {}); }, "cboVolumeEnvelope", 2},
        {[] { return new TDlgRandomEchoProps(nullptr, {}); }, "cboTimeEnvelope", 1},
        {[] { return new TDlgRandomEchoProps(nullptr, {}); }, "cboTempoEnvelope", 1},
        {[] { return new TDlgTempoPitchProps(nullptr, {}); }, "cboFreqEnvelope", 1},
        {[] { return new TDlgTempoPitchProps(nullptr, {}); }, "cboSpeedEnvelope", 1},
        {[] { return new TDlgTempoPitchProps(nullptr, {}); }, "cboLengthSameAs", 2},
        {[] { return new TDlgRollOutProps(nullptr, {}); }, "cboSpeedEnvelope", 1},
        {[] { return new TDlgResNotchProps(nullptr, {}); }, "cboWidthEnvelope", 2},
    };
    for (const Combo& combo : combos) {
        std::unique_ptr<TOperationDialog> dialog(combo.make());
        dialog->show();
        EXPECT_EQ(dialog->Combo(combo.name)->count(), combo.count)
            << dialog->metaObject()->className() << " " << combo.name;
        dialog->hide();
    }
}

TEST_F(OperationHooks, RotateRefusesATimeLongerThanTheRangeWhateverTheKind)
{
    TDlgRotateProps longTime(nullptr, TRotateProps(), 1.0);
    EXPECT_FALSE(Confirm(longTime, "TDlgRotateProps",
                         [&] {
                             Set(longTime, "editTime", "2 s");
                             Set(longTime, "optFactor", "on");
                         },
                         {"In Time: Time may not be longer than the time of the sound."}));

    TDlgRotateProps backwards(nullptr, TRotateProps(), 1.0);
    EXPECT_TRUE(Confirm(backwards, "TDlgRotateProps", [&] { Set(backwards, "editTime", "-1 s"); }));
    // Kept: the time option writes 0 and the factor option 1.
    EXPECT_EQ(backwards.GetProps().kind, 0);
    EXPECT_EQ(backwards.GetProps().time.GetValue(), -1.0);

    TDlgRotateProps factor(nullptr, TRotateProps(), 1.0);
    EXPECT_TRUE(Confirm(factor, "TDlgRotateProps", [&] { Set(factor, "editFactor", "0.3"); }));
    EXPECT_EQ(factor.GetProps().kind, 1);
}

TEST_F(OperationHooks, BlockHeightsGiveLevelsOf65572)
{
    for (auto [typedText, levels] : {std::pair{"3277 $", 20}, {"6554 $", 10}, {"32767 $", 2}}) {
        const char* typed = typedText; // a lambda cannot capture a structured binding in clang 14
        TDlgBlockProps dialog(nullptr, TBlockProps());
        EXPECT_TRUE(Confirm(dialog, "TDlgBlockProps",
                            [&, text = typed] { Set(dialog, "editVertHeight", text); }));
        EXPECT_EQ(dialog.GetProps().vertKind, TBlockProps::vertKindHeight);
        EXPECT_EQ(dialog.GetProps().GetVertBlockCount(), levels) << typed;
    }
}

TEST_F(OperationHooks, RollInPositionsFollowTheNewLength)
{
    TDlgRollInProps dialog(nullptr, TRollInProps());
    EXPECT_TRUE(Confirm(dialog, "TDlgRollInProps", [&] {
        Set(dialog, "editLength", "2 s");
        Set(dialog, "editEnd", "50 %");
    }));
    const TRollInProps props = dialog.GetProps();
    EXPECT_EQ(props.placement, TRollInProps::placeEnd);
    EXPECT_EQ(props.endAt.length, 2.0);
    EXPECT_EQ(props.startAt.length, 2.0);
    EXPECT_DOUBLE_EQ(props.endAt.position, 1.0);
}

TEST_F(OperationHooks, LengthFactorsOfCountAndNewLength)
{
    TDlgRollOutProps rollOut(nullptr, [] {
        TRollOutProps p;
        p.currentLength = 2.0;
        return p;
    }());
    EXPECT_TRUE(Confirm(rollOut, "TDlgRollOutProps", [&] {
        Set(rollOut, "editSpeedFactor", "-200 %");
        Set(rollOut, "optLengthCount", "on");
    }));
    EXPECT_EQ(Shown(rollOut, "editLengthCount"), "3");
    EXPECT_DOUBLE_EQ(rollOut.GetProps().GetLengthFactor(), 1.5);

    TDlgTempoPitchProps tempo(nullptr, [] {
        TTempoPitchProps p;
        p.currentLength = 2.0;
        return p;
    }());
    EXPECT_TRUE(Confirm(tempo, "TDlgTempoPitchProps", [&] { Set(tempo, "editLengthNew", "4 s"); }));
    EXPECT_DOUBLE_EQ(tempo.GetProps().GetLengthFactor(), 2.0);
}

TEST_F(OperationHooks, ALengthFactorOfZeroIsRefusedUnderItsField)
{
    // Nothing to measure the new length against.
    TDlgTempoPitchProps empty(nullptr, TTempoPitchProps());
    EXPECT_FALSE(Confirm(empty, "TDlgTempoPitchProps", [&] { Set(empty, "optLengthNew", "on"); },
                         {"In New Length: The length factor would be 0."}));

    // The length of a wave without values.
    TUnitWave emptyWave("Empty", "", std::make_shared<MonoSound>(44100, 2));
    waves.extra.push_back({"Empty", &emptyWave});
    TRollOutProps props;
    props.currentLength = 1.0;
    TDlgRollOutProps rollOut(nullptr, props);
    EXPECT_FALSE(Confirm(rollOut, "TDlgRollOutProps",
                         [&] { Set(rollOut, "cboLengthSameAs", "Empty"); },
                         {"In Same Length as: The length factor would be 0."}));
    // The factor kind needs neither.
    TDlgRollOutProps factor(nullptr, props);
    EXPECT_TRUE(Confirm(factor, "TDlgRollOutProps", [] {}));
}

TEST_F(OperationHooks, TempoWithASpeedEnvelopeRefusesABackwardSpeed)
{
    TTempoPitchProps props;
    props.currentLength = 1.0;
    TDlgTempoPitchProps backwards(nullptr, props);
    EXPECT_FALSE(
        Confirm(backwards, "TDlgTempoPitchProps",
                [&] {
                    Set(backwards, "editSpeedFactor", "-100 %");
                    Set(backwards, "cboSpeedEnvelope", "Wave 1");
                },
                {"In Speed Factor: The speed may not be negative with a speed envelope."}));
    TDlgTempoPitchProps plain(nullptr, props);
    EXPECT_TRUE(
        Confirm(plain, "TDlgTempoPitchProps", [&] { Set(plain, "editSpeedFactor", "-100 %"); }));
}

TEST_F(OperationHooks, ShiftOnAMonoWaveReadsOnlyTheMiddle)
{
    TDlgShiftProps dialog(nullptr, TShiftProps(), 1);
    bool leftEnabled = true;
    EXPECT_TRUE(Confirm(dialog, "TDlgShiftProps", [&] {
        leftEnabled = dialog.Edit("editDiffTimeLeft")->isEnabled();
        Set(dialog, "editDiffTimeLeft", "x");
        Set(dialog, "editDiffTimeRight", "y");
        Set(dialog, "editDiffTimeMiddle", "3 ms");
    }));
    EXPECT_FALSE(leftEnabled);
    EXPECT_DOUBLE_EQ(dialog.GetProps().middle.GetValue(), 0.003);
    EXPECT_EQ(dialog.GetProps().left.GetValue(), 0.0);
}

TEST_F(OperationHooks, ShiftOnAStereoWaveCopiesTheMiddleWhenItIsLeft)
{
    TDlgShiftProps dialog(nullptr, TShiftProps(), 2);
    std::string left, right, untouchedLeft;
    RunScripted(dialogs, dialog, "TDlgShiftProps", [&] {
        QLineEdit* middle = dialog.Edit("editDiffTimeMiddle");
        // Leaving the box unchanged copies nothing.
        emit middle->editingFinished();
        untouchedLeft = Shown(dialog, "editDiffTimeLeft");
        middle->setText("10 ms");
        emit middle->editingFinished();
        left = Shown(dialog, "editDiffTimeLeft");
        right = Shown(dialog, "editDiffTimeRight");
    });
    EXPECT_EQ(untouchedLeft, "0 ms");
    EXPECT_EQ(left, "10 ms");
    EXPECT_EQ(right, "10 ms");
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(OperationHooks, DistortCannotBeConfirmedWithoutAWave)
{
    TDlgDistortProps dialog(nullptr, TDistortProps());
    EXPECT_FALSE(Confirm(dialog, "TDlgDistortProps", [] {},
                         {"In Distort Envelope: You have to select a Wave"}));
}

TEST_F(OperationHooks, ExponentialLinesMayNotCrossZero)
{
    struct Line
    {
        const char* kind;
        const char* begin;
        const char* end;
        bool accepted;
    };
    for (const Line& line :
         {Line{"Exponential", "50 %", "-50 %", false}, Line{"Exponential", "50 %", "25 %", true},
          Line{"Exponential", "-50 %", "-25 %", true}, Line{"Exponential", "0 %", "25 %", false},
          Line{"Linear", "50 %", "-50 %", true}}) {
        TDlgLineProps dialog(nullptr, TLineProps());
        std::vector<std::string> boxes;
        if (!line.accepted)
            boxes.push_back("Exponential Line may not contain value 0.");
        EXPECT_EQ(Confirm(
                      dialog, "TDlgLineProps",
                      [&] {
                          Set(dialog, "rgrKind", line.kind);
                          Set(dialog, "editBegin", line.begin);
                          Set(dialog, "editEnd", line.end);
                          // Not read once the check refused.
                          if (!line.accepted)
                              Set(dialog, "editLength", "x");
                      },
                      boxes),
                  line.accepted)
            << line.kind << " " << line.begin << " " << line.end;
    }
}

TEST_F(OperationHooks, ABadBeginValueStopsBeforeTheExponentialCheck)
{
    TDlgLineProps dialog(nullptr, TLineProps());
    messages.Expect();
    RunScripted(dialogs, dialog, "TDlgLineProps", [&] {
        Set(dialog, "rgrKind", "Exponential");
        Set(dialog, "editBegin", "x");
        Set(dialog, "editEnd", "-50 %");
        dialog.accept();
    });
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text.rfind("In Begin Value: ", 0), 0u);
}

TEST_F(OperationHooks, ARefusedOkKeepsTheFieldsReadBeforeIt)
{
    TDlgLineProps dialog(nullptr, TLineProps());
    messages.Expect();
    EXPECT_EQ(RunScripted(dialogs, dialog, "TDlgLineProps",
                          [&] {
                              Set(dialog, "editBegin", "1000 $");
                              Set(dialog, "editEnd", "x");
                              Set(dialog, "editLength", "1 s");
                              dialog.accept();
                          }),
              DialogResult::Rejected);
    EXPECT_EQ(dialog.GetProps().beginValue.value, 1000);
    EXPECT_EQ(dialog.GetProps().endValue.value, -16384);
    EXPECT_DOUBLE_EQ(dialog.GetProps().length.GetValue(), 0.1);
}

TEST_F(OperationHooks, BlockAndTriangleShareTheFormUnderTheirOwnCaptions)
{
    TDlgBlockTriangleProps block(nullptr, TBlockTriangleProps(), "Make Block");
    TDlgBlockTriangleProps triangle(nullptr, TBlockTriangleProps(), "Make Triangle");
    EXPECT_EQ(block.windowTitle(), "Make Block");
    EXPECT_EQ(triangle.windowTitle(), "Make Triangle");

    EXPECT_TRUE(Confirm(triangle, "TDlgBlockTriangleProps", [&] {
        Set(triangle, "optTime", "on");
        Set(triangle, "optLengthCount", "on");
    }));
    const TBlockTriangleProps props = triangle.GetProps();
    EXPECT_EQ(props.BloTriHorKind, bloTriTime);
    EXPECT_DOUBLE_EQ(props.GetPeriod(), 0.01);
    EXPECT_DOUBLE_EQ(props.GetMiddleFraction(), 0.5);
    EXPECT_DOUBLE_EQ(props.GetLength(), 0.1);
    // Times 5 ms and 5 ms and count 10 are the new record's own.
    EXPECT_EQ(props.time1.GetValue(), 0.005);
    EXPECT_EQ(props.count.GetValue(), 10.0);
}

TEST_F(OperationHooks, MixLeftRightShowsAnExampleUntilTheUserEdits)
{
    TDlgLeftRightProps dialog(nullptr, TLeftRightProps());
    std::vector<std::string> shares;
    std::string example, afterEdit, normalKept, afterNormalEdit;
    RunScripted(dialogs, dialog, "TDlgLeftRightProps", [&] {
        Set(dialog, "cboExample", "Surround");
        for (const char* name :
             {"editLeft2Left", "editLeft2Right", "editRight2Left", "editRight2Right"})
            shares.push_back(Shown(dialog, name));
        example = Shown(dialog, "cboExample");
        Set(dialog, "editLeft2Right", "-40 %");
        afterEdit = Shown(dialog, "cboExample");
        // An example whose texts are already shown changes no text; the next edit must still
        // clear it.
        Set(dialog, "cboExample", "Normal");
        Set(dialog, "cboExample", "Normal");
        normalKept = Shown(dialog, "cboExample");
        Set(dialog, "editRight2Left", "10 %");
        afterNormalEdit = Shown(dialog, "cboExample");
        dialog.accept();
    });
    EXPECT_EQ(shares, (std::vector<std::string>{"50 %", "-50 %", "-50 %", "50 %"}));
    EXPECT_EQ(example, "Surround");
    EXPECT_EQ(afterEdit, "");
    EXPECT_EQ(normalKept, "Normal");
    EXPECT_EQ(afterNormalEdit, "");
    const TLeftRightProps props = dialog.GetProps();
    EXPECT_EQ(props.leftToLeft.GetValue(), 1.0);
    EXPECT_DOUBLE_EQ(props.rightToLeft.GetValue(), 0.1);
}

TEST_F(OperationHooks, RandomEchoDiceAndTheTabShownAtOk)
{
    TDlgRandomEchoProps dialog(nullptr, TRandomEchoProps());
    std::vector<std::string> dice;
    std::vector<int> sources;
    const char* names[] = {"cboTimeSource", "cboVolumeSource", "cboLengthSource",
                           "cboBalSource",  "cboPitchSource",  "cboTempoSource"};
    EXPECT_TRUE(Confirm(dialog, "TDlgRandomEchoProps", [&] {
        QComboBox* time = dialog.Combo("cboTimeSource");
        for (int i = 0; i < time->count(); ++i)
            dice.push_back(time->itemText(i).toStdString());
        for (const char* name : names)
            sources.push_back(dialog.Combo(name)->currentIndex());
        Set(dialog, "pgcEchoManip", "4");
        Set(dialog, "editTimeDiff", "0.5 s");
    }));
    EXPECT_EQ(dice,
              (std::vector<std::string>{"Die 1", "Die 2", "Die 3", "Die 4", "Die 5", "Die 6"}));
    EXPECT_EQ(sources, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(dialog.GetProps().activeTab, 4);
    // The time difference is shown again as it was read.
    EXPECT_EQ(Shown(dialog, "editTimeDiff"), "0.5 s");

    TDlgRandomEchoProps again(nullptr, dialog.GetProps());
    std::string page;
    RunScripted(dialogs, again, "TDlgRandomEchoProps",
                [&] { page = Shown(again, "pgcEchoManip"); });
    EXPECT_EQ(page, "4");
}

TEST_F(OperationHooks, ResonanceAboveTheSampleFrequencyIsRefused)
{
    struct Case
    {
        const char* typed;
        bool accepted;
    };
    for (const Case& c :
         {Case{"22050 hz", true}, Case{"44101 hz", false}, Case{"100 khz", false}}) {
        TDlgResNotchProps dialog(nullptr, TResNotchProps(), 44100);
        std::vector<std::string> boxes;
        if (!c.accepted)
            boxes.push_back("In Frequency Constant: The frequency may not be above the sample "
                            "frequency (44100 Hz).");
        EXPECT_EQ(Confirm(
                      dialog, "TDlgResNotchProps",
                      [&] { Set(dialog, "editFreqConstant", c.typed); }, boxes),
                  c.accepted)
            << c.typed;
    }
    // With the frequency from an envelope the constant is not read at all.
    TDlgResNotchProps envelope(nullptr, TResNotchProps(), 44100);
    EXPECT_TRUE(Confirm(envelope, "TDlgResNotchProps", [&] {
        Set(envelope, "editFreqConstant", "100 khz");
        Set(envelope, "cboFreqEnvelope", "Wave 1");
    }));
}

} // namespace

namespace {

TEST_F(OperationHooks, CountsThatWouldTruncateToZeroAreRefused)
{
    struct Count
    {
        std::function<TOperationDialog*()> make;
        const char* className;
        const char* edit;
        const char* option; // "" when none must be chosen
        const char* label;
    };
    const Count counts[] = {
        {[] { return new TDlgHighLowProps(nullptr, {}); }, "TDlgHighLowProps", "editCount", "",
         "Count"},
        {[] { return new TDlgBlockProps(nullptr, {}); }, "TDlgBlockProps", "editVertCount",
         "optVertCount", " Vertical Count"},
        {[] { return new TDlgBlockProps(nullptr, {}); }, "TDlgBlockProps", "editHorCount",
         "optHorCount", " Horizontal Count"},
    };
    for (const Count& count : counts) {
        for (const char* typed : {"0", "0.5", "-1"}) {
            std::unique_ptr<TOperationDialog> dialog(count.make());
            messages.Expect();
            const DialogResult result = RunScripted(dialogs, *dialog, count.className, [&] {
                Set(*dialog, count.edit, typed);
                if (*count.option)
                    Set(*dialog, count.option, "on");
                dialog->accept();
            });
            EXPECT_EQ(result, DialogResult::Rejected) << count.edit << " " << typed;
            ASSERT_EQ(messages.Shown().size(), 1u) << count.edit << " " << typed;
            EXPECT_EQ(messages.Shown()[0].text.rfind(std::string("In ") + count.label + ": ", 0),
                      0u)
                << messages.Shown()[0].text;
            messages.Clear();
        }
    }
}

} // namespace
