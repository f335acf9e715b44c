// The music window: dragging stave borders with each button, where a press starts a drag, the
// scroll bars and the score under them, auto-scrolling at the margins, and clicks.
#include "support/MusicWindows.h"

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

constexpr Qt::MouseButtons Left = Qt::LeftButton, Right = Qt::RightButton, Both = Left | Right;
constexpr auto Press = QEvent::MouseButtonPress, Move = QEvent::MouseMove,
               Release = QEvent::MouseButtonRelease;

struct DragCase
{
    Qt::MouseButtons held;
    int up, down;
    std::vector<int> steps; // the mouse's moves in rows, one after the other
    int wantUp, wantDown;
};

TEST_F(MusicWindowTest, DraggingABorderMovesTheRoomsByButtonAndNeverBelowThirty)
{
    const DragCase cases[] = {
        {Left, 80, 80, {10}, 80, 90},
        {Left, 80, 80, {-70, 5}, 80, 30},
        {Right, 80, 80, {10}, 90, 80},
        {Right, 80, 80, {-70}, 30, 80},
        // The odd pixels go to each room in turn, downwards first to the room above.
        {Both, 80, 80, {1, 1, 1}, 82, 81},
        {Both, 80, 80, {-1, -1, -1}, 79, 78},
        {Both, 80, 80, {10, -4}, 83, 83},
        {Both, 30, 30, {-10}, 30, 30},
        {Both, 30, 80, {-20}, 30, 60},
        {Both, 80, 30, {-20}, 60, 30},
        // No room beyond what a music file holds.
        {Left, 80, 9990, {50}, 80, 10000},
    };
    for (const DragCase& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.held) << " " << c.up << "/" << c.down);
        host.staves.clear();
        Open(PieceWithRooms({{c.up, c.down}, {50, 60}}));
        Doc().SetFileName("piece.kvm"); // changed by its flag alone
        TNoteStave* stave = Doc().GetFirstStave();
        int y = TMDIChildMuz::ScoreTop + c.up + c.down;
        const int border = y;
        Mouse(Press, c.held, y);
        for (int step : c.steps)
            Mouse(Move, c.held, y += step);
        EXPECT_EQ(stave->RoomUp.GetValue(), c.wantUp);
        EXPECT_EQ(stave->RoomDown.GetValue(), c.wantDown);
        // The drag follows the border, not the mouse.
        EXPECT_EQ(window->DragY(), border + (c.wantUp - c.up) + (c.wantDown - c.down));
        EXPECT_EQ(host.staves, std::vector<TNoteStave*>(c.steps.size(), stave));
        EXPECT_TRUE(Doc().IsModified());
        EXPECT_EQ(stave->GetNext()->RoomUp.GetValue(), 50);
        // No invariant of the split broke on the way.
        EXPECT_TRUE(messages.Unexpected().empty()) << messages.Unexpected().front().text;
        messages.Clear();
    }
}

TEST_F(MusicWindowTest, APressJustAroundALowerBorderStartsADragInEveryModeAndAReleaseEndsIt)
{
    Open(PieceWithRooms({{80, 80}, {50, 60}}));
    TNoteStave* staves[] = {Doc().GetFirstStave(), Doc().GetFirstStave()->GetNext()};
    const int borders[] = {200, 310};
    for (UnitMuzMode mode : {unitMuzNew, unitMuzSel, unitMuzDel})
        for (int s = 0; s < 2; ++s)
            for (int offset = -5; offset <= 4; ++offset) {
                SCOPED_TRACE(testing::Message() << int(mode) << " " << s << " " << offset);
                Doc().mode = mode;
                Mouse(Press, Right, borders[s] + offset);
                const bool hit = offset >= -3 && offset <= 2;
                EXPECT_EQ(window->IsDragging() ? window->DraggedStave() : nullptr,
                          hit ? staves[s] : nullptr);
                Mouse(Release, Qt::NoButton, borders[s] + offset);
                EXPECT_FALSE(window->IsDragging());
            }
    // A press elsewhere during a drag changes nothing; one on a border starts afresh.
    Mouse(Press, Both, borders[0]);
    Mouse(Move, Both, borders[0] + 1);
    EXPECT_FALSE(window->SplitToggle());
    Mouse(Press, Both, 20);
    EXPECT_EQ(window->DraggedStave(), staves[0]);
    Mouse(Press, Both, borders[1]);
    EXPECT_TRUE(window->DraggedStave() == staves[1] && window->SplitToggle());
    // Letting one button go keeps the drag; a move with neither ends it.
    Mouse(Release, Left, borders[1]);
    EXPECT_TRUE(window->IsDragging());
    Mouse(Move, Qt::NoButton, borders[1] + 20);
    EXPECT_FALSE(window->IsDragging());
    EXPECT_EQ(staves[1]->RoomDown.GetValue(), 60);
    // Over a border the cursor says what a press would do; the first border moved one row down
    // with the drag of both buttons, and the select mode's cursor is the arrow.
    Doc().mode = unitMuzSel;
    Mouse(Move, Qt::NoButton, borders[0] + 1 - 3);
    EXPECT_EQ(window->ScoreViewport()->cursor().shape(), Qt::SplitVCursor);
    Mouse(Move, Qt::NoButton, borders[0] + 1 - 4);
    EXPECT_EQ(window->ShownCursor(), 0);
}

