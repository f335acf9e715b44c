#include "shell/ShortcutRouter.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QShortcut>
#include <QWidget>

#include <algorithm>

namespace kelvorn {

TShortcutRouter::TShortcutRouter(QWidget* window, std::function<int()> activeKind)
    : QObject(window), window(window), activeKind(std::move(activeKind))
{
}

void TShortcutRouter::AddKey(const QKeySequence& key, std::vector<QAction*> routes)
{
    routes.resize(4, nullptr);
    for (QAction* action : routes)
        if (action && action->shortcut() == key) {
            // A widget context matches only while a widget that shows the action has the
            // focus, which a menu or toolbar never has: the key stays in the menus only.
            action->setShortcutContext(Qt::WidgetShortcut);
            window->removeAction(action);
        }
    auto* shortcut = new QShortcut(key, window);
    shortcut->setContext(Qt::ApplicationShortcut);
    shortcut->setAutoRepeat(false);
    connect(shortcut, &QShortcut::activated, this, [this, key] { Press(key); });
    entries.push_back(Entry{key, std::move(routes), shortcut});
}

const TShortcutRouter::Entry* TShortcutRouter::FindEntry(const QKeySequence& key) const
{
    for (const Entry& entry : entries)
        if (entry.key == key)
            return &entry;
    return nullptr;
}

bool ModalDialogOpen()
{
    return QApplication::activeModalWidget() != nullptr;
}

bool MenuOpen()
{
    // A menu bar takes the keyboard focus while it is in its keyboard mode.
    return QApplication::activePopupWidget() != nullptr ||
           qobject_cast<QMenuBar*>(QApplication::focusWidget()) != nullptr;
}

QAction* TShortcutRouter::Target(const QKeySequence& key) const
{
    const Entry* entry = FindEntry(key);
    if (!entry || ModalDialogOpen() || MenuOpen())
        return nullptr;
    const int kind = activeKind();
    if (kind < 0 || kind > 3)
        return nullptr;
    QAction* action = entry->routes[size_t(kind)];
    return action && action->isEnabled() ? action : nullptr;
}

bool TShortcutRouter::Press(const QKeySequence& key)
{
    QAction* action = Target(key);
    if (!action)
        return false;
    action->trigger();
    return true;
}

std::vector<QKeySequence> TShortcutRouter::Keys() const
{
    std::vector<QKeySequence> keys;
    for (const Entry& entry : entries)
        keys.push_back(entry.key);
    return keys;
}

void TShortcutRouter::SetMenuBarKeys(std::vector<QKeySequence> mnemonics,
                                     std::vector<QAction*> actions)
{
    menuBarKeys = std::move(mnemonics);
    menuKeyActions = std::move(actions);
}

QAction* TShortcutRouter::MenuKeyOwner(const QKeySequence& key) const
{
    if (std::find(menuBarKeys.begin(), menuBarKeys.end(), key) == menuBarKeys.end() ||
        ModalDialogOpen() || MenuOpen())
        return nullptr;
    if (FindEntry(key))
        return Target(key);
    for (QAction* action : menuKeyActions)
        if (action->isEnabled() && action->shortcut() == key)
            return action;
    return nullptr;
}

void TShortcutRouter::AddAlias(const QKeySequence& key, QAction* action)
{
    aliases.emplace_back(key, action);
}

QAction* TShortcutRouter::AliasTarget(const QKeySequence& key) const
{
    if (ModalDialogOpen() || MenuOpen())
        return nullptr;
    for (const auto& [alias, action] : aliases)
        if (alias == key && action->isEnabled())
            return action;
    return nullptr;
}

TKeyboardHook::TKeyboardHook(QObject* parent, const TShortcutRouter* router)
    : QObject(parent), router(router)
{
    qApp->installEventFilter(this);
}

TKeyboardHook::~TKeyboardHook()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool TKeyboardHook::KeepsEffect(int key)
{
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_Insert:
    case Qt::Key_Delete:
        return true;
    default:
        return false;
    }
}

bool TKeyboardHook::eventFilter(QObject* watched, QEvent* event)
{
    // An accepted override sends the key to the focused widget as a key press instead of
    // letting it fire a shortcut.
    if (event->type() == QEvent::ShortcutOverride) {
        // An open menu takes every key as a key press, its own mnemonics included: no
        // shortcut of any window fires beneath it.
        if (MenuOpen()) {
            event->accept();
            return true;
        }
        // A modal dialog's keys are its own: its mnemonics must fire, and Qt already keeps the
        // main window's shortcuts from firing beneath it.
        if (ModalDialogOpen())
            return QObject::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        if (on && !KeepsEffect(key->key())) {
            event->accept();
            return true;
        }
        const QKeySequence pressed(key->keyCombination());
        QAction* owner = router ? router->MenuKeyOwner(pressed) : nullptr;
        if (!owner && router)
            owner = router->AliasTarget(pressed);
        if (owner) {
            event->accept();
            swallowKey = key->keyCombination().toCombined();
            // After the key event: the command may open a modal dialog.
            QMetaObject::invokeMethod(owner, &QAction::trigger, Qt::QueuedConnection);
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
    if (swallowKey && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool same = key->keyCombination().toCombined() == swallowKey;
        swallowKey = 0;
        if (same)
            return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kelvorn
