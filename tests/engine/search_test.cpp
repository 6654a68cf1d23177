#include "engine/builtin_patterns.h"
#include "engine/main_image.h"
#include "imaging/color_convert.h"

#include "tests/engine/search_fixtures.h"
#include "tests/support/tilelib_fixtures.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <set>
#include <vector>

namespace {

class Search : public testing::Test {
protected:
    CountingShell shell;
    CountingPump pump;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>(Platform{&pump, nullptr, &shell, nullptr}, 7u);
    TMosaicProject& prj = ws->mproject;
    TTilelib& lib = ws->mtilelib;

    void SetUp() override { ws->moptions = PlainOptions(); }

    int filledCells() const
    {
        int n = 0;
        for (int y = 0; y < prj.cfg.Vcc; ++y)
            for (int x = 0; x < prj.cfg.Hcc; ++x)
                n += prj.Cells[y][x].TileID >= 0;
        for (int i = 0; i < prj.cfg.AddonTilesCount; ++i)
            n += prj.AddonTiles[i].TileID >= 0;
        return n;
    }
    int useCountSum() const
    {
        int n = 0;
        for (int t = 0; t < lib.Count; ++t)
            n += lib.items[t].Usecount;
        return n;
    }
};

TEST_F(Search, AnEmptyLibraryPlacesNothingAndEveryAddOnAttemptBeeps)
{
    SetUpGrid(prj, 4, 3);
    prj.Search_withoptions();
    EXPECT_EQ(filledCells(), 0);
    EXPECT_EQ(shell.beeps, 0); // grid cells do not beep
    EXPECT_TRUE(prj.cfg.searchDone);

    struct Case {
        const char* name;
        bool scanline;
        std::vector<int> priorities;
        int beeps;
    };
    const Case cases[] = {
        {"random, one priority", false, {1, 1, 1, 1, 1}, 5},
        {"scan-line, one priority", true, {1, 1, 1, 1, 1}, 5},
        // Each pass makes AddonTilesCount attempts, each finding a waiting cell.
        {"two priorities", false, {0, 1, 0, 1, 1}, 10},
        {"priority 3 is never visited", false, {3, 3, 2, 3, 3}, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUpAddons(prj, 5);
        for (int i = 0; i < 5; ++i)
            prj.AddonTiles[i].PriLevel = c.priorities[i];
        ws->moptions.ScanlineSearch = c.scanline;
        shell.beeps = 0;
        prj.Search_withoptions();
        EXPECT_EQ(filledCells(), 0);
        EXPECT_EQ(shell.beeps, c.beeps);
    }
}

TEST_F(Search, RandomLevelOneGivesEveryCellItsBestCandidate)
{
    SetUpGrid(prj, 3, 2);
    const int colours[6][3] = {{250, 0, 0}, {0, 240, 0}, {0, 0, 230}, {10, 240, 10}, {240, 10, 10}, {5, 5, 240}};
    AddTile(lib, 0, 0, 255);   // 0 blue
    AddTile(lib, 255, 0, 0);   // 1 red
    AddTile(lib, 0, 255, 0);   // 2 green
    AddTile(lib, 128, 128, 0); // 3 olive, never best
    for (int i = 0; i < 6; ++i)
        prj.Cells[i / 3][i % 3].ICinfo = UniformInfo(colours[i][0], colours[i][1], colours[i][2]);
    const int expected[6] = {1, 2, 0, 2, 1, 0};
    for (bool scanline : {true, false}) {
        SCOPED_TRACE(scanline ? "scan-line" : "random");
        SetUpGrid(prj, 3, 2);
        for (int i = 0; i < 6; ++i)
            prj.Cells[i / 3][i % 3].ICinfo = UniformInfo(colours[i][0], colours[i][1], colours[i][2]);
        ws->moptions.ScanlineSearch = scanline;
        prj.Search_withoptions();
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(prj.Cells[i / 3][i % 3].TileID, expected[i]) << "cell " << i;
    }
}

TEST_F(Search, OneTileWithRepeatMaxOneFillsOneCell)
{
    SetUpGrid(prj, 4, 4);
    AddTile(lib, 128, 128, 128);
    ws->moptions.RepeatMaxOn = 1;
    ws->moptions.RepeatMax = 1;
    for (bool scanline : {true, false}) {
        SCOPED_TRACE(scanline ? "scan-line" : "random");
        SetUpGrid(prj, 4, 4);
        lib.ZeroUsecount();
        ws->moptions.ScanlineSearch = scanline;
        prj.Search_withoptions();
        EXPECT_EQ(filledCells(), 1);
        EXPECT_EQ(lib.items[0].Usecount, 1);
    }
    // In scan-line order it is the first cell.
    SetUpGrid(prj, 4, 4);
    lib.ZeroUsecount();
    ws->moptions.ScanlineSearch = 1;
    prj.Search_withoptions();
    EXPECT_EQ(prj.Cells[0][0].TileID, 0);
}

TEST_F(Search, RepeatRadiusOneKeepsEqualTilesApartInAScanlineSearch)
{
    SetUpGrid(prj, 8, 7);
    // Nine tiles of nearly the same grey: with RandomLevel 1 only the radius keeps the
    // best one from filling every cell.
    for (int t = 0; t < 9; ++t)
        AddTile(lib, 120 + t, 120 + t, 120 + t);
    ws->moptions.RepeatRadiusOn = 1;
    ws->moptions.RepeatRadius = 1;
    prj.Search_withoptions();
    EXPECT_EQ(filledCells(), 56);
    std::set<int> used;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 8; ++x) {
            const int tile = prj.Cells[y][x].TileID;
            used.insert(tile);
            // Neighbours filled before: the row above and the cell to the left.
            for (int dy = -1; dy <= 0; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    if ((dy == 0 && dx >= 0) || y + dy < 0 || x + dx < 0 || x + dx >= 8) continue;
                    EXPECT_NE(prj.Cells[y + dy][x + dx].TileID, tile) << "cell " << x << "," << y;
                }
        }
    EXPECT_GE(used.size(), 4u);
}

TEST_F(Search, TheRepeatRadiusIsASquareAndRepeatMaxCountsUses)
{
    SetUpGrid(prj, 5, 5);
    AddTile(lib, 1, 2, 3);
    AddTile(lib, 1, 2, 3);
    prj.Cells[0][4].TileID = 1; // two columns, two rows away from (2, 2)
    ws->moptions.RepeatRadiusOn = 1;
    struct Case {
        const char* name;
        int radius;
        bool available;
    };
    const Case cases[] = {{"radius 1", 1, true},
                          {"radius 2 reaches the corner", 2, false},
                          {"radius 0", 0, true},
                          {"huge radius", 2147483647, false},
                          {"negative radius", -2147483647, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ws->moptions.RepeatRadius = c.radius;
        EXPECT_EQ(prj.TileAvailabilityCheck(prj.Cells[2][2], 1), c.available);
        EXPECT_TRUE(prj.TileAvailabilityCheck(prj.Cells[2][2], 0));
    }
    // A position a damaged file could hold looks at no cell outside the grid.
    TCell stray = prj.Cells[2][2];
    stray.CellX = stray.CellY = 2147483647;
    ws->moptions.RepeatRadius = -2147483647;
    EXPECT_TRUE(prj.TileAvailabilityCheck(stray, 1));
    ws->moptions.RepeatRadius = 2147483647;
    EXPECT_FALSE(prj.TileAvailabilityCheck(stray, 1));

    ws->moptions.RepeatRadiusOn = 0;
    ws->moptions.RepeatMaxOn = 1;
    ws->moptions.RepeatMax = 2;
    lib.items[0].Usecount = 1;
    EXPECT_TRUE(prj.TileAvailabilityCheck(prj.Cells[2][2], 0));
    lib.items[0].Usecount = 2;
    EXPECT_FALSE(prj.TileAvailabilityCheck(prj.Cells[2][2], 0));
    // Indices outside the library are never available.
    EXPECT_FALSE(prj.TileAvailabilityCheck(prj.Cells[2][2], -1));
    EXPECT_FALSE(prj.TileAvailabilityCheck(prj.Cells[2][2], 2));
}

TEST_F(Search, TheAddOnRepeatRadiusFollowsTheRingOrder)
{
    SetUpAddons(prj, 6);
    AddTile(lib, 1, 2, 3);
    prj.AddonTiles[5].TileID = 0;
    ws->moptions.RepeatRadiusOn = 1;
    ws->moptions.RepeatRadius = 2;
    EXPECT_TRUE(prj.TileAvailabilityCheck(prj.AddonTiles[2], 0));
    EXPECT_FALSE(prj.TileAvailabilityCheck(prj.AddonTiles[3], 0));
}

TEST_F(Search, PriorityThreeCellsStayEmpty)
{
    SetUpGrid(prj, 4, 4);
    for (int t = 0; t < 5; ++t)
        AddTile(lib, 40 * t, 100, 100);
    const int never[] = {0, 5, 10, 15};
    for (int i : never)
        prj.Cells[i / 4][i % 4].PriLevel = kPriorityNever;
    prj.Cells[1][2].PriLevel = kPriorityHigh;
    prj.Cells[3][0].PriLevel = kPriorityLow;
    for (bool scanline : {true, false}) {
        SCOPED_TRACE(scanline ? "scan-line" : "random");
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                prj.Cells[y][x].TileID = -1;
        ws->moptions.ScanlineSearch = scanline;
        prj.Search_withoptions();
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const bool isNever = prj.Cells[y][x].PriLevel == kPriorityNever;
                EXPECT_EQ(prj.Cells[y][x].TileID == -1, isNever) << "cell " << x << "," << y;
            }
    }
    // The placement passes ignore the priority.
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            prj.Cells[y][x].TileID = -1;
            prj.Cells[y][x].PriLevel = kPriorityNever;
        }
    ws->moptions.UseAll = 1;
    prj.Search_withoptions();
    EXPECT_EQ(filledCells(), 5);
}

