#include "document/ProjectFile.h"

#include "document/FileUnit.h"
#include "general/Assert.h"
#include "general/GuiMessages.h"
#include "general/files/Links.h"
#include "general/files/SafeFile.h"
#include "general/paths/Paths.h"
#include "general/values/ValueUnits.h"
#include "general/xml/XMLWriter.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace kelvorn {

namespace fs = std::filesystem;

// ---- grammar ------------------------------------------------------------------------------

void CreateProjectGrammars(TDTDGrammar& grammar, const TDTDCompound*& version9,
                           const TDTDCompound*& version8)
{
    auto* empty = grammar.Make<TDTDEmpty>();
    auto text = [&](const char* name) { return grammar.Make<TDTDContentText>(name); };
    auto concat = [&](const TDTDItem* a, const TDTDItem* b) {
        return grammar.Make<TDTDConcat>(a, b);
    };
    auto choice = [&](const TDTDItem* a, const TDTDItem* b) {
        return grammar.Make<TDTDChoice>(a, b);
    };

    const TDTDItem* state = choice(grammar.Make<TDTDCompound>("Minimized", empty),
                                   choice(grammar.Make<TDTDCompound>("Maximized", empty),
                                          grammar.Make<TDTDCompound>("Normal", empty)));
    const TDTDItem* bounds = concat(
        text("Left"), concat(text("Top"), concat(text("Width"), concat(text("Height"), state))));
    const TDTDItem* frame = grammar.Make<TDTDCompound>("Frame", bounds);

    const TDTDItem* documentContent = concat(grammar.Make<TDTDOptional>(text("File")),
                                             grammar.Make<TDTDOptional>(text("TempFile")));
    // One element per kind the program knows: "Factory", "Wave" and "Music" in the order the
    // format has always listed them, then any kind added since.
    std::vector<const DocumentKindFacts*> kinds;
    for (const DocumentKindFacts& kind : DocumentKinds())
        if (kind.kind == DocumentKind::Factory)
            kinds.insert(kinds.begin(), &kind);
        else
            kinds.push_back(&kind);
    const TDTDItem* document = nullptr;
    for (auto kind = kinds.rbegin(); kind != kinds.rend(); ++kind) {
        const TDTDItem* element =
            grammar.Make<TDTDCompound>((*kind)->projectElement, documentContent);
        document = document ? choice(element, document) : element;
    }
    const TDTDItem* window = grammar.Make<TDTDCompound>(
        "Window", concat(document, concat(grammar.Make<TDTDOptional>(text("Name")), bounds)));
    const TDTDItem* windows = grammar.Make<TDTDRepeatMin0>(window);

    version9 = grammar.Make<TDTDCompound>(projectFileRoot,
                                          concat(text("Version"), concat(frame, windows)));
    version8 = grammar.Make<TDTDCompound>(
        projectFileRoot,
        concat(text("Version"), concat(text("NoNameCounter"), concat(frame, windows))));
}

namespace {

struct ProjectGrammars
{
    ProjectGrammars() { CreateProjectGrammars(grammar, version9, version8); }

    TDTDGrammar grammar;
    const TDTDCompound* version9 = nullptr;
    const TDTDCompound* version8 = nullptr;
};

} // namespace

const TDTDCompound* ProjectGrammar(const std::string& version)
{
    // Made again when a kind was added, so that its element is part of the format.
    static std::unique_ptr<ProjectGrammars> made;
    static uint32_t madeFor = 0;
    if (!made || madeFor != DocumentKindsGeneration()) {
        made = std::make_unique<ProjectGrammars>();
        madeFor = DocumentKindsGeneration();
    }
    const ProjectGrammars& grammars = *made;
    if (version == projectFileVersion)
        return grammars.version9;
    if (version == projectFileOldVersion)
        return grammars.version8;
    return nullptr;
}

// ---- writing ------------------------------------------------------------------------------

