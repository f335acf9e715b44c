#pragma once
// The main window's file commands: new, open, revert, save, save as, duplicate and the file
// properties. The generic ones (Save, Save As, Revert, Properties, the close question's Yes)
// work on the active document window through its registered kind; the wave ones are the wave
// kind's (TWaveKind). The documents read and write themselves, the commands choose names,
// order, dialogs and boxes.

#include "document/records/WaveFileProps.h"
#include "document/views/VoldViewProps.h"
#include "document/views/WaveViewProps.h"
#include "platform/FileDialogs.h"
#include "shell/DocumentServices.h"
#include "shell/MainWaveWindowHost.h"
#include "sound/Sound.h"
#include "sound/WavFile.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kelvorn {

class TMainForm;
class TMDIChildKelvorn;
class TMDIChildWave;
class TFileUnit;
class TSoundUnit;
class TUnitWave;

/// Whether path names an existing file (never the empty path).
bool FileExists(const std::string& path);
/// text in double quotes, as the file boxes name files.
std::string Quoted(const std::string& text);

class TFileCommands final
{
public:
    static constexpr const char* WaveFilter = "Wave Files (*.wav)|*.wav|All files (*.*)|*.*";
    static constexpr const char* WaveExtension = "wav";
    static constexpr const char* OpenWaveTitle = "Open Wave";
    static constexpr const char* SaveWaveTitle = "Save Wave";
    static constexpr const char* FileErrorCaption = "File Error";

    /// form: not owned, must outlive the commands.
    explicit TFileCommands(TMainForm& form);
    ~TFileCommands();
    TFileCommands(const TFileCommands&) = delete;
    TFileCommands& operator=(const TFileCommands&) = delete;

    /// Installs the commands on their actions (keyD runs the Duplicate of the active kind), the
    /// save handler of the close question, the command line's opener and the host of the wave
    /// windows.
    void Install();

    // ---- Commands ------------------------------------------------------------------------

    /// "Wave Properties" with 44100 Hz, stereo, 16 bits; on OK an empty wave "Wave n" of that
    /// format in a new window with the default view properties.
    void FileNewWaveExecute();
    /// "Open Wave" for several files; each is opened in the order chosen.
    void FileOpenWaveExecute();
    /// Reads the active document's file again (and the wave's side file).
    void FileRevertExecute();
    /// Saves the active document (Save As when it has no file).
    void FileSaveExecute();
    /// Save As of the active document; answers whether it was saved.
    bool FileSaveAsExecute();
    /// A copy of the active wave's part (or the whole wave with only a cursor) in a new window
    /// named "Copy n of <name>", which takes the source window's view properties, split and
    /// zoom.
    void DuplicateWaveExecute();
    /// "Wave Properties" with the active wave's format; on OK the undo snapshot, then the
    /// conversion.
    void FilePropertiesExecute();
    /// Asks every document window its close question, the most recently active first; the
    /// first Cancel keeps the program running, else the main window closes.
    void FileExitExecute();

    // ---- What the project reader, the command line and the close question call -------------

    /// The open dialog of request for several files, then open for each in the order chosen,
    /// under the busy cursor.
    void OpenChosenFiles(const FileDialogRequest& request,
                         const std::function<void(const std::string&)>& open);
    /// Opens a document of a kind with one file (a piece, a factory) in a new window: from copy,
    /// a project's saved copy, when one is named, else from path. read makes the document from
    /// the file it names, or answers null with the reason; show gives it its window. A document
    /// read from its copy still belongs to path, changed when path names a file. Answers the
    /// document, or null when the file could not be read (its box shown).
    template <class Unit, class Read, class Show>
    Unit* OpenDocumentFile(const std::string& path, const std::string& copy, Read read, Show show);
    /// Duplicate of a document of a kind with one file: copy makes the copy of source named
    /// "Copy n of <name>", or answers null with the reason, which the box then shows; show gives
    /// the copy its window.
    template <class Unit, class Copy, class Show>
    void DuplicateDocument(const TFileUnit& source, Copy copy, Show show);

