#pragma once
// "Multi Frequency": the length of the sound, sine or wave form, and the list of partials that
// the record's browser walks one partial at a time. The five partial boxes belong to the
// browser: it fills them when it shows a partial and parses them whenever it stores one (every
// move, insert, append, copy and OK), so a partial that does not parse keeps the browser where
// it is and the user's text in the boxes.
//
// The "Default" boxes say which texts a new partial keeps. They are written back into the
// record only once the dialog has set them from it, so that setting them on show does not
// count as the user's choice.

#include "document/records/MFreqRecords.h"
#include "waveui/dialogs/OperationDialog.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace kelvorn {

class TDlgMFreqProps : public TOperationDialog, public MFreqPartialView
{
    Q_OBJECT

public:
    static constexpr int HelpContextMFreq = 37;

    TDlgMFreqProps(QWidget* owner, const TMFreqProps& record);

    /// The edited record: after OK, the whole list with its cursor.
    const TMFreqProps& GetProps() const { return props; }

    /// The partial box of field and its "Default" box.
    QLineEdit* PartialEdit(MFreqField field) const { return partialEdits[Index(field)]; }
    QCheckBox* DefaultBox(MFreqField field) const { return defaultBoxes[Index(field)]; }

    QGroupBox* grpFreq;
    QPushButton* btnFirst;
    QPushButton* btnPrevious;
    QPushButton* btnNext;
    QPushButton* btnLast;
    QPushButton* btnInsert;
    QPushButton* btnAppend;
    QPushButton* btnDelete;
    QPushButton* btnCopy;
    QPushButton* btnPaste;
    QPushButton* btnClear;
    QLineEdit* editCount;
    QLineEdit* editCursor;

    // ---- MFreqPartialView ----------------------------------------------------------------

    std::string GetFieldText(MFreqField field) const override;
    void SetFieldText(MFreqField field, const std::string& text) override;
    bool GetKeepDefault(MFreqField field) const override;
    void ShowBrowserState(const std::string& count, const std::string& position, bool canPrevious,
                          bool canNext, bool canDelete, bool canPaste) override;

public slots:
    /// The browser lets go of the dialog without storing anything.
    void reject() override;

private:
    static size_t Index(MFreqField field) { return static_cast<size_t>(field); }
    void BuildPartialGroup();
    QPushButton* MakeButton(const char* name, const char* text, int left, int top,
                            void (TRecordBrowser::*step)());
    void DefaultBoxClicked();

    TMFreqProps props;
    std::array<QLineEdit*, kMFreqFieldCount> partialEdits{};
    std::array<QCheckBox*, kMFreqFieldCount> defaultBoxes{};
    /// Clear while the dialog sets the "Default" boxes from the record.
    bool ready = false;
};

} // namespace kelvorn
