#include "tilelib/tile_crop.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

void ExpectRect(const TRectF& r, float left, float top, float right, float bottom)
{
    EXPECT_FLOAT_EQ(r.Left, left);
    EXPECT_FLOAT_EQ(r.Top, top);
    EXPECT_FLOAT_EQ(r.Right, right);
    EXPECT_FLOAT_EQ(r.Bottom, bottom);
}

QImage Photo(int w, int h, QColor color = Qt::red)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(color);
    return img;
}

} // namespace

TEST(CropDisplayPicture, FitsThePhotoIntoFourHundredTimesTheScale)
{
    struct Case {
        const char* name;
        int w, h;
        float s;
        int pw, ph;
    };
    const Case cases[] = {{"landscape at scale 1", 200, 150, 1.0f, 400, 300},
                          {"portrait at scale 1", 300, 600, 1.0f, 200, 400},
                          {"landscape at scale 2", 200, 150, 2.0f, 800, 600},
                          {"large photo shrunk", 4000, 1000, 1.0f, 400, 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage d = CropDisplayPicture(Photo(c.w, c.h), c.s);
        EXPECT_EQ(d.width(), c.pw);
        EXPECT_EQ(d.height(), c.ph);
        EXPECT_DOUBLE_EQ(d.devicePixelRatio(), c.s);
    }
    EXPECT_TRUE(CropDisplayPicture(QImage(), 1.0f).isNull());
}

TEST(InitialTileCrop, IsTheLargestAspectRectangleInNineTenthsCentred)
{
    struct Case {
        const char* name;
        float dw, dh;
        int wpx, hpx;
        float left, top, right, bottom;
    };
    const Case cases[] = {
        {"square tile on a landscape picture", 400, 300, 66, 66, 65, 15, 335, 285},
        {"wide tile limited by the width", 400, 300, 400, 100, 20, 105, 380, 195},
        {"tall tile limited by the height", 400, 300, 100, 300, 155, 15, 245, 285},
        {"no aspect: the whole nine tenths", 400, 300, 0, 66, 20, 15, 380, 285},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TileCrop crop = InitialTileCrop(c.dw, c.dh, c.wpx, c.hpx);
        ExpectRect(crop.rect, c.left, c.top, c.right, c.bottom);
        EXPECT_FLOAT_EQ(crop.corners[2].X, c.right);
        EXPECT_FLOAT_EQ(crop.corners[2].Y, c.bottom);
        EXPECT_FLOAT_EQ(crop.corners[3].X, c.left);
        EXPECT_FLOAT_EQ(crop.corners[3].Y, c.bottom);
    }
}

TEST(DragCropCorner, ClampsFitsTheAspectAndKeepsTheOppositeCorner)
{
    const TRectF start{65, 15, 335, 285};
    struct Case {
        const char* name;
        TRectF rect;
        int corner;
        float x, y;
        int wpx, hpx;
        float left, top, right, bottom;
    };
    const Case cases[] = {
        {"bottom-right to (390, 200): too wide, width follows the height", start, 2, 390, 200, 66, 66, 65, 15, 250,
         200},
        {"bottom-right beyond the picture is clamped", start, 2, 500, 500, 66, 66, 65, 15, 350, 300},
        {"top-left keeps the bottom-right", start, 0, 100, 30, 66, 66, 100, 50, 335, 285},
        {"top-left beyond the origin is clamped", start, 0, -50, -50, 66, 66, 50, 0, 335, 285},
        {"top-right keeps the bottom-left", start, 1, 300, 100, 66, 66, 65, 100, 250, 285},
        {"bottom-left keeps the top-right", start, 3, 100, 250, 66, 66, 100, 15, 335, 250},
        {"wide tile: height truncated to whole units", TRectF{10, 10, 110, 110}, 2, 110, 110, 3, 2, 10, 10, 110, 76},
        {"past the fixed corner stops there", start, 2, 10, 5, 66, 66, 65, 15, 65, 15},
        {"no aspect: the clamped rectangle as dragged", start, 2, 390, 200, 0, 0, 65, 15, 390, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRect(DragCropCorner(c.rect, c.corner, c.x, c.y, 400, 300, c.wpx, c.hpx), c.left, c.top, c.right,
                   c.bottom);
    }
}

TEST(CropMouse, ACornerPressResizesEvenInsideTheRectangle)
{
    TileCrop crop = InitialTileCrop(400, 300, 66, 66);
    CropMouseDown(crop, 335 - 10, 285 - 10); // inside, 14 from the bottom-right corner
    EXPECT_EQ(crop.dragCorner, 2);
    EXPECT_FALSE(crop.moving);
    EXPECT_TRUE(CropMouseMove(crop, 390, 200));
    ExpectRect(crop.rect, 65, 15, 250, 200);
    EXPECT_FLOAT_EQ(crop.corners[1].X, 250);
    EXPECT_FLOAT_EQ(crop.corners[1].Y, 15);
    CropMouseUp(crop);
    EXPECT_EQ(crop.dragCorner, -1);
    EXPECT_FALSE(CropMouseMove(crop, 100, 100));
    ExpectRect(crop.rect, 65, 15, 250, 200);
}

TEST(CropMouse, InsidePressMovesAndEachAxisIsRefusedAtTheEdgeOnItsOwn)
{
    TileCrop crop = InitialTileCrop(400, 300, 66, 66); // (65, 15) - (335, 285)
    CropMouseDown(crop, 200, 150);
    ASSERT_TRUE(crop.moving);
    EXPECT_EQ(crop.dragCorner, -1);
    // 100 right would leave the picture (right edge 435): refused; 10 down is accepted.
    EXPECT_TRUE(CropMouseMove(crop, 300, 160));
    ExpectRect(crop.rect, 65, 25, 335, 295);
    // The refused move still advanced the last point, so going back left 60 moves 60.
    CropMouseMove(crop, 240, 160);
    ExpectRect(crop.rect, 5, 25, 275, 295);
    // Against the right edge it stops there, while still moving vertically.
    CropMouseMove(crop, 365, 140);
    ExpectRect(crop.rect, 130, 5, 400, 275);
}

TEST(CropMouse, PressesAwayFromCornersAndOutsideStartNothing)
{
    TileCrop crop = InitialTileCrop(400, 300, 66, 66);
    CropMouseDown(crop, 10, 10);
    EXPECT_EQ(crop.dragCorner, -1);
    EXPECT_FALSE(crop.moving);
    // Right and bottom edges are outside.
    CropMouseDown(crop, 335, 150);
    EXPECT_FALSE(crop.moving);
    CropMouseDown(crop, 65, 150);
    EXPECT_TRUE(crop.moving);
}

TEST(CropMouse, ASmallRectangleCannotBeMovedOnlyResized)
{
    TileCrop crop = InitialTileCrop(400, 300, 66, 66);
    crop.rect = TRectF{100, 100, 120, 120};
    crop.corners = CropCorners(crop.rect);
    CropMouseDown(crop, 110, 110); // 14 from every corner: the last corner wins
    EXPECT_EQ(crop.dragCorner, 3);
    crop.rect = TRectF{100, 100, 150, 120};
    crop.corners = CropCorners(crop.rect);
    CropMouseDown(crop, 125, 110); // 20 high: not movable, and no corner within 20
    EXPECT_EQ(crop.dragCorner, -1);
    EXPECT_FALSE(crop.moving);
}

TEST(CropResult, DrawsThePhotoPartUnderTheRectangleAtTheTileSize)
{
    // Left half red, right half blue; the display picture is 400 x 300 for a 200 x 150
    // photo, so view units are half a photo pixel.
    QImage photo = Photo(200, 150, Qt::red);
    {
        QPainter p(&photo);
        p.fillRect(100, 0, 100, 150, Qt::blue);
    }
    const QImage display = CropDisplayPicture(photo, 1.0f);
    const QImage right = CropResult(photo, display, TRectF{220, 20, 380, 180}, 16, 16);
    ASSERT_EQ(right.size(), QSize(16, 16));
    EXPECT_EQ(right.pixel(8, 8), QColor(Qt::blue).rgba());
    const QImage left = CropResult(photo, display, TRectF{20, 20, 180, 180}, 16, 16);
    EXPECT_EQ(left.pixel(8, 8), QColor(Qt::red).rgba());
    // At display scale 2 the picture has twice the pixels and the same view units.
    const QImage display2 = CropDisplayPicture(photo, 2.0f);
    const QImage right2 = CropResult(photo, display2, TRectF{220, 20, 380, 180}, 16, 16);
    EXPECT_EQ(right2.pixel(8, 8), QColor(Qt::blue).rgba());
    EXPECT_TRUE(CropResult(photo, display, TRectF{20, 20, 180, 180}, 0, 16).isNull());
    EXPECT_TRUE(CropResult(QImage(), display, TRectF{20, 20, 180, 180}, 16, 16).isNull());
}
