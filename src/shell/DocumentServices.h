#pragma once
// The main window's services around its documents: the list of open document windows and the
// active one, documents found by name, names unique among the open documents, the lists that
// fill the choice boxes of the dialogs, the busy cursor, the sound clipboard, the undo record,
// the last-used parameter records and the factory run counter. The main window holds one and
// hands it its frame.
//
// Windows are scanned in the order the frame keeps (most recently activated first), from the
// last to the first. A window whose close was granted is no longer listed, although the toolkit
// deletes it only later.

#include "document/records/WaveReference.h"
#include "document/wave/UnitWaveRecords.h"
#include "sound/Sound.h"
#include "window_base/ChildKelvorn.h"
#include "window_base/SountoryListing.h"

#include "window_base/EditName.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMdiArea;

namespace kelvorn {

class TUndoUnit;
class TUnitWave;

/// One entry of a factory list: the factory's name and the factory document.
struct SountoryChoice
{
    std::string caption;
    TFileUnit* sountory = nullptr;
};

class TDocumentServices : public QObject, public WaveDocumentFinder
{
    Q_OBJECT

public:
    /// Which waves FillWaveList offers.
    enum WaveListMode : int {
        AllWaves = 0,    ///< every named wave
        OtherWaves = 1,  ///< every named wave but the active one
        OtherMono = 2,   ///< the named mono waves but the active one
        OtherStereo = 3, ///< the named stereo waves but the active one
    };

    /// frame: the main window's frame (not owned; it must outlive the services).
    explicit TDocumentServices(QMdiArea& frame, QObject* parent = nullptr);
    ~TDocumentServices() override;

    QMdiArea& Frame() const { return frame; }

    // ---- Document windows ----------------------------------------------------------------

    /// Below this size a window added to the frame is taken to have no place of its own.
    static constexpr int MinimumWindowWidth = 320;
    static constexpr int MinimumWindowHeight = 200;
    /// How far each such window lies below and right of the one before it.
    static constexpr int NewWindowStep = 24;

    /// Puts window (with its document) into the frame, shows it, makes it active and sets its
    /// caption; from now on it is one of the document windows until its close is granted. A
    /// window below the minimum size gets two thirds of the frame, at the first cascade place
    /// free where it lies whole in sight (NewWindowPlace). The close question's Yes saves
    /// through the save handler (SetSaveHandler). Returns the window.
    TMDIChildKelvorn* AddDocumentWindow(TMDIChildKelvorn* window);
    /// The save handler every window added from now on gets (Save, or Save As when untitled).
    void SetSaveHandler(std::function<bool(TMDIChildKelvorn&)> handler);

    /// The open document windows, most recently activated first; closing windows left out.
    std::vector<TMDIChildKelvorn*> DocumentWindows() const;
    int DocumentWindowCount() const;
    /// Closes every document window as the frame's close does: first the close question of
    /// every window, most recently activated first (Yes saves); only when none answered Cancel
    /// and no save failed are they all closed. False, with every window still open, otherwise.
    bool CloseAllWindows();

    /// The active document window, or null.
    TMDIChildKelvorn* GetActiveChild() const;
    /// The active window when its kind is wave (music, factory), else null.
    TMDIChildKelvorn* GetActiveChildWave() const;
    TMDIChildKelvorn* GetActiveChildMuz() const;
    TMDIChildKelvorn* GetActiveChildFact() const;
    /// The document of the active window, or null.
    TFileUnit* GetActiveUnit() const;
    /// The document of the active window when it is of that kind, else null.
    TUnitWave* GetActiveUnitWave() const;
    TFileUnit* GetActiveUnitMuz() const;
    TFileUnit* GetActiveUnitSountory() const;

    /// The first document, scanning from the last window, whose name equals name exactly;
    /// null for none (and always for the empty name, which no document is known by).
    TFileUnit* FindUnitByName(const std::string& name) const;
    /// FindUnitByName, then null unless it is a wave (factory).
    TUnitWave* FindUnitWave(const std::string& name) override;
    TFileUnit* FindUnitSountory(const std::string& name) const;
    /// The window of the document, or null.
    TMDIChildKelvorn* FindChildOf(const TFileUnit* unit) const;

    // ---- Names -----------------------------------------------------------------------------

    /// Whether unit may be called name: the empty name passes; a name holding "<" or ">" (which
    /// no file that stores names can hold) is refused with its "Input Error" box; a name
    /// another open document bears is refused with "A window with name "N" already exists.".
    bool CheckUniqueName(const std::string& name, const TFileUnit* unit) const;
    /// base + " " + n, then " " + suffix when the suffix is not empty, for the smallest n from 1
    /// that no open document bears.
    std::string MakeUniqueName(const std::string& base, const std::string& suffix = {}) const;

    // ---- Lists for the dialogs' choice boxes ------------------------------------------------

    /// Appends the named wave documents by mode (WaveListMode); answers how many were added.
    int FillWaveList(std::vector<WaveChoice>& list, int mode) const;
    /// Named factories whose kind is kind or 0.
    int FillSountoryKindList(std::vector<SountoryChoice>& list, uint8_t kind) const;
    /// Named factories except leaveOut.
    int FillSountoryList(std::vector<SountoryChoice>& list, const TFileUnit* leaveOut) const;
    /// For each named factory, each node of nodeKind as factory name + "." + node name.
    int FillSountoryNodeList(std::vector<SountoryNodeChoice>& list, uint8_t nodeKind) const;
    /// How many named factories are open (the action update enables SntRunAtWnd with it).
    int NamedSountoryCount() const;

