#pragma once
// The main window's Edit commands on the active wave: one-level undo, and the program's own
// sound clipboard with copy, cut, paste, swap, extract, mix, delete and trim. The operating
// system's clipboard is never used. The clipboard commands run along the wave command road:
// busy cursor, undo snapshot (Copy changes nothing, so it takes none and marks nothing), the
// document's operation, modified mark. Make Multi Frequency, whose dialog edits a list rather
// than a table of fields, joins the road here too.

namespace kelvorn {

class TMainForm;
class TWaveCommands;

class TEditCommands final
{
public:
    /// form and road: not owned, must outlive the commands.
    TEditCommands(TMainForm& form, TWaveCommands& road) : form(form), road(road) {}
    TEditCommands(const TEditCommands&) = delete;
    TEditCommands& operator=(const TEditCommands&) = delete;

    /// Installs the commands on their actions.
    void Install();

    /// Exchanges the undo record's sound and positions with its document's, so a second Undo
    /// redoes.
    void UndoExecute();
    void DeleteUndoExecute();
    void EditCopyExecute();
    void EditCutExecute();
    void EditPasteExecute();
    void EditSwapExecute();
    void EditExtractExecute();
    void EditDeleteExecute();
    void EditTrimExecute();
    /// "Mix" with the clipboard's sound, by the active wave's own mix record.
    void EditMixExecute();
    /// Empties the clipboard, only while a wave window is active.
    void EditClearClipboardExecute();
    /// "Multi Frequency" on the active wave, by its own record.
    void MakeMFreqExecute();

private:
    TMainForm& form;
    TWaveCommands& road;
};

} // namespace kelvorn
