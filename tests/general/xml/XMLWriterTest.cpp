#include "XMLTestSupport.h"

#include "general/files/SafeFile.h"
#include "general/xml/XMLGrammar.h"
#include "general/xml/XMLWriter.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>

using namespace kelvorn;
using namespace kelvorn::xmltest;
namespace fs = std::filesystem;

namespace {

const std::string declaration = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";

std::unique_ptr<TXMLComplexElement> ProjectTree()
{
    auto project = std::make_unique<TXMLComplexElement>("Project");
    project->AddText("Version", "9.0");
    project->AddComplex("Frame");
    return project;
}

std::string Format(const TXMLItem& root, const std::string& suffix = "")
{
    std::string out;
    std::string error;
    EXPECT_TRUE(FormatXMLFile(root, suffix, out, error)) << error;
    return out;
}

class XMLWriterTest : public ::testing::Test
{
protected:
    void TearDown() override { SafeFileWriter::FailAfterBytes(-1); }
    TempDir dir{"xmlwriter"};
};

} // namespace

// ----- the bytes written ----------------------------------------------------------------------

TEST_F(XMLWriterTest, WritesTheProjectExampleByteForByte)
{
    std::string error;
    fs::path target = dir.path / "a.kvp";
    ASSERT_TRUE(WriteXMLFile(*ProjectTree(), target.string(), error)) << error;
    EXPECT_EQ(ReadAll(target), declaration + "<!DOCTYPE Project SYSTEM \"Project.dtd\">\n"
                                             "\n"
                                             "<Project>\n"
                                             "  <Version>9.0</Version>\n"
                                             "  <Frame />\n"
                                             "</Project>\n");
}

TEST(XMLWriter, IndentsTwoBlanksPerDepthAndWritesTextsUnchanged)
{
    TXMLComplexElement fact("UnitFact");
    TXMLComplexElement* graph = fact.AddComplex("Graph");
    TXMLComplexElement* node = graph->AddComplex("Node");
    node->AddText("Name", "50% of c:\\temp\\x \"quoted\" & 'so'");
    node->AddComplex("Empty");
    graph->AddText("Note", "  padded\ttext ");
    fact.AddComplex("Tail");
    EXPECT_EQ(Format(fact, "_v9_0"), declaration +
                                         "<!DOCTYPE UnitFact_v9_0 SYSTEM \"UnitFact_v9_0.dtd\">\n"
                                         "\n"
                                         "<UnitFact>\n"
                                         "  <Graph>\n"
                                         "    <Node>\n"
                                         "      <Name>50% of c:\\temp\\x \"quoted\" & 'so'</Name>\n"
                                         "      <Empty />\n"
                                         "    </Node>\n"
                                         "    <Note>  padded\ttext </Note>\n"
                                         "  </Graph>\n"
                                         "  <Tail />\n"
                                         "</UnitFact>\n");

    TXMLComplexElement alone("Music");
    EXPECT_EQ(Format(alone), declaration + "<!DOCTYPE Music SYSTEM \"Music.dtd\">\n\n<Music />\n");
}

TEST(XMLWriter, WritesAnElementAtAnyDepth)
{
    TXMLComplexElement view("View");
    view.AddText("Zoom", "2");
    std::string out;
    std::string error;
    ASSERT_TRUE(WriteXMLElement(view, 2, out, error));
    EXPECT_EQ(out, "    <View>\n      <Zoom>2</Zoom>\n    </View>\n");
}

// ----- trees the reader would refuse ------------------------------------------------------------

struct RefusedTree
{
    const char* what;
    std::function<std::unique_ptr<TXMLItem>()> build;
    std::string suffix;
    std::string error;
};

class XMLWriterRefuses : public ::testing::TestWithParam<RefusedTree>
{
};

TEST_P(XMLWriterRefuses, WithAMessageAndWritesNothing)
{
    TempDir dir("xmlrefuse");
    fs::path target = dir.path / "keep.kvp";
    WriteAll(target, "old contents");
    std::string error;
    EXPECT_FALSE(WriteXMLFile(*GetParam().build(), target.string(), error, GetParam().suffix));
    EXPECT_EQ(error, GetParam().error);
    EXPECT_EQ(ReadAll(target), "old contents");
    EXPECT_EQ(dir.Count(), 1u);
}

