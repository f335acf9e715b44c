#pragma once
// The project commands: new, open, save, export and close a project, and the main window's
// close rules. A project save first writes a copy of every document with unsaved changes into
// the project's copy directory ("newProjectWindowFile" n), then the project file that names the
// copies by number, then removes the copies of the previous save and gives the new ones their
// final names ("savedProjectWindowFile" n). A save that fails before its project file is written
// removes the new copies it wrote, and a copy directory it created, before any box of the
// failure shows. Opening rebuilds every window from the documents' files and those copies, with
// its name, place, size and state.
//
// The file format and the rebuild's order live in the model (document/ProjectFile.h);
// this class describes the real windows to it and makes the windows it asks for.
//
// Closing the project or the main window never loses work: with a project open the project is
// saved and its windows closed without questions (their work is in the copies); without one, or
// when the project cannot be saved, each document window asks its close question, the most
// recently active first, and the first Cancel keeps the program and the project open.

#include "document/ProjectFile.h"
#include "shell/MainFormCommandLine.h"

#include <array>
#include <functional>
#include <string>

namespace kelvorn {

class TMainForm;
class TFileCommands;
class TFileUnit;
class TMDIChildKelvorn;

class TProjectCommands final : public ProjectOpener, private ProjectWindowMaker
{
public:
    static constexpr const char* ProjectFilter =
        "Project Files (*.kvp)|*.kvp|XML Files (*.xml)|*.xml|All files (*.*)|*.*";
    static constexpr const char* NewProjectTitle = "New Project";
    static constexpr const char* OpenProjectTitle = "Open Project";
    static constexpr const char* ExportProjectTitle = "Export Project";

    /// form and files: not owned, must outlive the commands.
    TProjectCommands(TMainForm& form, TFileCommands& files);
    ~TProjectCommands() override;
    TProjectCommands(const TProjectCommands&) = delete;
    TProjectCommands& operator=(const TProjectCommands&) = delete;

    /// Installs the five project commands, File Exit (which closes the main window under the
    /// close rules), the main window's close query, and the command line's opener (which hands
    /// every other kind on to the file commands). Install it after the file commands.
    void Install();

    // ---- Commands ------------------------------------------------------------------------

    void ProjectNewExecute();
    void ProjectOpenExecute();
    void ProjectCloseExecute();
    void ProjectSaveExecute();
    void ProjectExportExecute();
    /// The main window's close query.
    bool CloseQuery();

    // ---- The steps -----------------------------------------------------------------------

    /// Writes the new copies and puts them in place with the project file that names them, each
    /// step only after the one before succeeded, so that the project on disk opens with every
    /// window at every moment; a failure before a project file was written takes the new copies
    /// back before the boxes show, one after leaves none that no project file names. An empty
    /// file name does nothing and succeeds.
    bool SaveProject(const std::string& fileName, bool exporting);
    /// Opens the project file: sets the project, rebuilds its windows; a failure shows its box
    /// and leaves no project (the windows opened before the failure stay).
    void LoadProject(const std::string& fileName);
    /// With a project, closes every document window without a question, forgetting the changes
    /// of those that have a copy; without one, asks each its close question, the last in the
    /// list first, and stops at the first refusal.
    bool CloseAllChildren();
    /// The main window and its document windows as the project file stores them, the windows
    /// from the last in the list to the first.
    ProjectDescription DescribeWindows() const;

    // ---- ProjectOpener -----------------------------------------------------------------

    void OpenProject(const std::string& path) override;

private:
    /// The document windows from the last in the list to the first: the order of the file.
    std::vector<TMDIChildKelvorn*> WindowsInFileOrder() const;
    /// Writes the new copies; made tells what it made, also when it fails.
    bool SaveProjectDocuments(const std::string& fileName, bool exporting, ProjectCopiesMade& made);
    /// Moves the new copies to their numbers and writes the project file, in the order
    /// ProjectFile.h gives; written tells whether a project file of this save is on disk.
    bool PutProjectInPlace(const std::string& fileName, bool exporting, ProjectCopiesMade& made,
                           bool& written);
    bool WriteProjectFile(const std::string& fileName, const ProjectDescription& project,
                          bool exporting);
    /// What New, Open, Close Project and the main window's close do before they go on: saves
    /// the project and closes its windows; without a project, or when its save fails, asks
    /// each window instead. False, with every window left open, on a Cancel.
    bool SaveProjectAndCloseWindows();
    bool AskEveryWindow();

    // ProjectWindowMaker
    void SetFrame(const ProjectBounds& frame) override;
    TFileUnit* OpenDocument(DocumentKind kind, const std::string& path, const std::string& copy,
                            std::string& message) override;
    TFileUnit* FindOtherByName(const std::string& name, const TFileUnit* except) override;
    void PlaceWindow(TFileUnit& unit, const std::string& name,
                     const ProjectBounds* bounds) override;
    void SetEditName(const std::string& name) override;

    TMainForm& form;
    TFileCommands& files;
};

} // namespace kelvorn