    /// Opens path as a wave in a new window. tempFile (may be empty) is a project's saved copy,
    /// read in place of path when it exists; keepClean leaves the document's change tracking
    /// off. Answers the new document, or null when the file could not be read (its box shown).
    TUnitWave* OpenWaveFile(const std::string& path, const std::string& tempFile, bool keepClean);
    /// Save, or Save As when the document has no file; answers whether it was saved.
    bool SaveDocument(TFileUnit& unit, const FileDialogRequest& saveAs);
    /// The save dialog of request (starting at the document's file), then the document under
    /// the chosen name. Only a successful save takes the new name and clears the change flags.
    bool SaveDocumentAs(TFileUnit& unit, FileDialogRequest request);
    /// Save, or Save As when the wave has no file; answers whether it was saved.
    bool SaveUnitWave(TUnitWave& unit);
    /// The "Save Wave" dialog, then the wave and its side file under the chosen name. Only a
    /// successful save takes the new name and clears the change flags.
    bool SaveAsUnitWave(TUnitWave& unit);
    /// Saves the document of window by its kind, for the close question's Yes.
    bool SaveChild(TMDIChildKelvorn& window);
    /// Reads the wave's file and side file again into window's document.
    void RevertWave(TMDIChildKelvorn& window, TUnitWave& unit);
    /// "Wave Properties" with the wave's format; on OK the undo snapshot, then the conversion.
    void EditWaveProperties(TUnitWave& unit);
    /// "Wave Properties" with the sound format of unit (a wave or a piece): the format chosen,
    /// or none when cancelled.
    std::optional<TWaveFileProps> AskFileProperties(const TSoundUnit& unit);

    /// A wave window for unit in the main window's frame, linked with it both ways and shown.
    TMDIChildWave* NewChildWave(std::unique_ptr<TUnitWave> unit, const TWaveViewProps& waveProps,
                                const TVoldViewProps& voldProps);

    /// The box of a file that failed: text under "File Error", information icon.
    static void ShowFileError(const std::string& text);
    /// The box of a document that could not be read again or copied: its name (or file) and
    /// the reason.
    static void ShowCannotRead(const std::string& name, const std::string& message);

private:
    TDocumentServices& Documents() const;
    void WarnDamaged(TUnitWave& unit, const std::string& path, const WaveReadCounts& counts);
    void ShowWaveCurve(TMDIChildWave& window);

    TMainForm& form;
    std::unique_ptr<TMainWaveWindowHost> host;
};

template <class Unit, class Read, class Show>
Unit* TFileCommands::OpenDocumentFile(const std::string& path, const std::string& copy, Read read,
                                      Show show)
{
    TDocumentServices& documents = Documents();
    documents.BeginWait();
    // Such a document has a copy only when it had unsaved changes, which its own file lacks:
    // a missing copy is a failure, not a reason to open the file.
    const bool fromCopy = !copy.empty();
    const std::string& source = fromCopy ? copy : path;
    std::string message;
    std::unique_ptr<Unit> unit = read(source, message);
    if (!unit) {
        documents.EndWait();
        ShowFileError("Cannot read file " + Quoted(source) + ": " + message);
        return nullptr;
    }
    if (fromCopy) {
        // The copy holds what was not saved yet: the document belongs to its own file still.
        unit->SetFileName(path);
        if (!path.empty())
            unit->SetModified();
    }
    Unit* opened = unit.get();
    show(std::move(unit))->UpdateModifiedMark();
    documents.EndWait();
    return opened;
}

template <class Unit, class Copy, class Show>
void TFileCommands::DuplicateDocument(const TFileUnit& source, Copy copy, Show show)
{
    TDocumentServices& documents = Documents();
    WaitScope wait(documents);
    std::string message;
    std::unique_ptr<Unit> made =
        copy(documents.MakeUniqueName("Copy", "of " + source.GetName()), message);
    if (!made) {
        documents.EndWait();
        ShowCannotRead(source.GetName(), message);
        return;
    }
    show(std::move(made));
}

} // namespace kelvorn
