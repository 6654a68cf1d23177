// The library sub-commands of quillary-cli, run as a user runs them.

#include "imaging/color_convert.h"
#include "imaging/color_measure.h"
#include "tests/support/tilelib_fixtures.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct CliRun {
    int exitCode;
    QString out;
    QString err;
};

// `runtimeDir` keeps Qt from warning about a missing XDG_RUNTIME_DIR on stderr, which
// must hold only the command's own line.
CliRun runCliIn(const QString& runtimeDir, const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QUILLARY_CLI_PATH), args);
    if (!p.waitForFinished(120000)) return {-1, {}, QStringLiteral("did not finish")};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()), QString::fromLocal8Bit(p.readAllStandardError())};
}

QString expectedDiff(const QImage& picture, const TRectF& r, TAlphaColor tile)
{
    TimgColorInfo a{}, b{};
    GetImgColorInfo8(a, picture, r);
    const QImage t = SolidPicture(24, 16, tile);
    GetImgColorInfo8(b, t, TRectF{0, 0, 24, 16});
    const ColorMatchSettings s{kDefaultMatchWeight, kDefaultMatchWeight, false};
    return QString::number(static_cast<long long>(std::trunc(ImgColorDiff(a, b, s))));
}

class LibraryCommands : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        library = dir.filePath("lib");
        ASSERT_TRUE(MakeFixtureTilelib(library,
                                       {{"red.png", 0xFFFF0000, {}},
                                        {"dark red.png", 0xFFB00000, {}},
                                        {"blue.png", 0xFF0000FF, {}},
                                        {"red again.png", 0xFFFF0000, {}},
                                        {"grey.png", 0xFF808080, {}}},
                                       {.name = "Reds", .Widthf = 8.5f, .Heightf = 6.25f}));
    }
    CliRun runCli(const QStringList& args) const { return runCliIn(dir.path(), args); }

    QTemporaryDir dir;
    QString library;
};

} // namespace

TEST_F(LibraryCommands, InfoPrintsTheSettingsAndCount)
{
    const CliRun r = runCli({"library", "info", library});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "name: Reds\n"
                     "brand: N/A\n"
                     "tile pixels: 24x16\n"
                     "printed size: 8.50x6.25 mm\n"
                     "DPI: 200\n"
                     "Count: 5\n");
}

TEST_F(LibraryCommands, InfoOfAFolderWithoutCatalogueIsARuntimeError)
{
    const CliRun r = runCli({"library", "info", dir.filePath("none")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(dir.filePath("none/imagelib.dat"))) << r.err.toStdString();
    EXPECT_EQ(r.err.count('\n'), 1);
    EXPECT_EQ(runCli({"library", "info"}).exitCode, 2);
}

TEST_F(LibraryCommands, MatchRanksTilesByTruncatedDifferenceLowerIndexFirst)
{
    const QImage picture = SolidPicture(40, 30, 0xFFF00000);
    const QString path = dir.filePath("photo.png");
    ASSERT_TRUE(picture.save(path));
    const CliRun r = runCli({"match", path, library, "--top", "4"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const TRectF whole{0, 0, 40, 30};
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5) << r.out.toStdString();
    EXPECT_EQ(lines[0], "rank\tindex\tfile\tdifference");
    EXPECT_EQ(lines[1], "1\t0\tred.png\t" + expectedDiff(picture, whole, 0xFFFF0000));
    EXPECT_EQ(lines[2], "2\t3\tred again.png\t" + expectedDiff(picture, whole, 0xFFFF0000));
    EXPECT_EQ(lines[3], "3\t1\tdark red.png\t" + expectedDiff(picture, whole, 0xFFB00000));
    EXPECT_EQ(lines[4], "4\t4\tgrey.png\t" + expectedDiff(picture, whole, 0xFF808080));
}

TEST_F(LibraryCommands, MatchMeasuresOnlyTheGivenRectangle)
{
    QImage picture = SolidPicture(40, 20, 0xFFFF0000);
    for (int y = 0; y < 20; ++y)
        for (int x = 20; x < 40; ++x)
            picture.setPixel(x, y, 0xFF0000FF);
    const QString path = dir.filePath("halves.png");
    ASSERT_TRUE(picture.save(path));
    const CliRun r = runCli({"match", path, library, "--rect", "20,0,40,20", "--top", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "rank\tindex\tfile\tdifference\n1\t2\tblue.png\t0\n");
}

TEST_F(LibraryCommands, MatchReportsBadInput)
{
    const QString photo = dir.filePath("photo.png");
    ASSERT_TRUE(SolidPicture(8, 8, 0xFF00FF00).save(photo));
    // A BMP header claiming 15000 x 15000 pixels, with no pixels after it.
    const QString huge = dir.filePath("huge.bmp");
    {
        QByteArray bmp("BM");
        for (quint32 v : {0u, 0u, 54u, 40u, 15000u, 15000u, 0x00180001u, 0u, 0u, 0u, 0u, 0u, 0u})
            for (int k = 0; k < 4; ++k)
                bmp.append(char((v >> (8 * k)) & 0xFF));
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bmp);
    }
    struct Case {
        const char* name;
        QStringList args;
        int exitCode;
        QString mentions;
    };
    const Case cases[] = {
        {"missing picture", {"match", dir.filePath("nope.jpg"), library}, 1, dir.filePath("nope.jpg")},
        {"picture above the pixel limit", {"match", huge, library}, 1, "at most 200 megapixels"},
        {"missing library", {"match", photo, dir.filePath("nolib")}, 1, dir.filePath("nolib/imagelib.dat")},
        {"empty rectangle", {"match", photo, library, "--rect", "5,0,5,8"}, 2, "--rect"},
        {"malformed rectangle", {"match", photo, library, "--rect", "1,2,3"}, 2, "--rect"},
        {"no tiles asked for", {"match", photo, library, "--top", "0"}, 2, "--top"},
        {"library missing", {"match", photo}, 2, "library folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = runCli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_TRUE(r.err.contains(c.mentions)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}
