#include "factory/ui/FactoryWindow.h"

#include "factory/builtins/BuiltinNode.h"
#include "factory/core/UserNodes.h"
#include "factory/ui/FactoryWindowHost.h"
#include "factory/ui/dialogs/FactoryDialog.h"
#include "factory/ui/dialogs/NodeDialogs.h"
#include "factory/ui/dialogs/PinDialog.h"
#include "factory/ui/dialogs/ValuesDialog.h"
#include "general/Assert.h"
#include "general/Services.h"
#include "platform/Help.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace kelvorn {

namespace {

Qt::CursorShape ShapeOf(EditorCursor cursor)
{
    switch (cursor) {
    case EditorCursor::Drag:
        return Qt::DragMoveCursor;
    case EditorCursor::SizeHor:
        return Qt::SizeHorCursor;
    case EditorCursor::SizeVer:
        return Qt::SizeVerCursor;
    case EditorCursor::SizeFDiag:
        return Qt::SizeFDiagCursor;
    case EditorCursor::SizeBDiag:
        return Qt::SizeBDiagCursor;
    default:
        return Qt::ArrowCursor;
    }
}

uint8_t ButtonsOf(Qt::MouseButtons buttons)
{
    return uint8_t((buttons & Qt::LeftButton ? ButtonLeft : 0) |
                   (buttons & Qt::RightButton ? ButtonRight : 0) |
                   (buttons & Qt::MiddleButton ? ButtonMiddle : 0));
}

/// One bar over a client of page pixels, as the editor sets it. The scroll area hears of the
/// range, so that it shows or hides the bar.
void SetBar(QScrollBar& bar, const TEditorScrollBar& setting, int page)
{
    SetScrollBar(bar, setting.increment, setting.position, setting.range, page);
}

struct MenuEntry
{
    const char* name;
    const char* caption;
    bool separatorBefore;
};

// In menu order, as FactoryMenuItem counts them; the separators N1 to N4 and pmuAddLine stand
// before the items that follow them.
constexpr MenuEntry menuEntries[FactoryMenuItemCount] = {
    {"pmuProperties", "&Properties...", false},
    {"pmuConnMake", "Make &Connection", true},
    {"pmuConnDel", "Delete Connection(s)", false},
    {"pmuSetInputTypes", "Set Input &Types...", false},
    {"pmuSetInputValues", "Set Input &Values...", false},
    {"pmuSetOutputTypes", "Set Output &Types...", false},
    {"pmuSetOutputValues", "Set Output &Values...", false},
    {"pmuAddBuiltinNode", "Add &Builtin Node...", true},
    {"pmuAddUserNode", "Add &User Node...", false},
    {"pmuAddLoopNode", "Add Mix &Loop Node...", false},
    {"pmuAddInput", "Add &Input...", false},
    {"pmuAddOutput", "Add &Output...", false},
    {"pmuAddInputOperand", "Add Input O&perand", false},
    {"pmuCreateFactoryForNode", "Create &Factory for Node", true},
    {"pmuDelete", "&Delete", true},
    {"pmuHelpBuiltin", "&Help Builtin", true},
};

/// Whether menu shows an item: a menu of hidden items and separators, which Qt collapses, opens
/// as an empty popup that takes the next key and, once shown so, never comes on the screen again.
bool HasVisibleItem(const QMenu& menu)
{
    const QList<QAction*> items = menu.actions();
    return std::any_of(items.begin(), items.end(), [](const QAction* item) {
        return item->isVisible() && !item->isSeparator();
    });
}

} // namespace

// The client area: it shows the backing image, repainting it only when it is stale, and hands
// its mouse to the editor.
class TMDIChildFact::FactoryView final : public QAbstractScrollArea
{
public:
    explicit FactoryView(TMDIChildFact& window) : window(window)
    {
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
        viewport()->setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (window.stale || window.image.Image().size() != viewport()->size())
            window.PaintFactory();
        QPainter painter(viewport());
        const QRect area = event->rect();
        painter.drawImage(area, window.Image(), area);
    }
    void scrollContentsBy(int, int) override
    {
        window.ScrollTo(horizontalScrollBar()->value(), verticalScrollBar()->value());
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        const QPoint at = event->position().toPoint();
        pressed = true;
        window.editor->MouseDown(ButtonsOf(event->button()), {at.x(), at.y()});
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        const QPoint at = event->position().toPoint();
        window.editor->MouseMove(ButtonsOf(event->buttons()), {at.x(), at.y()});
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        window.editor->MouseUp(ButtonsOf(event->buttons()));
        if (pressed && event->buttons() == Qt::NoButton) {
            pressed = false;
            window.FormClick();
        }
    }
    void contextMenuEvent(QContextMenuEvent* event) override { window.PopupAt(event->pos()); }
    void leaveEvent(QEvent*) override { window.editor->HideHint(); }

private:
    TMDIChildFact& window;
    bool pressed = false;
};

