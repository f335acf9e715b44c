#include "shell/ProjectCommands.h"

#include "document/wave/UnitWave.h"
#include "general/Assert.h"
#include "general/GuiMessages.h"
#include "general/HeldMessages.h"
#include "general/Messages.h"
#include "general/Services.h"
#include "general/files/SafeFile.h"
#include "general/xml/XMLWriter.h"
#include "platform/FileDialogs.h"
#include "shell/DocumentServices.h"
#include "shell/FileCommands.h"
#include "shell/MainForm.h"
#include "waveui/ViewWaveGroup.h"
#include "waveui/WaveWindow.h"
#include "window_base/ChildKelvorn.h"

#include <QMdiArea>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace kelvorn {

namespace {

FileDialogRequest ProjectRequest(const char* title)
{
    return FileDialogRequest{title, TProjectCommands::ProjectFilter, projectFileExtension, ""};
}

ProjectBounds BoundsOf(const QWidget& window, const QRect& bounds)
{
    ProjectBounds result{bounds.left(), bounds.top(), bounds.width(), bounds.height(),
                         ProjectWindowState::Normal};
    if (window.isMinimized())
        result.state = ProjectWindowState::Minimized;
    else if (window.isMaximized())
        result.state = ProjectWindowState::Maximized;
    return result;
}

} // namespace

TProjectCommands::TProjectCommands(TMainForm& form, TFileCommands& files) : form(form), files(files)
{
}

TProjectCommands::~TProjectCommands()
{
    form.SetCloseQuery({});
    form.SetProjectOpener(nullptr);
}

void TProjectCommands::Install()
{
    form.SetCommand("ProjectNew", [this] { ProjectNewExecute(); });
    form.SetCommand("ProjectOpen", [this] { ProjectOpenExecute(); });
    form.SetCommand("ProjectClose", [this] { ProjectCloseExecute(); });
    form.SetCommand("ProjectSave", [this] { ProjectSaveExecute(); });
    form.SetCommand("ProjectExport", [this] { ProjectExportExecute(); });
    // Exit is the main window's close: asking the windows here first would leave a project
    // with none to save.
    form.SetCommand("FileExit", [this] { form.close(); });
    form.SetCloseQuery([this] { return CloseQuery(); });
    form.SetProjectOpener(this);
}

// ---- Commands -------------------------------------------------------------------------------

void TProjectCommands::ProjectNewExecute()
{
    std::string fileName;
    if (!GetService<FileDialogs>().SaveFile(ProjectRequest(NewProjectTitle), fileName))
        return;
    if (!SaveProjectAndCloseWindows())
        return;
    // The file itself is written by the first save.
    form.SetProjectFile(fileName);
}

void TProjectCommands::ProjectOpenExecute()
{
    const std::vector<std::string> chosen =
        GetService<FileDialogs>().OpenFiles(ProjectRequest(OpenProjectTitle), false);
    if (chosen.empty())
        return;
    if (!SaveProjectAndCloseWindows())
        return;
    LoadProject(chosen.front());
}

void TProjectCommands::ProjectCloseExecute()
{
    if (form.GetProjectFile().empty())
        return;
    if (!SaveProjectAndCloseWindows())
        return;
    form.SetProjectFile(std::string());
}

void TProjectCommands::ProjectSaveExecute()
{
    if (!form.GetProjectFile().empty())
        SaveProject(form.GetProjectFile(), false);
}

void TProjectCommands::ProjectExportExecute()
{
    std::string fileName;
    if (GetService<FileDialogs>().SaveFile(ProjectRequest(ExportProjectTitle), fileName))
        SaveProject(fileName, true);
}

bool TProjectCommands::CloseQuery()
{
    return SaveProjectAndCloseWindows();
}

bool TProjectCommands::SaveProjectAndCloseWindows()
{
    if (form.GetProjectFile().empty())
        return AskEveryWindow();
    if (SaveProject(form.GetProjectFile(), false))
        return CloseAllChildren();
    // A save that fails once mostly fails again (a file the user may not write, a full disk):
    // refusing the close would hold the program open for good. The windows ask their questions
    // instead, as without a project, so no change is lost unasked; the project file and its
    // copies stay as the last save that succeeded left them.
    return AskEveryWindow();
}

bool TProjectCommands::AskEveryWindow()
{
    return form.Documents().CloseAllWindows();
}

// ---- Saving -------------------------------------------------------------------------------

std::vector<TMDIChildKelvorn*> TProjectCommands::WindowsInFileOrder() const
{
    std::vector<TMDIChildKelvorn*> windows = form.Documents().DocumentWindows();
    std::reverse(windows.begin(), windows.end());
    return windows;
}

ProjectDescription TProjectCommands::DescribeWindows() const
{
    ProjectDescription project;
    project.frame = BoundsOf(form, form.geometry());
    for (TMDIChildKelvorn* window : WindowsInFileOrder()) {
        const TFileUnit* unit = window->GetUnit();
        if (!unit)
            continue;
        ProjectWindow entry;
        entry.kind = unit->GetKind();
        entry.file = unit->GetFileName();
        entry.tempFile = unit->GetTempFileNumber();
        entry.name = unit->GetName();
        entry.bounds = BoundsOf(*window, window->PlaceToKeep());
        project.windows.push_back(std::move(entry));
    }
    return project;
}

