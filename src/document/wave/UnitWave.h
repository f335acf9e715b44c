#pragma once
// The wave document: the sound of one wave window, the two wave positions that make a cursor or
// a selected part, the change flags that decide what must be saved, the abort flag that every
// long operation polls, the user drawing and the document's own copy of the parameter record of
// every wave operation.
//
// Sound ownership: the document holds its sound by SoundPtr and never changes it in place; an
// operation makes a new sound and swaps it in. The previous one lives on as long as another
// holder (the undo record, the clipboard, a volume writer) keeps it.
//
// The operations on the sound (Volume, Echo, ...) are declared in WaveDocumentOps.h; the side
// file's reader and writer are defined with the side file (SideFile.cpp).

#include "document/SoundUnit.h"
#include "document/wave/DrawNode.h"
#include "document/wave/WaveDocumentLinks.h"
#include "sound/Sound.h"
#include "sound/WavFile.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kelvorn {

class TWaveFileProps;
class TUndoUnit;
struct TUnitWaveRecords;

class TUnitWave : public TSoundUnit
{
public:
    enum DrawKindValue : uint8_t { DrawLinear = 0, DrawParabola = 1 };

    // ---- Construction and ownership ------------------------------------------------------

    /// A new empty wave of the given format (asserts channels and bytes are 1 or 2).
    TUnitWave(const std::string& name, const std::string& fileName,
              const TWaveFileProps& waveFileProps);
    /// A document around sound (a null sound becomes an empty mono 44100 Hz 16-bit one); both
    /// change flags clear.
    TUnitWave(const std::string& name, const std::string& fileName, SoundPtr sound);
    /// Asks the main window to drop the undo record of this document first.
    ~TUnitWave() override;

    /// The 27 parameter records; the command road copies the main window's last-used set in.
    TUnitWaveRecords& Records() { return *records; }
    const TUnitWaveRecords& Records() const { return *records; }
    void SetAllProps(const TUnitWaveRecords& props);

    void SetChildWave(WaveWindowLink* window) { childWave = window; }
    WaveWindowLink* GetChildWave() const { return childWave; }

    /// The current sound; never null.
    const SoundPtr& GetSound() const { return TheSound; }
    /// Installs newSound (not null) and returns the previous sound.
    SoundPtr ExchangeSound(SoundPtr newSound);

    // ---- Sound facts ---------------------------------------------------------------------

    int32_t GetSampleFreq() const override;
    int16_t GetMonoStereo() const override;
    int16_t GetBytesPSample() const override;
    /// Values per channel.
    int32_t GetValues() const { return TheSound->GetValues(); }

    // ---- Positions and ranges ------------------------------------------------------------

    int32_t GetPos1() const { return wavePos1; }
    int32_t GetPos2() const { return wavePos2; }
    bool IsCursor() const { return wavePos1 == wavePos2; }

    /// The selected part: min and max of the two positions (a cursor gives an empty part).
    int32_t GetPartBegin() const;
    int32_t GetPartEnd() const;
    /// What most operations work on: the part, or the whole wave when only a cursor is set.
    int32_t GetRangeBegin() const;
    int32_t GetRangeEnd() const;
    /// The range's length in seconds.
    long double GetRangeTime() const;

    /// Setters: each new value is clamped to 0..GetValues(). No notice, no repaint.
    void SetPos1(int32_t p);
    void SetPos2(int32_t p);
    void SetCursor(int32_t p);
    /// Asserts begin <= end. When wavePos1 < wavePos2 before the call the first position gets
    /// begin, otherwise (a cursor included) the first position gets end.
    void SetPart(int32_t begin, int32_t end);

    /// The interactive forms: set, mark the view modified, and repaint what changed.
    void ChangePos1(int32_t p);
    void ChangeCursor(int32_t p);
    void ChangePart(int32_t begin, int32_t end);
    void ChangePositions(int32_t p1, int32_t p2);