TEST_F(Search, DisabledCellsAndDisabledTilesTakeNoPart)
{
    SetUpGrid(prj, 3, 1);
    AddTile(lib, 200, 0, 0);
    AddTile(lib, 0, 0, 200);
    prj.Cells[0][0].ICinfo = UniformInfo(200, 0, 0);
    prj.Cells[0][1].enable = 0;
    lib.ItemEnable[0] = 0;
    prj.Search_withoptions();
    EXPECT_EQ(prj.Cells[0][0].TileID, 1); // the red tile is disabled
    EXPECT_EQ(prj.Cells[0][1].TileID, -1);
    EXPECT_EQ(prj.Cells[0][2].TileID, 1);
}

TEST_F(Search, UseAllWithMoreTilesThanCellsSkipsTheSurplus)
{
    SetUpGrid(prj, 2, 2);
    for (int t = 0; t < 10; ++t)
        AddTile(lib, 25 * t, 25 * t, 25 * t);
    ws->moptions.UseAll = 1;
    prj.Search_withoptions();
    EXPECT_EQ(filledCells(), 4);
    EXPECT_EQ(useCountSum(), 4);
    // The first four tiles claim the cells; the rest find none free.
    for (int t = 0; t < 10; ++t)
        EXPECT_EQ(lib.items[t].Usecount, t < 4 ? 1 : 0) << t;
}

