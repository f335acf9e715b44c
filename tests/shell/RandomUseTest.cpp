// The main window used at random, as a user who tries everything would: seeded runs of enabled
// commands, window switches and closes, keys, clicks and drags into document and tool windows,
// every question answered at random. After each step what must always hold is checked: no
// assertion box, no modified document gone without a Yes or No to its close question, tool
// windows that show an open document or none, and status panels that follow the active window.
#include "ShellSupport.h"

#include "factory/ui/FactoryWindow.h"
#include "music/ui/MusicToolWindow.h"
#include "music/ui/MusicWindow.h"
#include "platform/ColorDialog.h"
#include "platform/test/SimulatedAudio.h"
#include "shell/FactoryCommands.h"
#include "shell/FactoryHostImpl.h"
#include "shell/PlayRecord.h"
#include "shell/ProjectCommands.h"
#include "shell/ViewCommands.h"
#include "support/FactoryGraphs.h"
#include "waveui/SelectZoom.h"
#include "window_base/ToolWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <random>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using Tool = TMainForm::Tool;

/// Field values a user might type: boundaries, nonsense, characters the files cannot hold. No
/// large counts: a filter run a billion times, or thousands of echoes over a wave they keep
/// lengthening, are what the user asked for, not a fault, and would only stall the run.
const char* const FieldValues[] = {
    "",    "0",   "1",     "-1",          "2",      "0.5",  "-0.5",   "440",
    "100", "abc", "1e308", "-2147483648", "12",     "nan",  "<name>", "\xe4\xf6",
    "1,5", " 7 ", "0x10",  "-0",          "-99999", "1e-9", "10%",    "a\"b",
};

/// Whether a click on button pops up a menu: the toolkit runs that loop itself and only a real
/// click outside ends it.
bool OpensMenu(const QAbstractButton& button)
{
    const auto* tool = qobject_cast<const QToolButton*>(&button);
    return tool && (tool->menu() || tool->popupMode() == QToolButton::InstantPopup);
}

