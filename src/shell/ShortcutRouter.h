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
// - An action's key beats the menu bar's mnemonic of the same key (Alt+F is Multi Frequencies
//   while that action is enabled, else it opens the File menu); Qt would fire neither.
// - A key that stands for another (an alias of the router) runs that key's action once, and no
//   shortcut of its own; two shortcuts of one action matching one key press would be taken as
//   ambiguous and run nothing.
//
// While a modal dialog is open, neither runs anything: the dialog holds the program, and a
// command run beneath it would change or close the document the dialog works on.
//
// While a menu, a submenu, a context menu or a list's drop-down is open, or the menu bar holds
// the keyboard, every key belongs to it (its mnemonics, the arrows, Return and Escape): the hook
// hands each key to the menu before any shortcut of the main window sees it, so that a letter in
// the File menu picks a File item instead of running an operation on the wave beneath.

#include <QKeySequence>
#include <QObject>

#include <functional>
#include <vector>

class QAction;
class QShortcut;
class QWidget;

namespace kelvorn {

/// Whether a modal dialog (an operation or properties dialog, a message box, a file dialog)
/// is open; no command of the main window runs until it closes.
bool ModalDialogOpen();
/// Whether a menu holds the keyboard: a popup is open (a menu, a submenu, a context menu, a
/// list's drop-down), or a menu bar has it (after Alt, or after Escape closed its menu). Every key
/// is the menu's own until it lets go.
bool MenuOpen();

class TShortcutRouter : public QObject
{
    Q_OBJECT

public:
    /// activeKind answers the kind of the active document: 0 none, 1 wave, 2 music, 3 factory.
    TShortcutRouter(QWidget* window, std::function<int()> activeKind);

    /// Routes key: with a document of kind k active, the action routes[k] (1..3) runs when it
    /// exists and is enabled; with none active routes[0]. Each action given stops answering
    /// key by itself.
    void AddKey(const QKeySequence& key, std::vector<QAction*> routes);

    /// The action key would run now, or nullptr; nullptr too for a key not routed and while a
    /// modal dialog or a menu is open.
    QAction* Target(const QKeySequence& key) const;
    /// Runs key as if it were pressed; answers whether an action ran.
    bool Press(const QKeySequence& key);

    /// The keys routed, in the order added.
    std::vector<QKeySequence> Keys() const;

    /// The menu bar's mnemonic keys (Alt+F for "&File", ...) and the actions that may own
    /// the same keys; a routed key is decided by its routes.
    void SetMenuBarKeys(std::vector<QKeySequence> mnemonics, std::vector<QAction*> actions);
    /// The action that takes key from the menu bar now: nullptr when key is no mnemonic of
    /// the menu bar, no enabled action owns it or a modal dialog or a menu is open.
    QAction* MenuKeyOwner(const QKeySequence& key) const;

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
        QShortcut* shortcut;
    };

    const Entry* FindEntry(const QKeySequence& key) const;

    QWidget* window;
    std::function<int()> activeKind;
    std::vector<Entry> entries;
    std::vector<QKeySequence> menuBarKeys;
    std::vector<QAction*> menuKeyActions;
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
    const TShortcutRouter* router;
    bool on = false;
    /// The key press that follows a key taken from the menu bar, to be dropped.
    int swallowKey = 0;
};

} // namespace kelvorn
