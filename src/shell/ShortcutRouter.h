#pragma once
// Two keyboard helpers of the main window.
//
// TShortcutRouter: some keys belong to two actions (V is Volume for a wave and Validate for a
// factory). Qt fires neither of two enabled actions that share a key, so such a key is taken
// from both actions and given to one router entry, which runs the action that belongs to the
// active document kind, when that action is enabled. The actions keep the key as their
// shortcut, so that menus still show it, but only in a context that never matches.
//
// TTextInputHook: while the text-input mode is on (a tool window with text fields is active),
// typed keys reach the focused field instead of firing shortcuts. Tab, Enter, the arrows, Home,
// End, Insert and Delete keep their usual effect.

#include <QKeySequence>
#include <QObject>

#include <functional>
#include <vector>

class QAction;
class QShortcut;
class QWidget;

namespace kelvorn {

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

    /// The action key would run now, or nullptr; nullptr too for a key not routed.
    QAction* Target(const QKeySequence& key) const;
    /// Runs key as if it were pressed; answers whether an action ran.
    bool Press(const QKeySequence& key);

    /// The keys routed, in the order added.
    std::vector<QKeySequence> Keys() const;

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
};

class TTextInputHook : public QObject
{
    Q_OBJECT

public:
    /// Watches every key of the application while this object lives.
    explicit TTextInputHook(QObject* parent = nullptr);
    ~TTextInputHook() override;

    bool IsOn() const { return on; }
    void SetOn(bool textInput) { on = textInput; }

    /// Whether key keeps its normal course while the mode is on.
    static bool KeepsEffect(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool on = false;
};

} // namespace kelvorn
