#pragma once
// One element of the lists a record browser edits. A subclass holds the record's values and
// supplies Clone(); the base keeps the links. Each record owns the records after it, and every
// walk over a chain (cloning, destruction) is a loop, so a list of a million records neither
// recurses nor exhausts the stack.

#include <memory>

namespace kelvorn {

class TBrowseRecord
{
public:
    TBrowseRecord() = default;
    /// A copy of the values only: the copy belongs to no list. Subclasses may build Clone()
    /// on their copy constructor.
    TBrowseRecord(const TBrowseRecord&) {}
    TBrowseRecord& operator=(const TBrowseRecord&) { return *this; }
    /// Frees the records after this one, one by one.
    virtual ~TBrowseRecord();

    /// A copy of this record and of every record after it, linked both ways; the copy's head has
    /// no predecessor. nullptr when Clone() fails for the head; a chain whose Clone() fails
    /// further on ends there.
    std::unique_ptr<TBrowseRecord> CloneChain() const;
    /// A copy of this one record, belonging to no list.
    virtual std::unique_ptr<TBrowseRecord> Clone() const = 0;

    TBrowseRecord* GetNext() { return next.get(); }
    const TBrowseRecord* GetNext() const { return next.get(); }
    TBrowseRecord* GetPrev() { return prev; }
    const TBrowseRecord* GetPrev() const { return prev; }

    /// Links record in directly after this one and returns it; the records that followed this
    /// one now follow it. Builds the lists handed to TRecordBrowser::SetList. record must come
    /// alone: records already after it are freed. nullptr in, nullptr out, nothing changed.
    TBrowseRecord* InsertAfter(std::unique_ptr<TBrowseRecord> record);

private:
    friend class TRecordBrowser;
    std::unique_ptr<TBrowseRecord> next;
    TBrowseRecord* prev = nullptr;
};

} // namespace kelvorn
