#include "render/mosaic_workflow.h"

#include "engine/workspace.h"
#include "tests/support/tilelib_fixtures.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

class CountingShell final : public Shell {
public:
    void ShellOpen(const QString&) override {}
    void Beep() override { ++beeps; }
    int beeps = 0;
};

// Four colours in quadrants, so the crop and the cells see different colours.
QImage quadrantPhoto(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, x < w / 2 ? (y < h / 2 ? 0xFFC03020 : 0xFF2040C0) : (y < h / 2 ? 0xFF30B040 : 0xFFE0D050));
    return img;
}

struct Fixture {
    QTemporaryDir dir;
    CountingShell shell;
    std::unique_ptr<Workspace> ws;
    Fixture()
    {
        QLocale::setDefault(QLocale::c());
        Platform p;
        p.shell = &shell;
        ws = std::make_unique<Workspace>(p, 7);
    }
    void loadLibrary()
    {
        std::vector<FixtureTile> tiles;
        const TAlphaColor colours[] = {0xFFC03020, 0xFF2040C0, 0xFF30B040, 0xFFE0D050, 0xFF808080, 0xFF101010};
        for (int i = 0; i < 6; ++i)
            tiles.push_back(FixtureTile{QStringLiteral("t%1.png").arg(i), colours[i], {}});
        auto lib = MakeFixtureTilelib(dir.filePath("lib"), tiles);
        ASSERT_TRUE(lib);
        ASSERT_TRUE(ws->mtilelib.LoadTilelib(dir.filePath("lib/imagelib.dat")).ok());
    }
    void loadPhoto()
    {
        ws->mainImage = quadrantPhoto(400, 400);
        ws->zoomedImage = ws->mainImage;
    }
};

} // namespace

TEST(SizeUpdate, DefaultSettingsGiveTheWindowsSizeTexts)
{
    Fixture f;
    const SizeTexts t = SizeUpdate(*f.ws, NewProjectSettings{}, QSize(400, 400));
    EXPECT_EQ(t.sizeInfo, (QStringList{"Tile Size 60.00 x 60.00pixel", "Gap Size 2.00 x 2.00pixel", "Tile Count 2304",
                                       "Mosaic Size 2974.00 x 2974.00pixel", "-------",
                                       "Full Image Size 2974 x 2974Pixels",
                                       "Max Pixel Size is limited to 8192; // According DirectX 10 specification. "}));
    EXPECT_EQ(t.mosaicSize, QString("Mosaic Size 8000 x 8000pixel"));
    const TprojectCFG& c = f.ws->mproject.cfg;
    EXPECT_EQ(c.Hcc, 48);
    EXPECT_EQ(c.Vcc, 48);
    EXPECT_EQ(c.CanvasUnit, kUnitPixel);
    EXPECT_EQ(c.PreviewBMPsize, 8000);
    EXPECT_EQ(c.CellPlanBMPsizeWD, 400);
    EXPECT_DOUBLE_EQ(c.CanvasScale, 8000.0 / 2974);
    EXPECT_TRUE(f.ws->mproject.SizeChanged);
    EXPECT_EQ(f.ws->mproject.SizeUnitStr.get(), QString("pixel"));
}

TEST(SizeUpdate, CirclesPageSetsTheRingLayoutAndTheShapesRotations)
{
    Fixture f;
    NewProjectSettings s;
    s.patternPage = 1;
    s.selectedShape = 30;
    s.tangentRotateDegrees = 90;
    SizeUpdate(*f.ws, s, QSize(400, 400));
    const TprojectCFG& c = f.ws->mproject.cfg;
    EXPECT_EQ(c.ProjectPatternType, kPatternCircles);
    EXPECT_EQ(c.Hcc, 0);
    EXPECT_EQ(c.Vcc, 0);
    EXPECT_EQ(c.BaseTileShape, 30);
    EXPECT_EQ(c.BaseTileRotateCount, 3);
    EXPECT_EQ(c.BaseTileRotateAngle, 120);
    EXPECT_EQ(c.CircleCount, 20);
    EXPECT_EQ(c.Commondivisor, 3);
    EXPECT_NEAR(c.RotateStart, 3.14159265358979 / 2, 1e-12);
}

