// The document window's own close box: a click on it asks the close question wherever the
// pointer came from, also when it came back without moving (a box over the window closed by a
// key) or a window appeared under it.
#include "platform/test/ScriptedMessages.h"
#include "support/PlainDocument.h"
#include "support/TitleBar.h"
#include "window_base/ChildKelvorn.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPointer>

#include <gtest/gtest.h>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

void Send(QWidget& window, QEvent::Type type, QPoint at, Qt::MouseButton button,
          Qt::MouseButtons held)
{
    QMouseEvent event(type, at, window.mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &event);
}

void Enter(QWidget& window, QPoint at)
{
    QEnterEvent event(at, at, window.mapToGlobal(at));
    QCoreApplication::sendEvent(&window, &event);
}

struct PointerCame
{
    const char* what;
    bool movedOver;
    bool boxCoveredIt;
};

// Two clicks on the close box of a changed document's window, the pointer come as said: the
// first asks and Cancel keeps the window, the second asks and No closes it.
void ClickCloseBoxTwice(const PointerCame& came)
{
    ScriptedMessages messages;
    QMdiArea area;
    area.resize(600, 400);
    auto* window = new TMDIChildKelvorn;
    auto unit = std::make_unique<PlainDocument>(DocumentKind::Music);
    unit->modified = true;
    window->SetUnit(std::move(unit));
    area.addSubWindow(window);
    window->setGeometry(10, 10, 300, 200);
    area.show();
    const QPoint closeBox = CloseBoxOf(*window);
    if (came.movedOver)
        Send(*window, QEvent::MouseMove, closeBox, Qt::NoButton, Qt::NoButton);
    if (came.boxCoveredIt) {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(window, &leave);
    }
    if (!came.movedOver || came.boxCoveredIt)
        Enter(*window, closeBox);
    messages.Expect(MsgAnswer::Cancel);
    messages.Expect(MsgAnswer::No);
    QPointer<TMDIChildKelvorn> alive = window;
    for (size_t click = 1; click <= 2; ++click) {
        Send(*window, QEvent::MouseButtonPress, closeBox, Qt::LeftButton, Qt::LeftButton);
        Send(*window, QEvent::MouseButtonRelease, closeBox, Qt::LeftButton, Qt::NoButton);
        ASSERT_EQ(messages.Shown().size(), click) << "click " << click << " asked nothing";
        EXPECT_EQ(messages.Shown().back().caption, "You have unsaved changes");
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull()) << "No closes the window";
}

TEST(DocumentWindow, AClickOnTheCloseBoxAsksWhereverThePointerCameFrom)
{
    const PointerCame cases[] = {
        {"moved over it", true, false},
        {"back without moving after a box", true, true},
        {"a new window under the still pointer", false, false},
    };
    for (const PointerCame& came : cases) {
        SCOPED_TRACE(came.what);
        ClickCloseBoxTwice(came);
    }
}

} // namespace
