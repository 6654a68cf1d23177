#include "render/working_views.h"

#include "imaging/fonts.h"
#include "imaging/picture_io.h"
#include "tests/render/working_view_fixtures.h"

#include <QDir>
#include <QFont>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <numbers>
#include <vector>

using namespace wvtest;

namespace {

class WorkingViews : public testing::Test {
protected:
    std::unique_ptr<Workspace> owned = std::make_unique<Workspace>();
    Workspace& ws = *owned;
    TMosaicProject& prj = ws.mproject;

    QImage draw(int drawMode, int w, int h, double scale = 1.0, Progress* pbar = nullptr)
    {
        QImage image = WhiteImage(w, h);
        Canvas canvas(image);
        const Status st = Draw_Allcell(ws, canvas, drawMode, scale, pbar);
        EXPECT_TRUE(st.ok()) << st.error().toStdString();
        return image;
    }

    QImage drawRange(int drawMode, const TRectF& range, int w, int h, double scale = 1.0, Progress* pbar = nullptr)
    {
        QImage image = WhiteImage(w, h);
        Canvas canvas(image);
        const Status st = Draw_CellsByRange(ws, canvas, range, drawMode, scale, pbar);
        EXPECT_TRUE(st.ok()) << st.error().toStdString();
        return image;
    }
};

// The text as the views are meant to show it, drawn straight with QPainter: the bundled
// family at `size` pixels, centred in `rect`.
QImage referenceText(int w, int h, const QRectF& rect, const QString& text, QRgb color, int sizePx, QRgb background)
{
    QImage image = WhiteImage(w, h);
    image.fill(background);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font(TextFontFamily());
    font.setPixelSize(sizePx);
    p.setFont(font);
    p.setPen(QColor::fromRgba(color));
    p.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, text);
    return image;
}

// Pixels of the area (exclusive of the image's outer two pixels) that differ from the
// reference by more than `tolerance` in any channel.
int differingPixels(const QImage& a, const QImage& b, const QRect& area, int tolerance = 40)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (!Near(a.pixel(x, y), b.pixel(x, y), tolerance))
                ++n;
    return n;
}

} // namespace

TEST_F(WorkingViews, Mode31OnACellWithoutTileShowsTheOutlineAndMinusOne)
{
    MakeGrid(ws, 1, 1, 60);
    prj.Cells[0][0].CellRectReal = TRectF{0, 0, 60, 40};
    prj.Cells[0][0].CellPolyReal = ShapePolygon(kShapeRect, 60, 40, 0, TPointF{30, 20});
    ws.workplanCfg.IDTextHeight = 18;
    SetTileColor(ws, 0, 10, 200, 10);

    struct Case {
        const char* name;
        int tileId;
        const char* shown;
    };
    const Case cases[] = {
        {"no tile", -1, "-1"},
        {"stale id beyond the library", 5000, "-1"},
        {"tile 0", 0, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prj.Cells[0][0].TileID = c.tileId;
        const QImage img = draw(kDrawTileIdPlain, 60, 40);
        // Outline: the rectangle's edge is dark along its length.
        EXPECT_TRUE(IsLine(img.pixel(30, 0)));
        EXPECT_TRUE(IsLine(img.pixel(0, 20)));
        const QImage ref =
            referenceText(60, 40, QRectF(0, 0, 60, 40), QString::fromLatin1(c.shown), 0xFF000000, 18, 0xFFFFFFFF);
        const QRect inside(3, 3, 54, 34);
        EXPECT_GT(CountPixels(img, inside, IsDark), 8) << "text is drawn";
        EXPECT_LE(differingPixels(img, ref, inside), 4) << "the text is " << c.shown;
        // Without fill colour the inside is never the tile's colour.
        EXPECT_EQ(CountPixels(img, inside, [](QRgb p) { return qGreen(p) > 150 && qRed(p) < 60; }), 0);
    }
}

TEST_F(WorkingViews, Mode30JudgesTheTextColourFromTheMeasuredColour)
{
    MakeGrid(ws, 1, 1, 40);
    ws.workplanCfg.IDTextHeight = 24;
    SetTileColor(ws, 0, 255, 255, 0); // light yellow tile: white text shows in blue
    prj.Cells[0][0].TileID = 0;

    struct Case {
        const char* name;
        int r, g, b;
        bool white;
    };
    const Case cases[] = {
        {"dark cell", 20, 20, 20, true},
        {"mean exactly 128", 128, 128, 128, true},
        {"mean just above 128", 129, 128, 128, false},
        {"light cell", 240, 240, 240, false},
    };
    const QRect inside(3, 3, 34, 34);
    auto whiteText = [](QRgb p) { return qBlue(p) > 200; };
    auto blackText = [](QRgb p) { return qRed(p) < 60 && qGreen(p) < 60; };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetMeasured(prj.Cells[0][0], c.r, c.g, c.b);
        const QImage img = draw(kDrawTileIdColor, 40, 40);
        EXPECT_TRUE(Near(img.pixel(5, 5), Rgb(255, 255, 0))) << "filled with the tile colour";
        if (c.white) {
            EXPECT_GT(CountPixels(img, inside, whiteText), 8);
            EXPECT_EQ(CountPixels(img, inside, blackText), 0);
        } else {
            EXPECT_GT(CountPixels(img, inside, blackText), 8);
            EXPECT_EQ(CountPixels(img, inside, whiteText), 0);
        }
    }
}

