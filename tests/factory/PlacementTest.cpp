// Touch zones, hit tests, drag limits in the three placement modes, pushing, the free-place
// search and the growth of a new node. The push and the search are also checked against the
// steps they replace (a plain recursion) on random layouts.
#include "factory/core/Placement.h"

#include "factory/FactoryKit.h"

#include <gtest/gtest.h>

#include <random>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using R = TSountoryRectangle;

std::string Text(const R& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

// The push limit as a plain recursion into every neighbour, without memory.
int32_t PlainCanShift(const TRectanglePool& pool, const R& r, int32_t d, const R& area,
                      bool horizontal, long& calls)
{
    ++calls;
    const bool grow = horizontal ? pool.GrowHor : pool.GrowVert;
    if (d == 0 || (d > 0 && grow))
        return d;
    const int32_t R::*lo = horizontal ? &R::left : &R::top;
    const int32_t R::*hi = horizontal ? &R::right : &R::bottom;
    const int32_t gapAlong = horizontal ? pool.HorGap : pool.VertGap;
    const int32_t border = horizontal ? pool.HorBorder : pool.VertBorder;
    const uint8_t side =
        horizontal ? (d > 0 ? sntSideRight : sntSideLeft) : (d > 0 ? sntSideBelow : sntSideAbove);
    int32_t s = d;
    for (R* n = pool.FindNeighbour(r, side, nullptr); n; n = pool.FindNeighbour(r, side, n)) {
        if (d > 0) {
            const int32_t gap = n->*lo - r.*hi - gapAlong;
            int32_t need = d - gap;
            if (need > 0)
                need = PlainCanShift(pool, *n, need, area, horizontal, calls);
            s = std::max(0, std::min(s, need + gap));
        } else {
            const int32_t gap = r.*lo - n->*hi - gapAlong;
            int32_t need = gap + d;
            if (need < 0)
                need = PlainCanShift(pool, *n, need, area, horizontal, calls);
            s = std::min(0, std::max(s, need - gap));
        }
    }
    const int32_t extent = area.*hi - area.*lo;
    return d > 0 ? std::max(0, std::min(s, extent - r.*hi - border))
                 : std::min(0, std::max(s, border - r.*lo));
}

// The free-place search as a plain recursion; endless is set where it would never end.
bool PlainFindFreePlace(const TUnitSountory& f, R& rect, uint8_t first, uint8_t last, PixelPoint p,
                        int depth, bool& endless)
{
    if (depth > 4000)
        return !(endless = true);
    if (p.x < rect.left - 10 || p.x > rect.right + 10 || p.y < rect.top - 10 ||
        p.y > rect.bottom + 10)
        return false;
    if ((f.GetNodesCombination() == NodesOverlap || !OverlapsNode(f, rect)) &&
        FitsInFactory(f, rect))
        return true;
    const R saved = rect;
    for (uint8_t d : {0, 1, 2, 3}) {
        if (first == (d ^ 1) || last == (d ^ 1))
            continue;
        if (StepOutOfNodes(f, rect, d) &&
            PlainFindFreePlace(f, rect, first, d, p, depth + 1, endless))
            return true;
        rect = saved;
        if (endless)
            return false;
    }
    return false;
}

struct Placement : ::testing::Test, FactoryFixture
{
    TTestNode* At(R rect) { return NodeAt("N" + std::to_string(factory.Nodes().size()), rect); }
};

} // namespace

