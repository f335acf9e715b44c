#include "shell/SplitMergeCommands.h"

#include "document/records/MergeRecords.h"
#include "document/wave/UnitWave.h"
#include "shell/DocumentServices.h"
#include "shell/FileCommands.h"
#include "shell/MainForm.h"
#include "sound/SoundOps.h"
#include "sound/WavePrimitives.h"
#include "waveui/ViewWave.h"
#include "waveui/ViewWaveGroup.h"
#include "waveui/WaveWindow.h"
#include "waveui/dialogs/SplitMergeDialogs.h"
#include "window_base/QtModalDialog.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace kelvorn {

namespace {

TMDIChildWave* WaveWindowOf(const TUnitWave* unit)
{
    return unit ? dynamic_cast<TMDIChildWave*>(unit->GetChildWave()) : nullptr;
}

/// An empty sound of the given format.
SoundUPtr EmptySound(int16_t channels, int32_t freq, int16_t bytes)
{
    if (channels == 2)
        return std::make_unique<StereoSound>(freq, bytes);
    return std::make_unique<MonoSound>(freq, bytes);
}

/// sound's channels in a sound of the same class with bytes per sample bytes; sound is left
/// empty (nobody else holds it).
SoundUPtr WithBytes(SoundUPtr sound, int16_t bytes)
{
    const int32_t freq = sound->GetSampleFreq();
    if (auto* stereo = dynamic_cast<StereoSound*>(sound.get())) {
        auto [left, right] = stereo->TakeWaves();
        return std::make_unique<StereoSound>(std::move(left), std::move(right), freq, bytes);
    }
    return std::make_unique<MonoSound>(static_cast<MonoSound&>(*sound).TakeWave(), freq, bytes);
}

/// Makes the two channels of a vertical merge equally long by rule; false when memory ran
/// out (the box has been shown).
bool MakeLengthsEqual(WavePtr& left, WavePtr& right, uint8_t rule, AbortFlag* abort)
{
    const int32_t nL = left->Values();
    const int32_t nR = right->Values();
    if (nL == nR)
        return true;
    WavePtr& shorter = nL < nR ? left : right;
    WavePtr& longer = nL < nR ? right : left;
    const int32_t difference = std::abs(nL - nR);
    WavePtr replacement;
    switch (rule) {
    case TMergeVertProps::silenceAtBegin: {
        int32_t begin = 0;
        int32_t end = 0;
        replacement = makeSilence(*shorter, abort, difference, &begin, &end);
        break;
    }
    case TMergeVertProps::silenceAtEnd: {
        int32_t begin = shorter->Values();
        int32_t end = begin;
        replacement = makeSilence(*shorter, abort, difference, &begin, &end);
        break;
    }
    case TMergeVertProps::stretchShortest:
        replacement = resample(*shorter, abort, longer->Values(), false);
        break;
    case TMergeVertProps::stretchLongest:
        replacement = resample(*longer, abort, shorter->Values(), false);
        if (replacement)
            longer = std::move(replacement);
        return longer && !*abort;
    default:
        return true;
    }
    if (!replacement || *abort)
        return false;
    shorter = std::move(replacement);
    return true;
}

} // namespace

void TSplitMergeCommands::Install()
{
    form.SetCommand("SplitH", [this] { SplitHExecute(); });
    form.SetCommand("SplitV", [this] { SplitVExecute(); });
    form.SetCommand("MergeH", [this] { MergeHExecute(); });
    form.SetCommand("MergeV", [this] { MergeVExecute(); });
}

TSplitMergeCommands::Edges TSplitMergeCommands::Bounds(const TMDIChildKelvorn& window)
{
    const QRect rect = window.PlaceToKeep();
    return {rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height()};
}

