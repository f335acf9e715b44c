#include "shell/MusicEditCommands.h"

#include "music/core/MuzCommands.h"
#include "music/core/UnitMuz.h"
#include "music/ui/MusicWindow.h"
#include "shell/MainForm.h"

#include <QAction>

namespace kelvorn {

namespace {

/// The music meaning of a shared key: an action to run when it is enabled, or a command of the
/// piece that asks its own guard.
struct TSharedKey
{
    const char* name;
    const char* action;
    void (*run)(TUnitMuz&);
};

// clang-format off
const TSharedKey sharedKeys[] = {
    {"keyCtrlDel", "MusicDelete", nullptr},
    {"keyAltDel", "MusicModeDelete", nullptr},
    {"keyAltP", "MusicPlayNote", nullptr},
    {"keyShiftAltP", "MusicAutoPlay", nullptr},
    {"keyAltG", "MusicNoteGroupNext", nullptr},
    {"keyShiftAltG", "MusicNoteGroupPrev", nullptr},
    {"keyAltN", nullptr, [](TUnitMuz& u) { u.ToNoteExecute(); }},
    {"keyAltS", nullptr, [](TUnitMuz& u) { u.ToSilenceExecute(); }},
    {"keyL", nullptr, [](TUnitMuz& u) { u.LongerExecute(); }},
    {"keyShiftL", nullptr, [](TUnitMuz& u) { u.ShorterExecute(); }},
    {"keyAltL", nullptr, [](TUnitMuz& u) { u.ArtLongerExecute(); }},
    {"keyShiftAltL", nullptr, [](TUnitMuz& u) { u.ArtShorterExecute(); }},
    {"keyB", nullptr, [](TUnitMuz& u) { if (u.CanNoteShiftExecute(noteShiftMol)) u.NoteShiftExecute(noteShiftMol); }},
    {"keyShiftB", nullptr, [](TUnitMuz& u) { if (u.CanNoteShiftExecute(noteShiftDoubleMol)) u.NoteShiftExecute(noteShiftDoubleMol); }},
    {"keyH", nullptr, [](TUnitMuz& u) { if (u.CanNoteShiftExecute(noteShiftKruis)) u.NoteShiftExecute(noteShiftKruis); }},
    {"keyShiftH", nullptr, [](TUnitMuz& u) { if (u.CanNoteShiftExecute(noteShiftDoubleKruis)) u.NoteShiftExecute(noteShiftDoubleKruis); }},
    {"keyE", nullptr, [](TUnitMuz& u) { if (u.CanNoteShiftExecute(noteShiftNormal)) u.NoteShiftExecute(noteShiftNormal); }},
    {"keyAltU", nullptr, [](TUnitMuz& u) { if (u.CanNoteStickUpExecute()) u.NoteStickUpExecute(); }},
    {"keyAltD", nullptr, [](TUnitMuz& u) { if (u.CanNoteStickDownExecute()) u.NoteStickDownExecute(); }},
};
// clang-format on

} // namespace

// ---- The piece's answers ----------------------------------------------------------------------

bool TMusicDocumentState::CanExecute(std::string_view action) const
{
    const TMuzCommand* command = unit ? FindMuzCommand(action) : nullptr;
    return command && command->can(*unit);
}

bool TMusicDocumentState::IsChecked(std::string_view action) const
{
    const TMuzCommand* command = unit ? FindMuzCommand(action) : nullptr;
    return command && command->checked && command->checked(*unit);
}

void TMusicDocumentState::UpdateStatusPanels()
{
    if (unit)
        unit->UpdateStatusBar();
}

bool RunMusicSharedKey(TMainForm& form, TUnitMuz& piece, std::string_view name)
{
    for (const TSharedKey& key : sharedKeys)
        if (key.name == name) {
            if (!key.action)
                key.run(piece);
            else if (QAction* action = form.Action(key.action); action->isEnabled())
                action->trigger();
            return true;
        }
    return false;
}

// ---- The commands -----------------------------------------------------------------------------

TMusicEditCommands::~TMusicEditCommands()
{
    for (const TMuzCommand& command : MuzCommands())
        form.SetCommand(command.name, {});
    form.SetCommand("keyCtrlP", {});
}

TUnitMuz* TMusicEditCommands::ActivePiece() const
{
    return UnitMuzOf(form.Documents().GetActiveChildMuz());
}

void TMusicEditCommands::Install()
{
    for (const TMuzCommand& command : MuzCommands())
        form.SetCommand(command.name, [this, &command] {
            // A selection changed by a click or key since the last update may have left the
            // action enabled for what is no longer there.
            if (TUnitMuz* piece = ActivePiece(); piece && command.can(*piece))
                command.run(*piece);
        });
    // The file properties of whatever window is active.
    form.SetCommand("keyCtrlP", [this] {
        if (QAction* action = form.Action("FileProperties"); action->isEnabled())
            action->trigger();
    });
    QAction* pointDelete = form.Action("MusicPointDelete");
    for (const char* key : {">", "Shift+>"})
        form.Router().AddAlias(QKeySequence(QString::fromLatin1(key)), pointDelete);
}

} // namespace kelvorn
