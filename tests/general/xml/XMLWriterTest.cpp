#include "XMLTestSupport.h"

#include "general/files/SafeFile.h"
#include "general/xml/XMLWriter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

using namespace kelvorn;
using namespace kelvorn::xmltest;
using kelvorn::test::FolderState;

namespace {

const std::string declaration = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";

std::unique_ptr<TXMLComplexElement> ProjectTree(int lines = 0)
{
    auto project = std::make_unique<TXMLComplexElement>("Project");
    project->AddText("Version", "9.0");
    project->AddComplex("Frame");
    for (int i = 0; i < lines; ++i)
        project->AddText("Line", "text number " + std::to_string(i));
    return project;
}

std::string Format(const TXMLItem& root, const std::string& suffix = "")
{
    std::string out;
    std::string error;
    EXPECT_TRUE(FormatXMLFile(root, suffix, out, error)) << error;
    return out;
}

class XMLWriter : public ::testing::Test
{
protected:
    void TearDown() override
    {
        SafeFileWriter::FailAfterBytes(-1);
        SafeFileWriter::FailStep(SafeFileWriter::Step::CreateTemporary, 0);
        SafeFileWriter::FailStep(SafeFileWriter::Step::Rename, 0);
    }
    TempDir dir{"xmlwriter"};
    std::string target = (dir / "a.kvp").string();
    std::string error;
};

} // namespace

TEST_F(XMLWriter, WritesTwoBlanksPerDepthAndTextsUnchanged)
{
    ASSERT_TRUE(WriteXMLFile(*ProjectTree(), target, error)) << error;
    EXPECT_EQ(ReadAll(target), declaration + "<!DOCTYPE Project SYSTEM \"Project.dtd\">\n\n"
                                             "<Project>\n  <Version>9.0</Version>\n"
                                             "  <Frame />\n</Project>\n");

    TXMLComplexElement fact("UnitFact");
    TXMLComplexElement* graph = fact.AddComplex("Graph");
    TXMLComplexElement* node = graph->AddComplex("Node");
    node->AddText("Name", "50% of c:\\temp\\x \"quoted\" & 'so'");
    node->AddComplex("Empty");
    graph->AddText("Note", "  padded\ttext ");
    fact.AddComplex("Tail");
    EXPECT_EQ(Format(fact, "_v9_0"),
              declaration + "<!DOCTYPE UnitFact_v9_0 SYSTEM \"UnitFact_v9_0.dtd\">\n\n"
                            "<UnitFact>\n  <Graph>\n    <Node>\n"
                            "      <Name>50% of c:\\temp\\x \"quoted\" & 'so'</Name>\n"
                            "      <Empty />\n    </Node>\n    <Note>  padded\ttext </Note>\n"
                            "  </Graph>\n  <Tail />\n</UnitFact>\n");
    std::string out;
    ASSERT_TRUE(WriteXMLElement(*node, 2, out, error));
    EXPECT_EQ(out, "    <Node>\n      <Name>50% of c:\\temp\\x \"quoted\" & 'so'</Name>\n"
                   "      <Empty />\n    </Node>\n");
}