TEST_F(Search, RepeatMinWithUseAllMakesRepeatMinPlacementPassesInAll)
{
    struct Case {
        const char* name;
        bool useAll;
        int repeatMin;
        int uses;           // per tile
        int repeatMinAfter; // moptions.RepeatMin after the search
    };
    const Case cases[] = {
        {"UseAll and RepeatMin 3", true, 3, 3, 2},
        {"RepeatMin 2 alone", false, 2, 2, 2},
        {"UseAll and RepeatMin 1", true, 1, 1, 0},
        {"RepeatMin 0 alone", false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUpGrid(prj, 10, 10);
        lib.Count = 0;
        for (int t = 0; t < 5; ++t)
            AddTile(lib, 50 * t, 20, 20);
        // No cell is visited by the priority passes, so only the placements show.
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                prj.Cells[y][x].PriLevel = kPriorityNever;
        ws->moptions.UseAll = c.useAll;
        ws->moptions.RepeatMinOn = 1;
        ws->moptions.RepeatMin = c.repeatMin;
        prj.Search_withoptions();
        for (int t = 0; t < 5; ++t)
            EXPECT_EQ(lib.items[t].Usecount, c.uses) << t;
        EXPECT_EQ(filledCells(), 5 * c.uses);
        EXPECT_EQ(ws->moptions.RepeatMin, c.repeatMinAfter);
    }
}

TEST_F(Search, PlacementPassesStartAtARandomCellAndWrap)
{
    ScriptedRandom random({2, 1, 0, 0, 1, 1});
    ws->setRandom(random);
    SetUpGrid(prj, 3, 2);
    AddTile(lib, 128, 128, 128); // every cell equally good
    AddTile(lib, 128, 128, 128);
    AddTile(lib, 128, 128, 128);
    prj.Search_Pos_for_tile();
    EXPECT_EQ((std::vector<int>{3, 2, 3, 2, 3, 2}), random.bounds); // ox then oy, per tile
    EXPECT_EQ(prj.Cells[1][2].TileID, 0);                           // the scan starts at (x 2, y 1)
    EXPECT_EQ(prj.Cells[0][0].TileID, 1);                           // (0, 0)
    // (1, 1) is free and met first from there.
    EXPECT_EQ(prj.Cells[1][1].TileID, 2);
    // Rotation untouched, no error diffused: the placement pass only spreads tiles.
    EXPECT_EQ(prj.Cells[1][1].Rotate, 0);
}

TEST_F(Search, ThePlacementPassTakesTheCellWithTheSmallestDifference)
{
    SetUpGrid(prj, 3, 3);
    prj.Cells[2][1].ICinfo = UniformInfo(250, 10, 10);
    prj.Cells[0][2].ICinfo = UniformInfo(200, 60, 60);
    AddTile(lib, 255, 0, 0);
    lib.ItemEnable[0] = 0; // the placement pass ignores the enable flags
    prj.Search_Pos_for_tile();
    EXPECT_EQ(prj.Cells[2][1].TileID, 0);
    EXPECT_EQ(filledCells(), 1);
}

TEST_F(Search, RandomOrderDrawsAStartPerAttemptThenAChoice)
{
    ScriptedRandom random({4, 0, 4, 0, 7});
    ws->setRandom(random);
    SetUpGrid(prj, 3, 3);
    AddTile(lib, 128, 128, 128);
    AddTile(lib, 129, 129, 129);
    ws->moptions.ScanlineSearch = 0;
    ws->moptions.RandomLevel = 15;
    ws->moptions.RepeatMaxOn = 1;
    ws->moptions.RepeatMax = 1;
    prj.TSL_Search_Tile_for_pos_Random(kPriorityNormal);
    // Attempt 1: start 4, cell 4 takes candidate 0 of min(2, 15). Attempt 2: start 4 is
    // taken, so cell 5 takes candidate 0 of the one left. Then nothing is available.
    ASSERT_GE(random.bounds.size(), 4u);
    EXPECT_EQ(random.bounds[0], 9);
    EXPECT_EQ(random.bounds[1], 2);
    EXPECT_EQ(random.bounds[2], 9);
    EXPECT_EQ(random.bounds[3], 1);
    EXPECT_EQ(random.bounds.size(), 2u + 9u); // the other 7 attempts draw only a start
    EXPECT_EQ(prj.Cells[1][1].TileID, 0);
    EXPECT_EQ(prj.Cells[1][2].TileID, 1);
    EXPECT_EQ(filledCells(), 2);
}

TEST_F(Search, TheChoiceIsAmongTheRandomLevelBestCandidates)
{
    ScriptedRandom random({2});
    ws->setRandom(random);
    SetUpGrid(prj, 1, 1);
    prj.Cells[0][0].ICinfo = UniformInfo(100, 100, 100);
    AddTile(lib, 130, 130, 130); // rank 2
    AddTile(lib, 100, 100, 100); // rank 0
    AddTile(lib, 110, 110, 110); // rank 1
    AddTile(lib, 200, 200, 200); // rank 3
    ws->moptions.RandomLevel = 3;
    prj.TSL_Search_Tile_for_pos_Scanline(kPriorityNormal);
    EXPECT_EQ(random.bounds, std::vector<int>{3});
    EXPECT_EQ(prj.Cells[0][0].TileID, 0);
}

TEST_F(Search, ScanlineAddOnsDrawNoStartAndKeepTheirRotation)
{
    ScriptedRandom random;
    ws->setRandom(random);
    SetUpAddons(prj, 4);
    AddTile(lib, 128, 128, 128);
    ws->moptions.RandomLevel = 5;
    prj.Search_Tile_for_AddOn(/*randomsearch=*/false, kPriorityNormal);
    EXPECT_EQ(random.bounds, (std::vector<int>{1, 1, 1, 1}));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(prj.AddonTiles[i].TileID, 0);
        EXPECT_DOUBLE_EQ(prj.AddonTiles[i].Rotate, 0.25 * i + 0.1);
    }
    EXPECT_EQ(lib.items[0].Usecount, 4);

    random.bounds.clear();
    SetUpAddons(prj, 4);
    prj.Search_Tile_for_AddOn(/*randomsearch=*/true, kPriorityNormal);
    EXPECT_EQ(random.bounds, (std::vector<int>{4, 1, 4, 1, 4, 1, 4, 1}));
}

