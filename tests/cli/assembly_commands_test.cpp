// The editing and assembly sub-commands of quillary-cli on a small project made with
// "mosaic create": stats, edit, robot-code, workplan, workplan-groups and guide-cards.

#include "tests/cli/cli_process.h"
#include "tests/support/tilelib_fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace {

// Rows "ID:   3   Count:    12   <File:tile3.png>" as tile -> count, in printed order.
std::vector<std::pair<int, int>> ParseRows(const QString& out)
{
    std::vector<std::pair<int, int>> rows;
    static const QRegularExpression row(QStringLiteral("^ID:\\s*(\\d+)   Count:\\s*(\\d+)   <File:tile\\d+\\.png>$"));
    for (const QString& line : out.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = row.match(line);
        if (m.hasMatch()) rows.emplace_back(m.captured(1).toInt(), m.captured(2).toInt());
    }
    return rows;
}

QString Unzip(const QString& archive, const QString& member)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), archive, member});
    unzip.waitForFinished(10000);
    return QString::fromUtf8(unzip.readAllStandardOutput());
}

// A project of 12 x 8 cells of 10 pixels from a red and blue photo and eight tiles.
class AssemblyCommands : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const QString library = dir.filePath("lib");
        std::vector<FixtureTile> tiles;
        const TAlphaColor colours[] = {0xFFE02020, 0xFF2020E0, 0xFF20C040, 0xFFF0F020,
                                       0xFF202020, 0xFFF0F0F0, 0xFFA060C0, 0xFF60A0A0};
        for (int i = 0; i < 8; ++i)
            tiles.push_back(FixtureTile{QStringLiteral("tile%1.png").arg(i), colours[i], {}});
        ASSERT_TRUE(MakeFixtureTilelib(library, tiles, {.widthPx = 16, .heightPx = 16}));
        QImage photo(300, 200, QImage::Format_RGB32);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                photo.setPixel(x, y, x < 150 ? 0xFFE02020 : 0xFF2020E0);
        const QString photoFile = dir.filePath("photo.png");
        ASSERT_TRUE(photo.save(photoFile));
        project = dir.filePath("project");
        const CliRun r = run(
            {"mosaic", "create", "--photo",        photoFile, "--library",         library, "--out",         project,
             "--cols", "12",     "--rows",         "8",       "--tile-width",      "10",    "--tile-height", "10",
             "--seed", "3",      "--random-level", "1",       "--no-repeat-radius"});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    }
    CliRun run(const QStringList& args) { return RunCli(dir.path(), args); }
    std::vector<std::pair<int, int>> stats(const QStringList& extra = {})
    {
        const CliRun r = run(QStringList{"stats", project} + extra);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return ParseRows(r.out);
    }
    QTemporaryDir dir;
    QString project;
};

} // namespace

TEST_F(AssemblyCommands, StatsListsEveryTileAndWritesTheWorkbookAndPages)
{
    const QString xlsx = dir.filePath("stats.xlsx");
    const QString pages = dir.filePath("pages/TileCountList.jpg");
    const CliRun r = run({"stats", project, "--xlsx", xlsx, "--pages", pages});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const std::vector<std::pair<int, int>> rows = ParseRows(r.out);
    ASSERT_EQ(rows.size(), 8u) << r.out.toStdString();
    int sum = 0;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(rows[i].first, i);
        sum += rows[i].second;
    }
    EXPECT_EQ(sum, 96);

    // The workbook holds the same counts, numbers as numbers.
    const QString sheet = Unzip(xlsx, "xl/worksheets/sheet1.xml");
    const QString shared = Unzip(xlsx, "xl/sharedStrings.xml");
    for (const char* text : {"Tile ID", "Count", "File Name", "tile0.png", "tile7.png"})
        EXPECT_TRUE(shared.contains(text)) << text;
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(sheet.contains(QStringLiteral("<c r=\"A%1\"><v>%2</v></c>").arg(i + 2).arg(i))) << i;
        EXPECT_TRUE(sheet.contains(QStringLiteral("<c r=\"B%1\"><v>%2</v></c>").arg(i + 2).arg(rows[i].second)))
            << i << sheet.toStdString();
    }

    const QImage page(dir.filePath("pages/TileCountList.jpg0.jpg"));
    EXPECT_EQ(page.size(), QSize(512, 256));
    EXPECT_TRUE(r.out.contains("page: " + dir.filePath("pages/TileCountList.jpg0.jpg")));

    const std::vector<std::pair<int, int>> byCount = stats({"--by-count"});
    ASSERT_EQ(byCount.size(), 8u);
    for (std::size_t i = 1; i < byCount.size(); ++i)
        EXPECT_GE(byCount[i - 1].second, byCount[i].second);
    std::map<int, int> a(rows.begin(), rows.end()), b(byCount.begin(), byCount.end());
    EXPECT_EQ(a, b);
}

