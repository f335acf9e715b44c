// The music window: dragging stave borders with each button, where a press starts a drag, the
// scroll bars and the score under them, auto-scrolling at the margins, and clicks.
#include "support/MusicWindows.h"

#include "music/ui/ScorePainter.h"

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

constexpr Qt::MouseButtons Left = Qt::LeftButton;
constexpr Qt::MouseButtons Right = Qt::RightButton;
constexpr Qt::MouseButtons Both = Qt::LeftButton | Qt::RightButton;

// The first stave's lower border with rooms (up, down) and no scrolling: 40 rows above it.
int BorderOf(int up, int down)
{
    return TMDIChildMuz::ScoreTop + up + down;
}

struct DragCase
{
    const char* name;
    Qt::MouseButtons held;
    int up, down;
    std::vector<int> steps; // the mouse's moves in rows, one after the other
    int wantUp, wantDown;
};

TEST_F(MusicWindowTest, DraggingABorderMovesTheRoomsByButtonAndNeverBelowThirty)
{
    const DragCase cases[] = {
        {"left moves the border alone", Left, 80, 80, {10}, 80, 90},
        {"left stops at 30", Left, 80, 80, {-70, 5}, 80, 30},
        {"right moves the stave with its border", Right, 80, 80, {10}, 90, 80},
        {"right stops at 30", Right, 80, 80, {-70}, 30, 80},
        // The odd pixels go to each room in turn, downwards first to the room above.
        {"both, odd pixels down", Both, 80, 80, {1, 1, 1}, 82, 81},
        {"both, odd pixels up", Both, 80, 80, {-1, -1, -1}, 79, 78},
        {"both halves of an even step", Both, 80, 80, {10, -4}, 83, 83},
        {"both at 30 upwards", Both, 30, 30, {-10}, 30, 30},
        {"both, the room above at its floor", Both, 30, 80, {-20}, 30, 60},
        {"both, the room below at its floor", Both, 80, 30, {-20}, 60, 30},
        {"no room beyond what a file holds", Left, 80, 9990, {50}, 80, 10000},
    };
    for (const DragCase& c : cases) {
        SCOPED_TRACE(c.name);
        delete window;
        host.staves.clear();
        Open(PieceWithRooms({{c.up, c.down}, {50, 60}}));
        // A piece with a file counts as changed only by its flag.
        Doc().SetFileName("piece.kvm");
        ASSERT_FALSE(Doc().IsModified());
        TNoteStave* stave = Doc().GetFirstStave();
        const int border = BorderOf(c.up, c.down);
        Press(Qt::LeftButton, c.held, 100, border);
        ASSERT_TRUE(window->IsDragging());
        int y = border;
        for (int step : c.steps)
            Move(c.held, 100, y += step);
        EXPECT_EQ(stave->RoomUp.GetValue(), c.wantUp);
        EXPECT_EQ(stave->RoomDown.GetValue(), c.wantDown);
        // The drag follows the border, not the mouse.
        EXPECT_EQ(window->DragY(), border + (c.wantUp - c.up) + (c.wantDown - c.down));
        EXPECT_EQ(host.staves, std::vector<TNoteStave*>(c.steps.size(), stave));
        EXPECT_TRUE(Doc().IsModified());
        EXPECT_EQ(Doc().GetFirstStave()->GetNext()->RoomUp.GetValue(), 50);
        // No invariant of the split broke on the way.
        EXPECT_TRUE(messages.Unexpected().empty()) << messages.Unexpected().front().text;
        messages.Clear();
    }
}

