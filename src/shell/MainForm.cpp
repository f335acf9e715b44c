#include "shell/MainForm.h"

#include "document/ProjectFile.h"
#include "document/wave/SideFile.h"
#include "document/wave/UnitWave.h"
#include "factory/core/FactoryFile.h"
#include "general/Assert.h"
#include "general/GuiMessages.h"
#include "general/Services.h"
#include "general/palette/ColorPalette1D.h"
#include "music/core/MuzFile.h"
#include "platform/Clock.h"
#include "platform/Help.h"
#include "platform/TempDir.h"
#include "shell/MainFormKinds.h"
#include "shell/WindowArrangement.h"
#include "sound/SineTable.h"
#include "window_base/AboutBox.h"
#include "window_base/ChildKelvorn.h"
#include "window_base/ProgramIcon.h"
#include "window_base/QtModalDialog.h"
#include "window_base/ToolWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusTipEvent>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>

namespace kelvorn {

std::string KelvornTitle()
{
    return std::string("Kelvorn ") + KELVORN_VERSION_TEXT;
}

namespace {

std::string& StoredApplicationTitle()
{
    static std::string title;
    return title;
}

} // namespace

void SetApplicationTitle()
{
    // Not the toolkit's application display name: on X11 that is appended to every window's
    // title, so that each caption would carry the program's name a second time.
    char title[50];
    std::snprintf(title, sizeof title, "Kelvorn %s", KELVORN_VERSION_TEXT);
    StoredApplicationTitle() = title;
    // kept: the title is set a second time, to the literal text.
    StoredApplicationTitle() = "Kelvorn 9.0";
}

const std::string& ApplicationTitle()
{
    return StoredApplicationTitle();
}

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    resize(1000, 700);
    frame = new QMdiArea(this);
    frame->setObjectName(QStringLiteral("Frame"));
    // A window partly outside the frame, left there by the user or by toolbars that took room,
    // can still be reached.
    frame->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    frame->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(frame);
    documents = std::make_unique<TDocumentServices>(*frame);
    link = std::make_unique<TMainFormLink>(*documents, *this);
    nameTarget =
        std::make_unique<TActiveNameTarget>(*documents, [this](bool on) { SetTextInputMode(on); });
    BuildActions();
    BuildMenus();
    BuildToolBars();
    BuildStatusBar();
    BuildRouter();
    textInput = new TKeyboardHook(this, router);
    BuildToolWindows();
    ConnectCommands();
    // The records (parameter records, seed record, default view properties) are members, built
    // before this body runs; there is no undo record yet.

    CheckTempDir();
    AbortFlag sineFlag = 0;
    CreateSinus(&sineFlag);

    documents->DeleteClipBoardSound();
    ToggleToolWindow(Tool::EditName);

    setWindowTitle(QString::fromStdString(KelvornTitle()));
    setWindowIcon(QIcon(ProgramIcon(32)));
    documents->EndWait();
    documents->DeleteUndo();
    SetProjectFile(std::string());
    BuildGrammars();

    aboutBox = new TAboutBox(this);
}

TMainForm::~TMainForm()
{
    idleTimer->stop();
    FreeSinus();
    documents->DeleteUndo();
    // The document windows go while the services they report to still exist.
    for (QMdiSubWindow* window : frame->subWindowList())
        delete window;
    // The name window reads the documents through the target, which goes with the members.
    delete editNameSlot->Existing();
}

void TMainForm::CheckTempDir()
{
    TempDir& tempDir = GetService<TempDir>();
    if (!tempDir.Create()) {
        TGuiMessages::ShowCreateDirError(tempDir.Path());
        playRecordAvailable = false;
    }
}

void TMainForm::BuildGrammars()
{
    // Each format keeps the grammar it builds here for the program's life.
    PaletteFileGrammar();
    UnitWaveGrammar();
    ProjectGrammar(projectFileVersion);
    MuzGrammars();
    FactoryGrammar();
}

