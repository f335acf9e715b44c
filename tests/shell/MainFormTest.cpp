// The main window: its start, the command line, the action update, the keys the router sends to
// the active kind, the menu bar's letters, Ctrl+F4, and the keys beneath a modal dialog.
#include "ShellSupport.h"

#include "sound/SineTable.h"
#include "waveui/ViewWave.h"
#include "window_base/OKDialogs.h"
#include "window_base/ToolWindow.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <cstring>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using MainFormTest = ShellTest;

// ---- Start ---------------------------------------------------------------------------------

TEST_F(MainFormTest, TheApplicationTitleIsKeptApartFromEveryWindowsTitle)
{
    SetApplicationTitle();
    EXPECT_EQ(ApplicationTitle(), "Kelvorn 9.0");
    // A display name of the toolkit's own would end every title the window manager shows.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
}

TEST_F(MainFormTest, StartsWithCaptionSineTableStatusPanelsAndTheNameWindow)
{
    form = std::make_unique<TMainForm>();
    EXPECT_FALSE(form->UpdatedOnce());
    form->show();
    // The first update runs with the window and sees no document.
    EXPECT_TRUE(form->UpdatedOnce());
    EXPECT_EQ(form->LastUpdateKind(), DocumentKind::None);
    EXPECT_EQ(form->ArrangeCount(), 1);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Kelvorn 9.0"));
    EXPECT_TRUE(messages.Shown().empty() && form->PlayRecordAvailable());
    ASSERT_NE(Sinus(), nullptr);
    EXPECT_EQ(Sinus()->Values(), TMainForm::SineTableValues);
    EXPECT_TRUE(form->EditNameWindow()->isVisible() && A("EditNameAction")->isChecked());
    EXPECT_EQ(tempDir.CreateCalls(), 1);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(form->GetStatusPanel(i)->frameShadow(), i == 1 ? QFrame::Raised : QFrame::Sunken);
    EXPECT_TRUE(form->GetStatusPanel(8) == nullptr && form->GetStatusPanel(-1) == nullptr);

    form->SetProjectFile("/songs/live.kvp");
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Kelvorn 9.0 - /songs/live.kvp"));
    // No argument opens nothing and leaves no project.
    form->OpenCommandLine({}, "/home/user");
    EXPECT_TRUE(form->GetProjectFile().empty());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Kelvorn 9.0"));
    // The sine table goes with the main window.
    form.reset();
    EXPECT_EQ(Sinus(), nullptr);
}

// ---- Command line --------------------------------------------------------------------------

// Records what the command line asked to open; a project sets the main window's project file.
// Notes the projects the command line asks for.
class RecordingProjects final : public ProjectOpener
{
public:
    explicit RecordingProjects(TMainForm& main) : main(main) {}
    void OpenProject(const std::string& path) override
    {
        opened = "project " + path;
        main.SetProjectFile(path);
    }

    std::string opened;

private:
    TMainForm& main;
};