/// Every question of the program answered by chance: message boxes with one of their buttons,
/// operation dialogs with random fields and OK or Cancel, file dialogs with a file of the run's
/// directory, a new name there, a path that cannot be written, or Cancel, colours picked or not.
/// Nothing blocks and nothing is announced in advance.
class RandomAnswers final : public MessageSink,
                            public DialogRunner,
                            public FileDialogs,
                            public ColorDialog
{
public:
    RandomAnswers(std::mt19937& random, std::filesystem::path dir)
        : random(random), dir(std::move(dir)), messages(this), dialogs(this), files(this),
          colors(this)
    {
    }

    MsgAnswer Show(const std::string& text, const std::string& caption, MsgIcon,
                   MsgButtons buttons) override
    {
        Note("box " + caption + ": " + text);
        if (caption == "Assertion failed")
            assertions.push_back(text);
        std::vector<MsgAnswer> allowed;
        switch (buttons) {
        case MsgButtons::Ok:
            allowed = {MsgAnswer::Ok};
            break;
        case MsgButtons::OkCancel:
            allowed = {MsgAnswer::Ok, MsgAnswer::Cancel};
            break;
        case MsgButtons::YesNo:
            allowed = {MsgAnswer::Yes, MsgAnswer::No};
            break;
        case MsgButtons::YesNoCancel:
            allowed = {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel};
            break;
        }
        const MsgAnswer answer = allowed[Below(allowed.size())];
        if (caption == TMDIChildKelvorn::SaveQuestionCaption && answer != MsgAnswer::Cancel)
            ++closeAnswers;
        return answer;
    }

    DialogResult Run(ModalDialog& dialog) override
    {
        Note("dialog " + dialog.ClassName());
        ++dialogDepth;
        dialog.Open();
        if (Chance(50))
            if (QDialog* widget = DialogAs<QDialog>(dialog))
                FillAtRandom(*widget);
        if (dialog.IsOpen())
            Chance(60) ? dialog.Accept() : dialog.Reject();
        if (dialog.IsOpen())
            dialog.Reject();
        if (dialog.IsOpen())
            dialog.Finish(DialogResult::Rejected);
        --dialogDepth;
        return dialog.Result();
    }

    std::vector<std::string> OpenFiles(const FileDialogRequest& request, bool multiple) override
    {
        Note("open dialog " + request.title);
        std::vector<std::string> present;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            if (entry.is_regular_file())
                present.push_back(entry.path().string());
        std::sort(present.begin(), present.end());
        if (present.empty() || Chance(25))
            return {};
        std::vector<std::string> chosen{present[Below(present.size())]};
        if (multiple && Chance(25))
            chosen.push_back(present[Below(present.size())]);
        return chosen;
    }

    bool SaveFile(const FileDialogRequest& request, std::string& path) override
    {
        Note("save dialog " + request.title);
        if (Chance(25))
            return false;
        const std::string name = "saved" + std::to_string(Below(6));
        path = Chance(10) ? (dir / "missing" / name).string()
                          : AppendDefaultExtension((dir / name).string(), request.defaultExtension);
        return true;
    }

    bool PickColor(const std::string& title, int32_t& color) override
    {
        Note("colour " + title);
        if (Chance(50))
            return false;
        color = static_cast<int32_t>(random() & 0xFFFFFF);
        return true;
    }

    /// What the last steps showed, newest last.
    std::string Recent() const
    {
        std::string text;
        for (const std::string& line : recent)
            text += "  " + line + "\n";
        return text;
    }
    void Note(const std::string& line)
    {
        recent.push_back(line.substr(0, 200));
        // A run that hangs or crashes leaves no failure to read: the trace shows its last step.
        if (trace)
            std::fprintf(stderr, "%s\n", recent.back().c_str());
        if (recent.size() > 30)
            recent.pop_front();
    }

    bool Chance(unsigned percent) { return random() % 100 < percent; }
    size_t Below(size_t count) { return count ? random() % count : 0; }

    std::vector<std::string> assertions;
    /// Close questions answered Yes or No.
    int closeAnswers = 0;
    int dialogDepth = 0;

private:
    /// Sets some of the dialog's fields as a careless user would.
    void FillAtRandom(QDialog& dialog)
    {
        for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
            if (edit->isEnabled() && Chance(30))
                edit->setText(QString::fromLatin1(FieldValues[Below(std::size(FieldValues))]));
        for (QComboBox* combo : dialog.findChildren<QComboBox*>())
            if (combo->isEnabled() && combo->count() > 0 && Chance(30))
                combo->setCurrentIndex(int(Below(size_t(combo->count()))));
        std::vector<QAbstractButton*> pushable;
        for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
            if (button->isEnabled() && button->isCheckable() && Chance(20))
                button->setChecked(!button->isChecked());
            else if (button->isVisible() && button->isEnabled() && !button->isCheckable() &&
                     !OpensMenu(*button))
                pushable.push_back(button);
        }
        // One of its other buttons: a "< Window", a chooser, a nested dialog; OK and Cancel too.
        if (!pushable.empty() && Chance(25)) {
            QAbstractButton* button = pushable[Below(pushable.size())];
            Note("press " + button->objectName().toStdString() + " \"" +
                 button->text().toStdString() + "\"");
            button->click();
        }
    }

    std::mt19937& random;
    std::filesystem::path dir;
    std::deque<std::string> recent;
    bool trace = std::getenv("KELVORN_RANDOM_TRACE") != nullptr;
    ScopedService<MessageSink> messages;
    ScopedService<DialogRunner> dialogs;
    ScopedService<FileDialogs> files;
    ScopedService<ColorDialog> colors;
};

/// A whole number from the environment, or fallback.
int FromEnvironment(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? std::atoi(text) : fallback;
}

class RandomUseTest : public CommandsTest, public ::testing::WithParamInterface<unsigned>
{
protected:
    RandomUseTest() : random(GetParam()), answers(random, dir)
    {
        factories = std::make_unique<TFactoryCommands>(*form, *commands);
        factories->Install();
        // A run ends before anyone could press Stop: the box would only wait for its timer.
        factories->Host().SetStopBoxDelay(std::chrono::hours(1));
        projects = std::make_unique<TProjectCommands>(*form, *commands);
        projects->Install();
        views = std::make_unique<TViewCommands>(*form);
        player = std::make_unique<TPlayRecord>(*form, audio);
    }
    ~RandomUseTest() override
    {
        for (QMdiSubWindow* window : form->Frame()->subWindowList())
            delete window;
        Flush();
        player.reset();
        views.reset();
        projects.reset();
        factories.reset();
    }
    void TearDown() override {}

