#include "output/robot_code.h"

#include "engine/workspace.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A grid of square cells of side 20 (centres at 10, 30, ...), every cell without a tile.
void layGrid(TMosaicProject& p, int hcc, int vcc)
{
    p.cfg.Hcc = hcc;
    p.cfg.Vcc = vcc;
    for (int y = 0; y < vcc; ++y)
        for (int x = 0; x < hcc; ++x) {
            TCell& c = p.Cells[y][x];
            c.CellX = x;
            c.CellY = y;
            c.TileID = -1;
            c.CellRectReal = TRectF{20.0f * x, 20.0f * y, 20.0f * x + 20, 20.0f * y + 20};
        }
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class RecordingProgress : public Progress {
public:
    void setMaximum(int m) override { maximum = m; }
    void setValue(int v) override { values.push_back(v); }
    int maximum = -1;
    std::vector<int> values;
};

} // namespace

TEST(RobotCode, TwoTileExampleComesOutLineForLine)
{
    auto ws = std::make_unique<Workspace>();
    layGrid(ws->mproject, 2, 1);
    ws->mtilelib.Count = 2;
    ws->mproject.Cells[0][0].TileID = 1;
    ws->mproject.Cells[0][1].TileID = 0;

    const QStringList lines = GenerateRobotCode(ws->mproject, ws->mtilelib, 0, 0, 10, 10, nullptr, ws->platform,
                                                QLocale::c());
    ASSERT_EQ(lines.size(), 41);
    QTemporaryDir dir;
    const QString path = dir.filePath(RobotCodeFileName(0, 0) + ".txt");
    ASSERT_TRUE(SaveRobotCode(lines, path).ok());
    EXPECT_EQ(readFile(path), readFile(QStringLiteral(QUILLARY_GOLDEN_DIR "/robot_two_tiles.txt")));
    EXPECT_EQ(RobotCodeFileName(3, 4), QString("Robot_X3Y4"));
}

TEST(RobotCode, ChangesPanelAfterEightyPlacementsAndRestartsAtTheFeederBase)
{
    auto ws = std::make_unique<Workspace>();
    layGrid(ws->mproject, 10, 10);
    ws->mtilelib.Count = 1;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ws->mproject.Cells[y][x].TileID = 0;

    RecordingProgress progress;
    const QStringList lines = GenerateRobotCode(ws->mproject, ws->mtilelib, 0, 0, 10, 10, &progress, ws->platform,
                                                QLocale::c());
    EXPECT_EQ(lines.count("(***change new panel! ----------------------------------***)"), 1);
    QStringList picks;
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith("g0") && i + 1 < lines.size() && lines[i + 1] == "M201" && i + 3 < lines.size() &&
            lines[i + 3] == "M202")
            picks << lines[i];
    ASSERT_EQ(picks.size(), 100);
    EXPECT_EQ(picks[7], QString("g0 X140.00 Y0.00"));   // 8th pick: last slot of the first tray row
    EXPECT_EQ(picks[8], QString("g0 X0.00 Y20.00"));    // 9th pick: next row
    EXPECT_EQ(picks[80], QString("g0 X0.00 Y0.00"));    // 81st pick: new panel, feeder 1's base
    EXPECT_EQ(progress.maximum, 100);
    EXPECT_EQ(progress.values.back(), 0);
    EXPECT_EQ(*std::max_element(progress.values.begin(), progress.values.end()), 100);
}

TEST(RobotCode, VisitsColumnByColumnAndPlacesTheTopLeftCellAtMinus400)
{
    auto ws = std::make_unique<Workspace>();
    layGrid(ws->mproject, 4, 4);
    ws->mtilelib.Count = 1;
    // Cells (column, row) (0,0), (0,1), (1,0) of page (1, 1) hold tile 0.
    ws->mproject.Cells[2][2].TileID = 0;
    ws->mproject.Cells[3][2].TileID = 0;
    ws->mproject.Cells[2][3].TileID = 0;
    const QStringList lines = GenerateRobotCode(ws->mproject, ws->mtilelib, 1, 1, 2, 2, nullptr, ws->platform,
                                                QLocale::c());
    QStringList places;
    for (int i = 0; i + 3 < lines.size(); ++i)
        if (lines[i].startsWith("g0") && lines[i + 3] == "M102")
            places << lines[i];
    EXPECT_EQ(places, (QStringList{"g0 X-400.00 Y0.00", "g0 X-400.00 Y20.00", "g0 X-380.00 Y0.00"}));
}

TEST(RobotCode, APageBeyondTheMosaicListsEveryFeederWithCountZero)
{
    auto ws = std::make_unique<Workspace>();
    layGrid(ws->mproject, 4, 4);
    ws->mtilelib.Count = 3;
    ws->mproject.Cells[0][0].TileID = 1;
    const QStringList lines = GenerateRobotCode(ws->mproject, ws->mtilelib, 5, 0, 2, 2, nullptr, ws->platform,
                                                QLocale::c());
    EXPECT_EQ(lines.first(), QString("(** Page X5Y0  **)"));
    EXPECT_EQ(lines.count("(***Tile count: 0  ***)"), 3);
    EXPECT_EQ(lines.size(), 1 + 3 * 4 + 2);
    EXPECT_EQ(lines.last(), QString("g0 X0.00 Y0.00"));
}

TEST(RobotCode, UsesTheLocaleDecimalSeparatorAndGivesEveryFeederABase)
{
    auto ws = std::make_unique<Workspace>();
    layGrid(ws->mproject, 2, 1);
    ws->mtilelib.Count = 2;
    ws->mproject.Cells[0][1].TileID = 0;
    const QStringList lines = GenerateRobotCode(ws->mproject, ws->mtilelib, 0, 0, 10, 10, nullptr, ws->platform,
                                                QLocale(QLocale::German, QLocale::Germany));
    EXPECT_TRUE(lines.contains("g0 X-380,00 Y0,00"));
    EXPECT_EQ(lines.last(), QString("g0 X0,00 Y0,00"));

    // Feeders beyond the table continue in a row; neighbours never share a base.
    for (int n = 5; n < 2049; ++n) {
        const RobotFeederBase a = RobotFeederBasePosition(n), b = RobotFeederBasePosition(n + 1);
        ASSERT_FALSE(a.X == b.X && a.Y == b.Y) << n;
    }
}

TEST(RobotInfo, LabelsCountPagesRoundingUp)
{
    auto ws = std::make_unique<Workspace>();
    ws->mproject.cfg.Hcc = 48;
    ws->mproject.cfg.Vcc = 30;
    ws->mproject.cfg.FullWidthF = 2974;
    ws->mproject.cfg.FullHeightF = 1858;
    ws->mproject.SizeUnitStr.set("pixel");
    const RobotInfo info = RobotInfoLabels(ws->mproject, 10, 10, QLocale::c());
    EXPECT_EQ(info.horizontalCount, QString("Horizontal Tile Count :48"));
    EXPECT_EQ(info.verticalCount, QString("Vertical Tile Count :30"));
    EXPECT_EQ(info.mosaicSize, QString("Mosaic size: 2974.00 x 1858.00pixel"));
    EXPECT_EQ(info.pageCount, QString("Page count: 5 x 3 = 15"));
}
