// The fast search against the plain one: the same workspace built twice, searched once
// along each path with the same seed, must end byte for byte the same.

#include "engine/search_accelerator.h"

#include "tests/engine/search_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

namespace {

int clampChannel(double v)
{
    return std::clamp(int(std::lround(v)), 0, 255);
}

// An 8 x 8 grid of colours as a tile photo or a cell of a main image gives them: a base
// colour, a gradient and some noise, optionally snapped to four levels per channel so
// that many different records have equal differences.
struct Grid8 {
    int rgb[64][3];
};

Grid8 smoothGrid(std::mt19937& rng, bool coarse)
{
    std::uniform_int_distribution<int> base(0, 255), slope(-20, 20), noise(-12, 12);
    Grid8 g;
    int b[3], sx[3], sy[3];
    for (int k = 0; k < 3; ++k) {
        b[k] = base(rng);
        sx[k] = slope(rng);
        sy[k] = slope(rng);
    }
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 8; ++col)
            for (int k = 0; k < 3; ++k) {
                int v = clampChannel(b[k] + sx[k] * (col - 3.5) + sy[k] * (row - 3.5) + noise(rng));
                if (coarse) v = v / 64 * 85;
                g.rgb[row * 8 + col][k] = v;
            }
    return g;
}

// The grid turned by `degrees` about its centre, nearest sample, black outside, as a
// rotated tile photo measures.
Grid8 rotated(const Grid8& src, double degrees)
{
    const double a = degrees * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
    Grid8 g;
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 8; ++col) {
            const double x = col - 3.5, y = row - 3.5;
            const int sc = int(std::floor(c * x + s * y + 4)), sr = int(std::floor(-s * x + c * y + 4));
            for (int k = 0; k < 3; ++k)
                g.rgb[row * 8 + col][k] = (sc >= 0 && sc < 8 && sr >= 0 && sr < 8) ? src.rgb[sr * 8 + sc][k] : 0;
        }
    return g;
}

// A complete description of the grid: ci64 as given, ci4 the quadrant means, ci1 the
// CenterWeights mean.
TimgColorInfo describe(const Grid8& g)
{
    TimgColorInfo info;
    std::memset(&info, 0, sizeof info);
    double quad[4][3] = {}, centre[3] = {};
    for (int k = 0; k < 64; ++k) {
        CompleteColorInfo(info.ci64[k], g.rgb[k][0], g.rgb[k][1], g.rgb[k][2]);
        const int q = (k / 8 >= 4) * 2 + (k % 8 >= 4);
        for (int ch = 0; ch < 3; ++ch) {
            quad[q][ch] += g.rgb[k][ch] / 16.0;
            centre[ch] += CenterWeights[k] * g.rgb[k][ch] / 424.0;
        }
    }
    for (int q = 0; q < 4; ++q)
        CompleteColorInfo(info.ci4[q], clampChannel(quad[q][0]), clampChannel(quad[q][1]), clampChannel(quad[q][2]));
    CompleteColorInfo(info.ci1, clampChannel(centre[0]), clampChannel(centre[1]), clampChannel(centre[2]));
    return info;
}

struct Case {
    const char* name;
    std::uint32_t seed;
    bool circles;
    bool roundTiles;
    bool scanline;
    bool dither;
    bool useAll;
    bool repeatMinOn;
    int repeatMin;
    bool rgbMatch;
    int tiles;
    bool coarse;          // few colour levels: many equal differences
    bool mixedPriorities; // priorities 0..3 instead of all normal
    int repeatMax;        // 0: off
    int radius;           // < 0: off
};

// One workspace of the case; two calls with the same case build identical ones.
struct Built {
    CountingShell shell;
    CountingPump pump;
    std::unique_ptr<Workspace> ws;
};

class RecordingProgress final : public Progress {
public:
    void setValue(int v) override
    {
        current = v;
        values.push_back(v);
    }
    int value() const override { return current; }
    int current = 0;
    std::vector<int> values;
};