    /// Files the open dialogs may choose: each kind's, and some a reader must refuse.
    void WriteFiles()
    {
        WriteWav("tone.wav", Pattern(300, 37));
        WriteMuz("piece.kvm");
        TUnitSountory& gen = *factories->NewFactory(2, nullptr);
        BuildGen(gen);
        EXPECT_TRUE(gen.SaveAs(Path("gen.kvf")));
        form->Documents().GetActiveChild()->Release();
        Flush();
        WriteText(Path("empty.wav"), "");
        WriteText(Path("broken.kvm"), "<?xml version=\"1.0\"?><Music><Stave>");
        WriteText(Path("broken.kvf"), "RIFF\x10\0\0\0WAVE");
        WriteText(Path("broken.kvp"), "<Project><Window Name=\"x\"");
        WriteText(Path("notes.txt"), "nothing to see");
    }

    /// A wave, a piece with a few notes and a factory of nodes open beside each other.
    void OpenDocuments()
    {
        NewWave("Wave 1", Pattern(400, 53));
        NewWave("Wave 2", Values(Steps(250, 7), 1, 22050));
        auto piece = std::make_unique<TUnitMuz>("Piece", "");
        piece->NewMusic();
        AddScale(*piece, 6);
        music->NewChildMuz(std::move(piece));
        BuildHalve(*factories->NewFactory(1, nullptr));
        form->ActionListUpdate();
    }

    std::vector<TMDIChildKelvorn*> Windows() const { return form->Documents().DocumentWindows(); }
    bool IsOpen(const void* window) const
    {
        const auto windows = Windows();
        return window && std::find(windows.begin(), windows.end(), window) != windows.end();
    }
    TMDIChildKelvorn* Active() const { return form->Documents().GetActiveChild(); }

    // ---- What a user does ------------------------------------------------------------------

