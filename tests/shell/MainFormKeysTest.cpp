#include "waveui/WaveWindow.h"
#include "MainFormTestSupport.h"

#include "shell/base/OKDialogs.h"
#include "shell/base/ToolWindow.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

// ---- The catalogue
// -------------------------------------------------------------------------------

struct CatalogueCase
{
    const char* name;
    const char* caption;
    const char* shortcut;
};

class ActionCatalogueTest : public MainFormTest, public ::testing::WithParamInterface<CatalogueCase>
{
};

TEST_P(ActionCatalogueTest, HasItsCaptionAndShortcut)
{
    Start();
    QAction* action = A(GetParam().name);
    EXPECT_EQ(action->objectName().toStdString(), GetParam().name);
    EXPECT_EQ(action->text().toStdString(), GetParam().caption);
    EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(GetParam().shortcut)));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ActionCatalogueTest,
    ::testing::Values(CatalogueCase{"FileNewWave", "&New wave...", "Ctrl+N"},
                      CatalogueCase{"FileOpenMuz", "&Open music...", "Ctrl+Shift+O"},
                      CatalogueCase{"FileSaveAs", "Save &As...", "Ctrl+A"},
                      CatalogueCase{"FileRecord", "&Record", "Alt+R"},
                      CatalogueCase{"FilePlayMax", "Play &Maximal", "Shift+P"},
                      CatalogueCase{"ProjectOpen", "&Open Project...", "Shift+Alt+O"},
                      CatalogueCase{"ProjectSave", "&Save Project", "Shift+S"},
                      CatalogueCase{"EditTrim", "&Trim", "Ctrl+Shift+Del"},
                      CatalogueCase{"EditClearClipboard", "Clear Clipboard", "Shift+Alt+Del"},
                      CatalogueCase{"EditNameAction", "Dialogbox Edit &Name", "N"},
                      CatalogueCase{"Options", "Options...", ""},
                      CatalogueCase{"SelectWave", "&Dialogbox Select Wave...", "Q"},
                      CatalogueCase{"DrawWave3G", "Draw Wave Smooth", "Shift+Alt+D"},
                      CatalogueCase{"MoveH", "Move &Horizontally...", "H"},
                      CatalogueCase{"FilterBlock", "FilterBlock", "Ctrl+Alt+B"},
                      CatalogueCase{"MusicNote64", "Not&e 64", ""},
                      CatalogueCase{"MusicModeAdd", "&Add", "Alt+Ins"},
                      CatalogueCase{"MusicModeEdit", "&Edit", "Alt+Home"},
                      CatalogueCase{"MusicPointAdd", "&Add", "."},
                      CatalogueCase{"MusicPointDelete", "&Delete", "Shift+."},
                      CatalogueCase{"MusicQuintuplet", "Q&uintuplet", "Ctrl+5"},
                      CatalogueCase{"SntRunCrWnd", "Run &Factory Create Wave", "Alt+M"},
                      CatalogueCase{"keyShiftCtrlD", "keyShiftCtrlD", "Ctrl+Shift+D"},
                      CatalogueCase{"keyShiftAltG", "keyShiftAltG", "Shift+Alt+G"},
                      CatalogueCase{"WindowTileHorizontal", "Tile &Horizontally", "F4"},
                      CatalogueCase{"HelpOnHelp", "&Help on Help", "Ctrl+F1"},
                      CatalogueCase{"HelpAbout", "&About...", "Alt+F1"}));

TEST(ActionCatalogue, NamesAreUniqueAndHintsHaveAShortAndALongPart)
{
    std::map<std::string, int> names;
    int keys = 0;
    for (const ActionSpec& spec : ActionCatalogue()) {
        ++names[spec.name];
        if (spec.category == ActionCategory::Key) {
            ++keys;
            EXPECT_STREQ(spec.caption, spec.name);
            continue;
        }
        const QString hint = QString::fromLatin1(spec.hint);
        EXPECT_EQ(hint.count(QLatin1Char('|')), 1) << spec.name;
        EXPECT_FALSE(ShortHint(spec.hint).isEmpty()) << spec.name;
        EXPECT_FALSE(LongHint(spec.hint).isEmpty()) << spec.name;
    }
    for (const auto& [name, count] : names)
        EXPECT_EQ(count, 1) << name;
    EXPECT_EQ(keys, 23);
    EXPECT_EQ(ActionCatalogue().size(), 173u);
}

