// The bytes-level readers behave as the file readers do, and the pattern writers keep
// the previous file when a write fails.

#include "engine/builtin_patterns.h"
#include "engine/patterns.h"
#include "engine/workspace.h"
#include "platform/file_io.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
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

QByteArray projectBytes(const Workspace& ws)
{
    const TMosaicProject& p = ws.mproject;
    return QByteArray(reinterpret_cast<const char*>(&p.cfg), sizeof p.cfg) +
           QByteArray(reinterpret_cast<const char*>(&p.patterncfg), sizeof p.patterncfg) +
           QByteArray(reinterpret_cast<const char*>(p.Cells), sizeof p.Cells) +
           QByteArray(reinterpret_cast<const char*>(p.AddonTiles), sizeof p.AddonTiles) +
           QByteArray(reinterpret_cast<const char*>(&ws.moptions), sizeof ws.moptions);
}

} // namespace

TEST(LoadProjectFromBytes, ReadsWhatTheFileReaderReadsAndRefusesWhatItRefuses)
{
    QTemporaryDir dir;
    auto source = std::make_unique<Workspace>();
    TMosaicProject& p = source->mproject;
    p.cfg.Vcc = 3;
    p.cfg.Hcc = 4;
    p.cfg.AddonTilesCount = 2;
    p.cfg.FullWidthF = 12.5;
    for (int y = 0; y <= 3; ++y)
        for (int x = 0; x < 4; ++x)
            p.Cells[y][x].TileID = y * 10 + x;
    p.AddonTiles[1].TileID = 77;
    source->moptions.RandomLevel = 9;
    p.cfg.RootPath.set(dir.path());
    ASSERT_TRUE(p.SaveProject().ok());
    ASSERT_TRUE(p.SaveProjectFile(dir.filePath("TempMosaic.Prj")).ok());

    struct Case {
        const char* name;
        const char* file;
        bool quickSave;
        int cut; // bytes removed from the end
    };
    const Case cases[] = {
        {"project", "Mosaic.Prj", false, 0},
        {"quick save", "TempMosaic.Prj", true, 0},
        {"cut project", "Mosaic.Prj", false, 100},
        {"cut quick save", "TempMosaic.Prj", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QLatin1String(c.file));
        QByteArray bytes = readFile(path);
        bytes.chop(c.cut);
        ASSERT_TRUE(writeFileAtomically(dir.filePath("cut.bin"), bytes).ok());
        auto a = std::make_unique<Workspace>();
        auto b = std::make_unique<Workspace>();
        const QString cutPath = dir.filePath("cut.bin");
        const Status fromFile = c.quickSave ? a->mproject.LoadProjectFile(cutPath) : a->mproject.LoadProject(cutPath);
        const Status fromBytes = c.quickSave ? b->mproject.LoadProjectFileFromBytes(bytes, QLatin1String(c.file))
                                             : b->mproject.LoadProjectFromBytes(bytes, QLatin1String(c.file));
        EXPECT_EQ(fromFile.ok(), c.cut == 0) << fromFile.error().toStdString();
        EXPECT_EQ(fromBytes.ok(), c.cut == 0) << fromBytes.error().toStdString();
        if (c.cut) {
            EXPECT_TRUE(fromBytes.error().startsWith(QLatin1String(c.file))) << fromBytes.error().toStdString();
        }
        EXPECT_TRUE(projectBytes(*a) == projectBytes(*b));
        if (c.cut == 0) {
            EXPECT_EQ(b->mproject.Cells[3][3].TileID, 33);
            EXPECT_EQ(b->mproject.AddonTiles[1].TileID, 77);
            EXPECT_EQ(b->moptions.RandomLevel, 9);
        }
    }
}

TEST(LoadPatternFromBytes, ReadsWhatTheFileReaderReads)
{
    QTemporaryDir dir;
    const std::vector<BuiltinPattern> patterns = BuiltinPatterns();
    const BuiltinPattern& hexagon = patterns.at(14);
    const QString path = dir.filePath(hexagon.fileName);
    ASSERT_TRUE(SavePattern(hexagon.pattern, path).ok());
    const QByteArray bytes = readFile(path);

    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {{"whole", bytes}, {"short", bytes.left(300)}, {"longer", bytes + QByteArray(50, 'x')}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeFileAtomically(dir.filePath("p.pat"), c.bytes).ok());
        TpatternCfg fromFile = DefaultPattern(), fromBytes = DefaultPattern();
        ASSERT_TRUE(LoadPattern(fromFile, dir.filePath("p.pat")).ok());
        ASSERT_TRUE(LoadPatternFromBytes(fromBytes, c.bytes, QStringLiteral("p.pat")).ok());
        EXPECT_EQ(std::memcmp(&fromFile, &fromBytes, sizeof fromFile), 0);
    }
    TpatternCfg zeroGroups = DefaultPattern();
    QByteArray bad = bytes;
    std::memset(bad.data() + 260, 0, 4);
    const Status st = LoadPatternFromBytes(zeroGroups, bad, QStringLiteral("bad.pat"));
    ASSERT_FALSE(st.ok());
    EXPECT_EQ(st.error(), QStringLiteral("bad.pat: HorzGroupCount is 0, expected 1..8"));
    EXPECT_EQ(zeroGroups.HorzGroupCount, 1);
}

TEST(PatternWriters, AFailedWriteKeepsThePreviousFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(WriteBuiltinPatterns(dir.path()).ok());
    const QString pat = dir.filePath("10_Rectangle.pat");
    const QString preview = dir.filePath("10_Rectangle.pat.jpg");
    const QByteArray patBefore = readFile(pat), previewBefore = readFile(preview);
    const QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);

    TpatternCfg other = DefaultPattern();
    other.HorzGroupCount = 3;
    setWriteFaultHook(&failEveryWrite);
    const Status saved = SavePattern(other, pat);
    const Status written = WriteBuiltinPatterns(dir.path());
    setWriteFaultHook(nullptr);

    ASSERT_FALSE(saved.ok());
    ASSERT_FALSE(written.ok());
    EXPECT_TRUE(saved.error().contains("10_Rectangle.pat")) << saved.error().toStdString();
    EXPECT_EQ(readFile(pat), patBefore);
    EXPECT_EQ(readFile(preview), previewBefore);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), filesBefore);
}