TEST_F(MainFormTest, TheCommandLineOpensByTheExtensionOfTheFileNamePart)
{
    // The parameter, and "<kind> <absolute path>" opened or the box "icon|text".
    const char* const rows[][2] = {
        {"song.wav", "wave /home/user/work/song.wav"},
        {"SONG.KVM", "music /home/user/work/SONG.KVM"},
        {"/data/graph.KvF", "factory /data/graph.KvF"},
        {"gig.kvp", "project /home/user/work/gig.kvp"},
        {"./x.wav", "wave /home/user/work/x.wav"},
        {"../up/x.wav", "wave /home/user/up/x.wav"},
        {"/home/me/.cache/a.wav", "wave /home/me/.cache/a.wav"},
        {"~/.cache/a.wav", "wave /home/user/work/~/.cache/a.wav"},
        {"a.b.wav", "stop|Invalid extension \"b.wav\" used."},
        {"notes.txt", "stop|Invalid extension \"txt\" used."},
        {"trail.", "stop|Invalid extension \"\" used."},
        {"noext", "info|Cannot read the file: \"noext\" File has no extension"},
        {"/tmp/dir.d/file", "info|Cannot read the file: \"/tmp/dir.d/file\" File has no extension"},
        {"./", "info|Cannot read the file: \"./\" File has no extension"},
    };
    Start();
    RecordingProjects projects(*form);
    form->SetProjectOpener(&projects);
    // Each kind of document opens through the kind its extension names.
    std::vector<std::pair<const char*, PlainKindUI*>> kinds;
    for (auto [word, kind] : {std::pair{"wave", DocumentKind::Wave},
                              {"music", DocumentKind::Music},
                              {"factory", DocumentKind::Factory}}) {
        auto owned = std::make_unique<PlainKindUI>(*form, kind);
        kinds.emplace_back(word, owned.get());
        form->Kinds().Register(std::move(owned));
    }
    const auto whatOpened = [&] {
        std::string text = projects.opened;
        for (auto& [word, kind] : kinds)
            if (!kind->opened.empty())
                text += std::string(word) + " " + kind->opened.back();
        return text;
    };
    for (const auto& [parameter, opened] : rows) {
        SCOPED_TRACE(parameter);
        const std::string expected = opened;
        const bool refused = expected.find('|') != std::string::npos;
        projects.opened.clear();
        for (auto& entry : kinds)
            entry.second->opened.clear();
        messages.Clear();
        form->SetProjectFile("/before/old.kvp");
        if (refused)
            messages.Expect();
        form->OpenCommandLine({parameter, "/ignored/second.wav"}, "/home/user/work");
        EXPECT_EQ(whatOpened(), refused ? "" : expected);
        EXPECT_EQ(form->GetProjectFile(),
                  expected.rfind("project ", 0) == 0 ? expected.substr(8) : "");
        if (refused) {
            ASSERT_EQ(messages.Shown().size(), 1u);
            const ShownMessage& box = messages.Shown()[0];
            EXPECT_EQ(box.text, expected.substr(expected.find('|') + 1));
            EXPECT_EQ(box.caption, "File Error");
            EXPECT_EQ(box.icon, expected[0] == 's' ? MsgIcon::Stop : MsgIcon::Information);
            EXPECT_EQ(box.buttons, MsgButtons::Ok);
        }
    }
    StartupFile file = ClassifyStartupFile("dir.v2/take.one.WAV", "/x");
    EXPECT_EQ(file.kind, StartupFileKind::InvalidExtension);
    EXPECT_EQ(file.extension, "one.wav");
    EXPECT_EQ(file.path, "/x/dir.v2/take.one.WAV");
    EXPECT_EQ(ClassifyStartupFile("dir.v2/take", "/x").kind, StartupFileKind::NoExtension);
}

// ---- Commands of the main window -----------------------------------------------------------

// ---- The action update ---------------------------------------------------------------------