void TMainForm::BuildActions()
{
    actions = new TActionList(this);
    // The music and factory actions wait for their windows: only the rules of those kinds
    // enable them.
    for (QAction* action : actions->All()) {
        const ActionCategory category = actions->CategoryOf(action);
        if (category == ActionCategory::Music || category == ActionCategory::Sountory ||
            IsMusicQueryCategory(category))
            action->setEnabled(false);
    }
}

void TMainForm::BuildRouter()
{
    router = new TShortcutRouter(this, [this] {
        // A kind nobody registered has no keys of its own.
        TMDIChildKelvorn* child = documents->GetActiveChild();
        return kinds.Of(child) ? int(child->GetKind()) : 0;
    });
    router->SetMenuBar(menuBar());
    auto a = [this](const char* name) { return actions->At(name); };
    //              none     wave                 music               factory
    router->AddKey(QKeySequence(Qt::Key_V), {nullptr, a("Volume"), nullptr, a("SntValidate")});
    router->AddKey(QKeySequence(Qt::Key_F), {nullptr, a("SntRunAtWnd"), a("MusicKeyF"), nullptr});
    router->AddKey(QKeySequence(Qt::Key_H), {nullptr, a("MoveH"), a("keyH"), nullptr});
    router->AddKey(QKeySequence(Qt::ALT | Qt::Key_D),
                   {nullptr, a("keyAltD"), a("keyAltD"), a("SntModeDrag")});
    // A factory may leave "Run Factory Create Wave" enabled for a wave window.
    router->AddKey(QKeySequence(Qt::ALT | Qt::Key_M),
                   {nullptr, a("SntRunCrWnd"), a("MusicGenerate"), a("SntRunCrWnd")});
    // The other commands on a letter of the menu bar take it only from the kind they work on,
    // since an enabled state may be left over from a window of another kind. The key actions
    // work on every kind and always take theirs.
    router->AddKey(QKeySequence(Qt::ALT | Qt::Key_F), {nullptr, a("MakeMFreq"), nullptr, nullptr});
    router->AddKey(QKeySequence(Qt::ALT | Qt::Key_E), {nullptr, a("RndEcho"), nullptr, nullptr});
    router->AddKey(QKeySequence(Qt::ALT | Qt::Key_V), {nullptr, a("ViewVold"), nullptr, nullptr});
    router->AddKey(QKeySequence(Qt::ALT | Qt::Key_W), {nullptr, a("ViewWave"), nullptr, nullptr});
    router->AddKey(QKeySequence(Qt::ALT | Qt::Key_H),
                   {nullptr, nullptr, nullptr, a("SntShowHints")});
    for (const char* keyAction : {"keyAltP", "keyAltU"}) {
        QAction* action = a(keyAction);
        router->AddKey(action->shortcut(), {action, action, action, action});
    }
    // The document window's own window menu answers Ctrl+F4 too; both close it through its
    // close question.
    QAction* close = a("FileClose");
    router->AddHeldKey(close->shortcut(), {close, close, close, close});
}

void TMainForm::BuildToolWindows()
{
    editNameSlot = std::make_unique<ToolWindow<TDlgEditName>>(
        this, [this](QWidget* owner) { return new TDlgEditName(owner, *nameTarget); });
    editNameSlot->SetClosedNotice([this] { EditNameClosed(); });
    for (size_t i = 0; i < otherToolSlots.size(); ++i) {
        otherToolSlots[i] = std::make_unique<ToolWindowSlot>(this, [this, i](QWidget* owner) {
            return toolMakers[i] ? toolMakers[i](owner) : nullptr;
        });
    }
    otherToolSlots[size_t(Tool::SelZoom)]->SetClosedNotice([this] { SelZoomClosed(); });
    otherToolSlots[size_t(Tool::Music)]->SetClosedNotice([this] { MusicDialogClosed(); });
    otherToolSlots[size_t(Tool::MusicParts)]->SetClosedNotice([this] { MusTreeClosed(); });
}

