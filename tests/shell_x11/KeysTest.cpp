// Under a real X server with a window manager, keys as the user types them (XTEST): a menu of
// the menu bar, opened by a key or a click and left again (one Escape, which leaves the bar
// highlighted, is enough), hands the keyboard back to the main window's shortcuts on the next
// key, with or without a document, and the focus goes back where it was; while the menu is open a
// shortcut's key runs nothing. Ctrl+F4 closes the active document window after its close
// question, wherever a click put the keyboard. A right click beside a factory's area opens no
// pop-up and leaves the next one to come on the screen. Without the server the tests are skipped
// and say why.
#include "XDesktop.h"

#include "factory/core/UserNodes.h"
#include "factory/ui/FactoryWindow.h"
#include "shell/FactoryCommands.h"
#include "waveui/ViewWave.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>

#include <string>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

// The main window as the user finds it before opening a menu: active under the window manager
// with the keyboard, a wave window open when asked for, text input off.
class MenuKeysTest : public XDesktopTest
{
protected:
    void ActivateMainWindow(bool withWave)
    {
        TMainForm& main = *form;
        if (withWave)
            OpenWave("Wave 1", 1, 100)->setGeometry(0, 0, 300, 200);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
        ASSERT_TRUE(Activate(main));
        main.SetTextInputMode(false);
    }

    void ClickTitleOf(QMenu* menu)
    {
        QMenuBar* bar = form->menuBar();
        x.Click(bar->mapToGlobal(bar->actionGeometry(menu->menuAction()).center()));
    }
};

struct LeaveCase
{
    const char* name;
    bool document;      // a wave window is active
    const char* menu;   // the menu opened
    const char* open;   // "Alt+" its letter, "click" on its title, "Alt" alone (no menu opens)
    const char* leave;  // "Escape" once (after a menu the bar keeps its keyboard mode),
                        // "Escape Escape", "Escape click" into the frame, "Alt", "click" into
                        // the frame, "Return" on the item highlighted, "none"
    const char* chosen; // the action the leaving runs, "" for none
    const char* first;  // the first key typed after: "Ctrl+O" or "N"
};

void PrintTo(const LeaveCase& row, std::ostream* out)
{
    *out << row.name;
}

class LeftMenuTest : public MenuKeysTest, public ::testing::WithParamInterface<LeaveCase>
{
};

