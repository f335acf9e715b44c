#include "waveui/WaveWindow.h"
#include "MainFormTestSupport.h"

#include "document/wave/UnitWave.h"

#include <QLabel>
#include <QTest>
#include <QToolBar>

#include <functional>
#include <sstream>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

// One situation and the states the update must give. Expectations are words: "+A" enabled,
// "-A" disabled, "*A" checked, "~A" not checked, "!A" hidden, "^A" shown (actions), and
// "[M]" / "]M[" a menu shown / hidden, "{T}" / "}T{" a toolbar shown / hidden.
struct UpdateCase
{
    const char* name;
    std::function<void(MainFormTest&, TMainForm&)> arrange;
    const char* expected;
};

class MainFormUpdateTest : public MainFormTest, public ::testing::WithParamInterface<UpdateCase>
{
public:
    // Lets a case reach the fixture's openers.
    using MainFormTest::OpenFactory;
    using MainFormTest::OpenWave;
};

TEST_P(MainFormUpdateTest, SetsEveryStateOfTheTable)
{
    TMainForm& main = Start();
    main.ActionListUpdate();
    GetParam().arrange(*this, main);
    main.ActionListUpdate();

    std::istringstream words(GetParam().expected);
    std::string word;
    while (words >> word) {
        const char sign = word[0];
        if (sign == '[' || sign == ']') {
            const std::string menu = word.substr(1, word.size() - 2);
            EXPECT_EQ(MenuShown(menu.c_str()), sign == '[') << word;
            continue;
        }
        if (sign == '{' || sign == '}') {
            const std::string bar = word.substr(1, word.size() - 2);
            EXPECT_EQ(main.ToolBar(bar)->isHidden(), sign == '}') << word;
            continue;
        }
        QAction* action = A(word.substr(1).c_str());
        switch (sign) {
        case '+':
            EXPECT_TRUE(action->isEnabled()) << word;
            break;
        case '-':
            EXPECT_FALSE(action->isEnabled()) << word;
            break;
        case '*':
            EXPECT_TRUE(action->isChecked()) << word;
            break;
        case '~':
            EXPECT_FALSE(action->isChecked()) << word;
            break;
        case '!':
            EXPECT_FALSE(action->isVisible()) << word;
            break;
        case '^':
            EXPECT_TRUE(action->isVisible()) << word;
            break;
        default:
            ADD_FAILURE() << "bad word " << word;
        }
    }
    EXPECT_TRUE(messages.Unexpected().empty());
}

TUnitWave& ActiveWave(TMainForm& main)
{
    return *main.Documents().GetActiveUnitWave();
}

// What every wave window shows, whatever its document.
#define WAVE_ARRANGEMENT                                                                           \
    " [MenuEdit] [MenuView] [MenuMake] [MenuEffects] [MenuWindow] [MenuFactory] ]MenuMusic["       \
    " {ToolBarWave1} {ToolBarWave2} {ToolBarWave3} }ToolBarMusic1{ }ToolBarMusic2{"                \
    " }ToolBarMusic3{ }ToolBarFact1{ ^ViewWave ^ViewVold ^ZoomIn ^NoZoom ^SelectWave"              \
    " !MusicDialog +DuplicateWave ^DuplicateWave -DuplicateMuz !DuplicateMuz -DuplicateFact"       \
    " !DuplicateFact +ViewWave +ProjectOpen +ProjectNew +WindowCascade +WindowTileHorizontal"      \
    " +WindowTileVertical +WindowMinimizeAll +WindowArrangeAll +HelpContents +HelpTopicSearch"     \
    " +HelpOnHelp +HelpAbout -ProjectClose -ProjectSave -ProjectExport -FileStop "

