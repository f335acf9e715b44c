#include "music/ui/MusicPartsDialog.h"

#include "general/Assert.h"
#include "general/GuiMessages.h"
#include "general/Messages.h"
#include "music/core/MuzFile.h"
#include "music/core/MuzLists.h"
#include "music/core/MuzTree.h"
#include "music/core/UnitMuz.h"
#include "window_base/EditFields.h"

#include <QAction>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QTreeWidget>

#include <array>
#include <vector>

namespace kelvorn {

namespace {

/// The node images, in the order of TreeNodeImage: a repeat's circling arrow, a single part's
/// block of music, a turn item's diamond, the forking turns.
const std::array<QIcon, 4>& TreeImages()
{
    static const std::array<QIcon, 4> images = [] {
        std::array<QIcon, 4> made;
        for (int i = 0; i < 4; ++i) {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::transparent);
            QPainter p(&pixmap);
            p.setRenderHint(QPainter::Antialiasing);
            switch (i) {
            case treeImageLoop:
                p.setPen(QPen(QColor(0, 0, 160), 2));
                p.drawArc(3, 3, 10, 10, 90 * 16, 300 * 16);
                p.drawLine(8, 3, 11, 1);
                break;
            case treeImageSingle:
                p.setPen(Qt::black);
                p.setBrush(QColor(255, 255, 224));
                p.drawRect(2, 3, 11, 10);
                for (int y = 5; y <= 11; y += 2)
                    p.drawLine(3, y, 12, y);
                break;
            case treeImageTurn: {
                QPainterPath diamond;
                diamond.moveTo(8, 2);
                diamond.lineTo(14, 8);
                diamond.lineTo(8, 14);
                diamond.lineTo(2, 8);
                diamond.closeSubpath();
                p.fillPath(diamond, QColor(0, 128, 0));
                break;
            }
            default:
                p.setPen(QPen(QColor(160, 0, 0), 2));
                p.drawLine(2, 8, 7, 8);
                p.drawLine(7, 8, 13, 3);
                p.drawLine(7, 8, 13, 13);
                break;
            }
            made[size_t(i)] = QIcon(pixmap);
        }
        return made;
    }();
    return images;
}

TMusTreeItem* ItemOfNode(const QTreeWidgetItem* node)
{
    return node ? reinterpret_cast<TMusTreeItem*>(node->data(0, Qt::UserRole).value<quintptr>())
                : nullptr;
}

} // namespace

// ---- The tree view as the piece fills it -------------------------------------------------------

class TDlgMusTree::TreeView final : public TPartTreeView
{
public:
    explicit TreeView(QTreeWidget& tree) : tree(tree) {}

    void BeginFill() override
    {
        tree.setUpdatesEnabled(false);
        tree.clear();
        selected = nullptr;
    }
    void EndFill() override
    {
        tree.setCurrentItem(selected);
        if (!selected)
            tree.clearSelection();
        tree.setUpdatesEnabled(true);
    }
    Node AddNode(Node parent, TMusTreeItem& item, const std::string& text, int32_t image) override
    {
        auto* node = parent ? new QTreeWidgetItem(static_cast<QTreeWidgetItem*>(parent))
                            : new QTreeWidgetItem(&tree);
        node->setText(0, Text(text));
        node->setIcon(0, TreeImages()[size_t(image)]);
        node->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(&item)));
        node->setFlags(node->flags() | Qt::ItemIsEditable);
        return node;
    }
    void SetExpanded(Node node, bool expanded) override
    {
        static_cast<QTreeWidgetItem*>(node)->setExpanded(expanded);
    }
    void SelectNode(Node node) override { selected = static_cast<QTreeWidgetItem*>(node); }
    TMusTreeItem* ItemOf(Node node) const override
    {
        return ItemOfNode(static_cast<QTreeWidgetItem*>(node));
    }

private:
    QTreeWidget& tree;
    QTreeWidgetItem* selected = nullptr;
};

void TPlayDrawBox::nextCheckState()
{
    if (checkState() != Qt::Unchecked)
        setCheckState(Qt::Unchecked);
    else
        setCheckState(offAbove && offAbove() ? Qt::PartiallyChecked : Qt::Checked);
}

// ---- Building --------------------------------------------------------------------------------

