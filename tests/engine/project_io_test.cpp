#include "engine/project.h"
#include "engine/workspace.h"
#include "platform/file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

// Readable failure output for the messages.
static void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

constexpr qint64 kCell = 2664;
constexpr qint64 kPrefix = 3440;

// Deterministic, varied bytes, different for every seed.
void fillBytes(void* target, std::size_t size, std::uint32_t seed)
{
    auto* p = static_cast<std::uint8_t*>(target);
    std::uint32_t state = seed * 2654435761u + 12345u;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        p[i] = static_cast<std::uint8_t>(state >> 24);
    }
}

// A project with varied bytes everywhere, then the given counts.
void fillProject(Workspace& ws, int vcc, int hcc, int addons, std::uint32_t seed)
{
    TMosaicProject& p = ws.mproject;
    fillBytes(&p.cfg, sizeof p.cfg, seed);
    fillBytes(&p.patterncfg, sizeof p.patterncfg, seed + 1);
    fillBytes(p.Cells, sizeof p.Cells, seed + 2);
    fillBytes(p.AddonTiles, sizeof p.AddonTiles, seed + 3);
    fillBytes(&ws.moptions, sizeof ws.moptions, seed + 4);
    p.cfg.Vcc = vcc;
    p.cfg.Hcc = hcc;
    p.cfg.AddonTilesCount = addons;
}

// Overwrites everything a load could touch with another pattern.
void scramble(Workspace& ws)
{
    TMosaicProject& p = ws.mproject;
    std::memset(&p.cfg, 0xA5, sizeof p.cfg);
    std::memset(&p.patterncfg, 0xA5, sizeof p.patterncfg);
    std::memset(p.Cells, 0xA5, sizeof p.Cells);
    std::memset(p.AddonTiles, 0xA5, sizeof p.AddonTiles);
    std::memset(&ws.moptions, 0xA5, sizeof ws.moptions);
}

template <typename T> QByteArray bytesOf(const T& value)
{
    return QByteArray(reinterpret_cast<const char*>(&value), sizeof value);
}

