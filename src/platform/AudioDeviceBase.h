#pragma once
// The mode machine every audio device shares: which command is allowed in which mode, and
// which completion event each ending earns. A device adds the sound itself through the
// backend hooks below and reports the ends it sees (EndOfPlay, StreamFailed); the simulated
// device and the Qt device thus behave alike by construction.

#include "platform/AudioDevice.h"

#include <string>

namespace kelvorn {

class AudioDeviceBase : public AudioDevice
{
public:
    void Close() override;
    void SetFileName(const std::string& name) override { fileName = name; }
    const std::string& FileName() const override { return fileName; }
    bool Open(std::string& message) override;
    bool Play(std::string& message) override;
    bool StartRecording(std::string& message) override;
    void Stop() override;
    bool PauseOrResume(std::string& message) override;
    bool SaveRecording(std::string& message) override;
    AudioMode Mode() const override { return mode; }
    void SetNotify(bool on) override { notify = on; }
    void SetWait(bool on) override { wait = on; }
    void SetCompletionHandler(CompletionHandler handler) override;

    /// Whether a completion event is owed to the command that runs.
    bool Armed() const { return armed; }

protected:
    AudioDeviceBase() = default;

    /// The backend calls this when a play has delivered its last sample.
    void EndOfPlay();
    /// The backend calls this when the device fails under a running play or recording.
    void StreamFailed();

    /// Delivers a completion event to the handler; the backend calls it later on the GUI
    /// thread for each event PostCompletion queued, in the order queued.
    void DeliverCompletion(AudioCompletion completion);

    /// Reads the file; on failure message says why.
    virtual bool LoadFile(const std::string& name, std::string& message) = 0;
    /// Drops the loaded file and any take.
    virtual void UnloadFile() = 0;
    virtual bool StartPlayback(std::string& message) = 0;
    virtual bool StartCapture(std::string& message) = 0;
    virtual void PauseStream() = 0;
    virtual void ResumeStream() = 0;
    /// Ends the running or paused stream; a capture keeps its take.
    virtual void StopStream() = 0;
    virtual bool WriteTake(const std::string& name, std::string& message) = 0;
    /// Returns when the running play has ended (EndOfPlay or StreamFailed has been called).
    virtual void WaitForEndOfPlay() = 0;
    /// Queues a completion event for the GUI thread; never delivers it from inside the call.
    virtual void PostCompletion(AudioCompletion completion) = 0;

private:
    /// Ends the owed event, if any, with completion.
    void Disarm(AudioCompletion completion);

    std::string fileName;
    AudioMode mode = AudioMode::NotReady;
    AudioMode pausedFrom = AudioMode::NotReady;
    bool notify = false;
    bool wait = false;
    bool armed = false;
    bool hasTake = false;
    CompletionHandler handler;
};

} // namespace kelvorn
