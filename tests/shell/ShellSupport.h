#pragma once
// The main window with the doubles of every platform service, sounds of known values, stand-ins
// for music and factory windows, and every command installed on real wave windows.

#include "document/wave/UnitWave.h"
#include "platform/test/FakeClock.h"
#include "platform/test/FakeScreen.h"
#include "platform/test/FakeTempDir.h"
#include "platform/test/RecordingHelp.h"
#include "platform/test/ScriptedDialogs.h"
#include "platform/test/ScriptedFileDialogs.h"
#include "platform/test/ScriptedMessages.h"
#include "shell/EditCommands.h"
#include "shell/FileCommands.h"
#include "shell/KindRules.h"
#include "shell/MainForm.h"
#include "shell/MainFormKinds.h"
#include "shell/MusicCommands.h"
#include "shell/SplitMergeCommands.h"
#include "shell/WaveCommands.h"
#include "shell/WaveKind.h"
#include "sound/WavFile.h"
#include "support/Keyboard.h"
#include "support/MusicKit.h"
#include "support/PlainDocument.h"
#include "waveui/WaveWindow.h"
#include "window_base/ChildKelvorn.h"
#include "window_base/QtModalDialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

/// A rectangle as x, y width x height in test messages.
inline void PrintTo(const QRect& rect, std::ostream* out)
{
    *out << rect.x() << ", " << rect.y() << " " << rect.width() << "x" << rect.height();
}