ToolWindowSlot& TMainForm::ToolSlot(Tool tool) const
{
    if (tool == Tool::EditName)
        return *editNameSlot;
    return *otherToolSlots[size_t(tool)];
}

TDlgEditName* TMainForm::EditNameWindow() const
{
    return editNameSlot->Existing();
}

void TMainForm::SetToolWindowMaker(Tool tool, std::function<QWidget*(QWidget*)> make)
{
    if (tool != Tool::EditName)
        toolMakers[size_t(tool)] = std::move(make);
}

void TMainForm::ToggleToolWindow(Tool tool)
{
    ToolWindowSlot& slot = ToolSlot(tool);
    const bool shown = slot.Toggle();
    const char* action = tool == Tool::EditName  ? "EditNameAction"
                         : tool == Tool::SelZoom ? "SelectWave"
                         : tool == Tool::Music   ? "MusicDialog"
                                                 : "MusicParts";
    actions->At(action)->setChecked(shown);
}

void TMainForm::ConnectCommands()
{
    for (QAction* action : actions->All()) {
        const std::string name = action->objectName().toStdString();
        connect(action, &QAction::triggered, this, [this, action, name] {
            // Whatever asks, no command runs inside another's modal dialog; a check mark the
            // trigger flipped goes back.
            if (ModalDialogOpen()) {
                if (action->isCheckable()) {
                    const QSignalBlocker quiet(action);
                    action->setChecked(!action->isChecked());
                }
                return;
            }
            auto it = commands.find(name);
            if (it != commands.end() && it->second)
                it->second();
            ActionListUpdate();
        });
    }
    // Keys that mean something else to each kind: the active window's kind says what.
    for (const char* key :
         {"keyCtrlDel", "keyAltDel", "keyAltN", "keyAltS", "keyL", "keyShiftL", "keyAltL",
          "keyShiftAltL", "keyB", "keyShiftB", "keyH", "keyShiftH", "keyE", "keyAltP",
          "keyShiftAltP", "keyAltG", "keyShiftAltG", "keyAltU", "keyAltD"})
        SetCommand(key, [this, key] {
            TMDIChildKelvorn* active = documents->GetActiveChild();
            if (TDocumentKindUI* kind = kinds.Of(active))
                kind->RunSharedKey(*active, key);
        });
    SetCommand("HelpAbout", [this] { HelpAboutExecute(); });
    SetCommand("RandomizeAction", [this] { RandomizeActionExecute(); });
    SetCommand("EditNameAction", [this] { ToggleToolWindow(Tool::EditName); });
    SetCommand("SelectWave", [this] { ToggleToolWindow(Tool::SelZoom); });
    SetCommand("MusicDialog", [this] { ToggleToolWindow(Tool::Music); });
    SetCommand("MusicParts", [this] { ToggleToolWindow(Tool::MusicParts); });
    SetCommand("FileClose", [this] {
        if (QMdiSubWindow* active = frame->activeSubWindow())
            active->close();
    });
    SetCommand("FileExit", [this] { close(); });
    // The toolkit's own cascade keeps each window at its size hint, a bare title bar for ours.
    SetCommand("WindowCascade", [this] {
        CascadeWindows(*frame, QSize(TDocumentServices::MinimumWindowWidth,
                                     TDocumentServices::MinimumWindowHeight));
    });
    SetCommand("WindowTileHorizontal", [this] { TileWindows(*frame, true); });
    SetCommand("WindowTileVertical", [this] { TileWindows(*frame, false); });
    SetCommand("WindowMinimizeAll", [this] { MinimizeWindows(*frame); });
    SetCommand("WindowArrangeAll", [this] { ArrangeMinimizedWindows(*frame); });
    SetCommand("HelpContents", [] { GetService<Help>().ShowContents(); });
    SetCommand("HelpTopicSearch", [] { GetService<Help>().ShowTopicSearch(); });
    SetCommand("HelpOnHelp", [] { GetService<Help>().ShowHelpOnHelp(); });

    connect(frame, &QMdiArea::subWindowActivated, this, &TMainForm::ChildActivated);
    connect(documents.get(), &TDocumentServices::DocumentWindowClosing, this,
            [this] { ActionListUpdate(); });
    connect(documents.get(), &TDocumentServices::LastDocumentWindowClosing, this, [this] {
        if (TDlgEditName* editName = EditNameWindow())
            editName->Retarget();
        if (auto* selZoom = dynamic_cast<SelZoomFollower*>(ToolSlot(Tool::SelZoom).Existing()))
            selZoom->SetChildWave(nullptr);
        for (Tool tool : {Tool::Music, Tool::MusicParts})
            if (auto* music = dynamic_cast<MusicToolFollower*>(ToolSlot(tool).Existing()))
                music->SetChildMuz(nullptr);
    });
    idleTimer = new QTimer(this);
    idleTimer->setInterval(UpdateIntervalMs);
    connect(idleTimer, &QTimer::timeout, this, &TMainForm::ActionListUpdate);
    idleTimer->start();
}