TEST_F(WorkingViews, TileIdTextSizeIsInCanvasUnitsWhateverTheScale)
{
    MakeGrid(ws, 1, 1, 50);
    prj.Cells[0][0].TileID = -1;
    auto textHeight = [&](float size, double scale) {
        ws.workplanCfg.IDTextHeight = size;
        const QImage img = draw(kDrawTileIdPlain, int(50 * scale), int(50 * scale), scale);
        int top = 1000, bottom = -1;
        for (int y = 3; y < img.height() - 3; ++y)
            for (int x = 3; x < img.width() - 3; ++x)
                if (IsDark(img.pixel(x, y))) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        return bottom - top;
    };
    const int small = textHeight(12, 1.0);
    const int large = textHeight(36, 1.0);
    EXPECT_GT(large, 2 * small);
    EXPECT_NEAR(textHeight(12, 2.0), small, 1) << "the cell grows, the text does not";

    // On a bitmap of device pixel ratio 2 the text keeps its logical size.
    ws.workplanCfg.IDTextHeight = 12;
    QImage hiDpi = WhiteImage(50, 50, 2.0);
    {
        Canvas canvas(hiDpi);
        ASSERT_TRUE(Draw_Allcell(ws, canvas, kDrawTileIdPlain, 1.0, nullptr).ok());
    }
    int top = 1000, bottom = -1;
    for (int y = 6; y < hiDpi.height() - 6; ++y)
        for (int x = 6; x < hiDpi.width() - 6; ++x)
            if (IsDark(hiDpi.pixel(x, y))) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    EXPECT_NEAR(bottom - top, 2 * small, 2);
}

TEST_F(WorkingViews, DisabledCellsAreBlankInMode10AndDrawnInMode20)
{
    MakeGrid(ws, 3, 1, 20);
    SetTileColor(ws, 0, 0, 0, 255);
    for (int x = 0; x < 3; ++x) {
        SetMeasured(prj.Cells[0][x], 255, 0, 0);
        prj.Cells[0][x].enable = 0;
    }
    prj.Cells[0][0].enable = 1;
    prj.Cells[0][1].TileID = 0; // disabled, with a tile
    // Cell 2: disabled, no tile.

    const QImage m10 = draw(kDrawSourceColor, 60, 20);
    EXPECT_TRUE(Near(m10.pixel(10, 10), Rgb(255, 0, 0)));
    EXPECT_EQ(CountPixels(m10, QRect(22, 0, 38, 20), IsWhite), 38 * 20) << "disabled cells are not drawn at all";

    const QImage m20 = draw(kDrawTileColor, 60, 20);
    EXPECT_TRUE(Near(m20.pixel(30, 10), Rgb(0, 0, 255))) << "a disabled cell with a tile shows its colour";
    EXPECT_TRUE(IsWhite(m20.pixel(50, 10))) << "a cell without a tile is only outlined";
    EXPECT_TRUE(IsLine(m20.pixel(50, 0)));
    EXPECT_TRUE(IsLine(m20.pixel(59, 10)));
    EXPECT_TRUE(IsWhite(m20.pixel(10, 10))) << "the enabled cell has no tile either";
}

