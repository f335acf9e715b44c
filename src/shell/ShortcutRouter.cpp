#include "shell/ShortcutRouter.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
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
    Add(key, std::move(routes), !MenusOfKey(key).empty());
}

void TShortcutRouter::AddHeldKey(const QKeySequence& key, std::vector<QAction*> routes)
{
    Add(key, std::move(routes), true);
}

void TShortcutRouter::Add(const QKeySequence& key, std::vector<QAction*> routes, bool held)
{
    routes.resize(4, nullptr);
    for (QAction* action : routes)
        if (action && action->shortcut() == key) {
            // A widget context matches only while a widget that shows the action has the
            // focus, which a menu or toolbar never has: the key stays in the menus only.
            action->setShortcutContext(Qt::WidgetShortcut);
            window->removeAction(action);
        }
    QShortcut* shortcut = nullptr;
    if (!held) {
        shortcut = new QShortcut(key, window);
        shortcut->setContext(Qt::ApplicationShortcut);
        shortcut->setAutoRepeat(false);
        connect(shortcut, &QShortcut::activated, this, [this, key] { Press(key); });
    }
    entries.push_back(Entry{key, std::move(routes), shortcut});
}

const TShortcutRouter::Entry* TShortcutRouter::FindEntry(const QKeySequence& key) const
{
    for (const Entry& entry : entries)
        if (entry.key == key)
            return &entry;
    return nullptr;
}

std::vector<QAction*> TShortcutRouter::MenusOfKey(const QKeySequence& key) const
{
    std::vector<QAction*> menus;
    if (menuBar)
        for (QAction* menu : menuBar->actions())
            if (QKeySequence::mnemonic(menu->text()) == key)
                menus.push_back(menu);
    return menus;
}

bool ModalDialogOpen()
{
    return QApplication::activeModalWidget() != nullptr;
}

namespace {

// Qt has no public query of a menu bar's keyboard mode. The bar takes the focus as the mode
// begins and highlights an item for as long as it lasts; the focus alone is no sign, since a bar
// that leaves the mode keeps it when no widget had it before.
bool InKeyboardMode(const QMenuBar& bar)
{
    return bar.hasFocus() && bar.activeAction() != nullptr;
}

// A menu bar that left its keyboard mode but kept the focus: its window gets it, so that the
// next key reaches the shortcuts instead of the bar.
void ReleaseMenuBarFocus()
{
    auto* bar = qobject_cast<QMenuBar*>(QApplication::focusWidget());
    if (bar && !InKeyboardMode(*bar) && !QApplication::activePopupWidget())
        bar->window()->setFocus(Qt::MenuBarFocusReason);
}

// The menu bar in its keyboard mode while none of its menus is open, else null.
QMenuBar* MenuBarInKeyboardMode()
{
    if (QApplication::activePopupWidget())
        return nullptr;
    auto* bar = qobject_cast<QMenuBar*>(QApplication::focusWidget());
    return bar && InKeyboardMode(*bar) ? bar : nullptr;
}

// A modifier pressed alone runs no command: the key it comes with decides. Alt alone is the
// bar's own way in and out of its keyboard mode.
bool IsModifierAlone(int key)
{
    return (key >= Qt::Key_Shift && key <= Qt::Key_ScrollLock) || key == Qt::Key_AltGr ||
           key == Qt::Key_Super_L || key == Qt::Key_Super_R;
}

// The keys a menu bar in its keyboard mode answers itself: it moves between its titles, opens
// the highlighted one, leaves the mode, or opens the title a letter stands for, typed alone or
// with Alt. Every other key is a shortcut's, as it is without the mode.
bool IsMenuBarKey(const QMenuBar& bar, const QKeyEvent& key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    switch (key.key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_Escape:
        return (modifiers & ~Qt::ShiftModifier) == Qt::NoModifier;
    default:
        break;
    }
    if (modifiers != Qt::NoModifier && modifiers != Qt::AltModifier &&
        modifiers != Qt::MetaModifier)
        return false;
    const auto titles = bar.actions();
    return std::any_of(titles.begin(), titles.end(), [&](const QAction* title) {
        const QKeySequence letter = QKeySequence::mnemonic(title->text());
        return title->isVisible() && !letter.isEmpty() && letter[0].key() == key.key();
    });
}

// Ends the bar's keyboard mode as its own Escape does, which gives the focus back to the widget
// that had it; where none had it the bar's window takes it.
void LeaveKeyboardMode(QMenuBar& bar)
{
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&bar, &escape);
    ReleaseMenuBarFocus();
}

} // namespace

