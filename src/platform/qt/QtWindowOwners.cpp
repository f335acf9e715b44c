#include "platform/qt/QtWindowOwners.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace kelvorn {

QWidget* DialogOwner()
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return QApplication::activeModalWidget();
}

QtWindowOwners::QtWindowOwners()
{
    qApp->installEventFilter(this);
}

QtWindowOwners::~QtWindowOwners()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool QtWindowOwners::eventFilter(QObject* watched, QEvent* event)
{
    // A window's Show comes before the window system maps it: the owner set here is the one
    // the window manager reads.
    if (event->type() != QEvent::Show || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    if (!widget->isWindow() || widget->windowType() != Qt::Dialog)
        return QObject::eventFilter(watched, event);
    QWidget* owner = DialogOwner();
    QWindow* window = widget->windowHandle();
    QWindow* ownerWindow = owner ? owner->windowHandle() : nullptr;
    // A window that already belongs to this dialog (the help it opened) cannot own it.
    if (window && ownerWindow && ownerWindow != window &&
        !window->isAncestorOf(ownerWindow, QWindow::IncludeTransients))
        window->setTransientParent(ownerWindow);
    return QObject::eventFilter(watched, event);
}

} // namespace kelvorn
