// The "Music Parts" tool window on real music windows: its cleared state, the structure
// commands through its actions, the question before a single part goes, the count, pitch and
// octave fields, the tri-state "Play and Draw Subtree", labels, folding and going to a part's
// symbols.
#include "support/MusicWindows.h"

#include "music/core/MuzTree.h"
#include "music/ui/MusicPartsDialog.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <functional>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class MusicPartsDialogTest : public MusicToolTest<TDlgMusTree>
{
protected:
    /// A new piece of the single parts labels, shown.
    TUnitMuz& ShowParts(const std::vector<std::string>& labels, int width = 600)
    {
        auto piece = std::make_unique<TUnitMuz>("Music 1", "");
        piece->NewMusic();
        LabelParts(*piece, labels);
        return Show(std::move(piece), width);
    }
    /// The nodes as lines: a dot per level, the text, "*" for the selected node.
    std::vector<std::string> Nodes() const
    {
        std::vector<std::string> lines;
        for (QTreeWidgetItemIterator it(dialog.tvMusParts); *it; ++it) {
            int level = 0;
            for (QTreeWidgetItem* p = (*it)->parent(); p; p = p->parent())
                ++level;
            lines.push_back(std::string(size_t(level), '.') + (*it)->text(0).toStdString() +
                            (*it == dialog.tvMusParts->currentItem() ? "*" : ""));
        }
        return lines;
    }
    void Choose(const std::string& text) { ChooseNode(*dialog.tvMusParts, text); }
    /// The texts of the highlighted nodes.
    std::vector<std::string> Highlighted() const
    {
        std::vector<std::string> texts;
        for (const QTreeWidgetItem* node : dialog.tvMusParts->selectedItems())
            texts.push_back(node->text(0).toStdString());
        return texts;
    }
    /// A click of the left button on the node showing text.
    void Click(const std::string& text)
    {
        const auto found = dialog.tvMusParts->findItems(QString::fromLatin1(text.c_str()),
                                                        Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1) << text;
        QTest::mouseClick(dialog.tvMusParts->viewport(), Qt::LeftButton, {},
                          dialog.tvMusParts->visualItemRect(found.front()).center());
    }
};

using Lines = std::vector<std::string>;

TEST_F(MusicPartsDialogTest, WithoutAPieceTheTreeIsEmptyAndEveryActionIsOff)
{
    auto expectAllOff = [this] {
        EXPECT_EQ(dialog.tvMusParts->topLevelItemCount(), 0);
        for (QAction* action : dialog.findChildren<QAction*>()) {
            const QString name = action->objectName();
            EXPECT_TRUE(!action->isEnabled() ||
                        !(name.startsWith("cmd") || name == "mnuDeletePart"))
                << name.toStdString();
        }
        for (QLineEdit* edit : {dialog.editCount, dialog.editPitch, dialog.editOctave})
            EXPECT_TRUE(edit->text().isEmpty());
        EXPECT_FALSE(dialog.editCount->isEnabled() || dialog.btnPlay->isEnabled() ||
                     dialog.chkPlayDraw->isEnabled() || dialog.btnApply->isEnabled());
    };
    expectAllOff();
    TUnitMuz& doc = ShowParts({"A"});
    // A piece without a selected tree item shows its tree with no node chosen.
    EXPECT_EQ(Nodes(), Lines{"A"});
    EXPECT_FALSE(doc.IsModified());
    Choose("A");
    EXPECT_TRUE(doc.IsModified()) << "the selection is kept with the piece";
    EXPECT_EQ(doc.GetSelectedTreeItem(), doc.GetRootPart()->GetChild());
    // The root's only part can be wrapped, not deleted or moved.
    EXPECT_TRUE(dialog.cmdAddLoop->isEnabled() && dialog.cmdInsertSingle->isEnabled());
    EXPECT_FALSE(dialog.cmdDelete->isEnabled() || dialog.cmdMoveForward->isEnabled());
    dialog.SetUnitMuz(nullptr);
    expectAllOff();
    EXPECT_EQ(dialog.windowTitle(), "Music Parts");
    EXPECT_EQ(dialog.HelpContext(), 52);
    EXPECT_EQ(dialog.windowType(), Qt::Tool);
    EXPECT_EQ(dialog.cmdMoveForward->statusTip(), "Moves selected subtree forward");
    EXPECT_EQ(dialog.cmdInsertSingle->toolTip(), "Insert Single before");
}

