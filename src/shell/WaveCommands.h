#pragma once
// The main window's wave commands: the Make, Effects and Filter menus and the wave window's
// zoom and drawing switches. Every command with parameters runs along one road: the active
// wave document's own record is copied into a new modal dialog; OK takes the undo snapshot
// (by the command's undo rule), shows the hour-glass, keeps the edited record as the main
// window's last used one, runs the document operation with it, and marks the document
// modified; Cancel changes nothing. One table lists every command with its dialog and undo
// rule, so that the install, the tests and the edit commands built on the road agree.
//
// The operation dialogs find the open waves through the WaveListSource this class installs on
// top of the document services.

#include "document/wave/UnitWave.h"
#include "document/wave/UnitWaveRecords.h"
#include "document/wave/WaveDocumentOps.h"
#include "shell/DocumentServices.h"
#include "shell/MainForm.h"
#include "waveui/dialogs/OperationDialog.h"
#include "window_base/QtModalDialog.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace kelvorn {

class TMDIChildWave;

/// When a command replaces the undo record by a snapshot of its document.
enum class WaveUndoRule : uint8_t {
    Always,          ///< before every run
    NotWhileDrawing, ///< only while the document is not drawn by hand
    Never,           ///< never (and the document is not marked modified either)
};

class TWaveCommands;

/// One wave command as the road runs it.
struct WaveCommandInfo
{
    std::string_view action;
    /// The class name of its dialog as the dialog runner reports it; empty for none.
    std::string_view dialogClass;
    WaveUndoRule undo = WaveUndoRule::Always;
    std::function<void(TWaveCommands&)> execute;
};

class TWaveCommands final
{
public:
    static constexpr const char* InputErrorCaption = "Input Error";
    static constexpr const char* ErrorCaption = "Error";

    /// form: not owned, must outlive the commands.
    explicit TWaveCommands(TMainForm& form);
    /// Takes the wave list source away again.
    ~TWaveCommands();
    TWaveCommands(const TWaveCommands&) = delete;
    TWaveCommands& operator=(const TWaveCommands&) = delete;

    /// Installs every command of Table() and the zoom and drawing switches on their actions,
    /// and the dialogs' wave list source.
    void Install();

    /// Every wave command with its dialog and undo rule, in menu order.
    static const std::vector<WaveCommandInfo>& Table();
    /// The row of action, or null.
    static const WaveCommandInfo* Find(std::string_view action);

    // ---- The road ------------------------------------------------------------------------

    /// A command with a dialog on the active wave document: the document's own record (the
    /// member record of its records) is copied and handed to make(owner, copy, unit), which
    /// may adjust the copy and answers the dialog, or null for "nothing to do". After OK the
    /// edited record becomes the main window's last used one and operation runs with it.
    template <class Dialog, class Props, class Make, class Operation>
    void RunDialogCommand(Props TUnitWaveRecords::*record, WaveUndoRule undo, Make make,
                          Operation operation);

    /// What follows the dialog: the snapshot by undo, the hour-glass, operation, the modified
    /// mark (for a result that changed or may have changed the sound) and the box of a
    /// refusal ("Input Error") or of a stop that carries a message. Answers the result.
    WaveOpResult RunOperation(TUnitWave& unit, WaveUndoRule undo,
                              const std::function<WaveOpResult(TUnitWave&)>& operation);

    /// A command without a dialog on the active wave document.
    void RunPlainCommand(WaveUndoRule undo, WaveOpResult (*operation)(TUnitWave&));

    // ---- Wave window switches -------------------------------------------------------------

    /// Zoom in becomes no zoom; any other mode becomes zoom in.
    void ZoomInExecute();
    /// Zoom out becomes no zoom; any other mode becomes zoom out.
    void NoZoomExecute();
    /// Starts, stops or switches the user drawing (kind 0 linear, 1 smooth).
    void DrawWaveLinExecute() { DrawingSwitch(TUnitWave::DrawLinear); }
    void DrawWave3GExecute() { DrawingSwitch(TUnitWave::DrawParabola); }

private:
    class WaveList;

    TMDIChildWave* ActiveWaveWindow() const;
    void DrawingSwitch(uint8_t kind);
    void ShowResult(const WaveOpResult& result);

    TMainForm& form;
    std::unique_ptr<WaveListSource> waveList;
    WaveListSource* previousWaveList = nullptr;
};

template <class Dialog, class Props, class Make, class Operation>
void TWaveCommands::RunDialogCommand(Props TUnitWaveRecords::*record, WaveUndoRule undo, Make make,
                                     Operation operation)
{
    TDocumentServices& documents = form.Documents();
    TUnitWave* unit = documents.GetActiveUnitWave();
    if (!unit)
        return;
    Props copy = unit->Records().*record;
    std::unique_ptr<Dialog> dialog = make(static_cast<QWidget*>(&form), copy, *unit);
    if (!dialog || RunDialog(*dialog) != DialogResult::Accepted)
        return;
    const Props edited = dialog->GetProps();
    dialog.reset();
    RunOperation(*unit, undo, [&](TUnitWave& target) {
        Props& lastUsed = documents.LastUsedProps().*record;
        lastUsed = edited;
        return operation(target, lastUsed);
    });
}

} // namespace kelvorn
