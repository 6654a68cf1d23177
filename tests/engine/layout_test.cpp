#include "engine/builtin_patterns.h"
#include "engine/patterns.h"
#include "engine/workspace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

// Returns the scripted values in turn (then 0) and records every bound asked for.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<int> values) : m_values(std::move(values)) {}
    int Random(int n) override
    {
        bounds.push_back(n);
        return m_next < m_values.size() ? m_values[m_next++] : 0;
    }
    void seed(std::uint32_t) override {}
    std::vector<int> bounds;

private:
    std::vector<int> m_values;
    std::size_t m_next = 0;
};

TpatternCfg builtin(const char* fileName)
{
    for (const BuiltinPattern& p : BuiltinPatterns())
        if (p.fileName == QLatin1String(fileName))
            return p.pattern;
    ADD_FAILURE() << "no built-in pattern " << fileName;
    return DefaultPattern();
}

// Angle difference folded into -pi..pi.
double angleDiff(double a, double b) { return std::remainder(a - b, 2 * kPi); }

class Layout : public testing::Test {
protected:
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    TMosaicProject& prj = ws->mproject;
    TprojectCFG& cfg = ws->mproject.cfg;

    void grid(const char* pattern, int cols, int rows, double cell, double gap)
    {
        prj.patterncfg = builtin(pattern);
        cfg.ProjectPatternType = kPatternGrid;
        cfg.Hcc = cols;
        cfg.Vcc = rows;
        cfg.CellWdf = cfg.CellHtf = cell;
        cfg.CellgapwdF = cfg.CellgaphtF = gap;
        cfg.CanvasScale = 2;
        prj.Cell_Reset();
    }

    // Rings around (200, 200) of cells 20 wide and 30 high.
    void rings(int count, double rstart, double rinc, double space, int divisor)
    {
        cfg.ProjectPatternType = kPatternCircles;
        cfg.Vcc = cfg.Hcc = 0;
        cfg.CircleCount = count;
        cfg.Rstart = rstart;
        cfg.Rinc = rinc;
        cfg.CellSpace = space;
        cfg.Commondivisor = divisor;
        cfg.CellWdf = 20;
        cfg.CellHtf = 30;
        cfg.FullWidthF = cfg.FullHeightF = 400;
        cfg.BaseTileShape = kShapeEllipse;
        cfg.CanvasScale = 0.5;
        prj.Cell_Reset();
    }

    void scribble()
    {
        for (auto& row : prj.Cells)
            for (TCell& c : row) {
                c.TileID = 5;
                c.enable = 0;
                c.PriLevel = 3;
                c.SplitLevel = 2;
                c.NewTypeCell = 0;
                c.ICinfo.ci1.rgb = 0x77777777u;
            }
        for (TCell& c : prj.AddonTiles) {
            c.TileID = 7;
            c.enable = 1;
            c.PriLevel = 0;
            c.SplitLevel = 4;
            c.NewTypeCell = 1;
        }
        cfg.AddonTilesCount = 99;
    }
};

} // namespace

TEST_F(Layout, GridCellTakesItsRectangleCentreAndOutline)
{
    grid("10_Rectangle.pat", 2, 2, 10, 1);
    const TCell& c = prj.Cells[1][1];
    EXPECT_FLOAT_EQ(c.CellRectReal.Left, 11);
    EXPECT_FLOAT_EQ(c.CellRectReal.Top, 11);
    EXPECT_FLOAT_EQ(c.CellRectReal.Right, 21);
    EXPECT_FLOAT_EQ(c.CellRectReal.Bottom, 21);
    EXPECT_FLOAT_EQ(c.CellCenterReal.X, 16);
    EXPECT_FLOAT_EQ(c.CellCenterReal.Y, 16);
    EXPECT_EQ(c.CellX, 1);
    EXPECT_EQ(c.CellY, 1);
    EXPECT_EQ(c.CellShape, 1);
    EXPECT_FLOAT_EQ(c.CellRect.Left, 22);
    EXPECT_FLOAT_EQ(c.CellRect.Bottom, 42);
    ASSERT_EQ(c.CellPolyReal.Count, 4);
    EXPECT_FLOAT_EQ(c.CellPolyReal.pt[0].X, 11);
    EXPECT_FLOAT_EQ(c.CellPolyReal.pt[0].Y, 11);
    EXPECT_FLOAT_EQ(c.CellPolyReal.pt[2].X, 21);
    EXPECT_FLOAT_EQ(c.CellPolyReal.pt[2].Y, 21);
    EXPECT_EQ(prj.Cells[0][1].CellX, 1);
    EXPECT_EQ(prj.Cells[0][1].CellY, 0);
}

