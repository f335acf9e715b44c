#pragma once
// The dialogs of the changes that involve both channels, echoes, tempo and pitch.

#include "document/records/ComplexRecords.h"
#include "waveui/dialogs/OperationDialog.h"

namespace kelvorn {

class TDlgLeftRightProps : public TOperationDialog
{
    Q_OBJECT

public:
    TDlgLeftRightProps(QWidget* owner, const TLeftRightProps& record);
    TLeftRightProps GetProps() const { return props; }

public slots:
    /// Fills the four shares from the example chosen in cboExample.
    void cboExampleChange(int item);
    /// The user's own edit: the shares are no longer the example shown.
    void editLR2LRChange();

private:
    TLeftRightProps props;
    int32_t example = -1; // shown only, never part of the record
};

class TDlgBalanceProps : public TOperationDialog
{
    Q_OBJECT

public:
    TDlgBalanceProps(QWidget* owner, const TBalanceProps& record);
    TBalanceProps GetProps() const { return props; }

private:
    TBalanceProps props;
};

class TDlgPerEchoProps : public TOperationDialog
{
    Q_OBJECT

public:
    TDlgPerEchoProps(QWidget* owner, const TPerEchoProps& record);
    TPerEchoProps GetProps() const { return props; }

private:
    TPerEchoProps props;
};

class TDlgRandomEchoProps : public TOperationDialog
{
    Q_OBJECT

public:
    TDlgRandomEchoProps(QWidget* owner, const TRandomEchoProps& record);
    TRandomEchoProps GetProps() const { return props; }

private:
    TRandomEchoProps props;
};

class TDlgTempoPitchProps : public TOperationDialog
{
    Q_OBJECT

public:
    /// record.currentLength: seconds of the range, set by the command.
    TDlgTempoPitchProps(QWidget* owner, const TTempoPitchProps& record);
    TTempoPitchProps GetProps() const { return props; }

private:
    TTempoPitchProps props;
};

} // namespace kelvorn
