#include "shell/KindRules.h"

#include "music/ui/MusicWindow.h"
#include "shell/MainForm.h"
#include "shell/MainFormKinds.h"
#include "window_base/ChildKelvorn.h"
#include "window_base/SountoryListing.h"
#include "window_base/ToolWindow.h"

#include <QAction>

namespace kelvorn {

void TMusicActionRule::Arrange()
{
    ++form.arrangeCount;
    form.ShowMenus({"MenuEdit", "MenuMake", "MenuEffects"}, false);
    form.ShowActions({"ViewWave", "ViewVold", "ZoomIn", "NoZoom", "SelectWave"}, false);
    form.ShowActions({"MusicDialog"}, true);
    form.ShowMenus({"MenuView", "MenuMusic", "MenuWindow"}, true);
    form.ShowMenus({"MenuFactory"}, false);
    form.ShowToolBars({"ToolBarWave1", "ToolBarWave2", "ToolBarWave3", "ToolBarFact1"}, false);
    form.ShowToolBars({"ToolBarMusic1", "ToolBarMusic2", "ToolBarMusic3"}, true);
}

void TMusicActionRule::Update(TMDIChildKelvorn& child)
{
    const bool modified = child.IsDocumentModified();
    const bool untitled = child.GetUnit()->IsUntitled();
    form.actions->SetEnabled({"FileProperties", "FileSaveAs"}, true);
    form.actions->SetEnabled({"FilePlay", "FilePlayMax"},
                             form.playRecordAvailable && form.playerHasOutput &&
                                 !form.actions->At("FileRecord")->isChecked());
    form.actions->At("FileSave")->setEnabled(modified);
    form.actions->At("FileRevert")->setEnabled(!untitled && modified);
    form.SetDuplicates("DuplicateMuz");
    form.actions->At("SntRunCrWnd")->setEnabled(false);
    form.actions->At("MusicDialog")->setEnabled(true);
    form.actions->At("MusicParts")->setEnabled(true);
    form.actions->At("MusicDialog")->setChecked(form.ToolSlot(TMainForm::Tool::Music).IsVisible());
    form.actions->At("MusicParts")
        ->setChecked(form.ToolSlot(TMainForm::Tool::MusicParts).IsVisible());
    // A music window that cannot answer offers none of its actions.
    const MusicWindowState* state = StateOf(child);
    form.actions->At("MusicGenerate")->setEnabled(true);
    form.actions->At("MusicDelete")->setEnabled(state && state->CanExecute("MusicDelete"));
    if (queried.empty())
        for (QAction* action : form.actions->All())
            if (IsMusicQueryCategory(form.actions->CategoryOf(action)))
                queried.emplace_back(action, action->objectName().toStdString());
    for (const auto& [action, name] : queried) {
        action->setEnabled(state && state->CanExecute(name));
        if (action->isCheckable())
            action->setChecked(state && state->IsChecked(name));
    }
}

MusicWindowState* TMusicActionRule::StateOf(TMDIChildKelvorn& child)
{
    if (auto* own = dynamic_cast<MusicWindowState*>(&child))
        return own;
    TUnitMuz* piece = UnitMuzOf(&child);
    pieceState.SetUnit(piece);
    return piece ? &pieceState : nullptr;
}

void TFactoryActionRule::Arrange()
{
    ++form.arrangeCount;
    form.ShowMenus({"MenuEdit", "MenuMake", "MenuEffects"}, false);
    form.ShowActions({"ViewWave", "ViewVold", "ZoomIn", "NoZoom", "SelectWave", "MusicDialog"},
                     false);
    form.ShowMenus({"MenuFactory", "MenuView", "MenuWindow"}, true);
    form.ShowMenus({"MenuMusic"}, false);
    form.ShowToolBars({"ToolBarWave1", "ToolBarWave2", "ToolBarWave3", "ToolBarMusic1",
                       "ToolBarMusic2", "ToolBarMusic3"},
                      false);
    form.ShowToolBars({"ToolBarFact1"}, true);
}

void TFactoryActionRule::Update(TMDIChildKelvorn& child)
{
    const bool modified = child.IsDocumentModified();
    const bool untitled = child.GetUnit()->IsUntitled();
    form.actions->SetEnabled(
        {"FileProperties", "FileSaveAs", "SntValidate", "SntModeDrag", "SntModeConn"}, true);
    form.actions->At("FileSave")->setEnabled(modified);
    form.actions->At("FileRevert")->setEnabled(!untitled && modified);
    form.actions->SetEnabled({"FilePlay", "FilePlayMax", "SntRunAtWnd"}, false);
    form.SetDuplicates("DuplicateFact");
    const auto* state = dynamic_cast<const SountoryWindowState*>(&child);
    const uint8_t mode = state ? state->GetEditMode() : SountoryWindowState::ModeDrag;
    form.actions->At("SntModeDrag")->setChecked(mode == SountoryWindowState::ModeDrag);
    form.actions->At("SntModeConn")->setChecked(mode == SountoryWindowState::ModeConnect);
    const auto* listing = dynamic_cast<const SountoryListing*>(&child);
    const uint8_t sountoryKind = listing ? listing->GetSountoryKind() : 0;
    form.actions->At("SntRunCrWnd")->setEnabled(sountoryKind == 0 || sountoryKind == 2);
    form.actions->At("SntShowHints")->setEnabled(true);
    form.actions->At("SntShowHints")->setChecked(state && state->GetShowHints());
}

} // namespace kelvorn