QByteArray snapshot(const Workspace& ws)
{
    const TMosaicProject& p = ws.mproject;
    return bytesOf(p.cfg) + bytesOf(p.patterncfg) + bytesOf(p.Cells) + bytesOf(p.AddonTiles) + bytesOf(ws.moptions) +
           bytesOf(p.SizeChanged) + bytesOf(p.Rendered) + bytesOf(p.MainViewScale) + bytesOf(p.SizeUnitStr);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

void setInt(QByteArray& bytes, qsizetype at, std::int32_t v)
{
    std::memcpy(bytes.data() + at, &v, 4);
}

bool cellEquals(const TCell& a, const QByteArray& file, qint64 at)
{
    return file.size() >= at + kCell && std::memcmp(&a, file.constData() + at, kCell) == 0;
}

bool sameCell(const TCell& a, const TCell& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool failEveryWrite(const QString&)
{
    return false;
}

TCell patternCell(std::uint8_t byte)
{
    TCell c;
    std::memset(&c, byte, sizeof c);
    return c;
}

} // namespace

TEST(ProjectFile, A48By48ProjectHasTheTabledLayoutAndRoundTripsByteForByte)
{
    QTemporaryDir dir;
    Workspace ws;
    fillProject(ws, 48, 48, 0, 7);
    ws.mproject.cfg.RootPath.set(dir.path());
    ASSERT_TRUE(ws.mproject.SaveProject().ok());

    const QString path = dir.filePath("Mosaic.Prj");
    const QByteArray file = readFile(path);
    ASSERT_EQ(file.size(), 6269168);
    EXPECT_EQ(file.left(536), bytesOf(ws.mproject.cfg));
    EXPECT_EQ(file.mid(536, 2832), bytesOf(ws.mproject.patterncfg));
    EXPECT_EQ(file.mid(3368, 72), bytesOf(ws.moptions));
    // Rows 0..48 (one more than laid out), columns 0..47.
    for (int y = 0; y <= 48; ++y)
        for (int x = 0; x < 48; ++x)
            ASSERT_TRUE(cellEquals(ws.mproject.Cells[y][x], file, kPrefix + (y * 48 + x) * kCell)) << y << "," << x;

    const TprojectCFG cfg = ws.mproject.cfg;
    const TpatternCfg pattern = ws.mproject.patterncfg;
    const TmosaicOptions options = ws.moptions;
    const QByteArray stored = file.mid(kPrefix);
    scramble(ws);
    ws.mproject.SizeChanged = true;
    ws.mproject.Rendered = false;
    ws.mproject.MainViewScale = 3.5f;

    const Status st = ws.mproject.LoadProject(path);
    ASSERT_TRUE(st.ok()) << st.error().toStdString();
    EXPECT_EQ(bytesOf(ws.mproject.cfg), bytesOf(cfg));
    EXPECT_EQ(bytesOf(ws.mproject.patterncfg), bytesOf(pattern));
    EXPECT_EQ(bytesOf(ws.moptions), bytesOf(options));
    for (int y = 0; y <= 48; ++y)
        for (int x = 0; x < 48; ++x)
            ASSERT_TRUE(cellEquals(ws.mproject.Cells[y][x], stored, (y * 48 + x) * kCell)) << y << "," << x;
    // What the file does not cover keeps its previous contents.
    const TCell scrambled = patternCell(0xA5);
    EXPECT_TRUE(sameCell(ws.mproject.Cells[0][48], scrambled));
    EXPECT_TRUE(sameCell(ws.mproject.Cells[49][0], scrambled));
    EXPECT_TRUE(sameCell(ws.mproject.AddonTiles[0], scrambled));
    EXPECT_TRUE(ws.mproject.SizeChanged);
    EXPECT_FALSE(ws.mproject.Rendered);
    EXPECT_EQ(ws.mproject.MainViewScale, 3.5f);

    // Saving the loaded project again gives the same file.
    QTemporaryDir again;
    ws.mproject.cfg.RootPath.set(again.path() + "/");
    ASSERT_TRUE(ws.mproject.SaveProject().ok());
    QByteArray second = readFile(again.filePath("Mosaic.Prj"));
    QByteArray first = file;
    // Only RootPath differs.
    std::memset(first.data(), 0, 251);
    std::memset(second.data(), 0, 251);
    EXPECT_TRUE(first == second);
}

TEST(ProjectFile, MosaicPrjCarriesTheAddonCellsInUse)
{
    struct Case {
        const char* name;
        int vcc, hcc, addons;
    };
    const Case cases[] = {
        {"circle layout, no add-ons", 0, 0, 0},  {"circle layout, one add-on", 0, 0, 1},
        {"circle layout, 37 add-ons", 0, 0, 37}, {"circle layout, all add-ons", 0, 0, 5001},
        {"rows without columns", 10, 0, 3},      {"grid with add-ons", 2, 3, 4},
    };
    Workspace ws;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        fillProject(ws, c.vcc, c.hcc, c.addons, 11);
        ws.mproject.cfg.RootPath.set(dir.path());
        ASSERT_TRUE(ws.mproject.SaveProject().ok());
        const QString path = dir.filePath("Mosaic.Prj");
        const QByteArray file = readFile(path);
        const qint64 grid = qint64(c.vcc + 1) * c.hcc * kCell;
        ASSERT_EQ(file.size(), kPrefix + grid + c.addons * kCell);

        QList<QByteArray> addons;
        for (int i = 0; i < c.addons; ++i)
            addons << bytesOf(ws.mproject.AddonTiles[i]);
        scramble(ws);
        ASSERT_TRUE(ws.mproject.LoadProject(path).ok());
        EXPECT_EQ(ws.mproject.cfg.AddonTilesCount, c.addons);
        for (int i = 0; i < c.addons; ++i)
            ASSERT_EQ(bytesOf(ws.mproject.AddonTiles[i]), addons[i]) << i;
        if (c.addons < 5001) {
            EXPECT_TRUE(sameCell(ws.mproject.AddonTiles[c.addons], patternCell(0xA5)));
        }
        if (c.hcc == 0) {
            EXPECT_TRUE(sameCell(ws.mproject.Cells[0][0], patternCell(0xA5)));
        }
    }
}

