// What single dialogs do beyond the common table: their own checks with the exact box of each
// refusal, the controls they tie together, and the values the wave engine could not take.
#include "support/WaveWindows.h"

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
    bool Ok(TOperationDialog& dialog, const std::function<void()>& act,
            const std::vector<std::string>& texts = {})
    {
        return Confirm(dialogs, messages, dialog, ClassOf(dialog), act, texts);
    }

    FixedWaveList waves;
    ScriptedDialogs dialogs;
    ScriptedMessages messages;
};

using Make = std::function<TOperationDialog*()>;

template <class D, class P> Make New(P props = P())
{
    return [props] { return new D(nullptr, props); };
}

TEST_F(OperationHooks, EachRefusalShowsItsBoxAndKeepsTheDialogOpen)
{
    struct Case
    {
        Make make;
        std::vector<std::pair<std::string, std::string>> set; // control, value
        std::string box; // "" when accepted; a text ending in "*" names the field only
    };
    TTempoPitchProps tempo;
    tempo.currentLength = 1.0;
    TRollOutProps rollOut;
    rollOut.currentLength = 1.0;
    TUnitWave emptyWave("Empty", "", std::make_shared<MonoSound>(44100, 2));
    waves.extra.push_back({"Empty", &emptyWave});
    const std::string exponential = "Exponential Line may not contain value 0.";
    const std::string resonance =
        "In Frequency Constant: The frequency may not be above the sample frequency (44100 Hz).";
    auto resNotch = [] { return new TDlgResNotchProps(nullptr, TResNotchProps(), 44100); };
    const std::vector<Case> cases = {
        {[] { return new TDlgRotateProps(nullptr, TRotateProps(), 1.0); },
         {{"editTime", "2 s"}, {"optFactor", "on"}},
         "In Time: Time may not be longer than the time of the sound."},
        {New<TDlgDistortProps, TDistortProps>(),
         {},
         "In Distort Envelope: You have to select a Wave"},
        {New<TDlgTempoPitchProps, TTempoPitchProps>(),
         {{"optLengthNew", "on"}},
         "In New Length: The length factor would be 0."},
        {New<TDlgRollOutProps>(rollOut),
         {{"cboLengthSameAs", "Empty"}},
         "In Same Length as: The length factor would be 0."},
        {New<TDlgRollOutProps>(rollOut), {}, ""},
        {New<TDlgTempoPitchProps>(tempo),
         {{"editSpeedFactor", "-100 %"}, {"cboSpeedEnvelope", "Wave 1"}},
         "In Speed Factor: The speed may not be negative with a speed envelope."},
        {New<TDlgTempoPitchProps>(tempo), {{"editSpeedFactor", "-100 %"}}, ""},
        // Not read once the exponential check refused.
        {New<TDlgLineProps, TLineProps>(),
         {{"rgrKind", "Exponential"},
          {"editBegin", "50 %"},
          {"editEnd", "-50 %"},
          {"editLength", "x"}},
         exponential},
        {New<TDlgLineProps, TLineProps>(),
         {{"rgrKind", "Exponential"}, {"editBegin", "0 %"}, {"editEnd", "25 %"}},
         exponential},
        {New<TDlgLineProps, TLineProps>(),
         {{"rgrKind", "Exponential"}, {"editBegin", "-50 %"}, {"editEnd", "-25 %"}},
         ""},
        {New<TDlgLineProps, TLineProps>(), {{"editBegin", "50 %"}, {"editEnd", "-50 %"}}, ""},
        // A bad begin value stops before the exponential check.
        {New<TDlgLineProps, TLineProps>(),
         {{"rgrKind", "Exponential"}, {"editBegin", "x"}, {"editEnd", "-50 %"}},
         "In Begin Value: *"},
        {resNotch, {{"editFreqConstant", "22050 hz"}}, ""},
        {resNotch, {{"editFreqConstant", "44101 hz"}}, resonance},
        {resNotch, {{"editFreqConstant", "100 khz"}}, resonance},
        // With the frequency from an envelope the constant is not read at all.
        {resNotch, {{"editFreqConstant", "100 khz"}, {"cboFreqEnvelope", "Wave 1"}}, ""},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        std::unique_ptr<TOperationDialog> dialog(c.make());
        const bool prefix = !c.box.empty() && c.box.back() == '*';
        if (!c.box.empty())
            messages.Expect();
        const DialogResult result = RunScripted(dialogs, *dialog, ClassOf(*dialog), [&] {
            for (const auto& [name, value] : c.set)
                Set(*dialog, name, value);
            dialog->accept();
        });
        EXPECT_EQ(result == DialogResult::Accepted, c.box.empty()) << "case " << i;
        ASSERT_EQ(messages.Shown().size(), c.box.empty() ? 0u : 1u) << "case " << i;
        if (prefix) {
            EXPECT_EQ(messages.Shown()[0].text.rfind(c.box.substr(0, c.box.size() - 1), 0), 0u)
                << messages.Shown()[0].text;
        } else if (!c.box.empty()) {
            EXPECT_EQ(messages.Shown()[0].text, c.box) << "case " << i;
        }
        messages.Clear();
    }
}

