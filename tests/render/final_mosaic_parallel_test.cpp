// The parallel final render against the plain loop: the same project drawn both ways
// must give the same bitmap, the same progress and the same events.

#include "render/final_mosaic.h"

#include "imaging/bitmap_ops.h"
#include "tests/render/final_render_fixtures.h"

#include <QLinearGradient>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace {

using namespace final_render_test;

QImage gradientTile(int w, int h, QColor a, QColor b, QColor c)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, a);
    g.setColorAt(0.5, b);
    g.setColorAt(1, c);
    p.fillRect(img.rect(), g);
    p.fillRect(w / 3, h / 3, w / 4, h / 5, c.darker());
    return img;
}

struct Rendered {
    QImage view;
    Status status;
    std::vector<int> progress;
    int pumps = 0;
    FinalMosaicCounters counters;
};

// threads 0: the plain loop; otherwise the parallel render with that many threads.
Rendered render(Workspace& ws, int threads)
{
    const TprojectCFG& cfg = ws.mproject.cfg;
    Rendered r;
    r.view = QImage(int(cfg.FullWidthF), int(cfg.FullHeightF), QImage::Format_ARGB32_Premultiplied);
    r.view.fill(Qt::white);
    RecordingProgress progress;
    CountingPump pump;
    ws.platform.events = &pump;
    {
        Canvas canvas(r.view);
        PaintMosaicBackground(ws, canvas);
        r.status = threads == 0 ? DrawFinalMosaicPlain(ws, canvas, 1.0, &progress, &r.counters)
                                : DrawFinalMosaicParallel(ws, canvas, 1.0, &progress, &r.counters, threads);
    }
    ws.platform.events = nullptr;
    r.progress = progress.values;
    r.pumps = pump.calls;
    return r;
}

// The largest channel difference between two bitmaps of the same size, and how many
// pixels differ at all.
struct Difference {
    int largest = 0;
    int pixels = 0;
};
Difference compare(const QImage& a, const QImage& b)
{
    Difference d;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (p == q) continue;
            ++d.pixels;
            for (int shift = 0; shift < 32; shift += 8)
                d.largest = std::max(d.largest, std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)));
        }
    return d;
}

class FinalMosaicParallel : public testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();

    void library(int tiles)
    {
        std::vector<FixtureTile> list;
        for (int i = 0; i < tiles; ++i) {
            const QString name = QStringLiteral("t%1.png").arg(i);
            FixtureTile t;
            t.fileName = name;
            t.picture = gradientTile(60 + 7 * i, 45 + 5 * i, QColor::fromHsv(i * 47 % 360, 200, 230),
                                     QColor::fromHsv(i * 91 % 360, 120, 120), QColor::fromHsv(i * 13 % 360, 250, 60));
            list.push_back(t);
        }
        ASSERT_TRUE(UseLibrary(*ws, dir.filePath(QStringLiteral("lib")), list));
    }
    void mainImage()
    {
        const TprojectCFG& cfg = ws->mproject.cfg;
        SetMainImage(*ws, gradientTile(int(cfg.WidthPx / 2), int(cfg.HeightPx / 2), Qt::yellow, Qt::blue, Qt::red));
    }
};

