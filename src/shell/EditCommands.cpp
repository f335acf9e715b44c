#include "shell/EditCommands.h"

#include "document/wave/UndoUnit.h"
#include "document/wave/UnitWave.h"
#include "shell/DocumentServices.h"
#include "shell/MainForm.h"
#include "shell/WaveCommands.h"
#include "waveui/dialogs/EffectDialogs.h"
#include "waveui/dialogs/MultiFreqDialog.h"

#include <memory>

namespace kelvorn {

void TEditCommands::Install()
{
    form.SetCommand("Undo", [this] { UndoExecute(); });
    form.SetCommand("DeleteUndo", [this] { DeleteUndoExecute(); });
    form.SetCommand("EditCopy", [this] { EditCopyExecute(); });
    form.SetCommand("EditCut", [this] { EditCutExecute(); });
    form.SetCommand("EditPaste", [this] { EditPasteExecute(); });
    form.SetCommand("EditSwap", [this] { EditSwapExecute(); });
    form.SetCommand("EditExtract", [this] { EditExtractExecute(); });
    form.SetCommand("EditDelete", [this] { EditDeleteExecute(); });
    form.SetCommand("EditTrim", [this] { EditTrimExecute(); });
    form.SetCommand("EditMix", [this] { EditMixExecute(); });
    form.SetCommand("EditClearClipboard", [this] { EditClearClipboardExecute(); });
    form.SetCommand("MakeMFreq", [this] { MakeMFreqExecute(); });
}

void TEditCommands::UndoExecute()
{
    TDocumentServices& documents = form.Documents();
    // A document being drawn renders its sound from the nodes; swapping a sound under it would
    // be undone by the next render.
    if (documents.CanUndo())
        documents.GetUndo()->Undo();
}

void TEditCommands::DeleteUndoExecute()
{
    form.Documents().DeleteUndo();
}

void TEditCommands::EditCopyExecute()
{
    road.RunPlainCommand(WaveUndoRule::Never, &waveops::Copy);
}

void TEditCommands::EditCutExecute()
{
    road.RunPlainCommand(WaveUndoRule::Always, &waveops::Cut);
}

void TEditCommands::EditPasteExecute()
{
    road.RunPlainCommand(WaveUndoRule::Always, &waveops::Paste);
}

void TEditCommands::EditSwapExecute()
{
    road.RunPlainCommand(WaveUndoRule::Always, &waveops::Swap);
}

void TEditCommands::EditExtractExecute()
{
    road.RunPlainCommand(WaveUndoRule::Always, &waveops::Extract);
}

void TEditCommands::EditDeleteExecute()
{
    road.RunPlainCommand(WaveUndoRule::Always, &waveops::Delete);
}

void TEditCommands::EditTrimExecute()
{
    road.RunPlainCommand(WaveUndoRule::Always, &waveops::Trim);
}

void TEditCommands::EditMixExecute()
{
    road.RunDialogCommand<TDlgMixProps>(
        &TUnitWaveRecords::mixProps, WaveUndoRule::Always,
        [](QWidget* owner, TMixProps& copy, TUnitWave&) {
            return std::make_unique<TDlgMixProps>(owner, copy);
        },
        &waveops::Mix);
}

void TEditCommands::MakeMFreqExecute()
{
    road.RunDialogCommand<TDlgMFreqProps>(
        &TUnitWaveRecords::mFreqProps, WaveUndoRule::Always,
        [](QWidget* owner, TMFreqProps& copy, TUnitWave&) {
            return std::make_unique<TDlgMFreqProps>(owner, copy);
        },
        &waveops::MakeMFreq);
}

void TEditCommands::EditClearClipboardExecute()
{
    if (form.Documents().GetActiveChildWave())
        form.Documents().DeleteClipBoardSound();
}

} // namespace kelvorn