TEST_F(MusicPartsDialogTest, StructureCommandsRunFromTheActionsAndSelectWhatTheyMade)
{
    TUnitMuz& doc = ShowParts({"A", "B"});
    struct Step
    {
        const char* choose;
        QAction* TDlgMusTree::*action;
        const char* shape;
        const char* chosen; // the node selected afterwards
    };
    using D = TDlgMusTree;
    const Step steps[] = {
        {"B", &D::cmdAddLoop, "A {B}2", "repeat 2"},
        {"A", &D::cmdMoveForwardIn, "{A B}2", "A"},
        {"B", &D::cmdMoveForwardOut, "{A}2 B", "B"},
        {"B", &D::cmdAddTurns, "{A}2 <B|1>", "turns"},
        {"turns", &D::cmdAddTurn, "{A}2 <B|1,2>", "turn 2"},
        {"repeat 2", &D::cmdMoveBackwardIn, "-", ""},
        {"repeat 2", &D::cmdMoveForward, "<B|1,2> {A}2", "repeat 2"},
        {"repeat 2", &D::cmdMoveBackwardIn, "<B {A}2|1,2>", "repeat 2"},
        {"repeat 2", &D::cmdMoveBackwardOut, "{A}2 <B|1,2>", "repeat 2"},
        {"A", &D::cmdAppendSingle, "{A part}2 <B|1,2>", "part"},
        {"part", &D::cmdMoveBackward, "{part A}2 <B|1,2>", "part"},
        {"turn 2", &D::cmdDelete, "{part A}2 <B|1>", "turns"},
        {"repeat 2", &D::cmdDelete, "part A <B|1>", "part"},
        {"turns", &D::cmdDelete, "part A B", "B"},
        {"A", &D::cmdInsertSingle, "part part A B", "part"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.choose) + " -> " + step.shape);
        Choose(step.choose);
        QAction* action = dialog.*step.action;
        if (*step.shape == '-') {
            EXPECT_FALSE(action->isEnabled());
            continue;
        }
        ASSERT_TRUE(action->isEnabled());
        doc.ClearModified();
        action->trigger();
        EXPECT_EQ(TreeShape(doc), step.shape);
        EXPECT_TRUE(doc.CheckPartTree());
        EXPECT_TRUE(doc.IsModified());
        ASSERT_NE(dialog.tvMusParts->currentItem(), nullptr);
        EXPECT_EQ(dialog.tvMusParts->currentItem()->text(0).toStdString(), step.chosen);
        EXPECT_EQ(doc.GetSelectedTreeItem(), dialog.SelectedItem());
    }
    EXPECT_TRUE(messages.Unexpected().empty());
}

TEST_F(MusicPartsDialogTest, DeletingASinglePartAsksFirstThenLetsItsNeighbourTakeItsPlace)
{
    TUnitMuz& doc = ShowParts({"A", "B", "C"});
    Choose("B");
    messages.Expect(MsgAnswer::Cancel);
    dialog.cmdDelete->trigger();
    EXPECT_EQ(messages.Shown().back().buttons, MsgButtons::OkCancel);
    EXPECT_EQ(Boxes(), Lines{"A Single Part containing music is selected: Do you want to delete "
                             "a part of music?"});
    EXPECT_EQ(TreeShape(doc), "A B C");
    messages.Expect(MsgAnswer::Ok);
    dialog.cmdDelete->trigger();
    EXPECT_EQ(TreeShape(doc), "A C");
    EXPECT_EQ(Nodes(), (Lines{"A", "C*"}));
    EXPECT_TRUE(doc.CheckPartTree());
    EXPECT_EQ(doc.GetSelectedTreeItem(), PartLabelled(doc.GetRootPart(), "C"));
}