namespace {

std::string KindElement(DocumentKind kind)
{
    const DocumentKindFacts* facts = FindDocumentKind(kind);
    return facts ? facts->projectElement : "Wave";
}

bool HoldsAngleBracket(const std::string& text)
{
    return text.find_first_of("<>") != std::string::npos;
}

} // namespace

void AddProjectBounds(TXMLComplexElement& parent, const ProjectBounds& bounds)
{
    unitInteger(bounds.left, EHNone).AddToXML(parent, "Left");
    unitInteger(bounds.top, EHNone).AddToXML(parent, "Top");
    unitInteger(bounds.width, EHNone).AddToXML(parent, "Width");
    unitInteger(bounds.height, EHNone).AddToXML(parent, "Height");
    switch (bounds.state) {
    case ProjectWindowState::Minimized:
        parent.AddComplex("Minimized");
        break;
    case ProjectWindowState::Maximized:
        parent.AddComplex("Maximized");
        break;
    default:
        parent.AddComplex("Normal");
        break;
    }
}

std::unique_ptr<TXMLComplexElement> BuildProjectXML(const ProjectDescription& project,
                                                    bool exporting)
{
    auto root = std::make_unique<TXMLComplexElement>(projectFileRoot);
    root->AddText("Version", projectFileVersion);
    AddProjectBounds(*root->AddComplex("Frame"), project.frame);
    for (const ProjectWindow& window : project.windows) {
        TXMLComplexElement* xmlWindow = root->AddComplex("Window");
        TXMLComplexElement* document = xmlWindow->AddComplex(KindElement(window.kind));
        if (!exporting && !window.file.empty())
            document->AddText("File", window.file);
        if (window.tempFile != -1)
            document->AddText("TempFile", std::to_string(window.tempFile));
        if (!window.name.empty())
            xmlWindow->AddText("Name", window.name);
        AddProjectBounds(*xmlWindow, window.bounds);
    }
    return root;
}

bool CheckProjectTexts(const ProjectDescription& project, bool exporting, std::string& error)
{
    for (const ProjectWindow& window : project.windows) {
        if (HoldsAngleBracket(window.name)) {
            error = "the window name \"" + window.name +
                    "\" holds \"<\" or \">\", which a project file cannot store";
            return false;
        }
        if (!exporting && HoldsAngleBracket(window.file)) {
            error = "the file name \"" + window.file +
                    "\" holds \"<\" or \">\", which a project file cannot store";
            return false;
        }
    }
    return true;
}

// ---- reading ------------------------------------------------------------------------------

std::string ProjectPositionMessage(int32_t line, int32_t column, const std::string& text)
{
    return "At line " + std::to_string(line) + ", column " + std::to_string(column + 1) + ": " +
           text;
}

namespace {

// The element the grammar promised; a tree that lacks it did not come from the parser.
bool Expect(const TXMLItem* item, const TXMLItem* previous, const char* name, std::string& message,
            int32_t& line, int32_t& column, bool assertMissing = false)
{
    if (item && item->GetElement() == name)
        return true;
    if (assertMissing)
        KV_SOFT_ASSERT(item != NULL && item->GetElement() == name);
    const TXMLItem* at = item ? item : previous;
    line = at ? at->GetLine() : 0;
    column = at ? at->GetColumn() : 0;
    message = std::string("Element \"") + name + "\" expected.";
    return false;
}

// One "Window": false with message and position when a value fails; window.complete tells
// whether the document element was read (the rebuild then still opens its document).
bool ReadWindow(const TXMLItem* xmlWindow, ProjectWindow& window, bool& documentRead,
                std::string& message, int32_t& line, int32_t& column)
{
    documentRead = false;
    line = xmlWindow->GetLine();
    column = xmlWindow->GetColumn();
    const TXMLItem* document = xmlWindow->GetFirstChild();
    window.kind = document ? DocumentKindOfElement(document->GetElement()) : DocumentKind::None;
    if (window.kind == DocumentKind::None) {
        Expect(nullptr, document ? document : xmlWindow, "Wave", message, line, column);
        return false;
    }
    line = window.line = document->GetLine();
    column = window.column = document->GetColumn();
    for (const TXMLItem* part = document->GetFirstChild(); part; part = part->GetNext()) {
        if (part->GetElement() == "File") {
            window.file = part->GetText();
        } else if (part->GetElement() == "TempFile") {
            // The number goes into a path: anything but plain digits could point elsewhere.
            unitIntegerPos number;
            if (!number.ReadXML(part, message, line, column))
                return false;
            window.tempFile = number.GetValue();
        }
    }
    documentRead = true;

    const TXMLItem* item = document->GetNext();
    if (item && item->GetElement() == "Name") {
        window.name = item->GetText();
        item = item->GetNext();
    }
    return ReadProjectBounds(item, window.bounds, message, line, column);
}

} // namespace

