// The project file: exact writing, reading back from memory and from disk, refusals with their
// place, the copies beside the project, the paths of moved files, and the rebuild of the windows.

#include "document/ProjectFile.h"
#include "support/Documents.h"
#include "support/PlainDocument.h"

#include "document/FileUnit.h"
#include "general/xml/XMLWriter.h"
#include "platform/test/ScriptedMessages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <unistd.h>

using namespace kelvorn;
namespace fs = std::filesystem;

namespace {

const std::string kHeader = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                            "<!DOCTYPE Project SYSTEM \"Project.dtd\">\n\n";

std::string Format(const ProjectDescription& project, bool exporting)
{
    std::string text;
    std::string error;
    EXPECT_TRUE(FormatXMLFile(*BuildProjectXML(project, exporting), "", text, error)) << error;
    return text;
}

ProjectFileContent Read(const std::string& text)
{
    std::string version;
    auto tokens = TXMLToken::FromMemory(text, version);
    ProjectFileContent content;
    if (tokens->GetTokenKind() == xmlTokenError) {
        content.error = tokens->GetError();
        return content;
    }
    ReadProjectTokens(*tokens, version, content);
    return content;
}

ProjectWindow Window(int kind, std::string file, int32_t temp, std::string name,
                     ProjectBounds bounds)
{
    ProjectWindow window;
    window.kind = DocumentKind(kind);
    window.file = std::move(file);
    window.tempFile = temp;
    window.name = std::move(name);
    window.bounds = bounds;
    return window;
}

ProjectDescription TwoWaves()
{
    ProjectDescription project;
    project.frame = {10, 20, 800, 600, ProjectWindowState::Maximized};
    project.windows.push_back(Window(1, "/music/a.wav", -1, "Wave 1", {0, 0, 300, 200}));
    project.windows.push_back(
        Window(1, "", 0, "Wave 2", {30, 40, 320, 210, ProjectWindowState::Minimized}));
    return project;
}

/// A whole file around windows (already indented by four blanks).
std::string ProjectText(const std::string& version, const std::string& windows,
                        const std::string& extra = "")
{
    return kHeader + "<Project>\n  <Version>" + version + "</Version>\n" + extra +
           "  <Frame>\n    <Left>1</Left>\n    <Top>2</Top>\n    <Width>3</Width>\n"
           "    <Height>4</Height>\n    <Normal/>\n  </Frame>\n" +
           windows + "</Project>\n";
}

std::string WaveWindow(const std::string& document, const std::string& left = "5")
{
    return "  <Window>\n    <Wave>\n" + document +
           "    </Wave>\n    <Name>W</Name>\n"
           "    <Left>" +
           left +
           "</Left>\n    <Top>6</Top>\n    <Width>7</Width>\n"
           "    <Height>8</Height>\n    <Normal/>\n  </Window>\n";
}

// ---- writing ------------------------------------------------------------------------------

TEST(ProjectFileWriteTest, WritesEveryElementInOrder)
{
    EXPECT_EQ(Format(TwoWaves(), false), kHeader + "<Project>\n"
                                                   "  <Version>9.0</Version>\n"
                                                   "  <Frame>\n"
                                                   "    <Left>10</Left>\n"
                                                   "    <Top>20</Top>\n"
                                                   "    <Width>800</Width>\n"
                                                   "    <Height>600</Height>\n"
                                                   "    <Maximized />\n"
                                                   "  </Frame>\n"
                                                   "  <Window>\n"
                                                   "    <Wave>\n"
                                                   "      <File>/music/a.wav</File>\n"
                                                   "    </Wave>\n"
                                                   "    <Name>Wave 1</Name>\n"
                                                   "    <Left>0</Left>\n"
                                                   "    <Top>0</Top>\n"
                                                   "    <Width>300</Width>\n"
                                                   "    <Height>200</Height>\n"
                                                   "    <Normal />\n"
                                                   "  </Window>\n"
                                                   "  <Window>\n"
                                                   "    <Wave>\n"
                                                   "      <TempFile>0</TempFile>\n"
                                                   "    </Wave>\n"
                                                   "    <Name>Wave 2</Name>\n"
                                                   "    <Left>30</Left>\n"
                                                   "    <Top>40</Top>\n"
                                                   "    <Width>320</Width>\n"
                                                   "    <Height>210</Height>\n"
                                                   "    <Minimized />\n"
                                                   "  </Window>\n"
                                                   "</Project>\n");
}

TEST(ProjectFileWriteTest, ExportLeavesEveryFileOut)
{
    const std::string text = Format(TwoWaves(), true);
    EXPECT_EQ(text.find("<File>"), std::string::npos);
    EXPECT_NE(text.find("<TempFile>0</TempFile>"), std::string::npos);
    // A document with neither file nor copy keeps an empty element.
    ProjectDescription project;
    project.windows.push_back(Window(3, "", -1, "", {1, 2, 3, 4}));
    EXPECT_NE(Format(project, false).find("    <Factory />\n    <Left>1</Left>"),
              std::string::npos);
}

struct BracketCase
{
    const char* name;
    const char* file;
    bool exporting;
    const char* error; // "" when accepted
};

class ProjectTextCheckTest : public ::testing::TestWithParam<BracketCase>
{
};

TEST_P(ProjectTextCheckTest, RefusesAngleBracketsThatCouldNotBeReadBack)
{
    const BracketCase& c = GetParam();
    ProjectDescription project;
    project.windows.push_back(Window(1, c.file, -1, c.name, {}));
    std::string error;
    EXPECT_EQ(CheckProjectTexts(project, c.exporting, error), *c.error == 0);
    EXPECT_EQ(error, c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ProjectTextCheckTest,
    ::testing::Values(
        BracketCase{"Wave 1", "/a/b.wav", false, ""},
        BracketCase{"a<b", "/a/b.wav", false,
                    "the window name \"a<b\" holds \"<\" or \">\", which a project file cannot "
                    "store"},
        BracketCase{"a", "/x>/b.wav", false,
                    "the file name \"/x>/b.wav\" holds \"<\" or \">\", which a project file "
                    "cannot store"},
        BracketCase{"a", "/x>/b.wav", true, ""}, BracketCase{"", "", false, ""}));

// ---- reading ------------------------------------------------------------------------------

class ProjectRoundTripTest : public ::testing::TestWithParam<ProjectDescription>
{
};

TEST_P(ProjectRoundTripTest, ReadsBackWhatItWrote)
{
    const ProjectDescription& project = GetParam();
    const std::string text = Format(project, false);
    const ProjectFileContent content = Read(text);
    ASSERT_EQ(content.stage, ProjectFileContent::Stage::Whole) << content.error;
    EXPECT_EQ(content.version, "9.0");
    EXPECT_TRUE(content.frameRead);
    EXPECT_EQ(content.project.frame, project.frame);
    ASSERT_EQ(content.project.windows.size(), project.windows.size());
    for (size_t i = 0; i < project.windows.size(); ++i)
        EXPECT_TRUE(content.project.windows[i].SameWindow(project.windows[i])) << i;
    EXPECT_EQ(Format(content.project, false), text);
}

ProjectDescription EveryKind()
{
    ProjectDescription project;
    project.frame = {-5, -7, 1, 1, ProjectWindowState::Minimized};
    project.windows.push_back(Window(2, "/m/song.kvm", 3, "", {1, 2, 3, 4}));
    project.windows.push_back(
        Window(3, "/f/fac.kvf", -1, "F", {0, 0, 10, 10, ProjectWindowState::Maximized}));
    project.windows.push_back(Window(1, "", 2147483647, "big", {0, 0, 0, 0}));
    project.windows.push_back(Window(1, "", -1, "", {0, 0, 0, 0}));
    return project;
}

INSTANTIATE_TEST_SUITE_P(Projects, ProjectRoundTripTest,
                         ::testing::Values(ProjectDescription{}, TwoWaves(), EveryKind()));

TEST(ProjectFileReadTest, ReadsVersion8WithItsCounterAndWritesVersion9WithoutIt)
{
    const ProjectFileContent content = Read(ProjectText(
        "8.0", WaveWindow("      <File>/a.wav</File>\n"), "  <NoNameCounter>4</NoNameCounter>\n"));
    ASSERT_EQ(content.stage, ProjectFileContent::Stage::Whole) << content.error;
    ASSERT_EQ(content.project.windows.size(), 1u);
    EXPECT_EQ(content.project.windows[0].file, "/a.wav");
    EXPECT_EQ(content.project.frame, (ProjectBounds{1, 2, 3, 4, ProjectWindowState::Normal}));
    const std::string rewritten = Format(content.project, false);
    EXPECT_NE(rewritten.find("<Version>9.0</Version>"), std::string::npos);
    EXPECT_EQ(rewritten.find("NoNameCounter"), std::string::npos);
}

struct RefusedCase
{
    std::string text;
    std::string error;
};

class ProjectRefusedTest : public ::testing::TestWithParam<RefusedCase>
{
};

TEST_P(ProjectRefusedTest, RefusesTheFileWithTheMessage)
{
    const ProjectFileContent content = Read(GetParam().text);
    EXPECT_EQ(content.stage, ProjectFileContent::Stage::Refused);
    EXPECT_EQ(content.error.substr(0, GetParam().error.size()), GetParam().error);
    EXPECT_TRUE(content.project.windows.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, ProjectRefusedTest,
    ::testing::Values(
        RefusedCase{ProjectText("7.0", ""), "Unknown version \"7.0\" found in project file."},
        RefusedCase{kHeader + "<Project>\n  <Frame/>\n</Project>\n",
                    "Unknown version \"\" found in project file."},
        // A version 9.0 file with the old counter, and an 8.0 file without it.
        RefusedCase{ProjectText("9.0", "", "  <NoNameCounter>4</NoNameCounter>\n"), "unexpected"},
        RefusedCase{ProjectText("8.0", ""), "unexpected"},
        RefusedCase{ProjectText("9.0", "  <Window>\n    <Wave/>\n  </Window>\n"), "unexpected"}));

TEST(ProjectFileReadTest, GrammarMessagesNameWhatWasExpected)
{
    // The grammar's own text is kept whole after the prefix the shell adds.
    const ProjectFileContent content =
        Read(ProjectText("9.0", "  <Window>\n    <Wave/>\n  </Window>\n"));
    EXPECT_NE(content.error.find("Left"), std::string::npos) << content.error;
}

// Trees the grammar would never hand over: the reader names the element it missed.
TEST(ProjectFileReadTest, ATreeWithoutAnExpectedElementNamesIt)
{
    struct Case
    {
        const char* name;
        std::function<void(TXMLComplexElement&)> build;
        const char* error;
    };
    auto frame = [](TXMLComplexElement& project, bool state) {
        TXMLComplexElement* f = project.AddComplex("Frame");
        for (const char* n : {"Left", "Top", "Width", "Height"})
            f->AddText(n, "1");
        if (state)
            f->AddComplex("Normal");
    };
    const std::vector<Case> cases{
        {"no version", [](TXMLComplexElement& p) { p.AddText("Frame", "x"); },
         "Element \"Version\" expected."},
        {"no state",
         [&](TXMLComplexElement& p) {
             p.AddText("Version", "9.0");
             frame(p, false);
         },
         "Element \"Normal\" expected."},
        {"no document",
         [&](TXMLComplexElement& p) {
             p.AddText("Version", "9.0");
             frame(p, true);
             p.AddComplex("Window")->AddText("Name", "W");
         },
         "Element \"Wave\" expected."},
        {"not a window",
         [&](TXMLComplexElement& p) {
             p.AddText("Version", "9.0");
             frame(p, true);
             p.AddText("Door", "W");
         },
         "Element \"Window\" expected."},
    };
    for (const Case& c : cases) {
        TXMLComplexElement project("Project");
        c.build(project);
        ProjectFileContent content;
        ReadProjectElements(&project, content);
        EXPECT_EQ(content.stage, ProjectFileContent::Stage::Partial) << c.name;
        EXPECT_TRUE(content.project.windows.empty()) << c.name;
        EXPECT_EQ(content.error.substr(content.error.find(": ") + 2), c.error) << c.name;
    }
}

struct TempFileCase
{
    const char* text;
    const char* reason;
};

class ProjectTempFileTest : public ::testing::TestWithParam<TempFileCase>
{
};

// The number goes into a path: anything but a non-negative integer ends the load there.
TEST_P(ProjectTempFileTest, ABadNumberFailsAtItsElement)
{
    const std::string windows =
        WaveWindow("      <File>/a.wav</File>\n") +
        WaveWindow("      <TempFile>" + std::string(GetParam().text) + "</TempFile>\n");
    const ProjectFileContent content = Read(ProjectText("9.0", windows));
    ASSERT_EQ(content.stage, ProjectFileContent::Stage::Partial);
    // The first window comes through; the second is not opened at all.
    ASSERT_EQ(content.project.windows.size(), 1u);
    EXPECT_TRUE(content.project.windows[0].complete);
    // Line 26 of the file; the column of the number, counted from 1.
    EXPECT_EQ(content.error,
              std::string("At line 26, column 17: In TempFile: ") + GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(Numbers, ProjectTempFileTest,
                         ::testing::Values(TempFileCase{"-1", "Value must be positive."},
                                           TempFileCase{"../../x", "Invalid value: \"../../x\"."},
                                           TempFileCase{"1.5", "Invalid value: \"1.5\"."},
                                           TempFileCase{"99999999999",
                                                        "Invalid value: \"99999999999\"."}));

TEST(ProjectFileReadTest, ABadPlaceKeepsTheWindowsBeforeAndTheDocumentOfTheFailingOne)
{
    const std::string windows = WaveWindow("      <File>/a.wav</File>\n") +
                                WaveWindow("      <TempFile>1</TempFile>\n", "x1");
    const ProjectFileContent content = Read(ProjectText("9.0", windows));
    ASSERT_EQ(content.stage, ProjectFileContent::Stage::Partial);
    ASSERT_EQ(content.project.windows.size(), 2u);
    EXPECT_TRUE(content.project.windows[0].complete);
    EXPECT_FALSE(content.project.windows[1].complete);
    EXPECT_EQ(content.project.windows[1].tempFile, 1);
    EXPECT_EQ(content.project.windows[1].name, "W");
    EXPECT_EQ(content.error.substr(0, 31), "At line 29, column 11: In Left:");
}

TEST(ProjectFileReadTest, ABadFrameOpensNothing)
{
    std::string text = ProjectText("9.0", WaveWindow("      <File>/a.wav</File>\n"));
    text.replace(text.find("<Width>3"), 8, "<Width>z");
    const ProjectFileContent content = Read(text);
    ASSERT_EQ(content.stage, ProjectFileContent::Stage::Partial);
    EXPECT_FALSE(content.frameRead);
    EXPECT_TRUE(content.project.windows.empty());
    EXPECT_EQ(content.error.substr(0, 32), "At line 9, column 12: In Width: ");
}

TEST(ProjectFileReadTest, ReadsAFileFromDiskAndRefusesOneThatCannotBeOpened)
{
    test::TempDir dir("projectread");
    test::WriteFile(dir / "p.kvp", Format(TwoWaves(), false));
    ProjectFileContent content;
    content.error = "stale";
    ReadProjectFile(dir / "p.kvp", content);
    ASSERT_EQ(content.stage, ProjectFileContent::Stage::Whole) << content.error;
    EXPECT_EQ(content.error, "");
    EXPECT_EQ(content.version, "9.0");
    EXPECT_EQ(content.project.frame, TwoWaves().frame);
    ASSERT_EQ(content.project.windows.size(), 2u);
    EXPECT_TRUE(content.project.windows[1].SameWindow(TwoWaves().windows[1]));
    // Where the document element stands, for the rebuild's messages.
    EXPECT_EQ(content.project.windows[1].line, 25);
    EXPECT_EQ(content.project.windows[1].column, 10);

    test::WriteFile(dir / "old.kvp", ProjectText("7.0", ""));
    ReadProjectFile(dir / "old.kvp", content);
    EXPECT_EQ(content.stage, ProjectFileContent::Stage::Refused);
    EXPECT_EQ(content.error, "Unknown version \"7.0\" found in project file.");
    EXPECT_EQ(content.version, "7.0");

    content.stage = ProjectFileContent::Stage::Whole;
    content.project = TwoWaves();
    ReadProjectFile(dir / "none.kvp", content);
    EXPECT_EQ(content.stage, ProjectFileContent::Stage::Refused);
    EXPECT_TRUE(content.project.windows.empty());
    EXPECT_EQ(content.error, "cannot open file.");
}

// ---- copies and paths -----------------------------------------------------------------------

class ProjectDirTest : public ::testing::Test
{
protected:
    ProjectDirTest()
        : dir(fs::temp_directory_path() /
              ("kv-projectfile-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name()))
    {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~ProjectDirTest() override
    {
        std::error_code ignored;
        fs::permissions(copies(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir, ignored);
    }
    std::string project() const { return (dir / "demo.kvp").string(); }
    fs::path copies() const { return dir / "demoTempSaveFiles"; }
    void Touch(const fs::path& p, const std::string& text = "x")
    {
        fs::create_directories(p.parent_path());
        std::ofstream(p) << text;
    }
    std::vector<std::string> Listing() const
    {
        std::vector<std::string> names;
        if (fs::exists(copies()))
            for (const auto& entry : fs::directory_iterator(copies()))
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir;
};

TEST_F(ProjectDirTest, CopyDirectoryIsNamedAfterTheProjectFile)
{
    std::string directory;
    std::string error;
    ASSERT_TRUE(ProjectCopyDirectory("/songs/demo.kvp", directory, error));
    EXPECT_EQ(directory, "/songs/demoTempSaveFiles");
    ASSERT_TRUE(ProjectCopyDirectory("/songs/a.b.kvp", directory, error));
    EXPECT_EQ(directory, "/songs/a.bTempSaveFiles");
    EXPECT_FALSE(ProjectCopyDirectory("demo.kvp", directory, error));
    EXPECT_EQ(ProjectCopyPath("/d", projectSavedCopy, 12, ".kvw"),
              "/d/savedProjectWindowFile12.kvw");
}

TEST_F(ProjectDirTest, SavingTwiceReplacesTheOldCopiesByTheNewOnes)
{
    // The previous save: copies 0 (wave with side file), 1 (side file only), and a stray 3
    // beyond the gap, which the walk never reaches.
    Touch(copies() / "savedProjectWindowFile0.wav", "old0");
    Touch(copies() / "savedProjectWindowFile0.kvw");
    Touch(copies() / "savedProjectWindowFile1.kvw");
    Touch(copies() / "savedProjectWindowFile3.wav");
    // This save: one copy.
    Touch(copies() / "newProjectWindowFile0.wav", "new0");
    Touch(copies() / "newProjectWindowFile0.kvw");
    std::string error;
    ASSERT_TRUE(DeleteSavedProjectCopies(project(), error)) << error;
    EXPECT_EQ(Listing(),
              (std::vector<std::string>{"newProjectWindowFile0.kvw", "newProjectWindowFile0.wav",
                                        "savedProjectWindowFile3.wav"}));
    ASSERT_TRUE(RenameNewProjectCopies(project(), error)) << error;
    EXPECT_EQ(Listing(), (std::vector<std::string>{"savedProjectWindowFile0.kvw",
                                                   "savedProjectWindowFile0.wav",
                                                   "savedProjectWindowFile3.wav"}));
    std::ifstream in(copies() / "savedProjectWindowFile0.wav");
    std::string text;
    in >> text;
    EXPECT_EQ(text, "new0");
}

TEST_F(ProjectDirTest, ACopyThatCannotBeDeletedOrRenamedIsNamed)
{
    // A non-empty directory in a copy's place can be neither removed nor replaced.
    Touch(copies() / "savedProjectWindowFile0.wav" / "inside");
    std::string error;
    EXPECT_FALSE(DeleteSavedProjectCopies(project(), error));
    const std::string saved = (copies() / "savedProjectWindowFile0.wav").string();
    EXPECT_EQ(error.substr(0, 25 + saved.size()), "Cannot delete the file \"" + saved + "\"");

    Touch(copies() / "newProjectWindowFile0.wav");
    error.clear();
    EXPECT_FALSE(RenameNewProjectCopies(project(), error));
    const std::string fresh = (copies() / "newProjectWindowFile0.wav").string();
    EXPECT_EQ(error.substr(0, 25 + fresh.size() + 6 + saved.size()),
              "Cannot rename the file \"" + fresh + "\" to \"" + saved + "\"");
}

TEST_F(ProjectDirTest, NoCopyDirectoryIsNoFailureButAProjectWithoutDirectoryIs)
{
    std::string error;
    EXPECT_TRUE(DeleteSavedProjectCopies(project(), error)) << error;
    EXPECT_TRUE(RenameNewProjectCopies(project(), error)) << error;
    EXPECT_FALSE(fs::exists(copies()));
    const std::string noPath = "Function PathOfPathFile: PathFile (\"demo.kvp\") has no path\".";
    EXPECT_FALSE(DeleteSavedProjectCopies("demo.kvp", error));
    EXPECT_EQ(error, noPath);
    error.clear();
    EXPECT_FALSE(RenameNewProjectCopies("demo.kvp", error));
    EXPECT_EQ(error, noPath);
}

TEST_F(ProjectDirTest, PathsAreFoundAsWrittenBesideTheProjectOrByTheirBaseName)
{
    Touch(dir / "a.wav");
    Touch(dir / "sub" / "b.wav");
    const std::string a = (dir / "a.wav").string();
    const std::string b = (dir / "sub" / "b.wav").string();
    struct Case
    {
        std::string written;
        std::string found;
    };
    const std::vector<Case> cases{
        {a, a},
        {"a.wav", a},
        {"sub/b.wav", b},
        {"sub\\b.wav", b},
        {"C:\\songs\\a.wav", a},
        {"c:a.wav", a},
        {"Z:a.wav", a},
        {"\\\\server\\share\\b.wav", "\\\\server\\share\\b.wav"},
        {"/elsewhere/a.wav", "/elsewhere/a.wav"},
        {"C:\\songs\\missing.wav", "C:\\songs\\missing.wav"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveProjectPath(c.written, project()), c.found) << c.written;
}

// ---- the rebuild --------------------------------------------------------------------------

class FakeMaker final : public ProjectWindowMaker
{
public:
    void SetFrame(const ProjectBounds& bounds) override
    {
        frame = bounds;
        log.push_back("frame");
    }
    TFileUnit* OpenDocument(DocumentKind kind, const std::string& path, const std::string& copy,
                            std::string& message) override
    {
        log.push_back("open " + std::to_string(int(kind)) + " " + path + " | " + copy);
        if (path.find("fail") != std::string::npos) {
            message = failText;
            return nullptr;
        }
        units.push_back(std::make_unique<PlainDocument>(kind));
        // As a keep-clean open leaves it.
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
    void PlaceWindow(TFileUnit& unit, const std::string& name, const ProjectBounds* bounds) override
    {
        unit.SetName(name);
        log.push_back("place " + name + (bounds ? " " + std::to_string(bounds->left) : " -"));
    }
    void SetEditName(const std::string& name) override { log.push_back("edit name " + name); }

    ProjectBounds frame;
    std::vector<std::string> log;
    std::vector<std::unique_ptr<TFileUnit>> units;
    std::string failText;
};

TEST(ProjectRebuildTest, OpensEachWindowPlacesItAndNamesTheLast)
{
    ProjectFileContent content;
    content.stage = ProjectFileContent::Stage::Whole;
    content.frameRead = true;
    content.project.frame = {1, 2, 3, 4};
    content.project.windows.push_back(Window(1, "/nowhere/a.wav", -1, "A", {10}));
    content.project.windows.push_back(Window(1, "", 4, "B", {20}));
    content.project.windows.push_back(Window(2, "", -1, "C", {30})); // nothing to open
    content.project.windows.push_back(Window(3, "/f.kvf", 0, "D", {40}));
    FakeMaker maker;
    std::string error;
    ASSERT_TRUE(RebuildProject(content, "/p/demo.kvp", maker, error)) << error;
    EXPECT_EQ(maker.log,
              (std::vector<std::string>{
                  "frame", "open 1 /nowhere/a.wav | ", "place A 10",
                  "open 1  | /p/demoTempSaveFiles/savedProjectWindowFile4.wav", "place B 20",
                  "open 3 /f.kvf | /p/demoTempSaveFiles/savedProjectWindowFile0.kvf", "place D 40",
                  "edit name D"}));
    EXPECT_EQ(maker.frame, (ProjectBounds{1, 2, 3, 4}));
    for (const auto& unit : maker.units)
        EXPECT_EQ(unit->GetTrackModified(), unit->GetKind() == DocumentKind::Wave);
}

TEST(ProjectRebuildTest, ANameInUseIsRefusedWithItsBoxAndTheWindowOpensUnnamed)
{
    ScriptedMessages messages;
    messages.Expect();
    ProjectFileContent content;
    content.stage = ProjectFileContent::Stage::Whole;
    content.project.windows.push_back(Window(1, "/a.wav", -1, "Same", {}));
    content.project.windows.push_back(Window(1, "/b.wav", -1, "Same", {}));
    FakeMaker maker;
    std::string error;
    ASSERT_TRUE(RebuildProject(content, "/p/demo.kvp", maker, error));
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text, "When opening file \"/b.wav\" from project, a window "
                                        "with name \"Same\" already exists");
    EXPECT_EQ(messages.Shown()[0].caption, "Error");
    EXPECT_EQ(maker.units[1]->GetName(), "");
    EXPECT_EQ(maker.log.back(), "edit name ");
}

// However the load ends, no wave it opened is left without change tracking.
TEST(ProjectRebuildTest, AFailureStopsThereAndEveryOpenedWaveTracksItsChangesAgain)
{
    struct Case
    {
        const char* name;
        ProjectFileContent content;
        std::string error;
        size_t opened;
    };
    ProjectFileContent openFails;
    openFails.stage = ProjectFileContent::Stage::Whole;
    openFails.project.windows.push_back(Window(1, "/a.wav", -1, "", {}));
    openFails.project.windows.push_back(Window(1, "/fail.wav", -1, "", {}));
    openFails.project.windows.back().line = 12;
    openFails.project.windows.back().column = 4;
    openFails.project.windows.push_back(Window(1, "/c.wav", -1, "", {}));

    ProjectFileContent badPlace;
    badPlace.stage = ProjectFileContent::Stage::Partial;
    badPlace.error = "At line 9, column 5: In Left: bad";
    badPlace.project.windows.push_back(Window(1, "/a.wav", -1, "", {}));
    badPlace.project.windows.push_back(Window(1, "/b.wav", -1, "N", {}));
    badPlace.project.windows.back().complete = false;

    ProjectFileContent refused;
    refused.error = "Unknown version \"7.0\" found in project file.";

    const std::vector<Case> cases{
        {"open fails", openFails, "At line 12, column 5: The document could not be opened.", 1},
        {"bad place", badPlace, "At line 9, column 5: In Left: bad", 2},
        {"refused", refused, "Unknown version \"7.0\" found in project file.", 0},
    };
    for (const Case& c : cases) {
        FakeMaker maker;
        std::string error;
        EXPECT_FALSE(RebuildProject(c.content, "/p/demo.kvp", maker, error)) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
        ASSERT_EQ(maker.units.size(), c.opened) << c.name;
        for (const auto& unit : maker.units)
            EXPECT_TRUE(unit->GetTrackModified()) << c.name;
        EXPECT_TRUE(maker.log.empty() || maker.log.back().rfind("edit name", 0) != 0) << c.name;
    }
}

TEST(ProjectRebuildTest, ACopyBesideAProjectWithoutDirectoryFailsAtItsWindow)
{
    ProjectFileContent content;
    content.stage = ProjectFileContent::Stage::Whole;
    content.project.windows.push_back(Window(1, "/a.wav", -1, "A", {}));
    content.project.windows.push_back(Window(1, "", 2, "B", {}));
    content.project.windows.back().line = 7;
    content.project.windows.back().column = 2;
    FakeMaker maker;
    std::string error;
    EXPECT_FALSE(RebuildProject(content, "demo.kvp", maker, error));
    EXPECT_EQ(error, "At line 7, column 3: Function PathOfPathFile: PathFile (\"demo.kvp\") has "
                     "no path\".");
    EXPECT_EQ(maker.units.size(), 1u);
    EXPECT_EQ(maker.log.back(), "place A 0");
}

TEST(ProjectRebuildTest, ALastWindowWithNothingToOpenLeavesTheEditNameEmpty)
{
    ProjectFileContent content;
    content.stage = ProjectFileContent::Stage::Whole;
    content.project.windows.push_back(Window(1, "/a.wav", -1, "A", {5}));
    content.project.windows.push_back(Window(2, "", -1, "Nothing", {6}));
    FakeMaker maker;
    std::string error;
    ASSERT_TRUE(RebuildProject(content, "/p/demo.kvp", maker, error)) << error;
    EXPECT_EQ(maker.log, (std::vector<std::string>{"open 1 /a.wav | ", "place A 5", "edit name "}));
}

TEST(ProjectRebuildTest, TheOpenersReasonGoesIntoTheMessage)
{
    ProjectFileContent content;
    content.stage = ProjectFileContent::Stage::Whole;
    content.project.windows.push_back(Window(2, "/fail.kvm", -1, "", {}));
    FakeMaker maker;
    maker.failText = "Music pieces cannot be opened by this version.";
    std::string error;
    EXPECT_FALSE(RebuildProject(content, "/p/demo.kvp", maker, error));
    EXPECT_EQ(error, "At line 0, column 1: Music pieces cannot be opened by this version.");
}

} // namespace
