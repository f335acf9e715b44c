#pragma once
// Play and record: the main window's Play, Play Maximal, Record, Stop and Pause, and the
// PlaySound that other windows reach through the main-window link.
//
// Sound never goes to the device directly: a play writes the part to the play file first, and
// a recording is made into the record file (which the empty wave was written to, so that it
// fixes the recording's format) and read back into the wave that was active when it began.
//
// The check states of FilePlay, FilePlayMax, FileRecord and FilePause are this object's state
// shown, never read back: the toolkit flips a checkable action before its command runs.
//
// Completion events: the device answers each play, resume or recording it sets going with
// exactly one event. Every event that belongs to something this object ended itself (a second
// Play, Pause, Stop, a closed recording target) is counted when it is ended and ignored when it
// arrives; only the events of what still runs are acted on.

#include "platform/AudioDevice.h"

#include <QMetaObject>
#include <QObject>

#include <cstdint>
#include <string>

class QAction;

namespace kelvorn {

class Sound;
class TMainForm;
class TMDIChildKelvorn;
class TUnitWave;

/// The temporary files' names inside the program's temporary directory.
inline constexpr const char* PlayFileName = "kvtempplaywave.wav";
inline constexpr const char* RecordFileName = "kvtemprecwave.wav";

/// Boxes of a device that gave up under a running play or recording (the program's caption,
/// error icon, as any other device error).
inline constexpr const char* PlayFailedText = "The audio device stopped playing.";
inline constexpr const char* RecordFailedText =
    "The audio device stopped recording; what was recorded until then is kept.";

class TPlayRecord final : public QObject
{
    Q_OBJECT

public:
    /// Installs the play and record commands into form, its PlaySound and the device's
    /// completion handler; both must outlive this object. Without an output (input) device
    /// Play (Record) stays disabled and its tips say why; with neither, a box says why first.
    TPlayRecord(TMainForm& form, AudioDevice& device);
    /// Drops whatever runs (an unsaved recording is lost) and takes the commands back out.
    ~TPlayRecord() override;
    TPlayRecord(const TPlayRecord&) = delete;
    TPlayRecord& operator=(const TPlayRecord&) = delete;

    // ---- Commands ------------------------------------------------------------------------

    /// Plays what the active window's kind offers: a wave's part (the whole wave when only a
    /// cursor is set), a piece rendered whole; nothing for an empty wave or piece.
    void FilePlayExecute();
    void FilePlayMaxExecute();
    /// Records into the active empty wave; while a recording runs or waits, it is Stop.
    void FileRecordExecute();
    /// Ends the play, or ends the recording and reads it back into its wave.
    void FileStopExecute();
    /// Starts what waits for Pause; pauses or resumes what runs; with nothing running, holds
    /// the next play or recording until Pause is pressed again.
    void FilePauseExecute();

    /// Writes the values [begin, end) of sound (maximised first when asked; the sound itself
    /// is never changed) to the play file and plays it, closing what played before. False when
    /// nothing was started: no play file could be written (the writer has shown its box), a
    /// recording holds the device, or the device refused (its box shown).
    bool PlayPart(const Sound& sound, int32_t begin, int32_t end, bool maximise);
    /// PlayPart of the whole sound.
    bool PlaySound(const Sound& sound, bool maximise);

    /// The device's completion event.
    void AudioPlayerNotify(AudioCompletion completion);

    // ---- State, for the action update and tests --------------------------------------------

    /// The wave the running (or waiting) recording goes into; null when none.
    TUnitWave* RecordUnitWave() const { return recordUnit; }
    bool IsPaused() const { return paused; }
    bool IsPlayPending() const { return playPending; }
    bool IsRecordPending() const { return recordPending; }
    /// Completion events still to be ignored.
    int IgnoredNotifications() const { return ignoreNotifications; }
    const std::string& PlayFile() const { return playFile; }
    const std::string& RecordFile() const { return recordFile; }

private:
    enum class Running { None, Play, PlayMax };

    bool Available() const;
    void PlayActive(bool maximise);
    /// Closes the device; an event still owed to what ran is to be ignored.
    void CloseDevice();
    /// Stops the device, counting the owed event like CloseDevice.
    void StopDevice();
    /// Play or StartRecording (or a resume), with notify on and wait off.
    bool StartDevice(bool record);
    void ShowDeviceError(const std::string& message) const;
    /// Ends the recording: reads what was taken back into its wave.
    void FinishRecording();
    /// Forgets the recording's wave and shows Record unchecked.
    void ClearRecordTarget();
    void SetRecordTarget(TMDIChildKelvorn* window, TUnitWave* unit);
    /// The recording's window is going: whatever was recorded is dropped.
    void RecordWindowGone(TMDIChildKelvorn* window);
    void SetRecordPending(bool pending);
    /// Writes this object's state into the check states of the actions.
    void ShowState();
    /// ShowState and the action update, after what did not come through a command.
    void UpdateActions();

    TMainForm& form;
    AudioDevice& device;
    QAction* playAction;
    QAction* playMaxAction;
    QAction* recordAction;
    QAction* pauseAction;
    std::string playFile;
    std::string recordFile;

    Running running = Running::None;
    bool recordShown = false;
    bool pauseShown = false;
    bool paused = false;
    bool playPending = false;
    bool recordPending = false;
    /// Whether the device owes a completion event to what runs now.
    bool eventOwed = false;
    int ignoreNotifications = 0;
    /// Whether the recording has started (a waiting one has not).
    bool recordStarted = false;
    TUnitWave* recordUnit = nullptr;
    TMDIChildKelvorn* recordWindow = nullptr;
    QMetaObject::Connection recordWindowDestroyed;
};

} // namespace kelvorn
