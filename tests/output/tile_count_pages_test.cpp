// The tile list written as picture pages.

#include "output/tile_statistics.h"

#include "engine/workspace.h"
#include "imaging/color_convert.h"
#include "tests/render/final_render_fixtures.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace final_render_test;

namespace {

// A distinct, clearly non-white colour per tile.
TAlphaColor TileColour(int i)
{
    return MakeColor(40 + (i * 37) % 180, 30 + (i * 53) % 160, 20 + (i * 71) % 200, 255);
}

class TileCountPages : public testing::Test {
protected:
    void makeLibrary(int count)
    {
        ASSERT_TRUE(dir.isValid());
        std::vector<FixtureTile> tiles;
        for (int i = 0; i < count; ++i)
            tiles.push_back(FixtureTile{QStringLiteral("t%1.png").arg(i), TileColour(i), {}});
        ASSERT_TRUE(UseLibrary(*ws, dir.filePath("lib"), tiles, {.widthPx = 16, .heightPx = 16}));
        out = dir.filePath("out");
        ASSERT_TRUE(QDir().mkpath(out));
    }
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    QTemporaryDir dir;
    QString out;
};

bool RowIsWhite(const QImage& page, int row)
{
    for (int y = row * 32; y < row * 32 + 32; ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qRed(page.pixel(x, y)) < 235 || qGreen(page.pixel(x, y)) < 235 || qBlue(page.pixel(x, y)) < 235)
                return false;
    return true;
}

int DarkPixels(const QImage& page, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(page.pixel(x, y)) < 128) ++n;
    return n;
}

} // namespace

TEST(TileCountPageText, PlainNumbersWithoutPadding)
{
    EXPECT_EQ(TileCountPageText({12, 34}, "free12.jpg"), QString("ID:12 Count34 File:free12.jpg"));
    EXPECT_EQ(TileCountPageText({0, 0}, "a.png"), QString("ID:0 Count0 File:a.png"));
}

TEST_F(TileCountPages, A120TileLibraryGivesThreePagesTheThirdHolding20Rows)
{
    makeLibrary(120);
    Result<QStringList> files = SaveTileCountPages(*ws, out, "TileCountList.jpg", nullptr, Platform{});
    ASSERT_TRUE(files.ok()) << files.error().toStdString();
    EXPECT_EQ(*files, (QStringList{out + "/TileCountList.jpg0.jpg", out + "/TileCountList.jpg1.jpg",
                                   out + "/TileCountList.jpg2.jpg"}));
    QStringList entries = QDir(out).entryList(QDir::Files);
    entries.sort();
    EXPECT_EQ(entries, (QStringList{"TileCountList.jpg0.jpg", "TileCountList.jpg1.jpg", "TileCountList.jpg2.jpg"}));

    struct Case {
        const char* name;
        int page, row, tile;
    };
    const Case cases[] = {{"first row", 0, 0, 0},
                          {"last row of page 0", 0, 49, 49},
                          {"page 1", 1, 7, 57},
                          {"page 2 first", 2, 0, 100},
                          {"page 2 last", 2, 19, 119}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage page(out + QStringLiteral("/TileCountList.jpg%1.jpg").arg(c.page));
        ASSERT_EQ(page.size(), QSize(512, 1600));
        // The thumbnail fills its 32 x 32 square with the tile's colour.
        EXPECT_TRUE(Near(PixelAt(page, 16, c.row * 32 + 16), TileColour(c.tile), 8))
            << Hex(PixelAt(page, 16, c.row * 32 + 16)) << " vs " << Hex(TileColour(c.tile));
        // The text sits in the band 64..448, nothing between the thumbnail and the band.
        EXPECT_GT(DarkPixels(page, QRect(64, c.row * 32, 384, 32)), 20);
        EXPECT_EQ(DarkPixels(page, QRect(36, c.row * 32 + 2, 24, 28)), 0);
    }
    // The third page's remaining rows are the white of the cleared bitmap, not page 1's rows.
    const QImage third(out + "/TileCountList.jpg2.jpg");
    for (int row = 20; row < 50; ++row)
        EXPECT_TRUE(RowIsWhite(third, row)) << "row " << row;
    EXPECT_FALSE(RowIsWhite(third, 19));
}

TEST_F(TileCountPages, A30TileLibraryGivesOnePageOf30Rows)
{
    makeLibrary(30);
    RecordingProgress progress;
    Result<QStringList> files = SaveTileCountPages(*ws, out, "list.jpg", &progress, Platform{});
    ASSERT_TRUE(files.ok()) << files.error().toStdString();
    ASSERT_EQ(files->size(), 1);
    const QImage page(out + "/list.jpg0.jpg");
    EXPECT_EQ(page.size(), QSize(512, 960));
    EXPECT_TRUE(Near(PixelAt(page, 16, 29 * 32 + 16), TileColour(29), 8));
    ASSERT_FALSE(progress.values.empty());
    EXPECT_EQ(progress.values.back(), 0);
}

TEST_F(TileCountPages, CountsOnlyGridCellsSoACircleLayoutShowsZeros)
{
    makeLibrary(4);
    TMosaicProject& p = ws->mproject;
    p.cfg.ProjectPatternType = kPatternCircles;
    p.cfg.Hcc = p.cfg.Vcc = 0;
    p.cfg.AddonTilesCount = 6;
    for (int i = 0; i < 6; ++i)
        p.AddonTiles[i].TileID = i % 3;

    // The list counts the add-on cells...
    const std::vector<TileUse> list = CountTileUse(p, ws->mtilelib, /*includeAddon=*/true);
    EXPECT_EQ(list[0].count, 2);
    EXPECT_EQ(list[2].count, 2);
    EXPECT_EQ(list[3].count, 0);

    // ...the pages do not: they are the pages of a project without any placed tile.
    ASSERT_TRUE(SaveTileCountPages(*ws, out, "circle.jpg", nullptr, Platform{}).ok());
    p.cfg.AddonTilesCount = 0;
    ASSERT_TRUE(SaveTileCountPages(*ws, out, "empty.jpg", nullptr, Platform{}).ok());
    const QImage circle(out + "/circle.jpg0.jpg"), empty(out + "/empty.jpg0.jpg");
    ASSERT_FALSE(circle.isNull());
    EXPECT_EQ(circle, empty);

    // A grid cell holding tile 0 does change the page (its row reads Count1).
    p.cfg.ProjectPatternType = kPatternGrid;
    p.cfg.Hcc = p.cfg.Vcc = 1;
    p.Cells[0][0].TileID = 0;
    ASSERT_TRUE(SaveTileCountPages(*ws, out, "one.jpg", nullptr, Platform{}).ok());
    EXPECT_NE(QImage(out + "/one.jpg0.jpg"), empty);
}

TEST_F(TileCountPages, AMissingPictureStopsThereAndKeepsTheEarlierPages)
{
    makeLibrary(120);
    ASSERT_TRUE(QFile::remove(ws->mtilelib.GetFullName(75)));
    Result<QStringList> files = SaveTileCountPages(*ws, out, "TileCountList.jpg", nullptr, Platform{});
    ASSERT_FALSE(files.ok());
    EXPECT_TRUE(files.error().contains("t75.png")) << files.error().toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files), QStringList{"TileCountList.jpg0.jpg"});
}

TEST_F(TileCountPages, AnEmptyLibraryWritesNothing)
{
    ASSERT_TRUE(dir.isValid());
    Result<QStringList> files = SaveTileCountPages(*ws, dir.path(), "x.jpg", nullptr, Platform{});
    ASSERT_TRUE(files.ok());
    EXPECT_TRUE(files->isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}
