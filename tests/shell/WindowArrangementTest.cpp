// Where the Window menu puts the document windows: Cascade's places leave each window as large
// as the steps allow and never below the usable size, starting again at the top left when the
// steps would leave less; Arrange All lines the minimised windows up along the bottom, in rows
// that stay inside the frame; a new window takes the first free cascade place where it lies
// whole. A window picked from the menu's list comes up even when minimised, and the frame
// scrolls to a window the toolbars pushed partly out of it until an arrangement fills it again.
#include "ShellSupport.h"

#include "shell/WindowArrangement.h"

#include <QMenu>
#include <QScrollBar>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

struct CascadeCase
{
    const char* name;
    QSize area;
    int count;
    std::vector<QRect> places;
};

TEST(WindowArrangement, CascadePlacesAreAsLargeAsTheStepsAllow)
{
    // Steps of 30 pixels, no window below 320 x 200.
    const CascadeCase cases[] = {
        {"one fills the area", {600, 400}, 1, {{0, 0, 600, 400}}},
        {"three step down and right",
         {600, 400},
         3,
         {{0, 0, 540, 340}, {30, 30, 540, 340}, {60, 60, 540, 340}}},
        {"the steps that fit, then again from the top left",
         {400, 300},
         5,
         {{0, 0, 340, 240},
          {30, 30, 340, 240},
          {60, 60, 340, 240},
          {0, 0, 340, 240},
          {30, 30, 340, 240}}},
        {"an area below the usable size is filled by each",
         {200, 100},
         2,
         {{0, 0, 200, 100}, {0, 0, 200, 100}}},
        {"an empty area has no places", {0, 0}, 2, {}},
    };
    for (const CascadeCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CascadePlaces(c.area, c.count, 30, {320, 200}), c.places);
    }
    // A step of nothing still steps.
    EXPECT_EQ(CascadePlaces({600, 400}, 2, 0, {320, 200}).back(), QRect(1, 1, 599, 399));
}

TEST(WindowArrangement, MinimisedWindowsLineUpInRowsInsideTheFrame)
{
    const QSize icon(200, 24);
    EXPECT_EQ(IconPlaces({500, 300}, {icon, icon, icon}),
              (std::vector<QRect>{{0, 276, 200, 24}, {200, 276, 200, 24}, {0, 252, 200, 24}}));
    // Wider than the frame: one to a row.
    EXPECT_EQ(IconPlaces({150, 300}, {icon, icon}),
              (std::vector<QRect>{{0, 276, 200, 24}, {0, 252, 200, 24}}));
    EXPECT_TRUE(IconPlaces({500, 300}, {}).empty());
}

TEST(WindowArrangement, ANewWindowTakesTheFirstFreeCascadePlaceWhereItLiesWhole)
{
    // A window of 400 x 300 in steps of 24: the places taken, the place given.
    const std::tuple<const char*, QSize, std::vector<QPoint>, QPoint> rows[] = {
        {"an empty frame", {600, 400}, {}, {0, 0}},
        {"the first place left free, whatever came before",
         {600, 400},
         {{0, 0}, {24, 24}, {72, 72}},
         {48, 48}},
        {"a window off the diagonal takes no place", {600, 400}, {{1, 0}, {0, 24}}, {0, 0}},
        {"the last place where it lies whole",
         {600, 396},
         {{0, 0}, {24, 24}, {48, 48}, {72, 72}},
         {96, 96}},
        {"every such place taken: the top left again",
         {600, 395},
         {{0, 0}, {24, 24}, {48, 48}, {72, 72}},
         {0, 0}},
        {"a frame smaller than the window", {300, 200}, {{0, 0}}, {0, 0}},
    };
    for (const auto& [name, area, taken, place] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(NewWindowPlace(area, {400, 300}, taken, 24), place);
    }
    // A step of nothing still steps.
    EXPECT_EQ(NewWindowPlace({600, 400}, {400, 300}, {{0, 0}}, 0), QPoint(1, 1));
}

class WindowMenuTest : public ShellTest
{
protected:
    WindowMenuTest() { Start(); }

