#pragma once
// The one action list behind every menu item, toolbar button and shortcut of the main window.
// Each action is a QAction whose objectName is the action's name ("FilePlay"); the catalogue
// below fixes its caption, shortcut, hint and category. The hint is a short and a long text
// joined by "|": the short one shows over toolbar buttons, the long one in the status bar.
//
// Every shortcut works application-wide, also while a tool window has the keyboard, which is
// why the text-input mode exists (ShortcutRouter.h).

#include <QObject>

#include <map>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QWidget;

namespace kelvorn {

enum class ActionCategory {
    File,
    Project,
    Edit,
    None,
    WaveWindow,
    MakeWave,
    SimpleWave,
    ComplexWave,
    Filter,
    Music,
    MusicNotes,
    MusicSilence,
    MusicArt,
    MusicKey,
    MusicNoteshift,
    MusicMode,
    MusicMove,
    MusicPoint,
    MusicSelect,
    MusicTuplet,
    MusicPlay,
    Sountory,
    Key,
    Window,
    Help,
};

struct ActionSpec
{
    const char* name;
    const char* caption;
    /// In QKeySequence's portable form ("Ctrl+Shift+N", "Shift+."); "" for none.
    const char* shortcut;
    /// "short|long"; "" for the key actions, which show nowhere.
    const char* hint;
    ActionCategory category;
    /// Whether the action update ever checks the action.
    bool checkable = false;
};

/// Every action of the main window, in the order the categories list them.
const std::vector<ActionSpec>& ActionCatalogue();

/// The short part of a hint (before "|"), and the long part (after it; the whole hint when it
/// has no "|").
QString ShortHint(const char* hint);
QString LongHint(const char* hint);

class TActionList : public QObject
{
    Q_OBJECT

public:
    /// Creates every action of the catalogue, enabled and visible, as children of this list.
    /// Each is added to window (so that its shortcut works while window shows); window keeps
    /// no other hold on them.
    explicit TActionList(QWidget* window);

    /// The action of that name. An unknown name is a programming error: the program stops.
    QAction* At(std::string_view name) const;
    /// The action of that name, or nullptr.
    QAction* Find(std::string_view name) const;
    /// Every action, in catalogue order.
    const std::vector<QAction*>& All() const { return actions; }
    /// The actions of one category, in catalogue order.
    std::vector<QAction*> InCategory(ActionCategory category) const;
    /// The category of action (one of this list's).
    ActionCategory CategoryOf(const QAction* action) const;

    /// Sets several actions' enabled state.
    void SetEnabled(std::initializer_list<const char*> names, bool enabled) const;

private:
    std::vector<QAction*> actions;
    std::map<std::string, QAction*, std::less<>> byName;
};

/// The music actions a music window answers for by its queries (all but Music itself: the
/// tool-window toggles and Generate).
bool IsMusicQueryCategory(ActionCategory category);

} // namespace kelvorn
