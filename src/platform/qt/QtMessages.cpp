#include "platform/qt/QtMessages.h"

#include <QApplication>
#include <QMessageBox>

namespace kelvorn {

namespace {

QMessageBox::Icon ToQtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Stop:
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

QMessageBox::StandardButtons ToQtButtons(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

MsgAnswer QtMessages::Show(const std::string& text, const std::string& caption, MsgIcon icon,
                           MsgButtons buttons)
{
    // File text is 8-bit; the GUI edge converts it with Latin-1.
    QMessageBox box(ToQtIcon(icon), QString::fromLatin1(caption.c_str()),
                    QString::fromLatin1(text.c_str()), ToQtButtons(buttons),
                    QApplication::activeWindow());
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        return MsgAnswer::Ok;
    }
}

} // namespace kelvorn
