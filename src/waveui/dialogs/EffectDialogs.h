#pragma once
// The dialogs of the simple wave changes: volume, rotate, block, roll in and out, change
// length, the vertical and horizontal moves, distortion and the mix placement. Each takes the
// owner and a copy of the document's record (and what else it names), and GetProps answers the
// edited record after OK.

#include "document/records/OperationRecords.h"
#include "waveui/dialogs/OperationDialog.h"

namespace kelvorn {

class TDlgVolumeProps : public TOperationDialog
{
    Q_OBJECT

public:
    /// While the document is drawn by hand (userDrawing) only a constant factor applies: the
    /// envelope option and its list are off.
    TDlgVolumeProps(QWidget* owner, bool userDrawing, const TVolumeProps& record);
    TVolumeProps GetProps() const { return props; }

private:
    TVolumeProps props;
};

class TDlgRotateProps : public TOperationDialog
{
    Q_OBJECT

public:
    /// rangeTime: seconds of the range the rotation will work on; a longer time is refused.
    TDlgRotateProps(QWidget* owner, const TRotateProps& record, double rangeTime);
    TRotateProps GetProps() const { return props; }

private:
    TRotateProps props;
    double rangeTime;
};

class TDlgBlockProps : public TOperationDialog
{
    Q_OBJECT

public:
    TDlgBlockProps(QWidget* owner, const TBlockProps& record);
    TBlockProps GetProps() const { return props; }

private:
    TBlockProps props;
};

class TDlgRollInProps : public TOperationDialog
{
    Q_OBJECT

public:
    TDlgRollInProps(QWidget* owner, const TRollInProps& record);
    TRollInProps GetProps() const { return props; }

private:
    TRollInProps props;
};

class TDlgRollOutProps : public TOperationDialog
{
    Q_OBJECT

public:
    /// record.currentLength: seconds of the range, set by the command.
    TDlgRollOutProps(QWidget* owner, const TRollOutProps& record);
    TRollOutProps GetProps() const { return props; }

private:
    TRollOutProps props;
};

class TDlgLengthProps : public TOperationDialog
{
    Q_OBJECT

public:
    TDlgLengthProps(QWidget* owner, const TLengthProps& record);
    TLengthProps GetProps() const { return props; }

private:
    TLengthProps props;
};

class TDlgUpProps : public TOperationDialog
{
    Q_OBJECT

public:
    TDlgUpProps(QWidget* owner, const TUpProps& record);
    TUpProps GetProps() const { return props; }

private:
    TUpProps props;
};

class TDlgShiftProps : public TOperationDialog
{
    Q_OBJECT

public:
    /// channels: 1 for a mono document, whose left and right shifts are off; 2 for stereo,
    /// where leaving the middle box copies its time into both.
    TDlgShiftProps(QWidget* owner, const TShiftProps& record, int channels);
    TShiftProps GetProps() const { return props; }

public slots:
    void editDiffTimeMiddleChange();
    void editDiffTimeMiddleExit();

private:
    TShiftProps props;
    int channels;
    bool middleChanged = false;
};

class TDlgDistortProps : public TOperationDialog
{
    Q_OBJECT

public:
    TDlgDistortProps(QWidget* owner, const TDistortProps& record);
    TDistortProps GetProps() const { return props; }

private:
    TDistortProps props;
};

class TDlgMixProps : public TOperationDialog
{
    Q_OBJECT

public:
    TDlgMixProps(QWidget* owner, const TMixProps& record);
    TMixProps GetProps() const { return props; }

private:
    TMixProps props;
};

} // namespace kelvorn
