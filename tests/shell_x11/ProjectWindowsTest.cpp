// Under a real X server with a window manager, a project opened into an empty frame: the screen
// shows the active window's own content, and no window behind it paints over it, also when
// they repaint themselves (as their title bars do when the main window turns active or not).
#include "XDesktop.h"

#include "factory/ui/FactoryWindow.h"
#include "shell/FactoryCommands.h"
#include "shell/FactoryHostImpl.h"
#include "shell/ProjectCommands.h"
#include "support/FactoryGraphs.h"

#include <QScreen>
#include <QTest>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class ProjectWindowsTest : public XDesktopTest
{
protected:
    void SetUp() override
    {
        XDesktopTest::SetUp();
        factories = std::make_unique<TFactoryCommands>(*form, *commands);
        factories->Install();
        projects = std::make_unique<TProjectCommands>(*form, *commands);
        projects->Install();
    }
    void TearDown() override
    {
        XDesktopTest::TearDown();
        for (QMdiSubWindow* window : form->Frame()->subWindowList())
            delete window;
        Flush();
        projects.reset();
        factories.reset();
    }

    /// A project of a factory "Main" in front of a second factory and the wave a run of Main
    /// made, each where a new window goes, saved and closed.
    std::string SaveProject()
    {
        fileDialogs.WhenSave(TProjectCommands::NewProjectTitle, Path("p.kvp"));
        Trigger("ProjectNew");
        TUnitSountory* gen = factories->NewFactory(2, nullptr);
        gen->SetName("Main");
        BuildGen(*gen);
        QMdiSubWindow* main = form->Frame()->activeSubWindow();
        factories->NewFactory(0, nullptr);
        form->Frame()->setActiveSubWindow(main);
        Trigger("SntRunCrWnd");
        form->Frame()->setActiveSubWindow(main);
        Trigger("ProjectSave");
        Trigger("ProjectClose");
        Flush();
        return Path("p.kvp");
    }

    ScopedService<TBuiltinNodeMaker> builtins{&GetBuiltinNodeMaker()};
    std::unique_ptr<TFactoryCommands> factories;
    std::unique_ptr<TProjectCommands> projects;
};

TEST_F(ProjectWindowsTest, AProjectOpenedIntoAnEmptyFrameShowsTheActiveWindowsOwnContent)
{
    TMainForm& main = *form;
    ASSERT_NO_FATAL_FAILURE(ShowMainWindow(false));
    const std::string project = SaveProject();
    // No tool window lies over the frame.
    form->ToggleToolWindow(Tool::EditName);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->EditNameWindow()->isVisible(); }, 5000));

    fileDialogs.WhenOpen(TProjectCommands::OpenProjectTitle, {project});
    Trigger("ProjectOpen");
    auto* active = dynamic_cast<TMDIChildFact*>(main.Frame()->activeSubWindow());
    ASSERT_TRUE(active && active->GetUnitSountory().GetName() == "Main");
    ASSERT_EQ(main.Frame()->subWindowList().size(), 3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return x.Origin(main) == main.geometry().topLeft(); }, 5000));
    EXPECT_EQ(x.SettledActive(), xcb_window_t(main.winId()));
    for (QMdiSubWindow* window : main.Frame()->subWindowList())
        if (window != active)
            window->repaint();

    QWidget& area = *active->FactoryViewport();
    const QRect onScreen(area.mapToGlobal(QPoint(0, 0)), area.size());
    const QImage shown =
        main.screen()->grabWindow(0).copy(onScreen).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage own = area.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), own.size());
    int wrongRows = 0;
    int firstWrong = -1;
    for (int y = 0; y < own.height(); ++y)
        if (std::memcmp(shown.constScanLine(y), own.constScanLine(y), size_t(own.bytesPerLine()))) {
            ++wrongRows;
            if (firstWrong < 0)
                firstWrong = y;
        }
    EXPECT_EQ(wrongRows, 0) << "the screen differs from the factory area from row " << firstWrong;
}

} // namespace