TEST_F(MusicWindowTest, APressJustAroundALowerBorderStartsADragInEveryModeAndAReleaseEndsIt)
{
    Open(PieceWithRooms({{80, 80}, {50, 60}}));
    TNoteStave* first = Doc().GetFirstStave();
    TNoteStave* second = first->GetNext();
    const int borders[] = {BorderOf(80, 80), BorderOf(80, 80) + 50 + 60};
    for (UnitMuzMode mode : {unitMuzNew, unitMuzSel, unitMuzDel}) {
        Doc().mode = mode;
        for (int stave = 0; stave < 2; ++stave)
            for (int offset = -5; offset <= 4; ++offset) {
                SCOPED_TRACE(testing::Message() << "mode " << int(mode) << ", stave " << stave
                                                << ", offset " << offset);
                Press(Qt::RightButton, Right, 30, borders[stave] + offset);
                const bool hit = offset >= -3 && offset <= 2;
                EXPECT_EQ(window->IsDragging(), hit);
                if (hit) {
                    EXPECT_EQ(window->DraggedStave(), stave == 0 ? first : second);
                }
                Release(Qt::RightButton, Qt::NoButton, 30, borders[stave] + offset);
                EXPECT_FALSE(window->IsDragging());
            }
    }
    // A press elsewhere during a drag changes nothing; one on a border starts afresh.
    Press(Qt::LeftButton, Both, 30, borders[0]);
    Move(Both, 30, borders[0] + 1);
    EXPECT_FALSE(window->SplitToggle());
    Press(Qt::LeftButton, Both, 30, 20);
    EXPECT_TRUE(window->IsDragging() && window->DraggedStave() == first);
    Press(Qt::LeftButton, Both, 30, borders[1]);
    EXPECT_TRUE(window->DraggedStave() == second && window->SplitToggle());
    // Letting one button go keeps the drag; a move with neither ends it.
    Release(Qt::RightButton, Left, 30, borders[1]);
    EXPECT_TRUE(window->IsDragging());
    Move(Qt::NoButton, 30, borders[1] + 20);
    EXPECT_FALSE(window->IsDragging());
    EXPECT_EQ(second->RoomDown.GetValue(), 60);
    // Over a border the cursor says what a press would do.
    EXPECT_EQ(window->ShownCursor(), 0);
    Move(Qt::NoButton, 30, borders[0] - 3);
    EXPECT_EQ(window->ShownCursor(), -1);
    EXPECT_EQ(window->ScoreViewport()->cursor().shape(), Qt::SplitVCursor);
    Move(Qt::NoButton, 30, borders[0] - 4);
    EXPECT_EQ(window->ShownCursor(), 0);
}

