// Play and record with the simulated device: every state the commands move through, the files
// a play writes, a recording read back into its wave, and the failures on the way.
#include "waveui/WaveWindow.h"
#include "PlayRecordTestSupport.h"

#include <QMdiArea>

#include <filesystem>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using Log = std::vector<std::string>;

class PlayRecordStates : public PlayRecordTest
{
protected:
    void TearDown() override
    {
        for (const ShownMessage& box : messages.Unexpected())
            ADD_FAILURE() << "unexpected box: " << box.caption << ": " << box.text;
    }

    /// Checks FilePlay, FilePlayMax, FileRecord, FilePause (checked) and FileStop (enabled).
    void ExpectShown(bool play, bool playMax, bool record, bool pause, bool stop)
    {
        EXPECT_EQ(A("FilePlay")->isChecked(), play);
        EXPECT_EQ(A("FilePlayMax")->isChecked(), playMax);
        EXPECT_EQ(A("FileRecord")->isChecked(), record);
        EXPECT_EQ(A("FilePause")->isChecked(), pause);
        EXPECT_EQ(A("FileStop")->isEnabled(), stop);
    }
};

// ---- Playing --------------------------------------------------------------------------------

struct PartRow
{
    const char* name;
    int32_t pos1;
    int32_t pos2;
    int32_t first;
    int32_t count;
};

class PlayedPart : public PlayRecordStates, public ::testing::WithParamInterface<PartRow>
{
};

TEST_P(PlayedPart, ThePlayFileHoldsExactlyThePart)
{
    const PartRow& row = GetParam();
    TMDIChildKelvorn* window = OpenSound("Wave 1", MainFormRamp(2, 300));
    UnitWaveOf(window)->SetPos1(row.pos1);
    UnitWaveOf(window)->SetPos2(row.pos2);
    Press("FilePlay");

    EXPECT_EQ(audio.TakeLog(), (Log{Load(player->PlayFile()), "play"}));
    EXPECT_EQ(audio.Mode(), AudioMode::Playing);
    std::vector<int16_t> expected;
    for (int32_t i = row.first; i < row.first + row.count; ++i)
        expected.push_back(static_cast<int16_t>(i));
    EXPECT_EQ(ReadLeft(player->PlayFile()), expected);
    ExpectShown(true, false, false, false, true);
}

