// Opening and closing, the read interface, copies, lists set by hand, browsers without a list,
// a random walk against a plain vector, and lists of a million records.

#include "general/browser/IntBrowser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <random>

using namespace kelvorn;
using namespace kelvorn::testing;

namespace {

std::vector<int> ReadAll(TRecordBrowser& browser)
{
    std::vector<int> values;
    if (browser.GetRecord() == nullptr)
        return values;
    do
        values.push_back(ValueOf(browser.GetRecord()));
    while (browser.NextRecord());
    return values;
}

TEST(RecordBrowserClose, OkStoresTheShownRecordAndDetaches)
{
    BoxRecorder boxes;
    TIntBrowser browser({10, 20}, 0);
    FakeDialog dialog;
    browser.Open(&dialog);
    dialog.text = "15";
    EXPECT_TRUE(browser.CloseOk());
    EXPECT_FALSE(browser.GetIsOpen());
    EXPECT_EQ(browser.GetDialog(), nullptr);
    EXPECT_EQ(browser.GetCount(), 2);
    // The read position stood on the record that OK replaced; it follows the new one.
    EXPECT_EQ(ReadAll(browser), (std::vector<int>{15, 20}));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(RecordBrowserClose, OkWithABadRecordStaysOpenAndRewindsReading)
{
    TIntBrowser browser({10, 20, 30}, 2);
    EXPECT_TRUE(browser.NextRecord());
    FakeDialog dialog;
    browser.Open(&dialog);
    dialog.text = "-30";
    EXPECT_FALSE(browser.CloseOk());
    EXPECT_TRUE(browser.GetIsOpen());
    EXPECT_EQ(browser.GetDialog(), &dialog);
    EXPECT_EQ(browser.GetReadPosition(), browser.GetFirstRecord());
    EXPECT_EQ(dialog.text, "-30");

    dialog.text = "31";
    EXPECT_TRUE(browser.CloseOk());
    EXPECT_EQ(ReadAll(browser), (std::vector<int>{10, 20, 31}));
}

TEST(RecordBrowserClose, CancelDropsTheTypedTextButKeepsButtonEdits)
{
    BoxRecorder boxes;
    TIntBrowser browser({10, 20, 30}, 0);
    EXPECT_TRUE(browser.NextRecord());
    FakeDialog dialog;
    browser.Open(&dialog);
    browser.Delete();
    dialog.text = "99";
    browser.CloseCancel();
    EXPECT_FALSE(browser.GetIsOpen());
    EXPECT_EQ(browser.GetDialog(), nullptr);
    EXPECT_EQ(browser.GetCount(), 2);
    EXPECT_EQ(ReadAll(browser), (std::vector<int>{20, 30}));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(RecordBrowserClose, ADialogOnACopyLeavesTheOriginalAlone)
{
    TIntBrowser original({10, 20}, 1);
    TIntBrowser edited(original);
    FakeDialog dialog;
    edited.Open(&dialog);
    edited.Clear();
    dialog.text = "5";
    edited.Append();
    dialog.text = "6";
    EXPECT_TRUE(edited.CloseOk());
    EXPECT_EQ(ReadAll(edited), (std::vector<int>{5, 6}));
    EXPECT_EQ(ReadAll(original), (std::vector<int>{10, 20}));
    EXPECT_EQ(original.GetCursor(), 1);
}

TEST(RecordBrowserRead, NextRecordOnTheLastAnswersFalseAndStays)
{
    TIntBrowser browser({10, 20, 30}, 0);
    EXPECT_EQ(browser.GetCount(), 3);
    EXPECT_EQ(ValueOf(browser.GetRecord()), 10);
    EXPECT_TRUE(browser.NextRecord());
    EXPECT_TRUE(browser.NextRecord());
    EXPECT_EQ(ValueOf(browser.GetRecord()), 30);
    EXPECT_FALSE(browser.NextRecord());
    EXPECT_FALSE(browser.NextRecord());
    EXPECT_EQ(ValueOf(browser.GetRecord()), 30);
}

TEST(RecordBrowserRead, ReadingWhileOpenAssertsEachTimeButStillAnswers)
{
    BoxRecorder boxes;
    TIntBrowser browser({10, 20}, 0);
    FakeDialog dialog;
    browser.Open(&dialog);
    EXPECT_EQ(browser.GetCount(), 2);
    EXPECT_EQ(ValueOf(browser.GetRecord()), 10);
    EXPECT_TRUE(browser.NextRecord());
    std::vector<Box> shown = boxes.Take();
    ASSERT_EQ(shown.size(), 3u);
    for (const Box& box : shown) {
        EXPECT_THAT(box.text, ::testing::MatchesRegex(AssertionPattern("!IsOpen")));
        EXPECT_EQ(box.caption, "Assertion failed");
    }
}

TEST(RecordBrowserRead, DeletingTheRecordUnderTheReadPositionMovesItToTheHead)
{
    // Reading normally happens on a copy; the browser the dialog edited must not be left
    // pointing at a freed record either.
    TIntBrowser browser({10, 20, 30}, 0);
    EXPECT_TRUE(browser.NextRecord());
    FakeDialog dialog;
    browser.Open(&dialog);
    browser.Next();
    browser.Delete();
    EXPECT_EQ(dialog.text, "30");
    EXPECT_TRUE(browser.CloseOk()); // unlike Cancel, a good OK does not rewind reading
    EXPECT_EQ(ReadAll(browser), (std::vector<int>{10, 30}));

    TIntBrowser cleared({10, 20}, 1);
    EXPECT_TRUE(cleared.NextRecord());
    cleared.Open(&dialog);
    cleared.Clear();
    dialog.text = "4";
    EXPECT_TRUE(cleared.CloseOk());
    EXPECT_EQ(ReadAll(cleared), std::vector<int>{4});
}

TEST(RecordBrowserCopy, CopiesListCursorAndOpenStateButNotTheClipboard)
{
    BoxRecorder boxes;
    TIntBrowser source({10, 20, 30}, 2);
    FakeDialog dialog;
    source.Open(&dialog);
    source.Copy();
    EXPECT_TRUE(source.NextRecord());

    TIntBrowser copy(source);
    boxes.Take(); // the read above asserted: the source is open
    EXPECT_EQ(Values(copy), (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(copy.GetCursor(), 2);
    EXPECT_EQ(copy.GetListCount(), 3);
    EXPECT_TRUE(copy.GetIsOpen());
    EXPECT_FALSE(copy.GetHasClipRecord());
    EXPECT_EQ(copy.GetClipRecord(), nullptr);
    EXPECT_EQ(copy.GetReadPosition(), copy.GetFirstRecord());
    EXPECT_EQ(BrokenInvariant(copy), "");
    for (const TBrowseRecord *a = source.GetFirstRecord(), *b = copy.GetFirstRecord(); a && b;
         a = a->GetNext(), b = b->GetNext())
        EXPECT_NE(a, b);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(RecordBrowserCopy, AssignmentReplacesTheListAndDropsTheClipboard)
{
    BoxRecorder boxes;
    TIntBrowser target({1, 2, 3, 4}, 3);
    FakeDialog dialog;
    target.Open(&dialog);
    target.Copy();
    target.CloseCancel();
    EXPECT_TRUE(target.NextRecord());

    TIntBrowser source({10, 20}, 1);
    target = source;
    EXPECT_EQ(Values(target), (std::vector<int>{10, 20}));
    EXPECT_EQ(target.GetCursor(), 1);
    EXPECT_FALSE(target.GetHasClipRecord());
    EXPECT_EQ(ReadAll(target), (std::vector<int>{10, 20}));
    EXPECT_EQ(BrokenInvariant(target), "");

    TIntBrowser& self = target;
    target = self;
    EXPECT_EQ(Values(target), (std::vector<int>{10, 20}));
    EXPECT_EQ(BrokenInvariant(target), "");
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(RecordBrowserCopy, AnInconsistentSourceAssertsAndTheCopyStaysConsistent)
{
    BoxRecorder boxes;
    TIntBrowser source({10, 20, 30}, 0);
    source.ForceCursorAndCount(5, 4);
    TIntBrowser copy(source);
    std::vector<Box> shown = boxes.Take();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_THAT(shown[0].text,
                ::testing::MatchesRegex(AssertionPattern("EditBrowseRecord != NULL")));
    EXPECT_THAT(shown[1].text, ::testing::MatchesRegex(AssertionPattern("Count == other.Count")));
    EXPECT_EQ(copy.GetCursor(), 2);
    EXPECT_EQ(copy.GetListCount(), 3);
    EXPECT_EQ(BrokenInvariant(copy), "");
}

TEST(RecordBrowserSetList, AnIndexOutsideTheListStopsAtItsEnd)
{
    struct Case
    {
        int32_t index;
        int32_t expectCursor;
        size_t expectBoxes;
    };
    for (const Case& c :
         {Case{0, 0, 0}, Case{3, 3, 0}, Case{4, 3, 1}, Case{1000, 3, 1}, Case{-1, 0, 1}}) {
        SCOPED_TRACE(c.index);
        BoxRecorder boxes;
        TIntBrowser browser({10, 20, 30, 40}, c.index);
        EXPECT_EQ(browser.GetCursor(), c.expectCursor);
        EXPECT_EQ(BrokenInvariant(browser), "");
        std::vector<Box> shown = boxes.Take();
        ASSERT_EQ(shown.size(), c.expectBoxes);
        if (!shown.empty()) {
            EXPECT_THAT(shown[0].text,
                        ::testing::MatchesRegex(AssertionPattern("EditBrowseRecord != NULL")));
        }
    }
}

TEST(RecordBrowserSetList, ReplacesTheFormerListAndReadsFromTheHead)
{
    BoxRecorder boxes;
    TIntBrowser browser({1, 2, 3}, 2);
    EXPECT_TRUE(browser.NextRecord());
    browser.SetList(MakeChain({5, 6, 7}), 1);
    EXPECT_EQ(Values(browser), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(browser.GetCursor(), 1);
    EXPECT_EQ(BrokenInvariant(browser), "");
    EXPECT_EQ(ReadAll(browser), (std::vector<int>{5, 6, 7}));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(RecordBrowserNoList, EveryButtonSurvivesAndClearMakesOneRecord)
{
    BoxRecorder boxes;
    TIntBrowser browser{TIntBrowser::NoList{}};
    EXPECT_EQ(browser.GetCount(), 0);
    EXPECT_EQ(browser.GetRecord(), nullptr);
    EXPECT_FALSE(browser.NextRecord());
    EXPECT_TRUE(boxes.Boxes().empty());

    FakeDialog dialog;
    browser.Open(&dialog);
    dialog.text = "3";
    browser.First();
    browser.Last();
    browser.Insert();
    browser.Append();
    browser.Delete();
    browser.Paste();
    EXPECT_EQ(browser.GetListCount(), 0);
    EXPECT_EQ(browser.GetFirstRecord(), nullptr);
    std::vector<Box> shown = boxes.Take();
    EXPECT_EQ(shown.size(), 5u); // Open, then First, Last, Insert and Append
    for (const Box& box : shown)
        EXPECT_THAT(box.text,
                    ::testing::MatchesRegex(AssertionPattern("EditBrowseRecord != NULL")));

    browser.Clear();
    EXPECT_EQ(Values(browser), std::vector<int>{7});
    EXPECT_EQ(dialog.text, "7");
    EXPECT_EQ(BrokenInvariant(browser), "");
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(RecordBrowserNoDialog, ButtonsThatNeedTheControlsAssertAndChangeNothing)
{
    BoxRecorder boxes;
    TIntBrowser browser({10, 20}, 0);
    browser.First();
    browser.Copy();
    EXPECT_FALSE(browser.CloseOk());
    std::vector<Box> shown = boxes.Take();
    ASSERT_EQ(shown.size(), 3u);
    for (const Box& box : shown)
        EXPECT_THAT(box.text, ::testing::MatchesRegex(AssertionPattern("Dialog != NULL")));
    EXPECT_FALSE(browser.GetHasClipRecord());
    EXPECT_EQ(Values(browser), (std::vector<int>{10, 20}));

    // Delete needs no controls to read; showing the next record is skipped quietly.
    browser.Delete();
    EXPECT_EQ(Values(browser), std::vector<int>{20});
    EXPECT_TRUE(boxes.Boxes().empty());
}

// A random walk over the buttons, checked against a vector that does the same by hand.
TEST(RecordBrowserWalk, AgreesWithAPlainVectorOverThousandsOfPresses)
{
    BoxRecorder boxes;
    TIntBrowser browser({0}, 0);
    FakeDialog dialog;
    browser.Open(&dialog);
    std::vector<int> model{0};
    size_t cursor = 0;
    std::optional<int> clip;
    std::mt19937 random(20240611u);

    for (int step = 0; step < 4000; ++step) {
        const unsigned pick = random() % 12;
        const int typedValue = static_cast<int>(random() % 1000) - 100; // some invalid
        const bool typeGarbage = random() % 10 == 0;
        dialog.text = typeGarbage ? "?" : std::to_string(typedValue);
        const bool storable = !typeGarbage && typedValue >= 0;
        auto store = [&] {
            if (storable)
                model[cursor] = typedValue;
            return storable;
        };
        switch (pick) {
        case 0:
            browser.First();
            if (store())
                cursor = 0;
            break;
        case 1:
            if (cursor == 0)
                break;
            browser.Previous();
            if (store())
                --cursor;
            break;
        case 2:
        case 3:
            if (cursor + 1 == model.size())
                break;
            browser.Next();
            if (store())
                ++cursor;
            break;
        case 4:
            browser.Last();
            if (store())
                cursor = model.size() - 1;
            break;
        case 5:
            browser.Insert();
            if (store())
                model.insert(model.begin() + static_cast<std::ptrdiff_t>(cursor), kDefaultValue);
            break;
        case 6:
        case 7:
            browser.Append();
            if (store())
                model.insert(model.begin() + static_cast<std::ptrdiff_t>(++cursor), kDefaultValue);
            break;
        case 8:
        case 9:
            browser.Delete();
            if (model.size() > 1) {
                model.erase(model.begin() + static_cast<std::ptrdiff_t>(cursor));
                if (cursor == model.size())
                    --cursor;
            }
            break;
        case 10:
            browser.Copy();
            if (!typeGarbage)
                clip = typedValue;
            break;
        case 11:
            if (step % 50 == 0) {
                browser.Clear();
                model.assign(1, kDefaultValue);
                cursor = 0;
            } else {
                browser.Paste();
            }
            break;
        }
        ASSERT_EQ(Values(browser), model) << "step " << step;
        ASSERT_EQ(browser.GetCursor(), static_cast<int32_t>(cursor)) << "step " << step;
        ASSERT_EQ(BrokenInvariant(browser), "") << "step " << step;
        ASSERT_EQ(browser.GetHasClipRecord(), clip.has_value());
        if (clip) {
            ASSERT_EQ(ValueOf(browser.GetClipRecord()), *clip);
        }
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(BrowseRecord, CloneChainCopiesValuesAndLinksBothWays)
{
    auto chain = MakeChain({1, 2, 3});
    std::unique_ptr<TBrowseRecord> clone = chain->GetNext()->CloneChain();
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->GetPrev(), nullptr);
    std::vector<int> values;
    for (const TBrowseRecord* r = clone.get(); r != nullptr; r = r->GetNext()) {
        values.push_back(ValueOf(r));
        if (r->GetNext() != nullptr) {
            EXPECT_EQ(r->GetNext()->GetPrev(), r);
        }
    }
    EXPECT_EQ(values, (std::vector<int>{2, 3}));
    EXPECT_NE(clone.get(), chain->GetNext());
}

TEST(BrowseRecord, InsertAfterSplicesIntoTheMiddle)
{
    auto chain = MakeChain({1, 3});
    TBrowseRecord* two = chain->InsertAfter(std::make_unique<TIntRecord>(2));
    EXPECT_EQ(two->GetPrev(), chain.get());
    EXPECT_EQ(ValueOf(two->GetNext()), 3);
    EXPECT_EQ(two->GetNext()->GetPrev(), two);
    EXPECT_EQ(chain->InsertAfter(nullptr), nullptr);
    EXPECT_EQ(chain->GetNext(), two);
}

constexpr int kMillion = 1000000;

TEST(RecordBrowserMillion, DestructionCopyClearAndWalksDoNotRecurse)
{
    std::vector<int> values(kMillion);
    for (int i = 0; i < kMillion; ++i)
        values[static_cast<size_t>(i)] = i;
    auto browser = std::make_unique<TIntBrowser>(values, kMillion - 1);
    EXPECT_EQ(browser->GetCursor(), kMillion - 1);
    EXPECT_EQ(ValueOf(browser->GetEditBrowseRecord()), kMillion - 1);

    TIntBrowser copy(*browser);
    EXPECT_EQ(copy.GetListCount(), kMillion);
    EXPECT_EQ(ValueOf(copy.GetEditBrowseRecord()), kMillion - 1);

    FakeDialog dialog;
    copy.Open(&dialog);
    copy.First();
    EXPECT_EQ(dialog.text, "0");
    copy.Clear();
    EXPECT_EQ(copy.GetListCount(), 1);

    browser.reset();
    std::unique_ptr<TBrowseRecord> chain = MakeChain(values);
    chain.reset();
}

} // namespace
