#include "waveui/ViewWave.h"

#include "document/wave/UnitWave.h"
#include "general/Assert.h"
#include "general/Services.h"
#include "general/numeric/NumericHelpers.h"
#include "general/values/ValueUnits.h"
#include "waveui/ViewWaveGroup.h"
#include "waveui/WaveWindow.h"
#include "waveui/WaveWindowHost.h"
#include "window_base/QtCanvas.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelvorn {

namespace {

// A position computed in doubles, brought into the wave before it becomes an index.
int32_t ClampToWave(double position, int32_t count)
{
    if (!(position > 0.0))
        return 0;
    return position >= double(count) ? count : int32_t(position);
}

// A volume cell as the status bar shows it: a level in decibels, silence as a plain 0 (it has
// no level).
std::string VolumeCellText(const TVolumeArray* grid, double column, double row)
{
    if (!grid)
        return "0";
    const float volume = grid->GetVolume(TruncToInt32(column), TruncToInt32(row));
    if (!(volume > 0.0f))
        return "0";
    unitFactorPos level(0.0, EHDB);
    level.SetValue(volume);
    return level.ToText();
}

// y's share of [from, to] as a band of a grid of height bands (from = band 0).
double RowOf(int y, double from, double to, const TVolumeArray* grid)
{
    if (!grid || !(to != from))
        return 0.0;
    return LinearMap(y, from, to, 0.0, grid->GetHeight());
}

int SaturatedInt(double x)
{
    if (!(x == x))
        return 0;
    if (x >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (x <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(x);
}

} // namespace

TViewWave::TViewWave(TViewWaveGroup& group, QWidget* parent)
    : QWidget(parent), group(group), backing(std::make_unique<QtCanvas>(1, 1)), canvas(*backing)
{
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setMinimumWidth(1);
    scrollBar = new QScrollBar(Qt::Horizontal, this);
    scrollBar->setTracking(true);
    scrollBar->hide();
    connect(scrollBar, &QScrollBar::valueChanged, this, [this](int value) { ScrollTo(value); });
    group.RegisterView(this);
}

TViewWave::~TViewWave() = default;

TUnitWave& TViewWave::Unit() const
{
    return group.GetUnitWave();
}

int32_t TViewWave::Count() const
{
    return Unit().GetValues();
}

PixelRect TViewWave::ClientRect() const
{
    int height = this->height();
    if (zoomed)
        height = std::max(0, height - scrollBar->sizeHint().height());
    return {0, 0, width(), height};
}

const QImage& TViewWave::BackingImage()
{
    PaintPending();
    return backing->Image();
}

void TViewWave::InvalidateAll()
{
    fullRepaint = true;
    update();
}

void TViewWave::UpdateDoubleBuffered()
{
    if (group.GetWaveWindKind() != TViewWaveGroup::waveWindWave) {
        doubleBuffered = false;
        return;
    }
    const TWaveViewProps& props = group.GetWaveViewProps();
    WaveWindowHost* host = FindService<WaveWindowHost>();
    TUnitWave* other = nullptr;
    if (props.DrawEnvelope && props.EnvelopeStrength.GetValue() != 0 && host)
        other = host->FindUnitWave(props.EnvelopeName.GetCaption());
    if (!other) {
        doubleBuffered = true;
        return;
    }
    auto* otherWindow = dynamic_cast<TMDIChildWave*>(other->GetChildWave());
    if (!KV_SOFT_ASSERT(otherWindow != NULL))
        return;
    doubleBuffered = otherWindow->GetWaveWindKind() == TViewWaveGroup::waveWindWave;
}

// ---- Zoom ---------------------------------------------------------------------------------------

double TViewWave::GetZoomBegin() const
{
    return zoomed ? zoomBegin : 0.0;
}

double TViewWave::GetZoomEnd() const
{
    return zoomed ? zoomEnd : double(Count());
}

double TViewWave::GetZoomBeginTime() const
{
    return GetZoomBegin() / Unit().GetSampleFreq();
}

double TViewWave::GetZoomEndTime() const
{
    return GetZoomEnd() / Unit().GetSampleFreq();
}

void TViewWave::ZoomTo(int32_t begin, int32_t end, bool invalidate)
{
    const int32_t count = Count();
    // A side file, a length change or a rounded range can ask for samples the wave lacks.
    if (count <= 0 || end <= begin || begin < 0 || end > count) {
        ZoomFull();
        if (invalidate)
            InvalidateAll();
        return;
    }
    const bool wasZoomed = zoomed;
    zoomed = true;
    const int width = ClientRect().Width();
    const double length = double(end) - double(begin);
    zoomBegin = begin;
    // The left edge sits on a whole pixel of the virtual width the whole wave would take, and
    // at random one pixel further, as the scroll bar of a pixel-counted view would put it. A
    // pane not laid out yet has no pixels to speak of: it keeps the range as it is.
    if (isVisible() && width >= 2) {
        double pixel = std::floor(double(begin) * width / length);
        if (spacing.Next() > Random15::Max / 2)
            pixel += 1.0;
        zoomBegin = pixel * length / width;
    }
    if (zoomBegin + length > count)
        zoomBegin = std::max(0.0, count - length);
    zoomEnd = zoomBegin + length;
    if (!wasZoomed)
        Relayout();
    SyncScrollBar();
    if (invalidate)
        InvalidateAll();
    group.ZoomChanged(this);
}

void TViewWave::ZoomFull()
{
    const bool wasZoomed = zoomed;
    zoomed = false;
    zoomBegin = zoomEnd = 0.0;
    if (wasZoomed)
        Relayout();
    SyncScrollBar();
    group.ZoomChanged(this);
}

void TViewWave::SyncScrollBar()
{
    syncing = true;
    if (zoomed) {
        // Counted in samples: the range cannot overflow however far the view is zoomed.
        const double length = zoomEnd - zoomBegin;
        const int maximum = std::max(0, SaturatedInt(std::ceil(Count() - length)));
        scrollBar->setRange(0, maximum);
        scrollBar->setPageStep(std::max(1, SaturatedInt(length)));
        scrollBar->setSingleStep(std::max(1, SaturatedInt(length / 10)));
        scrollBar->setValue(SaturatedInt(zoomBegin));
        const int barHeight = scrollBar->sizeHint().height();
        scrollBar->setGeometry(0, std::max(0, height() - barHeight), width(), barHeight);
        scrollBar->show();
    } else {
        scrollBar->hide();
    }
    syncing = false;
}

void TViewWave::ScrollTo(int value)
{
    if (syncing || !zoomed)
        return;
    const double length = zoomEnd - zoomBegin;
    zoomBegin = value;
    zoomEnd = value + length;
    InvalidateAll();
    group.ZoomChanged(this);
}

void TViewWave::SaveZoom(int32_t begin, int32_t end)
{
    KV_SOFT_ASSERT(oldZoomDepth++ == 0);
    oldZoomBegin = GetZoomBegin() - begin;
    oldZoomEnd = GetZoomEnd() - end;
}

void TViewWave::RestoreZoom(int32_t begin, int32_t end)
{
    KV_SOFT_ASSERT(oldZoomDepth-- == 1);
    if (!zoomed)
        return;
    const int32_t count = Count();
    if (count == 0) {
        ZoomFull();
        return;
    }
    ZoomTo(ClampToWave(std::max(0.0, oldZoomBegin + begin), count),
           ClampToWave(std::min(double(count), oldZoomEnd + end), count), false);
}

void TViewWave::SetPendingZoom(int32_t begin, int32_t end)
{
    pendingZoomSet = true;
    pendingZoomed = true;
    pendingZoomBegin = begin;
    pendingZoomEnd = end;
}

void TViewWave::SetPendingFull()
{
    pendingZoomSet = true;
    pendingZoomed = false;
}

void TViewWave::ApplyPendingZoom()
{
    if (!pendingZoomSet)
        return;
    if (pendingZoomed)
        ZoomTo(pendingZoomBegin, pendingZoomEnd, false);
    else
        ZoomFull();
    InvalidateAll();
}

void TViewWave::WriteXml(TXMLComplexElement& parent) const
{
    TXMLComplexElement* view = parent.AddComplex("View");
    if (!zoomed)
        return;
    TXMLComplexElement* zoom = view->AddComplex("Zoom");
    unitInteger(SaturatedInt(GetZoomBegin()), EHNone).AddToXML(*zoom, "WavePos");
    unitInteger(SaturatedInt(GetZoomEnd()), EHNone).AddToXML(*zoom, "WavePos");
}

// ---- Pixels and samples -------------------------------------------------------------------------

double TViewWave::PixelToSample(int x) const
{
    const PixelRect rect = ClientRect();
    if (rect.right == rect.left)
        return GetZoomBegin();
    return LinearMap(x + 0.5, rect.left, rect.right, GetZoomBegin(), GetZoomEnd());
}

int TViewWave::SampleToPixel(double s) const
{
    const PixelRect rect = ClientRect();
    const double begin = GetZoomBegin();
    const double end = GetZoomEnd();
    if (end == begin)
        return rect.left;
    return SaturatedInt(LinearMap(s, begin, end, rect.left, rect.right));
}

double TViewWave::PixelToTime(int x) const
{
    const PixelRect rect = ClientRect();
    if (rect.right == rect.left)
        return GetZoomBeginTime();
    return LinearMap(x, rect.left, rect.right, GetZoomBeginTime(), GetZoomEndTime());
}

int32_t TViewWave::SampleUnderMouse(int x) const
{
    const int32_t count = Count();
    if (count <= 0)
        return 0;
    return ClampToWave(PixelToSample(x), count - 1);
}

// ---- Keyboard moves -----------------------------------------------------------------------------

void TViewWave::MoveCursorToLimit(bool toEnd)
{
    Unit().ChangeCursor(toEnd ? Count() : 0);
}

void TViewWave::MoveCursorBy(int n)
{
    TUnitWave& unit = Unit();
    const double column = double(SampleToPixel(unit.GetPos1())) + n;
    unit.ChangeCursor(ClampToWave(PixelToSample(SaturatedInt(column)), Count()));
}

void TViewWave::MoveMarksBy(int n, bool first, bool second)
{
    TUnitWave& unit = Unit();
    const int32_t count = Count();
    auto moved = [&](int32_t position, bool move) {
        const double column = double(SampleToPixel(position)) + (move ? n : 0);
        return ClampToWave(PixelToSample(SaturatedInt(column)), count);
    };
    unit.ChangePositions(moved(unit.GetPos1(), first), moved(unit.GetPos2(), second));
}

void TViewWave::MoveMarksToLimit(bool toEnd, bool first, bool second)
{
    TUnitWave& unit = Unit();
    const int32_t count = Count();
    const int32_t limit = toEnd ? count : 0;
    if (first && !second) {
        unit.ChangePositions(limit, unit.GetPos2());
    } else if (second && !first) {
        unit.ChangePositions(unit.GetPos1(), limit);
    } else if (first && second) {
        const int64_t shift =
            toEnd ? int64_t(count) - unit.GetPartEnd() : -int64_t(unit.GetPartBegin());
        unit.ChangePositions(ClampToWave(double(unit.GetPos1() + shift), count),
                             ClampToWave(double(unit.GetPos2() + shift), count));
    }
}

void TViewWave::MovePartByLength(bool forward)
{
    TUnitWave& unit = Unit();
    const int32_t count = Count();
    const int64_t length = int64_t(unit.GetPartEnd()) - unit.GetPartBegin();
    const int64_t shift = forward ? length : -length;
    // Each position is kept inside the wave on its own, so near an end the part shrinks.
    unit.ChangePositions(ClampToWave(double(unit.GetPos1() + shift), count),
                         ClampToWave(double(unit.GetPos2() + shift), count));
}

// ---- Qt events ----------------------------------------------------------------------------------

void TViewWave::PaintPending()
{
    if (!fullRepaint)
        return;
    fullRepaint = false;
    const int32_t begin = SaturatedInt(GetZoomBegin());
    const int32_t end = SaturatedInt(GetZoomEnd());
    const bool seen = lastZoomBegin != -1 || lastZoomEnd != -1;
    const bool moved = begin != lastZoomBegin || end != lastZoomEnd;
    lastZoomBegin = begin;
    lastZoomEnd = end;
    if (seen && moved)
        group.ZoomChanged(this);
    PaintClip(ClientRect());
}

void TViewWave::paintEvent(QPaintEvent* event)
{
    PaintPending();
    QPainter painter(this);
    const QRect area = event->rect();
    painter.drawImage(area, backing->Image(), area);
}

void TViewWave::Relayout()
{
    const PixelRect rect = ClientRect();
    backing->Resize(std::max(1, rect.Width()), std::max(1, rect.Height()),
                    uint32_t(group.GetWaveViewProps().BackgroundColor));
    SyncScrollBar();
    InvalidateAll();
}

void TViewWave::resizeEvent(QResizeEvent* /*event*/)
{
    Relayout();
    group.PaneResized();
    // The scale follows the width: the Select and Zoom window shows it. Not a change of the
    // document's view, which a resize of the window alone is not.
    if (TMDIChildWave* window = group.GetWindow())
        if (WaveWindowHost* host = FindService<WaveWindowHost>())
            host->WaveZoomChanged(*window, group.ViewNumber(this));
}

void TViewWave::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (Unit().IsUserDrawing())
            NodeMouseDown(at.x(), at.y());
        else if (Count() >= 2)
            SelectMouseDown(at.x(), event->modifiers());
    } else if (event->button() == Qt::RightButton && Count() >= 2) {
        savedPartValid = false;
        zoomDragY = at.y();
    }
}