TEST_P(LeftMenuTest, TheMenuLeftHandsTheKeysBackToTheShortcuts)
{
    const LeaveCase& row = GetParam();
    TMainForm& main = *form;
    QMenuBar* bar = main.menuBar();
    QMenu* menu = main.Menu(GetParam().menu);
    ASSERT_NO_FATAL_FAILURE(ActivateMainWindow(row.document));
    TriggeredActions triggered(main);
    std::vector<std::string>& ran = triggered.ran;
    QWidget* before = QApplication::focusWidget();
    ASSERT_NE(before, bar);

    const std::string open = row.open;
    if (open == "Alt+F" || open == "Alt+H")
        x.Key(open == "Alt+F" ? keysym::F : keysym::H, {keysym::Alt});
    else if (open == "click")
        ClickTitleOf(menu);
    else
        x.Key(keysym::Alt);
    if (open == "Alt")
        ASSERT_TRUE(QTest::qWaitFor([&] { return bar->activeAction() != nullptr; }, 5000))
            << "Alt gave the menu bar no keyboard";
    else
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return QApplication::activePopupWidget() == menu; }, 5000))
            << "the menu did not open";
    const bool menuShown = open != "Alt";
    if (menuShown) {
        EXPECT_TRUE(MenuOpen());
        // L is keyL's, a key action always enabled, and no letter of the bar or its menu.
        x.Key(keysym::L);
    }

    const std::string leave = row.leave;
    if (leave.rfind("Escape", 0) == 0) {
        x.Key(keysym::Escape);
        if (menuShown) {
            // The first Escape closes the menu and leaves the bar highlighted, with the keys
            // that are its own.
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return !QApplication::activePopupWidget() && bar->activeAction(); }, 5000));
            EXPECT_FALSE(MenuOpen());
        }
        if (leave == "Escape Escape")
            x.Key(keysym::Escape);
        else if (leave == "Escape click")
            x.Click(main.Frame()->mapToGlobal(main.Frame()->rect().bottomRight() - QPoint(20, 20)));
    } else if (leave == "Alt") {
        x.Key(keysym::Alt);
    } else if (leave == "click") {
        x.Click(main.Frame()->mapToGlobal(main.Frame()->rect().bottomRight() - QPoint(20, 20)));
    } else if (leave == "Return") {
        x.Key(keysym::Return);
    }
    const bool modeKept = leave == "none" || (leave == "Escape" && menuShown);
    if (!modeKept) {
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return !QApplication::activePopupWidget() && !bar->activeAction(); }, 5000))
            << "the menu was not left";
    }
    EXPECT_EQ(ran, *row.chosen ? std::vector<std::string>{row.chosen} : std::vector<std::string>{});

    // The next keys are the shortcuts' again, the first one too where the bar still had its
    // keyboard mode.
    std::vector<std::pair<std::vector<uint32_t>, std::string>> keys{
        {{keysym::O, keysym::Ctrl}, "FileOpenWave"}, {{keysym::N}, "EditNameAction"}};
    if (std::string(row.first) == "N")
        std::swap(keys[0], keys[1]);
    keys.push_back({{keysym::L}, "keyL"});
    for (const auto& [typed, action] : keys) {
        ran.clear();
        if (typed.size() == 2)
            x.Key(typed[0], {typed[1]});
        else
            x.Key(typed[0]);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !ran.empty(); }, 5000)) << action << " ran not";
        EXPECT_EQ(ran, std::vector<std::string>{action});
        EXPECT_FALSE(bar->activeAction()) << "the bar kept its keyboard mode";
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() != bar; }, 2000))
        << "the menu bar kept the focus";
    // Where no widget had it, the focus stays nowhere or goes to the main window.
    QWidget* after = QApplication::focusWidget();
    EXPECT_TRUE(after == before || (!before && after == &main)) << after;
}

INSTANTIATE_TEST_SUITE_P(
    Menus, LeftMenuTest,
    // With a wave active Alt+F is Multi Frequencies: the Help menu opens by its letter instead.
    ::testing::Values(
        LeaveCase{"KeyEscapeNoDocument", false, "MenuFile", "Alt+F", "Escape", "", "Ctrl+O"},
        LeaveCase{"ClickEscapeNoDocument", false, "MenuFile", "click", "Escape", "", "Ctrl+O"},
        LeaveCase{"ClickEscapeOneKeyNoDocument", false, "MenuFile", "click", "Escape", "", "N"},
        LeaveCase{"ClickEscapeClickNoDocument", false, "MenuFile", "click", "Escape click", "",
                  "N"},
        LeaveCase{"ClickEscapeEscapeNoDocument", false, "MenuFile", "click", "Escape Escape", "",
                  "N"},
        // Alt alone highlights the first title, File, and opens no menu.
        LeaveCase{"AltEscapeNoDocument", false, "MenuFile", "Alt", "Escape", "", "N"},
        LeaveCase{"AltOneKeyNoDocument", false, "MenuFile", "Alt", "none", "", "N"},
        LeaveCase{"AltAltNoDocument", false, "MenuFile", "Alt", "Alt", "", "N"},
        LeaveCase{"KeyReturnNoDocument", false, "MenuFile", "Alt+F", "Return", "FileNewWave", "N"},
        LeaveCase{"ClickClickNoDocument", false, "MenuFile", "click", "click", "", "N"},
        LeaveCase{"KeyEscapeWave", true, "MenuHelp", "Alt+H", "Escape", "", "Ctrl+O"},
        LeaveCase{"KeyEscapeOneKeyWave", true, "MenuHelp", "Alt+H", "Escape", "", "N"},
        LeaveCase{"ClickEscapeWave", true, "MenuFile", "click", "Escape", "", "Ctrl+O"},
        LeaveCase{"ClickEscapeClickWave", true, "MenuFile", "click", "Escape click", "", "N"},
        LeaveCase{"KeyEscapeEscapeWave", true, "MenuHelp", "Alt+H", "Escape Escape", "", "N"},
        LeaveCase{"KeyReturnWave", true, "MenuHelp", "Alt+H", "Return", "HelpContents", "N"}),
    [](const auto& info) { return std::string(info.param.name); });

