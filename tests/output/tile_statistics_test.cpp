#include "output/tile_statistics.h"

#include "engine/workspace.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {
std::vector<int> tilesOf(const std::vector<TileUse>& uses)
{
    std::vector<int> t;
    for (const TileUse& u : uses)
        t.push_back(u.tile);
    return t;
}
} // namespace

TEST(TileStatistics, OrderByCountFollowsTheExchangeProcedure)
{
    std::vector<TileUse> uses = {{0, 5}, {1, 9}, {2, 5}, {3, 9}};
    OrderByCount(uses);
    EXPECT_EQ(tilesOf(uses), (std::vector<int>{1, 3, 2, 0}));
}

TEST(TileStatistics, CountsGridCellsAndOptionallyAddOnCells)
{
    auto ws = std::make_unique<Workspace>();
    TMosaicProject& p = ws->mproject;
    ws->mtilelib.Count = 4;
    p.cfg.Hcc = 40;
    p.cfg.Vcc = 30;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            p.Cells[y][x].TileID = (x + y) % 4;
    p.Cells[0][0].TileID = 9;   // outside the library: no tile's count
    p.Cells[0][1].TileID = -1;
    p.Cells[30][0].TileID = 2; // the spare row is not part of the mosaic
    p.cfg.AddonTilesCount = 3;
    p.AddonTiles[0].TileID = 1;
    p.AddonTiles[1].TileID = 1;
    p.AddonTiles[2].TileID = 3;

    const std::vector<TileUse> grid = CountTileUse(p, ws->mtilelib, false);
    const std::vector<TileUse> all = CountTileUse(p, ws->mtilelib, true);
    int sum = 0;
    for (const TileUse& u : grid)
        sum += u.count;
    EXPECT_EQ(sum, 1200 - 2);
    EXPECT_EQ(all[1].count, grid[1].count + 2);
    EXPECT_EQ(all[3].count, grid[3].count + 1);
    EXPECT_EQ(all[0].count, grid[0].count);
}

TEST(TileStatistics, RowTextMatchesTheListFormat)
{
    EXPECT_EQ(TileListRow({12, 34}, "free12.jpg"), QString("ID:  12   Count:    34   <File:free12.jpg>"));
}

TEST(TileStatistics, WorkbookHoldsTheThreeColumnsWithNumbersAsNumbers)
{
    auto ws = std::make_unique<Workspace>();
    TMosaicProject& p = ws->mproject;
    ws->mtilelib.Count = 2;
    ws->mtilelib.cfg.Rootpath.set("/lib/");
    ws->mtilelib.items[0].FileName.set("a.jpg");
    ws->mtilelib.items[1].FileName.set("b.jpg");
    p.cfg.Hcc = 2;
    p.cfg.Vcc = 1;
    p.Cells[0][0].TileID = 1;
    p.Cells[0][1].TileID = 1;
    p.cfg.AddonTilesCount = 1;
    p.AddonTiles[0].TileID = 0; // add-on cells are not counted here

    QTemporaryDir dir;
    const QString path = dir.filePath("stats.xlsx");
    ASSERT_TRUE(WriteTileStatisticsXlsx(path, p, ws->mtilelib).ok());

    QProcess unzip;
    unzip.start("unzip", {"-p", path, "xl/worksheets/sheet1.xml"});
    ASSERT_TRUE(unzip.waitForFinished(10000));
    const QString sheet = QString::fromUtf8(unzip.readAllStandardOutput());
    QProcess strings;
    strings.start("unzip", {"-p", path, "xl/sharedStrings.xml"});
    ASSERT_TRUE(strings.waitForFinished(10000));
    const QString shared = QString::fromUtf8(strings.readAllStandardOutput());

    for (const char* text : {"Tile ID", "Count", "File Name", "/lib/ready/a.jpg", "/lib/ready/b.jpg"})
        EXPECT_TRUE(shared.contains(text)) << text;
    // Row 3 (tile 1): numbers 1 and 2 stored as numeric cells.
    EXPECT_TRUE(sheet.contains("<c r=\"A3\"><v>1</v></c>")) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains("<c r=\"B3\"><v>2</v></c>")) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains("<c r=\"B2\"><v>0</v></c>")) << sheet.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"stats.xlsx"});
}
