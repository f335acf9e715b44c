#include "platform/FileDialogs.h"
#include "platform/test/ScriptedFileDialogs.h"

#include <gtest/gtest.h>

using namespace kelvorn;

namespace {

TEST(ParseFileFilter, CutsPairsIntoEntries)
{
    const struct
    {
        const char* filter;
        std::vector<FileFilterEntry> entries;
    } rows[] = {{"Wave Files (*.wav)|*.wav|All files (*.*)|*.*",
                 {{"Wave Files (*.wav)", {"*.wav"}}, {"All files (*.*)", {"*.*"}}}},
                // Several patterns, blanks around them, and an empty one in between.
                {"Sounds| *.wav ;;*.kvw", {{"Sounds", {"*.wav", "*.kvw"}}}},
                // A description left without its patterns matches everything.
                {"Anything", {{"Anything", {"*"}}}},
                {"A|*.a|Lonely", {{"A", {"*.a"}}, {"Lonely", {"*"}}}},
                {"Empty|| B |*.b", {{"Empty", {"*"}}, {"B", {"*.b"}}}},
                {"", {}}};
    for (const auto& row : rows)
        EXPECT_EQ(ParseFileFilter(row.filter), row.entries) << row.filter;
}

TEST(AppendDefaultExtension, AppendsOnlyToANameWithoutExtension)
{
    const struct
    {
        const char* path;
        const char* extension;
        const char* expected;
    } rows[] = {{"/home/u/song", "wav", "/home/u/song.wav"},
                {"/home/u/song.WAV", "wav", "/home/u/song.WAV"},
                // Another extension is the user's choice.
                {"/home/u/song.mp3", "wav", "/home/u/song.mp3"},
                // A dot in a directory's name is not the file's extension.
                {"/home/u.v/song", "wav", "/home/u.v/song.wav"},
                // A leading dot hides a file; it does not start an extension.
                {"/home/u/.song", "wav", "/home/u/.song.wav"},
                {"song", "kvm", "song.kvm"},
                {"s", "wav", "s.wav"},
                {"song", "", "song"},
                {"", "wav", ""},
                {"/home/u/", "wav", "/home/u/"}};
    for (const auto& row : rows)
        EXPECT_EQ(AppendDefaultExtension(row.path, row.extension), row.expected) << row.path;
}

FileDialogRequest WaveRequest(const char* title)
{
    return {title, "Wave Files (*.wav)|*.wav", "wav", "/tmp/x.wav"};
}

TEST(ScriptedFileDialogs, AnswersInOrderAndListsWhatWasNotAnnounced)
{
    ScriptedFileDialogs dialogs;
    FileDialogs& shown = GetService<FileDialogs>();
    std::string path = "kept";
    EXPECT_FALSE(shown.SaveFile(WaveRequest("Save Wave"), path));
    dialogs.WhenOpen("Open Wave", {"/a/1.wav", "/a/2.wav"});
    dialogs.WhenOpen("Open Wave", {"/a/1.wav", "/a/2.wav"});
    dialogs.WhenSave("Save Wave", "");
    dialogs.WhenSave("Save Wave", "/a/new");
    // The wrong kind under the right title, then the wrong title: neither takes the step.
    EXPECT_FALSE(shown.SaveFile(WaveRequest("Open Wave"), path));
    EXPECT_TRUE(shown.OpenFiles(WaveRequest("Open Music"), true).empty());
    EXPECT_EQ(shown.OpenFiles(WaveRequest("Open Wave"), true),
              (std::vector<std::string>{"/a/1.wav", "/a/2.wav"}));
    // A single-file dialog hands back one file; a cancelled save leaves the path.
    EXPECT_EQ(shown.OpenFiles(WaveRequest("Open Wave"), false),
              std::vector<std::string>{"/a/1.wav"});
    EXPECT_FALSE(shown.SaveFile(WaveRequest("Save Wave"), path));
    EXPECT_EQ(path, "kept");
    ASSERT_TRUE(shown.SaveFile(WaveRequest("Save Wave"), path));
    EXPECT_EQ(path, "/a/new.wav");
    EXPECT_EQ(dialogs.Pending(), 0u);
    EXPECT_EQ(
        dialogs.Unexpected(),
        (std::vector<std::string>{"save Save Wave", "save Open Wave instead of open Open Wave",
                                  "open Open Music instead of open Open Wave"}));
    ASSERT_EQ(dialogs.ShownDialogs().size(), 7u);
    EXPECT_EQ(dialogs.ShownDialogs()[3].kind, ScriptedFileDialogs::Kind::Open);
    EXPECT_TRUE(dialogs.ShownDialogs()[3].multiple);
    EXPECT_FALSE(dialogs.ShownDialogs()[4].multiple);
    EXPECT_EQ(dialogs.ShownDialogs()[6].request.fileName, "/tmp/x.wav");
}

} // namespace
