#include "platform/test/SimulatedAudio.h"

#include <utility>

namespace kelvorn {

SimulatedAudio::SimulatedAudio() : install(this) {}

void SimulatedAudio::FailOpen(const std::string& message)
{
    openFailure = message;
}

void SimulatedAudio::FailStart(const std::string& message)
{
    startFailure = message;
}

void SimulatedAudio::SetTakeWriter(TakeWriter writer)
{
    takeWriter = std::move(writer);
}

void SimulatedAudio::Advance(int64_t frames)
{
    if (Mode() == AudioMode::Playing || Mode() == AudioMode::Recording)
        position += frames;
}

int SimulatedAudio::DeliverCompletions()
{
    int count = 0;
    while (!queued.empty()) {
        AudioCompletion completion = queued.front();
        queued.pop_front();
        DeliverCompletion(completion);
        ++count;
    }
    return count;
}

std::vector<std::string> SimulatedAudio::TakeLog()
{
    return std::exchange(log, {});
}

bool SimulatedAudio::LoadFile(const std::string& name, std::string& message)
{
    log.push_back("load " + name);
    if (!openFailure.empty()) {
        message = openFailure;
        return false;
    }
    position = 0;
    return true;
}

void SimulatedAudio::UnloadFile()
{
    log.push_back("unload");
    position = 0;
}

bool SimulatedAudio::StartPlayback(std::string& message)
{
    log.push_back("play");
    if (!startFailure.empty()) {
        message = startFailure;
        return false;
    }
    position = 0;
    return true;
}

bool SimulatedAudio::StartCapture(std::string& message)
{
    log.push_back("record");
    if (!startFailure.empty()) {
        message = startFailure;
        return false;
    }
    position = 0;
    return true;
}

void SimulatedAudio::PauseStream()
{
    log.push_back("pause");
}

void SimulatedAudio::ResumeStream()
{
    log.push_back("resume");
}

void SimulatedAudio::StopStream()
{
    log.push_back("stop");
}

bool SimulatedAudio::WriteTake(const std::string& name, std::string& message)
{
    log.push_back("save " + name);
    return takeWriter ? takeWriter(name, message) : true;
}

} // namespace kelvorn