TEST_F(WorkingViews, Mode20TreatsAStaleTileIdAsNoTile)
{
    MakeGrid(ws, 1, 1, 20);
    SetTileColor(ws, 0, 0, 0, 255);
    ws.mtilelib.items[3].ColorInfo.ci1.rgb = Rgb(0, 255, 0); // beyond Count: never read
    for (int id : {1, 3, 2048, 1 << 30}) {
        SCOPED_TRACE(id);
        prj.Cells[0][0].TileID = id;
        const QImage img = draw(kDrawTileColor, 20, 20);
        EXPECT_TRUE(IsWhite(img.pixel(10, 10)));
        EXPECT_TRUE(IsLine(img.pixel(10, 0)));
    }
}

TEST_F(WorkingViews, Mode40LeavesPriority3BlankAndMode41FadesAndCrossesIt)
{
    MakeGrid(ws, 4, 1, 20);
    for (int x = 0; x < 4; ++x) {
        SetMeasured(prj.Cells[0][x], 200, 0, 0);
        prj.Cells[0][x].PriLevel = x;
    }

    const QImage m40 = draw(kDrawPriorityNumber, 80, 20);
    // Column 60 carries the outline of cell 2.
    EXPECT_EQ(CountPixels(m40, QRect(61, 0, 19, 20), IsWhite), 19 * 20) << "priority 3 completely blank";
    for (int x = 0; x < 3; ++x) {
        SCOPED_TRACE(x);
        const QRect inside(x * 20 + 2, 2, 16, 16);
        EXPECT_TRUE(Near(m40.pixel(x * 20 + 2, 2), Rgb(200, 0, 0)));
        // Mean of (200, 0, 0) is below 128: the number is white.
        EXPECT_GT(CountPixels(m40, inside, [](QRgb p) { return qGreen(p) > 200; }), 5);
    }

    const QImage m41 = draw(kDrawPriorityColor, 80, 20);
    struct Case {
        const char* name;
        int x;
        double opacity;
    };
    const Case cases[] = {{"level 0", 0, 1.0}, {"level 1", 1, 0.75}, {"level 2", 2, 0.5}, {"level 3", 3, 0.25}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int r = int(std::lround(200 * c.opacity + 255 * (1 - c.opacity)));
        const int gb = int(std::lround(255 * (1 - c.opacity)));
        // Off both diagonals and away from the outline.
        EXPECT_TRUE(Near(m41.pixel(c.x * 20 + 10, 4), Rgb(r, gb, gb), 3));
        const bool crossed = c.x == 3;
        const TAlphaColor fill = Rgb(r, gb, gb);
        EXPECT_EQ(Darkened(m41.pixel(c.x * 20 + 10, 10), fill), crossed) << "centre of the cross";
        EXPECT_EQ(Darkened(m41.pixel(c.x * 20 + 5, 5), fill), crossed) << "on the first diagonal";
        EXPECT_EQ(Darkened(m41.pixel(c.x * 20 + 14, 5), fill), crossed) << "on the second diagonal";
    }
}

TEST_F(WorkingViews, PriorityViewsSkipDisabledCells)
{
    MakeGrid(ws, 1, 1, 20);
    prj.Cells[0][0].enable = 0;
    for (int mode : {kDrawPriorityNumber, kDrawPriorityColor}) {
        SCOPED_TRACE(mode);
        const QImage img = draw(mode, 20, 20);
        EXPECT_EQ(CountPixels(img, img.rect(), IsWhite), 400);
    }
}