TEST(TouchRect, ZonesOfSixPixelsOrAThirdOfAShortSide)
{
    struct Case
    {
        R rect;
        PixelPoint p;
        bool hit;
        uint8_t part;
        double distance;
    };
    const R r{10, 20, 110, 70};
    for (const Case& c : {
             Case{r, {4, 45}, true, sntTouchLeft, 6},
             Case{r, {3, 45}, false, 0, 0},
             Case{r, {116, 45}, true, sntTouchRight, 6},
             Case{r, {117, 45}, false, 0, 0},
             Case{r, {60, 14}, true, sntTouchTop, 6},
             Case{r, {60, 13}, false, 0, 0},
             Case{r, {60, 76}, true, sntTouchBottom, 6},
             Case{r, {60, 77}, false, 0, 0},
             Case{r, {12, 22}, true, sntTouchTopLeft, 2},
             Case{r, {108, 22}, true, sntTouchTopRight, 2},
             Case{r, {108, 68}, true, sntTouchBottomRight, 2},
             Case{r, {12, 68}, true, sntTouchBottomLeft, 2},
             Case{r, {60, 45}, true, sntTouchInside, 25},
             Case{r, {15, 45}, true, sntTouchLeft, 5},
             Case{r, {16, 45}, true, sntTouchInside, 6},
             Case{r, {104, 45}, true, sntTouchInside, 6},
             Case{r, {105, 45}, true, sntTouchRight, 5},
             // 12 wide: zones of 4, the middle third inside.
             Case{{0, 0, 12, 40}, {3, 20}, true, sntTouchLeft, 3},
             Case{{0, 0, 12, 40}, {4, 20}, true, sntTouchInside, 4},
             Case{{0, 0, 12, 40}, {8, 20}, true, sntTouchInside, 4},
             Case{{0, 0, 12, 40}, {9, 20}, true, sntTouchRight, 3},
             Case{{0, 0, 100, 12}, {50, 3}, true, sntTouchTop, 3},
             Case{{0, 0, 100, 12}, {50, 9}, true, sntTouchBottom, 3},
         }) {
        double distance = -1;
        uint8_t part = 99;
        EXPECT_EQ(TouchRect(c.rect, c.p, distance, part), c.hit) << c.p.x << "," << c.p.y;
        if (c.hit) {
            EXPECT_EQ(part, c.part) << c.p.x << "," << c.p.y;
            EXPECT_EQ(distance, c.distance) << c.p.x << "," << c.p.y;
        }
    }
}

TEST_F(Placement, PointInObjectTestsPinsFirstThenFrontNodesThenTheArea)
{
    TTestNode* back = At({100, 50, 200, 150}); // window 125,65 .. 225,165
    TSountoryNodeInput* in = NodeIn(back, "In", ValueDomType::Factor);
    TTestNode* front = At({150, 100, 250, 200});            // window 175,115 .. 275,215
    TSountoryInput* input = In("FI", ValueDomType::Factor); // at 25,135
    struct Case
    {
        PixelPoint p;
        bool dragging;
        bool hit;
        uint8_t object;
        uint8_t part;
        TSountoryTouchable* touchable;
    };
    for (const Case& c : {
             // The pin and its node's inside are both at distance 0: the pin is tested first.
             Case{{131, 116}, false, true, sntSountoryObjectNodeInput, sntTouchInside, in},
             Case{{200, 140}, false, true, sntSountoryObjectNode, sntTouchInside, front},
             Case{{130, 140}, false, true, sntSountoryObjectNode, sntTouchLeft, back},
             Case{{30, 135}, false, true, sntSountoryObjectInput, sntTouchInside, input},
             Case{{25, 15}, false, true, sntSountoryObjectSountory, sntTouchTopLeft, nullptr},
             Case{{25, 15}, true, false, 0, sntTouchInside, nullptr},
             Case{{300, 230}, false, true, sntSountoryObjectSountory, sntTouchInside, nullptr},
             Case{{300, 230}, true, false, 0, sntTouchInside, nullptr},
             Case{{300, 15}, true, false, 0, sntTouchInside, nullptr},
             Case{{25, 255}, true, true, sntSountoryObjectSountory, sntTouchBottom, nullptr},
             Case{{460, 15}, true, true, sntSountoryObjectSountory, sntTouchRight, nullptr},
             Case{{460, 255}, true, true, sntSountoryObjectSountory, sntTouchBottomRight, nullptr},
             Case{{0, 0}, false, false, 0, sntTouchInside, nullptr},
         }) {
        TSntHit hit;
        EXPECT_EQ(PointInObject(factory, c.p, hit, c.dragging), c.hit) << c.p.x << "," << c.p.y;
        EXPECT_EQ(hit.object, c.object) << c.p.x << "," << c.p.y;
        EXPECT_EQ(hit.part, c.part) << c.p.x << "," << c.p.y;
        EXPECT_EQ(hit.touchable, c.touchable) << c.p.x << "," << c.p.y;
    }
    TSntHit hit;
    ASSERT_TRUE(PointInObject(factory, {131, 116}, hit, false));
    EXPECT_EQ(hit.node, back);
    EXPECT_EQ(hit.nodeInput, in);
}

