#include "tilelib/tilelib.h"

#include "imaging/color_convert.h"
#include "platform/file_io.h"
#include "tests/support/tilelib_fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

template <typename T> T at(const QByteArray& bytes, qint64 offset)
{
    T v;
    std::memcpy(&v, bytes.constData() + offset, sizeof v);
    return v;
}

std::unique_ptr<TTilelibData> snapshot(const TTilelib& lib)
{
    auto copy = std::make_unique<TTilelibData>();
    std::memcpy(copy.get(), static_cast<const TTilelibData*>(&lib), sizeof(TTilelibData));
    return copy;
}

bool sameData(const TTilelib& lib, const TTilelibData& data)
{
    return std::memcmp(static_cast<const TTilelibData*>(&lib), &data, kTilelibFileSize) == 0;
}

std::vector<FixtureTile> threeTiles()
{
    return {{"red.png", 0xFFFF0000, {}}, {"green.png", 0xFF00FF00, {}}, {"blue tile.png", 0xFF0000FF, {}}};
}

bool failEveryWrite(const QString&)
{
    return false;
}

} // namespace

TEST(SaveTilelib, AnEmptyLibraryIsStillTheFullSize)
{
    QTemporaryDir dir;
    auto lib = std::make_unique<TTilelib>();
    lib->emptytilelib();
    lib->setRootpath(dir.path());
    ASSERT_TRUE(lib->SaveTilelib().ok());
    EXPECT_EQ(QFileInfo(dir.filePath("imagelib.dat")).size(), 66710093);
}

TEST(SaveTilelib, WritesTheRecordsAtTheirFileOffsets)
{
    QTemporaryDir dir;
    auto lib = MakeFixtureTilelib(dir.path(), threeTiles(), {.save = false});
    ASSERT_TRUE(lib);
    lib->items[0].Usecount = 7;
    lib->items[2].Usecount = 0x01020304;
    lib->ItemEnable[1] = 0;
    // Insignificant bytes in memory must not reach the file.
    lib->items[1].NewFlag = 1;
    lib->items[1].DelFlag = 1;
    lib->items[1].gap258[0] = 0x55;
    lib->items[0].ColorInfo.ci4[2].hsl.s = 3.5f;
    lib->cfg.name.chars[200] = 'x';
    ASSERT_TRUE(lib->SaveTilelib().ok());

    const QByteArray f = readAll(dir.filePath("imagelib.dat"));
    ASSERT_EQ(f.size(), 66710093);
    EXPECT_EQ(at<std::int32_t>(f, 796), 3);
    EXPECT_EQ(at<std::int32_t>(f, 784), 24); // widthPx
    EXPECT_EQ(at<std::int32_t>(f, 788), 16); // heightPx
    EXPECT_EQ(at<std::int32_t>(f, 776), 2);  // SizeUnit mm
    EXPECT_EQ(at<float>(f, 768), 8.5f);      // Widthf
    EXPECT_EQ(at<float>(f, 780), 200.0f);    // DPI
    EXPECT_EQ(f.mid(512, 8), QByteArray("\x07"
                                        "Fixture"));
    EXPECT_EQ(f.mid(256, 4), QByteArray("\x03N/A"));
    EXPECT_EQ(f.at(512 + 1 + 200), '\0');

    const qint64 item1 = 800 + 32556;
    EXPECT_EQ(f.mid(800, 8), QByteArray("\x07red.png"));
    EXPECT_EQ(f.mid(item1, 10), QByteArray("\x09green.png"));
    EXPECT_EQ(f.mid(800 + 2 * 32556, 14), QByteArray("\x0d"
                                                     "blue tile.png"));
    EXPECT_EQ(at<std::int32_t>(f, 800 + 260), 7);
    EXPECT_EQ(at<std::int32_t>(f, 800 + 2 * 32556 + 260), 0x01020304);
    EXPECT_EQ(f.mid(item1 + 256, 4), QByteArray(4, '\0'));

    // ColorInfo at 264: ci1.rgb at +28 (bytes B, G, R, A), the first RotColorInfo at 2748.
    EXPECT_EQ(at<TAlphaColor>(f, 800 + 264 + 28), 0xFFFF0000u);
    EXPECT_EQ(at<TAlphaColor>(f, item1 + 264 + 28), 0xFF00FF00u);
    EXPECT_EQ(at<TAlphaColor>(f, item1 + 2748 + 11 * 2484 + 28), 0xFF00FF00u);
    EXPECT_EQ(at<float>(f, 800 + 264), 53.0f); // red's L
    EXPECT_EQ(at<float>(f, 800 + 264 + 36 + 2 * 36 + 16 + 4), 0.0f);

    EXPECT_EQ(f.at(66708044), 1);
    EXPECT_EQ(f.at(66708045), 0);
    EXPECT_EQ(f.at(66708046), 1);
    EXPECT_EQ(f.at(66708047), 0);
}