TEST_F(Search, AFilledGridCellTakesTheRotationOfItsCandidate)
{
    SetUpGrid(prj, 2, 1);
    prj.Cells[0][0].Rotate = 1.0;
    prj.Cells[0][1].Rotate = 1.0;
    AddTile(lib, 128, 128, 128);
    prj.Search_withoptions();
    EXPECT_EQ(prj.Cells[0][0].Rotate, 0.0); // rectangular tiles have rotation 0
    EXPECT_EQ(prj.Cells[0][1].Rotate, 0.0);
}

// A cell whose 8 x 8 grid is a horizontal ramp, and a tile whose rotation r shows the ramp
// shifted by r steps, so the rotation with the smallest ImgColorDiff64 is known.
TimgColorInfo ramp(int shift)
{
    TimgColorInfo info = UniformInfo(100, 100, 100);
    for (int k = 0; k < 64; ++k) {
        const int v = std::abs((k % 8) * 30 - shift * 20) % 256;
        CompleteColorInfo(info.ci64[k], v, 255 - v, 100);
    }
    return info;
}

TEST_F(Search, RoundTilesChooseTheRotationWithTheSmallestDifference)
{
    prj.cfg.BaseTileShape = kShapeEllipse;
    SetUpGrid(prj, 1, 1);
    prj.Cells[0][0].ICinfo = ramp(7);
    AddTile(lib, 128, 128, 128);
    AddTile(lib, 128, 128, 128);
    for (int r = 0; r < 12; ++r) {
        lib.items[0].RotColorInfo[r] = ramp(r);
        lib.items[1].RotColorInfo[r] = ramp(r == 2 || r == 9 ? 7 : r + 20); // a tie: 2 and 9
    }
    std::int32_t expected[2][12];
    for (int t = 0; t < 2; ++t)
        for (int r = 0; r < 12; ++r)
            expected[t][r] = ImgColorDiff64(prj.Cells[0][0].ICinfo, lib.items[t].RotColorInfo[r]);
    ASSERT_EQ(expected[0][7], 0);

    TGoodTileList gtl;
    prj.GetGoodTileList(prj.Cells[0][0], gtl, /*bypassAC=*/true);
    ASSERT_EQ(gtl.Count, 2);
    // Both reach 0; tile 0 is first on the tie.
    EXPECT_EQ(gtl.Tiles[0].tileid, 0);
    EXPECT_EQ(gtl.Tiles[0].RotateID, 7);
    EXPECT_EQ(gtl.Tiles[0].diff, 0);
    EXPECT_EQ(gtl.Tiles[1].tileid, 1);
    EXPECT_EQ(gtl.Tiles[1].RotateID, 2); // the lower rotation of the tie
    EXPECT_EQ(gtl.Tiles[1].diff, expected[1][2]);

    ws->moptions.RandomLevel = 1;
    prj.Search_withoptions();
    EXPECT_EQ(prj.Cells[0][0].TileID, 0);
    EXPECT_NEAR(prj.Cells[0][0].Rotate, 7 * std::numbers::pi / 6, 1e-12);
}