TEST_F(FinalMosaicParallel, DrawsThePlainPictureForEveryLayout)
{
    struct Case {
        const char* name;
        bool ellipseColumns; // a second group element of ellipses
        bool rotate;         // some grid cells turned
        bool addons;         // add-on cells of the grid, turned
        bool freePattern;    // the circle layout: every cell an add-on cell
        bool bgMainImage;
        bool grayscale;
        double colorAdjust, alphaBlend;
    };
    const Case cases[] = {
        {"plain grid, adjust and blend", false, false, false, false, false, false, 0.40, 0.25},
        {"ellipses and rectangles, turned cells", true, true, false, false, true, false, 0.40, 0.25},
        {"turned add-on cells of the grid", false, true, true, false, false, false, 0.30, 0.10},
        {"free pattern, round base shape", false, false, false, true, true, false, 0.40, 0.25},
        {"grey, no adjustments", true, true, false, false, false, true, 0.05, 0.05},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ws = std::make_unique<Workspace>();
        MakeGridProject(*ws, 7, 5, 40, 3);
        TMosaicProject& prj = ws->mproject;
        if (c.ellipseColumns) {
            prj.patterncfg.HorzGroupCount = 2;
            prj.patterncfg.CellGroup[0][1] = prj.patterncfg.CellGroup[0][0];
            prj.patterncfg.CellGroup[0][1].Shape = kShapeEllipse;
            prj.Cell_Reset();
            BuildPatternShapeMasks(ws->shapeMasks, prj.patterncfg);
        }
        library(6);
        PlainOptions(*ws, 0xFF204060);
        ws->moptions.BgMainImage = c.bgMainImage;
        ws->moptions.Grayscale = c.grayscale;
        ws->moptions.ColorAdjust = c.colorAdjust;
        ws->moptions.AlphaBlend = c.alphaBlend;
        mainImage();
        std::mt19937 rng(5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                SetCellTile(*ws, x, y, int(rng() % 6), 0xFF000000u | (rng() & 0xFFFFFF));
                if (c.rotate && (x + y) % 3 == 0) prj.Cells[y][x].Rotate = 0.2 + 0.3 * x;
            }
        prj.Cells[2][3].TileID = -1; // an empty cell
        if (c.addons || c.freePattern) {
            const int n = 9;
            prj.cfg.AddonTilesCount = n;
            for (int i = 0; i < n; ++i) {
                TCell& a = prj.AddonTiles[i];
                a = prj.Cells[i % 5][i % 7];
                a.CellAID = i;
                a.TileID = i % 6;
                a.Rotate = 0.4 * i;
                a.CellShape = prj.Cells[0][0].CellShape;
            }
            if (c.freePattern) {
                prj.cfg.ProjectPatternType = kPatternCircles;
                prj.cfg.BaseTileShape = kShapeEllipse;
            }
        }

        const Rendered plain = render(*ws, 0);
        ASSERT_TRUE(plain.status.ok());
        ASSERT_GT(plain.counters.cellsDrawn, 0);
        for (const int threads : {1, 2, 3}) {
            SCOPED_TRACE(testing::Message() << threads << " threads");
            const Rendered fast = render(*ws, threads);
            ASSERT_TRUE(fast.status.ok());
            const Difference d = compare(plain.view, fast.view);
            EXPECT_LE(d.largest, 1);
            EXPECT_EQ(d.pixels, 0) << "pixels within one unit but not equal";
            EXPECT_EQ(plain.progress, fast.progress);
            EXPECT_EQ(plain.pumps, fast.pumps);
            EXPECT_EQ(plain.counters.tilesLoaded, fast.counters.tilesLoaded);
            EXPECT_EQ(plain.counters.cellsDrawn, fast.counters.cellsDrawn);
        }
    }
}

TEST_F(FinalMosaicParallel, StopsAtAMissingTileLikeThePlainLoop)
{
    MakeGridProject(*ws, 5, 4, 30);
    library(5);
    PlainOptions(*ws, 0xFF000000);
    ws->moptions.ColorAdjust = 0.4;
    mainImage();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            SetCellTile(*ws, x, y, (x + y) % 5);
    ASSERT_TRUE(QFile::remove(ws->mtilelib.GetFullName(3)));
    const Rendered plain = render(*ws, 0);
    ASSERT_FALSE(plain.status.ok());
    for (const int threads : {1, 2}) {
        SCOPED_TRACE(testing::Message() << threads << " threads");
        const Rendered fast = render(*ws, threads);
        ASSERT_FALSE(fast.status.ok());
        EXPECT_EQ(plain.status.error(), fast.status.error());
        EXPECT_EQ(compare(plain.view, fast.view).pixels, 0); // tiles 0..2 drawn, no more
        EXPECT_EQ(plain.progress, fast.progress);
        EXPECT_EQ(plain.counters.tilesLoaded, fast.counters.tilesLoaded);
    }
}

} // namespace