TEST(SaveTilelib, RefusesALibraryWithoutAFolder)
{
    auto lib = std::make_unique<TTilelib>();
    lib->emptytilelib();
    const Status st = lib->SaveTilelib();
    ASSERT_FALSE(st.ok());
    EXPECT_TRUE(st.error().contains("imagelib.dat")) << st.error().toStdString();
}

TEST(SaveTilelib, AFailedWriteKeepsThePreviousCatalogue)
{
    QTemporaryDir dir;
    auto lib = MakeFixtureTilelib(dir.path(), threeTiles());
    ASSERT_TRUE(lib);
    const QByteArray before = readAll(dir.filePath("imagelib.dat"));
    lib->Count = 1;
    setWriteFaultHook(&failEveryWrite);
    const Status st = lib->SaveTilelib();
    setWriteFaultHook(nullptr);
    ASSERT_FALSE(st.ok());
    EXPECT_TRUE(st.error().contains("imagelib.dat"));
    EXPECT_EQ(readAll(dir.filePath("imagelib.dat")), before);
}

TEST(LoadTilelib, ReadsBackWhatWasSaved)
{
    QTemporaryDir dir;
    auto saved = MakeFixtureTilelib(dir.path(), threeTiles());
    ASSERT_TRUE(saved);
    auto loaded = std::make_unique<TTilelib>();
    ASSERT_TRUE(loaded->LoadTilelib(dir.filePath("imagelib.dat")).ok());
    EXPECT_EQ(loaded->Count, 3);
    EXPECT_EQ(loaded->cfg.name.get(), "Fixture");
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(std::memcmp(&loaded->items[i], &saved->items[i], sizeof(TTileItem)), 0);
        EXPECT_EQ(loaded->ItemEnable[i], 1);
        EXPECT_TRUE(QFileInfo::exists(loaded->GetFullName(i)));
        EXPECT_TRUE(QFileInfo::exists(loaded->GetsourceName(i)));
    }
    EXPECT_EQ(loaded->cfg.Rootpath.get(), QDir(dir.path()).absolutePath() + "/");
}

TEST(LoadTilelib, TakesTheFolderFromWhereTheCatalogueIsNow)
{
    QTemporaryDir root;
    const QString first = root.filePath("first");
    const QString moved = root.filePath("moved");
    ASSERT_TRUE(MakeFixtureTilelib(first, threeTiles()));
    ASSERT_TRUE(QDir().rename(first, moved));

    auto lib = std::make_unique<TTilelib>();
    ASSERT_TRUE(lib->LoadTilelib(moved + "/imagelib.dat").ok());
    EXPECT_EQ(lib->cfg.Rootpath.get(), moved + "/");
    EXPECT_EQ(lib->GetFullName(2), moved + "/ready/blue tile.png");
    EXPECT_EQ(lib->GetsourceName(0), moved + "/source/red.png");
    EXPECT_TRUE(QFileInfo::exists(lib->GetFullName(1)));
}