TEST_F(MusicPartsDialogTest, ADuplicateTurnCountIsRefusedAndHoldsTheTreeUntilACountIsTaken)
{
    TUnitMuz& doc = ShowParts({"A", "B"});
    Choose("B");
    dialog.cmdAddLoop->trigger();
    Type(dialog.editCount, "3");
    EXPECT_EQ(Nodes()[1], "repeat 3*");
    EXPECT_EQ(Type(dialog.editCount, "10000", true, 1),
              Lines{"Input Error: In Count: Value must be less or equal of 9999."});
    dialog.SetUnitMuz(window);
    Choose("A");
    dialog.cmdAddTurns->trigger();
    dialog.cmdAddTurn->trigger();
    Choose("turn 1");
    EXPECT_EQ(Type(dialog.editCount, "2", true, 1),
              Lines{"Input Error: In Count: 2 already exist"});
    EXPECT_EQ(dialog.editCount->text(), "1");
    EXPECT_EQ(TreeShape(doc), "<A|1,2> {B}3");
    // The tree stays on the item until a count is taken.
    Choose("repeat 3");
    EXPECT_EQ(dialog.tvMusParts->currentItem()->text(0), "turn 1");
    EXPECT_EQ(dialog.focusWidget(), dialog.editCount);
    Type(dialog.editCount, "4");
    Choose("repeat 3");
    EXPECT_EQ(TreeShape(doc), "<A|4,2> {B}3");
    EXPECT_EQ(Nodes(),
              (std::vector<std::string>{"turns", ".turn 2", ".turn 4", ".A", "repeat 3*", ".B"}));
    EXPECT_EQ(Boxes(), Lines{}) << "no second box for the same count";
    // Return takes the count put back as it takes any other: the tree is free again.
    Choose("turn 2");
    EXPECT_EQ(Type(dialog.editCount, "4", true, 1),
              Lines{"Input Error: In Count: 4 already exist"});
    QTest::keyClick(dialog.editCount, Qt::Key_Return);
    Choose("A");
    EXPECT_EQ(Boxes(), Lines{});
    EXPECT_EQ(dialog.tvMusParts->currentItem()->text(0), "A");
    EXPECT_EQ(TreeShape(doc), "<A|4,2> {B}3");
}

// Typed and clicked as a user does, with boxes that leave the keyboard with another window: a
// refused value holds the tree, its highlight and the fields on its node and the keyboard in its
// field; the value typed next goes to that node.
TEST_F(MusicPartsDialogTest, ARefusedValueHoldsTreeAndFieldsOnItsNodeWithTheKeyboardInIt)
{
    TUnitMuz& doc = ShowParts({"A"});
    Choose("A");
    dialog.cmdAddTurns->trigger();
    dialog.cmdAddTurn->trigger();
    Choose("turn 1");
    BoxesLeaveTheKeyboard boxes(area);
    struct Case
    {
        QLineEdit* field;
        const char* typed;
        const char* box;
        size_t boxesAgain; // on a second click
        const char* shown;
        const char* taken;
    };
    const Case cases[] = {
        {dialog.editPitch, "x", "Input Error: In Pitch: Invalid value: \"x\".", 1, "x", "7"},
        // A count that is none; one that another item has is put back instead.
        {dialog.editCount, "0", "Input Error: In Count: Value must be positive and more than 0.", 1,
         "0", "1"},
    };
    for (const Case& c : cases) {
        TypeKeys(c.field, c.typed);
        for (size_t shown : {size_t(1), c.boxesAgain}) {
            messages.Expect();
            Click(shown == 1 ? "turn 2" : "A");
            EXPECT_EQ(Boxes(), Lines(shown, c.box));
            EXPECT_EQ(Nodes(), (Lines{"turns", ".turn 1*", ".turn 2", ".A"}));
            EXPECT_EQ(dialog.tvMusParts->selectedItems().value(0)->text(0), "turn 1");
            EXPECT_EQ(c.field->text().toStdString(), c.shown);
            EXPECT_TRUE(KeyboardIn(c.field));
        }
        TypeKeys(c.field, c.taken);
    }
    Click("A");
    EXPECT_EQ(TreeShape(doc), "<A|1:7,2>");
    EXPECT_EQ(dialog.tvMusParts->selectedItems().value(0)->text(0), "A");
    EXPECT_TRUE(KeyboardIn(dialog.tvMusParts));
}