void TMainForm::SetCommand(std::string_view name, std::function<void()> command)
{
    actions->At(name);
    commands[std::string(name)] = std::move(command);
}

void TMainForm::ChildActivated(QMdiSubWindow* window)
{
    auto* child = qobject_cast<TMDIChildKelvorn*>(window);
    if (child && child->IsClosing())
        child = nullptr;
    if (child)
        SetTextInputMode(false);
    // The tool windows follow the active document window: each gets the window of its kind.
    if (auto* selZoom = dynamic_cast<SelZoomFollower*>(ToolSlot(Tool::SelZoom).Existing()))
        selZoom->SetChildWave(WindowOfKind(child, DocumentKind::Wave));
    for (Tool tool : {Tool::Music, Tool::MusicParts})
        if (auto* music = dynamic_cast<MusicToolFollower*>(ToolSlot(tool).Existing()))
            music->SetChildMuz(WindowOfKind(child, DocumentKind::Music));
    if (child)
        if (TDlgEditName* editName = EditNameWindow())
            editName->Retarget();
    ActionListUpdate();
}

void TMainForm::OpenCommandLine(const std::vector<std::string>& arguments,
                                const std::string& currentDir)
{
    if (arguments.empty()) {
        SetProjectFile(std::string());
        return;
    }
    const std::string& parameter = arguments.front();
    const StartupFile file = ClassifyStartupFile(parameter, currentDir);
    switch (file.kind) {
    case StartupFileKind::NoExtension:
    case StartupFileKind::InvalidExtension:
        ShowStartupFileError(file, parameter);
        break;
    case StartupFileKind::Project:
        if (projectOpener) {
            projectOpener->OpenProject(file.path);
            return;
        }
        ShowCannotOpenKind(file.path, "Projects");
        break;
    case StartupFileKind::Document:
        if (TDocumentKindUI* kind = kinds.Find(file.document)) {
            std::string message;
            kind->OpenFile(file.path, {}, false, message);
        } else {
            ShowCannotOpenKind(file.path, FindDocumentKind(file.document)->pluralWord);
        }
        break;
    }
    SetProjectFile(std::string());
    ActionListUpdate();
}

void TMainForm::SetProjectFile(const std::string& fileName)
{
    projectFile = fileName;
    UpdateMainCaption();
}

void TMainForm::UpdateMainCaption()
{
    std::string caption = KelvornTitle();
    if (!projectFile.empty())
        caption += " - " + projectFile;
    setWindowTitle(QString::fromLocal8Bit(caption.c_str()));
}

void TMainForm::HelpAboutExecute()
{
    RunDialog(*aboutBox);
}

