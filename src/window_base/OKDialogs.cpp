#include "window_base/OKDialogs.h"

#include "general/Services.h"
#include "platform/Help.h"
#include "platform/Screen.h"
#include "window_base/DialogFonts.h"

#include <QFrame>
#include <QPushButton>
#include <QResizeEvent>
#include <QShowEvent>

namespace kelvorn {

TOKDlg::TOKDlg(QWidget* owner, QSize client) : QDialog(owner), layout(client)
{
    setWindowTitle(QStringLiteral("Dialog"));
    setFont(DialogFont());
    setSizeGripEnabled(false);
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    // Buttons do not take Enter for themselves: Enter is OK wherever the focus is.
    OKBtn->setAutoDefault(false);
    CancelBtn->setAutoDefault(false);
    setTabOrder(OKBtn, CancelBtn);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    SetClientSize(client.width(), client.height());
}

void TOKDlg::AddHelpButton(int left, int top)
{
    HelpBtn = new QPushButton(QStringLiteral("&Help"), this);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    HelpBtn->setAutoDefault(false);
    setTabOrder(CancelBtn, HelpBtn);
    connect(HelpBtn, &QPushButton::clicked, this, &TOKDlg::HelpBtnClick);
    Place(HelpBtn, left, top, 75, 25);
}

void TOKDlg::SetClientSize(int width, int height)
{
    layout.SetDesignSize(QSize(width, height));
    setFixedSize(width, height);
}

void TOKDlg::SetSizeable(int minWidth, int minHeight)
{
    setMinimumSize(std::max(0, minWidth - FrameWidthAllowance),
                   std::max(0, minHeight - DialogFrameHeightAllowance));
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void TOKDlg::Place(QWidget* control, int left, int top, int width, int height, Anchors anchors)
{
    layout.Place(control, QRect(left, top, width, height), anchors);
}

void TOKDlg::HelpBtnClick()
{
    GetService<Help>().ShowContext(helpContext);
}

void TOKDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layout.Apply(event->size());
}

void TOKDlg::showEvent(QShowEvent* event)
{
    if (centre && !event->spontaneous() && FindService<Screen>())
        move(CentredOnScreen(frameGeometry().size()));
    QDialog::showEvent(event);
}

TOKRightDlg::TOKRightDlg(QWidget* owner) : TOKDlg(owner, QSize(384, 179))
{
    Place(Bevel1, 8, 8, 281, 161);
    Place(OKBtn, 300, 8, 75, 25);
    Place(CancelBtn, 300, 38, 75, 25);
}

TOKHelpRightDlg::TOKHelpRightDlg(QWidget* owner) : TOKRightDlg(owner)
{
    AddHelpButton(300, 68);
}

TOKBottomDlg::TOKBottomDlg(QWidget* owner) : TOKDlg(owner, QSize(313, 214))
{
    Place(Bevel1, 8, 8, 297, 161);
    Place(OKBtn, 79, 180, 75, 25);
    Place(CancelBtn, 159, 180, 75, 25);
}

TOKHelpBottomDlg::TOKHelpBottomDlg(QWidget* owner) : TOKBottomDlg(owner)
{
    Place(OKBtn, 70, 180, 75, 25);
    Place(CancelBtn, 150, 180, 75, 25);
    AddHelpButton(230, 180);
}

QPoint CentredOnScreen(QSize outer)
{
    Screen* screen = FindService<Screen>();
    if (!screen)
        return {};
    PixelRect whole = screen->Geometry();
    return {whole.left + (whole.Width() - outer.width()) / 2,
            whole.top + (whole.Height() - outer.height()) / 2};
}

} // namespace kelvorn