void build(Built& b, const Case& c)
{
    b.ws = std::make_unique<Workspace>(Platform{&b.pump, nullptr, &b.shell, nullptr}, c.seed);
    Workspace& ws = *b.ws;
    std::mt19937 rng(c.seed * 7919u + 13u);
    TTilelib& lib = ws.mtilelib;
    for (int t = 0; t < c.tiles; ++t) {
        // Every ninth tile repeats an earlier one exactly: equal differences, the lower
        // index must win.
        if (t >= 9 && t % 9 == 0) {
            const int i = AddTile(lib, lib.items[t / 3].ColorInfo);
            std::memcpy(lib.items[i].RotColorInfo, lib.items[t / 3].RotColorInfo, sizeof lib.items[i].RotColorInfo);
            continue;
        }
        const Grid8 g = smoothGrid(rng, c.coarse);
        const int i = AddTile(lib, describe(g));
        for (int r = 0; r < 12; ++r)
            lib.items[i].RotColorInfo[r] = describe(rotated(g, r * 30.0));
        lib.items[i].RotColorInfo[0] = lib.items[i].ColorInfo;
        lib.ItemEnable[i] = (t % 17 != 5); // a few disabled tiles
    }

    TMosaicProject& prj = ws.mproject;
    std::uniform_int_distribution<int> priority(0, 3);
    if (c.circles) {
        SetUpAddons(prj, 150);
        for (int i = 0; i < 150; ++i) {
            prj.AddonTiles[i].ICinfo = describe(smoothGrid(rng, c.coarse));
            if (c.mixedPriorities) prj.AddonTiles[i].PriLevel = priority(rng);
        }
    } else {
        SetUpGrid(prj, 17, 12);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 17; ++x) {
                TCell& cell = prj.Cells[y][x];
                cell.ICinfo = describe(smoothGrid(rng, c.coarse));
                if (c.mixedPriorities) cell.PriLevel = priority(rng);
                cell.enable = (x * 7 + y) % 23 != 4;
            }
    }
    prj.cfg.BaseTileShape = c.roundTiles ? kShapeEllipse : kShapeRect;

    TmosaicOptions& o = ws.moptions;
    o = PlainOptions();
    o.ScanlineSearch = c.scanline;
    o.DitherOn = c.dither;
    o.DitherLevel = 1.0f;
    o.UseAll = c.useAll;
    o.RepeatMinOn = c.repeatMinOn;
    o.RepeatMin = c.repeatMin;
    o.RGBMatch = c.rgbMatch;
    o.RandomLevel = 15;
    o.RepeatMaxOn = c.repeatMax > 0;
    o.RepeatMax = c.repeatMax;
    o.RepeatRadiusOn = c.radius >= 0;
    o.RepeatRadius = std::max(c.radius, 0);
    // Stale entries beyond Count are part of the list's bytes.
    for (int i = 0; i < TGoodTileList::kCapacity; ++i)
        ws.goodTileList.Tiles[i] = TGoodTileList::Entry{-1, i % 12, 1000 + i};
}

void expectSameCell(const TCell& a, const TCell& b)
{
    EXPECT_EQ(a.TileID, b.TileID);
    EXPECT_EQ(std::memcmp(&a.Rotate, &b.Rotate, sizeof a.Rotate), 0) << a.Rotate << " vs " << b.Rotate;
    EXPECT_EQ(std::memcmp(&a.ICinfo, &b.ICinfo, sizeof a.ICinfo), 0);
}

const Case kCases[] = {
    // name, seed, circles, round, scanline, dither, useAll, repeatMinOn, repeatMin, rgbMatch,
    // tiles, coarse, mixedPriorities, repeatMax, radius
    {"grid, window defaults", 1, false, false, false, true, false, false, 1, false, 300, false, false, 50, 1},
    {"grid, another seed", 2, false, false, false, true, false, false, 1, false, 300, false, false, 50, 1},
    {"grid, scan-line, no dither", 3, false, false, true, false, false, false, 1, false, 300, false, false, 50, 1},
    {"grid, coarse colours, ties", 4, false, false, false, true, false, false, 1, false, 300, true, false, 2, 2},
    {"grid, RGB match", 5, false, false, true, true, false, false, 1, true, 260, false, true, 0, 1},
    {"grid, few tiles, short lists", 6, false, false, false, true, false, false, 1, false, 40, false, false, 3, 1},
    {"grid, use all", 7, false, false, false, true, true, false, 1, false, 150, false, false, 50, 1},
    {"grid, repeat min with use all", 8, false, false, false, false, true, true, 2, false, 60, false, true, 0, -1},
    {"grid, repeat min", 9, false, false, true, true, false, true, 1, false, 120, true, false, 50, 1},
    {"round tiles, defaults", 10, false, true, false, true, false, false, 1, false, 300, false, false, 50, 1},
    {"round tiles, scan-line, no dither", 11, false, true, true, false, false, false, 1, false, 300, false, true, 4, 2},
    {"round tiles, coarse colours", 12, false, true, false, true, false, false, 1, false, 250, true, false, 50, 1},
    {"round tiles, few tiles", 13, false, true, true, true, false, false, 1, false, 30, false, false, 0, -1},
    {"circles, random, dither", 14, true, false, false, true, false, false, 1, false, 300, false, false, 50, 1},
    {"circles, scan-line, round", 15, true, true, true, true, false, false, 1, false, 200, false, true, 3, 2},
    {"circles, coarse, round, random", 16, true, true, false, false, false, false, 1, false, 220, true, false, 50, 1},
    {"empty library", 17, false, false, false, true, false, false, 1, false, 0, false, false, 50, 1},
    {"empty library, circles", 18, true, true, false, true, false, false, 1, false, 0, false, false, 50, 1},
};

