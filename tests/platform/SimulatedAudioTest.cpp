#include "platform/test/SimulatedAudio.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace kelvorn;

namespace {

std::string Join(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : ",") + item;
    return out;
}

std::string Completions(const std::deque<AudioCompletion>& queued)
{
    std::string out;
    for (AudioCompletion c : queued) {
        out += out.empty() ? "" : ",";
        out += c == AudioCompletion::Finished ? "finished"
               : c == AudioCompletion::Aborted ? "aborted"
                                               : "failed";
    }
    return out;
}

struct ModeRow
{
    const char* name;
    const char* steps;
    AudioMode mode;
    const char* log;
    const char* completions;
    /// The message of the last command that failed; "" when none failed.
    const char* failure;
};

/// Runs the steps on a fresh device; returns the message of the last failed command.
std::string RunSteps(SimulatedAudio& audio, const std::string& steps)
{
    std::string failure;
    std::istringstream in(steps);
    std::string step;
    auto check = [&](bool ok, const std::string& message) {
        if (!ok)
            failure = message;
    };
    while (in >> step) {
        std::string message;
        if (step == "name")
            audio.SetFileName("play.wav");
        else if (step == "open")
            check(audio.Open(message), message);
        else if (step == "play")
            check(audio.Play(message), message);
        else if (step == "rec")
            check(audio.StartRecording(message), message);
        else if (step == "stop")
            audio.Stop();
        else if (step == "pause")
            check(audio.PauseOrResume(message), message);
        else if (step == "save")
            check(audio.SaveRecording(message), message);
        else if (step == "close")
            audio.Close();
        else if (step == "end")
            audio.FinishPlay();
        else if (step == "fail")
            audio.FailStream();
        else if (step == "notify")
            audio.SetNotify(true);
        else if (step == "quiet")
            audio.SetNotify(false);
        else if (step == "wait")
            audio.SetWait(true);
        else if (step == "noout")
            audio.SetOutput(false);
        else if (step == "noin")
            audio.SetInput(false);
        else if (step == "badopen")
            audio.FailOpen("Cannot open the sound file \"play.wav\": gone");
        else if (step == "badstart")
            audio.FailStart("The audio output \"x\" cannot play this sound.");
        else
            ADD_FAILURE() << "unknown step " << step;
    }
    return failure;
}

class SimulatedAudioModes : public ::testing::TestWithParam<ModeRow>
{
};

TEST_P(SimulatedAudioModes, StepsGiveModeLogCompletionsAndMessage)
{
    const ModeRow& row = GetParam();
    SimulatedAudio audio;
    const std::string failure = RunSteps(audio, row.steps);
    EXPECT_EQ(audio.Mode(), row.mode);
    EXPECT_EQ(Join(audio.Log()), row.log);
    EXPECT_EQ(Completions(audio.QueuedCompletions()), row.completions);
    EXPECT_EQ(failure, row.failure);
}

