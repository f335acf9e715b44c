#pragma once
// The music kind of the main window: the piece's file commands (TMusicCommands), its rule of
// the action update (TMusicActionRule), its status panels and what Play plays of it.

#include "shell/KindRules.h"
#include "window_base/DocumentKindUI.h"

namespace kelvorn {

class TMainForm;
class TMusicCommands;

class TMusicKind final : public TDocumentKindUI
{
public:
    /// form and commands: not owned, must outlive the kind. Without commands the kind has its
    /// rule of the action update and plays, but has no file commands.
    TMusicKind(TMainForm& form, TMusicCommands* commands)
        : form(form), rule(form), commands(commands)
    {
    }

    DocumentKind GetKind() const override { return DocumentKind::Music; }
    void InstallCommands() override;
    TFileUnit* OpenFile(const std::string& path, const std::string& copy, bool keepClean,
                        std::string& message) override;
    bool Save(TMDIChildKelvorn& window) override;
    bool SaveAs(TMDIChildKelvorn& window) override;
    void Revert(TMDIChildKelvorn& window) override;
    void EditProperties(TMDIChildKelvorn& window) override;
    /// The whole piece rendered; nothing when it renders to no values or fails (with its box).
    bool GetPlaySource(TMDIChildKelvorn& window, TPlaySource& source) override;
    /// The piece's meaning of a shared key (TMusicEditCommands).
    bool RunSharedKey(TMDIChildKelvorn& window, std::string_view key) override;
    void ArrangeActions() override { rule.Arrange(); }
    void UpdateActions(TMDIChildKelvorn& window) override { rule.Update(window); }
    /// Panels 1 to 4: what is selected in the piece (the piece's own panels).
    void UpdateStatusPanels(TMDIChildKelvorn& window) override;

private:
    TMainForm& form;
    TMusicActionRule rule;
    TMusicCommands* commands;
};

} // namespace kelvorn
