#include "platform/file_io.h"
#include "platform/services.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
bool failEveryWrite(const QString&) { return false; }

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

TEST(WriteFileAtomically, AFailedWriteKeepsThePreviousFileAndLeavesNoTemporary)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("imagelib.dat");
    ASSERT_TRUE(writeFileAtomically(path, QByteArray("old contents")).ok());

    setWriteFaultHook(&failEveryWrite);
    const Status st = writeFileAtomically(path, QByteArray(4096, 'n'));
    setWriteFaultHook(nullptr);

    EXPECT_FALSE(st.ok());
    EXPECT_TRUE(st.error().contains(path)) << st.error().toStdString();
    EXPECT_EQ(contents(path), QByteArray("old contents"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"imagelib.dat"});
}

TEST(WriteFileAtomically, ReplacesTheFileWhenTheWriteSucceeds)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.bin");
    ASSERT_TRUE(writeFileAtomically(path, QByteArray("one")).ok());
    ASSERT_TRUE(writeFileAtomically(path, QByteArray("two two")).ok());
    EXPECT_EQ(contents(path), QByteArray("two two"));
}

TEST(ReadWholeFile, RefusesFilesAboveTheLimitAndNamesTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.bin");
    ASSERT_TRUE(writeFileAtomically(path, QByteArray(100, 'x')).ok());
    EXPECT_TRUE(readWholeFile(path, 100).ok());
    const auto r = readWholeFile(path, 99);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.error().contains("big.bin"));
    EXPECT_FALSE(readWholeFile(dir.filePath("missing"), 10).ok());
}

TEST(CopyFileReplacing, CopyingAFileOntoItselfKeepsItsBytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("photo.jpg");
    ASSERT_TRUE(writeFileAtomically(path, QByteArray("jpeg bytes")).ok());
    EXPECT_TRUE(copyFileReplacing(path, path).ok());
    EXPECT_EQ(contents(path), QByteArray("jpeg bytes"));
}

TEST(JoinPath, JoinsWithOrWithoutATrailingSeparator)
{
    EXPECT_EQ(joinPath("a/b", "c"), QString("a/b/c"));
    EXPECT_EQ(joinPath("a/b/", "c"), QString("a/b/c"));
    EXPECT_EQ(joinPath("", "c"), QString("c"));
}

TEST(SeededRandom, RepeatsForASeedAndStaysInRange)
{
    SeededRandom a(42), b(42);
    for (int i = 0; i < 1000; ++i) {
        const int n = 1 + i % 37;
        const int x = a.Random(n);
        EXPECT_EQ(x, b.Random(n));
        EXPECT_GE(x, 0);
        EXPECT_LT(x, n);
    }
    EXPECT_EQ(a.Random(1), 0);
    EXPECT_EQ(a.Random(0), 0);
}

TEST(StagedFile, IsHiddenUntilPlacedThenReplacesTheTarget)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("photo.jpg");
    ASSERT_TRUE(writeFileAtomically(path, QByteArray("old")).ok());
    const Result<QString> staged = stageFile(dir.path(), "photo.jpg", QByteArray("new bytes"));
    ASSERT_TRUE(staged.ok()) << staged.error().toStdString();
    EXPECT_EQ(contents(path), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"photo.jpg"}); // the staged file is hidden
    EXPECT_EQ(contents(*staged), QByteArray("new bytes"));
    ASSERT_TRUE(placeStagedFile(*staged, path).ok());
    EXPECT_EQ(contents(path), QByteArray("new bytes"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"photo.jpg"});
}

TEST(StagedFile, AFailedStagingNamesTheTargetAndLeavesNothing)
{
    QTemporaryDir dir;
    setWriteFaultHook(&failEveryWrite);
    const Result<QString> staged = stageFile(dir.path(), "photo.jpg", QByteArray(4096, 'x'));
    setWriteFaultHook(nullptr);
    ASSERT_FALSE(staged.ok());
    EXPECT_TRUE(staged.error().contains(dir.filePath("photo.jpg"))) << staged.error().toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(StagedFile, DiscardingAndPlacingOntoAFolder)
{
    QTemporaryDir dir;
    const Result<QString> kept = stageFile(dir.path(), "a.png", QByteArray("a"));
    ASSERT_TRUE(kept.ok());
    discardStagedFile(*kept);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    ASSERT_TRUE(QDir().mkpath(dir.filePath("b.png/inside")));
    const Result<QString> staged = stageFile(dir.path(), "b.png", QByteArray("b"));
    ASSERT_TRUE(staged.ok());
    const Status placed = placeStagedFile(*staged, dir.filePath("b.png"));
    EXPECT_FALSE(placed.ok());
    EXPECT_TRUE(placed.error().contains(dir.filePath("b.png"))) << placed.error().toStdString();
    discardStagedFile(*staged);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}