    void RunAction()
    {
        form->ActionListUpdate();
        std::vector<QAction*> enabled;
        for (QAction* action : form->Actions().All())
            if (action->isEnabled() && action->isVisible() &&
                action->objectName() != QLatin1String("FileExit"))
                enabled.push_back(action);
        QAction* action = enabled[answers.Below(enabled.size())];
        const std::string name = action->objectName().toStdString();
        Step("action " + name);
        replacing = name == "SplitV" || name == "SplitH" || name == "MergeH" || name == "MergeV";
        action->trigger();
    }
    void ActivateAnother()
    {
        const auto windows = form->Frame()->subWindowList();
        if (windows.isEmpty())
            return;
        QMdiSubWindow* window = windows[int(answers.Below(size_t(windows.size())))];
        Step("activate " + window->windowTitle().toStdString());
        form->Frame()->setActiveSubWindow(window);
    }
    void CloseOne()
    {
        const auto windows = form->Frame()->subWindowList();
        if (windows.isEmpty())
            return;
        QMdiSubWindow* window = windows[int(answers.Below(size_t(windows.size())))];
        Step("close " + window->windowTitle().toStdString());
        window->close();
    }
    /// A random widget shown inside top (top itself included).
    QWidget* Inside(QWidget* top)
    {
        std::vector<QWidget*> shown{top};
        for (QWidget* child : top->findChildren<QWidget*>()) {
            const auto* button = qobject_cast<QAbstractButton*>(child);
            if (child->isVisible() && child->width() > 0 && child->height() > 0 &&
                !(button && OpensMenu(*button)))
                shown.push_back(child);
        }
        return shown[answers.Below(shown.size())];
    }
    void PressKeys(QWidget* top)
    {
        static const int keys[] = {
            Qt::Key_Left,   Qt::Key_Right,  Qt::Key_Up,        Qt::Key_Down,    Qt::Key_Home,
            Qt::Key_End,    Qt::Key_Delete, Qt::Key_Insert,    Qt::Key_Space,   Qt::Key_Return,
            Qt::Key_Escape, Qt::Key_Tab,    Qt::Key_A,         Qt::Key_C,       Qt::Key_D,
            Qt::Key_G,      Qt::Key_N,      Qt::Key_Backspace, Qt::Key_Plus,    Qt::Key_Minus,
            Qt::Key_1,      Qt::Key_4,      Qt::Key_PageUp,    Qt::Key_PageDown};
        static const Qt::KeyboardModifiers modifiers[] = {
            Qt::NoModifier,      Qt::NoModifier,  Qt::ShiftModifier,
            Qt::ControlModifier, Qt::AltModifier, Qt::ShiftModifier | Qt::ControlModifier};
        QWidget* target = top->focusWidget() && Chance(50) ? top->focusWidget() : Inside(top);
        const int key = keys[answers.Below(std::size(keys))];
        const Qt::KeyboardModifiers held = modifiers[answers.Below(std::size(modifiers))];
        Step("key " + std::to_string(key) + "+" + std::to_string(int(held)) + " to " +
             target->metaObject()->className());
        QPointer<QWidget> alive(target);
        QKeyEvent press(QEvent::KeyPress, key, held);
        QCoreApplication::sendEvent(target, &press);
        if (!alive)
            return;
        QKeyEvent release(QEvent::KeyRelease, key, held);
        QCoreApplication::sendEvent(target, &release);
    }
    void Mouse(QWidget* top)
    {
        QWidget* target = Inside(top);
        const auto at = [&] {
            return QPointF(double(answers.Below(size_t(target->width()) + 20)) - 10,
                           double(answers.Below(size_t(target->height()) + 20)) - 10);
        };
        const Qt::MouseButton button = Chance(80) ? Qt::LeftButton : Qt::RightButton;
        const Qt::KeyboardModifiers held = Chance(20) ? Qt::ShiftModifier : Qt::NoModifier;
        Step(std::string(Chance(50) ? "click" : "drag") + " in " +
             target->metaObject()->className());
        QPointer<QWidget> alive(target);
        const auto send = [&](QEvent::Type type, QPointF point, Qt::MouseButton changed,
                              Qt::MouseButtons down) {
            if (!alive)
                return;
            QMouseEvent event(type, point, target->mapToGlobal(point), changed, down, held);
            QCoreApplication::sendEvent(target, &event);
        };
        const QPointF start = at();
        send(QEvent::MouseButtonPress, start, button, button);
        for (int moves = int(answers.Below(4)); moves > 0; --moves)
            send(QEvent::MouseMove, at(), Qt::NoButton, button);
        const QPointF end = at();
        send(QEvent::MouseButtonRelease, end, button, Qt::NoButton);
        if (Chance(10))
            send(QEvent::MouseButtonDblClick, end, button, button);
    }
    /// The tool windows that show now.
    std::vector<QWidget*> ShownTools() const
    {
        std::vector<QWidget*> shown;
        for (Tool tool : {Tool::SelZoom, Tool::Music, Tool::MusicParts, Tool::EditName})
            if (form->ToolSlot(tool).IsVisible())
                shown.push_back(form->ToolSlot(tool).Existing());
        return shown;
    }
    void UseTool()
    {
        const std::vector<QWidget*> tools = ShownTools();
        if (tools.empty())
            return;
        QWidget* tool = tools[answers.Below(tools.size())];
        if (Chance(40)) {
            std::vector<QAbstractButton*> buttons;
            for (QAbstractButton* button : tool->findChildren<QAbstractButton*>())
                if (button->isVisible() && button->isEnabled() && !OpensMenu(*button))
                    buttons.push_back(button);
            if (!buttons.empty()) {
                QAbstractButton* button = buttons[answers.Below(buttons.size())];
                Step("tool button " + button->objectName().toStdString() + " \"" +
                     button->text().toStdString() + "\" of " + tool->metaObject()->className());
                button->click();
                return;
            }
        }
        if (Chance(40)) {
            std::vector<QLineEdit*> edits;
            for (QLineEdit* edit : tool->findChildren<QLineEdit*>())
                if (edit->isVisible() && edit->isEnabled())
                    edits.push_back(edit);
            if (!edits.empty()) {
                Step("tool field");
                edits[answers.Below(edits.size())]->setText(
                    QString::fromLatin1(FieldValues[answers.Below(std::size(FieldValues))]));
                return;
            }
        }
        Chance(50) ? PressKeys(tool) : Mouse(tool);
    }
    void Audio()
    {
        Step("audio finishes");
        audio.Advance(int64_t(answers.Below(5000)));
        audio.FinishPlay();
        audio.DeliverCompletions();
    }

