// One suite over every operation dialog: what each shows for a new record, that Cancel reads
// nothing, that unchosen fields are not read, that an edited record comes back whole, and the
// first-bad-field rule.
#include "support/WaveWindows.h"

#include "waveui/dialogs/ComplexDialogs.h"
#include "waveui/dialogs/EffectDialogs.h"
#include "waveui/dialogs/FilterDialogs.h"
#include "waveui/dialogs/GeneratorDialogs.h"

#include <sstream>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

/// A bad text for a field that is read, and the label its box must name.
struct BadField
{
    std::string name;
    std::string text;
    std::string label;
    std::string mended; // a good value for it
};

struct DialogCase
{
    std::string name;
    std::string caption;
    std::function<std::unique_ptr<TOperationDialog>()> make;
    /// A new dialog made from the edited record of a confirmed one.
    std::function<std::unique_ptr<TOperationDialog>(TOperationDialog&)> remake;
    /// Whether the dialog's record is still the one it was made with.
    std::function<bool(TOperationDialog&)> unchanged;
    /// The text of every line edit on show.
    std::vector<Input> defaults;
    /// Edits for the round trip, and what a dialog made from the result shows (when empty:
    /// the edits).
    std::vector<Input> edits;
    std::vector<Input> after;
    /// Two fields read in this order (empty: the dialog never reads two).
    std::vector<BadField> bad;
    /// A bad field and the choices that leave it unread (empty: nothing is ever unread).
    std::vector<Input> unchosen;
};

std::ostream& operator<<(std::ostream& out, const DialogCase& c)
{
    return out << c.name;
}

template <class D, class P, class Make>
DialogCase& Case(std::vector<DialogCase>& all, std::string name, std::string caption, Make make,
                 P record = P())
{
    DialogCase& c = all.emplace_back();
    c.name = std::move(name);
    c.caption = std::move(caption);
    c.make = [make, record] { return std::unique_ptr<TOperationDialog>(make(record)); };
    c.remake = [make](TOperationDialog& d) {
        return std::unique_ptr<TOperationDialog>(make(static_cast<D&>(d).GetProps()));
    };
    c.unchanged = [record](TOperationDialog& d) { return static_cast<D&>(d).GetProps() == record; };
    return c;
}

/// A record as the command hands it over: the range's length set, and the start position
/// already measured against it, as showing the dialog does.
template <class P> P WithLength(double seconds)
{
    P props;
    props.currentLength = seconds;
    props.startPosition.SetLength(seconds);
    return props;
}

TRollInProps RollInWithLengths()
{
    TRollInProps props;
    props.startAt.SetLength(props.length.GetValue());
    props.endAt.SetLength(props.length.GetValue());
    return props;
}

