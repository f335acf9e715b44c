#include "shell/MusicToolCommands.h"

#include "document/records/WaveReference.h"
#include "music/ui/MusicDialog.h"
#include "music/ui/MusicPartsDialog.h"
#include "music/ui/MusicWindow.h"
#include "shell/DocumentServices.h"
#include "shell/MainForm.h"
#include "shell/MainFormKinds.h"
#include "window_base/ToolWindow.h"

#include <QAction>

namespace kelvorn {

/// The main window as the music tool windows see it.
class TMusicToolHostOfForm final : public MusicToolHost
{
public:
    explicit TMusicToolHostOfForm(TMainForm& form) : form(form) {}

    QRect GetMainFormRect() const override { return form.GetMainFormRect(); }
    TMDIChildMuz* GetActiveChildMuz() override
    {
        return dynamic_cast<TMDIChildMuz*>(form.Documents().GetActiveChildMuz());
    }
    void SetTextInputMode(bool on) override { form.SetTextInputMode(on); }
    std::vector<std::string> WaveNames() override
    {
        std::vector<WaveChoice> choices;
        form.Documents().FillWaveList(choices, TDocumentServices::AllWaves);
        std::vector<std::string> names;
        for (const WaveChoice& choice : choices)
            names.push_back(choice.caption);
        return names;
    }

private:
    TMainForm& form;
};

namespace {

// The windows the main window makes: each follows the music windows it is told of.
class TMusicWindowOfForm final : public TDlgMusic, public MusicToolFollower
{
public:
    TMusicWindowOfForm(QWidget* owner, MusicToolHost& host) : TDlgMusic(owner, host) {}
    void SetChildMuz(TMDIChildKelvorn* window) override
    {
        SetUnitMuz(dynamic_cast<TMDIChildMuz*>(window));
    }
    void StaveChanged(const TNoteStave& stave) override { RefreshStave(stave); }
};

class TMusicPartsWindowOfForm final : public TDlgMusTree, public MusicToolFollower
{
public:
    TMusicPartsWindowOfForm(QWidget* owner, MusicToolHost& host) : TDlgMusTree(owner, host) {}
    void SetChildMuz(TMDIChildKelvorn* window) override
    {
        SetUnitMuz(dynamic_cast<TMDIChildMuz*>(window));
    }
    void StaveChanged(const TNoteStave&) override {}
};

constexpr TMainForm::Tool musicTools[] = {TMainForm::Tool::Music, TMainForm::Tool::MusicParts};
constexpr const char* dialogKeys[] = {"keyCtrlD", "keyShiftCtrlD"};

} // namespace

TMusicToolCommands::TMusicToolCommands(TMainForm& form)
    : form(form), host(std::make_unique<TMusicToolHostOfForm>(form))
{
    form.SetToolWindowMaker(TMainForm::Tool::Music, [this](QWidget* owner) -> QWidget* {
        return new TMusicWindowOfForm(owner, *host);
    });
    form.SetToolWindowMaker(TMainForm::Tool::MusicParts, [this](QWidget* owner) -> QWidget* {
        return new TMusicPartsWindowOfForm(owner, *host);
    });
    // The "Music" window's keys mean nothing for the other kinds of window.
    for (const char* key : dialogKeys)
        form.SetCommand(key, [&form] {
            QAction* toggle = form.Action("MusicDialog");
            if (form.Documents().GetActiveChildMuz() && toggle->isEnabled())
                toggle->trigger();
        });
    // Any music window that closes, not only the last window: the tool windows never keep a
    // piece that goes. The active window is no longer the closing one.
    closing = QObject::connect(&form.Documents(), &TDocumentServices::DocumentWindowClosing,
                               [this] { Retarget(this->form.Documents().GetActiveChildMuz()); });
}

TMusicToolCommands::~TMusicToolCommands()
{
    QObject::disconnect(closing);
    for (const char* key : dialogKeys)
        form.SetCommand(key, {});
    for (TMainForm::Tool tool : musicTools) {
        form.SetToolWindowMaker(tool, {});
        delete form.ToolSlot(tool).Existing();
    }
}

void TMusicToolCommands::Retarget(TMDIChildKelvorn* window)
{
    for (TMainForm::Tool tool : musicTools)
        if (auto* follower = dynamic_cast<MusicToolFollower*>(form.ToolSlot(tool).Existing()))
            follower->SetChildMuz(window);
}

} // namespace kelvorn
