#pragma once
// Two keyboard helpers of the main window.
//
// TShortcutRouter: some keys belong to two actions (V is Volume for a wave and Validate for a
// factory). Qt fires neither of two enabled actions that share a key, so such a key is taken
// from both actions and given to one router entry, which runs the action that belongs to the
// active document kind, when that action is enabled. The actions keep the key as their
// shortcut, so that menus still show it, but only in a context that never matches.
//
// TKeyboardHook: sees every key before the shortcuts do.
// - While the text-input mode is on (a tool window with text fields is active), typed keys reach
//   the focused field instead of firing shortcuts. Tab, Enter, the arrows, Home, End, Insert and
//   Delete keep their usual effect.
// - A key the toolkit answers too is held: routed like a shared key but with no shortcut of its
//   own (Qt would fire neither of two shortcuts on one key); the hook runs the routed command
//   before any shortcut sees the key. Held are the menu bar's mnemonics, so that a command's key
//   beats the menu's letter while the command belongs to the active kind and is enabled (Alt+F
//   is Multi Frequencies for a wave, else the bar's own mnemonic, the only one left, opens the
//   File menu; the letter of a hidden menu does nothing), and Ctrl+F4, which a document
//   window's own window menu answers too.
// - A key that stands for another (an alias of the router) runs that key's action once, and no
//   shortcut of its own; two shortcuts of one action matching one key press would be taken as
//   ambiguous and run nothing.
//
// While a modal dialog is open, neither runs anything: the dialog holds the program, and a
// command run beneath it would change or close the document the dialog works on.
//
// While a menu, a submenu, a context menu or a list's drop-down is open, every key belongs to it
// (its mnemonics, the arrows, Return and Escape): the hook hands each key to the menu before any
// shortcut of the main window sees it, so that a letter in the File menu picks a File item
// instead of running an operation on the wave beneath. A menu bar in its keyboard mode with no
// menu open (after Alt, or after Escape closed its menu) keeps only the keys it answers itself:
// the arrows, Tab, Return, Space, Escape and the letters of its titles. Any other key ends the
// mode and runs its shortcut at once, as the toolkit's own bar lets it, and so does a click
// beside the bar, where nothing else would take the focus from it. A menu bar that leaves its
// keyboard mode gives the focus back to the widget that had it, and where none had it (no
// document open) the hook gives it to the bar's window, since a bar keeping the focus would take
// every key.
// The toolkit closes an open menu as soon as Alt goes down, so that a letter pressed with Alt
// would run the command beneath instead of picking the menu's item: the hook holds the Alt press
// back and hands it to the menu only when Alt comes up alone, which still closes the menu.

#include <QKeySequence>
#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QShortcut;
class QWidget;

namespace kelvorn {

/// Whether a modal dialog (an operation or properties dialog, a message box, a file dialog)
/// is open; no command of the main window runs until it closes.
bool ModalDialogOpen();
/// Whether a menu holds the keyboard: a popup is open (a menu, a submenu, a context menu, a
/// list's drop-down). Every key is the menu's own until it closes, and no command runs beneath
/// it.
bool MenuOpen();

class TShortcutRouter : public QObject
{
    Q_OBJECT

public:
    /// activeKind answers the kind of the active document: 0 none, 1 wave, 2 music, 3 factory.
    TShortcutRouter(QWidget* window, std::function<int()> activeKind);

    /// Routes key: with a document of kind k active, the action routes[k] (1..3) runs when it
    /// exists and is enabled; with none active routes[0]. Each action given stops answering
    /// key by itself. A mnemonic of the menu bar (SetMenuBar first) is held.
    void AddKey(const QKeySequence& key, std::vector<QAction*> routes);
    /// Routes key as AddKey does, held: the keyboard hook runs it (HeldKeyOwner), since the
    /// toolkit has a shortcut of its own on it.
    void AddHeldKey(const QKeySequence& key, std::vector<QAction*> routes);

    /// The action key would run now, or nullptr; nullptr too for a key not routed and while a
    /// modal dialog or a menu is open.
    QAction* Target(const QKeySequence& key) const;
    /// Runs key as if it were pressed; answers whether an action ran.
    bool Press(const QKeySequence& key);

    /// The keys routed, in the order added.
    std::vector<QKeySequence> Keys() const;

    /// The menu bar whose mnemonics (Alt+F for "&File", ...) are held keys.
    void SetMenuBar(QMenuBar* bar);
    /// The action a held key runs now, as Target decides it: nullptr too for a key not held.
    QAction* HeldKeyOwner(const QKeySequence& key) const;
    /// Whether key is a mnemonic of the menu bar whose menus are all hidden now: the bar would
    /// take the keyboard for a menu it does not show.
    bool IsHiddenMenuKey(const QKeySequence& key) const;

    /// Lets key run action too: a shortcut the keyboard may deliver as another key (Shift+full
    /// stop arrives as ">" on many layouts). The action keeps its own shortcut, so menus show
    /// that one.
    void AddAlias(const QKeySequence& key, QAction* action);
    /// The enabled action key stands for, or nullptr (also while a modal dialog or a menu is
    /// open).
    QAction* AliasTarget(const QKeySequence& key) const;

private:
    struct Entry
    {
        QKeySequence key;
        std::vector<QAction*> routes;
        /// nullptr for a held key.
        QShortcut* shortcut;
    };

    void Add(const QKeySequence& key, std::vector<QAction*> routes, bool held);
    const Entry* FindEntry(const QKeySequence& key) const;
    /// The menu bar's menus whose mnemonic key is; hidden ones too.
    std::vector<QAction*> MenusOfKey(const QKeySequence& key) const;

    QWidget* window;
    std::function<int()> activeKind;
    std::vector<Entry> entries;
    QPointer<QMenuBar> menuBar;
    std::vector<std::pair<QKeySequence, QAction*>> aliases;
};

class TKeyboardHook : public QObject
{
    Q_OBJECT

public:
    /// Watches every key of the application while this object lives. router (not owned, may
    /// be null) decides the menu bar's keys.
    explicit TKeyboardHook(QObject* parent = nullptr, const TShortcutRouter* router = nullptr);
    ~TKeyboardHook() override;

    bool IsOn() const { return on; }
    void SetOn(bool textInput) { on = textInput; }

    /// Whether key keeps its normal course while the mode is on.
    static bool KeepsEffect(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// Checks once the events now queued are handled whether a menu bar left its keyboard mode
    /// with the focus kept.
    void CheckMenuBarFocusLater();

    /// Hands the open menu the Alt press held back from it, once Alt is released alone.
    void ReleaseHeldAlt();

    const TShortcutRouter* router;
    bool on = false;
    /// The open menu an Alt press was held back from; null once another key or a click came.
    QPointer<QMenu> altHeldFrom;
    bool handingAltOn = false;
    bool menuBarCheckQueued = false;
    /// The key press that follows a key taken from the menu bar, to be dropped.
    int swallowKey = 0;
};

} // namespace kelvorn