TEST(LoadTilelib, AcceptsAnOlder1025RecordCatalogue)
{
    // Built here byte by byte: settings, Count 131, 1025 item records, 1025 enable bytes.
    QTemporaryDir dir;
    QByteArray f(33371725, '\0');
    TtileLibCfg cfg = DefaultTilelibCfg();
    cfg.Rootpath.set("C:\\Somewhere\\Else\\");
    cfg.name.set("Sample");
    cfg.Widthf = cfg.Heightf = 8.5f;
    cfg.SizeUnit = kTileUnitMm;
    cfg.DPI = 200;
    cfg.widthPx = cfg.heightPx = 66;
    std::memcpy(f.data(), &cfg, sizeof cfg);
    const std::int32_t count = 131;
    std::memcpy(f.data() + 796, &count, 4);
    for (int i = 0; i < 1025; ++i) {
        TTileItem item;
        std::memset(&item, 0, sizeof item);
        item.FileName.set(QStringLiteral("t%1.jpg").arg(i));
        item.Usecount = i;
        CompleteColorInfo(item.ColorInfo.ci1, i % 256, 0, 0);
        std::memcpy(f.data() + 800 + qint64(i) * 32556, &item, sizeof item);
    }
    for (int i = 0; i < 1025; ++i)
        f[800 + 1025 * 32556 + i] = char(i % 2 ? 1 : 2);
    const QString path = dir.filePath("imagelib.dat");
    ASSERT_TRUE(writeFileAtomically(path, f).ok());

    auto lib = std::make_unique<TTilelib>();
    std::memset(lib->ItemEnable, 7, sizeof lib->ItemEnable);
    lib->items[1026].FileName.set("kept.png");
    lib->items[2048].Usecount = 99;
    ASSERT_TRUE(lib->LoadTilelib(path).ok());

    EXPECT_EQ(lib->Count, 131);
    EXPECT_EQ(lib->cfg.widthPx, 66);
    EXPECT_EQ(lib->cfg.heightPx, 66);
    EXPECT_EQ(lib->cfg.SizeUnit, 2);
    EXPECT_EQ(lib->cfg.DPI, 200.0f);
    EXPECT_EQ(lib->cfg.name.get(), "Sample");
    EXPECT_EQ(lib->items[0].FileName.get(), "t0.jpg");
    EXPECT_EQ(lib->items[1024].FileName.get(), "t1024.jpg");
    EXPECT_EQ(lib->items[1024].Usecount, 1024);
    EXPECT_EQ(lib->items[300].ColorInfo.ci1.rgba.r, 300 % 256);
    // The file's enable bytes land at the start of record 1025; ItemEnable is untouched.
    const auto* rec1025 = reinterpret_cast<const unsigned char*>(&lib->items[1025]);
    EXPECT_EQ(rec1025[0], 2);
    EXPECT_EQ(rec1025[1], 1);
    EXPECT_EQ(rec1025[1024], 2);
    for (int i = 0; i < kTileCapacity; ++i)
        ASSERT_EQ(lib->ItemEnable[i], 7) << i;
    EXPECT_EQ(lib->items[1026].FileName.get(), "kept.png");
    EXPECT_EQ(lib->items[2048].Usecount, 99);
    // The stored folder is not relied on.
    EXPECT_EQ(lib->cfg.Rootpath.get(), QDir(dir.path()).absolutePath() + "/");
}

TEST(LoadTilelib, ReadsALongerFileUpToTheCurrentSize)
{
    QTemporaryDir dir;
    ASSERT_TRUE(MakeFixtureTilelib(dir.path(), threeTiles()));
    const QString path = dir.filePath("imagelib.dat");
    QByteArray f = readAll(path);
    f.append(QByteArray(100, '\x5A'));
    ASSERT_TRUE(writeFileAtomically(path, f).ok());
    auto lib = std::make_unique<TTilelib>();
    ASSERT_TRUE(lib->LoadTilelib(path).ok());
    EXPECT_EQ(lib->Count, 3);
    EXPECT_EQ(lib->ItemEnable[2], 1);
}