TEST_F(Layout, GridTakesShapeAndRotationFromThePattern)
{
    TpatternCfg p = builtin("30_triangle_2.pat");
    p.CellGroup[0][1].Rotate = 0.5f;
    prj.patterncfg = p;
    cfg.ProjectPatternType = kPatternGrid;
    cfg.Hcc = 3;
    cfg.Vcc = 1;
    cfg.CellWdf = cfg.CellHtf = 40;
    prj.Cell_Reset();
    EXPECT_EQ(prj.Cells[0][0].CellShape, 30);
    EXPECT_EQ(prj.Cells[0][1].CellShape, 32);
    EXPECT_EQ(prj.Cells[0][2].CellShape, 30);
    EXPECT_FLOAT_EQ(prj.Cells[0][1].CellRectReal.Left, 20);
    EXPECT_EQ(prj.Cells[0][1].Rotate, static_cast<double>(0.5f));
    EXPECT_EQ(prj.Cells[0][0].Rotate, 0.0);
    // Apex down, rotated by 0.5 about the centre (40, 20): the apex (0, 20) relative.
    const TPointF apex = prj.Cells[0][1].CellPolyReal.pt[0];
    EXPECT_NEAR(apex.X, 40 - 20 * std::sin(0.5), 1e-4);
    EXPECT_NEAR(apex.Y, 20 + 20 * std::cos(0.5), 1e-4);
}

TEST_F(Layout, ResetsEveryLaidOutCellAndEveryAddonCell)
{
    scribble();
    grid("60_hexagon.pat", 4, 3, 30, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            SCOPED_TRACE(testing::Message() << "row " << y << " column " << x);
            const TCell& c = prj.Cells[y][x];
            EXPECT_EQ(c.TileID, -1);
            EXPECT_EQ(c.enable, 1);
            EXPECT_EQ(c.PriLevel, 1);
            EXPECT_EQ(c.SplitLevel, 0);
            EXPECT_EQ(c.NewTypeCell, 1);
            EXPECT_EQ(c.ICinfo.ci1.rgb, 0x77777777u); // colours are read later, not reset
        }
    // Outside the laid-out block nothing changes.
    EXPECT_EQ(prj.Cells[3][0].TileID, 5);
    EXPECT_EQ(prj.Cells[0][4].enable, 0);
    EXPECT_EQ(cfg.AddonTilesCount, 0);
    for (int i = 0; i < kAddonCapacity; ++i) {
        const TCell& c = prj.AddonTiles[i];
        ASSERT_EQ(c.enable, 0) << i;
        ASSERT_EQ(c.TileID, -1) << i;
        ASSERT_EQ(c.PriLevel, 1) << i;
        ASSERT_EQ(c.SplitLevel, 0) << i;
        ASSERT_EQ(c.NewTypeCell, 0) << i;
    }
}

TEST_F(Layout, UnknownLayoutKindOnlyResetsTheAddonCells)
{
    scribble();
    cfg.ProjectPatternType = 5;
    cfg.Hcc = cfg.Vcc = 3;
    prj.Cell_Reset();
    EXPECT_EQ(prj.Cells[0][0].TileID, 5);
    EXPECT_EQ(cfg.AddonTilesCount, 0);
    EXPECT_EQ(prj.AddonTiles[0].enable, 0);
}

