#pragma once
// The seed of the program-wide runtime random generator (general/random/RuntimeRandom.h):
// the record the main window keeps, the dialog "Reset die" that edits a copy of it, and
// applying it.

#include "general/values/ValueUnits.h"
#include "window_base/OKDialogs.h"

#include <cstdint>

class QLineEdit;
class QRadioButton;

namespace kelvorn {

class Clock;

struct TResetDieProps
{
    static constexpr uint8_t SeedTimer = 0;
    static constexpr uint8_t SeedValue = 1;

    /// SeedTimer: seed from the clock; SeedValue: from seed.
    uint8_t kind = SeedTimer;
    unitInteger seed{1, EHNone};
};

/// Sets the runtime generator's state: for SeedTimer the UTC millisecond of the day of
/// clock's time, for SeedValue the seed's 32 bits; any other kind changes nothing.
void ApplyResetDieProps(const TResetDieProps& props, const Clock& clock);

class TDlgResetDie : public TOKHelpRightDlg
{
    Q_OBJECT

public:
    TDlgResetDie(QWidget* owner, const TResetDieProps& props);

    /// A copy of the dialog's record: after OK, what the user chose.
    TResetDieProps GetResetDieProps() const { return props; }

    QRadioButton* optSeedValue;
    QRadioButton* optSeedTimer;
    QLineEdit* editSeedValue;

public slots:
    /// OK: with "Seed Value" chosen the typed seed must read as an integer, or the "Input
    /// Error" box shows and the dialog stays open with the text; "Seed Timer" reads nothing.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TResetDieProps props;
};

} // namespace kelvorn
