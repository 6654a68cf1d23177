// Position guide cards: which cards are written, where the circles go, how they are
// cut at the card's edge, and the refusal of an unsaved project.

#include "output/guide_cards.h"

#include "engine/workspace.h"
#include "tests/render/final_render_fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

using namespace final_render_test;

namespace {

constexpr TAlphaColor kBlue = 0xFF2020E0;
constexpr TAlphaColor kRed = 0xFFE02020;

// Clearly the lime of the indicator (at opacity 0.8 over any background).
bool IsLime(QRgb p)
{
    return qGreen(p) > 170 && qGreen(p) - qRed(p) > 100 && qGreen(p) - qBlue(p) > 100;
}

// Answers with the scripted numbers, then with 0.
class ScriptedRandom final : public RandomSource {
public:
    int Random(int n) override
    {
        calls.push_back(n);
        if (script.empty()) return 0;
        const int v = script.front();
        script.pop_front();
        return v;
    }
    void seed(std::uint32_t) override {}
    std::deque<int> script;
    std::vector<int> calls;
};

class RecordingLabel final : public Progress {
public:
    void setValue(int v) override { values.push_back(v); }
    void setText(const QString& t) override { texts << t; }
    std::vector<int> values;
    QStringList texts;
};

// A grid of cols x rows cells of 20 layout units whose working canvas is `canvasScale`
// times the layout, a saved project folder and a library of ten tiles, tile 7 blue and
// the others red.
class GuideCards : public testing::Test {
protected:
    void build(int cols, int rows, double canvasScale)
    {
        ASSERT_TRUE(dir.isValid());
        MakeGridProject(*ws, cols, rows, 20);
        TprojectCFG& cfg = ws->mproject.cfg;
        cfg.PreviewBMPsize = static_cast<std::int32_t>(std::max(cols, rows) * 20 * canvasScale);
        ws->mproject.MainSize_Update();
        ws->mproject.Cell_Reset();
        ASSERT_DOUBLE_EQ(cfg.CanvasScale, canvasScale);
        PlainOptions(*ws, 0xFF000000);
        std::vector<FixtureTile> tiles;
        for (int i = 0; i < 10; ++i)
            tiles.push_back(Tile(i == 7 ? "blue.png" : "red.png", i == 7 ? kBlue : kRed));
        for (int i = 0; i < 10; ++i)
            tiles[i].fileName = QStringLiteral("t%1.png").arg(i);
        ASSERT_TRUE(UseLibrary(*ws, dir.filePath("lib"), tiles, {.widthPx = 16, .heightPx = 16}));
        project = dir.filePath("project");
        ASSERT_TRUE(QDir().mkpath(project));
        cfg.RootPath.set(project);
        cfg.searchDone = 1;
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < cols; ++x)
                SetCellTile(*ws, x, y, -1);
    }
    void place(int x, int y, int tile)
    {
        SetCellTile(*ws, x, y, tile);
        ws->mtilelib.items[tile].Usecount += 1;
    }
    QImage card(int tile) const { return QImage(project + QStringLiteral("/GuideCard/TileCard %1.jpg").arg(tile)); }
    // The card position of the centre of grid cell (x, y).
    QPointF mapped(int x, int y) const
    {
        const TprojectCFG& cfg = ws->mproject.cfg;
        const GuideCardMapping m = GuideCardMappingFor(ws->overviewImage.size(), cfg.WidthPx, cfg.HeightPx);
        const TRectF& r = ws->mproject.Cells[y][x].CellRect;
        return QPointF((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2) * m.scale + m.origin;
    }
    bool circled(const QImage& image, QPointF c, int radius) const
    {
        const QPointF points[] = {
            {c.x() + radius, c.y()}, {c.x() - radius, c.y()}, {c.x(), c.y() + radius}, {c.x(), c.y() - radius}};
        for (const QPointF& p : points)
            if (!IsLime(image.pixel(p.toPoint()))) return false;
        return true;
    }

    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    QTemporaryDir dir;
    QString project;
};

} // namespace

