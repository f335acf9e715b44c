// The factory window offscreen with real mouse events: a node dragged, a pin hinted, the pop-up
// opened by a right click and its items run, a right click where it has none, the scroll bars
// from the view record and back, and a node shown at once during a run.
#include "factory/ui/FactoryWindow.h"

#include "FactoryDialogKit.h"
#include "factory/builtins/BuiltinNode.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

struct FactoryWindowTest : DialogTest
{
    FactoryWindowTest()
    {
        auto unit = std::make_unique<TUnitSountory>("Gen", "/tmp/gen.kvf", host);
        unit->SetWidth(500);
        unit->SetHeight(300);
        input =
            unit->CreateInput("In", At(0.5), false, ValueDomType::Factor, ValueDomain::AllValues);
        node = unit->CreateNode<TTestNode>("Box", sntNodeBuiltin,
                                           TSountoryRectangle{100, 60, 220, 180});
        node->helpContext = 1024 + 30;
        owned = unit.get();
        window = new TMDIChildFact(nullptr, std::move(unit));
        window->resize(700, 450);
        window->show();
        window->PaintFactory();
    }
    ~FactoryWindowTest() override { delete window; }

    QWidget* Client() const { return window->FactoryViewport(); }
    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(at), Client()->mapToGlobal(QPointF(at)), button, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(Client(), &event);
    }
    void RightClick(QPoint at)
    {
        Mouse(QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, Client()->mapToGlobal(at));
        QCoreApplication::sendEvent(Client(), &event);
        Mouse(QEvent::MouseButtonRelease, at, Qt::RightButton, Qt::NoButton);
    }
    QPoint Window(int x, int y) const
    {
        return {x + owned->FactoryRect.left, y + owned->FactoryRect.top};
    }
    QPoint InputPoint() const { return {owned->FactoryRect.left, input->GetY()}; }
    void Run(FactoryMenuItem item)
    {
        window->MenuAction(item)->trigger();
        window->PopupMenu()->hide();
    }

    TUnitSountory* owned = nullptr;
    TSountoryInput* input = nullptr;
    TTestNode* node = nullptr;
    TMDIChildFact* window = nullptr;
};