INSTANTIATE_TEST_SUITE_P(Rows, PlayedPart,
                         ::testing::Values(PartRow{"CursorPlaysAll", 120, 120, 0, 300},
                                           PartRow{"RightToLeft", 100, 50, 50, 50},
                                           PartRow{"LeftToRight", 50, 100, 50, 50},
                                           PartRow{"LastValue", 299, 300, 299, 1},
                                           PartRow{"CursorAtEnd", 300, 300, 0, 300}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlayRecordStates, PlayMaximalPlaysAFullLevelCopyAndLeavesTheDocumentAlone)
{
    // A quiet wave, -40..39: the maximised copy is scaled by 32767 / 40.
    SoundPtr quiet = MakeSound(1, 22050, 2, 200, [](int32_t i) { return int16_t(i % 80 - 40); });
    TMDIChildKelvorn* window = OpenSound("Quiet", quiet);
    UnitWaveOf(window)->SetPart(80, 160);
    UnitWaveOf(window)->ClearModified();
    Press("FilePlayMax");

    ExpectShown(false, true, false, false, true);
    SoundUPtr played;
    const std::vector<int16_t> values = ReadLeft(player->PlayFile(), &played);
    ASSERT_EQ(values.size(), 80u);
    EXPECT_EQ(played->GetSampleFreq(), 22050);
    EXPECT_EQ(values[0], -32767);
    EXPECT_EQ(values[40], 0);
    EXPECT_EQ(values[79], 31947); // 39 × 32767 / 40, truncated
    EXPECT_EQ(UnitWaveOf(window)->GetSound(), quiet);
    EXPECT_EQ((*quiet->GetLeftWave())[80], -40);
    EXPECT_FALSE(UnitWaveOf(window)->IsDataModified());
}

TEST_F(PlayRecordStates, APlayRunsToItsEndAndEverythingGoesBack)
{
    OpenSound("Wave 1", MainFormRamp(1, 100));
    Press("FilePlay");
    audio.TakeLog();
    audio.FinishPlay();
    EXPECT_EQ(Deliver(), 1);
    EXPECT_EQ(audio.Mode(), AudioMode::NotReady);
    EXPECT_EQ(audio.TakeLog(), (Log{"stop", "unload"}));
    ExpectShown(false, false, false, false, false);
    EXPECT_EQ(player->IgnoredNotifications(), 0);
}

TEST_F(PlayRecordStates, ASecondPlayClosesTheFirstAndIgnoresItsCompletionOnce)
{
    OpenSound("Wave 1", MainFormRamp(1, 100));
    Press("FilePlay");
    Press("FilePlayMax");
    EXPECT_EQ(player->IgnoredNotifications(), 1);
    ExpectShown(false, true, false, false, true);

    EXPECT_EQ(Deliver(), 1); // the first play's end, ignored
    EXPECT_EQ(audio.Mode(), AudioMode::Playing);
    ExpectShown(false, true, false, false, true);

    audio.FinishPlay();
    EXPECT_EQ(Deliver(), 1);
    ExpectShown(false, false, false, false, false);
    EXPECT_EQ(player->IgnoredNotifications(), 0);
}

TEST_F(PlayRecordStates, AnEndAlreadyQueuedWhenPlayIsPressedAgainIsTheOneIgnored)
{
    OpenSound("Wave 1", MainFormRamp(1, 100));
    Press("FilePlay");
    audio.FinishPlay(); // its event waits in the queue
    Press("FilePlay");
    EXPECT_EQ(Deliver(), 1);
    EXPECT_EQ(audio.Mode(), AudioMode::Playing);
    ExpectShown(true, false, false, false, true);
}

TEST_F(PlayRecordStates, StopEndsThePlayAndItsLateEventChangesNothing)
{
    OpenSound("Wave 1", MainFormRamp(1, 100));
    Press("FilePlay");
    audio.TakeLog();
    Press("FileStop");
    EXPECT_EQ(audio.TakeLog(), (Log{"stop", "unload"}));
    ExpectShown(false, false, false, false, false);
    Press("FilePlay");
    EXPECT_EQ(Deliver(), 1); // the stopped play's
    EXPECT_EQ(audio.Mode(), AudioMode::Playing);
    ExpectShown(true, false, false, false, true);
}

TEST_F(PlayRecordStates, PauseHoldsAPlayAndTheNextPauseGoesOn)
{
    OpenSound("Wave 1", MainFormRamp(1, 100));
    Press("FilePlay");
    audio.TakeLog();
    Press("FilePause");
    EXPECT_EQ(audio.Mode(), AudioMode::Paused);
    ExpectShown(true, false, false, true, true);
    EXPECT_EQ(Deliver(), 1);
    ExpectShown(true, false, false, true, true);

    Press("FilePause");
    EXPECT_EQ(audio.TakeLog(), (Log{"pause", "resume"}));
    EXPECT_EQ(audio.Mode(), AudioMode::Playing);
    ExpectShown(true, false, false, false, true);
    audio.FinishPlay();
    EXPECT_EQ(Deliver(), 1);
    ExpectShown(false, false, false, false, false);
}

TEST_F(PlayRecordStates, PlayWhileAPlayIsPausedWaitsForPauseLikeTheNextPlayWould)
{
    OpenSound("Wave 1", MainFormRamp(1, 100));
    Press("FilePlay");
    Press("FilePause");
    Deliver();
    audio.TakeLog();
    Press("FilePlayMax");
    EXPECT_EQ(audio.TakeLog(), (Log{"stop", "unload", Load(player->PlayFile())}));
    EXPECT_TRUE(player->IsPlayPending());
    ExpectShown(false, true, false, true, true);
    Press("FilePause");
    EXPECT_EQ(audio.TakeLog(), (Log{"play"}));
    ExpectShown(false, true, false, false, true);
    EXPECT_EQ(player->IgnoredNotifications(), 0);
}

TEST_F(PlayRecordStates, PauseWithNothingRunningPreparesTheNextPlay)
{
    OpenSound("Wave 1", MainFormRamp(1, 100));
    Press("FilePause");
    EXPECT_TRUE(player->IsPaused());
    ExpectShown(false, false, false, true, false);

    Press("FilePlay");
    EXPECT_EQ(audio.TakeLog(), (Log{Load(player->PlayFile())}));
    EXPECT_TRUE(player->IsPlayPending());
    EXPECT_EQ(audio.Mode(), AudioMode::Stopped);
    ExpectShown(true, false, false, true, true);

    Press("FilePause");
    EXPECT_EQ(audio.TakeLog(), (Log{"play"}));
    EXPECT_FALSE(player->IsPlayPending());
    EXPECT_FALSE(player->IsPaused());
    ExpectShown(true, false, false, false, true);
}

TEST_F(PlayRecordStates, PauseTwiceWithNothingRunningHoldsNothing)
{
    OpenSound("Wave 1", MainFormRamp(1, 100));
    Press("FilePause");
    Press("FilePause");
    EXPECT_FALSE(player->IsPaused());
    Press("FilePlay");
    EXPECT_EQ(audio.TakeLog(), (Log{Load(player->PlayFile()), "play"}));
    ExpectShown(true, false, false, false, true);
}

TEST_F(PlayRecordStates, StopOfAPreparedPlayKeepsThePauseForTheNext)
{
    OpenSound("Wave 1", MainFormRamp(1, 100));
    Press("FilePause");
    Press("FilePlay");
    Press("FileStop");
    EXPECT_FALSE(player->IsPlayPending());
    EXPECT_TRUE(player->IsPaused());
    ExpectShown(false, false, false, true, false);
    audio.TakeLog();
    Press("FilePlay");
    EXPECT_EQ(audio.TakeLog(), (Log{Load(player->PlayFile())}));
    EXPECT_TRUE(player->IsPlayPending());
}

TEST_F(PlayRecordStates, PlaySoundOfAnotherWindowPlaysTheWholeSound)
{
    SoundPtr sound = MakeSound(2, 8000, 1, 40, [](int32_t i) { return int16_t(i * 256); });
    form->PlaySound(*sound, false);
    SoundUPtr played;
    const std::vector<int16_t> values = ReadLeft(player->PlayFile(), &played);
    ASSERT_EQ(values.size(), 40u);
    EXPECT_EQ(values[39], 39 * 256);
    EXPECT_EQ(played->GetMonoStereo(), 2);
    EXPECT_EQ(played->GetBytesPSample(), 1);
    ExpectShown(true, false, false, false, true);
}

// ---- Recording ------------------------------------------------------------------------------

TEST_F(PlayRecordStates, RecordingIntoAnEmpty8BitMonoWaveFillsItAndMarksItModified)
{
    TMDIChildKelvorn* window = OpenEmpty("Empty", 1, 11025, 1);
    TUnitWave& unit = *UnitWaveOf(window);
    EXPECT_FALSE(A("FilePlay")->isEnabled());
    Press("FileRecord");

    EXPECT_EQ(audio.TakeLog(), (Log{Load(player->RecordFile()), "record"}));
    EXPECT_EQ(audio.Mode(), AudioMode::Recording);
    EXPECT_EQ(player->RecordUnitWave(), &unit);
    ExpectShown(false, false, true, false, true);
    EXPECT_FALSE(A("FilePause")->isEnabled());
    // The record file carries the wave's format for the device to record in.
    SoundUPtr format;
    EXPECT_TRUE(ReadLeft(player->RecordFile(), &format).empty());
    ASSERT_TRUE(format);
    EXPECT_EQ(format->GetMonoStereo(), 1);
    EXPECT_EQ(format->GetSampleFreq(), 11025);
    EXPECT_EQ(format->GetBytesPSample(), 1);

    RecordsSound(MakeSound(1, 11025, 1, 500, [](int32_t i) { return int16_t((i % 50) * 256); }));
    Press("FileStop");
    EXPECT_EQ(audio.TakeLog(), (Log{"stop", "save " + player->RecordFile(), "unload"}));
    EXPECT_EQ(unit.GetValues(), 500);
    EXPECT_EQ(unit.GetMonoStereo(), 1);
    EXPECT_EQ(unit.GetSampleFreq(), 11025);
    EXPECT_EQ(unit.GetBytesPSample(), 1);
    EXPECT_EQ((*unit.GetSound()->GetLeftWave())[49], 49 * 256);
    EXPECT_TRUE(unit.IsModified());
    EXPECT_EQ(link.refreshes, 1);
    EXPECT_EQ(player->RecordUnitWave(), nullptr);
    form->ActionListUpdate();
    ExpectShown(false, false, false, false, false);
    EXPECT_TRUE(A("FilePlay")->isEnabled());
    EXPECT_FALSE(A("FileRecord")->isEnabled());
    EXPECT_EQ(Deliver(), 1); // the stopped recording's
    EXPECT_EQ(unit.GetValues(), 500);
}

TEST_F(PlayRecordStates, RecordPressedWhileRecordingStopsIt)
{
    TMDIChildKelvorn* window = OpenEmpty("Empty", 2, 44100, 2);
    Press("FileRecord");
    RecordsSound(MakeSound(2, 44100, 2, 30, [](int32_t i) { return int16_t(i); }));
    audio.TakeLog();
    Press("FileRecord");
    EXPECT_EQ(audio.TakeLog(), (Log{"stop", "save " + player->RecordFile(), "unload"}));
    EXPECT_EQ(UnitWaveOf(window)->GetValues(), 30);
    ExpectShown(false, false, false, false, false);
}

TEST_F(PlayRecordStates, PauseWithNothingRunningPreparesTheNextRecording)
{
    OpenEmpty("Empty", 1, 11025, 1);
    Press("FilePause");
    Press("FileRecord");
    EXPECT_EQ(audio.TakeLog(), (Log{Load(player->RecordFile())}));
    EXPECT_TRUE(player->IsRecordPending());
    ExpectShown(false, false, true, true, true);
    // The waiting recording is what Pause is for: it stays enabled.
    EXPECT_TRUE(A("FilePause")->isEnabled());

    Press("FilePause");
    EXPECT_EQ(audio.TakeLog(), (Log{"record"}));
    EXPECT_EQ(audio.Mode(), AudioMode::Recording);
    ExpectShown(false, false, true, false, true);
    EXPECT_FALSE(A("FilePause")->isEnabled());
}

TEST_F(PlayRecordStates, StopOfARecordingThatNeverStartedLeavesTheWaveEmpty)
{
    TMDIChildKelvorn* window = OpenEmpty("Empty", 1, 11025, 1);
    Press("FilePause");
    Press("FileRecord");
    audio.TakeLog();
    Press("FileStop");
    EXPECT_EQ(audio.TakeLog(), (Log{"unload"}));
    EXPECT_EQ(player->RecordUnitWave(), nullptr);
    EXPECT_EQ(UnitWaveOf(window)->GetValues(), 0);
    EXPECT_FALSE(UnitWaveOf(window)->IsModified());
    ExpectShown(false, false, false, true, false);
}

TEST_F(PlayRecordStates, RecordClosesARunningPlayAndShowsItStopped)
{
    OpenSound("Wave 1", MainFormRamp(1, 100));
    Press("FilePlay");
    OpenEmpty("Empty", 1, 11025, 1);
    Press("FileRecord");
    EXPECT_EQ(audio.Mode(), AudioMode::Recording);
    ExpectShown(false, false, true, false, true);
    EXPECT_EQ(Deliver(), 1); // the closed play's
    EXPECT_EQ(audio.Mode(), AudioMode::Recording);
    ExpectShown(false, false, true, false, true);
}

// ---- Faults ---------------------------------------------------------------------------------

struct GoneRow
{
    const char* name;
    bool deleteWindow; // else closed
};

class RecordTargetGone : public PlayRecordStates, public ::testing::WithParamInterface<GoneRow>
{
};

TEST_P(RecordTargetGone, TheRecordingIsDroppedAndRecordUnchecked)
{
    TMDIChildKelvorn* other = OpenSound("Wave 1", MainFormRamp(1, 100));
    TMDIChildKelvorn* window = OpenEmpty("Empty", 1, 11025, 1);
    Press("FileRecord");
    audio.TakeLog();
    if (GetParam().deleteWindow)
        delete window;
    else
        EXPECT_TRUE(window->close());
    Flush();

    EXPECT_EQ(player->RecordUnitWave(), nullptr);
    EXPECT_EQ(audio.Mode(), AudioMode::NotReady);
    EXPECT_EQ(audio.TakeLog(), (Log{"stop", "unload"}));
    form->Frame()->setActiveSubWindow(other);
    form->ActionListUpdate();
    ExpectShown(false, false, false, false, false);
    EXPECT_TRUE(A("FilePlay")->isEnabled());
    // Stop has nothing left to write into.
    player->FileStopExecute();
    EXPECT_EQ(audio.TakeLog(), Log{});
    EXPECT_EQ(Deliver(), 1);
    EXPECT_EQ(player->IgnoredNotifications(), 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, RecordTargetGone,
                         ::testing::Values(GoneRow{"Closed", false}, GoneRow{"Deleted", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlayRecordStates, ClosingAnotherWindowLeavesTheRecordingRunning)
{
    TMDIChildKelvorn* other = OpenEmpty("Other", 1, 11025, 1);
    OpenEmpty("Empty", 1, 11025, 1);
    Press("FileRecord");
    delete other;
    Flush();
    EXPECT_NE(player->RecordUnitWave(), nullptr);
    EXPECT_EQ(audio.Mode(), AudioMode::Recording);
}

TEST_F(PlayRecordStates, PlayIsDisabledAndRefusedWhileARecordingRuns)
{
    OpenEmpty("Empty", 1, 11025, 1);
    Press("FileRecord");
    OpenSound("Wave 1", MainFormRamp(1, 100));
    EXPECT_FALSE(A("FilePlay")->isEnabled());
    EXPECT_FALSE(A("FilePlayMax")->isEnabled());
    audio.TakeLog();
    // Other windows play through PlaySound: refused too, the take is kept.
    SoundPtr sound = MainFormRamp(1, 10);
    EXPECT_FALSE(player->PlaySound(*sound, false));
    player->FilePlayExecute();
    EXPECT_EQ(audio.TakeLog(), Log{});
    EXPECT_EQ(audio.Mode(), AudioMode::Recording);
    ExpectShown(false, false, true, false, true);
}

TEST_F(PlayRecordStates, AReadBackFailureSaysSoUnchecksRecordAndKeepsTheWaveEmpty)
{
    TMDIChildKelvorn* window = OpenEmpty("Empty", 1, 11025, 1);
    Press("FileRecord");
    audio.SetTakeWriter([](const std::string& file, std::string&) {
        FILE* f = std::fopen(file.c_str(), "wb");
        std::fputs("RIFX", f);
        std::fclose(f);
        return true;
    });
    SoundUPtr unused;
    std::string readerText;
    messages.Expect();
    Press("FileStop");
    ASSERT_EQ(messages.Shown().size(), 1u);
    ASSERT_FALSE(ReadWaveFile(player->RecordFile(), unused, readerText));
    EXPECT_EQ(messages.Shown()[0].text,
              "Cannot read the file: \"" + player->RecordFile() + "\", " + readerText);
    EXPECT_EQ(messages.Shown()[0].caption, "File Error");
    EXPECT_EQ(messages.Shown()[0].icon, MsgIcon::Information);
    EXPECT_EQ(player->RecordUnitWave(), nullptr);
    EXPECT_EQ(UnitWaveOf(window)->GetValues(), 0);
    EXPECT_FALSE(UnitWaveOf(window)->IsModified());
    EXPECT_EQ(link.refreshes, 0);
    ExpectShown(false, false, false, false, false);
    // The wave can be recorded into again.
    EXPECT_TRUE(A("FileRecord")->isEnabled());
}

TEST_F(PlayRecordStates, AFailedSaveOfTheTakeSaysSoAndKeepsTheWaveEmpty)
{
    TMDIChildKelvorn* window = OpenEmpty("Empty", 1, 11025, 1);
    Press("FileRecord");
    audio.SetTakeWriter([](const std::string&, std::string& message) {
        message = "The disk is full.";
        return false;
    });
    messages.Expect();
    Press("FileStop");
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text, "The disk is full.");
    EXPECT_EQ(messages.Shown()[0].caption, "Kelvorn 9.0");
    EXPECT_EQ(UnitWaveOf(window)->GetValues(), 0);
    ExpectShown(false, false, false, false, false);
}

struct FormatRow
{
    const char* name;
    int16_t docChannels;
    int32_t docFreq;
    int16_t docBytes;
    int16_t recChannels;
    int32_t recFreq;
    int16_t recBytes;
    int32_t recValues;
    int32_t expectedValues;
};

class RecordedFormat : public PlayRecordStates, public ::testing::WithParamInterface<FormatRow>
{
};

TEST_P(RecordedFormat, ARecordingInAnotherFormatTakesTheWavesFormat)
{
    const FormatRow& row = GetParam();
    TMDIChildKelvorn* window = OpenEmpty("Empty", row.docChannels, row.docFreq, row.docBytes);
    Press("FileRecord");
    // A constant level survives every conversion unchanged.
    RecordsSound(MakeSound(row.recChannels, row.recFreq, row.recBytes, row.recValues,
                           [](int32_t) { return int16_t(2560); }));
    Press("FileStop");
    const TUnitWave& unit = *UnitWaveOf(window);
    EXPECT_EQ(unit.GetMonoStereo(), row.docChannels);
    EXPECT_EQ(unit.GetSampleFreq(), row.docFreq);
    EXPECT_EQ(unit.GetBytesPSample(), row.docBytes);
    EXPECT_EQ(unit.GetValues(), row.expectedValues);
    ASSERT_GT(unit.GetValues(), 1);
    EXPECT_EQ((*unit.GetSound()->GetLeftWave())[1], 2560);
    EXPECT_EQ((*unit.GetSound()->GetRightWave())[unit.GetValues() - 1], 2560);
    EXPECT_TRUE(unit.IsModified());
    EXPECT_EQ(link.refreshes, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RecordedFormat,
    ::testing::Values(FormatRow{"Same", 1, 11025, 1, 1, 11025, 1, 100, 100},
                      FormatRow{"StereoIntoMono", 1, 11025, 1, 2, 11025, 1, 100, 100},
                      FormatRow{"MonoIntoStereo", 2, 11025, 2, 1, 11025, 2, 100, 100},
                      FormatRow{"SixteenIntoEight", 1, 11025, 1, 1, 11025, 2, 100, 100},
                      FormatRow{"DoubleRate", 1, 11025, 1, 1, 22050, 1, 200, 100},
                      FormatRow{"Everything", 1, 11025, 1, 2, 44100, 2, 400, 100}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlayRecordStates, AFailedWriteOfTheEmptyWaveStartsNoRecording)
{
    OpenEmpty("Empty", 1, 11025, 1);
    // A directory in the record file's place: the writer cannot put the file there.
    std::filesystem::create_directory(player->RecordFile());
    messages.Expect();
    Press("FileRecord");
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].caption, "FileError");
    EXPECT_EQ(audio.TakeLog(), Log{});
    EXPECT_EQ(player->RecordUnitWave(), nullptr);
    ExpectShown(false, false, false, false, false);
}

TEST_F(PlayRecordStates, AFailedWriteOfThePlayFileLeavesTheRunningPlayAlone)
{
    OpenSound("Wave 1", MainFormRamp(1, 100));
    Press("FilePlay");
    audio.TakeLog();
    std::filesystem::remove(player->PlayFile());
    std::filesystem::create_directory(player->PlayFile());
    messages.Expect();
    Press("FilePlayMax");
    EXPECT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(audio.TakeLog(), Log{});
    EXPECT_EQ(audio.Mode(), AudioMode::Playing);
    ExpectShown(true, false, false, false, true);
}

TEST_F(PlayRecordStates, PauseResumesAPausedRecordingAsARecording)
{
    TMDIChildKelvorn* window = OpenEmpty("Empty", 1, 11025, 1);
    Press("FileRecord");
    audio.TakeLog();
    player->FilePauseExecute();
    EXPECT_EQ(audio.Mode(), AudioMode::Paused);
    EXPECT_TRUE(A("FilePause")->isChecked());
    player->FilePauseExecute();
    EXPECT_EQ(audio.TakeLog(), (Log{"pause", "resume"}));
    EXPECT_EQ(audio.Mode(), AudioMode::Recording);
    EXPECT_FALSE(A("FilePause")->isChecked());
    EXPECT_EQ(Deliver(), 1); // the pause's, ignored

    RecordsSound(MakeSound(1, 11025, 1, 20, [](int32_t) { return int16_t(256); }));
    Press("FileStop");
    EXPECT_EQ(UnitWaveOf(window)->GetValues(), 20);
}

TEST_F(PlayRecordStates, ADeviceGivingUpUnderARecordingKeepsWhatWasTaken)
{
    TMDIChildKelvorn* window = OpenEmpty("Empty", 1, 11025, 1);
    Press("FileRecord");
    RecordsSound(MakeSound(1, 11025, 1, 70, [](int32_t) { return int16_t(0); }));
    audio.FailStream();
    messages.Expect();
    EXPECT_EQ(Deliver(), 1);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text, RecordFailedText);
    EXPECT_EQ(UnitWaveOf(window)->GetValues(), 70);
    ExpectShown(false, false, false, false, false);
}

TEST_F(PlayRecordStates, ADeviceGivingUpUnderAPlaySaysSo)
{
    OpenSound("Wave 1", MainFormRamp(1, 100));
    Press("FilePlay");
    audio.FailStream();
    messages.Expect();
    EXPECT_EQ(Deliver(), 1);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text, PlayFailedText);
    EXPECT_EQ(messages.Shown()[0].caption, "Kelvorn 9.0");
    EXPECT_EQ(messages.Shown()[0].icon, MsgIcon::Error);
    ExpectShown(false, false, false, false, false);
}

TEST_F(PlayRecordStates, ARefusedStartIsShownAndNothingStaysChecked)
{
    OpenSound("Wave 1", MainFormRamp(1, 100));
    audio.FailStart("The sound server went away.");
    messages.Expect();
    Press("FilePlay");
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text, "The sound server went away.");
    EXPECT_EQ(audio.Mode(), AudioMode::NotReady);
    ExpectShown(false, false, false, false, false);

    OpenEmpty("Empty", 1, 11025, 1);
    messages.Expect();
    Press("FileRecord");
    EXPECT_EQ(messages.Shown().size(), 2u);
    EXPECT_EQ(player->RecordUnitWave(), nullptr);
    ExpectShown(false, false, false, false, false);
}

} // namespace

