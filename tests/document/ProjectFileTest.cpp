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
#include <functional>
#include <memory>

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
    return "  <Window>\n    <Wave>\n" + document + "    </Wave>\n    <Name>W</Name>\n    <Left>" +
           left +
           "</Left>\n    <Top>6</Top>\n    <Width>7</Width>\n    <Height>8</Height>\n"
           "    <Normal/>\n  </Window>\n";
}

// ---- writing ------------------------------------------------------------------------------

TEST(ProjectFileWriteTest, WritesEveryElementInOrderAndExportLeavesEveryFileOut)
{
    const std::string expected =
        "<Project>\n  <Version>9.0</Version>\n  <Frame>\n    <Left>10</Left>\n    <Top>20</Top>\n"
        "    <Width>800</Width>\n    <Height>600</Height>\n    <Maximized />\n  </Frame>\n"
        "  <Window>\n    <Wave>\n      <File>/music/a.wav</File>\n    </Wave>\n"
        "    <Name>Wave 1</Name>\n    <Left>0</Left>\n    <Top>0</Top>\n    <Width>300</Width>\n"
        "    <Height>200</Height>\n    <Normal />\n  </Window>\n  <Window>\n    <Wave>\n"
        "      <TempFile>0</TempFile>\n    </Wave>\n    <Name>Wave 2</Name>\n    <Left>30</Left>\n"
        "    <Top>40</Top>\n    <Width>320</Width>\n    <Height>210</Height>\n    <Minimized />\n"
        "  </Window>\n</Project>\n";
    EXPECT_EQ(Format(TwoWaves(), false), kHeader + expected);
    // Export leaves every file out.
    const std::string text = Format(TwoWaves(), true);
    EXPECT_EQ(text.find("<File>"), std::string::npos);
    EXPECT_NE(text.find("<TempFile>0</TempFile>"), std::string::npos);
    // A document with neither file nor copy keeps an empty element.
    ProjectDescription project;
    project.windows.push_back(Window(3, "", -1, "", {1, 2, 3, 4}));
    EXPECT_NE(Format(project, false).find("    <Factory />\n    <Left>1</Left>"),
              std::string::npos);
}

TEST(ProjectFileWriteTest, RefusesAngleBracketsThatCouldNotBeReadBack)
{
    const std::string tail = " holds \"<\" or \">\", which a project file cannot store";
    struct Case
    {
        const char *name, *file;
        bool exporting;
        std::string error; // "" when accepted
    };
    for (const Case& c : {Case{"Wave 1", "/a/b.wav", false, ""},
                          Case{"a<b", "/a/b.wav", false, "the window name \"a<b\"" + tail},
                          Case{"a", "/x>/b.wav", false, "the file name \"/x>/b.wav\"" + tail},
                          Case{"a", "/x>/b.wav", true, ""}, Case{"", "", false, ""}}) {
        ProjectDescription project;
        project.windows.push_back(Window(1, c.file, -1, c.name, {}));
        std::string error;
        EXPECT_EQ(CheckProjectTexts(project, c.exporting, error), c.error.empty()) << c.name;
        EXPECT_EQ(error, c.error);
    }
}

// ---- reading ------------------------------------------------------------------------------

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