TEST_F(XMLWriter, RefusesTreesTheReaderWouldRefuseAndWritesNothing)
{
    auto withText = [](const std::string& text) {
        auto root = std::make_unique<TXMLComplexElement>("Doc");
        root->AddComplex("Before");
        root->AddComplex("Deeper")->AddText("Value", text);
        return root;
    };
    auto withName = [](const std::string& name) {
        auto root = std::make_unique<TXMLComplexElement>("Doc");
        root->AddComplex("Ok")->AddComplex(name);
        return root;
    };
    const std::string holds = "\" holds \"<\" or \">\".";
    const std::string letters = "\": an element name holds ASCII letters and digits only.";
    // clang-format off
    const std::tuple<std::unique_ptr<TXMLComplexElement>, std::string, std::string> rows[] = {
        {withText("a<b"), "", "Cannot write element \"Value\": its text \"a<b" + holds},
        {withText("a>b"), "", "Cannot write element \"Value\": its text \"a>b" + holds},
        {withText(std::string(100, 'y') + ">"), "",
         "Cannot write element \"Value\": its text \"" + std::string(60, 'y') + "..." + holds},
        {withText(""), "", "Cannot write element \"Value\": its text is empty."},
        {withText(" \t\n "), "", "Cannot write element \"Value\": its text is empty."},
        {withName("a-b"), "", "Cannot write element \"a-b" + letters},
        {withName(""), "", "Cannot write element \"" + letters},
        {withName("caf\xe9"), "", "Cannot write element \"caf\xe9" + letters},
        {std::make_unique<TXMLComplexElement>("My Doc"), "",
         "Cannot write element \"My Doc" + letters},
        {std::make_unique<TXMLComplexElement>(std::string(32, 'R')), "_v9_0",
         "Cannot write element \"" + std::string(32, 'R') +
             "\": the name is too long for the document type line."},
        {std::make_unique<TXMLComplexElement>("Doc"), "\n",
         "Cannot write element \"Doc\": the document type suffix holds a control character."}};
    // clang-format on
    WriteAll(target, "old contents");
    for (const auto& [tree, suffix, expected] : rows) {
        EXPECT_FALSE(WriteXMLFile(*tree, target, error, suffix));
        EXPECT_EQ(std::tuple(error, ReadAll(target), dir.Count()),
                  std::tuple(expected, "old contents", 1u));
    }

    // The longest root name whose DOCTYPE line (26 + 2 * 36 = 98 bytes) the reader skips.
    std::string text = Format(TXMLComplexElement(std::string(31, 'R')), "_v9_0");
    std::string version;
    EXPECT_EQ(Chain(*TXMLToken::FromMemory(text, version)),
              (std::vector<std::string>{"M:" + std::string(31, 'R') + "@4,35", "EOF@5,0"}));
}

TEST_F(XMLWriter, AFailedSaveKeepsThePreviousFile)
{
    ASSERT_TRUE(WriteXMLFile(*ProjectTree(), target, error));
    const std::string previous = ReadAll(target);
    const std::string full = Format(*ProjectTree(200));
    const std::string diskFull = "Operating System cannot write file, maybe the disk is full (";
    for (int64_t failAt : {int64_t(0), int64_t(1), int64_t(4096), int64_t(full.size()) - 1}) {
        SafeFileWriter::FailAfterBytes(failAt);
        EXPECT_FALSE(WriteXMLFile(*ProjectTree(200), target, error)) << failAt;
        EXPECT_EQ(std::tuple(error, ReadAll(target), dir.Count()),
                  std::tuple(diskFull + "No space left on device).", previous, 1u));
    }
    SafeFileWriter::FailAfterBytes(int64_t(full.size()));
    EXPECT_TRUE(WriteXMLFile(*ProjectTree(200), target, error)) << error;
    EXPECT_EQ(ReadAll(target), full);
    SafeFileWriter::FailAfterBytes(-1);

    // The system refuses to grow a file past the size limit, as a full device would: the
    // writes themselves fail, not a hook.
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit small = before;
    small.rlim_cur = 4096;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool ok = WriteXMLFile(*ProjectTree(5000), target, error);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(ok);
    EXPECT_EQ(std::tuple(error, ReadAll(target), dir.Count()),
              std::tuple(diskFull + "File too large).", full, 1u));

    // A folder in the target's place stays as it is.
    std::filesystem::create_directory(dir / "taken.kvp");
    WriteAll(dir / "taken.kvp" / "inside", "x");
    EXPECT_FALSE(WriteXMLFile(*ProjectTree(), (dir / "taken.kvp").string(), error));
    EXPECT_EQ(error.rfind(diskFull, 0), 0u);
    EXPECT_EQ(ReadAll(dir / "taken.kvp" / "inside"), "x");
    EXPECT_EQ(dir.Count(), 2u);

    EXPECT_FALSE(WriteXMLFile(*ProjectTree(), (dir / "no" / "such.kvp").string(), error));
    EXPECT_EQ(error, "Operating System cannot open file for writing, maybe the file is readonly.");
}