const ModeRow modeRows[] = {
    {"OpenWithoutName", "open", AudioMode::NotReady, "", "", AudioNoFileNameText},
    {"Open", "name open", AudioMode::Stopped, "load play.wav", "", ""},
    {"OpenFails", "name badopen open", AudioMode::NotReady, "load play.wav", "",
     "Cannot open the sound file \"play.wav\": gone"},
    {"PlayWithoutOpen", "play", AudioMode::NotReady, "", "", AudioNotOpenText},
    {"RecordWithoutOpen", "rec", AudioMode::NotReady, "", "", AudioNotOpenText},
    {"Play", "notify name open play", AudioMode::Playing, "load play.wav,play", "", ""},
    {"PlayToEnd", "notify name open play end", AudioMode::Stopped, "load play.wav,play,stop",
     "finished", ""},
    {"PlayToEndQuiet", "name open play end", AudioMode::Stopped, "load play.wav,play,stop", "",
     ""},
    {"PlayTwiceGoesOn", "notify name open play play", AudioMode::Playing, "load play.wav,play",
     "", ""},
    {"StopPlay", "notify name open play stop", AudioMode::Stopped, "load play.wav,play,stop",
     "aborted", ""},
    {"StopWhenStopped", "notify name open stop", AudioMode::Stopped, "load play.wav", "", ""},
    {"ClosePlay", "notify name open play close", AudioMode::NotReady,
     "load play.wav,play,stop,unload", "aborted", ""},
    {"OpenAgainWhilePlaying", "notify name open play open", AudioMode::Stopped,
     "load play.wav,play,stop,unload,load play.wav", "aborted", ""},
    {"PausePlay", "notify name open play pause", AudioMode::Paused,
     "load play.wav,play,pause", "aborted", ""},
    {"ResumePlayWithPause", "notify name open play pause pause end", AudioMode::Stopped,
     "load play.wav,play,pause,resume,stop", "aborted,finished", ""},
    {"ResumePlayWithPlay", "notify name open play pause play end", AudioMode::Stopped,
     "load play.wav,play,pause,resume,stop", "aborted,finished", ""},
    {"NoEndWhilePaused", "notify name open play pause end", AudioMode::Paused,
     "load play.wav,play,pause", "aborted", ""},
    {"StopPausedPlay", "notify name open play pause stop", AudioMode::Stopped,
     "load play.wav,play,pause,stop", "aborted", ""},
    {"PauseWithNothingRunning", "name open pause", AudioMode::Stopped, "load play.wav", "",
     AudioNothingRunningText},
    {"PauseNotReady", "pause", AudioMode::NotReady, "", "", AudioNothingRunningText},
    {"NoOutput", "noout name open play", AudioMode::Stopped, "load play.wav", "",
     AudioNoOutputText},
    {"NoInput", "noin name open rec", AudioMode::Stopped, "load play.wav", "", AudioNoInputText},
    {"NoInputStillPlays", "noin name open play", AudioMode::Playing, "load play.wav,play", "",
     ""},
    {"PlayStartFails", "notify name badstart open play", AudioMode::Stopped,
     "load play.wav,play", "", "The audio output \"x\" cannot play this sound."},
    {"Record", "notify name open rec", AudioMode::Recording, "load play.wav,record", "", ""},
    {"RecordWhilePlaying", "name open play rec", AudioMode::Playing, "load play.wav,play", "",
     AudioBusyText},
    {"PlayWhileRecording", "name open rec play", AudioMode::Recording, "load play.wav,record",
     "", AudioBusyText},
    {"PausedRecordingIsNotPlayed", "notify name open rec pause play", AudioMode::Paused,
     "load play.wav,record,pause", "aborted", AudioPausedRecordingText},
    {"ResumeRecordingWithPause", "notify name open rec pause pause", AudioMode::Recording,
     "load play.wav,record,pause,resume", "aborted", ""},
    {"ResumeRecordingWithRecord", "notify name open rec pause rec", AudioMode::Recording,
     "load play.wav,record,pause,resume", "aborted", ""},
    {"RecordOnPausedPlay", "name open play pause rec", AudioMode::Paused,
     "load play.wav,play,pause", "", AudioBusyText},
    {"RecordNeverEndsByItself", "notify name open rec end", AudioMode::Recording,
     "load play.wav,record", "", ""},
    {"StopRecordAndSave", "notify name open rec stop save", AudioMode::Stopped,
     "load play.wav,record,stop,save play.wav", "aborted", ""},
    {"SaveWhileRecording", "name open rec save", AudioMode::Recording, "load play.wav,record",
     "", AudioStillRecordingText},
    {"SaveWhileRecordingPaused", "name open rec pause save", AudioMode::Paused,
     "load play.wav,record,pause", "", AudioStillRecordingText},
    {"SaveWithoutRecording", "name open save", AudioMode::Stopped, "load play.wav", "",
     AudioNothingRecordedText},
    {"SaveAfterPlay", "name open play stop save", AudioMode::Stopped,
     "load play.wav,play,stop", "", AudioNothingRecordedText},
    {"SaveNotReady", "save", AudioMode::NotReady, "", "", AudioNotOpenText},
    {"ReopenDropsTake", "name open rec stop open save", AudioMode::Stopped,
     "load play.wav,record,stop,unload,load play.wav", "", AudioNothingRecordedText},
    {"FailedRecordingKeepsTake", "notify name open rec fail save", AudioMode::Stopped,
     "load play.wav,record,stop,save play.wav", "failed", ""},
    {"FailedPlay", "notify name open play fail", AudioMode::Stopped, "load play.wav,play,stop",
     "failed", ""},
    {"WaitedPlayEndsWithinTheCall", "notify wait name open play", AudioMode::Stopped,
     "load play.wav,play,stop", "finished", ""},
    {"NotifyOffBeforeEndStillOwed", "notify name open play quiet end", AudioMode::Stopped,
     "load play.wav,play,stop", "finished", ""},
    {"QuietPauseResumeOwesNothing", "name open play pause pause end", AudioMode::Stopped,
     "load play.wav,play,pause,resume,stop", "", ""},
};

