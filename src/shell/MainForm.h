#pragma once
// The main window: the frame that holds every document window, the one action list behind all
// menus, toolbar buttons and shortcuts, the update that enables, checks and shows those actions
// for the active document, the status bar with its eight panels, the tool windows, and the
// keyboard's text-input mode.
//
// The action update only reads flags and counts; it runs when a window is activated, after
// every command, before a menu shows and from a short timer. Menus and toolbars are re-arranged
// only when the kind of the active document changes.
//
// Commands that other parts of the program carry out (open and save, play and record, the wave
// operations, ...) are installed with SetCommand; until then their actions run no command.

#include "document/records/MergeRecords.h"
#include "document/views/VoldViewProps.h"
#include "document/views/WaveViewProps.h"
#include "shell/Actions.h"
#include "shell/KindRegistry.h"
#include "shell/MainFormCommandLine.h"
#include "shell/MainFormLink.h"
#include "shell/ShortcutRouter.h"
#include "window_base/EditName.h"
#include "window_base/ResetDie.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;

namespace kelvorn {

class TAboutBox;
class ToolWindowSlot;
template <class W> class ToolWindow;

/// The program's caption: "Kelvorn 9.0".
std::string KelvornTitle();
/// Sets the application's title as the program entry does: built from the version, then set
/// again to the literal text (kept: both happen at start-up).
void SetApplicationTitle();
/// The application's title, the caption of the box that shows an exception nothing caught;
/// empty before SetApplicationTitle.
const std::string& ApplicationTitle();

class TMainForm : public QMainWindow, public MainWindowServices
{
    Q_OBJECT

public:
    /// Status bar panel widths in pixels; panel 1 is raised. Each holds the widest text its
    /// documents write (the time and frequency of the longest wave, "2147483647 hz", the note
    /// name "deses10") in the status bar's font.
    static constexpr std::array<int, 8> StatusPanelWidths{300, 170, 108, 82, 48, 24, 65, 60};
    /// The sine table's length.
    static constexpr int SineTableValues = 9000;
    /// The idle update's period.
    static constexpr int UpdateIntervalMs = 250;

    /// Builds the window in this order: parameter records and default view properties, the
    /// temporary-directory check (on failure its warning, and play and record stay off for the
    /// run), the sine table, the Edit Name window (shown), caption and icon, the cursors, no
    /// project, and the grammars of the file formats. Needs the platform services installed.
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // ---- Start-up ----------------------------------------------------------------------------

    /// Opens the first of arguments (the command line without the program's name), when there
    /// is one, by its extension: a project through the project opener, a document through the
    /// registered kind of its extension; a name without extension, with an unknown one or of a
    /// kind nobody registered shows its "File Error" box. Afterwards the project file is empty
    /// unless a project was opened. currentDir makes a relative name absolute.
    void OpenCommandLine(const std::vector<std::string>& arguments, const std::string& currentDir);
    /// The project commands (not owned); without them a project on the command line is refused.
    void SetProjectOpener(ProjectOpener* opener) { projectOpener = opener; }

    // ---- Actions -----------------------------------------------------------------------------

    TActionList& Actions() { return *actions; }
    QAction* Action(std::string_view name) const { return actions->At(name); }
    /// Installs the command of action name; it replaces the one installed before. Every
    /// command is followed by an action update.
    void SetCommand(std::string_view name, std::function<void()> command);
    /// Sets every action's enabled, checked and visible state for the active document, and
    /// the status bar.
    void ActionListUpdate();
    /// The registered kind the last update arranged for; None without one (or before it ran).
    DocumentKind LastUpdateKind() const;
    /// Whether an action update ran yet.
    bool UpdatedOnce() const { return updatedOnce; }
    /// The document kinds the program edits.
    TKindRegistry& Kinds() { return kinds; }
    /// How often menus and toolbars were re-arranged (once per kind change).
    int ArrangeCount() const { return arrangeCount; }
    TShortcutRouter& Router() { return *router; }

    // ---- Frame, menus, toolbars, status bar ----------------------------------------------------

    QMdiArea* Frame() const { return frame; }
    /// The menu of that object name: "MenuFile", "MenuProject", "MenuEdit", "MenuView",
    /// "MenuMake", "MenuEffects", "MenuMusic", "MenuFactory", "MenuWindow", "MenuHelp"; or null.
    QMenu* Menu(std::string_view name) const;
    /// The top-level menus, in menu-bar order.
    const std::vector<QMenu*>& Menus() const { return menus; }
    /// The toolbar of that object name ("ToolBarBasic", "ToolBarWave1", ...), or null.
    QToolBar* ToolBar(std::string_view name) const;

    // ---- State -------------------------------------------------------------------------------

    TDocumentServices& Documents() { return *documents; }
    TMainFormLink& Link() { return *link; }
    /// False for the whole run when the temporary directory could not be made.
    bool PlayRecordAvailable() const { return playRecordAvailable; }
    const std::string& GetProjectFile() const { return projectFile; }
    /// Sets the project file and the caption: "Kelvorn 9.0", with a project " - " + its path.
    void SetProjectFile(const std::string& fileName);
    void UpdateMainCaption();
    bool TextInputMode() const { return textInput->IsOn(); }
    TResetDieProps& ResetDieProps() { return resetDieProps; }
    TWaveViewProps& DefaultWaveViewProps() { return waveViewProps; }
    TVoldViewProps& DefaultVoldViewProps() { return voldViewProps; }
    TSplitHorProps& SplitHorProps() { return splitHorProps; }
    TMergeHorProps& MergeHorProps() { return mergeHorProps; }
    TMergeVertProps& MergeVertProps() { return mergeVertProps; }

