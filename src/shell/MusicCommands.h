#pragma once
// The main window's commands of music pieces: new, open, save, save as, revert, duplicate, the
// file properties and Generate, which opens the rendered piece as a new wave window. The music
// kind (TMusicKind) answers the generic file, project and play commands with these. The piece
// reads, writes and renders itself; the commands choose names, order, dialogs and boxes.

#include "sound/Sound.h"

#include <memory>
#include <string>

namespace kelvorn {

class TDocumentServices;
class TFileCommands;
class TMainForm;
class TMainMusicWindowHost;
class TMusicEditCommands;
class TMDIChildMuz;
class TMusicToolCommands;
class TUnitMuz;

/// The whole piece rendered with the busy cursor up; null after a render that failed, whose
/// "Cannot create music: " box under "Error" has been shown. A piece without notes renders to
/// a sound without values.
SoundUPtr RenderPiece(TDocumentServices& documents, TUnitMuz& unit);

class TMusicCommands final
{
public:
    static constexpr const char* MusicFilter =
        "Music Files (*.kvm)|*.kvm|XML Files (*.xml)|*.xml|All files (*.*)|*.*";
    static constexpr const char* MusicExtension = "kvm";
    static constexpr const char* OpenMusicTitle = "Open Music";
    static constexpr const char* SaveMusicTitle = "Save Music";

    /// form and files: not owned, must outlive the commands.
    TMusicCommands(TMainForm& form, TFileCommands& files);
    /// Takes the commands back out; the music kind keeps only its rule of the action update.
    ~TMusicCommands();
    TMusicCommands(const TMusicCommands&) = delete;
    TMusicCommands& operator=(const TMusicCommands&) = delete;

    /// Registers the music kind with these commands, installs its New, Open, Duplicate and
    /// Generate, the commands that write music (TMusicEditCommands), the host of the music
    /// windows and the "Music" and "Music Parts" tool windows.
    void Install();

    // ---- Commands ------------------------------------------------------------------------

    /// "Music n": one single part with a 4/4 bar and one stave with its G clef, untitled.
    void FileNewMuzExecute();
    /// "Open Music" for several files; each is opened in the order chosen.
    void FileOpenMuzExecute();
    /// "Copy n of <name>": a copy of what the active piece's file would hold, untitled, in the
    /// default sound format.
    void DuplicateMuzExecute();
    /// The active piece rendered into a new wave window "Wave n of <name>", marked modified.
    void MusicGenerateExecute();

    // ---- What the music kind, the project and the close question call ------------------------

    /// Reads a piece into a new window named "Music n". copy (may be empty) is a project's
    /// saved copy, read in place of path when it exists (or when there is no path); the piece
    /// then takes path as its file and, with one, counts as changed. Null, after the "Cannot
    /// read file" box, when the file could not be read: no window is left.
    TUnitMuz* OpenMuzFile(const std::string& path, const std::string& copy = {});
    /// Save, or Save As when the piece has no file; whether it was saved.
    bool SaveUnitMuz(TUnitMuz& unit);
    /// The "Save Music" dialog, then the piece under the chosen name. Only a save that worked
    /// takes the new name and clears the change flag, so the close question still protects
    /// the work.
    bool SaveAsUnitMuz(TUnitMuz& unit);
    /// Reads the window's file into a fresh piece that takes the old one's place; a file that
    /// fails leaves the old one with its "Cannot read file: " box.
    void RevertMuz(TMDIChildMuz& window);
    /// "Wave Properties" with the piece's sound format; OK sets the format the piece renders
    /// in and marks it modified (no undo record: nothing of the piece's own changes).
    void EditMuzProperties(TUnitMuz& unit);

    /// A music window for unit in the main window's frame, linked with it both ways, shown and
    /// active.
    TMDIChildMuz* NewChildMuz(std::unique_ptr<TUnitMuz> unit);

private:
    TMainForm& form;
    TFileCommands& files;
    std::unique_ptr<TMainMusicWindowHost> host;
    std::unique_ptr<TMusicToolCommands> tools;
    std::unique_ptr<TMusicEditCommands> edit;
};

} // namespace kelvorn
