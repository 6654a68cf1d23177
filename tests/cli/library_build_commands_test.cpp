// Building a library with quillary-cli: create, add, list and preview, run as a user runs
// them.

#include "imaging/picture_io.h"
#include "tests/support/tilelib_fixtures.h"
#include "tilelib/tilelib.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliResult {
    int exitCode;
    QString out;
    QString err;
};

class LibraryBuildCommands : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    CliResult cli(const QStringList& args, const QString& workingFolder = QString()) const
    {
        QProcess p;
        if (!workingFolder.isEmpty()) p.setWorkingDirectory(workingFolder);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), dir.filePath("home"));
        env.insert(QStringLiteral("XDG_DOCUMENTS_DIR"), dir.filePath("home/Documents"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(QUILLARY_CLI_PATH), args);
        if (!p.waitForFinished(300000)) return {-1, {}, QStringLiteral("did not finish")};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromLocal8Bit(p.readAllStandardOutput()), QString::fromLocal8Bit(p.readAllStandardError())};
    }

    // A photo of two halves in colours that depend on `i`.
    QString photo(const QString& relative, int i, int w = 160, int h = 120)
    {
        const QString path = dir.filePath("photos/" + relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(qRgb(i * 20 % 256, 255 - i * 30 % 256, i * 50 % 256));
        for (int y = 0; y < h; ++y)
            for (int x = w / 2; x < w; ++x)
                img.setPixel(x, y, qRgb(255 - i * 20 % 256, i * 30 % 256, 128));
        EXPECT_TRUE(SavePicture(img, path).ok()) << path.toStdString();
        return path;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(LibraryBuildCommands, CreateAddAndInfoGiveAWorkingLibrary)
{
    const QString lib = dir.filePath("libs/flowers");
    CliResult r =
        cli({"library", "create", lib, "--name", "Flowers", "--width", "48", "--height", "36", "--ppi", "120"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo(lib + "/preview.jpg").isFile());
    EXPECT_EQ(QImage(lib + "/preview.jpg").size(), QSize(512, 512));

    photo("a.jpg", 1);
    photo("B.PNG", 2, 90, 200);
    photo("c.bmp", 3);
    photo("d.tiff", 4);
    photo("e.jpeg", 5, 400, 300);
    photo("sub/f.png", 6); // only with --recursive
    QFile notes(dir.filePath("photos/notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not a photo");
    notes.close();

    r = cli({"library", "add", lib, dir.filePath("photos")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("added 5, skipped 0 (already in the library), failed 0; 5 tiles"))
        << r.out.toStdString();

    // Again, recursively: the five are skipped, the one in the sub-folder is new.
    r = cli({"library", "add", lib, dir.filePath("photos"), "--recursive", "--threads", "2"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("added 1, skipped 5")) << r.out.toStdString();

    r = cli({"library", "info", lib});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("name: Flowers\n"));
    EXPECT_TRUE(r.out.contains("tile pixels: 48x36\n"));
    EXPECT_TRUE(r.out.contains("printed size: 0.40x0.30 inch\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Count: 6\n"));

    EXPECT_EQ(QFileInfo(lib + "/imagelib.dat").size(), 66710093);
    auto loaded = std::make_unique<TTilelib>();
    ASSERT_TRUE(loaded->LoadTilelib(lib + "/imagelib.dat").ok());
    ASSERT_EQ(loaded->Count, 6);
    // Sorted by name within the folder (code-point order puts "B.PNG" first).
    const QStringList expected = {"B.PNG", "a.jpg", "c.bmp", "d.tiff", "e.jpeg", "f.png"};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(loaded->items[i].FileName.get(), expected[i]);
        const Result<QImage> tile = LoadPicture(loaded->GetFullName(i));
        ASSERT_TRUE(tile.ok()) << tile.error().toStdString();
        EXPECT_EQ(tile->size(), QSize(48, 36));
        EXPECT_TRUE(QFileInfo(loaded->GetsourceName(i)).isFile());
    }
    const QImage preview(lib + "/preview.jpg");
    ASSERT_EQ(preview.size(), QSize(1000, 1000));
    // The seventh cell is empty, the first shows a tile.
    EXPECT_EQ(preview.pixel(650, 50) | 0x03030303, 0xFFFFFFFFu);
    EXPECT_NE(preview.pixel(30, 50) | 0x03030303, 0xFFFFFFFFu);
}

TEST_F(LibraryBuildCommands, CreateRefusesAFolderThatIsNotEmpty)
{
    const QString lib = dir.filePath("busy");
    QDir().mkpath(lib);
    QFile one(lib + "/one file.txt");
    ASSERT_TRUE(one.open(QIODevice::WriteOnly));
    one.close();
    CliResult r = cli({"library", "create", lib, "--name", "X"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("The folder is not empty, Please select an empty folder")) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo(lib + "/imagelib.dat").exists());

    struct Case {
        const char* name;
        QStringList args;
        const char* mentions;
    };
    const Case cases[] = {
        {"no name", {"library", "create", dir.filePath("n1")}, "NAME"},
        {"too wide", {"library", "create", dir.filePath("n2"), "--name", "X", "--width", "900"}, "--width"},
        {"no ppi", {"library", "create", dir.filePath("n3"), "--name", "X", "--ppi", "0"}, "--ppi"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        r = cli(c.args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(c.mentions)) << r.err.toStdString();
        EXPECT_FALSE(QFileInfo(c.args[2]).exists());
    }
}

TEST_F(LibraryBuildCommands, AddReportsFailedPhotosAndSavesTheRest)
{
    const QString lib = dir.filePath("lib");
    ASSERT_EQ(cli({"library", "create", lib, "--name", "L", "--width", "32", "--height", "32"}).exitCode, 0);
    const QString good = photo("good.png", 1);
    const QString broken = dir.filePath("photos/broken.jpg");
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xFF\xD8\xFF not really");
    f.close();
    const QString missing = dir.filePath("photos/missing.png");

    CliResult r = cli({"library", "add", lib, good, broken, missing});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("added 1, skipped 0 (already in the library), failed 2")) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(broken)) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(missing + ": cannot read picture (file not found)")) << r.err.toStdString();
    EXPECT_EQ(ReadTilelibCount(lib + "/imagelib.dat"), 1);
    EXPECT_FALSE(QFileInfo(lib + "/source/broken.jpg").exists());

    // Nothing could be added: a failure.
    r = cli({"library", "add", lib, broken});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(ReadTilelibCount(lib + "/imagelib.dat"), 1);

    // Folders given relative to the working folder.
    photo("more/next.png", 7);
    r = cli({"library", "add", "lib", "photos/more"}, dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("added 1,")) << r.out.toStdString();
    EXPECT_EQ(ReadTilelibCount(lib + "/imagelib.dat"), 2);

    r = cli({"library", "add", dir.filePath("no library"), good});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("imagelib.dat")) << r.err.toStdString();
}

TEST_F(LibraryBuildCommands, ListShowsBothRootsAndPreviewRebuildsTheSheet)
{
    const QString program = dir.filePath("program/Data/Tilelibs");
    const QString user = dir.filePath("home/Documents/Quillary/Tilelibs");
    ASSERT_EQ(cli({"library", "create", program + "/sample", "--name", "Sample"}).exitCode, 0);
    ASSERT_EQ(cli({"library", "create", user + "/mine", "--name", "Sample"}).exitCode, 0);
    QDir().mkpath(user + "/empty folder");

    CliResult r = cli({"library", "list", "--program-root", program, "--user-root", user});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "name\tfolder\nSample\t" + program + "/sample\nSample\t" + user + "/mine\n");

    // By default the user root is the one under the documents folder.
    r = cli({"library", "list"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("\nSample\t" + QDir(user).absolutePath() + "/mine\n")) << r.out.toStdString();

    // A catalogue whose preview was lost gets it back.
    ASSERT_TRUE(QFile::remove(user + "/mine/preview.jpg"));
    r = cli({"library", "preview", user + "/mine"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(user + "/mine/preview.jpg").size(), QSize(1000, 1000));
    EXPECT_EQ(cli({"library", "preview", dir.filePath("nothing")}).exitCode, 1);
}