INSTANTIATE_TEST_SUITE_P(
    Table, MainFormUpdateTest,
    ::testing::Values(
        UpdateCase{
            "NoWindow", [](MainFormTest&, TMainForm&) {},
            "[MenuFile] [MenuProject] [MenuHelp] ]MenuEdit[ ]MenuView[ ]MenuMake["
            " ]MenuEffects[ ]MenuMusic[ ]MenuFactory[ ]MenuWindow[ {ToolBarBasic}"
            " }ToolBarWave1{ }ToolBarWave2{ }ToolBarWave3{ }ToolBarMusic1{ }ToolBarMusic2{"
            " }ToolBarMusic3{ }ToolBarFact1{ -FileProperties -FileSave -FileSaveAs"
            " -FileRevert -FilePlay -FilePlayMax -FileRecord -DuplicateWave !DuplicateWave"
            " -DuplicateMuz !DuplicateMuz -DuplicateFact !DuplicateFact -EditDelete -EditTrim"
            " -EditClearClipboard -EditSwap -EditExtract -EditMix -EditCut -EditCopy"
            " -EditPaste -NoZoom -ZoomIn -ViewWave -ViewVold -MergeH -MergeV -SplitV -SplitH"
            " -MakeSilence -MakeMFreq -DrawWaveLin -DrawWave3G -Volume -MoveH -Balance"
            " -TempoPitch -FilterBlock -FilterNotch -SntRunCrWnd -Undo -DeleteUndo"
            " -ProjectSave -FileStop +FilePause +FileNewWave +FileOpenWave +FileNewMuz"
            " +FileOpenFactory +FileExit +FileClose +RandomizeAction +keyH +keyAltD"
            " +ProjectOpen +HelpAbout +WindowCascade *EditNameAction -MusicGenerate"
            " -MusicKeyF -SntValidate -SntModeDrag"},
        UpdateCase{"EmptyMonoWave",
                   [](MainFormTest& t, TMainForm&) {
                       static_cast<MainFormUpdateTest&>(t).OpenWave("Wave 1");
                   },
                   WAVE_ARRANGEMENT
                   "+FileProperties -FileSave -FileSaveAs -FileRevert -FilePlay -FilePlayMax"
                   " +FileRecord +FilePause -EditDelete -EditCut -EditCopy -EditExtract -NoZoom"
                   " -ZoomIn ~ZoomIn -EditTrim -EditPaste -EditMix -EditSwap -EditClearClipboard"
                   " *ViewWave +ViewVold ~ViewVold -MergeH -MergeV -SplitV -SplitH +MakeSilence"
                   " +MakeLine +MakeBlock +MakeTriangle +MakeSinus +MakeNoise +MakeMFreq"
                   " -DrawWaveLin -DrawWave3G ~DrawWaveLin -Block -MoveH -RollIn -RollOut"
                   " -Distort -Rotate -Reverse -RndEcho -PerEcho -TempoPitch -FilterBlock"
                   " -FilterLow -FilterHigh -FilterRes -FilterNotch -MoveV -NormalizeVertically"
                   " -Volume -MaxVolume -Length -MixLeftRight -Balance -SntRunAtWnd -Undo"
                   " -DeleteUndo ~SelectWave"},
        UpdateCase{"MonoWaveWithCursor",
                   [](MainFormTest& t, TMainForm& m) {
                       static_cast<MainFormUpdateTest&>(t).OpenWave("Wave 1", 1, 100);
                       ActiveWave(m).SetCursor(40);
                   },
                   WAVE_ARRANGEMENT
                   "+FileProperties +FileSave +FileSaveAs -FileRevert +FilePlay +FilePlayMax"
                   " -FileRecord +FilePause +EditDelete +EditCut +EditCopy +EditExtract +NoZoom"
                   " +ZoomIn -EditTrim -EditPaste -EditMix -EditSwap -EditClearClipboard"
                   " +ViewVold -SplitV +Block +MoveH +RollIn +RollOut +Distort +Rotate"
                   " +Reverse +RndEcho +PerEcho +TempoPitch +FilterBlock +FilterLow +FilterHigh"
                   " +FilterRes +FilterNotch +MoveV +NormalizeVertically +Volume +MaxVolume"
                   " +Length -MixLeftRight +Balance -DrawWaveLin -MergeH +SplitH"},
        UpdateCase{"SelectionInside",
                   [](MainFormTest& t, TMainForm& m) {
                       static_cast<MainFormUpdateTest&>(t).OpenWave("Wave 1", 1, 100);
                       ActiveWave(m).SetPart(1, 98);
                   },
                   WAVE_ARRANGEMENT "+EditTrim +SplitH +EditCut"},
        UpdateCase{"SelectionFromTheFirstSample",
                   [](MainFormTest& t, TMainForm& m) {
                       static_cast<MainFormUpdateTest&>(t).OpenWave("Wave 1", 1, 100);
                       ActiveWave(m).SetPart(0, 50);
                   },
                   WAVE_ARRANGEMENT "+EditTrim -SplitH"},
        UpdateCase{"SelectionToTheLastSample",
                   [](MainFormTest& t, TMainForm& m) {
                       static_cast<MainFormUpdateTest&>(t).OpenWave("Wave 1", 1, 100);
                       ActiveWave(m).SetPart(10, 99);
                   },
                   WAVE_ARRANGEMENT "+EditTrim -SplitH"},
        UpdateCase{"StereoWave",
                   [](MainFormTest& t, TMainForm&) {
                       static_cast<MainFormUpdateTest&>(t).OpenWave("Wave 1", 2, 100);
                   },
                   WAVE_ARRANGEMENT "+SplitV +MixLeftRight -Balance +FilePlay"},
        UpdateCase{"EmptyStereoWave",
                   [](MainFormTest& t, TMainForm&) {
                       static_cast<MainFormUpdateTest&>(t).OpenWave("Wave 1", 2, 0);
                   },
                   WAVE_ARRANGEMENT "+SplitV -MixLeftRight -Balance +FileRecord"},
        UpdateCase{"ClipboardAndWave",
                   [](MainFormTest& t, TMainForm& m) {
                       static_cast<MainFormUpdateTest&>(t).OpenWave("Wave 1", 1, 100);
                       m.Documents().SetClipBoardSound(MainFormRamp(1, 10));
                   },
                   WAVE_ARRANGEMENT "+EditPaste +EditMix +EditSwap +EditClearClipboard"},
        UpdateCase{"ClipboardAndEmptyWave",
                   [](MainFormTest& t, TMainForm& m) {
                       static_cast<MainFormUpdateTest&>(t).OpenWave("Wave 1");
                       m.Documents().SetClipBoardSound(MainFormRamp(1, 10));
                   },
                   WAVE_ARRANGEMENT "+EditPaste +EditMix -EditSwap +EditClearClipboard"},
        UpdateCase{"Drawing",
                   [](MainFormTest& t, TMainForm& m) {
                       static_cast<MainFormUpdateTest&>(t).OpenWave("Wave 1");
                       m.Documents().SetClipBoardSound(MainFormRamp(1, 10));
                       ActiveWave(m).StartUserDrawing(TUnitWave::DrawLinear);
                   },
                   WAVE_ARRANGEMENT
                   "-FileProperties +FileSaveAs -EditCut -EditDelete -EditPaste -EditMix -EditSwap"
                   " +EditClearClipboard -ViewVold -MakeSilence -MakeMFreq +DrawWaveLin"
                   " *DrawWaveLin +DrawWave3G ~DrawWave3G +Volume +MaxVolume +MoveV"
                   " +NormalizeVertically +Length -Block -MoveH -TempoPitch -FilterLow -Balance"
                   " -MixLeftRight -NoZoom -ZoomIn"},
        UpdateCase{"SmoothDrawing",
                   [](MainFormTest& t, TMainForm& m) {
                       static_cast<MainFormUpdateTest&>(t).OpenWave("Wave 1");
                       ActiveWave(m).StartUserDrawing(TUnitWave::DrawParabola);
                   },
                   WAVE_ARRANGEMENT "~DrawWaveLin *DrawWave3G +DrawWave3G"},
        UpdateCase{"SavedWaveChanged",
                   [](MainFormTest& t, TMainForm& m) {
                       static_cast<MainFormUpdateTest&>(t).OpenWave("Wave 1", 1, 100, "/w/a.wav");
                       ActiveWave(m).SetModified();
                   },
                   WAVE_ARRANGEMENT "+FileSave +FileRevert"},
        UpdateCase{"SavedWaveUnchanged",
                   [](MainFormTest& t, TMainForm&) {
                       static_cast<MainFormUpdateTest&>(t).OpenWave("Wave 1", 1, 100, "/w/a.wav");
                   },
                   WAVE_ARRANGEMENT "-FileSave -FileRevert +FileSaveAs"},
        UpdateCase{"TwoWindowsAndAFactory",
                   [](MainFormTest& t, TMainForm& m) {
                       auto& u = static_cast<MainFormUpdateTest&>(t);
                       u.OpenFactory("Factory 1", 1);
                       u.OpenWave("Wave 1", 1, 10);
                   },
                   WAVE_ARRANGEMENT "+MergeH +MergeV +SntRunAtWnd"},
        UpdateCase{"UndoRecordAndProject",
                   [](MainFormTest& t, TMainForm& m) {
                       static_cast<MainFormUpdateTest&>(t).OpenWave("Wave 1", 1, 10);
                       m.Documents().MakeUndo(ActiveWave(m));
                       m.SetProjectFile("/p/x.kvp");
                   },
                   " +Undo +DeleteUndo +ProjectClose +ProjectSave +ProjectExport"},
        UpdateCase{"UndoRecordOfADrawing",
                   [](MainFormTest& t, TMainForm& m) {
                       static_cast<MainFormUpdateTest&>(t).OpenWave("Wave 1");
                       ActiveWave(m).StartUserDrawing(TUnitWave::DrawLinear);
                       m.Documents().MakeUndo(ActiveWave(m));
                   },
                   "-Undo -DeleteUndo"}),
    [](const ::testing::TestParamInfo<UpdateCase>& info) { return std::string(info.param.name); });

