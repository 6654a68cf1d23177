// Outputs of damaged or unusual projects, and writers that fail half-way.

#include "output/robot_code.h"
#include "output/tile_statistics.h"
#include "output/xlsx_writer.h"

#include "engine/workspace.h"
#include "platform/file_io.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <memory>

namespace {

bool failEveryWrite(const QString&)
{
    return false;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(RobotPage, StaysInsideTheGridForAnyPageNumberAndSize)
{
    auto ws = std::make_unique<Workspace>();
    TMosaicProject& p = ws->mproject;
    struct Case {
        const char* name;
        int hcc, vcc, px, py, ch, cv;
        RobotPageBlock expected;
    };
    const Case cases[] = {
        {"first page", 48, 48, 0, 0, 10, 10, {0, 0, 9, 9}},
        {"last, partial page", 48, 48, 4, 4, 10, 10, {40, 40, 47, 47}},
        {"beyond the mosaic", 48, 48, 5, 0, 10, 10, {50, 0, 47, 9}},
        {"before the first page", 48, 48, -1, 0, 10, 10, {0, 0, -1, 9}},
        {"page size zero", 48, 48, 0, 0, 0, 10, {0, 0, -1, 9}},
        {"page number that overflows", 48, 48, INT_MAX, INT_MAX, 1000, 1000, {INT_MAX, INT_MAX, 47, 47}},
        {"counts beyond the grid", 5000, 5000, 0, 0, 200, 200, {0, 0, 99, 99}},
        {"negative counts", -3, -3, 0, 0, 10, 10, {0, 0, -1, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        p.cfg.Hcc = c.hcc;
        p.cfg.Vcc = c.vcc;
        const RobotPageBlock b = RobotPage(p, c.px, c.py, c.ch, c.cv);
        EXPECT_EQ(b.x1, c.expected.x1);
        EXPECT_EQ(b.y1, c.expected.y1);
        EXPECT_EQ(b.x2, c.expected.x2);
        EXPECT_EQ(b.y2, c.expected.y2);
    }
}

TEST(RobotCode, APageBeforeTheFirstPlacesNothing)
{
    auto ws = std::make_unique<Workspace>();
    TMosaicProject& p = ws->mproject;
    p.cfg.Hcc = p.cfg.Vcc = 3;
    ws->mtilelib.Count = 1;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            p.Cells[y][x].TileID = 0;
    // Memory before the grid holds the configuration; a negative page must not read it
    // as cells.
    const QStringList lines = GenerateRobotCode(p, ws->mtilelib, -1, 0, 2, 2, nullptr, ws->platform, QLocale::c());
    EXPECT_EQ(lines.count(QStringLiteral("(***Tile count: 0  ***)")), 1);
    EXPECT_EQ(lines.filter(QStringLiteral("M102")).size(), 0);
}

TEST(OutputWriters, AFailedWriteKeepsThePreviousFile)
{
    auto ws = std::make_unique<Workspace>();
    TMosaicProject& p = ws->mproject;
    p.cfg.Hcc = p.cfg.Vcc = 1;
    ws->mtilelib.Count = 1;
    ws->mtilelib.items[0].FileName.set("a.jpg");
    p.Cells[0][0].TileID = 0;

    struct Case {
        const char* name;
        const char* file;
        Status (*write)(const QString& path, Workspace& ws);
    };
    const Case cases[] = {
        {"robot code", "Robot_X0Y0.txt",
         [](const QString& path, Workspace& w) {
             return SaveRobotCode(GenerateRobotCode(w.mproject, w.mtilelib, 0, 0, 1, 1, nullptr, w.platform), path);
         }},
        {"statistics workbook", "stats.xlsx",
         [](const QString& path, Workspace& w) { return WriteTileStatisticsXlsx(path, w.mproject, w.mtilelib); }},
        {"spreadsheet", "sheet.xlsx",
         [](const QString& path, Workspace&) { return WriteXlsxSheet(path, {QStringLiteral("A")}, {{QVariant(1)}}); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QLatin1String(c.file));
        ASSERT_TRUE(c.write(path, *ws).ok());
        const QByteArray before = readFile(path);
        ASSERT_FALSE(before.isEmpty());

        p.Cells[0][0].TileID = -1; // the next file would differ
        setWriteFaultHook(&failEveryWrite);
        const Status st = c.write(path, *ws);
        setWriteFaultHook(nullptr);
        p.Cells[0][0].TileID = 0;

        ASSERT_FALSE(st.ok());
        EXPECT_TRUE(st.error().contains(QLatin1String(c.file))) << st.error().toStdString();
        EXPECT_EQ(readFile(path), before);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QLatin1String(c.file)});
    }
}
