#include "render/final_mosaic.h"

#include "render/mosaic_views.h"
#include "tests/render/final_render_fixtures.h"

#include <QFile>

using namespace final_render_test;

namespace {

constexpr TAlphaColor kBlack = 0xFF000000;
constexpr TAlphaColor kRed = 0xFFFF0000;
constexpr TAlphaColor kGreen = 0xFF00FF00;
constexpr TAlphaColor kBlue = 0xFF0000FF;
constexpr TAlphaColor kWhite = 0xFFFFFFFF;

class FinalMosaic : public testing::Test {
protected:
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    QTemporaryDir dir;
    QString libFolder() const { return dir.filePath(QStringLiteral("lib")); }

    // A library of the given square pictures, `side` pixels.
    void library(const std::vector<FixtureTile>& tiles, int side = 40)
    {
        FixtureLibraryOptions o;
        o.widthPx = o.heightPx = side;
        ASSERT_TRUE(UseLibrary(*ws, libFolder(), tiles, o));
    }

    QImage render(Progress* pbar = nullptr, FinalMosaicCounters* counters = nullptr, Status* status = nullptr)
    {
        const TprojectCFG& cfg = ws->mproject.cfg;
        QImage view(int(cfg.FullWidthF), int(cfg.FullHeightF), QImage::Format_ARGB32_Premultiplied);
        view.fill(Qt::white);
        Canvas canvas(view);
        PaintMosaicBackground(*ws, canvas);
        const Status st = Draw_FinalMosaic(*ws, canvas, 50, 1.0, pbar, counters);
        if (status)
            *status = st;
        else
            EXPECT_TRUE(st.ok()) << st.error().toStdString();
        return view;
    }
};

TEST_F(FinalMosaic, WithoutTilesOnlyTheBackgroundIsDrawn)
{
    struct Case {
        const char* name;
        bool bgMainImage;
        TAlphaColor topLeft, topRight, bottomLeft, bottomRight;
    };
    const Case cases[] = {
        {"main image", true, kRed, kGreen, kBlue, kWhite},
        {"grout colour", false, 0xFF336699, 0xFF336699, 0xFF336699, 0xFF336699},
    };
    MakeGridProject(*ws, 4, 4, 20);
    library({Tile("red.png", kRed)});
    SetMainImage(*ws, Quadrants(40, 40, kRed, kGreen, kBlue, kWhite));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlainOptions(*ws, 0xFF336699);
        ws->moptions.BgMainImage = c.bgMainImage;
        FinalMosaicCounters counters;
        const QImage view = render(nullptr, &counters);
        EXPECT_EQ(counters.cellsDrawn, 0);
        EXPECT_EQ(Hex(PixelAt(view, 20, 20)), Hex(c.topLeft));
        EXPECT_EQ(Hex(PixelAt(view, 60, 20)), Hex(c.topRight));
        EXPECT_EQ(Hex(PixelAt(view, 20, 60)), Hex(c.bottomLeft));
        EXPECT_EQ(Hex(PixelAt(view, 60, 60)), Hex(c.bottomRight));
    }
}

TEST_F(FinalMosaic, ColourShiftAndBlendStartAbove005)
{
    // Two cells of one grey tile over a main image white on the left, black on the right:
    // the blend shows each cell's own part of the main image.
    struct Case {
        const char* name;
        double colorAdjust, alphaBlend;
    };
    const Case cases[] = {
        {"both off at 0.05", 0.05, 0.05},
        {"colour shift at 0.06", 0.06, 0.05},
        {"blend at 0.06", 0.05, 0.06},
        {"both at 0.06", 0.06, 0.06},
    };
    MakeGridProject(*ws, 2, 1, 20);
    library({Tile("grey.png", 0xFF646464)});
    SetMainImage(*ws, Quadrants(20, 10, kWhite, kBlack, kWhite, kBlack));
    // Cell colour (210, 0, 100) against the tile's (100, 100, 100).
    SetCellTile(*ws, 0, 0, 0, 0xFFD20064);
    SetCellTile(*ws, 1, 0, 0, 0xFFD20064);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlainOptions(*ws);
        ws->moptions.ColorAdjust = c.colorAdjust;
        ws->moptions.AlphaBlend = c.alphaBlend;
        const QImage view = render();
        // Trunc(0.06 * 110) = 6 and Trunc(0.06 * -100) = -6.
        double r = 100, g = 100, b = 100;
        if (c.colorAdjust > 0.05) r = 106, g = 94;
        for (int cell = 0; cell < 2; ++cell) {
            SCOPED_TRACE(cell == 0 ? "over white" : "over black");
            const double under = cell == 0 ? 255 : 0;
            const double a = c.alphaBlend > 0.05 ? c.alphaBlend : 0;
            const TAlphaColor expected =
                qRgb(int(r + a * (under - r) + 0.5), int(g + a * (under - g) + 0.5), int(b + a * (under - b) + 0.5));
            const TAlphaColor got = PixelAt(view, 10 + 20 * cell, 10);
            // The painter's 8-bit opacity and the final shrink each round by about one unit.
            EXPECT_TRUE(Near(got, expected, 2)) << Hex(got) << " expected " << Hex(expected);
        }
    }
}

