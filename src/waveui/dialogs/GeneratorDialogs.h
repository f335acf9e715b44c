#pragma once
// The dialogs of the wave generators: silence, line, noise, blocks and triangles, sines.

#include "document/records/GeneratorRecords.h"
#include "waveui/dialogs/OperationDialog.h"

namespace kelvorn {

class TDlgSilenceProps : public TOperationDialog
{
    Q_OBJECT

public:
    TDlgSilenceProps(QWidget* owner, const TSilenceProps& record);
    TSilenceProps GetProps() const { return props; }

private:
    TSilenceProps props;
};

class TDlgLineProps : public TOperationDialog
{
    Q_OBJECT

public:
    TDlgLineProps(QWidget* owner, const TLineProps& record);
    TLineProps GetProps() const { return props; }

private:
    TLineProps props;
};

class TDlgNoiseProps : public TOperationDialog
{
    Q_OBJECT

public:
    TDlgNoiseProps(QWidget* owner, const TNoiseProps& record);
    TNoiseProps GetProps() const { return props; }

private:
    TNoiseProps props;
};

/// Make Block and Make Triangle share the form; caption tells which command opened it.
class TDlgBlockTriangleProps : public TOperationDialog
{
    Q_OBJECT

public:
    TDlgBlockTriangleProps(QWidget* owner, const TBlockTriangleProps& record,
                           const std::string& caption);
    TBlockTriangleProps GetProps() const { return props; }

private:
    TBlockTriangleProps props;
};

class TDlgSinusProps : public TOperationDialog
{
    Q_OBJECT

public:
    TDlgSinusProps(QWidget* owner, const TSinusProps& record);
    TSinusProps GetProps() const { return props; }

private:
    TSinusProps props;
};

} // namespace kelvorn
