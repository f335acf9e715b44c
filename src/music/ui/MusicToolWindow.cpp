#include "music/ui/MusicToolWindow.h"

#include "general/GuiMessages.h"
#include "general/values/ValueText.h"
#include "music/core/MuzLists.h"
#include "music/ui/MusicWindow.h"
#include "window_base/ToolWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>

namespace kelvorn {

TMusicToolWindow::TMusicToolWindow(QWidget* owner, MusicToolHost& host, QSize client,
                                   int helpContext)
    : TOKDlg(owner, client), host(host)
{
    SetHelpContext(helpContext);
    // A modeless tool window of its owner, on top of nothing but the owner: the program's
    // dialogs and boxes open above it.
    setModal(false);
    setWindowFlags((windowFlags() & ~(Qt::WindowType_Mask | Qt::WindowStaysOnTopHint)) | Qt::Tool);
    SetCentred(false);
    Bevel1->hide();
    btnApply = OKBtn;
    btnApply->setObjectName(QStringLiteral("btnApply"));
    btnApply->setText(QStringLiteral("Apply"));
    btnClose = CancelBtn;
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setText(QStringLiteral("Close"));
    AddHelpButton(0, 0);
    btnHelp = HelpBtn;
    btnHelp->setObjectName(QStringLiteral("btnHelp"));
    btnHelp->setText(QStringLiteral("Help"));
}

// ---- The piece shown -------------------------------------------------------------------------

void TMusicToolWindow::SetUnitMuz(TMDIChildMuz* newWindow)
{
    window = newWindow;
    unit = newWindow ? &newWindow->GetUnitMuz() : nullptr;
    RefillAll();
}

TMDIChildMuz* TMusicToolWindow::ShownWindow() const
{
    return Shown() ? window.data() : nullptr;
}

TUnitMuz* TMusicToolWindow::Shown() const
{
    // The window may have closed, or a revert may have given it another piece, before the main
    // window told us: either way the piece once shown is not to be touched.
    if (!window || window->IsClosing() || unit != &window->GetUnitMuz())
        return nullptr;
    return unit;
}

void TMusicToolWindow::RefillAll()
{
    Updating updatingNow(*this);
    dirtyField = nullptr;
    refused = false;
    Refill();
}

void TMusicToolWindow::Edited()
{
    if (TUnitMuz* doc = Shown()) {
        doc->Refresh();
        doc->SetModified();
    }
}

// ---- Fields ----------------------------------------------------------------------------------

void TMusicToolWindow::AddField(QLineEdit* field, std::function<bool()> exit)
{
    exits[field] = std::move(exit);
    field->installEventFilter(this);
    connect(field, &QLineEdit::textChanged, this, [this, field] { Changed(field); });
}

void TMusicToolWindow::AddField(QComboBox* field, std::function<bool()> exit)
{
    exits[field] = std::move(exit);
    field->installEventFilter(this);
    connect(field, &QComboBox::editTextChanged, this, [this, field] { Changed(field); });
}

void TMusicToolWindow::Changed(QWidget* field)
{
    if (IsUpdating())
        return;
    dirtyField = field;
    refused = false;
}

bool TMusicToolWindow::RunExit(QWidget* field, bool leaving)
{
    if (IsUpdating() || field != dirtyField)
        return true;
    putBack = false;
    // Without the piece there is nothing to store the text in: it goes with the next refill.
    if (!Shown() || exits[field]()) {
        dirtyField = nullptr;
        refused = false;
        return true;
    }
    // A value put back is no refused text: the next exit takes it rather than wait for another.
    refused = !putBack;
    if (leaving) {
        // The focus is on its way elsewhere: it comes back once it arrived, unless the text
        // went meanwhile (the window closed, another piece is shown).
        QTimer::singleShot(0, field, [this, field] {
            if (field == dirtyField && isVisible())
                ReturnFocus(field);
        });
    } else {
        ReturnFocus(field);
    }
    return false;
}

void TMusicToolWindow::PutBack(QLineEdit* field, const QString& text)
{
    {
        const Updating updating(*this);
        field->setText(text);
    }
    putBack = true;
}

bool TMusicToolWindow::TakePendingField()
{
    if (!dirtyField)
        return true;
    if (refused) {
        // Its box was shown already; the field waits for a text it takes.
        ReturnFocus(dirtyField);
        return false;
    }
    return RunExit(dirtyField, false);
}

void TMusicToolWindow::ReturnFocus(QWidget* widget)
{
    // The active window, not isActiveWindow(): a tool window counts as active while its owner
    // is, and the keyboard may be with the owner.
    if (isVisible() && QApplication::activeWindow() != this)
        activateWindow();
    if (widget)
        widget->setFocus(Qt::OtherFocusReason);
}

std::string TMusicToolWindow::Latin1(const QString& text)
{
    return text.toLatin1().toStdString();
}

bool TMusicToolWindow::WithinCap(double value, int32_t most, const char* field)
{
    std::string reason;
    if (CheckUserBound(2, value, most, reason))
        return true;
    TGuiMessages::ShowFieldInputError(field, reason);
    return false;
}

bool TMusicToolWindow::StorableName(const QString& text, const std::string& field,
                                    std::string& name)
{
    const bool latin1 =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
    name = TrimmedName(Latin1(text));
    const std::string problem = StoredNameProblem(name, latin1);
    if (problem.empty())
        return true;
    TGuiMessages::ShowFieldInputError(field, problem);
    return false;
}

// ---- Buttons ---------------------------------------------------------------------------------

void TMusicToolWindow::ApplyBtnClick()
{
    TakePendingField();
}

void TMusicToolWindow::accept()
{
    ApplyBtnClick();
}

void TMusicToolWindow::reject()
{
    hide();
}

// ---- Events ----------------------------------------------------------------------------------

bool TMusicToolWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && watched == dirtyField && isVisible()) {
        // Leaving the window or opening a field's own list is no exit from the field.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            RunExit(dirtyField, true);
    }
    return TOKDlg::eventFilter(watched, event);
}

bool TMusicToolWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) {
        host.SetTextInputMode(true);
        // A text being typed (a box just closed over it) is not thrown away.
        if (!dirtyField) {
            Activated();
            RefillAll();
        }
    }
    return TOKDlg::event(event);
}

void TMusicToolWindow::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        PlaceOnFirstShow(*this, host.GetMainFormRect());
        TMDIChildMuz* active = host.GetActiveChildMuz();
        window = active;
        unit = active ? &active->GetUnitMuz() : nullptr;
        Activated();
        RefillAll();
    }
    TOKDlg::showEvent(event);
}

void TMusicToolWindow::hideEvent(QHideEvent* event)
{
    // What was typed and not taken goes: the next show fills the fields afresh.
    dirtyField = nullptr;
    refused = false;
    TOKDlg::hideEvent(event);
}

} // namespace kelvorn