    /// Repaints around a position change (nothing for an empty wave).
    void RedrawPositions(int32_t oldPos1, int32_t newPos1, int32_t oldBegin, int32_t oldEnd,
                         int32_t newBegin, int32_t newEnd);
    /// Repaints exactly the ranges whose selection state changed, then tells the main window.
    void RepaintSelectionChange(int32_t oldBegin, int32_t oldEnd, int32_t newBegin, int32_t newEnd);

    // ---- Around an operation that moves or resizes values ----------------------------------

    /// Before the change of [begin, end): the panes save their zoom, and a lone cursor over a
    /// change of the whole wave is remembered with the length, to be scaled afterwards.
    void BeginWaveChange(int32_t begin, int32_t end);
    /// After it, with the range the change now occupies: the panes restore their zoom; then
    /// either the new range is selected (SetPart) or the remembered cursor is put at the same
    /// fraction of the new length.
    void EndWaveChange(int32_t newBegin, int32_t newEnd);

    // ---- The abort flag ------------------------------------------------------------------

    /// The flag every engine call of this document polls, and that a memory failure sets.
    AbortFlag* GetAbortFlag() { return &abortFlag; }
    bool IsAborted() const { return abortFlag != 0; }
    /// Called at the start of every command on this document: clears the abort flag, so that
    /// one failure affects one command only.
    void BeginOperation() { abortFlag = 0; }

    // ---- Change tracking and saving -------------------------------------------------------

    /// A wave with values, or one being drawn.
    bool CanSaveFile() const;
    bool NeedsWaveSave() const;
    bool NeedsShadowSave() const;
    bool IsModified() const override;
    bool IsDataModified() const { return dataModified; }
    bool IsStateModified() const { return stateModified; }
    /// Both flags set (only while tracking).
    void SetModified();
    /// The side-file state changed (only while tracking).
    void SetViewModified();
    /// Both flags cleared (only while tracking); the caller's, after a successful save.
    void ClearModified() override;

    /// Writes the .wav (nothing for a wave without values, which succeeds).
    bool SaveWaveFile(const std::string& waveFileName);
    /// The .wav when it needs saving, then the side file when anything is modified.
    bool SaveToFile(const std::string& waveFileName);
    /// SaveToFile under the document's own file name.
    bool Save() override;
    /// Into a project: the .wav when it needs saving, the side file always.
    bool SaveProjectCopy(const std::string& waveFileName) override;
    /// A project keeps a copy of a modified wave, and of one without values, which has no
    /// file to come back from.
    bool NeedsProjectCopy() const override { return IsModified() || GetValues() == 0; }
    /// The .wav, and only when that succeeded the side file.
    bool SaveAs(const std::string& waveFileName) override;
    /// Reads the .wav again, then its side file when there is one. A side file that fails
    /// costs only the positions and the view: the sound read stays in (failedFile then names
    /// the side file).
    bool Revert(std::string& message, std::string& failedFile) override;
    /// How many sample frames the last Revert read of how many the file announced.
    const WaveReadCounts& GetLastReadCounts() const { return lastReadCounts; }

    // ---- The side file (defined with the side file) --------------------------------------

    /// Writes the side file beside waveFileName; on failure shows the box and answers false.
    bool SaveShadowFile(const std::string& waveFileName);
    /// Reads a side file: 1 read, 2 failed (the reason in message). sound is replaced when the
    /// file describes a wave without values.
    int LoadShadowFile(const std::string& sideFileName, std::string& message, bool displayFlag,
                       SoundPtr& sound);
    /// A new "UnitWave" tree describing this document, owned by the caller.
    std::unique_ptr<TXMLComplexElement> WriteXml() const;
    /// Reads a "UnitWave" element; false with message, line and column of the failing element.
    bool ReadXml(const TXMLItem* unitWave, std::string& message, int32_t& line, int32_t& column,
                 bool displayFlag, SoundPtr* sound);

    // ---- Conversion and clipboard ---------------------------------------------------------