TEST_F(Layout, RingsHoldTheirCellCountsTangentToTheRing)
{
    scribble();
    rings(2, 100, 64, 64, 3);
    ASSERT_EQ(cfg.AddonTilesCount, 24);
    EXPECT_EQ(prj.Cells[0][0].TileID, 5); // grid untouched
    for (int i = 0; i < 24; ++i) {
        SCOPED_TRACE(i);
        const TCell& c = prj.AddonTiles[i];
        const double radius = i < 9 ? 100 : 164;
        const double dx = c.CellCenterReal.X - 200.0, dy = c.CellCenterReal.Y - 200.0;
        EXPECT_NEAR(std::hypot(dx, dy), radius, 1e-3);
        EXPECT_NEAR(angleDiff(c.Rotate, std::atan2(dy, dx) + kPi / 2), 0, 1e-5);
        EXPECT_EQ(c.CellAID, i);
        EXPECT_EQ(c.CellShape, kShapeEllipse);
        EXPECT_EQ(c.TileID, -1);
        EXPECT_EQ(c.enable, 1);
        EXPECT_EQ(c.PriLevel, 1);
        EXPECT_EQ(c.NewTypeCell, 1);
        EXPECT_NEAR(c.CellRectReal.Left, c.CellCenterReal.X - 10, 1e-4);
        EXPECT_NEAR(c.CellRectReal.Bottom, c.CellCenterReal.Y + 15, 1e-4);
        EXPECT_NEAR(c.CellRect.Right, c.CellRectReal.Right * 0.5, 1e-4);
        EXPECT_EQ(c.CellPolyReal.Count, 0); // the ellipse has no outline points
    }
    // Consecutive cells of a ring are one step apart.
    EXPECT_NEAR(angleDiff(prj.AddonTiles[1].Rotate - prj.AddonTiles[0].Rotate, 2 * kPi / 9), 0, 1e-9);
    EXPECT_NEAR(angleDiff(prj.AddonTiles[10].Rotate - prj.AddonTiles[9].Rotate, 2 * kPi / 15), 0, 1e-9);
    EXPECT_EQ(prj.AddonTiles[24].enable, 0);
}

TEST_F(Layout, EachRingDrawsOnePhaseOfWholeDegrees)
{
    ScriptedRandom random({90, 0, 45});
    ws->setRandom(random);
    cfg.RotateStart = 0.25;
    cfg.RotateStep = 0.125;
    // Ring 0 has radius 0 and no cells but still draws its phase.
    rings(3, 0, 100, 64, 0);
    EXPECT_EQ(random.bounds, (std::vector<int>{180, 180, 180}));
    ASSERT_EQ(cfg.AddonTilesCount, 9 + 19);
    // Ring 1 with phase 0: its first cell lies on the positive x axis.
    EXPECT_NEAR(prj.AddonTiles[0].CellCenterReal.X, 300, 1e-3);
    EXPECT_NEAR(prj.AddonTiles[0].CellCenterReal.Y, 200, 1e-3);
    EXPECT_NEAR(prj.AddonTiles[0].Rotate, 0.25 + kPi / 2, 1e-12);
    EXPECT_NEAR(prj.AddonTiles[1].Rotate, 2 * kPi / 9 + 0.25 + 0.125 + kPi / 2, 1e-12);
    // Ring 2 with phase 45 degrees.
    const TCell& c = prj.AddonTiles[9];
    EXPECT_NEAR(c.CellCenterReal.X, 200 + 200 * std::cos(kPi / 4), 1e-3);
    EXPECT_NEAR(c.CellCenterReal.Y, 200 + 200 * std::sin(kPi / 4), 1e-3);
    EXPECT_NEAR(c.Rotate, kPi / 4 + 0.25 + kPi / 2, 1e-12);
}

TEST_F(Layout, RingsStopWhenTheAddonListIsFull)
{
    rings(40, 1000, 100, 10, 0); // far more than 5001 cells
    EXPECT_GT(prj.GetProjectCellCount(), 5001);
    EXPECT_EQ(cfg.AddonTilesCount, 5001);
    EXPECT_EQ(prj.AddonTiles[5000].enable, 1);
    EXPECT_EQ(prj.AddonTiles[5000].CellAID, 5000);
}

TEST_F(Layout, NoRingsLayNoCells)
{
    rings(0, 100, 64, 64, 0);
    EXPECT_EQ(cfg.AddonTilesCount, 0);
}

