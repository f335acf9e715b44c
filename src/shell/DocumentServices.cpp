#include "shell/DocumentServices.h"

#include "document/wave/UndoUnit.h"
#include "document/wave/UnitWave.h"
#include "general/Assert.h"
#include "general/GuiMessages.h"
#include "shell/KindRegistry.h"
#include "shell/WindowArrangement.h"
#include "waveui/WaveWindow.h"
#include "window_base/SountoryListing.h"

#include <QGuiApplication>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>

namespace kelvorn {

TDocumentServices::TDocumentServices(QMdiArea& frame, QObject* parent)
    : QObject(parent), frame(frame), lastUsedProps(std::make_unique<TUnitWaveRecords>())
{
}

TDocumentServices::~TDocumentServices()
{
    EndWait();
}

// ---- Document windows -------------------------------------------------------------------------

TMDIChildKelvorn* TDocumentServices::AddDocumentWindow(TMDIChildKelvorn* window)
{
    if (!KV_SOFT_ASSERT(window != NULL))
        return nullptr;
    frame.addSubWindow(window);
    connect(window, &TMDIChildKelvorn::Closing, this, &TDocumentServices::WindowClosing);
    if (saveHandler)
        window->SetSaveHandler(saveHandler);
    window->UpdateCaption();
    // A window made without a place of its own (new, opened, duplicated) would open at the size
    // of its empty layout, a caption bar with nothing under it; give it a usable share of the
    // frame instead. Windows placed by their maker (split, merge, a project) keep their place.
    const bool placeHere =
        window->width() < MinimumWindowWidth || window->height() < MinimumWindowHeight;
    if (placeHere)
        PlaceNewWindow(*window);
    window->show();
    frame.setActiveSubWindow(window);
    // The activation brought the toolbars of the window's kind, which may have left the frame
    // another size. A window the frame maximised keeps its place to come back to.
    if (placeHere && !window->isMaximized())
        PlaceNewWindow(*window);
    return window;
}

void TDocumentServices::PlaceNewWindow(TMDIChildKelvorn& window)
{
    // Toolbars shown or hidden take their room only when the main window next lays itself
    // out, which it does now.
    if (QLayout* layout = frame.window()->layout())
        layout->activate();
    const QSize area = frame.viewport()->size();
    const QSize size(std::min(area.width(), std::max(MinimumWindowWidth, area.width() * 2 / 3)),
                     std::min(area.height(), std::max(MinimumWindowHeight, area.height() * 2 / 3)));
    // Cascaded from the top left of the visible part, by the windows there now: the place
    // does not depend on windows that were placed, moved or closed before.
    std::vector<QPoint> taken;
    for (TMDIChildKelvorn* other : DocumentWindows())
        if (other != &window && other->isVisible() && !other->isMinimized())
            taken.push_back(other->pos());
    window.setGeometry(QRect(NewWindowPlace(area, size, taken, NewWindowStep), size));
}

void TDocumentServices::SetSaveHandler(std::function<bool(TMDIChildKelvorn&)> handler)
{
    saveHandler = std::move(handler);
}

std::vector<TMDIChildKelvorn*> TDocumentServices::DocumentWindows() const
{
    // The frame lists the most recently activated window last.
    const QList<QMdiSubWindow*> windows = frame.subWindowList(QMdiArea::ActivationHistoryOrder);
    std::vector<TMDIChildKelvorn*> result;
    result.reserve(size_t(windows.size()));
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        auto* child = qobject_cast<TMDIChildKelvorn*>(*it);
        if (child && !child->IsClosing())
            result.push_back(child);
    }
    return result;
}

bool TDocumentServices::CloseAllWindows()
{
    const std::vector<TMDIChildKelvorn*> windows = DocumentWindows();
    for (TMDIChildKelvorn* window : windows)
        if (!window->QueryClose())
            return false;
    for (TMDIChildKelvorn* window : windows)
        window->Release();
    return true;
}

