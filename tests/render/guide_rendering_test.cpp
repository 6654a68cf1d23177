#include "render/guide_rendering.h"

#include "tests/render/working_view_fixtures.h"

#include <gtest/gtest.h>

#include <memory>
#include <numbers>

using namespace wvtest;

namespace {

class GuideRendering : public testing::Test {
protected:
    std::unique_ptr<Workspace> owned = std::make_unique<Workspace>();
    Workspace& ws = *owned;
    TMosaicProject& prj = ws.mproject;
    RecordingProgress progress;

    // cols x rows square cells of 20 layout units, 40 x 40 output pixels each, and ten
    // tiles of distinct colours (tile i: red 20 i, green 200, blue 0).
    void grid(int cols, int rows, std::int32_t shape = kShapeRect)
    {
        MakeGrid(ws, cols, rows, 20, shape);
        prj.cfg.CellWdPx = prj.cfg.CellHtPx = 40;
        for (int i = 0; i < 10; ++i)
            SetTileColor(ws, i, 20 * i, 200, 0);
    }

    QImage guide(int x1, int y1, int x2, int y2, int idMin, int idMax, int boxW, int boxH, bool fillcolor,
                 int fontsize = 16)
    {
        QImage image;
        Draw_GuideCellsByRange(ws, x1, y1, x2, y2, idMin, idMax, boxW, boxH, fontsize, fillcolor, image, progress);
        return image;
    }
};

} // namespace

TEST_F(GuideRendering, BoundaryOfOneCellIsItsRectangle)
{
    grid(3, 3);
    prj.Cells[1][2].CellRectReal = TRectF{41.5f, 18, 63, 44};
    const TRectF r = Cells_boundary_PX(ws, 2, 1, 2, 1);
    EXPECT_FLOAT_EQ(r.Left, 41.5f);
    EXPECT_FLOAT_EQ(r.Top, 18);
    EXPECT_FLOAT_EQ(r.Right, 63);
    EXPECT_FLOAT_EQ(r.Bottom, 44);
}

TEST_F(GuideRendering, BoundaryLooksAtTheBorderCellsOnly)
{
    grid(3, 3);
    prj.Cells[1][1].CellRectReal = TRectF{-100, -100, 100, 100}; // inner cell: ignored
    prj.Cells[0][1].CellRectReal.Top = -5;                        // top row
    prj.Cells[2][0].CellRectReal.Left = -3;                       // left column
    prj.Cells[1][2].CellRectReal.Right = 61;                      // right column
    prj.Cells[2][1].CellRectReal.Bottom = 62;                     // bottom row
    const TRectF r = Cells_boundary_PX(ws, 0, 0, 2, 2);
    EXPECT_FLOAT_EQ(r.Left, -3);
    EXPECT_FLOAT_EQ(r.Top, -5);
    EXPECT_FLOAT_EQ(r.Right, 61);
    EXPECT_FLOAT_EQ(r.Bottom, 62);
}

TEST_F(GuideRendering, OneCellBlockFillsTheBoxAlongItsLongerSide)
{
    struct Case {
        const char* name;
        float w, h;
        int boxW, boxH;
        QSize image;
    };
    const Case cases[] = {
        {"wide cell in a square box", 20, 10, 200, 200, QSize(200, 100)},
        {"tall cell in a wide box", 10, 20, 300, 200, QSize(100, 200)},
        {"square cell, height limits", 20, 20, 301, 150, QSize(150, 150)},
        {"thirds do not lose a pixel", 30, 20, 1000, 1000, QSize(1000, 666)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        grid(2, 2);
        TCell& cell = prj.Cells[1][1];
        cell = MakeCell(kShapeRect, TRectF{20, 20, 20 + c.w, 20 + c.h}, 4);
        prj.cfg.CellWdf = c.w;
        prj.cfg.CellWdPx = 2 * c.w;
        prj.cfg.CellHtPx = 2 * c.h;
        progress = RecordingProgress();
        const QImage img = guide(1, 1, 1, 1, 0, 9, c.boxW, c.boxH, /*fillcolor=*/true);
        ASSERT_EQ(img.size(), c.image);
        EXPECT_EQ(img.devicePixelRatio(), 1.0);
        const TAlphaColor tile = Rgb(80, 200, 0);
        // The cell covers the whole picture, corner to corner.
        EXPECT_TRUE(Near(img.pixel(2, 2), tile, 4));
        EXPECT_TRUE(Near(img.pixel(img.width() - 3, img.height() - 3), tile, 4));
        EXPECT_TRUE(Near(img.pixel(img.width() - 3, 2), tile, 4));
        EXPECT_EQ(progress.maximums, std::vector<int>{1});
        EXPECT_EQ(progress.values, (std::vector<int>{0, 1}));
    }
}

TEST_F(GuideRendering, NumberIsWhiteOnDarkTilesAndBlackOtherwise)
{
    struct Case {
        const char* name;
        float lightness;
        bool fillcolor;
        bool white;
    };
    const Case cases[] = {
        {"lightness 50 with fill", 50, true, true},
        {"lightness 51 with fill", 51, true, false},
        {"dark tile without fill", 10, false, false},
    };
    auto whitePx = [](QRgb p) { return qRed(p) > 220 && qGreen(p) > 220 && qBlue(p) > 220; };
    auto blackPx = [](QRgb p) { return qRed(p) < 50 && qGreen(p) < 50 && qBlue(p) < 50; };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        grid(1, 1);
        SetTileColor(ws, 3, 120, 120, 120);
        ws.mtilelib.items[3].ColorInfo.ci1.Lab.X = c.lightness;
        prj.Cells[0][0].TileID = 3;
        const QImage img = guide(0, 0, 0, 0, 0, 9, 80, 80, c.fillcolor, 20);
        ASSERT_EQ(img.size(), QSize(80, 80));
        const QRect inside(4, 4, 72, 72);
        if (c.fillcolor) {
            EXPECT_TRUE(Near(img.pixel(5, 5), Rgb(120, 120, 120), 4)) << "filled with the tile colour";
        }
        if (c.white) {
            EXPECT_GT(CountPixels(img, inside, whitePx), 10);
            EXPECT_EQ(CountPixels(img, inside, blackPx), 0);
        } else {
            EXPECT_GT(CountPixels(img, inside, blackPx), 10);
            if (c.fillcolor) {
                EXPECT_EQ(CountPixels(img, inside, whitePx), 0);
            }
        }
    }
}

