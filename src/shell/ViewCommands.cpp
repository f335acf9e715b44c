#include "shell/ViewCommands.h"

#include "document/wave/UnitWave.h"
#include "shell/MainForm.h"
#include "shell/MainFormKinds.h"
#include "waveui/SelectZoom.h"
#include "waveui/ViewWaveGroup.h"
#include "waveui/WaveWindow.h"
#include "waveui/dialogs/ViewDialogs.h"
#include "window_base/QtModalDialog.h"
#include "window_base/ToolWindow.h"

#include <QAction>

namespace kelvorn {

/// The main window as the Select and Zoom window sees it.
class TSelZoomHost final : public SelZoomHost
{
public:
    explicit TSelZoomHost(TMainForm& form) : form(form) {}

    QRect GetMainFormRect() const override { return form.GetMainFormRect(); }
    TMDIChildWave* GetActiveChildWave() override
    {
        return dynamic_cast<TMDIChildWave*>(form.Documents().GetActiveChildWave());
    }
    void SetTextInputMode(bool on) override { form.SetTextInputMode(on); }

private:
    TMainForm& form;
};

namespace {

// The window the main window makes: it follows the wave windows the main window names, and
// only the active one, since every document's selection change is announced.
class TSelZoomWindow final : public TDlgSelZoom, public SelZoomFollower
{
public:
    TSelZoomWindow(QWidget* owner, TSelZoomHost& host) : TDlgSelZoom(owner, host), host(host) {}

    void SetChildWave(TMDIChildKelvorn* child) override
    {
        UpdateAll(dynamic_cast<TMDIChildWave*>(child));
    }
    void SelectionChanged(TMDIChildKelvorn* child) override
    {
        auto* wave = dynamic_cast<TMDIChildWave*>(child);
        if (!wave || wave != host.GetActiveChildWave())
            return;
        if (wave == ShownWindow())
            UpdateSelection(wave);
        else
            UpdateAll(wave);
    }
    void ZoomChanged(TMDIChildKelvorn* child, int pane) override
    {
        auto* wave = dynamic_cast<TMDIChildWave*>(child);
        if (wave && wave == host.GetActiveChildWave())
            UpdateZoom(wave, pane);
    }

private:
    TSelZoomHost& host;
};

} // namespace

TViewCommands::TViewCommands(TMainForm& form)
    : form(form), selZoomHost(std::make_unique<TSelZoomHost>(form)),
      recalculate([](TMDIChildWave& window) { window.GetViewWaveGroup().StartVolumeWriter(); })
{
    form.SetCommand("ViewWave", [this] { ViewWaveExecute(); });
    form.SetCommand("ViewVold", [this] { ViewVoldExecute(); });
    form.SetToolWindowMaker(TMainForm::Tool::SelZoom, [this](QWidget* owner) -> QWidget* {
        return new TSelZoomWindow(owner, *selZoomHost);
    });
}

TViewCommands::~TViewCommands()
{
    form.SetCommand("ViewWave", {});
    form.SetCommand("ViewVold", {});
    form.SetToolWindowMaker(TMainForm::Tool::SelZoom, {});
    delete form.ToolSlot(TMainForm::Tool::SelZoom).Existing();
}

void TViewCommands::SetRecalculation(std::function<void(TMDIChildWave&)> recalculation)
{
    recalculate = std::move(recalculation);
}

TMDIChildWave* TViewCommands::ActiveWave() const
{
    return dynamic_cast<TMDIChildWave*>(form.Documents().GetActiveChildWave());
}

void TViewCommands::ShowChecks(bool wave)
{
    // The toolkit flips a checkable action before its command runs: the marks are set, not
    // toggled.
    form.Action("ViewWave")->setChecked(wave);
    form.Action("ViewVold")->setChecked(!wave);
}

void TViewCommands::ViewWaveExecute()
{
    TMDIChildWave* window = ActiveWave();
    if (!window)
        return;
    TDlgWaveViewProps dialog(&form, &form.DefaultWaveViewProps(), window->GetWaveViewProps());
    if (RunDialog(dialog) != DialogResult::Accepted)
        return;
    window->SetWaveViewProps(dialog.GetProps());
    ShowChecks(true);
    window->GetUnitWave().SetViewModified();
    // Windows that draw this wave as their envelope draw it with this record too.
    window->RepaintViewsAndEnvelopes();
}

void TViewCommands::ViewVoldExecute()
{
    TMDIChildWave* window = ActiveWave();
    if (!window)
        return;
    TUnitWave& unit = window->GetUnitWave();
    TViewWaveGroup& group = window->GetViewWaveGroup();
    const TVoldViewProps old = group.GetVoldViewProps();
    const bool showedCurve = group.GetWaveWindKind() == TViewWaveGroup::waveWindWave;
    TDlgVoldViewProps dialog(&form, unit.GetMonoStereo(), group.GetHeight(), group.GetWidth(),
                             unit.GetSampleFreq(), &form.DefaultVoldViewProps(), old);
    if (RunDialog(dialog) != DialogResult::Accepted)
        return;
    const TVoldViewProps props = dialog.GetProps();
    window->SetVoldViewProps(props);
    ShowChecks(false);
    unit.SetViewModified();
    if (showedCurve || props.NeedsRecalculation(old)) {
        if (recalculate)
            recalculate(*window);
    } else {
        window->RepaintViewsAndEnvelopes();
    }
}

} // namespace kelvorn
