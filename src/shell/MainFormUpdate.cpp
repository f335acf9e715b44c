// The action update: the enabled, checked and visible state of every action, menu and toolbar
// for the kind of the active document, and the status bar. It only reads flags and counts.
#include "shell/MainForm.h"

#include "shell/base/ToolWindow.h"
#include "shell/MainFormKinds.h"
#include "shell/base/ChildKelvorn.h"
#include "document/wave/UnitWave.h"
#include "waveui/WaveWindow.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QToolBar>

namespace kelvorn {

namespace {

// The actions the music document answers for, by its queries.
bool IsMusicQueryCategory(ActionCategory category)
{
    switch (category) {
    case ActionCategory::MusicNotes:
    case ActionCategory::MusicSilence:
    case ActionCategory::MusicArt:
    case ActionCategory::MusicKey:
    case ActionCategory::MusicNoteshift:
    case ActionCategory::MusicMode:
    case ActionCategory::MusicMove:
    case ActionCategory::MusicPoint:
    case ActionCategory::MusicSelect:
    case ActionCategory::MusicTuplet:
    case ActionCategory::MusicPlay:
        return true;
    default:
        return false;
    }
}

} // namespace

void TMainForm::ShowMenus(std::initializer_list<const char*> names, bool visible)
{
    for (const char* name : names)
        Menu(name)->menuAction()->setVisible(visible);
}

void TMainForm::ShowToolBars(std::initializer_list<const char*> names, bool visible)
{
    for (const char* name : names)
        ToolBar(name)->setVisible(visible);
}

void TMainForm::ShowActions(std::initializer_list<const char*> names, bool visible)
{
    for (const char* name : names)
        actions->At(name)->setVisible(visible);
}

void TMainForm::SetDuplicates(const char* onlyVisible)
{
    for (const char* name : {"DuplicateWave", "DuplicateMuz", "DuplicateFact"}) {
        const bool on = onlyVisible && std::string_view(name) == onlyVisible;
        actions->At(name)->setEnabled(on);
        actions->At(name)->setVisible(on);
    }
}

void TMainForm::ActionListUpdate()
{
    // A box shown by a command may run the event loop, and with it the timer.
    if (updating)
        return;
    updating = true;
    TMDIChildKelvorn* child = documents->GetActiveChild();
    int kind = child ? int(child->GetKind()) : NoDocument;
    switch (kind) {
    case Wave:
        UpdateWave(*child);
        break;
    case Music:
        UpdateMusic(*child);
        break;
    case Factory:
        UpdateFactory(*child);
        break;
    default:
        kind = NoDocument;
        if (lastUpdateKind != NoDocument)
            ArrangeNoDocument();
        break;
    }
    lastUpdateKind = kind;
    UpdateEveryKind();
    UpdateStatusBar(child, kind);
    for (QMdiSubWindow* window : frame->subWindowList())
        if (auto* document = qobject_cast<TMDIChildKelvorn*>(window))
            document->UpdateModifiedMark();
    updating = false;
}

void TMainForm::ArrangeNoDocument()
{
    ++arrangeCount;
    ShowMenus({"MenuEdit", "MenuView", "MenuMake", "MenuEffects", "MenuMusic", "MenuFactory",
               "MenuWindow"},
              false);
    ShowToolBars({"ToolBarWave1", "ToolBarWave2", "ToolBarWave3", "ToolBarMusic1", "ToolBarMusic2",
                  "ToolBarMusic3", "ToolBarFact1"},
                 false);
    actions->SetEnabled({"FileProperties", "FileSave", "FileSaveAs", "FileRevert", "FilePlay",
                         "FilePlayMax", "FileRecord", "NoZoom", "ZoomIn", "ViewWave", "ViewVold",
                         "MergeH", "MergeV", "SplitV", "SplitH", "SntRunCrWnd"},
                        false);
    SetDuplicates(nullptr);
    for (ActionCategory category :
         {ActionCategory::Edit, ActionCategory::MakeWave, ActionCategory::SimpleWave,
          ActionCategory::ComplexWave, ActionCategory::Filter})
        for (QAction* action : actions->InCategory(category))
            action->setEnabled(false);
}

void TMainForm::ArrangeWave()
{
    ++arrangeCount;
    ShowActions({"ViewWave", "ViewVold", "ZoomIn", "NoZoom", "SelectWave"}, true);
    ShowActions({"MusicDialog"}, false);
    ShowMenus({"MenuMusic"}, false);
    ShowMenus({"MenuEdit", "MenuView", "MenuMake", "MenuEffects", "MenuWindow", "MenuFactory"},
              true);
    ShowToolBars({"ToolBarMusic1", "ToolBarMusic2", "ToolBarMusic3", "ToolBarFact1"}, false);
    ShowToolBars({"ToolBarWave1", "ToolBarWave2", "ToolBarWave3"}, true);
}

void TMainForm::UpdateWave(TMDIChildKelvorn& child)
{
    if (lastUpdateKind != Wave)
        ArrangeWave();
    TUnitWave& unit = *child.GetUnitWave();
    const bool drawing = unit.IsUserDrawing();
    const bool notEmpty = unit.GetValues() > 0;
    const bool selection = !unit.IsCursor();
    const bool stereo = unit.GetMonoStereo() == 2;
    const bool clip = documents->HasClipBoardSound();
    const bool shapes = !drawing && notEmpty;
    // A window without a pane group shows the wave curve.
    const WaveWindowLink* panes = unit.GetChildWave();
    const bool showsWave = !panes || panes->GetWaveWindKind() == 0;
    const auto* state = dynamic_cast<const WaveWindowState*>(&child);
    auto set = [this](const char* name, bool enabled) { actions->At(name)->setEnabled(enabled); };

    actions->At("SelectWave")->setChecked(ToolSlot(Tool::SelZoom).IsVisible());
    set("FileProperties", !drawing);
    set("FileSave", unit.IsModified());
    set("FileSaveAs", notEmpty || drawing);
    set("FileRevert", !unit.IsUntitled() && unit.IsModified());
    // A play would close the device under a running recording and lose the take.
    const bool canPlay =
        playRecordAvailable && playerHasOutput && !actions->At("FileRecord")->isChecked();
    set("FilePlay", canPlay && notEmpty);
    set("FilePlayMax", canPlay && notEmpty);
    set("FileRecord", playRecordAvailable && playerHasInput && !notEmpty);
    for (const char* name :
         {"EditDelete", "EditCut", "EditCopy", "EditExtract", "NoZoom", "ZoomIn"})
        set(name, shapes);
    // The wave window keeps its zoom mode itself; Zoom In shows checked in its own mode.
    const auto* waveWindow = dynamic_cast<const TMDIChildWave*>(&child);
    actions->At("ZoomIn")->setChecked(state ? state->IsZoomed()
                                            : waveWindow && waveWindow->GetZoomMode() == 1);
    set("EditTrim", shapes && selection);
    set("EditPaste", !drawing && clip);
    set("EditMix", !drawing && clip);
    set("EditSwap", shapes && clip);
    set("EditClearClipboard", clip);
    set("ViewWave", true);
    actions->At("ViewWave")->setChecked(showsWave);
    set("ViewVold", !drawing);
    actions->At("ViewVold")->setChecked(!showsWave);
    set("MergeH", documents->DocumentWindowCount() > 1);
    set("MergeV", documents->DocumentWindowCount() > 1);
    set("SplitV", stereo);
    set("SplitH", unit.GetPartBegin() > 0 && unit.GetPartEnd() < unit.GetValues() - 1);
    for (const char* name : {"MakeSilence", "MakeLine", "MakeBlock", "MakeTriangle", "MakeSinus",
                             "MakeNoise", "MakeMFreq"})
        set(name, !drawing);
    // The document has one availability rule for both kinds of drawing.
    set("DrawWaveLin", unit.CanDrawWaveLin());
    set("DrawWave3G", unit.CanDrawWaveLin());
    actions->At("DrawWaveLin")->setChecked(drawing && unit.GetDrawKind() == TUnitWave::DrawLinear);
    actions->At("DrawWave3G")->setChecked(drawing && unit.GetDrawKind() == TUnitWave::DrawParabola);
    for (const char* name : {"Block", "MoveH", "RollIn", "RollOut", "Distort", "Rotate", "Reverse",
                             "RndEcho", "PerEcho", "TempoPitch", "FilterBlock", "FilterLow",
                             "FilterHigh", "FilterRes", "FilterNotch"})
        set(name, shapes);
    const bool levels = drawing ? unit.GetDrawNodeCount() >= 1 : notEmpty;
    for (const char* name : {"MoveV", "NormalizeVertically", "Volume", "MaxVolume"})
        set(name, levels);
    set("Length", drawing || notEmpty);
    set("MixLeftRight", shapes && stereo);
    set("Balance", shapes && !stereo);
    SetDuplicates("DuplicateWave");
    set("SntRunAtWnd", documents->NamedSountoryCount() >= 1);
}

void TMainForm::ArrangeMusic()
{
    ++arrangeCount;
    ShowMenus({"MenuEdit", "MenuMake", "MenuEffects"}, false);
    ShowActions({"ViewWave", "ViewVold", "ZoomIn", "NoZoom", "SelectWave"}, false);
    ShowActions({"MusicDialog"}, true);
    ShowMenus({"MenuView", "MenuMusic", "MenuWindow"}, true);
    ShowMenus({"MenuFactory"}, false);
    ShowToolBars({"ToolBarWave1", "ToolBarWave2", "ToolBarWave3", "ToolBarFact1"}, false);
    ShowToolBars({"ToolBarMusic1", "ToolBarMusic2", "ToolBarMusic3"}, true);
}

void TMainForm::UpdateMusic(TMDIChildKelvorn& child)
{
    if (lastUpdateKind != Music)
        ArrangeMusic();
    const bool modified = child.IsDocumentModified();
    const bool untitled = child.GetUnit()->IsUntitled();
    actions->SetEnabled({"FileProperties", "FileSaveAs"}, true);
    actions->SetEnabled({"FilePlay", "FilePlayMax"}, playRecordAvailable && playerHasOutput &&
                                                         !actions->At("FileRecord")->isChecked());
    actions->At("FileSave")->setEnabled(modified);
    actions->At("FileRevert")->setEnabled(!untitled && modified);
    SetDuplicates("DuplicateMuz");
    actions->At("SntRunCrWnd")->setEnabled(false);
    actions->At("MusicDialog")->setEnabled(true);
    actions->At("MusicParts")->setEnabled(true);
    actions->At("MusicDialog")->setChecked(ToolSlot(Tool::Music).IsVisible());
    actions->At("MusicParts")->setChecked(ToolSlot(Tool::MusicParts).IsVisible());
    // A music window that cannot answer offers none of its actions.
    const auto* state = dynamic_cast<const MusicWindowState*>(&child);
    actions->At("MusicGenerate")->setEnabled(true);
    actions->At("MusicDelete")->setEnabled(state && state->CanExecute("MusicDelete"));
    for (QAction* action : actions->All()) {
        if (!IsMusicQueryCategory(actions->CategoryOf(action)))
            continue;
        const std::string name = action->objectName().toStdString();
        action->setEnabled(state && state->CanExecute(name));
        if (action->isCheckable())
            action->setChecked(state && state->IsChecked(name));
    }
}

void TMainForm::ArrangeFactory()
{
    ++arrangeCount;
    ShowMenus({"MenuEdit", "MenuMake", "MenuEffects"}, false);
    ShowActions({"ViewWave", "ViewVold", "ZoomIn", "NoZoom", "SelectWave", "MusicDialog"}, false);
    ShowMenus({"MenuFactory", "MenuView", "MenuWindow"}, true);
    ShowMenus({"MenuMusic"}, false);
    ShowToolBars({"ToolBarWave1", "ToolBarWave2", "ToolBarWave3", "ToolBarMusic1", "ToolBarMusic2",
                  "ToolBarMusic3"},
                 false);
    ShowToolBars({"ToolBarFact1"}, true);
}

void TMainForm::UpdateFactory(TMDIChildKelvorn& child)
{
    if (lastUpdateKind != Factory)
        ArrangeFactory();
    const bool modified = child.IsDocumentModified();
    const bool untitled = child.GetUnit()->IsUntitled();
    actions->SetEnabled(
        {"FileProperties", "FileSaveAs", "SntValidate", "SntModeDrag", "SntModeConn"}, true);
    actions->At("FileSave")->setEnabled(modified);
    actions->At("FileRevert")->setEnabled(!untitled && modified);
    actions->SetEnabled({"FilePlay", "FilePlayMax", "SntRunAtWnd"}, false);
    SetDuplicates("DuplicateFact");
    const auto* state = dynamic_cast<const SountoryWindowState*>(&child);
    const uint8_t mode = state ? state->GetEditMode() : SountoryWindowState::ModeDrag;
    actions->At("SntModeDrag")->setChecked(mode == SountoryWindowState::ModeDrag);
    actions->At("SntModeConn")->setChecked(mode == SountoryWindowState::ModeConnect);
    const SountoryListing* listing = child.GetSountoryListing();
    const uint8_t sountoryKind = listing ? listing->GetSountoryKind() : 0;
    actions->At("SntRunCrWnd")->setEnabled(sountoryKind == 0 || sountoryKind == 2);
    actions->At("SntShowHints")->setEnabled(true);
    actions->At("SntShowHints")->setChecked(state && state->GetShowHints());
}

void TMainForm::UpdateEveryKind()
{
    const bool playing = actions->At("FilePlay")->isChecked() ||
                         actions->At("FilePlayMax")->isChecked() ||
                         actions->At("FileRecord")->isChecked();
    actions->At("FileStop")->setEnabled(playRecordAvailable && playing);
    actions->At("FilePause")
        ->setEnabled(playRecordAvailable &&
                     (!actions->At("FileRecord")->isChecked() || recordWaitsForPause));
    const bool undo = documents->CanUndo();
    actions->SetEnabled({"Undo", "DeleteUndo"}, undo);
    actions->At("EditNameAction")->setChecked(ToolSlot(Tool::EditName).IsVisible());
    actions->SetEnabled({"ProjectClose", "ProjectSave", "ProjectExport"}, !projectFile.empty());
    actions->SetEnabled({"ProjectOpen", "ProjectNew", "WindowCascade", "WindowTileHorizontal",
                         "WindowTileVertical", "WindowMinimizeAll", "WindowArrangeAll",
                         "HelpContents", "HelpTopicSearch", "HelpOnHelp", "HelpAbout"},
                        true);
}

void TMainForm::UpdateStatusBar(TMDIChildKelvorn* child, int kind)
{
    if (kind == Wave) {
        child->GetUnitWave()->UpdateActions();
        return;
    }
    if (kind == Music)
        if (auto* state = dynamic_cast<MusicWindowState*>(child)) {
            state->UpdateStatusPanels();
            return;
        }
    // The documents write panels 2 to 7, so all six are cleared.
    for (int panel = 2; panel <= 7; ++panel)
        statusPanels[size_t(panel)]->clear();
}

} // namespace kelvorn