    void OneStep()
    {
        // A context menu a click opened takes the next click: one of its commands or none.
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            std::vector<QAction*> items;
            for (QAction* item : menu->actions())
                if (item->isEnabled() && item->isVisible() && !item->isSeparator() && !item->menu())
                    items.push_back(item);
            menu->close();
            if (!items.empty() && Chance(70)) {
                QAction* item = items[answers.Below(items.size())];
                Step("menu item " + item->text().toStdString());
                item->trigger();
            }
            form->ActionListUpdate();
            Flush();
            return;
        }
        const unsigned roll = unsigned(answers.Below(100));
        if (roll < 45)
            RunAction();
        else if (roll < 53)
            ActivateAnother();
        else if (roll < 57)
            CloseOne();
        else if (roll < 87) {
            if (QMdiSubWindow* active = form->Frame()->activeSubWindow())
                Chance(40) ? PressKeys(active) : Mouse(active);
        } else if (roll < 97)
            UseTool();
        else
            Audio();
        form->ActionListUpdate();
        Flush();
    }

    // ---- What must hold ----------------------------------------------------------------------

    struct Open
    {
        const TMDIChildKelvorn* window;
        bool modified;
    };
    std::vector<Open> Snapshot() const
    {
        std::vector<Open> open;
        for (TMDIChildKelvorn* window : Windows())
            open.push_back({window, window->IsDocumentModified()});
        return open;
    }

    /// "" when everything holds, else what does not.
    std::string Broken(const std::vector<Open>& before, int answersBefore)
    {
        std::string broken;
        if (!answers.assertions.empty())
            broken += "assertion: " + answers.assertions.front() + "\n";
        // Split and merge put their sources' sounds into new windows; a project keeps a copy of
        // every modified document it closes.
        int lost = 0;
        for (const Open& open : before)
            if (open.modified && !IsOpen(open.window))
                ++lost;
        const std::vector<TMDIChildKelvorn*> after = Windows();
        const bool replaced =
            replacing && std::any_of(after.begin(), after.end(), [&](auto* window) {
                return std::none_of(before.begin(), before.end(),
                                    [&](const Open& open) { return open.window == window; });
            });
        if (lost > answers.closeAnswers - answersBefore && !replaced && !projectBefore)
            broken += std::to_string(lost) + " modified document(s) gone without an answer\n";
        if (auto* parts = dynamic_cast<TMusicToolWindow*>(form->ToolSlot(Tool::Music).Existing()))
            if (parts->ShownWindow() && !IsOpen(parts->ShownWindow()))
                broken += "the Music window shows a closed piece\n";
        if (auto* parts =
                dynamic_cast<TMusicToolWindow*>(form->ToolSlot(Tool::MusicParts).Existing()))
            if (parts->ShownWindow() && !IsOpen(parts->ShownWindow()))
                broken += "the Music Parts window shows a closed piece\n";
        if (auto* selZoom = dynamic_cast<TDlgSelZoom*>(form->ToolSlot(Tool::SelZoom).Existing())) {
            if (selZoom->ShownWindow() && !IsOpen(selZoom->ShownWindow()))
                broken += "the Select and Zoom window shows a closed wave\n";
            if (selZoom->OKBtn->isEnabled() && !selZoom->optCursor->isChecked() &&
                !selZoom->optPart->isChecked())
                broken += "the Select and Zoom window applies neither a cursor nor a part\n";
        }
        if (TDlgEditName* editName = form->EditNameWindow())
            if (Windows().empty() && editName->editName->isEnabled())
                broken += "the Edit Name window edits the name of no document\n";
        if (!Active())
            for (int panel = 2; panel <= 7; ++panel)
                if (!form->GetStatusPanel(panel)->text().isEmpty())
                    broken += "status panel " + std::to_string(panel) + " without a document: " +
                              form->GetStatusPanel(panel)->text().toStdString() + "\n";
        if (form->Documents().IsWaiting())
            broken += "the main window still waits\n";
        return broken;
    }

    /// The panels of the active window are the ones it writes again after another window was
    /// active in between.
    std::string PanelsFollow()
    {
        const auto windows = form->Frame()->subWindowList();
        QMdiSubWindow* active = form->Frame()->activeSubWindow();
        if (windows.size() < 2 || !active)
            return {};
        // A selected bar or loop mark leaves panels 2 to 4 to the symbol selected before it,
        // texts that a window switch rightly takes away: only the panels after them count.
        const auto panels = [this] {
            const QString first = form->GetStatusPanel(1)->text();
            const bool mark = first == QLatin1String("Bar") || first == QLatin1String("Loop");
            std::string text;
            for (int panel = mark ? 5 : 2; panel <= 7; ++panel)
                text += form->GetStatusPanel(panel)->text().toStdString() + "|";
            return text;
        };
        form->ActionListUpdate();
        const std::string before = panels();
        form->Frame()->setActiveSubWindow(windows[windows.indexOf(active) == 0 ? 1 : 0]);
        form->ActionListUpdate();
        form->Frame()->setActiveSubWindow(active);
        form->ActionListUpdate();
        const std::string after = panels();
        return before == after ? std::string()
                               : "status panels changed from " + before + " to " + after + "\n";
    }

    void Step(const std::string& what)
    {
        answers.Note("step " + std::to_string(step) + ": " + what);
    }
    bool Chance(unsigned percent) { return answers.Chance(percent); }

    /// Runs steps steps; false (after a failure that names the seed and the steps before it)
    /// when something that must hold broke.
    bool Run(int steps)
    {
        for (step = 0; step < steps; ++step) {
            const std::vector<Open> before = Snapshot();
            const int answersBefore = answers.closeAnswers;
            projectBefore = !form->GetProjectFile().empty();
            replacing = false;
            OneStep();
            std::string broken = Broken(before, answersBefore);
            if (broken.empty() && step % 25 == 24)
                broken = PanelsFollow();
            if (!broken.empty()) {
                std::string open;
                for (TMDIChildKelvorn* window : Windows())
                    open += " \"" + window->GetUnit()->GetName() + "\"";
                ADD_FAILURE() << "seed " << GetParam() << ", step " << step << ":\n"
                              << broken << "open:" << open << "\nafter:\n"
                              << answers.Recent();
                return false;
            }
            // A user opens more when the frame runs empty.
            if (Windows().empty() && Chance(30)) {
                Step("open the documents again");
                OpenDocuments();
            }
        }
        return true;
    }

    std::mt19937 random;
    RandomAnswers answers;
    SimulatedAudio audio;
    ScopedService<TBuiltinNodeMaker> builtins{&GetBuiltinNodeMaker()};
    std::unique_ptr<TFactoryCommands> factories;
    std::unique_ptr<TProjectCommands> projects;
    std::unique_ptr<TViewCommands> views;
    std::unique_ptr<TPlayRecord> player;
    int step = 0;
    bool projectBefore = false;
    bool replacing = false;
};

