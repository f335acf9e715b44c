// Play and record with the simulated device: the states the commands move through, the files a
// play writes, a recording read back into its wave, and the failures on the way.
#include "ShellSupport.h"

#include "document/records/WaveFileProps.h"
#include "platform/test/SimulatedAudio.h"
#include "shell/PlayRecord.h"

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class PlayRecordTest : public ShellTest
{
protected:
    void SetUp() override
    {
        Start();
        player = std::make_unique<TPlayRecord>(*form, audio);
    }
    void TearDown() override
    {
        EXPECT_TRUE(messages.Unexpected().empty()) << messages.Unexpected().front().text;
        player.reset();
        form.reset();
        Flush();
    }

    TMDIChildKelvorn* OpenSound(SoundPtr sound)
    {
        return Add(new TMDIChildKelvorn, std::make_unique<TUnitWave>("Wave", "", std::move(sound)));
    }
    TMDIChildKelvorn* OpenEmpty(int16_t channels = 1, int32_t freq = 11025, int16_t bytes = 1)
    {
        return Add(new TMDIChildKelvorn,
                   std::make_unique<TUnitWave>("Empty", "", TWaveFileProps(channels, freq, bytes)));
    }
    /// The take writes sound to the record file when the recording is saved.
    void RecordsSound(SoundPtr sound)
    {
        audio.SetTakeWriter([sound](const std::string& file, std::string& message) {
            return WriteWaveFile(nullptr, file, sound.get(), 0, -1, message);
        });
    }
    void Press(const char* name)
    {
        ASSERT_TRUE(A(name)->isEnabled()) << name;
        A(name)->trigger();
    }
    /// The completion events the event loop would deliver now, then the idle update.
    int Deliver()
    {
        const int count = audio.DeliverCompletions();
        form->ActionListUpdate();
        return count;
    }
    /// Play, Play Maximal, Record and Pause checked, Stop enabled: "PMRAS", '.' for off.
    std::string Shown() const
    {
        std::string shown;
        for (const auto& [name, letter] :
             {std::pair{"FilePlay", 'P'}, std::pair{"FilePlayMax", 'M'},
              std::pair{"FileRecord", 'R'}, std::pair{"FilePause", 'A'}})
            shown += A(name)->isChecked() ? letter : '.';
        return shown + (A("FileStop")->isEnabled() ? 'S' : '.');
    }
    /// The device's log since the last call, the files named PLAY and REC.
    std::string Log()
    {
        std::string log;
        for (std::string entry : audio.TakeLog()) {
            for (const auto& [file, word] :
                 {std::pair{player->PlayFile(), "PLAY"}, std::pair{player->RecordFile(), "REC"}})
                if (entry.size() > file.size() && entry.substr(entry.size() - file.size()) == file)
                    entry = entry.substr(0, entry.size() - file.size()) + word;
            log += (log.empty() ? "" : ",") + entry;
        }
        return log;
    }

    SimulatedAudio audio;
    std::unique_ptr<TPlayRecord> player;
};