int TDocumentServices::DocumentWindowCount() const
{
    return int(DocumentWindows().size());
}

TMDIChildKelvorn* TDocumentServices::GetActiveChild() const
{
    // The current window stays current while a tool window (Edit Name) has the focus.
    auto* child = qobject_cast<TMDIChildKelvorn*>(frame.currentSubWindow());
    if (!child || child->IsClosing())
        return nullptr;
    return child;
}

TMDIChildKelvorn* TDocumentServices::GetActiveChildWave() const
{
    TMDIChildKelvorn* child = GetActiveChild();
    return WindowOfKind(child, DocumentKind::Wave);
}

TMDIChildKelvorn* TDocumentServices::GetActiveChildMuz() const
{
    TMDIChildKelvorn* child = GetActiveChild();
    return WindowOfKind(child, DocumentKind::Music);
}

TMDIChildKelvorn* TDocumentServices::GetActiveChildFact() const
{
    TMDIChildKelvorn* child = GetActiveChild();
    return WindowOfKind(child, DocumentKind::Factory);
}

TFileUnit* TDocumentServices::GetActiveUnit() const
{
    TMDIChildKelvorn* child = GetActiveChild();
    return child ? child->GetUnit() : nullptr;
}

TUnitWave* TDocumentServices::GetActiveUnitWave() const
{
    TMDIChildKelvorn* child = GetActiveChildWave();
    return UnitWaveOf(child);
}

TFileUnit* TDocumentServices::GetActiveUnitMuz() const
{
    TMDIChildKelvorn* child = GetActiveChildMuz();
    return child ? child->GetUnit() : nullptr;
}

TFileUnit* TDocumentServices::GetActiveUnitSountory() const
{
    TMDIChildKelvorn* child = GetActiveChildFact();
    return child ? child->GetUnit() : nullptr;
}

TFileUnit* TDocumentServices::FindUnitByName(const std::string& name) const
{
    if (name.empty())
        return nullptr;
    const std::vector<TMDIChildKelvorn*> windows = DocumentWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        TFileUnit* unit = (*it)->GetUnit();
        if (unit && unit->GetName() == name)
            return unit;
    }
    return nullptr;
}

TUnitWave* TDocumentServices::FindUnitWave(const std::string& name)
{
    TFileUnit* unit = FindUnitByName(name);
    return dynamic_cast<TUnitWave*>(unit);
}

TFileUnit* TDocumentServices::FindUnitSountory(const std::string& name) const
{
    TFileUnit* unit = FindUnitByName(name);
    return UnitOfKind(unit, DocumentKind::Factory);
}

TMDIChildKelvorn* TDocumentServices::FindChildOf(const TFileUnit* unit) const
{
    if (!unit)
        return nullptr;
    for (TMDIChildKelvorn* child : DocumentWindows())
        if (child->GetUnit() == unit)
            return child;
    return nullptr;
}

// ---- Names --------------------------------------------------------------------------------------

bool TDocumentServices::CheckUniqueName(const std::string& name, const TFileUnit* unit) const
{
    if (name.empty())
        return true;
    const std::string refusal = NameRefusal(QString::fromLatin1(name.c_str()));
    if (!refusal.empty()) {
        TGuiMessages::ShowInputError(refusal);
        return false;
    }
    const TFileUnit* found = FindUnitByName(name);
    if (found && found != unit) {
        TGuiMessages::ShowWindowExistsError(name);
        return false;
    }
    return true;
}

std::string TDocumentServices::MakeUniqueName(const std::string& base,
                                              const std::string& suffix) const
{
    // Among n open documents one of the numbers 1 to n + 1 is always free.
    const int64_t limit = int64_t(DocumentWindowCount()) + 1;
    std::string name;
    for (int64_t n = 1; n <= limit; ++n) {
        name = base + " " + std::to_string(n);
        if (!suffix.empty())
            name += " " + suffix;
        if (!FindUnitByName(name))
            break;
    }
    return name;
}

