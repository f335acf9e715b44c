#pragma once
// The file named on the command line: which kind of document it is, read from the extension,
// and the boxes for a name the program cannot open.
//
// The extension is the text after the first "." of the file-name part, so that "./song.wav"
// and "~/.cache/a.wav" open, while "a.b.wav" (extension "b.wav") is still refused.

#include <string>

namespace kelvorn {

enum class StartupFileKind { NoExtension, InvalidExtension, Project, Factory, Music, Wave };

struct StartupFile
{
    StartupFileKind kind = StartupFileKind::NoExtension;
    /// The parameter made absolute (against currentDir) and without "." and ".." steps.
    std::string path;
    /// The text after the first "." of the file-name part, in lower case ("" without one).
    std::string extension;
};

/// Classifies parameter: "kvp" project, "kvf" factory, "kvm" music, "wav" wave (compared in
/// lower case); another extension is invalid; a file-name part without "." has none.
StartupFile ClassifyStartupFile(const std::string& parameter, const std::string& currentDir);

/// Shows the box for a file that cannot be opened: "Cannot read the file: "P" File has no
/// extension" (information icon) or "Invalid extension "E" used." (stop icon), both under
/// "File Error". Nothing for a file that can be opened.
void ShowStartupFileError(const StartupFile& file, const std::string& parameter);

/// Opens the documents named on the command line. The file commands implement it.
class DocumentOpener
{
public:
    virtual ~DocumentOpener() = default;
    /// Each opens the absolute path as its kind of document, in a new window, and shows its
    /// own boxes on failure. OpenProject sets the main window's project file.
    virtual void OpenProject(const std::string& path) = 0;
    virtual void OpenFactory(const std::string& path) = 0;
    virtual void OpenMusic(const std::string& path) = 0;
    virtual void OpenWave(const std::string& path) = 0;
};

} // namespace kelvorn
