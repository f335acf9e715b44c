#pragma once
// The dialogs of the filters: resonant and notch, high and low, block.

#include "document/records/ComplexRecords.h"
#include "waveui/dialogs/OperationDialog.h"

namespace kelvorn {

/// The resonant and the notch filter share the form.
class TDlgResNotchProps : public TOperationDialog
{
    Q_OBJECT

public:
    /// sampleFreq: the document's sample frequency; a constant frequency above it is refused,
    /// since the filter cannot turn faster than once per value. 0: not checked.
    TDlgResNotchProps(QWidget* owner, const TResNotchProps& record, int32_t sampleFreq = 0);
    TResNotchProps GetProps() const { return props; }

private:
    TResNotchProps props;
    int32_t sampleFreq;
};

/// The high and the low filter share the form.
class TDlgHighLowProps : public TOperationDialog
{
    Q_OBJECT

public:
    TDlgHighLowProps(QWidget* owner, const THighLowProps& record);
    THighLowProps GetProps() const { return props; }

private:
    THighLowProps props;
};

class TDlgBlockFilterProps : public TOperationDialog
{
    Q_OBJECT

public:
    TDlgBlockFilterProps(QWidget* owner, const TBlockFilterProps& record);
    TBlockFilterProps GetProps() const { return props; }

private:
    TBlockFilterProps props;
};

} // namespace kelvorn
