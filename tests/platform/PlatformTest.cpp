// The platform layer's own code and the scripted services other layers' tests rely on.
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/Shapes.h"
#include "platform/TempDir.h"
#include "platform/test/FakeClock.h"
#include "platform/test/RecordingCanvas.h"
#include "platform/test/ScriptedFileDialogs.h"
#include "platform/test/ScriptedMessages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

using namespace kelvorn;
using namespace std::chrono;
namespace fs = std::filesystem;

namespace {

TEST(Clock, SplitsTheUtcTimeOfDay)
{
    const struct
    {
        int year, month, day, hour, minute, second, millisecond;
        uint32_t ofDay;
    } rows[] = {{1970, 1, 1, 0, 0, 0, 0, 0},
                {1970, 1, 1, 23, 59, 59, 999, 86399999},
                {2024, 2, 29, 13, 45, 30, 250, 49530250},
                {2038, 1, 19, 3, 14, 8, 1, 11648001},
                // Before 1970 the day still begins at midnight.
                {1969, 12, 31, 23, 59, 59, 999, 86399999},
                {1900, 3, 1, 6, 0, 0, 5, 21600005}};
    FakeClock clock;
    for (const auto& r : rows) {
        clock.SetUtc(r.year, r.month, r.day, r.hour, r.minute, r.second, r.millisecond);
        const system_clock::time_point now = GetService<Clock>().Now();
        const TimeOfDay d = UtcTimeOfDay(now);
        EXPECT_EQ(UtcMillisecondOfDay(now), r.ofDay) << r.year;
        EXPECT_EQ(std::tie(d.hour, d.minute, d.second, d.millisecond),
                  std::tie(r.hour, r.minute, r.second, r.millisecond));
    }
    // The fake stands still until advanced, across midnight into a new year.
    clock.SetUtc(2023, 12, 31, 23, 59, 59, 900);
    clock.Advance(milliseconds(150));
    EXPECT_EQ(clock.Now(), system_clock::time_point(sys_days(2024y / 1 / 1)) + milliseconds(50));
}

TEST(ScriptedMessages, AnswersInOrderListsTheUnannouncedAndPutsThePreviousSinkBack)
{
    ScriptedMessages outer;
    {
        ScriptedMessages messages;
        EXPECT_EQ(&Messages(), &messages);
        messages.Expect(MsgAnswer::Yes);
        messages.Expect(MsgAnswer::No);
        EXPECT_EQ(Messages().Show("Save?", "Kelvorn", MsgIcon::Question, MsgButtons::YesNoCancel),
                  MsgAnswer::Yes);
        EXPECT_EQ(messages.Pending(), 1u);
        EXPECT_EQ(Messages().Show("Sure?", "Kelvorn", MsgIcon::Warning, MsgButtons::YesNo),
                  MsgAnswer::No);
        EXPECT_TRUE(messages.Unexpected().empty());
        // A box nobody announced is cancelled.
        EXPECT_EQ(Messages().Show("surprise", "Error", MsgIcon::Stop, MsgButtons::OkCancel),
                  MsgAnswer::Cancel);
        ASSERT_EQ(messages.Unexpected().size(), 1u);
        EXPECT_EQ(messages.Unexpected()[0].caption, "Error");
        ASSERT_EQ(messages.Shown().size(), 3u);
        const ShownMessage& second = messages.Shown()[1];
        EXPECT_TRUE(second.text == "Sure?" && second.icon == MsgIcon::Warning &&
                    second.buttons == MsgButtons::YesNo);

        messages.Expect(MsgAnswer::Yes);
        messages.Clear();
        EXPECT_TRUE(messages.Shown().empty());
        EXPECT_TRUE(messages.Unexpected().empty());
        EXPECT_EQ(messages.Pending(), 0u);
    }
    EXPECT_EQ(&Messages(), &outer);
    Messages().Show("late", "Error", MsgIcon::Stop, MsgButtons::Ok);
    EXPECT_EQ(outer.Unexpected().size(), 1u);
}

TEST(PrivateDirectory, IsPrivateOnceAndGoesWithItsFiles)
{
    std::string path;
    {
        PrivateDirectory dir((fs::temp_directory_path() / "kv-private-XXXXXX").string());
        PrivateDirectory other(dir.Path());
        EXPECT_FALSE(dir.Exists());
        ASSERT_TRUE(dir.Create() && other.Create());
        path = dir.Path();
        EXPECT_NE(path, other.Path());
        EXPECT_EQ(fs::path(path).parent_path(), fs::temp_directory_path());
        EXPECT_EQ(fs::path(path).filename().string().substr(0, 11), "kv-private-");
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_all);
        fs::create_directory(path + "/sub");
        std::ofstream(path + "/sub/record.wav") << "RIFF";
        ASSERT_TRUE(dir.Create());
        EXPECT_EQ(dir.Path(), path);
    }
    EXPECT_FALSE(fs::exists(path));
    PrivateDirectory missing("/no/such/place/kv-XXXXXX");
    EXPECT_FALSE(missing.Create());
    EXPECT_FALSE(missing.Exists());
    EXPECT_EQ(missing.Path(), "/no/such/place/kv-XXXXXX");
}

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

