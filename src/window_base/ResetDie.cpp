#include "window_base/ResetDie.h"

#include "general/random/RuntimeRandom.h"
#include "platform/Clock.h"
#include "platform/Help.h"

#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

namespace kelvorn {

void ApplyResetDieProps(const TResetDieProps& props, const Clock& clock)
{
    if (props.kind == TResetDieProps::SeedTimer)
        SetRuntimeRandomState(UtcMillisecondOfDay(clock.Now()));
    else if (props.kind == TResetDieProps::SeedValue)
        SetRuntimeRandomState(static_cast<uint32_t>(props.seed.GetValue()));
}

TDlgResetDie::TDlgResetDie(QWidget* owner, const TResetDieProps& props)
    : TOKHelpRightDlg(owner), props(props)
{
    setObjectName(QStringLiteral("DlgResetDie"));
    setWindowTitle(QStringLiteral("Reset die"));
    SetHelpContext(HelpContexts::ResetDie);
    SetClientSize(274, 96);
    SetSizeable(240, 130);
    const Anchors all = Anchors(Anchor::Left) | Anchor::Top | Anchor::Right | Anchor::Bottom;
    const Anchors topRight = Anchors(Anchor::Top) | Anchor::Right;
    Place(Bevel1, 8, 8, 172, 77, all);
    Place(OKBtn, 191, 8, 75, 25, topRight);
    Place(CancelBtn, 191, 38, 75, 25, topRight);
    Place(HelpBtn, 191, 68, 75, 25, topRight);

    optSeedValue = new QRadioButton(QStringLiteral("Seed Value"), this);
    optSeedValue->setObjectName(QStringLiteral("optSeedValue"));
    optSeedTimer = new QRadioButton(QStringLiteral("Seed Timer"), this);
    optSeedTimer->setObjectName(QStringLiteral("optSeedTimer"));
    editSeedValue = new QLineEdit(this);
    editSeedValue->setObjectName(QStringLiteral("editSeedValue"));
    Place(optSeedValue, 16, 24, 81, 17);
    Place(optSeedTimer, 16, 48, 81, 17);
    Place(editSeedValue, 104, 24, 67, 21, Anchors(Anchor::Left) | Anchor::Top | Anchor::Right);
    setTabOrder(optSeedValue, editSeedValue);
    setTabOrder(editSeedValue, optSeedTimer);

    connect(editSeedValue, &QLineEdit::textChanged, this,
            [this] { optSeedValue->setChecked(true); });
}

void TDlgResetDie::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        editSeedValue->setText(QString::fromLatin1(props.seed.ToText().c_str()));
        if (props.kind == TResetDieProps::SeedValue)
            optSeedValue->setChecked(true);
        else if (props.kind == TResetDieProps::SeedTimer)
            optSeedTimer->setChecked(true);
    }
    TOKHelpRightDlg::showEvent(event);
}

void TDlgResetDie::accept()
{
    bool canClose = true;
    if (optSeedValue->isChecked()) {
        props.seed.SetTextMsg(canClose, editSeedValue->text().toLatin1().toStdString(),
                              "Seed Value");
        props.kind = TResetDieProps::SeedValue;
    } else if (optSeedTimer->isChecked()) {
        props.kind = TResetDieProps::SeedTimer;
    }
    if (canClose)
        TOKHelpRightDlg::accept();
}

} // namespace kelvorn