    // ---- Tool windows ------------------------------------------------------------------------

    enum class Tool { SelZoom, Music, MusicParts, EditName };
    /// The slot of a tool window; it makes the window on first use and keeps it.
    ToolWindowSlot& ToolSlot(Tool tool) const;
    /// The Edit Name window, or null before its first use.
    TDlgEditName* EditNameWindow() const;
    /// How the Select and Zoom, Music and Music Parts windows are made; without a maker their
    /// actions show nothing.
    void SetToolWindowMaker(Tool tool, std::function<QWidget*(QWidget* owner)> make);
    /// Shows the tool window, or hides it when it shows (EditNameAction, SelectWave,
    /// MusicDialog, MusicParts).
    void ToggleToolWindow(Tool tool);
    /// window became the active document window (or was clicked while it was): text input
    /// goes off, the tool windows follow it, the actions are updated. Null for none.
    void ChildActivated(QMdiSubWindow* window);

    // ---- Commands of the main window itself ------------------------------------------------

    /// Help About: the About box, modally.
    void HelpAboutExecute();
    /// Randomize: the seed dialog with the last seed record; OK keeps and applies the new one.
    void RandomizeActionExecute();
    /// Whether a recording waits for Pause (FilePause stays enabled while recording).
    void SetRecordWaitsForPause(bool waits) { recordWaitsForPause = waits; }
    /// Whether the audio device can play and record at all (installed by play and record);
    /// without a device of the kind, Play and Play Maximal (Record) stay disabled.
    void SetPlayerDevices(bool output, bool input)
    {
        playerHasOutput = output;
        playerHasInput = input;
    }
    /// Plays sounds for PlaySound (installed by play and record).
    void SetSoundPlayer(std::function<void(const Sound&, bool)> player)
    {
        soundPlayer = std::move(player);
    }
    /// Asked before the main window closes, by its close button as by File Exit (installed by
    /// the project commands); false keeps the window open. Without one it closes at once.
    void SetCloseQuery(std::function<bool()> query) { closeQuery = std::move(query); }

    // ---- MainWindowServices -----------------------------------------------------------------

    void SetEditName(const std::string& name) override;
    void SelZoomClosed() override;
    void EditNameClosed() override;
    void MusicDialogClosed() override;
    void MusTreeClosed() override;
    void SetTextInputMode(bool on) override;
    void PlaySound(const Sound& sound, bool maximise) override;
    void SelZoomSelectionChanged(TMDIChildKelvorn* window) override;
    void SelZoomZoomChanged(TMDIChildKelvorn* window, int pane) override;
    QLabel* GetStatusPanel(int panel) override;
    QRect GetMainFormRect() const override;
    QIcon GetImageListIcon(int index) const override;
    QPixmap GetToolBarButtonBitmap(int index) const override;

protected:
    bool event(QEvent* event) override;
    /// The first show runs the first action update, so that the window opens arranged.
    void showEvent(QShowEvent* event) override;
    /// The close query decides; the window stays when it refuses.
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildActions();
    void BuildMenus();
    void BuildToolBars();
    void BuildStatusBar();
    void BuildRouter();
    void BuildToolWindows();
    void ConnectCommands();
    void CheckTempDir();
    void BuildGrammars();

    // The kinds' rules of the action update reach the actions, menus and toolbars through these.
    friend class TWaveKind;
    friend class TMusicActionRule;
    friend class TFactoryActionRule;

    void ArrangeNoDocument();
    void UpdateEveryKind();
    void UpdateStatusBar(TMDIChildKelvorn* child, TDocumentKindUI* kind);
    void ShowMenus(std::initializer_list<const char*> names, bool visible);
    void ShowToolBars(std::initializer_list<const char*> names, bool visible);
    void ShowActions(std::initializer_list<const char*> names, bool visible);
    void SetDuplicates(const char* onlyVisible);

    QMdiArea* frame;
    std::unique_ptr<TDocumentServices> documents;
    std::unique_ptr<TMainFormLink> link;
    std::unique_ptr<TActiveNameTarget> nameTarget;
    TActionList* actions = nullptr;
    TShortcutRouter* router = nullptr;
    TKeyboardHook* textInput = nullptr;
    QTimer* idleTimer = nullptr;
    std::vector<QMenu*> menus;
    std::vector<QToolBar*> toolBars;
    std::array<QLabel*, 8> statusPanels{};
    std::map<std::string, std::function<void()>, std::less<>> commands;

    std::unique_ptr<ToolWindow<TDlgEditName>> editNameSlot;
    std::array<std::unique_ptr<ToolWindowSlot>, 3> otherToolSlots;
    std::array<std::function<QWidget*(QWidget*)>, 3> toolMakers;
    TAboutBox* aboutBox = nullptr;

    TSplitHorProps splitHorProps;
    TMergeHorProps mergeHorProps;
    TMergeVertProps mergeVertProps;
    TResetDieProps resetDieProps;
    std::string projectFile;
    TWaveViewProps waveViewProps;
    TVoldViewProps voldViewProps;

    TKindRegistry kinds;
    TDocumentKindUI* lastArranged = nullptr;
    /// The window whose texts the status panels show.
    QPointer<QObject> statusWindow;
    bool updatedOnce = false;
    int arrangeCount = 0;
    bool playRecordAvailable = true;
    bool updating = false;
    bool recordWaitsForPause = false;
    bool playerHasOutput = true;
    bool playerHasInput = true;
    ProjectOpener* projectOpener = nullptr;
    std::function<void(const Sound&, bool)> soundPlayer;
    std::function<bool()> closeQuery;
};

} // namespace kelvorn