TEST_F(FinalMosaic, GridCellsTurnFromARotationOf001)
{
    // The tile is red above blue; at 0.5 rad the boundary through the centre tilts
    // clockwise, so a point left of the centre slightly above it turns blue, one right of
    // it slightly below turns red, and the canvas corner falls outside the turned square.
    struct Case {
        const char* name;
        double rotate;
        TAlphaColor leftUpper, rightLower, corner;
    };
    const Case cases[] = {
        {"-0.5 unrotated", -0.5, kRed, kBlue, kRed},
        {"0.005 unrotated", 0.005, kRed, kBlue, kRed},
        {"0.5 rotated and centred", 0.5, kBlue, kRed, kBlack},
    };
    MakeGridProject(*ws, 1, 1, 40);
    library({PictureTile("updown.png", Quadrants(40, 40, kRed, kRed, kBlue, kBlue))});
    SetCellTile(*ws, 0, 0, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlainOptions(*ws, kBlack);
        ws->mproject.Cells[0][0].Rotate = c.rotate;
        const QImage view = render();
        EXPECT_TRUE(Near(PixelAt(view, 8, 17), c.leftUpper, 2)) << Hex(PixelAt(view, 8, 17));
        EXPECT_TRUE(Near(PixelAt(view, 32, 23), c.rightLower, 2)) << Hex(PixelAt(view, 32, 23));
        EXPECT_TRUE(Near(PixelAt(view, 1, 1), c.corner, 2)) << Hex(PixelAt(view, 1, 1));
    }
}

TEST_F(FinalMosaic, AddonCellsOfAGridTurnWithinTheirRectangle)
{
    // Cell (0, 0) of a 2 x 2 grid has the rectangle 0..20; a turned grid cell grows past
    // its bottom edge, a turned add-on cell with the same rectangle does not and loses its
    // corners.
    struct Case {
        const char* name;
        bool addon;
        double rotate;
        TAlphaColor belowEdge, corner;
    };
    const Case cases[] = {
        {"grid cell turned", false, 0.5, kRed, kBlack},
        {"add-on turned", true, 0.5, kBlack, kBlack},
        {"add-on upright", true, 0.0, kBlack, kRed},
    };
    MakeGridProject(*ws, 2, 2, 20);
    library({Tile("red.png", kRed)});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlainOptions(*ws, kBlack);
        TMosaicProject& prj = ws->mproject;
        TCell& grid = prj.Cells[0][0];
        grid.TileID = c.addon ? -1 : 0;
        grid.Rotate = c.rotate;
        prj.cfg.AddonTilesCount = c.addon ? 1 : 0;
        TCell& addon = prj.AddonTiles[0];
        addon = grid;
        addon.TileID = 0;
        addon.CellAID = 0;
        const QImage view = render();
        EXPECT_TRUE(Near(PixelAt(view, 10, 10), kRed, 2)) << Hex(PixelAt(view, 10, 10));
        EXPECT_TRUE(Near(PixelAt(view, 13, 21), c.belowEdge, 2)) << Hex(PixelAt(view, 13, 21));
        EXPECT_TRUE(Near(PixelAt(view, 1, 1), c.corner, 2)) << Hex(PixelAt(view, 1, 1));
    }
}

TEST_F(FinalMosaic, GridCellsTakeTheMaskOfTheirGroupElement)
{
    // Two group elements, rectangles and ellipses in alternate columns; a cell whose
    // shape is in no element is not drawn.
    MakeGridProject(*ws, 3, 1, 20);
    TMosaicProject& prj = ws->mproject;
    prj.patterncfg.HorzGroupCount = 2;
    prj.patterncfg.CellGroup[0][1] = prj.patterncfg.CellGroup[0][0];
    prj.patterncfg.CellGroup[0][1].Shape = kShapeEllipse;
    prj.Cell_Reset();
    BuildPatternShapeMasks(ws->shapeMasks, prj.patterncfg);
    ASSERT_EQ(prj.Cells[0][1].CellShape, kShapeEllipse);
    library({Tile("red.png", kRed)});
    PlainOptions(*ws, kBlack);
    for (int x = 0; x < 3; ++x)
        SetCellTile(*ws, x, 0, 0);
    prj.Cells[0][2].CellShape = kShapeHexagonFlat;
    const QImage view = render();
    EXPECT_TRUE(Near(PixelAt(view, 1, 1), kRed)) << "a rectangle fills its corner";
    EXPECT_TRUE(Near(PixelAt(view, 21, 1), kBlack)) << "an ellipse leaves its corner";
    EXPECT_TRUE(Near(PixelAt(view, 30, 10), kRed)) << "the ellipse's centre";
    EXPECT_TRUE(Near(PixelAt(view, 50, 10), kBlack)) << "a shape of no group element";
}

