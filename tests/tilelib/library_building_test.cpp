#include "tilelib/library_building.h"

#include "imaging/picture_io.h"
#include "platform/file_io.h"
#include "tests/support/tilelib_fixtures.h"
#include "tests/tilelib/library_test_support.h"
#include "tilelib/tilelib.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00C000;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kWhite = 0xFFFFFFFF;

class LibraryBuilding : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.filePath("lib");
        lib = EmptyLibrary(folder, 66, 66);
    }
    QString photo(const QString& name, const QImage& picture)
    {
        QDir().mkpath(dir.filePath("photos"));
        const QString path = dir.filePath("photos/" + name);
        EXPECT_TRUE(picture.save(path, "PNG")) << path.toStdString();
        return path;
    }
    QString sourceDir() const { return folder + "/source"; }
    QString readyDir() const { return folder + "/ready"; }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<TTilelib> lib;
};

bool failEveryWrite(const QString&)
{
    return false;
}

ino_t inodeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

} // namespace

TEST_F(LibraryBuilding, AddingKeepsTheCentralSquareOfTheLongerSide)
{
    // 25 red columns (rows) on each side of a green and blue 150 x 150 square.
    const QImage landscape = VerticalBands(200, 150, {0, 25, 100, 175}, {kRed, kGreen, kBlue, kRed});
    struct Case {
        const char* name;
        QImage picture;
        QPoint firstHalf, secondHalf, edgeA, edgeB; // pixels of the 66 x 66 tile
        int firstQuadrant, secondQuadrant;          // ci4 indices of the green and the blue half
    };
    const Case cases[] = {
        {"landscape 200 x 150", landscape, {10, 33}, {55, 33}, {0, 20}, {65, 40}, 0, 1},
        {"portrait 150 x 200", Transposed(landscape), {33, 10}, {33, 55}, {20, 0}, {40, 65}, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        lib = EmptyLibrary(folder, 66, 66);
        const QString path = photo(QStringLiteral("bands %1.png").arg(c.picture.width()), c.picture);
        const Result<bool> added = lib->AddImgFile2(path);
        ASSERT_TRUE(added.ok()) << added.error().toStdString();
        EXPECT_TRUE(*added);
        ASSERT_EQ(lib->Count, 1);
        const QString name = QFileInfo(path).fileName();
        EXPECT_EQ(lib->items[0].FileName.get(), name);
        EXPECT_EQ(ReadBytes(sourceDir() + "/" + name), ReadBytes(path));

        const QImage tile(readyDir() + "/" + name);
        ASSERT_EQ(tile.size(), QSize(66, 66));
        EXPECT_LE(ColorDistance(tile.pixel(c.firstHalf), kGreen), 2);
        EXPECT_LE(ColorDistance(tile.pixel(c.secondHalf), kBlue), 2);
        // No red reaches the tile's edges: the side strips were cut off.
        EXPECT_LE(qRed(tile.pixel(c.edgeA)), 2);
        EXPECT_LE(qRed(tile.pixel(c.edgeB)), 2);
        EXPECT_LE(ColorDistance(lib->items[0].ColorInfo.ci4[c.firstQuadrant].rgb, kGreen), 2);
        EXPECT_LE(ColorDistance(lib->items[0].ColorInfo.ci4[c.secondQuadrant].rgb, kBlue), 2);
        QFile::remove(sourceDir() + "/" + name);
        QFile::remove(readyDir() + "/" + name);
    }
}

TEST_F(LibraryBuilding, TheUnturnedMeasurementIsTheUprightOne)
{
    ASSERT_TRUE(lib->AddImgFile2(photo("gradient.png", GradientPhoto(120, 90, 3))).ok());
    ASSERT_EQ(lib->Count, 1);
    const TTileItem& item = lib->items[0];
    EXPECT_EQ(std::memcmp(&item.RotColorInfo[0], &item.ColorInfo, sizeof(TimgColorInfo)), 0);
    // The others are real turns of a non-symmetric tile.
    EXPECT_NE(std::memcmp(&item.RotColorInfo[6], &item.ColorInfo, sizeof(TimgColorInfo)), 0);
}

TEST_F(LibraryBuilding, AUniformSquareTileLooksTheSameInQuarterTurns)
{
    ASSERT_TRUE(lib->AddImgFile2(photo("ochre.png", SolidPicture(100, 100, 0xFFC87828))).ok());
    const TTileItem& item = lib->items[0];
    for (int k : {3, 6, 9}) {
        SCOPED_TRACE(k);
        EXPECT_LE(ColorDistance(item.RotColorInfo[k].ci1.rgb, item.ColorInfo.ci1.rgb), 1);
        for (int q = 0; q < 4; ++q)
            EXPECT_LE(ColorDistance(item.RotColorInfo[k].ci4[q].rgb, item.ColorInfo.ci4[q].rgb), 2);
        for (int s = 0; s < 64; ++s)
            EXPECT_LE(ColorDistance(item.RotColorInfo[k].ci64[s].rgb, item.ColorInfo.ci64[s].rgb), 3) << s;
    }
    // At 30 degrees the corners turn black, while the centre-weighted colour, which
    // ignores the corners, stays.
    EXPECT_LT(qRed(item.RotColorInfo[1].ci64[0].rgb), 120);
    EXPECT_LE(ColorDistance(item.RotColorInfo[1].ci1.rgb, item.ColorInfo.ci1.rgb), 2);
}

TEST_F(LibraryBuilding, AQuarterTurnIsClockwise)
{
    QImage quadrants(100, 100, QImage::Format_ARGB32);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            quadrants.setPixel(x, y, y < 50 ? (x < 50 ? kRed : kGreen) : (x < 50 ? kBlue : kWhite));
    ASSERT_TRUE(lib->AddImgFile2(photo("quadrants.png", quadrants)).ok());
    const TTileItem& item = lib->items[0];
    // Turned clockwise, bottom-left comes to top-left and top-left to top-right.
    EXPECT_LE(ColorDistance(item.RotColorInfo[3].ci4[0].rgb, kBlue), 3);
    EXPECT_LE(ColorDistance(item.RotColorInfo[3].ci4[1].rgb, kRed), 3);
    EXPECT_LE(ColorDistance(item.RotColorInfo[3].ci4[3].rgb, kGreen), 3);
    EXPECT_LE(ColorDistance(item.RotColorInfo[9].ci4[0].rgb, kGreen), 3);
}

TEST_F(LibraryBuilding, AFullLibraryRefusesAndChangesNothing)
{
    lib->Count = kTileCountMax; // 2048: Count + 1 reaches the 2049 records
    for (int i = 0; i < kTileCountMax; ++i)
        lib->items[i].FileName.set(QStringLiteral("t%1.png").arg(i));
    const auto before = Snapshot(*lib);
    const QString path = photo("one more.png", SolidPicture(80, 80, kRed));

    const Result<bool> added = lib->AddImgFile2(path);
    ASSERT_TRUE(added.ok()) << added.error().toStdString();
    EXPECT_FALSE(*added);
    EXPECT_TRUE(SameBytes(*lib, *before));
    EXPECT_TRUE(FilesIn(sourceDir()).isEmpty());
    EXPECT_TRUE(FilesIn(readyDir()).isEmpty());

    const AddPhotosReport report = AddPhotos(*lib, {path, path + "2"}, {}, nullptr, {});
    EXPECT_TRUE(report.full);
    EXPECT_EQ(report.notAdded, QStringList({path, path + "2"}));
    EXPECT_TRUE(report.added.isEmpty());
    EXPECT_TRUE(SameBytes(*lib, *before));
}

TEST_F(LibraryBuilding, TheLastFreeRecordIsUsedThenTheRestIsLeftOver)
{
    lib->Count = kTileCountMax - 1;
    for (int i = 0; i < lib->Count; ++i)
        lib->items[i].FileName.set(QStringLiteral("t%1.png").arg(i));
    const QStringList photos = {photo("a.png", SolidPicture(70, 70, kRed)), photo("b.png", SolidPicture(70, 70, kBlue)),
                                photo("c.png", SolidPicture(70, 70, kGreen))};
    const AddPhotosReport report = AddPhotos(*lib, photos, {.threads = 2}, nullptr, {});
    EXPECT_EQ(report.added, QStringList{photos[0]});
    EXPECT_EQ(report.notAdded, photos.mid(1));
    EXPECT_TRUE(report.full);
    EXPECT_EQ(lib->Count, kTileCountMax);
    EXPECT_EQ(FilesIn(readyDir()), QStringList{"a.png"});
    EXPECT_EQ(FilesIn(sourceDir()), QStringList{"a.png"});
}

TEST_F(LibraryBuilding, APhotoThatCannotBeAddedLeavesTheLibraryAsItWas)
{
    ASSERT_TRUE(lib->AddImgFile2(photo("kept.png", SolidPicture(70, 70, kBlue))).ok());
    // Old bytes in the next record must survive a failed add as well.
    lib->items[1].FileName.set("old name.png");
    lib->items[1].Usecount = 77;
    lib->items[1].ColorInfo.ci1.rgb = 0xFF123456;
    ASSERT_TRUE(lib->SaveTilelib().ok());
    const QByteArray catalogue = ReadBytes(folder + "/imagelib.dat");
    const auto before = Snapshot(*lib);

    QDir().mkpath(dir.filePath("photos"));
    const QString corrupt = dir.filePath("photos/corrupt.jpg");
    ASSERT_TRUE(WriteBytes(corrupt, QByteArray("\xFF\xD8\xFF\xE0 this is no JPEG", 20)));
    const QString text = dir.filePath("photos/notes.png");
    ASSERT_TRUE(WriteBytes(text, "plain text, not a picture"));
    // Decodes, but no codec writes the ready tile for this extension.
    const QString unwritable = dir.filePath("photos/scan.xyz");
    ASSERT_TRUE(SolidPicture(70, 70, kRed).save(unwritable, "PNG"));

    struct Case {
        const char* name;
        QString path;
        QString reason;
    };
    const Case cases[] = {
        {"missing file", dir.filePath("photos/missing.jpg"), "file not found"},
        {"a folder", dir.filePath("photos"), "not a file"},
        {"corrupt JPEG", corrupt, "cannot read picture"},
        {"text under a picture name", text, "cannot read picture"},
        {"extension without a writer", unwritable, ".xyz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<bool> added = lib->AddImgFile2(c.path);
        ASSERT_FALSE(added.ok());
        EXPECT_TRUE(added.error().contains(QFileInfo(c.path).fileName())) << added.error().toStdString();
        EXPECT_TRUE(added.error().contains(c.reason)) << added.error().toStdString();
        EXPECT_TRUE(SameBytes(*lib, *before));
        EXPECT_EQ(FilesIn(sourceDir()), QStringList{"kept.png"});
        EXPECT_EQ(FilesIn(readyDir()), QStringList{"kept.png"});
        ASSERT_TRUE(lib->SaveTilelib().ok());
        EXPECT_EQ(ReadBytes(folder + "/imagelib.dat"), catalogue);
    }
}

TEST_F(LibraryBuilding, AFailedWriteLeavesNoHalfItem)
{
    const QString path = photo("fine.png", SolidPicture(70, 70, kRed));
    const auto before = Snapshot(*lib);
    setWriteFaultHook(&failEveryWrite);
    const Result<bool> added = lib->AddImgFile2(path);
    setWriteFaultHook(nullptr);
    ASSERT_FALSE(added.ok());
    EXPECT_TRUE(added.error().contains("fine.png")) << added.error().toStdString();
    EXPECT_TRUE(SameBytes(*lib, *before));
    EXPECT_TRUE(FilesIn(sourceDir()).isEmpty());
    EXPECT_TRUE(FilesIn(readyDir()).isEmpty());
}

namespace {
int g_writes = 0;
// Lets the source copy through and fails the ready tile.
bool failSecondWrite(const QString&)
{
    return ++g_writes < 2;
}
} // namespace

TEST_F(LibraryBuilding, AFailedTileWriteTakesTheNewSourceCopyBack)
{
    const QString path = photo("fine.png", SolidPicture(70, 70, kRed));
    const auto before = Snapshot(*lib);
    g_writes = 0;
    setWriteFaultHook(&failSecondWrite);
    const Result<bool> added = lib->AddImgFile2(path);
    setWriteFaultHook(nullptr);
    ASSERT_FALSE(added.ok());
    EXPECT_EQ(g_writes, 2);
    EXPECT_TRUE(added.error().contains("fine.png")) << added.error().toStdString();
    EXPECT_TRUE(added.error().contains(readyDir())) << added.error().toStdString();
    EXPECT_TRUE(SameBytes(*lib, *before));
    EXPECT_TRUE(FilesIn(sourceDir()).isEmpty());
    EXPECT_TRUE(FilesIn(readyDir()).isEmpty());
}

TEST_F(LibraryBuilding, ATileThatCannotTakeItsPlaceTakesTheSourceCopyBack)
{
    const QString path = photo("fine.png", SolidPicture(70, 70, kRed));
    // A folder where the ready tile should go: the copy in source is made first.
    ASSERT_TRUE(QDir().mkpath(readyDir() + "/fine.png/inside"));
    const auto before = Snapshot(*lib);
    const Result<bool> added = lib->AddImgFile2(path);
    ASSERT_FALSE(added.ok());
    EXPECT_TRUE(added.error().contains(readyDir() + "/fine.png")) << added.error().toStdString();
    EXPECT_TRUE(SameBytes(*lib, *before));
    EXPECT_TRUE(FilesIn(sourceDir()).isEmpty());
    EXPECT_TRUE(FilesIn(readyDir()).isEmpty()); // no temporary file either
}

TEST(TileFileNameFor, KeepsWhatTheCodePageHoldsAndFoldsTheRest)
{
    const QString long300 = QString(300, QLatin1Char('a')) + ".jpg";
    const QString longUnsafe = QString(260, QChar(0x4E00)) + ".png";
    struct Case {
        const char* name;
        QString in;
        QString out;
    };
    const Case cases[] = {
        {"plain", "holiday 01.jpg", "holiday 01.jpg"},
        {"Latin-1 letters stay", QString::fromUtf8("café Ünïcode.png"), QString::fromUtf8("café Ünïcode.png")},
        {"code page extras stay", QString::fromUtf8("€ and œ.png"), QString::fromUtf8("€ and œ.png")},
        {"letters with marks fold", QString::fromUtf8("Dvořák.png"), QString::fromUtf8("Dvorák.png")},
        {"decomposed é composes", QString::fromUtf8("cafe\u0301.png"), QString::fromUtf8("café.png")},
        {"ligature folds", QString::fromUtf8("\uFB01sh.png"), "fish.png"},
        {"symbols are replaced", QString::fromUtf8("snow☃man.png"), "snow_man.png"},
        {"one mark per character", QString::fromUtf8("日本.png"), "__.png"},
        {"emoji as one character", QString::fromUtf8("a\U0001F600b.jpg"), "a_b.jpg"},
        {"control characters", QString("tab\there.png"), "tab_here.png"},
        {"too long, extension kept", long300, QString(251, QLatin1Char('a')) + ".jpg"},
        {"long and unsafe", longUnsafe, QString(251, QLatin1Char('_')) + ".png"},
        {"unsafe extension", QString::fromUtf8("a.jp☃"), "a.jp_"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString out = TileFileNameFor(c.in);
        EXPECT_EQ(out, c.out) << out.toStdString();
        EXPECT_TRUE(fitsCp1252(out));
        EXPECT_LE(out.size(), 255);
    }
}

TEST_F(LibraryBuilding, APhotoWithAnUnsafeNameIsStoredUnderASafeOne)
{
    const QString snowman = photo(QString::fromUtf8("snow☃man.png"), SolidPicture(70, 70, kRed));
    const QString umbrella = photo(QString::fromUtf8("snow☂man.png"), SolidPicture(70, 70, kBlue));
    ASSERT_TRUE(lib->AddImgFile2(snowman).ok());
    ASSERT_TRUE(lib->AddImgFile2(umbrella).ok());
    ASSERT_EQ(lib->Count, 2);
    EXPECT_EQ(lib->items[0].FileName.get(), "snow_man.png");
    EXPECT_EQ(lib->items[1].FileName.get(), "snow_man-2.png");
    EXPECT_EQ(FilesIn(sourceDir()), QStringList({"snow_man-2.png", "snow_man.png"}));
    EXPECT_EQ(FilesIn(readyDir()), QStringList({"snow_man-2.png", "snow_man.png"}));
    EXPECT_EQ(ReadBytes(lib->GetsourceName(1)), ReadBytes(umbrella));
    EXPECT_LE(ColorDistance(QImage(lib->GetFullName(1)).pixel(30, 30), kBlue), 1);

    // The same photo again counts as present, under its own name or its stored one.
    const AddPhotosReport report = AddPhotos(*lib, {snowman}, {}, nullptr, {});
    EXPECT_EQ(report.skipped, QStringList{snowman});
    EXPECT_EQ(lib->Count, 2);
}

TEST_F(LibraryBuilding, AChangedNameDoesNotReplaceAStrayFile)
{
    // Left behind by a discarded session; it belongs to no item.
    ASSERT_TRUE(WriteBytes(readyDir() + "/x_.png", "stray"));
    ASSERT_TRUE(lib->AddImgFile2(photo(QString::fromUtf8("x☃.png"), SolidPicture(70, 70, kRed))).ok());
    EXPECT_EQ(lib->items[0].FileName.get(), "x_-2.png");
    EXPECT_EQ(ReadBytes(readyDir() + "/x_.png"), QByteArray("stray"));
}

TEST_F(LibraryBuilding, ANameAlreadyOnAnItemIsNotGivenTwice)
{
    const QString first = photo("same.png", SolidPicture(70, 70, kRed));
    QDir().mkpath(dir.filePath("other"));
    const QString second = dir.filePath("other/same.png");
    ASSERT_TRUE(SolidPicture(70, 70, kBlue).save(second));
    ASSERT_TRUE(lib->AddImgFile2(first).ok());
    // Called without the caller's duplicate test: the first item's files must survive.
    ASSERT_TRUE(lib->AddImgFile2(second).ok());
    EXPECT_EQ(lib->items[1].FileName.get(), "same-2.png");
    EXPECT_LE(ColorDistance(QImage(lib->GetFullName(0)).pixel(5, 5), kRed), 1);
    EXPECT_LE(ColorDistance(QImage(lib->GetFullName(1)).pixel(5, 5), kBlue), 1);
}

TEST_F(LibraryBuilding, APhotoFromTheOwnSourceFolderIsNotCopiedOntoItself)
{
    ASSERT_TRUE(QFile::link(folder, dir.filePath("link to lib")));
    struct Case {
        const char* name;
        QString file;  // inside the source folder
        QString given; // the path handed to AddImgFile2
    };
    const Case cases[] = {
        {"direct", "a.png", sourceDir() + "/a.png"},
        {"through ..", "b.png", sourceDir() + "/../source/./b.png"},
        {"through a link", "c.png", dir.filePath("link to lib/source/c.png")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString inSource = sourceDir() + "/" + c.file;
        ASSERT_TRUE(GradientPhoto(90, 70, 1).save(inSource));
        const QByteArray bytes = ReadBytes(inSource);
        const ino_t inode = inodeOf(inSource);
        const int count = lib->Count;
        const Result<bool> added = lib->AddImgFile2(c.given);
        ASSERT_TRUE(added.ok()) << added.error().toStdString();
        EXPECT_EQ(lib->Count, count + 1);
        EXPECT_EQ(lib->items[count].FileName.get(), c.file);
        // Not rewritten at all: the same file, not a replaced copy.
        EXPECT_EQ(inodeOf(inSource), inode);
        EXPECT_EQ(ReadBytes(inSource), bytes);
        EXPECT_EQ(QImage(readyDir() + "/" + c.file).size(), QSize(66, 66));
    }
}

TEST_F(LibraryBuilding, ALargeJpegIsDecodedScaledAndStillFillsTheTile)
{
    QImage big = VerticalBands(2400, 1600, {0, 400, 1200, 2000}, {kRed, kGreen, kBlue, kRed});
    QDir().mkpath(dir.filePath("photos"));
    const QString path = dir.filePath("photos/big.jpg");
    ASSERT_TRUE(SavePicture(big, path).ok());
    ASSERT_TRUE(lib->AddImgFile2(path).ok());
    const QImage tile(lib->GetFullName(0));
    ASSERT_EQ(tile.size(), QSize(66, 66));
    EXPECT_LE(ColorDistance(tile.pixel(10, 33), kGreen), 12);
    EXPECT_LE(ColorDistance(tile.pixel(55, 33), kBlue), 12);
    EXPECT_EQ(ReadBytes(lib->GetsourceName(0)), ReadBytes(path));
}

// --- preview sheet ---------------------------------------------------------------------

namespace {

QRgb paletteColor(int i)
{
    return qRgb((i * 53) % 256, (i * 97 + 60) % 256, (i * 151 + 30) % 256);
}

} // namespace

TEST(BuildPreview, ShowsTheFirstHundredTilesInReadingOrder)
{
    struct Case {
        const char* name;
        int count;
        int missing; // item whose ready picture is deleted, or -1
    };
    const Case cases[] = {{"7 tiles", 7, 3}, {"131 tiles", 131, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        std::vector<FixtureTile> tiles;
        for (int i = 0; i < c.count; ++i)
            tiles.push_back({QStringLiteral("t%1.png").arg(i), paletteColor(i), {}});
        // 24 x 16 tiles: fitted to 90 x 60 and centred, white above and below.
        auto lib = MakeFixtureTilelib(dir.path(), tiles, {.writeSource = false});
        ASSERT_TRUE(lib);
        if (c.missing >= 0) {
            ASSERT_TRUE(QFile::remove(lib->GetFullName(c.missing)));
        }
        const Status built = lib->BuildPreview();
        ASSERT_TRUE(built.ok()) << built.error().toStdString();
        const QImage sheet(dir.filePath("preview.jpg"));
        ASSERT_EQ(sheet.size(), QSize(1000, 1000));
        for (int i = 0; i < 100; ++i) {
            SCOPED_TRACE(i);
            const int x = (i % 10) * 100;
            const int y = (i / 10) * 100;
            const bool shown = i < c.count && i != c.missing;
            const QRgb centre = sheet.pixel(x + 50, y + 50);
            EXPECT_LE(ColorDistance(centre, shown ? paletteColor(i) : kWhite), 10);
            EXPECT_LE(ColorDistance(sheet.pixel(x + 10, y + 40), shown ? paletteColor(i) : kWhite), 10);
            // The 5-pixel margin and the padding above the fitted picture stay white.
            EXPECT_LE(ColorDistance(sheet.pixel(x + 1, y + 50), kWhite), 10);
            EXPECT_LE(ColorDistance(sheet.pixel(x + 50, y + 12), kWhite), 10);
        }
    }
}

// --- creating a library -----------------------------------------------------------------

TEST(CreateTileLibrary, WritesAnEmptyLibraryWithItsSettings)
{
    struct Case {
        const char* name;
        int w, h;
        double ppi;
        float widthf, heightf;
    };
    const Case cases[] = {
        {"400 x 400 at 200", 400, 400, 200, 2.0f, 2.0f},
        {"300 x 200 at 254", 300, 200, 254, float(300 / 254.0), float(200 / 254.0)},
        {"66 x 66 at 199.5", 66, 66, 199.5, float(66 / 199.5), float(66 / 199.5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString folder = dir.filePath("new/deeper");
        auto owner = std::make_unique<TTilelib>();
        TTilelib& lib = *owner;
        lib.Count = 5; // a previous library in the object
        const Status made = CreateTileLibrary(lib, folder, "Flowers", c.w, c.h, c.ppi);
        ASSERT_TRUE(made.ok()) << made.error().toStdString();
        EXPECT_EQ(lib.Count, 0);
        EXPECT_EQ(lib.cfg.Widthf, c.widthf);
        EXPECT_EQ(lib.cfg.Heightf, c.heightf);
        EXPECT_EQ(lib.cfg.SizeUnit, 1);
        EXPECT_EQ(lib.cfg.DPI, float(c.ppi));
        EXPECT_EQ(lib.cfg.widthPx, c.w);
        EXPECT_EQ(lib.cfg.heightPx, c.h);
        EXPECT_EQ(lib.cfg.name.get(), "Flowers");
        EXPECT_EQ(lib.cfg.brand.get(), "N/A");
        EXPECT_EQ(lib.cfg.Rootpath.get(), folder);
        EXPECT_EQ(QFileInfo(folder + "/imagelib.dat").size(), 66710093);
        EXPECT_TRUE(QFileInfo(folder + "/source").isDir());
        EXPECT_TRUE(QFileInfo(folder + "/ready").isDir());
        EXPECT_TRUE(QDir(folder + "/source").isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        EXPECT_TRUE(QDir(folder + "/ready").isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        EXPECT_EQ(ReadTilelibCount(folder + "/imagelib.dat"), 0);
        const TtileLibCfg onDisk = ReadTilelibCfg(folder + "/imagelib.dat");
        EXPECT_EQ(onDisk.Widthf, c.widthf);
        EXPECT_EQ(onDisk.widthPx, c.w);
        EXPECT_EQ(onDisk.name.get(), "Flowers");

        const QImage preview(folder + "/preview.jpg");
        ASSERT_EQ(preview.size(), QSize(512, 512));
        EXPECT_LE(ColorDistance(preview.pixel(5, 5), kWhite), 6);
        EXPECT_LE(ColorDistance(preview.pixel(506, 506), kWhite), 6);
    }
}

TEST(CreateTileLibrary, ThePlaceholderHasBlueWordsOnThreeLines)
{
    const QImage p = EmptyLibraryPlaceholder();
    ASSERT_EQ(p.size(), QSize(512, 512));
    // Blue ink per horizontal band of rows; three lines mean three inked bands.
    int bands = 0;
    bool inBand = false;
    int blue = 0;
    for (int y = 0; y < 512; ++y) {
        int inked = 0;
        for (int x = 0; x < 512; ++x) {
            const QRgb c = p.pixel(x, y);
            const bool isBlue = qBlue(c) > 200 && qRed(c) < 80 && qGreen(c) < 80;
            const bool isWhite = ColorDistance(c, kWhite) == 0;
            EXPECT_TRUE(isBlue || isWhite || qBlue(c) >= qRed(c)) << x << "," << y;
            inked += isBlue;
        }
        blue += inked;
        if (inked > 0 && !inBand) ++bands;
        inBand = inked > 0;
    }
    EXPECT_EQ(bands, 3);
    EXPECT_GT(blue, 512 * 512 / 50);
}

TEST(CreateTileLibrary, RefusesUnusableSettingsBeforeWritingAnything)
{
    struct Case {
        const char* name;
        QString title;
        int w, h;
        double ppi;
        const char* mentions;
    };
    const Case cases[] = {
        {"no name", "", 400, 400, 200, "name"},
        {"zero width", "L", 0, 400, 200, "0 x 400"},
        {"too high", "L", 400, 801, 200, "400 x 801"},
        {"zero ppi", "L", 400, 400, 0, "pixels per inch"},
        {"negative ppi", "L", 400, 400, -5, "pixels per inch"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        auto lib = std::make_unique<TTilelib>();
        const Status made = CreateTileLibrary(*lib, dir.path(), c.title, c.w, c.h, c.ppi);
        ASSERT_FALSE(made.ok());
        EXPECT_TRUE(made.error().contains(c.mentions)) << made.error().toStdString();
        EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    }
}

// --- listing ----------------------------------------------------------------------------

namespace {

void makeLibraryFolder(const QString& folder, const QString& name)
{
    auto lib = std::make_unique<TTilelib>();
    ASSERT_TRUE(CreateTileLibrary(*lib, folder, name, 40, 40, 200).ok());
}

} // namespace

TEST(ListTilelibs, ListsBothRootsInOrderWithTheirNames)
{
    QTemporaryDir dir;
    const QString program = dir.filePath("program/Tilelibs");
    const QString user = dir.filePath("user/Tilelibs");
    makeLibraryFolder(program + "/sample", "Same");
    makeLibraryFolder(program + "/second", "Program Two");
    makeLibraryFolder(user + "/mine", "Same");
    makeLibraryFolder(user + "/other", "User Two");
    QDir().mkpath(user + "/not a library/ready"); // no imagelib.dat
    ASSERT_TRUE(WriteBytes(user + "/loose file.dat", "x"));
    ASSERT_TRUE(WriteBytes(user + "/imagelib.dat", "a catalogue in the root is no library folder"));

    QStringList names = {"stale"}, folders = {"stale", "entries"};
    ListTilelibs(names, folders, program, user);
    ASSERT_EQ(names.size(), 4);
    ASSERT_EQ(folders.size(), 4);
    // Within a root the order is the file system's; the program root comes first.
    const QStringList programFolders = {program + "/sample", program + "/second"};
    const QStringList userFolders = {user + "/mine", user + "/other"};
    EXPECT_TRUE(programFolders.contains(folders[0]) && programFolders.contains(folders[1]));
    EXPECT_TRUE(userFolders.contains(folders[2]) && userFolders.contains(folders[3]));
    for (int j = 0; j < 4; ++j)
        EXPECT_EQ(names[j], ReadTilelibCfg(folders[j] + "/imagelib.dat").name.get()) << j;
    EXPECT_EQ(names.count("Same"), 2);
}

TEST(ListTilelibs, EmptyMissingAndRepeatedRootsAddNothing)
{
    QTemporaryDir dir;
    const QString root = dir.filePath("Tilelibs");
    makeLibraryFolder(root + "/one", "One");
    struct Case {
        const char* name;
        QString program, user;
        int expected;
    };
    const Case cases[] = {
        {"empty roots (not the working folder)", "", "", 0},
        {"missing roots", dir.filePath("none"), dir.filePath("none either"), 0},
        {"the same root twice", root, root + "/", 1},
        {"user root only", "", root, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList names, folders;
        ListTilelibs(names, folders, c.program, c.user);
        EXPECT_EQ(names.size(), c.expected);
        EXPECT_EQ(folders.size(), c.expected);
    }
}