void TViewWave::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const int x = at.x();
    const int y = at.y();
    const bool sameX = lastMouseX == -1 || x == lastMouseX;
    const bool sameY = lastMouseY == -1 || y == lastMouseY;
    if (sameX && sameY) {
        lastMouseX = x;
        lastMouseY = y;
        return;
    }
    const bool drags = Count() >= 2 && ClientRect().Width() != 0;
    if (drags && (event->buttons() & Qt::RightButton))
        DragZoom(x, y);
    if (!Unit().IsUserDrawing()) {
        if (drags)
            SelectMouseMove(x, event->buttons());
        if (WaveWindowHost* host = FindService<WaveWindowHost>()) {
            if (group.GetWaveWindKind() == TViewWaveGroup::waveWindVolume)
                host->SetMouseStatus(VolumeStatusText(x, y), VolumeStatusWidth);
            else
                host->SetMouseStatus(WaveStatusText(x, y), WaveStatusWidth);
        }
    } else {
        NodeMouseMove(x, y);
    }
    lastMouseX = x;
    lastMouseY = y;
}

void TViewWave::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (Unit().IsUserDrawing())
        NodeMouseUp(event->position().toPoint().y());
    else
        ZoomMouseUp();
}

// ---- Mouse: selecting and zooming ---------------------------------------------------------------