INSTANTIATE_TEST_SUITE_P(Rows, SimulatedAudioModes, ::testing::ValuesIn(modeRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SimulatedAudio, CompletionComesOnlyFromTheEventLoopInOrder)
{
    SimulatedAudio audio;
    std::vector<std::pair<AudioCompletion, AudioMode>> seen;
    audio.SetCompletionHandler(
        [&](AudioCompletion c) { seen.emplace_back(c, audio.Mode()); });
    std::string message;
    audio.SetNotify(true);
    audio.SetFileName("play.wav");
    ASSERT_TRUE(audio.Open(message));
    ASSERT_TRUE(audio.Play(message));
    // A second play while one runs: close, open and play again, as the main window does.
    audio.Close();
    ASSERT_TRUE(audio.Open(message));
    ASSERT_TRUE(audio.Play(message));
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(audio.DeliverCompletions(), 1);
    ASSERT_EQ(seen.size(), 1u);
    // The report of the closed play arrives while the second one runs.
    EXPECT_EQ(seen[0], std::make_pair(AudioCompletion::Aborted, AudioMode::Playing));
    audio.FinishPlay();
    EXPECT_EQ(audio.DeliverCompletions(), 1);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], std::make_pair(AudioCompletion::Finished, AudioMode::Stopped));
    EXPECT_EQ(audio.DeliverCompletions(), 0);
}

TEST(SimulatedAudio, HandlerMayCloseTheDeviceAndReplaceItself)
{
    SimulatedAudio audio;
    int calls = 0;
    audio.SetCompletionHandler([&](AudioCompletion) {
        ++calls;
        audio.Close();
        audio.SetCompletionHandler({});
    });
    std::string message;
    audio.SetNotify(true);
    audio.SetFileName("play.wav");
    ASSERT_TRUE(audio.Open(message));
    ASSERT_TRUE(audio.Play(message));
    audio.FinishPlay();
    ASSERT_TRUE(audio.Open(message));
    ASSERT_TRUE(audio.Play(message));
    audio.FinishPlay();
    EXPECT_EQ(audio.DeliverCompletions(), 2);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(audio.Mode(), AudioMode::NotReady);
}

TEST(SimulatedAudio, PositionMovesOnlyWhileRunning)
{
    SimulatedAudio audio;
    std::string message;
    audio.SetFileName("rec.wav");
    ASSERT_TRUE(audio.Open(message));
    audio.Advance(10);
    EXPECT_EQ(audio.Position(), 0);
    ASSERT_TRUE(audio.StartRecording(message));
    audio.Advance(100);
    ASSERT_TRUE(audio.PauseOrResume(message));
    audio.Advance(50);
    EXPECT_EQ(audio.Position(), 100);
    ASSERT_TRUE(audio.PauseOrResume(message));
    audio.Advance(5);
    audio.Stop();
    EXPECT_EQ(audio.Position(), 105);
    audio.Close();
    EXPECT_EQ(audio.Position(), 0);
}

TEST(SimulatedAudio, TakeWriterReceivesTheFileAndItsAnswerIsPassedOn)
{
    SimulatedAudio audio;
    std::string written;
    audio.SetTakeWriter([&](const std::string& name, std::string& message) {
        written = name;
        message = "disk full";
        return false;
    });
    std::string message;
    audio.SetFileName("rec.wav");
    ASSERT_TRUE(audio.Open(message));
    ASSERT_TRUE(audio.StartRecording(message));
    audio.Stop();
    EXPECT_FALSE(audio.SaveRecording(message));
    EXPECT_EQ(message, "disk full");
    EXPECT_EQ(written, "rec.wav");
}

TEST(SimulatedAudio, InstallsItselfForItsLifetime)
{
    EXPECT_EQ(FindService<AudioDevice>(), nullptr);
    {
        SimulatedAudio outer;
        EXPECT_EQ(&GetService<AudioDevice>(), &outer);
        {
            SimulatedAudio inner;
            EXPECT_EQ(&GetService<AudioDevice>(), &inner);
        }
        EXPECT_EQ(&GetService<AudioDevice>(), &outer);
    }
    EXPECT_EQ(FindService<AudioDevice>(), nullptr);
}

} // namespace