TEST_F(Placement, DragRectangleKeepsTheLimitsOfEachMode)
{
    struct Case
    {
        const char* what;
        uint8_t mode;
        std::vector<R> others;
        uint8_t part;
        R wanted;
        R result;
    };
    const R moved{100, 100, 150, 130};
    for (const Case& c : {
             Case{"stops 10 before",
                  NodesFixed,
                  {{180, 100, 230, 130}},
                  sntTouchInside,
                  {140, 100, 190, 130},
                  {120, 100, 170, 130}},
             Case{"stops 3 below",
                  NodesFixed,
                  {{100, 20, 150, 60}},
                  sntTouchInside,
                  {100, 40, 150, 70},
                  {100, 63, 150, 93}},
             Case{"refused",
                  NodesFixed,
                  {{155, 100, 200, 130}},
                  sntTouchInside,
                  {100, 110, 150, 140},
                  moved},
             Case{"over another",
                  NodesOverlap,
                  {{100, 100, 150, 130}},
                  sntTouchInside,
                  {120, 110, 170, 140},
                  {120, 110, 170, 140}},
             Case{"top and left borders",
                  NodesOverlap,
                  {},
                  sntTouchInside,
                  {5, 2, 55, 32},
                  {15, 5, 65, 35}},
             Case{"right border",
                  NodesFixed,
                  {},
                  sntTouchInside,
                  {420, 100, 470, 130},
                  {370, 100, 420, 130}},
             Case{"bottom edge",
                  NodesFixed,
                  {},
                  sntTouchBottom,
                  {100, 100, 150, 300},
                  {100, 100, 150, 235}},
             Case{"least width",
                  NodesOverlap,
                  {},
                  sntTouchRight,
                  {100, 100, 120, 130},
                  {100, 100, 135, 130}},
             Case{"least height",
                  NodesOverlap,
                  {},
                  sntTouchTop,
                  {100, 125, 150, 130},
                  {100, 107, 150, 130}},
             Case{
                 "corner", NodesOverlap, {}, sntTouchTopLeft, {10, 1, 150, 130}, {15, 5, 150, 130}},
             Case{"shift beyond the area",
                  NodesShift,
                  {},
                  sntTouchRight,
                  {100, 100, 500, 130},
                  {100, 100, 500, 130}},
         }) {
        FactoryFixture f;
        f.factory.SetNodesCombination(c.mode);
        for (const R& o : c.others)
            f.NodeAt("O", o);
        TTestNode* node = f.NodeAt("M", moved);
        R rect = c.wanted;
        DragRectangle(*node, c.part, rect);
        EXPECT_EQ(Text(rect), Text(c.result)) << c.what;
    }
}

TEST_F(Placement, ShiftPushesARowAndGrowsTheAreaOrStopsAtTheBorder)
{
    TTestNode* a = At({100, 100, 150, 130});
    std::vector<TTestNode*> row{At({160, 100, 210, 130}), At({220, 100, 270, 130}),
                                At({280, 100, 330, 130})};
    R rect{250, 100, 300, 130};
    EXPECT_TRUE(DragRectangle(*a, sntTouchInside, rect));
    EXPECT_EQ(Text(rect), "250,100,300,130");
    int32_t expectLeft = 310;
    for (TTestNode* n : row) {
        EXPECT_EQ(n->GetRect().left, expectLeft);
        expectLeft += 60;
    }
    EXPECT_EQ(factory.GetWidth(), row.back()->GetRect().right + 15);

    // Left: the pushed node stops at the border of 15, the dragged one 10 after it.
    FactoryFixture f;
    TTestNode* b = f.NodeAt("B", {40, 100, 90, 130});
    TTestNode* m = f.NodeAt("M", {100, 100, 150, 130});
    rect = {0, 100, 50, 130};
    EXPECT_TRUE(DragRectangle(*m, sntTouchInside, rect));
    EXPECT_EQ(Text(rect), "75,100,125,130");
    EXPECT_EQ(b->GetRect().left, 15);

    // Down: a column is pushed and the area grows to keep 5 below it.
    FactoryFixture g;
    TTestNode* below = g.NodeAt("B", {100, 200, 150, 234});
    TTestNode* top = g.NodeAt("T", {100, 150, 150, 180});
    rect = {100, 170, 150, 200};
    DragRectangle(*top, sntTouchInside, rect);
    EXPECT_EQ(below->GetRect().top, 203);
    EXPECT_EQ(g.factory.GetHeight(), 242);
    EXPECT_FALSE(DragRectangle(*top, sntTouchInside, rect = top->GetRect()));
}

