#pragma once
// A record browser lets a dialog edit an ordered list of like records one record at a time: the
// dialog shows the record under the cursor, and its buttons move the cursor, insert, append,
// delete, copy to the browser's own clipboard, paste and clear. Every move first stores the
// shown record; a record that does not parse or is not valid keeps the cursor where it is, so
// the user's text stays for correction. After the dialog has closed, the edited list is read
// with GetCount, GetRecord and NextRecord.
//
// A subclass supplies the record type (NewRecord) and may check records (IsValid) or follow
// deletions (RecordDeleted). The control hooks forward to the attached RecordBrowserView;
// a subclass that talks to its dialog in another way overrides them.

#include "general/browser/BrowseRecord.h"
#include "general/browser/RecordBrowserView.h"

#include <cstdint>
#include <memory>

namespace kelvorn {

class TRecordBrowser
{
public:
    /// No list, Cursor 0, Count 0, no clipboard record, closed.
    TRecordBrowser() = default;
    /// Clones the list; Cursor, IsOpen and the attached dialog are copied, the clipboard is
    /// not, and reading starts at the first record.
    TRecordBrowser(const TRecordBrowser& other);
    TRecordBrowser& operator=(const TRecordBrowser& other);
    virtual ~TRecordBrowser() = default;

    /// Takes ownership of the list headed by first (any former list is freed), counts it, puts
    /// the cursor on the record at index and shows it. Reading starts at the first record.
    void SetList(std::unique_ptr<TBrowseRecord> first, int32_t index);

    // Opening and closing.
    /// Stores the shown record; on success forgets the dialog, closes and answers true. On
    /// failure stays open, moves the read position to the first record and answers false.
    virtual bool CloseOk();
    /// Closes without storing, forgets the dialog, reading starts at the first record.
    virtual void CloseCancel();
    /// Attaches dialog, opens and shows the record under the cursor.
    virtual void Open(RecordBrowserView* dialog);

    // Button operations; each dialog button calls exactly one.
    void First();
    void Previous();
    void Next();
    void Last();
    /// Stores, then puts a new record before the shown one; the cursor index stays.
    void Insert();
    /// Stores, then puts a new record after the shown one and moves the cursor onto it.
    void Append();
    /// Without storing, removes the shown record; the one after it, or else the one before it,
    /// is shown. Does nothing when only one record is left.
    void Delete();
    /// Reads the controls onto the clipboard. A failed read keeps the former clipboard record.
    void Copy();
    /// Shows the clipboard record in the controls; the list changes only when it is stored.
    /// Does nothing when the clipboard is empty.
    void Paste();
    /// Without storing, replaces the whole list by one new record.
    void Clear();

    /// Shows the record under the cursor and enables the buttons.
    void ShowCursor();
    /// Enables the buttons for the current Count, Cursor and clipboard.
    void UpdateControls();

    // Read interface, for a closed browser only.
    int32_t GetCount() const;
    /// The record at the read position; nullptr for a browser without a list.
    const TBrowseRecord* GetRecord() const;
    /// Moves the read position to the next record. false, position unchanged, when there is
    /// none.
    bool NextRecord();

    // State, for the dialog and for checks; these do not assert.
    int32_t GetCursor() const { return Cursor; }
    int32_t GetListCount() const { return Count; }
    bool GetHasClipRecord() const { return HasClipRecord; }
    bool GetIsOpen() const { return IsOpen; }
    const TBrowseRecord* GetFirstRecord() const { return FirstRecord.get(); }
    const TBrowseRecord* GetEditBrowseRecord() const { return EditBrowseRecord; }
    const TBrowseRecord* GetClipRecord() const { return ClipRecord.get(); }
    const TBrowseRecord* GetReadPosition() const { return ReadPosition; }
    RecordBrowserView* GetDialog() const { return Dialog; }

protected:
    virtual void DetachAfterOk();
    virtual void DetachAfterCancel();
    virtual void AttachDialog(RecordBrowserView* dialog);
    /// Reads the controls into a new record which, when valid, takes the place of the shown one
    /// in the list. false when the controls do not parse or the record is not valid.
    virtual bool Store();
    virtual bool ReadControls(std::unique_ptr<TBrowseRecord>& record);
    /// Does nothing without a dialog or without a record.
    virtual void WriteControls(const TBrowseRecord* record);
    virtual void ClearControls();
    /// A new record with the default values.
    virtual std::unique_ptr<TBrowseRecord> NewRecord() = 0;
    /// Does nothing without a dialog.
    virtual void EnableControls(int32_t count, int32_t position, bool canPrevious, bool canNext,
                                bool canDelete, bool canPaste);
    /// Called by Delete with the unlinked record just before it is freed.
    virtual void RecordDeleted(TBrowseRecord* record) {}
    virtual bool IsValid(const TBrowseRecord* record) { return true; }
    /// Walks the cursor to index, shows that record and enables the buttons. An index beyond
    /// either end stops the walk at that end with an assertion box.
    virtual void GoTo(int32_t index);

    int32_t Cursor = 0;
    int32_t Count = 0;
    bool HasClipRecord = false;
    bool IsOpen = false;
    TBrowseRecord* ReadPosition = nullptr;
    std::unique_ptr<TBrowseRecord> FirstRecord;
    TBrowseRecord* EditBrowseRecord = nullptr;
    std::unique_ptr<TBrowseRecord> ClipRecord;
    RecordBrowserView* Dialog = nullptr; // not owned

private:
    /// Takes the other's list, cursor and open state; what copy and assignment share.
    void CopyListFrom(const TRecordBrowser& other);
    /// Puts record in the place of EditBrowseRecord and frees the old one.
    void ReplaceEditRecord(std::unique_ptr<TBrowseRecord> record);
    /// Links record in before EditBrowseRecord.
    void LinkBeforeEditRecord(std::unique_ptr<TBrowseRecord> record);
    /// Unlinks EditBrowseRecord and hands it over.
    std::unique_ptr<TBrowseRecord> UnlinkEditRecord();
    /// Store() followed, on success, by GoTo(index).
    void StoreAndGoTo(int32_t index);
    /// false, with the assertion box, when there is no shown record.
    bool HasEditRecord(int line) const;
};

} // namespace kelvorn
