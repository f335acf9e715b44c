#pragma once
// An audio device for tests: the mode machine of every device, with a sound that only moves
// when the test says so. It logs each backend step ("load <file>", "play", "record", "pause",
// "resume", "stop", "unload", "save <file>"), holds completion events until the test delivers
// them (as the GUI event loop would), and installs itself for its lifetime.

#include "general/Services.h"
#include "platform/AudioDeviceBase.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace kelvorn {

class SimulatedAudio final : public AudioDeviceBase
{
public:
    /// Writes the take to the file; the test supplies what a recording holds.
    using TakeWriter = std::function<bool(const std::string& fileName, std::string& message)>;

    SimulatedAudio();
    SimulatedAudio(const SimulatedAudio&) = delete;
    SimulatedAudio& operator=(const SimulatedAudio&) = delete;

    bool HasOutput() const override { return output; }
    bool HasInput() const override { return input; }
    int64_t Position() const override { return position; }

    // What the test sets up.
    void SetOutput(bool present) { output = present; }
    void SetInput(bool present) { input = present; }
    /// Every later Open fails with message (the file is not even looked at).
    void FailOpen(const std::string& message);
    /// Every later play or capture start fails with message.
    void FailStart(const std::string& message);
    /// Writes the take on SaveRecording; without one SaveRecording writes nothing and succeeds.
    void SetTakeWriter(TakeWriter writer);

    // What the sound does, when the test says so.
    /// The play runs to its end: Finished is queued when notify was on.
    void FinishPlay() { EndOfPlay(); }
    /// The device gives up under the running stream.
    void FailStream() { StreamFailed(); }
    /// frames more have been played or recorded (only while running).
    void Advance(int64_t frames);

    /// Runs the queued completion events in order, as the GUI event loop would; events queued
    /// by a handler run too. Returns how many ran.
    int DeliverCompletions();
    /// The completion events queued and not yet delivered.
    const std::deque<AudioCompletion>& QueuedCompletions() const { return queued; }

    /// The backend steps so far; TakeLog returns and clears them.
    const std::vector<std::string>& Log() const { return log; }
    std::vector<std::string> TakeLog();

protected:
    bool LoadFile(const std::string& name, std::string& message) override;
    void UnloadFile() override;
    bool StartPlayback(std::string& message) override;
    bool StartCapture(std::string& message) override;
    void PauseStream() override;
    void ResumeStream() override;
    void StopStream() override;
    bool WriteTake(const std::string& name, std::string& message) override;
    /// No time passes in a test: a waited-for play ends at once.
    void WaitForEndOfPlay() override { EndOfPlay(); }
    void PostCompletion(AudioCompletion completion) override { queued.push_back(completion); }

private:
    bool output = true;
    bool input = true;
    int64_t position = 0;
    std::string openFailure;
    std::string startFailure;
    TakeWriter takeWriter;
    std::deque<AudioCompletion> queued;
    std::vector<std::string> log;
    ScopedService<AudioDevice> install;
};

} // namespace kelvorn