TEST(RectanglePool, CanShiftMatchesThePlainRecursionOnRandomLayouts)
{
    std::mt19937 random(7);
    auto draw = [&](int n) { return int32_t(random() % uint32_t(n)); };
    for (int trial = 0; trial < 4000; ++trial) {
        R area{0, 0, 150 + draw(150), 100 + draw(100)};
        std::vector<R> rects(1 + draw(8));
        for (R& r : rects) {
            r.left = draw(area.right);
            r.top = draw(area.bottom);
            r.right = r.left + 1 + draw(60);
            r.bottom = r.top + 1 + draw(40);
        }
        TRectanglePool pool(area, 10, 3, 15, 5);
        pool.GrowHor = trial % 5 == 0;
        for (R& r : rects)
            pool.Add(r);
        const int32_t d = draw(301) - 150;
        long calls = 0;
        EXPECT_EQ(pool.CanShiftHor(rects[0], d),
                  PlainCanShift(pool, rects[0], d, area, true, calls))
            << trial;
        EXPECT_EQ(pool.CanShiftVert(rects[0], d),
                  PlainCanShift(pool, rects[0], d, area, false, calls))
            << trial;
    }
}

TEST(RectanglePool, NeighboursInListOrderWithinTheGapBand)
{
    R area{0, 0, 1000, 1000};
    R r{100, 100, 150, 130};
    std::vector<R> rects{{160, 128, 200, 150}, {20, 132, 90, 160},  {160, 133, 200, 150},
                         {40, 90, 80, 102},    {110, 20, 150, 90},  {155, 135, 170, 160},
                         {60, 140, 70, 150},   {120, 131, 140, 160}};
    TRectanglePool pool(area, 10, 3, 15, 5);
    pool.Add(r);
    for (R& x : rects)
        pool.Add(x);
    EXPECT_EQ(pool.FindNeighbour(r, sntSideRight, nullptr), &rects[0]);
    EXPECT_EQ(pool.FindNeighbour(r, sntSideRight, &rects[0]), nullptr);
    EXPECT_EQ(pool.FindNeighbour(r, sntSideLeft, nullptr), &rects[1]);
    EXPECT_EQ(pool.FindNeighbour(r, sntSideLeft, &rects[1]), &rects[3]);
    EXPECT_EQ(pool.FindNeighbour(r, sntSideAbove, nullptr), &rects[4]);
    EXPECT_EQ(pool.FindNeighbour(r, sntSideBelow, nullptr), &rects[5]);
    EXPECT_EQ(pool.FindNeighbour(r, sntSideBelow, &rects[5]), &rects[7]);
}

TEST(RectanglePool, RectanglesWithoutWidthAreNeverPushedRoundInACircle)
{
    R area{0, 0, 400, 100};
    R a{50, 10, 50, 40};
    R b{50, 10, 50, 40};
    R c{30, 10, 40, 40};
    TRectanglePool pool(area, 10, 3, 15, 5);
    for (R* r : {&a, &b, &c})
        pool.Add(*r);
    // Each is the other's neighbour; one without width stands still.
    EXPECT_EQ(pool.CanShiftHor(a, 30), 0);
    EXPECT_EQ(pool.CanShiftHor(a, -30), 0);
    EXPECT_EQ(pool.CanShiftHor(c, 30), 0);
    EXPECT_EQ(pool.CanShiftHor(c, -30), -15);
    EXPECT_TRUE(pool.ShiftHor(a, 30, true));
    EXPECT_EQ(Text(a), "80,10,80,40");
    EXPECT_EQ(Text(b), "50,10,50,40");
}

