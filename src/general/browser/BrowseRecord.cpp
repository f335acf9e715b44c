#include "general/browser/BrowseRecord.h"

namespace kelvorn {

TBrowseRecord::~TBrowseRecord()
{
    // Each step detaches the following record before the current one dies, so no destructor
    // ever finds a chain behind it.
    std::unique_ptr<TBrowseRecord> rest = std::move(next);
    while (rest)
        rest = std::move(rest->next);
}

std::unique_ptr<TBrowseRecord> TBrowseRecord::CloneChain() const
{
    std::unique_ptr<TBrowseRecord> head = Clone();
    if (!head)
        return nullptr;
    head->prev = nullptr;
    TBrowseRecord* tail = head.get();
    for (const TBrowseRecord* record = next.get(); record != nullptr; record = record->next.get()) {
        std::unique_ptr<TBrowseRecord> copy = record->Clone();
        if (!copy)
            break;
        tail = tail->InsertAfter(std::move(copy));
    }
    return head;
}

TBrowseRecord* TBrowseRecord::InsertAfter(std::unique_ptr<TBrowseRecord> record)
{
    TBrowseRecord* inserted = record.get();
    if (inserted == nullptr)
        return nullptr;
    inserted->next.reset();
    inserted->next = std::move(next);
    if (inserted->next)
        inserted->next->prev = inserted;
    inserted->prev = this;
    next = std::move(record);
    return inserted;
}

} // namespace kelvorn