std::vector<DialogCase> AllDialogs()
{
    std::vector<DialogCase> all;
    DialogCase* c = nullptr;
    // clang-format off
    c = &Case<TDlgVolumeProps, TVolumeProps>(all, "Volume", "Change Volume", [](const TVolumeProps& p) { return new TDlgVolumeProps(nullptr, false, p); });
    c->defaults = In("editVolume=50 %");
    c->edits = In("editVolume=25 %");
    c->after = In("editVolume=25 %|optConstant=on");
    c->unchosen = In("editVolume=x|optEnvelope=on|cboUnitWave=Wave 2");
    c = &Case<TDlgRotateProps, TRotateProps>(all, "Rotate", "Rotate", [](const TRotateProps& p) { return new TDlgRotateProps(nullptr, p, 1.0); });
    c->defaults = In("editFactor=0.1|editTime=0.1 s");
    c->edits = In("rgrShift=Right|editTime=500 ms|editFactor=-0.25");
    // A negative fraction of a turn is raised by a whole one.
    c->after = In("rgrShift=Right|editTime=500 ms|editFactor=0.75|optFactor=on|optTime=off");
    c->bad = {{"editFactor", "x", "Factor", "0.2"}, {"editTime", "y", "Time", "0.2 s"}};
    c = &Case<TDlgBlockProps, TBlockProps>(all, "Block", "Block", [](const TBlockProps& p) { return new TDlgBlockProps(nullptr, p); });
    c->defaults = In("editHorCount=20|editVertCount=20|editHorTime=10 ms|editVertHeight=10 %");
    c->edits = In("editHorTime=20 ms|editVertCount=5");
    c->after = In("optHorTime=on|editHorTime=20 ms|optVertCount=on|editVertCount=5");
    c->unchosen = In("editHorCount=x|optHorNoChange=on");
    c->bad = {{"editHorCount", "0", " Horizontal Count", "7"}, {"editVertHeight", "x", " Height", "20 %"}};
    c = &Case<TDlgRollInProps, TRollInProps>(all, "RollIn", "Roll in", [](const TRollInProps& p) { return new TDlgRollInProps(nullptr, p); }, RollInWithLengths());
    c->defaults = In("editLength=1 s|editStart=0 %|editEnd=0 %");
    c->edits = In("editLength=2 s|editEnd=50 %");
    c->after = In("editLength=2 s|optEnd=on|editEnd=50 %");
    c->unchosen = In("editEnd=x|optStart=on");
    c->bad = {{"editLength", "x", "Length", "3 s"}, {"editStart", "y", "Start at", "10 %"}};
    c = &Case<TDlgRollOutProps, TRollOutProps>(all, "RollOut", "Roll out", [](const TRollOutProps& p) { return new TDlgRollOutProps(nullptr, p); }, WithLength<TRollOutProps>(2.0));
    c->defaults = In("editSpeedFactor=100 %|editLengthFactor=100 %|editLengthNew=2 s|editLengthCount=3|editStartPosition=0 %");
    c->edits = In("editSpeedFactor=-200 %|editLengthCount=4|editStartPosition=25 %|cboSpeedEnvelope=Wave 1");
    c->after = In("editSpeedFactor=-200 %|optLengthCount=on|editLengthCount=4|editStartPosition=25 %|chkSpeedEnvelope=on|cboSpeedEnvelope=Wave 1");
    c->unchosen = In("editLengthFactor=x|optLengthNew=on");
    c->bad = {{"editSpeedFactor", "0", "Speed Factor", "50 %"}, {"editLengthFactor", "x", "Length Factor", "200 %"}};
    c = &Case<TDlgLengthProps, TLengthProps>(all, "Length", "Change Length", [](const TLengthProps& p) { return new TDlgLengthProps(nullptr, p); });
    c->defaults = In("editLengthFactor=50 %|editLengthNew=2 s");
    c->edits = In("editLengthNew=3 s");
    c->after = In("optLengthNew=on|editLengthNew=3 s|editLengthFactor=50 %");
    c->unchosen = In("editLengthNew=x|optLengthFactor=on");
    c = &Case<TDlgUpProps, TUpProps>(all, "Up", "Move Wave Vertically", [](const TUpProps& p) { return new TDlgUpProps(nullptr, p); });
    c->defaults = In("editAdd=50 %");
    c->edits = In("editAdd=-25 %");
    c = &Case<TDlgShiftProps, TShiftProps>(all, "Shift", "Move Wave Horizontally", [](const TShiftProps& p) { return new TDlgShiftProps(nullptr, p, 2); });
    c->defaults = In("editDiffTimeMiddle=0 ms|editDiffTimeLeft=0 ms|editDiffTimeRight=0 ms");
    c->edits = In("editDiffTimeLeft=5 ms|editDiffTimeRight=-5 ms|cboDiffTimeEnvelope=Wave 2");
    c->after = In("editDiffTimeLeft=5 ms|editDiffTimeRight=-5 ms|chkDiffTimeEnvelope=on|cboDiffTimeEnvelope=Wave 2");
    c->unchosen = In("cboDiffTimeEnvelope=|chkDiffTimeEnvelope=off");
    c->bad = {{"editDiffTimeMiddle", "x", "Time Middle", "1 ms"}, {"editDiffTimeRight", "y", "Time Right", "2 ms"}};
    c = &Case<TDlgDistortProps, TDistortProps>(all, "Distort", "Distort", [](const TDistortProps& p) { return new TDlgDistortProps(nullptr, p); });
    c->edits = In("cboDistortEnvelope=Wave 2");
    c = &Case<TDlgMixProps, TMixProps>(all, "Mix", "Mix", [](const TMixProps& p) { return new TDlgMixProps(nullptr, p); });
    c->edits = In("rgrPlace=Stretch");
    c = &Case<TDlgSilenceProps, TSilenceProps>(all, "Silence", "Make Silence", [](const TSilenceProps& p) { return new TDlgSilenceProps(nullptr, p); });
    c->defaults = In("editLength=100 ms");
    c->edits = In("editLength=2 s");
    c = &Case<TDlgLineProps, TLineProps>(all, "Line", "Make Line", [](const TLineProps& p) { return new TDlgLineProps(nullptr, p); });
    c->defaults = In("editBegin=50 %|editEnd=-50 %|editLength=100 ms");
    c->edits = In("rgrKind=Exponential|editBegin=25 %|editEnd=75 %|editLength=200 ms");
    c->bad = {{"editBegin", "x", "Begin Value", "10 %"}, {"editLength", "y", "Length", "20 ms"}};
    c = &Case<TDlgNoiseProps, TNoiseProps>(all, "Noise", "Make Noise", [](const TNoiseProps& p) { return new TDlgNoiseProps(nullptr, p); });
    c->defaults = In("editVolume=50 %|editLength=500 ms");
    c->edits = In("editVolume=10 %|editLength=1 s");
    // The length is read first.
    c->bad = {{"editLength", "x", "Length", "2 s"}, {"editVolume", "y", "Volume", "20 %"}};
    c = &Case<TDlgBlockTriangleProps, TBlockTriangleProps>(all, "BlockTriangle", "Make Block", [](const TBlockTriangleProps& p) { return new TDlgBlockTriangleProps(nullptr, p, "Make Block"); });
    c->defaults = In("editHeight1=50 %|editHeight2=-50 %|editFrequency=1 khz|editMiddle=50 %|editTime1=5 ms|editTime2=5 ms|editLengthNew=1 s|editLengthCount=10|editStartPosition=0");
    c->edits = In("editTime1=2 ms|editTime2=3 ms|editLengthCount=20|editStartPosition=0.25");
    c->after = In("optTime=on|editTime1=2 ms|editTime2=3 ms|optLengthCount=on|editLengthCount=20|editStartPosition=0.25");
    // The middle belongs to the frequency kind: with the time kind it is not read.
    c->unchosen = In("editMiddle=x|optTime=on");
    c->bad = {{"editHeight1", "x", "Height 1", "10 %"}, {"editFrequency", "y", "Frequency", "2 khz"}};
    c = &Case<TDlgSinusProps, TSinusProps>(all, "Sinus", "Make Sinus", [](const TSinusProps& p) { return new TDlgSinusProps(nullptr, p); });
    c->defaults = In("editAmplitude=50 %|editFrequency=1 khz|editStartPhase=0 '|editLength=500 ms|editCount=500");
    c->edits = In("editCount=100|editFrequency=2 khz|editStartPhase=90 '");
    c->after = In("optCount=on|editCount=100|editFrequency=2 khz|editStartPhase=90 '");
    c->unchosen = In("editLength=x|optCount=on");
    c->bad = {{"editLength", "x", "Length", "1 s"}, {"editAmplitude", "y", "Amplitude", "10 %"}};
    c = &Case<TDlgLeftRightProps, TLeftRightProps>(all, "LeftRight", "Mix Left Right", [](const TLeftRightProps& p) { return new TDlgLeftRightProps(nullptr, p); });
    c->defaults = In("editLeft2Left=100 %|editLeft2Right=0 %|editRight2Left=0 %|editRight2Right=100 %");
    c->edits = In("editLeft2Right=25 %|editRight2Left=-25 %");
    c->after = In("editLeft2Right=25 %|editRight2Left=-25 %|cboExample=");
    c->bad = {{"editLeft2Left", "x", "from Left to Left", "90 %"}, {"editRight2Right", "y", "from Right to Right", "80 %"}};
    c = &Case<TDlgBalanceProps, TBalanceProps>(all, "Balance", "Balance", [](const TBalanceProps& p) { return new TDlgBalanceProps(nullptr, p); });
    c->defaults = In("editDirConstant=0 '");
    c->edits = In("rgrVolume=Filter|chkTimeDiff=off|editDirConstant=45 '");
    c->unchosen = In("editDirConstant=x|optDirEnvelope=on|cboDirEnvelope=Wave 1");
    c = &Case<TDlgPerEchoProps, TPerEchoProps>(all, "PerEcho", "Period Echo", [](const TPerEchoProps& p) { return new TDlgPerEchoProps(nullptr, p); });
    c->defaults = In("editTime=10 ms|editVolumeConstant=100 %|editCount=1");
    c->edits = In("editCount=3|cboTimeEnvelope=Wave 1|editVolumeConstant=50 %");
    c->after = In("editCount=3|chkTimeEnvelope=on|cboTimeEnvelope=Wave 1|editVolumeConstant=50 %");
    c->unchosen = In("editVolumeConstant=x|optVolumeEnvelope=on|cboVolumeEnvelope=Wave 2");
    c->bad = {{"editTime", "x", "Time", "20 ms"}, {"editCount", "0", "Count", "2"}};
    c = &Case<TDlgRandomEchoProps, TRandomEchoProps>(all, "RandomEcho", "Random Echo", [](const TRandomEchoProps& p) { return new TDlgRandomEchoProps(nullptr, p); });
    c->defaults = In("editCount=20|editRandomSeed=0|editTimeDiff=1000 ms|editFreqFactor=2|editBlockSize=40 ms");
    c->edits = In("editCount=5|cboVolumeSource=Die 6|optVolumeLinear=on|chkCyclable=on|rgrQuality=High|pgcEchoManip=2|editTimeDiff=2 s|cboBalEnvelope=Wave 1");
    c->after = In("editCount=5|cboVolumeSource=Die 6|optVolumeLinear=on|chkCyclable=on|rgrQuality=High|pgcEchoManip=2|editTimeDiff=2 s|optBalEnvelope=on|cboBalEnvelope=Wave 1");
    c->unchosen = In("editFreqFactor=x|optPitchNoChange=on");
    // The time difference is read before the count.
    c->bad = {{"editTimeDiff", "x", "Time Difference", "3 s"}, {"editCount", "0", "Count", "4"}};
    c = &Case<TDlgTempoPitchProps, TTempoPitchProps>(all, "TempoPitch", "Pitch Tempo", [](const TTempoPitchProps& p) { return new TDlgTempoPitchProps(nullptr, p); }, WithLength<TTempoPitchProps>(2.0));
    c->defaults = In("editFreqFactor=100 %|editSpeedFactor=100 %|editLengthFactor=100 %|editLengthNew=2 s|editLengthCount=3|editStartPosition=0 %|editBlockSize=40 ms");
    c->edits = In("cboFreqEnvelope=Wave 1|editLengthNew=4 s|rgrQuality=High");
    c->after = In("chkFreqEnvelope=on|cboFreqEnvelope=Wave 1|optLengthNew=on|editLengthNew=4 s|rgrQuality=High");
    c->unchosen = In("cboSpeedEnvelope=|chkSpeedEnvelope=off");
    c->bad = {{"editFreqFactor", "0", "Frequency Factor", "50 %"}, {"editBlockSize", "x", "Block Size", "20 ms"}};
    c = &Case<TDlgResNotchProps, TResNotchProps>(all, "ResNotch", "Resonant/Notch", [](const TResNotchProps& p) { return new TDlgResNotchProps(nullptr, p, 44100); });
    c->defaults = In("editFreqConstant=1 khz|editWidthConstant=0.25");
    c->edits = In("editWidthConstant=0.5|cboFreqEnvelope=Wave 2");
    c->after = In("editWidthConstant=0.5|optFreqEnvelope=on|cboFreqEnvelope=Wave 2");
    c->unchosen = In("editWidthConstant=x|cboWidthEnvelope=Wave 2");
    c->bad = {{"editFreqConstant", "x", "Frequency Constant", "2 khz"}, {"editWidthConstant", "2", "Width Constant", "0.75"}};
    c = &Case<TDlgHighLowProps, THighLowProps>(all, "HighLow", "High Low Filter", [](const THighLowProps& p) { return new TDlgHighLowProps(nullptr, p); });
    c->defaults = In("editFreqConstant=1 khz|editFactor=50 %|editCount=1");
    c->edits = In("editCount=4|chkMaximizeVolume=on|editFactor=25 %");
    c->unchosen = In("editFreqConstant=x|cboFreqEnvelope=Wave 1");
    c->bad = {{"editFreqConstant", "x", "Frequency", "3 khz"}, {"editFactor", "100 %", "Volume Factor", "75 %"}};
    c = &Case<TDlgBlockFilterProps, TBlockFilterProps>(all, "BlockFilter", "Block Filter", [](const TBlockFilterProps& p) { return new TDlgBlockFilterProps(nullptr, p); });
    c->defaults = In("editTimeConstant=10 ms");
    c->edits = In("cboTimeEnvelope=Wave 2|editTimeConstant=20 ms");
    c->after = In("chkTimeEnvelope=on|cboTimeEnvelope=Wave 2|editTimeConstant=20 ms");
    c->unchosen = In("cboTimeEnvelope=|chkTimeEnvelope=off");
    // Kept: the block time is read, and first, even with the envelope on.
    c->bad = {{"editTimeConstant", "x", "Block Time", "5 ms"}, {"cboTimeEnvelope", "", "Envelope", "Wave 1"}};
    // clang-format on
    return all;
}