TEST_F(Placement, FitFactoryRectKeepsTheMarginsAndEnclosesTheNodes)
{
    struct Case
    {
        bool node;
        uint8_t part;
        R wanted;
        R result;
    };
    for (const Case& c : {
             Case{true, sntTouchRight, {25, 15, 100, 255}, {25, 15, 420, 255}},
             Case{true, sntTouchBottom, {25, 15, 460, 100}, {25, 15, 460, 240}},
             Case{true, sntTouchBottomRight, {25, 15, 30, 20}, {25, 15, 420, 240}},
             Case{true, sntTouchLeft, {400, 15, 460, 255}, {65, 15, 460, 255}},
             Case{false, sntTouchRight, {25, 15, 50, 255}, {25, 15, 95, 255}},
             Case{false, sntTouchBottom, {25, 15, 460, 20}, {25, 15, 460, 55}},
             Case{false, sntTouchTop, {25, 1, 460, 255}, {25, 3, 460, 255}},
             Case{false, sntTouchLeft, {10, 15, 460, 255}, {23, 15, 460, 255}},
             Case{false, sntTouchInside, {10, 1, 445, 241}, {23, 3, 458, 243}},
         }) {
        FactoryFixture f;
        if (c.node)
            f.NodeAt("N", {300, 180, 380, 220});
        R rect = c.wanted;
        FitFactoryRect(f.factory, c.part, rect);
        EXPECT_EQ(Text(rect), Text(c.result)) << Text(c.wanted);
    }
}

TEST_F(Placement, FindFreePlaceNearTheClickOrNowhere)
{
    struct Case
    {
        uint8_t mode;
        std::vector<R> nodes;
        PixelPoint click;
        bool found;
        R place;
    };
    for (const Case& c : {
             Case{NodesShift, {}, {100, 100}, true, {83, 89, 118, 112}},
             Case{NodesShift, {}, {427, 100}, true, {385, 89, 420, 112}},
             Case{NodesShift, {}, {432, 100}, false, {415, 89, 450, 112}},
             Case{NodesShift, {{100, 80, 200, 130}}, {95, 100}, true, {55, 89, 90, 112}},
             Case{NodesFixed, {{100, 80, 200, 130}}, {150, 140}, true, {133, 133, 168, 156}},
             Case{NodesOverlap, {{100, 80, 200, 130}}, {95, 100}, true, {78, 89, 113, 112}},
             Case{NodesShift, {{100, 50, 300, 200}}, {200, 120}, false, {183, 109, 218, 132}},
         }) {
        FactoryFixture f;
        f.factory.SetNodesCombination(c.mode);
        for (const R& n : c.nodes)
            f.NodeAt("N", n);
        R rect;
        EXPECT_EQ(FindNewNodePlace(f.factory, c.click, rect), c.found) << c.click.x;
        EXPECT_EQ(Text(rect), Text(c.place)) << c.click.x;
    }
}

TEST(FindFreePlace, ALayoutThatSentTheSearchRoundInACircleFindsNothing)
{
    FactoryFixture f;
    f.factory.FactoryRect = {25, 15, 25 + 192, 15 + 99};
    for (R r : {R{41, 7, 79, 32}, R{110, 52, 150, 88}, R{32, 42, 71, 70}, R{114, 22, 169, 46}})
        f.NodeAt("N", r);
    R plain = NewNodeRect({109, 46});
    bool endless = false;
    PlainFindFreePlace(f.factory, plain, sntDirNone, sntDirNone, {109, 46}, 0, endless);
    ASSERT_TRUE(endless);
    R rect;
    EXPECT_FALSE(FindNewNodePlace(f.factory, {109, 46}, rect));
    EXPECT_EQ(Text(rect), Text(NewNodeRect({109, 46})));
}