TEST(SearchAccelerator, SearchesExactlyLikeThePlainSearch)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        Built plain, fast;
        build(plain, c);
        build(fast, c);
        plain.ws->searchPath = SearchPath::Reference;
        fast.ws->searchPath = SearchPath::Accelerated;
        RecordingProgress plainProgress, fastProgress;
        plain.ws->mproject.Search_withoptions(&plainProgress);
        fast.ws->mproject.Search_withoptions(&fastProgress);

        const TMosaicProject& a = plain.ws->mproject;
        const TMosaicProject& b = fast.ws->mproject;
        int filled = 0;
        for (int y = 0; y < a.cfg.Vcc; ++y)
            for (int x = 0; x < a.cfg.Hcc; ++x) {
                SCOPED_TRACE(testing::Message() << "cell " << x << "," << y);
                expectSameCell(a.Cells[y][x], b.Cells[y][x]);
                filled += a.Cells[y][x].TileID >= 0;
            }
        for (int i = 0; i < a.cfg.AddonTilesCount; ++i) {
            SCOPED_TRACE(testing::Message() << "add-on cell " << i);
            expectSameCell(a.AddonTiles[i], b.AddonTiles[i]);
            filled += a.AddonTiles[i].TileID >= 0;
        }
        if (c.tiles > 0) {
            EXPECT_GT(filled, 0); // the comparison covers placed tiles
        }
        for (int t = 0; t < c.tiles; ++t)
            EXPECT_EQ(plain.ws->mtilelib.items[t].Usecount, fast.ws->mtilelib.items[t].Usecount) << "tile " << t;
        EXPECT_EQ(std::memcmp(&plain.ws->goodTileList, &fast.ws->goodTileList, sizeof(TGoodTileList)), 0);
        EXPECT_EQ(plain.ws->moptions.RepeatMin, fast.ws->moptions.RepeatMin);
        EXPECT_EQ(a.cfg.searchDone, b.cfg.searchDone);
        EXPECT_EQ(plain.pump.calls, fast.pump.calls);
        EXPECT_EQ(plain.shell.beeps, fast.shell.beeps);
        EXPECT_EQ(plainProgress.values, fastProgress.values);
        // The same number of draws: the generators continue alike.
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(plain.ws->random().Random(1 << 30), fast.ws->random().Random(1 << 30));
    }
}