TEST_F(GuideRendering, WithoutFillEveryCellIsWhiteInItsShapeWithABlackNumber)
{
    grid(1, 1, kShapeTriangleUp);
    prj.Cells[0][0].TileID = 9;
    QImage image = WhiteImage(40, 40);
    image.fill(0xFFFF0000);
    {
        Canvas canvas(image);
        Draw_FinalMosaic_OneCell_Guide(ws, canvas, prj.Cells[0][0], 2.0, QPointF(0, 0), 14, /*fillcolor=*/false);
    }
    EXPECT_TRUE(IsWhite(image.pixel(10, 36))) << "inside the triangle: white, not the tile colour";
    EXPECT_TRUE(IsWhite(image.pixel(30, 36)));
    EXPECT_TRUE(Near(image.pixel(2, 2), 0xFFFF0000)) << "outside the shape the canvas shows";
    EXPECT_TRUE(Near(image.pixel(37, 2), 0xFFFF0000));
    auto blackPx = [](QRgb p) { return qRed(p) < 50 && qGreen(p) < 50 && qBlue(p) < 50; };
    EXPECT_GT(CountPixels(image, QRect(10, 12, 20, 20), blackPx), 5) << "the number";
    auto tilePx = [](QRgb p) { return qGreen(p) > 150 && qBlue(p) < 60; }; // tile 9 is (180, 200, 0)
    EXPECT_EQ(CountPixels(image, image.rect(), tilePx), 0);
}