TEST(FindFreePlace, EndsAsThePlainSearchWhereverThatEnds)
{
    std::mt19937 random(11);
    auto draw = [&](int n) { return int32_t(random() % uint32_t(n)); };
    int ended = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        FactoryFixture f;
        f.factory.SetNodesCombination(trial % 7 == 0 ? NodesFixed : NodesShift);
        f.factory.SetWidth(120 + draw(150));
        f.factory.SetHeight(80 + draw(100));
        for (int i = 0, n = 3 + draw(9); i < n; ++i) {
            const int32_t x = draw(f.factory.GetWidth());
            const int32_t y = draw(f.factory.GetHeight());
            f.NodeAt("N", {x, y, x + 35 + draw(40), y + 23 + draw(30)});
        }
        const PixelPoint click{draw(f.factory.GetWidth()), draw(f.factory.GetHeight())};
        R plain = NewNodeRect(click);
        bool endless = false;
        const bool plainFound =
            PlainFindFreePlace(f.factory, plain, sntDirNone, sntDirNone, click, 0, endless);
        R rect;
        const bool found = FindNewNodePlace(f.factory, click, rect);
        if (endless)
            continue;
        ++ended;
        EXPECT_EQ(found, plainFound) << trial;
        EXPECT_EQ(Text(rect), Text(found ? plain : NewNodeRect(click))) << trial;
    }
    EXPECT_GT(ended, 2900);
}

TEST_F(Placement, GrowAroundTheCentreWithinBordersAndNeighbours)
{
    struct Case
    {
        uint8_t mode;
        std::vector<R> nodes;
        bool width;
        int32_t size;
        R rect;
        R result;
    };
    for (const Case& c : {
             Case{NodesShift, {}, true, 100, {100, 100, 135, 123}, {68, 100, 168, 123}},
             Case{NodesShift, {}, true, 100, {20, 100, 55, 123}, {15, 100, 115, 123}},
             Case{NodesShift,
                  {{150, 90, 200, 130}},
                  true,
                  100,
                  {100, 100, 135, 123},
                  {40, 100, 140, 123}},
             Case{NodesShift,
                  {{150, 130, 200, 160}},
                  true,
                  100,
                  {100, 100, 135, 123},
                  {68, 100, 168, 123}},
             Case{NodesOverlap,
                  {{150, 90, 200, 130}},
                  true,
                  100,
                  {100, 100, 135, 123},
                  {68, 100, 168, 123}},
             Case{NodesShift, {}, true, 50, {100, 100, 200, 123}, {125, 100, 175, 123}},
             Case{NodesShift,
                  {{90, 40, 140, 80}},
                  false,
                  60,
                  {100, 100, 135, 123},
                  {100, 83, 135, 143}},
         }) {
        FactoryFixture f;
        f.factory.SetNodesCombination(c.mode);
        for (const R& n : c.nodes)
            f.NodeAt("N", n);
        R rect = c.rect;
        (c.width ? GrowWidth : GrowHeight)(f.factory, c.size, rect);
        EXPECT_EQ(Text(rect), Text(c.result)) << Text(c.rect) << " to " << c.size;
    }
}

TEST_F(Placement, GrowToSizeInStepsOfTen)
{
    struct Case
    {
        std::vector<R> nodes;
        int32_t width;
        int32_t height;
        R result;
    };
    for (const Case& c : {
             Case{{}, 120, 105, {41, 49, 161, 154}},
             Case{{}, 170, std::max(68, 25 * 4), {16, 51, 186, 151}},
             Case{{}, 170, std::max(68, 25 * 2), {16, 67, 186, 135}},
             Case{{{180, 40, 230, 160}}, 170, 100, {15, 51, 170, 151}},
         }) {
        FactoryFixture f;
        for (const R& n : c.nodes)
            f.NodeAt("N", n);
        R rect = NewNodeRect({100, 100});
        GrowToSize(f.factory, c.width, c.height, rect);
        EXPECT_EQ(Text(rect), Text(c.result)) << c.width << "x" << c.height;
    }
}

TEST_F(Placement, BringingTheFrontNodeToTheFrontChangesNothing)
{
    TTestNode* back = At({100, 100, 150, 130});
    TTestNode* front = At({200, 100, 250, 130});
    factory.BringNodeToFront(front);
    EXPECT_FALSE(factory.IsModified());
    factory.BringNodeToFront(back);
    EXPECT_TRUE(factory.IsModified());
    EXPECT_EQ(factory.Nodes().front().get(), back);
    EXPECT_FALSE(AnyNodesOverlap(factory));
    At({255, 120, 300, 140});
    EXPECT_TRUE(AnyNodesOverlap(factory));
}
