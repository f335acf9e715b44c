#pragma once
// The commands that build new wave windows from whole ones: split the active wave along time
// into two or three windows, split a stereo wave into two mono windows, and merge two open
// waves one after the other or as the two channels of a new stereo wave.
//
// The new documents are untitled and start with the default records of a new wave document,
// not the last-used ones. The source windows go at once, without a save question (their work
// lives on, untitled, in the new windows): each is closed, which drops the undo record of its
// document, and destroyed before the command returns, which stops its volume writer before its
// document goes.

#include "document/views/VoldViewProps.h"
#include "document/views/WaveViewProps.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kelvorn {

class TFileCommands;
class TMainForm;
class TMDIChildKelvorn;
class TMDIChildWave;
class TMergeHorProps;
class TMergeVertProps;
class TUnitWave;
class Sound;

class TSplitMergeCommands final
{
public:
    /// form and files (which makes the wave windows): not owned, must outlive the commands.
    TSplitMergeCommands(TMainForm& form, TFileCommands& files) : form(form), files(files) {}
    TSplitMergeCommands(const TSplitMergeCommands&) = delete;
    TSplitMergeCommands& operator=(const TSplitMergeCommands&) = delete;

    /// Installs the commands on their actions.
    void Install();

    /// With a part, "Split Horizontally" chooses three parts or two; with a cursor, two parts
    /// at the cursor without a question.
    void SplitHExecute();
    /// A stereo wave into "Left Part" above "Right Part", with its positions, split and zoom.
    void SplitVExecute();
    void MergeHExecute();
    void MergeVExecute();

    /// The merges with a confirmed record, as the commands run them after their dialogs.
    void MergeH(const TMergeHorProps& props);
    void MergeV(const TMergeVertProps& props);

private:
    /// A new window for unit at rect (left, top, right, bottom) with that display.
    TMDIChildWave* NewWindow(std::unique_ptr<TUnitWave> unit, const TWaveViewProps& waveProps,
                             const TVoldViewProps& voldProps, uint8_t kind, int left, int top,
                             int right, int bottom);
    static void Destroy(TMDIChildKelvorn* window);
    /// The window's bounds in the frame as left, top, right and bottom (right and bottom one
    /// past the last pixel); a minimised window's are those it comes back to.
    struct Edges
    {
        int left, top, right, bottom;
    };
    static Edges Bounds(const TMDIChildKelvorn& window);

    TMainForm& form;
    TFileCommands& files;
};

} // namespace kelvorn