bool TProjectCommands::SaveProject(const std::string& fileName, bool exporting)
{
    if (fileName.empty())
        return true;
    // Checked before any copy is written: a name the file cannot hold would make a project
    // that saves but never opens again.
    std::string error;
    if (!CheckProjectTexts(DescribeWindows(), exporting, error)) {
        Messages().Show("Cannot save Project File: " + error + ".", "FileError",
                        MsgIcon::Information, MsgButtons::Ok);
        return false;
    }
    ProjectCopiesMade made;
    HeldMessages held;
    bool saved = false;
    bool written = false;
    {
        // The boxes of a failure wait until the copies that no project file on disk names are
        // gone: the user, or a program ended while a box is open, finds a project that opens.
        const ScopedService<MessageSink> holding(&held);
        saved = SaveProjectDocuments(fileName, exporting, made) &&
                PutProjectInPlace(fileName, exporting, made, written);
    }
    if (!saved && !written) {
        const bool discarded = DiscardNewProjectCopies(fileName, made, error);
        held.ShowHeld();
        if (!discarded)
            TGuiMessages::ShowFileError(error);
        return false;
    }
    held.ShowHeld();
    return saved;
}

bool TProjectCommands::PutProjectInPlace(const std::string& fileName, bool exporting,
                                         ProjectCopiesMade& made, bool& written)
{
    const ProjectDescription project = DescribeWindows();
    std::string error;
    if (!MoveNewProjectCopies(fileName, made, error)) {
        TGuiMessages::ShowFileError(error);
        return false;
    }
    if (made.base > 0) {
        // The old copies hold the numbers from 0 up: a project file names the new ones where
        // they are, until they have those numbers too and the next file names them there.
        const ProjectDescription moved = ProjectWithCopiesFrom(project, made.base);
        if (!WriteProjectFile(fileName, moved, exporting))
            return false;
        written = true;
        const bool removed = RemoveProjectCopiesNotNamed(fileName, moved, error);
        if (!removed || !NumberProjectCopiesFromZero(fileName, made, project, error) ||
            !WriteProjectFile(fileName, project, exporting)) {
            if (!error.empty())
                TGuiMessages::ShowFileError(error);
            // The numbers given meanwhile are no project file's.
            std::string tidied;
            if (removed && !RemoveProjectCopiesNotNamed(fileName, moved, tidied))
                TGuiMessages::ShowFileError(tidied);
            return false;
        }
    } else if (!WriteProjectFile(fileName, project, exporting)) {
        return false;
    }
    written = true;
    // A copy left behind is no file's, and the next save removes it; but the failure is named,
    // and a close goes on only after each window has asked.
    if (!RemoveProjectCopiesNotNamed(fileName, project, error)) {
        TGuiMessages::ShowFileError(error);
        return false;
    }
    return true;
}

bool TProjectCommands::SaveProjectDocuments(const std::string& fileName, bool exporting,
                                            ProjectCopiesMade& made)
{
    int32_t n = 0;
    for (TMDIChildKelvorn* window : WindowsInFileOrder()) {
        TFileUnit* unit = window->GetUnit();
        if (!unit)
            continue;
        if (!exporting && !unit->NeedsProjectCopy()) {
            unit->SetTempFileNumber(-1);
            continue;
        }
        unit->SetTempFileNumber(n);
        std::string directory;
        std::string error;
        if (!ProjectCopyDirectory(fileName, directory, error))
            return false;
        std::error_code code;
        if (!std::filesystem::is_directory(directory, code)) {
            if (!std::filesystem::create_directories(directory, code)) {
                TGuiMessages::ShowFileError("Cannot create the directory \"" + directory + "\"" +
                                            (code ? ": " + code.message() : std::string()) + ".");
                return false;
            }
            made.folder = true;
            GiveOwnerOf(fileName, directory);
        } else if (n == 0 && !DeleteNewProjectCopies(fileName, error)) {
            // A program ended during a save (or a failed save's removal failed) left copies under
            // the new names. The moves at the end would hand them out with this save's copies,
            // and a copy that has no sound file of its own (a wave whose view alone changed, an
            // empty wave) would reopen with the sound left there.
            TGuiMessages::ShowFileError(error);
            return false;
        }
        const NewFiles newFiles(ProjectCopyFiles(directory, projectNewCopy, n));
        const std::string path =
            ProjectCopyPath(directory, projectNewCopy, n, ProjectCopyExtension(unit->GetKind()));
        made.copies = true;
        ReachProjectSaveStep(ProjectSaveStep::WriteCopy, path);
        const bool saved = exporting ? unit->SaveAs(path) : unit->SaveProjectCopy(path);
        if (!saved)
            return false;
        // The project's owner must be able to replace and remove the copies at the next save,
        // whoever saved this time.
        newFiles.GiveOwnerOf(fileName);
        made.count = ++n;
    }
    return true;
}