// A situation, in words ("wave C,N" opens a wave of C channels and N values, "cursor", "part B-E",
// "file", "modified", "clip", "draw", "factory", "undo", "project"), and the states the update
// must give: "+A" enabled, "-A" disabled, "*A" checked, "~A" not, "!A" hidden, "^A" shown; "[M]"
// / "]M[" a menu shown / hidden, "{T}" / "}T{" a toolbar shown / hidden.
TEST_F(MainFormTest, TheUpdateSetsEveryStateOfTheTable)
{
    // What every wave window shows, whatever its document.
    const std::string wave =
        " [MenuEdit] [MenuView] [MenuMake] [MenuEffects] [MenuWindow] [MenuFactory] ]MenuMusic["
        " {ToolBarWave1} {ToolBarWave3} }ToolBarMusic1{ }ToolBarFact1{ ^ViewWave ^ViewVold ^ZoomIn"
        " !MusicDialog +DuplicateWave ^DuplicateWave !DuplicateMuz !DuplicateFact +ProjectOpen"
        " +ProjectNew +WindowCascade +WindowTileVertical +HelpAbout -ProjectClose -ProjectSave"
        " -ProjectExport -FileStop ";
    const std::pair<const char*, std::string> rows[] = {
        {"",
         "[MenuFile] [MenuProject] [MenuHelp] ]MenuEdit[ ]MenuView[ ]MenuMake[ ]MenuEffects["
         " ]MenuMusic[ ]MenuFactory[ ]MenuWindow[ {ToolBarBasic} }ToolBarWave1{ }ToolBarMusic1{"
         " }ToolBarFact1{ -FileProperties -FileSave -FileSaveAs -FileRevert -FilePlay -FileRecord"
         " -DuplicateWave !DuplicateWave !DuplicateMuz -EditDelete -EditTrim -EditClearClipboard"
         " -EditPaste -ViewWave -MergeH -SplitV -SplitH -Volume -SntRunCrWnd -Undo -DeleteUndo"
         " +FilePause +FileNewWave +FileOpenWave +FileNewMuz +FileOpenFactory +FileExit"
         " +RandomizeAction +keyH +keyAltD *EditNameAction -MusicGenerate -SntValidate"},
        {"wave 1,0", wave +
                         "+FileProperties -FileSave -FileSaveAs -FilePlay -FilePlayMax +FileRecord"
                         " -EditDelete -EditCut -EditCopy -EditTrim -EditPaste -EditSwap *ViewWave"
                         " ~ViewVold -MergeH -SplitV -SplitH -Undo ~SelectWave"},
        {"wave 1,100 cursor", wave + "+FileSave +FileSaveAs -FileRevert +FilePlay +FilePlayMax"
                                     " -FileRecord +EditDelete +EditCut +EditCopy +EditExtract"
                                     " -EditTrim -EditPaste -EditMix -SplitV -MergeH +SplitH"},
        {"wave 1,100 part 0-50", wave + "+EditTrim -SplitH"},
        {"wave 1,100 part 10-99", wave + "+EditTrim -SplitH"},
        {"wave 2,100", wave + "+SplitV +FilePlay"},
        {"wave 1,0 clip", wave + "+EditPaste +EditMix -EditSwap +EditClearClipboard"},
        {"wave 1,100 clip", wave + "+EditPaste +EditSwap"},
        {"wave 1,0 clip draw", wave + "-FileProperties +FileSaveAs -EditCut -EditPaste -EditMix"
                                      " +EditClearClipboard -ViewVold *DrawWaveLin ~DrawWave3G"},
        {"wave 1,100 file modified", wave + "+FileSave +FileRevert"},
        {"wave 1,100 file", wave + "-FileSave -FileRevert +FileSaveAs"},
        {"factory wave 1,10", wave + "+MergeH +MergeV +SntRunAtWnd"},
        {"wave 1,10 undo project", "+Undo +DeleteUndo +ProjectClose +ProjectSave +ProjectExport"},
        {"wave 1,0 draw undo", "-Undo -DeleteUndo"}};
    Start();
    for (const auto& [situation, expected] : rows) {
        SCOPED_TRACE(situation);
        std::istringstream words(situation);
        for (std::string word; words >> word;) {
            TUnitWave* unit = form->Documents().GetActiveUnitWave();
            if (word == "wave") {
                int channels = 0, values = 0;
                char comma;
                words >> channels >> comma >> values;
                OpenWave("Wave", int16_t(channels), values,
                         std::string(situation).find("file") != std::string::npos ? "/w/a.wav"
                                                                                  : "");
            } else if (word == "cursor") {
                unit->SetCursor(40);
            } else if (word == "part") {
                int begin = 0, end = 0;
                char dash;
                words >> begin >> dash >> end;
                unit->SetPart(begin, end);
            } else if (word == "modified") {
                unit->SetModified();
            } else if (word == "clip") {
                form->Documents().SetClipBoardSound(Values(Steps(10)));
            } else if (word == "draw") {
                unit->StartUserDrawing(TUnitWave::DrawLinear);
            } else if (word == "factory") {
                OpenFactory("Factory 1", 1);
            } else if (word == "undo") {
                form->Documents().MakeUndo(*unit);
            } else if (word == "project") {
                form->SetProjectFile("/p/x.kvp");
            }
        }
        form->ActionListUpdate();
        std::istringstream states(expected);
        for (std::string word; states >> word;) {
            const char sign = word[0];
            const bool brackets = std::strchr("[]{}", sign) != nullptr;
            const std::string name = word.substr(1, word.size() - (brackets ? 2 : 1));
            bool state = false;
            if (sign == '[' || sign == ']')
                state = form->Menu(name.c_str())->menuAction()->isVisible();
            else if (sign == '{' || sign == '}')
                state = !form->ToolBar(name)->isHidden();
            else if (std::strchr("+-", sign))
                state = A(name.c_str())->isEnabled();
            else
                state = std::strchr("*~", sign) ? A(name.c_str())->isChecked()
                                                : A(name.c_str())->isVisible();
            EXPECT_EQ(state, std::strchr("+*^[{", sign) != nullptr) << word;
        }
        form->Documents().DeleteClipBoardSound();
        for (QMdiSubWindow* window : form->Frame()->subWindowList())
            delete window;
        Flush();
        form->SetProjectFile("");
    }
}

