#include "general/browser/RecordBrowser.h"

#include "general/Assert.h"

#include <cstddef>

namespace kelvorn {

namespace {

const char* const kEditRecordCondition = "EditBrowseRecord != NULL";

} // namespace

TRecordBrowser::TRecordBrowser(const TRecordBrowser& other)
{
    CopyListFrom(other);
}

TRecordBrowser& TRecordBrowser::operator=(const TRecordBrowser& other)
{
    if (this != &other)
        CopyListFrom(other);
    return *this;
}

void TRecordBrowser::CopyListFrom(const TRecordBrowser& other)
{
    FirstRecord = other.FirstRecord ? other.FirstRecord->CloneChain() : nullptr;
    Cursor = other.Cursor;
    IsOpen = other.IsOpen;
    Dialog = other.Dialog;
    HasClipRecord = false;
    ClipRecord.reset();
    ReadPosition = FirstRecord.get();

    // Find the shown record again; an inconsistent source stops at the end of the list. A
    // browser without a list copies quietly.
    EditBrowseRecord = FirstRecord.get();
    int32_t reached = 0;
    while (EditBrowseRecord != nullptr && reached < Cursor && EditBrowseRecord->next) {
        EditBrowseRecord = EditBrowseRecord->next.get();
        ++reached;
    }
    if (reached != Cursor) {
        ReportAssertFailed(kEditRecordCondition, __FILE__, __LINE__);
        Cursor = reached;
    }

    Count = 0;
    for (const TBrowseRecord* record = FirstRecord.get(); record != nullptr;
         record = record->next.get())
        ++Count;
    KV_SOFT_ASSERT(Count == other.Count);
}

void TRecordBrowser::SetList(std::unique_ptr<TBrowseRecord> first, int32_t index)
{
    FirstRecord = std::move(first);
    Count = 0;
    if (FirstRecord)
        FirstRecord->prev = nullptr;
    // The count walks the list anyway; setting the back links on the way costs nothing.
    for (TBrowseRecord* record = FirstRecord.get(); record != nullptr;
         record = record->next.get()) {
        if (record->next)
            record->next->prev = record;
        ++Count;
    }
    ReadPosition = FirstRecord.get();
    Cursor = 0;
    EditBrowseRecord = FirstRecord.get();
    GoTo(index);
}

bool TRecordBrowser::CloseOk()
{
    if (Store()) {
        DetachAfterOk();
        IsOpen = false;
        return true;
    }
    ReadPosition = FirstRecord.get();
    return false;
}

void TRecordBrowser::CloseCancel()
{
    IsOpen = false;
    DetachAfterCancel();
    ReadPosition = FirstRecord.get();
}

void TRecordBrowser::Open(RecordBrowserView* dialog)
{
    AttachDialog(dialog);
    IsOpen = true;
    ShowCursor();
}

void TRecordBrowser::DetachAfterOk()
{
    Dialog = nullptr;
}

void TRecordBrowser::DetachAfterCancel()
{
    Dialog = nullptr;
}

void TRecordBrowser::AttachDialog(RecordBrowserView* dialog)
{
    Dialog = dialog;
}

bool TRecordBrowser::ReadControls(std::unique_ptr<TBrowseRecord>& record)
{
    if (!KV_SOFT_ASSERT(Dialog != NULL))
        return false;
    return Dialog->ReadControls(record) && record != nullptr;
}

void TRecordBrowser::WriteControls(const TBrowseRecord* record)
{
    if (Dialog != nullptr && record != nullptr)
        Dialog->WriteControls(*record);
}

void TRecordBrowser::ClearControls()
{
    if (KV_SOFT_ASSERT(Dialog != NULL))
        Dialog->ClearControls();
}

void TRecordBrowser::EnableControls(int32_t count, int32_t position, bool canPrevious, bool canNext,
                                    bool canDelete, bool canPaste)
{
    if (Dialog != nullptr)
        Dialog->EnableControls(count, position, canPrevious, canNext, canDelete, canPaste);
}

bool TRecordBrowser::HasEditRecord(int line) const
{
    if (EditBrowseRecord != nullptr)
        return true;
    ReportAssertFailed(kEditRecordCondition, __FILE__, line);
    return false;
}

bool TRecordBrowser::Store()
{
    std::unique_ptr<TBrowseRecord> record;
    if (!ReadControls(record) || record == nullptr)
        return false;
    if (!IsValid(record.get()))
        return false;
    if (!HasEditRecord(__LINE__))
        return false;
    ReplaceEditRecord(std::move(record));
    return true;
}

void TRecordBrowser::ReplaceEditRecord(std::unique_ptr<TBrowseRecord> record)
{
    TBrowseRecord* old = EditBrowseRecord;
    TBrowseRecord* placed = record.get();
    placed->next = std::move(old->next);
    if (placed->next)
        placed->next->prev = placed;
    placed->prev = old->prev;
    if (ReadPosition == old)
        ReadPosition = placed;
    EditBrowseRecord = placed;
    // Whoever owned the old record now owns the new one; the old one dies here, alone.
    if (old->prev != nullptr)
        old->prev->next = std::move(record);
    else
        FirstRecord = std::move(record);
}

void TRecordBrowser::LinkBeforeEditRecord(std::unique_ptr<TBrowseRecord> record)
{
    TBrowseRecord* placed = record.get();
    TBrowseRecord* before = EditBrowseRecord->prev;
    std::unique_ptr<TBrowseRecord>& owner = before != nullptr ? before->next : FirstRecord;
    placed->next = std::move(owner);
    placed->next->prev = placed;
    placed->prev = before;
    owner = std::move(record);
}

std::unique_ptr<TBrowseRecord> TRecordBrowser::UnlinkEditRecord()
{
    TBrowseRecord* removed = EditBrowseRecord;
    TBrowseRecord* before = removed->prev;
    std::unique_ptr<TBrowseRecord>& owner = before != nullptr ? before->next : FirstRecord;
    std::unique_ptr<TBrowseRecord> taken = std::move(owner);
    owner = std::move(taken->next);
    if (owner)
        owner->prev = before;
    taken->prev = nullptr;
    return taken;
}

void TRecordBrowser::GoTo(int32_t index)
{
    if (!HasEditRecord(__LINE__))
        return;
    while (Cursor != index) {
        TBrowseRecord* step =
            Cursor < index ? EditBrowseRecord->next.get() : EditBrowseRecord->prev;
        if (step == nullptr) {
            ReportAssertFailed(kEditRecordCondition, __FILE__, __LINE__);
            break;
        }
        Cursor += Cursor < index ? 1 : -1;
        EditBrowseRecord = step;
    }
    WriteControls(EditBrowseRecord);
    UpdateControls();
}

void TRecordBrowser::StoreAndGoTo(int32_t index)
{
    if (Store())
        GoTo(index);
}

void TRecordBrowser::First()
{
    StoreAndGoTo(0);
}

void TRecordBrowser::Previous()
{
    // The button is disabled on the first record; a stray call must not walk off the list.
    if (!KV_SOFT_ASSERT(Cursor > 0))
        return;
    StoreAndGoTo(Cursor - 1);
}

void TRecordBrowser::Next()
{
    if (!KV_SOFT_ASSERT(Cursor < Count - 1))
        return;
    StoreAndGoTo(Cursor + 1);
}

void TRecordBrowser::Last()
{
    StoreAndGoTo(Count - 1);
}

void TRecordBrowser::Insert()
{
    if (!Store())
        return;
    ClearControls();
    std::unique_ptr<TBrowseRecord> record = NewRecord();
    if (record == nullptr)
        return;
    TBrowseRecord* placed = record.get();
    LinkBeforeEditRecord(std::move(record));
    EditBrowseRecord = placed;
    ++Count;
    UpdateControls();
}

void TRecordBrowser::Append()
{
    if (!Store())
        return;
    ClearControls();
    std::unique_ptr<TBrowseRecord> record = NewRecord();
    if (record == nullptr)
        return;
    EditBrowseRecord = EditBrowseRecord->InsertAfter(std::move(record));
    ++Cursor;
    ++Count;
    UpdateControls();
}

void TRecordBrowser::Delete()
{
    // A browser always keeps one record: the dialog shows it and GoTo stands on it.
    if (Count <= 1 || !HasEditRecord(__LINE__))
        return;
    TBrowseRecord* after = EditBrowseRecord->next.get();
    TBrowseRecord* before = EditBrowseRecord->prev;
    std::unique_ptr<TBrowseRecord> removed = UnlinkEditRecord();
    RecordDeleted(removed.get());
    if (ReadPosition == removed.get())
        ReadPosition = FirstRecord.get();
    removed.reset();
    EditBrowseRecord = after != nullptr ? after : before;
    --Count;
    if (Count <= Cursor)
        --Cursor;
    GoTo(Cursor);
}

void TRecordBrowser::Copy()
{
    std::unique_ptr<TBrowseRecord> record;
    if (!ReadControls(record) || record == nullptr)
        return;
    ClipRecord = std::move(record);
    HasClipRecord = true;
    UpdateControls();
}

void TRecordBrowser::Paste()
{
    if (ClipRecord == nullptr)
        return;
    WriteControls(ClipRecord.get());
    UpdateControls();
}

void TRecordBrowser::Clear()
{
    std::unique_ptr<TBrowseRecord> record = NewRecord();
    if (record == nullptr)
        return;
    SetList(std::move(record), 0);
    UpdateControls();
}

void TRecordBrowser::ShowCursor()
{
    GoTo(Cursor);
    UpdateControls();
}

void TRecordBrowser::UpdateControls()
{
    EnableControls(Count, Cursor + 1, Cursor > 0, Cursor < Count - 1, Count >= 2, HasClipRecord);
}

int32_t TRecordBrowser::GetCount() const
{
    KV_SOFT_ASSERT(!IsOpen);
    return Count;
}

const TBrowseRecord* TRecordBrowser::GetRecord() const
{
    KV_SOFT_ASSERT(!IsOpen);
    return ReadPosition;
}

bool TRecordBrowser::NextRecord()
{
    KV_SOFT_ASSERT(!IsOpen);
    if (ReadPosition == nullptr || !ReadPosition->next)
        return false;
    ReadPosition = ReadPosition->next.get();
    return true;
}

} // namespace kelvorn