TDlgMusTree::TDlgMusTree(QWidget* owner, MusicToolHost& host)
    : TMusicToolWindow(owner, host, QSize(480, 430), HelpContextMusicParts)
{
    setObjectName(QStringLiteral("DlgMusTree"));
    setWindowTitle(QStringLiteral("Music Parts"));
    SetSizeable(420, 360);

    cmdInsertSingle = MakeAction("cmdInsertSingle", "&Insert Single", "Insert Single before",
                                 "Insert a new Single Music Part before the selected Music Part");
    cmdAppendSingle = MakeAction("cmdAppendSingle", "&Append Single", "Append Single after",
                                 "Append a new Single Music Part after the selected Music Part");
    cmdAddLoop = MakeAction("cmdAddLoop", "&Repeat", "Add Repeat",
                            "Add a new Repeat Music Part in the Tree");
    cmdAddTurns =
        MakeAction("cmdAddTurns", "&Turns", "Add Turns", "Add a new Turns Music Part in the Tree");
    cmdAddTurn = MakeAction("cmdAddTurn", "T&urn", "Add Turn Item",
                            "Add a new Turn Item to the selected Repeat Music Part");
    cmdMoveForward =
        MakeAction("cmdMoveForward", "&Forward", "Move Forward", "Moves selected subtree forward");
    cmdMoveBackward = MakeAction("cmdMoveBackward", "&Backward", "Move Backward",
                                 "Moves selected subtree backward");
    cmdMoveForwardIn = MakeAction("cmdMoveForwardIn", "Forward into &Next", "Move Forward Into",
                                  "Move selected Subtree Forward into the Next Subtree");
    cmdMoveBackwardIn =
        MakeAction("cmdMoveBackwardIn", "Backward into &Previous", "Move Backward Into",
                   "Move selected Subtree Backward into the Previous Subtree");
    cmdMoveForwardOut = MakeAction("cmdMoveForwardOut", "Forward &out", "Move Forward Out",
                                   "Move selected Subtree Forward out of the Parent Subtree");
    cmdMoveBackwardOut = MakeAction("cmdMoveBackwardOut", "Backward o&ut", "Move Backward Out",
                                    "Move selected Subtree Backward out of the Parent Subtree");
    cmdDelete = MakeAction("cmdDelete", "&Delete", "Delete Music Part", "");
    cmdTreeExpand = MakeAction("cmdTreeExpand", "&Expand", "Expand", "");
    cmdTreeExpandAll = MakeAction("cmdTreeExpandAll", "E&xpand All", "Expand All", "");
    cmdTreeCollapse = MakeAction("cmdTreeCollapse", "&Collapse", "Collapse", "");
    cmdTreeCollapseAll = MakeAction("cmdTreeCollapseAll", "C&ollapse All", "Collapse All", "");
    cmdGotoBegin =
        MakeAction("cmdGotoBegin", "&Begin", "Go to First Symbol of Selected Music Part", "");
    cmdGotoEnd = MakeAction("cmdGotoEnd", "&End", "Go to Last Symbol of Selected Music Part", "");

    MainMenuMuzTree = Named(new QMenuBar(this), "MainMenuMuzTree");
    Place(MainMenuMuzTree, 0, 0, 480, 22, Anchor::Left | Anchor::Top | Anchor::Right);
    ToolBar1 = Named(new QToolBar(this), "ToolBar1");
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    Place(ToolBar1, 0, 22, 480, 28, Anchor::Left | Anchor::Top | Anchor::Right);
    BuildMenu();

    tvMusParts = Named(new QTreeWidget(this), "tvMusParts");
    tvMusParts->setHeaderHidden(true);
    tvMusParts->setColumnCount(1);
    tvMusParts->setEditTriggers(QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::SelectedClicked);
    Place(tvMusParts, 8, 56, 260, 344, Anchor::Left | Anchor::Top | Anchor::Right | Anchor::Bottom);
    view = std::make_unique<TreeView>(*tvMusParts);

    grpMusParts = Named(new QGroupBox(QStringLiteral("Music Part"), this), "grpMusParts");
    Place(grpMusParts, 276, 56, 196, 196, Anchor::Top | Anchor::Right);
    QWidget* g = grpMusParts;
    auto field = [g](const char* labelName, const char* caption, const char* name, int top,
                     QLabel*& label) {
        label = At(Named(new QLabel(QLatin1String(caption), g), labelName), 8, top + 4, 44, 15);
        return At(Named(new QLineEdit(g), name), 56, top, 80, 21);
    };
    editCount = field("Label1", "Count", "editCount", 20, Label1);
    editPitch = field("Label2", "Pitch", "editPitch", 46, Label2);
    editOctave = field("Label3", "Octave", "editOctave", 72, Label3);
    // Shown from the pitch: nothing to type there.
    editOctave->setReadOnly(true);
    chkPlayDraw =
        At(Named(new TPlayDrawBox(QStringLiteral("Play and Draw Subtree"), g), "chkPlayDraw"), 8,
           100, 180, 19);
    chkPlayDraw->offAbove = [this] {
        TPartMuz* part = AsTreePart(SelectedItem());
        return part && !part->IsEnabledAbove();
    };
    lblStavePlay =
        At(Named(new QLabel(QStringLiteral("Play Subtree"), g), "lblStavePlay"), 8, 134, 80, 15);
    btnPlay = At(Named(new QPushButton(QStringLiteral("Play"), g), "btnPlay"), 96, 128, 75, 25);
    btnPlay->setAutoDefault(false);

    Place(btnApply, 276, 262, 75, 25, Anchor::Top | Anchor::Right);
    Place(btnClose, 356, 262, 75, 25, Anchor::Top | Anchor::Right);
    Place(btnHelp, 276, 292, 75, 25, Anchor::Top | Anchor::Right);
    StatusBar1 = Named(new QStatusBar(this), "StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    Place(StatusBar1, 0, 408, 480, 22, Anchor::Left | Anchor::Right | Anchor::Bottom);

    AddField(editCount, [this] { return CountExit(); });
    AddField(editPitch, [this] { return PitchExit(); });
    for (QLineEdit* edit : {editCount, editPitch})
        connect(edit, &QLineEdit::textChanged, this, [this] {
            ShowOctave();
            if (!IsUpdating())
                editedItem = SelectedItem();
        });

    connect(tvMusParts, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* node) { NodeChosen(node); });
    // A click makes its node current and then selects it: the current node was held already,
    // the highlight is held here.
    connect(tvMusParts, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!IsUpdating() && (countRefused || (HasRefusedField() && !TakePendingField())))
            HoldTree();
    });
    connect(tvMusParts, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* node) { NodeExpanded(node, true); });
    connect(tvMusParts, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* node) { NodeExpanded(node, false); });
    connect(tvMusParts, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* node) { NodeRenamed(node); });
    connect(chkPlayDraw, &QCheckBox::clicked, this, [this] { PlayDrawClicked(); });
    connect(btnPlay, &QPushButton::clicked, this, [this] { Play(); });

    auto edit = [this](QAction* action, std::function<TTreeEdit(TUnitMuz&, TMusTreeItem&)> run) {
        connect(action, &QAction::triggered, this, [this, run] { RunEdit(run); });
    };
    auto onPart = [](std::function<TTreeEdit(TUnitMuz&, TPartMuz&)> run) {
        return [run](TUnitMuz& doc, TMusTreeItem& item) {
            TPartMuz* part = AsTreePart(&item);
            return KV_SOFT_ASSERT(part != nullptr) ? run(doc, *part) : TTreeEdit{};
        };
    };
    edit(cmdInsertSingle,
         onPart([](TUnitMuz& doc, TPartMuz& part) { return InsertSinglePart(doc, part, false); }));
    edit(cmdAppendSingle,
         onPart([](TUnitMuz& doc, TPartMuz& part) { return InsertSinglePart(doc, part, true); }));
    edit(cmdAddLoop, onPart(WrapInLoop));
    edit(cmdAddTurns, onPart(WrapInSelect));
    edit(cmdAddTurn, onPart([](TUnitMuz&, TPartMuz& part) {
             return KV_SOFT_ASSERT(part.GetKind() == partSelect)
                        ? AddTurnItem(static_cast<TSelectPartMuz&>(part))
                        : TTreeEdit{};
         }));
    for (const auto& [action, move] : MoveActions())
        edit(action, onPart([move = move](TUnitMuz& doc, TPartMuz& part) {
                 return MovePart(doc, part, move);
             }));
    connect(cmdDelete, &QAction::triggered, this, [this] { Delete(); });
    connect(cmdTreeExpand, &QAction::triggered, this, [this] { ExpandSelected(true, false); });
    connect(cmdTreeExpandAll, &QAction::triggered, this, [this] { ExpandSelected(true, true); });
    connect(cmdTreeCollapse, &QAction::triggered, this, [this] { ExpandSelected(false, false); });
    connect(cmdTreeCollapseAll, &QAction::triggered, this, [this] { ExpandSelected(false, true); });
    connect(cmdGotoBegin, &QAction::triggered, this, [this] { GoTo(false); });
    connect(cmdGotoEnd, &QAction::triggered, this, [this] { GoTo(true); });
    RefillAll();
}

