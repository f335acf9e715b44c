// The wave commands' road (dialog, undo snapshot, last-used record, operation, modified mark),
// their enabled states and refusals, the drawing, the clipboard commands with undo, and split
// and merge with the places of their windows.
#include "ShellSupport.h"

#include "document/wave/DrawNode.h"
#include "document/wave/UndoUnit.h"

#include <optional>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using WaveCommandsTest = CommandsTest;

std::vector<int16_t> NodeValues(const TUnitWave& unit)
{
    std::vector<int16_t> values;
    for (TDrawNode* node = unit.GetDrawNodes(); node; node = node->GetNext())
        values.push_back(node->GetValue());
    return values;
}

// Columns: empty stereo, empty mono, stereo with a part, mono with a cursor, a drawing, a
// drawing without nodes; 'x' enabled.
TEST_F(WaveCommandsTest, EachCommandIsEnabledAsTheActionTableSays)
{
    const char* const rows[][2] = {
        {"MakeSilence MakeLine MakeBlock MakeTriangle MakeSinus MakeNoise MakeMFreq", "xxxx--"},
        {"DrawWaveLin DrawWave3G", "-x--xx"},
        {"Volume MaxVolume MoveV NormalizeVertically", "--xxx-"},
        {"Reverse MoveH Block RollOut Rotate RollIn Distort PerEcho RndEcho TempoPitch "
         "FilterBlock FilterLow FilterHigh FilterRes FilterNotch ZoomIn NoZoom",
         "--xx--"},
        {"Length", "--xxxx"},
        {"Balance", "---x--"},
        {"MixLeftRight", "--x---"}};
    std::string listed;
    for (const auto& row : rows)
        listed += std::string(" ") + row[0] + " ";
    for (const WaveCommandInfo& command : TWaveCommands::Table())
        EXPECT_NE(listed.find(" " + std::string(command.action) + " "), std::string::npos)
            << command.action;
    for (size_t column = 0; column < 6; ++column) {
        const SoundPtr sounds[] = {Values({}, 2),       Values({}), Pattern(1000, 3),
                                   Values(Steps(1000)), Values({}), Values({})};
        TUnitWave& unit = NewWave("Doc", sounds[column])->GetUnitWave();
        if (column == 2)
            unit.SetPart(10, 20);
        if (column == 3)
            unit.SetCursor(5);
        if (column >= 4)
            Trigger("DrawWaveLin");
        if (column == 5)
            while (TDrawNode* node = unit.GetDrawNodes())
                unit.DeleteDrawNode(node);
        form->ActionListUpdate();
        for (const auto& row : rows) {
            std::istringstream actions(row[0]);
            for (std::string action; actions >> action;)
                EXPECT_EQ(A(action.c_str())->isEnabled(), row[1][column] == 'x')
                    << action << " in column " << column;
        }
        delete ActiveWave();
        Flush();
    }
}

