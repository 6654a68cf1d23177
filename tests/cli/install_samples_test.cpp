// First start without windows: the sample content installed from inside the program.

#include "tests/cli/cli_process.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(InstallSamples, AFreshHomeGetsTheManualThePatternsAndTheSampleLibrary)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const CliRun r = RunCli(home.path(), {"install-samples"}, home.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString root = home.filePath("Documents/Quillary");
    EXPECT_TRUE(r.out.contains("data folder: " + root)) << r.out.toStdString();

    const QString pdf = root + "/QLYhelp.pdf";
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5).startsWith("%PDF-"));
    f.close();
    if (!QStandardPaths::findExecutable("pdftoppm").isEmpty()) {
        QProcess render;
        render.start("pdftoppm", {"-r", "20", "-png", "-f", "1", "-l", "1", pdf, home.filePath("page")});
        ASSERT_TRUE(render.waitForFinished(60000));
        EXPECT_EQ(render.exitCode(), 0);
        EXPECT_FALSE(QDir(home.path()).entryList({"page*.png"}).isEmpty());
    }

    EXPECT_TRUE(QFileInfo(root + "/Patterns.zip").isFile());
    EXPECT_EQ(QDir(root + "/Patterns").entryList({"*.pat"}, QDir::Files).size(), 16);
    EXPECT_EQ(QDir(root + "/Patterns").entryList({"*.pat.jpg"}, QDir::Files).size(), 16);
    EXPECT_TRUE(QFileInfo(root + "/Tilelibs/DefaultSample.zip").isFile());
    for (const char* part : {"imagelib.dat", "preview.jpg", "source", "ready"})
        EXPECT_TRUE(QFileInfo::exists(root + "/Tilelibs/DefaultSample/" + part)) << part;

    const CliRun info = RunCli(home.path(), {"library", "info", root + "/Tilelibs/DefaultSample"}, home.path());
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    EXPECT_TRUE(info.out.contains("8.50x8.50 mm")) << info.out.toStdString();
    EXPECT_TRUE(info.out.contains("Count: 240")) << info.out.toStdString();
    const int readyCount = QDir(root + "/Tilelibs/DefaultSample/ready").entryList(QDir::Files).size();
    EXPECT_EQ(readyCount, 240);

    const CliRun list = RunCli(home.path(), {"patterns", "list"}, home.path());
    EXPECT_EQ(list.out.count(".pat\t"), 16) << list.out.toStdString();

    // A second start extracts nothing: an edited tile stays as it is.
    const QString tile = root + "/Tilelibs/DefaultSample/ready/" +
                         QDir(root + "/Tilelibs/DefaultSample/ready").entryList(QDir::Files).first();
    QFile t(tile);
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write("edited");
    t.close();
    ASSERT_EQ(RunCli(home.path(), {"install-samples"}, home.path()).exitCode, 0);
    QFile again(tile);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), QByteArray("edited"));
}

TEST(InstallSamples, TheEmbeddedSamplePhotosMakeAMosaic)
{
    QTemporaryDir home;
    ASSERT_EQ(RunCli(home.path(), {"install-samples"}, home.path()).exitCode, 0);
    const QString root = home.filePath("Documents/Quillary");
    const CliRun r = RunCli(home.path(),
                            {"mosaic", "create", "--photo", "embedded:2", "--library", root + "/Tilelibs/DefaultSample",
                             "--pattern", "20_Ellipse", "--cols", "16", "--rows", "12", "--tile-width", "10",
                             "--tile-height", "10", "--out", home.filePath("p"), "--picture", home.filePath("m.png")},
                            home.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo(home.filePath("p/Mosaic.Prj")).isFile());
    EXPECT_TRUE(QFileInfo(home.filePath("m.png")).isFile());
    const CliRun bad = RunCli(home.path(), {"mosaic", "create", "--photo", "embedded:9", "--library",
                                            root + "/Tilelibs/DefaultSample", "--out", home.filePath("q")},
                              home.path());
    EXPECT_EQ(bad.exitCode, 1);
}
