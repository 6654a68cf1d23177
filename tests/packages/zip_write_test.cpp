#include "packages/zip_write.h"

#include "packages/zip_extract.h"
#include "platform/services.h"
#include "tests/packages/zip_bytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

// Readable failure output for the messages.
static void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {
QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

TEST(WriteZip, WritesBytesFilesAndFoldersThatExtractBack)
{
    QTemporaryDir dir;
    const QString source = dir.filePath("source.jpg");
    {
        QFile f(source);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("jpeg-ish bytes ").repeated(1000));
    }
    const QString zip = dir.filePath("p.zip");
    const Status written =
        WriteZip(zip, {ZipSource::folderEntry("Default/"), ZipSource::fromFile("Default/ready/1.jpg", source),
                       ZipSource::fromBytes("Default/imagelib.dat", "catalogue", /*stored=*/true),
                       ZipSource::folderEntry("Default/empty")});
    ASSERT_TRUE(written.ok()) << written.error().toStdString();

    const QByteArray bytes = readFile(zip);
    EXPECT_EQ(zipbytes::locate(bytes, "Default/ready/1.jpg").method, 8u);
    EXPECT_EQ(zipbytes::locate(bytes, "Default/imagelib.dat").method, 0u);
    EXPECT_NO_THROW(zipbytes::locate(bytes, "Default/empty/"));

    ASSERT_TRUE(ExtractPackage(zip, dir.filePath("out"), nullptr, Platform{}).ok());
    EXPECT_EQ(readFile(dir.filePath("out/Default/ready/1.jpg")), readFile(source));
    EXPECT_EQ(readFile(dir.filePath("out/Default/imagelib.dat")), QByteArray("catalogue"));
    EXPECT_TRUE(QFileInfo(dir.filePath("out/Default/empty")).isDir());
}

TEST(WriteZip, NonAsciiNamesSurviveTheRoundTrip)
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("p.zip");
    const QString name = QString::fromUtf8("Fotos/Gr\xc3\xbc\xc3\x9f"
                                           "e \xe2\x82\xac.jpg");
    ASSERT_TRUE(WriteZip(zip, {ZipSource::fromBytes(name, "x")}).ok());
    ASSERT_TRUE(ExtractPackage(zip, dir.filePath("out"), nullptr, Platform{}).ok());
    EXPECT_EQ(readFile(dir.filePath("out/") + name), QByteArray("x"));
}

TEST(WriteZip, AnEmptyListGivesAnArchiveWithNoEntries)
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("empty.zip");
    ASSERT_TRUE(WriteZip(zip, {}).ok());
    EXPECT_EQ(QFileInfo(zip).size(), 22);
    EXPECT_TRUE(ExtractPackage(zip, dir.filePath("out"), nullptr, Platform{}).ok());
}

TEST(WriteZip, RefusesBadEntriesAndKeepsAnExistingArchive)
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("p.zip");
    ASSERT_TRUE(WriteZip(zip, {ZipSource::fromBytes("old.txt", "old")}).ok());
    const QByteArray before = readFile(zip);

    struct Case {
        const char* name;
        QList<ZipSource> entries;
        QString error;
    };
    const Case cases[] = {
        {"empty name", {ZipSource::fromBytes("", "x")}, "p.zip: an entry has an empty name"},
        {"duplicate",
         {ZipSource::fromBytes("a.txt", "1"), ZipSource::fromBytes("a.txt", "2")},
         "p.zip: entry \"a.txt\" appears twice"},
        {"file and folder of one name",
         {ZipSource::folderEntry("a/"), ZipSource::fromBytes("a", "2")},
         "p.zip: entry \"a\" appears twice"},
        {"missing source file",
         {ZipSource::fromFile("a.txt", dir.filePath("nope.txt"))},
         QStringLiteral("p.zip: entry \"a.txt\": source file %1 does not exist").arg(dir.filePath("nope.txt"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Status st = WriteZip(zip, c.entries);
        ASSERT_FALSE(st.ok());
        EXPECT_EQ(st.error(), c.error);
        EXPECT_EQ(readFile(zip), before);
    }
}