// Every command, confirmed with its dialog's values, changes the active wave's sound only,
// marks it and keeps the sound before in the undo record; Cancel changes nothing at all.
TEST_F(WaveCommandsTest, EveryCommandRunsThroughTheRoadAndACancelLeavesEverything)
{
    const std::map<std::string_view, Edits> edits = {
        {"MoveV", {{"editAdd", unitWaveVal(100, EHValue).ToText()}}},
        {"MoveH", {{"editDiffTimeLeft", "1 ms"}, {"editDiffTimeRight", "2 ms"}}},
        {"Block", {{"editHorCount", "4"}}},
        {"Rotate", {{"editTime", "10 ms"}}},
        {"RollIn", {{"editLength", "10 ms"}}},
        {"Distort", {{"cboDistortEnvelope", "Env"}}},
        {"Balance", {{"editDirConstant", "45 '"}}},
        {"MixLeftRight", {{"editLeft2Right", "50 %"}}},
        {"TempoPitch", {{"editFreqFactor", "200 %"}}}};
    TMDIChildWave* envelope = NewWave("Env", Values(Steps(4000, 7)));
    const SoundPtr envelopeSound = envelope->GetUnitWave().GetSound();
    for (const WaveCommandInfo& row : TWaveCommands::Table()) {
        SCOPED_TRACE(std::string(row.action));
        // Balance wants a mono wave.
        const SoundPtr before = row.action == "Balance" ? Values(Steps(8000, 3)) : Pattern(8000, 3);
        TMDIChildWave* window = NewWave(std::string(row.action), before);
        TUnitWave& unit = window->GetUnitWave();
        unit.SetPart(2000, 6000);
        unit.ClearModified();
        const TUnitWaveRecords own = unit.Records();
        TUndoUnit* undo = form->Documents().GetUndo();
        if (!row.dialogClass.empty()) {
            dialogs.When(std::string(row.dialogClass), DialogResult::Rejected);
            Trigger(std::string(row.action).c_str());
            EXPECT_EQ(unit.GetSound(), before);
            EXPECT_EQ(unit.GetPartBegin() * 10000 + unit.GetPartEnd(), 20006000);
            EXPECT_FALSE(unit.IsDataModified());
            EXPECT_EQ(form->Documents().GetUndo(), undo);
            EXPECT_TRUE(unit.Records().volumeProps == own.volumeProps);
            const auto found = edits.find(row.action);
            OkWith(std::string(row.dialogClass), found == edits.end() ? Edits{} : found->second);
        }
        Trigger(std::string(row.action).c_str());
        EXPECT_EQ(dialogs.Refused(), std::vector<std::string>{});
        EXPECT_FALSE(SameSound(*unit.GetSound(), *before));
        EXPECT_TRUE(unit.IsDataModified());
        ASSERT_NE(form->Documents().GetUndo(), nullptr);
        EXPECT_EQ(form->Documents().GetUndo()->GetUnitWave(), &unit);
        EXPECT_EQ(form->Documents().GetUndo()->GetSound(), before);
        EXPECT_EQ(envelope->GetUnitWave().GetSound(), envelopeSound);
        delete window;
        Flush();
    }
}

struct HostileCase
{
    const char* name;
    const char* action;
    Edits edits;
    const char* box = ""; // "" runs; "=..." the dialog refuses; else the command refuses
    bool drawing = false;
    int32_t freq = 44100;
};

class WaveCommandsHostileTest : public CommandsTest,
                                public ::testing::WithParamInterface<HostileCase>
{
};

// Values at the dialogs' edges either run or are refused with one "Input Error" box naming the
// field; none reaches an assertion, and a refusal changes nothing.
TEST_P(WaveCommandsHostileTest, RunsOrRefusesWithOneBox)
{
    const HostileCase& c = GetParam();
    NewWave("Env", Values(Steps(4000, 7)));
    NewWave("Empty", Values({}));
    TUnitWave& unit =
        NewWave("Song", c.drawing ? Values({}) : Pattern(8000, 3, c.freq))->GetUnitWave();
    if (c.drawing) {
        Trigger("DrawWaveLin");
        unit.InsertDrawNode(std::make_unique<TDrawNode>(int16_t(1000), 0.5));
        ASSERT_TRUE(unit.RenderUserDraw());
    } else {
        unit.SetPart(2000, 6000);
    }
    const SoundPtr before = unit.GetSound();
    form->Documents().MakeUndo(*form->Documents().FindUnitWave("Env"));
    TUndoUnit* undo = form->Documents().GetUndo();
    const std::string box = *c.box == '=' ? c.box + 1 : c.box;
    if (!box.empty())
        messages.Expect();
    OkWith(std::string(TWaveCommands::Find(c.action)->dialogClass), c.edits);
    Trigger(c.action);
    EXPECT_EQ(messages.Shown().size(), box.empty() ? 0u : 1u);
    if (!box.empty()) {
        EXPECT_EQ(LastBox(), box);
    }
    EXPECT_EQ(dialogs.Refused().size(), *c.box == '=' ? 1u : 0u);
    EXPECT_EQ(unit.GetSound() == before, !box.empty());
    if (!box.empty()) {
        EXPECT_EQ(form->Documents().GetUndo(), undo);
        EXPECT_DOUBLE_EQ(unit.GetDrawLength(), 1.0);
        EXPECT_EQ(NodeValues(unit), c.drawing ? (V{0, 1000, 0}) : V{});
    }
}

