#include "platform/test/ScriptedFileDialogs.h"

#include <utility>

namespace kelvorn {

namespace {

const char* KindName(ScriptedFileDialogs::Kind kind)
{
    return kind == ScriptedFileDialogs::Kind::Open ? "open " : "save ";
}

} // namespace

void ScriptedFileDialogs::WhenOpen(std::string title, std::vector<std::string> files)
{
    script.push_back({Kind::Open, std::move(title), std::move(files)});
}

void ScriptedFileDialogs::WhenSave(std::string title, std::string path)
{
    std::vector<std::string> files;
    if (!path.empty())
        files.push_back(std::move(path));
    script.push_back({Kind::Save, std::move(title), std::move(files)});
}

bool ScriptedFileDialogs::Take(Kind kind, const FileDialogRequest& request, bool multiple,
                               Step& step)
{
    shown.push_back({kind, request, multiple});
    const std::string asked = KindName(kind) + request.title;
    if (script.empty()) {
        unexpected.push_back(asked);
        return false;
    }
    if (script.front().kind != kind || script.front().title != request.title) {
        unexpected.push_back(asked + " instead of " + KindName(script.front().kind) +
                             script.front().title);
        return false;
    }
    step = std::move(script.front());
    script.pop_front();
    return true;
}

std::vector<std::string> ScriptedFileDialogs::OpenFiles(const FileDialogRequest& request,
                                                        bool multiple)
{
    Step step;
    if (!Take(Kind::Open, request, multiple, step))
        return {};
    // A single-file dialog cannot hand back more than one.
    if (!multiple && step.files.size() > 1)
        step.files.resize(1);
    return step.files;
}

bool ScriptedFileDialogs::SaveFile(const FileDialogRequest& request, std::string& path)
{
    Step step;
    if (!Take(Kind::Save, request, false, step) || step.files.empty())
        return false;
    path = AppendDefaultExtension(step.files.front(), request.defaultExtension);
    return true;
}

} // namespace kelvorn
