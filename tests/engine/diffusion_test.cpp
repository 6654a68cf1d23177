#include "engine/diffusion.h"

#include "tests/engine/search_fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

namespace {

bool sameInfo(const TimgColorInfo& a, const TimgColorInfo& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

int redOf(TAlphaColor c)
{
    return int((c >> 16) & 0xFF);
}

TEST(ClampByte, TruncatesInsideAndClampsOutside)
{
    struct Case {
        const char* name;
        float v;
        int expected;
    };
    const Case cases[] = {
        {"negative", -0.5f, 0},     {"zero", 0.0f, 0},       {"fraction", 107.99f, 107},
        {"whole", 108.0f, 108},     {"top", 255.0f, 255},    {"just above", 255.5f, 255},
        {"far above", 300.0f, 255}, {"far below", -1e9f, 0}, {"NaN", std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ClampByte(c.v), c.expected);
    }
}

TEST(ErrorDiffuse, AddsTheScaledErrorToTheWholeColourAndEverySubColour)
{
    const TimgColorInfo S = UniformInfo(200, 50, 90);
    const TimgColorInfo T = UniformInfo(180, 60, 90);
    TimgColorInfo D = UniformInfo(100, 100, 100);
    D.ci64[5].rgba.r = 250;  // pushed past 255
    D.ci64[9].rgba.a = 0x80; // alpha kept
    D.ci64[9].rgb = MakeColor(100, 100, 100, 0x80);
    const TimgColorInfo before = D;

    const TimgColorInfo out = ErrorDiffuse(S, T, D, 7.0f / 16);

    // 100 + 20 * 7/16 = 108.75, 100 - 10 * 7/16 = 95.625.
    EXPECT_EQ(out.ci1.rgba.r, 108);
    EXPECT_EQ(out.ci1.rgba.g, 95);
    EXPECT_EQ(out.ci1.rgba.b, 100);
    EXPECT_EQ(out.ci1.rgba.a, 255);
    for (int k = 0; k < 64; ++k) {
        SCOPED_TRACE(k);
        const int expectedRed = k == 5 ? 255 : 108;
        EXPECT_EQ(out.ci64[k].rgba.r, expectedRed);
        EXPECT_EQ(out.ci64[k].rgba.g, 95);
        EXPECT_EQ(out.ci64[k].rgba.b, 100);
        const int alpha = k == 9 ? 0x80 : 255;
        EXPECT_EQ(out.ci64[k].rgba.a, alpha);
        EXPECT_EQ(out.ci64[k].rgb, MakeColor(expectedRed, 95, 100, alpha));
        // Lab stays as measured.
        EXPECT_EQ(std::memcmp(&out.ci64[k].Lab, &before.ci64[k].Lab, sizeof(TVector4)), 0);
    }
    // ci1.rgb, its Lab and the quadrants stay as measured.
    EXPECT_EQ(out.ci1.rgb, before.ci1.rgb);
    EXPECT_EQ(std::memcmp(&out.ci1.Lab, &before.ci1.Lab, sizeof(TVector4)), 0);
    EXPECT_EQ(std::memcmp(out.ci4, before.ci4, sizeof out.ci4), 0);
}

TEST(ErrorDiffuse, RoundsEachSumToSingleBeforeTruncating)
{
    // 100 + 100 * f with f = Single(0.48 * 7 / 16) is 120.9999993 in double precision,
    // which is 121.0 as a Single.
    const float level = 48 / 100.0f;
    const float f = static_cast<float>(double(level) * 7 / 16);
    const TimgColorInfo out = ErrorDiffuse(UniformInfo(200, 0, 0), UniformInfo(100, 0, 0), UniformInfo(100, 0, 0), f);
    EXPECT_EQ(out.ci1.rgba.r, 121);
    EXPECT_EQ(out.ci64[0].rgba.r, 121);
    EXPECT_EQ(out.ci64[63].rgba.r, 121);
}

TEST(ErrorDiffuse, EqualColoursPushNothing)
{
    const TimgColorInfo S = UniformInfo(10, 20, 30);
    const TimgColorInfo D = UniformInfo(77, 88, 99);
    EXPECT_TRUE(sameInfo(ErrorDiffuse(S, S, D, 1.0f), D));
}

class GridDither : public testing::Test {
protected:
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    TMosaicProject& prj = ws->mproject;

    void SetUp() override
    {
        SetUpGrid(prj, 3, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                prj.Cells[y][x].ICinfo = UniformInfo(100, 100, 100);
        ws->mtilelib.Count = 0;
        AddTile(ws->mtilelib, 180, 100, 100);
        ws->moptions = PlainOptions();
        ws->moptions.DitherOn = 1;
        ws->moptions.DitherLevel = 1.0f;
    }

    // Fills cell (x, y) with tile 0 against a red of 200 and diffuses.
    void fillAndDiffuse(int x, int y)
    {
        prj.Cells[y][x].ICinfo = UniformInfo(200, 100, 100);
        prj.Cells[y][x].TileID = 0;
        prj.Cell_SetDither_R(x, y);
    }
};

TEST_F(GridDither, SpreadsFloydSteinbergWeightsToTheNeighbours)
{
    fillAndDiffuse(1, 0);
    // Error 20: right 7/16, below-left 3/16, below 5/16, below-right 1/16.
    EXPECT_EQ(prj.Cells[0][2].ICinfo.ci1.rgba.r, 108); // 108.75
    EXPECT_EQ(prj.Cells[1][0].ICinfo.ci1.rgba.r, 103); // 103.75
    EXPECT_EQ(prj.Cells[1][1].ICinfo.ci1.rgba.r, 106); // 106.25
    EXPECT_EQ(prj.Cells[1][2].ICinfo.ci1.rgba.r, 101); // 101.25
    EXPECT_EQ(prj.Cells[0][2].ICinfo.ci64[17].rgba.r, 108);
    EXPECT_EQ(redOf(prj.Cells[0][2].ICinfo.ci64[17].rgb), 108);
    // ci1.rgb is what the search does not diffuse into.
    EXPECT_EQ(redOf(prj.Cells[0][2].ICinfo.ci1.rgb), 100);
    // Cells behind the filled one and in other rows stay.
    EXPECT_EQ(prj.Cells[0][0].ICinfo.ci1.rgba.r, 100);
    EXPECT_EQ(prj.Cells[2][1].ICinfo.ci1.rgba.r, 100);
}

TEST_F(GridDither, EdgesSendNothingBeyondTheGrid)
{
    struct Case {
        const char* name;
        int x, y;
        bool changed[3][3]; // [row][column]
    };
    const Case cases[] = {
        {"first column, first row", 0, 0, {{false, true, false}, {true, true, false}, {false, false, false}}},
        {"last column", 2, 0, {{false, false, false}, {false, true, true}, {false, false, false}}},
        {"last row", 1, 2, {{false, false, false}, {false, false, false}, {false, false, true}}},
        {"last cell", 2, 2, {{false, false, false}, {false, false, false}, {false, false, false}}},
        {"first column, middle row", 0, 1, {{false, false, false}, {false, true, false}, {true, true, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        fillAndDiffuse(c.x, c.y);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x) {
                if (x == c.x && y == c.y) continue;
                SCOPED_TRACE(testing::Message() << "cell " << x << "," << y);
                const bool changed = !sameInfo(prj.Cells[y][x].ICinfo, UniformInfo(100, 100, 100));
                EXPECT_EQ(changed, c.changed[y][x]);
            }
    }
}

TEST_F(GridDither, ChangesNothingWhenOff)
{
    ws->moptions.DitherOn = 0;
    fillAndDiffuse(0, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            if (x != 0 || y != 0) {
                EXPECT_TRUE(sameInfo(prj.Cells[y][x].ICinfo, UniformInfo(100, 100, 100)));
            }
}

TEST_F(GridDither, ScalesByTheDitherLevel)
{
    ws->moptions.DitherLevel = 0.5f;
    fillAndDiffuse(0, 0);
    EXPECT_EQ(prj.Cells[0][1].ICinfo.ci1.rgba.r, 104); // 100 + 20 * 0.5 * 7/16 = 104.375
    EXPECT_EQ(prj.Cells[1][0].ICinfo.ci1.rgba.r, 103); // 100 + 20 * 0.5 * 5/16 = 103.125
}

TEST_F(GridDither, ACellWithoutALibraryTileDiffusesNothing)
{
    for (int tile : {-1, 1, 5000}) {
        SCOPED_TRACE(tile);
        SetUp();
        prj.Cells[0][0].ICinfo = UniformInfo(200, 100, 100);
        prj.Cells[0][0].TileID = tile;
        prj.Cell_SetDither_R(0, 0);
        EXPECT_TRUE(sameInfo(prj.Cells[0][1].ICinfo, UniformInfo(100, 100, 100)));
    }
}

class AddonDither : public testing::Test {
protected:
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    TMosaicProject& prj = ws->mproject;

    void SetUp() override
    {
        SetUpAddons(prj, 4);
        for (int i = 0; i < 5; ++i)
            prj.AddonTiles[i].ICinfo = UniformInfo(100, 100, 100);
        ws->mtilelib.Count = 0;
        AddTile(ws->mtilelib, 180, 100, 100);
        ws->moptions = PlainOptions();
        ws->moptions.DitherOn = 1;
        ws->moptions.DitherLevel = 0.5f;
    }
    void fill(int id)
    {
        prj.AddonTiles[id].ICinfo = UniformInfo(200, 100, 100);
        prj.AddonTiles[id].TileID = 0;
    }
};

TEST_F(AddonDither, PassesTheWholeScaledErrorToTheNextCell)
{
    fill(1);
    prj.Cell_SetDither_addonR(1);
    EXPECT_EQ(prj.AddonTiles[2].ICinfo.ci1.rgba.r, 110); // 100 + 20 * 0.5, unweighted
    EXPECT_EQ(prj.AddonTiles[2].ICinfo.ci64[40].rgba.r, 110);
    EXPECT_TRUE(sameInfo(prj.AddonTiles[0].ICinfo, UniformInfo(100, 100, 100)));
    EXPECT_TRUE(sameInfo(prj.AddonTiles[3].ICinfo, UniformInfo(100, 100, 100)));
}

TEST_F(AddonDither, TheLastCellDiffusesNowhere)
{
    fill(3);
    prj.Cell_SetDither_addonR(3);
    // Cell 4 lies beyond AddonTilesCount and must not change.
    EXPECT_TRUE(sameInfo(prj.AddonTiles[4].ICinfo, UniformInfo(100, 100, 100)));
    EXPECT_TRUE(sameInfo(prj.AddonTiles[2].ICinfo, UniformInfo(100, 100, 100)));
}

TEST_F(AddonDither, RoundsTheFullFactorSumToSingle)
{
    // DitherLevel 0.01: 50 + 100 * 0.01f is 50.99999998 in double precision, 51 as a Single.
    ws->moptions.DitherLevel = 1 / 100.0f;
    prj.AddonTiles[0].ICinfo = UniformInfo(200, 100, 100);
    prj.AddonTiles[0].TileID = 1;
    AddTile(ws->mtilelib, 100, 100, 100);
    prj.AddonTiles[1].ICinfo = UniformInfo(50, 100, 100);
    prj.Cell_SetDither_addonR(0);
    EXPECT_EQ(prj.AddonTiles[1].ICinfo.ci1.rgba.r, 51);
}

TEST_F(AddonDither, ChangesNothingWhenOff)
{
    ws->moptions.DitherOn = 0;
    fill(0);
    prj.Cell_SetDither_addonR(0);
    EXPECT_TRUE(sameInfo(prj.AddonTiles[1].ICinfo, UniformInfo(100, 100, 100)));
}

} // namespace
