// Undo across a recording: the recording replaces the empty sound outside the undo road, while
// the undo record still holds that empty sound.

#include "waveui/WaveWindow.h"
#include "PlayRecordTestSupport.h"

#include "shell/EditCommands.h"
#include "shell/WaveCommands.h"
#include "document/wave/UndoUnit.h"

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class EditUndoRecordingTest : public PlayRecordTest
{
protected:
    EditUndoRecordingTest()
    {
        road = std::make_unique<TWaveCommands>(*form);
        road->Install();
        edit = std::make_unique<TEditCommands>(*form, *road);
        edit->Install();
    }
    void TearDown() override
    {
        for (const ShownMessage& box : messages.Unexpected())
            ADD_FAILURE() << "unexpected box: " << box.caption << ": " << box.text;
    }

    std::unique_ptr<TWaveCommands> road;
    std::unique_ptr<TEditCommands> edit;
};

TEST_F(EditUndoRecordingTest, UndoAfterARecordingsStopGivesTheEmptyWaveBackAndRedoesIt)
{
    TMDIChildKelvorn* window = OpenEmpty("Empty", 1, 11025, 2);
    TUnitWave& unit = *UnitWaveOf(window);
    form->Documents().MakeUndo(unit);
    const SoundPtr empty = unit.GetSound();
    Press("FileRecord");
    RecordsSound(MakeSound(1, 11025, 2, 300, [](int32_t i) { return int16_t(i * 3); }));
    Press("FileStop");
    ASSERT_EQ(unit.GetValues(), 300);
    ASSERT_EQ(form->Documents().GetUndo()->GetSound(), empty);

    form->ActionListUpdate();
    Press("Undo");
    EXPECT_EQ(unit.GetSound(), empty);
    EXPECT_EQ(unit.GetValues(), 0);
    EXPECT_EQ(unit.GetSampleFreq(), 11025);
    form->ActionListUpdate();
    Press("Undo");
    EXPECT_EQ(unit.GetValues(), 300);
    EXPECT_EQ((*unit.GetSound()->GetLeftWave())[100], 300);
    // Forgetting the record frees nothing the document still uses.
    form->ActionListUpdate();
    Press("DeleteUndo");
    EXPECT_EQ((*unit.GetSound()->GetLeftWave())[299], 897);
    EXPECT_EQ(Deliver(), 1);
}

} // namespace