// Each step: a command pressed ("Play", "Max", "Rec", "Pause", "Stop"), Pause asked for while
// its action is off ("Hold"), the end of the play ("Finish"), the delivery of one completion
// ("Deliver") or an empty wave opened ("Empty"); then the device's log and the states shown.
TEST_F(PlayRecordTest, TheCommandsMoveThroughTheirStates)
{
    // "step/log/shown" separated by "; ".
    const char* const scripts[] = {
        // A play runs to its end and everything goes back.
        "Play/load PLAY,play/P...S; Finish/stop/P...S; Deliver/unload/.....",
        // A second play closes the first and ignores its completion once.
        "Play/load PLAY,play/P...S; Max/stop,unload,load PLAY,play/.M..S; Deliver//.M..S; "
        "Finish/stop/.M..S; Deliver/unload/.....",
        // An end already queued when Play is pressed again is the one ignored.
        "Play/load PLAY,play/P...S; Finish/stop/P...S; Play/unload,load PLAY,play/P...S; "
        "Deliver//P...S",
        // Stop ends the play and its late event changes nothing.
        "Play/load PLAY,play/P...S; Stop/stop,unload/.....; Play/load PLAY,play/P...S; "
        "Deliver//P...S",
        // Pause holds a play and the next Pause goes on.
        "Play/load PLAY,play/P...S; Pause/pause/P..AS; Deliver//P..AS; Pause/resume/P...S; "
        "Finish/stop/P...S; Deliver/unload/.....",
        // Play while a play is paused waits for Pause like the next play would.
        "Play/load PLAY,play/P...S; Pause/pause/P..AS; Deliver//P..AS; "
        "Max/stop,unload,load PLAY/.M.AS; Pause/play/.M..S",
        // Pause with nothing running prepares the next play; twice it holds nothing; Stop of
        // a prepared play keeps the pause for the next.
        "Pause//...A.; Pause//.....; Play/load PLAY,play/P...S",
        "Pause//...A.; Play/load PLAY/P..AS; Stop/unload/...A.; Play/load PLAY/P..AS",
        // Record pressed while recording stops it.
        "Empty//.....; Rec/load REC,record/..R.S; Rec/stop,save REC,unload/.....",
        // Pause with nothing running prepares the next recording, which Stop ends untaken.
        "Empty//.....; Pause//...A.; Rec/load REC/..RAS; Pause/record/..R.S; Hold/pause/..RAS; "
        "Hold/resume/..R.S; Deliver//..R.S",
        "Empty//.....; Pause//...A.; Rec/load REC/..RAS; Stop/unload/...A.",
        // Record closes a running play.
        "Play/load PLAY,play/P...S; Empty//P...S; Rec/stop,unload,load REC,record/..R.S; "
        "Deliver//..R.S"};
    for (const std::string script : scripts) {
        SCOPED_TRACE(script);
        OpenSound(Values(Steps(100)));
        std::istringstream steps(script);
        for (std::string step; std::getline(steps >> std::ws, step, ';');) {
            const std::string what = step.substr(0, step.find('/'));
            const std::string log = step.substr(what.size() + 1, step.rfind('/') - what.size() - 1);
            if (what == "Finish")
                audio.FinishPlay();
            else if (what == "Deliver")
                EXPECT_EQ(Deliver(), 1) << what;
            else if (what == "Empty")
                OpenEmpty();
            else if (what == "Hold")
                player->FilePauseExecute();
            else
                Press(what == "Play"    ? "FilePlay"
                      : what == "Max"   ? "FilePlayMax"
                      : what == "Rec"   ? "FileRecord"
                      : what == "Pause" ? "FilePause"
                                        : "FileStop");
            EXPECT_EQ(Log(), log) << what;
            EXPECT_EQ(Shown(), step.substr(step.rfind('/') + 1)) << what;
        }
        if (A("FileStop")->isEnabled())
            Press("FileStop");
        if (player->IsPaused())
            Press("FilePause");
        while (Deliver() > 0) {
        }
        EXPECT_EQ(player->IgnoredNotifications(), 0);
        for (QMdiSubWindow* window : form->Frame()->subWindowList())
            delete window;
        Flush();
        audio.TakeLog();
    }
}

