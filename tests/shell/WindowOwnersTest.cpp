// Which window belongs to which, and where the keys go while a menu is open. The tool windows
// belong to the main window and stay on top of nothing; a dialog or box belongs to the window
// the user works in as it opens, so that no tool window covers its buttons; an open menu takes
// every key, and no shortcut of the main window runs beneath it.
#include "ShellSupport.h"

#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/QtMessages.h"
#include "platform/qt/QtWindowOwners.h"
#include "shell/ViewCommands.h"
#include "support/ModalProbe.h"
#include "window_base/ToolWindow.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QWindow>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using Tool = TMainForm::Tool;

// The main window with every tool window the program has, and the owners the program's
// services give its dialogs.
class WindowOwnersTest : public ShellTest
{
protected:
    TMainForm& StartWithToolWindows()
    {
        TMainForm& main = Start();
        view = std::make_unique<TViewCommands>(main);
        // The music windows' makers come with the music kind; these ask for a window of its own
        // that stays on top of everything, which the slot must not give them.
        for (Tool tool : {Tool::Music, Tool::MusicParts})
            main.SetToolWindowMaker(tool, [](QWidget*) {
                return new QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
            });
        OpenWave("Wave 1", 1, 100);
        for (Tool tool : {Tool::SelZoom, Tool::Music, Tool::MusicParts})
            main.ToggleToolWindow(tool);
        return main;
    }
    ~WindowOwnersTest() override
    {
        if (form)
            for (QMdiSubWindow* window : form->Frame()->subWindowList())
                delete window;
        view.reset();
    }

    QtWindowOwners owners;
    std::unique_ptr<TViewCommands> view;
};

QWindow* OwnerOf(const QWidget& window)
{
    return window.windowHandle() ? window.windowHandle()->transientParent() : nullptr;
}

TEST_F(WindowOwnersTest, EveryToolWindowBelongsToTheMainWindowAndStaysOnTopOfNothing)
{
    TMainForm& main = StartWithToolWindows();
    for (Tool tool : {Tool::EditName, Tool::SelZoom, Tool::Music, Tool::MusicParts}) {
        SCOPED_TRACE(int(tool));
        QWidget* window = main.ToolSlot(tool).Existing();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->windowType(), Qt::Tool);
        EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(window->parentWidget(), &main);
        EXPECT_EQ(OwnerOf(*window), main.windowHandle());
    }
}

// Each kind of dialog, opened while the tool windows show, from the main window and from two
// tool windows: it belongs to the window that was active.
TEST_F(WindowOwnersTest, EveryDialogAndBoxBelongsToTheWindowActiveAsItOpens)
{
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
    TMainForm& main = StartWithToolWindows();
    QtMessages qtMessages;
    QtFileDialogs qtFileDialogs;
    ScopedService<MessageSink> installMessages(&qtMessages);
    ScopedService<FileDialogs> installFileDialogs(&qtFileDialogs);
    // Opens one dialog of each kind; answers the window that owned each.
    const std::vector<std::pair<std::string, std::function<QWindow*()>>> openers = {
        {"message box",
         [] {
             QWindow* owner = nullptr;
             ModalProbe probe([&owner](QDialog& box) { owner = OwnerOf(box); });
             Messages().Show("A window with name \"x\" already exists.", "Input Error",
                             MsgIcon::Stop, MsgButtons::Ok);
             EXPECT_TRUE(probe.Seen());
             return owner;
         }},
        {"properties dialog",
         [this] {
             QWindow* owner = nullptr;
             dialogs.When(
                 "TDlgResetDie",
                 [&owner](ModalDialog& dialog) { owner = OwnerOf(*DialogAs<QDialog>(dialog)); },
                 DialogResult::Rejected);
             A("RandomizeAction")->trigger();
             EXPECT_EQ(dialogs.Pending(), 0u);
             return owner;
         }},
        {"file dialog", [] {
             QWindow* owner = nullptr;
             ModalProbe probe([&owner](QDialog& dialog) { owner = OwnerOf(dialog); });
             GetService<FileDialogs>().OpenFiles({"Open Wave", "Wave Files|*.wav", "wav", ""},
                                                 false);
             EXPECT_TRUE(probe.Seen());
             return owner;
         }}};
    for (QWidget* active : std::initializer_list<QWidget*>{&main, main.EditNameWindow(),
                                                           main.ToolSlot(Tool::SelZoom).Existing()})
        for (const auto& [name, open] : openers) {
            SCOPED_TRACE(name + " from " + active->objectName().toStdString());
            ASSERT_TRUE(Focus(active));
            ASSERT_EQ(QApplication::activeWindow(), active);
            QWindow* owner = open();
            ASSERT_NE(owner, nullptr);
            EXPECT_EQ(owner, active->windowHandle());
        }
}

// ---- Keys in an open menu ------------------------------------------------------------------

