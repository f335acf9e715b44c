#pragma once
// A main window with the test doubles of every platform service, and documents to open in it:
// wave documents in plain document windows (no panes), and music and factory windows that
// answer what the action update asks of them.

#include "support/PlainDocument.h"
#include "platform/test/FakeClock.h"
#include "platform/test/FakeScreen.h"
#include "platform/test/FakeTempDir.h"
#include "platform/test/RecordingHelp.h"
#include "platform/test/ScriptedDialogs.h"
#include "platform/test/ScriptedMessages.h"
#include "shell/base/ChildKelvorn.h"
#include "shell/MainForm.h"
#include "shell/KindRules.h"
#include "shell/WaveKind.h"
#include "shell/MainFormKinds.h"
#include "sound/Sound.h"
#include "sound/Wave.h"
#include "document/wave/UnitWave.h"

#include <QAction>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMenu>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace kelvorn::test {

/// A sound of channels whose value i is i % 1000.
inline SoundPtr MainFormRamp(int16_t channels, int32_t values)
{
    auto make = [values] {
        WavePtr wave = CreateWave(nullptr, values);
        for (int32_t i = 0; i < values; ++i)
            (*wave)[i] = static_cast<int16_t>(i % 1000);
        return wave;
    };
    if (channels == 1)
        return std::make_shared<MonoSound>(make(), 44100, int16_t{2});
    return std::make_shared<StereoSound>(make(), make(), 44100, int16_t{2});
}

/// A music window that answers every music query from two sets of action names.
class MainFormMusicWindow final : public TMDIChildKelvorn, public MusicWindowState
{
public:
    std::set<std::string, std::less<>> enabled;
    std::set<std::string, std::less<>> checked;
    int statusUpdates = 0;

    bool CanExecute(std::string_view action) const override { return enabled.count(action) > 0; }
    bool IsChecked(std::string_view action) const override { return checked.count(action) > 0; }
    void UpdateStatusPanels() override { ++statusUpdates; }
};

/// A factory window of a factory kind, in an editing mode.
class MainFormFactoryWindow final : public TMDIChildKelvorn,
                                    public SountoryListing,
                                    public SountoryWindowState
{
public:
    uint8_t sountoryKind = 0;
    uint8_t mode = ModeDrag;
    bool hints = false;

    uint8_t GetSountoryKind() const override { return sountoryKind; }
    void ListNodes(uint8_t, std::vector<std::pair<std::string, const void*>>&) const override {}
    uint8_t GetEditMode() const override { return mode; }
    bool GetShowHints() const override { return hints; }
};

/// A kind whose rule of the action update is the music or factory rule, with no files: the
/// shell's tests register it as those kinds will register themselves.
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
    void UpdateStatusPanels(TMDIChildKelvorn& window) override
    {
        if (auto* state = dynamic_cast<MusicWindowState*>(&window))
            state->UpdateStatusPanels();
    }

private:
    Rule rule;
    DocumentKind kind;
};

class MainFormTest : public ::testing::Test
{
protected:
    MainFormTest() = default;

    ~MainFormTest() override
    {
        form.reset();
        Flush();
    }

    /// Builds and shows the main window (after the test has arranged its services).
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

    /// A wave of channels × values in a new plain document window, made active.
    TMDIChildKelvorn* OpenWave(const std::string& name, int16_t channels = 1, int32_t values = 0,
                               const std::string& file = {})
    {
        auto* window = new TMDIChildKelvorn;
        window->SetUnit(std::make_unique<TUnitWave>(name, file, MainFormRamp(channels, values)));
        return Add(window);
    }
    MainFormMusicWindow* OpenMusic(const std::string& name)
    {
        auto* window = new MainFormMusicWindow;
        auto unit = std::make_unique<PlainDocument>(DocumentKind::Music);
        unit->SetName(name);
        window->SetUnit(std::move(unit));
        return Add(window);
    }
    MainFormFactoryWindow* OpenFactory(const std::string& name, uint8_t kind)
    {
        auto* window = new MainFormFactoryWindow;
        window->sountoryKind = kind;
        auto unit = std::make_unique<PlainDocument>(DocumentKind::Factory);
        unit->SetName(name);
        window->SetUnit(std::move(unit));
        return Add(window);
    }
    template <class W> W* Add(W* window)
    {
        form->Documents().AddDocumentWindow(window);
        form->Frame()->setActiveSubWindow(window);
        form->ActionListUpdate();
        return window;
    }

    QAction* A(const char* name) const { return form->Action(name); }
    bool MenuShown(const char* name) const { return form->Menu(name)->menuAction()->isVisible(); }

    static void Flush()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    ScriptedMessages messages;
    ScriptedDialogs dialogs;
    FakeTempDir tempDir;
    FakeClock clock;
    FakeScreen screen;
    RecordingHelp help;
    std::unique_ptr<TMainForm> form;
};

} // namespace kelvorn::test
