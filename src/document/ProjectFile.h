#pragma once
// The project file (".kvp"): the main window's place and, for every open document window, its
// document (a file, a numbered copy beside the project, or both), name, place, size and state.
//
// The model side knows no windows. Saving, the shell describes its windows in a
// ProjectDescription and this code writes it; opening, this code reads the file into a
// description and rebuilds it through a ProjectWindowMaker, which the shell backs with real
// windows and the tests and the fuzz target with fakes. The copies of unsaved documents live in
// "<project name>TempSaveFiles" beside the project file (beside the file a link names, not the
// link), numbered in the order the windows are written.

#include "document/DocumentKind.h"
#include "general/xml/XMLElement.h"
#include "general/xml/XMLGrammar.h"
#include "general/xml/XMLToken.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelvorn {

class TFileUnit;

inline constexpr const char* projectFileRoot = "Project";
inline constexpr const char* projectFileVersion = "9.0";
inline constexpr const char* projectFileOldVersion = "8.0";
inline constexpr const char* projectFileExtension = "kvp";
inline constexpr const char* projectCopyDirSuffix = "TempSaveFiles";
inline constexpr const char* projectSavedCopy = "savedProjectWindowFile";
inline constexpr const char* projectNewCopy = "newProjectWindowFile";

enum class ProjectWindowState : uint8_t { Normal, Minimized, Maximized };

/// A window's place: position and size in pixels, and its state.
struct ProjectBounds
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    ProjectWindowState state = ProjectWindowState::Normal;

    bool operator==(const ProjectBounds&) const = default;
};

/// One document window of a project.
struct ProjectWindow
{
    DocumentKind kind = DocumentKind::Wave;
    /// The document's file; empty for an untitled document.
    std::string file;
    /// The number of the document's copy beside the project; -1 for none.
    int32_t tempFile = -1;
    /// Empty for a document without a name.
    std::string name;
    ProjectBounds bounds;

    // Read from a file only: where the document element stands, for the messages of the
    // rebuild, and whether the elements after it were read too.
    int32_t line = 0;
    int32_t column = 0;
    bool complete = true;

    bool SameWindow(const ProjectWindow& other) const
    {
        return kind == other.kind && file == other.file && tempFile == other.tempFile &&
               name == other.name && bounds == other.bounds;
    }
};

/// Everything a project file holds, windows in file order.
struct ProjectDescription
{
    ProjectBounds frame;
    std::vector<ProjectWindow> windows;
};

/// A project file as far as it could be read.
struct ProjectFileContent
{
    enum class Stage : uint8_t {
        Refused, ///< tokens, version or grammar refused the file: nothing to rebuild
        Partial, ///< a value failed: the windows before it (and the failing one, incomplete)
        Whole,
    };
    Stage stage = Stage::Refused;
    std::string version;
    bool frameRead = false;
    ProjectDescription project;
    /// For Refused and Partial: the text shown after "Cannot read the file: "P": ".
    std::string error;
};

// ---- grammar, tree, file ------------------------------------------------------------------

/// Builds the two grammars into grammar: version "9.0" (Version, Frame, Window*) and "8.0"
/// (Version, NoNameCounter, Frame, Window*).
void CreateProjectGrammars(TDTDGrammar& grammar, const TDTDCompound*& version9,
                           const TDTDCompound*& version8);
/// The program's grammar of version, built once; nullptr for another version.
const TDTDCompound* ProjectGrammar(const std::string& version);

/// Writes a window's place as the elements Left, Top, Width, Height and the state element.
void AddProjectBounds(TXMLComplexElement& parent, const ProjectBounds& bounds);
/// Reads what AddProjectBounds writes, from item on; item is left after the state element. On
/// failure the fields read so far stay in bounds. assertMissing: a missing element also shows
/// the assertion box, for a caller to whom a gap in the tree is a fault of the program.
bool ReadProjectBounds(const TXMLItem*& item, ProjectBounds& bounds, std::string& message,
                       int32_t& line, int32_t& column, bool assertMissing = false);