TEST_F(FactoryWindowTest, TheMouseDragsANodeAndHintsAPinUnderIt)
{
    owned->ClearModified();
    window->UpdateModifiedMark();
    Mouse(QEvent::MouseButtonPress, Window(160, 170), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::DragMoveCursor);
    Mouse(QEvent::MouseMove, Window(190, 150), Qt::NoButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, Window(190, 150), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(node->GetRect().left, 130);
    EXPECT_EQ(node->GetRect().top, 40);
    EXPECT_TRUE(window->isWindowModified());

    Mouse(QEvent::MouseMove, InputPoint(), Qt::NoButton, Qt::NoButton);
    ASSERT_TRUE(window->HintWindow()->isVisible());
    EXPECT_EQ(Text(window->HintWindow()->text()), "Undefined");
    EXPECT_EQ(window->HintWindow()->pos(), Client()->mapToGlobal(InputPoint() + QPoint(0, 25)));
    EXPECT_EQ(input->HighlightState, 1);
    Mouse(QEvent::MouseMove, Window(250, 250), Qt::NoButton, Qt::NoButton);
    EXPECT_FALSE(window->HintWindow()->isVisible());
    EXPECT_EQ(Client()->cursor().shape(), Qt::ArrowCursor);
    Mouse(QEvent::MouseMove, Window(249, 100), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(Client()->cursor().shape(), Qt::SizeHorCursor);
}

// A hint keeps its own lines while they fit the limit; only a wider line wraps, and the window is
// never wider than the limit and its margins.
TEST_F(FactoryWindowTest, AHintIsSizedForItsTextUpToTheLimit)
{
    Mouse(QEvent::MouseMove, InputPoint(), Qt::NoButton, Qt::NoButton);
    QLabel& hint = *window->HintWindow();
    ASSERT_TRUE(hint.isVisible());
    const QFontMetrics metrics(hint.font());
    const int around =
        hint.contentsMargins().left() + hint.contentsMargins().right() + 2 * hint.margin();
    const int oneLine = hint.height(); // "Undefined"
    EXPECT_NEAR(hint.width() - around, metrics.horizontalAdvance("Undefined"), 1);

    const QString shortLines = "Type: Wave Value\nValue: 20000 $";
    SetHintText(hint, shortLines);
    EXPECT_EQ(hint.height(), oneLine + metrics.lineSpacing());
    EXPECT_NEAR(hint.width() - around, metrics.horizontalAdvance("Type: Wave Value"), 1);

    const QString longLine = "Wave: \"the take of the evening with the second microphone\"";
    ASSERT_GT(metrics.horizontalAdvance(longLine), HintTextWidth);
    SetHintText(hint, longLine);
    EXPECT_LE(hint.width(), HintTextWidth + around);
    EXPECT_GT(hint.width(), HintTextWidth / 2 + around);
    EXPECT_GE(hint.height(), oneLine + metrics.lineSpacing());
}

TEST_F(FactoryWindowTest, ARightClickOpensThePopupForWhatLiesUnderIt)
{
    RightClick(Window(160, 120));
    EXPECT_TRUE(window->PopupMenu()->isVisible());
    EXPECT_TRUE(window->MenuAction(FactoryMenuItem::HelpBuiltin)->isVisible());
    EXPECT_FALSE(window->MenuAction(FactoryMenuItem::AddInput)->isVisible());
    EXPECT_EQ(Text(window->MenuAction(FactoryMenuItem::ConnDel)->text()), "Delete Connections");
    Run(FactoryMenuItem::HelpBuiltin);
    EXPECT_EQ(help.Contexts(), std::vector<int>{1054});

    RightClick(InputPoint());
    EXPECT_EQ(Text(window->MenuAction(FactoryMenuItem::ConnMake)->text()), "Add &Connection");
    EXPECT_FALSE(window->MenuAction(FactoryMenuItem::ConnMake)->isEnabled());
    window->PopupMenu()->hide();

    // Items reach the dialogs through the scripted runner: a new pin kept on OK.
    RightClick(Window(30, 250));
    dialogs.When("TDlgSntInputOutputProps", DialogResult::Accepted);
    Run(FactoryMenuItem::AddInput);
    EXPECT_EQ(NamesOf(owned->Inputs()), (std::vector<std::string>{"In", "Input"}));
    RightClick(Window(30, 250));
    dialogs.When("TDlgSntSountoryProps", DialogResult::Rejected);
    Run(FactoryMenuItem::Properties);
    EXPECT_EQ(dialogs.Opened(),
              (std::vector<std::string>{"TDlgSntInputOutputProps", "TDlgSntSountoryProps"}));
}

// Beside the area the pop-up has no item: a right click there opens nothing, and closes the
// pop-up should it be open, so the next key runs its shortcut and the next right click on the
// area opens the pop-up with the area's items.
TEST_F(FactoryWindowTest, ARightClickWhereThePopupHasNoItemLeavesNothingOpen)
{
    QAction editName(window);
    editName.setShortcut(Qt::Key_N);
    window->addAction(&editName);
    int ran = 0;
    QObject::connect(&editName, &QAction::triggered, [&ran] { ++ran; });
    QMenu& popup = *window->PopupMenu();
    const struct
    {
        const char* name;
        QPoint at;
        bool popupOpen;
    } rows[] = {{"right of the area", Window(520, 100), false},
                {"below the area", Window(100, 320), false},
                {"with the pop-up open", Window(520, 100), true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(Client()->rect().contains(row.at));
        if (row.popupOpen)
            RightClick(Window(30, 250));
        RightClick(row.at);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_FALSE(popup.isVisible());
        // Offscreen, a pop-up that closes keeps the keyboard; a desktop gives it back.
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        ran = 0;
        QTest::keyClick(window->windowHandle(), Qt::Key_N);
        EXPECT_EQ(ran, 1);

        RightClick(Window(30, 250));
        EXPECT_EQ(QApplication::activePopupWidget(), &popup);
        EXPECT_FALSE(popup.size().isEmpty());
        EXPECT_TRUE(window->MenuAction(FactoryMenuItem::AddInput)->isVisible());
        popup.hide();
    }
}

TEST_F(FactoryWindowTest, ScrollPositionsComeFromTheViewRecordAndGoBackToIt)
{
    window->SetUnitSountory([&] {
        auto fresh = std::make_unique<TUnitSountory>("Gen", "/tmp/gen.kvf", host);
        fresh->SetWidth(1500);
        fresh->SetHeight(300);
        fresh->View.HorScrollPos = 100;
        fresh->View.ShowHints = false;
        return fresh;
    }());
    owned = &window->GetUnitSountory();
    window->PaintFactory();
    EXPECT_EQ(window->HorzScrollBar()->value(), 100);
    EXPECT_EQ(window->HorzScrollBar()->maximum(), 1546 - Client()->width());
    EXPECT_EQ(owned->FactoryRect.left, 23 - 100);
    EXPECT_FALSE(window->GetShowHints());
    window->HorzScrollBar()->setValue(40);
    window->PaintFactory();
    EXPECT_EQ(owned->FactoryRect.left, 23 - 40);
    EXPECT_EQ(owned->View.HorScrollPos, 40);
}

TEST_F(FactoryWindowTest, ANodeWhoseRunStateChangesShowsAtOnce)
{
    const TSountoryRectangle r = node->GetDrawRect();
    const QPoint inside((r.left + r.right) / 2, r.bottom - 4);
    const QRgb idle = window->Image().pixel(inside);
    node->SetRunState(sntRunBusy);
    window->RedrawNode(*node);
    const QRgb busy = window->Image().pixel(inside);
    EXPECT_NE(busy, idle);
    // What a whole paint gives.
    window->PaintFactory();
    EXPECT_EQ(window->Image().pixel(inside), busy);
}

} // namespace