TDlgMusTree::~TDlgMusTree() = default;

std::array<std::pair<QAction*, TPartMove>, 6> TDlgMusTree::MoveActions() const
{
    return {{{cmdMoveForward, TPartMove::Forward},
             {cmdMoveBackward, TPartMove::Backward},
             {cmdMoveForwardIn, TPartMove::ForwardIn},
             {cmdMoveBackwardIn, TPartMove::BackwardIn},
             {cmdMoveForwardOut, TPartMove::ForwardOut},
             {cmdMoveBackwardOut, TPartMove::BackwardOut}}};
}

QAction* TDlgMusTree::MakeAction(const char* name, const char* caption, const char* hint,
                                 const char* longHint)
{
    auto* action = Named(new QAction(QLatin1String(caption), this), name);
    action->setToolTip(QLatin1String(hint));
    action->setStatusTip(QLatin1String(*longHint ? longHint : hint));
    return action;
}

void TDlgMusTree::BuildMenu()
{
    auto menu = [this](const char* title, std::initializer_list<QAction*> actions) {
        QMenu* m = MainMenuMuzTree->addMenu(QLatin1String(title));
        for (QAction* a : actions)
            if (a)
                m->addAction(a);
            else
                m->addSeparator();
        return m;
    };
    menu("&Add",
         {cmdInsertSingle, cmdAppendSingle, nullptr, cmdAddLoop, cmdAddTurns, nullptr, cmdAddTurn});
    menu("&Move", {cmdMoveForward, cmdMoveBackward, nullptr, cmdMoveForwardIn, cmdMoveBackwardIn,
                   nullptr, cmdMoveForwardOut, cmdMoveBackwardOut});
    // The Delete menu names what it deletes; its item runs the Delete action.
    QMenu* remove = MainMenuMuzTree->addMenu(QStringLiteral("&Delete"));
    QAction* part = remove->addAction(QStringLiteral("&Part"));
    part->setObjectName(QStringLiteral("mnuDeletePart"));
    part->setEnabled(false);
    connect(part, &QAction::triggered, cmdDelete, &QAction::trigger);
    connect(cmdDelete, &QAction::enabledChanged, part, &QAction::setEnabled);
    menu("&View", {cmdTreeExpand, cmdTreeExpandAll, nullptr, cmdTreeCollapse, cmdTreeCollapseAll});
    menu("&Go To Symbol", {cmdGotoBegin, cmdGotoEnd});
    for (QAction* a : {cmdInsertSingle, cmdAppendSingle, cmdAddLoop, cmdAddTurns, cmdAddTurn})
        ToolBar1->addAction(a);
    ToolBar1->addSeparator();
    for (QAction* a : {cmdMoveForward, cmdMoveBackward, cmdMoveForwardIn, cmdMoveBackwardIn,
                       cmdMoveForwardOut, cmdMoveBackwardOut})
        ToolBar1->addAction(a);
    ToolBar1->addSeparator();
    ToolBar1->addAction(cmdDelete);
    ToolBar1->addSeparator();
    for (QAction* a : {cmdTreeExpand, cmdTreeExpandAll, cmdTreeCollapse, cmdTreeCollapseAll,
                       cmdGotoBegin, cmdGotoEnd})
        ToolBar1->addAction(a);
}

