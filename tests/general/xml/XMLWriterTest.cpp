#include "XMLTestSupport.h"

#include "general/files/SafeFile.h"
#include "general/xml/XMLWriter.h"
#include "support/OtherUser.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kelvorn;
using namespace kelvorn::xmltest;
using kelvorn::test::FolderState;
using kelvorn::test::Identity;

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
        SafeFileWriter::FailStep(SafeFileWriter::Step::WriteInPlace, 0);
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

namespace {

// The system refuses to grow a file past the process's size limit as a full device would: the
// file system's own calls fail, not a hook. Held only around a save: the test's output may go to
// a file too.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes) : handler(std::signal(SIGXFSZ, SIG_IGN))
    {
        if (::getrlimit(RLIMIT_FSIZE, &before) != 0)
            return;
        rlimit limited = before;
        limited.rlim_cur = bytes;
        set = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        if (set)
            ::setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool set = false;

private:
    rlimit before{};
    void (*handler)(int);
};

// The process's open file descriptors: a save, whatever its end, leaves them as they were.
std::set<std::string> OpenDescriptors()
{
    std::set<std::string> open;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        open.insert(entry.path().filename().string());
    return open;
}

} // namespace

TEST_F(XMLWriter, AFailedSaveKeepsThePreviousFile)
{
    const std::set<std::string> descriptors = OpenDescriptors();
    const std::string small = Format(*ProjectTree()), full = Format(*ProjectTree(200));
    ASSERT_GT(full.size(), 4096u);
    const int64_t size = int64_t(full.size()), grows = size - int64_t(small.size());
    const std::string diskFull = "Operating System cannot write file, maybe the disk is full (";
    const std::string noSpace = diskFull + "No space left on device).";
    const std::string tooLarge = diskFull + "File too large).";
    // The room held for the new content is there, the old bytes unchanged before it.
    const std::string reserved = small + std::string(full.size() - small.size(), '\0');
    struct Row
    {
        const char* what;
        bool inPlace; // no temporary file can be made beside it
        std::string old;
        int64_t room;      // bytes the hook's device holds; -1 no hook
        rlim_t limit;      // the process's file size limit; 0 none
        std::string error; // empty: saved
        std::string after;
        int deviceError = 0; // the error of the writes in place once the room is held
    };
    // clang-format off
    const Row rows[] = {
        {"replaced, no room", false, small, 0, 0, noSpace, small},
        {"replaced, one byte of room", false, small, 1, 0, noSpace, small},
        {"replaced, room for a buffer", false, small, 4096, 0, noSpace, small},
        {"replaced, one byte short", false, small, size - 1, 0, noSpace, small},
        {"replaced, room for every byte", false, small, size, 0, "", full},
        {"replaced, the size limit", false, small, -1, 4096, tooLarge, small},
        {"in place, no room", true, small, 0, 0, noSpace, small},
        {"in place, one byte short of the growth", true, small, grows - 1, 0, noSpace, small},
        {"in place, room for the growth alone", true, small, grows, 0, "", full},
        {"in place, the size limit", true, small, -1, 4096, tooLarge, small},
        {"in place, the size limit one byte short", true, small, -1, rlim_t(size - 1), tooLarge,
         small},
        {"in place, the size limit exactly", true, small, -1, rlim_t(size), "", full},
        {"in place, a longer file needs no room and is cut", true, full + small, 0, 0, "", full},
        {"in place, the device fails once the room is held", true, small, -1, 0,
         diskFull + "Input/output error).", reserved, EIO},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        WriteAll(target, row.old);
        struct stat before
        {
        };
        ASSERT_EQ(::stat(target.c_str(), &before), 0);
        SafeFileWriter::FailStep(SafeFileWriter::Step::CreateTemporary, row.inPlace ? EACCES : 0);
        SafeFileWriter::FailStep(SafeFileWriter::Step::WriteInPlace, row.deviceError);
        SafeFileWriter::FailAfterBytes(row.room);
        error.clear();
        bool saved = false;
        if (row.limit != 0) {
            const FileSizeLimit limit(row.limit);
            ASSERT_TRUE(limit.set);
            saved = WriteXMLFile(*ProjectTree(200), target, error);
        } else {
            saved = WriteXMLFile(*ProjectTree(200), target, error);
        }
        SafeFileWriter::FailAfterBytes(-1);
        SafeFileWriter::FailStep(SafeFileWriter::Step::WriteInPlace, 0);
        SafeFileWriter::FailStep(SafeFileWriter::Step::CreateTemporary, 0);
        EXPECT_EQ(std::tuple(saved, error, ReadAll(target), dir.Count()),
                  std::tuple(row.error.empty(), row.error, row.after, 1u));
        struct stat after
        {
        };
        ASSERT_EQ(::stat(target.c_str(), &after), 0);
        // Written in place, it is the same file; replaced, a new one.
        EXPECT_EQ(after.st_ino == before.st_ino, row.inPlace || !saved);
    }
    EXPECT_EQ(OpenDescriptors(), descriptors);

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
    // permission (none for 0); the error text; the file that takes the new bytes, if any. A
    // temporary file that cannot be made sends an existing file's bytes straight into it.
    const std::tuple<const char*, Step, int, std::string, const char*> rows[] = {
        {"protected.kvp", Step::Rename, 0, readonly, nullptr},
        {"to-protected.kvp", Step::Rename, 0, readonly, nullptr},
        {"loop.kvp", Step::Rename, 0, readonly, nullptr},
        {"open.kvp", Step::CreateTemporary, EACCES, "", "open.kvp"},
        {"link.kvp", Step::CreateTemporary, EPERM, "", "files/real.kvp"},
        {"new.kvp", Step::CreateTemporary, EACCES, readonly, nullptr},
        {"open.kvp", Step::CreateTemporary, ENOSPC, readonly, nullptr},
        {"open.kvp", Step::Rename, EPERM, readonly, nullptr},
        {"open.kvp", Step::Rename, EBUSY,
         "Operating System cannot write file, maybe the disk is full (Device or resource busy).",
         nullptr},
        {"link.kvp", Step::Rename, 0, "", "files/real.kvp"},
        {"files/chain.kvp", Step::Rename, 0, "", "files/real.kvp"},
    };
    int lines = 0;
    for (const auto& [saved, step, injected, expectedError, receiver] : rows) {
        SCOPED_TRACE(std::string(saved) + ", " + std::strerror(injected));
        const auto tree = ProjectTree(++lines); // other bytes every time
        std::map<std::string, std::string> expected = FolderState(dir.path);
        if (receiver) {
            std::string& real = expected[receiver];
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

// Saved by another user than the file's, or in a folder the saving user may not write: the
// system's own checks answer, in a child that has become that user.
TEST(XMLWriterOwners, AFileStaysItsOwnersAndIsWrittenInPlaceWhereItCannotBeReplaced)
{
    if (!test::CanActAsOtherUsers())
        GTEST_SKIP() << "only root can save as another user";
    namespace fs = std::filesystem;
    const uid_t nobody = test::nobodyUser, third = 65533;
    const gid_t nogroup = test::nobodyGroup, elsewhere = 65532;
    const Identity root{0, 0, {0}}, user{nobody, nogroup, {nogroup}};
    const Identity userInElsewhere{nobody, nogroup, {nogroup, elsewhere}};
    const std::string readonly =
        "Operating System cannot open file for writing, maybe the file is readonly.";
    enum Outcome { Replaced, InPlace, NoRoom, Refused };
    struct Row
    {
        const char* what;
        Identity saver;
        const char* folder; // "open" anyone may write, "locked" only root
        uid_t owner;
        gid_t group;
        mode_t mode; // 0: no file yet
        Outcome outcome;
    };
    // clang-format off
    const Row rows[] = {
        {"another user's file saved by root", root, "open", nobody, nogroup, 0644, Replaced},
        {"set-id bits survive the new owner", root, "open", third, elsewhere, 06755, Replaced},
        {"a file anyone may write, locked folder", user, "locked", 0, 0, 0666, InPlace},
        {"the user's own file, locked folder", user, "locked", nobody, nogroup, 0644, InPlace},
        {"written through the group, open folder", user, "open", third, nogroup, 0664, InPlace},
        {"the user's file, a group not theirs", user, "open", nobody, elsewhere, 0644, InPlace},
        {"the user's file, a group of theirs", userInElsewhere, "open", nobody, elsewhere, 0640,
         Replaced},
        {"a file its owner may write but not read", user, "locked", nobody, nogroup, 0200, InPlace},
        {"no room for the file written in place", user, "locked", nobody, nogroup, 0644, NoRoom},
        {"read-only for its owner", user, "open", nobody, nogroup, 0444, Refused},
        {"read-only for root", root, "open", nobody, nogroup, 0444, Refused},
        {"root's file, open folder", user, "open", 0, 0, 0644, Refused},
        {"a new file in a locked folder", user, "locked", 0, 0, 0, Refused},
    };
    // clang-format on
    const auto tree = ProjectTree(3);
    const std::string text = Format(*tree);
    const std::string old = "old contents";
    const int64_t room = 10;
    ASSERT_GT(int64_t(text.size() - old.size()), room); // less than the file grows by
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir dir("owners");
        fs::permissions(dir.path, fs::perms(0755));
        fs::create_directory(dir / "open");
        fs::permissions(dir / "open", fs::perms(0777));
        fs::create_directory(dir / "locked");
        fs::permissions(dir / "locked", fs::perms(0755));
        const std::string name = std::string(row.folder) + "/doc.kvp";
        const std::string target = (dir / name).string();
        if (row.mode != 0) {
            WriteAll(target, old);
            ASSERT_EQ(::chown(target.c_str(), row.owner, row.group), 0);
            ASSERT_EQ(::chmod(target.c_str(), row.mode), 0);
        }
        struct stat before
        {
        };
        ::stat(target.c_str(), &before);
        std::map<std::string, std::string> expected = FolderState(dir.path);
        std::string expectedSaid = "saved: ";
        if (row.outcome == Refused) {
            expectedSaid = "refused: " + readonly;
        } else if (row.outcome == NoRoom) {
            // The file keeps every byte.
            expectedSaid = "refused: Operating System cannot write file, maybe the disk is full "
                           "(No space left on device).";
        } else {
            std::string& file = expected[name];
            file = file.substr(0, file.find(" holding ") + 9) + text;
        }

        const std::string said = test::RunAs(row.saver, [&] {
            if (row.outcome == NoRoom)
                SafeFileWriter::FailAfterBytes(room);
            std::string why;
            return (WriteXMLFile(*tree, target, why) ? "saved: " : "refused: ") + why;
        });
        EXPECT_EQ(said, expectedSaid);
        // Owner, group, mode and bytes of every entry: no temporary file is left either.
        EXPECT_EQ(FolderState(dir.path), expected);
        struct stat after
        {
        };
        ::stat(target.c_str(), &after);
        // A file written in place, or kept, is the same file; a replaced one is a new one.
        if (row.mode != 0) {
            EXPECT_EQ(after.st_ino != before.st_ino, row.outcome == Replaced);
        }
    }
}

// What a save makes beside a document takes the document's owner and group as far as the system
// lets the saver give them (root gives both, as the side file and project tests show), and only
// while it is still the file the saver made.
TEST(XMLWriterOwners, WhatASaveMakesTakesTheDocumentsOwnerWhereTheSystemAllows)
{
    if (!test::CanActAsOtherUsers())
        GTEST_SKIP() << "only root can save as another user";
    namespace fs = std::filesystem;
    const gid_t elsewhere = 65532;
    const Identity root{0, 0, {0}}, user{test::nobodyUser, test::nobodyGroup, {test::nobodyGroup}};
    const Identity userInElsewhere{user.uid, user.gid, {user.gid, elsewhere}};
    enum Made { File, Link, SecondName };
    // Who makes doc.kvw beside a third user's doc.kvp, and what; the owner of the file that name
    // leads to after.
    const std::tuple<Identity, Made, std::string> rows[] = {
        {userInElsewhere, File, "65534:65532"}, // the group alone
        {user, File, "65534:65534"},            // neither
        {root, Link, "0:0"},                    // a link put in the file's place
        {root, SecondName, "0:0"},              // a file that has another name too
    };
    for (const auto& [saver, madeAs, owner] : rows) {
        // clang 14 cannot capture a structured binding in a lambda.
        const Made made = madeAs;
        SCOPED_TRACE(std::to_string(made) + ", " + owner);
        TempDir dir("made");
        fs::permissions(dir.path, fs::perms(0777));
        const std::string document = (dir / "doc.kvp").string(), name = (dir / "doc.kvw").string();
        WriteAll(document, "doc");
        ASSERT_EQ(::chown(document.c_str(), 65533, elsewhere), 0);
        test::RunAs(saver, [&] {
            WriteAll(made == Link ? dir / "other" : fs::path(name), "made");
            if (made == Link)
                fs::create_symlink("other", name);
            if (made == SecondName)
                fs::create_hard_link(name, dir / "second");
            GiveOwnerOf(document, name);
            return std::string();
        });
        struct stat info
        {
        };
        ASSERT_EQ(::stat(name.c_str(), &info), 0);
        EXPECT_EQ(std::to_string(info.st_uid) + ":" + std::to_string(info.st_gid), owner);
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