TEST(ProjectFile, AHundredRowGridWritesAndReadsBackTheSpareRow)
{
    QTemporaryDir dir;
    Workspace ws;
    fillProject(ws, 100, 100, 0, 21);
    for (int x = 0; x <= 100; ++x)
        ws.mproject.Cells[100][x] = patternCell(static_cast<std::uint8_t>(x));
    ws.mproject.cfg.RootPath.set(dir.path());
    ASSERT_TRUE(ws.mproject.SaveProject().ok());
    const QString path = dir.filePath("Mosaic.Prj");
    ASSERT_EQ(QFileInfo(path).size(), kPrefix + 101 * 100 * kCell);

    const TCell firstCell = ws.mproject.Cells[0][0];
    scramble(ws);
    ASSERT_TRUE(ws.mproject.LoadProject(path).ok());
    for (int x = 0; x < 100; ++x)
        ASSERT_TRUE(sameCell(ws.mproject.Cells[100][x], patternCell(static_cast<std::uint8_t>(x)))) << x;
    EXPECT_TRUE(sameCell(ws.mproject.Cells[0][0], firstCell));
    // Column 100 is never stored.
    EXPECT_TRUE(sameCell(ws.mproject.Cells[100][100], patternCell(0xA5)));
    EXPECT_TRUE(sameCell(ws.mproject.Cells[0][100], patternCell(0xA5)));
}

TEST(QuickSaveFile, HoldsEveryAddonCellAndEndsWithTheAddonCount)
{
    QTemporaryDir dir;
    Workspace ws;
    fillProject(ws, 48, 48, 7, 31);
    const QString path = dir.filePath("TempMosaic.Prj");
    ASSERT_TRUE(ws.mproject.SaveProjectFile(path).ok());
    const QByteArray file = readFile(path);
    ASSERT_EQ(file.size(), 19591836);
    EXPECT_EQ(file.right(4), file.mid(256, 4));
    const qint64 addonsAt = kPrefix + 49 * 48 * kCell;
    EXPECT_TRUE(cellEquals(ws.mproject.AddonTiles[0], file, addonsAt));
    EXPECT_TRUE(cellEquals(ws.mproject.AddonTiles[5000], file, addonsAt + 5000 * kCell));

    const QByteArray before = bytesOf(ws.mproject.AddonTiles);
    const TCell spare = ws.mproject.Cells[48][47];
    const TmosaicOptions options = ws.moptions;
    scramble(ws);
    const Status st = ws.mproject.LoadProjectFile(path);
    ASSERT_TRUE(st.ok()) << st.error().toStdString();
    EXPECT_EQ(ws.mproject.cfg.AddonTilesCount, 7);
    EXPECT_EQ(bytesOf(ws.mproject.AddonTiles), before);
    EXPECT_TRUE(sameCell(ws.mproject.Cells[48][47], spare));
    EXPECT_EQ(bytesOf(ws.moptions), bytesOf(options));
}

TEST(QuickSaveFile, TheCountAtTheEndDecidesAddonTilesCount)
{
    QTemporaryDir dir;
    Workspace ws;
    fillProject(ws, 1, 1, 7, 41);
    const QString path = dir.filePath("TempMosaic.Prj");
    ASSERT_TRUE(ws.mproject.SaveProjectFile(path).ok());
    QByteArray file = readFile(path);
    setInt(file, 256, 3);
    writeFile(path, file);
    ASSERT_TRUE(ws.mproject.LoadProjectFile(path).ok());
    EXPECT_EQ(ws.mproject.cfg.AddonTilesCount, 7);
    // The circle layout of a quick-save file has no grid cells at all.
    fillProject(ws, 0, 0, 5001, 42);
    ASSERT_TRUE(ws.mproject.SaveProjectFile(path).ok());
    EXPECT_EQ(QFileInfo(path).size(), kPrefix + 5001 * kCell + 4);
}

