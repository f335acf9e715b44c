// The record browser over records of one int, edited through a fake dialog whose controls are
// one text field; negative values do not store.

#include "general/browser/RecordBrowser.h"
#include "general/values/NoBoxes.h"

#include <gtest/gtest.h>

#include <charconv>

using namespace kelvorn;

namespace {

constexpr int defaultValue = 7;
const char* const unitFile = "RecordBrowser.cpp";

class TIntRecord final : public TBrowseRecord
{
public:
    explicit TIntRecord(int v) : value(v) {}
    std::unique_ptr<TBrowseRecord> Clone() const override
    {
        return std::make_unique<TIntRecord>(*this);
    }
    int value;
};

int ValueOf(const TBrowseRecord* record)
{
    return static_cast<const TIntRecord*>(record)->value;
}

std::unique_ptr<TBrowseRecord> MakeChain(const std::vector<int>& values)
{
    std::unique_ptr<TBrowseRecord> head;
    TBrowseRecord* tail = nullptr;
    for (int v : values)
        tail = tail ? tail->InsertAfter(std::make_unique<TIntRecord>(v))
                    : (head = std::make_unique<TIntRecord>(v)).get();
    return head;
}

class FakeDialog final : public RecordBrowserView
{
public:
    bool ReadControls(std::unique_ptr<TBrowseRecord>& record) override
    {
        int value = 0;
        const char* end = text.data() + text.size();
        auto [ptr, error] = std::from_chars(text.data(), end, value);
        if (text.empty() || error != std::errc() || ptr != end)
            return false;
        record = std::make_unique<TIntRecord>(value);
        return true;
    }
    void WriteControls(const TBrowseRecord& record) override
    {
        text = std::to_string(ValueOf(&record));
    }
    void ClearControls() override { text.clear(); }
    /// As "count,position" and a letter for each enabled button: Previous, Next, Delete, paste.
    void EnableControls(int32_t count, int32_t position, bool canPrevious, bool canNext,
                        bool canDelete, bool canPaste) override
    {
        enabled = std::to_string(count) + "," + std::to_string(position) + " " +
                  (canPrevious ? "P" : ".") + (canNext ? "N" : ".") + (canDelete ? "D" : ".") +
                  (canPaste ? "V" : ".");
    }
    std::string text;
    std::string enabled;
};

class TIntBrowser final : public TRecordBrowser
{
public:
    TIntBrowser() = default;
    TIntBrowser(const std::vector<int>& values, int32_t index)
    {
        SetList(MakeChain(values), index);
    }
    /// Breaks the invariants on purpose, to see what a copy makes of them.
    void ForceCursorAndCount(int32_t cursor, int32_t count) { Cursor = cursor, Count = count; }
    std::vector<int> deleted;

protected:
    std::unique_ptr<TBrowseRecord> NewRecord() override
    {
        return std::make_unique<TIntRecord>(defaultValue);
    }
    bool IsValid(const TBrowseRecord* record) override { return ValueOf(record) >= 0; }
    void RecordDeleted(TBrowseRecord* record) override { deleted.push_back(ValueOf(record)); }
};

/// The values, "@" the cursor, and whether it is open and holds a copied record.
std::string State(const TRecordBrowser& browser)
{
    std::string state;
    for (const TBrowseRecord* r = browser.GetFirstRecord(); r != nullptr; r = r->GetNext())
        state += std::to_string(ValueOf(r)) + " ";
    return state + "@" + std::to_string(browser.GetCursor()) +
           (browser.GetIsOpen() ? " open" : "") + (browser.GetHasClipRecord() ? " clip" : "");
}

/// What the read interface gives, from the read position on.
std::vector<int> ReadAll(TRecordBrowser& browser)
{
    std::vector<int> values;
    for (bool more = browser.GetRecord() != nullptr; more; more = browser.NextRecord())
        values.push_back(ValueOf(browser.GetRecord()));
    return values;
}

/// Empty when the links, Count, Cursor and the shown record agree; else what is wrong.
std::string BrokenInvariant(const TRecordBrowser& browser)
{
    int32_t count = 0;
    const TBrowseRecord *atCursor = nullptr, *previous = nullptr;
    for (const TBrowseRecord* r = browser.GetFirstRecord(); r; previous = r, r = r->GetNext()) {
        if (r->GetPrev() != previous)
            return "back link broken at index " + std::to_string(count);
        atCursor = count++ == browser.GetCursor() ? r : atCursor;
    }
    if (count != browser.GetListCount())
        return "Count " + std::to_string(browser.GetListCount()) + " for " + std::to_string(count);
    return atCursor == browser.GetEditBrowseRecord() ? "" : "the shown record is not the cursor's";
}

using RecordBrowser = kelvorn::testing::NoBoxes<>;

/// Presses the buttons named by letters: First, Previous, Next, Last, Insert, Append, Delete,
/// Clear (X), Copy (C) and paste (V).
void Press(TRecordBrowser& browser, const std::string& script)
{
    const std::string letters = "FPNLIADXCV";
    void (TRecordBrowser::*const buttons[])() = {&TRecordBrowser::First,  &TRecordBrowser::Previous,
                                                 &TRecordBrowser::Next,   &TRecordBrowser::Last,
                                                 &TRecordBrowser::Insert, &TRecordBrowser::Append,
                                                 &TRecordBrowser::Delete, &TRecordBrowser::Clear,
                                                 &TRecordBrowser::Copy,   &TRecordBrowser::Paste};
    for (char button : script)
        (browser.*buttons[letters.find(button)])();
}

// Buttons with the user's text stored, refused or ignored: the list, the cursor, the dialog's
// field and its enabled buttons afterwards, and the records Delete reported (Clear reports none).
TEST_F(RecordBrowser, EachButton)
{
    struct Row
    {
        std::vector<int> values;
        int32_t cursor;
        const char* typed; // over the shown record; nullptr: nothing typed
        std::string buttons;
        std::string expected; // the values, "@" the cursor, [the field] and the enabled buttons
        std::vector<int> deleted = {};
        const char* assertion = nullptr; // a disabled button pressed anyway
    };
    // clang-format off
    const Row rows[] = {
        // moves store the typed text first
        {{10, 20, 30}, 2, "33", "F", "10 20 33 @0 open [10] 3,1 .ND."},
        {{10, 20, 30}, 1, "21", "P", "10 21 30 @0 open [10] 3,1 .ND."},
        {{10, 20, 30}, 1, "22", "N", "10 22 30 @2 open [30] 3,3 P.D."},
        {{10, 20, 30}, 0, "11", "L", "11 20 30 @2 open [30] 3,3 P.D."},
        {{10}, 0, "5", "F", "5 @0 open [5] 1,1 ...."},
        {{1, 2, 3, 4}, 1, nullptr, "N", "1 2 3 4 @2 open [3] 4,3 PND."},
        // a refused record keeps the cursor and the user's text
        {{10, 20, 30}, 2, "abc", "F", "10 20 30 @2 open [abc] 3,3 P.D."},
        {{10, 20, 30}, 1, "-5", "N", "10 20 30 @1 open [-5] 3,2 PND."},
        {{10, 20, 30}, 1, "", "P", "10 20 30 @1 open [] 3,2 PND."},
        {{10, 20}, 0, "x", "I", "10 20 @0 open [x] 2,1 .ND."},
        {{10, 20}, 1, "-1", "A", "10 20 @1 open [-1] 2,2 P.D."},
        // Insert and Append store, add a default record and clear the controls
        {{10, 20, 30}, 0, "12", "I", "7 12 20 30 @0 open [] 4,1 .ND."},
        {{10, 20, 30}, 2, "31", "I", "10 20 7 31 @2 open [] 4,3 PND."},
        {{10, 20, 30}, 2, "32", "A", "10 20 32 7 @3 open [] 4,4 P.D."},
        {{10, 20, 30}, 0, nullptr, "A", "10 7 20 30 @1 open [] 4,2 PND."},
        // Delete and Clear do not store
        {{10, 20, 30}, 1, "99", "D", "10 30 @1 open [30] 2,2 P.D.", {20}},
        {{10, 20, 30}, 0, "99", "D", "20 30 @0 open [20] 2,1 .ND.", {10}},
        {{10, 20, 30}, 2, nullptr, "D", "10 20 @1 open [20] 2,2 P.D.", {30}},
        {{10, 20}, 1, nullptr, "DD", "10 @0 open [10] 1,1 ....", {20}},
        {{10}, 0, "99", "D", "10 @0 open [99] 1,1 ...."},
        {{10, 20, 30}, 1, "99", "X", "7 @0 open [7] 1,1 ...."},
        // a pasted record is stored by the next move; Clear keeps the clipboard
        {{10, 20}, 0, nullptr, "V", "10 20 @0 open [10] 2,1 .ND."},
        {{10, 20}, 0, nullptr, "CNV", "10 20 @1 open clip [10] 2,2 P.DV"},
        {{10, 20}, 0, nullptr, "CNVP", "10 10 @0 open clip [10] 2,1 .NDV"},
        {{10, 20}, 0, "-3", "CX", "7 @0 open clip [7] 1,1 ...V"},
        {{10, 20, 30}, 0, "55", "P", "10 20 30 @0 open [55] 3,1 .ND.", {}, "Cursor > 0"},
        {{10, 20, 30}, 2, "55", "N", "10 20 30 @2 open [55] 3,3 P.D.", {}, "Cursor < Count - 1"}};
    // clang-format on
    for (const Row& r : rows) {
        SCOPED_TRACE(r.buttons + " typed " + (r.typed ? r.typed : "nothing"));
        TIntBrowser browser(r.values, r.cursor);
        FakeDialog dialog;
        browser.Open(&dialog);
        EXPECT_EQ(dialog.text, std::to_string(r.values[r.cursor]));
        if (r.typed)
            dialog.text = r.typed;
        Press(browser, r.buttons);
        EXPECT_EQ(State(browser) + " [" + dialog.text + "] " + dialog.enabled, r.expected);
        EXPECT_EQ(BrokenInvariant(browser), "");
        EXPECT_EQ(browser.deleted, r.deleted);
        EXPECT_EQ(browser.GetDialog(), &dialog);
        EXPECT_TRUE(Asserted(unitFile, r.assertion ? std::vector<std::string>{r.assertion}
                                                   : std::vector<std::string>{}));
    }
}

TEST_F(RecordBrowser, ClosingAndReading)
{
    // OK stores the shown record; reading follows the record that took its place.
    TIntBrowser browser({10, 20}, 0);
    FakeDialog dialog;
    browser.Open(&dialog);
    dialog.text = "15";
    EXPECT_TRUE(browser.CloseOk());
    EXPECT_EQ(std::tuple(State(browser), browser.GetDialog(), browser.GetCount()),
              std::tuple("15 20 @0", nullptr, 2));
    EXPECT_EQ(ReadAll(browser), (std::vector<int>{15, 20}));
    EXPECT_FALSE(browser.NextRecord());
    EXPECT_EQ(ValueOf(browser.GetRecord()), 20);

    // A bad record keeps it open and rewinds reading.
    TIntBrowser bad({10, 20, 30}, 2);
    EXPECT_TRUE(bad.NextRecord());
    bad.Open(&dialog);
    dialog.text = "-30";
    EXPECT_FALSE(bad.CloseOk());
    EXPECT_EQ(std::tuple(bad.GetDialog(), bad.GetReadPosition(), dialog.text),
              std::tuple(&dialog, bad.GetFirstRecord(), "-30"));

    // Cancel drops the typed text but keeps what the buttons did; a deleted record under the
    // read position moves it to the head.
    TIntBrowser cancelled({10, 20, 30}, 0);
    EXPECT_TRUE(cancelled.NextRecord());
    cancelled.Open(&dialog);
    Press(cancelled, "ND");
    dialog.text = "99";
    cancelled.CloseCancel();
    EXPECT_EQ(cancelled.GetDialog(), nullptr);
    EXPECT_EQ(ReadAll(cancelled), (std::vector<int>{10, 30}));

    // Reading while open asserts each time but still answers.
    bad.GetCount();
    bad.GetRecord();
    bad.NextRecord();
    EXPECT_TRUE(Asserted(unitFile, {"!IsOpen", "!IsOpen", "!IsOpen"}));
}

TEST_F(RecordBrowser, CopiesTakeListCursorAndOpenStateButNotTheClipboard)
{
    TIntBrowser source({10, 20, 30}, 2);
    FakeDialog dialog;
    source.Open(&dialog);
    source.Copy();
    TIntBrowser copy(source);
    EXPECT_EQ(State(copy), "10 20 30 @2 open");
    EXPECT_EQ(std::tuple(copy.GetClipRecord(), copy.GetReadPosition(), BrokenInvariant(copy)),
              std::tuple(nullptr, copy.GetFirstRecord(), ""));
    EXPECT_NE(copy.GetFirstRecord()->GetNext(), source.GetFirstRecord()->GetNext());
    // A dialog on the copy leaves the original alone.
    copy.Clear();
    dialog.text = "5";
    EXPECT_TRUE(copy.CloseOk());
    EXPECT_EQ(State(source), "10 20 30 @2 open clip");

    TIntBrowser target({1, 2, 3, 4}, 3);
    target.Open(&dialog);
    target.Copy();
    target.CloseCancel();
    EXPECT_TRUE(target.NextRecord());
    target = TIntBrowser({10, 20}, 1);
    EXPECT_EQ(State(target), "10 20 @1");
    EXPECT_EQ(ReadAll(target), (std::vector<int>{10, 20}));
    TIntBrowser& self = target;
    target = self;
    EXPECT_EQ(State(target) + BrokenInvariant(target), "10 20 @1");

    // An inconsistent source asserts and the copy stays consistent.
    TIntBrowser broken({10, 20, 30}, 0);
    broken.ForceCursorAndCount(5, 4);
    TIntBrowser repaired(broken);
    EXPECT_TRUE(Asserted(unitFile, {"EditBrowseRecord != NULL", "Count == other.Count"}));
    EXPECT_EQ(State(repaired) + BrokenInvariant(repaired), "10 20 30 @2");
}

TEST_F(RecordBrowser, SetListStopsAnIndexOutsideTheListAtItsEnd)
{
    for (auto [index, cursor, boxes] :
         {std::tuple(0, 0, 0), std::tuple(3, 3, 0), std::tuple(4, 3, 1), std::tuple(1000, 3, 1),
          std::tuple(-1, 0, 1)}) {
        TIntBrowser browser({1, 2, 3}, 2);
        EXPECT_TRUE(browser.NextRecord());
        browser.SetList(MakeChain({10, 20, 30, 40}), index);
        EXPECT_EQ(State(browser) + BrokenInvariant(browser),
                  "10 20 30 40 @" + std::to_string(cursor));
        EXPECT_EQ(ReadAll(browser), (std::vector<int>{10, 20, 30, 40}));
        EXPECT_TRUE(Asserted(unitFile, std::vector<std::string>(boxes, "EditBrowseRecord != NULL")))
            << index;
    }
}

TEST_F(RecordBrowser, WithoutAListOrADialogButtonsAssertAndChangeNothing)
{
    TIntBrowser empty;
    EXPECT_EQ(std::tuple(empty.GetCount(), empty.GetRecord(), empty.NextRecord()),
              std::tuple(0, nullptr, false));
    FakeDialog dialog;
    empty.Open(&dialog);
    dialog.text = "3";
    Press(empty, "FLIADV");
    EXPECT_EQ(empty.GetFirstRecord(), nullptr);
    EXPECT_TRUE(Asserted(unitFile, std::vector<std::string>(5, "EditBrowseRecord != NULL")));
    empty.Clear();
    EXPECT_EQ(State(empty) + " [" + dialog.text + "]", "7 @0 open [7]");

    TIntBrowser closed({10, 20}, 0);
    Press(closed, "FC");
    EXPECT_FALSE(closed.CloseOk());
    EXPECT_TRUE(Asserted(unitFile, std::vector<std::string>(3, "Dialog != NULL")));
    // Delete needs no controls to read; showing the next record is skipped quietly.
    closed.Delete();
    EXPECT_EQ(State(closed), "20 @0");
}

TEST(BrowseRecord, AMillionRecordsAreCopiedAndFreedWithoutRecursion)
{
    std::vector<int> values(1000000);
    for (int i = 0; i < 1000000; ++i)
        values[static_cast<size_t>(i)] = i;
    auto browser = std::make_unique<TIntBrowser>(values, 999999);
    EXPECT_EQ(ValueOf(browser->GetEditBrowseRecord()), 999999);
    TIntBrowser copy(*browser);
    EXPECT_EQ(copy.GetListCount(), 1000000);
    FakeDialog dialog;
    copy.Open(&dialog);
    copy.First();
    EXPECT_EQ(dialog.text, "0");
    copy.Clear();
    browser.reset();
    MakeChain(values).reset();
}

} // namespace