TEST_F(PlayRecordTest, ARecordingFillsTheEmptyWaveInItsOwnFormat)
{
    // Channels and bytes of the empty wave; channels, rate, bytes and values of the take. A
    // constant level survives every conversion unchanged.
    const int rows[][6] = {{1, 1, 1, 11025, 1, 100},
                           {2, 2, 1, 11025, 2, 100},
                           {1, 1, 1, 22050, 1, 200},
                           {1, 1, 2, 44100, 2, 400}};
    for (const auto& [channels, bytes, recChannels, recFreq, recBytes, recValues] : rows) {
        TMDIChildKelvorn* window = OpenEmpty(int16_t(channels), 11025, int16_t(bytes));
        TUnitWave& unit = *UnitWaveOf(window);
        EXPECT_FALSE(A("FilePlay")->isEnabled());
        Press("FileRecord");
        EXPECT_EQ(player->RecordUnitWave(), &unit);
        EXPECT_FALSE(A("FilePause")->isEnabled());
        // The record file carries the wave's format for the device to record in.
        const SoundPtr format = ReadBack(player->RecordFile());
        EXPECT_EQ(format->GetMonoStereo() * 100 + format->GetBytesPSample(),
                  channels * 100 + bytes);
        EXPECT_EQ(format->GetSampleFreq(), 11025);
        RecordsSound(Values(V(size_t(recValues), 2560), int16_t(recChannels), recFreq,
                            int16_t(recBytes), 1));
        Press("FileStop");
        EXPECT_EQ(unit.GetMonoStereo() * 100 + unit.GetBytesPSample(), channels * 100 + bytes);
        EXPECT_EQ(unit.GetSampleFreq(), 11025);
        EXPECT_EQ(unit.GetValues(), 100);
        EXPECT_EQ(LeftOf(*unit.GetSound())[1], 2560);
        EXPECT_EQ(RightOf(*unit.GetSound())[99], 2560);
        EXPECT_TRUE(unit.IsModified());
        EXPECT_EQ(player->RecordUnitWave(), nullptr);
        form->ActionListUpdate();
        EXPECT_TRUE(A("FilePlay")->isEnabled() && !A("FileRecord")->isEnabled());
        EXPECT_EQ(Deliver(), 1); // the stopped recording's
        EXPECT_EQ(unit.GetValues(), 100);
        delete window;
    }
}

TEST_F(PlayRecordTest, TheRecordingGoesWithItsWaveAndStopsPlayMeanwhile)
{
    for (bool deleted : {false, true}) {
        TMDIChildKelvorn* other = OpenSound(Values(Steps(100)));
        TMDIChildKelvorn* window = OpenEmpty();
        Press("FileRecord");
        // Other windows play neither through their commands nor through PlaySound.
        OpenSound(Values(Steps(100)));
        EXPECT_FALSE(A("FilePlay")->isEnabled() || A("FilePlayMax")->isEnabled());
        EXPECT_FALSE(player->PlaySound(*Values(Steps(10)), false));
        player->FilePlayExecute();
        EXPECT_EQ(Log(), "load REC,record");
        delete form->Documents().GetActiveChild();
        EXPECT_EQ(audio.Mode(), AudioMode::Recording) << "another window closed";
        deleted ? delete window : void(window->close());
        Flush();
        EXPECT_EQ(player->RecordUnitWave(), nullptr);
        EXPECT_EQ(Log(), "stop,unload");
        Add(other);
        EXPECT_TRUE(Shown() == "....." && A("FilePlay")->isEnabled());
        player->FileStopExecute(); // nothing left to write into
        EXPECT_EQ(Log(), "");
        EXPECT_EQ(Deliver(), 1);
        EXPECT_EQ(player->IgnoredNotifications(), 0);
        delete other;
    }
}

TEST_F(PlayRecordTest, FailuresSaySoAndLeaveNothingRunningOrChecked)
{
    TMDIChildKelvorn* window = OpenEmpty();
    TUnitWave& unit = *UnitWaveOf(window);
    // A take that cannot be read back.
    Press("FileRecord");
    audio.SetTakeWriter([](const std::string& file, std::string&) {
        std::ofstream(file, std::ios::binary) << "RIFX";
        return true;
    });
    messages.Expect();
    Press("FileStop");
    Deliver();
    SoundUPtr unused;
    std::string reason;
    ASSERT_FALSE(ReadWaveFile(player->RecordFile(), unused, reason));
    EXPECT_EQ(LastBox(),
              "File Error: Cannot read the file: \"" + player->RecordFile() + "\", " + reason);
    EXPECT_EQ(messages.Shown().back().icon, MsgIcon::Information);
    // A take that cannot be saved.
    Press("FileRecord");
    audio.SetTakeWriter([](const std::string&, std::string& message) {
        message = "The disk is full.";
        return false;
    });
    messages.Expect();
    Press("FileStop");
    Deliver();
    EXPECT_EQ(LastBox(), "Kelvorn 9.0: The disk is full.");
    EXPECT_EQ(unit.GetValues(), 0);
    EXPECT_FALSE(unit.IsModified());
    EXPECT_EQ(Shown(), ".....");
    // The device giving up under a play.
    OpenSound(Values(Steps(100)));
    Press("FilePlay");
    audio.FailStream();
    messages.Expect();
    EXPECT_EQ(Deliver(), 1);
    EXPECT_EQ(LastBox(), std::string("Kelvorn 9.0: ") + PlayFailedText);
    EXPECT_EQ(messages.Shown().back().icon, MsgIcon::Error);
    EXPECT_EQ(Shown(), ".....");
    // A refused start.
    audio.FailStart("The sound server went away.");
    messages.Expect();
    Press("FilePlay");
    EXPECT_EQ(messages.Shown().back().text, "The sound server went away.");
    EXPECT_EQ(audio.Mode(), AudioMode::NotReady);
    EXPECT_EQ(Shown(), ".....");
    OpenEmpty();
    messages.Expect();
    Press("FileRecord");
    EXPECT_EQ(player->RecordUnitWave(), nullptr);
    EXPECT_EQ(Shown(), ".....");
}

