#include "waveui/WaveWindow.h"
#include "EditCommandsTestSupport.h"

#include "document/wave/UndoUnit.h"

#include <optional>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using V = std::vector<int16_t>;

// ---- Undo ------------------------------------------------------------------------------------

TEST_F(EditCommandsTest, UndoRestoresSoundAndPositionsAndASecondUndoRedoes)
{
    TMDIChildWave* window = OpenSound("Wave 1", Values(Steps(10, 100)));
    TUnitWave& unit = window->GetUnitWave();
    unit.SetPart(2, 5);
    Trigger("EditDelete");
    ASSERT_EQ(LeftOf(*unit.GetSound()), (V{0, 100, 500, 600, 700, 800, 900}));
    EXPECT_EQ(unit.GetPos1(), 2);
    EXPECT_EQ(unit.GetPos2(), 2);
    EXPECT_TRUE(unit.IsDataModified());

    Trigger("Undo");
    EXPECT_EQ(LeftOf(*unit.GetSound()), Steps(10, 100));
    EXPECT_EQ(unit.GetPartBegin(), 2);
    EXPECT_EQ(unit.GetPartEnd(), 5);

    Trigger("Undo");
    EXPECT_EQ(LeftOf(*unit.GetSound()), (V{0, 100, 500, 600, 700, 800, 900}));
    EXPECT_EQ(unit.GetPos1(), 2);
    EXPECT_EQ(unit.GetPos2(), 2);
}

TEST_F(EditCommandsTest, ClosingTheDocumentEndsItsUndo)
{
    OpenSound("Other", Values(Steps(4)));
    TMDIChildWave* window = OpenSound("Wave 1", Values(Steps(10, 100)));
    window->GetUnitWave().SetPart(2, 5);
    Trigger("EditTrim");
    EXPECT_TRUE(A("Undo")->isEnabled());
    // An untitled wave with values asks before it goes: No.
    messages.Expect(MsgAnswer::No);
    ASSERT_TRUE(window->close());
    form->ActionListUpdate();
    EXPECT_FALSE(A("Undo")->isEnabled());
    EXPECT_FALSE(A("DeleteUndo")->isEnabled());
    EXPECT_EQ(Documents().GetUndo(), nullptr);
}

TEST_F(EditCommandsTest, DeleteUndoForgetsTheRecord)
{
    TMDIChildWave* window = OpenSound("Wave 1", Values(Steps(10, 100)));
    window->GetUnitWave().SetPart(2, 5);
    Trigger("EditCut");
    Trigger("DeleteUndo");
    form->ActionListUpdate();
    EXPECT_FALSE(A("Undo")->isEnabled());
    EXPECT_EQ(LeftOf(*window->GetUnitWave().GetSound()), (V{0, 100, 500, 600, 700, 800, 900}));
}

// A sound replaced outside the undo road stays alive for the record that holds it.
TEST_F(EditCommandsTest, UndoAfterRevertBringsBackTheSoundBeforeTheRevert)
{
    const std::string file = WriteWav("saved.wav", Values(Steps(6, 10), 2));
    TUnitWave* unit = commands->OpenWaveFile(file, {}, false);
    ASSERT_NE(unit, nullptr);
    unit->SetPart(0, 2);
    Trigger("EditDelete");
    ASSERT_EQ(LeftOf(*unit->GetSound()), (V{20, 30, 40, 50}));
    Documents().MakeUndo(*unit); // the edited sound, as the next command would keep it
    Trigger("FileRevert");
    ASSERT_EQ(LeftOf(*unit->GetSound()), Steps(6, 10));

    Trigger("Undo");
    EXPECT_EQ(LeftOf(*unit->GetSound()), (V{20, 30, 40, 50}));
    Trigger("Undo");
    EXPECT_EQ(LeftOf(*unit->GetSound()), Steps(6, 10));
    Trigger("DeleteUndo");
    EXPECT_EQ(LeftOf(*unit->GetSound()), Steps(6, 10));
}

