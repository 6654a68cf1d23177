// The mosaic sub-commands of quillary-cli, from a photo and a library to a project
// folder and pictures.

#include "tests/cli/cli_process.h"
#include "tests/support/tilelib_fixtures.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class MosaicCommands : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        library = dir.filePath("lib");
        std::vector<FixtureTile> tiles;
        const TAlphaColor colours[] = {0xFFE02020, 0xFF2020E0, 0xFF20C040, 0xFFF0F020,
                                       0xFF202020, 0xFFF0F0F0, 0xFFA060C0, 0xFF60A0A0};
        for (int i = 0; i < 8; ++i)
            tiles.push_back(FixtureTile{QStringLiteral("tile%1.png").arg(i), colours[i], {}});
        ASSERT_TRUE(MakeFixtureTilelib(library, tiles, {.widthPx = 16, .heightPx = 16}));
        // Left half red, right half blue.
        QImage photo(300, 200, QImage::Format_RGB32);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                photo.setPixel(x, y, x < 150 ? 0xFFE02020 : 0xFF2020E0);
        this->photo = dir.filePath("photo.png");
        ASSERT_TRUE(photo.save(this->photo));
    }
    CliRun run(const QStringList& args) { return RunCli(dir.path(), args); }
    QTemporaryDir dir;
    QString library, photo;
};

} // namespace

TEST_F(MosaicCommands, CreateWritesTheProjectFolderAndAPictureThatExportReproduces)
{
    const QString project = dir.filePath("project");
    const QString picture = dir.filePath("mosaic.png");
    const CliRun r = run({"mosaic", "create", "--photo", photo, "--library", library, "--out", project, "--cols", "12",
                          "--rows", "8", "--tile-width", "10", "--tile-height", "10", "--seed", "3",
                          "--random-level", "1", "--no-repeat-radius", "--picture", picture});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("timings (ms): ReadColor")) << r.out.toStdString();
    QStringList entries = QDir(project).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    entries.sort();
    EXPECT_EQ(entries, (QStringList{"Mosaic.Prj", "MosaicPicture.jpg", "imagelib.dat", "mainimage.jpg", "ready"}));
    EXPECT_EQ(QDir(project + "/ready").entryList(QDir::Files).size(), 8);

    const QImage made(picture);
    ASSERT_FALSE(made.isNull());
    // The photo is recognisable: red tiles on the left, blue on the right (cells of 10
    // with gaps of 2, drawn one to one; the points are cell centres).
    ASSERT_EQ(made.size(), QSize(12 * 12 - 2, 8 * 12 - 2));
    const QRgb left = made.pixel(2 * 12 + 5, 3 * 12 + 5);
    const QRgb right = made.pixel(9 * 12 + 5, 3 * 12 + 5);
    EXPECT_GT(qRed(left), 150);
    EXPECT_LT(qBlue(left), 100);
    EXPECT_GT(qBlue(right), 150);
    EXPECT_LT(qRed(right), 100);

    const QString exported = dir.filePath("export.png");
    const CliRun e = run({"mosaic", "export", project, "--out", exported});
    ASSERT_EQ(e.exitCode, 0) << e.err.toStdString();
    EXPECT_EQ(QImage(exported).convertToFormat(QImage::Format_ARGB32),
              made.convertToFormat(QImage::Format_ARGB32));

    const CliRun ids = run({"mosaic", "export", project, "--view", "tile-id", "--out", dir.filePath("ids.png")});
    ASSERT_EQ(ids.exitCode, 0) << ids.err.toStdString();
    EXPECT_NE(QImage(dir.filePath("ids.png")).convertToFormat(QImage::Format_ARGB32),
              made.convertToFormat(QImage::Format_ARGB32));

    const CliRun info = run({"mosaic", "info", project});
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    EXPECT_TRUE(info.out.contains("Mosaic contains 8 x 12 = 96 Tiles.")) << info.out.toStdString();

    const CliRun chart = run({"chart", project, "--kind", "20", "--out", dir.filePath("chart.png")});
    ASSERT_EQ(chart.exitCode, 0) << chart.err.toStdString();
    EXPECT_EQ(QImage(dir.filePath("chart.png")).size(), QSize(360, 360));
    const CliRun libChart = run({"chart", library, "--kind", "10", "--out", dir.filePath("lib.png")});
    ASSERT_EQ(libChart.exitCode, 0) << libChart.err.toStdString();
    EXPECT_EQ(QImage(dir.filePath("lib.png")).size(), QSize(1080, 360));
}

TEST_F(MosaicCommands, RefusesANonEmptyFolderABadLibraryAndBadOptions)
{
    QDir(dir.path()).mkpath("full");
    QFile f(dir.filePath("full/keep.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    CliRun r = run({"mosaic", "create", "--photo", photo, "--library", library, "--out", dir.filePath("full")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("not empty")) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("full/Mosaic.Prj")));

    r = run({"mosaic", "create", "--photo", photo, "--library", dir.filePath("nolib"), "--out", dir.filePath("p")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("imagelib.dat")) << r.err.toStdString();

    r = run({"mosaic", "create", "--photo", photo, "--library", library, "--out", dir.filePath("p"), "--cols", "500"});
    EXPECT_EQ(r.exitCode, 2);
    r = run({"mosaic", "create", "--library", library, "--out", dir.filePath("p")});
    EXPECT_EQ(r.exitCode, 2);
    r = run({"mosaic", "export", dir.filePath("nowhere"), "--out", dir.filePath("x.png")});
    EXPECT_EQ(r.exitCode, 1);
}
