#include "shell/FactoryKind.h"

#include "factory/ui/FactoryWindow.h"
#include "shell/FactoryCommands.h"
#include "shell/MainForm.h"

#include <QLabel>

namespace kelvorn {

void TFactoryKind::InstallCommands()
{
    if (!commands)
        return;
    TFactoryCommands* c = commands;
    form.SetCommand("FileNewFactory", [c] { c->FileNewFactoryExecute(); });
    form.SetCommand("FileOpenFactory", [c] { c->FileOpenFactoryExecute(); });
    form.SetCommand("DuplicateFact", [c] { c->DuplicateFactExecute(); });
    form.SetCommand("SntValidate", [c] { c->SntValidateExecute(); });
    form.SetCommand("SntRunAtWnd", [c] { c->SntRunAtWndExecute(); });
    form.SetCommand("SntRunCrWnd", [c] { c->SntRunCrWndExecute(); });
    form.SetCommand("SntModeDrag", [c] { c->SetEditMode(SountoryWindowState::ModeDrag); });
    form.SetCommand("SntModeConn", [c] { c->SetEditMode(SountoryWindowState::ModeConnect); });
    form.SetCommand("SntShowHints", [c] { c->SntShowHintsExecute(); });
}

TFileUnit* TFactoryKind::OpenFile(const std::string& path, const std::string& copy,
                                  bool /*keepClean*/, std::string& /*message*/)
{
    // A factory tracks no changes while it is read: there is nothing to keep clean.
    return commands ? commands->OpenFactoryFile(path, copy) : nullptr;
}

bool TFactoryKind::Save(TMDIChildKelvorn& window)
{
    TUnitSountory* unit = UnitSountoryOf(&window);
    return unit && commands && commands->SaveUnitSountory(*unit);
}

bool TFactoryKind::SaveAs(TMDIChildKelvorn& window)
{
    TUnitSountory* unit = UnitSountoryOf(&window);
    return unit && commands && commands->SaveAsUnitSountory(*unit);
}

void TFactoryKind::Revert(TMDIChildKelvorn& window)
{
    if (auto* factory = dynamic_cast<TMDIChildFact*>(&window); factory && commands)
        commands->RevertFact(*factory);
}

void TFactoryKind::EditProperties(TMDIChildKelvorn& window)
{
    if (auto* factory = dynamic_cast<TMDIChildFact*>(&window); factory && commands)
        commands->EditFactProperties(*factory);
}

void TFactoryKind::UpdateStatusPanels(TMDIChildKelvorn& window)
{
    // Panel 1 still shows what the window before wrote there until the factory is edited.
    if (TUnitSountory* unit = UnitSountoryOf(&window))
        unit->ShowFactoryKind();
    for (int panel = 2; panel <= 7; ++panel)
        if (QLabel* label = form.GetStatusPanel(panel))
            label->clear();
}

} // namespace kelvorn
