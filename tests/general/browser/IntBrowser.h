#pragma once
// A browser over records of one int, a fake dialog whose controls are one text field, and a
// recorder for the boxes that the browser's assertions show.

#include "general/Messages.h"
#include "general/Services.h"
#include "general/browser/RecordBrowser.h"

#include <charconv>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelvorn::testing {

constexpr int kDefaultValue = 7;

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

inline int ValueOf(const TBrowseRecord* record)
{
    return static_cast<const TIntRecord*>(record)->value;
}

/// A list of records with the given values, linked with InsertAfter.
inline std::unique_ptr<TBrowseRecord> MakeChain(const std::vector<int>& values)
{
    if (values.empty())
        return nullptr;
    auto head = std::make_unique<TIntRecord>(values[0]);
    TBrowseRecord* tail = head.get();
    for (size_t i = 1; i < values.size(); ++i)
        tail = tail->InsertAfter(std::make_unique<TIntRecord>(values[i]));
    return head;
}

struct EnabledState
{
    int32_t count = -1;
    int32_t position = -1;
    bool canPrevious = false;
    bool canNext = false;
    bool canDelete = false;
    bool canPaste = false;
    bool operator==(const EnabledState&) const = default;
};

/// The dialog: one text field that holds the record's value as the user typed it.
class FakeDialog final : public RecordBrowserView
{
public:
    bool ReadControls(std::unique_ptr<TBrowseRecord>& record) override
    {
        ++reads;
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
        ++writes;
        text = std::to_string(ValueOf(&record));
    }
    void ClearControls() override
    {
        ++clears;
        text.clear();
    }
    void EnableControls(int32_t count, int32_t position, bool canPrevious, bool canNext,
                        bool canDelete, bool canPaste) override
    {
        ++enables;
        enabled = {count, position, canPrevious, canNext, canDelete, canPaste};
    }

    std::string text;
    EnabledState enabled;
    int reads = 0;
    int writes = 0;
    int clears = 0;
    int enables = 0;
};

/// Records of one int; negative values are not valid.
class TIntBrowser final : public TRecordBrowser
{
public:
    struct NoList
    {
    };
    explicit TIntBrowser(NoList) {}
    TIntBrowser() { SetList(std::make_unique<TIntRecord>(kDefaultValue), 0); }
    TIntBrowser(const std::vector<int>& values, int32_t index)
    {
        SetList(MakeChain(values), index);
    }

    /// Breaks the invariants on purpose, to see what a copy makes of them.
    void ForceCursorAndCount(int32_t cursor, int32_t count)
    {
        Cursor = cursor;
        Count = count;
    }

    std::vector<int> deleted;
    int newRecords = 0;

protected:
    std::unique_ptr<TBrowseRecord> NewRecord() override
    {
        ++newRecords;
        return std::make_unique<TIntRecord>(kDefaultValue);
    }
    bool IsValid(const TBrowseRecord* record) override { return ValueOf(record) >= 0; }
    void RecordDeleted(TBrowseRecord* record) override { deleted.push_back(ValueOf(record)); }
};

/// The values of the browser's list, front to back.
inline std::vector<int> Values(const TRecordBrowser& browser)
{
    std::vector<int> values;
    for (const TBrowseRecord* r = browser.GetFirstRecord(); r != nullptr; r = r->GetNext())
        values.push_back(ValueOf(r));
    return values;
}

/// Empty when the links, Count, Cursor and the shown record agree; else what is wrong.
inline std::string BrokenInvariant(const TRecordBrowser& browser)
{
    const TBrowseRecord* first = browser.GetFirstRecord();
    if (first != nullptr && first->GetPrev() != nullptr)
        return "head has a predecessor";
    int32_t count = 0;
    const TBrowseRecord* atCursor = nullptr;
    for (const TBrowseRecord* r = first; r != nullptr; r = r->GetNext()) {
        if (r->GetNext() != nullptr && r->GetNext()->GetPrev() != r)
            return "back link broken after index " + std::to_string(count);
        if (count == browser.GetCursor())
            atCursor = r;
        ++count;
    }
    if (count != browser.GetListCount())
        return "Count " + std::to_string(browser.GetListCount()) + " but " + std::to_string(count) +
               " records";
    if (count > 0 && (browser.GetCursor() < 0 || browser.GetCursor() >= count))
        return "Cursor out of range";
    if (atCursor != browser.GetEditBrowseRecord())
        return "EditBrowseRecord is not the record at Cursor";
    return {};
}

struct Box
{
    std::string text;
    std::string caption;
};

/// Installs itself for its lifetime and records every box.
class BoxRecorder final : public MessageSink
{
public:
    BoxRecorder() : previous(InstallService<MessageSink>(this)) {}
    ~BoxRecorder() override { InstallService<MessageSink>(previous); }
    MsgAnswer Show(const std::string& text, const std::string& caption, MsgIcon,
                   MsgButtons) override
    {
        boxes.push_back({text, caption});
        return MsgAnswer::Ok;
    }
    /// Hands over the boxes shown so far and forgets them.
    std::vector<Box> Take()
    {
        std::vector<Box> taken;
        taken.swap(boxes);
        return taken;
    }
    const std::vector<Box>& Boxes() const { return boxes; }

private:
    MessageSink* previous;
    std::vector<Box> boxes;
};

/// The assertion box text for condition, from the browser's source, any line.
inline std::string AssertionPattern(const std::string& condition)
{
    return "^In RecordBrowser\\.cpp line [0-9]+: Condition \"" + condition + "\"failed!$";
}

} // namespace kelvorn::testing
