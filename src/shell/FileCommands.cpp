#include "shell/FileCommands.h"

#include "document/records/WaveFileProps.h"
#include "document/wave/SideFile.h"
#include "document/wave/UnitWave.h"
#include "general/Assert.h"
#include "general/Messages.h"
#include "general/Services.h"
#include "platform/FileDialogs.h"
#include "shell/DocumentServices.h"
#include "shell/MainForm.h"
#include "shell/WaveKind.h"
#include "sound/SoundOps.h"
#include "sound/WavFile.h"
#include "waveui/ViewWave.h"
#include "waveui/ViewWaveGroup.h"
#include "waveui/WaveWindow.h"
#include "waveui/dialogs/WaveFilePropDialog.h"
#include "window_base/QtModalDialog.h"

#include <QAction>
#include <QMdiArea>

#include <filesystem>
#include <system_error>

namespace kelvorn {

bool FileExists(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

namespace {

FileDialogRequest WaveRequest(const char* title, const std::string& fileName)
{
    return {title, TFileCommands::WaveFilter, TFileCommands::WaveExtension, fileName};
}

} // namespace

TFileCommands::TFileCommands(TMainForm& form) : form(form) {}

TFileCommands::~TFileCommands()
{
    // The wave rule stays; only the file commands go with these.
    form.Kinds().Register(std::make_unique<TWaveKind>(form, nullptr));
}

void TFileCommands::Install()
{
    // Waves are the kind these commands were made with: the wave part of the shell registers it.
    form.Kinds().Register(std::make_unique<TWaveKind>(form, this));
    form.Kinds().Find(DocumentKind::Wave)->InstallCommands();
    form.SetCommand("FileRevert", [this] { FileRevertExecute(); });
    form.SetCommand("FileSave", [this] { FileSaveExecute(); });
    form.SetCommand("FileSaveAs", [this] { FileSaveAsExecute(); });
    form.SetCommand("FileProperties", [this] { FilePropertiesExecute(); });
    form.SetCommand("FileExit", [this] { FileExitExecute(); });
    // Only the active kind's Duplicate is enabled, so the key duplicates whatever is active.
    form.SetCommand("keyD", [this] {
        for (const char* name : {"DuplicateMuz", "DuplicateWave", "DuplicateFact"})
            if (form.Action(name)->isEnabled()) {
                form.Action(name)->trigger();
                return;
            }
    });
    form.Documents().SetSaveHandler([this](TMDIChildKelvorn& window) { return SaveChild(window); });
    if (!host)
        host = std::make_unique<TMainWaveWindowHost>(form);
}

void TFileCommands::ShowFileError(const std::string& text)
{
    Messages().Show(text, FileErrorCaption, MsgIcon::Information, MsgButtons::Ok);
}

void TFileCommands::ShowCannotRead(const std::string& name, const std::string& message)
{
    ShowFileError("Cannot read file: " + Quoted(name) + ": " + message);
}

TDocumentServices& TFileCommands::Documents() const
{
    return form.Documents();
}

// ---- New -----------------------------------------------------------------------------------

void TFileCommands::FileNewWaveExecute()
{
    TDlgWaveFileProp dialog(&form, TWaveFileProps(2, 44100, 2));
    if (RunDialog(dialog) != DialogResult::Accepted)
        return;
    TDocumentServices& documents = form.Documents();
    auto unit = std::make_unique<TUnitWave>(documents.MakeUniqueName("Wave"), std::string(),
                                            dialog.GetProps());
    documents.SetLastUsedProps(*unit);
    TMDIChildWave* window =
        NewChildWave(std::move(unit), form.DefaultWaveViewProps(), form.DefaultVoldViewProps());
    ShowWaveCurve(*window);
    window->RefreshWave();
}

TMDIChildWave* TFileCommands::NewChildWave(std::unique_ptr<TUnitWave> unit,
                                           const TWaveViewProps& waveProps,
                                           const TVoldViewProps& voldProps)
{
    TUnitWave* document = unit.get();
    auto* window = new TMDIChildWave(form.Frame(), std::move(unit), waveProps, voldProps);
    document->SetChildWave(window);
    form.Documents().AddDocumentWindow(window);
    return window;
}

void TFileCommands::ShowWaveCurve(TMDIChildWave& window)
{
    // The action update reads the check marks from the active window; set them now so that a
    // command run before the next update sees the wave curve checked.
    if (form.Frame()->activeSubWindow() == &window) {
        form.Action("ViewVold")->setChecked(false);
        form.Action("ViewWave")->setChecked(true);
    }
}

// ---- Open ----------------------------------------------------------------------------------

void TFileCommands::FileOpenWaveExecute()
{
    OpenChosenFiles(WaveRequest(OpenWaveTitle, {}),
                    [this](const std::string& file) { OpenWaveFile(file, {}, false); });
}

void TFileCommands::OpenChosenFiles(const FileDialogRequest& request,
                                    const std::function<void(const std::string&)>& open)
{
    const std::vector<std::string> chosen = GetService<FileDialogs>().OpenFiles(request, true);
    if (chosen.empty())
        return;
    WaitScope wait(form.Documents());
    for (const std::string& file : chosen)
        open(file);
}

TUnitWave* TFileCommands::OpenWaveFile(const std::string& path, const std::string& tempFile,
                                       bool keepClean)
{
    TDocumentServices& documents = form.Documents();
    documents.BeginWait();

    SoundPtr sound;
    WaveReadCounts counts;
    bool soundFromTemp = false;
    std::string message;
    const std::string* source = &path;
    if (!tempFile.empty()) {
        if (FileExists(tempFile)) {
            source = &tempFile;
            soundFromTemp = true;
        } else if (!FileExists(path)) {
            // A project may name a wave that was never saved: it comes back empty.
            sound = std::make_shared<StereoSound>(44100, int16_t{2});
            source = nullptr;
        }
    }
    if (source) {
        SoundUPtr read;
        if (!ReadWaveFile(*source, read, message, &counts)) {
            documents.EndWait();
            ShowFileError("Cannot read the file: " + Quoted(path) + " " + message);
            return nullptr;
        }
        sound = std::move(read);
    }

    // The document holds the read sound from the start, so that the side file's positions are
    // clamped to its length rather than to an empty wave's.
    auto owned = std::make_unique<TUnitWave>(documents.MakeUniqueName("Wave"), path, sound);
    TUnitWave& unit = *owned;
    unit.SetTrackModified(false);
    documents.SetLastUsedProps(unit);
    TMDIChildWave* window =
        NewChildWave(std::move(owned), form.DefaultWaveViewProps(), form.DefaultVoldViewProps());

    std::string sideFile = SideFileName(path);
    bool sideFromTemp = false;
    if (!tempFile.empty() && FileExists(SideFileName(tempFile))) {
        sideFile = SideFileName(tempFile);
        sideFromTemp = true;
    }
    const int sideResult =
        FileExists(sideFile) ? unit.LoadShadowFile(sideFile, message, true, sound) : 0;
    if (sound != unit.GetSound())
        unit.ExchangeSound(sound); // a side file of a wave without values gives its format
    form.SetEditName(unit.GetName());
    window->RefreshWave();

    if (sideResult == 2) {
        // The sound is in and shown: only the side file's positions and view are lost.
        documents.EndWait();
        ShowFileError("Cannot read the file: " + Quoted(sideFile) + " " + message);
        unit.SetTrackModified(true);
        WarnDamaged(unit, path, counts);
        return &unit;
    }

    if (sideResult == 1) {
        // The window has its size already: the split and zoom the side file keeps can show now.
        // A project that sizes the window afterwards applies them again.
        window->GetViewWaveGroup().ApplyPendingSplitPosition();
        window->GetViewWaveGroup().ApplyPendingZoom();
    }
    unit.SetTrackModified(true);
    if (soundFromTemp)
        unit.SetModified();
    if (sideFromTemp)
        unit.SetViewModified();
    documents.EndWait();
    WarnDamaged(unit, path, counts);
    if (keepClean)
        unit.SetTrackModified(false);
    window->UpdateModifiedMark();
    return &unit;
}

void TFileCommands::WarnDamaged(TUnitWave& unit, const std::string& path,
                                const WaveReadCounts& counts)
{
    if (!counts.Damaged())
        return;
    // What the file holds stays open; saving writes a consistent file, so closing asks.
    unit.SetModified();
    Messages().Show("Cannot read the whole file: " + Quoted(path) + " " + WaveDamagedText(counts),
                    FileErrorCaption, MsgIcon::Warning, MsgButtons::Ok);
}

// ---- Revert --------------------------------------------------------------------------------

void TFileCommands::FileRevertExecute()
{
    TMDIChildKelvorn* window = form.Documents().GetActiveChild();
    if (TDocumentKindUI* kind = form.Kinds().Of(window))
        kind->Revert(*window);
}

void TFileCommands::RevertWave(TMDIChildKelvorn& window, TUnitWave& unit)
{
    if (!KV_SOFT_ASSERT(!unit.GetFileName().empty()))
        return;
    TDocumentServices& documents = form.Documents();
    documents.BeginWait();
    std::string message;
    std::string failedFile;
    const bool reverted = unit.Revert(message, failedFile);
    // A failed side file still brought the sound in.
    if (reverted || failedFile != unit.GetFileName())
        if (auto* wave = dynamic_cast<TMDIChildWave*>(&window))
            wave->RefreshWave();
    if (!reverted) {
        documents.EndWait();
        ShowFileError("Cannot revert the file: " + Quoted(failedFile) + " " + message);
        return;
    }
    form.SetEditName(unit.GetName());
    form.SelZoomSelectionChanged(&window);
    unit.ClearModified();
    documents.EndWait();
    // A file damaged since it was opened is reverted to what it still holds, as an open would.
    WarnDamaged(unit, unit.GetFileName(), unit.GetLastReadCounts());
    window.UpdateModifiedMark();
}

// ---- Save ----------------------------------------------------------------------------------

void TFileCommands::FileSaveExecute()
{
    if (TMDIChildKelvorn* window = form.Documents().GetActiveChild())
        SaveChild(*window);
}

bool TFileCommands::FileSaveAsExecute()
{
    TMDIChildKelvorn* window = form.Documents().GetActiveChild();
    TDocumentKindUI* kind = form.Kinds().Of(window);
    return kind && kind->SaveAs(*window);
}

bool TFileCommands::SaveChild(TMDIChildKelvorn& window)
{
    TDocumentKindUI* kind = form.Kinds().Of(&window);
    return kind && kind->Save(window);
}

bool TFileCommands::SaveUnitWave(TUnitWave& unit)
{
    if (!KV_SOFT_ASSERT(unit.CanSaveFile()))
        return false;
    return SaveDocument(unit, WaveRequest(SaveWaveTitle, {}));
}

bool TFileCommands::SaveAsUnitWave(TUnitWave& unit)
{
    return SaveDocumentAs(unit, WaveRequest(SaveWaveTitle, {}));
}

bool TFileCommands::SaveDocument(TFileUnit& unit, const FileDialogRequest& saveAs)
{
    if (unit.IsUntitled())
        return SaveDocumentAs(unit, saveAs);
    WaitScope wait(form.Documents());
    const bool saved = unit.Save();
    if (saved)
        unit.ClearModified();
    return saved;
}

bool TFileCommands::SaveDocumentAs(TFileUnit& unit, FileDialogRequest request)
{
    request.fileName = unit.GetFileName();
    std::string path;
    if (!GetService<FileDialogs>().SaveFile(request, path))
        return false;
    WaitScope wait(form.Documents());
    // The document keeps its old name and its change flags unless the save worked, so that the
    // close question still protects the work.
    if (!unit.SaveAs(path))
        return false;
    unit.SetFileName(path);
    unit.ClearModified();
    return true;
}

// ---- Duplicate -----------------------------------------------------------------------------

void TFileCommands::DuplicateWaveExecute()
{
    auto* source = dynamic_cast<TMDIChildWave*>(form.Documents().GetActiveChildWave());
    if (!source)
        return;
    TUnitWave& unit = source->GetUnitWave();
    TDocumentServices& documents = form.Documents();
    WaitScope wait(documents);
    unit.BeginOperation();
    SoundUPtr copy =
        CopyPart(*unit.GetSound(), unit.GetAbortFlag(), unit.GetRangeBegin(), unit.GetRangeEnd());
    if (!copy || unit.IsAborted())
        return; // the memory box was shown by the copy
    auto duplicate =
        std::make_unique<TUnitWave>(documents.MakeUniqueName("Copy", "of " + unit.GetName()),
                                    std::string(), SoundPtr(std::move(copy)));
    documents.SetLastUsedProps(*duplicate);
    TMDIChildWave* window =
        NewChildWave(std::move(duplicate), source->GetWaveViewProps(), source->GetVoldViewProps());

    TViewWaveGroup& oldGroup = source->GetViewWaveGroup();
    TViewWaveGroup& newGroup = window->GetViewWaveGroup();
    // Kept pending as well, for a window that has no size yet.
    newGroup.SetPendingSplitPosition(oldGroup.GetSplitPosition());
    newGroup.ApplyPendingSplitPosition();
    for (int pane = 1; pane <= 2; ++pane) {
        TViewWave* from = oldGroup.GetView(pane);
        TViewWave* to = newGroup.GetView(pane);
        if (from && to && from->IsZoomed())
            to->ZoomTo(static_cast<int32_t>(from->GetZoomBegin()),
                       static_cast<int32_t>(from->GetZoomEnd()), true);
    }
    ShowWaveCurve(*window);
    window->RefreshWave();
}

// ---- File properties -----------------------------------------------------------------------

void TFileCommands::FilePropertiesExecute()
{
    TMDIChildKelvorn* window = form.Documents().GetActiveChild();
    if (TDocumentKindUI* kind = form.Kinds().Of(window))
        kind->EditProperties(*window);
}

std::optional<TWaveFileProps> TFileCommands::AskFileProperties(const TSoundUnit& unit)
{
    TDlgWaveFileProp dialog(
        &form, TWaveFileProps(unit.GetMonoStereo(), unit.GetSampleFreq(), unit.GetBytesPSample()));
    if (RunDialog(dialog) != DialogResult::Accepted)
        return std::nullopt;
    return dialog.GetProps();
}

void TFileCommands::EditWaveProperties(TUnitWave& unit)
{
    const TWaveFileProps old(unit.GetMonoStereo(), unit.GetSampleFreq(), unit.GetBytesPSample());
    const std::optional<TWaveFileProps> chosen = AskFileProperties(unit);
    if (!chosen)
        return;
    TDocumentServices& documents = form.Documents();
    WaitScope wait(documents);
    unit.BeginOperation();
    documents.MakeUndo(unit);
    if (unit.SetWaveFileProps(old, *chosen))
        unit.SetModified();
}

// ---- Exit ----------------------------------------------------------------------------------

void TFileCommands::FileExitExecute()
{
    // Closing the main window alone would take the frame's windows down without their
    // questions, and with them unsaved work.
    if (form.Documents().CloseAllWindows())
        form.close();
}

} // namespace kelvorn