TEST(LoadTilelib, RefusesBrokenCataloguesAndLeavesTheLibraryAsItWas)
{
    QTemporaryDir dir;
    ASSERT_TRUE(MakeFixtureTilelib(dir.filePath("good"), threeTiles()));
    const QByteArray good = readAll(dir.filePath("good/imagelib.dat"));

    auto withCount = [&](std::int32_t count) {
        QByteArray f = good;
        std::memcpy(f.data() + 796, &count, 4);
        return f;
    };
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* mentions;
    };
    const Case cases[] = {
        {"negative Count", withCount(-1), "Count is -1"},
        {"Count far too large", withCount(5000), "Count is 5000"},
        {"Count of the capacity", withCount(2049), "Count is 2049"},
        {"empty file", QByteArray(), "0 bytes"},
        {"cut inside the settings", good.left(700), "700 bytes"},
        {"cut before its items end", good.left(800 + 2 * 32556 + 10), "too short for its 3 tiles"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("bad/%1/imagelib.dat").arg(c.name));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        ASSERT_TRUE(writeFileAtomically(path, c.bytes).ok());

        auto lib = std::make_unique<TTilelib>();
        ASSERT_TRUE(lib->LoadTilelib(dir.filePath("good/imagelib.dat")).ok());
        lib->items[0].Usecount = 42;
        const auto before = snapshot(*lib);
        const Status st = lib->LoadTilelib(path);
        ASSERT_FALSE(st.ok());
        EXPECT_TRUE(st.error().contains(path)) << st.error().toStdString();
        EXPECT_TRUE(st.error().contains(c.mentions)) << st.error().toStdString();
        EXPECT_TRUE(sameData(*lib, *before));
        EXPECT_EQ(lib->rootPath(), QDir(dir.filePath("good")).absolutePath() + "/");
    }

    auto lib = std::make_unique<TTilelib>();
    const Status missing = lib->LoadTilelib(dir.filePath("nowhere/imagelib.dat"));
    ASSERT_FALSE(missing.ok());
    EXPECT_TRUE(missing.error().contains("nowhere/imagelib.dat"));
}

TEST(LoadTilelib, AcceptsAFullCount)
{
    QTemporaryDir dir;
    auto lib = std::make_unique<TTilelib>();
    lib->emptytilelib();
    lib->setRootpath(dir.path());
    lib->Count = 2048;
    lib->items[2047].FileName.set("last.png");
    ASSERT_TRUE(lib->SaveTilelib().ok());
    auto loaded = std::make_unique<TTilelib>();
    ASSERT_TRUE(loaded->LoadTilelib(dir.filePath("imagelib.dat")).ok());
    EXPECT_EQ(loaded->Count, 2048);
    EXPECT_EQ(loaded->items[2047].FileName.get(), "last.png");
}