    // ---- Busy cursor -----------------------------------------------------------------------

    /// Shows the hour-glass over the whole program. A command calls it once before its long
    /// work; a second call before EndWait changes nothing (the cursor is never stacked).
    void BeginWait();
    /// Takes the hour-glass down (also before a box on a failure path); nothing when it is not
    /// up.
    void EndWait();
    bool IsWaiting() const { return waiting; }

    // ---- Sound clipboard ---------------------------------------------------------------------

    bool HasClipBoardSound() const { return ClipBoardSound != nullptr; }
    /// The clipboard's sound; asks only when it holds one (asserts "ClipBoardSound != 0").
    SoundPtr GetClipBoardSound() const;
    /// Keeps sound in place of the previous one (which lives on with its other holders).
    void SetClipBoardSound(SoundPtr sound);
    void DeleteClipBoardSound();

    // ---- Undo record -------------------------------------------------------------------------

    /// Replaces the undo record by a snapshot of unit.
    void MakeUndo(TUnitWave& unit);
    void DeleteUndo();
    /// Hands the record over, leaving none; a command whose snapshot turned out needless puts
    /// the one before back with RestoreUndo.
    std::unique_ptr<TUndoUnit> ReleaseUndo();
    /// Replaces the record by record (may be null).
    void RestoreUndo(std::unique_ptr<TUndoUnit> record);
    /// DeleteUndo when the record belongs to unit (called while unit is destroyed).
    void DeleteUndoOfUnit(const TUnitWave& unit);
    /// The record, or null.
    TUndoUnit* GetUndo() const { return undoUnit.get(); }
    /// Whether Undo may run: a record whose document is not being drawn.
    bool CanUndo() const;

    // ---- Last-used parameter records, factory runs -----------------------------------------

    /// The records last confirmed in any wave dialog; the command road stores them here.
    TUnitWaveRecords& LastUsedProps() { return *lastUsedProps; }
    /// Hands every last-used record to unit, so its dialogs open with them.
    void SetLastUsedProps(TUnitWave& unit) const;
    /// The next factory run number: 1, 2, 3, ...
    int32_t NextFactoryRunNumber() { return ++factoryRunNumber; }

    // ---- Envelope repaints -------------------------------------------------------------------

    /// Repaints the windows that draw window's wave as their envelope (nothing for an unnamed
    /// wave). Asserts a wave window.
    void WaveChanged(TMDIChildKelvorn* window);
    /// The same for the wave called name (a wave renamed or closed).
    void WaveNameChanged(const std::string& name);
    /// The same, handing the newly drawn columns [first, last) instead of a full repaint.
    void VolumeColumnsDrawn(TMDIChildKelvorn* window, int32_t first, int32_t last);

signals:
    /// A document window's close was granted; it is already out of the list.
    void DocumentWindowClosing(kelvorn::TMDIChildKelvorn* window);
    /// The last document window of any kind is closing: the tool windows that follow the
    /// active document (Edit Name, Select and Zoom) must retarget to none.
    void LastDocumentWindowClosing();

private:
    void WindowClosing(TMDIChildKelvorn* window);
    void PlaceNewWindow(TMDIChildKelvorn& window);
    template <class Visit> void ScanNamed(DocumentKind kind, Visit visit) const;

    QMdiArea& frame;
    std::function<bool(TMDIChildKelvorn&)> saveHandler;
    bool waiting = false;
    SoundPtr ClipBoardSound;
    std::unique_ptr<TUndoUnit> undoUnit;
    std::unique_ptr<TUnitWaveRecords> lastUsedProps;
    int32_t factoryRunNumber = 0;
};

/// Takes the busy cursor down on every road out of a command, the early returns included.
class WaitScope
{
public:
    explicit WaitScope(TDocumentServices& documents) : documents(documents)
    {
        documents.BeginWait();
    }
    ~WaitScope() { documents.EndWait(); }
    WaitScope(const WaitScope&) = delete;
    WaitScope& operator=(const WaitScope&) = delete;

private:
    TDocumentServices& documents;
};

/// The Edit Name window's view of the documents: the active document of the services. The
/// text-input mode belongs to the main window, which passes its setter.
class TActiveNameTarget final : public NameTarget
{
public:
    /// documents: not owned, must outlive the target.
    TActiveNameTarget(TDocumentServices& documents, std::function<void(bool)> setTextInputMode)
        : documents(documents), setTextInputMode(std::move(setTextInputMode))
    {
    }

    bool HasActiveDocument() const override { return documents.GetActiveUnit() != nullptr; }
    std::string ActiveName() const override;
    bool CheckUniqueName(const std::string& name) override;
    void SetActiveName(const std::string& name) override;
    void SetTextInputMode(bool on) override;

private:
    TDocumentServices& documents;
    std::function<void(bool)> setTextInputMode;
};

} // namespace kelvorn