TEST_F(MainFormTest, HintsAsWritten)
{
    Start();
    EXPECT_EQ(A("FilePlay")->toolTip(), QStringLiteral("Play"));
    EXPECT_EQ(A("FilePlay")->statusTip(), QStringLiteral("Play the Window"));
    EXPECT_EQ(A("Undo")->statusTip(), QStringLiteral("Undo last wave action"));
    EXPECT_EQ(A("FileExit")->toolTip(), QStringLiteral("Exit"));
    EXPECT_EQ(A("FileExit")->statusTip(), QStringLiteral("Exit the Kelvorn"));
}

// Apart from the routed keys, no key may belong to two actions at once.
TEST_F(MainFormTest, OnlyTheRoutedKeysAreSharedAndEachIsRoutedOnce)
{
    TMainForm& main = Start();
    std::map<QString, std::vector<std::string>> byKey;
    for (QAction* action : main.Actions().All())
        if (!action->shortcut().isEmpty())
            byKey[action->shortcut().toString()].push_back(action->objectName().toStdString());
    std::vector<QString> shared;
    for (const auto& [key, owners] : byKey)
        if (owners.size() > 1)
            shared.push_back(key);
    std::vector<QString> routed;
    for (const QKeySequence& key : main.Router().Keys())
        routed.push_back(key.toString());
    std::sort(routed.begin(), routed.end());
    EXPECT_EQ(shared, routed);
    EXPECT_EQ(routed.size(), 5u);
    for (const auto& [key, owners] : byKey)
        for (const std::string& owner : owners) {
            const bool isRouted = std::find(routed.begin(), routed.end(), key) != routed.end();
            EXPECT_EQ(A(owner.c_str())->shortcutContext(),
                      isRouted ? Qt::WidgetShortcut : Qt::ApplicationShortcut)
                << owner;
        }
}

// ---- The router
// ----------------------------------------------------------------------------------

struct RouteCase
{
    const char* kind;
    QKeySequence key;
    /// The action that runs, or "" for none.
    const char* runs;
};

class ShortcutRouterTest : public MainFormTest, public ::testing::WithParamInterface<RouteCase>
{
};