// Alt with a letter while a menu is open is the menu's, as the letter alone is: it picks the
// menu's item of that letter, else does nothing. The command that owns the key outside the menus
// does not run beneath it; Alt alone still closes the menu.
struct AltInMenuCase
{
    const char* name;
    bool document;      // a wave window is active
    const char* menu;   // opened by a click on its title
    uint32_t letter;    // pressed with Alt, 0 for Alt alone
    const char* open;   // the menu open afterwards, "" for none
    const char* chosen; // the action that runs, "" for none
};

void PrintTo(const AltInMenuCase& row, std::ostream* out)
{
    *out << row.name;
}

class AltInMenuTest : public MenuKeysTest, public ::testing::WithParamInterface<AltInMenuCase>
{
};

TEST_P(AltInMenuTest, AnAltLetterInAnOpenMenuIsTheMenus)
{
    const AltInMenuCase& row = GetParam();
    TMainForm& main = *form;
    QMenuBar* bar = main.menuBar();
    ASSERT_NO_FATAL_FAILURE(ActivateMainWindow(row.document));
    TriggeredActions triggered(main);
    QMenu* menu = main.Menu(row.menu);
    ClickTitleOf(menu);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == menu; }, 5000));

    if (row.letter)
        x.Key(row.letter, {keysym::Alt});
    else
        x.Key(keysym::Alt);
    QWidget* open = *row.open ? main.Menu(row.open) : nullptr;
    if (*row.chosen) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !triggered.ran.empty(); }, 5000));
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == open; }, 5000))
        << QApplication::activePopupWidget();
    EXPECT_EQ(triggered.ran,
              *row.chosen ? std::vector<std::string>{row.chosen} : std::vector<std::string>{});

    for (int escape = 0; escape < 3 && (QApplication::activePopupWidget() || bar->activeAction());
         ++escape) {
        x.Key(keysym::Escape);
        // The first Escape closes the menu and leaves the bar with its keyboard.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !QApplication::activePopupWidget(); }, 5000));
    }
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !QApplication::activePopupWidget() && !bar->activeAction(); }, 5000));
    triggered.ran.clear();
    x.Key(keysym::N);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !triggered.ran.empty(); }, 5000));
    EXPECT_EQ(triggered.ran, std::vector<std::string>{"EditNameAction"});
}

