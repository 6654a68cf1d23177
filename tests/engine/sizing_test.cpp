#include "engine/builtin_patterns.h"
#include "engine/patterns.h"
#include "engine/workspace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

class Sizing : public testing::Test {
protected:
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    TMosaicProject& prj = ws->mproject;
    TprojectCFG& cfg = ws->mproject.cfg;

    void grid(int cols, int rows, double cell, double gap)
    {
        cfg.ProjectPatternType = kPatternGrid;
        cfg.Hcc = cols;
        cfg.Vcc = rows;
        cfg.CellWdf = cfg.CellHtf = cell;
        cfg.CellgapwdF = cfg.CellgaphtF = gap;
    }
    void canvas(std::int32_t unit, double ppi)
    {
        const TPointF size = prj.GetProjectSize();
        cfg.FullWidthF = size.X;
        cfg.FullHeightF = size.Y;
        cfg.CanvasUnit = unit;
        cfg.CanvasPPI = ppi;
        cfg.PreviewBMPsize = 8000;
        cfg.CellPlanBMPsizeWD = 400;
        cfg.CellPlanBMPsizeHT = 300;
        prj.MainSize_Update();
    }
};

bool allFinite(const TprojectCFG& c)
{
    for (double v : {c.WidthPx, c.HeightPx, c.CanvasScale, c.CellPlanScale, c.PreviewScale, c.FullWidthPX,
                     c.FullHeightpx, c.CellWdPx, c.CellHtPx})
        if (!std::isfinite(v))
            return false;
    return true;
}

} // namespace

TEST_F(Sizing, SquareGridOfPixelCellsFillsTheWorkingCanvas)
{
    grid(48, 48, 60, 2);
    canvas(kUnitPixel, 300);
    EXPECT_FLOAT_EQ(cfg.FullWidthF, 2974);
    EXPECT_FLOAT_EQ(cfg.FullHeightF, 2974);
    EXPECT_DOUBLE_EQ(cfg.FullWidthPX, 2974);
    EXPECT_DOUBLE_EQ(cfg.FullHeightpx, 2974);
    EXPECT_DOUBLE_EQ(cfg.CellWdPx, 60);
    EXPECT_DOUBLE_EQ(cfg.CellgapwdPX, 2);
    EXPECT_EQ(cfg.WidthPx, 8000);
    EXPECT_EQ(cfg.HeightPx, 8000);
    EXPECT_DOUBLE_EQ(cfg.CanvasScale, 8000.0 / 2974.0);
    EXPECT_EQ(cfg.PreviewScale, 1.0);
    EXPECT_NEAR(cfg.CellPlanScale, 300.0 / 2974.0, 1e-6);
}