// ---- Nodes -----------------------------------------------------------------------------------

QTreeWidgetItem* TDlgMusTree::NodeOf(const TMusTreeItem* item) const
{
    for (QTreeWidgetItemIterator it(tvMusParts); *it; ++it)
        if (ItemOfNode(*it) == item)
            return *it;
    return nullptr;
}

TMusTreeItem* TDlgMusTree::SelectedItem() const
{
    TUnitMuz* doc = Shown();
    TMusTreeItem* item = ItemOfNode(tvMusParts->currentItem());
    return doc && HoldsTreeItem(*doc, item) ? item : nullptr;
}

void TDlgMusTree::Refill()
{
    editedItem = nullptr;
    countRefused = false;
    if (TUnitMuz* doc = Shown())
        doc->FillPartTree(*view);
    else
        tvMusParts->clear();
    ShowNode(tvMusParts->currentItem());
}

void TDlgMusTree::ShowNode(QTreeWidgetItem* node)
{
    const Updating updating(*this);
    TUnitMuz* doc = Shown();
    TMusTreeItem* item = doc ? ItemOfNode(node) : nullptr;
    if (item && !HoldsTreeItem(*doc, item))
        item = nullptr;
    const std::initializer_list<QAction*> all{
        cmdInsertSingle,    cmdAppendSingle, cmdAddLoop,       cmdAddTurns,       cmdAddTurn,
        cmdMoveForward,     cmdMoveBackward, cmdMoveForwardIn, cmdMoveBackwardIn, cmdMoveForwardOut,
        cmdMoveBackwardOut, cmdDelete,       cmdTreeExpand,    cmdTreeExpandAll,  cmdTreeCollapse,
        cmdTreeCollapseAll, cmdGotoBegin,    cmdGotoEnd};
    for (QAction* action : all)
        action->setEnabled(false);
    chkPlayDraw->setCheckState(Qt::Unchecked);
    chkPlayDraw->setEnabled(false);
    btnPlay->setEnabled(false);
    btnApply->setEnabled(item != nullptr);
    DisableEdit(editCount, true);
    DisableEdit(editPitch, true);
    if (!item)
        return;
    const bool children = node->childCount() > 0;
    for (QAction* action : {cmdTreeExpand, cmdTreeExpandAll, cmdTreeCollapse, cmdTreeCollapseAll})
        action->setEnabled(children);

    if (TCountSelectPartItem* turn = AsTurnItem(item)) {
        EnableEdit(editCount);
        EnableEdit(editPitch);
        editCount->setText(Text(turn->Count.ToText()));
        editPitch->setText(Text(turn->Pitch.ToText()));
        cmdDelete->setEnabled(true);
        return;
    }
    TPartMuz& part = *AsTreePart(item);
    for (QAction* action : {cmdInsertSingle, cmdAppendSingle, cmdAddLoop, cmdAddTurns})
        action->setEnabled(true);
    chkPlayDraw->setEnabled(true);
    btnPlay->setEnabled(true);
    chkPlayDraw->setCheckState(!part.IsEnabled()       ? Qt::Unchecked
                               : part.IsEnabledAbove() ? Qt::Checked
                                                       : Qt::PartiallyChecked);
    const bool stave = doc->GetSelectionStave() != nullptr;
    cmdGotoBegin->setEnabled(stave);
    cmdGotoEnd->setEnabled(stave);
    for (const auto& [action, move] : MoveActions())
        action->setEnabled(CanMovePart(part, move));
    cmdDelete->setEnabled(CanDeleteTreeItem(part));
    if (part.GetKind() == partLoop) {
        EnableEdit(editCount);
        editCount->setText(Text(static_cast<TLoopPartMuz&>(part).Count.ToText()));
    }
    cmdAddTurn->setEnabled(part.GetKind() == partSelect);
}