TEST_F(WorkingViews, RoundCellsAreEllipsesTurnedByTheirRotation)
{
    MakeGrid(ws, 1, 1, 60, kShapeEllipse);
    TCell& cell = prj.Cells[0][0];
    cell.CellRectReal = TRectF{10, 20, 50, 40}; // 40 x 20 around (30, 30)
    SetMeasured(cell, 0, 0, 255);
    auto blue = [](QRgb p) { return qBlue(p) > 200 && qRed(p) < 60; };

    cell.Rotate = 0;
    QImage img = draw(kDrawSourceColor, 60, 60);
    EXPECT_TRUE(blue(img.pixel(30 + 15, 30)));
    EXPECT_FALSE(blue(img.pixel(30, 30 + 15)));

    cell.Rotate = std::numbers::pi / 2;
    img = draw(kDrawSourceColor, 60, 60);
    EXPECT_FALSE(blue(img.pixel(30 + 15, 30)));
    EXPECT_TRUE(blue(img.pixel(30, 30 + 15)));
}

TEST_F(WorkingViews, RangeDrawsTheCellAtTheOriginAndSkipsTouchingNeighbours)
{
    MakeGrid(ws, 3, 3, 20);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            SetMeasured(prj.Cells[y][x], 40 * x + 100, 40 * y + 100, 0);
    const TAlphaColor middle = Rgb(140, 140, 0);

    struct Case {
        const char* name;
        TRectF range;
        double scale;
        bool rightNeighbour;
    };
    const Case cases[] = {
        {"exactly the middle cell", prj.Cells[1][1].CellRectReal, 1.0, false},
        {"at scale 2", prj.Cells[1][1].CellRectReal, 2.0, false},
        {"reaching half a unit into the right neighbour", TRectF{20, 20, 40.5f, 40}, 1.0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int side = int(20 * c.scale);
        const QImage img = drawRange(kDrawSourceColor, c.range, 2 * side, 2 * side, c.scale);
        EXPECT_TRUE(Near(img.pixel(side / 2, side / 2), middle)) << "the cell at the origin";
        EXPECT_TRUE(IsLine(img.pixel(side / 2, 0))) << "the range outline";
        // Where the right neighbour (2, 1) would land.
        EXPECT_EQ(Near(img.pixel(side + side / 2, side / 2), Rgb(180, 140, 0)), c.rightNeighbour);
        // The lower neighbour (1, 2) only touches in every case.
        EXPECT_TRUE(IsWhite(img.pixel(side / 2, side + side / 2)));
        EXPECT_TRUE(IsWhite(img.pixel(side + side / 2, side + side / 2)));
    }
}

TEST_F(WorkingViews, RangeDrawsTheAddOnCellsWithoutAnOverlapTest)
{
    MakeGrid(ws, 1, 1, 10);
    prj.cfg.AddonTilesCount = 1;
    prj.AddonTiles[0] = MakeCell(kShapeRect, TRectF{100, 100, 110, 110});
    SetMeasured(prj.AddonTiles[0], 0, 0, 255);
    // The range lies far from the add-on cell; moved by the range, the cell lands at
    // (100 - 95, 100 - 95).
    const QImage img = drawRange(kDrawSourceColor, TRectF{95, 95, 96, 96}, 20, 20);
    EXPECT_TRUE(Near(img.pixel(10, 10), Rgb(0, 0, 255)));
}

TEST_F(WorkingViews, RangeMovesThePriorityViewsToo)
{
    MakeGrid(ws, 3, 1, 20);
    for (int x = 0; x < 3; ++x)
        SetMeasured(prj.Cells[0][x], 0, 0, 255);
    prj.Cells[0][1].PriLevel = kPriorityNever;
    const QImage m41 = drawRange(kDrawPriorityColor, prj.Cells[0][1].CellRectReal, 40, 20);
    EXPECT_TRUE(Near(m41.pixel(10, 4), Rgb(191, 191, 255), 3)) << "priority 3 at opacity 0.25, at the origin";
    EXPECT_TRUE(Darkened(m41.pixel(10, 10), Rgb(191, 191, 255))) << "its cross at the origin";
    EXPECT_TRUE(IsWhite(m41.pixel(30, 10))) << "the touching neighbour is not drawn";
}

TEST_F(WorkingViews, AddOnProgressIsReportedEveryStepOfAHundredth)
{
    struct Case {
        const char* name;
        int n;
        int step;
    };
    const Case cases[] = {{"one cell", 1, 1}, {"37 cells", 37, 1}, {"99 cells", 99, 1}, {"100 cells", 100, 1},
                          {"250 cells", 250, 2}, {"5001 cells", 5001, 50}};
    CountingPump pump;
    ws.platform.events = &pump;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prj.cfg.Vcc = prj.cfg.Hcc = 0;
        prj.cfg.AddonTilesCount = c.n;
        for (int j = 0; j < c.n; ++j)
            prj.AddonTiles[j] = MakeCell(kShapeRect, TRectF{float(j % 50), float(j / 50), float(j % 50 + 1),
                                                            float(j / 50 + 1)});
        pump.count = 0;
        RecordingProgress progress;
        draw(kDrawOutline, 50, 101, 1.0, &progress);
        std::vector<int> expected;
        for (int j = 0; j < c.n; j += c.step)
            expected.push_back(j * 100 / c.n);
        EXPECT_EQ(pump.count, int(expected.size()));
        expected.push_back(0);
        EXPECT_EQ(progress.values, expected);
    }
}