TEST(ReadRenderOptions, CopiesTheControlsAndSwitchesOffDisabledEffects)
{
    TmosaicOptions current{};
    current.Grayscale = 1;
    NewProjectSettings s;
    s.randomLevel = 15.9;
    s.dither = 37;
    TmosaicOptions o = ReadRenderOptions(s, current);
    EXPECT_EQ(o.RepeatMaxOn, 1);
    EXPECT_EQ(o.RepeatMax, 50);
    EXPECT_EQ(o.RepeatRadius, 1);
    EXPECT_EQ(o.RandomLevel, 15);
    EXPECT_FLOAT_EQ(o.DitherLevel, 0.37f);
    EXPECT_FLOAT_EQ(o.WeightL, 0.7950819730758667f);
    EXPECT_EQ(o.BgColor, 0xFFFFF8DCu);
    EXPECT_DOUBLE_EQ(o.ColorAdjust, 0.4);
    EXPECT_DOUBLE_EQ(o.AlphaBlend, 0.25);
    EXPECT_EQ(o.Grayscale, 1); // kept
    s.colorEnhanceOn = false;
    s.alphaBlendOn = false;
    o = ReadRenderOptions(s, current);
    EXPECT_EQ(o.ColorAdjust, 0.0);
    EXPECT_EQ(o.AlphaBlend, 0.0);
}

TEST(CreateMosaicCommand, RefusesWithoutAPhotoOrWithAnEmptyLibrary)
{
    Fixture f;
    QImage view;
    CropState crop;
    Status st = CreateMosaicCommand(*f.ws, NewProjectSettings{}, crop, QSize(400, 400), view, nullptr, nullptr);
    EXPECT_FALSE(st.ok());
    f.loadPhoto();
    st = CreateMosaicCommand(*f.ws, NewProjectSettings{}, crop, QSize(400, 400), view, nullptr, nullptr);
    ASSERT_FALSE(st.ok());
    EXPECT_TRUE(st.error().contains("no tiles")) << st.error().toStdString();
    EXPECT_FALSE(f.ws->mproject.Rendered);
    EXPECT_EQ(f.shell.beeps, 0);
}

TEST(CreateMosaicCommand, LaysOutSearchesAndDrawsWithTheTimings)
{
    Fixture f;
    f.loadLibrary();
    f.loadPhoto();
    NewProjectSettings s;
    s.horizontalCount = 8;
    s.verticalCount = 8;
    // Six tiles cannot fill every cell under the repeat radius; the best match is wanted.
    s.repeatRadiusOn = false;
    s.randomLevel = 1;
    SizeUpdate(*f.ws, s, QSize(400, 400));
    CropState crop;
    crop.cropRect = TRectF{0, 0, 400, 400};
    f.ws->mtilelib.ItemEnable[2] = 0; // the command enables every tile first

    QImage view;
    QString label;
    const Status st = CreateMosaicCommand(*f.ws, s, crop, QSize(400, 400), view, nullptr, &label);
    ASSERT_TRUE(st.ok()) << st.error().toStdString();
    EXPECT_TRUE(f.ws->mproject.Rendered);
    EXPECT_TRUE(f.ws->mproject.cfg.searchDone);
    // The final size update marks the size as changed again, so the next run lays out anew.
    EXPECT_TRUE(f.ws->mproject.SizeChanged);
    EXPECT_EQ(f.ws->mtilelib.ItemEnable[2], 1);
    EXPECT_EQ(f.shell.beeps, 1);
    EXPECT_TRUE(QRegularExpression("^ReadColor\\d+  Render\\d+  Draw\\d+$").match(label).hasMatch())
        << label.toStdString();
    const TprojectCFG& c = f.ws->mproject.cfg;
    EXPECT_EQ(view.width(), int(c.FullWidthF * c.PreviewScale));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const int id = f.ws->mproject.Cells[y][x].TileID;
            EXPECT_TRUE(id >= 0 && id < 6) << x << "," << y;
        }
    // Each quadrant of the photo gets the tile of its colour.
    EXPECT_EQ(f.ws->mproject.Cells[0][0].TileID, 0);
    EXPECT_EQ(f.ws->mproject.Cells[7][0].TileID, 1);
    EXPECT_EQ(f.ws->mproject.Cells[0][7].TileID, 2);
    EXPECT_EQ(f.ws->mproject.Cells[7][7].TileID, 3);
}

TEST(CreateMosaicCommand, ANewTileSizeIsLaidOutAgainBeforeTheSearch)
{
    Fixture f;
    f.loadLibrary();
    f.loadPhoto();
    NewProjectSettings s;
    s.horizontalCount = 6;
    s.verticalCount = 6;
    CropState crop;
    crop.cropRect = TRectF{0, 0, 400, 400};
    QImage view;
    ASSERT_TRUE(PreviewPipeline(*f.ws, s, crop, QSize(400, 400), PreviewTarget::None, {}, nullptr).ok());
    const float before = f.ws->mproject.Cells[0][1].CellRectReal.Left;

    s.tileWidth = 30; // a change of the tile width marks the size as changed
    SizeUpdate(*f.ws, s, QSize(400, 400));
    ASSERT_TRUE(CreateMosaicCommand(*f.ws, s, crop, QSize(400, 400), view, nullptr, nullptr).ok());
    EXPECT_FLOAT_EQ(before, 62);
    EXPECT_FLOAT_EQ(f.ws->mproject.Cells[0][1].CellRectReal.Left, 32);
}