// New and Open of a kind nobody registered could only do nothing: they stay disabled, keys
// included, until the kind registers, and go with it.
TEST_F(MainFormTest, NewAndOpenOfAKindWaitForItsRegistration)
{
    struct Row
    {
        const char* action;
        const char* key;
        DocumentKind kind;
    };
    const Row rows[] = {{"FileNewWave", "Ctrl+N", DocumentKind::Wave},
                        {"FileOpenWave", "Ctrl+O", DocumentKind::Wave},
                        {"FileNewMuz", "Ctrl+Shift+N", DocumentKind::Music},
                        {"FileOpenMuz", "Ctrl+Shift+O", DocumentKind::Music},
                        {"FileNewFactory", "Ctrl+Shift+F", DocumentKind::Factory},
                        {"FileOpenFactory", "Ctrl+F", DocumentKind::Factory}};
    TMainForm& main = Start();
    std::vector<std::string> ran;
    for (const Row& row : rows)
        main.SetCommand(row.action, [&ran, &row] { ran.push_back(row.action); });
    ASSERT_TRUE(Focus(&main));
    main.SetTextInputMode(false);
    auto check = [&](std::set<DocumentKind> registered) {
        main.ActionListUpdate();
        for (const Row& row : rows) {
            SCOPED_TRACE(row.action);
            const bool on = registered.count(row.kind) > 0;
            EXPECT_EQ(A(row.action)->isEnabled(), on);
            ran.clear();
            QTest::keySequence(&main, QKeySequence(QString::fromLatin1(row.key)));
            QCoreApplication::processEvents();
            EXPECT_EQ(ran, on ? std::vector<std::string>{row.action} : std::vector<std::string>{});
        }
    };
    main.Kinds().Unregister(DocumentKind::Music);
    main.Kinds().Unregister(DocumentKind::Factory);
    check({DocumentKind::Wave});
    main.Kinds().Register(std::make_unique<RuleKind<TMusicActionRule>>(main, DocumentKind::Music));
    check({DocumentKind::Wave, DocumentKind::Music});
    main.Kinds().Unregister(DocumentKind::Wave);
    main.Kinds().Register(
        std::make_unique<RuleKind<TFactoryActionRule>>(main, DocumentKind::Factory));
    check({DocumentKind::Music, DocumentKind::Factory});
}

// ---- The catalogue and its keys ------------------------------------------------------------

