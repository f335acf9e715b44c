#include "waveui/WaveWindow.h"

#include "document/wave/UnitWave.h"
#include "general/Assert.h"
#include "general/Services.h"
#include "waveui/ViewWave.h"
#include "waveui/WaveWindowHost.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QSplitter>

namespace kelvorn {

namespace {

// The bar's width, and the first pane's width in a new window (only the second one shows).
constexpr int BarWidth = 3;
constexpr int FirstPaneWidth = 1;

std::unique_ptr<TUnitWave> Document(std::unique_ptr<TUnitWave> unit)
{
    // A window without a document would fail every request the document's link makes of it.
    if (KV_SOFT_ASSERT(unit != NULL))
        return unit;
    return std::make_unique<TUnitWave>(std::string(), std::string(), SoundPtr());
}

} // namespace

TMDIChildWave::TMDIChildWave(QWidget* owner, std::unique_ptr<TUnitWave> unit,
                             TWaveViewProps waveViewProps, TVoldViewProps voldViewProps)
    : TMDIChildKelvorn(owner)
{
    std::unique_ptr<TUnitWave> document = Document(std::move(unit));
    TUnitWave* raw = document.get();
    SetUnit(std::move(document));
    raw->SetChildWave(this);

    viewWaveGroup = std::make_unique<TViewWaveGroup>(this, waveViewProps, voldViewProps);
    splitter = new QSplitter(Qt::Horizontal);
    splitter->setHandleWidth(BarWidth);
    splitter->setChildrenCollapsible(false);
    splitter->setOpaqueResize(true);
    auto* first = new TViewWave(*viewWaveGroup, splitter);
    auto* second = new TViewWave(*viewWaveGroup, splitter);
    splitter->addWidget(first);
    splitter->addWidget(second);
    // Growing the window widens the second pane; the first keeps what the bar gave it.
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({FirstPaneWidth, std::max(FirstPaneWidth, splitter->width())});
    setWidget(splitter);
    connect(splitter, &QSplitter::splitterMoved, this,
            [this](int, int) { GetUnitWave().SetViewModified(); });
    connect(this, &QMdiSubWindow::windowStateChanged, this, &TMDIChildWave::StateChanged);
    FollowActivation(false);
    SetIconByChannels(raw->GetMonoStereo());
}

TMDIChildWave::~TMDIChildWave()
{
    // The frame's part of this window lives on a little and still signals state changes; they
    // must not reach the wave window's part, which is gone by then.
    disconnect(this, nullptr, this, nullptr);
    splitter->disconnect(this);
    // Split and merge destroy windows without closing them: the writer must stop here too.
    viewWaveGroup->StopVolumeWriter();
    GetUnitWave().SetChildWave(nullptr);
    viewWaveGroup.reset();
}

TUnitWave& TMDIChildWave::GetUnitWave() const
{
    return *UnitWaveOf(this);
}

// ---- Records and repaints -----------------------------------------------------------------------

void TMDIChildWave::SetWaveViewProps(TWaveViewProps props)
{
    viewWaveGroup->SetWaveViewProps(props);
    RepaintViews();
}

void TMDIChildWave::SetVoldViewProps(TVoldViewProps props)
{
    viewWaveGroup->SetVoldViewProps(props);
    RepaintViews();
}

void TMDIChildWave::RepaintViews()
{
    viewWaveGroup->UpdateDoubleBuffered();
    viewWaveGroup->InvalidateViews();
}

void TMDIChildWave::RepaintViewsAndEnvelopes()
{
    RepaintViews();
    if (WaveWindowHost* host = FindService<WaveWindowHost>())
        host->WaveChanged(*this);
}

void TMDIChildWave::RenderUserDraw()
{
    GetUnitWave().RenderUserDraw();
}

void TMDIChildWave::RefreshWave()
{
    if (viewWaveGroup->GetWaveWindKind() == TViewWaveGroup::waveWindWave) {
        // A writer left from the diagram would go on computing a sound the document no longer
        // shows.
        viewWaveGroup->StopVolumeWriter();
        RepaintViewsAndEnvelopes();
    } else
        viewWaveGroup->StartVolumeWriter();
}

// ---- Zoom mode and icon -------------------------------------------------------------------------

void TMDIChildWave::SetZoomMode(uint8_t mode)
{
    zoomMode = mode;
    switch (mode) {
    case 0:
        SetDefaultCursor();
        break;
    case 1:
        SetZoomCursor();
        break;
    case 2:
        SetZoomOutCursor();
        break;
    default:
        break;
    }
}

void TMDIChildWave::SetMouseCursor(int index)
{
    viewWaveGroup->SetMouseCursor(index);
}

void TMDIChildWave::UpdateIcon(uint8_t kind)
{
    if (kind == TViewWaveGroup::waveWindVolume)
        SetIcon(IconVolume);
    else
        SetIcon(GetUnitWave().GetMonoStereo() == 1 ? IconMono : IconStereo);
}

void TMDIChildWave::SetIconByChannels(int16_t channels)
{
    SetIcon(channels == 1 ? IconMono : IconStereo);
}

void TMDIChildWave::SetIcon(int index)
{
    iconIndex = index;
    setWindowIcon(IconImage(index));
}

QIcon TMDIChildWave::IconImage(int index)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    if (index == IconVolume) {
        // A few cells of a volume diagram: dark to light.
        for (int x = 0; x < 4; ++x)
            for (int y = 0; y < 4; ++y)
                painter.fillRect(x * 4, y * 4, 4, 4, QColor::fromHsv(0, 0, (x * 4 + y) * 16));
    } else {
        auto curve = [&painter](int middle, int height, const QColor& colour) {
            painter.setPen(colour);
            const int shape[8] = {0, 2, 3, 1, -1, -3, -2, 0};
            for (int x = 0; x < 15; ++x)
                painter.drawLine(x, middle - shape[x % 8] * height / 3, x + 1,
                                 middle - shape[(x + 1) % 8] * height / 3);
        };
        if (index == IconMono) {
            curve(8, 6, Qt::black);
        } else {
            curve(4, 3, Qt::red);
            curve(12, 3, QColor(0, 128, 128));
        }
    }
    return QIcon(pixmap);
}

