#pragma once
// The display properties of a wave window: "Wave View" edits the wave curve's record and
// "Volume Diagram" the volume diagram's. Each edits its own copy; the caller takes it back with
// GetProps after OK. With "Use As Default" ticked an accepted OK also replaces the main
// window's default record, which new windows start from.
//
// OK reads the fields in a fixed order with one valid flag: the first bad field shows its
// "Input Error" box and no later value is read. The dialog then refuses to close once and stays
// open with the user's text; the next OK starts valid again.

#include "document/views/VoldViewProps.h"
#include "document/views/WaveViewProps.h"
#include "window_base/OKDialogs.h"

#include <cstdint>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace kelvorn {

class TColorCombo;

/// Opens the colour palette dialog on palette; true, with the edited palette in palette, when
/// the user confirmed it. The volume dialog's "Edit Palette..." goes through here.
bool EditColorPalette(QWidget* owner, TColorPalette1DItem& palette);

/// The index of the radio button that is on in group (its buttons in creation order), or -1.
int CheckedIndex(const QGroupBox& group);
/// Turns on radio button index of group; an index out of range changes nothing.
void SetCheckedIndex(QGroupBox& group, int index);

class TDlgWaveViewProps : public TOKHelpRightDlg
{
    Q_OBJECT

public:
    static constexpr int HelpContextWaveView = 23;

    /// defaults: the main window's default record (not owned), replaced on an accepted OK with
    /// "Use As Default"; may be null.
    TDlgWaveViewProps(QWidget* owner, TWaveViewProps* defaults, const TWaveViewProps& props);

    /// A copy of the edited record.
    TWaveViewProps GetProps() const { return props; }

    QGroupBox* rgrDraw;
    QGroupBox* rgrDistribution;
    QLineEdit* editValuesPerPixel;
    QCheckBox* chkDrawGrid;
    TColorCombo* colbGrid;
    TColorCombo* colbCursor;
    QCheckBox* chk2Waves;
    QGroupBox* grpColorsWave;
    TColorCombo* colbSingleWave;
    QLineEdit* editStrength;
    QGroupBox* grpStereo;
    TColorCombo* colbLeft;
    TColorCombo* colbRight;
    QGroupBox* rgrCombine;
    QGroupBox* grpBackground;
    TColorCombo* colbBackground;
    QCheckBox* chkDrawEnvelope;
    QComboBox* cboDrawEnvelope;
    QLineEdit* editDrawEnvelopeStrength;
    QCheckBox* chkDefault;

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void chkDrawGridClick();
    void rgrDrawClick();
    void ChangeAtDrawEnvelope();

    TWaveViewProps props;
    TWaveViewProps* defaults;
    bool ok = true;
    bool filling = false;
};

class TDlgVoldViewProps : public TOKHelpRightDlg
{
    Q_OBJECT

public:
    static constexpr int HelpContextVolumeView = 3;

    /// channels, paneHeight and paneWidth serve the "< Window" buttons; sampleFreq limits the
    /// frequencies. defaults as in TDlgWaveViewProps.
    TDlgVoldViewProps(QWidget* owner, int32_t channels, int32_t paneHeight, int32_t paneWidth,
                      int32_t sampleFreq, TVoldViewProps* defaults, const TVoldViewProps& props);

    /// A copy of the edited record.
    TVoldViewProps GetProps() const { return props; }
    /// The palette "Edit Palette..." works on; the record takes it on OK.
    const TColorPalette1DItem& WorkingPalette() const { return palette; }

    QLineEdit* editHorizontal;
    QPushButton* btnXResWindow;
    QLineEdit* editVertical;
    QPushButton* btnYResWindow;
    QGroupBox* grpFrequency;
    QLineEdit* editTop;
    QLineEdit* editBottom;
    QLineEdit* editWidth;
    QGroupBox* rgrHorDistribution;
    QGroupBox* rgrSensitivity;
    QLineEdit* editStrength;
    TColorCombo* colbCursor;
    QCheckBox* chk2Waves;
    QGroupBox* grpColors;
    TColorCombo* colbBackground;
    TColorCombo* colbSingle;
    QGroupBox* grpStereo;
    TColorCombo* colbLeft;
    TColorCombo* colbRight;
    QCheckBox* chkSingleColorPalette;
    QPushButton* btnSingleColorPalette;
    QCheckBox* chkDefault;

public slots:
    void accept() override;
    void btnXResWindowClick();
    void btnYResWindowClick();
    void btnSingleColorPaletteClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    TVoldViewProps props;
    TVoldViewProps* defaults;
    int32_t sampleFreq;
    int32_t paneWidth;
    int32_t paneHeight;
    int32_t channels;
    bool ok = true;
    TColorPalette1DItem palette;
};

} // namespace kelvorn
