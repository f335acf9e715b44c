// Every wave command: its enabled state on prepared documents, and a confirmed run on a real
// wave that changes the sound through the road.
#include "waveui/WaveWindow.h"
#include "WaveCommandsTestSupport.h"

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

// ---- Enabled states --------------------------------------------------------------------------

// The documents, in the order of the columns below.
enum class Prepared { EmptyStereo, EmptyMono, Stereo, Mono, Drawing, DrawingWithoutNodes };
constexpr Prepared AllPrepared[] = {Prepared::EmptyStereo, Prepared::EmptyMono,
                                    Prepared::Stereo,      Prepared::Mono,
                                    Prepared::Drawing,     Prepared::DrawingWithoutNodes};

struct EnabledCase
{
    const char* action;
    const char* enabled; // one character per prepared document: 'x' enabled, '-' disabled
};

const EnabledCase EnabledCases[] = {
    {"MakeSilence", "xxxx--"},
    {"MakeLine", "xxxx--"},
    {"MakeBlock", "xxxx--"},
    {"MakeTriangle", "xxxx--"},
    {"MakeSinus", "xxxx--"},
    {"MakeNoise", "xxxx--"},
    {"MakeMFreq", "xxxx--"},
    {"DrawWaveLin", "-x--xx"},
    {"DrawWave3G", "-x--xx"},
    {"Volume", "--xxx-"},
    {"MaxVolume", "--xxx-"},
    {"MoveV", "--xxx-"},
    {"NormalizeVertically", "--xxx-"},
    {"Reverse", "--xx--"},
    {"MoveH", "--xx--"},
    {"Block", "--xx--"},
    {"RollOut", "--xx--"},
    {"Rotate", "--xx--"},
    {"RollIn", "--xx--"},
    {"Length", "--xxxx"},
    {"Distort", "--xx--"},
    {"Balance", "---x--"},
    {"MixLeftRight", "--x---"},
    {"PerEcho", "--xx--"},
    {"RndEcho", "--xx--"},
    {"TempoPitch", "--xx--"},
    {"FilterBlock", "--xx--"},
    {"FilterLow", "--xx--"},
    {"FilterHigh", "--xx--"},
    {"FilterRes", "--xx--"},
    {"FilterNotch", "--xx--"},
    {"ZoomIn", "--xx--"},
    {"NoZoom", "--xx--"},
};

class WaveCommandsEnabledTest : public WaveCommandsTest,
                                public ::testing::WithParamInterface<Prepared>
{
protected:
    void Prepare(Prepared kind)
    {
        switch (kind) {
        case Prepared::EmptyStereo:
            NewWave("Doc", EmptySound(2));
            break;
        case Prepared::EmptyMono:
            NewWave("Doc", EmptySound(1));
            break;
        case Prepared::Stereo:
            NewWave("Doc", Pattern(1000, 3))->GetUnitWave().SetPart(10, 20);
            break;
        case Prepared::Mono:
            NewWave("Doc", MonoPattern(1000, 3))->GetUnitWave().SetCursor(5);
            break;
        case Prepared::Drawing:
        case Prepared::DrawingWithoutNodes: {
            TUnitWave& unit = NewWave("Doc", EmptySound(1))->GetUnitWave();
            Trigger("DrawWaveLin");
            if (kind == Prepared::DrawingWithoutNodes)
                while (TDrawNode* node = unit.GetDrawNodes())
                    unit.DeleteDrawNode(node);
            break;
        }
        }
        form->ActionListUpdate();
    }
};

TEST_P(WaveCommandsEnabledTest, EachCommandFollowsTheActionTable)
{
    const auto column = static_cast<size_t>(GetParam());
    Prepare(GetParam());
    for (const EnabledCase& c : EnabledCases)
        EXPECT_EQ(A(c.action)->isEnabled(), c.enabled[column] == 'x') << c.action;
    // The table names every command the road installs.
    for (const WaveCommandInfo& row : TWaveCommands::Table()) {
        bool listed = false;
        for (const EnabledCase& c : EnabledCases)
            listed = listed || row.action == c.action;
        EXPECT_TRUE(listed) << row.action;
    }
}