// ---- Activation, closing and keys ---------------------------------------------------------------

void TMDIChildWave::StateChanged(Qt::WindowStates oldState, Qt::WindowStates newState)
{
    if ((oldState ^ newState) & Qt::WindowActive)
        FollowActivation(newState & Qt::WindowActive);
}

void TMDIChildWave::FollowActivation(bool active)
{
    splitterColour = active ? palette().color(QPalette::Active, QPalette::Highlight)
                            : palette().color(QPalette::Inactive, QPalette::Mid);
    splitter->setStyleSheet(
        QStringLiteral("QSplitter::handle { background-color: %1; }").arg(splitterColour.name()));
}

void TMDIChildWave::closeEvent(QCloseEvent* event)
{
    TMDIChildKelvorn::closeEvent(event);
    if (event->isAccepted() && IsClosing())
        viewWaveGroup->StopVolumeWriter();
}

void TMDIChildWave::keyPressEvent(QKeyEvent* event)
{
    FormKeyDown(event->key(), event->modifiers());
    // The key is not consumed: the frame's own keys still see it.
    TMDIChildKelvorn::keyPressEvent(event);
}

bool TMDIChildWave::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    TViewWave* view = viewWaveGroup->GetView(modifiers & Qt::AltModifier ? 1 : 2);
    if (!view)
        return false;
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    int columns = 0;
    switch (key) {
    case Qt::Key_Left:
        columns = -1;
        break;
    case Qt::Key_Right:
        columns = 1;
        break;
    case Qt::Key_Up:
        columns = -10;
        break;
    case Qt::Key_Down:
        columns = 10;
        break;
    case Qt::Key_Home:
    case Qt::Key_End: {
        const bool toEnd = key == Qt::Key_End;
        if (!shift && !ctrl)
            view->MoveCursorToLimit(toEnd);
        else
            view->MoveMarksToLimit(toEnd, shift, ctrl);
        return true;
    }
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (ctrl && !shift) {
            view->MovePartByLength(key == Qt::Key_PageDown);
            return true;
        }
        return false;
    default:
        return false;
    }
    if (!shift && !ctrl)
        view->MoveCursorBy(columns);
    else
        view->MoveMarksBy(columns, shift, ctrl);
    return true;
}