TEST_P(RandomUseTest, EveryCommandInAnyOrderKeepsTheDocumentsAndWindowsWhole)
{
    WriteFiles();
    OpenDocuments();
    const size_t opened = Windows().size();
    ASSERT_EQ(opened, 4u);
    if (!Run(FromEnvironment("KELVORN_RANDOM_STEPS", 400)))
        return;
    // The user leaves: every modified document was either kept or answered.
    const std::vector<Open> before = Snapshot();
    const int answersBefore = answers.closeAnswers;
    projectBefore = !form->GetProjectFile().empty();
    replacing = false;
    Step("exit");
    form->ActionListUpdate();
    A("FileExit")->trigger();
    Flush();
    EXPECT_EQ(Broken(before, answersBefore), "") << answers.Recent();
    if (form->isVisible())
        return;
    // Gone with the main window: without a project every window was asked and closed.
    if (!projectBefore) {
        EXPECT_EQ(Windows().size(), 0u) << answers.Recent();
    }
}

/// The seeds every run tries; KELVORN_RANDOM_SEEDS=N tries 1 to N instead (with
/// KELVORN_RANDOM_STEPS, for a long hunt in a sanitizer build).
std::vector<unsigned> Seeds()
{
    const int count = FromEnvironment("KELVORN_RANDOM_SEEDS", 0);
    if (count <= 0)
        return {1, 2, 3, 5, 8, 13, 21, 34, 55, 89};
    std::vector<unsigned> seeds;
    for (int seed = 1; seed <= count; ++seed)
        seeds.push_back(unsigned(seed));
    return seeds;
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomUseTest, ::testing::ValuesIn(Seeds()));

} // namespace