// Each row: the kind active ("none", "wave", "drawing", "music", "factory"), the key, and the
// one of its two actions that runs ("-" for none), as the user presses it.
TEST_F(MainFormTest, TheRouterRunsTheActionOfTheActiveKind)
{
    const char* const rows[][3] = {{"none", "V", "-"},
                                   {"wave", "V", "Volume"},
                                   {"factory", "V", "SntValidate"},
                                   {"music", "V", "-"},
                                   {"wave", "F", "SntRunAtWnd"},
                                   {"music", "F", "MusicKeyF"},
                                   {"factory", "F", "-"},
                                   {"wave", "H", "MoveH"},
                                   {"drawing", "H", "-"},
                                   {"music", "H", "keyH"},
                                   {"none", "H", "-"},
                                   {"wave", "Alt+D", "keyAltD"},
                                   {"music", "Alt+D", "keyAltD"},
                                   {"factory", "Alt+D", "SntModeDrag"},
                                   {"music", "Alt+M", "MusicGenerate"},
                                   {"factory", "Alt+M", "SntRunCrWnd"},
                                   {"wave", "Alt+M", "SntRunCrWnd"},
                                   {"none", "Alt+M", "-"}};
    TMainForm& main = Start();
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row[0]) + " " + row[1]);
        const std::string kind = row[0];
        if (kind == "wave" || kind == "drawing") {
            OpenFactory("Factory 1", 0);
            OpenWave("Wave 1", 1, 100);
            if (kind == "drawing")
                UnitWaveOf(OpenWave("Wave 2"))->StartUserDrawing(TUnitWave::DrawLinear);
        } else if (kind == "music") {
            OpenMusic("Music 1")->enabled = {"MusicKeyF", "MusicGenerate"};
        } else if (kind == "factory") {
            OpenFactory("Factory 1", 2);
        }
        main.ActionListUpdate();
        ASSERT_TRUE(Focus(&main));
        main.SetTextInputMode(false);
        const QKeySequence key(QString::fromLatin1(row[1]));
        std::vector<std::pair<QAction*, std::unique_ptr<QSignalSpy>>> contenders;
        for (QAction* action : main.Actions().All())
            if (action->shortcut() == key)
                contenders.emplace_back(action,
                                        std::make_unique<QSignalSpy>(action, &QAction::triggered));
        ASSERT_EQ(contenders.size(), 2u);
        QAction* target = main.Router().Target(key);
        EXPECT_EQ(target ? target->objectName().toStdString() : "-", row[2]);
        QTest::keySequence(&main, key);
        QCoreApplication::processEvents();
        for (const auto& [action, spy] : contenders)
            EXPECT_EQ(spy->count(), action->objectName() == row[2] ? 1 : 0);
        for (QMdiSubWindow* window : main.Frame()->subWindowList())
            delete window;
        Flush();
    }
}

// The letters of the menu bar, each pressed as the user does with a situation of its row active:
// the command that takes it ("F=MakeMFreq"), its menu opening ("F=menu") or nothing ("E=-", the
// menus of that letter are hidden). A command takes a letter only while it is enabled and of the
// active kind; an enabled state left over from another kind's window leaves the letter to its
// menu. A menu opened is left with two Escapes; then, as after a command or nothing, the next key
// is the shortcuts' again.
TEST_F(MainFormTest, AMenuLetterRunsTheActiveKindsEnabledCommandElseOpensItsMenu)
{
    const char* const rows[][2] = {
        {"none", "F=menu P=keyAltP E=- V=- M=- U=keyAltU A=- W=- H=menu"},
        {"wave",
         "F=MakeMFreq P=keyAltP E=RndEcho V=ViewVold M=menu U=keyAltU A=menu W=ViewWave H=menu"},
        {"drawing", "F=menu P=keyAltP E=menu V=menu M=menu U=keyAltU A=menu W=ViewWave H=menu"},
        {"wave music", "F=menu P=keyAltP E=- V=menu M=MusicGenerate U=keyAltU A=- W=menu H=menu"},
        {"factory2", "F=menu P=keyAltP E=- V=menu M=SntRunCrWnd U=keyAltU A=menu W=menu"
                     " H=SntShowHints"},
        {"factory1 wave",
         "F=MakeMFreq P=keyAltP E=RndEcho V=ViewVold M=menu U=keyAltU A=menu W=ViewWave H=menu"},
        {"factory0 wave", "F=MakeMFreq P=keyAltP E=RndEcho V=ViewVold M=SntRunCrWnd U=keyAltU"
                          " A=menu W=ViewWave H=menu"}};
    TMainForm& main = Start();
    TriggeredActions triggered(main);
    // Every row names each letter of the menu bar once.
    std::set<std::string> barLetters;
    for (QMenu* menu : main.Menus())
        barLetters.insert(QKeySequence::mnemonic(menu->title()).toString().right(1).toStdString());
    ASSERT_EQ(barLetters.size(), 9u);
    for (const auto& [situation, expected] : rows) {
        SCOPED_TRACE(situation);
        std::istringstream words(situation);
        for (std::string word; words >> word;) {
            if (word == "wave") {
                OpenWave("Wave 1", 1, 100);
            } else if (word == "drawing") {
                UnitWaveOf(OpenWave("Wave 2"))->StartUserDrawing(TUnitWave::DrawLinear);
            } else if (word == "music") {
                OpenMusic("Music 1");
            } else if (word.rfind("factory", 0) == 0) {
                OpenFactory("Factory 1", uint8_t(word.back() - '0'));
            }
        }
        std::istringstream wanted(expected);
        std::set<std::string> rowLetters;
        for (std::string outcome; wanted >> outcome;) {
            const std::string letter = outcome.substr(0, 1);
            SCOPED_TRACE(outcome);
            rowLetters.insert(letter);
            main.ActionListUpdate();
            ASSERT_TRUE(Focus(&main));
            main.SetTextInputMode(false);
            triggered.ran.clear();
            const QKeySequence key(QString::fromStdString("Alt+" + letter));
            QTest::keySequence(&main, key);
            QCoreApplication::processEvents();
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            std::string seen = letter + "=";
            if (menu && QKeySequence::mnemonic(menu->title()) == key)
                seen += "menu";
            else if (menu)
                seen += "menu " + menu->title().toStdString();
            else
                seen += triggered.ran.empty() ? "-" : triggered.ran.front();
            EXPECT_EQ(seen, outcome);
            EXPECT_LE(triggered.ran.size(), 1u);
            if (menu) {
                EXPECT_EQ(triggered.ran, std::vector<std::string>{});
                for (int escape = 0; escape < 2; ++escape) {
                    QWidget* target = QApplication::activePopupWidget();
                    QTest::keyClick(target ? target : QApplication::focusWidget(), Qt::Key_Escape);
                    QCoreApplication::processEvents();
                }
            }
            EXPECT_FALSE(MenuOpen());
            triggered.ran.clear();
            QTest::keyClick(&main, Qt::Key_N);
            QCoreApplication::processEvents();
            EXPECT_EQ(triggered.ran, std::vector<std::string>{"EditNameAction"});
        }
        EXPECT_EQ(rowLetters, barLetters);
        for (QMdiSubWindow* window : main.Frame()->subWindowList())
            delete window;
        Flush();
    }
    // No command keeps a letter of the menu bar as a shortcut of its own, which would leave the
    // key ambiguous with the menu bar's.
    for (QMenu* menu : main.Menus())
        for (QAction* action : main.Actions().All()) {
            if (action->shortcut() == QKeySequence::mnemonic(menu->title())) {
                EXPECT_NE(action->shortcutContext(), Qt::ApplicationShortcut)
                    << action->objectName().toStdString();
            }
        }
}

