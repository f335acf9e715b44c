#include "shell/base/CursorTable.h"

#include <QBitmap>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

#include <string>

using namespace kelvorn;

namespace {

// Whether a pixel within radius of (x, y) is drawn (not fully transparent).
bool DrawnNear(const QImage& image, int x, int y, int radius)
{
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            QPoint p(x + dx, y + dy);
            if (image.valid(p) && qAlpha(image.pixel(p)) > 0)
                return true;
        }
    return false;
}

} // namespace

TEST(CursorTable, ZeroIsTheArrowAndOutsideTheTableToo)
{
    CursorTable table;
    EXPECT_EQ(table.At(0).shape(), Qt::ArrowCursor);
    EXPECT_EQ(table.At(CursorId::Arrow).shape(), Qt::ArrowCursor);
    EXPECT_EQ(table.At(-1).shape(), Qt::ArrowCursor);
    EXPECT_EQ(table.At(8).shape(), Qt::ArrowCursor);
}

TEST(CursorTable, SevenDistinctPaintedCursorsPointWhereTheyDraw)
{
    CursorTable table;
    std::vector<QImage> images;
    for (int i = 1; i < CursorCount; ++i) {
        SCOPED_TRACE(CursorName(i));
        const QCursor& cursor = table.At(i);
        EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
        QImage image = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(CursorTable::CursorSize, CursorTable::CursorSize));
        QPoint hot = cursor.hotSpot();
        EXPECT_TRUE(image.rect().contains(hot)) << hot.x() << "," << hot.y();
        EXPECT_TRUE(DrawnNear(image, hot.x(), hot.y(), 2));
        // Black and white both show, so the cursor reads on any background.
        bool black = false;
        bool white = false;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                QRgb p = image.pixel(x, y);
                black |= qAlpha(p) == 255 && qGray(p) < 40;
                white |= qAlpha(p) == 255 && qGray(p) > 215;
            }
        EXPECT_TRUE(black);
        EXPECT_TRUE(white);
        for (size_t j = 0; j < images.size(); ++j)
            EXPECT_NE(image, images[j]) << "same as " << CursorName(int(j) + 1);
        images.push_back(image);
    }
    EXPECT_EQ(table.At(CursorId::ZoomOut).hotSpot(), table.At(7).hotSpot());
}

TEST(CursorTable, NamesTheEightCursorsAndTheProgramPaintsOneTable)
{
    const CursorTable* table = ProgramCursors();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(ProgramCursors(), table);
    EXPECT_EQ(ProgramCursor(CursorCount).shape(), Qt::ArrowCursor);
    const char* expected[] = {"ARROW",  "DRAW", "DELETE", "SIL",
                              "REJECT", "NOTE", "ZOOM",   "ZOOMOUT"};
    for (int i = 0; i < CursorCount; ++i)
        EXPECT_STREQ(CursorName(i), expected[i]);
    EXPECT_STREQ(CursorName(-1), "");
    EXPECT_STREQ(CursorName(CursorCount), "");
}