// ---- Kind changes
// --------------------------------------------------------------------------------

TEST_F(MainFormTest, MenusAndToolbarsAreReArrangedOnlyWhenTheKindChanges)
{
    TMainForm& main = Start();
    main.ActionListUpdate();
    const int start = main.ArrangeCount();
    main.ActionListUpdate();
    EXPECT_EQ(main.ArrangeCount(), start);

    TMDIChildKelvorn* wave1 = OpenWave("Wave 1", 1, 10);
    TMDIChildKelvorn* wave2 = OpenWave("Wave 2");
    main.ActionListUpdate();
    main.Frame()->setActiveSubWindow(wave1);
    main.ActionListUpdate();
    EXPECT_EQ(main.ArrangeCount(), start + 1);
    EXPECT_EQ(main.LastUpdateKind(), DocumentKind::Wave);

    // A re-arrangement shows what the kind shows, even when someone changed it in between.
    main.ToolBar("ToolBarWave2")->hide();
    main.ActionListUpdate();
    EXPECT_TRUE(main.ToolBar("ToolBarWave2")->isHidden());

    MainFormMusicWindow* music = OpenMusic("Music 1");
    EXPECT_EQ(main.ArrangeCount(), start + 2);
    EXPECT_EQ(main.LastUpdateKind(), DocumentKind::Music);
    EXPECT_TRUE(MenuShown("MenuMusic"));
    EXPECT_FALSE(MenuShown("MenuEdit"));
    EXPECT_FALSE(MenuShown("MenuFactory"));
    EXPECT_FALSE(main.ToolBar("ToolBarMusic2")->isHidden());
    EXPECT_TRUE(main.ToolBar("ToolBarWave1")->isHidden());
    EXPECT_TRUE(A("MusicDialog")->isVisible());
    EXPECT_FALSE(A("ViewWave")->isVisible());

    main.Frame()->setActiveSubWindow(wave2);
    main.ActionListUpdate();
    EXPECT_EQ(main.ArrangeCount(), start + 3);
    EXPECT_FALSE(main.ToolBar("ToolBarWave2")->isHidden());

    delete music;
    delete wave1;
    delete wave2;
    Flush();
    main.ActionListUpdate();
    main.ActionListUpdate();
    EXPECT_EQ(main.ArrangeCount(), start + 4);
    EXPECT_EQ(main.LastUpdateKind(), DocumentKind::None);
}

