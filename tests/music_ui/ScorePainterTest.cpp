// The whole score in a backing image: stacked bands and lines, hatches, the end bar and an
// inverted selection; a stave's lines, bar line and end bar as pixels; what the finders answer
// for points of the painted score; and whole scores of fixture pieces against stored images.
// Text boxes there are masked with fixed boxes where the recorded paint put text (fonts differ
// between machines, the score's positions do not); scripts/remake-score-goldens.sh remakes the
// images after a deliberate change.

#include "ScoreKit.h"
#include "music/ui/StaveDrawing.h"
#include "window_base/QtCanvas.h"

#include <QImage>

#include <cstdlib>
#include <gtest/gtest.h>

namespace kelvorn {
namespace {

constexpr uint32_t white = 0xFFFFFF, hatch = scoreHatchColor;

struct ScorePainterPixels : ::testing::Test, test::ScoreFixture
{
    QtCanvas image{400, 300, 0x123456};
    TNoteStave* second = nullptr;

    ScorePainterPixels()
    {
        second = m.doc.AddStave(m.stave);
        m.stave->RoomUp.SetValue(30);
        m.stave->RoomDown.SetValue(40);
        m.stave->BackgroundColor = 0xE0FFE0;
        second->RoomUp.SetValue(50);
        second->RoomDown.SetValue(30);
        second->BackgroundColor = 0xFFE0E0;
    }
};

TEST_F(ScorePainterPixels, StackedBandsLinesAndHatches)
{
    for (int scroll : {0, 10}) {
        painter.Paint(image, 400, 300, 0, scroll);
        const int top = 40 - scroll;
        EXPECT_EQ(m.stave->GetMiddleY(), top + 30);
        EXPECT_EQ(second->GetMiddleY(), top + 30 + 40 + 50);
        EXPECT_EQ(painter.YExtent(), top + 30 + 40 + 50 + 30 + 40);
        const std::pair<int, uint32_t> rows[] = {{top + 30, 0x000000},  {top + 35, 0xE0FFE0},
                                                 {top + 69, 0xE0FFE0},  {top + 70, 0xFFE0E0},
                                                 {top + 120, 0x000000}, {top + 119, 0xFFE0E0},
                                                 {top + 149, 0xFFE0E0}};
        for (auto [y, color] : rows)
            EXPECT_EQ(image.Pixel(390, y), color) << scroll << " " << y;
    }
    // Falling hatch above (x - y on the 8 grid), rising hatch below (x + y on it).
    const std::tuple<int, int, uint32_t> hatches[] = {{16, 0, hatch},   {17, 0, white},
                                                      {20, 4, hatch},   {10, 270, hatch},
                                                      {11, 270, white}, {9, 271, hatch}};
    for (auto [x, y, color] : hatches)
        EXPECT_EQ(image.Pixel(x, y), color) << x << "," << y;
}

TEST_F(ScorePainterPixels, EndBarAfterTheMusic)
{
    Add(0, 6, 4);
    painter.Paint(image, 400, 300, 0, 0);
    const int x = static_cast<int>(painter.XExtent()) - 400 + 80;
    EXPECT_GT(x, 40);
    const int mid = m.stave->GetMiddleY();
    std::string row;
    for (int dx = -1; dx < 8; ++dx)
        row += image.Pixel(x + dx, mid - 5) == 0 ? '#' : '.';
    EXPECT_EQ(row, ".#..####.");
    EXPECT_EQ(image.Pixel(x + 4, second->GetMiddleY() + 15), 0u);
    EXPECT_EQ(image.Pixel(x + 4, second->GetMiddleY() + 25), 0xFFE0E0u);
}

TEST_F(ScorePainterPixels, SelectedNoteIsInverted)
{
    TMuzNote* note = Add(0, 5, 4); // a space: no line through the head
    for (bool selected : {false, true}) {
        m.doc.SetSelectedSymbol(selected ? note : nullptr);
        painter.Paint(image, 400, 300, 0, 0);
        const int y = m.stave->GetMiddleY() + 5, xL = note->XLeft;
        EXPECT_EQ(image.Pixel(xL + 5, y), selected ? 0xE0FFE0u : 0u) << selected;
        EXPECT_EQ(image.Pixel(xL - 1, y), selected ? 0u : 0xE0FFE0u) << selected;
    }
}

// The octave mark of a clef lies beyond the clef's inverted box, on the stave's band: selected
// or not, it shows in the stave's ink, while the box itself still inverts the clef.
TEST_F(ScorePainterPixels, SelectedClefShowsItsOctaveMark)
{
    m.stave->RoomUp.SetValue(60);
    m.stave->RoomDown.SetValue(60);
    TKey* key = m.part->GetOpeningKey(m.stave);
    for (int32_t octaves : {2, -1}) {
        key->SetOctavesUp(octaves);
        std::vector<uint32_t> marks[2];
        for (bool selected : {false, true}) {
            m.doc.SetSelectedSymbol(selected ? key : nullptr);
            painter.Paint(image, 400, 300, 0, 0);
            const int mid = m.stave->GetMiddleY(), top = mid + (octaves > 0 ? -44 : 34);
            int ink = 0;
            for (int y = top; y < top + 10; ++y)
                for (int x = key->XLeft + 9; x < key->XLeft + 23; ++x) {
                    marks[selected].push_back(image.Pixel(x, y));
                    ink += image.Pixel(x, y) == 0u;
                }
            EXPECT_GT(ink, 15) << octaves << " " << selected;
            EXPECT_EQ(image.Pixel(key->XLeft - 1, mid - 30), selected ? 0u : 0xE0FFE0u);
        }
        EXPECT_EQ(marks[0], marks[1]) << octaves;
    }
}

TEST(ScorePainterEmpty, VerticalHatchAndFortyPixelsHigh)
{
    ScriptedMessages messages;
    TUnitMuz doc("music", "");
    TScorePainter painter(doc);
    QtCanvas image(100, 60, 0x123456);
    painter.Paint(image, 100, 60, 0, 0);
    EXPECT_EQ(painter.YExtent(), 40);
    for (int y : {0, 30, 59}) {
        EXPECT_EQ(image.Pixel(8, y), hatch);
        EXPECT_EQ(image.Pixel(9, y), white);
        EXPECT_EQ(image.Pixel(96, y), hatch);
    }
}

struct ScoreFinders : ::testing::Test, test::ScoreFixture
{
    TMuzNote* first = nullptr;
    TMuzNote* later = nullptr;
    TLoopPartMuz* loop = nullptr;
    int mid = 0;