TEST_F(OperationHooks, CountsThatWouldTruncateToZeroAreRefused)
{
    struct Count
    {
        Make make;
        const char* edit;
        const char* option;
        std::string label;
    };
    for (const Count& count :
         {Count{New<TDlgHighLowProps, THighLowProps>(), "editCount", "", "Count"},
          Count{New<TDlgBlockProps, TBlockProps>(), "editVertCount", "optVertCount",
                " Vertical Count"},
          Count{New<TDlgBlockProps, TBlockProps>(), "editHorCount", "optHorCount",
                " Horizontal Count"}})
        for (const char* typed : {"0", "0.5", "-1"}) {
            std::unique_ptr<TOperationDialog> dialog(count.make());
            messages.Expect();
            EXPECT_EQ(RunScripted(dialogs, *dialog, ClassOf(*dialog),
                                  [&] {
                                      Set(*dialog, count.edit, typed);
                                      if (*count.option)
                                          Set(*dialog, count.option, "on");
                                      dialog->accept();
                                  }),
                      DialogResult::Rejected)
                << count.edit << " " << typed;
            ASSERT_EQ(messages.Shown().size(), 1u);
            EXPECT_EQ(messages.Shown()[0].text.rfind("In " + count.label + ": ", 0), 0u)
                << messages.Shown()[0].text;
            messages.Clear();
        }
}

TEST_F(OperationHooks, ListsOfferTheWavesTheOperationCanUse)
{
    // While drawing, only the constant volume.
    TDlgVolumeProps drawing(nullptr, true, TVolumeProps());
    EXPECT_FALSE(drawing.Button("optEnvelope")->isEnabled());
    EXPECT_FALSE(drawing.Combo("cboUnitWave")->isEnabled());
    EXPECT_TRUE(Ok(drawing, [&] { Set(drawing, "editVolume", "200 %"); }));
    EXPECT_EQ(drawing.GetProps().factor.GetValue(), 2.0);
    EXPECT_EQ(drawing.GetProps().kind, TVolumeProps::kindConstant);

    // The chosen wave is shown while it is open; confirming a closed one names the field.
    TVolumeProps props;
    props.kind = TVolumeProps::kindEnvelope;
    props.envelope.SetCaption("Wave 2");
    TDlgVolumeProps open(nullptr, false, props);
    waves.modes.clear();
    std::string shown;
    RunScripted(dialogs, open, "TDlgVolumeProps", [&] { shown = Shown(open, "cboUnitWave"); });
    EXPECT_EQ(shown, "Wave 2");
    EXPECT_EQ(waves.modes, std::vector<int>{waveListOthers});
    props.envelope.SetCaption("Closed Wave");
    TDlgVolumeProps closed(nullptr, false, props);
    EXPECT_FALSE(Ok(closed, [] {}, {"In Envelope: You have to select a Wave"}));
    EXPECT_TRUE(closed.GetProps().envelope.IsEmpty());
}

} // namespace