void TMainForm::RandomizeActionExecute()
{
    TDlgResetDie dialog(this, resetDieProps);
    if (RunDialog(dialog) != DialogResult::Accepted)
        return;
    resetDieProps = dialog.GetResetDieProps();
    ApplyResetDieProps(resetDieProps, GetService<Clock>());
}

bool TMainForm::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        // The document windows live in this window: typing here is meant for the shortcuts.
        // The tool windows count as active with it and hear of the activation too, so the
        // mode is decided once every window has, by the window that has the keyboard.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (QGuiApplication::focusWindow() == windowHandle())
                    SetTextInputMode(false);
            },
            Qt::QueuedConnection);
        ActionListUpdate();
        break;
    case QEvent::StatusTip:
        if (statusPanels[0])
            statusPanels[0]->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    default:
        break;
    }
    return QMainWindow::event(event);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (closeQuery && !closeQuery()) {
        event->ignore();
        return;
    }
    // The tool windows and the help go with the main window: any of them left showing would
    // keep the program running without a main window.
    for (Tool tool : {Tool::SelZoom, Tool::Music, Tool::MusicParts, Tool::EditName})
        ToolSlot(tool).Close();
    if (Help* help = FindService<Help>())
        help->CloseWindow();
    QMainWindow::closeEvent(event);
}

void TMainForm::showEvent(QShowEvent* event)
{
    if (!updatedOnce)
        ActionListUpdate();
    QMainWindow::showEvent(event);
}

// ---- MainWindowServices ------------------------------------------------------------------------

void TMainForm::SetEditName(const std::string& name)
{
    if (TDlgEditName* editName = EditNameWindow())
        editName->SetEditName(name);
}

void TMainForm::SelZoomClosed()
{
    KV_SOFT_ASSERT(ToolSlot(Tool::SelZoom).Exists());
    actions->At("SelectWave")->setChecked(false);
}

void TMainForm::EditNameClosed()
{
    KV_SOFT_ASSERT(ToolSlot(Tool::EditName).Exists());
    actions->At("EditNameAction")->setChecked(false);
}

void TMainForm::MusicDialogClosed()
{
    KV_SOFT_ASSERT(ToolSlot(Tool::Music).Exists());
    actions->At("MusicDialog")->setChecked(false);
}

void TMainForm::MusTreeClosed()
{
    KV_SOFT_ASSERT(ToolSlot(Tool::MusicParts).Exists());
    actions->At("MusicParts")->setChecked(false);
}

void TMainForm::SetTextInputMode(bool on)
{
    textInput->SetOn(on);
}

void TMainForm::PlaySound(const Sound& sound, bool maximise)
{
    if (soundPlayer)
        soundPlayer(sound, maximise);
}

void TMainForm::SelZoomSelectionChanged(TMDIChildKelvorn* window)
{
    if (auto* selZoom = dynamic_cast<SelZoomFollower*>(ToolSlot(Tool::SelZoom).Existing()))
        selZoom->SelectionChanged(window);
}

void TMainForm::SelZoomZoomChanged(TMDIChildKelvorn* window, int pane)
{
    if (auto* selZoom = dynamic_cast<SelZoomFollower*>(ToolSlot(Tool::SelZoom).Existing()))
        selZoom->ZoomChanged(window, pane);
}

QLabel* TMainForm::GetStatusPanel(int panel)
{
    return panel >= 0 && panel < int(statusPanels.size()) ? statusPanels[size_t(panel)] : nullptr;
}

QRect TMainForm::GetMainFormRect() const
{
    return frameGeometry();
}

QIcon TMainForm::GetImageListIcon(int index) const
{
    return index == 0 ? QIcon(ProgramIcon(32)) : QIcon();
}

QPixmap TMainForm::GetToolBarButtonBitmap(int index) const
{
    return QPixmap();
}

} // namespace kelvorn