TEST_F(WorkingViews, AddOnCellsAreAllDrawn)
{
    prj.cfg.Vcc = prj.cfg.Hcc = 0;
    prj.cfg.AddonTilesCount = 99;
    for (int j = 0; j < 99; ++j) {
        prj.AddonTiles[j] = MakeCell(kShapeRect, TRectF{float(j * 4), 0, float(j * 4 + 4), 4});
        SetMeasured(prj.AddonTiles[j], 0, 0, 255);
    }
    const QImage img = draw(kDrawSourceColor, 400, 4);
    for (int j = 0; j < 99; ++j)
        EXPECT_TRUE(Near(img.pixel(j * 4 + 2, 2), Rgb(0, 0, 255))) << "cell " << j;
    EXPECT_TRUE(IsWhite(img.pixel(398, 2)));
}

TEST_F(WorkingViews, GridProgressIsReportedPerRowAndEndsAtZero)
{
    CountingPump pump;
    ws.platform.events = &pump;
    MakeGrid(ws, 2, 4, 5);
    RecordingProgress progress;
    draw(kDrawOutline, 10, 20, 1.0, &progress);
    EXPECT_EQ(progress.values, (std::vector<int>{0, 25, 50, 75, 0}));
    EXPECT_EQ(pump.count, 4);
}

TEST_F(WorkingViews, CountsBeyondTheArraysAreClamped)
{
    MakeGrid(ws, 1, 1, 1);
    prj.cfg.Vcc = 5000;
    prj.cfg.Hcc = -3;
    prj.cfg.AddonTilesCount = 1 << 20;
    RecordingProgress progress;
    draw(kDrawOutline, 10, 10, 1.0, &progress);
    // 101 rows, then 5001 add-on cells in steps of 50, then the final 0.
    ASSERT_EQ(progress.values.size(), std::size_t(101 + 101 + 1));
    EXPECT_EQ(progress.values[100], 100 * 100 / 101);
    EXPECT_EQ(progress.values[101 + 100], 5000 * 100 / 5001);
}

TEST_F(WorkingViews, OtherModesDrawNothing)
{
    MakeGrid(ws, 2, 2, 10);
    for (int mode : {-1, 5, 50, 99}) {
        SCOPED_TRACE(mode);
        const QImage img = draw(mode, 20, 20);
        EXPECT_EQ(CountPixels(img, img.rect(), IsWhite), 400);
    }
}

