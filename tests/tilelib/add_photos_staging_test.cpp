// A parallel AddPhotos writes each photo's files on its worker under temporary names and
// renames them in list order: whatever happens to a photo, no temporary file stays.

#include "tilelib/library_building.h"

#include "imaging/picture_io.h"
#include "tests/tilelib/library_test_support.h"
#include "tilelib/tilelib.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class AddPhotosStaging : public testing::Test {
protected:
    QTemporaryDir dir;
    QString folder = dir.filePath("lib");

    QString photo(const QString& name, int seed)
    {
        QDir().mkpath(dir.filePath("photos"));
        const QString path = dir.filePath("photos/" + name);
        EXPECT_TRUE(SavePicture(GradientPhoto(90, 70, seed), path).ok());
        return path;
    }
};

TEST_F(AddPhotosStaging, AFullLibraryLeavesNoStagedFiles)
{
    auto lib = EmptyLibrary(folder, 24, 24);
    lib->Count = kTileCountMax - 2; // room for two more
    for (int i = 0; i < lib->Count; ++i)
        lib->items[i].FileName.set(QStringLiteral("old%1.png").arg(i));
    QStringList photos;
    for (int i = 0; i < 6; ++i)
        photos << photo(QStringLiteral("p%1.png").arg(i), i);
    const AddPhotosReport report = AddPhotos(*lib, photos, {.threads = 3}, nullptr, {});
    EXPECT_TRUE(report.full);
    EXPECT_EQ(report.added.size(), 2);
    EXPECT_EQ(report.notAdded.size(), 4);
    EXPECT_EQ(FilesIn(folder + "/source"), QStringList({"p0.png", "p1.png"}));
    EXPECT_EQ(FilesIn(folder + "/ready"), QStringList({"p0.png", "p1.png"}));
}

TEST_F(AddPhotosStaging, ATileThatCannotTakeItsPlaceIsReportedAndLeavesNothing)
{
    auto lib = EmptyLibrary(folder, 24, 24);
    // A folder where the second photo's ready tile should go.
    ASSERT_TRUE(QDir().mkpath(folder + "/ready/b.png/inside"));
    const QStringList photos = {photo("a.png", 1), photo("b.png", 2), photo("c.png", 3)};
    const AddPhotosReport report = AddPhotos(*lib, photos, {.threads = 2}, nullptr, {});
    EXPECT_EQ(report.added, QStringList({photos[0], photos[2]}));
    ASSERT_EQ(report.failed.size(), 1);
    EXPECT_EQ(report.failed[0].path, photos[1]);
    EXPECT_TRUE(report.failed[0].message.contains(folder + "/ready/b.png")) << report.failed[0].message.toStdString();
    EXPECT_EQ(lib->Count, 2);
    EXPECT_EQ(FilesIn(folder + "/source"), QStringList({"a.png", "c.png"}));
    EXPECT_EQ(FilesIn(folder + "/ready"), QStringList({"a.png", "c.png"}));
}

TEST_F(AddPhotosStaging, ASourceCopyReplacesAStrayFileOfItsName)
{
    // A file in source that no item lists is replaced by the new copy, as a plain write
    // would replace it.
    auto lib = EmptyLibrary(folder, 24, 24);
    ASSERT_TRUE(WriteBytes(folder + "/source/a.png", "stray"));
    const QStringList photos = {photo("a.png", 1), photo("z.png", 2)};
    const AddPhotosReport report = AddPhotos(*lib, photos, {.threads = 2}, nullptr, {});
    EXPECT_EQ(report.added.size(), 2);
    EXPECT_EQ(ReadBytes(folder + "/source/a.png"), ReadBytes(photos[0]));
    EXPECT_EQ(FilesIn(folder + "/source"), QStringList({"a.png", "z.png"}));
}

} // namespace
