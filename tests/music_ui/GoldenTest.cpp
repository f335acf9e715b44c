// Whole scores of fixture pieces against stored images. Text boxes are masked with fixed boxes
// where the recorded paint put text (fonts differ between machines, the score's positions do
// not).
// scripts/remake-score-goldens.sh remakes the images after a deliberate change.

#include "ScoreKit.h"
#include "shell/base/QtCanvas.h"

#include <QImage>

#include <cstdlib>
#include <gtest/gtest.h>

namespace kelvorn {
namespace {

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
