#include "window_base/EditName.h"

#include "general/GuiMessages.h"
#include "window_base/DialogFonts.h"
#include "window_base/EditFields.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QShowEvent>

namespace kelvorn {

namespace {

// The form is 312 × 72 with its frame.
constexpr int ClientWidth = 312 - FrameWidthAllowance;
constexpr int ClientHeight = 72 - ToolFrameHeightAllowance;

} // namespace

std::string NameRefusal(const QString& name)
{
    if (name.contains(QLatin1Char('<')) || name.contains(QLatin1Char('>')))
        return "A name may not contain \"<\" or \">\".";
    for (QChar c : name)
        if (c.unicode() > 0xFF)
            return "A name may only contain Latin-1 characters.";
    return {};
}

TDlgEditName::TDlgEditName(QWidget* owner, NameTarget& target)
    : QWidget(owner, Qt::Tool), target(target), layout(QSize(ClientWidth, ClientHeight))
{
    setObjectName(QStringLiteral("DlgEditName"));
    setWindowTitle(QStringLiteral("Edit Name"));
    setFont(DialogFont());
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(ClientWidth, ClientHeight);
    setMinimumSize(180 - FrameWidthAllowance, ClientHeight);
    setMaximumSize(QWIDGETSIZE_MAX, ClientHeight);

    editName = new QLineEdit(this);
    editName->setObjectName(QStringLiteral("editName"));
    editName->setFont(DialogFont(15, true));
    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    const Anchors topRight = Anchors(Anchor::Top) | Anchor::Right;
    layout.Place(editName, QRect(8, 8, 166, 24),
                 Anchors(Anchor::Left) | Anchor::Top | Anchor::Right);
    layout.Place(btnOk, QRect(186, 8, 52, 25), topRight);
    layout.Place(btnCancel, QRect(245, 8, 53, 25), topRight);
    setTabOrder(editName, btnOk);
    setTabOrder(btnOk, btnCancel);

    connect(btnOk, &QPushButton::clicked, this, &TDlgEditName::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TDlgEditName::btnCancelClick);
    connect(editName, &QLineEdit::returnPressed, this, &TDlgEditName::btnOkClick);
}

void TDlgEditName::SetEditName(const std::string& name)
{
    EnableEdit(editName);
    editName->setText(QString::fromLatin1(name.c_str()));
    btnOk->setEnabled(true);
    btnCancel->setEnabled(true);
}

void TDlgEditName::Retarget()
{
    if (target.HasActiveDocument()) {
        SetEditName(target.ActiveName());
        return;
    }
    DisableEdit(editName, true);
    btnOk->setEnabled(false);
    btnCancel->setEnabled(false);
}

void TDlgEditName::btnOkClick()
{
    // Enter in the field arrives here even while no document is shown.
    if (!target.HasActiveDocument()) {
        Retarget();
        return;
    }
    const QString text = editName->text();
    std::string refusal = NameRefusal(text);
    if (!refusal.empty()) {
        TGuiMessages::ShowInputError(refusal);
        return;
    }
    std::string name = text.toLatin1().toStdString();
    if (target.CheckUniqueName(name))
        target.SetActiveName(name);
}

void TDlgEditName::btnCancelClick()
{
    if (!target.HasActiveDocument()) {
        Retarget();
        return;
    }
    editName->setText(QString::fromLatin1(target.ActiveName().c_str()));
}

bool TDlgEditName::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        target.SetTextInputMode(true);
    return QWidget::event(event);
}

void TDlgEditName::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layout.Apply(event->size());
}

void TDlgEditName::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        Retarget();
    QWidget::showEvent(event);
}

} // namespace kelvorn
