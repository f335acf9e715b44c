#include "platform/AudioDeviceBase.h"

#include <utility>

namespace kelvorn {

void AudioDeviceBase::SetCompletionHandler(CompletionHandler newHandler)
{
    handler = std::move(newHandler);
}

void AudioDeviceBase::Disarm(AudioCompletion completion)
{
    if (!armed)
        return;
    armed = false;
    PostCompletion(completion);
}

void AudioDeviceBase::Close()
{
    if (mode == AudioMode::NotReady)
        return;
    Stop();
    UnloadFile();
    hasTake = false;
    mode = AudioMode::NotReady;
}

bool AudioDeviceBase::Open(std::string& message)
{
    Close();
    if (fileName.empty()) {
        message = AudioNoFileNameText;
        return false;
    }
    if (!LoadFile(fileName, message))
        return false;
    mode = AudioMode::Stopped;
    return true;
}

bool AudioDeviceBase::Play(std::string& message)
{
    switch (mode) {
    case AudioMode::Playing:
        return true;
    case AudioMode::Paused:
        if (pausedFrom != AudioMode::Playing) {
            message = AudioPausedRecordingText;
            return false;
        }
        ResumeStream();
        mode = AudioMode::Playing;
        break;
    case AudioMode::Stopped:
        if (!HasOutput()) {
            message = AudioNoOutputText;
            return false;
        }
        if (!StartPlayback(message))
            return false;
        mode = AudioMode::Playing;
        break;
    case AudioMode::Recording:
        message = AudioBusyText;
        return false;
    default:
        message = AudioNotOpenText;
        return false;
    }
    armed = armed || notify;
    if (wait)
        WaitForEndOfPlay();
    return true;
}

bool AudioDeviceBase::StartRecording(std::string& message)
{
    switch (mode) {
    case AudioMode::Recording:
        return true;
    case AudioMode::Paused:
        if (pausedFrom != AudioMode::Recording) {
            message = AudioBusyText;
            return false;
        }
        ResumeStream();
        mode = AudioMode::Recording;
        break;
    case AudioMode::Stopped:
        if (!HasInput()) {
            message = AudioNoInputText;
            return false;
        }
        if (!StartCapture(message))
            return false;
        hasTake = true;
        mode = AudioMode::Recording;
        break;
    case AudioMode::Playing:
        message = AudioBusyText;
        return false;
    default:
        message = AudioNotOpenText;
        return false;
    }
    armed = armed || notify;
    return true;
}

void AudioDeviceBase::Stop()
{
    if (mode != AudioMode::Playing && mode != AudioMode::Recording && mode != AudioMode::Paused)
        return;
    StopStream();
    mode = AudioMode::Stopped;
    Disarm(AudioCompletion::Aborted);
}

bool AudioDeviceBase::PauseOrResume(std::string& message)
{
    switch (mode) {
    case AudioMode::Playing:
    case AudioMode::Recording:
        PauseStream();
        pausedFrom = mode;
        mode = AudioMode::Paused;
        Disarm(AudioCompletion::Aborted);
        return true;
    case AudioMode::Paused:
        ResumeStream();
        mode = pausedFrom;
        armed = armed || notify;
        return true;
    default:
        message = AudioNothingRunningText;
        return false;
    }
}

bool AudioDeviceBase::SaveRecording(std::string& message)
{
    if (mode == AudioMode::Recording ||
        (mode == AudioMode::Paused && pausedFrom == AudioMode::Recording)) {
        message = AudioStillRecordingText;
        return false;
    }
    if (mode == AudioMode::NotReady) {
        message = AudioNotOpenText;
        return false;
    }
    if (!hasTake) {
        message = AudioNothingRecordedText;
        return false;
    }
    return WriteTake(fileName, message);
}

void AudioDeviceBase::EndOfPlay()
{
    if (mode != AudioMode::Playing)
        return;
    StopStream();
    mode = AudioMode::Stopped;
    Disarm(AudioCompletion::Finished);
}

void AudioDeviceBase::StreamFailed()
{
    if (mode != AudioMode::Playing && mode != AudioMode::Recording && mode != AudioMode::Paused)
        return;
    StopStream();
    mode = AudioMode::Stopped;
    Disarm(AudioCompletion::Failed);
}

void AudioDeviceBase::DeliverCompletion(AudioCompletion completion)
{
    // A copy: the handler may replace itself while it runs.
    if (CompletionHandler current = handler)
        current(completion);
}

} // namespace kelvorn