TEST_F(MusicWindowTest, TheScrollBarsSpanTheScoreAndItFollowsThem)
{
    auto piece = PieceWithRooms({{80, 80}, {50, 60}});
    AddScale(*piece, 120);
    Open(std::move(piece), 500, 260);
    const int width = window->ClientWidth(), height = window->ClientHeight();
    QScrollBar* horz = window->HorzScrollBar();
    QScrollBar* vert = window->VertScrollBar();
    // 40 rows above the staves and below them; steps of a tenth of the client.
    EXPECT_EQ(window->GetVertRange(), 40 + 160 + 110 + 40);
    EXPECT_EQ(vert->maximum(), window->GetVertRange() - height);
    EXPECT_EQ(horz->maximum(), window->GetXExtent() - window->GetXOrigin() - width);
    EXPECT_EQ(vert->singleStep() * 100 + horz->singleStep(), height / 10 * 100 + width / 10);
    EXPECT_TRUE(vert->isVisible() && horz->isVisible());
    // The score ends 80 columns before the right edge of the last screen.
    const int32_t end = window->GetXExtent() - width + 80;
    EXPECT_GT(end, 3 * width);

    // The score moves under the client by what the bar moved.
    const QImage before = window->Image().copy();
    horz->setValue(333);
    Paint();
    EXPECT_EQ(window->GetXOrigin(), -333);
    EXPECT_EQ(window->GetXExtent() - width + 80, end - 333);
    int differing = 0, moved = 0;
    for (int y = 40; y < 200; ++y)
        for (int x = 0; x + 333 < width; ++x) {
            differing += window->Image().pixel(x, y) != before.pixel(x + 333, y);
            moved += window->Image().pixel(x, y) != before.pixel(x, y);
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(moved, 100);
    vert->setValue(45);
    Paint();
    EXPECT_EQ(Doc().GetFirstStave()->GetMiddleY(), 40 + 80 - 45);
    // More bars reach further.
    const int32_t range = window->GetHorzRange();
    AddScale(Doc(), 160);
    window->Redraw();
    Paint();
    EXPECT_GT(window->GetHorzRange(), range);

    // Without staves the whole client is hatched and 40 rows are all there is.
    Open(PieceWithRooms({}));
    EXPECT_EQ(window->GetVertRange(), 40);
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(window->Image().pixel(x, 50) & 0xFFFFFF, x % 8 ? 0xFFFFFFu : 0x404040u) << x;
}

TEST_F(MusicWindowTest, AutoScrollBringsASymbolInsideTheMargins)
{
    auto piece = PieceWithRooms({{900, 900}, {900, 900}});
    AddScale(*piece, 400);
    Open(std::move(piece));
    // A client of 415 x 333: margins of 41.5 and 66.6, far edges at 373.5 and 266.4.
    window->resize(window->width() - window->ClientWidth() + 415,
                   window->height() - window->ClientHeight() + 333);
    Paint();
    ASSERT_EQ(window->ClientWidth() * 1000 + window->ClientHeight(), 415333);
    const int cases[][4] = {
        // vertical, from, to, moved
        {0, 124, 207, 0},
        {0, 20, 207, -21},
        {0, 124, 394, 20},
        {0, 20, 394, 20},
        {0, -207, 20, -248},
        {1, 100, 166, 0},
        {1, 100, 267, 0},
        {1, 30, 300, 33},
        // Whole pixels toward zero: less than one pixel out moves nothing.
        {1, 66, 166, 0},
        {1, 400, 466, 199},
    };
    for (const auto& c : cases) {
        QScrollBar* bar = c[0] ? window->VertScrollBar() : window->HorzScrollBar();
        bar->setValue(500);
        if (c[0])
            window->AutoScrollVert(c[1], c[2]);
        else
            window->AutoScrollHorz(c[1], c[2]);
        EXPECT_EQ(bar->value(), 500 + c[3]) << c[0] << " " << c[1] << ".." << c[2];
    }
}

TEST_F(MusicWindowTest, AClickTellsTheMainWindowAndTheWindowTakesAFreshPiece)
{
    Open(PieceWithRooms({{80, 80}}));
    Mouse(Press, Left, 20, 200);
    EXPECT_TRUE(host.activated.empty()) << "a click ends with the release";
    Mouse(Release, Qt::NoButton, 20, 200);
    EXPECT_EQ(host.activated, std::vector<TMDIChildMuz*>{window});

    // A revert hands the window a fresh piece: the old one goes, a drag under way ends.
    Mouse(Press, Left, 200);
    auto fresh = PieceWithRooms({{40, 50}});
    TUnitMuz* raw = fresh.get();
    window->SetUnitMuz(std::move(fresh));
    EXPECT_FALSE(window->IsDragging());
    EXPECT_EQ(&window->GetUnitMuz(), raw);
    EXPECT_EQ(raw->GetChildMuz(), window);
    EXPECT_EQ(raw->GetWindow(), static_cast<TMDIChildKelvorn*>(window));
    QCoreApplication::processEvents(); // it shows without being asked
    EXPECT_EQ(window->GetVertRange(), 40 + 90 + 40);

    // The piece the screenshots show stays one the reader takes.
    auto demo = std::make_unique<TUnitMuz>("Music 1", KELVORN_DEMO_PIECE);
    std::string message;
    ASSERT_TRUE(demo->OpenFile(message)) << message;
    Open(std::move(demo));
    EXPECT_EQ(Doc().CountStaves(), 2);
    EXPECT_GT(window->GetHorzRange(), window->ClientWidth());
}

} // namespace
