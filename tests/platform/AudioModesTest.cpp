// The mode machine every audio device shares, driven through the simulated device.
#include "platform/test/SimulatedAudio.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using namespace kelvorn;

namespace {

struct ModeRow
{
    const char* steps;
    /// "mode|backend log|completions queued"
    const char* outcome;
    /// The message of the last command that failed; "" when none failed.
    const char* failure;
};

std::string Outcome(const SimulatedAudio& audio)
{
    static const char* const modes[] = {"NotReady", "Stopped", "Playing", "Recording",
                                        "Seeking",  "Paused",  "Open"};
    static const char* const completions[] = {"finished", "aborted", "failed"};
    std::string text = std::string(modes[static_cast<int>(audio.Mode())]) + "|";
    for (size_t i = 0; i < audio.Log().size(); ++i)
        text += (i ? "," : "") + audio.Log()[i];
    text += "|";
    for (size_t i = 0; i < audio.QueuedCompletions().size(); ++i)
        text +=
            std::string(i ? "," : "") + completions[static_cast<int>(audio.QueuedCompletions()[i])];
    return text;
}

std::string RunSteps(SimulatedAudio& audio, const std::string& steps)
{
    std::string failure, message;
    auto check = [&](bool ok) {
        if (!ok)
            failure = message;
    };
    audio.SetFileName("f");
    std::istringstream in(steps);
    for (std::string s; in >> s;) {
        if (s == "open")
            check(audio.Open(message));
        else if (s == "play")
            check(audio.Play(message));
        else if (s == "rec")
            check(audio.StartRecording(message));
        else if (s == "pause")
            check(audio.PauseOrResume(message));
        else if (s == "save")
            check(audio.SaveRecording(message));
        else if (s == "stop")
            audio.Stop();
        else if (s == "close")
            audio.Close();
        else if (s == "end")
            audio.FinishPlay();
        else if (s == "fail")
            audio.FailStream();
        else if (s == "notify" || s == "quiet")
            audio.SetNotify(s == "notify");
        else if (s == "wait")
            audio.SetWait(true);
        else if (s == "noout")
            audio.SetOutput(false);
        else if (s == "noin")
            audio.SetInput(false);
        else if (s == "noname")
            audio.SetFileName("");
        else if (s == "badopen")
            audio.FailOpen("gone");
        else if (s == "badstart")
            audio.FailStart("refused");
        else if (s == "badsave")
            audio.SetTakeWriter([](const std::string& name, std::string& text) {
                text = "disk full: " + name;
                return false;
            });
        else
            ADD_FAILURE() << "unknown step " << s;
    }
    return failure;
}

class AudioModes : public ::testing::TestWithParam<ModeRow>
{
};

TEST_P(AudioModes, StepsGiveModeLogCompletionsAndMessage)
{
    SimulatedAudio audio;
    const std::string failure = RunSteps(audio, GetParam().steps);
    EXPECT_EQ(Outcome(audio), GetParam().outcome) << GetParam().steps;
    EXPECT_EQ(failure, GetParam().failure) << GetParam().steps;
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
};

INSTANTIATE_TEST_SUITE_P(Rows, AudioModes, ::testing::ValuesIn(modeRows));

TEST(AudioCompletions, ComeOnlyFromTheEventLoopInOrder)
{
    SimulatedAudio audio;
    std::vector<std::pair<AudioCompletion, AudioMode>> seen;
    audio.SetCompletionHandler([&](AudioCompletion c) { seen.emplace_back(c, audio.Mode()); });
    // A second play while one runs: close, open and play again, as the main window does.
    RunSteps(audio, "notify open play close open play");
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(audio.DeliverCompletions(), 1);
    audio.FinishPlay();
    EXPECT_EQ(audio.DeliverCompletions(), 1);
    EXPECT_EQ(audio.DeliverCompletions(), 0);
    // The report of the closed play arrives while the second one runs.
    EXPECT_EQ(seen, (std::vector<std::pair<AudioCompletion, AudioMode>>{
                        {AudioCompletion::Aborted, AudioMode::Playing},
                        {AudioCompletion::Finished, AudioMode::Stopped}}));
}

TEST(AudioCompletions, HandlerMayCloseTheDeviceAndReplaceItself)
{
    SimulatedAudio audio;
    int calls = 0;
    audio.SetCompletionHandler([&](AudioCompletion) {
        ++calls;
        audio.Close();
        audio.SetCompletionHandler({});
    });
    RunSteps(audio, "notify open play end open play end");
    EXPECT_EQ(audio.DeliverCompletions(), 2);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(audio.Mode(), AudioMode::NotReady);
}

} // namespace
