#include "tilelib/library_building.h"

#include "imaging/picture_io.h"
#include "tests/support/tilelib_fixtures.h"
#include "tests/tilelib/library_test_support.h"
#include "tilelib/tilelib.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class RecordingProgress final : public Progress {
public:
    void setValue(int value) override { values.push_back(value); }
    std::vector<int> values;
};

class CountingPump final : public EventPump {
public:
    void processEvents() override { ++calls; }
    int calls = 0;
};

QMap<QString, QByteArray> folderBytes(const QString& folder)
{
    QMap<QString, QByteArray> out;
    for (const QString& name : FilesIn(folder))
        out.insert(name, ReadBytes(folder + "/" + name));
    return out;
}

void clearLibraryFolder(const QString& folder)
{
    for (const char* sub : {"source", "ready"})
        for (const QString& name : FilesIn(folder + "/" + sub))
            QFile::remove(folder + "/" + sub + "/" + name);
    QFile::remove(folder + "/imagelib.dat");
}

class AddPhotosTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.filePath("lib");
        QDir().mkpath(dir.filePath("photos/again"));
    }
    QString save(const QString& relative, const QImage& picture)
    {
        const QString path = dir.filePath("photos/" + relative);
        const Status s = SavePicture(picture, path);
        EXPECT_TRUE(s.ok()) << s.error().toStdString();
        return path;
    }

    QTemporaryDir dir;
    QString folder;
};

} // namespace

TEST_F(AddPhotosTest, ParallelAddingGivesTheSameLibraryAsOneAtATime)
{
    // Twelve photos: several formats and shapes, one corrupt, one name given twice.
    QStringList photos;
    photos << save("wide.png", GradientPhoto(320, 120, 1));
    photos << save("tall.jpg", GradientPhoto(90, 300, 2));
    photos << save("dup.png", GradientPhoto(100, 100, 3));
    photos << save("big.jpg", GradientPhoto(1200, 800, 4));
    photos << save("plain.bmp", SolidPicture(60, 50, 0xFF336699));
    const QString broken = dir.filePath("photos/broken.jpg");
    ASSERT_TRUE(WriteBytes(broken, QByteArray("\xFF\xD8\xFF\xE0 truncated", 15)));
    photos << broken;
    photos << save("small.png", GradientPhoto(20, 18, 5));
    photos << save("again/dup.png", GradientPhoto(100, 100, 9)); // same name as the third
    photos << save("scan.tif", GradientPhoto(200, 150, 6));
    photos << save(QString::fromUtf8("snow☃.png"), GradientPhoto(80, 80, 7));
    photos << save("square.jpeg", GradientPhoto(400, 400, 8));
    photos << save("last.png", GradientPhoto(150, 200, 10));
    ASSERT_EQ(photos.size(), 12);

    // The reference: the editor's loop on one thread.
    auto reference = EmptyLibrary(folder, 48, 40);
    for (const QString& p : photos)
        if (!reference->ImgFileExists(QFileInfo(p).fileName())) (void)reference->AddImgFile2(p);
    ASSERT_EQ(reference->Count, 10);
    ASSERT_TRUE(reference->SaveTilelib().ok());
    const QByteArray expectedCatalogue = ReadBytes(folder + "/imagelib.dat");
    const auto expectedReady = folderBytes(folder + "/ready");
    const auto expectedSource = folderBytes(folder + "/source");
    ASSERT_EQ(expectedReady.size(), 10);
    reference.reset();

    for (int threads : {1, 2, 3, 5}) {
        SCOPED_TRACE(threads);
        clearLibraryFolder(folder);
        auto lib = EmptyLibrary(folder, 48, 40);
        RecordingProgress progress;
        CountingPump pump;
        Platform platform;
        platform.events = &pump;
        const AddPhotosReport report = AddPhotos(*lib, photos, {.threads = threads}, &progress, platform);

        EXPECT_EQ(report.added.size(), 10);
        EXPECT_EQ(report.skipped, QStringList{photos[7]});
        ASSERT_EQ(report.failed.size(), 1);
        EXPECT_EQ(report.failed[0].path, broken);
        EXPECT_TRUE(report.failed[0].message.contains("broken.jpg")) << report.failed[0].message.toStdString();
        EXPECT_FALSE(report.full);
        EXPECT_TRUE(report.notAdded.isEmpty());

        ASSERT_TRUE(lib->SaveTilelib().ok());
        EXPECT_TRUE(ReadBytes(folder + "/imagelib.dat") == expectedCatalogue);
        EXPECT_TRUE(folderBytes(folder + "/ready") == expectedReady);
        EXPECT_TRUE(folderBytes(folder + "/source") == expectedSource);

        std::vector<int> expectedProgress;
        for (int a = 0; a < 12; ++a)
            expectedProgress.push_back(a * 100 / 12);
        expectedProgress.push_back(0);
        EXPECT_EQ(progress.values, expectedProgress);
        EXPECT_GE(pump.calls, 12);
    }
}

