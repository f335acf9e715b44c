// The browser's buttons: what each does to the list, the cursor and the dialog, with the user's
// typed text either stored, refused or ignored.

#include "general/browser/IntBrowser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <ostream>

using namespace kelvorn;
using namespace kelvorn::testing;

namespace {

enum class Button { First, Previous, Next, Last, Insert, Append, Delete, Clear };

struct ButtonCase
{
    const char* name;
    std::vector<int> values;
    int32_t cursor;
    std::optional<std::string> typed; // what the user typed over the shown record
    Button button;
    std::vector<int> expectValues;
    int32_t expectCursor;
    std::string expectText; // the dialog's field afterwards
    EnabledState expectEnabled;
};

void PrintTo(const ButtonCase& c, std::ostream* os)
{
    *os << c.name;
}

void Press(TRecordBrowser& browser, Button button)
{
    switch (button) {
    case Button::First:
        return browser.First();
    case Button::Previous:
        return browser.Previous();
    case Button::Next:
        return browser.Next();
    case Button::Last:
        return browser.Last();
    case Button::Insert:
        return browser.Insert();
    case Button::Append:
        return browser.Append();
    case Button::Delete:
        return browser.Delete();
    case Button::Clear:
        return browser.Clear();
    }
}

// {count, position, canPrevious, canNext, canDelete, canPaste}
// One case per two lines reads as a table.
// clang-format off
const ButtonCase kButtonCases[] = {
    // Moves store the typed text first.
    {"FirstStoresAndGoesToHead", {10, 20, 30}, 2, "33", Button::First, {10, 20, 33}, 0, "10",
     {3, 1, false, true, true, false}},
    {"PreviousStores", {10, 20, 30}, 1, "21", Button::Previous, {10, 21, 30}, 0, "10",
     {3, 1, false, true, true, false}},
    {"NextStores", {10, 20, 30}, 1, "22", Button::Next, {10, 22, 30}, 2, "30",
     {3, 3, true, false, true, false}},
    {"LastStores", {10, 20, 30}, 0, "11", Button::Last, {11, 20, 30}, 2, "30",
     {3, 3, true, false, true, false}},
    {"LastOnLastOnlyStores", {10, 20, 30}, 2, "31", Button::Last, {10, 20, 31}, 2, "31",
     {3, 3, true, false, true, false}},
    {"FirstOnOneRecord", {10}, 0, "5", Button::First, {5}, 0, "5",
     {1, 1, false, false, false, false}},
    {"NextInMiddleEnablesBothWays", {1, 2, 3, 4}, 1, std::nullopt, Button::Next, {1, 2, 3, 4},
     2, "3", {4, 3, true, true, true, false}},
    // A refused record keeps the cursor and the user's text.
    {"FirstRefusesUnparsable", {10, 20, 30}, 2, "abc", Button::First, {10, 20, 30}, 2, "abc",
     {3, 3, true, false, true, false}},
    {"NextRefusesInvalid", {10, 20, 30}, 1, "-5", Button::Next, {10, 20, 30}, 1, "-5",
     {3, 2, true, true, true, false}},
    {"PreviousRefusesEmpty", {10, 20, 30}, 1, "", Button::Previous, {10, 20, 30}, 1, "",
     {3, 2, true, true, true, false}},
    {"InsertRefusesUnparsable", {10, 20}, 0, "x", Button::Insert, {10, 20}, 0, "x",
     {2, 1, false, true, true, false}},
    {"AppendRefusesInvalid", {10, 20}, 1, "-1", Button::Append, {10, 20}, 1, "-1",
     {2, 2, true, false, true, false}},
    // Insert and Append store, then add a default record and clear the controls.
    {"InsertAtHeadBecomesHead", {10, 20, 30}, 0, "12", Button::Insert, {7, 12, 20, 30}, 0, "",
     {4, 1, false, true, true, false}},
    {"InsertInMiddle", {10, 20, 30}, 2, "31", Button::Insert, {10, 20, 7, 31}, 2, "",
     {4, 3, true, true, true, false}},
    {"InsertOnOneRecord", {10}, 0, std::nullopt, Button::Insert, {7, 10}, 0, "",
     {2, 1, false, true, true, false}},
    {"AppendAtLast", {10, 20, 30}, 2, "32", Button::Append, {10, 20, 32, 7}, 3, "",
     {4, 4, true, false, true, false}},
    {"AppendAtHead", {10, 20, 30}, 0, std::nullopt, Button::Append, {10, 7, 20, 30}, 1, "",
     {4, 2, true, true, true, false}},
    // Delete and Clear do not store.
    {"DeleteMiddleShowsFollower", {10, 20, 30}, 1, "99", Button::Delete, {10, 30}, 1, "30",
     {2, 2, true, false, true, false}},
    {"DeleteHeadShowsNewHead", {10, 20, 30}, 0, "99", Button::Delete, {20, 30}, 0, "20",
     {2, 1, false, true, true, false}},
    {"DeleteLastShowsNewLast", {10, 20, 30}, 2, std::nullopt, Button::Delete, {10, 20}, 1, "20",
     {2, 2, true, false, true, false}},
    {"DeleteDownToOne", {10, 20}, 1, std::nullopt, Button::Delete, {10}, 0, "10",
     {1, 1, false, false, false, false}},
    {"DeleteOnlyRecordDoesNothing", {10}, 0, "99", Button::Delete, {10}, 0, "99",
     {1, 1, false, false, false, false}},
    {"ClearLeavesOneDefault", {10, 20, 30}, 1, "99", Button::Clear, {7}, 0, "7",
     {1, 1, false, false, false, false}},
    {"ClearOnOneRecord", {10}, 0, "abc", Button::Clear, {7}, 0, "7",
     {1, 1, false, false, false, false}},
};
// clang-format on

class ButtonTest : public ::testing::TestWithParam<ButtonCase>
{
};

TEST_P(ButtonTest, ListCursorAndDialog)
{
    const ButtonCase& c = GetParam();
    BoxRecorder boxes;
    TIntBrowser browser(c.values, c.cursor);
    FakeDialog dialog;
    browser.Open(&dialog);
    if (c.typed)
        dialog.text = *c.typed;

    Press(browser, c.button);

    EXPECT_EQ(Values(browser), c.expectValues);
    EXPECT_EQ(browser.GetCursor(), c.expectCursor);
    EXPECT_EQ(BrokenInvariant(browser), "");
    EXPECT_EQ(dialog.text, c.expectText);
    EXPECT_EQ(dialog.enabled, c.expectEnabled);
    EXPECT_TRUE(browser.GetIsOpen());
    EXPECT_TRUE(boxes.Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(RecordBrowser, ButtonTest, ::testing::ValuesIn(kButtonCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The two buttons that are disabled at an end of the list assert when pressed anyway, and then
// neither store nor move.
struct StrayCase
{
    const char* name;
    int32_t cursor;
    Button button;
    const char* condition;
};

class StrayButtonTest : public ::testing::TestWithParam<StrayCase>
{
};

TEST_P(StrayButtonTest, AssertsAndLeavesEverything)
{
    const StrayCase& c = GetParam();
    BoxRecorder boxes;
    TIntBrowser browser({10, 20, 30}, c.cursor);
    FakeDialog dialog;
    browser.Open(&dialog);
    dialog.text = "55";
    const int readsBefore = dialog.reads;

    Press(browser, c.button);

    std::vector<Box> shown = boxes.Take();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_THAT(shown[0].text, ::testing::MatchesRegex(AssertionPattern(c.condition)));
    EXPECT_EQ(shown[0].caption, "Assertion failed");
    EXPECT_EQ(dialog.reads, readsBefore);
    EXPECT_EQ(Values(browser), (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(browser.GetCursor(), c.cursor);
    EXPECT_EQ(dialog.text, "55");
}

INSTANTIATE_TEST_SUITE_P(
    RecordBrowser, StrayButtonTest,
    ::testing::Values(StrayCase{"PreviousOnFirst", 0, Button::Previous, "Cursor > 0"},
                      StrayCase{"NextOnLast", 2, Button::Next, "Cursor < Count - 1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordBrowser, OpenShowsTheCursorRecordAndOneRecordDisablesMoves)
{
    BoxRecorder boxes;
    TIntBrowser browser;
    FakeDialog dialog;
    EXPECT_FALSE(browser.GetIsOpen());
    browser.Open(&dialog);
    EXPECT_TRUE(browser.GetIsOpen());
    EXPECT_EQ(browser.GetDialog(), &dialog);
    EXPECT_EQ(dialog.text, "7");
    EXPECT_EQ(dialog.enabled, (EnabledState{1, 1, false, false, false, false}));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(RecordBrowser, InsertAndAppendClearTheControlsWithoutShowingTheNewRecord)
{
    TIntBrowser browser({10, 20}, 0);
    FakeDialog dialog;
    browser.Open(&dialog);
    const int writes = dialog.writes;
    browser.Append();
    EXPECT_EQ(dialog.clears, 1);
    EXPECT_EQ(dialog.writes, writes);
    EXPECT_EQ(browser.newRecords, 1);
    browser.Insert(); // the cleared field does not parse: nothing happens
    EXPECT_EQ(dialog.clears, 1);
    EXPECT_EQ(browser.newRecords, 1);
    EXPECT_EQ(Values(browser), (std::vector<int>{10, 7, 20}));
}

TEST(RecordBrowser, DeleteTellsTheSubclassWhichRecordGoes)
{
    TIntBrowser browser({10, 20, 30}, 1);
    FakeDialog dialog;
    browser.Open(&dialog);
    dialog.text = "99";
    browser.Delete();
    browser.Delete();
    EXPECT_EQ(browser.deleted, (std::vector<int>{20, 30}));
    browser.Delete(); // the only record left stays
    EXPECT_EQ(browser.deleted, (std::vector<int>{20, 30}));
    EXPECT_EQ(Values(browser), std::vector<int>{10});
    EXPECT_EQ(BrokenInvariant(browser), "");
}

TEST(RecordBrowser, DeleteToOneRecordThenEveryButtonStillWorks)
{
    BoxRecorder boxes;
    TIntBrowser browser({10, 20}, 0);
    FakeDialog dialog;
    browser.Open(&dialog);
    for (int i = 0; i < 3; ++i)
        browser.Delete();
    dialog.text = "3";
    browser.First();
    browser.Last();
    browser.Append();
    dialog.text = "4";
    browser.First();
    EXPECT_EQ(Values(browser), (std::vector<int>{3, 4}));
    EXPECT_EQ(browser.GetCursor(), 0);
    EXPECT_EQ(BrokenInvariant(browser), "");
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(RecordBrowser, CopyThenPasteShowsTheClipRecordUntilItIsStored)
{
    BoxRecorder boxes;
    TIntBrowser browser({10, 20}, 0);
    FakeDialog dialog;
    browser.Open(&dialog);
    EXPECT_FALSE(dialog.enabled.canPaste);

    browser.Copy();
    EXPECT_TRUE(browser.GetHasClipRecord());
    EXPECT_EQ(ValueOf(browser.GetClipRecord()), 10);
    EXPECT_TRUE(dialog.enabled.canPaste);
    EXPECT_EQ(Values(browser), (std::vector<int>{10, 20}));

    browser.Next();
    browser.Paste();
    EXPECT_EQ(dialog.text, "10");
    EXPECT_TRUE(dialog.enabled.canPaste);
    EXPECT_EQ(Values(browser), (std::vector<int>{10, 20})); // not stored yet
    browser.Previous();
    EXPECT_EQ(Values(browser), (std::vector<int>{10, 10}));

    // The clipboard holds its own record: changing the list leaves it alone.
    dialog.text = "11";
    browser.Next();
    EXPECT_EQ(ValueOf(browser.GetClipRecord()), 10);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(RecordBrowser, CopyReplacesTheClipRecordWithTheTypedText)
{
    TIntBrowser browser({10}, 0);
    FakeDialog dialog;
    browser.Open(&dialog);
    browser.Copy();
    dialog.text = "12";
    browser.Copy();
    EXPECT_EQ(ValueOf(browser.GetClipRecord()), 12);
    EXPECT_EQ(Values(browser), std::vector<int>{10});
}

TEST(RecordBrowser, FailedCopyKeepsThePreviousClipRecord)
{
    TIntBrowser browser({10, 20}, 0);
    FakeDialog dialog;
    browser.Open(&dialog);
    browser.Copy();
    const TBrowseRecord* clip = browser.GetClipRecord();
    const int enables = dialog.enables;

    dialog.text = "not a number";
    browser.Copy();
    EXPECT_TRUE(browser.GetHasClipRecord());
    EXPECT_EQ(browser.GetClipRecord(), clip);
    EXPECT_EQ(ValueOf(browser.GetClipRecord()), 10);
    EXPECT_EQ(dialog.enables, enables);

    dialog.text = "20";
    browser.Paste();
    EXPECT_EQ(dialog.text, "10");
}

TEST(RecordBrowser, FailedCopyOnAnEmptyClipboardLeavesItEmpty)
{
    TIntBrowser browser({10}, 0);
    FakeDialog dialog;
    browser.Open(&dialog);
    dialog.text = "";
    browser.Copy();
    EXPECT_FALSE(browser.GetHasClipRecord());
    EXPECT_EQ(browser.GetClipRecord(), nullptr);
    EXPECT_FALSE(dialog.enabled.canPaste);
}

TEST(RecordBrowser, CopyTakesARecordThatCouldNotBeStored)
{
    // Kept: Copy reads the controls but does not ask IsValid.
    TIntBrowser browser({10}, 0);
    FakeDialog dialog;
    browser.Open(&dialog);
    dialog.text = "-3";
    browser.Copy();
    EXPECT_EQ(ValueOf(browser.GetClipRecord()), -3);
}

TEST(RecordBrowser, PasteWithAnEmptyClipboardDoesNothing)
{
    BoxRecorder boxes;
    TIntBrowser browser({10}, 0);
    FakeDialog dialog;
    browser.Open(&dialog);
    dialog.text = "15";
    const int writes = dialog.writes;
    const int enables = dialog.enables;
    browser.Paste();
    EXPECT_EQ(dialog.text, "15");
    EXPECT_EQ(dialog.writes, writes);
    EXPECT_EQ(dialog.enables, enables);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(RecordBrowser, ClearKeepsTheClipboardAndAsksForOneNewRecord)
{
    TIntBrowser browser({10, 20, 30}, 2);
    FakeDialog dialog;
    browser.Open(&dialog);
    browser.Copy();
    browser.Clear();
    EXPECT_EQ(browser.newRecords, 1);
    EXPECT_TRUE(browser.deleted.empty()); // only Delete reports deletions
    EXPECT_EQ(ValueOf(browser.GetClipRecord()), 30);
    EXPECT_EQ(dialog.enabled, (EnabledState{1, 1, false, false, false, true}));
}

} // namespace
