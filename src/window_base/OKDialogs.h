#pragma once
// The frames of the modal dialogs: a bevelled panel for the dialog's own controls and the
// buttons OK and Cancel, and with the Help bases a Help button, in a column at the right or a
// row at the bottom. OK is the default button (Enter), Cancel the cancel button (Escape).
// Derived dialogs add their controls with Place, set caption, size and help context, and check
// their fields in an accept() override, which may keep the dialog open. Run them with
// RunDialog (window_base/QtModalDialog.h).

#include "window_base/FormLayout.h"

#include <QDialog>

class QFrame;
class QPushButton;

namespace kelvorn {

/// What the four bases share.
class TOKDlg : public QDialog
{
    Q_OBJECT

public:
    QFrame* Bevel1;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    /// Only in the Help bases; else nullptr.
    QPushButton* HelpBtn = nullptr;

    int HelpContext() const { return helpContext; }
    void SetHelpContext(int context) { helpContext = context; }

    /// Sets the client area's size; fixed unless SetSizeable follows.
    void SetClientSize(int width, int height);
    /// Lets the user resize the dialog down to minWidth × minHeight, counted with the window
    /// frame as the forms count it (FormLayout.h).
    void SetSizeable(int minWidth, int minHeight);
    /// Whether showing the dialog centres it on the screen (the default).
    void SetCentred(bool centred) { centre = centred; }

    /// Puts control, a child of this dialog, at (left, top, width, height) of the client area
    /// as sized by the last SetClientSize.
    void Place(QWidget* control, int left, int top, int width, int height,
               Anchors anchors = AnchorTopLeft);

public slots:
    /// Asks the help service for the page of this dialog's help context.
    void HelpBtnClick();

protected:
    TOKDlg(QWidget* owner, QSize client);
    void AddHelpButton(int left, int top);

    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    FormLayout layout;
    int helpContext = 0;
    bool centre = true;
};

/// OK and Cancel at the right of a 384 × 179 client area.
class TOKRightDlg : public TOKDlg
{
    Q_OBJECT

public:
    explicit TOKRightDlg(QWidget* owner = nullptr);
};

/// TOKRightDlg with Help below Cancel.
class TOKHelpRightDlg : public TOKRightDlg
{
    Q_OBJECT

public:
    explicit TOKHelpRightDlg(QWidget* owner = nullptr);
};

/// OK and Cancel in a row at the bottom of a 313 × 214 client area.
class TOKBottomDlg : public TOKDlg
{
    Q_OBJECT

public:
    explicit TOKBottomDlg(QWidget* owner = nullptr);
};

/// TOKBottomDlg with Help right of Cancel.
class TOKHelpBottomDlg : public TOKBottomDlg
{
    Q_OBJECT

public:
    explicit TOKHelpBottomDlg(QWidget* owner = nullptr);
};

/// The top-left corner that centres a frame of size outer on the screen; none without one.
QPoint CentredOnScreen(QSize outer);

} // namespace kelvorn