bool ReadProjectBounds(const TXMLItem*& item, ProjectBounds& bounds, std::string& message,
                       int32_t& line, int32_t& column, bool assertMissing)
{
    static const char* const names[4] = {"Left", "Top", "Width", "Height"};
    int32_t* fields[4] = {&bounds.left, &bounds.top, &bounds.width, &bounds.height};
    const TXMLItem* previous = nullptr;
    for (int i = 0; i < 4; ++i) {
        if (!Expect(item, previous, names[i], message, line, column, assertMissing))
            return false;
        unitInteger value;
        if (!value.ReadXML(item, message, line, column))
            return false;
        *fields[i] = value.GetValue();
        previous = item;
        item = item->GetNext();
    }
    const std::string state = item ? item->GetElement() : std::string();
    if (state == "Normal") {
        bounds.state = ProjectWindowState::Normal;
    } else if (state == "Minimized") {
        bounds.state = ProjectWindowState::Minimized;
    } else if (state == "Maximized") {
        bounds.state = ProjectWindowState::Maximized;
    } else {
        Expect(nullptr, item ? item : previous, "Normal", message, line, column, assertMissing);
        return false;
    }
    line = item->GetLine();
    column = item->GetColumn();
    item = item->GetNext();
    return true;
}

void ReadProjectElements(const TXMLItem* project, ProjectFileContent& content)
{
    content.frameRead = false;
    content.project = ProjectDescription();
    std::string message;
    int32_t line = 0;
    int32_t column = 0;
    auto fail = [&] {
        content.stage = ProjectFileContent::Stage::Partial;
        content.error = ProjectPositionMessage(line, column, message);
    };

    const TXMLItem* item = project ? project->GetFirstChild() : nullptr;
    if (!Expect(item, project, "Version", message, line, column))
        return fail();
    item = item->GetNext();
    if (item && item->GetElement() == "NoNameCounter")
        item = item->GetNext();
    if (!Expect(item, project, "Frame", message, line, column))
        return fail();
    const TXMLItem* bounds = item->GetFirstChild();
    if (!ReadProjectBounds(bounds, content.project.frame, message, line, column))
        return fail();
    content.frameRead = true;

    for (item = item->GetNext(); item; item = item->GetNext()) {
        if (!Expect(item, item, "Window", message, line, column))
            return fail();
        ProjectWindow window;
        bool documentRead = false;
        if (!ReadWindow(item, window, documentRead, message, line, column)) {
            if (documentRead) {
                window.complete = false;
                content.project.windows.push_back(std::move(window));
            }
            return fail();
        }
        content.project.windows.push_back(std::move(window));
    }
    content.stage = ProjectFileContent::Stage::Whole;
    content.error.clear();
}

void ReadProjectTokens(const TXMLToken& tokens, const std::string& version,
                       ProjectFileContent& content)
{
    content = ProjectFileContent();
    content.version = version;
    const TDTDCompound* grammar = ProjectGrammar(version);
    if (!grammar) {
        content.error = "Unknown version \"" + version + "\" found in project file.";
        return;
    }
    TXMLArenaScope arena;
    TXMLComplexElement root("Root");
    const TXMLToken* cursor = &tokens;
    bool fatal = false;
    std::string message;
    if (!grammar->Parse(root, cursor, message, fatal)) {
        content.error = message;
        return;
    }
    ReadProjectElements(root.GetFirstChild(), content);
}