void TDlgMusTree::NodeChosen(QTreeWidgetItem* node)
{
    if (IsUpdating())
        return;
    // A value typed for the node left is taken first; while it is refused the tree stays on
    // the node it belongs to. A click has left the field before the tree hears of it: a count
    // refused then was refused by this very click.
    if (countRefused || !TakePendingField()) {
        HoldTree();
        return;
    }
    ShowNode(node);
    TUnitMuz* doc = Shown();
    if (doc && node && HoldsTreeItem(*doc, ItemOfNode(node))) {
        // The selection is kept with the piece.
        doc->SetSelMusTreeItemFromNode(*view, node);
        doc->SetModified();
    }
}

void TDlgMusTree::HoldTree()
{
    const Updating updating(*this);
    // Current and selected together: the highlight marks the node the fields show.
    tvMusParts->setCurrentItem(NodeOf(editedItem));
}

void TDlgMusTree::NodeExpanded(QTreeWidgetItem* node, bool expanded)
{
    TUnitMuz* doc = Shown();
    // The tree reports a leaf (a single part, a turn) as unfolded when "+" or Expand asks it
    // to: only repeat and turns parts have a level to unfold and a flag to keep.
    if (IsUpdating() || !doc || node->childCount() == 0)
        return;
    KV_SOFT_ASSERT(doc->CheckPartTree());
    TPartMuz* part = AsTreePart(ItemOfNode(node));
    if (!part || !HoldsTreeItem(*doc, part))
        return;
    if (part->GetKind() == partLoop)
        static_cast<TLoopPartMuz*>(part)->expanded = expanded ? 1 : 0;
    else if (KV_SOFT_ASSERT(part->GetKind() == partSelect))
        static_cast<TSelectPartMuz*>(part)->expanded = expanded ? 1 : 0;
    // The piece keeps what is unfolded.
    doc->SetModified();
}