// The count put back after a duplicate is the item's own count: leaving the field with it, by
// Tab or by a click on another node, ends the refusal, and the keys typed next go where the
// keyboard went. A duplicate typed again has its box again and the tree stays.
TEST_F(MusicPartsDialogTest, TheCountPutBackAfterADuplicateIsTakenWhenTheFieldIsLeft)
{
    BoxesLeaveTheKeyboard boxes(area);
    struct Case
    {
        const char* how;
        std::function<void()> leave;
        QWidget* keyboard; // where the keyboard goes when the count is left
        const char* node;  // the node the tree and the fields show then
        const char* count;
        const char* pitch; // after a 9 typed next
        const char* shape; // once what was typed is taken
    };
    const Case cases[] = {
        {"Tab", [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }, dialog.editPitch,
         "turn 3", "3", "9", "<A|1,2,3:9>"},
        {"a click on another node", [this] { Click("A"); }, dialog.tvMusParts, "A", "", "",
         "<A|1,2,3>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        TUnitMuz& doc = ShowParts({"A"});
        Choose("A");
        dialog.cmdAddTurns->trigger();
        dialog.cmdAddTurn->trigger();
        Choose("turns");
        dialog.cmdAddTurn->trigger();
        Choose("turn 3");
        for (int attempt = 0; attempt < 2; ++attempt) {
            TypeKeys(dialog.editCount, "1");
            messages.Expect();
            c.leave();
            EXPECT_EQ(Boxes(), Lines{"Input Error: In Count: 1 already exist"});
            EXPECT_EQ(Nodes(), (Lines{"turns", ".turn 1", ".turn 2", ".turn 3*", ".A"}));
            EXPECT_EQ(Highlighted(), Lines{"turn 3"});
            EXPECT_EQ(dialog.editCount->text(), "3");
            EXPECT_TRUE(KeyboardIn(dialog.editCount));
        }
        c.leave();
        EXPECT_EQ(Boxes(), Lines{});
        EXPECT_TRUE(KeyboardIn(c.keyboard));
        EXPECT_EQ(dialog.tvMusParts->currentItem()->text(0).toStdString(), c.node);
        EXPECT_EQ(Highlighted(), Lines{c.node});
        EXPECT_EQ(doc.GetSelectedTreeItem(), dialog.SelectedItem());
        EXPECT_EQ(dialog.editCount->text().toStdString(), c.count);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_9);
        EXPECT_EQ(dialog.editCount->text().toStdString(), c.count) << "no count \"39\"";
        EXPECT_EQ(dialog.editPitch->text().toStdString(), c.pitch);
        dialog.ApplyBtnClick();
        EXPECT_EQ(TreeShape(doc), c.shape);
        EXPECT_EQ(Boxes(), Lines{});
    }
}

TEST_F(MusicPartsDialogTest, ThePitchShowsInOctavesWhileTypedAndIsTakenOnLeaving)
{
    TUnitMuz& doc = ShowParts({"A"});
    Choose("A");
    dialog.cmdAddTurns->trigger();
    Choose("turn 1");
    struct Case
    {
        const char* pitch;
        const char* octave;
    };
    // "-" is half a number: shown as nothing, never reported.
    for (const auto& [pitch, octave] : {std::pair{"18", "1 1/2"}, std::pair{"-18", "-1 1/2"},
                                        std::pair{"-", ""}, std::pair{"", ""}}) {
        Type(dialog.editPitch, pitch, false);
        EXPECT_EQ(dialog.editOctave->text().toStdString(), octave) << pitch;
    }
    EXPECT_EQ(Boxes(), Lines{});
    Type(dialog.editPitch, "-7");
    auto* select = static_cast<TSelectPartMuz*>(doc.GetRootPart()->GetChild());
    EXPECT_EQ(TreeShape(doc), "<A|1:-7>");
    const Lines boxes = Type(dialog.editPitch, "x", true, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].substr(0, 22), "Input Error: In Pitch:");
    int32_t pitch = 0;
    EXPECT_TRUE(select->FindTurn(1, pitch));
    EXPECT_EQ(pitch, -7);
}

