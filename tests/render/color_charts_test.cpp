#include "render/color_charts.h"

#include "tests/render/working_view_fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

using namespace wvtest;

namespace {

int total(const TColorHistogram& h)
{
    int n = 0;
    for (const auto& hue : h.HSVCount)
        for (const auto& s : hue)
            for (int v : s)
                n += v;
    return n;
}

int hueTotal(const TColorHistogram& h)
{
    int n = 0;
    for (int v : h.HueCount)
        n += v;
    return n;
}

QPoint onWheel(QPointF centre, int bucketIndex, double distance)
{
    const double t = bucketIndex * 6 * std::numbers::pi / 180;
    return (centre + distance * QPointF(std::cos(t), std::sin(t))).toPoint();
}

TAlphaColor hsv(double h, double s, double v)
{
    int r, g, b, gray;
    HSVToRGB(h, s, v, r, g, b, gray);
    return Rgb(r, g, b);
}

class ColorCharts : public testing::Test {
protected:
    std::unique_ptr<Workspace> owned = std::make_unique<Workspace>();
    Workspace& ws = *owned;
    TColorHistogram hist;

    // A 3 x 2 grid and 4 add-on cells, all of one measured colour.
    void allCells(int r, int g, int b)
    {
        MakeGrid(ws, 3, 2, 10);
        ws.mproject.cfg.AddonTilesCount = 4;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                SetMeasured(ws.mproject.Cells[y][x], r, g, b);
        for (int j = 0; j < 4; ++j) {
            ws.mproject.AddonTiles[j] = MakeCell(kShapeRect, TRectF{0, 0, 1, 1});
            SetMeasured(ws.mproject.AddonTiles[j], r, g, b);
        }
    }
};

} // namespace