void TViewWave::SelectMouseDown(int x, Qt::KeyboardModifiers modifiers)
{
    TUnitWave& unit = Unit();
    const int32_t p = SampleUnderMouse(x);
    savedPartValid = !unit.IsCursor();
    if (savedPartValid) {
        savedPartBegin = unit.GetPartBegin();
        savedPartEnd = unit.GetPartEnd();
    }
    if (modifiers & Qt::ShiftModifier) {
        unit.ChangePos1(p);
    } else if (modifiers & Qt::ControlModifier) {
        const int64_t d1 = std::abs(int64_t(p) - unit.GetPos1());
        const int64_t d2 = std::abs(int64_t(p) - unit.GetPos2());
        int32_t nearer = std::max(unit.GetPos1(), unit.GetPos2());
        if (d1 < d2)
            nearer = unit.GetPos1();
        else if (d2 < d1)
            nearer = unit.GetPos2();
        unit.ChangePositions(p, nearer);
    } else {
        unit.ChangeCursor(p);
    }
}

void TViewWave::SelectMouseMove(int x, Qt::MouseButtons buttons)
{
    savedPartValid = false;
    if (buttons & Qt::LeftButton)
        Unit().ChangePos1(SampleUnderMouse(x));
}

void TViewWave::DragZoom(int x, int y)
{
    const int32_t count = Count();
    const double d = double(zoomDragY) - y;
    // 1.02^(d·sqrt|d|), held within a range that keeps every product below finite.
    const double exponent = d * std::sqrt(std::abs(d)) * std::log(1.02);
    const double limit = std::log(MaxDragZoomFactor);
    const double factor = std::exp(std::clamp(exponent, -limit, limit));
    const double c = SampleUnderMouse(x);
    const double last = count - 1;
    const double b = ClampValue(c + (GetZoomBegin() - c) * factor, 0.0, last);
    double e = ClampValue(c + (GetZoomEnd() - c) * factor, 0.0, last);
    if (e < b + 2)
        e = b + 2;
    if (b == 0.0 && e == last) {
        ZoomFull();
        InvalidateAll();
    } else {
        ZoomTo(int32_t(b), int32_t(e), true);
    }
    QCursor::setPos(mapToGlobal(QPoint(x, zoomDragY)));
}

