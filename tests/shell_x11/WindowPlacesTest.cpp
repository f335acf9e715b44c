// Under a real X server with a window manager, the windows as a user meets them: the main
// window has the keyboard from the start, a tool window shown for the first time lies on the
// screen beside the others and shown again comes back where the user left it, and Cascade leaves
// every document window room to work in.
#include "XDesktop.h"

#include "music/ui/MusicWindow.h"
#include "platform/qt/QtScreen.h"
#include "window_base/ToolWindow.h"

#include <QScreen>
#include <QTest>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using WindowPlacesTest = XDesktopTest;

TEST_F(WindowPlacesTest, AtStartTheMainWindowHasTheKeyboardAndNShowsEditNameWithIt)
{
    TMainForm& main = *form;
    QWidget* editName = form->EditNameWindow();
    ASSERT_TRUE(editName && QTest::qWaitForWindowExposed(&main) &&
                QTest::qWaitForWindowExposed(editName));
    EXPECT_EQ(x.SettledActive(), xcb_window_t(main.winId()));
    EXPECT_TRUE(Above({editName}, main));
    // The first key works.
    fileDialogs.WhenOpen(TFileCommands::OpenWaveTitle, {});
    x.Key(keysym::O, {keysym::Ctrl});
    EXPECT_TRUE(QTest::qWaitFor([this] { return fileDialogs.Pending() == 0; }, 5000))
        << "Ctrl+O opened nothing";
    // The user's own N, twice, gives Edit Name the keyboard, for typing.
    for (int press = 0; press < 2; ++press) {
        x.Key(keysym::N);
        ASSERT_TRUE(QTest::qWaitFor([&] { return editName->isVisible() == (press == 1); }, 5000));
    }
    EXPECT_EQ(x.SettledActive(), xcb_window_t(editName->winId()));
    EXPECT_TRUE(form->TextInputMode());
}

// Whichever way it was closed, whatever window was active meanwhile, with the main window
// normal and maximised: the same native window, at the user's place and width.
TEST_F(WindowPlacesTest, AToolWindowShownAgainComesBackWhereTheUserLeftIt)
{
    TMainForm& main = *form;
    Trigger("FileNewMuz");
    TMDIChildKelvorn* music = form->Documents().GetActiveChildMuz();
    ASSERT_TRUE(dynamic_cast<TMDIChildMuz*>(music));
    music->setGeometry(0, 0, 300, 200);
    TMDIChildWave* wave = NewWave("Wave 1", Pattern(100, 3));
    wave->setGeometry(320, 0, 300, 200);
    const std::vector<QWidget*> tools = ShowToolWindows();
    const Tool toggles[] = {Tool::EditName, Tool::SelZoom, Tool::Music, Tool::MusicParts};
    const QRect screen = main.screen()->availableGeometry();
    for (bool maximised : {false, true}) {
        SCOPED_TRACE(maximised ? "maximised" : "normal");
        ASSERT_NO_FATAL_FAILURE(ShowMainWindow(maximised));
        for (size_t i = 0; i < tools.size(); ++i) {
            QWidget& tool = *tools[i];
            SCOPED_TRACE(tool.windowTitle().toStdString());
            const bool widens = tool.minimumWidth() < tool.maximumWidth();
            const int width = tool.width() + (widens ? (maximised ? -30 : 30) : 0);
            const QPoint place(screen.right() - width - 40 * int(i) - 30 * maximised,
                               screen.bottom() - tool.height() - 40 * int(i + 1));
            x.MoveByUser(tool, place, width);
            // The program has followed the move when its own idea of the place agrees too: on a
            // busy machine it hears of the move and the new width in separate events.
            ASSERT_TRUE(QTest::qWaitFor(
                [&] {
                    return x.Origin(tool) == place &&
                           tool.geometry() == QRect(place, QSize(width, tool.height()));
                },
                5000));
            const WId native = tool.internalWinId();
            form->Frame()->setActiveSubWindow(wave);
            if (i % 2 == 0)
                form->ToggleToolWindow(toggles[i]);
            else
                x.CloseByUser(tool);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !tool.isVisible(); }, 5000));
            // A click into the score makes the music window the active one.
            x.Click(music->mapToGlobal(music->rect().center()));
            ASSERT_TRUE(
                QTest::qWaitFor([&] { return form->Documents().GetActiveChild() == music; }, 5000));

            form->ToggleToolWindow(toggles[i]);
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&tool));
            EXPECT_TRUE(QTest::qWaitFor([&] { return x.Origin(tool) == place; }, 5000))
                << "at " << x.Origin(tool).x() << ", " << x.Origin(tool).y() << " instead of "
                << place.x() << ", " << place.y();
            EXPECT_EQ(tool.width(), width);
            EXPECT_EQ(tool.internalWinId(), native);
        }
    }
}