TEST_P(ShortcutRouterTest, RunsTheActionOfTheActiveKind)
{
    TMainForm& main = Start();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    const std::string kind = GetParam().kind;
    if (kind == "wave" || kind == "drawing") {
        OpenFactory("Factory 1", 0);
        OpenWave("Wave 1", 1, 100);
        if (kind == "drawing") {
            OpenWave("Wave 2");
            main.Documents().GetActiveUnitWave()->StartUserDrawing(TUnitWave::DrawLinear);
            main.ActionListUpdate();
        }
    } else if (kind == "music") {
        MainFormMusicWindow* music = OpenMusic("Music 1");
        music->enabled = {"MusicKeyF", "MusicGenerate"};
        main.ActionListUpdate();
    } else if (kind == "factory") {
        OpenFactory("Factory 1", 2);
    }
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    main.SetTextInputMode(false);

    std::vector<std::unique_ptr<QSignalSpy>> spies;
    std::vector<QAction*> contenders;
    for (QAction* action : main.Actions().All())
        if (action->shortcut() == GetParam().key) {
            contenders.push_back(action);
            spies.push_back(std::make_unique<QSignalSpy>(action, &QAction::triggered));
        }
    ASSERT_EQ(contenders.size(), 2u);
    QAction* target = main.Router().Target(GetParam().key);
    EXPECT_EQ(target ? target->objectName().toStdString() : std::string(), GetParam().runs);

    // The key itself, as the user presses it.
    QTest::keySequence(&main, GetParam().key);
    QCoreApplication::processEvents();
    for (size_t i = 0; i < contenders.size(); ++i)
        EXPECT_EQ(spies[i]->count(), contenders[i]->objectName() == GetParam().runs ? 1 : 0)
            << contenders[i]->objectName().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ShortcutRouterTest,
    ::testing::Values(RouteCase{"none", QKeySequence(Qt::Key_V), ""},
                      RouteCase{"wave", QKeySequence(Qt::Key_V), "Volume"},
                      RouteCase{"factory", QKeySequence(Qt::Key_V), "SntValidate"},
                      RouteCase{"music", QKeySequence(Qt::Key_V), ""},
                      RouteCase{"wave", QKeySequence(Qt::Key_F), "SntRunAtWnd"},
                      RouteCase{"music", QKeySequence(Qt::Key_F), "MusicKeyF"},
                      RouteCase{"factory", QKeySequence(Qt::Key_F), ""},
                      RouteCase{"wave", QKeySequence(Qt::Key_H), "MoveH"},
                      RouteCase{"drawing", QKeySequence(Qt::Key_H), ""},
                      RouteCase{"music", QKeySequence(Qt::Key_H), "keyH"},
                      RouteCase{"none", QKeySequence(Qt::Key_H), ""},
                      RouteCase{"wave", QKeySequence(Qt::ALT | Qt::Key_D), "keyAltD"},
                      RouteCase{"music", QKeySequence(Qt::ALT | Qt::Key_D), "keyAltD"},
                      RouteCase{"factory", QKeySequence(Qt::ALT | Qt::Key_D), "SntModeDrag"},
                      RouteCase{"music", QKeySequence(Qt::ALT | Qt::Key_M), "MusicGenerate"},
                      RouteCase{"factory", QKeySequence(Qt::ALT | Qt::Key_M), "SntRunCrWnd"},
                      RouteCase{"wave", QKeySequence(Qt::ALT | Qt::Key_M), "SntRunCrWnd"},
                      RouteCase{"none", QKeySequence(Qt::ALT | Qt::Key_M), ""}),
    [](const ::testing::TestParamInfo<RouteCase>& info) {
        std::string name =
            std::string(info.param.kind) + "_" + info.param.key.toString().toStdString();
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

// An action's key beats the menu bar's mnemonic while the action is enabled.
TEST_F(MainFormTest, AnEnabledActionTakesItsKeyFromTheMenuBar)
{
    TMainForm& main = Start();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    QSignalSpy freq(A("MakeMFreq"), &QAction::triggered);
    QSignalSpy echo(A("RndEcho"), &QAction::triggered);
    EXPECT_EQ(main.Router().MenuKeyOwner(QKeySequence(Qt::ALT | Qt::Key_F)), nullptr);
    EXPECT_EQ(main.Router().MenuKeyOwner(QKeySequence(Qt::ALT | Qt::Key_P)), A("keyAltP"));
    EXPECT_EQ(main.Router().MenuKeyOwner(QKeySequence(Qt::CTRL | Qt::Key_F)), nullptr);

    OpenWave("Wave 1", 1, 100);
    main.activateWindow();
    main.SetTextInputMode(false);
    EXPECT_EQ(main.Router().MenuKeyOwner(QKeySequence(Qt::ALT | Qt::Key_F)), A("MakeMFreq"));
    QTest::keyClick(&main, Qt::Key_F, Qt::AltModifier);
    QTest::keyClick(&main, Qt::Key_E, Qt::AltModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(freq.count(), 1);
    EXPECT_EQ(echo.count(), 1);
}

// ---- Text-input mode
// -----------------------------------------------------------------------------

class TextInputTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        Start();
        OpenWave("Wave 1", 1, 100);
        editName = form->EditNameWindow();
        ASSERT_NE(editName, nullptr);
        editName->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return QGuiApplication::focusWindow() == editName->windowHandle(); }));
        QCoreApplication::processEvents();
        editName->editName->setFocus();
        editName->editName->clear();
    }

    TDlgEditName* editName = nullptr;
};

TEST_F(TextInputTest, TheNameWindowSwitchesTheModeOnAndTheMainWindowOff)
{
    EXPECT_TRUE(form->TextInputMode());
    // The main window counts as active with its tool window: wait for the keyboard itself.
    form->activateWindow();
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return QGuiApplication::focusWindow() == form->windowHandle(); }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->TextInputMode());
    // A document window becoming active leaves the mode too.
    editName->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return QGuiApplication::focusWindow() == editName->windowHandle(); }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->TextInputMode());
    OpenWave("Wave 2");
    EXPECT_FALSE(form->TextInputMode());
}

TEST_F(TextInputTest, TypingPTypesALetterAndDoesNotPlay)
{
    ASSERT_TRUE(A("FilePlay")->isEnabled());
    QSignalSpy play(A("FilePlay"), &QAction::triggered);
    QTest::keyClick(editName->editName, Qt::Key_P);
    EXPECT_EQ(editName->editName->text(), QStringLiteral("p"));
    EXPECT_EQ(play.count(), 0);
}

