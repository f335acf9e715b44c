#pragma once
// The dialogs of the commands that work on whole wave windows: "Split Horizontally" (how many
// parts, and whether they include the selected part) and the two merges. A merge dialog lists
// every open wave twice and compares the two chosen ones: it shows a tab only for a property in
// which they differ, so the user decides only what must be decided, and takes the others from
// the first (left) wave. OK stays disabled until the user has picked two different waves;
// selecting the record's waves when the dialog opens does not count as picking.

#include "document/records/MergeRecords.h"
#include "window_base/OKDialogs.h"

#include <array>
#include <string>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QString;
class QTabWidget;
class QWidget;

namespace kelvorn {

class TUnitWave;

class TDlgSplitHorProps : public TOKHelpRightDlg
{
    Q_OBJECT

public:
    static constexpr int HelpContextSplitHor = 38;

    TDlgSplitHorProps(QWidget* owner, const TSplitHorProps& record);
    TSplitHorProps GetProps() const { return props; }

    QGroupBox* rgrResult;
    std::array<QRadioButton*, 3> resultItems{};

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TSplitHorProps props;
};

/// What the two merge dialogs share: the two wave lists, the page control with its tabs of
/// differences and the comparison on every change of a list.
class TMergeDialogBase : public TOKHelpRightDlg
{
    Q_OBJECT

public:
    static constexpr const char* SameWavesMessage = "The chosen Waves must be different";

    QComboBox* cboOne;
    QComboBox* cboTwo;
    QTabWidget* pgcDiffs;
    QWidget* tsFrequency;
    QListWidget* lbFreq;
    QLineEdit* editFreqOne;
    QLineEdit* editFreqTwo;
    QWidget* tsBits;
    QGroupBox* rgrBits;
    QLineEdit* editBitsOne;
    QLineEdit* editBitsTwo;
    QWidget* tsDisplay;
    QGroupBox* rgrDisplay;
    /// The page of the property only the derived dialog compares (mono/stereo or length), made
    /// by its constructor as the first tab.
    QWidget* tsOwn = nullptr;
    QGroupBox* rgrOwn = nullptr;
    QLineEdit* editOwnOne = nullptr;
    QLineEdit* editOwnTwo = nullptr;

    /// Whether the tab page is shown.
    bool IsTabShown(QWidget* page) const;
    /// The item index turned on in a group of radio buttons; -1 for none.
    static int CheckedItem(const QGroupBox& group);
    static void CheckItem(QGroupBox& group, int index);

public slots:
    /// A list changed: compares the two waves (see the file comment).
    void EvOnChangeUnitWave();
    void accept() override;

protected:
    /// oneLabel and twoLabel name the lists ("First", "Last" or "Left", "Right").
    TMergeDialogBase(QWidget* owner, const char* caption, int helpContext, const char* oneLabel,
                     const char* twoLabel);

    /// Makes a tab page with a titled radio group of items and the two sides' texts (none for
    /// a null name), as tab number at (-1: the last).
    QWidget* AddPage(const char* name, const char* title, const char* groupName,
                     const char* groupTitle, std::initializer_list<const char*> items,
                     const char* editOneName, const char* editTwoName, QGroupBox*& group,
                     QLineEdit*& editOne, QLineEdit*& editTwo, int at = -1);
    void ShowTab(QWidget* page, bool shown);
    void HideAllTabs();
    /// Fills both lists from the open waves and selects the record's two.
    void ShowWaves(const unitUnitWave& one, const unitUnitWave& two);
    /// Reads both lists into one and two; false when either fails.
    bool ReadWaves(unitUnitWave& one, unitUnitWave& two) const;
    /// The record's two waves: selected when the dialog opens, read back by OK.
    void SetRecordWaves(unitUnitWave& one, unitUnitWave& two);
    void showEvent(QShowEvent* event) override;
    /// Shows the own page only when the waves differ, then with item checked and their texts.
    void ShowOwnPage(bool differ, int item, const QString& one, const QString& two);
    /// The comparisons of the derived dialog, after the ones both share.
    virtual void CompareMore(const TUnitWave& one, const TUnitWave& two) = 0;
    /// OK, once the record's two waves are read: the derived dialog's own choices.
    virtual void ReadMore(const TUnitWave& one, const TUnitWave& two) = 0;
    /// Reads the format and display choices into the record's fields, as OK does.
    template <class Props>
    void ReadShared(const TUnitWave& one, const TUnitWave& two, Props& record) const
    {
        ReadShared(one, two, record.SampleFreq, record.BytesPSample, record.waveViewProps,
                   record.voldViewProps, record.waveWindKind);
    }
    void ReadShared(const TUnitWave& one, const TUnitWave& two, int32_t& freq, int16_t& bytes,
                    TWaveViewProps& waveProps, TVoldViewProps& voldProps, uint8_t& kind) const;

    std::string oneLabel;
    std::string twoLabel;

private:
    unitUnitWave* recordOne = nullptr;
    unitUnitWave* recordTwo = nullptr;
};

class TDlgMergeHorProps : public TMergeDialogBase
{
    Q_OBJECT

public:
    static constexpr int HelpContextMergeHor = 47;

    TDlgMergeHorProps(QWidget* owner, const TMergeHorProps& record);
    TMergeHorProps GetProps() const { return props; }

    QComboBox* cboFirst() const { return cboOne; }
    QComboBox* cboLast() const { return cboTwo; }
    QWidget* tsMonoStereo() const { return tsOwn; }
    QGroupBox* rgrMonoStereo() const { return rgrOwn; }
    QLineEdit* editMSFirst() const { return editOwnOne; }
    QLineEdit* editMSLast() const { return editOwnTwo; }

protected:
    void CompareMore(const TUnitWave& one, const TUnitWave& two) override;
    void ReadMore(const TUnitWave& one, const TUnitWave& two) override;

private:
    TMergeHorProps props;
};

class TDlgMergeVertProps : public TMergeDialogBase
{
    Q_OBJECT

public:
    static constexpr int HelpContextMergeVert = 48;

    TDlgMergeVertProps(QWidget* owner, const TMergeVertProps& record);
    TMergeVertProps GetProps() const { return props; }

    QComboBox* cboLeft() const { return cboOne; }
    QComboBox* cboRight() const { return cboTwo; }
    QWidget* tsLength() const { return tsOwn; }
    QGroupBox* rgrMakeLengthsEqual() const { return rgrOwn; }
    QLineEdit* editLengthLeft() const { return editOwnOne; }
    QLineEdit* editLengthRight() const { return editOwnTwo; }

protected:
    void CompareMore(const TUnitWave& one, const TUnitWave& two) override;
    void ReadMore(const TUnitWave& one, const TUnitWave& two) override;

private:
    TMergeVertProps props;
};

} // namespace kelvorn