void TViewWave::ZoomMouseUp()
{
    TUnitWave& unit = Unit();
    switch (group.GetZoomMode()) {
    case 1:
        group.SetZoomMode(0);
        if (Count() == 0)
            return;
        if (savedPartValid) {
            ZoomTo(int32_t(savedPartBegin), int32_t(savedPartEnd), false);
            InvalidateAll();
        } else if (!unit.IsCursor()) {
            const int32_t begin = unit.GetPartBegin();
            const int32_t end = unit.GetPartEnd();
            unit.ChangePart(begin, end);
            ZoomTo(begin, end, false);
            InvalidateAll();
        }
        break;
    case 2:
        group.SetZoomMode(0);
        if (Count() == 0)
            return;
        ZoomFull();
        InvalidateAll();
        break;
    default:
        break;
    }
}

// ---- Mouse: the user drawing --------------------------------------------------------------------

void TViewWave::NodeMouseDown(int x, int y)
{
    TUnitWave& unit = Unit();
    const int32_t count = Count();
    const PixelRect rect = ClientRect();
    if (count <= 0 || rect.Width() <= 0)
        return;
    TDrawNode* nearest = nullptr;
    double nearestDistance = 5.0;
    for (TDrawNode* node = unit.GetDrawNodes(); node; node = node->GetNext()) {
        const double distance =
            node->PixelDistance(x, y, rect, GetZoomBegin(), GetZoomEnd(), count);
        if (distance < nearestDistance) {
            nearest = node;
            nearestDistance = distance;
        }
    }
    if (!nearest) {
        unit.InsertDrawNode(
            std::make_unique<TDrawNode>(x, y, rect, GetZoomBegin(), GetZoomEnd(), count));
        NodesChanged();
        return;
    }
    heldNode = nearest;
    heldNodeDX = int(nearest->GetPixelX(rect, GetZoomBegin(), GetZoomEnd(), count) - x);
    heldNodeDY = int(nearest->GetPixelY(rect) - y);
}