    /// Picks the window of that caption from the list at the bottom of the Window menu.
    void Pick(const QString& caption)
    {
        QMenu* menu = form->Menu("MenuWindow");
        emit menu->aboutToShow();
        for (QAction* item : menu->actions())
            if (item->text().endsWith(" " + caption)) {
                item->trigger();
                return;
            }
        ADD_FAILURE() << "no item " << caption.toStdString();
    }
    void Activate(QMdiSubWindow* window)
    {
        form->Frame()->setActiveSubWindow(window);
        form->ActionListUpdate();
        Flush();
    }
};

TEST_F(WindowMenuTest, AMinimisedWindowPickedFromTheListComesBackAsItWasAndActive)
{
    TMDIChildKelvorn* wave = OpenWave("Wave 1");
    MusicWindow* piece = OpenMusic("Music 1");
    wave->setGeometry(30, 40, 400, 300);
    piece->setGeometry(50, 60, 410, 310);
    Flush();
    // Minimize All takes a maximised window down to an icon too.
    piece->showMaximized();
    A("WindowMinimizeAll")->trigger();
    ASSERT_TRUE(wave->isMinimized() && piece->isMinimized());

    Pick("Wave 1");
    EXPECT_EQ(form->Frame()->activeSubWindow(), wave);
    EXPECT_FALSE(wave->isMinimized());
    EXPECT_EQ(wave->geometry(), QRect(30, 40, 400, 300));
    EXPECT_TRUE(piece->isMinimized());
    Pick("Music 1");
    EXPECT_EQ(form->Frame()->activeSubWindow(), piece);
    EXPECT_FALSE(piece->isMinimized() || piece->isMaximized());
    EXPECT_EQ(piece->geometry(), QRect(50, 60, 410, 310));
    EXPECT_TRUE(wave->isVisible() && !wave->isMinimized());
}

TEST_F(WindowMenuTest, TheListShowsEachCaptionAsItIsAmpersandsToo)
{
    for (const char* name : {"Rock & Roll", "&Wave", "Wave 1"})
        OpenWave(name);
    QMenu* menu = form->Menu("MenuWindow");
    emit menu->aboutToShow();
    std::vector<std::string> shown;
    for (QAction* item : menu->actions())
        if (item->property("kelvornWindowItem").toBool() && !item->isSeparator())
            shown.push_back(item->iconText().toStdString());
    EXPECT_EQ(shown, (std::vector<std::string>{"1 Rock & Roll", "2 &Wave", "3 Wave 1"}));
}

TEST_F(WindowMenuTest, AWindowPushedPartlyOutOfTheFrameCanBeScrolledToUntilAnArrangement)
{
    QMdiArea& frame = *form->Frame();
    QScrollBar& vertical = *frame.verticalScrollBar();
    QScrollBar& horizontal = *frame.horizontalScrollBar();
    MusicWindow* piece = OpenMusic("Music 1");
    FactoryWindow* factory = OpenFactory("Factory 1", 0);
    for (const char* arrangement :
         {"WindowCascade", "WindowTileHorizontal", "WindowTileVertical"}) {
        SCOPED_TRACE(arrangement);
        Activate(factory);
        A(arrangement)->trigger();
        Flush();
        // The music window brings two more rows of toolbars than the factory window.
        const int filled = frame.viewport()->height();
        Activate(piece);
        ASSERT_LT(frame.viewport()->height(), filled);
        ASSERT_TRUE(vertical.isVisible());
        vertical.setValue(vertical.maximum());
        horizontal.setValue(horizontal.maximum());
        Flush();
        for (QMdiSubWindow* window : std::initializer_list<QMdiSubWindow*>{piece, factory})
            EXPECT_TRUE(frame.viewport()->rect().contains(window->geometry().bottomRight()));

        // Filled again, from the top left, with no strip left where the scroll bars were.
        A(arrangement)->trigger();
        Flush();
        EXPECT_FALSE(vertical.isVisible() || horizontal.isVisible());
        const QRect covered = piece->geometry() | factory->geometry();
        EXPECT_EQ(covered.topLeft(), QPoint(0, 0));
        EXPECT_GE(covered.right() + 2, frame.viewport()->width());
        EXPECT_GE(covered.bottom() + 2, frame.viewport()->height());
    }
}

} // namespace