const HostileCase HostileCases[] = {
    {"EchoEnvelopeBackwards",
     "PerEcho",
     {{"chkTimeEnvelope", "on"}, {"cboTimeEnvelope", "Env"}, {"editTime", "-10 ms"}},
     "=Input Error: In Time: The time may not be negative with a time envelope."},
    {"LengthZero", "Length", {{"editLengthFactor", "0 %"}}},
    {"DrawingLengthZero",
     "Length",
     {{"editLengthFactor", "0 %"}},
     "Input Error: In Length Factor: The length of a drawing must stay above 0.",
     true},
    {"DrawingLengthOfAnEmptyWave",
     "Length",
     {{"optLengthSameAs", "on"}, {"cboLengthSameAs", "Empty"}},
     "Input Error: In Same Length as: The length of a drawing must stay above 0.",
     true},
    {"NotchAboveTheSampleRate",
     "FilterNotch",
     {{"editFreqConstant", "9 khz"}},
     "=Input Error: In Frequency Constant: The frequency may not be above the sample frequency "
     "(8000 Hz).",
     false,
     8000},
    {"ResonanceAtTheSampleRate", "FilterRes", {{"editFreqConstant", "8 khz"}}, "", false, 8000},
    {"TempoNegativeSpeedWithEnvelope",
     "TempoPitch",
     {{"editSpeedFactor", "-100 %"}, {"chkSpeedEnvelope", "on"}, {"cboSpeedEnvelope", "Env"}},
     "=Input Error: In Speed Factor: The speed may not be negative with a speed envelope."},
    {"TempoSameLengthAsAnEmptyWave",
     "TempoPitch",
     {{"optLengthSameAs", "on"}, {"cboLengthSameAs", "Empty"}},
     "=Input Error: In Same Length as: The length factor would be 0."},
    {"RollOutSameLengthAsAnEmptyWave",
     "RollOut",
     {{"optLengthSameAs", "on"}, {"cboLengthSameAs", "Empty"}},
     "=Input Error: In Same Length as: The length factor would be 0."},
    {"BlockHugeCounts", "Block", {{"editHorCount", "2147483647"}, {"editVertCount", "2147483647"}}},
    {"FilterBlockZero", "FilterBlock", {{"editTimeConstant", "0 s"}}},
    {"DistortWithoutEnvelope",
     "Distort",
     {{"cboDistortEnvelope", ""}},
     "=Input Error: In Distort Envelope: You have to select a Wave"},
    {"VolumeEmptyEnvelope",
     "Volume",
     {{"optEnvelope", "on"}, {"cboUnitWave", "Empty"}},
     "Input Error: The volume envelope is empty."},
};