bool MenuOpen()
{
    return QApplication::activePopupWidget() != nullptr;
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

void TShortcutRouter::SetMenuBar(QMenuBar* bar)
{
    menuBar = bar;
}

QAction* TShortcutRouter::HeldKeyOwner(const QKeySequence& key) const
{
    const Entry* entry = FindEntry(key);
    return entry && !entry->shortcut ? Target(key) : nullptr;
}

bool TShortcutRouter::IsHiddenMenuKey(const QKeySequence& key) const
{
    const std::vector<QAction*> menus = MenusOfKey(key);
    return !menus.empty() && std::none_of(menus.begin(), menus.end(),
                                          [](const QAction* menu) { return menu->isVisible(); });
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

void TKeyboardHook::CheckMenuBarFocusLater()
{
    if (menuBarCheckQueued)
        return;
    menuBarCheckQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            menuBarCheckQueued = false;
            ReleaseMenuBarFocus();
        },
        Qt::QueuedConnection);
}

void TKeyboardHook::ReleaseHeldAlt()
{
    QPointer<QMenu> menu = altHeldFrom;
    altHeldFrom = nullptr;
    if (!menu || menu != QApplication::activePopupWidget())
        return;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    handingAltOn = true;
    QCoreApplication::sendEvent(menu, &press);
    handingAltOn = false;
}

bool TKeyboardHook::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && !handingAltOn) {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Alt) {
            altHeldFrom = menu;
            return true;
        }
        altHeldFrom = nullptr;
    } else if (event->type() == QEvent::KeyRelease && altHeldFrom &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Alt) {
        ReleaseHeldAlt();
    } else if (event->type() == QEvent::MouseButtonPress) {
        altHeldFrom = nullptr;
        // A click beside the bar that takes no focus (the empty frame, a toolbar) would leave
        // the bar in its keyboard mode, and the next letter with it.
        auto* pressed = qobject_cast<QWidget*>(watched);
        QMenuBar* bar = MenuBarInKeyboardMode();
        if (bar && pressed && pressed->window() == bar->window() && pressed != bar &&
            !bar->isAncestorOf(pressed))
            LeaveKeyboardMode(*bar);
    }
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::FocusIn:
        // Each may end a menu bar's keyboard mode: Escape, Alt, a click, a command chosen, the
        // focus back from a dialog the command opened.
        if (qobject_cast<QMenuBar*>(QApplication::focusWidget()))
            CheckMenuBarFocusLater();
        break;
    default:
        break;
    }
    // An accepted override sends the key to the focused widget as a key press instead of
    // letting it fire a shortcut.
    if (event->type() == QEvent::ShortcutOverride) {
        // The shortcuts are matched after this event, with the focus as it is then.
        ReleaseMenuBarFocus();
        auto* key = static_cast<QKeyEvent*>(event);
        // An open menu takes every key as a key press, its own mnemonics included: no
        // shortcut of any window fires beneath it. Alt alone is no shortcut: the menu bar
        // watches it to leave its keyboard mode.
        if (MenuOpen()) {
            if (key->key() == Qt::Key_Alt || key->key() == Qt::Key_Meta)
                return QObject::eventFilter(watched, event);
            event->accept();
            return true;
        }
        // With no menu open, the bar in its keyboard mode keeps only its own keys; any other
        // ends the mode and is a shortcut as it would be without it.
        if (QMenuBar* bar = MenuBarInKeyboardMode()) {
            if (IsModifierAlone(key->key()))
                return QObject::eventFilter(watched, event);
            if (IsMenuBarKey(*bar, *key)) {
                event->accept();
                return true;
            }
            LeaveKeyboardMode(*bar);
        }
        // A modal dialog's keys are its own: its mnemonics must fire, and Qt already keeps the
        // main window's shortcuts from firing beneath it.
        if (ModalDialogOpen())
            return QObject::eventFilter(watched, event);
        if (on && !KeepsEffect(key->key())) {
            event->accept();
            return true;
        }
        const QKeySequence pressed(key->keyCombination());
        QAction* owner = router ? router->HeldKeyOwner(pressed) : nullptr;
        if (!owner && router)
            owner = router->AliasTarget(pressed);
        if (owner || (router && router->IsHiddenMenuKey(pressed))) {
            event->accept();
            swallowKey = key->keyCombination().toCombined();
            // After the key event: the command may open a modal dialog.
            if (owner)
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