TMDIChildWave* TSplitMergeCommands::NewWindow(std::unique_ptr<TUnitWave> unit,
                                              const TWaveViewProps& waveProps,
                                              const TVoldViewProps& voldProps, uint8_t kind,
                                              int left, int top, int right, int bottom)
{
    TMDIChildWave* window = files.NewChildWave(std::move(unit), waveProps, voldProps);
    window->SetWaveWindKind(kind);
    // Made while a maximised window is active, the window came up maximised: the place is the
    // one it comes back to. Moved as it is, it would stay maximised over part of the frame.
    const bool maximised = window->isMaximized();
    if (maximised)
        window->showNormal();
    window->setGeometry(left, top, right - left, bottom - top);
    if (maximised)
        window->showMaximized();
    return window;
}

void TSplitMergeCommands::Destroy(TMDIChildKelvorn* window)
{
    // Closed first, so that the frame's lists and the undo record let go of it, then destroyed
    // now rather than when the event loop next runs.
    window->Release();
    delete window;
}

// ---- Split ---------------------------------------------------------------------------------

void TSplitMergeCommands::SplitVExecute()
{
    TDocumentServices& documents = form.Documents();
    auto* source = dynamic_cast<TMDIChildWave*>(documents.GetActiveChildWave());
    if (!source)
        return;
    TUnitWave& unit = source->GetUnitWave();
    if (unit.GetMonoStereo() != 2)
        return;
    WaitScope wait(documents);
    unit.BeginOperation();
    const SoundPtr sound = unit.GetSound();
    AbortFlag* abort = unit.GetAbortFlag();
    WavePtr left = sound->CloneLeftWave(abort, 0);
    WavePtr right = left ? sound->CloneRightWave(abort, 0) : nullptr;
    if (!left || !right || unit.IsAborted())
        return; // the memory box was shown
    const int32_t freq = sound->GetSampleFreq();
    const int16_t bytes = sound->GetBytesPSample();
    const TWaveViewProps waveProps = source->GetWaveViewProps();
    const TVoldViewProps voldProps = source->GetVoldViewProps();
    const uint8_t kind = source->GetWaveWindKind();
    const Edges e = Bounds(*source);
    const int mid = (e.top + e.bottom) / 2;
    TViewWaveGroup& oldGroup = source->GetViewWaveGroup();
    const double split = oldGroup.GetSplitPosition();
    const std::string suffix = "of " + unit.GetName();

    std::vector<TMDIChildWave*> made;
    const std::pair<const char*, WavePtr*> halves[] = {{"Left Part", &left},
                                                       {"Right Part", &right}};
    for (const auto& [base, wave] : halves) {
        auto part =
            std::make_unique<TUnitWave>(documents.MakeUniqueName(base, suffix), std::string(),
                                        std::make_shared<MonoSound>(std::move(*wave), freq, bytes));
        const bool upper = made.empty();
        made.push_back(NewWindow(std::move(part), waveProps, voldProps, kind, e.left,
                                 upper ? e.top : mid, e.right, upper ? mid - 1 : e.bottom));
    }
    for (TMDIChildWave* window : made) {
        TUnitWave& half = window->GetUnitWave();
        if (unit.IsCursor())
            half.ChangeCursor(unit.GetPos1());
        else
            half.ChangePart(unit.GetPartBegin(), unit.GetPartEnd());
        TViewWaveGroup& group = window->GetViewWaveGroup();
        // Kept pending as well, for a window that has no size yet.
        group.SetPendingSplitPosition(split);
        group.ApplyPendingSplitPosition();
        for (int pane = 1; pane <= 2; ++pane) {
            TViewWave* from = oldGroup.GetView(pane);
            TViewWave* to = group.GetView(pane);
            if (from && to && from->IsZoomed())
                to->ZoomTo(static_cast<int32_t>(from->GetZoomBegin()),
                           static_cast<int32_t>(from->GetZoomEnd()), true);
        }
    }
    Destroy(source);
    for (TMDIChildWave* window : made)
        window->RefreshWave();
}

