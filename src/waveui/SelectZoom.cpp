#include "waveui/SelectZoom.h"

#include "document/wave/UnitWave.h"
#include "general/Assert.h"
#include "general/GuiMessages.h"
#include "general/Services.h"
#include "waveui/ViewWave.h"
#include "waveui/ViewWaveGroup.h"
#include "waveui/WaveWindow.h"
#include "waveui/WaveWindowHost.h"
#include "window_base/EditFields.h"
#include "window_base/ToolWindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

#include <algorithm>
#include <cmath>

namespace kelvorn {

namespace {

std::string Latin1(const QString& text)
{
    return text.toLatin1().toStdString();
}

template <class W> W* Named(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLineEdit* EditWithCaption(QWidget* parent, const char* name, const char* caption, int left,
                           int top)
{
    auto* label = new QLabel(QLatin1String(caption), parent);
    label->setGeometry(left, top + 3, 36, 15);
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setGeometry(left + 38, top, 80, 21);
    return edit;
}

// Seconds typed for a wave of this frequency, as the sample they round to.
int32_t ToSample(double seconds, double freq)
{
    return static_cast<int32_t>(std::trunc(seconds * freq + 0.5));
}

} // namespace

TDlgSelZoom::TDlgSelZoom(QWidget* owner, SelZoomHost& host) : TOKHelpRightDlg(owner), host(host)
{
    setObjectName(QStringLiteral("DlgSelZoom"));
    setWindowTitle(QStringLiteral("Select and Zoom"));
    SetHelpContext(HelpContextSelZoom);
    // A modeless tool window of its owner, never on top of anything but the owner: the
    // program's dialogs and boxes open above it.
    setModal(false);
    setWindowFlags((windowFlags() & ~(Qt::WindowType_Mask | Qt::WindowStaysOnTopHint)) | Qt::Tool);
    SetCentred(false);
    OKBtn->setText(QStringLiteral("Apply"));
    CancelBtn->setText(QStringLiteral("Close"));
    SetClientSize(384, 256);
    Place(Bevel1, 8, 8, 281, 240);

    Label1 = Named(new QLabel(QStringLiteral("Selected"), this), "Label1");
    Place(Label1, 16, 14, 120, 15);
    optCursor = Named(new QRadioButton(QStringLiteral("Cursor"), this), "optCursor");
    Place(optCursor, 16, 34, 60, 17);
    optPart = Named(new QRadioButton(QStringLiteral("Part"), this), "optPart");
    Place(optPart, 16, 60, 60, 17);
    selected = new QButtonGroup(this);
    selected->addButton(optCursor);
    selected->addButton(optPart);

    auto field = [this](QLineEdit* edit, const char* caption, int left, int top) {
        auto* label = new QLabel(QLatin1String(caption), this);
        Place(label, left, top + 3, 36, 15);
        Place(edit, left + 38, top, 80, 21);
    };
    editCursorAt = Named(new QLineEdit(this), "editCursorAt");
    field(editCursorAt, "At", 80, 32);
    editPartBegin = Named(new QLineEdit(this), "editPartBegin");
    field(editPartBegin, "Begin", 80, 58);
    editPartEnd = Named(new QLineEdit(this), "editPartEnd");
    field(editPartEnd, "End", 80, 84);

    auto zoomGroup = [this](const char* name, const char* caption, const char* check,
                            const char* begin, const char* end, int top, QCheckBox*& zoomed,
                            QLineEdit*& beginEdit, QLineEdit*& endEdit) {
        auto* group = Named(new QGroupBox(QLatin1String(caption), this), name);
        Place(group, 16, top, 265, 66);
        zoomed = Named(new QCheckBox(QStringLiteral("Zoomed"), group), check);
        zoomed->setGeometry(8, 30, 64, 17);
        beginEdit = EditWithCaption(group, begin, "Begin", 74, 18);
        endEdit = EditWithCaption(group, end, "End", 74, 41);
        return group;
    };
    grpZoom1 = zoomGroup("grpZoom1", "Zoom First View", "chkZoomed1", "editZoom1Begin",
                         "editZoom1End", 110, chkZoomed1, editZoom1Begin, editZoom1End);
    grpZoom2 = zoomGroup("grpZoom2", "Zoom Second View", "chkZoomed2", "editZoom2Begin",
                         "editZoom2End", 182, chkZoomed2, editZoom2Begin, editZoom2End);

    // Typing in a field ticks the choice it belongs to; the window's own writes do not.
    auto ticks = [this](QLineEdit* edit, QAbstractButton* button) {
        connect(edit, &QLineEdit::textChanged, this, [this, button] { Tick(button); });
    };
    ticks(editCursorAt, optCursor);
    ticks(editPartBegin, optPart);
    ticks(editPartEnd, optPart);
    ticks(editZoom1Begin, chkZoomed1);
    ticks(editZoom1End, chkZoomed1);
    ticks(editZoom2Begin, chkZoomed2);
    ticks(editZoom2End, chkZoomed2);

    disconnect(CancelBtn, nullptr, this, nullptr);
    connect(CancelBtn, &QPushButton::clicked, this, &TDlgSelZoom::CloseBtnClick);
    Clear();
}

TMDIChildWave* TDlgSelZoom::ShownWindow() const
{
    return window.data();
}

void TDlgSelZoom::Tick(QAbstractButton* button)
{
    if (!Updating)
        button->setChecked(true);
}

TDlgSelZoom::ZoomGroup TDlgSelZoom::Zoom(int pane)
{
    if (pane == 1)
        return {chkZoomed1, editZoom1Begin, editZoom1End, &Zoom1Begin, &Zoom1End};
    return {chkZoomed2, editZoom2Begin, editZoom2End, &Zoom2Begin, &Zoom2End};
}

void TDlgSelZoom::Clear()
{
    Updating = 1;
    window = nullptr;
    OKBtn->setEnabled(false);
    selected->setExclusive(false);
    optCursor->setChecked(false);
    optPart->setChecked(false);
    selected->setExclusive(true);
    chkZoomed1->setChecked(false);
    chkZoomed2->setChecked(false);
    for (QLineEdit* edit : {editCursorAt, editPartBegin, editPartEnd, editZoom1Begin, editZoom1End,
                            editZoom2Begin, editZoom2End})
        DisableEdit(edit, true);
    for (QAbstractButton* button :
         std::initializer_list<QAbstractButton*>{optCursor, optPart, chkZoomed1, chkZoomed2})
        button->setEnabled(false);
    Updating = 0;
}

void TDlgSelZoom::UpdateAll(TMDIChildWave* newWindow)
{
    if (!newWindow) {
        Clear();
        return;
    }
    UpdateSelection(newWindow);
    UpdateZoom(newWindow, 1);
    UpdateZoom(newWindow, 2);
}

void TDlgSelZoom::UpdateSelection(TMDIChildWave* newWindow)
{
    if (!newWindow) {
        Clear();
        return;
    }
    window = newWindow;
    const TUnitWave& unit = newWindow->GetUnitWave();
    const double freq = unit.GetSampleFreq();
    Updating = 1;
    OKBtn->setEnabled(true);
    optCursor->setEnabled(true);
    optPart->setEnabled(true);
    for (QLineEdit* edit : {editCursorAt, editPartBegin, editPartEnd})
        EnableEdit(edit);
    if (unit.IsCursor()) {
        optCursor->setChecked(true);
        CursorAt.SetValue(unit.GetPos1() / freq);
        editCursorAt->setText(QString::fromLatin1(CursorAt.ToText().c_str()));
        editPartBegin->clear();
        editPartEnd->clear();
    } else {
        optPart->setChecked(true);
        PartBegin.SetValue(unit.GetPartBegin() / freq);
        PartEnd.SetValue(unit.GetPartEnd() / freq);
        editPartBegin->setText(QString::fromLatin1(PartBegin.ToText().c_str()));
        editPartEnd->setText(QString::fromLatin1(PartEnd.ToText().c_str()));
        editCursorAt->clear();
    }
    Updating = 0;
}

void TDlgSelZoom::UpdateZoom(TMDIChildWave* newWindow, int pane)
{
    if (!newWindow) {
        Clear();
        return;
    }
    if (!KV_SOFT_ASSERT(pane == 1 || pane == 2))
        return;
    // A zoom change of a window not shown (the window was cleared while the main window lost
    // the activation to a dialog) shows all of it: its zoom alone would enable "Apply" with
    // neither a cursor nor a part ticked.
    if (newWindow != window.data()) {
        UpdateAll(newWindow);
        return;
    }
    const TViewWave* view = newWindow->GetViewWaveGroup().GetView(pane);
    const ZoomGroup zoom = Zoom(pane);
    Updating = 1;
    OKBtn->setEnabled(true);
    zoom.zoomed->setEnabled(true);
    EnableEdit(zoom.begin);
    EnableEdit(zoom.end);
    if (!view || !view->IsZoomed()) {
        zoom.zoomed->setChecked(false);
        zoom.begin->clear();
        zoom.end->clear();
    } else {
        zoom.zoomed->setChecked(true);
        zoom.beginTime->SetValue(view->GetZoomBeginTime());
        zoom.endTime->SetValue(view->GetZoomEndTime());
        zoom.begin->setText(QString::fromLatin1(zoom.beginTime->ToText().c_str()));
        zoom.end->setText(QString::fromLatin1(zoom.endTime->ToText().c_str()));
    }
    Updating = 0;
}

void TDlgSelZoom::ApplyBtnClick()
{
    TMDIChildWave* target = window.data();
    if (!target) {
        Clear();
        return;
    }
    // The notices of each step come back here and may rebind the window; the steps stay with
    // the window they started on, as long as it lives.
    const QPointer<TMDIChildWave> guard(target);
    TUnitWave& unit = target->GetUnitWave();
    const double freq = unit.GetSampleFreq();
    const double length = unit.GetValues() / freq;
    bool ok = true;

    if (optCursor->isChecked()) {
        CursorAt.SetTextMsg(ok, Latin1(editCursorAt->text()), "Cursor At");
        if (ok) {
            if (CursorAt.GetValue() < length)
                unit.ChangeCursor(ToSample(CursorAt.GetValue(), freq));
            else
                TGuiMessages::ShowFieldInputError("Selected Cursor", PriorToEndText);
        }
    } else if (KV_SOFT_ASSERT(optPart->isChecked())) {
        PartBegin.SetTextMsg(ok, Latin1(editPartBegin->text()), "Part Begin");
        PartEnd.SetTextMsg(ok, Latin1(editPartEnd->text()), "Part End");
        if (ok) {
            const double begin = PartBegin.GetValue();
            const double end = PartEnd.GetValue();
            if (begin >= end)
                TGuiMessages::ShowInputError("Part Begin must be prior before Part End.");
            else if (begin >= length)
                TGuiMessages::ShowFieldInputError("Part Begin", PriorToEndText);
            else if (end >= length)
                TGuiMessages::ShowFieldInputError("Part End", PriorToEndText);
            else
                unit.ChangePart(ToSample(begin, freq), ToSample(end, freq));
        }
    }

    if (guard)
        ApplyZoom(*guard, 1, "First", ok, length);
    if (guard)
        ApplyZoom(*guard, 2, "Second", ok, length);
    if (guard)
        if (WaveWindowHost* windowHost = FindService<WaveWindowHost>())
            windowHost->WaveChanged(*guard);
}

void TDlgSelZoom::ApplyZoom(TMDIChildWave& target, int pane, const char* name, bool& ok,
                            double length)
{
    TViewWave* view = target.GetViewWaveGroup().GetView(pane);
    if (!view)
        return;
    const ZoomGroup zoom = Zoom(pane);
    if (!zoom.zoomed->isChecked()) {
        view->ZoomFull();
        return;
    }
    const std::string label = std::string("Zoom ") + name;
    zoom.beginTime->SetTextMsg(ok, Latin1(zoom.begin->text()), label + " Begin");
    zoom.endTime->SetTextMsg(ok, Latin1(zoom.end->text()), label + " End");
    if (!ok)
        return;
    const double begin = zoom.beginTime->GetValue();
    const double end = zoom.endTime->GetValue();
    const double freq = target.GetUnitWave().GetSampleFreq();
    const std::string order = label + ": Begin must be prior before End.";
    if (begin >= end) {
        TGuiMessages::ShowInputError(order);
        return;
    }
    if (begin >= length) {
        TGuiMessages::ShowFieldInputError(label + " Begin", PriorToEndText);
        return;
    }
    if (end >= length) {
        TGuiMessages::ShowFieldInputError(label + " End", PriorToEndText);
        return;
    }
    const int32_t first = ToSample(begin, freq);
    const int32_t last = ToSample(end, freq);
    // Two times closer than a sample would give an empty zoom, which the pane shows as the
    // whole wave: refused as the same order fault.
    if (first >= last) {
        TGuiMessages::ShowInputError(order);
        return;
    }
    view->ZoomTo(first, last, true);
}

void TDlgSelZoom::CloseBtnClick()
{
    hide();
}

void TDlgSelZoom::accept()
{
    ApplyBtnClick();
}

bool TDlgSelZoom::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        host.SetTextInputMode(true);
    return TOKHelpRightDlg::event(event);
}

void TDlgSelZoom::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        PlaceOnFirstShow(*this, host.GetMainFormRect());
        UpdateAll(host.GetActiveChildWave());
    }
    TOKHelpRightDlg::showEvent(event);
}

} // namespace kelvorn