TEST_F(Search, RectangularTilesRankByTheTruncatedDifference)
{
    SetUpGrid(prj, 1, 1);
    prj.Cells[0][0].ICinfo = UniformInfo(100, 100, 100);
    AddTile(lib, 103, 100, 100);
    AddTile(lib, 101, 100, 100);
    ws->moptions.RGBMatch = 1;
    TGoodTileList gtl;
    prj.GetGoodTileList(prj.Cells[0][0], gtl, /*bypassAC=*/false);
    ASSERT_EQ(gtl.Count, 2);
    EXPECT_EQ(gtl.Tiles[0].tileid, 1);
    const ColorMatchSettings settings{ws->moptions.WeightL, ws->moptions.WeightC, true};
    EXPECT_EQ(gtl.Tiles[0].diff,
              int(std::trunc(ImgColorDiff(prj.Cells[0][0].ICinfo, lib.items[1].ColorInfo, settings))));
    EXPECT_EQ(gtl.Tiles[1].diff, 5 * 9); // five entries, dR = 3
    EXPECT_EQ(gtl.Tiles[0].RotateID, 0);
}

TEST_F(Search, OutOfRangeCountsStayInsideTheArrays)
{
    SetUpGrid(prj, 2, 2);
    AddTile(lib, 1, 1, 1);
    TGoodTileList gtl;
    lib.Count = -5;
    prj.GetGoodTileList(prj.Cells[0][0], gtl, true);
    EXPECT_EQ(gtl.Count, 0);
    lib.Count = 100000;
    for (int t = 0; t < kTileCapacity; ++t)
        lib.ItemEnable[t] = 0;
    lib.ItemEnable[2047] = 1;
    lib.ItemEnable[2048] = 1; // beyond the 2048 tiles a library holds
    prj.GetGoodTileList(prj.Cells[0][0], gtl, true);
    ASSERT_EQ(gtl.Count, 1);
    EXPECT_EQ(gtl.Tiles[0].tileid, 2047);

    // A neighbour holding an index outside the library and a filled cell whose tile is
    // outside it: the search and the diffusion leave them alone.
    lib.Count = 1;
    lib.ItemEnable[0] = 1;
    prj.Cells[0][1].TileID = 4000;
    ws->moptions.RepeatRadiusOn = 1;
    ws->moptions.RepeatRadius = 1;
    ws->moptions.DitherOn = 1;
    prj.Search_withoptions();
    EXPECT_EQ(prj.Cells[0][0].TileID, 0);
    EXPECT_EQ(prj.Cells[0][1].TileID, 4000);
}

