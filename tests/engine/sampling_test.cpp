#include "imaging/color_convert.h"

#include "tests/engine/search_fixtures.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

QImage solid(int w, int h, TAlphaColor color)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(color);
    return img;
}

struct Rgb {
    int r, g, b;
};
Rgb rgbaOf(const TColorInfo15& e)
{
    return Rgb{e.rgba.r, e.rgba.g, e.rgba.b};
}

// The stored fields of a whole-cell colour agree with its rgba channels.
void expectComplete(const TColorInfo15& e)
{
    TColorInfo15 ref;
    std::memset(&ref, 0, sizeof ref);
    CompleteColorInfo(ref, e.rgba.r, e.rgba.g, e.rgba.b);
    EXPECT_EQ(e.rgb, ref.rgb);
    EXPECT_EQ(e.rgba.a, 255);
    EXPECT_EQ(std::memcmp(&e.Lab, &ref.Lab, sizeof ref.Lab), 0);
}

class CellColour : public testing::Test {
protected:
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    TMosaicProject& prj = ws->mproject;

    // A 4 x 3 grid of 20-pixel cells over an 80 x 60 canvas read from a 40 x 30 image.
    void useImage(const QImage& image, double enhance)
    {
        SetUpGrid(prj, 4, 3, 20);
        prj.cfg.SrcColorEnhance = enhance;
        ws->fullSizeImage = image;
        ws->mainImageScale = 0.5;
    }
};

TEST_F(CellColour, AUniformImageGivesEveryCellItsColourOrOneBelow)
{
    useImage(solid(40, 30, 0xFFC86432), 1.0);
    prj.Cell_ReadColorFromMI_2017();
    const TColorInfo15 first = prj.Cells[0][0].ICinfo.ci1;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            SCOPED_TRACE(testing::Message() << "cell " << x << "," << y);
            const TColorInfo15& c = prj.Cells[y][x].ICinfo.ci1;
            EXPECT_EQ(std::memcmp(&c, &first, sizeof c), 0);
            EXPECT_GE(c.rgba.r, 199);
            EXPECT_LE(c.rgba.r, 200);
            EXPECT_GE(c.rgba.g, 99);
            EXPECT_LE(c.rgba.g, 100);
            EXPECT_GE(c.rgba.b, 49);
            EXPECT_LE(c.rgba.b, 50);
            expectComplete(c);
        }
}

TEST_F(CellColour, GreyAndPureColoursDoNotMoveUnderAnyEnhancement)
{
    struct Case {
        const char* name;
        TAlphaColor color;
        Rgb expected;
    };
    const Case cases[] = {
        {"grey", 0xFF808080, {128, 128, 128}},
        {"pure red", 0xFFFF0000, {255, 0, 0}},
        {"pure blue", 0xFF0000FF, {0, 0, 255}},
        {"white", 0xFFFFFFFF, {255, 255, 255}},
    };
    for (const Case& c : cases)
        for (double enhance : {1.0, 1.5, 2.0}) {
            SCOPED_TRACE(testing::Message() << c.name << " x" << enhance);
            useImage(solid(40, 30, c.color), enhance);
            prj.Cell_ReadColorFromMI_2017();
            const TimgColorInfo& info = prj.Cells[1][2].ICinfo;
            const Rgb got = rgbaOf(info.ci1);
            EXPECT_EQ(got.r, c.expected.r);
            EXPECT_EQ(got.g, c.expected.g);
            EXPECT_EQ(got.b, c.expected.b);
            const Rgb sub = rgbaOf(info.ci64[27]);
            EXPECT_EQ(sub.r, c.expected.r);
            EXPECT_EQ(sub.g, c.expected.g);
            EXPECT_EQ(sub.b, c.expected.b);
        }
}

TEST_F(CellColour, BoostsTheSubColoursAndTheWholeColourButNotTheQuadrants)
{
    useImage(solid(40, 30, 0xFFC86432), 2.0);
    prj.Cells[0][0].ICinfo.ci1.hsl = THSL{1, 2, 3};
    prj.Cell_ReadColorFromMI_2017();
    const TimgColorInfo& info = prj.Cells[0][0].ICinfo;

    // (200, 100, 50) has saturation 75 %; doubled it is capped at 100 %, which sends the
    // smallest channel to 0.
    double H, S, V;
    RGBToHSV(200, 100, 50, H, S, V);
    int r, g, b, gray;
    HSVToRGB(H, 100.0, V, r, g, b, gray);
    ASSERT_EQ(b, 0);
    for (int k = 0; k < 64; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(info.ci64[k].rgba.r, r);
        EXPECT_EQ(info.ci64[k].rgba.g, g);
        EXPECT_EQ(info.ci64[k].rgba.b, 0);
        EXPECT_EQ(info.ci64[k].rgba.a, 255);
        // rgb and Lab of the sub-colours stay as measured.
        EXPECT_EQ(info.ci64[k].rgb, 0xFFC86432u);
        EXPECT_EQ(info.ci64[k].Lab.X, 74);
        EXPECT_EQ(info.ci64[k].Lab.Z, 32);
    }
    EXPECT_EQ(info.ci1.rgba.r, r);
    EXPECT_EQ(info.ci1.rgba.g, g);
    EXPECT_EQ(info.ci1.rgba.b, 0);
    expectComplete(info.ci1);
    EXPECT_EQ(info.ci1.hsl.h, 1);
    EXPECT_EQ(info.ci1.hsl.l, 3);
    for (const TColorInfo15& q : info.ci4) {
        EXPECT_EQ(q.rgb, 0xFFC86432u);
        EXPECT_EQ(q.rgba.b, 50);
    }
}

