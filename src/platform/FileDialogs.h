#pragma once
// The open and save dialogs. Commands describe the dialog they want (title, filter, default
// extension, initial file name) and get back the chosen paths; the program's implementation
// shows the toolkit's file dialog, a test's answers from a script, so no test waits on one.
//
// Filters are written in the pairs form the file commands keep as their constants:
// "Wave Files (*.wav)|*.wav|All files (*.*)|*.*" (description, patterns, description, ...);
// ParseFileFilter cuts it up for an implementation.

#include <string>
#include <vector>

namespace kelvorn {

struct FileDialogRequest
{
    std::string title;
    /// Pairs form: "Description|*.a;*.b|Description|*.*".
    std::string filter;
    /// Without the dot ("wav"); appended to a typed name that has no extension. May be empty.
    std::string defaultExtension;
    /// The file the dialog starts with (a path, or a bare name); may be empty.
    std::string fileName;
};

/// One entry of a filter: what the list shows and the patterns it stands for.
struct FileFilterEntry
{
    std::string description;
    std::vector<std::string> patterns;

    bool operator==(const FileFilterEntry&) const = default;
};

/// Cuts a pairs-form filter into entries. A description without its pattern part (an odd
/// count of parts) still becomes an entry, matching every file; empty patterns are dropped.
std::vector<FileFilterEntry> ParseFileFilter(const std::string& filter);

/// path, or path + "." + extension when the file-name part of path has no extension (no "."
/// after its first character, so that ".hidden" counts as a name without one) and extension
/// is not empty. An empty path stays empty.
std::string AppendDefaultExtension(const std::string& path, const std::string& extension);

class FileDialogs
{
public:
    static constexpr const char* ServiceName = "FileDialogs";
    virtual ~FileDialogs() = default;

    /// The open dialog. multiple: several files may be chosen. Answers the chosen paths in the
    /// order chosen; empty when the dialog was cancelled.
    virtual std::vector<std::string> OpenFiles(const FileDialogRequest& request, bool multiple) = 0;

    /// The save dialog. True with the chosen path (the default extension appended to a name
    /// typed without one); false, path untouched, when cancelled.
    virtual bool SaveFile(const FileDialogRequest& request, std::string& path) = 0;
};

} // namespace kelvorn
