#include "imaging/shape_preview.h"

#include "imaging/shapes.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

namespace {

QImage redBitmap(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(0xFFFF0000);
    return image;
}

bool isShapeColour(QRgb p) { return qAlpha(p) > 230 && qRed(p) > 230 && qBlue(p) < 140; }
bool isBoxOnly(QRgb p) { return qAlpha(p) > 100 && qAlpha(p) < 160 && qBlue(p) > 230 && qRed(p) < 140; }

} // namespace

TEST(DrawShapePreview, CentresABoxOfTheAspectAndDrawsTheShapeInIt)
{
    QImage bitmap = redBitmap(100, 50);
    DrawShapePreview(bitmap, 1, 1, kShapeRect, 1.0f);
    // Box (25, 0)-(75, 50); left and right of it the bitmap is cleared to transparent.
    EXPECT_EQ(qAlpha(bitmap.pixel(10, 25)), 0);
    EXPECT_EQ(qAlpha(bitmap.pixel(90, 25)), 0);
    EXPECT_TRUE(isShapeColour(bitmap.pixel(50, 25))) << std::hex << bitmap.pixel(50, 25);
    EXPECT_TRUE(isShapeColour(bitmap.pixel(30, 25)));
    // The border round the whole bitmap is black.
    EXPECT_GT(qAlpha(bitmap.pixel(0, 25)), 60);
    EXPECT_LT(qRed(bitmap.pixel(0, 25)), 60);
}

TEST(DrawShapePreview, ShowsTheBoxWhereTheShapeLeavesIt)
{
    QImage bitmap = redBitmap(120, 120);
    DrawShapePreview(bitmap, 2, 1, kShapeEllipse, 1.0f);
    // Box (0, 30)-(120, 90): its corner lies outside the ellipse, its centre inside.
    EXPECT_TRUE(isBoxOnly(bitmap.pixel(8, 36))) << std::hex << bitmap.pixel(8, 36);
    EXPECT_TRUE(isShapeColour(bitmap.pixel(60, 60)));
    EXPECT_EQ(qAlpha(bitmap.pixel(60, 15)), 0);
}

TEST(DrawShapePreview, ScalesOnlyTheShapeByTheInverseScreenScale)
{
    QImage bitmap = redBitmap(100, 100);
    DrawShapePreview(bitmap, 1, 1, kShapeRect, 2.0f);
    EXPECT_TRUE(isShapeColour(bitmap.pixel(25, 25)));
    EXPECT_TRUE(isBoxOnly(bitmap.pixel(75, 75))) << std::hex << bitmap.pixel(75, 75);
}

TEST(DrawShapePreview, RefusesADegenerateAspectAfterClearing)
{
    QImage bitmap = redBitmap(20, 20);
    DrawShapePreview(bitmap, 0, 1, kShapeRect, 1.0f);
    EXPECT_EQ(bitmap.pixel(10, 10), 0x00FFFFFFu);
}
