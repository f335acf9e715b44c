#include "shell/PlayRecord.h"
#include "waveui/WaveWindow.h"

#include "document/wave/UnitWave.h"
#include "general/GuiMessages.h"
#include "general/Messages.h"
#include "general/Services.h"
#include "platform/TempDir.h"
#include "shell/DocumentServices.h"
#include "shell/MainForm.h"
#include "sound/Sound.h"
#include "sound/SoundOps.h"
#include "sound/WavFile.h"

#include <QAction>

#include <utility>

namespace kelvorn {

namespace {

/// The channels of sound (the caller's own) moved into a new sound labelled with freq and
/// bytesPSample; the values are not touched.
SoundUPtr Relabel(SoundUPtr sound, int32_t freq, int16_t bytesPSample)
{
    if (auto* mono = dynamic_cast<MonoSound*>(sound.get()))
        return std::make_unique<MonoSound>(mono->TakeWave(), freq, bytesPSample);
    auto [left, right] = static_cast<StereoSound&>(*sound).TakeWaves();
    return std::make_unique<StereoSound>(std::move(left), std::move(right), freq, bytesPSample);
}

/// sound in the format of the wave it is recorded into. The device records in the record
/// file's format, so this normally changes nothing; a sound that still differs is converted
/// rather than refused. nullptr when memory ran out (the box has been shown).
SoundUPtr ToFormatOf(SoundUPtr sound, const TUnitWave& unit)
{
    AbortFlag abort = 0;
    if (sound->GetMonoStereo() != unit.GetMonoStereo()) {
        if (unit.GetMonoStereo() == 1)
            sound = std::make_unique<MonoSound>(*sound, &abort);
        else
            sound = std::make_unique<StereoSound>(*sound, &abort);
        if (abort)
            return nullptr;
    }
    // A file without a sample frequency gives nothing to resample from: it is only relabelled.
    if (sound->GetSampleFreq() != unit.GetSampleFreq() && sound->GetSampleFreq() > 0 &&
        sound->GetValues() > 0) {
        sound = ChangeSampleFreq(*sound, &abort, unit.GetSampleFreq());
        if (!sound || abort)
            return nullptr;
    }
    if (sound->GetSampleFreq() != unit.GetSampleFreq() ||
        sound->GetBytesPSample() != unit.GetBytesPSample())
        sound = Relabel(std::move(sound), unit.GetSampleFreq(), unit.GetBytesPSample());
    return sound;
}

} // namespace

TPlayRecord::TPlayRecord(TMainForm& form, AudioDevice& device)
    : form(form), device(device), playAction(form.Action("FilePlay")),
      playMaxAction(form.Action("FilePlayMax")), recordAction(form.Action("FileRecord")),
      pauseAction(form.Action("FilePause"))
{
    const TempDir& tempDir = GetService<TempDir>();
    playFile = tempDir.FilePath(PlayFileName);
    recordFile = tempDir.FilePath(RecordFileName);

    // Pause shows whether the next play waits for it, so it must be able to show checked.
    pauseAction->setCheckable(true);
    form.SetPlayerDevices(device.HasOutput(), device.HasInput());
    // Said once, now: the greyed buttons' tips reach only whoever points at them. After the
    // temporary directory's box, play and record are off and have been said to be.
    if (const std::string reason = device.UnavailableReason();
        !reason.empty() && form.PlayRecordAvailable())
        TGuiMessages::ShowAudioUnavailableError(reason);
    if (!device.HasOutput())
        for (QAction* action : {playAction, playMaxAction}) {
            action->setToolTip(QString::fromLatin1(AudioNoOutputText));
            action->setStatusTip(QString::fromLatin1(AudioNoOutputText));
        }
    if (!device.HasInput()) {
        recordAction->setToolTip(QString::fromLatin1(AudioNoInputText));
        recordAction->setStatusTip(QString::fromLatin1(AudioNoInputText));
    }

    form.SetCommand("FilePlay", [this] { FilePlayExecute(); });
    form.SetCommand("FilePlayMax", [this] { FilePlayMaxExecute(); });
    form.SetCommand("FileRecord", [this] { FileRecordExecute(); });
    form.SetCommand("FileStop", [this] { FileStopExecute(); });
    form.SetCommand("FilePause", [this] { FilePauseExecute(); });
    form.SetSoundPlayer([this](const Sound& sound, bool maximise) {
        PlaySound(sound, maximise);
        UpdateActions();
    });
    device.SetCompletionHandler(
        [this](AudioCompletion completion) { AudioPlayerNotify(completion); });
    connect(&form.Documents(), &TDocumentServices::DocumentWindowClosing, this,
            &TPlayRecord::RecordWindowGone);
    device.SetNotify(true);
    device.SetWait(false);
}

TPlayRecord::~TPlayRecord()
{
    device.SetCompletionHandler({});
    device.Close();
    disconnect(recordWindowDestroyed);
    for (const char* name : {"FilePlay", "FilePlayMax", "FileRecord", "FileStop", "FilePause"})
        form.SetCommand(name, {});
    form.SetSoundPlayer({});
    form.SetRecordWaitsForPause(false);
}

bool TPlayRecord::Available() const
{
    return form.PlayRecordAvailable();
}

// ---- The device ---------------------------------------------------------------------------

void TPlayRecord::CloseDevice()
{
    if (eventOwed) {
        eventOwed = false;
        ++ignoreNotifications;
    }
    device.Close();
}

void TPlayRecord::StopDevice()
{
    if (eventOwed) {
        eventOwed = false;
        ++ignoreNotifications;
    }
    device.Stop();
}

bool TPlayRecord::StartDevice(bool record)
{
    device.SetNotify(true);
    device.SetWait(false);
    std::string message;
    const bool started = record ? device.StartRecording(message) : device.Play(message);
    if (!started) {
        ShowDeviceError(message);
        return false;
    }
    eventOwed = true;
    return true;
}

void TPlayRecord::ShowDeviceError(const std::string& message) const
{
    // The device's errors are shown as the program shows any error it did not foresee.
    Messages().Show(message, KelvornTitle(), MsgIcon::Error, MsgButtons::Ok);
}

// ---- Play ---------------------------------------------------------------------------------

void TPlayRecord::FilePlayExecute()
{
    PlayActive(false);
}

void TPlayRecord::FilePlayMaxExecute()
{
    PlayActive(true);
}

void TPlayRecord::PlayActive(bool maximise)
{
    // The kind of the active window says what it plays: a wave its part, a piece its render.
    TMDIChildKelvorn* window = form.Documents().GetActiveChild();
    if (TDocumentKindUI* kind = form.Kinds().Of(window)) {
        TPlaySource source;
        // A rendered sound is the play's alone: it goes once its file is written.
        if (kind->GetPlaySource(*window, source) && source.sound)
            PlayPart(*source.sound, source.begin, source.end, maximise);
    }
    ShowState();
}

bool TPlayRecord::PlaySound(const Sound& sound, bool maximise)
{
    return PlayPart(sound, 0, sound.GetValues(), maximise);
}

bool TPlayRecord::PlayPart(const Sound& sound, int32_t begin, int32_t end, bool maximise)
{
    // Closing the device now would throw the take away.
    if (!Available() || recordUnit)
        return false;

    // The file is written before anything is closed: a failed write leaves a running play
    // playing and the actions telling the truth. The device reads the whole file on Open.
    AbortFlag abort = 0;
    bool written = false;
    if (maximise) {
        // Only the part is copied: a short part of a long wave costs little memory.
        SoundUPtr loud = CopyPart(sound, &abort, begin, end);
        written = loud && !abort && MaxVolumeInPlace(*loud, &abort, 0, -1) &&
                  loud->SaveToWavFile(&abort, playFile, 0, -1);
    } else {
        written = sound.SaveToWavFile(&abort, playFile, begin, end);
    }
    if (!written)
        return false;

    // A play that was paused leaves Pause checked: the new one waits for it as well.
    paused = paused || pauseShown;
    playPending = false;
    CloseDevice();
    running = Running::None;
    device.SetFileName(playFile);
    std::string message;
    if (!device.Open(message)) {
        ShowDeviceError(message);
        return false;
    }
    if (paused) {
        playPending = true;
    } else if (!StartDevice(false)) {
        CloseDevice();
        return false;
    }
    running = maximise ? Running::PlayMax : Running::Play;
    ShowState();
    return true;
}

// ---- Record -------------------------------------------------------------------------------

void TPlayRecord::FileRecordExecute()
{
    // Record while a recording runs, is paused or waits for Pause ends it.
    if (recordUnit || device.Mode() == AudioMode::Recording) {
        FileStopExecute();
        return;
    }
    TMDIChildKelvorn* window = form.Documents().GetActiveChildWave();
    TUnitWave* unit = UnitWaveOf(window);
    if (!Available() || !unit || unit->GetValues() != 0) {
        ShowState();
        return;
    }
    paused = paused || pauseShown;
    playPending = false;
    CloseDevice();
    running = Running::None;

    // The empty wave in the record file gives the recording its channels, sample frequency and
    // bytes per sample. When it cannot be written the writer has said so, and nothing records.
    AbortFlag abort = 0;
    std::string message;
    if (!WriteWaveFile(&abort, recordFile, unit->GetSound().get(), 0, -1, message)) {
        ShowState();
        return;
    }
    SetRecordTarget(window, unit);
    device.SetFileName(recordFile);
    if (!device.Open(message)) {
        ShowDeviceError(message);
        ClearRecordTarget();
        return;
    }
    if (paused) {
        SetRecordPending(true);
    } else if (StartDevice(true)) {
        recordStarted = true;
    } else {
        CloseDevice();
        ClearRecordTarget();
        return;
    }
    ShowState();
}

void TPlayRecord::SetRecordTarget(TMDIChildKelvorn* window, TUnitWave* unit)
{
    recordUnit = unit;
    recordWindow = window;
    recordStarted = false;
    recordShown = true;
    disconnect(recordWindowDestroyed);
    // A window deleted without being closed never says it is closing.
    recordWindowDestroyed =
        connect(window, &QObject::destroyed, this, [this, window] { RecordWindowGone(window); });
}

void TPlayRecord::ClearRecordTarget()
{
    disconnect(recordWindowDestroyed);
    recordUnit = nullptr;
    recordWindow = nullptr;
    recordStarted = false;
    recordShown = false;
    SetRecordPending(false);
    ShowState();
}

void TPlayRecord::SetRecordPending(bool pending)
{
    recordPending = pending;
    form.SetRecordWaitsForPause(pending);
}

void TPlayRecord::RecordWindowGone(TMDIChildKelvorn* window)
{
    if (!recordUnit || window != recordWindow)
        return;
    // The wave the take was meant for is going: there is nothing to read it back into. The
    // window may be half destroyed, so the action update is left to the activation that
    // follows.
    CloseDevice();
    ClearRecordTarget();
}

void TPlayRecord::FinishRecording()
{
    TUnitWave* unit = recordUnit;
    if (!recordStarted) {
        CloseDevice();
        ClearRecordTarget();
        return;
    }
    StopDevice();
    std::string message;
    if (!device.SaveRecording(message)) {
        CloseDevice();
        ClearRecordTarget();
        ShowDeviceError(message);
        return;
    }
    CloseDevice();

    SoundUPtr recorded;
    if (!ReadWaveFile(recordFile, recorded, message)) {
        ClearRecordTarget();
        Messages().Show("Cannot read the file: \"" + recordFile + "\", " + message, "File Error",
                        MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    recorded = ToFormatOf(std::move(recorded), *unit);
    ClearRecordTarget();
    if (!recorded)
        return;
    unit->ExchangeSound(SoundPtr(std::move(recorded)));
    if (WaveWindowLink* link = unit->GetChildWave())
        link->RefreshWave();
    unit->SetModified();
}

// ---- Stop and Pause -----------------------------------------------------------------------

void TPlayRecord::FileStopExecute()
{
    playPending = false;
    SetRecordPending(false);
    paused = pauseShown;
    if (recordUnit) {
        FinishRecording();
    } else {
        CloseDevice();
        running = Running::None;
    }
    ShowState();
}

void TPlayRecord::FilePauseExecute()
{
    if (playPending) {
        playPending = false;
        paused = false;
        pauseShown = false;
        if (!StartDevice(false)) {
            CloseDevice();
            running = Running::None;
        }
        ShowState();
        return;
    }
    if (recordPending) {
        SetRecordPending(false);
        paused = false;
        pauseShown = false;
        if (StartDevice(true)) {
            recordStarted = true;
        } else {
            CloseDevice();
            ClearRecordTarget();
        }
        ShowState();
        return;
    }
    const AudioMode mode = device.Mode();
    if (mode == AudioMode::Playing || mode == AudioMode::Recording || mode == AudioMode::Paused) {
        std::string message;
        if (mode == AudioMode::Paused) {
            // Whatever was paused goes on: a paused recording records again.
            device.SetNotify(true);
            device.SetWait(false);
            if (device.PauseOrResume(message))
                eventOwed = true;
            else
                ShowDeviceError(message);
        } else {
            if (eventOwed) {
                eventOwed = false;
                ++ignoreNotifications;
            }
            if (!device.PauseOrResume(message))
                ShowDeviceError(message);
        }
        pauseShown = device.Mode() == AudioMode::Paused;
    } else {
        paused = !paused;
        pauseShown = paused;
    }
    ShowState();
}

// ---- Completion ---------------------------------------------------------------------------

void TPlayRecord::AudioPlayerNotify(AudioCompletion completion)
{
    if (ignoreNotifications > 0) {
        --ignoreNotifications;
        return;
    }
    eventOwed = false;
    if (recordUnit && recordStarted) {
        // A recording has no end of its own: the device gave up under it.
        FinishRecording();
        ShowDeviceError(RecordFailedText);
        UpdateActions();
        return;
    }
    const AudioMode mode = device.Mode();
    if (mode == AudioMode::Stopped || mode == AudioMode::Playing) {
        CloseDevice();
        running = Running::None;
        paused = false;
        if (completion == AudioCompletion::Failed)
            ShowDeviceError(PlayFailedText);
    }
    UpdateActions();
}

// ---- Actions ------------------------------------------------------------------------------

void TPlayRecord::ShowState()
{
    playAction->setChecked(running == Running::Play);
    playMaxAction->setChecked(running == Running::PlayMax);
    recordAction->setChecked(recordShown);
    pauseAction->setChecked(pauseShown);
}

void TPlayRecord::UpdateActions()
{
    ShowState();
    form.ActionListUpdate();
}

} // namespace kelvorn