namespace {

std::unique_ptr<TXMLItem> WithText(const std::string& text)
{
    auto root = std::make_unique<TXMLComplexElement>("Doc");
    root->AddComplex("Before");
    root->AddComplex("Deeper")->AddText("Value", text);
    return root;
}

std::unique_ptr<TXMLItem> WithChildName(const std::string& name)
{
    auto root = std::make_unique<TXMLComplexElement>("Doc");
    root->AddComplex("Ok")->AddComplex(name);
    return root;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Cases, XMLWriterRefuses,
    ::testing::Values(
        RefusedTree{"< in a text", [] { return WithText("a<b"); }, "",
                    "Cannot write element \"Value\": its text \"a<b\" holds \"<\" or \">\"."},
        RefusedTree{"> in a text", [] { return WithText("a>b"); }, "",
                    "Cannot write element \"Value\": its text \"a>b\" holds \"<\" or \">\"."},
        RefusedTree{"a long text is quoted in part",
                    [] { return WithText(std::string(100, 'y') + ">"); }, "",
                    "Cannot write element \"Value\": its text \"" + std::string(60, 'y') +
                        "...\" holds \"<\" or \">\"."},
        RefusedTree{"empty text", [] { return WithText(""); }, "",
                    "Cannot write element \"Value\": its text is empty."},
        RefusedTree{"blank text", [] { return WithText(" \t\n "); }, "",
                    "Cannot write element \"Value\": its text is empty."},
        RefusedTree{"a minus in a name", [] { return WithChildName("a-b"); }, "",
                    "Cannot write element \"a-b\": an element name holds ASCII letters and digits "
                    "only."},
        RefusedTree{"an empty name", [] { return WithChildName(""); }, "",
                    "Cannot write element \"\": an element name holds ASCII letters and digits "
                    "only."},
        RefusedTree{"a high byte in a name", [] { return WithChildName("caf\xe9"); }, "",
                    "Cannot write element \"caf\xe9\": an element name holds ASCII letters and "
                    "digits only."},
        RefusedTree{"a blank in the root's name",
                    [] { return std::make_unique<TXMLComplexElement>("My Doc"); }, "",
                    "Cannot write element \"My Doc\": an element name holds ASCII letters and "
                    "digits only."},
        RefusedTree{"a root name the header skip cannot pass",
                    [] { return std::make_unique<TXMLComplexElement>(std::string(32, 'R')); },
                    "_v9_0",
                    "Cannot write element \"" + std::string(32, 'R') +
                        "\": the name is too long for the document type line."},
        RefusedTree{"a line feed in the suffix",
                    [] { return std::make_unique<TXMLComplexElement>("Doc"); }, "\n",
                    "Cannot write element \"Doc\": the document type suffix holds a control "
                    "character."}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(XMLWriter, TheLongestRootNameTheHeaderSkipPasses)
{
    // The DOCTYPE line with its line feed is 26 + 2 * 36 = 98 bytes, exactly what the reader
    // skips.
    TXMLComplexElement root(std::string(31, 'R'));
    std::string text = Format(root, "_v9_0");
    std::string version;
    auto head = TXMLToken::FromMemory(text, version);
    EXPECT_EQ(Chain(*head),
              (std::vector<std::string>{"M:" + std::string(31, 'R') + "@4,35", "EOF@5,0"}));
}

// ----- round trips ----------------------------------------------------------------------------

TEST_F(XMLWriterTest, WhatIsWrittenReadsBackToTheSameTree)
{
    TDTDGrammar g;
    auto* empty = g.Make<TDTDEmpty>();
    auto* window = g.Make<TDTDCompound>(
        "Window", g.Make<TDTDConcat>(g.Make<TDTDContentText>("Name"),
                                     g.Make<TDTDOptional>(g.Make<TDTDCompound>("Max", empty))));
    auto* project = g.Make<TDTDCompound>(
        "Project", g.Make<TDTDConcat>(g.Make<TDTDContentText>("Version"),
                                      g.Make<TDTDConcat>(g.Make<TDTDCompound>("Frame", empty),
                                                         g.Make<TDTDRepeatMin0>(window))));
    auto tree = ProjectTree();
    for (int i = 0; i < 50; ++i) {
        auto* w = tree->AddComplex("Window");
        w->AddText("Name", "c:\\music\\piece " + std::to_string(i) + ".kvm \xe9\xfc");
        if (i % 3 == 0)
            w->AddComplex("Max");
    }
    fs::path target = dir.path / "round.kvp";
    std::string error;
    ASSERT_TRUE(WriteXMLFile(*tree, target.string(), error)) << error;
    std::string written = ReadAll(target);
    EXPECT_EQ(written.find('\r'), std::string::npos);

    // Once as written, once as an editor on another platform would save it.
    std::string crlf;
    for (char c : written)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    WriteAll(dir.path / "crlf.kvp", crlf);

    for (const fs::path& file : {target, dir.path / "crlf.kvp"}) {
        std::string version;
        TXMLToken head(file.string(), version);
        ASSERT_EQ(head.GetTokenKind(), xmlTokenFile) << file;
        EXPECT_EQ(version, "9.0");
        TXMLComplexElement root("Root");
        const TXMLToken* cursor = &head;
        bool fatal = false;
        ASSERT_TRUE(project->Parse(root, cursor, error, fatal)) << error;
        EXPECT_EQ(Render(*root.GetFirstChild()), Render(*tree));
        std::string again;
        ASSERT_TRUE(FormatXMLFile(*root.GetFirstChild(), "", again, error));
        EXPECT_EQ(again, written);
    }
}

// ----- failed saves keep the old file ----------------------------------------------------------

TEST_F(XMLWriterTest, ASaveThatFailsMidwayKeepsThePreviousFile)
{
    fs::path target = dir.path / "a.kvp";
    std::string error;
    ASSERT_TRUE(WriteXMLFile(*ProjectTree(), target.string(), error));
    const std::string previous = ReadAll(target);

    auto bigger = ProjectTree();
    for (int i = 0; i < 200; ++i)
        bigger->AddText("Line", "text number " + std::to_string(i));
    const std::string full = Format(*bigger);

    for (int64_t failAt : {int64_t(0), int64_t(1), int64_t(4096), int64_t(full.size()) - 1}) {
        SafeFileWriter::FailAfterBytes(failAt);
        EXPECT_FALSE(WriteXMLFile(*bigger, target.string(), error)) << failAt;
        EXPECT_EQ(error,
                  "Operating System cannot write file, maybe the disk is full (No space left on "
                  "device).");
        EXPECT_EQ(ReadAll(target), previous);
        EXPECT_EQ(dir.Count(), 1u);
    }
    SafeFileWriter::FailAfterBytes(int64_t(full.size()));
    EXPECT_TRUE(WriteXMLFile(*bigger, target.string(), error)) << error;
    EXPECT_EQ(ReadAll(target), full);
}

TEST_F(XMLWriterTest, ARealWriteFailureKeepsThePreviousFile)
{
    // The system refuses to grow any file past the size limit, as a full device refuses to grow
    // it further: the writes themselves fail, not a hook.
    fs::path target = dir.path / "a.kvp";
    std::string error;
    ASSERT_TRUE(WriteXMLFile(*ProjectTree(), target.string(), error));
    const std::string previous = ReadAll(target);
    auto bigger = ProjectTree();
    for (int i = 0; i < 5000; ++i)
        bigger->AddText("Line", "text number " + std::to_string(i));

    struct rlimit before
    {
    };
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    struct rlimit small = before;
    small.rlim_cur = 4096;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool ok = WriteXMLFile(*bigger, target.string(), error);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(ok);
    EXPECT_EQ(error,
              "Operating System cannot write file, maybe the disk is full (File too large).");
    EXPECT_EQ(ReadAll(target), previous);
    EXPECT_EQ(dir.Count(), 1u);
}

TEST_F(XMLWriterTest, AFailedRenameKeepsWhatStandsThere)
{
    fs::path target = dir.path / "taken.kvp";
    fs::create_directory(target);
    WriteAll(target / "inside", "x");
    std::string error;
    EXPECT_FALSE(WriteXMLFile(*ProjectTree(), target.string(), error));
    EXPECT_EQ(error.rfind("Operating System cannot write file, maybe the disk is full (", 0), 0u);
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(ReadAll(target / "inside"), "x");
    EXPECT_EQ(dir.Count(), 1u);
}

TEST_F(XMLWriterTest, AFileThatCannotBeCreatedSaysSo)
{
    std::string error;
    EXPECT_FALSE(WriteXMLFile(*ProjectTree(), (dir.path / "no" / "such.kvp").string(), error));
    EXPECT_EQ(error, "Operating System cannot open file for writing, maybe the file is readonly.");
}

// ----- size ------------------------------------------------------------------------------------

TEST(XMLWriter, ManySiblingsAndDeepTreesWriteWithoutRecursion)
{
    TXMLComplexElement wide("Wide");
    for (int i = 0; i < 200000; ++i)
        wide.AddText("V", "1");
    std::string out;
    std::string error;
    ASSERT_TRUE(WriteXMLElement(wide, 0, out, error));
    EXPECT_EQ(out.size(), 7u + 200000u * 11u + 8u);

    TXMLComplexElement deep("D");
    TXMLComplexElement* inner = &deep;
    const int depth = 2000;
    for (int i = 1; i < depth; ++i)
        inner = inner->AddComplex("D");
    out.clear();
    ASSERT_TRUE(WriteXMLElement(deep, 0, out, error));
    // Depth k (0-based) costs 2k blanks on the begin and on the end line, "<D>\n" and "</D>\n",
    // except the innermost, which is one "<D />" line.
    size_t expected = 0;
    for (size_t k = 0; k + 1 < depth; ++k)
        expected += 4 * k + 4 + 5;
    expected += 2 * (depth - 1) + 6;
    EXPECT_EQ(out.size(), expected);
}