TEST_F(CellColour, TheWholeColourIsTheCentreWeightedMeanOfTheBoostedGrid)
{
    // Left half black, right half white, one to one: 212 of the 424 weight units are white.
    QImage image = solid(16, 8, 0xFF000000);
    for (int y = 0; y < 8; ++y)
        for (int x = 4; x < 8; ++x)
            image.setPixel(x, y, 0xFFFFFFFF);
    SetUpGrid(prj, 1, 1, 8);
    prj.cfg.SrcColorEnhance = 1.5;
    ws->fullSizeImage = image;
    ws->mainImageScale = 1.0;
    prj.Cell_ReadColorFromMI_2017();
    const TimgColorInfo& info = prj.Cells[0][0].ICinfo;
    EXPECT_EQ(info.ci1.rgba.r, 127);
    EXPECT_EQ(info.ci4[0].rgba.r, 0);
    EXPECT_EQ(info.ci4[1].rgba.r, 255);
}

TEST_F(CellColour, ScalesTheCellRectangleIntoTheImage)
{
    // Canvas 80 wide, image 40 wide: the left cells read red, the right ones blue.
    QImage image = solid(40, 30, 0xFFFF0000);
    for (int y = 0; y < 30; ++y)
        for (int x = 20; x < 40; ++x)
            image.setPixel(x, y, 0xFF0000FF);
    useImage(image, 1.0);
    prj.Cell_ReadColorFromMI_2017();
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(prj.Cells[y][1].ICinfo.ci1.rgba.r, 255);
        EXPECT_EQ(prj.Cells[y][1].ICinfo.ci1.rgba.b, 0);
        EXPECT_EQ(prj.Cells[y][2].ICinfo.ci1.rgba.r, 0);
        EXPECT_EQ(prj.Cells[y][2].ICinfo.ci1.rgba.b, 255);
    }
}

TEST_F(CellColour, CellsPartlyOutsideAreMeasuredOverTheirInsideAndCellsOutsideAreBlack)
{
    struct Case {
        const char* name;
        TRectF rect; // canvas pixels, image = canvas / 2
        int expected;
    };
    const Case cases[] = {
        {"right edge", {60, 20, 100, 40}, 255},       {"bottom edge", {20, 40, 40, 90}, 255},
        {"top-left corner", {-30, -30, 10, 10}, 255}, {"wholly right", {200, 0, 240, 20}, 0},
        {"wholly below", {0, 200, 20, 220}, 0},       {"zero width", {10, 10, 10, 30}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        useImage(solid(40, 30, 0xFFFFFFFF), 1.0);
        prj.Cells[0][0].CellRect = c.rect;
        prj.Cell_ReadColorFromMI_2017();
        const TimgColorInfo& info = prj.Cells[0][0].ICinfo;
        EXPECT_EQ(info.ci1.rgba.r, c.expected);
        EXPECT_EQ(info.ci1.rgba.g, c.expected);
        EXPECT_EQ(info.ci4[3].rgba.b, c.expected);
        if (c.expected == 0) {
            EXPECT_EQ(info.ci64[20].rgb, 0u);
        }
    }
}

TEST_F(CellColour, GridAndAddOnReadingsVisitOnlyTheirOwnCells)
{
    const TimgColorInfo marker = UniformInfo(1, 2, 3);
    SetUpAddons(prj, 3);
    for (int i = 0; i < 4; ++i)
        prj.AddonTiles[i].ICinfo = marker;
    prj.Cells[0][0].ICinfo = marker;
    prj.cfg.SrcColorEnhance = 1.0;
    ws->fullSizeImage = solid(40, 30, 0xFFFFFFFF);
    ws->mainImageScale = 1.0;

    prj.Cell_ReadColorFromMI_2017(); // Vcc = Hcc = 0
    EXPECT_EQ(std::memcmp(&prj.Cells[0][0].ICinfo, &marker, sizeof marker), 0);
    EXPECT_EQ(std::memcmp(&prj.AddonTiles[0].ICinfo, &marker, sizeof marker), 0);

    prj.AddonCell_ReadColorFromMI_2017();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(prj.AddonTiles[i].ICinfo.ci1.rgba.r, 255) << i;
    EXPECT_EQ(std::memcmp(&prj.AddonTiles[3].ICinfo, &marker, sizeof marker), 0);
    EXPECT_EQ(std::memcmp(&prj.Cells[0][0].ICinfo, &marker, sizeof marker), 0);
}

} // namespace
