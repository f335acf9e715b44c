#pragma once
// "Music Parts": the tool window that shows the part tree of the active piece and edits its
// structure. Every single, loop ("repeat") and select ("turns") part has a node, and so has
// every turn item of a select part; the concatenations that join parts have none, so the parts
// they join stand side by side. The window inserts single parts, wraps parts in repeats and
// turns, adds turn items, moves subtrees, deletes parts, renames nodes, switches subtrees off
// for playing and drawing, edits a repeat's count and a turn item's count and pitch, goes to
// the first or last symbol of a part on the current stave, and plays a subtree.
//
// The node selected is the piece's selected tree item, which the music file keeps: choosing a
// node marks the piece modified. A typed value that is refused keeps the tree, its highlight
// with it, on its node until a value is taken; a turn count that another turn item has is put
// back, and the tree stays until the field is left with a count it takes, the one put back too.

#include "music/ui/MusicToolWindow.h"

#include <QCheckBox>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

class QAction;
class QGroupBox;
class QLabel;
class QMenuBar;
class QStatusBar;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace kelvorn {

class TMusTreeItem;
class TPartMuz;
struct TTreeEdit;
enum class TPartMove : uint8_t;

/// "Play and Draw Subtree": a click toggles between off and on, or between off and grayed
/// (on, but switched off above) when some part above is switched off.
class TPlayDrawBox : public QCheckBox
{
    Q_OBJECT

public:
    TPlayDrawBox(const QString& text, QWidget* parent) : QCheckBox(text, parent)
    {
        setTristate(true);
    }
    /// Whether a part above the one shown is switched off.
    std::function<bool()> offAbove;

protected:
    void nextCheckState() override;
};

class TDlgMusTree : public TMusicToolWindow
{
    Q_OBJECT

public:
    static constexpr int HelpContextMusicParts = 52;
    static constexpr const char* DeleteQuestion = "Do you want to delete a part of music?";
    static constexpr const char* DeleteCaption = "A Single Part containing music is selected";

    /// host: not owned, must outlive the window.
    TDlgMusTree(QWidget* owner, MusicToolHost& host);
    ~TDlgMusTree() override;

    QMenuBar* MainMenuMuzTree;
    QToolBar* ToolBar1;
    QTreeWidget* tvMusParts;
    QGroupBox* grpMusParts;
    QLabel* Label1;
    QLineEdit* editCount;
    QLabel* Label2;
    QLineEdit* editPitch;
    QLabel* Label3;
    QLineEdit* editOctave;
    TPlayDrawBox* chkPlayDraw;
    QLabel* lblStavePlay;
    QPushButton* btnPlay;
    QStatusBar* StatusBar1;

    QAction* cmdInsertSingle;
    QAction* cmdAppendSingle;
    QAction* cmdAddLoop;
    QAction* cmdAddTurns;
    QAction* cmdAddTurn;
    QAction* cmdMoveForward;
    QAction* cmdMoveBackward;
    QAction* cmdMoveForwardIn;
    QAction* cmdMoveBackwardIn;
    QAction* cmdMoveForwardOut;
    QAction* cmdMoveBackwardOut;
    QAction* cmdDelete;
    QAction* cmdTreeExpand;
    QAction* cmdTreeExpandAll;
    QAction* cmdTreeCollapse;
    QAction* cmdTreeCollapseAll;
    QAction* cmdGotoBegin;
    QAction* cmdGotoEnd;

    /// The node of item, or null.
    QTreeWidgetItem* NodeOf(const TMusTreeItem* item) const;
    /// The item of the selected node while it belongs to the piece shown, or null.
    TMusTreeItem* SelectedItem() const;

protected:
    void Refill() override;
    bool event(QEvent* event) override;

private:
    class TreeView;

    QAction* MakeAction(const char* name, const char* caption, const char* hint,
                        const char* longHint);
    /// The six move actions with the move each runs.
    std::array<std::pair<QAction*, TPartMove>, 6> MoveActions() const;
    void BuildMenu();
    void ShowNode(QTreeWidgetItem* node);
    void NodeChosen(QTreeWidgetItem* node);
    /// The tree back on the node whose value was refused, highlight and all.
    void HoldTree();
    void NodeExpanded(QTreeWidgetItem* node, bool expanded);
    void NodeRenamed(QTreeWidgetItem* node);
    /// Takes the typed value and runs edit on the selected part (or item), then shows the
    /// tree again with the item the edit answers selected.
    void RunEdit(const std::function<TTreeEdit(TUnitMuz&, TMusTreeItem&)>& edit);
    void Delete();
    void ExpandSelected(bool expand, bool all);
    void GoTo(bool end);
    void PlayDrawClicked();
    void Play();
    void ShowOctave();
    bool CountExit();
    bool PitchExit();
    /// Node texts after a count changed; turn items in their order again.
    void ShowLabelsAgain();

    std::unique_ptr<TreeView> view;
    /// The item whose count or pitch is being typed.
    TMusTreeItem* editedItem = nullptr;
    /// A turn count was refused for being another item's, and the field not left since.
    bool countRefused = false;
};

} // namespace kelvorn