TEST(GuideCardMapping, FitsTheOverviewIntoTheLeftSquare)
{
    struct Case {
        const char* name;
        QSize overview;
        double widthPx, heightPx;
        double originX, originY, scale;
    };
    const Case cases[] = {
        {"landscape", {4096, 3072}, 160, 120, 0, 150, 1200.0 / 160},
        {"portrait", {3072, 4096}, 120, 160, 150, 0, 900.0 / 120},
        {"square", {4096, 4096}, 1000, 1000, 0, 0, 1.2},
        {"no overview: the canvas's proportions", {}, 400, 100, 0, 450, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const GuideCardMapping m = GuideCardMappingFor(c.overview, c.widthPx, c.heightPx);
        EXPECT_DOUBLE_EQ(m.origin.x(), c.originX);
        EXPECT_DOUBLE_EQ(m.origin.y(), c.originY);
        EXPECT_DOUBLE_EQ(m.scale, c.scale);
    }
}

TEST_F(GuideCards, ThreeUsedTilesOfTenGiveExactlyThreeCards)
{
    build(4, 3, 2.0);
    for (int x = 0; x < 4; ++x)
        place(x, 0, 2);
    place(0, 1, 2);
    for (int x = 1; x < 4; ++x)
        place(x, 1, 5);
    place(0, 2, 5);
    place(3, 2, 7);
    // A card of a tile no longer used stays.
    ASSERT_TRUE(QDir().mkpath(project + "/GuideCard"));
    QFile old(project + "/GuideCard/TileCard 9.jpg");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();

    RecordingLabel label;
    CountingPump pump;
    Result<GuideCardSummary> done = OutputGuideCards(*ws, GuideCardOptions{}, &label, Platform{&pump});
    ASSERT_TRUE(done.ok()) << done.error().toStdString();
    EXPECT_EQ(done->folder, project + "/GuideCard");
    EXPECT_EQ(done->files, (QStringList{project + "/GuideCard/TileCard 2.jpg", project + "/GuideCard/TileCard 5.jpg",
                                        project + "/GuideCard/TileCard 7.jpg"}));
    QStringList names = QDir(project + "/GuideCard").entryList(QDir::Files);
    names.sort();
    EXPECT_EQ(names, (QStringList{"TileCard 2.jpg", "TileCard 5.jpg", "TileCard 7.jpg", "TileCard 9.jpg"}));
    ASSERT_EQ(label.texts.size(), 10);
    EXPECT_EQ(label.texts.front(), QString("Progress 1/10"));
    EXPECT_EQ(label.texts.back(), QString("Progress 10/10"));
    EXPECT_EQ(pump.calls, 10);
    EXPECT_EQ(label.values.back(), 0);

    // The overview was rendered first, at the overview window's size.
    EXPECT_EQ(ws->overviewImage.size(), QSize(4096, 3072));
    const QImage seven = card(7);
    ASSERT_EQ(seven.size(), QSize(1800, 1200));
    EXPECT_TRUE(Near(PixelAt(seven, 1500, 500), kBlue, 10)) << Hex(PixelAt(seven, 1500, 500)); // the tile
    EXPECT_TRUE(Near(PixelAt(seven, 1225, 500), 0xFFFFFFFF, 6));                               // the card
    EXPECT_TRUE(Near(PixelAt(seven, 1240, 240), 0xFFFFFFFF, 6));
    EXPECT_TRUE(Near(PixelAt(seven, 600, 60), 0xFFFAFAFA, 6)); // above the landscape overview
    // The overview shows the mosaic where the cells are: tile 7's cell is blue.
    const QPointF c7 = mapped(3, 2);
    EXPECT_TRUE(Near(PixelAt(seven, int(c7.x()), int(c7.y())), kBlue, 12))
        << Hex(PixelAt(seven, int(c7.x()), int(c7.y())));
}

TEST_F(GuideCards, ATileOfOneCellIsAlwaysCircled)
{
    for (std::uint32_t seed : {1u, 7u, 12345u}) {
        SCOPED_TRACE(seed);
        ws = std::make_unique<Workspace>(Platform{}, seed);
        build(4, 3, 2.0);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                place(x, y, 1);
        ws->mproject.Cells[2][3].TileID = 7;
        ws->mtilelib.items[1].Usecount = 11;
        ws->mtilelib.items[7].Usecount = 1;
        ASSERT_TRUE(OutputGuideCards(*ws, GuideCardOptions{.count = 1}, nullptr, Platform{}).ok());
        const QImage seven = card(7);
        ASSERT_FALSE(seven.isNull());
        EXPECT_TRUE(circled(seven, mapped(3, 2), 50));
        EXPECT_FALSE(IsLime(PixelAt(seven, int(mapped(3, 2).x()), int(mapped(3, 2).y())))); // an outline only
    }
}

TEST_F(GuideCards, TheRthCellRowByRowIsCircled)
{
    build(4, 3, 2.0);
    for (int x = 0; x < 4; ++x)
        place(x, 0, 2);
    place(0, 1, 2);
    ScriptedRandom random;
    random.script = {3};
    ws->setRandom(random);
    ASSERT_TRUE(
        OutputGuideCards(*ws, GuideCardOptions{.count = 1, .radius = 30, .lineSize = 6}, nullptr, Platform{}).ok());
    EXPECT_EQ(random.calls, std::vector<int>{5});
    const QImage two = card(2);
    EXPECT_TRUE(circled(two, mapped(3, 0), 30));
    EXPECT_FALSE(circled(two, mapped(0, 0), 30));
    EXPECT_FALSE(circled(two, mapped(0, 1), 30));
}

TEST_F(GuideCards, ACircleNearTheEdgeIsCutNotMoved)
{
    // A long strip: the overview lies across the middle of the left square; cell (0, 0)
    // maps to (30, 540) at s = 3.
    build(20, 3, 1.0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 20; ++x)
            place(x, y, 1);
    ws->mproject.Cells[0][0].TileID = 0;
    ws->mtilelib.items[0].Usecount = 1;
    ws->mtilelib.items[1].Usecount -= 1;
    ASSERT_TRUE(OutputGuideCards(*ws, GuideCardOptions{.count = 1, .radius = 50}, nullptr, Platform{}).ok());
    EXPECT_EQ(ws->overviewImage.size(), QSize(4096, 614));
    const QPointF c = mapped(0, 0);
    EXPECT_NEAR(c.x(), 30, 0.01);
    EXPECT_NEAR(c.y(), 540, 0.1);
    const QImage zero = card(0);
    EXPECT_TRUE(IsLime(PixelAt(zero, 80, 540)));   // the rightmost point, where the centre puts it
    EXPECT_FALSE(IsLime(PixelAt(zero, 100, 540))); // not pushed inward
    EXPECT_TRUE(IsLime(PixelAt(zero, 2, 500)));    // the arc runs off the card's left edge
    EXPECT_TRUE(IsLime(PixelAt(zero, 2, 580)));
    EXPECT_FALSE(IsLime(PixelAt(zero, 2, 540)));
}

TEST_F(GuideCards, UseCountsThatDisagreeWithTheCellsStillMarkRealPlaces)
{
    build(4, 3, 2.0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            place(x, y, 1);
    // Tile 7 was painted with the pen (no use count); tile 4 was picked often but lost
    // its cells except one.
    ws->mproject.Cells[0][0].TileID = 7;
    ws->mproject.Cells[2][1].TileID = 4;
    ws->mtilelib.items[4].Usecount = 6;
    Result<GuideCardSummary> done = OutputGuideCards(*ws, GuideCardOptions{.count = 5}, nullptr, Platform{});
    ASSERT_TRUE(done.ok());
    EXPECT_EQ(done->files.size(), 3);
    EXPECT_TRUE(circled(card(7), mapped(0, 0), 50));
    EXPECT_TRUE(circled(card(4), mapped(1, 2), 50));
}

TEST_F(GuideCards, AnUnsavedProjectIsRefusedAndNoFolderMade)
{
    build(4, 3, 1.0);
    place(0, 0, 1);
    const QString missing = dir.filePath("not-saved");
    for (const QString& root : {QString(), missing}) {
        SCOPED_TRACE(root.toStdString());
        ws->mproject.cfg.RootPath.set(root);
        Result<GuideCardSummary> done = OutputGuideCards(*ws, GuideCardOptions{}, nullptr, Platform{});
        ASSERT_FALSE(done.ok());
        EXPECT_EQ(done.error(),
                  QString("your project is not saved yet, please save your project before create the guide card"));
        EXPECT_EQ(done.error(), GuideCardUnsavedText());
    }
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_EQ(GuideCardFinishedText(), QString("GuideCard output finished, open card folder?"));
}

TEST_F(GuideCards, AnEmptyLibraryDoesNothing)
{
    build(4, 3, 1.0);
    ws->mtilelib.Count = 0;
    ws->mproject.cfg.RootPath.set(QString()); // not even the unsaved-project message
    Result<GuideCardSummary> done = OutputGuideCards(*ws, GuideCardOptions{}, nullptr, Platform{});
    ASSERT_TRUE(done.ok());
    EXPECT_TRUE(done->folder.isEmpty());
    EXPECT_TRUE(done->files.isEmpty());
    EXPECT_TRUE(ws->overviewImage.isNull());
}

TEST_F(GuideCards, AMissingTilePictureStopsAndKeepsTheCardsWritten)
{
    build(4, 3, 1.0);
    place(0, 0, 1);
    place(1, 0, 3);
    ws->overviewImage = QImage(40, 30, QImage::Format_ARGB32_Premultiplied);
    ws->overviewImage.fill(Qt::gray);
    ASSERT_TRUE(QFile::remove(ws->mtilelib.GetFullName(3)));
    Result<GuideCardSummary> done = OutputGuideCards(*ws, GuideCardOptions{}, nullptr, Platform{});
    ASSERT_FALSE(done.ok());
    EXPECT_TRUE(done.error().contains("t3.png")) << done.error().toStdString();
    EXPECT_TRUE(QFileInfo::exists(project + "/GuideCard/TileCard 1.jpg"));
    // An overview already there is used as it is, not rendered again.
    EXPECT_EQ(ws->overviewImage.size(), QSize(40, 30));
}