TEST_F(TextInputTest, NoShortcutFiresWhileTheModeIsOn)
{
    QSignalSpy newWave(A("FileNewWave"), &QAction::triggered);
    QSignalSpy record(A("RandomizeAction"), &QAction::triggered);
    QTest::keyClick(editName->editName, Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(editName->editName, Qt::Key_F1);
    EXPECT_EQ(newWave.count(), 0);
    EXPECT_TRUE(help.Requests().empty());

    // The same keys fire with the mode off: the shortcuts work application-wide.
    form->SetTextInputMode(false);
    QTest::keyClick(editName->editName, Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(editName->editName, Qt::Key_F1);
    EXPECT_EQ(newWave.count(), 1);
    EXPECT_EQ(help.Requests(), std::vector<std::string>{"contents"});
}

TEST_F(TextInputTest, EditingKeysKeepTheirEffect)
{
    QTest::keyClicks(editName->editName, "abc");
    QTest::keyClick(editName->editName, Qt::Key_Home);
    QTest::keyClick(editName->editName, Qt::Key_Delete);
    QTest::keyClick(editName->editName, Qt::Key_End);
    QTest::keyClick(editName->editName, Qt::Key_Left);
    QTest::keyClicks(editName->editName, "x");
    EXPECT_EQ(editName->editName->text(), QStringLiteral("bxc"));
    EXPECT_TRUE(form->TextInputMode());

    // Enter renames the active document, Tab moves on to the OK button.
    QTest::keyClick(editName->editName, Qt::Key_Return);
    EXPECT_EQ(form->Documents().GetActiveUnit()->GetName(), "bxc");
    QTest::keyClick(editName->editName, Qt::Key_Tab);
    EXPECT_TRUE(editName->btnOk->hasFocus());
}

TEST(TextInputHook, KeysThatKeepTheirEffect)
{
    for (int key :
         {Qt::Key_Tab, Qt::Key_Return, Qt::Key_Enter, Qt::Key_End, Qt::Key_Home, Qt::Key_Left,
          Qt::Key_Up, Qt::Key_Right, Qt::Key_Down, Qt::Key_Insert, Qt::Key_Delete})
        EXPECT_TRUE(TKeyboardHook::KeepsEffect(key)) << key;
    for (int key : {Qt::Key_P, Qt::Key_S, Qt::Key_F1, Qt::Key_Space, Qt::Key_Escape, Qt::Key_PageUp,
                    Qt::Key_Backspace, Qt::Key_Period})
        EXPECT_FALSE(TKeyboardHook::KeepsEffect(key)) << key;
}

// ---- Modal dialogs
// -----------------------------------------------------------------------------

struct ModalCase
{
    const char* name;
    /// The document active beneath the dialog.
    const char* kind;
    /// The text-input mode as the dialog opens (a box of a tool window).
    bool textInput;
};

void PrintTo(const ModalCase& c, std::ostream* out)
{
    *out << c.name;
}

class ModalDialogKeysTest : public MainFormTest, public ::testing::WithParamInterface<ModalCase>
{
protected:
    /// Every key the main window answers: the actions' shortcuts (the routed keys among them)
    /// and the menu bar's mnemonics.
    std::vector<QKeySequence> MainWindowKeys() const
    {
        std::vector<QKeySequence> keys;
        auto add = [&keys](const QKeySequence& key) {
            if (!key.isEmpty() && std::find(keys.begin(), keys.end(), key) == keys.end())
                keys.push_back(key);
        };
        for (QAction* action : form->Actions().All())
            add(action->shortcut());
        for (QMenu* menu : form->Menus())
            add(QKeySequence::mnemonic(menu->title()));
        return keys;
    }

    /// The action key runs with no dialog open: the router's choice for a routed key, else
    /// the enabled action that has it.
    QAction* Owner(const QKeySequence& key) const
    {
        const std::vector<QKeySequence> routed = form->Router().Keys();
        if (std::find(routed.begin(), routed.end(), key) != routed.end())
            return form->Router().Target(key);
        for (QAction* action : form->Actions().All())
            if (action->shortcut() == key && action->isEnabled())
                return action;
        return nullptr;
    }
};

// The keys go to the focused widget of a dialog in its own modal loop, as the user types them.
TEST_P(ModalDialogKeysTest, TheMainWindowsKeysRunNothingBeneathItAndTheDialogKeepsItsOwn)
{
    TMainForm& main = Start();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    if (std::string(GetParam().kind) == "wave")
        OpenWave("Wave 1", 1, 100);
    else
        OpenFactory("Factory 1", 2);
    // The actions run no command here: only whether they are triggered counts.
    QObject listener;
    std::vector<std::string> ran;
    for (QAction* action : main.Actions().All()) {
        const std::string name = action->objectName().toStdString();
        main.SetCommand(name, {});
        QObject::connect(action, &QAction::triggered, &listener,
                         [&ran, name] { ran.push_back(name); });
    }
    main.ActionListUpdate();
    const std::vector<QKeySequence> keys = MainWindowKeys();
    std::vector<std::pair<QKeySequence, QAction*>> owned;
    for (const QKeySequence& key : keys)
        if (QAction* owner = Owner(key))
            owned.emplace_back(key, owner);
    ASSERT_GT(keys.size(), 100u);
    ASSERT_GT(owned.size(), 10u);
    if (GetParam().textInput) {
        TDlgEditName* editName = main.EditNameWindow();
        editName->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor(
            [editName] { return QGuiApplication::focusWindow() == editName->windowHandle(); }));
        QCoreApplication::processEvents();
        ASSERT_TRUE(main.TextInputMode());
    }

    TOKHelpRightDlg dialog(&main);
    dialog.SetHelpContext(77);
    std::string stoppedAt;
    bool done = false;
    bool modeInDialog = false;
    QTimer::singleShot(0, &dialog, [&] {
        if (!QTest::qWaitForWindowActive(&dialog)) {
            stoppedAt = "the dialog never became active";
            dialog.reject();
            return;
        }
        modeInDialog = form->TextInputMode();
        for (const QKeySequence& key : keys) {
            QWidget* focus = QApplication::focusWidget();
            QTest::keySequence(focus ? focus : &dialog, key);
            // A trigger the key may have queued.
            QCoreApplication::processEvents();
            if (!dialog.isVisible()) {
                stoppedAt = key.toString().toStdString() + " closed the dialog";
                return;
            }
        }
        // A mnemonic clicks its button after a short press.
        if (!QTest::qWaitFor([this] { return !help.Requests().empty(); }, 2000))
            stoppedAt = "no help was asked for";
        done = true;
        dialog.reject();
    });
    // Should the keys never finish, this ends the loop and the checks below fail.
    QTimer::singleShot(60000, &dialog, [&dialog] { dialog.done(2); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_TRUE(done) << stoppedAt;
    EXPECT_EQ(modeInDialog, GetParam().textInput);
    EXPECT_EQ(ran, std::vector<std::string>{});
    EXPECT_EQ(help.Requests(), std::vector<std::string>{"context 77"});

    // Without the dialog each key with an enabled action runs exactly that action.
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    main.SetTextInputMode(false);
    for (const auto& [key, owner] : owned) {
        ran.clear();
        QTest::keySequence(&main, key);
        QCoreApplication::processEvents();
        EXPECT_EQ(ran, std::vector<std::string>{owner->objectName().toStdString()})
            << key.toString().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, ModalDialogKeysTest,
                         ::testing::Values(ModalCase{"OverAWave", "wave", false},
                                           ModalCase{"OverAFactory", "factory", false},
                                           ModalCase{"FromATextInputWindow", "wave", true}),
                         [](const ::testing::TestParamInfo<ModalCase>& info) {
                             return std::string(info.param.name);
                         });

// A command that is asked for directly runs nothing either, and leaves its check mark.
TEST_F(MainFormTest, ATriggerInsideAModalDialogRunsNoCommand)
{
    TMainForm& main = Start();
    OpenFactory("Factory 1", 2);
    int runs = 0;
    main.SetCommand("SntShowHints", [&runs] { ++runs; });
    ASSERT_TRUE(A("SntShowHints")->isEnabled());
    const bool checked = A("SntShowHints")->isChecked();
    QDialog dialog(&main);
    bool routed = true;
    QTimer::singleShot(0, &dialog, [&] {
        A("SntShowHints")->trigger();
        routed = main.Router().Press(QKeySequence(Qt::ALT | Qt::Key_D));
        dialog.accept();
    });
    QTimer::singleShot(10000, &dialog, [&dialog] { dialog.done(2); });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(runs, 0);
    EXPECT_FALSE(routed);
    EXPECT_EQ(A("SntShowHints")->isChecked(), checked);
    A("SntShowHints")->trigger();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(main.Router().Press(QKeySequence(Qt::ALT | Qt::Key_D)));
}

// ---- Tool windows
// --------------------------------------------------------------------------------

TEST_F(MainFormTest, TheEditNameWindowIsMadeOnceAndKept)
{
    TMainForm& main = Start();
    TDlgEditName* first = main.EditNameWindow();
    ASSERT_NE(first, nullptr);
    A("EditNameAction")->trigger();
    EXPECT_FALSE(first->isVisible());
    EXPECT_FALSE(A("EditNameAction")->isChecked());
    A("EditNameAction")->trigger();
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(A("EditNameAction")->isChecked());
    EXPECT_EQ(main.EditNameWindow(), first);
    EXPECT_EQ(main.ToolSlot(TMainForm::Tool::EditName).Creations(), 1);

    // Its own close box hides it and unchecks the action.
    first->close();
    EXPECT_FALSE(A("EditNameAction")->isChecked());
    A("EditNameAction")->trigger();
    EXPECT_EQ(main.EditNameWindow(), first);
    EXPECT_TRUE(messages.Shown().empty());
}

// A Select and Zoom window that records whom it follows.
class FakeSelZoom final : public QWidget, public SelZoomFollower
{
public:
    explicit FakeSelZoom(QWidget* owner) : QWidget(owner) {}
    void SetChildWave(TMDIChildKelvorn* window) override { followed.push_back(window); }
    void SelectionChanged(TMDIChildKelvorn*) override { ++selections; }
    void ZoomChanged(TMDIChildKelvorn*, int) override {}

    std::vector<TMDIChildKelvorn*> followed;
    int selections = 0;
};

TEST_F(MainFormTest, SelectAndZoomIsMadeOnceKeptAndFollowsTheWaveWindows)
{
    TMainForm& main = Start();
    // Nothing shows while nobody can make the window.
    A("SelectWave")->trigger();
    EXPECT_FALSE(main.ToolSlot(TMainForm::Tool::SelZoom).Exists());
    EXPECT_FALSE(A("SelectWave")->isChecked());

    int made = 0;
    main.SetToolWindowMaker(TMainForm::Tool::SelZoom, [&made](QWidget* owner) {
        ++made;
        return new FakeSelZoom(owner);
    });
    for (int i = 0; i < 3; ++i) {
        A("SelectWave")->trigger();
        EXPECT_TRUE(A("SelectWave")->isChecked());
        A("SelectWave")->trigger();
        EXPECT_FALSE(A("SelectWave")->isChecked());
    }
    EXPECT_EQ(made, 1);
    auto* selZoom = static_cast<FakeSelZoom*>(main.ToolSlot(TMainForm::Tool::SelZoom).Existing());

    TMDIChildKelvorn* wave = OpenWave("Wave 1", 1, 10);
    OpenMusic("Music 1");
    ASSERT_GE(selZoom->followed.size(), 2u);
    EXPECT_EQ(selZoom->followed[selZoom->followed.size() - 2], wave);
    EXPECT_EQ(selZoom->followed.back(), nullptr);
    main.Link().WaveSelectionChanged(*UnitWaveOf(wave));
    EXPECT_EQ(selZoom->selections, 1);
}

TEST_F(MainFormTest, TheNameWindowShowsNoDocumentAfterTheLastWindowCloses)
{
    TMainForm& main = Start();
    TDlgEditName* editName = main.EditNameWindow();
    TMDIChildKelvorn* music = OpenMusic("Music 1");
    EXPECT_EQ(editName->editName->text(), QStringLiteral("Music 1"));
    TMDIChildKelvorn* wave = OpenWave("Wave 1");
    EXPECT_EQ(editName->editName->text(), QStringLiteral("Wave 1"));
    wave->close();
    music->close();
    EXPECT_TRUE(editName->editName->text().isEmpty());
    EXPECT_FALSE(editName->editName->isEnabled());
    EXPECT_FALSE(editName->btnOk->isEnabled());
    Flush();
}

TEST_F(MainFormTest, TheNameWindowRefusesAngleBracketsAndKeepsTheText)
{
    TMainForm& main = Start();
    OpenWave("Wave 1");
    TDlgEditName* editName = main.EditNameWindow();
    editName->editName->setText(QStringLiteral("a<b"));
    messages.Expect();
    editName->btnOk->click();
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].caption, "Input Error");
    EXPECT_EQ(editName->editName->text(), QStringLiteral("a<b"));
    EXPECT_EQ(main.Documents().GetActiveUnit()->GetName(), "Wave 1");
}

} // namespace