// ---- Without devices, without a temporary directory ---------------------------------------

namespace {

class PlayRecordWithoutDevices : public MainFormTest
{
};

TEST_F(PlayRecordWithoutDevices, PlayAndRecordStayDisabledAndSayWhy)
{
    SimulatedAudio audio;
    audio.SetOutput(false);
    audio.SetInput(false);
    Start();
    TPlayRecord player(*form, audio);
    OpenWave("Wave 1", 1, 100);
    EXPECT_FALSE(A("FilePlay")->isEnabled());
    EXPECT_FALSE(A("FilePlayMax")->isEnabled());
    EXPECT_EQ(A("FilePlay")->toolTip().toStdString(), AudioNoOutputText);
    OpenWave("Wave 2");
    EXPECT_FALSE(A("FileRecord")->isEnabled());
    EXPECT_EQ(A("FileRecord")->statusTip().toStdString(), AudioNoInputText);
}

TEST_F(PlayRecordWithoutDevices, WithoutTheTemporaryDirectoryNothingIsWritten)
{
    tempDir.FailCreation("/no/such/kelvorn-tmp");
    messages.Expect();
    SimulatedAudio audio;
    Start();
    TPlayRecord player(*form, audio);
    SoundPtr sound = MainFormRamp(1, 10);
    EXPECT_FALSE(player.PlaySound(*sound, false));
    OpenWave("Empty");
    player.FileRecordExecute();
    EXPECT_TRUE(audio.Log().empty());
    EXPECT_FALSE(std::filesystem::exists(player.PlayFile()));
}

} // namespace