    /// Converts a copy of the sound to newProps and installs it only when the whole
    /// conversion succeeded; only then do the positions follow a new sample frequency (clamped
    /// to the new length) and the window's icon and panes follow. False and nothing changed on
    /// failure.
    bool SetWaveFileProps(const TWaveFileProps& oldProps, const TWaveFileProps& newProps) override;

    /// Copies [begin, end) to the main window's clipboard. False (clipboard unchanged) when the
    /// copy failed.
    bool CopyPart(int32_t begin, int32_t end);

    // ---- User drawing ----------------------------------------------------------------------

    bool IsUserDrawing() const { return UserDrawing; }
    uint8_t GetDrawKind() const { return DrawKind; }
    /// Only stores the kind; the caller renders the drawing anew.
    void SetDrawKind(uint8_t kind) { DrawKind = kind; }
    double GetDrawLength() const { return DrawLength; }
    void SetDrawLength(double seconds) { DrawLength = seconds; }
    /// The first node; null without nodes.
    TDrawNode* GetDrawNodes() const { return DrawNodes; }
    /// Links node in position order and returns it; a node at a position already present is
    /// not linked: it is freed and nullptr returned.
    TDrawNode* InsertDrawNode(std::unique_ptr<TDrawNode> node);
    /// Appends node at the end of the list without looking at positions (a side file's order).
    TDrawNode* AppendDrawNode(std::unique_ptr<TDrawNode> node);
    /// Unlinks node (one of this document's) and frees it.
    void DeleteDrawNode(TDrawNode* node);
    /// Asserts drawing mode; the number of nodes.
    int32_t GetDrawNodeCount() const;

    /// Enters drawing mode with two nodes of value 0 at 0.0 and 1.0, one second long, and
    /// renders.
    void StartUserDrawing(uint8_t kind);
    /// Leaves drawing mode; the nodes go, the rendered sound stays.
    void StopUserDrawing();
    /// Drawing state as a side file gives it: mode on with kind and length, no nodes yet
    /// (they follow with AppendDrawNode), nothing rendered.
    void RestoreUserDrawing(uint8_t kind, double seconds);
    /// Drawing mode off and the nodes gone, as a side file with plain positions gives it.
    void ClearUserDrawing();
    /// Turns the nodes into a new mono 16-bit sound at the document's sample frequency and
    /// installs it. False (nothing changed) without two nodes or when memory runs out.
    bool RenderUserDraw();
    /// Whether linear drawing may start or stop: while drawing, or on an empty mono wave whose
    /// window shows the wave curve.
    bool CanDrawWaveLin() const;

    // ---- Status bar and undo -------------------------------------------------------------

    /// Writes panels 2 to 7 of the main window's status bar.
    void UpdateActions() const;
    /// The text of panel `panel` (2 to 7) as UpdateActions writes it.
    std::string StatusText(int panel) const;

    /// Exchanges the sound and both positions with the record's.
    void SwapUndo(TUndoUnit& record);

private:
    void InitFields();
    void DeleteDrawNodes();
    int32_t Clamp(int32_t p) const;

    WaveWindowLink* childWave = nullptr;
    SoundPtr TheSound;
    int32_t wavePos1 = 0;
    int32_t wavePos2 = 0;
    WaveReadCounts lastReadCounts;
    bool dataModified = false;
    bool stateModified = false;
    bool scaleCursor = false;
    int32_t oldCursor = 0;
    int32_t oldValues = 0;
    AbortFlag abortFlag = 0;
    bool UserDrawing = false;
    double DrawLength = 1.0;
    uint8_t DrawKind = DrawLinear;
    TDrawNode* DrawNodes = nullptr; // owned list
    std::unique_ptr<TUnitWaveRecords> records;
};

/// The size text of the status bar for a number of bytes: "1.50 kb", "100 kb", "3.20 Mb", ...
std::string SizeText(int64_t bytes);

} // namespace kelvorn