    ScoreFinders()
    {
        first = Add(0, 6, 4);
        later = Add(0.5, 8, 4);
        TStartPartMuz* root = m.doc.GetRootPart();
        loop = new TLoopPartMuz(&m.doc, root->SetChild(nullptr), 3);
        root->SetChild(loop);
        Paint();
        mid = m.stave->GetMiddleY();
    }
    static int Centre(const TXTouchMuzSymbol* s) { return (s->XLeft + s->XRight) / 2; }
};

TEST_F(ScoreFinders, NearestSymbolWithinTheLimit)
{
    const int x = Centre(later), y = mid - 10;
    TMuzBar* bar = m.part->GetMuzBar();
    EXPECT_EQ(painter.FindSymbolAt(Centre(first), mid + 3), first);
    EXPECT_EQ(painter.FindSymbolAt(x, y + 4), later);
    EXPECT_EQ(painter.FindSymbolAt(Centre(bar), mid + 300), bar); // bars care only for x
    EXPECT_EQ(painter.FindSymbolAt(x, y - 122), later);           // 122 squared: 14884
    EXPECT_EQ(painter.FindSymbolAt(x, y - 123), nullptr);         // 15129: none
    EXPECT_EQ(painter.FindSymbolAt(Centre(loop->GetRightLoopSymbol()), mid),
              loop->GetRightLoopSymbol());
}

TEST_F(ScoreFinders, NeighboursIncludeBarsAndLoopMarks)
{
    TXTouchMuzSymbol *before = nullptr, *after = nullptr;
    painter.FindNeighbours(-100, m.stave, before, after);
    EXPECT_EQ(before, nullptr);
    EXPECT_EQ(after, loop->GetLeftLoopSymbol());
    painter.FindNeighbours(Centre(loop->GetLeftLoopSymbol()), m.stave, before, after);
    EXPECT_EQ(before, loop->GetLeftLoopSymbol());
    EXPECT_EQ(after, m.part->GetMuzBar());
    painter.FindNeighbours(Centre(first) + 1, m.stave, before, after);
    EXPECT_EQ(before, first);
    painter.FindNeighbours(5000, m.stave, before, after);
    EXPECT_EQ(before, loop->GetRightLoopSymbol());
    EXPECT_EQ(after, nullptr);
}

TEST_F(ScoreFinders, StavesNotesAndRestsUnderAPoint)
{
    const int up = m.stave->RoomUp.GetValue(), down = m.stave->RoomDown.GetValue();
    EXPECT_EQ(painter.FindStaveAtY(mid - up), m.stave);
    EXPECT_EQ(painter.FindStaveAtY(mid + down), m.stave);
    EXPECT_EQ(painter.FindStaveAtY(mid - up - 1), nullptr);
    for (auto [dy, hit] : {std::pair{-4, false}, {-3, true}, {2, true}, {3, false}})
        EXPECT_EQ(painter.HitStaveBorder(0, mid + down + dy), hit ? m.stave : nullptr) << dy;
    EXPECT_EQ(TScorePainter::StepFromY(mid - 13, *m.stave), 3);
    EXPECT_EQ(TScorePainter::StepFromY(mid + 13, *m.stave), -3);
    EXPECT_EQ(painter.FindNoteAtX(first->XRight, m.stave), first);
    EXPECT_EQ(painter.FindNoteAtX(first->XRight + 1, m.stave), nullptr);
    EXPECT_EQ(painter.FindSilenceAtX(Centre(first), m.stave), nullptr);
}

struct StaveDrawing : ::testing::Test
{
    test::MusicDoc m;
    QtCanvas canvas{100, 200, 0x808080};
    const PixelRect clip{0, 0, 100, 200};