void TViewWave::NodeMouseMove(int x, int y)
{
    if (!heldNode)
        return;
    const int32_t count = Count();
    const PixelRect rect = ClientRect();
    if (count <= 0 || rect.Width() <= 0)
        return;
    const int nx = x + heldNodeDX;
    int ny = y + heldNodeDY;
    TDrawNode* next = heldNode->GetNext();
    TDrawNode* previous = heldNode->GetPrevious();
    const double zb = GetZoomBegin();
    const double ze = GetZoomEnd();
    bool moveX = true;
    if (next && next->GetPixelX(rect, zb, ze, count) + 1 <= nx)
        moveX = false;
    if (previous && previous->GetPixelX(rect, zb, ze, count) + 1 >= nx)
        moveX = false;
    const bool inner = next && previous;
    if (ny >= rect.bottom || ny < rect.top) {
        ny = ny >= rect.bottom ? rect.bottom - 1 : rect.top;
        // Shown as gone while it is outside; deleted when the button goes up there.
        if (inner)
            heldNode->SetVisible(false);
    } else {
        heldNode->SetVisible(true);
    }
    if (inner && moveX)
        heldNode->SetPixelX(nx, rect, zb, ze, count);
    heldNode->SetPixelY(ny, rect);
    NodesChanged();
}

