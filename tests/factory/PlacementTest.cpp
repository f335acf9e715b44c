// Touch zones, hit tests, drag limits in the three placement modes, pushing, the free-place
// search and the growth of a new node. The push and the search are also checked against the
// steps they replace (a plain recursion) on random layouts.
#include "factory/core/Placement.h"

#include "factory/FactoryKit.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using R = TSountoryRectangle;

std::string Text(const R& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

/// "left,top,right,bottom" and lists of them joined by ";".
std::vector<R> Rects(const std::string& text)
{
    std::vector<R> rects;
    std::istringstream in(text);
    R r;
    char comma;
    while (in >> r.left >> comma >> r.top >> comma >> r.right >> comma >> r.bottom) {
        rects.push_back(r);
        in >> comma;
    }
    return rects;
}

R Rect(const std::string& text)
{
    return Rects(text).at(0);
}

std::string Texts(const std::vector<R>& rects)
{
    std::string text;
    for (const R& r : rects)
        text += (text.empty() ? "" : ";") + Text(r);
    return text;
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

/// A factory in a placement mode with nodes at the rectangles given, made in that order.
struct Layout : FactoryFixture
{
    Layout(uint8_t mode, const std::string& rects)
    {
        factory.SetNodesCombination(mode);
        for (const R& r : Rects(rects))
            NodeAt("N", r);
    }
    /// The node rectangles in the order they were made.
    std::string Nodes() const
    {
        std::vector<R> rects;
        for (auto it = factory.Nodes().rbegin(); it != factory.Nodes().rend(); ++it)
            rects.push_back((*it)->GetRect());
        return Texts(rects);
    }
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
    for (const Case& c :
         {Case{r, {4, 45}, true, sntTouchLeft, 6}, Case{r, {3, 45}, false, 0, 0},
          Case{r, {116, 45}, true, sntTouchRight, 6}, Case{r, {117, 45}, false, 0, 0},
          Case{r, {60, 14}, true, sntTouchTop, 6}, Case{r, {60, 13}, false, 0, 0},
          Case{r, {60, 76}, true, sntTouchBottom, 6}, Case{r, {60, 77}, false, 0, 0},
          Case{r, {60, 64}, true, sntTouchInside, 6}, Case{r, {60, 65}, true, sntTouchBottom, 5},
          Case{r, {12, 22}, true, sntTouchTopLeft, 2},
          Case{r, {108, 22}, true, sntTouchTopRight, 2},
          Case{r, {108, 68}, true, sntTouchBottomRight, 2},
          Case{r, {12, 68}, true, sntTouchBottomLeft, 2},
          Case{r, {60, 45}, true, sntTouchInside, 25}, Case{r, {15, 45}, true, sntTouchLeft, 5},
          Case{r, {16, 45}, true, sntTouchInside, 6}, Case{r, {104, 45}, true, sntTouchInside, 6},
          Case{r, {105, 45}, true, sntTouchRight, 5},
          // 12 wide: zones of 4, the middle third inside.
          Case{{0, 0, 12, 40}, {3, 20}, true, sntTouchLeft, 3},
          Case{{0, 0, 12, 40}, {4, 20}, true, sntTouchInside, 4},
          Case{{0, 0, 12, 40}, {8, 20}, true, sntTouchInside, 4},
          Case{{0, 0, 12, 40}, {9, 20}, true, sntTouchRight, 3},
          Case{{0, 0, 100, 12}, {50, 3}, true, sntTouchTop, 3},
          Case{{0, 0, 100, 12}, {50, 9}, true, sntTouchBottom, 3}}) {
        double distance = -1;
        uint8_t part = 99;
        EXPECT_EQ(TouchRect(c.rect, c.p, distance, part), c.hit) << c.p.x << "," << c.p.y;
        if (c.hit) {
            EXPECT_EQ(part, c.part) << c.p.x << "," << c.p.y;
            EXPECT_EQ(distance, c.distance) << c.p.x << "," << c.p.y;
        }
    }
}

TEST(Placement, PointInObjectTestsPinsFirstThenFrontNodesThenTheArea)
{
    // Windows 125,65 .. 225,165 behind and 175,115 .. 275,215 in front.
    Layout l(NodesShift, "100,50,200,150;150,100,250,200");
    TSountoryTouchable* back = l.factory.Nodes()[1].get();
    TSountoryTouchable* front = l.factory.Nodes()[0].get();
    TSountoryNodeInput* in = NodeIn(l.factory.Nodes()[1].get(), "In", ValueDomType::Factor);
    l.factory.Nodes()[1]->AddOutput("Out", At(0.9), false, ValueDomType::Factor,
                                    ValueDomain::AllValues);  // at 225,150
    TSountoryInput* input = l.In("FI", ValueDomType::Factor); // at 25,135
    struct Case
    {
        PixelPoint p;
        bool dragging;
        bool hit;
        uint8_t object;
        uint8_t part;
        TSountoryTouchable* touchable;
    };
    for (const Case& c :
         {// The pin and its node's inside are both at distance 0: the pin is tested first.
          Case{{131, 116}, false, true, sntSountoryObjectNodeInput, sntTouchInside, in},
          Case{{200, 140}, false, true, sntSountoryObjectNode, sntTouchInside, front},
          // The inside of the node behind beats the edge of the front one 3 pixels away.
          Case{{172, 130}, false, true, sntSountoryObjectNode, sntTouchInside, back},
          // The front node's inside and a pin of the node behind tie at 0: the front node wins.
          Case{{225, 150}, false, true, sntSountoryObjectNode, sntTouchInside, front},
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
          Case{{0, 0}, false, false, 0, sntTouchInside, nullptr}}) {
        TSntHit hit;
        EXPECT_EQ(PointInObject(l.factory, c.p, hit, c.dragging), c.hit) << c.p.x << "," << c.p.y;
        EXPECT_EQ(hit.object, c.object) << c.p.x << "," << c.p.y;
        EXPECT_EQ(hit.part, c.part) << c.p.x << "," << c.p.y;
        EXPECT_EQ(hit.touchable, c.touchable) << c.p.x << "," << c.p.y;
    }
    TSntHit hit;
    ASSERT_TRUE(PointInObject(l.factory, {131, 116}, hit, false));
    EXPECT_EQ(hit.node, l.factory.Nodes()[1].get());
    EXPECT_EQ(hit.nodeInput, in);
}

TEST(Placement, DragRectangleKeepsTheLimitsOfEachModeAndPushesInTheShiftMode)
{
    struct Case
    {
        const char* what;
        uint8_t mode;
        const char* others;
        uint8_t part;
        const char* wanted;
        const char* result;
        const char* othersAfter; // null: unchanged
        int32_t areaWidth, areaHeight;
    };
    const char* const moved = "100,100,150,130";
    for (const Case& c :
         {Case{"stops 10 before", NodesFixed, "180,100,230,130", sntTouchInside, "140,100,190,130",
               "120,100,170,130", nullptr, 435, 240},
          Case{"stops 3 below", NodesFixed, "100,20,150,60", sntTouchInside, "100,40,150,70",
               "100,63,150,93", nullptr, 435, 240},
          Case{"stops 3 above", NodesFixed, "100,160,150,190", sntTouchInside, "100,140,150,170",
               "100,127,150,157", nullptr, 435, 240},
          Case{"passes a node of another band", NodesFixed, "180,140,230,170", sntTouchInside,
               "140,100,190,130", "140,100,190,130", nullptr, 435, 240},
          Case{"stops 10 after", NodesFixed, "20,100,70,130", sntTouchInside, "60,100,110,130",
               "80,100,130,130", nullptr, 435, 240},
          Case{"slides along the node above", NodesFixed, "100,60,150,97", sntTouchInside,
               "110,90,160,120", "110,100,160,130", nullptr, 435, 240},
          Case{"too close already", NodesFixed, "100,60,150,99", sntTouchInside, "100,90,150,120",
               moved, nullptr, 435, 240},
          Case{"bottom border", NodesFixed, "", sntTouchInside, "100,220,150,250",
               "100,205,150,235", nullptr, 435, 240},
          Case{"shift by one", NodesShift, "160,100,210,130", sntTouchInside, "101,100,151,130",
               "101,100,151,130", "161,100,211,130", 435, 240},
          Case{"refused", NodesFixed, "155,100,200,130", sntTouchInside, "100,110,150,140", moved,
               nullptr, 435, 240},
          Case{"over another", NodesOverlap, "100,100,150,130", sntTouchInside, "120,110,170,140",
               "120,110,170,140", nullptr, 435, 240},
          Case{"top and left borders", NodesOverlap, "", sntTouchInside, "5,2,55,32", "15,5,65,35",
               nullptr, 435, 240},
          Case{"top border", NodesFixed, "", sntTouchInside, "100,2,150,32", "100,5,150,35",
               nullptr, 435, 240},
          Case{"right border", NodesFixed, "", sntTouchInside, "420,100,470,130", "370,100,420,130",
               nullptr, 435, 240},
          Case{"bottom edge", NodesFixed, "", sntTouchBottom, "100,100,150,300", "100,100,150,235",
               nullptr, 435, 240},
          Case{"least width", NodesOverlap, "", sntTouchRight, "100,100,120,130", "100,100,135,130",
               nullptr, 435, 240},
          Case{"least height", NodesOverlap, "", sntTouchTop, "100,125,150,130", "100,107,150,130",
               nullptr, 435, 240},
          Case{"corner", NodesOverlap, "", sntTouchTopLeft, "10,1,150,130", "15,5,150,130", nullptr,
               435, 240},
          Case{"shift beyond the area", NodesShift, "", sntTouchRight, "100,100,500,130",
               "100,100,500,130", nullptr, 515, 240},
          Case{"shift a row right, each 10 apart", NodesShift,
               "160,100,210,130;220,100,270,130;280,100,330,130", sntTouchInside, "250,100,300,130",
               "250,100,300,130", "310,100,360,130;370,100,420,130;430,100,480,130", 495, 240},
          Case{"shift left to the border of 15", NodesShift, "40,100,90,130", sntTouchInside,
               "0,100,50,130", "75,100,125,130", "15,100,65,130", 435, 240},
          Case{"shift down, the area keeping 5", NodesShift, "100,150,150,234", sntTouchInside,
               "100,120,150,150", "100,120,150,150", "100,153,150,237", 435, 242},
          Case{"shift up to the border of 5", NodesShift, "100,60,150,90", sntTouchInside,
               "100,20,150,50", "100,38,150,68", "100,5,150,35", 435, 240},
          Case{"shift nowhere", NodesShift, "160,100,210,130", sntTouchInside, moved, moved,
               nullptr, 435, 240},
          // The area grows only as far as a file holds it, pushed nodes included.
          Case{"shift right to the area limit", NodesShift, "", sntTouchRight,
               "100,100,2147483647,130", "100,100,499999985,130", nullptr, 500000000, 240},
          Case{"shift a row to the area limit", NodesShift, "160,100,210,130", sntTouchInside,
               "2000000000,100,2000000050,130", "499999875,100,499999925,130",
               "499999935,100,499999985,130", 500000000, 240},
          Case{"top typed at the largest number", NodesOverlap, "", sntTouchTop,
               "100,2147483647,150,130", "100,107,150,130", nullptr, 435, 240},
          Case{"left typed at the largest number", NodesOverlap, "", sntTouchLeft,
               "2147483647,100,150,130", "115,100,150,130", nullptr, 435, 240}}) {
        Layout l(c.mode, c.others);
        TTestNode* node = l.NodeAt("M", Rect(moved));
        R rect = Rect(c.wanted);
        const bool pushed = DragRectangle(*node, c.part, rect);
        EXPECT_EQ(Text(rect), c.result) << c.what;
        std::vector<R> others = Rects(l.Nodes());
        others.pop_back();
        EXPECT_EQ(Texts(others), c.othersAfter ? c.othersAfter : c.others) << c.what;
        EXPECT_EQ(pushed, c.othersAfter != nullptr || c.areaWidth != 435) << c.what;
        EXPECT_EQ(l.factory.GetWidth(), c.areaWidth) << c.what;
        EXPECT_EQ(l.factory.GetHeight(), c.areaHeight) << c.what;
        EXPECT_EQ(Text(node->GetRect()), moved) << c.what; // the caller stores the result
    }
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
        // Every third time the rectangle asked for is none of the pool's.
        for (size_t i = trial % 3 == 0 ? 1 : 0; i < rects.size(); ++i)
            pool.Add(rects[i]);
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

TEST(RectanglePool, RectanglesWithoutWidthAreNeverPushedRoundInACircle)
{
    R area{0, 0, 400, 100};
    std::vector<R> rects = Rects("50,10,50,40;50,10,50,40;30,10,40,40");
    TRectanglePool pool(area, 10, 3, 15, 5);
    for (R& r : rects)
        pool.Add(r);
    // The two without width are each other's neighbour; they stand still.
    EXPECT_EQ(pool.CanShiftHor(rects[0], 30), 0);
    EXPECT_EQ(pool.CanShiftHor(rects[0], -30), 0);
    EXPECT_EQ(pool.CanShiftHor(rects[2], 30), 0);
    EXPECT_EQ(pool.CanShiftHor(rects[2], -30), -15);
    EXPECT_FALSE(pool.ShiftHor(rects[2], 0, true));
    EXPECT_TRUE(pool.ShiftHor(rects[0], 30, true));
    EXPECT_EQ(Texts(rects), "80,10,80,40;50,10,50,40;30,10,40,40");
}

/// One operation on a rectangle in a factory; the result is its answer (true for the void ones).
using Operation = std::function<bool(TUnitSountory&, R&)>;
Operation Fit(uint8_t part)
{
    return [=](TUnitSountory& f, R& r) { return FitFactoryRect(f, part, r), true; };
}
Operation Step(uint8_t direction)
{
    return [=](TUnitSountory& f, R& r) { return StepOutOfNodes(f, r, direction); };
}
Operation Place(PixelPoint click)
{
    return [=](TUnitSountory& f, R& r) { return FindNewNodePlace(f, click, r); };
}
Operation Grow(bool width, int32_t size)
{
    return
        [=](TUnitSountory& f, R& r) { return (width ? GrowWidth : GrowHeight)(f, size, r), true; };
}
Operation GrowTo(int32_t width, int32_t height)
{
    return [=](TUnitSountory& f, R& r) { return GrowToSize(f, width, height, r), true; };
}

TEST(Placement, AreaLimitsFreePlacesAndGrowth)
{
    struct Case
    {
        const char* what;
        uint8_t mode;
        const char* nodes;
        const char* rect;
        Operation operation;
        bool answer;
        const char* result;
    };
    const char* const node = "300,180,380,220";
    const char* const two = "100,60,200,95;120,105,220,140";
    const char* const start = "83,89,118,112"; // a new node clicked at 100,100
    for (const Case& c :
         {// The area encloses its nodes with the borders, and at least 70 by 40.
          Case{"area right", NodesShift, node, "25,15,100,255", Fit(sntTouchRight), true,
               "25,15,420,255"},
          Case{"area bottom", NodesShift, node, "25,15,460,100", Fit(sntTouchBottom), true,
               "25,15,460,240"},
          Case{"area corner", NodesShift, node, "25,15,30,20", Fit(sntTouchBottomRight), true,
               "25,15,420,240"},
          Case{"area left", NodesShift, node, "400,15,460,255", Fit(sntTouchLeft), true,
               "65,15,460,255"},
          Case{"least area width", NodesShift, "", "25,15,50,255", Fit(sntTouchRight), true,
               "25,15,95,255"},
          Case{"least area height", NodesShift, "", "25,15,460,20", Fit(sntTouchBottom), true,
               "25,15,460,55"},
          Case{"least area height from the top", NodesShift, "", "25,240,460,255", Fit(sntTouchTop),
               true, "25,215,460,255"},
          Case{"area top margin", NodesShift, "", "25,1,460,255", Fit(sntTouchTop), true,
               "25,3,460,255"},
          Case{"area left margin", NodesShift, "", "10,15,460,255", Fit(sntTouchLeft), true,
               "23,15,460,255"},
          // No wider or higher than a file holds, whatever the edit or the drag asks.
          Case{"area width at the limit", NodesShift, "", "25,15,2147483647,255",
               Fit(sntTouchRight), true, "25,15,500000025,255"},
          Case{"area height at the limit", NodesShift, "", "25,15,460,2147483647",
               Fit(sntTouchBottomRight), true, "25,15,460,500000015"},
          Case{"area moved", NodesShift, "", "10,1,445,241", Fit(sntTouchInside), true,
               "23,3,458,243"},
          // Out of the nodes to the farthest edge of those overlapped, or inside a border.
          Case{"step left", NodesShift, two, "90,90,125,113", Step(sntDirLeft), true,
               "55,90,90,113"},
          Case{"step right", NodesShift, two, "90,90,125,113", Step(sntDirRight), true,
               "230,90,265,113"},
          Case{"step up", NodesShift, two, "90,90,125,113", Step(sntDirUp), true, "90,34,125,57"},
          Case{"step down", NodesShift, two, "90,90,125,113", Step(sntDirDown), true,
               "90,143,125,166"},
          Case{"right border", NodesShift, "", "410,90,445,113", Step(sntDirLeft), true,
               "385,90,420,113"},
          Case{"left border", NodesShift, "", "5,90,40,113", Step(sntDirRight), true,
               "15,90,50,113"},
          Case{"bottom border", NodesShift, "", "100,220,135,243", Step(sntDirUp), true,
               "100,212,135,235"},
          Case{"top border", NodesShift, "", "100,2,135,25", Step(sntDirDown), true,
               "100,5,135,28"},
          Case{"on the top border", NodesShift, "", "100,5,135,28", Step(sntDirDown), false,
               "100,5,135,28"},
          Case{"on the left border", NodesShift, "", "15,90,50,113", Step(sntDirRight), false,
               "15,90,50,113"},
          // A new node's place within 10 pixels of the click, or none.
          Case{"free spot", NodesShift, "", "", Place({100, 100}), true, start},
          Case{"8 inside the right side", NodesShift, "", "", Place({427, 100}), true,
               "385,89,420,112"},
          Case{"3 inside the right side", NodesShift, "", "", Place({432, 100}), false,
               "415,89,450,112"},
          Case{"on the top border", NodesShift, "", "", Place({100, 16}), true, "83,5,118,28"},
          Case{"past the bottom border", NodesShift, "", "", Place({100, 228}), true,
               "83,212,118,235"},
          Case{"beside a node", NodesShift, "100,80,200,130", "", Place({95, 100}), true,
               "55,89,90,112"},
          Case{"below a node", NodesFixed, "100,80,200,130", "", Place({150, 140}), true,
               "133,133,168,156"},
          Case{"over a node", NodesOverlap, "100,80,200,130", "", Place({95, 100}), true,
               "78,89,113,112"},
          Case{"inside a big node", NodesShift, "100,50,300,200", "", Place({200, 120}), false,
               "183,109,218,132"},
          // Growth around the centre up to the borders and 10 (3) before the nodes beside.
          Case{"wider", NodesShift, "", "100,100,135,123", Grow(true, 100), true, "68,100,168,123"},
          Case{"wider at the border", NodesShift, "", "20,100,55,123", Grow(true, 100), true,
               "15,100,115,123"},
          Case{"wider to a node", NodesShift, "150,90,200,130", "100,100,135,123", Grow(true, 100),
               true, "40,100,140,123"},
          Case{"a node of another band", NodesShift, "150,130,200,160", "100,100,135,123",
               Grow(true, 100), true, "68,100,168,123"},
          Case{"a node too close already", NodesShift, "140,90,190,130", "100,100,135,123",
               Grow(true, 100), true, "68,100,168,123"},
          Case{"over nodes", NodesOverlap, "150,90,200,130", "100,100,135,123", Grow(true, 100),
               true, "68,100,168,123"},
          Case{"narrower", NodesShift, "", "100,100,200,123", Grow(true, 50), true,
               "125,100,175,123"},
          Case{"higher to a node", NodesShift, "90,40,140,80", "100,100,135,123", Grow(false, 60),
               true, "100,83,135,143"},
          Case{"for the dialog", NodesShift, "", start, GrowTo(120, 105), true, "41,49,161,154"},
          Case{"4 pins", NodesShift, "", start, GrowTo(170, std::max(68, 25 * 4)), true,
               "16,51,186,151"},
          Case{"2 pins", NodesShift, "", start, GrowTo(170, std::max(68, 25 * 2)), true,
               "16,67,186,135"},
          Case{"beside a node", NodesShift, "180,40,230,160", start, GrowTo(170, 100), true,
               "15,51,170,151"}}) {
        Layout l(c.mode, c.nodes);
        R rect = *c.rect ? Rect(c.rect) : R{};
        EXPECT_EQ(c.operation(l.factory, rect), c.answer) << c.what;
        EXPECT_EQ(Text(rect), c.result) << c.what;
    }
}

TEST(FindFreePlace, ALayoutThatSentTheSearchRoundInACircleFindsNothing)
{
    Layout l(NodesShift, "41,7,79,32;110,52,150,88;32,42,71,70;114,22,169,46");
    l.factory.FactoryRect = {25, 15, 25 + 192, 15 + 99};
    R plain = NewNodeRect({109, 46});
    bool endless = false;
    PlainFindFreePlace(l.factory, plain, sntDirNone, sntDirNone, {109, 46}, 0, endless);
    ASSERT_TRUE(endless);
    R rect;
    EXPECT_FALSE(FindNewNodePlace(l.factory, {109, 46}, rect));
    EXPECT_EQ(Text(rect), Text(NewNodeRect({109, 46})));
}

TEST(FindFreePlace, EndsAsThePlainSearchWhereverThatEnds)
{
    std::mt19937 random(11);
    auto draw = [&](int n) { return int32_t(random() % uint32_t(n)); };
    int ended = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        Layout l(trial % 7 == 0 ? NodesFixed : NodesShift, "");
        l.factory.SetWidth(120 + draw(150));
        l.factory.SetHeight(80 + draw(100));
        for (int i = 0, n = 3 + draw(9); i < n; ++i) {
            const int32_t x = draw(l.factory.GetWidth());
            const int32_t y = draw(l.factory.GetHeight());
            l.NodeAt("N", {x, y, x + 35 + draw(40), y + 23 + draw(30)});
        }
        const PixelPoint click{draw(l.factory.GetWidth()), draw(l.factory.GetHeight())};
        R plain = NewNodeRect(click);
        bool endless = false;
        const bool plainFound =
            PlainFindFreePlace(l.factory, plain, sntDirNone, sntDirNone, click, 0, endless);
        R rect;
        const bool found = FindNewNodePlace(l.factory, click, rect);
        if (endless)
            continue;
        ++ended;
        EXPECT_EQ(found, plainFound) << trial;
        EXPECT_EQ(Text(rect), Text(found ? plain : NewNodeRect(click))) << trial;
    }
    EXPECT_GT(ended, 2900);
}

TEST(Placement, BringingTheFrontNodeToTheFrontChangesNothing)
{
    Layout l(NodesShift, "100,100,150,130;200,100,250,130");
    TSountoryNode* back = l.factory.Nodes()[1].get();
    l.factory.BringNodeToFront(l.factory.Nodes()[0].get());
    EXPECT_FALSE(l.factory.IsModified());
    l.factory.BringNodeToFront(back);
    EXPECT_TRUE(l.factory.IsModified());
    EXPECT_EQ(l.factory.Nodes().front().get(), back);
    EXPECT_FALSE(AnyNodesOverlap(l.factory));
    l.NodeAt("N", Rect("255,120,300,140"));
    EXPECT_TRUE(AnyNodesOverlap(l.factory));
}