TEST_F(FinalMosaic, AFreePatternMasksEveryCellWithTheBaseShape)
{
    struct Case {
        const char* name;
        std::int32_t baseShape, cellShape;
        TAlphaColor corner;
    };
    const Case cases[] = {
        {"ellipse base, rectangle cells", kShapeEllipse, kShapeRect, kBlack},
        {"rectangle base, ellipse cells", kShapeRect, kShapeEllipse, kRed},
    };
    library({Tile("red.png", kRed)});
    TprojectCFG& cfg = ws->mproject.cfg;
    cfg.ProjectPatternType = kPatternCircles;
    cfg.Hcc = cfg.Vcc = 0;
    cfg.FullWidthF = cfg.FullHeightF = 40;
    cfg.WidthPx = cfg.HeightPx = 40;
    cfg.CanvasScale = 1;
    cfg.CellWdf = cfg.CellHtf = cfg.CellWdPx = cfg.CellHtPx = 40;
    cfg.AddonTilesCount = 1;
    TCell& cell = ws->mproject.AddonTiles[0];
    cell.enable = 1;
    cell.TileID = 0;
    cell.CellRectReal = cell.CellRect = TRectF{0, 0, 40, 40};
    cell.CellCenterReal = TPointF{20, 20};
    cell.Rotate = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlainOptions(*ws, kBlack);
        cfg.BaseTileShape = c.baseShape;
        cell.CellShape = c.cellShape;
        const QImage view = render();
        EXPECT_TRUE(Near(PixelAt(view, 20, 20), kRed)) << Hex(PixelAt(view, 20, 20));
        EXPECT_TRUE(Near(PixelAt(view, 2, 2), c.corner)) << Hex(PixelAt(view, 2, 2));
    }
}

TEST_F(FinalMosaic, EachTileIsLoadedOncePerRenderUsedOrNot)
{
    MakeGridProject(*ws, 10, 10, 4);
    library({Tile("red.png", kRed), Tile("green.png", kGreen), Tile("blue.png", kBlue)});
    PlainOptions(*ws);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            SetCellTile(*ws, x, y, 1);
    CountingPump pump;
    ws->platform.events = &pump;
    RecordingProgress progress;
    FinalMosaicCounters counters;
    const QImage view = render(&progress, &counters);
    EXPECT_EQ(counters.tilesLoaded, 3);
    EXPECT_EQ(counters.cellsDrawn, 100);
    EXPECT_EQ(pump.calls, 3);
    EXPECT_EQ(progress.values, (std::vector<int>{0, 33, 66, 0}));
    EXPECT_TRUE(Near(PixelAt(view, 38, 38), kGreen));
}

TEST_F(FinalMosaic, CellsWithoutAValidTileOrDisabledAreNotDrawn)
{
    MakeGridProject(*ws, 3, 1, 20);
    library({Tile("red.png", kRed)});
    PlainOptions(*ws, kBlack);
    SetCellTile(*ws, 0, 0, 1); // beyond the library's one tile
    SetCellTile(*ws, 1, 0, -1);
    SetCellTile(*ws, 2, 0, 0);
    ws->mproject.Cells[0][2].enable = 0;
    FinalMosaicCounters counters;
    const QImage view = render(nullptr, &counters);
    EXPECT_EQ(counters.cellsDrawn, 0);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(Hex(PixelAt(view, 10 + 20 * x, 10)), Hex(kBlack)) << "cell " << x;
}

TEST_F(FinalMosaic, GrayscaleTurnsTheTileGrey)
{
    MakeGridProject(*ws, 1, 1, 20);
    library({Tile("red.png", kRed)});
    PlainOptions(*ws);
    ws->moptions.Grayscale = 1;
    SetCellTile(*ws, 0, 0, 0);
    const QImage view = render();
    EXPECT_EQ(Hex(PixelAt(view, 10, 10)), Hex(0xFF4C4C4C)); // Trunc(0.299 * 255) = 76
}

