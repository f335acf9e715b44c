#pragma once
// The player the main window plays and records through. It works on WAV files, as the main
// window does: whatever is to be played is first written to a file, a recording is made in the
// format of the file that was opened and saved back to that file.
//
// Completion: a Play, a resume or a StartRecording issued while notify is on is answered by
// exactly one completion event, delivered later on the GUI thread (never from inside the call
// that caused it): Finished when a play reaches the end of its file; Aborted when Stop, Close,
// PauseOrResume (pausing) or a new Open ends it early; Failed when the device gives up under
// it. The handler reads Mode() to tell what is running now.

#include <cstdint>
#include <functional>
#include <string>

namespace kelvorn {

/// The device's modes, numbered as the main window expects them. Seeking and Open are never
/// reported by Kelvorn's devices; they keep their numbers.
enum class AudioMode : int {
    NotReady = 0,
    Stopped = 1,
    Playing = 2,
    Recording = 3,
    Seeking = 4,
    Paused = 5,
    Open = 6,
};

enum class AudioCompletion {
    Finished,
    Aborted,
    Failed,
};

inline constexpr const char* AudioNoOutputText = "No audio output device is available.";
inline constexpr const char* AudioNoInputText = "No audio input device is available.";
/// Reasons for a device that can neither play nor record, without a full stop: the box at
/// start adds ". Play and Record disabled".
inline constexpr const char* AudioNoDevicesText = "No audio output or input device is available";
inline constexpr const char* AudioNoSoundServerText = "No sound server could be reached";
inline constexpr const char* AudioNotOpenText = "No sound file is open.";
inline constexpr const char* AudioNoFileNameText = "No sound file name is set.";
inline constexpr const char* AudioBusyText = "The audio device is busy.";
inline constexpr const char* AudioPausedRecordingText =
    "A recording is paused: resume it with Pause.";
inline constexpr const char* AudioNothingRunningText = "Nothing is playing or recording.";
inline constexpr const char* AudioNothingRecordedText = "Nothing has been recorded.";
inline constexpr const char* AudioStillRecordingText = "Stop the recording before saving it.";

class AudioDevice
{
public:
    static constexpr const char* ServiceName = "AudioDevice";
    using CompletionHandler = std::function<void(AudioCompletion)>;

    virtual ~AudioDevice() = default;

    /// Whether a device to play to, or to record from, exists. Without one the main window keeps
    /// its play or record commands disabled; Play or StartRecording would fail with
    /// AudioNoOutputText or AudioNoInputText.
    virtual bool HasOutput() const = 0;
    virtual bool HasInput() const = 0;
    /// Why the device can neither play nor record (one of the reasons above); empty while it
    /// has an output or an input.
    virtual std::string UnavailableReason() const
    {
        return HasOutput() || HasInput() ? std::string() : AudioNoDevicesText;
    }

    /// Ends whatever runs (a recording not saved is dropped) and closes the file: NotReady.
    virtual void Close() = 0;

    /// The file the next Open reads and SaveRecording writes.
    virtual void SetFileName(const std::string& fileName) = 0;
    virtual const std::string& FileName() const = 0;

    /// Closes what is open, then reads the file: Stopped. Its format (channels, sample
    /// frequency, bytes per sample) is the format a recording is made in. False with the
    /// reason in message when the file cannot be read; the device is then NotReady.
    virtual bool Open(std::string& message) = 0;

    /// Stopped: plays the open file from its start. Paused (a play): resumes it. Playing: goes
    /// on. With wait on, returns only when the play has ended.
    virtual bool Play(std::string& message) = 0;

    /// Stopped: starts a new recording in the open file's format (an earlier take is dropped).
    /// A paused recording: resumes it. Recording: goes on.
    virtual bool StartRecording(std::string& message) = 0;

    /// Ends a play or a recording (running or paused): Stopped. A recording keeps its take
    /// for SaveRecording. Nothing happens when nothing runs.
    virtual void Stop() = 0;

    /// Pauses what runs, or resumes what is paused (a recording goes on recording). False
    /// with AudioNothingRunningText when nothing runs or is paused.
    virtual bool PauseOrResume(std::string& message) = 0;

    /// Writes the stopped recording to FileName() as a WAV file in the open file's format.
    virtual bool SaveRecording(std::string& message) = 0;

    virtual AudioMode Mode() const = 0;

    /// Frames played (for a play) or recorded (for a recording) so far.
    virtual int64_t Position() const = 0;

    /// Notify: while on, each Play, resume or StartRecording that sets something going is
    /// answered by one completion event.
    virtual void SetNotify(bool on) = 0;
    /// Wait: Play blocks until the play has ended. The other commands finish within the call
    /// anyway, and a recording has no end of its own.
    virtual void SetWait(bool on) = 0;

    /// The handler of completion events, called on the GUI thread.
    virtual void SetCompletionHandler(CompletionHandler handler) = 0;
};

} // namespace kelvorn