void ReadProjectFile(const std::string& fileName, ProjectFileContent& content)
{
    std::string version;
    TXMLToken tokens(fileName, version);
    if (tokens.GetTokenKind() == xmlTokenError) {
        content = ProjectFileContent();
        content.error = tokens.GetError();
        return;
    }
    ReadProjectTokens(tokens, version, content);
}

// ---- paths and copies -------------------------------------------------------------------

bool ProjectCopyDirectory(const std::string& projectFile, std::string& directory,
                          std::string& error)
{
    std::string path;
    std::string file;
    // Named after the project file itself, however it was reached: saved through a link and
    // opened through the file, a project finds its copies.
    if (!PathOfPathFile(ResolveLinks(projectFile), path, file, error))
        return false;
    std::string name;
    std::string extension;
    SplitExtension(file, name, extension);
    directory = path + "/" + name + projectCopyDirSuffix;
    return true;
}

std::string ProjectCopyPath(const std::string& directory, const char* prefix, int32_t number,
                            const std::string& extension)
{
    return directory + "/" + prefix + std::to_string(number) + extension;
}

std::string ProjectCopyExtension(DocumentKind kind)
{
    const DocumentKindFacts* facts = FindDocumentKind(kind);
    return facts ? facts->extension : std::string();
}

std::vector<std::string> ProjectCopyExtensions(DocumentKind kind)
{
    std::vector<std::string> extensions{ProjectCopyExtension(kind)};
    if (kind == DocumentKind::Wave)
        extensions.push_back(".kvw");
    return extensions;
}

