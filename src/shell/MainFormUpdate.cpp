// The action update: the enabled, checked and visible state of every action, menu and toolbar
// for the kind of the active document, and the status bar. It only reads flags and counts.
#include "shell/MainForm.h"

#include "window_base/ChildKelvorn.h"
#include "window_base/ToolWindow.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QToolBar>

namespace kelvorn {

namespace {

// The commands that make or open a document of a kind. Until the kind is registered they could
// only do nothing, so they stay disabled like the kind's other commands.
struct KindCreation
{
    DocumentKind kind;
    const char* newAction;
    const char* openAction;
};
constexpr KindCreation kindCreations[] = {
    {DocumentKind::Wave, "FileNewWave", "FileOpenWave"},
    {DocumentKind::Music, "FileNewMuz", "FileOpenMuz"},
    {DocumentKind::Factory, "FileNewFactory", "FileOpenFactory"},
};

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
    // A window of a kind nobody registered offers nothing, as if no document were active.
    TDocumentKindUI* kind = kinds.Of(child);
    if (kind) {
        if (!updatedOnce || lastArranged != kind)
            kind->ArrangeActions();
        kind->UpdateActions(*child);
    } else if (!updatedOnce || lastArranged != nullptr) {
        ArrangeNoDocument();
    }
    lastArranged = kind;
    updatedOnce = true;
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

void TMainForm::UpdateEveryKind()
{
    const bool playing = actions->At("FilePlay")->isChecked() ||
                         actions->At("FilePlayMax")->isChecked() ||
                         actions->At("FileRecord")->isChecked();
    // Without a device that plays or records (no sound server), nothing could run or wait.
    const bool available = playRecordAvailable && (playerHasOutput || playerHasInput);
    actions->At("FileStop")->setEnabled(available && playing);
    actions->At("FilePause")
        ->setEnabled(available && (!actions->At("FileRecord")->isChecked() || recordWaitsForPause));
    const bool undo = documents->CanUndo();
    actions->SetEnabled({"Undo", "DeleteUndo"}, undo);
    actions->At("EditNameAction")->setChecked(ToolSlot(Tool::EditName).IsVisible());
    actions->SetEnabled({"ProjectClose", "ProjectSave", "ProjectExport"}, !projectFile.empty());
    actions->SetEnabled({"ProjectOpen", "ProjectNew", "WindowCascade", "WindowTileHorizontal",
                         "WindowTileVertical", "WindowMinimizeAll", "WindowArrangeAll",
                         "HelpContents", "HelpTopicSearch", "HelpOnHelp", "HelpAbout"},
                        true);
    for (const KindCreation& creation : kindCreations)
        actions->SetEnabled({creation.newAction, creation.openAction},
                            kinds.Find(creation.kind) != nullptr);
}

void TMainForm::UpdateStatusBar(TMDIChildKelvorn* child, TDocumentKindUI* kind)
{
    // What a window wrote goes with it: the next one starts from empty panels.
    if (statusWindow.data() != child) {
        for (int panel = 1; panel <= 7; ++panel)
            statusPanels[size_t(panel)]->clear();
        statusWindow = child;
    }
    if (kind && child) {
        kind->UpdateStatusPanels(*child);
        return;
    }
    // The documents write panels 2 to 7, so all six are cleared.
    for (int panel = 2; panel <= 7; ++panel)
        statusPanels[size_t(panel)]->clear();
}

DocumentKind TMainForm::LastUpdateKind() const
{
    return lastArranged ? lastArranged->GetKind() : DocumentKind::None;
}

} // namespace kelvorn