TEST_F(GuideRendering, IdRangeSelectsTheCellsAndProgressCountsOnlyThose)
{
    grid(3, 2);
    const int ids[2][3] = {{7, 3, 7}, {-1, 8, 7}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            prj.Cells[y][x].TileID = ids[y][x];
    prj.Cells[1][2].enable = 0; // not consulted
    CountingPump pump;
    ws.platform.events = &pump;

    const QImage img = guide(0, 0, 2, 1, 7, 7, 300, 300, /*fillcolor=*/true);
    ASSERT_EQ(img.size(), QSize(300, 200));
    EXPECT_EQ(progress.maximums, std::vector<int>{6});
    EXPECT_EQ(progress.values, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(pump.count, 3);
    const TAlphaColor tile7 = Rgb(140, 200, 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            SCOPED_TRACE(testing::Message() << "cell " << x << ", " << y);
            const QRgb corner = img.pixel(x * 100 + 5, y * 100 + 5);
            if (ids[y][x] == 7)
                EXPECT_TRUE(Near(corner, tile7, 4));
            else
                EXPECT_TRUE(IsWhite(corner));
        }
}

TEST_F(GuideRendering, CellsWithoutATileAreSkipped)
{
    grid(3, 1);
    prj.Cells[0][0].TileID = -1;
    prj.Cells[0][1].TileID = 50; // beyond the library's 10 tiles
    prj.Cells[0][2].TileID = 2;
    const QImage img = guide(0, 0, 2, 0, -1, 100, 300, 100, /*fillcolor=*/false);
    EXPECT_EQ(progress.values, (std::vector<int>{0, 1}));
    EXPECT_EQ(CountPixels(img, QRect(0, 0, 200, 100), IsWhite), 200 * 100);
    EXPECT_GT(CountPixels(img, QRect(200, 0, 100, 100), IsDark), 10) << "the number of tile 2";
}

TEST_F(GuideRendering, ARotatedCellIsDrawnTurnedAboutItsCentre)
{
    auto filledAt = [&](double rotate, QPoint relative) {
        grid(1, 1, kShapeTriangleUp);
        TCell& cell = prj.Cells[0][0];
        cell = MakeCell(kShapeTriangleUp, TRectF{0, 0, 20, 20}, 5, rotate);
        progress = RecordingProgress();
        const QImage img = guide(0, 0, 0, 0, 0, 9, 200, 200, /*fillcolor=*/true, 1);
        return Near(img.pixel(QPoint(100, 100) + relative), Rgb(100, 200, 0), 6);
    };
    // Apex up: filled near the top, empty right of the centre.
    EXPECT_TRUE(filledAt(0, QPoint(0, -60)));
    EXPECT_FALSE(filledAt(0, QPoint(60, 0)));
    // A quarter turn clockwise puts the apex to the right.
    EXPECT_FALSE(filledAt(std::numbers::pi / 2, QPoint(0, -60)));
    EXPECT_TRUE(filledAt(std::numbers::pi / 2, QPoint(60, 0)));
    EXPECT_TRUE(filledAt(std::numbers::pi / 2, QPoint(-90, 80))) << "the base on the left";
}

TEST_F(GuideRendering, ARotatedRectangleKeepsItsSizeTurned)
{
    grid(1, 1);
    prj.cfg.CellWdf = 20;
    prj.cfg.CellWdPx = 40;
    prj.cfg.CellHtPx = 20;
    TCell cell = MakeCell(kShapeRect, TRectF{0, 5, 20, 15}, 1, std::numbers::pi / 2);
    QImage image = WhiteImage(40, 40);
    {
        Canvas canvas(image);
        Draw_FinalMosaic_OneCell_Guide(ws, canvas, cell, 2.0, QPointF(0, 0), 1, /*fillcolor=*/true);
    }
    // 40 x 20 canvas units turned: 20 wide, 40 high, centred on (20, 20).
    const TAlphaColor tile = Rgb(20, 200, 0);
    EXPECT_TRUE(Near(image.pixel(20, 2), tile, 4));
    EXPECT_TRUE(Near(image.pixel(20, 37), tile, 4));
    EXPECT_TRUE(Near(image.pixel(12, 20), tile, 4));
    EXPECT_TRUE(IsWhite(image.pixel(7, 20)));
    EXPECT_TRUE(IsWhite(image.pixel(33, 20)));
}

TEST_F(GuideRendering, OffsetMovesTheCell)
{
    grid(1, 1);
    TCell cell = MakeCell(kShapeRect, TRectF{0, 0, 20, 20}, 1);
    QImage image = WhiteImage(60, 60);
    {
        Canvas canvas(image);
        Draw_FinalMosaic_OneCell_Guide(ws, canvas, cell, 1.0, QPointF(30, 25), 1, /*fillcolor=*/true);
    }
    EXPECT_TRUE(Near(image.pixel(32, 27), Rgb(20, 200, 0), 4));
    EXPECT_TRUE(Near(image.pixel(48, 43), Rgb(20, 200, 0), 4));
    EXPECT_TRUE(IsWhite(image.pixel(28, 27)));
    EXPECT_TRUE(IsWhite(image.pixel(51, 43)));
}

TEST_F(GuideRendering, EmptyInvertedOrOutsideBlocksLeaveTheImageAlone)
{
    grid(3, 2);
    for (int x = 0; x < 3; ++x)
        prj.Cells[0][x].TileID = 1;
    struct Case {
        const char* name;
        int x1, y1, x2, y2, boxW, boxH;
    };
    const Case cases[] = {
        {"inverted columns", 2, 0, 1, 1, 100, 100},
        {"inverted rows", 0, 1, 2, 0, 100, 100},
        {"page beyond the last column", 3, 0, 5, 1, 100, 100},
        {"page beyond the last row", 0, 2, 2, 3, 100, 100},
        {"wholly before the grid", -4, -4, -1, -1, 100, 100},
        {"empty box", 0, 0, 2, 1, 0, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image(7, 7, QImage::Format_ARGB32);
        image.fill(0xFF0000FF);
        RecordingProgress untouched;
        const double t = Draw_GuideCellsByRange(ws, c.x1, c.y1, c.x2, c.y2, 0, 9, c.boxW, c.boxH, 12, true, image,
                                                untouched);
        EXPECT_EQ(t, 0.0);
        EXPECT_EQ(image.size(), QSize(7, 7));
        EXPECT_EQ(image.pixel(3, 3), 0xFF0000FFu);
        EXPECT_TRUE(untouched.values.empty());
        EXPECT_TRUE(untouched.maximums.empty());
    }
}

TEST_F(GuideRendering, ABlockReachingPastTheGridIsCutToIt)
{
    grid(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            prj.Cells[y][x].TileID = 2;
    const QImage img = guide(1, 0, 9, 9, 0, 9, 400, 400, /*fillcolor=*/true);
    EXPECT_EQ(img.size(), QSize(400, 400)) << "columns 1..2, rows 0..1";
    EXPECT_EQ(progress.maximums, std::vector<int>{4});
    EXPECT_EQ(progress.values.back(), 4);
}