TEST(PreviewPipeline, APreviewAfterASearchClearsTheTiles)
{
    Fixture f;
    f.loadLibrary();
    f.loadPhoto();
    NewProjectSettings s;
    s.horizontalCount = 5;
    s.verticalCount = 5;
    s.repeatRadiusOn = false;
    CropState crop;
    crop.cropRect = TRectF{0, 0, 400, 400};
    QImage view, preview;
    SizeUpdate(*f.ws, s, QSize(200, 200)); // as the window's first showing does
    ASSERT_TRUE(CreateMosaicCommand(*f.ws, s, crop, QSize(200, 200), view, nullptr, nullptr).ok());
    ASSERT_GE(f.ws->mproject.Cells[2][2].TileID, 0);
    QString label;
    PreviewViews views;
    views.cellPreview = &preview;
    ASSERT_TRUE(PreviewPipeline(*f.ws, s, crop, QSize(200, 200), PreviewTarget::CellPreview, views, &label).ok());
    EXPECT_EQ(f.ws->mproject.Cells[2][2].TileID, -1);
    EXPECT_FALSE(preview.isNull());
    EXPECT_TRUE(QRegularExpression("^Cell\\d+ ReadC2-\\d+  Draw\\d+$").match(label).hasMatch()) << label.toStdString();
}

TEST(SetPriorityAt, SetsTheCellUnderThePointOnTheCellPreview)
{
    Fixture f;
    NewProjectSettings s;
    s.horizontalCount = 5;
    s.verticalCount = 5;
    f.loadPhoto();
    CropState crop;
    crop.cropRect = TRectF{0, 0, 400, 400};
    ASSERT_TRUE(PreviewPipeline(*f.ws, s, crop, QSize(200, 200), PreviewTarget::None, {}, nullptr).ok());
    const double k = f.ws->mproject.cfg.CellPlanScale;
    const TRectF r = f.ws->mproject.Cells[1][3].CellRectReal;
    EXPECT_TRUE(SetPriorityAt(*f.ws, float((r.Left + 5) * k), float((r.Top + 5) * k), 3));
    EXPECT_EQ(f.ws->mproject.Cells[1][3].PriLevel, 3);
    EXPECT_EQ(f.ws->mproject.Cells[1][2].PriLevel, 1);
    EXPECT_FALSE(SetPriorityAt(*f.ws, -50, -50, 2));
}

TEST(RenderMosaicAgain, SearchesTheCurrentLayoutAgainAndKeepsTheEnableFlags)
{
    Fixture f;
    QImage view;
    EXPECT_FALSE(RenderMosaicAgain(*f.ws, view, nullptr).ok()); // nothing to match yet

    f.loadLibrary();
    f.loadPhoto();
    NewProjectSettings s;
    s.horizontalCount = 6;
    s.verticalCount = 6;
    s.repeatRadiusOn = false;
    s.randomLevel = 1;
    CropState crop;
    crop.cropRect = TRectF{0, 0, 400, 400};
    SizeUpdate(*f.ws, s, QSize(200, 200));
    ASSERT_TRUE(CreateMosaicCommand(*f.ws, s, crop, QSize(200, 200), view, nullptr, nullptr).ok());
    ASSERT_EQ(f.ws->mproject.Cells[0][0].TileID, 0);
    const float left = f.ws->mproject.Cells[0][1].CellRectReal.Left;

    f.ws->mtilelib.ItemEnable[0] = 0;
    f.ws->mainImage = QImage(); // an opened project has only its cropped main picture
    ASSERT_TRUE(RenderMosaicAgain(*f.ws, view, nullptr).ok());
    EXPECT_EQ(f.ws->mtilelib.ItemEnable[0], 0);
    EXPECT_EQ(f.ws->mtilelib.items[0].Usecount, 0);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_TRUE(f.ws->mproject.Cells[y][x].TileID > 0) << x << "," << y;
    EXPECT_FLOAT_EQ(f.ws->mproject.Cells[0][1].CellRectReal.Left, left); // the layout stays
    EXPECT_TRUE(f.ws->mproject.Rendered);
}