void TDlgMusTree::NodeRenamed(QTreeWidgetItem* node)
{
    TUnitMuz* doc = Shown();
    if (IsUpdating() || !doc)
        return;
    TMusTreeItem* item = ItemOfNode(node);
    if (!HoldsTreeItem(*doc, item))
        return;
    std::string name;
    const bool storable = StorableName(node->text(0), "Label", name);
    // Confirming the default label shown keeps it the default, which follows the count.
    if (storable && !(item->GetLabel().empty() && name == item->GetShowLabel())) {
        item->SetLabel(name.c_str());
        doc->SetModified();
    }
    const Updating updating(*this);
    node->setText(0, Text(item->GetShowLabel()));
    if (!storable)
        ReturnFocus(tvMusParts);
}

// ---- Fields ----------------------------------------------------------------------------------

void TDlgMusTree::ShowOctave()
{
    const Updating updating(*this);
    const QString pitch = editPitch->text();
    unitInteger semitones;
    std::string message;
    // While the pitch is being typed ("-" before "6") it is only shown, never reported.
    if (pitch.isEmpty() || !semitones.FromText(Latin1(pitch), "Pitch", message))
        editOctave->clear();
    else
        editOctave->setText(Text(OctaveText(semitones.GetValue())));
}

bool TDlgMusTree::CountExit()
{
    // Whatever count the field is left with, the one put back included, is looked at afresh.
    countRefused = false;
    TUnitMuz* doc = Shown();
    if (!HoldsTreeItem(*doc, editedItem))
        return true;
    if (TPartMuz* part = AsTreePart(editedItem); part && part->GetKind() == partLoop) {
        if (!TakeValue(static_cast<TLoopPartMuz*>(part)->Count, editCount->text(), "Count",
                       muzCountMax))
            return false;
    } else if (TCountSelectPartItem* turn = AsTurnItem(editedItem)) {
        const unitIntegerPosMore old = turn->Count;
        if (!TakeValue(turn->Count, editCount->text(), "Count", muzCountMax))
            return false;
        if (turn->Count.GetValue() != old.GetValue() &&
            turn->GetSelectPart()->CountTurnItems(turn->Count.GetValue()) >= 2) {
            TGuiMessages::ShowInputError("In Count: " + turn->Count.ToText() + " already exist");
            turn->Count = old;
            PutBack(editCount, Text(old.ToText()));
            countRefused = true;
            return false;
        }
    } else {
        return true;
    }
    doc->PartsChanged();
    ShowLabelsAgain();
    Edited();
    return true;
}

bool TDlgMusTree::PitchExit()
{
    TUnitMuz* doc = Shown();
    TCountSelectPartItem* turn = AsTurnItem(editedItem);
    if (!turn || !HoldsTreeItem(*doc, turn))
        return true;
    if (!TakeValue(turn->Pitch, editPitch->text(), "Pitch"))
        return false;
    doc->PartsChanged();
    Edited();
    return true;
}