TEST_F(FinalMosaic, AMissingTilePictureStopsTheRenderNamingIt)
{
    MakeGridProject(*ws, 2, 1, 20);
    library({Tile("red.png", kRed), Tile("green.png", kGreen), Tile("blue.png", kBlue)});
    PlainOptions(*ws, kBlack);
    SetCellTile(*ws, 0, 0, 0);
    SetCellTile(*ws, 1, 0, 2);
    // The missing picture belongs to a tile no cell uses: every tile is loaded.
    ASSERT_TRUE(QFile::remove(ws->mtilelib.GetFullName(1)));
    RecordingProgress progress;
    Status st;
    const QImage view = render(&progress, nullptr, &st);
    ASSERT_FALSE(st.ok());
    EXPECT_TRUE(st.error().contains(QStringLiteral("green.png"))) << st.error().toStdString();
    EXPECT_TRUE(Near(PixelAt(view, 10, 10), kRed)) << "drawn before the failure";
    EXPECT_EQ(Hex(PixelAt(view, 30, 10)), Hex(kBlack)) << "not drawn after it";
    EXPECT_EQ(progress.values, (std::vector<int>{0, 33})) << "the progress keeps its value";
}

TEST_F(FinalMosaic, AnEmptyLibraryDrawsNothingAndResetsTheProgress)
{
    MakeGridProject(*ws, 2, 1, 20);
    PlainOptions(*ws, kBlack);
    SetCellTile(*ws, 0, 0, 0);
    RecordingProgress progress;
    const QImage view = render(&progress);
    EXPECT_EQ(progress.values, (std::vector<int>{0}));
    EXPECT_EQ(Hex(PixelAt(view, 10, 10)), Hex(kBlack));
}

TEST_F(FinalMosaic, TileBitmapsAreFourTimesTheTruncatedCellSize)
{
    ws->mproject.cfg.CellWdPx = 20.9;
    ws->mproject.cfg.CellHtPx = 15.2;
    EXPECT_EQ(FinalTileSize(*ws), QSize(80, 60));
}

TEST_F(FinalMosaic, OneCellIsRepaintedWithItsOwnShapeAndTheOffset)
{
    struct Case {
        const char* name;
        QPointF offset;
        QPoint inside, outside;
    };
    const Case cases[] = {
        {"in place", QPointF(0, 0), QPoint(30, 30), QPoint(10, 10)},
        {"moved by the offset", QPointF(-20, -20), QPoint(10, 10), QPoint(30, 30)},
    };
    MakeGridProject(*ws, 2, 2, 20);
    library({Tile("red.png", kRed)});
    PlainOptions(*ws);
    SetCellTile(*ws, 1, 1, 0);
    TCell cell = ws->mproject.Cells[1][1];
    cell.CellShape = kShapeEllipse; // not the pattern's rectangle
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage view(40, 40, QImage::Format_ARGB32_Premultiplied);
        view.fill(Qt::black);
        Canvas canvas(view);
        const Status st = Draw_FinalMosaic_OneCell(*ws, canvas, cell, 1.0, c.offset);
        ASSERT_TRUE(st.ok()) << st.error().toStdString();
        EXPECT_TRUE(Near(PixelAt(view, c.inside.x(), c.inside.y()), kRed));
        EXPECT_EQ(Hex(PixelAt(view, c.outside.x(), c.outside.y())), Hex(kBlack));
        const QPoint corner = c.inside - QPoint(9, 9);
        EXPECT_EQ(Hex(PixelAt(view, corner.x(), corner.y())), Hex(kBlack)) << "an ellipse leaves its corner";
    }
}

TEST_F(FinalMosaic, OneCellWithoutAValidTileDrawsNothing)
{
    MakeGridProject(*ws, 1, 1, 20);
    library({Tile("red.png", kRed)});
    PlainOptions(*ws);
    for (int id : {-1, 1}) {
        SCOPED_TRACE(id);
        TCell cell = ws->mproject.Cells[0][0];
        cell.TileID = id;
        QImage view(20, 20, QImage::Format_ARGB32_Premultiplied);
        view.fill(Qt::black);
        Canvas canvas(view);
        EXPECT_TRUE(Draw_FinalMosaic_OneCell(*ws, canvas, cell, 1.0, QPointF()).ok());
        EXPECT_EQ(Hex(PixelAt(view, 10, 10)), Hex(kBlack));
    }
}

TEST_F(FinalMosaic, OneCellReportsAMissingPicture)
{
    MakeGridProject(*ws, 1, 1, 20);
    library({Tile("red.png", kRed)});
    PlainOptions(*ws);
    SetCellTile(*ws, 0, 0, 0);
    ASSERT_TRUE(QFile::remove(ws->mtilelib.GetFullName(0)));
    QImage view(20, 20, QImage::Format_ARGB32_Premultiplied);
    Canvas canvas(view);
    const Status st = Draw_FinalMosaic_OneCell(*ws, canvas, ws->mproject.Cells[0][0], 1.0, QPointF());
    ASSERT_FALSE(st.ok());
    EXPECT_TRUE(st.error().contains(QStringLiteral("red.png"))) << st.error().toStdString();
}

} // namespace
