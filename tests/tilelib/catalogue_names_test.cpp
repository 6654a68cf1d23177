// Tile file names from a catalogue are joined to library and project folders; names with
// folders in them are refused, and photos are never stored under one.

#include "tilelib/library_building.h"
#include "tilelib/tilelib.h"

#include "platform/file_io.h"
#include "tests/support/tilelib_fixtures.h"

#include <QDir>
#include <QFile>
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

// The catalogue bytes with item `index`'s FileName replaced by raw bytes.
QByteArray withName(QByteArray catalogue, int index, const QByteArray& name)
{
    char* at = catalogue.data() + 800 + qsizetype(index) * qsizetype(sizeof(TTileItem));
    std::memset(at, 0, 256);
    at[0] = char(name.size());
    std::memcpy(at + 1, name.constData(), size_t(name.size()));
    return catalogue;
}

} // namespace

TEST(LoadTilelib, RefusesTileNamesThatReachOutsideTheFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(MakeFixtureTilelib(dir.filePath("good"), {{"a.png", 0xFFFF0000, {}}, {"b.png", 0xFF00FF00, {}}}));
    const QByteArray good = readAll(dir.filePath("good/imagelib.dat"));
    struct Case {
        const char* name;
        int index;
        QByteArray fileName;
        bool refused;
    };
    const Case cases[] = {
        {"parent folder", 1, "../../.bashrc", true},
        {"absolute path", 0, "/etc/passwd", true},
        {"Windows separators", 1, "..\\..\\evil.jpg", true},
        {"the folder's parent itself", 0, "..", true},
        {"the folder itself", 0, ".", true},
        {"a NUL inside", 0, QByteArray("a.png\0/../x", 11), true},
        {"dots inside a name", 1, "my..photo.jpg", false},
        {"spaces and accents", 1, "caf\xE9 au lait.jpg", false},
        {"empty", 1, "", false},
        // Records beyond Count mean nothing and are not looked at.
        {"beyond Count", 2, "../x", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("lib%1/imagelib.dat").arg(&c - cases));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        ASSERT_TRUE(writeFileAtomically(path, withName(good, c.index, c.fileName)).ok());
        auto lib = std::make_unique<TTilelib>();
        const Status st = lib->LoadTilelib(path);
        if (!c.refused) {
            EXPECT_TRUE(st.ok()) << st.error().toStdString();
            continue;
        }
        ASSERT_FALSE(st.ok());
        EXPECT_TRUE(st.error().contains(path)) << st.error().toStdString();
        EXPECT_TRUE(st.error().contains(QStringLiteral("tile %1 has the file name").arg(c.index)))
            << st.error().toStdString();
        EXPECT_EQ(lib->Count, 0); // nothing was taken over
    }
}

TEST(LoadTilelib, FromBytesIsTheFileReader)
{
    QTemporaryDir dir;
    ASSERT_TRUE(MakeFixtureTilelib(dir.path(), {{"a.png", 0xFFFF0000, {}}, {"b.png", 0xFF0000FF, {}}}));
    const QString path = dir.filePath("imagelib.dat");
    auto fromFile = std::make_unique<TTilelib>();
    auto fromBytes = std::make_unique<TTilelib>();
    ASSERT_TRUE(fromFile->LoadTilelib(path).ok());
    ASSERT_TRUE(fromBytes->LoadTilelibFromBytes(readAll(path), path).ok());
    EXPECT_EQ(std::memcmp(static_cast<const TTilelibData*>(fromFile.get()),
                          static_cast<const TTilelibData*>(fromBytes.get()), kTilelibFileSize),
              0);
    EXPECT_EQ(fromBytes->rootPath(), fromFile->rootPath());

    const Status cut = fromBytes->LoadTilelibFromBytes(readAll(path).left(799), path);
    ASSERT_FALSE(cut.ok());
    EXPECT_TRUE(cut.error().contains("799 bytes")) << cut.error().toStdString();
}

TEST(TileFileNameFor, ReplacesFolderSeparatorsThatLinuxAllowsInNames)
{
    EXPECT_EQ(TileFileNameFor(QStringLiteral("2019\\holiday.jpg")), QStringLiteral("2019_holiday.jpg"));
    EXPECT_EQ(TileFileNameFor(QStringLiteral("plain.jpg")), QStringLiteral("plain.jpg"));
}

TEST(AddImgFile2, APhotoWithABackslashInItsNameGivesALibraryThatLoads)
{
    QTemporaryDir dir;
    auto lib = MakeFixtureTilelib(dir.filePath("lib"), {});
    ASSERT_TRUE(lib);
    lib->cfg.widthPx = lib->cfg.heightPx = 8;
    const QString photo = dir.filePath("a\\b.png");
    ASSERT_TRUE(SolidPicture(16, 16, 0xFF336699).save(photo, "PNG"));
    const Result<bool> added = lib->AddImgFile2(photo);
    ASSERT_TRUE(added.ok()) << added.error().toStdString();
    ASSERT_TRUE(*added);
    EXPECT_EQ(lib->items[0].FileName.get(), QStringLiteral("a_b.png"));
    ASSERT_TRUE(lib->SaveTilelib().ok());
    auto reloaded = std::make_unique<TTilelib>();
    const Status st = reloaded->LoadTilelib(GetTilelibFileName(dir.filePath("lib")));
    EXPECT_TRUE(st.ok()) << st.error().toStdString();
    EXPECT_EQ(reloaded->Count, 1);
}