class TilePhotoView : public WorkingViews {
protected:
    QTemporaryDir dir;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("ready")));
        ws.mtilelib.setRootpath(dir.path() + QLatin1Char('/'));
        // Left half red, right half blue, so stretching and placement show.
        QImage picture(8, 4, QImage::Format_ARGB32);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                picture.setPixel(x, y, x < 4 ? 0xFFFF0000 : 0xFF0000FF);
        ws.mtilelib.items[0].FileName.set(QStringLiteral("halves.png"));
        SetTileColor(ws, 0, 128, 0, 128);
        ASSERT_TRUE(SavePicture(picture, ws.mtilelib.GetFullName(0)).ok());
    }
};

TEST_F(TilePhotoView, StretchesThePictureOverTheCellWithoutMask)
{
    MakeGrid(ws, 2, 1, 40, kShapeTriangleUp);
    prj.Cells[0][0].TileID = 0;
    SetMeasured(prj.Cells[0][1], 0, 255, 0);
    const QImage img = draw(kDrawTilePhoto, 80, 40);
    EXPECT_TRUE(Near(img.pixel(1, 1), Rgb(255, 0, 0), 8)) << "the triangle's corner is painted: no mask";
    EXPECT_TRUE(Near(img.pixel(10, 38), Rgb(255, 0, 0), 8));
    EXPECT_TRUE(Near(img.pixel(30, 38), Rgb(0, 0, 255), 8));
    EXPECT_TRUE(Near(img.pixel(38, 1), Rgb(0, 0, 255), 8));
    // The cell without a tile falls back to its measured colour inside its shape.
    EXPECT_TRUE(Near(img.pixel(60, 35), Rgb(0, 255, 0)));
    EXPECT_TRUE(IsWhite(img.pixel(42, 2)));
}

TEST_F(TilePhotoView, AddOnCellsAreNotDrawnAndTheRangeMovesThePhoto)
{
    MakeGrid(ws, 2, 1, 20);
    prj.Cells[0][0].enable = 0; // its fallback (the measured colour) shows nothing
    prj.Cells[0][1].TileID = 0;
    prj.cfg.AddonTilesCount = 1;
    prj.AddonTiles[0] = MakeCell(kShapeRect, TRectF{0, 0, 20, 20}, 0);
    QImage img = draw(kDrawTilePhoto, 40, 20);
    EXPECT_TRUE(IsWhite(img.pixel(5, 10))) << "no photo for add-on cells";
    EXPECT_TRUE(Near(img.pixel(22, 10), Rgb(255, 0, 0), 8));

    prj.cfg.AddonTilesCount = 0;
    img = drawRange(kDrawTilePhoto, prj.Cells[0][1].CellRectReal, 40, 20);
    EXPECT_TRUE(Near(img.pixel(3, 10), Rgb(255, 0, 0), 8));
    EXPECT_TRUE(Near(img.pixel(17, 10), Rgb(0, 0, 255), 8));
    EXPECT_TRUE(IsWhite(img.pixel(30, 10)));
}

TEST_F(TilePhotoView, AMissingPictureIsReportedWithItsName)
{
    MakeGrid(ws, 1, 1, 20);
    ws.mtilelib.items[0].FileName.set(QStringLiteral("gone.png"));
    prj.Cells[0][0].TileID = 0;
    QImage image = WhiteImage(20, 20);
    Canvas canvas(image);
    RecordingProgress progress;
    const Status st = Draw_Allcell(ws, canvas, kDrawTilePhoto, 1.0, &progress);
    ASSERT_FALSE(st.ok());
    EXPECT_TRUE(st.error().contains(QStringLiteral("gone.png"))) << st.error().toStdString();
    EXPECT_TRUE(progress.values.empty()) << "the drawing stopped in the first row";
    EXPECT_FALSE(canvas.inScene());
}