namespace kelvorn::test {

using V = std::vector<int16_t>;

/// (i × step) % modulo for i below count.
inline V Steps(int32_t count, int32_t step = 1, int32_t modulo = 2000)
{
    V values;
    for (int32_t i = 0; i < count; ++i)
        values.push_back(static_cast<int16_t>((i * step) % modulo));
    return values;
}

/// A sound of left; a stereo one's right channel is rightSign × left.
inline SoundPtr Values(const V& left, int16_t channels = 1, int32_t freq = 44100, int16_t bytes = 2,
                       int rightSign = -1)
{
    auto make = [&](int sign) {
        WavePtr wave = CreateWave(nullptr, static_cast<int32_t>(left.size()));
        for (size_t i = 0; i < left.size(); ++i)
            (*wave)[static_cast<int32_t>(i)] = static_cast<int16_t>(sign * left[i]);
        return wave;
    };
    if (channels == 1)
        return std::make_shared<MonoSound>(make(1), freq, bytes);
    return std::make_shared<StereoSound>(make(1), make(rightSign), freq, bytes);
}

inline SoundPtr Pattern(int32_t count, int32_t step, int32_t freq = 44100)
{
    return Values(Steps(count, step), 2, freq);
}

inline V LeftOf(const Sound& sound, bool right = false)
{
    V values;
    for (int32_t i = 0; i < sound.GetValues(); ++i)
        values.push_back((right ? *sound.GetRightWave() : *sound.GetLeftWave())[i]);
    return values;
}

inline V RightOf(const Sound& sound)
{
    return LeftOf(sound, true);
}

inline bool SameSound(const Sound& a, const Sound& b)
{
    return a.GetMonoStereo() == b.GetMonoStereo() && a.GetSampleFreq() == b.GetSampleFreq() &&
           LeftOf(a) == LeftOf(b) && RightOf(a) == RightOf(b);
}

/// The sound of a WAV file; fails the test when it cannot be read.
inline SoundPtr ReadBack(const std::string& path)
{
    SoundUPtr sound;
    std::string message;
    EXPECT_TRUE(ReadWaveFile(path, sound, message)) << message;
    return SoundPtr(std::move(sound));
}

inline std::string ReadText(const std::filesystem::path& path)
{
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

/// Stand-ins for a music window (its actions from two sets of names) and a factory window.
class MusicWindow final : public TMDIChildKelvorn, public MusicWindowState
{
public:
    std::set<std::string, std::less<>> enabled, checked;

    bool CanExecute(std::string_view action) const override { return enabled.count(action) > 0; }
    bool IsChecked(std::string_view action) const override { return checked.count(action) > 0; }
    void UpdateStatusPanels() override {}
};

class FactoryWindow final : public TMDIChildKelvorn,
                            public SountoryListing,
                            public SountoryWindowState
{
public:
    uint8_t sountoryKind = 0;
    std::vector<std::pair<std::string, uint8_t>> nodes;

    uint8_t GetSountoryKind() const override { return sountoryKind; }
    void ListNodes(uint8_t nodeKind,
                   std::vector<std::pair<std::string, const void*>>& out) const override
    {
        for (const auto& node : nodes)
            if (node.second == nodeKind)
                out.emplace_back(node.first, &node);
    }
    uint8_t GetEditMode() const override { return ModeDrag; }
    bool GetShowHints() const override { return false; }
};

/// A kind whose action update is the music or factory rule, as those kinds register it.
template <class Rule> class RuleKind final : public TDocumentKindUI
{
public:
    RuleKind(TMainForm& form, DocumentKind kind) : rule(form), kind(kind) {}
    DocumentKind GetKind() const override { return kind; }
    void InstallCommands() override {}
    TFileUnit* OpenFile(const std::string&, const std::string&, bool, std::string&) override
    {
        return nullptr;
    }
    bool Save(TMDIChildKelvorn&) override { return false; }
    bool SaveAs(TMDIChildKelvorn&) override { return false; }
    void Revert(TMDIChildKelvorn&) override {}
    void EditProperties(TMDIChildKelvorn&) override {}
    void ArrangeActions() override { rule.Arrange(); }
    void UpdateActions(TMDIChildKelvorn& window) override { rule.Update(window); }
    void UpdateStatusPanels(TMDIChildKelvorn&) override {}

private:
    Rule rule;
    DocumentKind kind;
};

/// A kind unknown to every shell file, or one standing in for a built-in kind: it opens a plain
/// document in a plain window and counts what the generic commands ask of it.
class PlainKindUI final : public TDocumentKindUI
{
public:
    PlainKindUI(TMainForm& form, DocumentKind kind) : form(form), kind(kind) {}
    DocumentKind GetKind() const override { return kind; }
    void InstallCommands() override {}
    TFileUnit* OpenFile(const std::string& path, const std::string&, bool, std::string&) override
    {
        opened.push_back(path);
        auto* window = new TMDIChildKelvorn;
        auto unit = std::make_unique<PlainDocument>(kind);
        unit->SetFileName(path);
        window->SetUnit(std::move(unit));
        form.Documents().AddDocumentWindow(window);
        return window->GetUnit();
    }
    bool Save(TMDIChildKelvorn& window) override { return window.GetUnit()->Save(); }
    bool SaveAs(TMDIChildKelvorn&) override { return false; }
    void Revert(TMDIChildKelvorn&) override {}
    void EditProperties(TMDIChildKelvorn&) override {}
    void ArrangeActions() override { ++arranged; }
    void UpdateActions(TMDIChildKelvorn&) override
    {
        ++updated;
        form.Action("FileSave")->setEnabled(true);
    }
    void UpdateStatusPanels(TMDIChildKelvorn&) override {}

    TMainForm& form;
    DocumentKind kind;
    std::vector<std::string> opened;
    int arranged = 0;
    int updated = 0;
};

class ShellTest : public ::testing::Test
{
protected:
    ~ShellTest() override
    {
        form.reset();
        Flush();
    }

    TMainForm& Start()
    {
        form = std::make_unique<TMainForm>();
        form->Kinds().Register(std::make_unique<TWaveKind>(*form, nullptr));
        form->Kinds().Register(
            std::make_unique<RuleKind<TMusicActionRule>>(*form, DocumentKind::Music));
        form->Kinds().Register(
            std::make_unique<RuleKind<TFactoryActionRule>>(*form, DocumentKind::Factory));
        form->show();
        return *form;
    }

    /// A wave of Steps(values) in a plain document window (no panes), made active. A wave with
    /// values counts as changed while it has no file.
    TMDIChildKelvorn* OpenWave(const std::string& name, int16_t channels = 1, int32_t values = 0,
                               const std::string& file = {})
    {
        return Add(
            new TMDIChildKelvorn,
            std::make_unique<TUnitWave>(name, file, Values(Steps(values), channels, 44100, 2, 1)));
    }
    MusicWindow* OpenMusic(const std::string& name)
    {
        return Add(new MusicWindow, Plain(DocumentKind::Music, name));
    }
    FactoryWindow* OpenFactory(const std::string& name, uint8_t kind,
                               std::vector<std::pair<std::string, uint8_t>> nodes = {})
    {
        auto* window = new FactoryWindow;
        window->sountoryKind = kind;
        window->nodes = std::move(nodes);
        return Add(window, Plain(DocumentKind::Factory, name));
    }
    static std::unique_ptr<PlainDocument> Plain(DocumentKind kind, const std::string& name)
    {
        auto unit = std::make_unique<PlainDocument>(kind);
        unit->SetName(name);
        return unit;
    }
    template <class W> W* Add(W* window, std::unique_ptr<TFileUnit> unit = nullptr)
    {
        if (unit)
            window->SetUnit(std::move(unit));
        form->Documents().AddDocumentWindow(window);
        form->Frame()->setActiveSubWindow(window);
        form->ActionListUpdate();
        return window;
    }

    QAction* A(const char* name) const { return form->Action(name); }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (TMDIChildKelvorn* window : form->Documents().DocumentWindows())
            names.push_back(window->GetUnit()->GetName());
        return names;
    }
    std::string LastBox() const
    {
        return messages.Shown().empty()
                   ? "<none>"
                   : messages.Shown().back().caption + ": " + messages.Shown().back().text;
    }
    static void Flush()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    ScriptedMessages messages;
    ScriptedDialogs dialogs;
    ScriptedFileDialogs fileDialogs;
    FakeTempDir tempDir;
    FakeClock clock;
    FakeScreen screen;
    RecordingHelp help;
    std::unique_ptr<TMainForm> form;
};

/// Empties the command of every action of main and notes, in order, the actions triggered: for
/// tests where only whether a key or menu triggers an action counts.
class TriggeredActions
{
public:
    explicit TriggeredActions(TMainForm& main)
    {
        for (QAction* action : main.Actions().All()) {
            const std::string name = action->objectName().toStdString();
            main.SetCommand(name, {});
            QObject::connect(action, &QAction::triggered, &listener,
                             [this, name] { ran.push_back(name); });
        }
        main.ActionListUpdate();
    }

