#include "platform/qt/QtMessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <utility>

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

// A window manager may pass over a request for the keyboard: its own choice of a window once
// the box is gone (openbox falls back to the main window) can come after the request and win.
// The request is made again for a short while, as long as the keyboard stays with the window
// the window manager chose; a window the user picks meanwhile keeps it.
void GiveKeyboardBack(QWidget& opener)
{
    opener.activateWindow();
    constexpr int attempts = 10;
    auto* retry = new QTimer(&opener);
    retry->setInterval(100);
    QObject::connect(retry, &QTimer::timeout, &opener,
                     [&opener, retry, attempt = 0, chosen = QPointer<QWidget>()]() mutable {
                         QWidget* active = QApplication::activeWindow();
                         if (active == &opener || !opener.isVisible() || ++attempt > attempts ||
                             (chosen && active != chosen)) {
                             retry->deleteLater();
                             return;
                         }
                         chosen = active;
                         opener.activateWindow();
                     });
    retry->start();
}

} // namespace

QtMessages::QtMessages()
    : guiThread(QCoreApplication::instance() ? QCoreApplication::instance()->thread()
                                             : QThread::currentThread()),
      receiver(std::make_unique<QObject>())
{
    receiver->moveToThread(guiThread);
}

QtMessages::~QtMessages() = default;

MsgAnswer QtMessages::Show(const std::string& text, const std::string& caption, MsgIcon icon,
                           MsgButtons buttons)
{
    if (QThread::currentThread() == guiThread)
        return presenter(text, caption, icon, buttons);
    // Never a blocking call: the GUI thread may be joining this very thread.
    QMetaObject::invokeMethod(
        receiver.get(),
        [this, text, caption, icon, buttons] { presenter(text, caption, icon, buttons); },
        Qt::QueuedConnection);
    return FirstButtonAnswer(buttons);
}

QtMessages::Presenter QtMessages::SetPresenter(Presenter replacement)
{
    return std::exchange(presenter, std::move(replacement));
}

MsgAnswer QtMessages::ShowMessageBox(const std::string& text, const std::string& caption,
                                     MsgIcon icon, MsgButtons buttons)
{
    // File text is 8-bit; the GUI edge converts it with Latin-1.
    const QPointer<QWidget> opener = QApplication::activeWindow();
    QMessageBox box(ToQtIcon(icon), QString::fromLatin1(caption.c_str()),
                    QString::fromLatin1(text.c_str()), ToQtButtons(buttons), opener);
    const int answer = box.exec();
    // A window manager hands the keyboard to the main window when a box closes, even when a
    // tool window opened it; there single keys are shortcuts the user did not mean to type.
    if (opener && opener->isVisible())
        GiveKeyboardBack(*opener);
    switch (answer) {
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