INSTANTIATE_TEST_SUITE_P(
    Menus, AltInMenuTest,
    // Outside the menus Alt+N is keyAltN's, Alt+P keyAltP's and Alt+F Multi Frequencies'; in
    // the menus "&New wave..." and "&Contents" have a letter, P and F none in Help.
    ::testing::Values(
        AltInMenuCase{"ItemLetterNoDocument", false, "MenuFile", keysym::N, "", "FileNewWave"},
        AltInMenuCase{"NoItemLetterNoDocument", false, "MenuHelp", keysym::P, "MenuHelp", ""},
        AltInMenuCase{"NoItemLetterWave", true, "MenuHelp", keysym::F, "MenuHelp", ""},
        AltInMenuCase{"ItemLetterWave", true, "MenuHelp", keysym::C, "", "HelpContents"},
        AltInMenuCase{"AltAloneWave", true, "MenuHelp", 0, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A right click beside a new factory's area, where the pop-up has no item, opens nothing: the
// next key is the shortcuts' again, and the next right click on the area, a node or a pin brings
// the pop-up on the screen with that element's items, every time.
TEST_F(MenuKeysTest, ARightClickBesideAFactorysAreaLeavesThePopupToTheNextOne)
{
    TMainForm& main = *form;
    TFactoryCommands factories(main, *commands);
    factories.Install();
    TUnitSountory& made = *factories.NewFactory(2, nullptr);
    made.CreateNode<TSountoryNodeLoop>("L", "X", TSountoryRectangle{40, 40, 140, 140}, true);
    auto* window = dynamic_cast<TMDIChildFact*>(main.Frame()->activeSubWindow());
    ASSERT_NE(window, nullptr);
    window->setGeometry(0, 0, 600, 420);
    ASSERT_NO_FATAL_FAILURE(ActivateMainWindow(false));
    TriggeredActions triggered(main);
    window->PaintFactory();
    const QWidget& client = *window->FactoryViewport();
    const TSountoryRectangle& area = made.FactoryRect;
    const QPoint beside(area.right + 40, area.top + 20);
    ASSERT_TRUE(client.rect().contains(beside));
    const struct
    {
        const char* element;
        QPoint at;
        FactoryMenuItem item; // shown for that element only
    } targets[] = {
        {"area", {area.left + 200, area.bottom - 20}, FactoryMenuItem::AddInput},
        {"node", {area.left + 90, area.top + 90}, FactoryMenuItem::CreateFactoryForNode}, // middle
        {"pin", {area.right, made.FindOutput("Result")->GetY()}, FactoryMenuItem::ConnMake}};
    QMenu* popup = window->PopupMenu();
    for (const auto& target : targets) {
        SCOPED_TRACE(target.element);
        triggered.ran.clear();
        x.Click(client.mapToGlobal(beside), 3);
        x.Key(keysym::N);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !triggered.ran.empty(); }, 5000));
        EXPECT_EQ(triggered.ran, std::vector<std::string>{"EditNameAction"});
        EXPECT_FALSE(MenuOpen());

        x.Click(client.mapToGlobal(target.at), 3);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return QApplication::activePopupWidget() == popup && !popup->size().isEmpty() &&
                       x.Viewable(*popup);
            },
            5000))
            << "the pop-up did not come on the screen";
        EXPECT_TRUE(window->MenuAction(target.item)->isVisible());
        x.Key(keysym::Escape);
        ASSERT_TRUE(QTest::qWaitFor([] { return !MenuOpen(); }, 5000));
    }
}

// Ctrl+F4 as the user types it, with the keyboard where a click put it: in the active wave
// window's pane, or in the frame beside it.
using CloseKeyTest = XDesktopTest;

TEST_F(CloseKeyTest, CtrlF4AsksTheChangedWindowsQuestionAndClosesItOnNo)
{
    TMainForm& main = *form;
    for (const char* click : {"pane", "frame"}) {
        SCOPED_TRACE(click);
        NewWave("Wave 0", Values({}))->setGeometry(320, 0, 300, 200);
        QPointer<TMDIChildWave> window = NewWave("Wave 1", Pattern(100, 3));
        window->setGeometry(0, 0, 300, 200);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
        ASSERT_TRUE(Activate(main));
        QWidget* pane = window->findChild<TViewWave*>();
        ASSERT_NE(pane, nullptr);
        x.Click(
            std::string(click) == "pane"
                ? pane->mapToGlobal(pane->rect().center())
                : main.Frame()->mapToGlobal(main.Frame()->rect().bottomRight() - QPoint(20, 20)));
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return main.Frame()->activeSubWindow() == window; }, 5000));
        messages.Expect(MsgAnswer::No);
        x.Key(keysym::F4, {keysym::Ctrl});
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, 5000));
        ASSERT_EQ(messages.Shown().size(), 1u);
        EXPECT_EQ(messages.Shown()[0].caption, "You have unsaved changes");
        EXPECT_EQ(messages.Shown()[0].text,
                  "Do you want to save the Wave with name \"Wave 1\" to a new file?");
        messages.Clear();
        for (QMdiSubWindow* left : main.Frame()->subWindowList())
            delete left;
        Flush();
    }
}

} // namespace