// Ctrl+F4 closes the active document window as its close box does, asking first for a changed
// document, wherever the keyboard is in the main window: in the document window, in one of its
// panes, or with the main window itself. The document window's own window menu knows the key too.
using CloseKeyTest = CommandsTest;

TEST_F(CloseKeyTest, CtrlF4ClosesTheActiveDocumentWindowAfterItsCloseQuestion)
{
    struct Row
    {
        const char* keyboard; // "window", "pane" or "main"
        bool changed;
        MsgAnswer answer; // to the close question, when it is asked
        bool closes;
    };
    const Row rows[] = {
        {"window", true, MsgAnswer::Cancel, false}, {"window", true, MsgAnswer::No, true},
        {"pane", true, MsgAnswer::Cancel, false},   {"pane", true, MsgAnswer::No, true},
        {"main", true, MsgAnswer::No, true},        {"window", false, MsgAnswer::Cancel, true},
        {"pane", false, MsgAnswer::Cancel, true},   {"main", false, MsgAnswer::Cancel, true}};
    TMainForm& main = *form;
    EXPECT_EQ(A("FileClose")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F4));
    ASSERT_TRUE(Focus(&main));
    // Without a document the key closes nothing and asks nothing.
    QTest::keyClick(&main, Qt::Key_F4, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_TRUE(main.isVisible());
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.keyboard) + (row.changed ? " changed" : " unchanged"));
        TMDIChildWave* other = NewWave("Wave 0", Values({}));
        // A wave with values and no file counts as changed.
        QPointer<TMDIChildWave> window =
            NewWave("Wave 1", row.changed ? Pattern(100, 3) : Values({}));
        ASSERT_TRUE(Focus(&main));
        main.SetTextInputMode(false);
        QWidget* keyboard = &main;
        if (std::string(row.keyboard) == "window")
            keyboard = window;
        else if (std::string(row.keyboard) == "pane")
            keyboard = window->findChild<TViewWave*>();
        ASSERT_NE(keyboard, nullptr);
        keyboard->setFocus();
        QWidget* focus = QApplication::focusWidget();
        // The document window hands the focus on to its own widget.
        ASSERT_TRUE(focus == keyboard || keyboard->isAncestorOf(focus))
            << (focus ? focus->metaObject()->className() : "none");
        if (row.changed)
            messages.Expect(row.answer);
        QTest::keyClick(focus, Qt::Key_F4, Qt::ControlModifier);
        QCoreApplication::processEvents();
        Flush();
        if (row.changed) {
            ASSERT_EQ(messages.Shown().size(), 1u);
            EXPECT_EQ(messages.Shown()[0].caption, "You have unsaved changes");
            EXPECT_EQ(messages.Shown()[0].text,
                      "Do you want to save the Wave with name \"Wave 1\" to a new file?");
            EXPECT_EQ(messages.Shown()[0].buttons, MsgButtons::YesNoCancel);
        } else {
            EXPECT_TRUE(messages.Shown().empty());
        }
        EXPECT_EQ(window.isNull(), row.closes);
        // Only the active window goes.
        EXPECT_EQ(main.Frame()->subWindowList().count(other), 1);
        EXPECT_EQ(main.Documents().DocumentWindowCount(), row.closes ? 1 : 2);
        messages.Clear();
        for (QMdiSubWindow* left : main.Frame()->subWindowList())
            delete left;
        Flush();
    }
}

