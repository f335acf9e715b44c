#pragma once
// The main window with the file and the wave commands installed, wave windows with real
// sounds, and dialogs answered from a script that fills their controls by name.

#include "FileCommandsTestSupport.h"

#include "../waveui/dialogs/OperationDialogSupport.h"

#include "shell/WaveCommands.h"
#include "document/wave/DrawNode.h"
#include "document/wave/UndoUnit.h"
#include "document/wave/UnitWave.h"
#include "document/wave/UnitWaveRecords.h"

#include <string>
#include <utility>
#include <vector>

namespace kelvorn::test {

using Edits = std::vector<std::pair<std::string, std::string>>;

/// A mono sound whose value i is (i × step) % 2000 - 1000.
inline SoundPtr MonoPattern(int32_t values, int32_t step, int32_t freq = 44100)
{
    WavePtr wave = CreateWave(nullptr, values);
    for (int32_t i = 0; i < values; ++i)
        (*wave)[i] = static_cast<int16_t>((i * step) % 2000 - 1000);
    return std::make_shared<MonoSound>(std::move(wave), freq, int16_t{2});
}

/// An empty sound of the given channels.
inline SoundPtr EmptySound(int16_t channels)
{
    if (channels == 1)
        return std::make_shared<MonoSound>(CreateWave(nullptr, 0), 44100, int16_t{2});
    return std::make_shared<StereoSound>(CreateWave(nullptr, 0), CreateWave(nullptr, 0), 44100,
                                         int16_t{2});
}

/// The text of a raw sample value as the value fields read it.
inline std::string RawValue(int16_t value)
{
    return unitWaveVal(value, EHValue).ToText();
}

/// Whether every one of the 27 records of a and b is the same.
inline bool SameRecords(const TUnitWaveRecords& a, const TUnitWaveRecords& b)
{
    return a.lineProps == b.lineProps && a.silenceProps == b.silenceProps &&
           a.noiseProps == b.noiseProps && a.blockProps == b.blockProps &&
           a.triangleProps == b.triangleProps && a.sinusProps == b.sinusProps &&
           a.mFreqProps == b.mFreqProps && a.volumeProps == b.volumeProps &&
           a.balanceProps == b.balanceProps && a.rotateProps == b.rotateProps &&
           a.blockOpProps == b.blockOpProps && a.rollInProps == b.rollInProps &&
           a.rollOutProps == b.rollOutProps && a.lengthProps == b.lengthProps &&
           a.tempoPitchProps == b.tempoPitchProps && a.upProps == b.upProps &&
           a.shiftProps == b.shiftProps && a.distortProps == b.distortProps &&
           a.leftRightProps == b.leftRightProps && a.perEchoProps == b.perEchoProps &&
           a.randomEchoProps == b.randomEchoProps && a.mixProps == b.mixProps &&
           a.highProps == b.highProps && a.lowProps == b.lowProps && a.resProps == b.resProps &&
           a.notchProps == b.notchProps && a.blockFilterProps == b.blockFilterProps;
}

class WaveCommandsTest : public FileCommandsTest
{
protected:
    WaveCommandsTest()
    {
        waveCommands = std::make_unique<TWaveCommands>(*form);
        waveCommands->Install();
    }

    ~WaveCommandsTest() override
    {
        for (QMdiSubWindow* window : form->Frame()->subWindowList())
            delete window;
        Flush();
        waveCommands.reset();
    }

    /// A wave window for sound called name, starting from the last-used records as the file
    /// commands' windows do, made active.
    TMDIChildWave* NewWave(const std::string& name, SoundPtr sound)
    {
        auto unit = std::make_unique<TUnitWave>(name, std::string(), std::move(sound));
        form->Documents().SetLastUsedProps(*unit);
        TMDIChildWave* window = commands->NewChildWave(
            std::move(unit), form->DefaultWaveViewProps(), form->DefaultVoldViewProps());
        Activate(window);
        return window;
    }

    void Activate(TMDIChildWave* window)
    {
        form->Frame()->setActiveSubWindow(window);
        form->ActionListUpdate();
    }

    /// The next dialog, of class dialogClass, gets edits and is confirmed.
    void OkWith(const std::string& dialogClass, Edits edits = {})
    {
        dialogs.When(
            dialogClass,
            [edits](ModalDialog& modal) {
                auto* dialog = DialogAs<TOperationDialog>(modal);
                ASSERT_NE(dialog, nullptr);
                for (const auto& [name, value] : edits)
                    Set(*dialog, name, value);
            },
            DialogResult::Accepted);
    }

    /// The next dialog, of class dialogClass, is looked at by look and cancelled.
    void CancelAfter(const std::string& dialogClass,
                     std::function<void(TOperationDialog&)> look = {})
    {
        dialogs.When(
            dialogClass,
            [look](ModalDialog& modal) {
                auto* dialog = DialogAs<TOperationDialog>(modal);
                ASSERT_NE(dialog, nullptr);
                if (look)
                    look(*dialog);
            },
            DialogResult::Rejected);
    }

    /// Runs the command of action as its table row does, enabled or not.
    void Run(std::string_view action)
    {
        const WaveCommandInfo* row = TWaveCommands::Find(action);
        ASSERT_NE(row, nullptr) << action;
        row->execute(*waveCommands);
        form->ActionListUpdate();
    }

    /// Draws a node of value at position into the drawing of unit and renders it.
    static void AddNode(TUnitWave& unit, int16_t value, double position)
    {
        unit.InsertDrawNode(std::make_unique<TDrawNode>(value, position));
        ASSERT_TRUE(unit.RenderUserDraw());
    }

    static std::vector<int16_t> NodeValues(const TUnitWave& unit)
    {
        std::vector<int16_t> values;
        for (TDrawNode* node = unit.GetDrawNodes(); node; node = node->GetNext())
            values.push_back(node->GetValue());
        return values;
    }

    std::unique_ptr<TWaveCommands> waveCommands;
};

} // namespace kelvorn::test