TEST_F(MusicWindowTest, TheScrollBarsSpanTheScoreAndItFollowsThem)
{
    auto piece = PieceWithRooms({{80, 80}, {50, 60}});
    AddScale(*piece, 120);
    Open(std::move(piece), 500, 260);
    const int width = window->ClientWidth();
    const int height = window->ClientHeight();
    QScrollBar* horz = window->HorzScrollBar();
    QScrollBar* vert = window->VertScrollBar();
    // 40 rows above the staves and below them.
    EXPECT_EQ(window->GetVertRange(), 40 + 160 + 110 + 40);
    EXPECT_EQ(vert->maximum(), window->GetVertRange() - height);
    EXPECT_TRUE(vert->isVisible() && horz->isVisible());
    EXPECT_EQ(vert->singleStep(), height / 10);
    EXPECT_EQ(horz->singleStep(), width / 10);
    EXPECT_EQ(window->GetHorzRange(), window->GetXExtent() - window->GetXOrigin());
    EXPECT_EQ(horz->maximum(), window->GetHorzRange() - width);
    // The score ends 80 columns before the right edge of the last screen.
    const int32_t end = window->GetXExtent() - width + 80;
    EXPECT_GT(end, 30 * width / 10);

    // The score moves under the client area by what the bar moved: the first stave's band
    // shows the columns 333 further right.
    const QImage before = window->Image().copy();
    horz->setValue(333);
    Paint();
    EXPECT_EQ(window->GetXOrigin(), -333);
    EXPECT_EQ(window->GetXExtent() - width + 80, end - 333);
    const QImage& after = window->Image();
    int differing = 0, moved = 0;
    for (int y = 40; y < 200; ++y)
        for (int x = 0; x + 333 < width; ++x) {
            differing += after.pixel(x, y) != before.pixel(x + 333, y);
            moved += after.pixel(x, y) != before.pixel(x, y);
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(moved, 100);
    vert->setValue(45);
    Paint();
    EXPECT_EQ(window->GetYOrigin(), -45);
    EXPECT_EQ(Doc().GetFirstStave()->GetMiddleY(), 40 + 80 - 45);

    // More bars reach further.
    const int32_t range = window->GetHorzRange();
    AddScale(Doc(), 160);
    window->Redraw();
    Paint();
    EXPECT_GT(window->GetHorzRange(), range);
}

TEST_F(MusicWindowTest, APieceWithoutStavesIsHatchedWhole)
{
    Open(PieceWithRooms({}));
    EXPECT_EQ(window->GetVertRange(), 40);
    const QImage& image = window->Image();
    ASSERT_GT(image.width(), 16);
    const int row = image.height() / 2;
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(image.pixel(x, row) & 0xFFFFFF, x % 8 == 0 ? 0x404040u : 0xFFFFFFu) << x;
}

TEST_F(MusicWindowTest, AutoScrollBringsASymbolInsideTheMargins)
{
    auto piece = PieceWithRooms({{900, 900}, {900, 900}});
    AddScale(*piece, 400);
    Open(std::move(piece));
    // A client area of 415 x 333: margins of 41.5 and 66.6, far edges at 373.5 and 266.4.
    window->resize(window->width() - window->ClientWidth() + 415,
                   window->height() - window->ClientHeight() + 333);
    Paint();
    ASSERT_EQ(window->ClientWidth(), 415);
    ASSERT_EQ(window->ClientHeight(), 333);
    struct Case
    {
        bool vertical;
        int32_t from, to, moved;
    };
    const Case cases[] = {
        {false, 124, 207, 0},
        {false, 20, 207, -21},
        {false, 124, 394, 20},
        {false, 20, 394, 20},
        {false, -207, 20, -248},
        {true, 100, 166, 0},
        // Whole pixels toward zero: a part of one pixel out moves nothing.
        {true, 66, 166, 0},
        {true, 100, 267, 0},
        {true, 30, 300, 33},
        {true, 400, 466, 199},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << ".." << c.to << (c.vertical ? " rows" : ""));
        QScrollBar* bar = c.vertical ? window->VertScrollBar() : window->HorzScrollBar();
        bar->setValue(500);
        if (c.vertical)
            window->AutoScrollVert(c.from, c.to);
        else
            window->AutoScrollHorz(c.from, c.to);
        EXPECT_EQ(bar->value(), 500 + c.moved);
    }
}

TEST_F(MusicWindowTest, AClickTellsTheMainWindowAndTheWindowTakesAFreshPiece)
{
    Open(PieceWithRooms({{80, 80}}));
    Press(Qt::LeftButton, Left, 200, 20);
    EXPECT_TRUE(host.activated.empty()) << "a click ends with the release";
    Release(Qt::LeftButton, Qt::NoButton, 200, 20);
    EXPECT_EQ(host.activated, std::vector<TMDIChildMuz*>{window});

    // A revert hands the window a fresh piece: the old one goes, a drag under way ends.
    Press(Qt::LeftButton, Left, 30, BorderOf(80, 80));
    auto fresh = PieceWithRooms({{40, 50}});
    TUnitMuz* raw = fresh.get();
    window->SetUnitMuz(std::move(fresh));
    EXPECT_FALSE(window->IsDragging());
    EXPECT_EQ(&window->GetUnitMuz(), raw);
    EXPECT_EQ(raw->GetChildMuz(), window);
    EXPECT_EQ(raw->GetWindow(), static_cast<TMDIChildKelvorn*>(window));
    // The fresh piece shows without being asked.
    QCoreApplication::processEvents();
    EXPECT_EQ(window->GetVertRange(), 40 + 90 + 40);
}

// The piece the screenshot script shows must stay one the reader takes.
TEST_F(MusicWindowTest, TheDemoPieceOfTheScreenshotsOpensAndPaints)
{
    auto piece = std::make_unique<TUnitMuz>("Music 1", KELVORN_DEMO_PIECE);
    std::string message;
    ASSERT_TRUE(piece->OpenFile(message)) << message;
    Open(std::move(piece));
    EXPECT_EQ(Doc().CountStaves(), 2);
    EXPECT_GT(window->GetHorzRange(), window->ClientWidth());
    EXPECT_TRUE(messages.Shown().empty());
}

} // namespace