void TDlgMusTree::ShowLabelsAgain()
{
    const Updating updating(*this);
    QTreeWidgetItem* current = tvMusParts->currentItem();
    std::vector<QTreeWidgetItem*> parents;
    for (QTreeWidgetItemIterator it(tvMusParts); *it; ++it) {
        (*it)->setText(0, Text(ItemOfNode(*it)->GetShowLabel()));
        if ((*it)->childCount() > 0)
            parents.push_back(*it);
    }
    // Turn items come first under their turns part, in the order of their counts.
    for (QTreeWidgetItem* parent : parents) {
        int turns = 0;
        while (turns < parent->childCount() && AsTurnItem(ItemOfNode(parent->child(turns))))
            ++turns;
        std::vector<QTreeWidgetItem*> items;
        for (int i = 0; i < turns; ++i)
            items.push_back(parent->child(i));
        std::stable_sort(items.begin(), items.end(), [](auto* a, auto* b) {
            return AsTurnItem(ItemOfNode(a))->Count.GetValue() <
                   AsTurnItem(ItemOfNode(b))->Count.GetValue();
        });
        for (int i = 0; i < turns; ++i)
            if (parent->child(i) != items[size_t(i)]) {
                for (int j = 0; j < turns; ++j)
                    parent->takeChild(0);
                for (int j = 0; j < turns; ++j)
                    parent->insertChild(j, items[size_t(j)]);
                break;
            }
    }
    tvMusParts->setCurrentItem(current);
}

// ---- Commands --------------------------------------------------------------------------------

void TDlgMusTree::RunEdit(const std::function<TTreeEdit(TUnitMuz&, TMusTreeItem&)>& edit)
{
    if (!TakePendingField())
        return;
    TUnitMuz* doc = Shown();
    TMusTreeItem* item = SelectedItem();
    if (!doc || !item) {
        RefillAll();
        return;
    }
    KV_SOFT_ASSERT(doc->CheckPartTree());
    const TTreeEdit result = edit(*doc, *item);
    if (!result.refusal.empty()) {
        TGuiMessages::ShowInputError(result.refusal);
        ReturnFocus();
        return;
    }
    if (!result.select)
        return;
    KV_SOFT_ASSERT(doc->CheckPartTree());
    doc->SetSelMusTreeItem(result.select);
    RefillAll();
    Edited();
}

void TDlgMusTree::Delete()
{
    if (!TakePendingField())
        return;
    TPartMuz* part = AsTreePart(SelectedItem());
    if (part && part->GetKind() == partSingle &&
        Messages().Show(DeleteQuestion, DeleteCaption, MsgIcon::Information,
                        MsgButtons::OkCancel) != MsgAnswer::Ok)
        return;
    RunEdit([](TUnitMuz& doc, TMusTreeItem& item) { return DeleteTreeItem(doc, item); });
}

void TDlgMusTree::ExpandSelected(bool expand, bool all)
{
    QTreeWidgetItem* node = tvMusParts->currentItem();
    if (!node || !SelectedItem())
        return;
    std::vector<QTreeWidgetItem*> nodes{node};
    for (size_t i = 0; all && i < nodes.size(); ++i)
        for (int c = 0; c < nodes[i]->childCount(); ++c)
            nodes.push_back(nodes[i]->child(c));
    // Each node that changes tells the piece through the tree's own signal.
    for (QTreeWidgetItem* n : nodes)
        if (n->childCount() > 0)
            n->setExpanded(expand);
}

void TDlgMusTree::GoTo(bool end)
{
    if (!TakePendingField())
        return;
    TUnitMuz* doc = Shown();
    TPartMuz* part = AsTreePart(SelectedItem());
    TNoteStave* stave = doc ? doc->GetSelectionStave() : nullptr;
    if (!part || !stave)
        return;
    if (TXTouchMuzSymbol* symbol = PartStaveSymbol(*part, *stave, end)) {
        // Selected as a click or a key selects: the music window scrolls to it and a note
        // sounds while auto play is on.
        doc->SelectSymbol(symbol);
        doc->Refresh();
    }
}

void TDlgMusTree::PlayDrawClicked()
{
    TUnitMuz* doc = Shown();
    TPartMuz* part = AsTreePart(SelectedItem());
    if (IsUpdating() || !doc || !part)
        return;
    part->SetEnabled(chkPlayDraw->checkState() != Qt::Unchecked);
    Edited();
}

void TDlgMusTree::Play()
{
    TUnitMuz* doc = Shown();
    TPartMuz* part = AsTreePart(SelectedItem());
    if (!doc || !part || !TakePendingField())
        return;
    std::unique_ptr<Sound> sound = RenderedSound(doc->CreatePartSound(part));
    if (sound && sound->GetValues() > 0)
        sound->Play(false);
}

bool TDlgMusTree::event(QEvent* event)
{
    // The long hint of the action under the mouse goes to the window's own status bar.
    if (event->type() == QEvent::StatusTip) {
        StatusBar1->showMessage(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return TMusicToolWindow::event(event);
}

} // namespace kelvorn
