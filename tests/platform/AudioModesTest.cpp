// The mode machine every audio device shares, driven through the simulated device.
#include "platform/test/SimulatedAudio.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>
#include <string>

using namespace kelvorn;

namespace {

struct ModeRow
{
    const char* steps;
    /// "mode|backend log|completions queued", then "|completions delivered" if any were.
    const char* outcome;
    /// The message of the last command that failed; "" when none failed.
    const char* failure;
};

const char* Name(AudioMode mode)
{
    static const char* const names[] = {"NotReady", "Stopped", "Playing", "Recording",
                                        "Seeking",  "Paused",  "Open"};
    return names[static_cast<int>(mode)];
}

const char* Name(AudioCompletion completion)
{
    static const char* const names[] = {"finished", "aborted", "failed"};
    return names[static_cast<int>(completion)];
}

// A command that fails writes its message into failure; one that succeeds leaves it alone.
// Each completion delivered is noted with the mode the handler sees.
struct Session
{
    Session()
    {
        audio.SetFileName("f");
        audio.SetCompletionHandler([this](AudioCompletion c) {
            delivered +=
                std::string(delivered.empty() ? "|" : ",") + Name(c) + "@" + Name(audio.Mode());
        });
    }
    SimulatedAudio audio;
    std::string failure, delivered;
};

std::string Outcome(const Session& run)
{
    std::string log, queued;
    for (const std::string& step : run.audio.Log())
        log += (log.empty() ? "" : ",") + step;
    for (AudioCompletion c : run.audio.QueuedCompletions())
        queued += (queued.empty() ? "" : ",") + std::string(Name(c));
    return Name(run.audio.Mode()) + ("|" + log) + "|" + queued + run.delivered;
}

bool DiskFull(const std::string& name, std::string& message)
{
    message = "disk full: " + name;
    return false;
}

const std::map<std::string, std::function<void(Session&)>> steps = {
    {"open", [](Session& r) { r.audio.Open(r.failure); }},
    {"play", [](Session& r) { r.audio.Play(r.failure); }},
    {"rec", [](Session& r) { r.audio.StartRecording(r.failure); }},
    {"pause", [](Session& r) { r.audio.PauseOrResume(r.failure); }},
    {"save", [](Session& r) { r.audio.SaveRecording(r.failure); }},
    {"stop", [](Session& r) { r.audio.Stop(); }},
    {"close", [](Session& r) { r.audio.Close(); }},
    {"end", [](Session& r) { r.audio.FinishPlay(); }},
    {"fail", [](Session& r) { r.audio.FailStream(); }},
    {"deliver", [](Session& r) { r.audio.DeliverCompletions(); }},
    {"notify", [](Session& r) { r.audio.SetNotify(true); }},
    {"quiet", [](Session& r) { r.audio.SetNotify(false); }},
    {"wait", [](Session& r) { r.audio.SetWait(true); }},
    {"noout", [](Session& r) { r.audio.SetOutput(false); }},
    {"noin", [](Session& r) { r.audio.SetInput(false); }},
    {"noname", [](Session& r) { r.audio.SetFileName(""); }},
    {"badopen", [](Session& r) { r.audio.FailOpen("gone"); }},
    {"badstart", [](Session& r) { r.audio.FailStart("refused"); }},
    {"badsave", [](Session& r) { r.audio.SetTakeWriter(DiskFull); }},
    // A handler may close the device and take itself away.
    {"closer",
     [](Session& r) {
         r.audio.SetCompletionHandler([&r](AudioCompletion) {
             r.delivered += "|closed";
             r.audio.Close();
             r.audio.SetCompletionHandler({});
         });
     }},
};

class AudioModes : public ::testing::TestWithParam<ModeRow>
{
};

TEST_P(AudioModes, StepsGiveModeLogCompletionsAndMessage)
{
    Session run;
    std::istringstream in(GetParam().steps);
    for (std::string step; in >> step;)
        steps.at(step)(run);
    EXPECT_EQ(Outcome(run), GetParam().outcome) << GetParam().steps;
    EXPECT_EQ(run.failure, GetParam().failure) << GetParam().steps;
}

const ModeRow modeRows[] = {
    {"noname open", "NotReady||", AudioNoFileNameText},
    {"open", "Stopped|load f|", ""},
    {"badopen open", "NotReady|load f|", "gone"},
    {"play", "NotReady||", AudioNotOpenText},
    {"rec", "NotReady||", AudioNotOpenText},
    {"pause", "NotReady||", AudioNothingRunningText},
    {"save", "NotReady||", AudioNotOpenText},
    {"close open close close", "NotReady|load f,unload|", ""},
    {"notify open play", "Playing|load f,play|", ""},
    {"notify open play end", "Stopped|load f,play,stop|finished", ""},
    {"open play end", "Stopped|load f,play,stop|", ""},
    {"notify open play play", "Playing|load f,play|", ""},
    {"notify open play stop stop", "Stopped|load f,play,stop|aborted", ""},
    {"notify open stop fail end", "Stopped|load f|", ""},
    {"notify open play close", "NotReady|load f,play,stop,unload|aborted", ""},
    {"notify open play open", "Stopped|load f,play,stop,unload,load f|aborted", ""},
    {"notify open play pause", "Paused|load f,play,pause|aborted", ""},
    {"notify open play pause pause end", "Stopped|load f,play,pause,resume,stop|aborted,finished",
     ""},
    {"notify open play pause play end", "Stopped|load f,play,pause,resume,stop|aborted,finished",
     ""},
    {"notify open play pause end", "Paused|load f,play,pause|aborted", ""},
    {"notify open play pause stop", "Stopped|load f,play,pause,stop|aborted", ""},
    {"open pause", "Stopped|load f|", AudioNothingRunningText},
    {"noout open play", "Stopped|load f|", AudioNoOutputText},
    {"noin open rec", "Stopped|load f|", AudioNoInputText},
    {"noin open play", "Playing|load f,play|", ""},
    {"notify badstart open play", "Stopped|load f,play|", "refused"},
    {"notify badstart open rec save", "Stopped|load f,record|", AudioNothingRecordedText},
    {"notify open rec", "Recording|load f,record|", ""},
    {"open play rec", "Playing|load f,play|", AudioBusyText},
    {"open rec play", "Recording|load f,record|", AudioBusyText},
    {"notify open rec pause play", "Paused|load f,record,pause|aborted", AudioPausedRecordingText},
    {"notify open rec pause pause", "Recording|load f,record,pause,resume|aborted", ""},
    {"notify open rec pause rec", "Recording|load f,record,pause,resume|aborted", ""},
    {"open play pause rec", "Paused|load f,play,pause|", AudioBusyText},
    {"notify open rec end", "Recording|load f,record|", ""},
    {"notify open rec stop save", "Stopped|load f,record,stop,save f|aborted", ""},
    {"open rec stop badsave save", "Stopped|load f,record,stop,save f|", "disk full: f"},
    {"open rec save", "Recording|load f,record|", AudioStillRecordingText},
    {"open rec pause save", "Paused|load f,record,pause|", AudioStillRecordingText},
    {"open save", "Stopped|load f|", AudioNothingRecordedText},
    {"open play stop save", "Stopped|load f,play,stop|", AudioNothingRecordedText},
    {"open rec stop open save", "Stopped|load f,record,stop,unload,load f|",
     AudioNothingRecordedText},
    {"notify open rec fail save", "Stopped|load f,record,stop,save f|failed", ""},
    {"notify open play fail", "Stopped|load f,play,stop|failed", ""},
    {"notify wait open play", "Stopped|load f,play,stop|finished", ""},
    {"notify open play quiet end", "Stopped|load f,play,stop|finished", ""},
    {"open play pause pause end", "Stopped|load f,play,pause,resume,stop|", ""},
    // Completions come only from the event loop, in order: the report of a play closed for a
    // new one arrives while the new one runs.
    {"notify open play close open play deliver end deliver",
     "Stopped|load f,play,stop,unload,load f,play,stop||aborted@Playing,finished@Stopped", ""},
    {"closer notify open play end open play end deliver",
     "NotReady|load f,play,stop,unload,load f,play,stop,unload||closed", ""},
};

INSTANTIATE_TEST_SUITE_P(Rows, AudioModes, ::testing::ValuesIn(modeRows));

} // namespace