void TSplitMergeCommands::SplitHExecute()
{
    TDocumentServices& documents = form.Documents();
    auto* source = dynamic_cast<TMDIChildWave*>(documents.GetActiveChildWave());
    if (!source)
        return;
    TUnitWave& unit = source->GetUnitWave();
    const int32_t n = unit.GetValues();
    const int32_t lo = unit.GetPartBegin();
    const int32_t hi = unit.GetPartEnd();
    int32_t a = lo;
    int32_t b = hi;
    bool three = false;
    if (!unit.IsCursor()) {
        TDlgSplitHorProps dialog(&form, form.SplitHorProps());
        if (RunDialog(dialog) != DialogResult::Accepted)
            return;
        form.SplitHorProps() = dialog.GetProps();
        switch (form.SplitHorProps().result) {
        case TSplitHorProps::threeParts:
            three = true;
            break;
        case TSplitHorProps::twoPartsInclusive:
            std::swap(a, b);
            break;
        default:
            break;
        }
    }

    WaitScope wait(documents);
    unit.BeginOperation();
    const Edges e = Bounds(*source);
    auto screenX = [&](int32_t value) {
        if (n == 0)
            return (e.left + e.right) / 2;
        return static_cast<int>(e.left + double(e.right - e.left) * value / n);
    };
    const int xa = screenX(a);
    const int xb = screenX(b);
    const SoundPtr sound = unit.GetSound();
    AbortFlag* abort = unit.GetAbortFlag();
    SoundUPtr first = CopyPart(*sound, abort, 0, a);
    SoundUPtr middle = three && first ? CopyPart(*sound, abort, a, b) : nullptr;
    SoundUPtr last = first && (middle || !three) ? CopyPart(*sound, abort, b, n) : nullptr;
    if (!last || unit.IsAborted())
        return; // the memory box was shown

    const TWaveViewProps waveProps = source->GetWaveViewProps();
    const TVoldViewProps voldProps = source->GetVoldViewProps();
    const uint8_t kind = source->GetWaveWindKind();
    const std::string suffix = "of " + unit.GetName();
    struct Piece
    {
        const char* base;
        SoundUPtr sound;
        int left;
        int right;
    };
    std::vector<Piece> pieces;
    pieces.push_back({"First Part", std::move(first), e.left, xa});
    if (three)
        pieces.push_back({"Middle Part", std::move(middle), xa, xb});
    pieces.push_back({"Last Part", std::move(last), xb, e.right});
    std::vector<TMDIChildWave*> made;
    for (Piece& piece : pieces) {
        auto part = std::make_unique<TUnitWave>(documents.MakeUniqueName(piece.base, suffix),
                                                std::string(), SoundPtr(std::move(piece.sound)));
        made.push_back(NewWindow(std::move(part), waveProps, voldProps, kind, piece.left, e.top,
                                 piece.right, e.bottom));
    }
    Destroy(source);
    for (TMDIChildWave* window : made)
        window->RefreshWave();
}

// ---- Merge ---------------------------------------------------------------------------------

void TSplitMergeCommands::MergeHExecute()
{
    // The record is this run's only: the next merge opens with the main window's again.
    TDlgMergeHorProps dialog(&form, form.MergeHorProps());
    if (RunDialog(dialog) != DialogResult::Accepted)
        return;
    MergeH(dialog.GetProps());
}

void TSplitMergeCommands::MergeVExecute()
{
    TDlgMergeVertProps dialog(&form, form.MergeVertProps());
    if (RunDialog(dialog) != DialogResult::Accepted)
        return;
    MergeV(dialog.GetProps());
}

