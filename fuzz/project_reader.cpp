// Tokenize, parse against the project grammars, read the description and rebuild it with fake
// windows, from memory. Invariants: a refused file comes with a message and rebuilds nothing; a
// copy is only ever looked for inside the project's copy directory under a plain number; every
// wave the rebuild opened tracks its changes afterwards, however the rebuild ended; a file read
// whole is written as a file that reads back to the same description and the same bytes.
#include "FuzzSupport.h"

#include "document/FileUnit.h"
#include "document/ProjectFile.h"
#include "general/xml/XMLToken.h"
#include "general/xml/XMLWriter.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using namespace kelvorn;
using kelvorn::fuzz::Require;

namespace {

constexpr const char* kProject = "/nonexistent-kelvorn-fuzz/demo.kvp";
constexpr const char* kCopyDir = "/nonexistent-kelvorn-fuzz/demoTempSaveFiles/";

// Only the box for a window name in use may come: the file can name two windows alike.
// A document with nothing inside: the rebuild only names and places it.
class EmptyDocument final : public TFileUnit
{
public:
    explicit EmptyDocument(DocumentKind kind) : TFileUnit(kind) {}
    bool IsModified() const override { return false; }
    void ClearModified() override {}
    bool Save() override { return false; }
    bool SaveAs(const std::string&) override { return false; }
    bool Revert(std::string&, std::string&) override { return false; }
};

class NameBoxesOnly final : public MessageSink
{
public:
    MsgAnswer Show(const std::string& text, const std::string& caption, MsgIcon,
                   MsgButtons) override
    {
        Require(caption == "Error" && text.rfind("When opening file ", 0) == 0);
        return MsgAnswer::Ok;
    }
};

class FakeMaker final : public ProjectWindowMaker
{
public:
    void SetFrame(const ProjectBounds&) override { ++frames; }
    TFileUnit* OpenDocument(DocumentKind kind, const std::string& path, const std::string& copy,
                            std::string&) override
    {
        Require(FindDocumentKind(kind) != nullptr);
        Require(!path.empty() || !copy.empty());
        if (!copy.empty()) {
            const std::string prefix = std::string(kCopyDir) + projectSavedCopy;
            Require(copy.rfind(prefix, 0) == 0);
            const std::string rest = copy.substr(prefix.size());
            const std::string extension = ProjectCopyExtension(kind);
            Require(rest.size() > extension.size() &&
                    rest.compare(rest.size() - extension.size(), extension.size(), extension) == 0);
            for (size_t i = 0; i + extension.size() < rest.size(); ++i)
                Require(rest[i] >= '0' && rest[i] <= '9');
        }
        // Some documents cannot be opened, to reach the failure road too.
        if (path.size() % 7 == 3)
            return nullptr;
        units.push_back(std::make_unique<EmptyDocument>(kind));
        units.back()->SetTrackModified(false);
        return units.back().get();
    }
    TFileUnit* FindOtherByName(const std::string& name, const TFileUnit* except) override
    {
        for (const auto& unit : units)
            if (unit.get() != except && unit->GetName() == name)
                return unit.get();
        return nullptr;
    }
    void PlaceWindow(TFileUnit& unit, const std::string& name, const ProjectBounds*) override
    {
        unit.SetName(name);
    }
    void SetEditName(const std::string&) override { ++editNames; }

    int frames = 0;
    int editNames = 0;
    std::vector<std::unique_ptr<TFileUnit>> units;
};

void ReadText(const std::string& bytes, ProjectFileContent& content)
{
    std::string version;
    auto tokens = TXMLToken::FromMemory(bytes, version);
    if (tokens->GetTokenKind() == xmlTokenError) {
        content = ProjectFileContent();
        content.error = tokens->GetError();
        return;
    }
    ReadProjectTokens(*tokens, version, content);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static NameBoxesOnly sink;
    static MessageSink* installed = InstallService<MessageSink>(&sink);
    (void)installed;

    ProjectFileContent content;
    ReadText(std::string(reinterpret_cast<const char*>(data), size), content);
    if (content.stage == ProjectFileContent::Stage::Refused)
        Require(!content.error.empty() && content.project.windows.empty() && !content.frameRead);
    if (content.stage == ProjectFileContent::Stage::Partial)
        Require(content.error.rfind("At line ", 0) == 0);
    if (content.stage == ProjectFileContent::Stage::Whole)
        Require(content.error.empty() && content.frameRead);
    for (size_t i = 0; i < content.project.windows.size(); ++i) {
        const ProjectWindow& window = content.project.windows[i];
        Require(window.tempFile >= -1);
        // Only the last window can be the one a value failed in.
        Require(window.complete || i + 1 == content.project.windows.size());
    }

    FakeMaker maker;
    std::string error;
    const bool rebuilt = RebuildProject(content, kProject, maker, error);
    if (rebuilt)
        Require(content.stage == ProjectFileContent::Stage::Whole && maker.editNames == 1);
    else
        Require(!error.empty() && maker.editNames == 0);
    Require(maker.frames == (content.frameRead ? 1 : 0));
    Require(maker.units.size() <= content.project.windows.size());
    for (const auto& unit : maker.units)
        Require(unit->GetKind() != DocumentKind::Wave || unit->GetTrackModified());
    if (content.stage != ProjectFileContent::Stage::Whole)
        return 0;

    std::string written;
    std::string writeError;
    Require(CheckProjectTexts(content.project, false, writeError));
    Require(FormatXMLFile(*BuildProjectXML(content.project, false), "", written, writeError));
    ProjectFileContent again;
    ReadText(written, again);
    Require(again.stage == ProjectFileContent::Stage::Whole);
    Require(again.project.frame == content.project.frame);
    Require(again.project.windows.size() == content.project.windows.size());
    for (size_t i = 0; i < again.project.windows.size(); ++i)
        Require(again.project.windows[i].SameWindow(content.project.windows[i]));
    std::string rewritten;
    Require(FormatXMLFile(*BuildProjectXML(again.project, false), "", rewritten, writeError));
    Require(rewritten == written);
    return 0;
}
