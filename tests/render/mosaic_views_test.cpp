#include "render/mosaic_views.h"

#include "render/final_mosaic.h"
#include "tests/render/final_render_fixtures.h"

using namespace final_render_test;

namespace {

constexpr TAlphaColor kRed = 0xFFFF0000;
constexpr TAlphaColor kGroutGrey = 0xFF445566;

class MosaicViews : public testing::Test {
protected:
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    QTemporaryDir dir;
};

TEST_F(MosaicViews, AViewIsSizedByScaleAndScreenScale)
{
    TprojectCFG& cfg = ws->mproject.cfg;
    cfg.FullWidthF = 1000;
    cfg.FullHeightF = 800;
    ws->screenScale = 2;
    PlainOptions(*ws, kGroutGrey);
    QImage view;
    const Status st = Draw_MosaicToView(*ws, 50, view, 0.5, nullptr);
    ASSERT_TRUE(st.ok()) << st.error().toStdString();
    EXPECT_EQ(view.size(), QSize(1000, 800));
    EXPECT_EQ(view.devicePixelRatio(), 2.0);
    EXPECT_EQ(view.deviceIndependentSize(), QSizeF(500, 400));
    EXPECT_EQ(MosaicViewSize(*ws, 0.5), QSize(500, 400));
    EXPECT_EQ(Hex(PixelAt(view, 999, 799)), Hex(kGroutGrey));
}

TEST_F(MosaicViews, OtherModesStartFromWhite)
{
    TprojectCFG& cfg = ws->mproject.cfg;
    cfg.FullWidthF = 30;
    cfg.FullHeightF = 20;
    PlainOptions(*ws, kGroutGrey);
    QImage view;
    ASSERT_TRUE(Draw_MosaicToView(*ws, 10, view, 1.0, nullptr).ok());
    EXPECT_EQ(view.size(), QSize(30, 20));
    EXPECT_EQ(Hex(PixelAt(view, 0, 0)), Hex(0xFFFFFFFF));
}

TEST_F(MosaicViews, TheViewDrawsTheMosaicAtItsScaleInLogicalUnits)
{
    // 2 x 1 cells of 20 at scale 2 on a display of scale 2: the second cell covers
    // logical 40..80, pixels 80..160.
    MakeGridProject(*ws, 2, 1, 20);
    FixtureLibraryOptions o;
    o.widthPx = o.heightPx = 20;
    ASSERT_TRUE(UseLibrary(*ws, dir.filePath(QStringLiteral("lib")), {Tile("red.png", kRed)}, o));
    PlainOptions(*ws, kGroutGrey);
    SetCellTile(*ws, 1, 0, 0);
    ws->screenScale = 2;
    QImage view;
    ASSERT_TRUE(Draw_MosaicToView(*ws, 50, view, 2.0, nullptr).ok());
    ASSERT_EQ(view.size(), QSize(160, 80));
    EXPECT_EQ(Hex(PixelAt(view, 40, 40)), Hex(kGroutGrey));
    EXPECT_TRUE(Near(PixelAt(view, 120, 40), kRed)) << Hex(PixelAt(view, 120, 40));
    EXPECT_TRUE(Near(PixelAt(view, 82, 2), kRed)) << Hex(PixelAt(view, 82, 2));
}

TEST_F(MosaicViews, AProjectWithoutSizeGivesAnEmptyView)
{
    QImage view(10, 10, QImage::Format_ARGB32_Premultiplied);
    EXPECT_TRUE(Draw_MosaicToView(*ws, 50, view, 1.0, nullptr).ok());
    EXPECT_TRUE(view.isNull());
}

TEST_F(MosaicViews, AnOversizedViewIsRefused)
{
    ws->mproject.cfg.FullWidthF = 1e9;
    ws->mproject.cfg.FullHeightF = 10;
    QImage view;
    const Status st = Draw_MosaicToView(*ws, 50, view, 1.0, nullptr);
    EXPECT_FALSE(st.ok());
    EXPECT_TRUE(st.error().contains(QStringLiteral("at most"))) << st.error().toStdString();
}

TEST_F(MosaicViews, ABitmapIsFittedToTheProjectsPixelSize)
{
    struct Case {
        const char* name;
        double widthPx, heightPx;
        QSize bitmap, fitted;
        double scale;
    };
    const Case cases[] = {
        {"wide", 4000, 2000, QSize(1000, 1000), QSize(1000, 500), 0.25},
        {"tall", 6000, 8000, QSize(300, 1000), QSize(300, 400), 0.05},
        {"scaled up", 100, 50, QSize(400, 400), QSize(400, 200), 4.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TprojectCFG& cfg = ws->mproject.cfg;
        cfg.WidthPx = c.widthPx;
        cfg.HeightPx = c.heightPx;
        cfg.FullWidthF = c.widthPx / 2;
        cfg.FullHeightF = c.heightPx / 2;
        PlainOptions(*ws, kGroutGrey);
        QImage bitmap(c.bitmap, QImage::Format_ARGB32_Premultiplied);
        const Result<double> scale = Draw_MosaicToBitmap(*ws, 50, bitmap, nullptr);
        ASSERT_TRUE(scale.ok()) << scale.error().toStdString();
        EXPECT_DOUBLE_EQ(*scale, c.scale);
        EXPECT_EQ(bitmap.size(), c.fitted);
        EXPECT_EQ(Hex(PixelAt(bitmap, c.fitted.width() - 1, c.fitted.height() - 1)), Hex(kGroutGrey))
            << "the background covers the fitted bitmap";
    }
}

TEST_F(MosaicViews, TheMosaicFillsTheFittedBitmap)
{
    // 2 x 2 cells of 20 on a working canvas of 160 pixels (CanvasScale 4) fitted into 100
    // pixels: the bottom-right cell covers the bitmap's bottom-right quarter.
    MakeGridProject(*ws, 2, 2, 20);
    TprojectCFG& cfg = ws->mproject.cfg;
    cfg.PreviewBMPsize = 160;
    ws->mproject.MainSize_Update();
    ASSERT_DOUBLE_EQ(cfg.CanvasScale, 4.0);
    FixtureLibraryOptions o;
    o.widthPx = o.heightPx = 20;
    ASSERT_TRUE(UseLibrary(*ws, dir.filePath(QStringLiteral("lib")), {Tile("red.png", kRed)}, o));
    PlainOptions(*ws, kGroutGrey);
    SetCellTile(*ws, 1, 1, 0);
    QImage bitmap(100, 100, QImage::Format_ARGB32_Premultiplied);
    const Result<double> scale = Draw_MosaicToBitmap(*ws, 50, bitmap, nullptr);
    ASSERT_TRUE(scale.ok()) << scale.error().toStdString();
    EXPECT_DOUBLE_EQ(*scale, 100.0 / 160);
    ASSERT_EQ(bitmap.size(), QSize(100, 100));
    EXPECT_TRUE(Near(PixelAt(bitmap, 95, 95), kRed)) << Hex(PixelAt(bitmap, 95, 95));
    EXPECT_TRUE(Near(PixelAt(bitmap, 55, 55), kRed)) << Hex(PixelAt(bitmap, 55, 55));
    EXPECT_EQ(Hex(PixelAt(bitmap, 45, 45)), Hex(kGroutGrey));
}

TEST_F(MosaicViews, AWorkingViewFillsTheFittedBitmap)
{
    // Mode 10 of 2 x 2 cells of 20 (working canvas 160, CanvasScale 4) into 100 pixels:
    // each cell's measured colour covers a quarter of the bitmap, as at scale 100 / 40.
    MakeGridProject(*ws, 2, 2, 20);
    ws->mproject.cfg.PreviewBMPsize = 160;
    ws->mproject.MainSize_Update();
    const TAlphaColor colours[2][2] = {{0xFF102030, 0xFF405060}, {0xFF708090, 0xFFA0B0C0}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            ws->mproject.Cells[y][x].ICinfo.ci1.rgb = colours[y][x];
    QImage bitmap(100, 100, QImage::Format_ARGB32_Premultiplied);
    const Result<double> scale = Draw_MosaicToBitmap(*ws, 10, bitmap, nullptr);
    ASSERT_TRUE(scale.ok()) << scale.error().toStdString();
    ASSERT_EQ(bitmap.size(), QSize(100, 100));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_TRUE(Near(PixelAt(bitmap, 25 + 50 * x, 25 + 50 * y), colours[y][x]))
                << x << "," << y << ": " << Hex(PixelAt(bitmap, 25 + 50 * x, 25 + 50 * y));
}

TEST_F(MosaicViews, ABitmapOfAnotherModeIsClearedLightBlue)
{
    TprojectCFG& cfg = ws->mproject.cfg;
    cfg.WidthPx = 400;
    cfg.HeightPx = 200;
    cfg.FullWidthF = 40;
    cfg.FullHeightF = 20;
    QImage bitmap(100, 100, QImage::Format_ARGB32_Premultiplied);
    const Result<double> scale = Draw_MosaicToBitmap(*ws, 10, bitmap, nullptr);
    ASSERT_TRUE(scale.ok());
    EXPECT_DOUBLE_EQ(*scale, 0.25);
    EXPECT_EQ(bitmap.size(), QSize(100, 50));
    EXPECT_EQ(Hex(PixelAt(bitmap, 0, 0)), Hex(0xFF66CCFF));
}

TEST_F(MosaicViews, AnImageIsMadeAtTheControlsSizeOnTheDisplay)
{
    TprojectCFG& cfg = ws->mproject.cfg;
    cfg.WidthPx = 4000;
    cfg.HeightPx = 2000;
    cfg.FullWidthF = 400;
    cfg.FullHeightF = 200;
    ws->screenScale = 2;
    PlainOptions(*ws, kGroutGrey);
    QImage image;
    const Result<double> scale = Draw_MosaicToImage(*ws, 50, image, QSize(300, 300), nullptr);
    ASSERT_TRUE(scale.ok()) << scale.error().toStdString();
    EXPECT_DOUBLE_EQ(*scale, 300.0 / 4000);
    EXPECT_EQ(image.deviceIndependentSize(), QSizeF(300, 150));
    EXPECT_EQ(image.size(), QSize(600, 300));
}

} // namespace
