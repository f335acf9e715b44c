#pragma once
// File dialogs for tests: nothing blocks. Each dialog must have been announced, in order, with
// WhenOpen or WhenSave naming its title and the answer. A dialog that comes unannounced, of the
// other kind or with another title is not shown: it is listed in Unexpected() and answers
// Cancel, so a fixture that checks Unexpected() fails the test instead of hanging.
//
// The save answer gets the default extension as the real dialog would, so that commands see
// the path a user typing the bare name would give them.
//
// Installs itself for its lifetime and puts the previous service back afterwards.

#include "general/Services.h"
#include "platform/FileDialogs.h"

#include <deque>
#include <string>
#include <vector>

namespace kelvorn {

class ScriptedFileDialogs final : public FileDialogs
{
public:
    enum class Kind { Open, Save };

    /// One dialog as it was asked for.
    struct Shown
    {
        Kind kind;
        FileDialogRequest request;
        bool multiple;
    };

    ScriptedFileDialogs() : install(this) {}
    ScriptedFileDialogs(const ScriptedFileDialogs&) = delete;
    ScriptedFileDialogs& operator=(const ScriptedFileDialogs&) = delete;

    /// The next dialog is an open dialog titled title; it answers files (none: Cancel).
    void WhenOpen(std::string title, std::vector<std::string> files);
    /// The next dialog is a save dialog titled title; it answers path ("": Cancel).
    void WhenSave(std::string title, std::string path);

    std::vector<std::string> OpenFiles(const FileDialogRequest& request, bool multiple) override;
    bool SaveFile(const FileDialogRequest& request, std::string& path) override;

    /// Every dialog asked for, in order (the unexpected ones included).
    const std::vector<Shown>& ShownDialogs() const { return shown; }
    /// "open <title>" (or "save <title>") for a dialog nobody announced, or
    /// "open <title> instead of save <announced title>" for one that does not match.
    const std::vector<std::string>& Unexpected() const { return unexpected; }
    /// Announced dialogs not asked for yet.
    size_t Pending() const { return script.size(); }

private:
    struct Step
    {
        Kind kind;
        std::string title;
        std::vector<std::string> files;
    };

    /// The step for the dialog, popped; false (and recorded) when it does not match.
    bool Take(Kind kind, const FileDialogRequest& request, bool multiple, Step& step);

    std::deque<Step> script;
    std::vector<Shown> shown;
    std::vector<std::string> unexpected;
    ScopedService<FileDialogs> install;
};

} // namespace kelvorn
