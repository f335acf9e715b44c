#pragma once
// A main window with the simulated audio device and play and record installed, and what the
// play and record tests need around it: waves made to order, a wave window link that counts
// its refreshes, and readers of the files written.

#include "waveui/WaveWindow.h"
#include "MainFormTestSupport.h"
#include "platform/test/SimulatedAudio.h"
#include "shell/PlayRecord.h"
#include "sound/WavFile.h"
#include "document/records/WaveFileProps.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelvorn::test {

/// The window side of a wave document, counting the refreshes the document asks for.
class CountingWaveLink final : public WaveWindowLink
{
public:
    int refreshes = 0;

    void RefreshCaption(const std::string&) override {}
    void UpdateCaption() override {}
    void SetDrawCursor() override {}
    bool HasPaneGroup() const override { return false; }
    void SaveZoom(int32_t, int32_t) override {}
    void RestoreZoom(int32_t, int32_t) override {}
    void RepaintPosition(int32_t) override {}
    void RepaintRange(int32_t, int32_t) override {}
    void DrawCursor(int32_t) override {}
    void RefreshWave() override { ++refreshes; }
    void SetIconByChannels(int16_t) override {}
    uint8_t GetWaveWindKind() const override { return 0; }
    void WriteViewXml(TXMLComplexElement&) const override {}
    bool ReadViewXml(const TXMLItem*, std::string&, int32_t&, int32_t&, bool) override
    {
        return true;
    }
};

/// A sound whose value i of each channel is value(i).
inline SoundPtr MakeSound(int16_t channels, int32_t freq, int16_t bytes, int32_t values,
                          const std::function<int16_t(int32_t)>& value)
{
    auto make = [&] {
        WavePtr wave = CreateWave(nullptr, values);
        for (int32_t i = 0; i < values; ++i)
            (*wave)[i] = value(i);
        return wave;
    };
    if (channels == 1)
        return std::make_shared<MonoSound>(make(), freq, bytes);
    return std::make_shared<StereoSound>(make(), make(), freq, bytes);
}

/// The left channel's values of a WAV file; fails the test when it cannot be read.
inline std::vector<int16_t> ReadLeft(const std::string& file, SoundUPtr* keep = nullptr)
{
    SoundUPtr sound;
    std::string message;
    EXPECT_TRUE(ReadWaveFile(file, sound, message)) << message;
    std::vector<int16_t> values;
    if (!sound)
        return values;
    for (int32_t i = 0; i < sound->GetValues(); ++i)
        values.push_back((*sound->GetLeftWave())[i]);
    if (keep)
        *keep = std::move(sound);
    return values;
}

class PlayRecordTest : public MainFormTest
{
protected:
    PlayRecordTest()
    {
        Start();
        player = std::make_unique<TPlayRecord>(*form, audio);
    }

    ~PlayRecordTest() override
    {
        player.reset();
        form.reset();
        Flush();
    }

    /// A wave window around sound, made active, its link counting refreshes.
    TMDIChildKelvorn* OpenSound(const std::string& name, SoundPtr sound)
    {
        auto* window = new TMDIChildKelvorn;
        window->SetUnit(std::make_unique<TUnitWave>(name, std::string(), std::move(sound)));
        UnitWaveOf(window)->SetChildWave(&link);
        return Add(window);
    }
    /// An empty wave of that format, made active.
    TMDIChildKelvorn* OpenEmpty(const std::string& name, int16_t channels, int32_t freq,
                                int16_t bytes)
    {
        auto* window = new TMDIChildKelvorn;
        window->SetUnit(std::make_unique<TUnitWave>(name, std::string(),
                                                    TWaveFileProps(channels, freq, bytes)));
        UnitWaveOf(window)->SetChildWave(&link);
        return Add(window);
    }

    /// The take writes sound to the record file when the recording is saved.
    void RecordsSound(SoundPtr sound)
    {
        audio.SetTakeWriter([sound](const std::string& file, std::string& message) {
            return WriteWaveFile(nullptr, file, sound.get(), 0, -1, message);
        });
    }

    /// Triggers the action as the user would (the toolkit flips a checkable one first).
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

    std::string Load(const std::string& file) const { return "load " + file; }

    SimulatedAudio audio;
    CountingWaveLink link;
    std::unique_ptr<TPlayRecord> player;
};

} // namespace kelvorn::test