// Each shade truncates each byte: 0xFF, 0x80, 0x01 times 0.75 and 0.5.
constexpr uint32_t Colour = 0x00FF8001;
const std::string C = "0x00FF8001";
const std::string C75 = "0x00BF6000";
const std::string C50 = "0x007F4000";
const std::string O = " pen " + C75 + " 1 brush " + C;

TEST(Shapes, DrawTheGeometryInTheShadesWhateverThePenAndBrushWere)
{
    RecordingCanvas c;
    auto dirty = [&c] {
        c.SetPenWidth(5);
        c.SetPenColor(0x123456);
        c.SetBrushColor(0x654321);
        c.SetBrushStyle(BrushStyle::Clear);
    };
    for (bool selected : {false, true}) {
        dirty();
        DrawEllipse(c, {10, 10, 30, 20}, Colour, selected);
        dirty();
        DrawFramedRect(c, {10, 10, 30, 20}, Colour, selected);
        for (int direction : {1, 2}) {
            dirty();
            DrawTriangle(c, 30, 20, 8, Colour, selected, direction);
            dirty();
            DrawChord(c, 30, 20, 10, Colour, selected, direction);
        }
    }
    dirty();
    Draw3DRect(c, {10, 20, 50, 40}, Colour);
    EXPECT_EQ(
        c.Calls(),
        (std::vector<std::string>{
            "Ellipse 10 10 30 20" + O, "FillRect 10 10 30 20 brush " + C,
            "FrameRect 10 10 30 20 brush " + C75, "Polygon 22 20 38 12 38 28" + O,
            "Chord 22 10 42 30 32 10 32 30" + O, "Polygon 38 20 22 12 22 28" + O,
            "Chord 20 10 40 30 30 30 30 10" + O,
            // Selected: a grown outline under the shape.
            "Ellipse 8 8 32 22" + O, "Ellipse 10 10 30 20" + O, "FillRect 8 8 32 22 brush " + C,
            "FrameRect 8 8 32 22 brush " + C75, "FrameRect 10 10 30 20 brush " + C75,
            "Polygon 18 20 40 9 40 31" + O, "Polygon 22 20 38 12 38 28" + O,
            "Chord 19 7 45 33 32 7 32 33" + O, "Chord 22 10 42 30 32 10 32 30" + O,
            "Polygon 42 20 20 9 20 31" + O, "Polygon 38 20 22 12 22 28" + O,
            "Chord 17 7 43 33 30 33 30 7" + O, "Chord 20 10 40 30 30 30 30 10" + O,
            // Raised: lit top and left, shaded bottom and right.
            "FillRect 10 20 50 40 brush " + C75, "Line 10 40 10 20 pen " + C + " 1",
            "Line 10 20 50 20 pen " + C + " 1", "Line 50 20 50 40 pen " + C50 + " 1",
            "Line 50 40 10 40 pen " + C50 + " 1"}));
}

TEST(Canvas, FontPointsToPixelsRounded)
{
    const int rows[][2] = {{0, 0},   {7, 9},   {8, 11},   {9, 12},   {10, 13},
                           {12, 16}, {72, 96}, {-8, -11}, {-10, -13}};
    for (const auto& row : rows)
        EXPECT_EQ(FontPixelsFromPoints(row[0]), row[1]) << row[0];
}

} // namespace