/// The cases for which keep answers true.
std::vector<DialogCase> DialogsWhere(std::function<bool(const DialogCase&)> keep)
{
    std::vector<DialogCase> kept;
    for (const DialogCase& c : AllDialogs())
        if (keep(c))
            kept.push_back(c);
    return kept;
}

class OperationDialogs : public DialogTest, public ::testing::WithParamInterface<DialogCase>
{
protected:
    void SetUp() override { dialog = GetParam().make(); }

    std::unique_ptr<TOperationDialog> dialog;
};

TEST_P(OperationDialogs, ShowsTheRecordAsText)
{
    const DialogCase& c = GetParam();
    EXPECT_EQ(dialog->windowTitle().toStdString(), c.caption);
    std::vector<Input> shown;
    size_t edits = 0;
    Run(*dialog, [&] {
        for (const Input& input : c.defaults)
            shown.push_back({input.name, Shown(*dialog, input.name)});
        edits = dialog->findChildren<QLineEdit*>().size();
    });
    EXPECT_TRUE(dialogs.Unexpected().empty());
    EXPECT_EQ(edits, c.defaults.size()) << "every edit box has its expected text";
    for (size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(shown[i].value, c.defaults[i].value) << shown[i].name;
    // Every row is reachable by its control name.
    for (const FieldRow& row : dialog->Rows()) {
        if (!row.name.empty() && row.name[0] != '#') {
            EXPECT_NE(dialog->findChild<QWidget*>(QString::fromStdString(row.name)), nullptr)
                << row.name;
        }
    }
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_P(OperationDialogs, CancelReadsNothingAndAnEditedRecordComesBackWhole)
{
    const DialogCase& c = GetParam();
    EXPECT_EQ(Run(*dialog,
                  [&] {
                      for (const Input& input : c.edits)
                          Set(*dialog, input.name, input.value);
                      dialog->reject();
                  }),
              DialogResult::Rejected);
    EXPECT_TRUE(c.unchanged(*dialog));
    // A bad field of an option not chosen is not read.
    if (!c.unchosen.empty()) {
        std::unique_ptr<TOperationDialog> fresh = c.make();
        EXPECT_EQ(Run(*fresh,
                      [&] {
                          for (const Input& input : c.unchosen)
                              Set(*fresh, input.name, input.value);
                          fresh->accept();
                      }),
                  DialogResult::Accepted);
        EXPECT_TRUE(messages.Shown().empty());
    }
    EXPECT_EQ(Run(*dialog,
                  [&] {
                      for (const Input& input : c.edits)
                          Set(*dialog, input.name, input.value);
                      dialog->accept();
                  }),
              DialogResult::Accepted);
    EXPECT_TRUE(messages.Shown().empty()) << messages.Shown()[0].text;
    EXPECT_FALSE(c.unchanged(*dialog));

    std::unique_ptr<TOperationDialog> again = c.remake(*dialog);
    const std::vector<Input>& after = c.after.empty() ? c.edits : c.after;
    std::vector<Input> shown;
    Run(*again, [&] {
        for (const Input& input : after)
            shown.push_back({input.name, Shown(*again, input.name)});
    });
    for (size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(shown[i].value, after[i].value) << shown[i].name;
}

/// The dialogs that read two fields at once.
class OperationDialogsWithTwoFields : public OperationDialogs
{
};

TEST_P(OperationDialogsWithTwoFields, OnlyTheFirstBadFieldIsReported)
{
    const DialogCase& c = GetParam();
    ASSERT_EQ(c.bad.size(), 2u);
    const BadField& first = c.bad[0];
    const BadField& second = c.bad[1];
    messages.Expect();
    messages.Expect();
    std::vector<bool> open;
    std::vector<size_t> boxes;
    std::string firstText;
    EXPECT_EQ(Run(*dialog,
                  [&] {
                      Set(*dialog, first.name, first.text);
                      Set(*dialog, second.name, second.text);
                      dialog->accept();
                      open.push_back(dialog->isVisible());
                      boxes.push_back(messages.Shown().size());
                      firstText = Shown(*dialog, first.name);
                      Set(*dialog, first.name, first.mended);
                      dialog->accept();
                      open.push_back(dialog->isVisible());
                      boxes.push_back(messages.Shown().size());
                      Set(*dialog, second.name, second.mended);
                      dialog->accept();
                      open.push_back(dialog->isVisible());
                  }),
              DialogResult::Accepted);
    EXPECT_EQ(open, (std::vector<bool>{true, true, false}));
    EXPECT_EQ(boxes, (std::vector<size_t>{1, 2}));
    EXPECT_EQ(firstText, first.text) << "the refused dialog keeps the user's text";
    ASSERT_EQ(messages.Shown().size(), 2u);
    EXPECT_EQ(messages.Shown()[0].caption, "Input Error");
    EXPECT_EQ(messages.Shown()[0].text.rfind("In " + first.label + ": ", 0), 0u)
        << messages.Shown()[0].text;
    EXPECT_EQ(messages.Shown()[1].text.rfind("In " + second.label + ": ", 0), 0u)
        << messages.Shown()[1].text;
    EXPECT_TRUE(messages.Unexpected().empty());
}

INSTANTIATE_TEST_SUITE_P(Every, OperationDialogs, ::testing::ValuesIn(AllDialogs()), CaseName);
INSTANTIATE_TEST_SUITE_P(Every, OperationDialogsWithTwoFields,
                         ::testing::ValuesIn(DialogsWhere([](const DialogCase& c) {
                             return !c.bad.empty();
                         })),
                         CaseName);

} // namespace