TEST(ProjectFile, RefusedFilesLeaveProjectAndOptionsUnchanged)
{
    QTemporaryDir dir;
    Workspace ws;
    fillProject(ws, 48, 48, 2, 51);
    ws.mproject.cfg.RootPath.set(dir.path());
    ASSERT_TRUE(ws.mproject.SaveProject().ok());
    ASSERT_TRUE(ws.mproject.SaveProjectFile(dir.filePath("TempMosaic.Prj")).ok());
    const QByteArray project = readFile(dir.filePath("Mosaic.Prj"));
    const QByteArray quick = readFile(dir.filePath("TempMosaic.Prj"));
    const qint64 projectSize = project.size();
    const qint64 quickSize = quick.size();
    ASSERT_EQ(projectSize, 6269168 + 2 * kCell);

    struct Case {
        const char* name;
        bool quickSave;
        QByteArray contents;
        QString error;
    };
    auto patched = [](QByteArray bytes, qsizetype at, std::int32_t v) {
        setInt(bytes, at, v);
        return bytes;
    };
    const Case cases[] = {
        {"Vcc 101", false, patched(project, 260, 101), "Mosaic.Prj: Vcc is 101, at most 100 allowed"},
        {"Vcc 5000", false, patched(project, 260, 5000), "Mosaic.Prj: Vcc is 5000, at most 100 allowed"},
        {"Vcc -2", false, patched(project, 260, -2), "Mosaic.Prj: Vcc is -2, at least 0 expected"},
        {"Hcc -1", false, patched(project, 264, -1), "Mosaic.Prj: Hcc is -1, at least 0 expected"},
        {"Hcc 101", false, patched(project, 264, 101), "Mosaic.Prj: Hcc is 101, at most 100 allowed"},
        {"AddonTilesCount 5002", false, patched(project, 256, 5002),
         "Mosaic.Prj: AddonTilesCount is 5002, at most 5001 allowed"},
        {"AddonTilesCount -1", false, patched(project, 256, -1),
         "Mosaic.Prj: AddonTilesCount is -1, at least 0 expected"},
        {"one byte short", false, project.left(projectSize - 1),
         QStringLiteral("Mosaic.Prj: file is %1 bytes, the counts need %2").arg(projectSize - 1).arg(projectSize)},
        {"counts larger than the data", false, patched(project, 260, 100),
         QStringLiteral("Mosaic.Prj: file is %1 bytes, the counts need %2")
             .arg(projectSize)
             .arg(kPrefix + 101 * 48 * kCell + 2 * kCell)},
        {"shorter than the records", false, project.left(100), "Mosaic.Prj: file is 100 bytes, at least 3440 expected"},
        {"empty", false, QByteArray(), "Mosaic.Prj: file is 0 bytes, at least 3440 expected"},
        {"quick-save count at the end 5002", true, patched(quick, quickSize - 4, 5002),
         "TempMosaic.Prj: AddonTilesCount at the end is 5002, at most 5001 allowed"},
        {"quick-save count at the end -1", true, patched(quick, quickSize - 4, -1),
         "TempMosaic.Prj: AddonTilesCount at the end is -1, at least 0 expected"},
        {"quick-save count in the records 5002", true, patched(quick, 256, 5002),
         "TempMosaic.Prj: AddonTilesCount is 5002, at most 5001 allowed"},
        {"quick-save Vcc 101", true, patched(quick, 260, 101), "TempMosaic.Prj: Vcc is 101, at most 100 allowed"},
        {"quick-save one byte short", true, quick.left(quickSize - 1),
         QStringLiteral("TempMosaic.Prj: file is %1 bytes, the counts need %2").arg(quickSize - 1).arg(quickSize)},
        {"a project file read as quick-save", true, project,
         QStringLiteral("TempMosaic.Prj: file is %1 bytes, the counts need %2").arg(projectSize).arg(quickSize)},
    };
    fillProject(ws, 5, 6, 9, 52);
    const QByteArray before = snapshot(ws);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(c.quickSave ? "TempMosaic.Prj" : "Mosaic.Prj");
        writeFile(path, c.contents);
        const Status st = c.quickSave ? ws.mproject.LoadProjectFile(path) : ws.mproject.LoadProject(path);
        ASSERT_FALSE(st.ok());
        EXPECT_EQ(st.error(), c.error);
        ASSERT_TRUE(snapshot(ws) == before);
    }

    const QString missing = dir.filePath("gone/Mosaic.Prj");
    for (bool quickSave : {false, true}) {
        SCOPED_TRACE(quickSave ? "missing quick-save file" : "missing project file");
        const Status st = quickSave ? ws.mproject.LoadProjectFile(missing) : ws.mproject.LoadProject(missing);
        ASSERT_FALSE(st.ok());
        EXPECT_TRUE(st.error().startsWith(missing + ": cannot open for reading")) << st.error().toStdString();
        ASSERT_TRUE(snapshot(ws) == before);
    }
}