TEST_F(Layout, GridHitTestIncludesLeftAndTopEdges)
{
    grid("10_Rectangle.pat", 2, 2, 10, 0);
    struct Case {
        const char* name;
        float x, y; // real units; the view has scale 3
        int col, row;
    };
    const Case cases[] = {
        {"inside the first", 5, 5, 0, 0},
        {"shared vertical edge selects the right", 10, 5, 1, 0},
        {"shared horizontal edge selects below", 5, 10, 0, 1},
        {"shared corner", 10, 10, 1, 1},
        {"just left of the edge", 9.99f, 5, 0, 0},
        {"right edge of the grid is outside", 20, 5, -1, -1},
        {"bottom edge of the grid is outside", 5, 20, -1, -1},
        {"left of the grid", -0.01f, 5, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TPoint p = prj.Cell_GetIdByMouse(c.x * 3, c.y * 3, 3);
        EXPECT_EQ(p.X, c.col);
        EXPECT_EQ(p.Y, c.row);
    }
}

TEST_F(Layout, OverlappingCellsGoToTheNearestCentre)
{
    grid("60_hexagon.pat", 2, 2, 60, 0);
    struct Case {
        const char* name;
        float x, y;
        int col, row;
    };
    // Column 0 row 0 spans (0, 0)-(60, 60), column 0 row 1 spans (30, 45)-(90, 105).
    const Case cases[] = {
        {"nearer the upper", 40, 50, 0, 0},
        {"nearer the lower", 50, 58, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TPoint p = prj.Cell_GetIdByMouse(c.x, c.y, 1);
        EXPECT_EQ(p.X, c.col);
        EXPECT_EQ(p.Y, c.row);
    }
}

TEST_F(Layout, GridHitTestSkipsDisabledCellsAndKeepsTheFirstOnTies)
{
    grid("10_Rectangle.pat", 2, 1, 10, 0);
    prj.Cells[0][1].CellRectReal = prj.Cells[0][0].CellRectReal;
    EXPECT_EQ(prj.Cell_GetIdByMouse(5, 5, 1).X, 0);
    prj.Cells[0][0].enable = 0;
    EXPECT_EQ(prj.Cell_GetIdByMouse(5, 5, 1).X, 1);
    prj.Cells[0][1].enable = 0;
    EXPECT_EQ(prj.Cell_GetIdByMouse(5, 5, 1).X, -1);
    EXPECT_EQ(prj.Cell_GetIdByMouse(5, 5, 0).X, -1); // a view without scale hits nothing
}

TEST_F(Layout, AddonHitsFollowTheNearestCentreOrTheContainingCell)
{
    ScriptedRandom random({0});
    ws->setRandom(random);
    rings(1, 100, 64, 64, 0); // 9 cells, cell 0 centred at (300, 200), 20 x 30
    ASSERT_EQ(cfg.AddonTilesCount, 9);
    struct Case {
        const char* name;
        float x, y;
        TPoint byMouse;
        int addon;
    };
    const Case cases[] = {
        {"inside cell 0", 305, 210, {0, -1}, 0},
        {"right edge of cell 0 is outside it", 310, 200, {0, -1}, -1},
        {"left edge of cell 0 is inside it", 290, 200, {0, -1}, 0},
        {"outside every cell", 340, 200, {0, -1}, -1},
        {"the ring's centre", 200, 201, {2, -1}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TPoint p = prj.Cell_GetIdByMouse(c.x * 2, c.y * 2, 2);
        if (c.byMouse.X == 2) {
            // Nearest of the nine: the first cell with a centre below the point's row.
            EXPECT_GE(p.X, 0);
            EXPECT_GT(prj.AddonTiles[p.X].CellCenterReal.Y, 200);
        } else {
            EXPECT_EQ(p.X, c.byMouse.X);
        }
        EXPECT_EQ(p.Y, -1);
        EXPECT_EQ(prj.Cell_GetAddonIdByMouse(c.x * 2, c.y * 2, 2), c.addon);
    }
    // Disabled ring cells are still found by the nearest centre.
    prj.AddonTiles[0].enable = 0;
    EXPECT_EQ(prj.Cell_GetIdByMouse(340, 200, 1).X, 0);
    cfg.AddonTilesCount = 0;
    EXPECT_EQ(prj.Cell_GetAddonIdByMouse(305, 210, 1), -1);
    EXPECT_EQ(prj.Cell_GetIdByMouse(305, 210, 1).X, -1);
}

TEST(ScaleRect, MultipliesEveryEdge)
{
    const TRectF r = ScaleRect(TRectF{1, -2, 3.5f, 4}, 2.5);
    EXPECT_FLOAT_EQ(r.Left, 2.5f);
    EXPECT_FLOAT_EQ(r.Top, -5);
    EXPECT_FLOAT_EQ(r.Right, 8.75f);
    EXPECT_FLOAT_EQ(r.Bottom, 10);
}