    std::vector<std::string> ran;

private:
    QObject listener;
};

using Edits = std::vector<std::pair<std::string, std::string>>;

/// Sets the control called name as a user would: a line edit takes the text, a button "on" or
/// "off", a list the item of that text.
inline void SetControl(QWidget& dialog, const std::string& name, const std::string& value)
{
    QWidget* control = dialog.findChild<QWidget*>(QString::fromStdString(name));
    ASSERT_NE(control, nullptr) << name;
    const QString text = QString::fromLatin1(value.c_str());
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setChecked(value == "on");
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        combo->setCurrentIndex(value.empty() ? -1 : combo->findText(text));
        ASSERT_EQ(combo->currentText(), text) << name;
    } else {
        // A radio group: the item of that text.
        for (QAbstractButton* item : control->findChildren<QAbstractButton*>())
            item->setChecked(item->text() == text);
    }
}

/// The main window with the file, wave, edit, split, merge and music commands on real windows,
/// WAV files in a private directory, and every script checked used up at the end.
class CommandsTest : public ShellTest
{
protected:
    CommandsTest()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kv-shell-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            dir = pattern;
        Start();
        commands = std::make_unique<TFileCommands>(*form);
        commands->Install();
        waves = std::make_unique<TWaveCommands>(*form);
        waves->Install();
        edit = std::make_unique<TEditCommands>(*form, *waves);
        edit->Install();
        splitMerge = std::make_unique<TSplitMergeCommands>(*form, *commands);
        splitMerge->Install();
        music = std::make_unique<TMusicCommands>(*form, *commands);
        music->Install();
    }
    ~CommandsTest() override
    {
        // The windows go before the commands, which go before the scripts they call.
        for (QMdiSubWindow* window : form->Frame()->subWindowList())
            delete window;
        Flush();
        music.reset();
        splitMerge.reset();
        edit.reset();
        waves.reset();
        commands.reset();
        std::filesystem::remove_all(dir);
    }
    void TearDown() override
    {
        EXPECT_EQ(fileDialogs.Unexpected(), std::vector<std::string>{});
        EXPECT_EQ(fileDialogs.Pending() + dialogs.Pending() + messages.Pending(), 0u);
        EXPECT_EQ(dialogs.Unexpected(), std::vector<std::string>{});
        EXPECT_TRUE(messages.Unexpected().empty()) << messages.Unexpected().front().text;
        EXPECT_FALSE(form->Documents().IsWaiting());
    }

    std::string Path(const std::string& name) const { return (dir / name).string(); }
    std::string WriteWav(const std::string& name, const SoundPtr& sound)
    {
        std::string message;
        EXPECT_TRUE(WriteWaveFile(nullptr, Path(name), sound.get(), 0, -1, message)) << message;
        return Path(name);
    }
    /// A music file: a new piece whose stave has roomUp pixels above its middle line.
    std::string WriteMuz(const std::string& name, int roomUp = 80)
    {
        TUnitMuz piece("piece", "");
        piece.NewMusic();
        piece.GetFirstStave()->RoomUp.SetValue(roomUp);
        EXPECT_TRUE(piece.SaveAs(Path(name)));
        return Path(name);
    }
    static void WriteText(const std::string& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }

    /// Runs the action's command as the menu would, between the updates around it.
    void Trigger(const char* action)
    {
        form->ActionListUpdate();
        ASSERT_TRUE(A(action)->isEnabled()) << action;
        A(action)->trigger();
        form->ActionListUpdate();
    }
    TMDIChildWave* ActiveWave() const
    {
        return dynamic_cast<TMDIChildWave*>(form->Documents().GetActiveChildWave());
    }
    /// A wave window around sound, starting from the last-used records as new windows do,
    /// made active.
    TMDIChildWave* NewWave(const std::string& name, SoundPtr sound)
    {
        auto unit = std::make_unique<TUnitWave>(name, std::string(), std::move(sound));
        form->Documents().SetLastUsedProps(*unit);
        TMDIChildWave* window = commands->NewChildWave(
            std::move(unit), form->DefaultWaveViewProps(), form->DefaultVoldViewProps());
        form->Frame()->setActiveSubWindow(window);
        form->ActionListUpdate();
        return window;
    }

    /// The next dialog of dialogClass gets edits and is confirmed.
    void OkWith(const std::string& dialogClass, Edits edits = {})
    {
        dialogs.When(
            dialogClass,
            [edits](ModalDialog& modal) {
                for (const auto& [name, value] : edits)
                    SetControl(*DialogAs<QDialog>(modal), name, value);
            },
            DialogResult::Accepted);
    }

    std::filesystem::path dir;
    std::unique_ptr<TFileCommands> commands;
    std::unique_ptr<TWaveCommands> waves;
    std::unique_ptr<TEditCommands> edit;
    std::unique_ptr<TSplitMergeCommands> splitMerge;
    std::unique_ptr<TMusicCommands> music;
};

} // namespace kelvorn::test