bool TProjectCommands::WriteProjectFile(const std::string& fileName,
                                        const ProjectDescription& project, bool exporting)
{
    ReachProjectSaveStep(ProjectSaveStep::WriteProjectFile, fileName);
    const std::unique_ptr<TXMLComplexElement> tree = BuildProjectXML(project, exporting);
    std::string error;
    if (WriteXMLFile(*tree, fileName, error))
        return true;
    Messages().Show("Cannot save Project File: " + error, "FileError", MsgIcon::Information,
                    MsgButtons::Ok);
    return false;
}

// ---- Closing ------------------------------------------------------------------------------

bool TProjectCommands::CloseAllChildren()
{
    if (form.GetProjectFile().empty())
        return form.Documents().CloseAllWindows();
    for (TMDIChildKelvorn* window : WindowsInFileOrder()) {
        TFileUnit* unit = window->GetUnit();
        if (unit && unit->GetTempFileNumber() != -1)
            unit->ClearModified();
        window->Release();
    }
    return true;
}

// ---- Opening ------------------------------------------------------------------------------

void TProjectCommands::LoadProject(const std::string& fileName)
{
    form.SetProjectFile(fileName);
    ProjectFileContent content;
    ReadProjectFile(fileName, content);
    std::string error;
    // Each window comes up at a new window's place and is then moved to the project's, with the
    // next one raised over it. A window on show that the toolkit moves by copying its pixels
    // counts as uncovered until it next paints itself, and that paint (its title bar going
    // inactive) went over the windows raised meanwhile. With the frame's updates held no move
    // leaves that mark, and every window paints itself afresh, in the final order, once they
    // are let go.
    QMdiArea& frame = *form.Frame();
    frame.setUpdatesEnabled(false);
    const bool rebuilt = RebuildProject(content, fileName, *this, error);
    frame.setUpdatesEnabled(true);
    // Change tracking came back on only now: the marks follow.
    for (TMDIChildKelvorn* window : form.Documents().DocumentWindows())
        window->UpdateModifiedMark();
    if (!rebuilt) {
        form.Documents().EndWait();
        Messages().Show("Cannot read the file: \"" + fileName + "\": " + error, "File Error",
                        MsgIcon::Information, MsgButtons::Ok);
        form.SetProjectFile(std::string());
    }
    form.UpdateMainCaption();
    form.ActionListUpdate();
}

void TProjectCommands::SetFrame(const ProjectBounds& frame)
{
    form.setGeometry(frame.left, frame.top, frame.width, frame.height);
    switch (frame.state) {
    case ProjectWindowState::Minimized:
        form.setWindowState(Qt::WindowMinimized);
        break;
    case ProjectWindowState::Maximized:
        form.setWindowState(Qt::WindowMaximized);
        break;
    default:
        form.setWindowState(Qt::WindowNoState);
        break;
    }
}

TFileUnit* TProjectCommands::OpenDocument(DocumentKind kind, const std::string& path,
                                          const std::string& copy, std::string& message)
{
    if (TDocumentKindUI* registered = form.Kinds().Find(kind))
        return registered->OpenFile(path, copy, true, message);
    const DocumentKindFacts* facts = FindDocumentKind(kind);
    message = (facts ? facts->pluralWord : std::string("Documents")) +
              " cannot be opened by this version.";
    return nullptr;
}

TFileUnit* TProjectCommands::FindOtherByName(const std::string& name, const TFileUnit* except)
{
    for (TMDIChildKelvorn* window : form.Documents().DocumentWindows())
        if (window->GetUnit() && window->GetUnit() != except &&
            window->GetUnit()->GetName() == name)
            return window->GetUnit();
    return nullptr;
}

void TProjectCommands::PlaceWindow(TFileUnit& unit, const std::string& name,
                                   const ProjectBounds* bounds)
{
    if (!name.empty())
        unit.SetName(name);
    TMDIChildKelvorn* window = form.Documents().FindChildOf(&unit);
    if (!window || !bounds)
        return;
    const QRect rect(bounds->left, bounds->top, bounds->width, bounds->height);
    switch (bounds->state) {
    case ProjectWindowState::Minimized:
        window->setGeometry(rect);
        window->showMinimized();
        break;
    case ProjectWindowState::Maximized:
        window->setGeometry(rect);
        window->showMaximized();
        break;
    default:
        window->showNormal();
        window->setGeometry(rect);
        break;
    }
    // The side file's split and zoom waited for the window's real size, which it has now.
    if (auto* wave = dynamic_cast<TMDIChildWave*>(window)) {
        wave->GetViewWaveGroup().ApplyPendingSplitPosition();
        wave->GetViewWaveGroup().ApplyPendingZoom();
    }
}

void TProjectCommands::SetEditName(const std::string& name)
{
    form.SetEditName(name);
}

// ---- ProjectOpener ----------------------------------------------------------------------

void TProjectCommands::OpenProject(const std::string& path)
{
    LoadProject(path);
}

} // namespace kelvorn