// ---- Lists
// ---------------------------------------------------------------------------------------

template <class Visit> void TDocumentServices::ScanNamed(DocumentKind kind, Visit visit) const
{
    const std::vector<TMDIChildKelvorn*> windows = DocumentWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        TMDIChildKelvorn* child = *it;
        if (child->GetKind() == kind && !child->GetUnit()->GetName().empty())
            visit(child);
    }
}

int TDocumentServices::FillWaveList(std::vector<WaveChoice>& list, int mode) const
{
    if (!KV_SOFT_ASSERT(mode >= AllWaves && mode <= OtherStereo))
        return 0;
    const TUnitWave* active = GetActiveUnitWave();
    int added = 0;
    ScanNamed(DocumentKind::Wave, [&](TMDIChildKelvorn* child) {
        TUnitWave* wave = UnitWaveOf(child);
        if (!wave)
            return;
        if (mode != AllWaves && wave == active)
            return;
        if (mode == OtherMono && wave->GetMonoStereo() != 1)
            return;
        if (mode == OtherStereo && wave->GetMonoStereo() != 2)
            return;
        list.push_back(WaveChoice{wave->GetName(), wave});
        ++added;
    });
    return added;
}

int TDocumentServices::FillSountoryKindList(std::vector<SountoryChoice>& list, uint8_t kind) const
{
    int added = 0;
    ScanNamed(DocumentKind::Factory, [&](TMDIChildKelvorn* child) {
        const auto* listing = dynamic_cast<const SountoryListing*>(child);
        if (!listing)
            return;
        const uint8_t own = listing->GetSountoryKind();
        if (own != kind && own != 0)
            return;
        list.push_back(SountoryChoice{child->GetUnit()->GetName(), child->GetUnit()});
        ++added;
    });
    return added;
}

int TDocumentServices::FillSountoryList(std::vector<SountoryChoice>& list,
                                        const TFileUnit* leaveOut) const
{
    int added = 0;
    ScanNamed(DocumentKind::Factory, [&](TMDIChildKelvorn* child) {
        if (child->GetUnit() == leaveOut)
            return;
        list.push_back(SountoryChoice{child->GetUnit()->GetName(), child->GetUnit()});
        ++added;
    });
    return added;
}

int TDocumentServices::FillSountoryNodeList(std::vector<SountoryNodeChoice>& list,
                                            uint8_t nodeKind) const
{
    int added = 0;
    std::vector<std::pair<std::string, const void*>> nodes;
    ScanNamed(DocumentKind::Factory, [&](TMDIChildKelvorn* child) {
        const auto* listing = dynamic_cast<const SountoryListing*>(child);
        if (!listing)
            return;
        nodes.clear();
        listing->ListNodes(nodeKind, nodes);
        for (const auto& [nodeName, node] : nodes) {
            list.push_back(SountoryNodeChoice{child->GetUnit()->GetName() + "." + nodeName, node});
            ++added;
        }
    });
    return added;
}

int TDocumentServices::NamedSountoryCount() const
{
    int count = 0;
    ScanNamed(DocumentKind::Factory, [&](TMDIChildKelvorn*) { ++count; });
    return count;
}

// ---- Busy cursor
// ---------------------------------------------------------------------------------