TEST_F(XMLWriter, ProtectedFilesAreRefusedAndLinksLeadToTheFileTheyName)
{
    namespace fs = std::filesystem;
    using Step = SafeFileWriter::Step;
    const std::string readonly =
        "Operating System cannot open file for writing, maybe the file is readonly.";
    fs::create_directory(dir / "files");
    WriteAll(dir / "open.kvp", "open");
    WriteAll(dir / "protected.kvp", "protected");
    // No write bit at all: refused also for a user who may write everything.
    fs::permissions(dir / "protected.kvp", fs::perms(0444));
    WriteAll(dir / "files" / "real.kvp", "real");
    fs::permissions(dir / "files" / "real.kvp", fs::perms(0640));
    fs::create_symlink("files/real.kvp", dir / "link.kvp");
    fs::create_symlink(dir / "link.kvp", dir / "files" / "chain.kvp");
    fs::create_symlink("protected.kvp", dir / "to-protected.kvp");
    fs::create_symlink("loop.kvp", dir / "loop.kvp");
    // The name saved to; the step that fails with the error code, as it does for a user without
    // permission (none for 0); the error text, empty when the links' file takes the new bytes.
    const std::tuple<const char*, Step, int, std::string> rows[] = {
        {"protected.kvp", Step::Rename, 0, readonly},
        {"to-protected.kvp", Step::Rename, 0, readonly},
        {"loop.kvp", Step::Rename, 0, readonly},
        {"open.kvp", Step::CreateTemporary, EACCES, readonly},
        {"open.kvp", Step::Rename, EPERM, readonly},
        {"open.kvp", Step::Rename, EBUSY,
         "Operating System cannot write file, maybe the disk is full (Device or resource busy)."},
        {"link.kvp", Step::Rename, 0, ""},
        {"files/chain.kvp", Step::Rename, 0, ""},
    };
    int lines = 0;
    for (const auto& [saved, step, injected, expectedError] : rows) {
        SCOPED_TRACE(std::string(saved) + ", " + std::strerror(injected));
        const auto tree = ProjectTree(++lines); // other bytes every time
        std::map<std::string, std::string> expected = FolderState(dir.path);
        if (expectedError.empty()) {
            std::string& real = expected["files/real.kvp"];
            real = real.substr(0, real.find(" holding ") + 9) + Format(*tree);
        }
        SafeFileWriter::FailStep(step, injected);
        error.clear();
        EXPECT_EQ(WriteXMLFile(*tree, (dir / saved).string(), error), expectedError.empty());
        SafeFileWriter::FailStep(step, 0);
        EXPECT_EQ(error, expectedError);
        EXPECT_EQ(FolderState(dir.path), expected);
    }
}

TEST(XMLWriterSize, DeepTreesWriteWithoutRecursion)
{
    std::string out;
    std::string error;
    TXMLComplexElement deep("D");
    TXMLComplexElement* inner = &deep;
    const size_t depth = 2000;
    for (size_t i = 1; i < depth; ++i)
        inner = inner->AddComplex("D");
    ASSERT_TRUE(WriteXMLElement(deep, 0, out, error));
    // Depth k costs 2k blanks on its begin and its end line, "<D>\n" and "</D>\n", except the
    // innermost, one "<D />" line.
    size_t expected = 2 * (depth - 1) + 6;
    for (size_t k = 0; k + 1 < depth; ++k)
        expected += 4 * k + 9;
    EXPECT_EQ(out.size(), expected);
}

TEST_F(XMLWriter, WriteFileSafelyReplacesOnlyAfterEveryByteIsWritten)
{
    ASSERT_TRUE(WriteFileSafely(target, "first", error));
    ASSERT_TRUE(WriteFileSafely(target, "second", error));
    EXPECT_EQ(ReadAll(target), "second");
    for (int64_t failAt : {0, 3, 11}) {
        SafeFileWriter::FailAfterBytes(failAt);
        EXPECT_FALSE(WriteFileSafely(target, "new contents that are longer", error));
        EXPECT_EQ(std::tuple(error, ReadAll(target), dir.Count()),
                  std::tuple("No space left on device", "second", 1u));
    }
    EXPECT_FALSE(WriteFileSafely((dir / "no" / "x.txt").string(), "x", error));
    EXPECT_FALSE(error.empty());
}