TEST_F(Search, PumpsEventsAtTheNamedPointsOnly)
{
    SetUpGrid(prj, 3, 3);
    for (int t = 0; t < 4; ++t)
        AddTile(lib, 60 * t, 60 * t, 60 * t);
    ws->moptions.UseAll = 1;
    ws->moptions.ScanlineSearch = 0;
    prj.Search_withoptions();
    // Placement: 1 + one per tile. Per priority: random pass 1 + one per attempt (9),
    // add-on pass 1.
    EXPECT_EQ(pump.calls, (1 + 4) + 3 * ((1 + 9) + 1));

    pump.calls = 0;
    ws->moptions.UseAll = 0;
    ws->moptions.ScanlineSearch = 1;
    prj.Search_withoptions();
    EXPECT_EQ(pump.calls, 3 * (1 + 1));
}

class RecordingProgress final : public Progress {
public:
    void setValue(int v) override
    {
        values.push_back(v);
        m_value = v;
    }
    int value() const override { return m_value; }
    std::vector<int> values;

private:
    int m_value = 0;
};

TEST_F(Search, ReportsProgressWithinRangeAndEndsAtZero)
{
    SetUpGrid(prj, 10, 10);
    for (int t = 0; t < 20; ++t)
        AddTile(lib, 12 * t, 100, 255 - 12 * t);
    ws->moptions.UseAll = 1;
    ws->moptions.ScanlineSearch = 0;
    RecordingProgress progress;
    prj.Search_withoptions(&progress);
    ASSERT_FALSE(progress.values.empty());
    for (int v : progress.values) {
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 100);
    }
    EXPECT_EQ(progress.values.back(), 0);
    EXPECT_GT(*std::max_element(progress.values.begin(), progress.values.end()), 50);
}

// A 12 x 10 grid over a smooth colour field, 30 tiles, seed fixed, random order,
// dither on: the whole result is pinned, so any change in the order of the random draws,
// the ranking or the diffusion shows.
void runSmallMosaic(Workspace& ws)
{
    TMosaicProject& prj = ws.mproject;
    SetUpGrid(prj, 12, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            TimgColorInfo info = UniformInfo(20 * x, 25 * y, 200 - 10 * x);
            for (int k = 0; k < 64; ++k)
                CompleteColorInfo(info.ci64[k], 20 * x + k % 8, 25 * y + k / 8, 200 - 10 * x);
            prj.Cells[y][x].ICinfo = info;
        }
    prj.Cells[4][4].PriLevel = kPriorityHigh;
    prj.Cells[9][0].PriLevel = kPriorityLow;
    for (int t = 0; t < 30; ++t)
        AddTile(ws.mtilelib, (t * 37) % 256, (t * 91) % 256, (t * 53) % 256);
    ws.moptions = PlainOptions();
    ws.moptions.ScanlineSearch = 0;
    ws.moptions.DitherOn = 1;
    ws.moptions.DitherLevel = 1.0f;
    ws.moptions.RandomLevel = 4;
    ws.moptions.RepeatMaxOn = 1;
    ws.moptions.RepeatMax = 8;
    ws.moptions.RepeatRadiusOn = 1;
    ws.moptions.RepeatRadius = 1;
    ws.random().seed(20240601u);
    prj.Search_withoptions();
}