struct MenuCase
{
    const char* name;
    const char* menu;          // the main window's menu, or "" for a context menu of the test
    std::vector<Qt::Key> pick; // the keys that pick an item and close the menu
    const char* item;          // the action they pick, "" for none
};

// The letters the items of menu underline.
std::vector<int> Mnemonics(const QMenu& menu)
{
    std::vector<int> letters;
    for (QAction* action : menu.actions())
        if (!QKeySequence::mnemonic(action->text()).isEmpty())
            letters.push_back(QKeySequence::mnemonic(action->text())[0].key() & 0xFFFF);
    return letters;
}

// The main window's one-key shortcuts, each once.
std::vector<QKeySequence> OneKeyShortcuts(TMainForm& main)
{
    std::vector<QKeySequence> keys;
    for (QAction* action : main.Actions().All()) {
        const QKeySequence key = action->shortcut();
        if (key.count() != 1 || key[0].keyboardModifiers() != Qt::NoModifier)
            continue;
        if (std::find(keys.begin(), keys.end(), key) == keys.end())
            keys.push_back(key);
    }
    return keys;
}

// The action a key runs with no menu open: the router's choice for a routed key.
QAction* OwnerOf(TMainForm& main, const QKeySequence& key)
{
    if (QAction* routed = main.Router().Target(key))
        return routed;
    for (QAction* action : main.Actions().All())
        if (action->shortcut() == key && action->isEnabled() &&
            action->shortcutContext() == Qt::ApplicationShortcut)
            return action;
    return nullptr;
}

class MenuKeysTest : public ShellTest, public ::testing::WithParamInterface<MenuCase>
{
};

// The keys come as the window system sends them: to the window that has the keyboard, which
// with a menu open is the menu on one desktop and the main window on another.
void PressAsTheDesktop(QWindow* window, const QKeySequence& key)
{
    const QKeyCombination combination = key[0];
    QTest::keyClick(window, combination.key(), combination.keyboardModifiers());
    QCoreApplication::processEvents();
}

TEST_P(MenuKeysTest, EveryKeyBelongsToTheOpenMenuAndNoShortcutRunsBeneathIt)
{
    TMainForm& main = Start();
    OpenWave("Wave 1", 1, 100);
    // The actions run no command here: only whether they are triggered counts.
    TriggeredActions triggered(main);
    std::vector<std::string>& ran = triggered.ran;
    const std::vector<QKeySequence> keys = OneKeyShortcuts(main);
    auto ownerOf = [&main](const QKeySequence& key) { return OwnerOf(main, key); };
    ASSERT_GT(keys.size(), 10u);
    ASSERT_GT(std::count_if(keys.begin(), keys.end(), ownerOf), 5);
    ASSERT_TRUE(Focus(&main));
    main.SetTextInputMode(false);

    QMenu context;
    context.addAction(A("Volume"));
    context.addAction(A("EditNameAction"));
    QMenu* menu = *GetParam().menu ? main.Menu(GetParam().menu) : &context;
    ASSERT_NE(menu, nullptr);
    // Should a key close the menu unseen, this timer closes it anyway.
    QTimer closer;
    closer.setSingleShot(true);
    closer.callOnTimeout(menu, &QMenu::close);
    closer.start(10000);
    // The main window's menus open from the menu bar, as a click on their title opens them.
    if (menu == &context)
        menu->popup(main.mapToGlobal(QPoint(40, 40)));
    else
        main.menuBar()->setActiveAction(menu->menuAction());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    ASSERT_EQ(QApplication::activePopupWidget(), menu);
    const std::vector<int> underlined = Mnemonics(*menu);
    for (const QKeySequence& key : keys) {
        SCOPED_TRACE(key.toString().toStdString());
        // A letter the menu underlines picks its item; the others it ignores.
        if (std::find(underlined.begin(), underlined.end(), int(key[0].key())) != underlined.end())
            continue;
        PressAsTheDesktop(main.windowHandle(), key);
        PressAsTheDesktop(menu->windowHandle(), key);
        EXPECT_EQ(ran, std::vector<std::string>{});
        ASSERT_TRUE(menu->isVisible());
    }
    // The menu's own letter picks its item, and the menu closes.
    for (Qt::Key key : GetParam().pick)
        PressAsTheDesktop(main.windowHandle(), QKeySequence(key));
    EXPECT_EQ(ran, *GetParam().item ? std::vector<std::string>{GetParam().item}
                                    : std::vector<std::string>{});
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    // With the menu closed the same keys run their actions again.
    ASSERT_TRUE(Focus(&main));
    for (const QKeySequence& key : keys) {
        // A key may enable another's action (Play enables Stop).
        main.ActionListUpdate();
        QAction* owner = ownerOf(key);
        ran.clear();
        PressAsTheDesktop(main.windowHandle(), key);
        EXPECT_EQ(ran, owner ? std::vector<std::string>{owner->objectName().toStdString()}
                             : std::vector<std::string>{})
            << key.toString().toStdString();
    }
}