void TViewWave::NodeMouseUp(int y)
{
    if (!heldNode)
        return;
    const PixelRect rect = ClientRect();
    const int ny = y + heldNodeDY;
    if (ny < rect.top || ny >= rect.bottom) {
        // The first and the last node hold the drawing's ends: they stay, at the edge.
        if (heldNode->GetPrevious() && heldNode->GetNext())
            Unit().DeleteDrawNode(heldNode);
        else
            heldNode->SetPixelY(std::clamp(ny, rect.top, std::max(rect.top, rect.bottom - 1)),
                                rect);
    }
    heldNode = nullptr;
    NodesChanged();
}

void TViewWave::NodesChanged()
{
    TUnitWave& unit = Unit();
    unit.RenderUserDraw();
    unit.SetModified();
    group.InvalidateViews();
}

// ---- Status -------------------------------------------------------------------------------------

std::string TViewWave::WaveStatusText(int x, int y) const
{
    const PixelRect rect = ClientRect();
    const double h = (rect.bottom - 1) - rect.top;
    double v = 100.0;
    if (h > 0) {
        if (Unit().GetMonoStereo() == 1) {
            v = 100.0 * (1.0 - 2.0 * y / h);
        } else {
            v = 100.0 * (1.0 - 4.0 * y / h);
            if (v < -100.0)
                v += 200.0;
        }
    }
    // Appended, not "(" + ...: g++ 12 at -O3 warns falsely (-Wrestrict) on a literal in front.
    std::string text = "(";
    text += unitTime(PixelToTime(x), EHTime).ToText();
    text += ", ";
    text += unitFactor(v, EHNone).ToTextDigits(1, 2, 2);
    text += " %)";
    return text;
}

std::string TViewWave::VolumeStatusText(int x, int y) const
{
    const PixelRect rect = ClientRect();
    const TVoldViewProps& props = group.GetVoldViewProps();
    std::string text = "(";
    text += unitTime(PixelToTime(x), EHTime).ToText();
    text += ", ";
    const double b1 = rect.bottom - 1;
    const double height = b1 - rect.top;
    const bool stereo = Unit().GetMonoStereo() != 1;
    double r = height > 0 ? (b1 - y) / height : 0.0;
    if (stereo && props.DrawSingle) {
        r *= 2.0;
        if (r > 1.0)
            r -= 1.0;
    }
    const double top = props.TimeTop.GetValue();
    const double bottom = props.TimeBottom.GetValue();
    double period;
    switch (props.FreqAxisKind) {
    case 1:
        period = bottom * std::pow(top / bottom, r);
        break;
    case 2:
        period = bottom + (top - bottom) * r;
        break;
    default:
        period = 1.0 / (1.0 / bottom + (1.0 / top - 1.0 / bottom) * r);
        break;
    }
    text += unitFreq(1.0 / period, EHFreq).ToTextPrecision(4) + " )";
    const int32_t count = Count();
    if (count <= 0)
        return text;
    const double sample =
        rect.Width() > 0 ? LinearMap(x, rect.left, rect.right, GetZoomBegin(), GetZoomEnd()) : 0.0;
    auto column = [&](const TVolumeArray* grid) {
        return grid ? LinearMap(sample, 0.0, count, 0.0, grid->GetWidth()) : 0.0;
    };
    if (stereo && !props.DrawSingle) {
        const TVolumeArray* left = group.GetVolumeArrayLeft();
        const TVolumeArray* right = group.GetVolumeArrayRight();
        if (left && right)
            text += ": (" + VolumeCellText(left, column(left), RowOf(y, rect.top, b1, left)) +
                    " ," + VolumeCellText(right, column(right), RowOf(y, rect.top, b1, right)) +
                    ")";
        else
            text += ": (0 ,0)";
    } else if (stereo) {
        const int middle = (rect.top + int(b1)) / 2;
        if (y < middle) {
            const TVolumeArray* left = group.GetVolumeArrayLeft();
            text += ": " + VolumeCellText(left, column(left), RowOf(y, rect.top, middle, left));
        } else {
            const TVolumeArray* right = group.GetVolumeArrayRight();
            text += ": " + VolumeCellText(right, column(right), RowOf(y, middle - 1, b1, right));
        }
    } else {
        const TVolumeArray* single = group.GetVolumeArraySingle();
        text += ": " + VolumeCellText(single, column(single), RowOf(y, rect.top, b1, single));
    }
    return text;
}

} // namespace kelvorn
