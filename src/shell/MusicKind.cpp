#include "shell/MusicKind.h"

#include "music/core/UnitMuz.h"
#include "music/ui/MusicWindow.h"
#include "shell/MainForm.h"
#include "shell/MainFormKinds.h"
#include "shell/MusicCommands.h"
#include "shell/MusicEditCommands.h"

namespace kelvorn {

void TMusicKind::InstallCommands()
{
    if (!commands)
        return;
    form.SetCommand("FileNewMuz", [this] { commands->FileNewMuzExecute(); });
    form.SetCommand("FileOpenMuz", [this] { commands->FileOpenMuzExecute(); });
    form.SetCommand("DuplicateMuz", [this] { commands->DuplicateMuzExecute(); });
    form.SetCommand("MusicGenerate", [this] { commands->MusicGenerateExecute(); });
}

TFileUnit* TMusicKind::OpenFile(const std::string& path, const std::string& copy,
                                bool /*keepClean*/, std::string& /*message*/)
{
    // A piece tracks no changes while it is read: there is nothing to keep clean.
    return commands ? commands->OpenMuzFile(path, copy) : nullptr;
}

bool TMusicKind::Save(TMDIChildKelvorn& window)
{
    TUnitMuz* unit = UnitMuzOf(&window);
    return unit && commands && commands->SaveUnitMuz(*unit);
}

bool TMusicKind::SaveAs(TMDIChildKelvorn& window)
{
    TUnitMuz* unit = UnitMuzOf(&window);
    return unit && commands && commands->SaveAsUnitMuz(*unit);
}

void TMusicKind::Revert(TMDIChildKelvorn& window)
{
    if (auto* music = dynamic_cast<TMDIChildMuz*>(&window); music && commands)
        commands->RevertMuz(*music);
}

void TMusicKind::EditProperties(TMDIChildKelvorn& window)
{
    if (TUnitMuz* unit = UnitMuzOf(&window); unit && commands)
        commands->EditMuzProperties(*unit);
}

bool TMusicKind::RunSharedKey(TMDIChildKelvorn& window, std::string_view key)
{
    TUnitMuz* piece = UnitMuzOf(&window);
    return piece && RunMusicSharedKey(form, *piece, key);
}

bool TMusicKind::GetPlaySource(TMDIChildKelvorn& window, TPlaySource& source)
{
    TUnitMuz* unit = UnitMuzOf(&window);
    if (!unit)
        return false;
    SoundUPtr sound = RenderPiece(form.Documents(), *unit);
    if (!sound || sound->GetValues() <= 0)
        return false;
    source.begin = 0;
    source.end = sound->GetValues();
    source.sound = std::move(sound);
    return true;
}

void TMusicKind::UpdateStatusPanels(TMDIChildKelvorn& window)
{
    // The main window empties the panels when another window becomes active.
    if (MusicWindowState* state = rule.StateOf(window))
        state->UpdateStatusPanels();
}

} // namespace kelvorn