TMDIChildFact::TMDIChildFact(QWidget* owner, std::unique_ptr<TUnitSountory> unit)
    : TMDIChildKelvorn(owner), image(1, 1, Background)
{
    setObjectName(QStringLiteral("MDIChildFact"));
    setWindowTitle(QStringLiteral("Sountory"));
    TUnitSountory& factory = *unit;
    SetUnit(std::move(unit));
    UpdateCaption();
    editor = std::make_unique<TFactoryEditor>(factory, static_cast<TFactoryEditorView&>(*this));
    view = new FactoryView(*this);
    setWidget(view);
    image.repaint = [this](const PixelRect& rect) {
        // A run keeps the event loop waiting: the node is shown now, not at the next paint.
        view->viewport()->repaint(QRect(rect.left, rect.top, rect.Width(), rect.Height()));
    };
    hintWindow = new QLabel(this, Qt::ToolTip);
    hintWindow->setObjectName(QStringLiteral("HintWindow"));
    hintWindow->setWordWrap(true);
    hintWindow->setMargin(2);
    // A framed label indents its text by the width of an "x" unless told otherwise.
    hintWindow->setIndent(0);
    hintWindow->setStyleSheet(QStringLiteral("QLabel { background: #ffffe1; color: black; "
                                             "border: 1px solid black; }"));
    BuildPopup();
    ScrollTo(factory.View.HorScrollPos, factory.View.VertScrollPos);
}

TMDIChildFact::~TMDIChildFact()
{
    // A drag under way holds the program's cursor.
    editor->EndDrag();
    delete view;
    view = nullptr;
}

TUnitSountory& TMDIChildFact::GetUnitSountory() const
{
    return editor->Factory();
}

void TMDIChildFact::SetUnitSountory(std::unique_ptr<TUnitSountory> unit)
{
    if (!KV_SOFT_ASSERT(unit != NULL))
        return;
    TUnitSountory& factory = *unit;
    // The editor lets go of the old factory's elements before it goes.
    editor->SetFactory(factory);
    ExchangeUnit(std::move(unit));
    ScrollTo(factory.View.HorScrollPos, factory.View.VertScrollPos);
}

uint8_t TMDIChildFact::GetSountoryKind() const
{
    return GetUnitSountory().GetFactoryKind();
}

void TMDIChildFact::ListNodes(uint8_t nodeKind,
                              std::vector<std::pair<std::string, const void*>>& nodes) const
{
    for (const auto& node : GetUnitSountory().Nodes())
        if (node->GetSntNodeKind() == nodeKind)
            nodes.emplace_back(node->Name, node.get());
}

// ---- painting and scrolling ----

void TMDIChildFact::ScrollTo(int horizontal, int vertical)
{
    TUnitSountory& factory = GetUnitSountory();
    factory.View.HorScrollPos = horizontal;
    factory.View.VertScrollPos = vertical;
    editor->PlaceArea(horizontal, vertical);
    Invalidate();
}

void TMDIChildFact::PaintFactory()
{
    QWidget* client = view->viewport();
    const int width = std::max(1, client->width());
    const int height = std::max(1, client->height());
    if (image.Canvas().Width() != width || image.Canvas().Height() != height)
        image.Resize(width, height);
    TUnitSountory& factory = GetUnitSountory();
    editor->PlaceArea(factory.View.HorScrollPos, factory.View.VertScrollPos);
    TPendingConnection pending;
    if (const TSountoryTouchable* pin = editor->GetConnectingPin())
        pending = {pin, editor->GetDragPoint()};
    image.Paint(factory, pending);
    stale = false;
    SetBar(*HorzScrollBar(), editor->HorScroll(width), width);
    SetBar(*VertScrollBar(), editor->VertScroll(height), height);
    // A bar that cannot reach the position any more (the window grew) takes the area with it.
    if (HorzScrollBar()->value() != factory.View.HorScrollPos ||
        VertScrollBar()->value() != factory.View.VertScrollPos)
        ScrollTo(HorzScrollBar()->value(), VertScrollBar()->value());
}

void TMDIChildFact::RedrawNode(const TSountoryNode& node)
{
    if (stale)
        return; // the whole image is painted afresh anyway
    image.Redraw(node);
}

QWidget* TMDIChildFact::FactoryViewport() const
{
    return view->viewport();
}

QScrollBar* TMDIChildFact::HorzScrollBar() const
{
    return view->horizontalScrollBar();
}

QScrollBar* TMDIChildFact::VertScrollBar() const
{
    return view->verticalScrollBar();
}

// ---- the pop-up menu ----

void TMDIChildFact::BuildPopup()
{
    popup = new QMenu(this);
    popup->setObjectName(QStringLiteral("PopupMenu1"));
    for (size_t i = 0; i < FactoryMenuItemCount; ++i) {
        if (menuEntries[i].separatorBefore)
            popup->addSeparator();
        QAction* action = popup->addAction(QString::fromLatin1(menuEntries[i].caption));
        action->setObjectName(QString::fromLatin1(menuEntries[i].name));
        const auto item = static_cast<FactoryMenuItem>(i);
        connect(action, &QAction::triggered, this, [this, item] { editor->Run(item); });
        menuActions[i] = action;
    }
}