TEST(CountColor, PutsEachColourIntoItsBuckets)
{
    struct Case {
        const char* name;
        int r, g, b;
        int hue, s, v, hueBucket;
    };
    const Case cases[] = {
        {"pure red", 255, 0, 0, 0, 2, 2, 0},
        {"mid grey", 128, 128, 128, 0, 0, 1, 0},
        {"black", 0, 0, 0, 0, 0, 0, 0},
        {"hue exactly 6", 250, 25, 0, 1, 2, 2, 1},
        {"hue 359.76", 255, 0, 1, 59, 2, 2, 59},
        {"saturation 33.7 is band 0", 255, 169, 169, 0, 0, 2, 0},
        {"saturation 34.1 is band 1", 255, 168, 168, 0, 1, 2, 0},
        {"green at value 78", 100, 200, 0, 15, 2, 2, 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TColorHistogram h;
        ClearColorHistogram(h);
        CountColor(h, Rgb(c.r, c.g, c.b));
        EXPECT_EQ(h.HSVCount[c.hue][c.s][c.v], 1);
        EXPECT_EQ(h.HueCount[c.hueBucket], 1);
        EXPECT_EQ(total(h), 1);
        EXPECT_EQ(hueTotal(h), 1);
    }
}

TEST_F(ColorCharts, ProjectHistogramCountsGridAndAddOnCellsEnabledOrNot)
{
    allCells(255, 0, 0);
    ws.mproject.Cells[0][1].enable = 0;
    ws.mproject.AddonTiles[2].enable = 0;
    SetMeasured(ws.mproject.Cells[2][0], 0, 0, 255); // beyond Vcc: not counted
    SetMeasured(ws.mproject.AddonTiles[4], 0, 0, 255); // beyond AddonTilesCount
    hist.HueCount[30] = 77; // cleared first
    ProjectColorHistogram(hist, ws.mproject);
    EXPECT_EQ(hist.HSVCount[0][2][2], 10);
    EXPECT_EQ(hist.HueCount[0], 10);
    EXPECT_EQ(total(hist), 10);
    EXPECT_EQ(hueTotal(hist), 10);
}

TEST_F(ColorCharts, ProjectHistogramClampsItsCounts)
{
    allCells(0, 255, 0);
    ws.mproject.cfg.Vcc = 1000;
    ws.mproject.cfg.Hcc = 1;
    ws.mproject.cfg.AddonTilesCount = -5;
    ProjectColorHistogram(hist, ws.mproject);
    EXPECT_EQ(total(hist), kGridCapacity);
}

TEST_F(ColorCharts, LibraryHistogramCountsItemsUpToCountAndPicksTheSource)
{
    SetTileColor(ws, 0, 255, 0, 0);
    SetTileColor(ws, 1, 128, 128, 128);
    SetTileColor(ws, 2, 255, 0, 0);
    ws.mtilelib.ItemEnable[2] = 0;
    CompleteColorInfo(ws.mtilelib.items[3].ColorInfo.ci1, 0, 0, 255); // beyond Count
    CompleteColorInfo(ws.mbrowselib.items[0].ColorInfo.ci1, 0, 0, 255);
    ws.mbrowselib.Count = 1;

    TileLibColorHistogram(hist, ws.mtilelib);
    EXPECT_EQ(hist.HSVCount[0][2][2], 2);
    EXPECT_EQ(hist.HSVCount[0][0][1], 1);
    EXPECT_EQ(total(hist), 3);

    TColorHistogram fromSource;
    TileLibColorHistogram(fromSource, ws, kChartSourceWorking);
    EXPECT_EQ(std::memcmp(&fromSource, &hist, sizeof hist), 0);
    TileLibColorHistogram(fromSource, ws, kChartSourceBrowse);
    EXPECT_EQ(fromSource.HSVCount[40][2][2], 1);
    EXPECT_EQ(total(fromSource), 1);
    TileLibColorHistogram(fromSource, ws, 30);
    EXPECT_EQ(total(fromSource), 0);

    ws.mtilelib.Count = 1 << 20;
    TileLibColorHistogram(hist, ws.mtilelib);
    EXPECT_EQ(total(hist), kTileCapacity);
}

TEST_F(ColorCharts, AllRedProjectShowsOneBigDotAtAngleZero)
{
    allCells(255, 0, 0);
    ProjectColorHistogram(hist, ws.mproject);
    const TAlphaColor dotColor = hsv(0, 99, 99);

    QImage three;
    DrawColorWheel(three, hist, kChartThreeWheels);
    ASSERT_EQ(three.size(), QSize(1080, 360));
    const QPointF left(180, 180), middle(540, 180), right(900, 180);
    EXPECT_TRUE(Near(three.pixel(340, 180), dotColor, 3)) << "value band 2 on the leftmost wheel at 160";
    EXPECT_TRUE(Near(three.pixel(340, 187), dotColor, 3)) << "a big dot (radius 9)";
    for (QPointF c : {left, middle, right})
        for (int j = 0; j < 60; ++j)
            for (double d : {120.0, 140.0, 160.0}) {
                if (c == left && j == 0 && d == 160.0)
                    continue;
                const QPoint p = onWheel(c, j, d);
                ASSERT_TRUE(IsWhite(three.pixel(p))) << "no other dot: " << p.x() << ", " << p.y();
            }

    QImage one;
    DrawColorWheel(one, hist, kChartHueWheel);
    ASSERT_EQ(one.size(), QSize(360, 360));
    EXPECT_TRUE(Near(one.pixel(340, 180), dotColor, 3)) << "right of the centre";
    EXPECT_TRUE(Near(one.pixel(340, 172), dotColor, 3));
    for (int j = 1; j < 60; ++j)
        ASSERT_TRUE(IsWhite(one.pixel(onWheel(QPointF(180, 180), j, 160)))) << j;
}

TEST_F(ColorCharts, GreyCellsShowOnTheInnerRingOfTheirValueBand)
{
    allCells(128, 128, 128);
    ProjectColorHistogram(hist, ws.mproject);
    QImage three;
    DrawColorWheel(three, hist, kChartThreeWheels);
    EXPECT_TRUE(Near(three.pixel(540 + 120, 180), hsv(0, 33, 66), 3)) << "middle wheel, distance 120, angle 0";
    EXPECT_TRUE(IsWhite(three.pixel(180 + 120, 180)));
    EXPECT_TRUE(IsWhite(three.pixel(900 + 120, 180)));
    EXPECT_TRUE(IsWhite(three.pixel(540 + 140, 180)));
}

TEST_F(ColorCharts, HuesRunClockwiseFromTheRight)
{
    allCells(100, 200, 0); // hue 90, bright and saturated
    ProjectColorHistogram(hist, ws.mproject);
    QImage three;
    DrawColorWheel(three, hist, kChartThreeWheels);
    EXPECT_TRUE(Near(three.pixel(180, 340), hsv(90, 99, 99), 3)) << "below the centre";
    EXPECT_TRUE(IsWhite(three.pixel(180, 20)));
    QImage one;
    DrawColorWheel(one, hist, kChartHueWheel);
    EXPECT_TRUE(Near(one.pixel(180, 340), hsv(90, 99, 99), 3));
    EXPECT_TRUE(IsWhite(one.pixel(180, 20)));
}

TEST_F(ColorCharts, EmptyLibraryDrawsOnlyCirclesAndReferenceDots)
{
    TileLibColorHistogram(hist, ws.mtilelib);
    QImage three;
    DrawColorWheel(three, hist, kChartThreeWheels);
    for (QPointF c : {QPointF(180, 180), QPointF(540, 180), QPointF(900, 180)}) {
        for (int j = 0; j < 60; ++j) {
            SCOPED_TRACE(j);
            EXPECT_TRUE(Near(three.pixel(onWheel(c, j, 175)), hsv(j * 6, 99, 99), 3)) << "reference dot";
            for (double d : {120.0, 140.0, 160.0})
                EXPECT_TRUE(IsWhite(three.pixel(onWheel(c, j, d))));
        }
        // The outline circles cross the vertical through the centre; the lower half of a
        // wheel has no reference dot there.
        for (int radius : {150, 130, 110})
            EXPECT_TRUE(IsLine(three.pixel(QPointF(c.x(), c.y() + radius - 0.5).toPoint()))) << radius;
        EXPECT_TRUE(IsWhite(three.pixel(QPointF(c.x(), c.y() + 100).toPoint())));
        EXPECT_TRUE(IsWhite(three.pixel(c.toPoint())));
    }
    // Radius 180 touches the top and bottom edges.
    EXPECT_TRUE(IsLine(three.pixel(180, 0)));
    EXPECT_TRUE(IsLine(three.pixel(540, 359)));

    QImage one;
    DrawColorWheel(one, hist, kChartHueWheel);
    for (int j = 0; j < 60; ++j) {
        EXPECT_TRUE(Near(one.pixel(onWheel(QPointF(180, 180), j, 175)), hsv(j * 6, 99, 99), 3)) << j;
        EXPECT_TRUE(IsWhite(one.pixel(onWheel(QPointF(180, 180), j, 160)))) << j;
    }
    EXPECT_TRUE(IsLine(one.pixel(180, 180 + 150)));
}

TEST_F(ColorCharts, OtherKindsLeaveTheBitmapAlone)
{
    allCells(255, 0, 0);
    ProjectColorHistogram(hist, ws.mproject);
    for (int kind : {0, 15, 30}) {
        QImage img(5, 5, QImage::Format_ARGB32);
        img.fill(0xFF0000FF);
        DrawColorWheel(img, hist, kind);
        EXPECT_EQ(img.size(), QSize(5, 5));
        EXPECT_EQ(img.pixel(2, 2), 0xFF0000FFu);
    }
}
