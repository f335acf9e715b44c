#pragma once
// The document window of a wave: a child window of the main window's frame that owns one wave
// document and shows it in two panes side by side, split by a bar 3 pixels wide. A new window
// shows only the second pane (the first is 1 pixel wide); dragging the bar opens the first.
//
// The panes, their shared records and the volume writer belong to the pane group; the window
// forwards the document's requests to it, keeps the zoom mode and the icon, and moves the
// cursor and the part from the keyboard. The close question is the base's; the volume writer
// is stopped when the close is granted and again when the window is destroyed, since split and
// merge destroy windows without closing them.

#include "document/views/VoldViewProps.h"
#include "document/views/WaveViewProps.h"
#include "document/wave/WaveDocumentLinks.h"
#include "waveui/ViewWaveGroup.h"
#include "window_base/ChildKelvorn.h"

#include <QColor>

#include <cstdint>
#include <memory>
#include <string>

class QSplitter;

namespace kelvorn {

class TUnitWave;
class TViewWave;

class TMDIChildWave : public TMDIChildKelvorn, public WaveWindowLink
{
    Q_OBJECT

public:
    /// Window icons by image number: stereo wave, mono wave, volume diagram.
    enum : int { IconStereo = 0, IconMono = 1, IconVolume = 3 };

    /// Takes the document and links it both ways; creates the group, its two panes and the
    /// bar; the icon follows the document's channels.
    TMDIChildWave(QWidget* owner, std::unique_ptr<TUnitWave> unit, TWaveViewProps waveViewProps,
                  TVoldViewProps voldViewProps);
    /// Stops the volume writer, then lets the panes and the document go.
    ~TMDIChildWave() override;

    TUnitWave& GetUnitWave() const;
    TViewWaveGroup& GetViewWaveGroup() { return *viewWaveGroup; }
    const TViewWaveGroup& GetViewWaveGroup() const { return *viewWaveGroup; }
    /// The bar between the panes.
    QSplitter& Splitter() const { return *splitter; }
    /// The bar's colour: the active-caption colour while the window is active, else the
    /// inactive one.
    QColor SplitterColour() const { return splitterColour; }

    // ---- Records and diagram -------------------------------------------------------------

    TWaveViewProps GetWaveViewProps() const { return viewWaveGroup->GetWaveViewProps(); }
    TVoldViewProps GetVoldViewProps() const { return viewWaveGroup->GetVoldViewProps(); }
    /// The group shows that diagram with the record and repaints.
    void SetWaveViewProps(TWaveViewProps props);
    void SetVoldViewProps(TVoldViewProps props);
    void SetWaveWindKind(uint8_t kind) { viewWaveGroup->SetWaveWindKind(kind); }
    void StartVolumeWriter() { viewWaveGroup->StartVolumeWriter(); }

    // ---- Repaints ------------------------------------------------------------------------

    /// Both panes repainted in full.
    void RepaintViews();
    /// RepaintViews, then the windows that draw this wave as their envelope.
    void RepaintViewsAndEnvelopes();
    /// The user drawing rendered again into the document's sound.
    void RenderUserDraw();

    // ---- Zoom mode and icon --------------------------------------------------------------

    /// 0 none, 1 zoom in, 2 zoom out; the mouse cursor follows (other values only store).
    void SetZoomMode(uint8_t mode);
    uint8_t GetZoomMode() const { return zoomMode; }
    /// Volume diagram: its icon; otherwise the icon by the document's channels.
    void UpdateIcon(uint8_t kind);
    /// The image number shown now.
    int GetIconIndex() const { return iconIndex; }
    /// The icon image of number index (0 stereo, 1 mono, 3 volume diagram).
    static QIcon IconImage(int index);

    // ---- Keys ----------------------------------------------------------------------------

    /// The cursor and part moves of the keyboard; true when the key was one of them.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);

    // ---- The document's window link ------------------------------------------------------

    bool HasPaneGroup() const override { return viewWaveGroup != nullptr; }
    void SaveZoom(int32_t begin, int32_t end) override;
    void RestoreZoom(int32_t begin, int32_t end) override;
    void RepaintPosition(int32_t position) override;
    void RepaintRange(int32_t from, int32_t to) override;
    void DrawCursor(int32_t position) override;
    /// Curve shown: any volume writer stops, both panes and the envelope users repaint;
    /// volume diagram shown: the writer starts again on the new sound.
    void RefreshWave() override;
    void SetIconByChannels(int16_t channels) override;
    uint8_t GetWaveWindKind() const override { return viewWaveGroup->GetWaveWindKind(); }
    void WriteViewXml(TXMLComplexElement& root) const override;
    bool ReadViewXml(const TXMLItem* first, std::string& message, int32_t& line, int32_t& column,
                     bool displayFlag) override;
    /// The grammar of the display part of the side file.
    static const TDTDItem* CreateViewGrammar(TDTDGrammar& grammar);

    // Both bases ask for these; one answer serves both.
    void RefreshCaption(const std::string& oldName) override;
    void UpdateCaption() override { TMDIChildKelvorn::UpdateCaption(); }
    void SetDrawCursor() override { TMDIChildKelvorn::SetDrawCursor(); }
    void SetMouseCursor(int index) override;

    // ---- What the main window asks of a window ------------------------------------------

    bool DrawsEnvelopeOf(const std::string& waveName) const override;
    void RepaintEnvelopeViews() override;
    /// The envelope wave's volume writer computed the columns [first, last) of one of its
    /// grids: where this window shows its curve over that diagram, both panes paint those
    /// columns now.
    void EnvelopeColumnsDrawn(int32_t first, int32_t last) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SetIcon(int index);
    void FollowActivation(bool active);
    void StateChanged(Qt::WindowStates oldState, Qt::WindowStates newState);

    std::unique_ptr<TViewWaveGroup> viewWaveGroup;
    QWidget* panes = nullptr;
    QSplitter* splitter = nullptr;
    QColor splitterColour;
    uint8_t zoomMode = 0;
    int iconIndex = IconStereo;
};

/// The wave document of window, or null for a window of another kind (or none).
TUnitWave* UnitWaveOf(const TMDIChildKelvorn* window);

} // namespace kelvorn