TEST(ProjectFileReadTest, ReadsBackWhatItWroteAndVersion8WithItsCounter)
{
    for (const ProjectDescription& project : {ProjectDescription{}, TwoWaves(), EveryKind()}) {
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

    // Version 8 is read with its counter and written as version 9 without it.
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

TEST(ProjectFileReadTest, RefusesTheFileWithTheMessage)
{
    const std::string noPlace = "  <Window>\n    <Wave/>\n  </Window>\n";
    for (const auto& [text, error] : std::vector<std::pair<std::string, std::string>>{
             {ProjectText("7.0", ""), "Unknown version \"7.0\" found in project file."},
             {kHeader + "<Project>\n  <Frame/>\n</Project>\n",
              "Unknown version \"\" found in project file."},
             // A version 9.0 file with the old counter, and an 8.0 file without it.
             {ProjectText("9.0", "", "  <NoNameCounter>4</NoNameCounter>\n"), "unexpected"},
             {ProjectText("8.0", ""), "unexpected"},
             {ProjectText("9.0", noPlace), "unexpected"}}) {
        const ProjectFileContent content = Read(text);
        EXPECT_EQ(content.stage, ProjectFileContent::Stage::Refused);
        EXPECT_EQ(content.error.substr(0, error.size()), error);
        EXPECT_TRUE(content.project.windows.empty());
    }
    // The grammar's own text is kept whole after the prefix the shell adds.
    EXPECT_NE(Read(ProjectText("9.0", noPlace)).error.find("Left"), std::string::npos);
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
    using X = TXMLComplexElement&;
    // clang-format off
    const std::vector<Case> cases{
        {"no version", [](X p) { p.AddText("Frame", "x"); }, "Element \"Version\" expected."},
        {"no state", [&](X p) { p.AddText("Version", "9.0"); frame(p, false); },
         "Element \"Normal\" expected."},
        {"no document", [&](X p) { p.AddText("Version", "9.0"); frame(p, true);
             p.AddComplex("Window")->AddText("Name", "W"); }, "Element \"Wave\" expected."},
        {"not a window", [&](X p) { p.AddText("Version", "9.0"); frame(p, true);
             p.AddText("Door", "W"); }, "Element \"Window\" expected."}};
    // clang-format on
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

// A load ends at its first bad element: the windows before come through, a bad copy number
// (it goes into a path) opens nothing of its window, a bad place keeps the failing window's
// document, and a bad frame opens nothing at all. Columns are counted from 1.
TEST(ProjectFileReadTest, ABadElementEndsTheLoadThere)
{
    const std::string first = WaveWindow("      <File>/a.wav</File>\n");
    auto copy = [&](const std::string& number) {
        return ProjectText("9.0",
                           first + WaveWindow("      <TempFile>" + number + "</TempFile>\n"));
    };
    std::string badFrame = ProjectText("9.0", first);
    badFrame.replace(badFrame.find("<Width>3"), 8, "<Width>z");
    struct Case
    {
        std::string text, error;
        size_t windows;
    };
    for (const Case& c : std::vector<Case>{
             {copy("-1"), "At line 26, column 17: In TempFile: Value must be positive.", 1},
             {copy("../../x"), "At line 26, column 17: In TempFile: Invalid value: \"../../x\".",
              1},
             {copy("1.5"), "At line 26, column 17: In TempFile: Invalid value: \"1.5\".", 1},
             {copy("99999999999"),
              "At line 26, column 17: In TempFile: Invalid value: \"99999999999\".", 1},
             {ProjectText("9.0", first + WaveWindow("      <TempFile>1</TempFile>\n", "x1")),
              "At line 29, column 11: In Left: Invalid value: \"x1\".", 2},
             {badFrame, "At line 9, column 12: In Width: Invalid value: \"z\".", 0}}) {
        const ProjectFileContent content = Read(c.text);
        ASSERT_EQ(content.stage, ProjectFileContent::Stage::Partial) << c.error;
        EXPECT_EQ(content.frameRead, c.windows > 0) << c.error;
        EXPECT_EQ(content.error, c.error);
        ASSERT_EQ(content.project.windows.size(), c.windows) << c.error;
        if (c.windows > 0) {
            EXPECT_TRUE(content.project.windows[0].complete);
        }
        if (c.windows > 1) {
            EXPECT_FALSE(content.project.windows[1].complete);
            EXPECT_EQ(content.project.windows[1].tempFile, 1);
            EXPECT_EQ(content.project.windows[1].name, "W");
        }
    }
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

/// A window whose document has the copy numbered number and nothing else.
ProjectWindow CopyWindow(DocumentKind kind, int32_t number)
{
    ProjectWindow window;
    window.kind = kind;
    window.tempFile = number;
    return window;
}

class ProjectDirTest : public ::testing::Test
{
protected:
    ~ProjectDirTest() override
    {
        SetProjectSaveStepHook({});
        std::error_code ignored;
        fs::permissions(copies(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    std::string project() const { return dir / "demo.kvp"; }
    fs::path copies() const { return dir.path / "demoTempSaveFiles"; }
    void Touch(const fs::path& p, const std::string& text = "x") { test::WriteFile(p, text); }
    std::vector<std::string> Listing() const
    {
        std::vector<std::string> names;
        if (fs::exists(copies()))
            for (const auto& entry : fs::directory_iterator(copies()))
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir dir{"projectfile"};
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
    // No copy directory is no failure, but a project without a directory is.
    EXPECT_TRUE(DeleteNewProjectCopies(project(), error)) << error;
    EXPECT_TRUE(RemoveProjectCopiesNotNamed(project(), {}, error)) << error;
    EXPECT_FALSE(fs::exists(copies()));
    Touch(copies(), "a file in the folder's place");
    EXPECT_TRUE(RemoveProjectCopiesNotNamed(project(), {}, error)) << error;
    const std::string noPath = "Function PathOfPathFile: PathFile (\"demo.kvp\") has no path\".";
    EXPECT_FALSE(DeleteNewProjectCopies("demo.kvp", error));
    EXPECT_EQ(error, noPath);
    error.clear();
    ProjectCopiesMade made;
    EXPECT_FALSE(MoveNewProjectCopies("demo.kvp", made, error));
    EXPECT_EQ(error, noPath);
}

// Reached through a link, a project is the file the link names: its copies, and the files it
// names relative to its folder, are found there whichever name was taken.
TEST_F(ProjectDirTest, ALinkedProjectKeepsTheCopiesOfTheFileItNames)
{
    const std::string d = dir.path.string();
    Touch(dir / "proj.kvp");
    fs::create_directory(dir / "other");
    fs::create_symlink("proj.kvp", dir / "plink.kvp");
    fs::create_symlink("../plink.kvp", dir.path / "other" / "far.kvp");
    fs::create_symlink(dir.path / "made" / "fresh.kvp", dir / "new.kvp"); // names no file yet
    fs::create_symlink("loop.kvp", dir / "loop.kvp");
    const std::pair<std::string, std::string> rows[] = {
        {d + "/proj.kvp", d + "/projTempSaveFiles"},
        {d + "/plink.kvp", d + "/projTempSaveFiles"},
        {d + "/other/far.kvp", d + "/other/../projTempSaveFiles"},
        {d + "/new.kvp", d + "/made/freshTempSaveFiles"},
        {d + "/loop.kvp", d + "/loopTempSaveFiles"},
    };
    for (const auto& [project, copies] : rows) {
        std::string directory;
        std::string error;
        EXPECT_TRUE(ProjectCopyDirectory(project, directory, error)) << error;
        EXPECT_EQ(directory, copies) << project;
    }

    Touch(dir.path / "sub" / "b.wav");
    EXPECT_EQ(ResolveProjectPath("sub/b.wav", d + "/other/far.kvp"), d + "/other/../sub/b.wav");
}

// A save's copies reach their numbers through free ones while a project file names them there:
// every old copy and stray goes, names that are not the save's stay, and a wave copy without a
// sound of its own leaves no sound of another behind.
TEST_F(ProjectDirTest, SavingAgainPutsTheNewCopiesInTheOldOnesPlaceThroughFreeNumbers)
{
    using Names = std::vector<std::string>;
    // What the folder holds after the save: each name, with the name before the save of the file
    // whose bytes it holds (a folder: of the file in it).
    using Holds = std::vector<std::pair<std::string, std::string>>;
    const struct
    {
        const char* what;
        Names before;
        std::vector<DocumentKind> copies; // this save's, numbered from 0
        int32_t base;
        Holds after;
    } rows[] = {
        {"the first save",
         {"newProjectWindowFile0.kvm"},
         {DocumentKind::Music},
         0,
         {{"savedProjectWindowFile0.kvm", "newProjectWindowFile0.kvm"}}},
        {"old copies 0 and 1 and a stray 3 beyond a gap",
         {"savedProjectWindowFile0.wav", "savedProjectWindowFile0.kvw",
          "savedProjectWindowFile1.kvf", "savedProjectWindowFile3.kvm", "newProjectWindowFile0.wav",
          "newProjectWindowFile0.kvw", "newProjectWindowFile1.kvm", "newProjectWindowFile2.kvm"},
         {DocumentKind::Wave, DocumentKind::Music},
         4,
         {{"newProjectWindowFile2.kvm", "newProjectWindowFile2.kvm"},
          {"savedProjectWindowFile0.kvw", "newProjectWindowFile0.kvw"},
          {"savedProjectWindowFile0.wav", "newProjectWindowFile0.wav"},
          {"savedProjectWindowFile1.kvm", "newProjectWindowFile1.kvm"}}},
        {"a wave copy whose sound is its file's, where another wave's sound was",
         {"savedProjectWindowFile0.wav", "savedProjectWindowFile0.kvw",
          "newProjectWindowFile0.kvw"},
         {DocumentKind::Wave},
         1,
         {{"savedProjectWindowFile0.kvw", "newProjectWindowFile0.kvw"}}},
        {"names that are not a save's, a folder and numbers at the top",
         {"savedProjectWindowFile01.kvm", "savedProjectWindowFile0.txt",
          "savedProjectWindowFileX.wav", "savedProjectWindowFile-1.kvm",
          "savedProjectWindowFile2147483648.kvm", "savedProjectWindowFile2147483647.kvf",
          "savedProjectWindowFile1.wav/inside", "newProjectWindowFile0.kvf",
          "newProjectWindowFile0.kvw/inside"},
         {DocumentKind::Factory},
         0,
         {{"newProjectWindowFile0.kvw", "newProjectWindowFile0.kvw/inside"},
          {"savedProjectWindowFile-1.kvm", "savedProjectWindowFile-1.kvm"},
          {"savedProjectWindowFile0.kvf", "newProjectWindowFile0.kvf"},
          {"savedProjectWindowFile0.txt", "savedProjectWindowFile0.txt"},
          {"savedProjectWindowFile01.kvm", "savedProjectWindowFile01.kvm"},
          {"savedProjectWindowFile1.wav", "savedProjectWindowFile1.wav/inside"},
          {"savedProjectWindowFile2147483648.kvm", "savedProjectWindowFile2147483648.kvm"},
          {"savedProjectWindowFileX.wav", "savedProjectWindowFileX.wav"}}},
        {"a folder at a name of another kind among the old numbers",
         {"savedProjectWindowFile0.kvm/inside", "savedProjectWindowFile1.kvm",
          "newProjectWindowFile0.kvf"},
         {DocumentKind::Factory},
         2,
         {{"savedProjectWindowFile0.kvf", "newProjectWindowFile0.kvf"},
          {"savedProjectWindowFile0.kvm", "savedProjectWindowFile0.kvm/inside"}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(copies());
        for (const std::string& name : row.before)
            Touch(copies() / name, name);
        ProjectDescription final;
        for (size_t n = 0; n < row.copies.size(); ++n)
            final.windows.push_back(CopyWindow(row.copies[n], int32_t(n)));
        ProjectCopiesMade made;
        made.count = int32_t(row.copies.size());
        std::string error;
        ASSERT_TRUE(MoveNewProjectCopies(project(), made, error)) << error;
        EXPECT_EQ(made.base, row.base);
        if (made.base > 0) {
            ASSERT_TRUE(RemoveProjectCopiesNotNamed(project(),
                                                    ProjectWithCopiesFrom(final, made.base), error))
                << error;
            ASSERT_TRUE(NumberProjectCopiesFromZero(project(), made, final, error)) << error;
        }
        ASSERT_TRUE(RemoveProjectCopiesNotNamed(project(), final, error)) << error;
        Holds after;
        for (const std::string& name : Listing()) {
            const fs::path path = copies() / name;
            after.emplace_back(name,
                               test::ReadFile(fs::is_directory(path) ? path / "inside" : path));
        }
        EXPECT_EQ(after, row.after);
    }
}

// Something at a name a copy needs fails the step that needs it, with the file named; where the
// file system gives no second names, the copy is copied.
TEST_F(ProjectDirTest, WhatStandsInACopysWayIsNamedAndAFileSystemWithoutLinksGetsCopies)
{
    const ProjectDescription wave{{}, {CopyWindow(DocumentKind::Wave, 0)}};
    const auto prepare = [&](const std::vector<std::string>& names) {
        fs::remove_all(copies());
        for (const std::string& name : names)
            Touch(copies() / name, name);
        ProjectCopiesMade made;
        made.count = 1;
        std::string error;
        EXPECT_TRUE(MoveNewProjectCopies(project(), made, error)) << error;
        EXPECT_TRUE(
            RemoveProjectCopiesNotNamed(project(), ProjectWithCopiesFrom(wave, made.base), error))
            << error;
        return made;
    };
    const std::string saved0 = (copies() / "savedProjectWindowFile0.wav").string();
    const std::string saved1 = (copies() / "savedProjectWindowFile1.wav").string();
    // A folder where the copy's sound goes, and one where a sound would be read that the copy
    // does not have.
    for (const char* sound : {"newProjectWindowFile0.wav", "newProjectWindowFile0.kvw"}) {
        SCOPED_TRACE(sound);
        const ProjectCopiesMade made = prepare({"savedProjectWindowFile0.wav/inside", sound});
        std::string error;
        EXPECT_FALSE(NumberProjectCopiesFromZero(project(), made, wave, error));
        EXPECT_EQ(error, "Cannot delete the file \"" + saved0 + "\": Is a directory.");
    }

    // The system's refusals, through the test hook.
    const auto failing = [](ProjectSaveStep failed, int code) {
        return [failed, code](ProjectSaveStep step, const std::string&) {
            return step == failed ? code : 0;
        };
    };
    SetProjectSaveStepHook(failing(ProjectSaveStep::MoveCopy, EIO));
    fs::remove_all(copies());
    Touch(copies() / "newProjectWindowFile0.wav");
    ProjectCopiesMade made;
    made.count = 1;
    std::string error;
    EXPECT_FALSE(MoveNewProjectCopies(project(), made, error));
    EXPECT_EQ(error, "Cannot rename the file \"" +
                         (copies() / "newProjectWindowFile0.wav").string() + "\" to \"" + saved0 +
                         "\": Input/output error.");

    SetProjectSaveStepHook({});
    made = prepare({"savedProjectWindowFile0.kvw", "newProjectWindowFile0.wav"});
    SetProjectSaveStepHook(failing(ProjectSaveStep::RemoveCopy, EBUSY));
    error.clear();
    EXPECT_FALSE(RemoveProjectCopiesNotNamed(project(), wave, error));
    EXPECT_EQ(error, "Cannot delete the file \"" + saved1 + "\": Device or resource busy.");

    SetProjectSaveStepHook(failing(ProjectSaveStep::LinkCopy, ENOSPC));
    error.clear();
    EXPECT_FALSE(NumberProjectCopiesFromZero(project(), made, wave, error));
    EXPECT_EQ(error, "Cannot rename the file \"" + saved1 + "\" to \"" + saved0 +
                         "\": No space left on device.");
    fs::remove(saved0);

    // The ways a file system says it has no second names (vfat: EPERM).
    for (const int noLinks : {EPERM, EOPNOTSUPP, EMLINK, ENOSYS}) {
        SCOPED_TRACE(noLinks);
        SetProjectSaveStepHook(failing(ProjectSaveStep::LinkCopy, noLinks));
        ASSERT_TRUE(NumberProjectCopiesFromZero(project(), made, wave, error)) << error;
        SetProjectSaveStepHook({});
        EXPECT_EQ(test::ReadFile(saved0), "newProjectWindowFile0.wav");
        EXPECT_EQ(fs::hard_link_count(saved0), 1u);
        fs::remove(saved0);
    }
    made = prepare({"savedProjectWindowFile0.kvw", "newProjectWindowFile0.wav"});
    ASSERT_TRUE(NumberProjectCopiesFromZero(project(), made, wave, error)) << error;
    EXPECT_EQ(fs::hard_link_count(saved0), 2u);
}

// A save that fails before its project file takes back what it made and nothing else (the
// project commands' failures show the rest): what came into a folder it made keeps the folder, a
// save that began no copy leaves what another left, and a folder at a copy's name is not its own.
TEST_F(ProjectDirTest, AFailedSaveTakesBackItsNewCopiesAndNothingElse)
{
    using Names = std::vector<std::string>;
    const struct
    {
        const char* what;
        Names before;
        ProjectCopiesMade made;
        Names after;
    } rows[] = {
        {"a folder it made that someone wrote into",
         {"newProjectWindowFile0.wav", "notes.txt"},
         {true, true},
         {"notes.txt"}},
        {"no copy begun",
         {"newProjectWindowFile0.wav"},
         {false, false},
         {"newProjectWindowFile0.wav"}},
        {"copies moved to free numbers",
         {"savedProjectWindowFile0.kvm", "savedProjectWindowFile1.kvm",
          "savedProjectWindowFile2.wav", "savedProjectWindowFile2.kvw",
          "savedProjectWindowFile3.kvm", "savedProjectWindowFile4.kvm", "newProjectWindowFile1.kvm",
          "newProjectWindowFile0.kvw/inside"},
         {false, true, 2, 2},
         {"newProjectWindowFile0.kvw", "savedProjectWindowFile0.kvm", "savedProjectWindowFile1.kvm",
          "savedProjectWindowFile4.kvm"}},
        {"copies moved straight to 0 in a folder it made",
         {"savedProjectWindowFile0.kvm", "savedProjectWindowFile1.kvf"},
         {true, true, 2, 0},
         {"no folder"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(copies());
        fs::create_directories(copies());
        for (const std::string& name : row.before)
            Touch(copies() / name);
        std::string error;
        EXPECT_TRUE(DiscardNewProjectCopies(project(), row.made, error)) << error;
        EXPECT_EQ(fs::exists(copies()) ? Listing() : Names{"no folder"}, row.after);
    }

    Touch(copies() / "newProjectWindowFile0.kvm");
    SetProjectSaveStepHook([](ProjectSaveStep, const std::string&) { return EBUSY; });
    std::string error;
    EXPECT_FALSE(DiscardNewProjectCopies(project(), {false, true}, error));
    EXPECT_EQ(error, "Cannot delete the file \"" +
                         (copies() / "newProjectWindowFile0.kvm").string() +
                         "\": Device or resource busy.");
}

TEST_F(ProjectDirTest, PathsAreFoundAsWrittenBesideTheProjectOrByTheirBaseName)
{
    Touch(dir / "a.wav");
    Touch(dir / "sub/b.wav");
    const std::string a = dir / "a.wav";
    const std::string b = dir / "sub/b.wav";
    // clang-format off
    const std::vector<std::pair<std::string, std::string>> cases{{a, a}, {"a.wav", a},
        {"sub/b.wav", b}, {"sub\\b.wav", b}, {"C:\\songs\\a.wav", a}, {"c:a.wav", a},
        {"Z:a.wav", a}, {"\\\\server\\share\\b.wav", "\\\\server\\share\\b.wav"},
        {"/elsewhere/a.wav", "/elsewhere/a.wav"},
        {"C:\\songs\\missing.wav", "C:\\songs\\missing.wav"}, {"", ""}};
    // clang-format on
    for (const auto& [written, found] : cases)
        EXPECT_EQ(ResolveProjectPath(written, project()), found) << written;
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

/// What a read leaves: the windows, at the stage given.
ProjectFileContent Content(std::vector<ProjectWindow> windows,
                           ProjectFileContent::Stage stage = ProjectFileContent::Stage::Whole)
{
    ProjectFileContent content;
    content.stage = stage;
    content.project.windows = std::move(windows);
    return content;
}

ProjectWindow At(ProjectWindow window, int32_t line, int32_t column)
{
    window.line = line;
    window.column = column;
    return window;
}

TEST(ProjectRebuildTest, OpensEachWindowPlacesItAndNamesTheLast)
{
    ProjectFileContent content =
        Content({Window(1, "/nowhere/a.wav", -1, "A", {10}), Window(1, "", 4, "B", {20}),
                 Window(2, "", -1, "C", {30}), // nothing to open
                 Window(3, "/f.kvf", 0, "D", {40})});
    content.frameRead = true;
    content.project.frame = {1, 2, 3, 4};
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

    // A last window with nothing to open leaves the edit name empty.
    FakeMaker other;
    ASSERT_TRUE(RebuildProject(
        Content({Window(1, "/a.wav", -1, "A", {5}), Window(2, "", -1, "Nothing", {6})}),
        "/p/demo.kvp", other, error));
    EXPECT_EQ(other.log, (std::vector<std::string>{"open 1 /a.wav | ", "place A 5", "edit name "}));
}

TEST(ProjectRebuildTest, ANameInUseIsRefusedWithItsBoxAndTheWindowOpensUnnamed)
{
    ScriptedMessages messages;
    messages.Expect();
    FakeMaker maker;
    std::string error;
    ASSERT_TRUE(RebuildProject(
        Content({Window(1, "/a.wav", -1, "Same", {}), Window(1, "/b.wav", -1, "Same", {})}),
        "/p/demo.kvp", maker, error));
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
    ProjectFileContent badPlace =
        Content({Window(1, "/a.wav", -1, "", {}), Window(1, "/b.wav", -1, "N", {})},
                ProjectFileContent::Stage::Partial);
    badPlace.error = "At line 9, column 5: In Left: bad";
    badPlace.project.windows.back().complete = false;
    ProjectFileContent refused;
    refused.error = "Unknown version \"7.0\" found in project file.";
    const std::string noPath =
        "At line 7, column 3: Function PathOfPathFile: PathFile (\"demo.kvp\") has no path\".";
    struct Case
    {
        const char* name;
        ProjectFileContent content;
        std::string project, error, failText;
        size_t opened;
    };
    for (const Case& c : {
             Case{"open fails",
                  Content({Window(1, "/a.wav", -1, "", {}),
                           At(Window(1, "/fail.wav", -1, "", {}), 12, 4),
                           Window(1, "/c.wav", -1, "", {})}),
                  "/p/demo.kvp", "At line 12, column 5: The document could not be opened.", "", 1},
             // The opener's reason goes into the message.
             Case{"open fails with a reason", Content({Window(2, "/fail.kvm", -1, "", {})}),
                  "/p/demo.kvp", "At line 0, column 1: Music pieces cannot be opened.",
                  "Music pieces cannot be opened.", 0},
             Case{"bad place", badPlace, "/p/demo.kvp", "At line 9, column 5: In Left: bad", "", 2},
             Case{"refused", refused, "/p/demo.kvp", refused.error, "", 0},
             // A copy beside a project without directory.
             Case{"no directory",
                  Content({Window(1, "/a.wav", -1, "A", {}), At(Window(1, "", 2, "B", {}), 7, 2)}),
                  "demo.kvp", noPath, "", 1},
         }) {
        FakeMaker maker;
        maker.failText = c.failText;
        std::string error;
        EXPECT_FALSE(RebuildProject(c.content, c.project, maker, error)) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
        ASSERT_EQ(maker.units.size(), c.opened) << c.name;
        for (const auto& unit : maker.units)
            EXPECT_TRUE(unit->GetTrackModified()) << c.name;
        EXPECT_TRUE(maker.log.empty() || maker.log.back().rfind("edit name", 0) != 0) << c.name;
    }
}

} // namespace