namespace {

// The files of every kind's copy.
std::vector<std::string> CopyExtensions()
{
    std::vector<std::string> extensions;
    for (const DocumentKindFacts& kind : DocumentKinds())
        for (std::string& extension : ProjectCopyExtensions(kind.kind))
            extensions.push_back(std::move(extension));
    return extensions;
}

bool Exists(const std::string& path)
{
    std::error_code code;
    return fs::exists(fs::symlink_status(path, code));
}

bool IsFolder(const std::string& path)
{
    std::error_code code;
    return fs::is_directory(fs::symlink_status(path, code));
}

ProjectSaveStepHook& StepHook()
{
    static ProjectSaveStepHook hook;
    return hook;
}

// The error the test hook gives the step, as the system would give it; none without a hook.
std::error_code StepError(ProjectSaveStep step, const std::string& path)
{
    const int code = StepHook() ? StepHook()(step, path) : 0;
    return code ? std::error_code(code, std::generic_category()) : std::error_code();
}

// A name in the copy folder that a save gives: the prefix, the number in decimal without leading
// zeros, one of the copies' extensions. Other names are not the save's.
struct CopyName
{
    int32_t number = 0;
    std::string extension;
    std::string path;
    bool folder = false;
};

bool ParseCopyName(std::string_view name, std::string_view prefix,
                   const std::vector<std::string>& extensions, CopyName& parsed)
{
    if (!name.starts_with(prefix))
        return false;
    name.remove_prefix(prefix.size());
    for (const std::string& extension : extensions) {
        if (name.size() <= extension.size() || !name.ends_with(extension))
            continue;
        const std::string_view digits = name.substr(0, name.size() - extension.size());
        // from_chars takes a minus sign, which a copy's number never has.
        if (digits[0] == '-' || (digits[0] == '0' && digits.size() > 1))
            continue;
        const auto [end, failure] =
            std::from_chars(digits.data(), digits.data() + digits.size(), parsed.number);
        if (failure != std::errc() || end != digits.data() + digits.size())
            continue;
        parsed.extension = extension;
        return true;
    }
    return false;
}

// The names of prefix in directory; none when there is no folder.
bool ListCopies(const std::string& directory, const char* prefix, std::vector<CopyName>& names,
                std::string& error)
{
    const std::vector<std::string> extensions = CopyExtensions();
    std::error_code code;
    for (fs::directory_iterator entry(directory, code), end; !code && entry != end;
         entry.increment(code)) {
        CopyName name;
        if (!ParseCopyName(entry->path().filename().string(), prefix, extensions, name))
            continue;
        name.path = entry->path().string();
        name.folder = IsFolder(name.path);
        names.push_back(std::move(name));
    }
    if (code && code != std::errc::no_such_file_or_directory &&
        code != std::errc::not_a_directory) {
        error = "Cannot read the directory \"" + directory + "\": " + code.message() + ".";
        return false;
    }
    return true;
}

// Removes a copy; a folder at its name is not the save's and stays.
bool RemoveCopy(const CopyName& name, std::string& error)
{
    if (name.folder)
        return true;
    std::error_code code = StepError(ProjectSaveStep::RemoveCopy, name.path);
    if (!code)
        fs::remove(name.path, code);
    if (!code)
        return true;
    error = "Cannot delete the file \"" + name.path + "\": " + code.message() + ".";
    return false;
}

// Removes the copies of prefix that keep does not keep.
template <class Keep>
bool RemoveCopies(const std::string& projectFile, const char* prefix, Keep keep, std::string& error)
{
    std::string directory;
    std::vector<CopyName> names;
    if (!ProjectCopyDirectory(projectFile, directory, error) ||
        !ListCopies(directory, prefix, names, error))
        return false;
    for (const CopyName& name : names) {
        if (keep(name))
            continue;
        if (!RemoveCopy(name, error))
            return false;
    }
    return true;
}

// The first of count numbers in a row that no name bears: 0 where it can be, else from count up,
// so that the numbers from 0 up stay free for the copies' second names. -1 when there is none.
int32_t FreeCopyNumbers(const std::vector<CopyName>& names, int32_t count)
{
    std::vector<int64_t> taken;
    for (const CopyName& name : names)
        taken.push_back(name.number);
    std::sort(taken.begin(), taken.end());
    const auto freeFrom = [&](int64_t first) {
        const auto next = std::lower_bound(taken.begin(), taken.end(), first);
        return next == taken.end() || *next >= first + count ? first : *next + 1;
    };
    if (freeFrom(0) == 0)
        return 0;
    int64_t base = count;
    for (int64_t next = freeFrom(base); next != base; next = freeFrom(base))
        base = next;
    return base + count - 1 <= INT32_MAX ? int32_t(base) : -1;
}

// The kind of the window that project gives copy number n; None where no window has it.
DocumentKind KindOfCopy(const ProjectDescription& project, int32_t number)
{
    for (const ProjectWindow& window : project.windows)
        if (window.tempFile == number)
            return window.kind;
    return DocumentKind::None;
}

bool LinksUnsupported(const std::error_code& code)
{
    return code == std::errc::operation_not_permitted ||
           code == std::errc::operation_not_supported || code == std::errc::too_many_links ||
           code == std::errc::function_not_supported;
}

} // namespace

std::vector<std::string> ProjectCopyFiles(const std::string& directory, const char* prefix,
                                          int32_t number)
{
    std::vector<std::string> files;
    for (const std::string& extension : CopyExtensions())
        files.push_back(ProjectCopyPath(directory, prefix, number, extension));
    return files;
}

bool DeleteNewProjectCopies(const std::string& projectFile, std::string& error)
{
    return RemoveCopies(
        projectFile, projectNewCopy, [](const CopyName&) { return false; }, error);
}

bool MoveNewProjectCopies(const std::string& projectFile, ProjectCopiesMade& made,
                          std::string& error)
{
    std::string directory;
    std::vector<CopyName> saved;
    std::vector<CopyName> fresh;
    if (!ProjectCopyDirectory(projectFile, directory, error) ||
        !ListCopies(directory, projectSavedCopy, saved, error) ||
        !ListCopies(directory, projectNewCopy, fresh, error))
        return false;
    const int32_t base = FreeCopyNumbers(saved, made.count);
    if (base < 0) {
        error = "No numbers are free for the copies in the directory \"" + directory + "\".";
        return false;
    }
    made.base = base;
    for (const CopyName& name : fresh) {
        if (name.folder || name.number >= made.count)
            continue;
        const std::string target =
            ProjectCopyPath(directory, projectSavedCopy, base + name.number, name.extension);
        std::error_code code = StepError(ProjectSaveStep::MoveCopy, target);
        if (!code)
            fs::rename(name.path, target, code);
        if (code) {
            error = "Cannot rename the file \"" + name.path + "\" to \"" + target +
                    "\": " + code.message() + ".";
            return false;
        }
    }
    return true;
}