TEST_F(MusicPartsDialogTest, PlayAndDrawTogglesOnOrGrayedBelowAPartSwitchedOff)
{
    TUnitMuz& doc = ShowParts({"A"});
    Choose("A");
    dialog.cmdAddLoop->trigger();
    QCheckBox* box = dialog.chkPlayDraw;
    EXPECT_EQ(box->checkState(), Qt::Checked);
    box->click();
    EXPECT_EQ(TreeShape(doc), "!{A}2");
    Choose("A");
    EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
    struct Click
    {
        Qt::CheckState state;
        const char* shape;
    };
    for (const Click& c : {Click{Qt::Unchecked, "!{!A}2"}, Click{Qt::PartiallyChecked, "!{A}2"}}) {
        doc.ClearModified();
        box->click();
        EXPECT_EQ(box->checkState(), c.state);
        EXPECT_EQ(TreeShape(doc), c.shape);
        EXPECT_TRUE(doc.IsModified());
    }
    Choose("repeat 2");
    box->click();
    EXPECT_EQ(box->checkState(), Qt::Checked);
    EXPECT_EQ(TreeShape(doc), "{A}2");
}

TEST_F(MusicPartsDialogTest, ANodeTakesAStorableLabelAndFoldsAsTheUserFoldsIt)
{
    TUnitMuz& doc = ShowParts({"A", "B"});
    Choose("B");
    dialog.cmdAddLoop->trigger();
    struct Case
    {
        const char* typed;
        const char* shown;
        const char* label;
        const char* box;
    };
    const Case cases[] = {
        {"  chorus ", "chorus", "chorus", nullptr},
        {"<x>", "chorus", "chorus", "Input Error: In Label: A name cannot hold \"<\" or \">\"."},
        {"   ", "repeat 2", "", nullptr},
        // The default label confirmed as it shows stays the default.
        {"repeat 2", "repeat 2", "", nullptr},
    };
    TMusTreeItem* item = doc.GetSelectedTreeItem();
    ASSERT_TRUE(Focus(&dialog));
    BoxesLeaveTheKeyboard boxes(area);
    for (const Case& c : cases) {
        // Taking the keyboard back fills the tree afresh.
        QTreeWidgetItem* loop = dialog.NodeOf(item);
        ASSERT_NE(loop, nullptr);
        if (c.box)
            messages.Expect();
        loop->setText(0, QString::fromLatin1(c.typed));
        EXPECT_EQ(loop->text(0).toStdString(), c.shown);
        EXPECT_EQ(item->GetLabel(), c.label);
        EXPECT_EQ(Boxes(), c.box ? Lines{c.box} : Lines{});
        if (c.box) {
            EXPECT_TRUE(KeyboardIn(dialog.tvMusParts)) << "after the box, the tree has it";
        }
    }
    doc.ClearModified();
    dialog.cmdTreeCollapse->trigger();
    EXPECT_EQ(static_cast<TLoopPartMuz*>(item)->expanded, 0);
    EXPECT_TRUE(doc.IsModified());
    dialog.cmdTreeExpandAll->trigger();
    EXPECT_EQ(static_cast<TLoopPartMuz*>(item)->expanded, 1);
    // Shown afresh, the tree folds as the piece says.
    dialog.cmdTreeCollapseAll->trigger();
    dialog.SetUnitMuz(window);
    EXPECT_FALSE(dialog.tvMusParts->topLevelItem(1)->isExpanded());
    // A single part has nothing to unfold: the "+" key and Expand leave piece and boxes alone.
    QTreeWidgetItem* single = dialog.tvMusParts->topLevelItem(0);
    ASSERT_EQ(single->childCount(), 0);
    dialog.tvMusParts->setCurrentItem(single);
    doc.ClearModified();
    QTest::keyClick(dialog.tvMusParts, Qt::Key_Plus);
    dialog.cmdTreeExpand->trigger();
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(Boxes(), Lines{});
}