/// The tree of a project: "Project", "Version" "9.0", "Frame", then the windows in the order
/// given. Exporting leaves every "File" out.
std::unique_ptr<TXMLComplexElement> BuildProjectXML(const ProjectDescription& project,
                                                    bool exporting);

/// Whether every text the project would store can be read back: a window name or (unless
/// exporting) a file name holding "<" or ">" cannot. False with the message naming it.
bool CheckProjectTexts(const ProjectDescription& project, bool exporting, std::string& error);

/// "At line L, column C: text", with C counted from 1 as the rebuild messages count it.
std::string ProjectPositionMessage(int32_t line, int32_t column, const std::string& text);

/// Reads the element tree below "Project" into content (stage Whole or Partial).
void ReadProjectElements(const TXMLItem* project, ProjectFileContent& content);
/// Version check, grammar, description: for a token chain the tokenizer made without an error.
void ReadProjectTokens(const TXMLToken& tokens, const std::string& version,
                       ProjectFileContent& content);
/// Reads a project file from disk.
void ReadProjectFile(const std::string& fileName, ProjectFileContent& content);

// ---- paths and copies -------------------------------------------------------------------

/// The copy directory of a project file: its directory, "/", its name without the extension and
/// "TempSaveFiles", taken from the file a symbolic link names when the path is one. False, with
/// a message, for a name without a directory part.
bool ProjectCopyDirectory(const std::string& projectFile, std::string& directory,
                          std::string& error);
/// directory + "/" + prefix + n + extension (extension with its dot, or empty for the base).
std::string ProjectCopyPath(const std::string& directory, const char* prefix, int32_t number,
                            const std::string& extension = {});
/// The extension of a document kind's copy: ".wav", ".kvm", ".kvf" ("" for an unknown kind).
std::string ProjectCopyExtension(DocumentKind kind);
/// The extensions of the files a copy of kind is made of, which its open reads: the kind's own
/// and, for a wave, its side file's ".kvw".
std::vector<std::string> ProjectCopyExtensions(DocumentKind kind);
/// Every file a copy numbered number may have: with each kind's extension and a wave's ".kvw".
std::vector<std::string> ProjectCopyFiles(const std::string& directory, const char* prefix,
                                          int32_t number);

// A project save writes its copies under the new names, then puts them in place so that the
// project file on disk names, at every moment, only copies that exist and each window's own:
// the new copies move to numbers that no name of the folder bears, a project file names them
// there, the old copies go, the new ones get the numbers from 0 up as second names, a project
// file names those, and the first names go. Where the numbers from 0 up are free already (the
// first save, a save after one without copies) the new copies move straight to them and one
// project file does. A folder at a copy's name is never the save's: it is left alone, and fails
// the save only where the copy needs its name.

/// What a project save has made in the copy folder so far.
struct ProjectCopiesMade
{
    bool folder = false; ///< the save created the copy folder
    bool copies = false; ///< the save began to write a copy
    int32_t count = 0;   ///< the new copies written, numbered from 0
    int32_t base = -1;   ///< the number copy 0 was moved to; -1 before the moves
};

/// Removes the new copies in the copy folder: those a save cut short left behind (the program
/// ended during it) would be given out by the next save as its own. False, with a message naming
/// the file, when one cannot be removed.
bool DeleteNewProjectCopies(const std::string& projectFile, std::string& error);
/// Moves the made.count new copies to made.base and up: 0 where no name of the folder bears a
/// number below made.count, else the lowest number from made.count up where as many numbers in a
/// row are free. False, with a message naming the file, when one cannot be moved.
bool MoveNewProjectCopies(const std::string& projectFile, ProjectCopiesMade& made,
                          std::string& error);
/// Removes every saved copy that project does not name, by number and by the files its kind is
/// made of; folders stay. False, with a message naming the file, when one cannot be removed.
bool RemoveProjectCopiesNotNamed(const std::string& projectFile, const ProjectDescription& project,
                                 std::string& error);