void TDocumentServices::BeginWait()
{
    if (waiting)
        return;
    waiting = true;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void TDocumentServices::EndWait()
{
    if (!waiting)
        return;
    waiting = false;
    QGuiApplication::restoreOverrideCursor();
}

// ---- Clipboard and undo ------------------------------------------------------------------------

SoundPtr TDocumentServices::GetClipBoardSound() const
{
    KV_SOFT_ASSERT(ClipBoardSound != 0);
    return ClipBoardSound;
}

void TDocumentServices::SetClipBoardSound(SoundPtr sound)
{
    ClipBoardSound = std::move(sound);
}

void TDocumentServices::DeleteClipBoardSound()
{
    ClipBoardSound.reset();
}

void TDocumentServices::MakeUndo(TUnitWave& unit)
{
    undoUnit.reset();
    undoUnit = std::make_unique<TUndoUnit>(unit);
}

void TDocumentServices::DeleteUndo()
{
    undoUnit.reset();
}

std::unique_ptr<TUndoUnit> TDocumentServices::ReleaseUndo()
{
    return std::move(undoUnit);
}

void TDocumentServices::RestoreUndo(std::unique_ptr<TUndoUnit> record)
{
    undoUnit = std::move(record);
}

void TDocumentServices::DeleteUndoOfUnit(const TUnitWave& unit)
{
    if (undoUnit && undoUnit->GetUnitWave() == &unit)
        DeleteUndo();
}

bool TDocumentServices::CanUndo() const
{
    return undoUnit && undoUnit->GetUnitWave() && !undoUnit->GetUnitWave()->IsUserDrawing();
}

void TDocumentServices::SetLastUsedProps(TUnitWave& unit) const
{
    unit.SetAllProps(*lastUsedProps);
}

// ---- Envelope repaints -------------------------------------------------------------------------

void TDocumentServices::WaveChanged(TMDIChildKelvorn* window)
{
    if (!KV_SOFT_ASSERT(window != NULL))
        return;
    TUnitWave* unitWave = UnitWaveOf(window);
    if (!KV_SOFT_ASSERT(unitWave != NULL))
        return;
    WaveNameChanged(unitWave->GetName());
}

void TDocumentServices::WaveNameChanged(const std::string& name)
{
    if (name.empty())
        return;
    const std::vector<TMDIChildKelvorn*> windows = DocumentWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if ((*it)->DrawsEnvelopeOf(name))
            (*it)->RepaintEnvelopeViews();
}

void TDocumentServices::VolumeColumnsDrawn(TMDIChildKelvorn* window, int32_t first, int32_t last)
{
    if (!KV_SOFT_ASSERT(window != NULL))
        return;
    TUnitWave* unitWave = UnitWaveOf(window);
    if (!KV_SOFT_ASSERT(unitWave != NULL))
        return;
    const std::string& name = unitWave->GetName();
    if (name.empty())
        return;
    const std::vector<TMDIChildKelvorn*> windows = DocumentWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if ((*it)->DrawsEnvelopeOf(name))
            (*it)->EnvelopeColumnsDrawn(first, last);
}

// ---- Closing
// -------------------------------------------------------------------------------------

void TDocumentServices::WindowClosing(TMDIChildKelvorn* window)
{
    // The document is deleted only with the window, later; Undo must not reach it meanwhile.
    if (TUnitWave* wave = UnitWaveOf(window))
        DeleteUndoOfUnit(*wave);
    emit DocumentWindowClosing(window);
    if (DocumentWindowCount() == 0)
        emit LastDocumentWindowClosing();
    if (UnitWaveOf(window))
        WaveNameChanged(window->GetUnit()->GetName());
}

// ---- The name window's target ------------------------------------------------------------------

std::string TActiveNameTarget::ActiveName() const
{
    TFileUnit* unit = documents.GetActiveUnit();
    return unit ? unit->GetName() : std::string();
}

bool TActiveNameTarget::CheckUniqueName(const std::string& name)
{
    return documents.CheckUniqueName(name, documents.GetActiveUnit());
}

void TActiveNameTarget::SetActiveName(const std::string& name)
{
    TFileUnit* unit = documents.GetActiveUnit();
    if (KV_SOFT_ASSERT(unit != NULL))
        unit->SetName(name);
}

void TActiveNameTarget::SetTextInputMode(bool on)
{
    if (setTextInputMode)
        setTextInputMode(on);
}

} // namespace kelvorn
