#pragma once
// The wave kind of the main window: the wave's file commands, its rule of the action update
// and its status panels. The wave's file code itself is in TFileCommands.

#include "window_base/DocumentKindUI.h"

namespace kelvorn {

class TMainForm;
class TFileCommands;

class TWaveKind final : public TDocumentKindUI
{
public:
    /// form and files: not owned, must outlive the kind. Without files the kind has its
    /// rule of the action update but no file commands.
    TWaveKind(TMainForm& form, TFileCommands* files) : form(form), files(files) {}

    DocumentKind GetKind() const override { return DocumentKind::Wave; }
    void InstallCommands() override;
    TFileUnit* OpenFile(const std::string& path, const std::string& copy, bool keepClean,
                        std::string& message) override;
    bool Save(TMDIChildKelvorn& window) override;
    bool SaveAs(TMDIChildKelvorn& window) override;
    void Revert(TMDIChildKelvorn& window) override;
    void EditProperties(TMDIChildKelvorn& window) override;
    /// The wave's part, or the whole wave when only a cursor is set; nothing when it is empty.
    bool GetPlaySource(TMDIChildKelvorn& window, TPlaySource& source) override;
    /// The wave action a shared key stands for, when that action is enabled.
    bool RunSharedKey(TMDIChildKelvorn& window, std::string_view key) override;
    void ArrangeActions() override;
    void UpdateActions(TMDIChildKelvorn& window) override;
    void UpdateStatusPanels(TMDIChildKelvorn& window) override;

private:
    TMainForm& form;
    TFileCommands* files;
};

} // namespace kelvorn
