#pragma once
// The main window's commands that write music: every music action runs the piece's command of
// the same name on the active music window's piece (TMuzCommand, src/music/core/MuzCommands.h),
// the shared single keys (through the music kind) run their music meaning there, and the music
// rule of the action update
// asks the piece, through TMusicDocumentState, which of them may run and which show checked.

#include "shell/MainFormKinds.h"

namespace kelvorn {

class TMainForm;
class TUnitMuz;

/// A piece's answers to the music actions and its status panels.
class TMusicDocumentState final : public MusicWindowState
{
public:
    void SetUnit(TUnitMuz* piece) { unit = piece; }
    bool CanExecute(std::string_view action) const override;
    bool IsChecked(std::string_view action) const override;
    void UpdateStatusPanels() override;

private:
    TUnitMuz* unit = nullptr;
};

/// Runs what the shared key name (an action "key...") means for piece: the music action it
/// stands for when that is enabled, or the piece's command with its own guard. False when the
/// key means nothing to music.
bool RunMusicSharedKey(TMainForm& form, TUnitMuz& piece, std::string_view name);

class TMusicEditCommands final
{
public:
    /// form: not owned, must outlive the commands.
    explicit TMusicEditCommands(TMainForm& form) : form(form) {}
    /// Takes the commands back out.
    ~TMusicEditCommands();
    TMusicEditCommands(const TMusicEditCommands&) = delete;
    TMusicEditCommands& operator=(const TMusicEditCommands&) = delete;

    /// Installs the command of every music action; ">" and Shift+">" take away a dot as
    /// Shift+full stop does.
    void Install();

private:
    TUnitMuz* ActivePiece() const;

    TMainForm& form;
};

} // namespace kelvorn