TEST_F(AssemblyCommands, EditSetsOneCellSavesTheProjectAndRedrawsThePicture)
{
    const std::vector<std::pair<int, int>> before = stats();
    ASSERT_EQ(before.size(), 8u);
    const QImage pictureBefore(project + "/MosaicPicture.jpg");
    // Yellow (tile 3) is far from the red and blue of the photo, so no cell has it.
    ASSERT_EQ(before[3].second, 0);

    const CliRun r = run({"edit", project, "--cell", "2,1", "--tile", "3"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("cell (2, 1): tile ")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(" -> 3")) << r.out.toStdString();

    const std::vector<std::pair<int, int>> after = stats();
    ASSERT_EQ(after.size(), 8u);
    EXPECT_EQ(after[3].second, 1);
    int changed = 0;
    for (int i = 0; i < 8; ++i)
        changed += std::abs(after[i].second - before[i].second);
    EXPECT_EQ(changed, 2);

    // The cell (2, 1) turns from red to yellow in the saved picture (cells of 10 with
    // gaps of 2), still tinted toward the red photo by the colour adjustment and blend.
    const QImage picture(project + "/MosaicPicture.jpg");
    ASSERT_EQ(picture.size(), pictureBefore.size());
    const QRgb was = pictureBefore.pixel(2 * 12 + 5, 1 * 12 + 5);
    const QRgb p = picture.pixel(2 * 12 + 5, 1 * 12 + 5);
    EXPECT_LT(qGreen(was), 70);
    EXPECT_GT(qRed(p), 180);
    EXPECT_GT(qGreen(p), qGreen(was) + 60);
    EXPECT_LT(qBlue(p), 100);
    const QRgb untouched = picture.pixel(5 * 12 + 5, 4 * 12 + 5);
    EXPECT_LT(std::abs(qRed(untouched) - qRed(pictureBefore.pixel(5 * 12 + 5, 4 * 12 + 5))), 12);

    // Outside the grid, outside the library, and an add-on cell the grid project lacks.
    for (const QStringList& bad :
         {QStringList{"--cell", "12,0", "--tile", "1"}, QStringList{"--cell", "0,0", "--tile", "8"},
          QStringList{"--cell", "0,-1", "--tile", "1"}}) {
        const CliRun e = run(QStringList{"edit", project} + bad);
        EXPECT_EQ(e.exitCode, 1) << bad.join(' ').toStdString();
        EXPECT_FALSE(e.err.isEmpty());
    }
    EXPECT_EQ(stats(), after);
    EXPECT_EQ(run({"edit", project, "--cell", "1", "--tile", "1"}).exitCode, 2);
}

TEST_F(AssemblyCommands, RobotCodeWritesThePageProgram)
{
    const QString out = dir.filePath("robot.txt");
    const CliRun r = run({"robot-code", project, "--page", "0,0", "--cells", "6x4", "--out", out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Page count: 2 x 2 = 4")) << r.out.toStdString();
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.startsWith("(** Page X0Y0  **)\r\n"));
    EXPECT_TRUE(text.endsWith("g0 X0.00 Y0.00\r\n"));
    EXPECT_EQ(text.count("(***Feeder ID"), 8);
    // 24 cells on the page, each picked and placed once.
    EXPECT_EQ(text.count("M102"), 24);
    EXPECT_TRUE(text.contains("g0 X-400.00 Y0.00\r\n")); // the page's top-left cell
    const QString lines = QStringLiteral("Lines: %1").arg(text.count("\r\n"));
    EXPECT_TRUE(r.out.contains(lines)) << r.out.toStdString();

    EXPECT_EQ(run({"robot-code", project, "--page", "0,0", "--cells", "0x4", "--out", out}).exitCode, 2);
    EXPECT_EQ(run({"robot-code", project, "--out", out}).exitCode, 2);
}

TEST_F(AssemblyCommands, WorkplanWritesEveryPageOfTheGrid)
{
    const QString out = dir.filePath("plan");
    const CliRun r = run({"workplan", project, "--out", out, "--pages", "2x2", "--size", "1000"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList files = QDir(out).entryList(QDir::Files);
    files.sort();
    EXPECT_EQ(files, (QStringList{"WorkPlan_Page Y0X0.jpg", "WorkPlan_Page Y0X1.jpg", "WorkPlan_Page Y1X0.jpg",
                                  "WorkPlan_Page Y1X1.jpg"}));
    for (const QString& f : files)
        EXPECT_EQ(QImage(out + "/" + f).size(), QSize(1000, 1000)) << f.toStdString();
    EXPECT_TRUE(r.out.contains("Mosaic size: ")) << r.out.toStdString();
    EXPECT_EQ(run({"workplan", project, "--out", out, "--size", "1500"}).exitCode, 2);
}

TEST_F(AssemblyCommands, WorkplanGroupsWritesEveryGroupOfEveryPage)
{
    const QString out = dir.filePath("groups/plan.jpg");
    const CliRun r = run({"workplan-groups", project, "--out", out, "--cells", "8x5", "--group", "3"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Page count: 2 x 2 = 4")) << r.out.toStdString();
    QStringList files = QDir(dir.filePath("groups")).entryList(QDir::Files);
    // Groups 0to2, 3to5, 6to8 for each of the four pages.
    EXPECT_EQ(files.size(), 12);
    for (const char* name : {"plan.jpg_Page X0Y0_Color 0to2.jpg", "plan.jpg_Page X1Y1_Color 6to8.jpg",
                             "plan.jpg_Page X1Y0_Color 3to5.jpg"})
        EXPECT_TRUE(files.contains(name)) << name;
    // The last page column has 4 of the 12 columns, the last row 3 of the 8 rows: 46 x 34
    // pixels of cells and gaps, fitted into the 1000 box.
    const QImage corner(dir.filePath("groups/plan.jpg_Page X1Y1_Color 0to2.jpg"));
    EXPECT_EQ(corner.size(), QSize(1000, 34 * 1000 / 46));
}

TEST_F(AssemblyCommands, GuideCardsGoIntoTheProjectFolder)
{
    const std::vector<std::pair<int, int>> rows = stats();
    int used = 0;
    for (const auto& [tile, count] : rows)
        used += count > 0;
    ASSERT_GT(used, 0);

    const CliRun r = run(
        {"guide-cards", project, "--count", "3", "--radius", "40", "--line", "4", "--color", "FF00FF", "--seed", "5"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString folder = QDir(project).absoluteFilePath("GuideCard");
    EXPECT_TRUE(r.out.contains("folder: " + folder)) << r.out.toStdString();
    const QStringList cards = QDir(folder).entryList(QDir::Files);
    EXPECT_EQ(cards.size(), used);
    for (const auto& [tile, count] : rows)
        EXPECT_EQ(cards.contains(QStringLiteral("TileCard %1.jpg").arg(tile)), count > 0) << tile;
    EXPECT_EQ(QImage(folder + "/" + cards.first()).size(), QSize(1800, 1200));

    EXPECT_EQ(run({"guide-cards", project, "--count", "6"}).exitCode, 2);
    EXPECT_EQ(run({"guide-cards", project, "--color", "green"}).exitCode, 2);
}