TEST_F(MainFormTest, AMusicWindowAnswersItsActionsAndOnlyItsDuplicate)
{
    TMainForm& main = Start();
    MainFormMusicWindow* music = OpenMusic("Music 1");
    EXPECT_TRUE(A("DuplicateMuz")->isEnabled());
    EXPECT_TRUE(A("DuplicateMuz")->isVisible());
    EXPECT_FALSE(A("DuplicateWave")->isVisible());
    EXPECT_FALSE(A("SntRunCrWnd")->isEnabled());
    EXPECT_TRUE(A("FilePlay")->isEnabled());
    EXPECT_TRUE(A("FileSaveAs")->isEnabled());
    EXPECT_FALSE(A("FileSave")->isEnabled());
    EXPECT_FALSE(A("MusicNote8")->isEnabled());

    music->enabled = {"MusicNote8", "MusicKeyF", "MusicModeAdd"};
    music->checked = {"MusicNote8", "MusicModeAdd", "MusicModeEdit"};
    static_cast<PlainDocument*>(music->GetUnit())->modified = true;
    main.ActionListUpdate();
    EXPECT_TRUE(A("MusicNote8")->isEnabled());
    EXPECT_TRUE(A("MusicNote8")->isChecked());
    EXPECT_FALSE(A("MusicNote4")->isEnabled());
    EXPECT_TRUE(A("MusicModeEdit")->isChecked());
    EXPECT_FALSE(A("MusicModeEdit")->isEnabled());
    EXPECT_TRUE(A("MusicKeyF")->isEnabled());
    EXPECT_FALSE(A("MusicKeyF")->isChecked());
    EXPECT_TRUE(A("FileSave")->isEnabled());
    EXPECT_FALSE(A("FileRevert")->isEnabled());
    EXPECT_GE(music->statusUpdates, 1);
}