void TMDIChildFact::PreparePopup()
{
    const TFactoryMenuState state = editor->PreparePopup();
    for (size_t i = 0; i < FactoryMenuItemCount; ++i) {
        menuActions[i]->setVisible(state.items[i].visible);
        menuActions[i]->setEnabled(state.items[i].enabled);
    }
    if (!state.connMakeCaption.empty())
        MenuAction(FactoryMenuItem::ConnMake)->setText(QString::fromLatin1(state.connMakeCaption));
    MenuAction(FactoryMenuItem::ConnDel)->setText(QString::fromLatin1(state.connDelCaption));
}

void TMDIChildFact::PopupAt(QPoint point)
{
    // The menu acts on the element under the point it opened at.
    editor->MouseDown(ButtonRight, {point.x(), point.y()});
    PreparePopup();
    if (!HasVisibleItem(*popup)) {
        // Beside the area nothing is offered; a pop-up still open would have just lost its items.
        popup->hide();
        return;
    }
    popup->popup(view->viewport()->mapToGlobal(point));
}

void TMDIChildFact::FormClick()
{
    if (auto* host = FindService<FactoryWindowHost>())
        host->FactChildActivated(*this);
}

void TMDIChildFact::closeEvent(QCloseEvent* event)
{
    editor->HideHint();
    TMDIChildKelvorn::closeEvent(event);
}

// ---- what the editor asks of the window ----

void TMDIChildFact::Invalidate()
{
    stale = true;
    if (view)
        view->viewport()->update();
    UpdateModifiedMark();
}

void TMDIChildFact::SetCursor(EditorCursor cursor)
{
    view->viewport()->setCursor(ShapeOf(cursor));
}

void TMDIChildFact::SetDragCursor(EditorCursor cursor)
{
    QApplication::setOverrideCursor(ShapeOf(cursor));
}

void TMDIChildFact::EndDragCursor()
{
    QApplication::restoreOverrideCursor();
}

void SetHintText(QLabel& hint, const QString& text)
{
    // The style sheet's border and font count before the first show.
    hint.ensurePolished();
    hint.setText(text);
    // A wrapping label's own size aims at a pleasing shape and wraps lines that would fit: the
    // width comes from the text itself, wrapped only where a line is wider than the limit.
    const QRect bounds = hint.fontMetrics().boundingRect(
        QRect(0, 0, HintTextWidth, QWIDGETSIZE_MAX), Qt::TextWordWrap, text);
    const QMargins frame = hint.contentsMargins();
    const int width =
        std::min(bounds.width(), HintTextWidth) + frame.left() + frame.right() + 2 * hint.margin();
    hint.resize(width, hint.heightForWidth(width));
}

void TMDIChildFact::ShowHint(const std::string& text, PixelPoint windowPoint)
{
    SetHintText(*hintWindow, QString::fromLatin1(text));
    hintWindow->move(view->viewport()->mapToGlobal(QPoint(windowPoint.x, windowPoint.y + 25)));
    hintWindow->show();
}

void TMDIChildFact::HideHint()
{
    if (hintWindow)
        hintWindow->hide();
}

bool TMDIChildFact::EditFactoryProperties(TUnitSountory& factory)
{
    return kelvorn::EditFactoryProperties(this, factory);
}

bool TMDIChildFact::EditPinProperties(TSountoryTouchable& pin)
{
    return kelvorn::EditPinProperties(this, pin);
}

bool TMDIChildFact::EditNodeProperties(TSountoryNode& node, bool& fit)
{
    if (auto* builtin = dynamic_cast<TSountoryNodeBuiltin*>(&node))
        return EditBuiltinNode(this, *builtin);
    if (auto* reference = dynamic_cast<TSountoryNodeReference*>(&node))
        return EditReferenceNode(this, *reference, fit);
    return false;
}

bool TMDIChildFact::EditNodeValues(TSountoryNode& node, bool types)
{
    return EditNodeInputValues(this, node, types);
}

bool TMDIChildFact::EditOutputValues(TUnitSountory& factory, bool types)
{
    return EditFactoryOutputValues(this, factory, types);
}

void TMDIChildFact::NewFactoryForNode(const TSountoryNode& node)
{
    if (auto* host = FindService<FactoryWindowHost>())
        host->NewFactoryForNode(node);
}

void TMDIChildFact::ShowHelp(int32_t context)
{
    if (Help* help = FindService<Help>())
        help->ShowContext(context);
}

TUnitSountory* UnitSountoryOf(const TMDIChildKelvorn* window)
{
    return window ? dynamic_cast<TUnitSountory*>(window->GetUnit()) : nullptr;
}

} // namespace kelvorn