TEST(ProjectFile, BytesAfterTheLastBlockAreIgnored)
{
    QTemporaryDir dir;
    Workspace ws;
    fillProject(ws, 3, 4, 2, 61);
    ws.mproject.cfg.RootPath.set(dir.path());
    ASSERT_TRUE(ws.mproject.SaveProject().ok());
    const QString path = dir.filePath("Mosaic.Prj");
    QByteArray file = readFile(path);
    writeFile(path, file + QByteArray(5000, '\x7f'));
    scramble(ws);
    const TCell untouchedAddon = ws.mproject.AddonTiles[2];
    ASSERT_TRUE(ws.mproject.LoadProject(path).ok());
    EXPECT_TRUE(sameCell(ws.mproject.AddonTiles[2], untouchedAddon));
    // Everything the file covers came back.
    ws.mproject.cfg.RootPath.set(dir.path());
    ASSERT_TRUE(ws.mproject.SaveProject().ok());
    EXPECT_TRUE(readFile(path) == file);
}

TEST(ProjectFile, AFailedWriteKeepsThePreviousFile)
{
    QTemporaryDir dir;
    Workspace ws;
    fillProject(ws, 10, 12, 3, 71);
    ws.mproject.cfg.RootPath.set(dir.path());
    const QString quickPath = dir.filePath("TempMosaic.Prj");
    ASSERT_TRUE(ws.mproject.SaveProject().ok());
    ASSERT_TRUE(ws.mproject.SaveProjectFile(quickPath).ok());
    const QByteArray project = readFile(dir.filePath("Mosaic.Prj"));
    const QByteArray quick = readFile(quickPath);

    fillProject(ws, 20, 20, 0, 72);
    ws.mproject.cfg.RootPath.set(dir.path());
    setWriteFaultHook(&failEveryWrite);
    const Status saved = ws.mproject.SaveProject();
    const Status quickSaved = ws.mproject.SaveProjectFile(quickPath);
    setWriteFaultHook(nullptr);

    ASSERT_FALSE(saved.ok());
    ASSERT_FALSE(quickSaved.ok());
    EXPECT_TRUE(saved.error().contains("Mosaic.Prj")) << saved.error().toStdString();
    EXPECT_TRUE(quickSaved.error().contains("TempMosaic.Prj")) << quickSaved.error().toStdString();
    EXPECT_TRUE(readFile(dir.filePath("Mosaic.Prj")) == project);
    EXPECT_TRUE(readFile(quickPath) == quick);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"Mosaic.Prj", "TempMosaic.Prj"}));
}

TEST(ProjectFile, WritersRefuseCountsTheArraysCannotHoldAndAProjectWithoutFolder)
{
    QTemporaryDir dir;
    Workspace ws;
    struct Case {
        const char* name;
        int vcc, hcc, addons;
        QString error;
    };
    const Case cases[] = {
        {"Vcc 101", 101, 10, 0, "Vcc is 101, at most 100 allowed"},
        {"Hcc 101", 10, 101, 0, "Hcc is 101, at most 100 allowed"},
        {"AddonTilesCount 5002", 0, 0, 5002, "AddonTilesCount is 5002, at most 5001 allowed"},
        {"negative Vcc", -1, 10, 0, "Vcc is -1, at least 0 expected"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fillProject(ws, c.vcc, c.hcc, c.addons, 81);
        ws.mproject.cfg.RootPath.set(dir.path());
        const Status st = ws.mproject.SaveProject();
        ASSERT_FALSE(st.ok());
        EXPECT_EQ(st.error(), "Mosaic.Prj: " + c.error);
        const Status quick = ws.mproject.SaveProjectFile(dir.filePath("TempMosaic.Prj"));
        ASSERT_FALSE(quick.ok());
        EXPECT_EQ(quick.error(), "TempMosaic.Prj: " + c.error);
        EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    }

    fillProject(ws, 2, 2, 0, 82);
    ws.mproject.cfg.RootPath.clear();
    const Status st = ws.mproject.SaveProject();
    ASSERT_FALSE(st.ok());
    EXPECT_EQ(st.error(), QString("Mosaic.Prj: the project has no folder (RootPath is empty)"));
}