// ---- Modal dialogs -------------------------------------------------------------------------

struct ModalCase
{
    const char* name;
    const char* kind; // the document active beneath the dialog
    bool textInput;   // the mode as the dialog opens (a box of a tool window)
};

class ModalDialogKeysTest : public ShellTest, public ::testing::WithParamInterface<ModalCase>
{
};

// The keys go to the focused widget of a dialog in its own modal loop, as the user types them.
TEST_P(ModalDialogKeysTest, TheMainWindowsKeysRunNothingBeneathItAndTheDialogKeepsItsOwn)
{
    TMainForm& main = Start();
    if (std::string(GetParam().kind) == "wave")
        OpenWave("Wave 1", 1, 100);
    else
        OpenFactory("Factory 1", 2);
    // The actions run no command here: only whether they are triggered counts.
    TriggeredActions triggered(main);
    std::vector<std::string>& ran = triggered.ran;
    // Every key the main window answers: the shortcuts and the menu bar's mnemonics; and the
    // action each runs without a dialog (the router's choice for a routed key).
    std::vector<QKeySequence> keys;
    auto add = [&keys](const QKeySequence& key) {
        if (!key.isEmpty() && std::find(keys.begin(), keys.end(), key) == keys.end())
            keys.push_back(key);
    };
    for (QAction* action : main.Actions().All())
        add(action->shortcut());
    for (QMenu* menu : main.Menus())
        add(QKeySequence::mnemonic(menu->title()));
    const std::vector<QKeySequence> routed = main.Router().Keys();
    std::vector<std::pair<QKeySequence, QAction*>> owned;
    for (const QKeySequence& key : keys) {
        QAction* owner = nullptr;
        if (std::find(routed.begin(), routed.end(), key) != routed.end())
            owner = main.Router().Target(key);
        else
            for (QAction* action : main.Actions().All())
                if (!owner && action->shortcut() == key && action->isEnabled())
                    owner = action;
        if (owner)
            owned.emplace_back(key, owner);
    }
    ASSERT_GT(keys.size(), 100u);
    ASSERT_GT(owned.size(), 10u);
    if (GetParam().textInput) {
        ASSERT_TRUE(Focus(main.EditNameWindow()));
        ASSERT_TRUE(main.TextInputMode());
    } else {
        ASSERT_TRUE(Focus(&main));
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
            QCoreApplication::processEvents(); // a trigger the key may have queued
            if (!dialog.isVisible()) {
                stoppedAt = key.toString().toStdString() + " closed the dialog";
                return;
            }
        }
        // A mnemonic clicks its button after a short press: Alt+H is Help.
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
    ASSERT_TRUE(Focus(&main));
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
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