// Without a device of a kind its command stays off and its tips say why; without any, one box
// at start says so too, no command brings it again, and Pause and Stop stay off with the others.
TEST_F(ShellTest, WithoutDevicesPlayAndRecordStayOffAndSayWhy)
{
    // Output, input, the one box at start ("" none).
    const std::tuple<bool, bool, std::string> rows[] = {
        {false, false, "No audio output or input device is available. Play and Record disabled"},
        {true, false, ""},
        {false, true, ""},
    };
    for (const auto& [output, input, box] : rows) {
        SCOPED_TRACE(box);
        SimulatedAudio audio;
        audio.SetOutput(output);
        audio.SetInput(input);
        messages.Clear();
        if (!box.empty())
            messages.Expect();
        Start();
        auto player = std::make_unique<TPlayRecord>(*form, audio);
        form->ActionListUpdate();
        EXPECT_EQ(A("FilePause")->isEnabled(), output || input) << "without a document";
        OpenWave("Wave 1", 1, 100);
        EXPECT_EQ(A("FilePlay")->isEnabled() + A("FilePlayMax")->isEnabled(), 2 * output);
        EXPECT_EQ(A("FilePause")->isEnabled(), output || input);
        EXPECT_FALSE(A("FileStop")->isEnabled());
        if (!output) {
            EXPECT_EQ(A("FilePlay")->toolTip().toStdString(), AudioNoOutputText);
        }
        OpenWave("Wave 2");
        EXPECT_EQ(A("FileRecord")->isEnabled(), input);
        if (!input) {
            EXPECT_EQ(A("FileRecord")->statusTip().toStdString(), AudioNoInputText);
        }
        // What is still there to press brings no box again.
        for (const char* name : {"FilePlay", "FilePlayMax", "FileRecord", "FilePause"})
            A(name)->trigger();
        if (!output && !input) {
            EXPECT_FALSE(A("FilePause")->isChecked()) << "W does not check a disabled Pause";
        }
        std::vector<std::string> shown;
        for (const ShownMessage& m : messages.Shown())
            shown.push_back(m.caption + ": " + m.text + (m.icon == MsgIcon::Warning ? " (!)" : ""));
        EXPECT_EQ(shown, box.empty() ? std::vector<std::string>{}
                                     : std::vector<std::string>{"Error: " + box + " (!)"});
        player.reset();
        form.reset();
        Flush();
    }
}

TEST_F(ShellTest, WithoutTheTemporaryDirectoryPlayAndRecordStayOffAndSayWhy)
{
    tempDir.FailCreation("/no/such/kelvorn-tmp");
    messages.Expect();
    Start();
    EXPECT_EQ(LastBox(), "Error: Could not create directory \"/no/such/kelvorn-tmp\". Play and "
                         "Record disabled");
    EXPECT_EQ(messages.Shown().at(0).icon, MsgIcon::Warning);
    EXPECT_FALSE(form->PlayRecordAvailable());
    // A device without outputs or inputs adds no second box to say it again.
    SimulatedAudio audio;
    audio.SetOutput(false);
    audio.SetInput(false);
    auto player = std::make_unique<TPlayRecord>(*form, audio);
    EXPECT_EQ(messages.Shown().size(), 1u);
    OpenWave("Wave", 1, 100);
    EXPECT_FALSE(A("FilePlay")->isEnabled() || A("FilePause")->isEnabled());
    player.reset();
}

} // namespace