TEST(SearchAccelerator, ListsEveryCellLikeThePlainList)
{
    // Lists for cells that are not part of any search, with use counts and neighbours
    // that make the availability check refuse some tiles.
    const Case shapes[] = {
        {"rectangular tiles", 21, false, false, false, false, false, false, 1, false, 300, false, false, 2, 1},
        {"rectangular, coarse", 22, false, false, false, false, false, false, 1, false, 300, true, false, 2, 1},
        {"rectangular, RGB match", 23, false, false, false, false, false, false, 1, true, 300, true, false, 2, 1},
        {"round tiles", 24, false, true, false, false, false, false, 1, false, 300, false, false, 2, 1},
        {"round tiles, coarse", 25, false, true, false, false, false, false, 1, false, 300, true, false, 2, 1},
        {"round tiles, few", 26, false, true, false, false, false, false, 1, false, 70, false, false, 2, 1},
        {"rectangular, many", 27, false, false, false, false, false, false, 1, false, 700, false, false, 1, 2},
        {"round tiles, many", 28, false, true, false, false, false, false, 1, false, 700, false, false, 1, 2},
    };
    for (const Case& c : shapes) {
        SCOPED_TRACE(c.name);
        Built b;
        build(b, c);
        Workspace& ws = *b.ws;
        TMosaicProject& prj = ws.mproject;
        std::mt19937 rng(c.seed);
        for (int t = 0; t < c.tiles; ++t)
            ws.mtilelib.items[t].Usecount = int(rng() % 3);
        for (int y = 0; y < prj.cfg.Vcc; ++y)
            for (int x = 0; x < prj.cfg.Hcc; ++x)
                if (rng() % 3 == 0) prj.Cells[y][x].TileID = int(rng() % c.tiles);
        SearchAccelerator accelerator(ws.mtilelib, c.roundTiles);
        SearchAccelerator unseeded(ws.mtilelib, c.roundTiles), seeded(ws.mtilelib, c.roundTiles);
        unseeded.setSeedingMinTiles(1 << 30); // one plain scan of all tiles
        seeded.setSeedingMinTiles(0);         // the two passes even for small libraries
        ASSERT_TRUE(accelerator.covers(ws.mtilelib, c.roundTiles));
        EXPECT_FALSE(accelerator.covers(ws.mtilelib, !c.roundTiles));
        int longLists = 0;
        for (int y = 0; y < prj.cfg.Vcc; ++y)
            for (int x = 0; x < prj.cfg.Hcc; ++x)
                for (const bool bypass : {false, true}) {
                    SCOPED_TRACE(testing::Message() << "cell " << x << "," << y << (bypass ? " bypassing" : ""));
                    TGoodTileList plain;
                    for (int i = 0; i < TGoodTileList::kCapacity; ++i)
                        plain.Tiles[i] = TGoodTileList::Entry{int(rng() % 50), i % 12, 7 * i};
                    TGoodTileList fast[3] = {plain, plain, plain};
                    prj.GetGoodTileList(prj.Cells[y][x], plain, bypass); // no search runs: the plain loop
                    accelerator.GetGoodTileList(prj, prj.Cells[y][x], fast[0], bypass);
                    unseeded.GetGoodTileList(prj, prj.Cells[y][x], fast[1], bypass);
                    seeded.GetGoodTileList(prj, prj.Cells[y][x], fast[2], bypass);
                    for (const TGoodTileList& f : fast) {
                        ASSERT_EQ(plain.Count, f.Count);
                        for (int i = 0; i < TGoodTileList::kCapacity; ++i) {
                            EXPECT_EQ(plain.Tiles[i].tileid, f.Tiles[i].tileid) << "entry " << i;
                            EXPECT_EQ(plain.Tiles[i].RotateID, f.Tiles[i].RotateID) << "entry " << i;
                            EXPECT_EQ(plain.Tiles[i].diff, f.Tiles[i].diff) << "entry " << i;
                        }
                    }
                    longLists += plain.Count == TGoodTileList::kCapacity;
                }
        if (c.tiles > 100) {
            EXPECT_GT(longLists, 0);
        }
        if (c.roundTiles && c.tiles > 100) {
            EXPECT_GT(seeded.counters().boundedTiles, 0); // the bound did work
            EXPECT_GT(unseeded.counters().exactTiles, seeded.counters().exactTiles);
        }
    }
}

TEST(SearchAccelerator, RanksEqualDifferencesByTileIndex)
{
    // 150 copies of one tile: every difference is equal, so the first 100 indices rank,
    // in order, for both shapes.
    for (const bool round : {false, true}) {
        SCOPED_TRACE(round ? "round" : "rectangular");
        Workspace ws;
        for (int t = 0; t < 150; ++t)
            AddTile(ws.mtilelib, 40, 90, 200);
        ws.moptions = PlainOptions();
        SetUpGrid(ws.mproject, 1, 1);
        ws.mproject.cfg.BaseTileShape = round ? kShapeEllipse : kShapeRect;
        const SearchAccelerator accelerator(ws.mtilelib, round);
        TGoodTileList gtl;
        accelerator.GetGoodTileList(ws.mproject, ws.mproject.Cells[0][0], gtl, /*bypassAC=*/false);
        ASSERT_EQ(gtl.Count, 100);
        for (int i = 0; i < 100; ++i) {
            EXPECT_EQ(gtl.Tiles[i].tileid, i);
            EXPECT_EQ(gtl.Tiles[i].RotateID, 0);
        }
    }
}

} // namespace