bool RemoveProjectCopiesNotNamed(const std::string& projectFile, const ProjectDescription& project,
                                 std::string& error)
{
    const auto named = [&](const CopyName& name) {
        const DocumentKind kind = KindOfCopy(project, name.number);
        if (kind == DocumentKind::None)
            return false;
        const std::vector<std::string> own = ProjectCopyExtensions(kind);
        return std::find(own.begin(), own.end(), name.extension) != own.end();
    };
    return RemoveCopies(projectFile, projectSavedCopy, named, error);
}

ProjectDescription ProjectWithCopiesFrom(const ProjectDescription& project, int32_t base)
{
    ProjectDescription moved = project;
    for (ProjectWindow& window : moved.windows)
        if (window.tempFile >= 0)
            window.tempFile += base;
    return moved;
}

bool NumberProjectCopiesFromZero(const std::string& projectFile, const ProjectCopiesMade& made,
                                 const ProjectDescription& project, std::string& error)
{
    std::string directory;
    if (!ProjectCopyDirectory(projectFile, directory, error))
        return false;
    for (int32_t n = 0; n < made.count; ++n) {
        // Whatever answers to a name the copy's open reads would be read as part of the copy.
        const DocumentKind kind = KindOfCopy(project, n);
        for (const std::string& extension :
             kind == DocumentKind::None ? CopyExtensions() : ProjectCopyExtensions(kind)) {
            const std::string path = ProjectCopyPath(directory, projectSavedCopy, n, extension);
            if (!Exists(path))
                continue;
            const std::errc why =
                IsFolder(path) ? std::errc::is_a_directory : std::errc::file_exists;
            error = "Cannot delete the file \"" + path +
                    "\": " + std::make_error_code(why).message() + ".";
            return false;
        }
        for (const std::string& extension : CopyExtensions()) {
            const std::string moved =
                ProjectCopyPath(directory, projectSavedCopy, made.base + n, extension);
            if (!Exists(moved))
                continue;
            const std::string target = ProjectCopyPath(directory, projectSavedCopy, n, extension);
            std::error_code code = StepError(ProjectSaveStep::LinkCopy, target);
            if (!code)
                fs::create_hard_link(moved, target, code);
            if (code && LinksUnsupported(code)) {
                fs::copy_file(moved, target, code);
                GiveOwnerOf(projectFile, target);
            }
            if (code) {
                error = "Cannot rename the file \"" + moved + "\" to \"" + target +
                        "\": " + code.message() + ".";
                return false;
            }
        }
    }
    return true;
}

bool DiscardNewProjectCopies(const std::string& projectFile, const ProjectCopiesMade& made,
                             std::string& error)
{
    if (made.copies && !DeleteNewProjectCopies(projectFile, error))
        return false;
    // The numbers the copies moved to were free before: all that bears them is the save's.
    const auto before = [&](const CopyName& name) {
        return name.number < made.base || int64_t(name.number) >= int64_t(made.base) + made.count;
    };
    if (made.base >= 0 && !RemoveCopies(projectFile, projectSavedCopy, before, error))
        return false;
    if (!made.folder)
        return true;
    std::string directory;
    if (!ProjectCopyDirectory(projectFile, directory, error))
        return false;
    // Only an empty folder goes: what someone put there meanwhile is not the save's to remove.
    std::error_code ignored;
    fs::remove(directory, ignored);
    return true;
}

void SetProjectSaveStepHook(ProjectSaveStepHook hook)
{
    StepHook() = std::move(hook);
}

