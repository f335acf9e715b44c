#pragma once
// "Wave Properties": the stored format of a new wave (File New) or of the active wave (File
// Properties). Edits its own copy of the record: six sample frequencies, 8 or 16 bits, mono or
// stereo.
//
// A wave read from a file may have a frequency the six do not include (48000 Hz, say). The list
// then shows it as one more item, selected, so that confirming the dialog keeps it rather than
// quietly resampling the wave to the first item.

#include "document/records/WaveFileProps.h"
#include "window_base/OKDialogs.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QRadioButton;

namespace kelvorn {

class TDlgWaveFileProp : public TOKHelpRightDlg
{
    Q_OBJECT

public:
    static constexpr int HelpContextWaveProps = 2;

    TDlgWaveFileProp(QWidget* owner, const TWaveFileProps& props);

    /// A copy of the record: after OK, what the user chose.
    TWaveFileProps GetProps() const { return props; }

    /// The text of the list item for a frequency the six standard items lack: "48000 Hz".
    static QString ExtraFrequencyText(int32_t sampleFreq);
    /// The frequency list item i stands for; the record's own frequency for no item.
    int32_t FrequencyOfRow(int row) const;

    QLabel* lblSampleFreq;
    QListWidget* lbSampleFreq;
    QGroupBox* grpWaveValues;
    QRadioButton* rbBits8;
    QRadioButton* rbBits16;
    QGroupBox* grpMonoStereo;
    QRadioButton* rbMono;
    QRadioButton* rbStereo;

public slots:
    /// OK: takes the three choices into the record and closes; nothing can be refused.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillFrequencies();

    TWaveFileProps props;
};

} // namespace kelvorn
