#pragma once
// The factory kind of the main window: the factory's file commands (TFactoryCommands), its rule
// of the action update (TFactoryActionRule) and its status panels.

#include "shell/KindRules.h"
#include "window_base/DocumentKindUI.h"

namespace kelvorn {

class TMainForm;
class TFactoryCommands;

class TFactoryKind final : public TDocumentKindUI
{
public:
    /// form and commands: not owned, must outlive the kind. Without commands the kind has its
    /// rule of the action update but no commands.
    TFactoryKind(TMainForm& form, TFactoryCommands* commands)
        : form(form), rule(form), commands(commands)
    {
    }

    DocumentKind GetKind() const override { return DocumentKind::Factory; }
    /// New, Open and Duplicate, and the commands of the Factory menu.
    void InstallCommands() override;
    TFileUnit* OpenFile(const std::string& path, const std::string& copy, bool keepClean,
                        std::string& message) override;
    bool Save(TMDIChildKelvorn& window) override;
    bool SaveAs(TMDIChildKelvorn& window) override;
    void Revert(TMDIChildKelvorn& window) override;
    /// The factory's properties dialog.
    void EditProperties(TMDIChildKelvorn& window) override;
    void ArrangeActions() override { rule.Arrange(); }
    void UpdateActions(TMDIChildKelvorn& window) override { rule.Update(window); }
    /// Panel 1 shows the factory's kind; the panels the other kinds write are cleared.
    void UpdateStatusPanels(TMDIChildKelvorn& window) override;

private:
    TMainForm& form;
    TFactoryActionRule rule;
    TFactoryCommands* commands;
};

} // namespace kelvorn
