#include "render/overview.h"

#include "tests/render/final_render_fixtures.h"

#include <cmath>
#include <limits>

using namespace final_render_test;

namespace {

constexpr TAlphaColor kRed = 0xFFFF0000;
constexpr TAlphaColor kGreen = 0xFF00FF00;
constexpr TAlphaColor kGrout = 0xFF202020;

// A 4 x 4 project of 20-unit cells over a red and a green tile in a checkerboard.
class Overview : public testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        MakeGridProject(*ws, 4, 4, 20);
        FixtureLibraryOptions o;
        o.widthPx = o.heightPx = 20;
        ASSERT_TRUE(UseLibrary(*ws, dir.filePath("lib"), {Tile("red.png", kRed), Tile("green.png", kGreen)}, o));
        PlainOptions(*ws, kGrout);
        SetMainImage(*ws, SolidPicture(40, 40, 0xFF808080));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                SetCellTile(*ws, x, y, (x + y) % 2);
    }
};

} // namespace

TEST(OverviewSize, FitsIntoTwiceTwoThousandAndFortyEight)
{
    struct Case {
        const char* name;
        double w, h;
        int ow, oh;
    };
    const Case cases[] = {
        {"8000 x 6000 is scaled down", 8000, 6000, 4096, 3072},
        {"1000 x 1000 is scaled up", 1000, 1000, 4096, 4096},
        {"portrait", 6000, 8000, 3072, 4096},
        {"a third of the height is truncated", 3000, 1000, 4096, 1365},
        {"tiny", 3, 2, 4096, 2730},
        {"no width", 0, 1000, 0, 0},
        {"negative", -10, 1000, 0, 0},
        {"not a number", std::numeric_limits<double>::quiet_NaN(), 1000, 0, 0},
        {"infinite", std::numeric_limits<double>::infinity(), 1000, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QSize s = OverviewSize(c.w, c.h);
        EXPECT_EQ(s.width(), c.ow);
        EXPECT_EQ(s.height(), c.oh);
    }
}

TEST_F(Overview, TheScaleMapsTheLayoutWidthOntoTheBitmap)
{
    TprojectCFG& cfg = ws->mproject.cfg;
    cfg.WidthPx = 8000;
    cfg.HeightPx = 6000;
    cfg.FullWidthF = 8000;
    EXPECT_DOUBLE_EQ(OverviewScale(*ws), 2048.0 / 8000 * 2) << "a working canvas as wide as the layout";
    cfg.FullWidthF = 2974;
    EXPECT_DOUBLE_EQ(OverviewScale(*ws), 4096.0 / 2974) << "a layout in millimetres";
    cfg.WidthPx = 0;
    EXPECT_EQ(OverviewScale(*ws), 0.0);
}

TEST_F(Overview, RendersTheWholeMosaicAtFourThousandPixels)
{
    RecordingProgress progress;
    QImage overview;
    const Status st = RenderOverview(*ws, overview, &progress);
    ASSERT_TRUE(st.ok()) << st.error().toStdString();
    ASSERT_EQ(overview.size(), QSize(4096, 4096));
    // Cell (x, y) covers 1024 pixels each way.
    EXPECT_TRUE(Near(PixelAt(overview, 512, 512), kRed)) << Hex(PixelAt(overview, 512, 512));
    EXPECT_TRUE(Near(PixelAt(overview, 1536, 512), kGreen));
    EXPECT_TRUE(Near(PixelAt(overview, 3584, 3584), kRed)) << "the last cell reaches the corner";
    EXPECT_TRUE(Near(PixelAt(overview, 4090, 4090), kRed));
    ASSERT_FALSE(progress.values.empty());
    EXPECT_EQ(progress.values.back(), 0);
}

TEST_F(Overview, AWorkingCanvasLargerThanTheLayoutStillFillsTheBitmap)
{
    TprojectCFG& cfg = ws->mproject.cfg;
    cfg.PreviewBMPsize = 200; // WidthPx 200 over a layout 80 wide
    ws->mproject.MainSize_Update();
    ASSERT_DOUBLE_EQ(cfg.WidthPx, 200);
    ASSERT_DOUBLE_EQ(cfg.FullWidthF, 80);
    QImage overview;
    ASSERT_TRUE(RenderOverview(*ws, overview, nullptr).ok());
    ASSERT_EQ(overview.size(), QSize(4096, 4096));
    EXPECT_TRUE(Near(PixelAt(overview, 3584, 3584), kRed)) << Hex(PixelAt(overview, 3584, 3584));
}

TEST_F(Overview, CellsWithoutTilesShowTheBackground)
{
    ws->mproject.Cells[0][0].TileID = -1;
    QImage overview;
    ASSERT_TRUE(RenderOverview(*ws, overview, nullptr).ok());
    EXPECT_TRUE(Near(PixelAt(overview, 512, 512), kGrout));
    ws->moptions.BgMainImage = 1;
    ASSERT_TRUE(RenderOverview(*ws, overview, nullptr).ok());
    EXPECT_TRUE(Near(PixelAt(overview, 512, 512), 0xFF808080));
}

TEST_F(Overview, AMissingTilePictureStopsWithItsName)
{
    ASSERT_TRUE(QFile::remove(dir.filePath("lib/ready/green.png")));
    QImage overview;
    const Status st = RenderOverview(*ws, overview, nullptr);
    ASSERT_FALSE(st.ok());
    EXPECT_TRUE(st.error().contains("green.png")) << st.error().toStdString();
}

TEST_F(Overview, AProjectWithoutSizeDrawsNothing)
{
    ws->mproject.cfg.WidthPx = 0;
    QImage overview(7, 7, QImage::Format_ARGB32_Premultiplied);
    overview.fill(Qt::black);
    ASSERT_TRUE(RenderOverview(*ws, overview, nullptr).ok());
    EXPECT_EQ(overview.size(), QSize(7, 7));
}

TEST(OverviewFromView, FitsTheViewsLogicalSizeIntoTwiceOneThousandAndTwentyFour)
{
    QImage view(1000, 500, QImage::Format_ARGB32_Premultiplied);
    view.fill(Qt::white);
    {
        QPainter p(&view);
        p.fillRect(500, 0, 500, 500, Qt::blue);
    }
    view.setDevicePixelRatio(2.0); // a 500 x 250 control on a high-density display
    const QImage copy = OverviewFromView(view, view.deviceIndependentSize());
    ASSERT_EQ(copy.size(), QSize(2048, 1024));
    EXPECT_EQ(copy.pixel(1500, 500), QColor(Qt::blue).rgba());
    EXPECT_EQ(copy.pixel(500, 500), QColor(Qt::white).rgba());
    EXPECT_TRUE(OverviewFromView(QImage(), QSizeF(100, 100)).isNull());
    EXPECT_TRUE(OverviewFromView(view, QSizeF()).isNull());
}