TEST_F(Sizing, LongerSideIsAlwaysThePreviewSize)
{
    struct Case {
        const char* name;
        std::int32_t unit;
        double ppi, w, h;
        double widthPx, heightPx, fullW;
    };
    const Case cases[] = {
        {"2:1 inch at 72 ppi", kUnitInch, 72, 20, 10, 8000, 4000, 1440},
        {"2:1 inch at 300 ppi", kUnitInch, 300, 20, 10, 8000, 4000, 6000},
        {"1:2 mm", kUnitMm, 100, 127, 254, 4000, 8000, 500},
        {"254 mm at 100 ppi", kUnitMm, 100, 254, 254, 8000, 8000, 1000},
        {"small pixel mosaic is scaled up", kUnitPixel, 96, 100, 25, 8000, 2000, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cfg.FullWidthF = c.w;
        cfg.FullHeightF = c.h;
        cfg.CanvasUnit = c.unit;
        cfg.CanvasPPI = c.ppi;
        cfg.PreviewBMPsize = 8000;
        cfg.CellPlanBMPsizeWD = 400;
        cfg.CellPlanBMPsizeHT = 400;
        prj.MainSize_Update();
        EXPECT_NEAR(cfg.FullWidthPX, c.fullW, 1e-9);
        EXPECT_NEAR(cfg.WidthPx, c.widthPx, 1e-3);
        EXPECT_NEAR(cfg.HeightPx, c.heightPx, 1e-3);
        EXPECT_NEAR(cfg.CanvasScale, c.widthPx / c.w, 1e-4);
        EXPECT_NEAR(cfg.CellPlanScale, c.widthPx / 20 / c.w, 1e-4);
    }
}

TEST_F(Sizing, ConvertsEveryRealSizeByTheUnit)
{
    struct Case {
        const char* name;
        std::int32_t unit;
        double ppi, real, pixels;
    };
    const Case cases[] = {
        {"inch", kUnitInch, 300, 2.5, 750},
        {"mm", kUnitMm, 100, 25.4, 100},
        {"pixel", kUnitPixel, 300, 37, 37},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cfg.CanvasUnit = c.unit;
        cfg.CanvasPPI = c.ppi;
        cfg.FullWidthF = cfg.FullHeightF = cfg.CellWdf = cfg.CellHtf = cfg.CellgapwdF = cfg.CellgaphtF = c.real;
        cfg.PreviewBMPsize = 8000;
        prj.MainSize_Update();
        for (double v : {cfg.FullWidthPX, cfg.FullHeightpx, cfg.CellWdPx, cfg.CellHtPx, cfg.CellgapwdPX,
                         cfg.cellgapHtpx})
            EXPECT_NEAR(v, c.pixels, 1e-9);
    }
}

TEST_F(Sizing, UnknownUnitKeepsThePixelSizes)
{
    cfg.CanvasUnit = 7;
    cfg.CanvasPPI = 300;
    cfg.FullWidthF = cfg.FullHeightF = 10;
    cfg.FullWidthPX = 400;
    cfg.FullHeightpx = 200;
    cfg.CellWdPx = 33;
    cfg.PreviewBMPsize = 8000;
    prj.MainSize_Update();
    EXPECT_EQ(cfg.FullWidthPX, 400);
    EXPECT_EQ(cfg.FullHeightpx, 200);
    EXPECT_EQ(cfg.CellWdPx, 33);
    EXPECT_NEAR(cfg.WidthPx, 8000, 1e-3);
    EXPECT_NEAR(cfg.HeightPx, 4000, 1e-3);
    EXPECT_NEAR(cfg.CanvasScale, 800, 1e-3);
}

TEST_F(Sizing, MosaicWithoutSizeGetsZeroCanvasAndScales)
{
    struct Case {
        const char* name;
        std::int32_t type;
        int cols, rows;
        int preview;
    };
    const Case cases[] = {
        {"no cells", kPatternGrid, 0, 0, 8000},
        {"no columns", kPatternGrid, 0, 5, 8000},
        {"unknown layout kind", 3, 5, 5, 8000},
        {"no preview size", kPatternGrid, 5, 5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        grid(c.cols, c.rows, 10, 1);
        cfg.ProjectPatternType = c.type;
        cfg.WidthPx = cfg.HeightPx = cfg.CanvasScale = cfg.CellPlanScale = 99;
        const TPointF size = prj.GetProjectSize();
        cfg.FullWidthF = size.X;
        cfg.FullHeightF = size.Y;
        cfg.CanvasUnit = kUnitPixel;
        cfg.PreviewBMPsize = c.preview;
        cfg.CellPlanBMPsizeWD = cfg.CellPlanBMPsizeHT = 0;
        prj.MainSize_Update();
        EXPECT_TRUE(allFinite(cfg));
        EXPECT_EQ(cfg.WidthPx, 0);
        EXPECT_EQ(cfg.HeightPx, 0);
        EXPECT_EQ(cfg.CanvasScale, 0);
        EXPECT_EQ(cfg.CellPlanScale, 0);
    }
}

TEST_F(Sizing, GridSizeRunsToTheFarEdgeOfTheOutermostCell)
{
    struct Case {
        const char* name;
        const char* pattern;
        int cols, rows;
        double cell, gap;
        float w, h;
    };
    const Case cases[] = {
        {"squares with gaps", "10_Rectangle.pat", 3, 2, 10, 1, 32, 21},
        {"hexagons", "60_hexagon.pat", 3, 2, 60, 0, 210, 105},
        {"one hexagon row", "60_hexagon.pat", 3, 1, 60, 0, 180, 60},
        {"triangles", "30_triangle_2.pat", 4, 1, 40, 0, 100, 40},
        {"flat hexagons with gaps", "61_hexagon.pat", 2, 2, 60, 2, 107, 152},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const BuiltinPattern& b : BuiltinPatterns())
            if (b.fileName == QLatin1String(c.pattern))
                prj.patterncfg = b.pattern;
        grid(c.cols, c.rows, c.cell, c.gap);
        const TPointF s = prj.GetProjectSize();
        EXPECT_FLOAT_EQ(s.X, c.w);
        EXPECT_FLOAT_EQ(s.Y, c.h);
    }
}

TEST_F(Sizing, CircleLayoutIsTheOuterDiameterPlusOneCell)
{
    cfg.ProjectPatternType = kPatternCircles;
    cfg.CircleCount = 2;
    cfg.Rstart = 100;
    cfg.Rinc = 64;
    cfg.CellWdf = 40;
    cfg.CellHtf = 64;
    const TPointF s = prj.GetProjectSize();
    EXPECT_FLOAT_EQ(s.X, 2 * 164 + 64);
    EXPECT_FLOAT_EQ(s.Y, 2 * 164 + 64);
}

TEST_F(Sizing, RingCellCountRoundsDownToTheDivisor)
{
    struct Case {
        const char* name;
        int ring;
        double rstart, rinc, space;
        int divisor, count;
    };
    const Case cases[] = {
        {"radius 100", 0, 100, 64, 64, 0, 9},
        {"radius 100 divisor 3", 0, 100, 64, 64, 3, 9},
        {"radius 100 divisor 4", 0, 100, 64, 64, 4, 8},
        {"radius 164", 1, 100, 64, 64, 0, 16},
        {"radius 164 divisor 3", 1, 100, 64, 64, 3, 15},
        {"negative divisor is ignored", 0, 100, 64, 64, -2, 9},
        {"no arc length", 0, 100, 64, 0, 0, 0},
        {"radius 0", 0, 0, 64, 64, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cfg.Rstart = c.rstart;
        cfg.Rinc = c.rinc;
        cfg.CellSpace = c.space;
        cfg.Commondivisor = c.divisor;
        EXPECT_EQ(prj.RingCellCount(c.ring), c.count);
    }
}

TEST_F(Sizing, CellCountFollowsTheLayoutKind)
{
    struct Case {
        const char* name;
        std::int32_t type;
        int count;
    };
    cfg.Hcc = 7;
    cfg.Vcc = 5;
    cfg.CircleCount = 2;
    cfg.Rstart = 100;
    cfg.Rinc = 64;
    cfg.CellSpace = 64;
    cfg.Commondivisor = 3;
    const Case cases[] = {{"grid", kPatternGrid, 35}, {"circles", kPatternCircles, 24}, {"other", 4, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cfg.ProjectPatternType = c.type;
        EXPECT_EQ(prj.GetProjectCellCount(), c.count);
    }
}

TEST_F(Sizing, CountsAndCellSizesConvertBothWays)
{
    cfg.WidthPx = 8000;
    cfg.HeightPx = 4000;
    prj.patterncfg.Hscale = 1.0f;
    prj.patterncfg.Vscale = 0.75f;
    cfg.Hcc = 40;
    cfg.Vcc = 20;
    prj.Cell_Counttosize();
    EXPECT_DOUBLE_EQ(cfg.CellWdPx, 200);
    EXPECT_NEAR(cfg.CellHtPx, 4000 / 0.75 / 20, 1e-9);

    cfg.CellWdPx = 190;
    cfg.CellHtPx = 300;
    prj.Cell_Sizetocount();
    EXPECT_EQ(cfg.Hcc, 42);
    EXPECT_EQ(cfg.Vcc, 17);
}

TEST_F(Sizing, CountConversionsStayWithinTheGrid)
{
    cfg.WidthPx = 8000;
    cfg.HeightPx = 8000;
    prj.patterncfg.Hscale = 1.0f;
    prj.patterncfg.Vscale = 1.0f;
    cfg.CellWdPx = 10; // 800 columns would not fit the 101 x 101 grid
    cfg.CellHtPx = 0;
    prj.Cell_Sizetocount();
    EXPECT_EQ(cfg.Hcc, 100);
    EXPECT_EQ(cfg.Vcc, 0);

    cfg.Hcc = 0;
    cfg.Vcc = 10;
    prj.patterncfg.Vscale = 0;
    prj.Cell_Counttosize();
    EXPECT_EQ(cfg.CellWdPx, 0);
    EXPECT_EQ(cfg.CellHtPx, 0);
}