// After Escape closed its menu the menu bar stays highlighted with the keyboard, but keeps only
// its own keys: a title's letter opens that menu, and any other key runs its shortcut at once and
// ends the bar's keyboard mode, as a click beside the bar does.
TEST_F(ShellTest, AfterOneEscapeTheMenuBarKeepsOnlyItsOwnKeys)
{
    TMainForm& main = Start();
    OpenWave("Wave 1", 1, 100);
    TriggeredActions triggered(main);
    QMenuBar& bar = *main.menuBar();
    QMenu* file = main.Menu("MenuFile");
    ASSERT_TRUE(Focus(&main));
    main.SetTextInputMode(false);
    std::vector<int> titles;
    for (QMenu* menu : main.Menus())
        titles.push_back(QKeySequence::mnemonic(menu->title())[0].key() & 0xFFFF);
    auto openAndEscape = [&] {
        bar.setActiveAction(file->menuAction());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
        PressAsTheDesktop(main.windowHandle(), QKeySequence(Qt::Key_Escape));
        ASSERT_EQ(QApplication::activePopupWidget(), nullptr);
        ASSERT_EQ(QApplication::focusWidget(), &bar);
        ASSERT_EQ(bar.activeAction(), file->menuAction());
        triggered.ran.clear();
    };

    std::vector<QKeySequence> keys = OneKeyShortcuts(main);
    const QKeySequence open(Qt::CTRL | Qt::Key_O);
    ASSERT_NE(OwnerOf(main, open), nullptr);
    ASSERT_EQ(OwnerOf(main, open)->objectName(), "FileOpenWave");
    keys.push_back(open);
    int pressed = 0;
    for (const QKeySequence& key : keys) {
        if (std::find(titles.begin(), titles.end(), int(key[0].key())) != titles.end())
            continue;
        SCOPED_TRACE(key.toString().toStdString());
        main.ActionListUpdate();
        QAction* owner = OwnerOf(main, key);
        ASSERT_NO_FATAL_FAILURE(openAndEscape());
        PressAsTheDesktop(main.windowHandle(), key);
        ++pressed;
        EXPECT_EQ(triggered.ran, owner ? std::vector<std::string>{owner->objectName().toStdString()}
                                       : std::vector<std::string>{});
        EXPECT_EQ(bar.activeAction(), nullptr);
        EXPECT_NE(QApplication::focusWidget(), &bar);
        // A command that opened its window or menu leaves it for the next key.
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        ASSERT_TRUE(Focus(&main));
    }
    EXPECT_GT(pressed, 10);

    // A title's letter is the bar's own: its menu opens and nothing runs.
    ASSERT_NO_FATAL_FAILURE(openAndEscape());
    PressAsTheDesktop(main.windowHandle(), QKeySequence(Qt::Key_H));
    EXPECT_EQ(QApplication::activePopupWidget(), main.Menu("MenuHelp"));
    EXPECT_EQ(triggered.ran, std::vector<std::string>{});
    PressAsTheDesktop(main.windowHandle(), QKeySequence(Qt::Key_Escape));
    PressAsTheDesktop(main.windowHandle(), QKeySequence(Qt::Key_Escape));
    EXPECT_NE(QApplication::focusWidget(), &bar);

    // A click into the empty frame, which takes no focus, ends the mode as well.
    ASSERT_NO_FATAL_FAILURE(openAndEscape());
    QWidget* frame = main.Frame()->viewport();
    QTest::mouseClick(frame, Qt::LeftButton, {}, frame->rect().bottomRight() - QPoint(5, 5));
    EXPECT_EQ(bar.activeAction(), nullptr);
    PressAsTheDesktop(main.windowHandle(), QKeySequence(Qt::Key_N));
    EXPECT_EQ(triggered.ran, std::vector<std::string>{"EditNameAction"});
}

INSTANTIATE_TEST_SUITE_P(
    Menus, MenuKeysTest,
    ::testing::Values(
        // "&Revert", disabled here, "&Record" and "&Randomize..." share their letter: the
        // arrows and Return pick the item.
        MenuCase{"FileRandomize",
                 "MenuFile",
                 {Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Return},
                 "RandomizeAction"},
        // The first Escape closes the menu and leaves the menu bar the keyboard, the second
        // gives it back.
        MenuCase{"FileEscape", "MenuFile", {Qt::Key_Down, Qt::Key_Escape, Qt::Key_Escape}, ""},
        MenuCase{"FileExitNotSwap", "MenuFile", {Qt::Key_X}, "FileExit"},
        MenuCase{"HelpTopicSearch", "MenuHelp", {Qt::Key_T}, "HelpTopicSearch"},
        MenuCase{"ProjectOpenNotRollOut", "MenuProject", {Qt::Key_O}, "ProjectOpen"},
        // V is Volume's key too: the menu runs it once.
        MenuCase{"ContextMenuVolume", "", {Qt::Key_V}, "Volume"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