void ReachProjectSaveStep(ProjectSaveStep step, const std::string& path)
{
    StepError(step, path);
}

std::string ResolveProjectPath(const std::string& written, const std::string& projectFile)
{
    if (written.empty() || Exists(written))
        return written;
    const fs::path projectDir = fs::path(ResolveLinks(projectFile)).parent_path();
    if (!fs::path(written).is_absolute() && !projectDir.empty()) {
        const std::string inProject = (projectDir / written).string();
        if (Exists(inProject))
            return inProject;
    }
    const bool driveLetter =
        written.size() >= 2 && written[1] == ':' &&
        ((written[0] >= 'A' && written[0] <= 'Z') || (written[0] >= 'a' && written[0] <= 'z'));
    if (driveLetter || written.find('\\') != std::string::npos) {
        std::string slashed = written;
        for (char& c : slashed)
            if (c == '\\')
                c = '/';
        if (Exists(slashed))
            return slashed;
        if (!driveLetter && !fs::path(slashed).is_absolute() && !projectDir.empty()) {
            const std::string inProject = (projectDir / slashed).string();
            if (Exists(inProject))
                return inProject;
        }
        const size_t cut = slashed.find_last_of('/');
        std::string base = cut == std::string::npos ? slashed : slashed.substr(cut + 1);
        if (cut == std::string::npos && driveLetter)
            base = base.substr(2);
        if (!base.empty() && !projectDir.empty()) {
            const std::string beside = (projectDir / base).string();
            if (Exists(beside))
                return beside;
        }
    }
    return written;
}

// ---- the rebuild --------------------------------------------------------------------------

namespace {

// Switches change tracking back on for the waves a load opened, whichever way it ends: a
// document left without it would never be marked, asked about or saved.
class TrackingRestorer
{
public:
    ~TrackingRestorer()
    {
        for (TFileUnit* unit : opened)
            if (unit->GetKind() == DocumentKind::Wave)
                unit->SetTrackModified(true);
    }
    void Add(TFileUnit* unit) { opened.push_back(unit); }

private:
    std::vector<TFileUnit*> opened;
};

} // namespace

bool RebuildProject(const ProjectFileContent& content, const std::string& projectFile,
                    ProjectWindowMaker& maker, std::string& error)
{
    if (content.stage == ProjectFileContent::Stage::Refused) {
        error = content.error;
        return false;
    }
    if (content.frameRead)
        maker.SetFrame(content.project.frame);

    TrackingRestorer restorer;
    std::string lastName;
    for (const ProjectWindow& window : content.project.windows) {
        std::string copy;
        if (window.tempFile >= 0) {
            std::string directory;
            std::string message;
            if (!ProjectCopyDirectory(projectFile, directory, message)) {
                error = ProjectPositionMessage(window.line, window.column, message);
                return false;
            }
            copy = ProjectCopyPath(directory, projectSavedCopy, window.tempFile,
                                   ProjectCopyExtension(window.kind));
        }
        if (window.file.empty() && copy.empty()) {
            lastName.clear();
            continue; // nothing to open for this window
        }
        const std::string path = ResolveProjectPath(window.file, projectFile);
        std::string message;
        TFileUnit* unit = maker.OpenDocument(window.kind, path, copy, message);
        if (!unit) {
            if (message.empty())
                message = "The document could not be opened.";
            error = ProjectPositionMessage(window.line, window.column, message);
            return false;
        }
        restorer.Add(unit);

        std::string name = window.name;
        if (!name.empty() && maker.FindOtherByName(name, unit)) {
            TGuiMessages::ShowProjectWindowExistsError(window.file, name);
            name.clear();
        }
        maker.PlaceWindow(*unit, name, window.complete ? &window.bounds : nullptr);
        lastName = name;
        if (!window.complete)
            break;
    }
    if (content.stage == ProjectFileContent::Stage::Partial) {
        error = content.error;
        return false;
    }
    maker.SetEditName(lastName);
    return true;
}

} // namespace kelvorn
