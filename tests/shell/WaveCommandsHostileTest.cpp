// Values the dialogs accept at their edges, through the whole road: each either runs as the
// engine's rules say or is refused with one "Input Error" box naming the field; none reaches an
// assertion.
#include "waveui/WaveWindow.h"
#include "WaveCommandsTestSupport.h"

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

enum class Outcome {
    Runs,           ///< the sound changed, no box
    DialogRefuses,  ///< the dialog stays open with the box
    CommandRefuses, ///< the dialog closed; the command shows the box and changes nothing
};

struct HostileCase
{
    const char* name;
    const char* action;
    Edits edits;
    Outcome outcome;
    const char* box = ""; // "caption: text"
    bool drawing = false;
    int32_t sampleFreq = 44100;
};

class WaveCommandsHostileTest : public WaveCommandsTest,
                                public ::testing::WithParamInterface<HostileCase>
{
};

TEST_P(WaveCommandsHostileTest, RunsOrRefusesWithOneBox)
{
    const HostileCase& c = GetParam();
    NewWave("Env", MonoPattern(4000, 7));
    NewWave("Empty", EmptySound(1));
    TMDIChildWave* window =
        NewWave("Song", c.drawing ? EmptySound(1) : Pattern(8000, 3, c.sampleFreq));
    TUnitWave& unit = window->GetUnitWave();
    if (c.drawing) {
        Trigger("DrawWaveLin");
        AddNode(unit, 1000, 0.5);
    } else {
        unit.SetPart(2000, 6000);
    }
    const SoundPtr before = unit.GetSound();
    form->Documents().MakeUndo(*form->Documents().FindUnitWave("Env"));
    TUndoUnit* undo = form->Documents().GetUndo();
    const std::vector<int16_t> nodes = c.drawing ? NodeValues(unit) : std::vector<int16_t>{};
    if (c.outcome != Outcome::Runs)
        messages.Expect();
    const WaveCommandInfo* row = TWaveCommands::Find(c.action);
    ASSERT_NE(row, nullptr);
    OkWith(std::string(row->dialogClass), c.edits);

    Trigger(c.action);

    std::vector<std::string> boxes;
    for (const ShownMessage& box : messages.Shown())
        boxes.push_back(box.caption + ": " + box.text);
    EXPECT_EQ(boxes, c.outcome == Outcome::Runs ? std::vector<std::string>{}
                                                : std::vector<std::string>{c.box});
    EXPECT_EQ(dialogs.Refused().size(), c.outcome == Outcome::DialogRefuses ? 1u : 0u);
    if (c.outcome == Outcome::Runs) {
        EXPECT_NE(unit.GetSound(), before);
    } else {
        EXPECT_EQ(unit.GetSound(), before);
        EXPECT_EQ(form->Documents().GetUndo(), undo) << "the record of the command before stays";
        EXPECT_DOUBLE_EQ(unit.GetDrawLength(), 1.0);
        if (c.drawing) {
            EXPECT_EQ(NodeValues(unit), nodes);
        }
    }
}