// Begin and End select as a click or a key in the music window does: the window scrolls to the
// symbol, to a note's own rows rather than its stave's, and a note sounds while auto play is on.
TEST_F(MusicPartsDialogTest, BeginAndEndSelectAPartsSymbolsScrollToThemAndSoundANote)
{
    // A stave with much room above it in a low window: the stave's middle and a note far above
    // it do not fit on the screen together.
    auto made = PieceWithRooms({{240, 80}, {80, 80}});
    LabelParts(*made, {"A", "B"});
    TUnitMuz& doc = Show(std::move(made), 300, 220);
    FakeWaves waves;
    waves.Add("sample", SineSound(440, 4000));
    doc.SetWaveFinder(&waves);
    CountingPlayer player;
    auto* b = static_cast<TSinglePartMuz*>(PartLabelled(doc.GetRootPart(), "B"));
    TNoteStave* stave = doc.GetFirstStave();
    stave->GetFirstNoteGroup()->GetPlayer()->GetFirstOnePlayer()->OnePlayerProps =
        SimpleProps("sample", 1.0 / 440.0);
    TMuzNote* last = nullptr;
    for (int i = 0; i < 40; ++i)
        last = AddNote(doc, b, stave, i * 0.25, i < 39 ? i % 7 : 30);
    Paint();
    Choose("B");
    doc.SetSelectedSymbol(nullptr);
    dialog.SetUnitMuz(window);
    EXPECT_FALSE(dialog.cmdGotoEnd->isEnabled()) << "no stave selected";
    EXPECT_FALSE(dialog.cmdGotoBegin->isEnabled()) << "no stave selected";
    // A bar selected after a symbol of the stave goes on that stave.
    TSinglePartMuz* a = doc.GetRootPart()->FirstSinglePart();
    doc.SetSelectedSymbol(a->GetOpeningKey(stave));
    doc.SetSelectedSymbol(a->GetMuzBar());
    dialog.SetUnitMuz(window);
    ASSERT_TRUE(dialog.cmdGotoBegin->isEnabled() && dialog.cmdGotoEnd->isEnabled());

    TKey* opening = b->GetOpeningKey(stave);
    struct Case
    {
        const char* what;
        bool end;
        uint8_t autoPlay;
        TXTouchMuzSymbol* selected;
        int plays;
    };
    const Case cases[] = {
        {"End: the last note, heard", true, 1, last, 1},
        {"Begin: the part's opening clef, silent", false, 1, opening, 0},
        {"End without auto play: not heard", true, 0, last, 0},
    };
    int scrolledToEnd = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        doc.autoPlay = c.autoPlay;
        // From the far side of the score: the symbol is out of sight before.
        window->HorzScrollBar()->setValue(c.end ? 0 : window->HorzScrollBar()->maximum());
        window->VertScrollBar()->setValue(window->VertScrollBar()->maximum());
        Paint();
        player.plays = 0;
        (c.end ? dialog.cmdGotoEnd : dialog.cmdGotoBegin)->trigger();
        EXPECT_EQ(doc.GetSelectedSymbol(), c.selected);
        EXPECT_EQ(player.plays, c.plays);
        Paint();
        const int left = c.selected->XLeft + window->GetXOrigin();
        const int right = c.selected->XRight + window->GetXOrigin();
        EXPECT_GE(left, 0);
        EXPECT_LE(right, window->ClientWidth());
        // A note's head is in sight; any other symbol's stave middle is.
        const int row = c.end ? RowOf(stave, last->GetHeight()) : stave->GetMiddleY();
        EXPECT_GE(row, 10);
        EXPECT_LE(row, window->ClientHeight() - 10);
        if (c.end)
            scrolledToEnd = window->HorzScrollBar()->value();
        else
            EXPECT_LT(window->HorzScrollBar()->value(), scrolledToEnd);
    }
    EXPECT_GT(scrolledToEnd, 300);
    EXPECT_GT(last->GetHeight(), 12) << "the note lies above its stave's band";
}

} // namespace