TEST_F(AddPhotosTest, ASecondPhotoOfTheSameNameIsAddedWhenTheFirstFailed)
{
    const QString broken = dir.filePath("photos/a.png");
    ASSERT_TRUE(WriteBytes(broken, "not a picture"));
    const QString good = save("again/a.png", SolidPicture(50, 50, 0xFF00FF00));
    const QString third = save("b.png", SolidPicture(50, 50, 0xFF0000FF));
    for (int threads : {1, 2}) {
        SCOPED_TRACE(threads);
        clearLibraryFolder(folder);
        auto lib = EmptyLibrary(folder, 32, 32);
        const AddPhotosReport report = AddPhotos(*lib, {broken, good, third, good}, {.threads = threads}, nullptr, {});
        EXPECT_EQ(report.added, QStringList({good, third}));
        EXPECT_EQ(report.skipped, QStringList{good});
        ASSERT_EQ(report.failed.size(), 1);
        EXPECT_EQ(report.failed[0].path, broken);
        ASSERT_EQ(lib->Count, 2);
        EXPECT_EQ(lib->items[0].FileName.get(), "a.png");
        EXPECT_LE(ColorDistance(QImage(lib->GetFullName(0)).pixel(3, 3), 0xFF00FF00), 1);
    }
}

TEST_F(AddPhotosTest, NamesAlreadyInTheLibraryAreSkipped)
{
    auto lib = EmptyLibrary(folder, 32, 32);
    const QString first = save("one.png", SolidPicture(50, 50, 0xFFFF0000));
    ASSERT_TRUE(lib->AddImgFile2(first).ok());
    const QString other = save("again/one.png", SolidPicture(50, 50, 0xFF0000FF));
    const QString fresh = save("two.png", SolidPicture(50, 50, 0xFF00FF00));

    const AddPhotosReport report = AddPhotos(*lib, {other, fresh, first}, {.threads = 2}, nullptr, {});
    EXPECT_EQ(report.skipped, QStringList({other, first}));
    EXPECT_EQ(report.added, QStringList{fresh});
    EXPECT_EQ(lib->Count, 2);
    // The item keeps its picture: the photo of the same name from elsewhere counts as it.
    EXPECT_LE(ColorDistance(QImage(lib->GetFullName(0)).pixel(3, 3), 0xFFFF0000), 1);

    const AddPhotosReport again = AddPhotos(*lib, {other}, {.skipExisting = false, .threads = 2}, nullptr, {});
    EXPECT_EQ(again.added, QStringList{other});
    ASSERT_EQ(lib->Count, 3);
    EXPECT_EQ(lib->items[2].FileName.get(), "one-2.png");
    EXPECT_LE(ColorDistance(QImage(lib->GetFullName(0)).pixel(3, 3), 0xFFFF0000), 1);
}

TEST_F(AddPhotosTest, AnUnusableTileSizeFailsEveryPhotoWithTheReason)
{
    auto lib = EmptyLibrary(folder, 0, 32);
    const QString p = save("one.png", SolidPicture(50, 50, 0xFFFF0000));
    const auto before = Snapshot(*lib);
    const AddPhotosReport report = AddPhotos(*lib, {p, p}, {}, nullptr, {});
    // The first failed, so the second of the same name is tried as well.
    ASSERT_EQ(report.failed.size(), 2);
    EXPECT_TRUE(report.failed[1].message.contains("0 x 32")) << report.failed[0].message.toStdString();
    EXPECT_EQ(report.skipped.size(), 0);
    EXPECT_TRUE(SameBytes(*lib, *before));
    const Result<bool> direct = lib->AddImgFile2(p);
    ASSERT_FALSE(direct.ok());
    EXPECT_TRUE(direct.error().contains("imagelib.dat"));
}

TEST_F(AddPhotosTest, APhotoPreparedAheadAndThenSkippedLeavesNoFiles)
{
    QDir().mkpath(folder + "/ready");
    ASSERT_TRUE(WriteBytes(folder + "/ready/x_.png", "stray"));
    // The first is stored as x_-2.png (x_.png is taken by the stray file), which makes
    // the second, literally called so, present by the time its turn comes.
    const QString first = save(QString::fromUtf8("x☃.png"), SolidPicture(50, 50, 0xFFFF0000));
    const QString second = save("x_-2.png", SolidPicture(50, 50, 0xFF0000FF));
    auto lib = EmptyLibrary(folder, 32, 32);
    const AddPhotosReport report = AddPhotos(*lib, {first, second}, {.threads = 2}, nullptr, {});
    EXPECT_EQ(report.added, QStringList{first});
    EXPECT_EQ(report.skipped, QStringList{second});
    EXPECT_EQ(FilesIn(folder + "/ready"), QStringList({"x_-2.png", "x_.png"}));
    EXPECT_EQ(FilesIn(folder + "/source"), QStringList{"x_-2.png"});
    EXPECT_LE(ColorDistance(QImage(folder + "/ready/x_-2.png").pixel(3, 3), 0xFFFF0000), 1);
}