void TSplitMergeCommands::MergeH(const TMergeHorProps& props)
{
    TUnitWave* firstUnit = props.first.GetUnitWave();
    TUnitWave* lastUnit = props.last.GetUnitWave();
    TMDIChildWave* firstWindow = WaveWindowOf(firstUnit);
    TMDIChildWave* lastWindow = WaveWindowOf(lastUnit);
    if (!firstWindow || !lastWindow || firstUnit == lastUnit)
        return;
    TDocumentServices& documents = form.Documents();
    WaitScope wait(documents);
    firstUnit->BeginOperation();
    AbortFlag* abort = firstUnit->GetAbortFlag();

    // Converted copies where the format must change; the sources' own sounds stay untouched.
    SoundPtr first = firstUnit->GetSound();
    SoundPtr last = lastUnit->GetSound();
    auto toChannels = [&](SoundPtr& sound) {
        if (sound->GetValues() == 0 || sound->GetMonoStereo() == props.MonoStereo)
            return;
        if (props.MonoStereo == 1)
            sound = std::make_shared<MonoSound>(*sound, abort);
        else
            sound = std::make_shared<StereoSound>(*sound, abort);
    };
    toChannels(first);
    toChannels(last);
    if (first->GetValues() == 0) {
        // An empty first wave has no format worth keeping: the one chosen is used.
        first = EmptySound(props.MonoStereo, props.SampleFreq, props.BytesPSample);
    } else if (props.SampleFreq > 0 && props.SampleFreq != first->GetSampleFreq()) {
        first = ChangeSampleFreq(*first, abort, props.SampleFreq);
    }
    SoundUPtr merged;
    if (first && !*abort)
        merged = Paste(*first, abort, *last, first->GetValues(), first->GetValues());
    if (!merged || *abort)
        return; // the memory box was shown
    merged = WithBytes(std::move(merged), props.BytesPSample);

    const Edges e1 = Bounds(*firstWindow);
    const Edges e2 = Bounds(*lastWindow);
    const int d = (e2.left - e1.right) / 2;
    auto unit = std::make_unique<TUnitWave>(
        documents.MakeUniqueName("Merge Hor.", "of (" + firstUnit->GetName() + " and " +
                                                   lastUnit->GetName() + ")"),
        std::string(), SoundPtr(std::move(merged)));
    TMDIChildWave* window = NewWindow(std::move(unit), props.waveViewProps, props.voldViewProps,
                                      props.waveWindKind, e1.left + d, (e1.top + e2.top) / 2,
                                      e2.right - d + 1, (e1.bottom + e2.bottom) / 2);
    Destroy(firstWindow);
    Destroy(lastWindow);
    window->RefreshWave();
}

void TSplitMergeCommands::MergeV(const TMergeVertProps& props)
{
    TUnitWave* leftUnit = props.left.GetUnitWave();
    TUnitWave* rightUnit = props.right.GetUnitWave();
    TMDIChildWave* leftWindow = WaveWindowOf(leftUnit);
    TMDIChildWave* rightWindow = WaveWindowOf(rightUnit);
    if (!leftWindow || !rightWindow || leftUnit == rightUnit)
        return;
    TDocumentServices& documents = form.Documents();
    WaitScope wait(documents);
    leftUnit->BeginOperation();
    AbortFlag* abort = leftUnit->GetAbortFlag();

    WavePtr left = leftUnit->GetSound()->CloneMonoWave(abort, props.SampleFreq);
    WavePtr right = left ? rightUnit->GetSound()->CloneMonoWave(abort, props.SampleFreq) : nullptr;
    // Equal durations may still resample to counts one apart, and a stereo sound needs equal
    // channels: the rule is applied to the counts, not to the durations.
    if (!left || !right || *abort || !MakeLengthsEqual(left, right, props.makeLengthsEqual, abort))
        return; // the memory box was shown
    auto merged = std::make_shared<StereoSound>(std::move(left), std::move(right), props.SampleFreq,
                                                props.BytesPSample);

    const Edges e1 = Bounds(*leftWindow);
    const Edges e2 = Bounds(*rightWindow);
    const int d = (e2.top - e1.bottom) / 2;
    auto unit = std::make_unique<TUnitWave>(
        documents.MakeUniqueName("Merge Vert.", "of (" + leftUnit->GetName() + " and " +
                                                    rightUnit->GetName() + ")"),
        std::string(), std::move(merged));
    TMDIChildWave* window = NewWindow(std::move(unit), props.waveViewProps, props.voldViewProps,
                                      props.waveWindKind, (e1.left + e2.left) / 2, e1.top + d,
                                      (e1.right + e2.right) / 2, e2.bottom - d + 1);
    Destroy(leftWindow);
    Destroy(rightWindow);
    window->RefreshWave();
}

} // namespace kelvorn