TEST_F(MainFormTest, AWaveWindowKeepsTheRunCreateStateAFactoryLeft)
{
    TMainForm& main = Start();
    for (uint8_t kind : {uint8_t(1), uint8_t(2), uint8_t(3), uint8_t(0)}) {
        TMDIChildKelvorn* wave = OpenWave("Wave " + std::to_string(kind));
        MainFormFactoryWindow* factory = OpenFactory("Factory " + std::to_string(kind), kind);
        const bool runs = kind == 0 || kind == 2;
        EXPECT_EQ(A("SntRunCrWnd")->isEnabled(), runs) << int(kind);
        EXPECT_TRUE(A("SntValidate")->isEnabled());
        EXPECT_FALSE(A("SntRunAtWnd")->isEnabled());
        EXPECT_FALSE(A("FilePlay")->isEnabled());
        main.Frame()->setActiveSubWindow(wave);
        main.ActionListUpdate();
        EXPECT_EQ(A("SntRunCrWnd")->isEnabled(), runs) << int(kind);
        delete factory;
        delete wave;
        Flush();
    }
}

TEST_F(MainFormTest, AFactoryWindowChecksItsModeAndHints)
{
    TMainForm& main = Start();
    MainFormFactoryWindow* factory = OpenFactory("Factory 1", 0);
    EXPECT_TRUE(A("SntModeDrag")->isChecked());
    EXPECT_FALSE(A("SntModeConn")->isChecked());
    EXPECT_FALSE(A("SntShowHints")->isChecked());
    factory->mode = SountoryWindowState::ModeConnect;
    factory->hints = true;
    main.ActionListUpdate();
    EXPECT_FALSE(A("SntModeDrag")->isChecked());
    EXPECT_TRUE(A("SntModeConn")->isChecked());
    EXPECT_TRUE(A("SntShowHints")->isChecked());
    EXPECT_TRUE(A("DuplicateFact")->isVisible());
    EXPECT_FALSE(A("DuplicateMuz")->isVisible());
    EXPECT_TRUE(MenuShown("MenuFactory"));
    EXPECT_FALSE(MenuShown("MenuMusic"));
    EXPECT_FALSE(A("MusicDialog")->isVisible());
    EXPECT_FALSE(main.ToolBar("ToolBarFact1")->isHidden());
}

// ---- Status bar
// ----------------------------------------------------------------------------------

TEST_F(MainFormTest, AWaveFillsPanelsTwoToSevenAndWithoutOneAllSixAreCleared)
{
    TMainForm& main = Start();
    TMDIChildKelvorn* wave = OpenWave("Wave 1", 2, 44100);
    TUnitWave& unit = *UnitWaveOf(wave);
    for (int panel = 2; panel <= 7; ++panel)
        EXPECT_EQ(main.GetStatusPanel(panel)->text().toStdString(), unit.StatusText(panel))
            << panel;
    EXPECT_FALSE(main.GetStatusPanel(7)->text().isEmpty());

    delete wave;
    Flush();
    main.ActionListUpdate();
    for (int panel = 2; panel <= 7; ++panel)
        EXPECT_TRUE(main.GetStatusPanel(panel)->text().isEmpty()) << panel;
}

TEST_F(MainFormTest, TheIdleUpdateRunsFromTheTimer)
{
    TMainForm& main = Start();
    main.ActionListUpdate();
    OpenWave("Wave 1", 1, 10);
    main.Documents().SetClipBoardSound(MainFormRamp(1, 3));
    EXPECT_FALSE(A("EditPaste")->isEnabled());
    // Nothing but the timer runs the update while the test waits.
    EXPECT_TRUE(QTest::qWaitFor([this] { return A("EditPaste")->isEnabled(); }, 10000));
}

} // namespace