    TNoteStave& Stave(int32_t up, int32_t down, bool extra)
    {
        TNoteStave& s = *m.stave;
        s.RoomUp.SetValue(up);
        s.RoomDown.SetValue(down);
        s.ExtraLines = extra ? 1 : 0;
        s.ForegroundColor = 0x000000;
        s.BackgroundColor = 0xFFFFFF;
        s.StartLayout(100, 5);
        return s;
    }
    /// The rows of column x that differ from the background.
    std::vector<std::pair<int, uint32_t>> Marks(int x, uint32_t background)
    {
        std::vector<std::pair<int, uint32_t>> rows;
        for (int y = 0; y < 200; ++y)
            if (canvas.Pixel(x, y) != background)
                rows.emplace_back(y, canvas.Pixel(x, y));
        return rows;
    }
};

TEST_F(StaveDrawing, ExtraLinesOverBothRooms)
{
    for (int up : {30, 35}) {
        TNoteStave& s = Stave(up, 30, true);
        canvas.SetBrushColor(0xFFFFFF);
        canvas.FillRect(clip);
        DrawStaveLines(canvas, s, clip);
        const uint32_t faint = 0xBFBFBF; // 75 % white, 25 % black
        EXPECT_EQ(FaintLineColor(s), faint);
        const std::vector<std::pair<int, uint32_t>> want{
            {70, faint}, {80, 0}, {90, 0}, {100, 0}, {110, 0}, {120, 0}, {130, faint}};
        EXPECT_EQ(Marks(40, 0xFFFFFF), want) << up;
    }
}

TEST_F(StaveDrawing, BarLineAndEndBar)
{
    TNoteStave& s = Stave(30, 30, false);
    DrawStaveBarLine(canvas, s, 10);
    DrawStaveEndBar(canvas, s, 30);
    EXPECT_EQ(std::tuple(canvas.Pixel(10, 80), canvas.Pixel(10, 119), canvas.Pixel(10, 79)),
              std::tuple(0u, 0u, 0x808080u));
    std::string row;
    for (int x = 29; x < 39; ++x)
        row += canvas.Pixel(x, 100) == 0 ? '#' : '.';
    EXPECT_EQ(row, ".#..####..");
    EXPECT_EQ(std::pair(canvas.Pixel(33, 119), canvas.Pixel(33, 120)), std::pair(0u, 0x808080u));
}

struct ScoreGolden : ::testing::Test, test::ScoreFixture
{
    void Check(const std::string& name)
    {
        painter.Paint(canvas, 640, 360, 0, 0); // where the texts go
        QtCanvas image(640, 360, 0x123456);
        painter.Paint(image, 640, 360, 0, 0);
        image.SetBrushStyle(BrushStyle::Solid);
        image.SetBrushColor(0xFF00FF);
        for (const std::string& t : canvas.CallsOf("TextOut")) {
            const auto v = Numbers(t); // x, y, then the text's digits
            const int w = 14 * static_cast<int>(std::to_string(v[2]).size());
            image.FillRect({v[0] - 1, v[1] + 2, v[0] + w, v[1] + 24});
        }
        const QString path = QString(KELVORN_SCORE_GOLDEN "/") + name.c_str() + ".png";
        if (std::getenv("KELVORN_REMAKE_GOLDENS")) {
            ASSERT_TRUE(image.Image().save(path));
            return;
        }
        QImage want(path);
        ASSERT_FALSE(want.isNull()) << path.toStdString();
        want = want.convertToFormat(image.Image().format());
        ASSERT_EQ(want.size(), image.Image().size());
        int differ = 0;
        for (int y = 0; y < want.height(); ++y)
            for (int x = 0; x < want.width(); ++x)
                differ += want.pixel(x, y) != image.Image().pixel(x, y);
        EXPECT_EQ(differ, 0) << name;
    }
};

TEST_F(ScoreGolden, BarsBeamsTiesAndAccidentals)
{
    m.stave->RoomUp.SetValue(60);
    m.stave->RoomDown.SetValue(50);
    Add(0, 4, 8, 0, noteShiftKruis);
    Add(0.125, 6, 8);
    Add(0.25, 5, 4, 1);
    Add(0.25, 6, 4, 1);
    Add(0.625, 9, 16);
    Add(0.6875, 7, 16);
    Add(0.75, 2, 2);
    for (int i = 0; i < 3; ++i)
        Add(1.25, 8 - i, 4, 0, noteShiftNormal, triool, i);
    Add(1.75, -1, 8, 0, noteShiftMol)->SetNoteArtKind(noteArtStaccato);
    Add(1.875, 13, 32);
    Check("bars");
}

TEST_F(ScoreGolden, LoopTwoStavesExtraLinesAndSelection)
{
    TNoteStave* second = m.doc.AddStave(m.stave);
    second->ExtraLines = 1;
    second->BackgroundColor = 0xF0E0D0;
    second->GetFirstNoteGroup()->SetDefaultStem(drawStickAuto);
    TMuzNote* n = Add(0, 6, 4);
    Add(0.25, 7, 2);
    m.Note(0, -2, 2, nullptr, second)->SetPoints(1);
    m.Note(0.75, 3, 4, nullptr, second);
    TStartPartMuz* root = m.doc.GetRootPart();
    root->SetChild(new TLoopPartMuz(&m.doc, root->SetChild(nullptr), 12));
    m.doc.SetSelectedSymbol(n);
    Check("loop");
}

} // namespace
} // namespace kelvorn
