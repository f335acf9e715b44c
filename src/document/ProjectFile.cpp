#include "document/ProjectFile.h"

#include "document/FileUnit.h"
#include "general/Assert.h"
#include "general/GuiMessages.h"
#include "general/files/Links.h"
#include "general/paths/Paths.h"
#include "general/values/ValueUnits.h"
#include "general/xml/XMLWriter.h"

#include <filesystem>
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

namespace {

// Every kind's copy, and the side file that goes with a wave's.
std::vector<std::string> CopyExtensions()
{
    std::vector<std::string> extensions;
    for (const DocumentKindFacts& kind : DocumentKinds())
        extensions.push_back(kind.extension);
    extensions.push_back(".kvw");
    return extensions;
}

bool Exists(const std::string& path)
{
    std::error_code code;
    return fs::exists(fs::symlink_status(path, code));
}

// Walks the copies of prefix numbered from 0 up to the first number without any file, and
// hands each to act; stops at the first act that fails.
template <class Act>
bool ForEachCopy(const std::string& projectFile, const char* prefix, std::string& error, Act act)
{
    std::string directory;
    if (!ProjectCopyDirectory(projectFile, directory, error))
        return false;
    for (int32_t n = 0; n >= 0; ++n) {
        bool any = false;
        for (const std::string& extension : CopyExtensions()) {
            const std::string path = ProjectCopyPath(directory, prefix, n, extension);
            if (!Exists(path))
                continue;
            any = true;
            if (!act(directory, n, extension, path))
                return false;
        }
        if (!any)
            break;
    }
    return true;
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

namespace {

bool DeleteProjectCopies(const std::string& projectFile, const char* prefix, std::string& error)
{
    return ForEachCopy(
        projectFile, prefix, error,
        [&](const std::string&, int32_t, const std::string&, const std::string& path) {
            std::error_code code;
            if (fs::remove(path, code) && !code)
                return true;
            error = "Cannot delete the file \"" + path + "\"" +
                    (code ? ": " + code.message() : std::string()) + ".";
            return false;
        });
}

} // namespace

bool DeleteSavedProjectCopies(const std::string& projectFile, std::string& error)
{
    return DeleteProjectCopies(projectFile, projectSavedCopy, error);
}

bool DeleteNewProjectCopies(const std::string& projectFile, std::string& error)
{
    return DeleteProjectCopies(projectFile, projectNewCopy, error);
}

bool DiscardNewProjectCopies(const std::string& projectFile, const ProjectCopiesMade& made,
                             std::string& error)
{
    if (made.copies && !DeleteNewProjectCopies(projectFile, error))
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

bool RenameNewProjectCopies(const std::string& projectFile, std::string& error)
{
    return ForEachCopy(projectFile, projectNewCopy, error,
                       [&](const std::string& directory, int32_t n, const std::string& extension,
                           const std::string& path) {
                           const std::string target =
                               ProjectCopyPath(directory, projectSavedCopy, n, extension);
                           std::error_code code;
                           fs::rename(path, target, code);
                           if (!code)
                               return true;
                           error = "Cannot rename the file \"" + path + "\" to \"" + target +
                                   "\": " + code.message() + ".";
                           return false;
                       });
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