INSTANTIATE_TEST_SUITE_P(Values, WaveCommandsHostileTest, ::testing::ValuesIn(HostileCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- The clipboard commands and Undo -------------------------------------------------------

TEST_F(WaveCommandsTest, ClipboardCommandsChangeSoundPositionsAndClipboardAndUndoBackAndForth)
{
    // The action, the positions, the sound and part afterwards, the clipboard afterwards
    // (nullopt: it keeps {7, 7, 7}) and whether the sound changes.
    using Row =
        std::tuple<const char*, int32_t, int32_t, V, int32_t, int32_t, std::optional<V>, bool>;
    const V all = Steps(10, 100);
    const Row rows[] = {
        {"EditCopy", 5, 2, all, 2, 5, V{200, 300, 400}, false},
        {"EditCopy", 4, 4, all, 4, 4, all, false},
        {"EditCut", 2, 5, V{0, 100, 500, 600, 700, 800, 900}, 2, 2, V{200, 300, 400}, true},
        {"EditCut", 4, 4, V{}, 0, 0, all, true},
        {"EditPaste", 2, 5, V{0, 100, 7, 7, 7, 500, 600, 700, 800, 900}, 2, 5, std::nullopt, true},
        {"EditPaste", 4, 4, V{0, 100, 200, 300, 7, 7, 7, 400, 500, 600, 700, 800, 900}, 4, 7,
         std::nullopt, true},
        {"EditSwap", 2, 4, V{0, 100, 7, 7, 7, 400, 500, 600, 700, 800, 900}, 2, 5, V{200, 300},
         true},
        {"EditSwap", 9, 9, V{0, 100, 200, 300, 400, 500, 600, 700, 800, 7, 7, 7, 900}, 9, 12, V{},
         true},
        {"EditExtract", 2, 5, V{0, 100, 0, 0, 0, 500, 600, 700, 800, 900}, 2, 5, V{200, 300, 400},
         true},
        {"EditExtract", 3, 3, V(10, 0), 3, 3, all, true},
        {"EditDelete", 2, 5, V{0, 100, 500, 600, 700, 800, 900}, 2, 2, std::nullopt, true},
        {"EditDelete", 3, 3, V{}, 0, 0, std::nullopt, true},
        {"EditTrim", 2, 5, V{200, 300, 400}, 0, 3, std::nullopt, true}};
    for (const auto& [action, pos1, pos2, sound, begin, end, clipboard, changes] : rows) {
        SCOPED_TRACE(std::string(action) + " " + std::to_string(pos1));
        form->Documents().DeleteUndo();
        TUnitWave& unit = NewWave("Wave 1", Values(all))->GetUnitWave();
        unit.ClearModified();
        unit.SetPos1(pos1);
        unit.SetPos2(pos2);
        form->Documents().SetClipBoardSound(Values({7, 7, 7}));
        Trigger(action);
        EXPECT_EQ(LeftOf(*unit.GetSound()), sound);
        EXPECT_EQ(unit.GetPartBegin(), begin);
        EXPECT_EQ(unit.GetPartEnd(), end);
        EXPECT_EQ(LeftOf(*form->Documents().GetClipBoardSound()), clipboard.value_or(V{7, 7, 7}));
        EXPECT_EQ(unit.IsDataModified(), changes);
        EXPECT_EQ(A("Undo")->isEnabled(), changes);
        if (changes) {
            Trigger("Undo");
            EXPECT_EQ(LeftOf(*unit.GetSound()), all);
            EXPECT_EQ(unit.GetPos1() * 100 + unit.GetPos2(), pos1 * 100 + pos2);
            // A second Undo redoes.
            Trigger("Undo");
            EXPECT_EQ(LeftOf(*unit.GetSound()), sound);
            EXPECT_EQ(unit.GetPartBegin() * 100 + unit.GetPartEnd(), begin * 100 + end);
        }
        delete ActiveWave();
        Flush();
    }
    // Deleting the record keeps the sound; Clear Clipboard empties it only for a wave window.
    form->Documents().SetClipBoardSound(Values({1, 2}));
    edit->EditClearClipboardExecute();
    EXPECT_TRUE(form->Documents().HasClipBoardSound());
    TUnitWave& unit = NewWave("Wave 1", Values(all))->GetUnitWave();
    unit.SetPart(2, 5);
    Trigger("EditCut");
    Trigger("DeleteUndo");
    EXPECT_FALSE(A("Undo")->isEnabled());
    EXPECT_EQ(LeftOf(*unit.GetSound()), (V{0, 100, 500, 600, 700, 800, 900}));
    Trigger("EditClearClipboard");
    EXPECT_FALSE(form->Documents().HasClipBoardSound() || A("EditPaste")->isEnabled());
}

} // namespace