TEST_F(EditCommandsTest, UndoAfterTheDrawingWasRenderedKeepsTheSoundBeforeIt)
{
    TMDIChildWave* window = OpenSound("Wave 1", Values({}, 1));
    TUnitWave& unit = window->GetUnitWave();
    Documents().MakeUndo(unit);
    const SoundPtr before = unit.GetSound();
    unit.StartUserDrawing(TUnitWave::DrawLinear);
    ASSERT_TRUE(unit.RenderUserDraw());
    ASSERT_NE(unit.GetSound(), before);
    const int32_t drawn = unit.GetValues();
    EXPECT_GT(drawn, 0);
    // Undo waits while the drawing goes on; afterwards it gives the empty wave back.
    form->ActionListUpdate();
    EXPECT_FALSE(A("Undo")->isEnabled());
    unit.StopUserDrawing();
    Trigger("Undo");
    EXPECT_EQ(unit.GetSound(), before);
    EXPECT_EQ(unit.GetValues(), 0);
    Trigger("Undo");
    EXPECT_EQ(unit.GetValues(), drawn);
}

// ---- The clipboard commands -------------------------------------------------------------------

struct ClipCase
{
    const char* name;
    const char* action;
    int32_t pos1;
    int32_t pos2;
    V sound;
    int32_t begin; ///< the part afterwards (a cursor: begin = end)
    int32_t end;
    std::optional<V> clipboard; ///< nullopt: the clipboard keeps {7, 7, 7}
    bool changes;               ///< undo record taken and document marked modified
};

class ClipboardCommandsTest : public EditCommandsTest,
                              public ::testing::WithParamInterface<ClipCase>
{
};

TEST_P(ClipboardCommandsTest, ChangesSoundPositionsAndClipboard)
{
    const ClipCase& c = GetParam();
    TMDIChildWave* window = OpenSound("Wave 1", Values(Steps(10, 100)));
    TUnitWave& unit = window->GetUnitWave();
    unit.SetPos1(c.pos1);
    unit.SetPos2(c.pos2);
    Documents().SetClipBoardSound(Values({7, 7, 7}));
    Trigger(c.action);

    EXPECT_EQ(LeftOf(*unit.GetSound()), c.sound);
    EXPECT_EQ(unit.GetPartBegin(), c.begin);
    EXPECT_EQ(unit.GetPartEnd(), c.end);
    ASSERT_TRUE(Documents().HasClipBoardSound());
    EXPECT_EQ(LeftOf(*Documents().GetClipBoardSound()), c.clipboard.value_or(V{7, 7, 7}));
    EXPECT_EQ(unit.IsDataModified(), c.changes);
    EXPECT_EQ(Documents().GetUndo() != nullptr, c.changes);
    if (c.changes) {
        Trigger("Undo");
        EXPECT_EQ(LeftOf(*unit.GetSound()), Steps(10, 100));
        EXPECT_EQ(unit.GetPos1(), c.pos1);
        EXPECT_EQ(unit.GetPos2(), c.pos2);
    }
}

const V kAll = Steps(10, 100);

