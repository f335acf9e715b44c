#include "shell/MainFormLink.h"

#include "document/wave/UnitWave.h"
#include "general/Services.h"
#include "window_base/ChildKelvorn.h"

#include <QLabel>

namespace kelvorn {

namespace {
TMainFormLink* installedLink = nullptr;
}

TMainFormLink::TMainFormLink(TDocumentServices& documents, MainWindowServices& frame)
    : documents(documents), frame(frame), previousLink(InstallService<MainFormLink>(this)),
      previousPlayer(InstallService<SoundPlayer>(this)), previousInstance(installedLink)
{
    installedLink = this;
}

TMainFormLink::~TMainFormLink()
{
    installedLink = previousInstance;
    InstallService<SoundPlayer>(previousPlayer);
    InstallService<MainFormLink>(previousLink);
}

TMainFormLink* TMainFormLink::Instance()
{
    return installedLink;
}

// ---- The model's link -----------------------------------------------------------------------

void TMainFormLink::DeleteUndoOfUnit(const TUnitWave& unit)
{
    documents.DeleteUndoOfUnit(unit);
}

void TMainFormLink::WaveSelectionChanged(const TUnitWave& unit)
{
    TMDIChildKelvorn* window = documents.FindChildOf(&unit);
    if (!window)
        return;
    frame.SelZoomSelectionChanged(window);
    documents.WaveChanged(window);
}

SoundPtr TMainFormLink::GetClipBoardSound() const
{
    return documents.HasClipBoardSound() ? documents.GetClipBoardSound() : nullptr;
}

void TMainFormLink::SetClipBoardSound(SoundPtr sound)
{
    documents.SetClipBoardSound(std::move(sound));
}

void TMainFormLink::SetStatusText(int panel, const std::string& text)
{
    if (QLabel* label = frame.GetStatusPanel(panel))
        label->setText(QString::fromLatin1(text.c_str()));
}

// ---- Documents ------------------------------------------------------------------------------

int TMainFormLink::FillWaveList(std::vector<WaveChoice>& list, int mode)
{
    return documents.FillWaveList(list, mode);
}

int TMainFormLink::FillSountoryKindList(std::vector<SountoryChoice>& list, uint8_t kind)
{
    return documents.FillSountoryKindList(list, kind);
}

int TMainFormLink::FillSountoryList(std::vector<SountoryChoice>& list, const TFileUnit* leaveOut)
{
    return documents.FillSountoryList(list, leaveOut);
}

int TMainFormLink::FillSountoryNodeList(std::vector<SountoryNodeChoice>& list, uint8_t nodeKind)
{
    return documents.FillSountoryNodeList(list, nodeKind);
}

TFileUnit* TMainFormLink::GetActiveUnit()
{
    return documents.GetActiveUnit();
}

TMDIChildKelvorn* TMainFormLink::GetActiveChildWave()
{
    return documents.GetActiveChildWave();
}

TMDIChildKelvorn* TMainFormLink::GetActiveChildMuz()
{
    return documents.GetActiveChildMuz();
}

TUnitWave* TMainFormLink::FindUnitWave(const std::string& name)
{
    return documents.FindUnitWave(name);
}

TFileUnit* TMainFormLink::FindUnitSountory(const std::string& name)
{
    return documents.FindUnitSountory(name);
}

bool TMainFormLink::CheckUniqueName(const std::string& name, const TFileUnit* unit)
{
    return documents.CheckUniqueName(name, unit);
}

// ---- Tool windows, keys, play ---------------------------------------------------------------

void TMainFormLink::SetEditName(const std::string& name)
{
    frame.SetEditName(name);
}

void TMainFormLink::SelZoomClosed()
{
    frame.SelZoomClosed();
}

void TMainFormLink::EditNameClosed()
{
    frame.EditNameClosed();
}

void TMainFormLink::MusicDialogClosed()
{
    frame.MusicDialogClosed();
}

void TMainFormLink::MusTreeClosed()
{
    frame.MusTreeClosed();
}

void TMainFormLink::SetTextInputMode(bool on)
{
    frame.SetTextInputMode(on);
}

void TMainFormLink::PlaySound(const Sound& sound, bool maximise)
{
    frame.PlaySound(sound, maximise);
}

// ---- Repaints -----------------------------------------------------------------------------------

void TMainFormLink::WaveChanged(TMDIChildKelvorn* window)
{
    documents.WaveChanged(window);
}

void TMainFormLink::WaveZoomChanged(TMDIChildKelvorn* window, int pane)
{
    if (window && window == documents.GetActiveChildWave())
        frame.SelZoomZoomChanged(window, pane);
}

void TMainFormLink::VolumeColumnsDrawn(TMDIChildKelvorn* window, int32_t first, int32_t last)
{
    documents.VolumeColumnsDrawn(window, first, last);
}

// ---- Frame
// ----------------------------------------------------------------------------------------

QLabel* TMainFormLink::GetStatusPanel(int panel)
{
    return frame.GetStatusPanel(panel);
}

QRect TMainFormLink::GetMainFormRect() const
{
    return frame.GetMainFormRect();
}

QIcon TMainFormLink::GetImageListIcon(int index) const
{
    return frame.GetImageListIcon(index);
}

QPixmap TMainFormLink::GetToolBarButtonBitmap(int index) const
{
    return frame.GetToolBarButtonBitmap(index);
}

} // namespace kelvorn
