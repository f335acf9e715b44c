#include "shell/MainFormCommandLine.h"

#include "general/GuiMessages.h"
#include "general/Messages.h"

#include <cctype>
#include <filesystem>

namespace kelvorn {

StartupFile ClassifyStartupFile(const std::string& parameter, const std::string& currentDir)
{
    namespace fs = std::filesystem;
    fs::path path(parameter);
    if (!path.is_absolute())
        path = fs::path(currentDir) / path;
    path = path.lexically_normal();

    StartupFile file;
    file.path = path.string();
    // A parameter naming a directory ("dir/") has an empty file-name part.
    const std::string name = path.filename().string();
    const size_t dot = name.find('.');
    if (dot == std::string::npos) {
        file.kind = StartupFileKind::NoExtension;
        return file;
    }
    for (char c : name.substr(dot + 1))
        file.extension += char(std::tolower(static_cast<unsigned char>(c)));
    file.kind = StartupFileKind::InvalidExtension;
    if (file.extension == ProjectExtension) {
        file.kind = StartupFileKind::Project;
        return file;
    }
    for (const DocumentKindFacts& facts : DocumentKinds())
        if (facts.extension == "." + file.extension) {
            file.kind = StartupFileKind::Document;
            file.document = facts.kind;
            break;
        }
    return file;
}

void ShowStartupFileError(const StartupFile& file, const std::string& parameter)
{
    if (file.kind == StartupFileKind::NoExtension)
        Messages().Show("Cannot read the file: \"" + parameter + "\" File has no extension",
                        "File Error", MsgIcon::Information, MsgButtons::Ok);
    else if (file.kind == StartupFileKind::InvalidExtension)
        TGuiMessages::ShowFileError("Invalid extension \"" + file.extension + "\" used.");
}

void ShowCannotOpenKind(const std::string& path, const std::string& pluralWord)
{
    Messages().Show("Cannot read file \"" + path + "\": " + pluralWord +
                        " cannot be opened by this version.",
                    "File Error", MsgIcon::Information, MsgButtons::Ok);
}

} // namespace kelvorn
