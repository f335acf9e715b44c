#include "platform/FileDialogs.h"
#include "platform/test/ScriptedFileDialogs.h"

#include <gtest/gtest.h>

using namespace kelvorn;

namespace {

struct FilterCase
{
    const char* filter;
    std::vector<FileFilterEntry> entries;
};

class ParseFileFilterTest : public ::testing::TestWithParam<FilterCase>
{
};

TEST_P(ParseFileFilterTest, CutsPairsIntoEntries)
{
    EXPECT_EQ(ParseFileFilter(GetParam().filter), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, ParseFileFilterTest,
    ::testing::Values(FilterCase{"Wave Files (*.wav)|*.wav|All files (*.*)|*.*",
                                 {{"Wave Files (*.wav)", {"*.wav"}}, {"All files (*.*)", {"*.*"}}}},
                      FilterCase{
                          "Music Files (*.kvm)|*.kvm|XML Files (*.xml)|*.xml|All files (*.*)|*.*",
                          {{"Music Files (*.kvm)", {"*.kvm"}},
                           {"XML Files (*.xml)", {"*.xml"}},
                           {"All files (*.*)", {"*.*"}}}},
                      // Several patterns, blanks around them, and an empty one in between.
                      FilterCase{"Sounds| *.wav ;;*.kvw", {{"Sounds", {"*.wav", "*.kvw"}}}},
                      // A description left without its patterns matches everything.
                      FilterCase{"Anything", {{"Anything", {"*"}}}},
                      FilterCase{"A|*.a|Lonely", {{"A", {"*.a"}}, {"Lonely", {"*"}}}},
                      FilterCase{"Empty||B|*.b", {{"Empty", {"*"}}, {"B", {"*.b"}}}},
                      FilterCase{"", {}}));

struct ExtensionCase
{
    const char* path;
    const char* extension;
    const char* expected;
};

class DefaultExtensionTest : public ::testing::TestWithParam<ExtensionCase>
{
};

TEST_P(DefaultExtensionTest, AppendsOnlyToANameWithoutExtension)
{
    EXPECT_EQ(AppendDefaultExtension(GetParam().path, GetParam().extension), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DefaultExtensionTest,
    ::testing::Values(ExtensionCase{"/home/u/song", "wav", "/home/u/song.wav"},
                      ExtensionCase{"/home/u/song.wav", "wav", "/home/u/song.wav"},
                      ExtensionCase{"/home/u/song.WAV", "wav", "/home/u/song.WAV"},
                      // Another extension is the user's choice.
                      ExtensionCase{"/home/u/song.mp3", "wav", "/home/u/song.mp3"},
                      // A dot in a directory's name is not the file's extension.
                      ExtensionCase{"/home/u.v/song", "wav", "/home/u.v/song.wav"},
                      // A leading dot hides a file; it does not start an extension.
                      ExtensionCase{"/home/u/.song", "wav", "/home/u/.song.wav"},
                      ExtensionCase{"song", "kvm", "song.kvm"}, ExtensionCase{"song", "", "song"},
                      ExtensionCase{"", "wav", ""}, ExtensionCase{"/home/u/", "wav", "/home/u/"}));

FileDialogRequest WaveRequest(const char* title)
{
    return {title, "Wave Files (*.wav)|*.wav|All files (*.*)|*.*", "wav", "/tmp/x.wav"};
}

TEST(ScriptedFileDialogs, AnswersInOrderAndRecordsWhatWasAsked)
{
    ScriptedFileDialogs dialogs;
    dialogs.WhenOpen("Open Wave", {"/a/1.wav", "/a/2.wav", "/a/3.wav"});
    dialogs.WhenSave("Save Wave", "/a/new");
    EXPECT_EQ(GetService<FileDialogs>().OpenFiles(WaveRequest("Open Wave"), true),
              (std::vector<std::string>{"/a/1.wav", "/a/2.wav", "/a/3.wav"}));
    std::string path = "untouched";
    ASSERT_TRUE(GetService<FileDialogs>().SaveFile(WaveRequest("Save Wave"), path));
    EXPECT_EQ(path, "/a/new.wav");
    EXPECT_EQ(dialogs.Pending(), 0u);
    EXPECT_TRUE(dialogs.Unexpected().empty());
    ASSERT_EQ(dialogs.ShownDialogs().size(), 2u);
    EXPECT_EQ(dialogs.ShownDialogs()[0].kind, ScriptedFileDialogs::Kind::Open);
    EXPECT_TRUE(dialogs.ShownDialogs()[0].multiple);
    EXPECT_EQ(dialogs.ShownDialogs()[1].request.filter,
              "Wave Files (*.wav)|*.wav|All files (*.*)|*.*");
    EXPECT_EQ(dialogs.ShownDialogs()[1].request.fileName, "/tmp/x.wav");
}

TEST(ScriptedFileDialogs, CancelAnswersNothingAndLeavesThePath)
{
    ScriptedFileDialogs dialogs;
    dialogs.WhenOpen("Open Wave", {});
    dialogs.WhenSave("Save Wave", "");
    EXPECT_TRUE(GetService<FileDialogs>().OpenFiles(WaveRequest("Open Wave"), true).empty());
    std::string path = "kept";
    EXPECT_FALSE(GetService<FileDialogs>().SaveFile(WaveRequest("Save Wave"), path));
    EXPECT_EQ(path, "kept");
    EXPECT_TRUE(dialogs.Unexpected().empty());
}

TEST(ScriptedFileDialogs, ASingleFileDialogHandsBackOneFile)
{
    ScriptedFileDialogs dialogs;
    dialogs.WhenOpen("Open Wave", {"/a/1.wav", "/a/2.wav"});
    EXPECT_EQ(GetService<FileDialogs>().OpenFiles(WaveRequest("Open Wave"), false),
              std::vector<std::string>{"/a/1.wav"});
}

TEST(ScriptedFileDialogs, UnannouncedOrMismatchedDialogsAreListedAndCancelled)
{
    ScriptedFileDialogs dialogs;
    std::string path = "kept";
    EXPECT_FALSE(GetService<FileDialogs>().SaveFile(WaveRequest("Save Wave"), path));
    dialogs.WhenOpen("Open Wave", {"/a/1.wav"});
    // The wrong kind under the right title, then the wrong title: neither takes the step.
    EXPECT_FALSE(GetService<FileDialogs>().SaveFile(WaveRequest("Open Wave"), path));
    EXPECT_TRUE(GetService<FileDialogs>().OpenFiles(WaveRequest("Open Music"), true).empty());
    EXPECT_EQ(path, "kept");
    EXPECT_EQ(
        dialogs.Unexpected(),
        (std::vector<std::string>{"save Save Wave", "save Open Wave instead of open Open Wave",
                                  "open Open Music instead of open Open Wave"}));
    EXPECT_EQ(dialogs.Pending(), 1u);
}

} // namespace