// ---- The document's link ------------------------------------------------------------------------

void TMDIChildWave::SaveZoom(int32_t begin, int32_t end)
{
    viewWaveGroup->SaveZoom(begin, end);
}

void TMDIChildWave::RestoreZoom(int32_t begin, int32_t end)
{
    viewWaveGroup->RestoreZoom(begin, end);
}

void TMDIChildWave::RepaintPosition(int32_t position)
{
    viewWaveGroup->RepaintPosition(position);
}

void TMDIChildWave::RepaintRange(int32_t from, int32_t to)
{
    viewWaveGroup->RepaintRange(from, to);
}

void TMDIChildWave::DrawCursor(int32_t position)
{
    viewWaveGroup->DrawCursor(position);
}

void TMDIChildWave::WriteViewXml(TXMLComplexElement& root) const
{
    viewWaveGroup->WriteXml(root);
}

bool TMDIChildWave::ReadViewXml(const TXMLItem* first, std::string& message, int32_t& line,
                                int32_t& column, bool displayFlag)
{
    return viewWaveGroup->ReadXml(first, message, line, column, displayFlag);
}

const TDTDItem* TMDIChildWave::CreateViewGrammar(TDTDGrammar& grammar)
{
    return TViewWaveGroup::CreateGrammar(grammar);
}

void TMDIChildWave::RefreshCaption(const std::string& oldName)
{
    TMDIChildKelvorn::RefreshCaption(oldName);
    if (WaveWindowHost* host = FindService<WaveWindowHost>()) {
        host->WaveNameChanged(oldName);
        host->WaveChanged(*this);
    }
}

bool TMDIChildWave::DrawsEnvelopeOf(const std::string& waveName) const
{
    const TWaveViewProps& props = viewWaveGroup->GetWaveViewProps();
    return !waveName.empty() && props.DrawEnvelope && props.EnvelopeName.GetCaption() == waveName;
}

void TMDIChildWave::RepaintEnvelopeViews()
{
    RepaintViews();
}

void TMDIChildWave::EnvelopeColumnsDrawn(int32_t first, int32_t last)
{
    const TWaveViewProps& props = viewWaveGroup->GetWaveViewProps();
    if (viewWaveGroup->GetWaveWindKind() != TViewWaveGroup::waveWindWave || !props.DrawEnvelope ||
        props.EnvelopeStrength.GetValue() == 0)
        return;
    WaveWindowHost* host = FindService<WaveWindowHost>();
    TUnitWave* other = host ? host->FindUnitWave(props.EnvelopeName.GetCaption()) : nullptr;
    auto* otherWindow = other ? dynamic_cast<TMDIChildWave*>(other->GetChildWave()) : nullptr;
    if (!otherWindow || otherWindow->GetWaveWindKind() != TViewWaveGroup::waveWindVolume)
        return;
    const TViewWaveGroup& otherGroup = otherWindow->GetViewWaveGroup();
    const TVolumeArray* grid = other->GetMonoStereo() == 1 ? otherGroup.GetVolumeArraySingle()
                                                           : otherGroup.GetVolumeArrayLeft();
    const TUnitWave& unit = GetUnitWave();
    const int32_t rangeBegin = unit.GetRangeBegin();
    const int32_t rangeEnd = unit.GetRangeEnd();
    if (!grid || rangeEnd == rangeBegin)
        return;
    for (int n : {1, 2})
        if (TViewWave* view = viewWaveGroup->GetView(n))
            view->RefreshEnvelopeColumns(first, last, grid->GetWidth(), rangeBegin, rangeEnd);
}

TUnitWave* UnitWaveOf(const TMDIChildKelvorn* window)
{
    return window ? dynamic_cast<TUnitWave*>(window->GetUnit()) : nullptr;
}

} // namespace kelvorn