const HostileCase HostileCases[] = {
    // A full turn is no turn at all.
    {"SinusFullTurn", "MakeSinus", {{"editStartPhase", "100 %"}}, Outcome::Runs},
    // A block shorter than a value is one value.
    {"TempoTinyBlock", "TempoPitch", {{"editBlockSize", "0.000001 s"}}, Outcome::Runs},
    {"TempoTinyBlockHigh",
     "TempoPitch",
     {{"rgrQuality", "High"}, {"editBlockSize", "0.000001 s"}},
     Outcome::Runs},
    {"EchoEnvelopeBackwards",
     "PerEcho",
     {{"chkTimeEnvelope", "on"}, {"cboTimeEnvelope", "Env"}, {"editTime", "-10 ms"}},
     Outcome::DialogRefuses,
     "Input Error: In Time: The time may not be negative with a time envelope."},
    {"EchoBackwards", "PerEcho", {{"editTime", "-10 ms"}}, Outcome::Runs},
    // The engine makes one value of a factor of 0, and plays a negative one backwards.
    {"LengthZero", "Length", {{"editLengthFactor", "0 %"}}, Outcome::Runs},
    {"LengthNegative", "Length", {{"editLengthFactor", "-50 %"}}, Outcome::Runs},
    {"DrawingLengthZero",
     "Length",
     {{"editLengthFactor", "0 %"}},
     Outcome::CommandRefuses,
     "Input Error: In Length Factor: The length of a drawing must stay above 0.",
     true},
    {"DrawingLengthNegative",
     "Length",
     {{"editLengthFactor", "-50 %"}},
     Outcome::CommandRefuses,
     "Input Error: In Length Factor: The length of a drawing must stay above 0.",
     true},
    {"DrawingLengthOfAnEmptyWave",
     "Length",
     {{"optLengthSameAs", "on"}, {"cboLengthSameAs", "Empty"}},
     Outcome::CommandRefuses,
     "Input Error: In Same Length as: The length of a drawing must stay above 0.",
     true},
    {"NotchAboveTheSampleRate",
     "FilterNotch",
     {{"editFreqConstant", "9 khz"}},
     Outcome::DialogRefuses,
     "Input Error: In Frequency Constant: The frequency may not be above the sample frequency "
     "(8000 Hz).",
     false,
     8000},
    {"ResonanceAtTheSampleRate",
     "FilterRes",
     {{"editFreqConstant", "8 khz"}},
     Outcome::Runs,
     "",
     false,
     8000},
    {"TempoNegativeSpeedWithEnvelope",
     "TempoPitch",
     {{"editSpeedFactor", "-100 %"}, {"chkSpeedEnvelope", "on"}, {"cboSpeedEnvelope", "Env"}},
     Outcome::DialogRefuses,
     "Input Error: In Speed Factor: The speed may not be negative with a speed envelope."},
    {"TempoSameLengthAsAnEmptyWave",
     "TempoPitch",
     {{"optLengthSameAs", "on"}, {"cboLengthSameAs", "Empty"}},
     Outcome::DialogRefuses,
     "Input Error: In Same Length as: The length factor would be 0."},
    {"RollOutSameLengthAsAnEmptyWave",
     "RollOut",
     {{"optLengthSameAs", "on"}, {"cboLengthSameAs", "Empty"}},
     Outcome::DialogRefuses,
     "Input Error: In Same Length as: The length factor would be 0."},
    {"RotateWholeRange", "Rotate", {{"editFactor", "-100 %"}, {"editTime", "0 s"}}, Outcome::Runs},
    {"BlockHugeCounts",
     "Block",
     {{"editHorCount", "2147483647"}, {"editVertCount", "2147483647"}},
     Outcome::Runs},
    {"HighFilterTopFactor", "FilterHigh", {{"editFactor", "0.999999"}}, Outcome::Runs},
    {"FilterBlockZero", "FilterBlock", {{"editTimeConstant", "0 s"}}, Outcome::Runs},
    {"DistortWithoutEnvelope",
     "Distort",
     {{"cboDistortEnvelope", ""}},
     Outcome::DialogRefuses,
     "Input Error: In Distort Envelope: You have to select a Wave"},
    {"VolumeEmptyEnvelope",
     "Volume",
     {{"optEnvelope", "on"}, {"cboUnitWave", "Empty"}},
     Outcome::CommandRefuses,
     "Input Error: The volume envelope is empty."},
};

INSTANTIATE_TEST_SUITE_P(Values, WaveCommandsHostileTest, ::testing::ValuesIn(HostileCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The start phase counts in whole turns: 100 % starts as 0 %, -25 % as 75 %.
TEST_F(WaveCommandsTest, SinusStartPhaseCountsInWholeTurns)
{
    auto make = [this](const char* phase) {
        TMDIChildWave* window = NewWave(std::string("Sine ") + phase, EmptySound(1));
        OkWith("TDlgSinusProps", {{"editStartPhase", phase}, {"editLength", "10 ms"}});
        Trigger("MakeSinus");
        return window->GetUnitWave().GetSound();
    };
    const SoundPtr none = make("0 %");
    const SoundPtr full = make("100 %");
    const SoundPtr back = make("-25 %");
    const SoundPtr ahead = make("75 %");
    ASSERT_GT(none->GetValues(), 400);
    EXPECT_TRUE(SameSound(*none, *full));
    EXPECT_TRUE(SameSound(*back, *ahead));
    EXPECT_FALSE(SameSound(*none, *ahead));
    // Three quarters of a turn in, the sine starts at its bottom.
    EXPECT_LT((*back->GetLeftWave())[0], -16000);
}

} // namespace
