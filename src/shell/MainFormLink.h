#pragma once
// The road by which documents, views and dialogs of every kind reach the main window without
// knowing it. Each operation forwards to one main-window service: the document services
// (TDocumentServices) or what only the frame itself knows (MainWindowServices, which TMainForm
// implements). The forwarders add nothing: they answer what the service answers.
//
// The link is also the model's MainFormLink (undo record, clipboard, status bar), its
// WaveDocumentFinder and its SoundPlayer; while one exists it is installed as all three.

#include "document/records/WaveReference.h"
#include "document/wave/WaveDocumentLinks.h"
#include "shell/DocumentServices.h"
#include "sound/Sound.h"

#include <QIcon>
#include <QPixmap>
#include <QRect>

#include <cstdint>
#include <string>
#include <vector>

class QLabel;

namespace kelvorn {

class TMDIChildKelvorn;

/// What only the main window itself knows: its tool windows, its player, its status bar and its
/// images.
class MainWindowServices
{
public:
    virtual ~MainWindowServices() = default;

    /// Shows name in the Edit Name window when that exists.
    virtual void SetEditName(const std::string& name) = 0;
    /// A tool window hid itself: its action is unchecked. Each asserts that its window exists.
    virtual void SelZoomClosed() = 0;
    virtual void EditNameClosed() = 0;
    virtual void MusicDialogClosed() = 0;
    virtual void MusTreeClosed() = 0;
    /// While on, typed keys go to the focused text field rather than to the shortcuts.
    virtual void SetTextInputMode(bool on) = 0;
    /// Plays the whole sound (maximise: scaled to full volume first).
    virtual void PlaySound(const Sound& sound, bool maximise) = 0;
    /// The Select and Zoom window (when it exists) re-reads window's selection.
    virtual void SelZoomSelectionChanged(TMDIChildKelvorn* window) = 0;
    /// The Select and Zoom window (when it exists) re-reads the zoom of pane (1 or 2).
    virtual void SelZoomZoomChanged(TMDIChildKelvorn* window, int pane) = 0;
    /// Status bar panel n (0 to 7), or null.
    virtual QLabel* GetStatusPanel(int panel) = 0;
    /// The main window's frame in screen coordinates; the tool windows place themselves by it.
    virtual QRect GetMainFormRect() const = 0;
    /// Image n of the main window's icon list (the About box shows one).
    virtual QIcon GetImageListIcon(int index) const = 0;
    /// Image n of the toolbar-button list.
    virtual QPixmap GetToolBarButtonBitmap(int index) const = 0;
};

class TMainFormLink final : public MainFormLink, public WaveDocumentFinder, public SoundPlayer
{
public:
    /// Neither is owned; both must outlive the link. Installs the link for its lifetime (and
    /// puts back what was installed before at its end).
    TMainFormLink(TDocumentServices& documents, MainWindowServices& frame);
    ~TMainFormLink() override;
    TMainFormLink(const TMainFormLink&) = delete;
    TMainFormLink& operator=(const TMainFormLink&) = delete;

    /// The installed link; null while none exists.
    static TMainFormLink* Instance();

    // ---- The model's link ----------------------------------------------------------------

    void DeleteUndoOfUnit(const TUnitWave& unit) override;
    /// The Select and Zoom window re-reads the selection, then the envelope users repaint.
    void WaveSelectionChanged(const TUnitWave& unit) override;
    /// Null while the clipboard is empty.
    SoundPtr GetClipBoardSound() const override;
    void SetClipBoardSound(SoundPtr sound) override;
    /// Writes text (8-bit) into status panel n; nothing when the panel does not exist.
    void SetStatusText(int panel, const std::string& text) override;

    // ---- Documents ---------------------------------------------------------------------

    int FillWaveList(std::vector<WaveChoice>& list, int mode);
    int FillSountoryKindList(std::vector<SountoryChoice>& list, uint8_t kind);
    int FillSountoryList(std::vector<SountoryChoice>& list, const TFileUnit* leaveOut);
    int FillSountoryNodeList(std::vector<SountoryNodeChoice>& list, uint8_t nodeKind);
    TFileUnit* GetActiveUnit();
    TMDIChildKelvorn* GetActiveChildWave();
    TMDIChildKelvorn* GetActiveChildMuz();
    TUnitWave* FindUnitWave(const std::string& name) override;
    TFileUnit* FindUnitSountory(const std::string& name);
    bool CheckUniqueName(const std::string& name, const TFileUnit* unit);

    // ---- Tool windows, keys, play -------------------------------------------------------

    void SetEditName(const std::string& name);
    void SelZoomClosed();
    void EditNameClosed();
    void MusicDialogClosed();
    void MusTreeClosed();
    void SetTextInputMode(bool on);
    void PlaySound(const Sound& sound, bool maximise) override;

    // ---- Repaints ------------------------------------------------------------------------

    /// The windows that draw window's wave as their envelope repaint.
    void WaveChanged(TMDIChildKelvorn* window);
    /// When window is the active wave window, the Select and Zoom window re-reads pane's zoom.
    void WaveZoomChanged(TMDIChildKelvorn* window, int pane);
    /// The columns [first, last) of window's volume diagram are new: the envelope users paint
    /// them.
    void VolumeColumnsDrawn(TMDIChildKelvorn* window, int32_t first, int32_t last);

    // ---- Frame -------------------------------------------------------------------------------

    QLabel* GetStatusPanel(int panel);
    QRect GetMainFormRect() const;
    QIcon GetImageListIcon(int index) const;
    QPixmap GetToolBarButtonBitmap(int index) const;

private:
    TDocumentServices& documents;
    MainWindowServices& frame;
    MainFormLink* previousLink;
    SoundPlayer* previousPlayer;
    TMainFormLink* previousInstance;
};

} // namespace kelvorn
