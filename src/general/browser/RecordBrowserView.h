#pragma once
// What a record browser needs of the dialog that shows its records. The dialog (Qt) implements
// it; the browser model stays free of widgets and is tested against a fake. The dialog knows its
// record type, so it builds and shows the records itself.

#include "general/browser/BrowseRecord.h"

#include <cstdint>
#include <memory>

namespace kelvorn {

class RecordBrowserView
{
public:
    virtual ~RecordBrowserView() = default;

    /// A new record from the controls. false when a field does not parse; the dialog has shown
    /// why (the value parsers show "Input Error").
    virtual bool ReadControls(std::unique_ptr<TBrowseRecord>& record) = 0;
    /// Shows record in the controls.
    virtual void WriteControls(const TBrowseRecord& record) = 0;
    /// Prepares the controls for a new record.
    virtual void ClearControls() = 0;
    /// Shows count and the 1-based position; First and Previous follow canPrevious, Next and
    /// Last canNext, Delete canDelete, Paste canPaste. Insert, Append, Copy and Clear stay
    /// enabled.
    virtual void EnableControls(int32_t count, int32_t position, bool canPrevious, bool canNext,
                                bool canDelete, bool canPaste) = 0;
};

} // namespace kelvorn