// Every window as large as the frame allows with its title bar stepped below the one behind,
// the active one in front; never a bare title bar.
TEST_F(WindowPlacesTest, CascadeGivesEveryDocumentWindowRoomToWorkIn)
{
    TMainForm& main = *form;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    Trigger("FileNewMuz");
    OpenFactory("Factory 1", 0);
    TMDIChildWave* wave = NewWave("Wave 1", Pattern(1000, 3));
    Trigger("WindowCascade");
    const QList<QMdiSubWindow*> stack = main.Frame()->subWindowList(QMdiArea::StackingOrder);
    ASSERT_EQ(stack.size(), 3);
    EXPECT_EQ(stack.back(), wave);
    EXPECT_EQ(main.Frame()->activeSubWindow(), wave);
    const QSize area = main.Frame()->viewport()->size();
    const int titleBar = wave->contentsMargins().top();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(stack[i]->windowTitle().toStdString());
        EXPECT_EQ(stack[i]->geometry(),
                  QRect(i * titleBar, i * titleBar, area.width() - 2 * titleBar,
                        area.height() - 2 * titleBar));
        EXPECT_GE(stack[i]->height(), TDocumentServices::MinimumWindowHeight);
    }
}

// At its first show a tool window lies whole on the screen and beside the tool windows already
// shown, as the window manager frames them: "Music Parts" first, then "Music", then "Select and
// Zoom", with the main window maximised (their corner is the screen's) and normal.
class FirstPlaceTest : public XDesktopTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(FirstPlaceTest, TheToolWindowsAtTheirFirstShowLieOnTheScreenApart)
{
    QtScreen realScreen;
    ScopedService<Screen> installScreen(&realScreen);
    TMainForm& main = *form;
    ASSERT_NO_FATAL_FAILURE(ShowMainWindow(GetParam()));
    if (!GetParam())
        main.setGeometry(200, 150, 700, 500);
    Trigger("FileNewMuz");
    // The user starts once the program's windows are up.
    std::vector<QWidget*> shown = {form->EditNameWindow()};
    ASSERT_TRUE(Framed(main));
    ASSERT_TRUE(Framed(*shown[0]));
    for (Tool tool : {Tool::MusicParts, Tool::Music, Tool::SelZoom}) {
        form->ToggleToolWindow(tool);
        shown.push_back(form->ToolSlot(tool).Existing());
        ASSERT_TRUE(shown.back());
        ASSERT_TRUE(Framed(*shown.back()));
    }
    const QRect screen = main.screen()->availableGeometry();
    for (size_t i = 1; i < shown.size(); ++i) {
        const QRect frame = x.Frame(*shown[i]);
        SCOPED_TRACE(shown[i]->windowTitle().toStdString());
        EXPECT_TRUE(screen.contains(frame)) << ::testing::PrintToString(frame);
        for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(frame.intersects(x.Frame(*shown[j])))
                << ::testing::PrintToString(frame) << " over "
                << shown[j]->windowTitle().toStdString() << " at "
                << ::testing::PrintToString(x.Frame(*shown[j]));
    }
}

INSTANTIATE_TEST_SUITE_P(MainWindow, FirstPlaceTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Maximised" : "Normal"; });

} // namespace
