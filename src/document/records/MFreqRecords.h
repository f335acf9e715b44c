#pragma once
// The Multi Frequency record: the length of the sound, sine or wave form, and a list of partials
// that a dialog edits one partial at a time through a record browser. The document reads the
// list with GetPartials, whose size is the number of partials by construction, so no count can
// disagree with the list it counts.

#include "document/records/RecordValues.h"
#include "document/records/WaveReference.h"
#include "general/browser/BrowseRecord.h"
#include "general/browser/RecordBrowser.h"
#include "general/values/ValueUnits.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace kelvorn {

/// The five fields of a partial, in the order of the record.
enum class MFreqField : uint8_t {
    StartVolume = 0,
    Frequency = 1,
    StartAngle = 2,
    VolumeFactor = 3,
    VolumeFactorAtTime = 4,
};
constexpr int kMFreqFieldCount = 5;

/// The label of a partial field, as the dialog shows it and the "Input Error" box names it.
const char* MFreqFieldLabel(MFreqField field);

/// One partial.
class TMFreqBrowseRecord : public TBrowseRecord
{
public:
    TMFreqBrowseRecord() = default;
    TMFreqBrowseRecord(const TMFreqBrowseRecord&) = default;
    TMFreqBrowseRecord& operator=(const TMFreqBrowseRecord&) = default;

    /// A new partial with copies of the five fields.
    std::unique_ptr<TBrowseRecord> Clone() const override;

    /// The field as a value (all five are value objects).
    unit& Field(MFreqField field);
    const unit& Field(MFreqField field) const;

    unitFactor startVolume{0.5, EHPerc};
    /// A period in seconds, shown as a frequency.
    unitTimePosMore frequency{0.001, EHKHZ};
    unitAngleFactorMin1Pos1 startAngle{0.0, EHNone};
    /// The factor the volume has reached at volumeFactorAtTime.
    unitFactorPosMore volumeFactor{0.1, EHPerc};
    unitTimePosMore volumeFactorAtTime{1.0, EHS};

    auto Fields() const
    {
        return std::tie(startVolume, frequency, startAngle, volumeFactor, volumeFactorAtTime);
    }
    bool operator==(const TMFreqBrowseRecord& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

/// One partial as plain numbers, as the document's operation takes it.
struct MFreqPartial
{
    double startVolume;
    double period;
    double startAngle;
    double volumeFactor;
    double volumeFactorTime;
};

/// What the partial browser needs of the dialog that shows it: the texts of the five partial
/// boxes, the "Default" check boxes and the browser's own controls. The Qt dialog implements
/// it; tests use a fake.
class MFreqPartialView
{
public:
    virtual ~MFreqPartialView() = default;
    virtual std::string GetFieldText(MFreqField field) const = 0;
    virtual void SetFieldText(MFreqField field, const std::string& text) = 0;
    /// The field's "Default" box: ticked keeps its text for a new partial.
    virtual bool GetKeepDefault(MFreqField field) const = 0;
    /// "Count" shows count and "Cursor" position (1-based, as unitInteger texts); First and
    /// Previous follow canPrevious, Next and Last canNext, Delete canDelete, Paste canPaste.
    virtual void ShowBrowserState(const std::string& count, const std::string& position,
                                  bool canPrevious, bool canNext, bool canDelete,
                                  bool canPaste) = 0;
};

/// The list of partials with its cursor. A new browser holds one default partial, the edited
/// one. While a dialog is attached, reading, clearing and showing go to it.
class TMFreqRecordBrowser : public TRecordBrowser
{
public:
    TMFreqRecordBrowser();
    /// Copies the whole list and the cursor; the copy has no dialog attached.
    TMFreqRecordBrowser(const TMFreqRecordBrowser& other);
    TMFreqRecordBrowser& operator=(const TMFreqRecordBrowser& other);

    /// Attaches the dialog, opens and shows the partial at the cursor with the browser state.
    void OpenView(MFreqPartialView* view);
    MFreqPartialView* GetView() const { return DlgMFreqProps; }

    /// Every partial from the first, whatever the read position and whether open or closed.
    /// A record of another type in the list is skipped with the assertion box.
    std::vector<MFreqPartial> GetPartials() const;
    /// Number of partials in the list (the browser's count).
    int32_t GetPartialCount() const { return Count; }
    /// The partial at index (0-based) or nullptr.
    const TMFreqBrowseRecord* GetPartial(int32_t index) const;

    /// Same partials in the same order and the same cursor.
    bool operator==(const TMFreqRecordBrowser& other) const;

protected:
    void DetachAfterOk() override;
    void DetachAfterCancel() override;
    void AttachDialog(RecordBrowserView* dialog) override;
    /// Parses the five boxes, in record order with their labels, into a new partial; one ok
    /// flag runs through them, so only the first bad field shows its "Input Error" box.
    bool ReadControls(std::unique_ptr<TBrowseRecord>& record) override;
    void WriteControls(const TBrowseRecord* record) override;
    /// Empties the box of every field whose "Default" box is not ticked, in the order start
    /// volume, start angle, volume factor at time, volume factor, frequency.
    void ClearControls() override;
    std::unique_ptr<TBrowseRecord> NewRecord() override;
    void EnableControls(int32_t count, int32_t position, bool canPrevious, bool canNext,
                        bool canDelete, bool canPaste) override;

private:
    MFreqPartialView* DlgMFreqProps = nullptr; // not owned
};

class TMFreqProps
{
public:
    enum : uint8_t { useSinus = 0, useWaveForm = 1 };

    unitTimePosMore length{3.0, EHS};
    uint8_t use = useSinus;
    unitUnitWave waveForm;
    /// Per partial field, in field order: 1 keeps the field's text for a new partial.
    std::array<uint8_t, kMFreqFieldCount> defaultFlags{1, 0, 1, 1, 1};
    TMFreqRecordBrowser partials;

    bool operator==(const TMFreqProps& other) const;
};

} // namespace kelvorn