std::vector<int> tileIds(const TMosaicProject& prj)
{
    std::vector<int> ids;
    for (int y = 0; y < prj.cfg.Vcc; ++y)
        for (int x = 0; x < prj.cfg.Hcc; ++x)
            ids.push_back(prj.Cells[y][x].TileID);
    return ids;
}

TEST(SmallMosaic, AFixedSeedGivesThePinnedMosaicEveryTime)
{
    // clang-format off
    const std::vector<int> pinned = {
        23, 17, 23,  3, 23, 12,  3, 20,  6,  3,  6, 20,
         7, 21,  7, 18, 21,  4, 18, 26, 12, 17, 12, 18,
        23, 17,  9,  3,  1, 17,  3,  4, 23, 20,  6, 20,
         9, 24, 23,  7, 23, 12, 18,  9,  6, 18, 17, 26,
        22, 21,  4,  3,  9,  3,  4, 17, 26, 13,  6, 13,
         8,  7, 22, 18,  2, 16, 22,  2,  4, 10, 12, 20,
        28,  2,  9,  8,  4, 24,  4, 27, 18, 11, 25, 26,
        21, 22, 14, 28, 22,  2, 16, 22, 12, 27, 10, 16,
        28,  8, 16,  7, 16,  4, 18, 11,  2, 11, 13, 11,
         7, 22, 14, 28,  2, 22,  8, 25, 19, 27,  5, 25,
    };
    // clang-format on
    auto first = std::make_unique<Workspace>();
    runSmallMosaic(*first);
    EXPECT_EQ(tileIds(first->mproject), pinned);
    // The repeat rules held while the choices were random.
    const TMosaicProject& prj = first->mproject;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x + 1 < 12; ++x)
            EXPECT_NE(prj.Cells[y][x].TileID, prj.Cells[y][x + 1].TileID);
    for (int t = 0; t < 30; ++t)
        EXPECT_LE(first->mtilelib.items[t].Usecount, 8);
    first.reset();

    auto second = std::make_unique<Workspace>();
    runSmallMosaic(*second);
    EXPECT_EQ(tileIds(second->mproject), pinned);
}

// A photo-like picture: two colour ramps crossing, a dark disc and a bright band.
QImage generatedPhoto(int w, int h, int seed)
{
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int r = (x * 255 / w + seed * 41) % 256;
            int g = (y * 255 / h + seed * 67) % 256;
            int b = ((x + y) * 127 / (w + h) + seed * 97) % 256;
            const int dx = x - w / 3, dy = y - h / 2;
            if (dx * dx + dy * dy < (h / 4) * (h / 4)) {
                r /= 3;
                g /= 3;
                b /= 3;
            }
            if (y > h * 3 / 4 && y < h * 4 / 5) r = g = b = 240;
            img.setPixel(x, y, qRgb(r, g, b));
        }
    return img;
}

// A tile photo: a colour of a 4 x 4 x 4 lattice over the colour cube with a soft
// diagonal shading, as a photo of one dominant colour has.
QImage tilePhoto(int w, int h, int t)
{
    const int r = 32 + 64 * (t % 4), g = 32 + 64 * (t / 4 % 4), b = 32 + 64 * (t / 16 % 4);
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int shade = (x + y) * 30 / (w + h) - 15;
            img.setPixel(x, y, qRgb(r + shade, g + shade, b + shade));
        }
    return img;
}

TpatternCfg builtinPattern(const char* fileName)
{
    for (const BuiltinPattern& p : BuiltinPatterns())
        if (p.fileName == QLatin1String(fileName)) return p.pattern;
    ADD_FAILURE() << "no built-in pattern " << fileName;
    return DefaultPattern();
}

