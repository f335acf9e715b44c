// Wave references in a dialog's combo box: reading without a selection shows the input-error
// box and empties the reference, and showing a reference picks the item of exactly its name.

#include "waveui/WaveCombo.h"

#include "document/wave/UnitWave.h"
#include "platform/test/ScriptedMessages.h"

#include <QComboBox>

#include <gtest/gtest.h>

#include <memory>

namespace kelvorn {
namespace {

class WaveCombo : public ::testing::Test
{
protected:
    WaveCombo()
    {
        for (const char* name : {"Wave 1", "Wave 2", "Wave \xE4"})
            documents.push_back(
                std::make_unique<TUnitWave>(name, "", std::make_shared<MonoSound>(44100, 2)));
        for (const auto& document : documents)
            list.push_back({document->GetName(), document.get()});
    }

    ScriptedMessages messages;
    std::vector<std::unique_ptr<TUnitWave>> documents;
    std::vector<WaveChoice> list;
    QComboBox combo;
};

TEST_F(WaveCombo, ReadWithoutSelectionShowsTheBoxAndEmptiesTheReference)
{
    FillWaveComboItems(combo, list, -1);
    unitUnitWave wave;
    wave.Set("Wave 1", documents[0].get());
    bool ok = true;
    messages.Expect();
    ReadWaveCombo(wave, ok, combo, "Envelope");
    EXPECT_FALSE(ok);
    EXPECT_EQ(wave.GetCaption(), "");
    EXPECT_EQ(wave.GetUnitWave(), nullptr);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text, "In Envelope: You have to select a Wave");
    EXPECT_EQ(messages.Shown()[0].caption, "Input Error");
    EXPECT_EQ(messages.Shown()[0].icon, MsgIcon::Information);
    EXPECT_TRUE(messages.Unexpected().empty());
    // After an earlier failure nothing more is read or shown.
    wave.Set("Wave 2", documents[1].get());
    ReadWaveCombo(wave, ok, combo, "Envelope");
    EXPECT_EQ(wave.GetCaption(), "Wave 2");
    EXPECT_EQ(messages.Shown().size(), 1u);
}

TEST_F(WaveCombo, ShowingAReferenceSelectsTheItemOfExactlyItsName)
{
    struct Case
    {
        const char* caption;
        int before, after;
    };
    for (const Case& c : {Case{"Wave 2", 0, 1}, Case{"Wave 1", -1, 0}, Case{"Wave \xE4", 0, 2},
                          Case{"  Wave 2\t ", 0, 1}, // a reference keeps no blanks at its ends
                          Case{"", 2, 2},            // no wave named: selection unchanged
                          Case{"", -1, -1}, Case{"wave 2", 0, 0}, // names are case-sensitive
                          Case{"Wave", 2, 2},                     // no prefix matching
                          Case{"Wave 3", -1, -1}}) {              // not listed
        FillWaveComboItems(combo, list, c.before);
        FillWaveCombo(unitUnitWave(c.caption), combo);
        EXPECT_EQ(combo.currentIndex(), c.after) << '"' << c.caption << '"';
    }
}

} // namespace
} // namespace kelvorn
