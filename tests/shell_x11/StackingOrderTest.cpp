// Under a real X server with a window manager (scripts/x-test-server.sh, which ./test.sh starts),
// as the window manager reports it: a message box is above every tool window, from whichever
// window it is opened; the tool windows stay above the main window wherever the user clicks into
// it, maximised or not; and each title is the window's caption alone. Offscreen there is no
// stacking to read: without the server the tests are skipped and say why.
#include "XDesktop.h"

#include "platform/qt/QtMessages.h"
#include "support/ModalProbe.h"

#include <QScreen>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using StackingOrderTest = XDesktopTest;

TEST_F(StackingOrderTest, TheMessageBoxIsAboveEveryToolWindowWhicheverWindowOpensIt)
{
    TMainForm& main = *form;
    QtMessages boxes;
    ScopedService<MessageSink> installBoxes(&boxes);
    const std::vector<QWidget*> tools = ShowToolWindows();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    for (QWidget* active : {static_cast<QWidget*>(&main), tools[0]}) {
        SCOPED_TRACE(active->objectName().toStdString());
        ASSERT_TRUE(Activate(*active));
        ::testing::AssertionResult boxAbove = ::testing::AssertionFailure() << "no box";
        std::string title;
        ModalProbe probe([&](QDialog& box) {
            boxAbove = Above({&box}, *active);
            for (QWidget* tool : tools)
                if (boxAbove)
                    boxAbove = Above({&box}, *tool);
            title = x.Title(box);
        });
        Messages().Show("Invalid floating point operation.", "Runtime error", MsgIcon::Error,
                        MsgButtons::Ok);
        ASSERT_TRUE(probe.Seen());
        EXPECT_TRUE(boxAbove);
        EXPECT_EQ(title, "Runtime error");
        // The keyboard goes back where it was when the box opened, not to the main window.
        EXPECT_TRUE(Active(*active));
    }
}

TEST_F(StackingOrderTest, ToolWindowsStayAboveTheMainWindowWhereverItIsClicked)
{
    TMainForm& main = *form;
    TMDIChildKelvorn* document = OpenWave("Wave 1", 1, 100);
    document->setGeometry(0, 0, 300, 200);
    const std::vector<QWidget*> tools = ShowToolWindows();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    const auto covered = [&tools](QPoint global) {
        return std::any_of(tools.begin(), tools.end(), [global](const QWidget* tool) {
            return tool->frameGeometry().contains(global);
        });
    };
    for (bool maximised : {false, true}) {
        SCOPED_TRACE(maximised ? "maximised" : "normal");
        ASSERT_NO_FATAL_FAILURE(ShowMainWindow(maximised));
        const QRect documentArea(document->mapToGlobal(QPoint(0, 0)), document->size());
        // A place of the frame that neither a tool window nor the document window covers.
        QPoint frame;
        const QRect frameArea(main.Frame()->mapToGlobal(QPoint(0, 0)), main.Frame()->size());
        for (int y = frameArea.top() + 10; y < frameArea.bottom() && frame.isNull(); y += 20)
            for (int left = frameArea.left() + 10; left < frameArea.right(); left += 20)
                if (!covered({left, y}) && !documentArea.contains(left, y)) {
                    frame = {left, y};
                    break;
                }
        ASSERT_FALSE(frame.isNull());
        ASSERT_FALSE(covered(documentArea.center()));
        for (QPoint click : {frame, documentArea.center()}) {
            SCOPED_TRACE(click == frame ? "the frame" : "the document window");
            // Another window has the keyboard first: the click is what makes the main window
            // active.
            ASSERT_TRUE(Activate(*tools[0]));
            x.Click(click);
            ASSERT_TRUE(Active(main)) << "the click did not reach the main window";
            EXPECT_TRUE(Above(tools, main));
        }
    }
}

TEST_F(StackingOrderTest, EachTitleIsTheWindowsCaptionAlone)
{
    TMainForm& main = *form;
    const std::vector<QWidget*> tools = ShowToolWindows();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    const std::string project = Path("live.kvp");
    main.SetProjectFile(project);
    const std::string expected = "Kelvorn 9.0 - " + project;
    // The window manager reads the new title on its own time.
    if (!QTest::qWaitFor([&] { return x.Title(main) == expected; }, 5000)) {
        EXPECT_EQ(x.Title(main), expected);
    }
    for (const QWidget* tool : tools) {
        ASSERT_FALSE(tool->windowTitle().isEmpty());
        EXPECT_EQ(x.Title(*tool), tool->windowTitle().toStdString());
    }
}

} // namespace
