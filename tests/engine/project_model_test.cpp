#include "engine/patterns.h"
#include "engine/workspace.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <numbers>

TEST(TMosaicProject, StartsEmptyWithTheDefaultPattern)
{
    auto ws = std::make_unique<Workspace>();
    const TMosaicProject& prj = ws->mproject;
    for (int y = 0; y < kGridCapacity; ++y)
        for (int x = 0; x < kGridCapacity; ++x)
            ASSERT_EQ(prj.Cells[y][x].TileID, -1) << y << "," << x;
    EXPECT_EQ(prj.cfg.searchDone, 0);
    EXPECT_EQ(prj.cfg.Vcc, 0);
    EXPECT_FALSE(prj.Rendered);
    const TpatternCfg def = DefaultPattern();
    EXPECT_EQ(std::memcmp(&prj.patterncfg, &def, sizeof def), 0);
    EXPECT_EQ(prj.patterncfg.CellGroup[0][0].Shape, 1);
}

TEST(TMosaicProject, ClearEmptiesEveryGridCellOnly)
{
    auto ws = std::make_unique<Workspace>();
    TMosaicProject& prj = ws->mproject;
    prj.Cells[100][100].TileID = 3;
    prj.Cells[0][0].TileID = 4;
    prj.AddonTiles[0].TileID = 5;
    prj.cfg.searchDone = 1;
    prj.cfg.Vcc = 7;
    prj.clear();
    EXPECT_EQ(prj.Cells[100][100].TileID, -1);
    EXPECT_EQ(prj.Cells[0][0].TileID, -1);
    EXPECT_EQ(prj.AddonTiles[0].TileID, 5);
    EXPECT_EQ(prj.cfg.searchDone, 0);
    EXPECT_EQ(prj.cfg.Vcc, 7);
}

TEST(TMosaicProject, SetTileRTurnsByThirtyDegreeSteps)
{
    struct Case {
        const char* name;
        int rid;
        double rotate;
    };
    const Case cases[] = {
        {"upright", 0, 0.0},
        {"quarter turn", 3, std::numbers::pi / 2},
        {"one step", 1, std::numbers::pi / 6},
        {"eleven steps", 11, 11 * std::numbers::pi / 6},
    };
    auto ws = std::make_unique<Workspace>();
    TMosaicProject& prj = ws->mproject;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TCell& cell = prj.Cells[0][0];
        cell.Rotate = 9;
        prj.Cell_SetTile_R(cell, 2, c.rid);
        EXPECT_NEAR(cell.Rotate, c.rotate, 1e-15);
        EXPECT_EQ(cell.TileID, 2);
    }
    EXPECT_EQ(ws->mtilelib.items[2].Usecount, 4);
}

TEST(TMosaicProject, SetTileCountsUsesAndNeverReleasesThem)
{
    auto ws = std::make_unique<Workspace>();
    TMosaicProject& prj = ws->mproject;
    prj.Cell_SetTile(prj.Cells[0][0], 4);
    prj.Cell_SetTile(prj.Cells[0][1], 4);
    EXPECT_EQ(ws->mtilelib.items[4].Usecount, 2);
    prj.Cell_SetTile(prj.Cells[0][1], 6);
    EXPECT_EQ(prj.Cells[0][1].TileID, 6);
    EXPECT_EQ(ws->mtilelib.items[4].Usecount, 2);
    EXPECT_EQ(ws->mtilelib.items[6].Usecount, 1);
    const double rotate = prj.Cells[0][0].Rotate;
    prj.Cell_SetTile(prj.Cells[0][0], 4);
    EXPECT_EQ(prj.Cells[0][0].Rotate, rotate);
}

TEST(TMosaicProject, ClearTileIDTouchesOnlyTheCellsInUse)
{
    struct Case {
        const char* name;
        int addons;
    };
    const Case cases[] = {{"no add-on cells", 0}, {"three add-on cells", 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto ws = std::make_unique<Workspace>();
        TMosaicProject& prj = ws->mproject;
        for (auto& row : prj.Cells)
            for (TCell& cell : row)
                cell.TileID = 8;
        for (TCell& cell : prj.AddonTiles)
            cell.TileID = 9;
        prj.cfg.Vcc = 2;
        prj.cfg.Hcc = 3;
        prj.cfg.AddonTilesCount = c.addons;
        prj.cell_ClearTileID();
        EXPECT_EQ(prj.Cells[1][2].TileID, -1);
        EXPECT_EQ(prj.Cells[0][0].TileID, -1);
        EXPECT_EQ(prj.Cells[2][0].TileID, 8);
        EXPECT_EQ(prj.Cells[0][3].TileID, 8);
        for (int i = 0; i < kAddonCapacity; ++i)
            ASSERT_EQ(prj.AddonTiles[i].TileID, i < c.addons ? -1 : 9) << i;
    }
}
