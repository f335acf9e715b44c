#include "document/records/MFreqRecords.h"

#include "general/Assert.h"

#include <cstddef>

namespace kelvorn {

namespace {

constexpr std::array<const char*, kMFreqFieldCount> kFieldLabels{
    "Start Volume", "Frequency", "Start Angle", "Volume Factor", "Volume Factor at Time"};

constexpr std::array<MFreqField, kMFreqFieldCount> kFieldOrder{
    MFreqField::StartVolume, MFreqField::Frequency, MFreqField::StartAngle,
    MFreqField::VolumeFactor, MFreqField::VolumeFactorAtTime};

// The boxes a new partial empties, in the order the dialog has always emptied them.
constexpr std::array<MFreqField, kMFreqFieldCount> kClearOrder{
    MFreqField::StartVolume, MFreqField::StartAngle, MFreqField::VolumeFactorAtTime,
    MFreqField::VolumeFactor, MFreqField::Frequency};

const TMFreqBrowseRecord* AsPartial(const TBrowseRecord* record)
{
    return dynamic_cast<const TMFreqBrowseRecord*>(record);
}

} // namespace

const char* MFreqFieldLabel(MFreqField field)
{
    return kFieldLabels[static_cast<size_t>(field)];
}

std::unique_ptr<TBrowseRecord> TMFreqBrowseRecord::Clone() const
{
    return std::make_unique<TMFreqBrowseRecord>(*this);
}

unit& TMFreqBrowseRecord::Field(MFreqField field)
{
    return const_cast<unit&>(static_cast<const TMFreqBrowseRecord&>(*this).Field(field));
}

const unit& TMFreqBrowseRecord::Field(MFreqField field) const
{
    switch (field) {
    case MFreqField::StartVolume:
        return startVolume;
    case MFreqField::Frequency:
        return frequency;
    case MFreqField::StartAngle:
        return startAngle;
    case MFreqField::VolumeFactor:
        return volumeFactor;
    case MFreqField::VolumeFactorAtTime:
        break;
    }
    return volumeFactorAtTime;
}

TMFreqRecordBrowser::TMFreqRecordBrowser()
{
    SetList(std::make_unique<TMFreqBrowseRecord>(), 0);
}

TMFreqRecordBrowser::TMFreqRecordBrowser(const TMFreqRecordBrowser& other) : TRecordBrowser(other)
{
}

TMFreqRecordBrowser& TMFreqRecordBrowser::operator=(const TMFreqRecordBrowser& other)
{
    if (this != &other) {
        TRecordBrowser::operator=(other);
        DlgMFreqProps = nullptr;
    }
    return *this;
}

void TMFreqRecordBrowser::OpenView(MFreqPartialView* view)
{
    DlgMFreqProps = view;
    Open(nullptr);
}

void TMFreqRecordBrowser::DetachAfterOk()
{
    DlgMFreqProps = nullptr;
    Dialog = nullptr;
}

void TMFreqRecordBrowser::DetachAfterCancel()
{
    DlgMFreqProps = nullptr;
    Dialog = nullptr;
}

void TMFreqRecordBrowser::AttachDialog(RecordBrowserView* dialog)
{
    // This browser talks to its dialog through MFreqPartialView (OpenView); the generic view
    // stays unused.
    Dialog = nullptr;
}

bool TMFreqRecordBrowser::ReadControls(std::unique_ptr<TBrowseRecord>& record)
{
    if (!KV_SOFT_ASSERT(DlgMFreqProps != NULL))
        return false;
    auto partial = std::make_unique<TMFreqBrowseRecord>();
    bool ok = true;
    for (MFreqField field : kFieldOrder)
        partial->Field(field).SetTextMsg(ok, DlgMFreqProps->GetFieldText(field),
                                         MFreqFieldLabel(field));
    if (!ok)
        return false;
    record = std::move(partial);
    return true;
}

void TMFreqRecordBrowser::WriteControls(const TBrowseRecord* record)
{
    const TMFreqBrowseRecord* partial = AsPartial(record);
    if (DlgMFreqProps == nullptr || partial == nullptr)
        return;
    for (MFreqField field : kFieldOrder)
        DlgMFreqProps->SetFieldText(field, partial->Field(field).ToText());
}

void TMFreqRecordBrowser::ClearControls()
{
    if (!KV_SOFT_ASSERT(DlgMFreqProps != NULL))
        return;
    for (MFreqField field : kClearOrder)
        if (!DlgMFreqProps->GetKeepDefault(field))
            DlgMFreqProps->SetFieldText(field, "");
}

std::unique_ptr<TBrowseRecord> TMFreqRecordBrowser::NewRecord()
{
    return std::make_unique<TMFreqBrowseRecord>();
}

void TMFreqRecordBrowser::EnableControls(int32_t count, int32_t position, bool canPrevious,
                                         bool canNext, bool canDelete, bool canPaste)
{
    if (DlgMFreqProps == nullptr)
        return;
    DlgMFreqProps->ShowBrowserState(unitInteger(count, EHNone).ToText(),
                                    unitInteger(position, EHNone).ToText(), canPrevious, canNext,
                                    canDelete, canPaste);
}

std::vector<MFreqPartial> TMFreqRecordBrowser::GetPartials() const
{
    std::vector<MFreqPartial> partials;
    partials.reserve(static_cast<size_t>(Count > 0 ? Count : 0));
    for (const TBrowseRecord* record = GetFirstRecord(); record != nullptr;
         record = record->GetNext()) {
        const TMFreqBrowseRecord* mFreqBrowseRecord = AsPartial(record);
        if (!KV_SOFT_ASSERT(mFreqBrowseRecord != NULL))
            continue;
        partials.push_back(
            {mFreqBrowseRecord->startVolume.GetValue(), mFreqBrowseRecord->frequency.GetValue(),
             mFreqBrowseRecord->startAngle.GetValue(), mFreqBrowseRecord->volumeFactor.GetValue(),
             mFreqBrowseRecord->volumeFactorAtTime.GetValue()});
    }
    return partials;
}

const TMFreqBrowseRecord* TMFreqRecordBrowser::GetPartial(int32_t index) const
{
    if (index < 0)
        return nullptr;
    const TBrowseRecord* record = GetFirstRecord();
    for (int32_t step = 0; record != nullptr && step < index; ++step)
        record = record->GetNext();
    return AsPartial(record);
}

bool TMFreqRecordBrowser::operator==(const TMFreqRecordBrowser& other) const
{
    if (Cursor != other.Cursor)
        return false;
    const TBrowseRecord* mine = GetFirstRecord();
    const TBrowseRecord* theirs = other.GetFirstRecord();
    for (; mine != nullptr && theirs != nullptr;
         mine = mine->GetNext(), theirs = theirs->GetNext()) {
        const TMFreqBrowseRecord* a = AsPartial(mine);
        const TMFreqBrowseRecord* b = AsPartial(theirs);
        if (a == nullptr || b == nullptr || !(*a == *b))
            return false;
    }
    return mine == nullptr && theirs == nullptr;
}

bool TMFreqProps::operator==(const TMFreqProps& other) const
{
    return SameValue(length, other.length) && use == other.use && waveForm == other.waveForm &&
           defaultFlags == other.defaultFlags && partials == other.partials;
}

} // namespace kelvorn