std::string PreparedName(const ::testing::TestParamInfo<Prepared>& info)
{
    static const char* const names[] = {"EmptyStereo", "EmptyMono", "Stereo",
                                        "Mono",        "Drawing",   "NoNodes"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Documents, WaveCommandsEnabledTest, ::testing::ValuesIn(AllPrepared),
                         PreparedName);

// ---- A confirmed run of every command ----------------------------------------------------------

struct RunCase
{
    const char* action;
    Edits edits;
    bool mono = false;
};

const RunCase RunCases[] = {
    RunCase{"MakeSilence", {}},
    RunCase{"MakeLine", {}},
    RunCase{"MakeBlock", {}},
    RunCase{"MakeTriangle", {}},
    RunCase{"MakeSinus", {}},
    RunCase{"MakeNoise", {}},
    RunCase{"Volume", {}},
    RunCase{"MaxVolume", {}},
    RunCase{"Reverse", {}},
    RunCase{"MoveV", {{"editAdd", RawValue(100)}}},
    RunCase{"MoveH", {{"editDiffTimeLeft", "1 ms"}, {"editDiffTimeRight", "2 ms"}}},
    RunCase{"NormalizeVertically", {}},
    RunCase{"Block", {{"editHorCount", "4"}}},
    RunCase{"RollOut", {}},
    RunCase{"Rotate", {{"editTime", "10 ms"}}},
    RunCase{"RollIn", {{"editLength", "10 ms"}}},
    RunCase{"Length", {}},
    RunCase{"Distort", {{"cboDistortEnvelope", "Env"}}},
    RunCase{"Balance", {{"editDirConstant", "45 '"}}, true},
    RunCase{"MixLeftRight", {{"editLeft2Right", "50 %"}}},
    RunCase{"PerEcho", {}},
    RunCase{"RndEcho", {}},
    RunCase{"TempoPitch", {{"editFreqFactor", "200 %"}}},
    RunCase{"FilterBlock", {}},
    RunCase{"FilterLow", {}},
    RunCase{"FilterHigh", {}},
    RunCase{"FilterRes", {}},
    RunCase{"FilterNotch", {}}};

class WaveCommandsRunTest : public WaveCommandsTest, public ::testing::WithParamInterface<RunCase>
{
};

// On a wave with a part, next to a mono wave "Env" that the envelope lists offer.
TEST_P(WaveCommandsRunTest, ChangesTheSoundOfTheActiveDocumentOnly)
{
    const RunCase& c = GetParam();
    TMDIChildWave* envelope = NewWave("Env", MonoPattern(4000, 7));
    const SoundPtr envelopeSound = envelope->GetUnitWave().GetSound();
    const SoundPtr before = c.mono ? MonoPattern(8000, 3) : Pattern(8000, 3);
    TMDIChildWave* window = NewWave("Song", before);
    TUnitWave& unit = window->GetUnitWave();
    unit.SetPart(2000, 6000);
    unit.ClearModified();
    const WaveCommandInfo* row = TWaveCommands::Find(c.action);
    ASSERT_NE(row, nullptr);
    if (!row->dialogClass.empty())
        OkWith(std::string(row->dialogClass), c.edits);

    Trigger(c.action);

    EXPECT_EQ(dialogs.Refused(), std::vector<std::string>{});
    ASSERT_NE(unit.GetSound(), before);
    EXPECT_FALSE(SameSound(*unit.GetSound(), *before));
    EXPECT_TRUE(unit.IsDataModified());
    ASSERT_NE(form->Documents().GetUndo(), nullptr);
    EXPECT_EQ(form->Documents().GetUndo()->GetUnitWave(), &unit);
    EXPECT_EQ(form->Documents().GetUndo()->GetSound(), before);
    EXPECT_EQ(envelope->GetUnitWave().GetSound(), envelopeSound);
    EXPECT_FALSE(form->Documents().IsWaiting());
}

INSTANTIATE_TEST_SUITE_P(Commands, WaveCommandsRunTest, ::testing::ValuesIn(RunCases),
                         [](const auto& info) { return std::string(info.param.action); });

TEST_F(WaveCommandsTest, EveryCommandOfTheTableHasARunCase)
{
    // A command added to the table without a case would go untested.
    for (const WaveCommandInfo& row : TWaveCommands::Table()) {
        bool listed = false;
        for (const RunCase& c : RunCases)
            listed = listed || row.action == c.action;
        EXPECT_TRUE(listed) << row.action;
    }
}

TEST_F(WaveCommandsTest, EnvelopeListsOfferTheOpenNamedWavesButTheActiveOne)
{
    NewWave("Env", MonoPattern(100, 7));
    NewWave("Other", Pattern(100, 7));
    NewWave("Song", Pattern(1000, 3));
    std::vector<std::string> offered;
    CancelAfter("TDlgVolumeProps", [&](TOperationDialog& dialog) {
        QComboBox* list = dialog.Combo("cboUnitWave");
        for (int i = 0; i < list->count(); ++i)
            offered.push_back(list->itemText(i).toStdString());
    });
    Trigger("Volume");
    std::sort(offered.begin(), offered.end());
    EXPECT_EQ(offered, (std::vector<std::string>{"Env", "Other"}));
}

} // namespace
