// The wave command road: dialog, undo snapshot, last-used record, operation, modified mark;
// Cancel; user drawing; the zoom and drawing switches.
#include "waveui/WaveWindow.h"
#include "WaveCommandsTestSupport.h"

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

TEST_F(WaveCommandsTest, VolumeHalvesExactlyThePartAndTheUndoBelongsToThatDocument)
{
    TMDIChildWave* other = NewWave("Other", Pattern(500, 2));
    TMDIChildWave* window = NewWave("Song", Pattern(3000, 2)); // even values halve exactly
    TUnitWave& unit = window->GetUnitWave();
    form->Documents().MakeUndo(other->GetUnitWave());
    unit.SetPart(1000, 2000);
    unit.ClearModified();
    const SoundPtr before = unit.GetSound();
    const SoundPtr otherSound = other->GetUnitWave().GetSound();

    OkWith("TDlgVolumeProps", {{"editVolume", "50 %"}});
    Trigger("Volume");

    const Sound& after = *unit.GetSound();
    ASSERT_EQ(after.GetValues(), 3000);
    int wrong = 0;
    for (int32_t i = 0; i < 3000; ++i) {
        const bool inside = i >= 1000 && i < 2000;
        for (bool left : {true, false}) {
            const int16_t old = left ? (*before->GetLeftWave())[i] : (*before->GetRightWave())[i];
            const int16_t now = left ? (*after.GetLeftWave())[i] : (*after.GetRightWave())[i];
            wrong += now != (inside ? old / 2 : old);
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(unit.GetPartBegin(), 1000);
    EXPECT_EQ(unit.GetPartEnd(), 2000);
    EXPECT_TRUE(unit.IsDataModified());
    TUndoUnit* undo = form->Documents().GetUndo();
    ASSERT_NE(undo, nullptr);
    EXPECT_EQ(undo->GetUnitWave(), &unit);
    EXPECT_EQ(undo->GetSound(), before);
    EXPECT_EQ(other->GetUnitWave().GetSound(), otherSound);
}

TEST_F(WaveCommandsTest, LastUsedRecordIsTheEditedOneAndANewWaveStartsFromIt)
{
    TMDIChildWave* first = NewWave("First", Pattern(400, 2));
    OkWith("TDlgVolumeProps", {{"editVolume", "25 %"}});
    Trigger("Volume");
    const TVolumeProps& lastUsed = form->Documents().LastUsedProps().volumeProps;
    EXPECT_DOUBLE_EQ(lastUsed.factor.GetValue(), 0.25);
    EXPECT_TRUE(first->GetUnitWave().Records().volumeProps == lastUsed);

    const std::string path = WriteWav("later.wav", Pattern(300, 3));
    TUnitWave* later = commands->OpenWaveFile(path, {}, false);
    ASSERT_NE(later, nullptr);
    form->ActionListUpdate();
    std::string shown;
    CancelAfter("TDlgVolumeProps",
                [&](TOperationDialog& dialog) { shown = Shown(dialog, "editVolume"); });
    Trigger("Volume");
    EXPECT_EQ(shown, "25 %");
}

TEST_F(WaveCommandsTest, EachDocumentsDialogStartsFromItsOwnRecord)
{
    TMDIChildWave* first = NewWave("First", Pattern(400, 2));
    OkWith("TDlgUpProps", {{"editAdd", RawValue(7)}});
    Trigger("MoveV");
    NewWave("Second", Pattern(400, 2));
    OkWith("TDlgUpProps", {{"editAdd", RawValue(9)}});
    Trigger("MoveV");
    Activate(first);
    std::string shown;
    CancelAfter("TDlgUpProps", [&](TOperationDialog& dialog) { shown = Shown(dialog, "editAdd"); });
    Trigger("MoveV");
    EXPECT_EQ(shown, RawValue(7));
    EXPECT_EQ(form->Documents().LastUsedProps().upProps.add.value, 9);
}

// Cancel of every dialog: the sound, the positions, the undo record and both sets of records
// stay as they were.
TEST_F(WaveCommandsTest, CancelOfEveryDialogChangesNothing)
{
    TMDIChildWave* other = NewWave("Other", Pattern(200, 5));
    form->Documents().MakeUndo(other->GetUnitWave());
    for (const WaveCommandInfo& row : TWaveCommands::Table()) {
        if (row.dialogClass.empty())
            continue;
        SCOPED_TRACE(std::string(row.action));
        // Balance wants a mono wave, Mix Left and Right a stereo one.
        SoundPtr sound = row.action == "Balance" ? MonoPattern(600, 3) : Pattern(600, 3);
        TMDIChildWave* window = NewWave(std::string(row.action), sound);
        TUnitWave& unit = window->GetUnitWave();
        unit.SetPart(100, 300);
        unit.ClearModified();
        const TUnitWaveRecords own = unit.Records();
        const TUnitWaveRecords lastUsed = form->Documents().LastUsedProps();
        TUndoUnit* undo = form->Documents().GetUndo();
        CancelAfter(std::string(row.dialogClass));
        Trigger(std::string(row.action).c_str());
        EXPECT_EQ(dialogs.Pending(), 0u);
        EXPECT_EQ(unit.GetSound(), sound);
        EXPECT_EQ(unit.GetPartBegin(), 100);
        EXPECT_EQ(unit.GetPartEnd(), 300);
        EXPECT_FALSE(unit.IsDataModified());
        EXPECT_EQ(form->Documents().GetUndo(), undo);
        EXPECT_TRUE(SameRecords(unit.Records(), own));
        EXPECT_TRUE(SameRecords(form->Documents().LastUsedProps(), lastUsed));
        delete window;
        Flush();
    }
}

TEST_F(WaveCommandsTest, AnOperationThatChangesNothingKeepsTheUndoRecordOfTheCommandBefore)
{
    TMDIChildWave* window = NewWave("Mono", MonoPattern(800, 3));
    TUnitWave& unit = window->GetUnitWave();
    OkWith("TDlgVolumeProps");
    Trigger("Volume");
    TUndoUnit* volumeUndo = form->Documents().GetUndo();
    ASSERT_NE(volumeUndo, nullptr);
    const SoundPtr afterVolume = unit.GetSound();
    unit.ClearModified();

    // Mixing the channels of a mono wave has nothing to do.
    OkWith("TDlgLeftRightProps", {{"editLeft2Right", "50 %"}});
    Run("MixLeftRight");

    EXPECT_EQ(unit.GetSound(), afterVolume);
    EXPECT_EQ(form->Documents().GetUndo(), volumeUndo);
    EXPECT_FALSE(unit.IsDataModified());
    EXPECT_DOUBLE_EQ(form->Documents().LastUsedProps().leftRightProps.leftToRight.GetValue(), 0.5)
        << "the confirmed record is kept all the same";
}

struct DrawingCase
{
    const char* action;
    const char* dialogClass; // nullptr: none
    Edits edits;
    std::vector<int16_t> nodes; // the node values afterwards
    double drawLength;          // the drawing's length afterwards
};

class WaveCommandsDrawingTest : public WaveCommandsTest,
                                public ::testing::WithParamInterface<DrawingCase>
{
};

// Nodes 0 at 0.0, 1000 at 0.5 and -400 at 1.0 before each command.
TEST_P(WaveCommandsDrawingTest, ChangesTheDrawingAndMakesNoUndoRecord)
{
    const DrawingCase& c = GetParam();
    TMDIChildWave* other = NewWave("Other", Pattern(200, 5));
    form->Documents().MakeUndo(other->GetUnitWave());
    TUndoUnit* undo = form->Documents().GetUndo();
    TMDIChildWave* window = NewWave("Drawn", EmptySound(1));
    TUnitWave& unit = window->GetUnitWave();
    Trigger("DrawWaveLin");
    ASSERT_TRUE(unit.IsUserDrawing());
    unit.GetDrawNodes()->GetNext()->SetValue(-400);
    AddNode(unit, 1000, 0.5);
    unit.ClearModified();
    const SoundPtr before = unit.GetSound();

    if (c.dialogClass)
        OkWith(c.dialogClass, c.edits);
    Trigger(c.action);

    EXPECT_EQ(NodeValues(unit), c.nodes);
    EXPECT_DOUBLE_EQ(unit.GetDrawLength(), c.drawLength);
    EXPECT_NE(unit.GetSound(), before) << "the drawing is rendered anew";
    EXPECT_EQ(form->Documents().GetUndo(), undo);
    EXPECT_EQ(undo->GetUnitWave(), &other->GetUnitWave());
    EXPECT_TRUE(unit.IsDataModified());
    EXPECT_TRUE(unit.IsUserDrawing());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, WaveCommandsDrawingTest,
    ::testing::Values(
        DrawingCase{"Volume", "TDlgVolumeProps", {{"editVolume", "50 %"}}, {0, 500, -200}, 1.0},
        DrawingCase{"MoveV", "TDlgUpProps", {{"editAdd", RawValue(100)}}, {100, 1100, -300}, 1.0},
        // The largest magnitude, 1000, goes to full scale.
        DrawingCase{"MaxVolume", nullptr, {}, {0, 32767, -13106}, 1.0},
        // Mean of the curve: (0 + 1000) / 2 × 0.5 + (1000 - 400) / 2 × 0.5 = 400.
        DrawingCase{"NormalizeVertically", nullptr, {}, {-400, 600, -800}, 1.0},
        DrawingCase{
            "Length", "TDlgLengthProps", {{"editLengthFactor", "250 %"}}, {0, 1000, -400}, 2.5}),
    [](const auto& info) { return std::string(info.param.action); });

TEST_F(WaveCommandsTest, VolumeDialogIsToldAboutTheDrawing)
{
    TMDIChildWave* window = NewWave("Drawn", EmptySound(1));
    Trigger("DrawWaveLin");
    AddNode(window->GetUnitWave(), 1000, 0.5);
    bool envelopeOffered = true;
    CancelAfter("TDlgVolumeProps", [&](TOperationDialog& dialog) {
        envelopeOffered = dialog.Button("optEnvelope")->isEnabled();
    });
    Trigger("Volume");
    EXPECT_FALSE(envelopeOffered);
}

TEST_F(WaveCommandsTest, ChangeLengthAtZeroSecondsOpensNoDialogButWhileDrawingItDoes)
{
    TMDIChildWave* window = NewWave("Empty", EmptySound(1));
    form->Documents().DeleteUndo();
    Run("Length"); // a dialog would be unexpected
    EXPECT_TRUE(dialogs.Opened().empty());
    EXPECT_EQ(form->Documents().GetUndo(), nullptr);

    Trigger("DrawWaveLin");
    ASSERT_TRUE(window->GetUnitWave().IsUserDrawing());
    CancelAfter("TDlgLengthProps");
    Trigger("Length");
    EXPECT_EQ(dialogs.Opened(), std::vector<std::string>{"TDlgLengthProps"});
}

TEST_F(WaveCommandsTest, CommandsWithoutAWaveDocumentDoNothing)
{
    for (const WaveCommandInfo& row : TWaveCommands::Table())
        Run(row.action);
    for (const char* action : {"ZoomIn", "NoZoom", "DrawWaveLin", "DrawWave3G"})
        A(action)->trigger();
    EXPECT_TRUE(dialogs.Opened().empty());
    EXPECT_EQ(form->Documents().GetUndo(), nullptr);
}

TEST_F(WaveCommandsTest, DrawingSwitchEntersLeavesAndSwitchesTheKind)
{
    TMDIChildWave* window = NewWave("Drawn", EmptySound(1));
    TUnitWave& unit = window->GetUnitWave();
    Trigger("DrawWaveLin");
    EXPECT_TRUE(unit.IsUserDrawing());
    EXPECT_EQ(unit.GetDrawKind(), TUnitWave::DrawLinear);
    EXPECT_TRUE(A("DrawWaveLin")->isChecked());
    EXPECT_FALSE(A("DrawWave3G")->isChecked());
    EXPECT_TRUE(unit.IsStateModified());

    AddNode(unit, 8000, 0.25);
    unit.ClearModified();
    const SoundPtr linear = unit.GetSound();
    Trigger("DrawWave3G");
    EXPECT_TRUE(unit.IsUserDrawing());
    EXPECT_EQ(unit.GetDrawKind(), TUnitWave::DrawParabola);
    EXPECT_EQ(unit.GetDrawNodeCount(), 3) << "switching keeps the nodes";
    EXPECT_FALSE(A("DrawWaveLin")->isChecked());
    EXPECT_TRUE(A("DrawWave3G")->isChecked());
    EXPECT_TRUE(unit.IsDataModified());
    ASSERT_EQ(unit.GetSound()->GetValues(), linear->GetValues());
    EXPECT_FALSE(SameSound(*unit.GetSound(), *linear)) << "drawn smooth, not straight";

    Trigger("DrawWave3G");
    EXPECT_FALSE(unit.IsUserDrawing());
    EXPECT_FALSE(A("DrawWave3G")->isChecked());
    EXPECT_FALSE(A("DrawWaveLin")->isChecked());
    EXPECT_GT(unit.GetValues(), 0) << "the drawn sound stays";
}

TEST_F(WaveCommandsTest, DrawWaveLinTwiceEntersAndLeaves)
{
    TMDIChildWave* window = NewWave("Drawn", EmptySound(1));
    Trigger("DrawWaveLin");
    EXPECT_TRUE(window->GetUnitWave().IsUserDrawing());
    Trigger("DrawWaveLin");
    EXPECT_FALSE(window->GetUnitWave().IsUserDrawing());
    EXPECT_FALSE(A("DrawWaveLin")->isChecked());
}

TEST_F(WaveCommandsTest, ZoomModesToggle)
{
    TMDIChildWave* window = NewWave("Song", Pattern(1000, 3));
    struct Step
    {
        const char* action;
        uint8_t mode;
        bool checked;
    };
    // Zoom in shows checked in its own mode only.
    const Step steps[] = {{"ZoomIn", 1, true},  {"ZoomIn", 0, false}, {"NoZoom", 2, false},
                          {"NoZoom", 0, false}, {"ZoomIn", 1, true},  {"NoZoom", 2, false},
                          {"ZoomIn", 1, true}};
    for (const Step& step : steps) {
        Trigger(step.action);
        form->ActionListUpdate();
        EXPECT_EQ(window->GetZoomMode(), step.mode) << step.action;
        EXPECT_EQ(A("ZoomIn")->isChecked(), step.checked) << step.action;
    }
}

TEST_F(WaveCommandsTest, SharedFormsKeepSeparateRecordsAndTheirTitles)
{
    struct Pair
    {
        const char* first;
        const char* second;
        const char* dialogClass;
        const char* edit;
        const char* value;
        const char* firstTitle;
        const char* secondTitle;
    };
    const Pair pairs[] = {
        {"MakeBlock", "MakeTriangle", "TDlgBlockTriangleProps", "editHeight1", "10 %", "Make Block",
         "Make Triangle"},
        {"FilterLow", "FilterHigh", "TDlgHighLowProps", "editCount", "2", "Low Filter",
         "High Filter"},
        {"FilterRes", "FilterNotch", "TDlgResNotchProps", "editWidthConstant", "0.5",
         "Resonant Filter", "Notch Filter"},
    };
    NewWave("Song", Pattern(2000, 3));
    for (const Pair& pair : pairs) {
        SCOPED_TRACE(pair.first);
        std::string title;
        std::string shown;
        dialogs.When(
            pair.dialogClass,
            [&](ModalDialog& modal) {
                auto* dialog = DialogAs<TOperationDialog>(modal);
                title = dialog->windowTitle().toStdString();
                Set(*dialog, pair.edit, pair.value);
            },
            DialogResult::Accepted);
        Trigger(pair.first);
        EXPECT_EQ(title, pair.firstTitle);
        CancelAfter(pair.dialogClass, [&](TOperationDialog& dialog) {
            title = dialog.windowTitle().toStdString();
            shown = Shown(dialog, pair.edit);
        });
        Trigger(pair.second);
        EXPECT_EQ(title, pair.secondTitle);
        EXPECT_NE(shown, pair.value) << "the second command has its own record";
    }
}

} // namespace
