#pragma once
// "Select and Zoom": the modeless tool window that shows, in seconds, the selection of the
// active wave window (a cursor or a part) and the zoom of each of its two panes, and applies
// typed values on "Apply". The main window makes it once and keeps it; it follows the active
// wave window through UpdateAll, UpdateSelection and UpdateZoom, and with no wave window active
// it is cleared and disabled. It never owns the window it shows.
//
// Times are shown as sample / sample frequency and applied as trunc(seconds × frequency + 0.5).
// Every change the window applies comes back through the main window's notices and refreshes
// its fields.

#include "general/values/ValueUnits.h"
#include "window_base/OKDialogs.h"

#include <QPointer>
#include <QRect>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace kelvorn {

class TMDIChildWave;

/// What the window needs of the main window, which lives in a layer above this one.
class SelZoomHost
{
public:
    virtual ~SelZoomHost() = default;
    /// The main window's frame in screen coordinates.
    virtual QRect GetMainFormRect() const = 0;
    /// The active wave window, or null.
    virtual TMDIChildWave* GetActiveChildWave() = 0;
    /// While on, typed keys reach the focused field rather than the shortcuts.
    virtual void SetTextInputMode(bool on) = 0;
};

class TDlgSelZoom : public TOKHelpRightDlg
{
    Q_OBJECT

public:
    static constexpr int HelpContextSelZoom = 40;
    /// The message of a time at or after the wave's end.
    static constexpr const char* PriorToEndText = "Must be prior before the end of the wave.";

    /// host: not owned, must outlive the window.
    TDlgSelZoom(QWidget* owner, SelZoomHost& host);

    /// Shows window's selection and both panes' zoom; null clears and disables everything.
    void UpdateAll(TMDIChildWave* window);
    /// Shows window's cursor or part (null: as UpdateAll).
    void UpdateSelection(TMDIChildWave* window);
    /// Shows the zoom of pane 1 or 2 of window (null: as UpdateAll).
    void UpdateZoom(TMDIChildWave* window, int pane);
    /// The wave window shown, or null.
    TMDIChildWave* ShownWindow() const;

    QLabel* Label1;
    QRadioButton* optCursor;
    QLineEdit* editCursorAt;
    QRadioButton* optPart;
    QLineEdit* editPartBegin;
    QLineEdit* editPartEnd;
    QGroupBox* grpZoom1;
    QCheckBox* chkZoomed1;
    QLineEdit* editZoom1Begin;
    QLineEdit* editZoom1End;
    QGroupBox* grpZoom2;
    QCheckBox* chkZoomed2;
    QLineEdit* editZoom2Begin;
    QLineEdit* editZoom2End;

public slots:
    /// Applies the ticked values to the shown window; refused values show their box and the
    /// later steps go on, a field that does not parse stops every later value.
    void ApplyBtnClick();
    void CloseBtnClick();
    /// Enter is "Apply": the window stays open.
    void accept() override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    /// One pane's zoom group.
    struct ZoomGroup
    {
        QCheckBox* zoomed;
        QLineEdit* begin;
        QLineEdit* end;
        unitTimePos* beginTime;
        unitTimePosMore* endTime;
    };

    void Clear();
    void ApplyZoom(TMDIChildWave& target, int pane, const char* name, bool& ok, double length);
    ZoomGroup Zoom(int pane);
    void Tick(QAbstractButton* button);

    SelZoomHost& host;
    QPointer<TMDIChildWave> window;
    QButtonGroup* selected;

    unitTimePos CursorAt{0.0, EHS};
    unitTimePos PartBegin{0.0, EHS};
    unitTimePosMore PartEnd{0.0, EHS};
    unitTimePos Zoom1Begin{0.0, EHS};
    unitTimePosMore Zoom1End{0.0, EHS};
    unitTimePos Zoom2Begin{0.0, EHS};
    unitTimePosMore Zoom2End{0.0, EHS};
    uint8_t Updating = 0;
};

} // namespace kelvorn