TEST(LoadTilelib, AFolderTheStoredTextCannotHoldStillGivesWorkingPaths)
{
    QTemporaryDir dir;
    struct Case {
        const char* name;
        QString folder;
    };
    const Case cases[] = {
        {"characters outside the code page", dir.filePath(QStringLiteral("Библиотека"))},
        {"longer than 255 characters", dir.filePath(QString(120, 'a') + "/" + QString(120, 'b') + "/lib")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(MakeFixtureTilelib(c.folder, threeTiles()));
        auto lib = std::make_unique<TTilelib>();
        ASSERT_TRUE(lib->LoadTilelib(c.folder + "/imagelib.dat").ok());
        EXPECT_NE(lib->cfg.Rootpath.get(), c.folder + "/");
        EXPECT_LE(lib->cfg.Rootpath.length(), 255);
        EXPECT_EQ(lib->rootPath(), c.folder + "/");
        EXPECT_TRUE(QFileInfo::exists(lib->GetFullName(0))) << lib->GetFullName(0).toStdString();
        // Writing another folder into the record takes over.
        lib->cfg.Rootpath.set("/elsewhere");
        EXPECT_EQ(lib->GetFullName(0), "/elsewhere/ready/red.png");
    }
}

TEST(GetFullName, JoinsTheFolderWithOrWithoutATrailingSeparator)
{
    auto lib = std::make_unique<TTilelib>();
    lib->Count = 1;
    lib->items[0].FileName.set("a.jpg");
    lib->cfg.Rootpath.set("/data/lib");
    const QString typed = lib->GetFullName(0);
    const QString typedSource = lib->GetsourceName(0);
    lib->cfg.Rootpath.set("/data/lib/");
    EXPECT_EQ(lib->GetFullName(0), typed);
    EXPECT_EQ(lib->GetsourceName(0), typedSource);
    EXPECT_EQ(typed, "/data/lib/ready/a.jpg");
    EXPECT_EQ(typedSource, "/data/lib/source/a.jpg");
}

TEST(Emptytilelib, KeepsColourDataButClearsNamesCountAndSettings)
{
    QTemporaryDir dir;
    auto lib = std::make_unique<TTilelib>();
    ASSERT_TRUE(MakeFixtureTilelib(dir.path(), threeTiles()));
    ASSERT_TRUE(lib->LoadTilelib(dir.filePath("imagelib.dat")).ok());
    lib->items[2000].FileName.set("stale.png");
    lib->emptytilelib();
    EXPECT_EQ(lib->Count, 0);
    for (int i = 0; i < kTileCapacity; ++i)
        ASSERT_TRUE(lib->items[i].FileName.empty()) << i;
    EXPECT_EQ(lib->items[1].ColorInfo.ci1.rgb, 0xFF00FF00u);
    EXPECT_EQ(lib->ItemEnable[2], 1);
    EXPECT_EQ(lib->cfg.widthPx, 400);
    EXPECT_EQ(lib->cfg.heightPx, 300);
    EXPECT_EQ(lib->cfg.shape, 0);
    EXPECT_EQ(lib->cfg.name.get(), "N/A");
    EXPECT_EQ(lib->cfg.brand.get(), "N/A");
    EXPECT_TRUE(lib->rootPath().isEmpty());
}

TEST(ZeroUsecount, ClearsTheCountsOfTheLibrarysItemsOnly)
{
    auto lib = std::make_unique<TTilelib>();
    lib->Count = 3;
    for (int i = 0; i < 5; ++i)
        lib->items[i].Usecount = 10 + i;
    lib->ZeroUsecount();
    EXPECT_EQ(lib->items[0].Usecount, 0);
    EXPECT_EQ(lib->items[2].Usecount, 0);
    EXPECT_EQ(lib->items[3].Usecount, 13);
    EXPECT_EQ(lib->items[4].Usecount, 14);
}

TEST(CatalogueFunctions, NameAndReadPartsOfALibraryFolder)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("lib");
    EXPECT_EQ(GetTilelibFileName(folder), folder + "/imagelib.dat");
    EXPECT_EQ(GetTilelibFileName(folder + "/"), folder + "/imagelib.dat");
    EXPECT_EQ(GetPreviewFileName(folder), folder + "/preview.jpg");

    EXPECT_FALSE(IsTilelibFolder(folder));
    EXPECT_EQ(ReadTilelibCount(GetTilelibFileName(folder)), 0);
    TtileLibCfg missing = ReadTilelibCfg(GetTilelibFileName(folder));
    EXPECT_EQ(missing.name.get(), "N/A");
    EXPECT_EQ(missing.widthPx, 400);

    ASSERT_TRUE(MakeFixtureTilelib(folder, threeTiles(), {.name = "Three", .widthPx = 30, .heightPx = 20}));
    EXPECT_TRUE(IsTilelibFolder(folder));
    EXPECT_EQ(ReadTilelibCount(GetTilelibFileName(folder)), 3);
    const TtileLibCfg cfg = ReadTilelibCfg(GetTilelibFileName(folder));
    EXPECT_EQ(cfg.name.get(), "Three");
    EXPECT_EQ(cfg.widthPx, 30);
    EXPECT_EQ(cfg.heightPx, 20);
    EXPECT_EQ(cfg.DPI, 200.0f);

    // A folder merely named like the catalogue is not a library.
    ASSERT_TRUE(QDir().mkpath(dir.filePath("odd/imagelib.dat")));
    EXPECT_FALSE(IsTilelibFolder(dir.filePath("odd")));

    // A stub shorter than the settings keeps the defaults and counts nothing.
    const QString stub = dir.filePath("stub.dat");
    ASSERT_TRUE(writeFileAtomically(stub, QByteArray(500, '\x01')).ok());
    EXPECT_EQ(ReadTilelibCfg(stub).name.get(), "N/A");
    EXPECT_EQ(ReadTilelibCount(stub), 0);
}

TEST(DefaultTilelibCfg, IsNamedNAAt400By300)
{
    const TtileLibCfg c = DefaultTilelibCfg();
    EXPECT_EQ(c.brand.get(), "N/A");
    EXPECT_EQ(c.name.get(), "N/A");
    EXPECT_EQ(c.widthPx, 400);
    EXPECT_EQ(c.heightPx, 300);
    EXPECT_EQ(c.shape, 0);
    EXPECT_TRUE(c.Rootpath.empty());
}
