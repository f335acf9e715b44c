#include "shell/WaveCommands.h"

#include "document/wave/UndoUnit.h"
#include "general/Messages.h"
#include "general/Services.h"
#include "waveui/WaveWindow.h"
#include "waveui/dialogs/ComplexDialogs.h"
#include "waveui/dialogs/EffectDialogs.h"
#include "waveui/dialogs/FilterDialogs.h"
#include "waveui/dialogs/GeneratorDialogs.h"

#include <QAction>
#include <QString>

namespace kelvorn {

// The operation dialogs' view of the open waves: the document services' list.
class TWaveCommands::WaveList final : public WaveListSource
{
public:
    explicit WaveList(TDocumentServices& documents) : documents(documents) {}
    void FillWaveList(std::vector<WaveChoice>& list, int mode) override
    {
        documents.FillWaveList(list, mode);
    }

private:
    TDocumentServices& documents;
};

namespace {

template <class Dialog, class Props>
using DialogMaker = std::function<std::unique_ptr<Dialog>(QWidget*, Props&, TUnitWave&)>;

template <class Dialog, class Props> DialogMaker<Dialog, Props> Plain()
{
    return [](QWidget* owner, Props& copy, TUnitWave&) {
        return std::make_unique<Dialog>(owner, copy);
    };
}

// The shared forms tell their command by the title alone.
template <class Dialog, class Props> DialogMaker<Dialog, Props> Titled(const char* title)
{
    return [title](QWidget* owner, Props& copy, TUnitWave&) {
        auto dialog = std::make_unique<Dialog>(owner, copy);
        dialog->setWindowTitle(QString::fromLatin1(title));
        return dialog;
    };
}

template <class Dialog, class Props>
WaveCommandInfo DialogRow(std::string_view action, std::string_view dialogClass, WaveUndoRule undo,
                          Props TUnitWaveRecords::*record,
                          WaveOpResult (*operation)(TUnitWave&, const Props&),
                          DialogMaker<Dialog, Props> make = Plain<Dialog, Props>())
{
    return {action, dialogClass, undo, [=](TWaveCommands& commands) {
                commands.RunDialogCommand<Dialog>(record, undo, make, operation);
            }};
}

WaveCommandInfo PlainRow(std::string_view action, WaveUndoRule undo,
                         WaveOpResult (*operation)(TUnitWave&))
{
    return {action, {}, undo, [=](TWaveCommands& commands) {
                commands.RunPlainCommand(undo, operation);
            }};
}

std::vector<WaveCommandInfo> MakeTable()
{
    using R = TUnitWaveRecords;
    constexpr WaveUndoRule always = WaveUndoRule::Always;
    constexpr WaveUndoRule notDrawing = WaveUndoRule::NotWhileDrawing;
    std::vector<WaveCommandInfo> table;

    // Make
    table.push_back(DialogRow<TDlgSilenceProps>("MakeSilence", "TDlgSilenceProps", always,
                                                &R::silenceProps, &waveops::MakeSilence));
    table.push_back(DialogRow<TDlgLineProps>("MakeLine", "TDlgLineProps", always, &R::lineProps,
                                             &waveops::MakeLine));
    table.push_back(DialogRow<TDlgBlockTriangleProps>(
        "MakeBlock", "TDlgBlockTriangleProps", always, &R::blockProps, &waveops::MakeBlock,
        DialogMaker<TDlgBlockTriangleProps, TBlockTriangleProps>(
            [](QWidget* owner, TBlockTriangleProps& copy, TUnitWave&) {
                return std::make_unique<TDlgBlockTriangleProps>(owner, copy, "Make Block");
            })));
    table.push_back(DialogRow<TDlgBlockTriangleProps>(
        "MakeTriangle", "TDlgBlockTriangleProps", always, &R::triangleProps, &waveops::MakeTriangle,
        DialogMaker<TDlgBlockTriangleProps, TBlockTriangleProps>(
            [](QWidget* owner, TBlockTriangleProps& copy, TUnitWave&) {
                return std::make_unique<TDlgBlockTriangleProps>(owner, copy, "Make Triangle");
            })));
    table.push_back(DialogRow<TDlgSinusProps>("MakeSinus", "TDlgSinusProps", always, &R::sinusProps,
                                              &waveops::MakeSinus));
    table.push_back(DialogRow<TDlgNoiseProps>("MakeNoise", "TDlgNoiseProps", always, &R::noiseProps,
                                              &waveops::MakeNoise));

    // Simple wave
    table.push_back(DialogRow<TDlgVolumeProps>(
        "Volume", "TDlgVolumeProps", notDrawing, &R::volumeProps, &waveops::Volume,
        DialogMaker<TDlgVolumeProps, TVolumeProps>(
            [](QWidget* owner, TVolumeProps& copy, TUnitWave& unit) {
                return std::make_unique<TDlgVolumeProps>(owner, unit.IsUserDrawing(), copy);
            })));
    table.push_back(PlainRow("MaxVolume", notDrawing, &waveops::MaxVolume));
    table.push_back(PlainRow("Reverse", always, &waveops::Reverse));
    table.push_back(
        DialogRow<TDlgUpProps>("MoveV", "TDlgUpProps", notDrawing, &R::upProps, &waveops::MoveV));
    table.push_back(DialogRow<TDlgShiftProps>(
        "MoveH", "TDlgShiftProps", always, &R::shiftProps, &waveops::MoveH,
        DialogMaker<TDlgShiftProps, TShiftProps>(
            [](QWidget* owner, TShiftProps& copy, TUnitWave& unit) {
                return std::make_unique<TDlgShiftProps>(owner, copy, unit.GetMonoStereo());
            })));
    table.push_back(PlainRow("NormalizeVertically", notDrawing, &waveops::NormalizeVertically));
    table.push_back(DialogRow<TDlgBlockProps>("Block", "TDlgBlockProps", always, &R::blockOpProps,
                                              &waveops::Block));
    table.push_back(DialogRow<TDlgRollOutProps>(
        "RollOut", "TDlgRollOutProps", always, &R::rollOutProps, &waveops::RollOut,
        DialogMaker<TDlgRollOutProps, TRollOutProps>(
            [](QWidget* owner, TRollOutProps& copy, TUnitWave& unit) {
                copy.currentLength = static_cast<double>(unit.GetRangeTime());
                return std::make_unique<TDlgRollOutProps>(owner, copy);
            })));
    table.push_back(DialogRow<TDlgRotateProps>(
        "Rotate", "TDlgRotateProps", always, &R::rotateProps, &waveops::Rotate,
        DialogMaker<TDlgRotateProps, TRotateProps>(
            [](QWidget* owner, TRotateProps& copy, TUnitWave& unit) {
                return std::make_unique<TDlgRotateProps>(owner, copy,
                                                         static_cast<double>(unit.GetRangeTime()));
            })));
    table.push_back(DialogRow<TDlgRollInProps>("RollIn", "TDlgRollInProps", always, &R::rollInProps,
                                               &waveops::RollIn));
    table.push_back(DialogRow<TDlgLengthProps>(
        "Length", "TDlgLengthProps", notDrawing, &R::lengthProps, &waveops::Length,
        DialogMaker<TDlgLengthProps, TLengthProps>(
            [](QWidget* owner, TLengthProps& copy,
               TUnitWave& unit) -> std::unique_ptr<TDlgLengthProps> {
                // Nothing to stretch: a lone cursor on an empty wave.
                if (!unit.IsUserDrawing() && unit.GetRangeTime() == 0)
                    return nullptr;
                return std::make_unique<TDlgLengthProps>(owner, copy);
            })));
    table.push_back(DialogRow<TDlgDistortProps>("Distort", "TDlgDistortProps", always,
                                                &R::distortProps, &waveops::Distort));

    // Complex wave
    table.push_back(DialogRow<TDlgBalanceProps>("Balance", "TDlgBalanceProps", always,
                                                &R::balanceProps, &waveops::Balance));
    table.push_back(DialogRow<TDlgLeftRightProps>("MixLeftRight", "TDlgLeftRightProps", always,
                                                  &R::leftRightProps, &waveops::MixLeftRight));
    table.push_back(DialogRow<TDlgPerEchoProps>("PerEcho", "TDlgPerEchoProps", always,
                                                &R::perEchoProps, &waveops::PerEcho));
    table.push_back(DialogRow<TDlgRandomEchoProps>("RndEcho", "TDlgRandomEchoProps", always,
                                                   &R::randomEchoProps, &waveops::RndEcho));
    table.push_back(DialogRow<TDlgTempoPitchProps>(
        "TempoPitch", "TDlgTempoPitchProps", always, &R::tempoPitchProps, &waveops::TempoPitch,
        DialogMaker<TDlgTempoPitchProps, TTempoPitchProps>(
            [](QWidget* owner, TTempoPitchProps& copy, TUnitWave& unit) {
                copy.currentLength = static_cast<double>(unit.GetRangeTime());
                return std::make_unique<TDlgTempoPitchProps>(owner, copy);
            })));

    // Filter
    table.push_back(DialogRow<TDlgBlockFilterProps>("FilterBlock", "TDlgBlockFilterProps", always,
                                                    &R::blockFilterProps, &waveops::FilterBlock));
    table.push_back(DialogRow<TDlgHighLowProps>(
        "FilterLow", "TDlgHighLowProps", always, &R::lowProps, &waveops::FilterLow,
        Titled<TDlgHighLowProps, THighLowProps>("Low Filter")));
    table.push_back(DialogRow<TDlgHighLowProps>(
        "FilterHigh", "TDlgHighLowProps", always, &R::highProps, &waveops::FilterHigh,
        Titled<TDlgHighLowProps, THighLowProps>("High Filter")));
    auto resNotch = [](const char* title) {
        return DialogMaker<TDlgResNotchProps, TResNotchProps>(
            [title](QWidget* owner, TResNotchProps& copy, TUnitWave& unit) {
                auto dialog =
                    std::make_unique<TDlgResNotchProps>(owner, copy, unit.GetSampleFreq());
                dialog->setWindowTitle(QString::fromLatin1(title));
                return dialog;
            });
    };
    table.push_back(DialogRow<TDlgResNotchProps>("FilterRes", "TDlgResNotchProps", always,
                                                 &R::resProps, &waveops::FilterRes,
                                                 resNotch("Resonant Filter")));
    table.push_back(DialogRow<TDlgResNotchProps>("FilterNotch", "TDlgResNotchProps", always,
                                                 &R::notchProps, &waveops::FilterNotch,
                                                 resNotch("Notch Filter")));
    return table;
}

} // namespace

TWaveCommands::TWaveCommands(TMainForm& form) : form(form) {}

TWaveCommands::~TWaveCommands()
{
    if (waveList && FindService<WaveListSource>() == waveList.get())
        InstallService<WaveListSource>(previousWaveList);
}

const std::vector<WaveCommandInfo>& TWaveCommands::Table()
{
    static const std::vector<WaveCommandInfo> table = MakeTable();
    return table;
}

const WaveCommandInfo* TWaveCommands::Find(std::string_view action)
{
    for (const WaveCommandInfo& row : Table())
        if (row.action == action)
            return &row;
    return nullptr;
}

void TWaveCommands::Install()
{
    for (const WaveCommandInfo& row : Table())
        form.SetCommand(row.action, [this, &row] { row.execute(*this); });
    form.SetCommand("ZoomIn", [this] { ZoomInExecute(); });
    form.SetCommand("NoZoom", [this] { NoZoomExecute(); });
    form.SetCommand("DrawWaveLin", [this] { DrawWaveLinExecute(); });
    form.SetCommand("DrawWave3G", [this] { DrawWave3GExecute(); });
    if (!waveList) {
        waveList = std::make_unique<WaveList>(form.Documents());
        previousWaveList = InstallService<WaveListSource>(waveList.get());
    }
}

// ---- The road --------------------------------------------------------------------------------

WaveOpResult TWaveCommands::RunOperation(TUnitWave& unit, WaveUndoRule undo,
                                         const std::function<WaveOpResult(TUnitWave&)>& operation)
{
    TDocumentServices& documents = form.Documents();
    documents.BeginWait();
    const bool snapshot = undo == WaveUndoRule::Always ||
                          (undo == WaveUndoRule::NotWhileDrawing && !unit.IsUserDrawing());
    std::unique_ptr<TUndoUnit> previous;
    if (snapshot) {
        previous = documents.ReleaseUndo();
        documents.MakeUndo(unit);
    }
    const WaveOpResult result = operation(unit);
    // Nothing changed: the snapshot would only cost the user the undo of the command before.
    if (snapshot &&
        (result.outcome == WaveOpOutcome::Refused || result.outcome == WaveOpOutcome::Unchanged))
        documents.RestoreUndo(std::move(previous));
    // A stopped engine may have moved the positions, so the document counts as changed.
    const bool changed =
        result.outcome == WaveOpOutcome::Done || result.outcome == WaveOpOutcome::Stopped;
    if (changed && undo != WaveUndoRule::Never)
        unit.SetModified();
    documents.EndWait();
    ShowResult(result);
    return result;
}

void TWaveCommands::RunPlainCommand(WaveUndoRule undo, WaveOpResult (*operation)(TUnitWave&))
{
    TUnitWave* unit = form.Documents().GetActiveUnitWave();
    if (!unit)
        return;
    RunOperation(*unit, undo, operation);
}

void TWaveCommands::ShowResult(const WaveOpResult& result)
{
    if (result.message.empty())
        return;
    // A memory failure has shown its own box already; a stop with a reason shows the reason.
    const char* caption =
        result.outcome == WaveOpOutcome::Refused ? InputErrorCaption : ErrorCaption;
    Messages().Show(result.message, caption, MsgIcon::Information, MsgButtons::Ok);
}

// ---- Wave window switches ------------------------------------------------------------------

TMDIChildWave* TWaveCommands::ActiveWaveWindow() const
{
    return dynamic_cast<TMDIChildWave*>(form.Documents().GetActiveChildWave());
}

void TWaveCommands::ZoomInExecute()
{
    if (TMDIChildWave* window = ActiveWaveWindow())
        window->SetZoomMode(window->GetZoomMode() == 1 ? 0 : 1);
}

void TWaveCommands::NoZoomExecute()
{
    if (TMDIChildWave* window = ActiveWaveWindow())
        window->SetZoomMode(window->GetZoomMode() == 2 ? 0 : 2);
}

void TWaveCommands::DrawingSwitch(uint8_t kind)
{
    TMDIChildWave* window = ActiveWaveWindow();
    if (!window)
        return;
    TUnitWave& unit = window->GetUnitWave();
    if (!unit.CanDrawWaveLin())
        return;
    QAction* linear = form.Action("DrawWaveLin");
    QAction* smooth = form.Action("DrawWave3G");
    auto checkKind = [&](uint8_t checked) {
        linear->setChecked(checked == TUnitWave::DrawLinear);
        smooth->setChecked(checked == TUnitWave::DrawParabola);
    };
    if (!unit.IsUserDrawing()) {
        window->SetDrawCursor();
        unit.StartUserDrawing(kind);
        unit.SetViewModified();
        checkKind(kind);
    } else if (unit.GetDrawKind() == kind) {
        unit.StopUserDrawing();
        unit.SetViewModified();
        (kind == TUnitWave::DrawLinear ? linear : smooth)->setChecked(false);
        window->SetDefaultCursor();
    } else {
        // The nodes stay; only the curve between them is drawn the other way. Kept: the
        // window shows the default cursor afterwards, as switching always has.
        unit.SetDrawKind(kind);
        unit.RenderUserDraw();
        unit.SetModified();
        window->RepaintViews();
        unit.SetViewModified();
        checkKind(kind);
        window->SetDefaultCursor();
    }
    window->RefreshWave();
}

} // namespace kelvorn