TEST(MosaicPipeline, TheDefaultProjectFillsEveryCellOfA48By48GridWithAValidTile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    constexpr int kTiles = 60; // 60 x RepeatMax 50 leaves room for 2304 cells and radius 1
    std::vector<FixtureTile> tiles;
    for (int t = 0; t < kTiles; ++t)
        tiles.push_back(FixtureTile{QStringLiteral("photo%1.png").arg(t), 0, tilePhoto(24, 16, t)});
    const QString libFolder = QDir(dir.path()).filePath(QStringLiteral("lib"));
    ASSERT_TRUE(MakeFixtureTilelib(libFolder, tiles) != nullptr);

    auto ws = std::make_unique<Workspace>(Platform{}, 12345u);
    TMosaicProject& prj = ws->mproject;
    TprojectCFG& cfg = prj.cfg;
    ASSERT_TRUE(ws->mtilelib.LoadTilelib(GetTilelibFileName(libFolder)).ok());
    ASSERT_EQ(ws->mtilelib.Count, kTiles);

    // The new-project window's defaults.
    prj.patterncfg = builtinPattern("10_Rectangle.pat");
    cfg.ProjectPatternType = kPatternGrid;
    cfg.Hcc = cfg.Vcc = 48;
    cfg.CellWdf = cfg.CellWdPx = 60;
    cfg.CellHtf = cfg.CellHtPx = 60;
    cfg.CellgapwdF = cfg.CellgaphtF = 2;
    cfg.SrcColorEnhance = 1.2;
    const TPointF size = prj.GetProjectSize();
    cfg.FullWidthF = size.X;
    cfg.FullHeightF = size.Y;
    cfg.CanvasUnit = kUnitPixel;
    cfg.CanvasPPI = 100;
    cfg.PreviewBMPsize = 8000;
    cfg.CellPlanBMPsizeWD = cfg.CellPlanBMPsizeHT = 500;
    prj.MainSize_Update();
    ASSERT_DOUBLE_EQ(cfg.FullWidthF, 2974);
    ASSERT_DOUBLE_EQ(cfg.WidthPx, 8000);
    prj.Cell_Reset();

    QByteArray png;
    {
        QBuffer out(&png);
        out.open(QIODevice::WriteOnly);
        ASSERT_TRUE(generatedPhoto(900, 600, 0).save(&out, "PNG"));
    }
    QBuffer photo(&png);
    ASSERT_TRUE(photo.open(QIODevice::ReadOnly));
    const Result<bool> loaded = LoadMainImageFromStream(*ws, photo, 400, 300);
    ASSERT_TRUE(loaded.ok() && loaded.value());
    CropState crop;
    ASSERT_TRUE(AutoCropRect(*ws, crop).has_value());

    TmosaicOptions& o = ws->moptions;
    std::memset(&o, 0, sizeof o);
    o.RepeatMaxOn = 1;
    o.RepeatMax = 50;
    o.RepeatRadiusOn = 1;
    o.RepeatRadius = 1;
    o.RepeatMin = 1;
    o.RandomLevel = 15;
    o.DitherOn = 1;
    o.DitherLevel = 1.0f;
    o.WeightL = o.WeightC = 0.7950819730758667f;
    o.ScanlineSearch = 0;

    // " Create Mosaic >>>": every tile enabled, counts and tiles reset, colours read, search.
    for (int t = 0; t < ws->mtilelib.Count; ++t)
        ws->mtilelib.ItemEnable[t] = 1;
    ws->mtilelib.ZeroUsecount();
    prj.cell_ClearTileID();
    MakeFullSize(*ws, crop.cropRect);
    ASSERT_EQ(ws->fullSizeImage.size(), QSize(4000, 4000));
    prj.Cell_ReadColorFromMI_2017();
    prj.Search_withoptions();
    EXPECT_TRUE(cfg.searchDone);

    int uses = 0;
    for (int t = 0; t < kTiles; ++t) {
        EXPECT_LE(ws->mtilelib.items[t].Usecount, 50) << t;
        uses += ws->mtilelib.items[t].Usecount;
    }
    EXPECT_EQ(uses, 48 * 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
            const int tile = prj.Cells[y][x].TileID;
            ASSERT_TRUE(tile >= 0 && tile < kTiles) << "cell " << x << "," << y << " holds " << tile;
            EXPECT_EQ(prj.Cells[y][x].Rotate, 0.0);
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if ((dx || dy) && nx >= 0 && ny >= 0 && nx < 48 && ny < 48) {
                        EXPECT_NE(prj.Cells[ny][nx].TileID, tile) << "cell " << x << "," << y;
                    }
                }
        }

    // The chosen tiles, drawn from the best 15 under the repeat rules, match their cells
    // far better than tiles picked blindly.
    prj.Cell_ReadColorFromMI_2017(); // the measured colours, without the diffused error
    const ColorMatchSettings settings{o.WeightL, o.WeightC, false};
    double chosen = 0, blind = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
            const TCell& c = prj.Cells[y][x];
            chosen += ImgColorDiff(c.ICinfo, ws->mtilelib.items[c.TileID].ColorInfo, settings);
            for (int t = 0; t < kTiles; ++t)
                blind += ImgColorDiff(c.ICinfo, ws->mtilelib.items[t].ColorInfo, settings) / kTiles;
        }
    EXPECT_LT(chosen, 0.6 * blind);
}

} // namespace