/// project with every copy number moved up by base: what names the copies MoveNewProjectCopies
/// moved to base and up.
ProjectDescription ProjectWithCopiesFrom(const ProjectDescription& project, int32_t base);
/// Gives the copies moved to made.base and up the numbers from 0 up as second names, the kinds
/// taken from project, which numbers them so; a copy is copied where the file system has no
/// second names. False, with a message naming the file, when something is left at one of the
/// names a copy's kind reads, or a name cannot be given.
bool NumberProjectCopiesFromZero(const std::string& projectFile, const ProjectCopiesMade& made,
                                 const ProjectDescription& project, std::string& error);
/// Undoes made for a save that failed before its project file was written: removes the new
/// copies, those it moved and then a folder the save created, unless something else came into it
/// meanwhile, so that the folder is as the last good save left it. False, with a message naming
/// the file, when a copy cannot be removed.
bool DiscardNewProjectCopies(const std::string& projectFile, const ProjectCopiesMade& made,
                             std::string& error);

/// The changes a project save makes on disk, for a test that stops or fails a save at one.
enum class ProjectSaveStep : uint8_t {
    WriteCopy,
    MoveCopy,
    WriteProjectFile,
    RemoveCopy,
    LinkCopy
};
/// Test hook, asked before each such change with the path it makes or removes (a failed save's
/// removals too). An error code other than 0 fails the move, removal or second name of a copy as
/// the system would with it (the
/// copies and the project file are written through SafeFileWriter, whose own hooks fail them); an
/// exception leaves the disk as a program that ended there would. An empty hook switches it off.
using ProjectSaveStepHook = std::function<int(ProjectSaveStep step, const std::string& path)>;
void SetProjectSaveStepHook(ProjectSaveStepHook hook);
/// Tells the hook that a save is about to write a copy or the project file.
void ReachProjectSaveStep(ProjectSaveStep step, const std::string& path);

/// Where a file named in a project is: the path as written when it exists; else, for a relative
/// path, the path in the project's directory (the directory of the file a link names); else, for a
/// path with a drive letter or backslashes, the path with "/" for every backslash and then its base
/// name in the project's directory. When none exists, the path as written (the open reports it or
/// falls back).
std::string ResolveProjectPath(const std::string& written, const std::string& projectFile);

// ---- the rebuild --------------------------------------------------------------------------

/// What the rebuild asks of the program: the shell opens documents in windows, a test keeps
/// fakes.
class ProjectWindowMaker
{
public:
    virtual ~ProjectWindowMaker() = default;

    /// Puts the main window at frame.
    virtual void SetFrame(const ProjectBounds& frame) = 0;
    /// Opens a document of kind in a new window: from copy (a copy's base path with its
    /// extension, or "" without a copy), else from path; what a missing copy means is the
    /// kind's. Null when it could not be opened (the opener showed its box; message may add the
    /// reason for the rebuild's message).
    virtual TFileUnit* OpenDocument(DocumentKind kind, const std::string& path,
                                    const std::string& copy, std::string& message) = 0;
    /// The open document other than except that bears name, or null.
    virtual TFileUnit* FindOtherByName(const std::string& name, const TFileUnit* except) = 0;
    /// Names the document (name may be empty) and places its window; bounds is null when the
    /// file failed before its place was read.
    virtual void PlaceWindow(TFileUnit& unit, const std::string& name,
                             const ProjectBounds* bounds) = 0;
    /// The name of the last window goes to the Edit Name window.
    virtual void SetEditName(const std::string& name) = 0;
};

/// Rebuilds content's windows through maker, for the project file projectFile. False with the
/// full message when a document cannot be opened or the content was only partly read; the
/// windows opened before stay. However it ends, every wave it opened tracks its changes again.
bool RebuildProject(const ProjectFileContent& content, const std::string& projectFile,
                    ProjectWindowMaker& maker, std::string& error);

} // namespace kelvorn
