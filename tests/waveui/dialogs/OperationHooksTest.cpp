// What single dialogs do beyond the common table: their own checks with the exact box of each
// refusal, the controls they tie together, the values the wave engine could not take, and the
// wave references of a combo box.
#include "support/WaveWindows.h"
#include "waveui/WaveCombo.h"
#include "waveui/dialogs/ComplexDialogs.h"
#include "waveui/dialogs/EffectDialogs.h"
#include "waveui/dialogs/FilterDialogs.h"
#include "waveui/dialogs/GeneratorDialogs.h"

using namespace kelvorn;
using namespace kelvorn::test;

namespace {
using OperationHooks = DialogTest;

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
        std::string set; // "control=value|control=value"
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
    const Make resNotch = [] { return new TDlgResNotchProps(nullptr, TResNotchProps(), 44100); };
    const Make rotate = [] { return new TDlgRotateProps(nullptr, TRotateProps(), 1.0); };
    const Make line = New<TDlgLineProps, TLineProps>(), block = New<TDlgBlockProps, TBlockProps>();
    // clang-format off
    std::vector<Case> cases = {
        {rotate, "editTime=2 s|optFactor=on", "In Time: Time may not be longer than the time of the sound."},
        {New<TDlgDistortProps, TDistortProps>(), "", "In Distort Envelope: You have to select a Wave"},
        {New<TDlgTempoPitchProps, TTempoPitchProps>(), "optLengthNew=on", "In New Length: The length factor would be 0."},
        {New<TDlgRollOutProps>(rollOut), "cboLengthSameAs=Empty", "In Same Length as: The length factor would be 0."},
        {New<TDlgRollOutProps>(rollOut), "", ""},
        {New<TDlgTempoPitchProps>(tempo), "editSpeedFactor=-100 %|cboSpeedEnvelope=Wave 1",
         "In Speed Factor: The speed may not be negative with a speed envelope."},
        {New<TDlgTempoPitchProps>(tempo), "editSpeedFactor=-100 %", ""},
        // Not read once the exponential check refused.
        {line, "rgrKind=Exponential|editBegin=50 %|editEnd=-50 %|editLength=x", exponential},
        {line, "rgrKind=Exponential|editBegin=0 %|editEnd=25 %", exponential},
        {line, "rgrKind=Exponential|editBegin=-50 %|editEnd=-25 %", ""},
        {line, "editBegin=50 %|editEnd=-50 %", ""},
        // A bad begin value stops before the exponential check.
        {line, "rgrKind=Exponential|editBegin=x|editEnd=-50 %", "In Begin Value: *"},
        {resNotch, "editFreqConstant=22050 hz", ""},
        {resNotch, "editFreqConstant=44101 hz", resonance},
        {resNotch, "editFreqConstant=100 khz", resonance},
        // With the frequency from an envelope the constant is not read at all.
        {resNotch, "editFreqConstant=100 khz|cboFreqEnvelope=Wave 1", ""},
    };
    // clang-format on
    // Counts that would truncate to zero.
    for (const std::string count : {"0", "0.5", "-1"}) {
        cases.push_back(
            {New<TDlgHighLowProps, THighLowProps>(), "editCount=" + count, "In Count: *"});
        cases.push_back({block, "optVertCount=on|editVertCount=" + count, "In  Vertical Count: *"});
        cases.push_back({block, "optHorCount=on|editHorCount=" + count, "In  Horizontal Count: *"});
    }
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        std::unique_ptr<TOperationDialog> dialog(c.make());
        const bool prefix = !c.box.empty() && c.box.back() == '*';
        if (!c.box.empty())
            messages.Expect();
        const DialogResult result = Run(*dialog, [&] {
            for (const Input& input : In(c.set))
                Set(*dialog, input.name, input.value);
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
    Run(open, [&] { shown = Shown(open, "cboUnitWave"); });
    EXPECT_EQ(shown, "Wave 2");
    EXPECT_EQ(waves.modes, std::vector<int>{waveListOthers});
    props.envelope.SetCaption("Closed Wave");
    TDlgVolumeProps closed(nullptr, false, props);
    EXPECT_FALSE(Ok(closed, [] {}, {"In Envelope: You have to select a Wave"}));
    EXPECT_TRUE(closed.GetProps().envelope.IsEmpty());
}

class WaveCombo : public ::testing::Test
{
protected:
    WaveCombo()
    {
        for (const char* name : {"Wave 1", "Wave 2", "Wave \xE4"})
            documents.push_back(
                std::make_unique<TUnitWave>(name, "", std::make_shared<MonoSound>(44100, 2)));
        for (const auto& document : documents)
            list.push_back({document->GetName(), document.get()});
    }

    ScriptedMessages messages;
    std::vector<std::unique_ptr<TUnitWave>> documents;
    std::vector<WaveChoice> list;
    QComboBox combo;
};

TEST_F(WaveCombo, ReadWithoutSelectionShowsTheBoxAndEmptiesTheReference)
{
    FillWaveComboItems(combo, list, -1);
    unitUnitWave wave;
    wave.Set("Wave 1", documents[0].get());
    bool ok = true;
    messages.Expect();
    ReadWaveCombo(wave, ok, combo, "Envelope");
    EXPECT_FALSE(ok);
    EXPECT_EQ(wave.GetCaption(), "");
    EXPECT_EQ(wave.GetUnitWave(), nullptr);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text, "In Envelope: You have to select a Wave");
    EXPECT_EQ(messages.Shown()[0].caption, "Input Error");
    EXPECT_EQ(messages.Shown()[0].icon, MsgIcon::Information);
    EXPECT_TRUE(messages.Unexpected().empty());
    // After an earlier failure nothing more is read or shown.
    wave.Set("Wave 2", documents[1].get());
    ReadWaveCombo(wave, ok, combo, "Envelope");
    EXPECT_EQ(wave.GetCaption(), "Wave 2");
    EXPECT_EQ(messages.Shown().size(), 1u);
}

TEST_F(WaveCombo, ShowingAReferenceSelectsTheItemOfExactlyItsName)
{
    struct Case
    {
        const char* caption;
        int before, after;
    };
    for (const Case& c : {Case{"Wave 2", 0, 1}, Case{"Wave 1", -1, 0}, Case{"Wave \xE4", 0, 2},
                          Case{"  Wave 2\t ", 0, 1}, // a reference keeps no blanks at its ends
                          Case{"", 2, 2},            // no wave named: selection unchanged
                          Case{"", -1, -1}, Case{"wave 2", 0, 0}, // names are case-sensitive
                          Case{"Wave", 2, 2},                     // no prefix matching
                          Case{"Wave 3", -1, -1}}) {              // not listed
        FillWaveComboItems(combo, list, c.before);
        FillWaveCombo(unitUnitWave(c.caption), combo);
        EXPECT_EQ(combo.currentIndex(), c.after) << '"' << c.caption << '"';
    }
}

} // namespace
