#pragma once
// The display commands of wave windows: "View Wave" and "View Volume" edit the window's wave
// curve and volume diagram records in their dialogs, and the "Select and Zoom" tool window is
// made here for the main window, which keeps it and lets it follow the active wave window.
//
// After the volume dialog the diagram is computed again only when the window showed its curve
// before or when the new record changes the grid (TVoldViewProps::NeedsRecalculation);
// otherwise the grid it has is only drawn again with the new colours.

#include <functional>
#include <memory>

namespace kelvorn {

class TMainForm;
class TMDIChildWave;
class TSelZoomHost;

class TViewCommands
{
public:
    /// form: not owned, must outlive the commands. Installs ViewWave and ViewVold and the
    /// maker of the Select and Zoom window.
    explicit TViewCommands(TMainForm& form);
    /// Takes the maker back and deletes the Select and Zoom window it made, which refers to
    /// this object.
    ~TViewCommands();
    TViewCommands(const TViewCommands&) = delete;
    TViewCommands& operator=(const TViewCommands&) = delete;

    /// "Wave View" on the active wave window's curve record; on OK the window shows the curve
    /// with the new record and its view counts as modified.
    void ViewWaveExecute();
    /// "Volume Diagram" on the active wave window's volume record; on OK the window shows the
    /// diagram with the new record, computed again when needed, and its view counts as
    /// modified.
    void ViewVoldExecute();

    /// What computing the diagram again means (the pane group's volume writer unless replaced).
    void SetRecalculation(std::function<void(TMDIChildWave&)> recalculate);

private:
    TMDIChildWave* ActiveWave() const;
    void ShowChecks(bool wave);

    TMainForm& form;
    std::unique_ptr<TSelZoomHost> selZoomHost;
    std::function<void(TMDIChildWave&)> recalculate;
};

} // namespace kelvorn
