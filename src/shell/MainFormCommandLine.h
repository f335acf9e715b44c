#pragma once
// The file named on the command line: which kind of document it is, read from the extension,
// and the boxes for a name the program cannot open.
//
// The extension is the text after the first "." of the file-name part, so that "./song.wav"
// and "~/.cache/a.wav" open, while "a.b.wav" (extension "b.wav") is still refused.

#include "document/DocumentKind.h"

#include <string>

namespace kelvorn {

enum class StartupFileKind { NoExtension, InvalidExtension, Project, Document };

struct StartupFile
{
    StartupFileKind kind = StartupFileKind::NoExtension;
    /// The kind of document when kind is Document: the one whose files end in the extension.
    DocumentKind document = DocumentKind::None;
    /// The parameter made absolute (against currentDir) and without "." and ".." steps.
    std::string path;
    /// The text after the first "." of the file-name part, in lower case ("" without one).
    std::string extension;
};

/// The extension of project files, without the dot.
inline constexpr const char* ProjectExtension = "kvp";

/// Classifies parameter: "kvp" a project, the extension of a known document kind (compared in
/// lower case) that kind's document; another extension is invalid; a file-name part without
/// "." has none.
StartupFile ClassifyStartupFile(const std::string& parameter, const std::string& currentDir);

/// Shows the box for a file that cannot be opened: "Cannot read the file: "P" File has no
/// extension" (information icon) or "Invalid extension "E" used." (stop icon), both under
/// "File Error". Nothing for a file that can be opened.
void ShowStartupFileError(const StartupFile& file, const std::string& parameter);

/// Shows "Cannot read file "P": <plural> cannot be opened by this version." under "File
/// Error": a file of a kind this program cannot edit.
void ShowCannotOpenKind(const std::string& path, const std::string& pluralWord);

/// Opens a project named on the command line. The project commands implement it.
class ProjectOpener
{
public:
    virtual ~ProjectOpener() = default;
    /// Opens the absolute path as the main window's project, showing its own boxes on failure.
    virtual void OpenProject(const std::string& path) = 0;
};

} // namespace kelvorn
