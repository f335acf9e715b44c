#include "shell/WaveKind.h"

#include "document/wave/UnitWave.h"
#include "shell/FileCommands.h"
#include "shell/MainForm.h"
#include "shell/MainFormKinds.h"
#include "waveui/WaveWindow.h"
#include "window_base/ToolWindow.h"

#include <QAction>

namespace kelvorn {

void TWaveKind::InstallCommands()
{
    if (!files)
        return;
    form.SetCommand("FileNewWave", [this] { files->FileNewWaveExecute(); });
    form.SetCommand("FileOpenWave", [this] { files->FileOpenWaveExecute(); });
    form.SetCommand("DuplicateWave", [this] { files->DuplicateWaveExecute(); });
}

TFileUnit* TWaveKind::OpenFile(const std::string& path, const std::string& copy, bool keepClean,
                               std::string& /*message*/)
{
    return files ? files->OpenWaveFile(path, copy, keepClean) : nullptr;
}

bool TWaveKind::RunSharedKey(TMDIChildKelvorn& /*window*/, std::string_view key)
{
    // Each key stands for a wave action and runs it exactly as the action would, so the
    // action's own enabled state is the guard.
    static constexpr std::pair<std::string_view, const char*> waveKeys[] = {
        {"keyCtrlDel", "EditDelete"}, {"keyAltDel", "DeleteUndo"}, {"keyAltN", "MakeNoise"},
        {"keyAltS", "MakeSilence"},   {"keyL", "Length"},          {"keyAltL", "MakeLine"},
        {"keyB", "Balance"},          {"keyShiftB", "Block"},      {"keyAltD", "DrawWaveLin"},
    };
    for (const auto& [name, action] : waveKeys)
        if (name == key) {
            if (QAction* wave = form.Action(action); wave && wave->isEnabled())
                wave->trigger();
            return true;
        }
    return false;
}

bool TWaveKind::Save(TMDIChildKelvorn& window)
{
    TUnitWave* unit = UnitWaveOf(&window);
    return unit && files && files->SaveUnitWave(*unit);
}

bool TWaveKind::SaveAs(TMDIChildKelvorn& window)
{
    TUnitWave* unit = UnitWaveOf(&window);
    return unit && files && files->SaveAsUnitWave(*unit);
}

void TWaveKind::Revert(TMDIChildKelvorn& window)
{
    TUnitWave* unit = UnitWaveOf(&window);
    if (unit && files)
        files->RevertWave(window, *unit);
}

void TWaveKind::EditProperties(TMDIChildKelvorn& window)
{
    TUnitWave* unit = UnitWaveOf(&window);
    if (unit && files)
        files->EditWaveProperties(*unit);
}

bool TWaveKind::GetPlaySource(TMDIChildKelvorn& window, TPlaySource& source)
{
    TUnitWave* unit = UnitWaveOf(&window);
    if (!unit || unit->GetValues() <= 0)
        return false;
    source.sound = unit->GetSound();
    source.begin = unit->GetRangeBegin();
    source.end = unit->GetRangeEnd();
    return true;
}

void TWaveKind::UpdateStatusPanels(TMDIChildKelvorn& window)
{
    if (TUnitWave* unit = UnitWaveOf(&window))
        unit->UpdateActions();
}

// ---- The wave's rule of the action update ----------------------------------------------------

void TWaveKind::ArrangeActions()
{
    ++form.arrangeCount;
    form.ShowActions({"ViewWave", "ViewVold", "ZoomIn", "NoZoom", "SelectWave"}, true);
    form.ShowActions({"MusicDialog"}, false);
    form.ShowMenus({"MenuMusic"}, false);
    form.ShowMenus({"MenuEdit", "MenuView", "MenuMake", "MenuEffects", "MenuWindow", "MenuFactory"},
                   true);
    form.ShowToolBars({"ToolBarMusic1", "ToolBarMusic2", "ToolBarMusic3", "ToolBarFact1"}, false);
    form.ShowToolBars({"ToolBarWave1", "ToolBarWave2", "ToolBarWave3"}, true);
}

void TWaveKind::UpdateActions(TMDIChildKelvorn& child)
{
    TUnitWave* found = UnitWaveOf(&child);
    if (!found)
        return;
    TUnitWave& unit = *found;
    const bool drawing = unit.IsUserDrawing();
    const bool notEmpty = unit.GetValues() > 0;
    const bool selection = !unit.IsCursor();
    const bool stereo = unit.GetMonoStereo() == 2;
    const bool clip = form.documents->HasClipBoardSound();
    const bool shapes = !drawing && notEmpty;
    // A window without a pane group shows the wave curve.
    const WaveWindowLink* panes = unit.GetChildWave();
    const bool showsWave = !panes || panes->GetWaveWindKind() == 0;
    const auto* state = dynamic_cast<const WaveWindowState*>(&child);
    auto set = [this](const char* name, bool enabled) {
        form.actions->At(name)->setEnabled(enabled);
    };

    form.actions->At("SelectWave")->setChecked(form.ToolSlot(TMainForm::Tool::SelZoom).IsVisible());
    set("FileProperties", !drawing);
    set("FileSave", unit.IsModified());
    set("FileSaveAs", notEmpty || drawing);
    set("FileRevert", !unit.IsUntitled() && unit.IsModified());
    // A play would close the device under a running recording and lose the take.
    const bool canPlay = form.playRecordAvailable && form.playerHasOutput &&
                         !form.actions->At("FileRecord")->isChecked();
    set("FilePlay", canPlay && notEmpty);
    set("FilePlayMax", canPlay && notEmpty);
    set("FileRecord", form.playRecordAvailable && form.playerHasInput && !notEmpty);
    for (const char* name :
         {"EditDelete", "EditCut", "EditCopy", "EditExtract", "NoZoom", "ZoomIn"})
        set(name, shapes);
    // The wave window keeps its zoom mode itself; Zoom In shows checked in its own mode.
    const auto* waveWindow = dynamic_cast<const TMDIChildWave*>(&child);
    form.actions->At("ZoomIn")->setChecked(state ? state->IsZoomed()
                                                 : waveWindow && waveWindow->GetZoomMode() == 1);
    set("EditTrim", shapes && selection);
    set("EditPaste", !drawing && clip);
    set("EditMix", !drawing && clip);
    set("EditSwap", shapes && clip);
    set("EditClearClipboard", clip);
    set("ViewWave", true);
    form.actions->At("ViewWave")->setChecked(showsWave);
    set("ViewVold", !drawing);
    form.actions->At("ViewVold")->setChecked(!showsWave);
    set("MergeH", form.documents->DocumentWindowCount() > 1);
    set("MergeV", form.documents->DocumentWindowCount() > 1);
    set("SplitV", stereo);
    set("SplitH", unit.GetPartBegin() > 0 && unit.GetPartEnd() < unit.GetValues() - 1);
    for (const char* name : {"MakeSilence", "MakeLine", "MakeBlock", "MakeTriangle", "MakeSinus",
                             "MakeNoise", "MakeMFreq"})
        set(name, !drawing);
    // The document has one availability rule for both kinds of drawing.
    set("DrawWaveLin", unit.CanDrawWaveLin());
    set("DrawWave3G", unit.CanDrawWaveLin());
    form.actions->At("DrawWaveLin")
        ->setChecked(drawing && unit.GetDrawKind() == TUnitWave::DrawLinear);
    form.actions->At("DrawWave3G")
        ->setChecked(drawing && unit.GetDrawKind() == TUnitWave::DrawParabola);
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
    form.SetDuplicates("DuplicateWave");
    set("SntRunAtWnd", form.documents->NamedSountoryCount() >= 1);
}

} // namespace kelvorn