INSTANTIATE_TEST_SUITE_P(
    Commands, ClipboardCommandsTest,
    ::testing::Values(
        ClipCase{"CopyPart", "EditCopy", 5, 2, kAll, 2, 5, V{200, 300, 400}, false},
        ClipCase{"CopyCursor", "EditCopy", 4, 4, kAll, 4, 4, kAll, false},
        ClipCase{"CutPart", "EditCut", 2, 5, V{0, 100, 500, 600, 700, 800, 900}, 2, 2,
                 V{200, 300, 400}, true},
        ClipCase{"CutCursor", "EditCut", 4, 4, V{}, 0, 0, kAll, true},
        ClipCase{"PastePart", "EditPaste", 2, 5, V{0, 100, 7, 7, 7, 500, 600, 700, 800, 900}, 2, 5,
                 std::nullopt, true},
        ClipCase{"PasteCursor", "EditPaste", 4, 4,
                 V{0, 100, 200, 300, 7, 7, 7, 400, 500, 600, 700, 800, 900}, 4, 7, std::nullopt,
                 true},
        ClipCase{"SwapPart", "EditSwap", 2, 4, V{0, 100, 7, 7, 7, 400, 500, 600, 700, 800, 900}, 2,
                 5, V{200, 300}, true},
        ClipCase{"SwapCursor", "EditSwap", 9, 9,
                 V{0, 100, 200, 300, 400, 500, 600, 700, 800, 7, 7, 7, 900}, 9, 12, V{}, true},
        ClipCase{"ExtractPart", "EditExtract", 2, 5, V{0, 100, 0, 0, 0, 500, 600, 700, 800, 900}, 2,
                 5, V{200, 300, 400}, true},
        ClipCase{"ExtractCursor", "EditExtract", 3, 3, V(10, 0), 3, 3, kAll, true},
        ClipCase{"DeletePart", "EditDelete", 2, 5, V{0, 100, 500, 600, 700, 800, 900}, 2, 2,
                 std::nullopt, true},
        ClipCase{"DeleteCursor", "EditDelete", 3, 3, V{}, 0, 0, std::nullopt, true},
        ClipCase{"TrimPart", "EditTrim", 2, 5, V{200, 300, 400}, 0, 3, std::nullopt, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditCommandsTest, PasteIntoAnotherRateSelectsTheResampledLength)
{
    TMDIChildWave* window = OpenSound("Wave 1", Values(V(1000, 5), 1, 44100));
    TUnitWave& unit = window->GetUnitWave();
    unit.SetPart(10, 20);
    // 101 values at 22050 Hz last as long as 202 at 44100 Hz.
    Documents().SetClipBoardSound(Values(V(101, 9), 1, 22050));
    Trigger("EditPaste");
    EXPECT_EQ(unit.GetPartBegin(), 10);
    EXPECT_EQ(unit.GetPartEnd(), 212);
    EXPECT_EQ(unit.GetSampleFreq(), 44100);
    EXPECT_EQ((*unit.GetSound()->GetLeftWave())[11], 9);
    EXPECT_EQ((*unit.GetSound()->GetLeftWave())[9], 5);
}

TEST_F(EditCommandsTest, ClearClipboardEmptiesItOnlyForAWaveWindow)
{
    Documents().SetClipBoardSound(Values({1, 2}));
    edit->EditClearClipboardExecute();
    EXPECT_TRUE(Documents().HasClipBoardSound());
    OpenSound("Wave 1", Values(Steps(3)));
    Trigger("EditClearClipboard");
    EXPECT_FALSE(Documents().HasClipBoardSound());
    form->ActionListUpdate();
    EXPECT_FALSE(A("EditPaste")->isEnabled());
}

// ---- Commands with a dialog on the road -------------------------------------------------------

TEST_F(EditCommandsTest, MixAddsTheClipboardAtThePartsBegin)
{
    TMDIChildWave* window = OpenSound("Wave 1", Values(V(6, 100)));
    TUnitWave& unit = window->GetUnitWave();
    unit.SetPart(2, 4);
    unit.Records().mixProps.placement = TMixProps::alignBegin;
    Documents().SetClipBoardSound(Values({1, 2}));
    dialogs.When("TDlgMixProps", DialogResult::Accepted);
    Trigger("EditMix");
    EXPECT_EQ(LeftOf(*unit.GetSound()), (V{100, 100, 101, 102, 100, 100}));
    EXPECT_TRUE(unit.IsDataModified());
    EXPECT_NE(Documents().GetUndo(), nullptr);
}

TEST_F(EditCommandsTest, MakeMultiFrequencyRunsTheConfirmedListAndKeepsItAsLastUsed)
{
    TMDIChildWave* window = OpenSound("Wave 1", Values({}, 1, 1000));
    TUnitWave& unit = window->GetUnitWave();
    TMFreqProps& own = unit.Records().mFreqProps;
    own.length.SetValue(0.5);
    dialogs.When("TDlgMFreqProps", DialogResult::Accepted);
    Trigger("MakeMFreq");
    EXPECT_EQ(unit.GetValues(), 500);
    EXPECT_TRUE(unit.IsDataModified());
    EXPECT_TRUE(Documents().LastUsedProps().mFreqProps == unit.Records().mFreqProps);
    EXPECT_NE(Documents().GetUndo(), nullptr);

    dialogs.When("TDlgMFreqProps", DialogResult::Rejected);
    Trigger("MakeMFreq");
    EXPECT_EQ(unit.GetValues(), 500);
}

} // namespace
