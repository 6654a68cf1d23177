#include "packages/zip_extract.h"
#include "packages/zip_write.h"
#include "platform/services.h"
#include "tests/packages/zip_bytes.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

// Readable failure output for the messages.
static void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

#include <csignal>
#include <sys/resource.h>

namespace {

class RecordingProgress final : public Progress {
public:
    int maximum = -1;
    QList<int> values;
    QStringList texts;
    int calls = 0;
    void setMaximum(int m) override
    {
        maximum = m;
        ++calls;
    }
    void setValue(int v) override
    {
        values << v;
        ++calls;
    }
    int value() const override { return values.isEmpty() ? 0 : values.last(); }
    void setText(const QString& t) override
    {
        texts << t;
        ++calls;
    }
};

class CountingPump final : public EventPump {
public:
    int count = 0;
    void processEvents() override { ++count; }
};

QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = static_cast<char>(gen.bounded(256));
    return bytes;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Every file and link below `folder`, relative, sorted.
QStringList filesBelow(const QString& folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(folder).relativeFilePath(it.next());
    out.sort();
    return out;
}

QStringList deduplicated(const QStringList& texts)
{
    QStringList out;
    for (const QString& t : texts)
        if (out.isEmpty() || out.last() != t) out << t;
    return out;
}

} // namespace

TEST(ExtractPackage, CountsEachEntryOnceAndEndsWithZeroAndDashes)
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("DefaultSample.zip");
    // a.jpg spans several 64 KiB chunks, so it is reported several times.
    const QByteArray big = randomBytes(200 * 1024, 1);
    ASSERT_TRUE(WriteZip(zip, {ZipSource::folderEntry("tiles/"), ZipSource::fromBytes("tiles/a.jpg", big),
                               ZipSource::fromBytes("tiles/b.jpg", "bbb"), ZipSource::fromBytes("readme.txt", "")})
                    .ok());

    RecordingProgress progress;
    CountingPump pump;
    Platform platform;
    platform.events = &pump;
    const Status st = ExtractPackage(zip, dir.filePath("out"), &progress, platform);
    ASSERT_TRUE(st.ok()) << st.error().toStdString();

    EXPECT_EQ(progress.maximum, 4);
    const QStringList expected = {"1/4   a.jpg", "2/4   b.jpg", "3/4   readme.txt", "-/-"};
    EXPECT_EQ(deduplicated(progress.texts), expected);
    EXPECT_GE(progress.texts.count("1/4   a.jpg"), 4);
    ASSERT_FALSE(progress.values.isEmpty());
    EXPECT_EQ(progress.values.last(), 0);
    EXPECT_EQ(*std::max_element(progress.values.begin(), progress.values.end()), 3);
    // Every report pumps events; the final reset does not need to.
    EXPECT_EQ(pump.count, progress.texts.size() - 1);

    EXPECT_EQ(readFile(dir.filePath("out/tiles/a.jpg")), big);
    EXPECT_EQ(readFile(dir.filePath("out/tiles/b.jpg")), QByteArray("bbb"));
    EXPECT_TRUE(QFileInfo(dir.filePath("out/readme.txt")).isFile());
    EXPECT_EQ(QFileInfo(dir.filePath("out/readme.txt")).size(), 0);
}

TEST(ExtractPackage, AnEmptyFolderEntryIsCreatedButNotCounted)
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("Pattern.zip");
    ASSERT_TRUE(WriteZip(zip, {ZipSource::folderEntry("empty/"), ZipSource::fromBytes("x.pat", "p")}).ok());
    RecordingProgress progress;
    ASSERT_TRUE(ExtractPackage(zip, dir.filePath("out"), &progress, Platform{}).ok());
    EXPECT_TRUE(QFileInfo(dir.filePath("out/empty")).isDir());
    EXPECT_EQ(deduplicated(progress.texts), (QStringList{"1/2   x.pat", "-/-"}));
}

TEST(ExtractPackage, ReplacesExistingFilesAndLeavesOthersAlone)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out");
    writeFile(out + "/a.txt", "old a, longer than the new one");
    writeFile(out + "/sub/b.txt", "old b");
    writeFile(out + "/keep.txt", "mine");
    const QString zip = dir.filePath("p.zip");
    ASSERT_TRUE(
        WriteZip(zip, {ZipSource::fromBytes("a.txt", "new a"), ZipSource::fromBytes("sub/b.txt", "new b")}).ok());

    ASSERT_TRUE(ExtractPackage(zip, out, nullptr, Platform{}).ok());
    EXPECT_EQ(readFile(out + "/a.txt"), QByteArray("new a"));
    EXPECT_EQ(readFile(out + "/sub/b.txt"), QByteArray("new b"));
    EXPECT_EQ(readFile(out + "/keep.txt"), QByteArray("mine"));
    EXPECT_EQ(filesBelow(out), (QStringList{"a.txt", "keep.txt", "sub/b.txt"}));
}

TEST(ExtractPackage, AMissingArchiveDoesNothing)
{
    QTemporaryDir dir;
    RecordingProgress progress;
    CountingPump pump;
    Platform platform;
    platform.events = &pump;
    const Status st = ExtractPackage(dir.filePath("absent.zip"), dir.filePath("out"), &progress, platform);
    EXPECT_TRUE(st.ok());
    EXPECT_EQ(progress.calls, 0);
    EXPECT_EQ(pump.count, 0);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("out")));
}

TEST(ExtractPackage, ExtractsStoredAndDeflatedEntries)
{
    struct Case {
        const char* name;
        bool stored;
        QByteArray data;
    };
    const QByteArray text = QByteArray("the quick brown fox ").repeated(20000); // compresses well
    const Case cases[] = {
        {"stored empty", true, QByteArray()},
        {"stored small", true, "hello"},
        {"stored large", true, randomBytes(300 * 1024, 2)},
        {"deflated empty", false, QByteArray()},
        {"deflated small", false, "hello"},
        {"deflated large text", false, text},
        {"deflated large random", false, randomBytes(300 * 1024, 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString zip = dir.filePath("p.zip");
        ASSERT_TRUE(WriteZip(zip, {ZipSource::fromBytes("d/entry.bin", c.data, c.stored)}).ok());
        const zipbytes::EntryLocation loc = zipbytes::locate(readFile(zip), "d/entry.bin");
        EXPECT_EQ(loc.method, c.stored ? 0u : 8u);
        if (!c.stored && c.data == text) {
            EXPECT_LT(loc.compressedSize, static_cast<std::uint32_t>(text.size() / 10));
        }
        const Status st = ExtractPackage(zip, dir.filePath("out"), nullptr, Platform{});
        ASSERT_TRUE(st.ok()) << st.error().toStdString();
        EXPECT_EQ(readFile(dir.filePath("out/d/entry.bin")), c.data);
    }
}

TEST(ExtractPackage, RefusesNamesThatLeaveTheTargetFolderAndKeepsTheEntriesBefore)
{
    QTemporaryDir dir;
    const QString outside = dir.filePath("outside");
    QDir().mkpath(outside);
    // The target sits two levels down so that "../" and "a/../../" both land in `dir`.
    const QString target = dir.filePath("deep/out");
    struct Case {
        const char* name;
        QByteArray entry;
    };
    const QByteArray absolute = QFile::encodeName(outside + "/abs.txt");
    const Case cases[] = {
        {"parent", "../evil.txt"},
        {"deep parent", "a/../../evil.txt"},
        {"parent of a folder", "../"},
        {"absolute", absolute},
        {"backslash parent", "..\\evil.txt"},
        {"backslash deep parent", "a\\..\\..\\evil.txt"},
        {"leading backslash", "\\evil.txt"},
        {"drive letter", "C:/evil.txt"},
        {"parent at the end", "a/.."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(dir.filePath("deep")).removeRecursively();
        const QString zip = dir.filePath("DefaultSample.zip");
        writeFile(zip, zipbytes::buildStoredZip({{"safe.txt", "safe"}, {c.entry, "evil"}, {"after.txt", "after"}}));

        const Status st = ExtractPackage(zip, target, nullptr, Platform{});
        ASSERT_FALSE(st.ok());
        EXPECT_EQ(st.error(),
                  QStringLiteral("DefaultSample.zip: entry \"%1\" would be written outside the target folder")
                      .arg(QString::fromUtf8(c.entry)));
        EXPECT_EQ(readFile(target + "/safe.txt"), QByteArray("safe"));
        EXPECT_FALSE(QFileInfo::exists(target + "/after.txt"));
        EXPECT_EQ(filesBelow(dir.filePath("deep")), QStringList{"out/safe.txt"});
        EXPECT_TRUE(filesBelow(outside).isEmpty());
        EXPECT_FALSE(QFileInfo::exists(dir.filePath("evil.txt")));
    }
}

TEST(ExtractPackage, AcceptsHarmlessDotComponents)
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("p.zip");
    writeFile(zip, zipbytes::buildStoredZip({{"./a/./b.txt", "b"}, {"a//c.txt", "c"}, {"a/d..e.txt", "d"}}));
    const Status st = ExtractPackage(zip, dir.filePath("out"), nullptr, Platform{});
    ASSERT_TRUE(st.ok()) << st.error().toStdString();
    EXPECT_EQ(filesBelow(dir.filePath("out")), (QStringList{"a/b.txt", "a/c.txt", "a/d..e.txt"}));
}

TEST(ExtractPackage, RefusesSymbolicLinkEntries)
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("links.zip");
    const QString outside = dir.filePath("outside");
    QDir().mkpath(outside);
    writeFile(zip, zipbytes::buildStoredZip({{"first.txt", "1"},
                                             zipbytes::symlinkEntry("escape", QFile::encodeName(outside)),
                                             {"escape/evil.txt", "evil"}}));
    const QString target = dir.filePath("out");
    const Status st = ExtractPackage(zip, target, nullptr, Platform{});
    ASSERT_FALSE(st.ok());
    EXPECT_EQ(st.error(),
              QString("links.zip: entry \"escape\" is a symbolic link, only files and folders are extracted"));
    EXPECT_EQ(filesBelow(target), QStringList{"first.txt"});
    EXPECT_FALSE(QFileInfo(target + "/escape").isSymLink());
    EXPECT_TRUE(filesBelow(outside).isEmpty());
}

TEST(ExtractPackage, ALinkAlreadyInTheTargetDoesNotLetAnEntryOut)
{
    QTemporaryDir dir;
    const QString outside = dir.filePath("outside");
    writeFile(outside + "/victim.txt", "untouched");
    const QString target = dir.filePath("out");
    QDir().mkpath(target);
    ASSERT_TRUE(QFile::link(outside, target + "/linkdir"));
    ASSERT_TRUE(QFile::link(outside + "/victim.txt", target + "/victim.txt"));
    ASSERT_TRUE(QFile::link(outside + "/nothing-yet.txt", target + "/dangling.txt"));

    struct Case {
        const char* name;
        QByteArray entry;
    };
    const Case cases[] = {
        {"through a folder link", "linkdir/evil.txt"},
        {"deeper through a folder link", "linkdir/sub/evil.txt"},
        {"onto a file link", "victim.txt"},
        {"onto a dangling link", "dangling.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString zip = dir.filePath("p.zip");
        writeFile(zip, zipbytes::buildStoredZip({{c.entry, "evil"}}));
        const Status st = ExtractPackage(zip, target, nullptr, Platform{});
        ASSERT_FALSE(st.ok());
        EXPECT_TRUE(
            st.error().startsWith(QStringLiteral("p.zip: entry \"%1\" would be written outside the target folder")
                                      .arg(QString::fromUtf8(c.entry))))
            << st.error().toStdString();
        EXPECT_EQ(filesBelow(outside), QStringList{"victim.txt"});
        EXPECT_EQ(readFile(outside + "/victim.txt"), QByteArray("untouched"));
    }
}

TEST(ExtractPackage, FollowsALinkThatStaysInsideTheTarget)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("out");
    QDir().mkpath(target + "/real");
    ASSERT_TRUE(QFile::link(target + "/real", target + "/alias"));
    const QString zip = dir.filePath("p.zip");
    ASSERT_TRUE(WriteZip(zip, {ZipSource::fromBytes("alias/x.txt", "x")}).ok());
    const Status st = ExtractPackage(zip, target, nullptr, Platform{});
    ASSERT_TRUE(st.ok()) << st.error().toStdString();
    EXPECT_EQ(readFile(target + "/real/x.txt"), QByteArray("x"));
}

TEST(ExtractPackage, ATruncatedOrForeignArchiveIsReportedByName)
{
    QTemporaryDir dir;
    const QString good = dir.filePath("good.zip");
    ASSERT_TRUE(
        WriteZip(good, {ZipSource::fromBytes("a.txt", randomBytes(5000, 4)), ZipSource::fromBytes("b.txt", "b")}).ok());
    const QByteArray bytes = readFile(good);
    struct Case {
        const char* name;
        QByteArray contents;
    };
    const Case cases[] = {
        {"cut in half", bytes.left(bytes.size() / 2)},
        {"last ten bytes missing", bytes.left(bytes.size() - 10)},
        {"empty file", QByteArray()},
        {"not a zip at all", QByteArray("just some text, no archive")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString zip = dir.filePath("Broken Sample.zip");
        writeFile(zip, c.contents);
        RecordingProgress progress;
        const Status st = ExtractPackage(zip, dir.filePath("out"), &progress, Platform{});
        ASSERT_FALSE(st.ok());
        EXPECT_TRUE(st.error().startsWith("Broken Sample.zip: not a readable zip archive")) << st.error().toStdString();
        EXPECT_TRUE(filesBelow(dir.filePath("out")).isEmpty());
    }
}

TEST(ExtractPackage, ADamagedEntryLeavesNoFileUnderItsNameAndKeepsTheOnesBefore)
{
    struct Case {
        const char* name;
        bool stored;
    };
    const Case cases[] = {{"stored", true}, {"deflated", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString zip = dir.filePath("crc.zip");
        const QByteArray payload = randomBytes(150 * 1024, 5);
        ASSERT_TRUE(
            WriteZip(zip, {ZipSource::fromBytes("a.txt", "first"), ZipSource::fromBytes("b.bin", payload, c.stored),
                           ZipSource::fromBytes("c.txt", "third")})
                .ok());
        QByteArray bytes = readFile(zip);
        const zipbytes::EntryLocation loc = zipbytes::locate(bytes, "b.bin");
        // Late in the data, so that earlier chunks are already on disk when it fails.
        const qsizetype at = loc.dataStart + loc.compressedSize - 100;
        bytes[at] = static_cast<char>(bytes[at] ^ 0x55);
        writeFile(zip, bytes);

        const QString out = dir.filePath("out");
        writeFile(out + "/b.bin", "previous b");
        const Status st = ExtractPackage(zip, out, nullptr, Platform{});
        ASSERT_FALSE(st.ok());
        EXPECT_TRUE(st.error().startsWith("crc.zip: entry \"b.bin\" is damaged")) << st.error().toStdString();
        EXPECT_EQ(readFile(out + "/a.txt"), QByteArray("first"));
        EXPECT_EQ(readFile(out + "/b.bin"), QByteArray("previous b"));
        EXPECT_EQ(filesBelow(out), (QStringList{"a.txt", "b.bin"}));
    }
}

TEST(ExtractPackage, StopsAnEntryThatInflatesBeyondItsStatedSize)
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("bomb.zip");
    ASSERT_TRUE(WriteZip(zip, {ZipSource::fromBytes("ok.txt", "fine"),
                               ZipSource::fromBytes("zeros.bin", QByteArray(4 << 20, '\0'))})
                    .ok());
    QByteArray bytes = readFile(zip);
    zipbytes::setClaimedSize(bytes, "zeros.bin", 1000);
    writeFile(zip, bytes);

    const QString out = dir.filePath("out");
    const Status st = ExtractPackage(zip, out, nullptr, Platform{});
    ASSERT_FALSE(st.ok());
    EXPECT_EQ(st.error(), QString("bomb.zip: entry \"zeros.bin\" inflates beyond its stated size of 1000 bytes"));
    EXPECT_EQ(filesBelow(out), QStringList{"ok.txt"});
}

TEST(ExtractPackage, RefusesArchivesClaimingMoreThanTwoGibibytes)
{
    struct Case {
        const char* name;
        std::uint32_t first, second;
        bool refused;
    };
    const std::uint32_t gib = 1u << 30;
    const Case cases[] = {
        {"one huge entry", 3 * gib, 0, true},
        {"two entries that add up", gib + gib / 2, gib, true},
        {"exactly two gibibytes", gib, gib, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString zip = dir.filePath("huge.zip");
        ASSERT_TRUE(
            WriteZip(zip, {ZipSource::fromBytes("a.bin", QByteArray(1000, 'a')), ZipSource::fromBytes("b.bin", "b")})
                .ok());
        QByteArray bytes = readFile(zip);
        zipbytes::setClaimedSize(bytes, "a.bin", c.first);
        zipbytes::setClaimedSize(bytes, "b.bin", c.second);
        writeFile(zip, bytes);
        RecordingProgress progress;
        const Status st = ExtractPackage(zip, dir.filePath("out"), &progress, Platform{});
        ASSERT_FALSE(st.ok());
        if (c.refused) {
            EXPECT_EQ(st.error(), QStringLiteral("huge.zip: the entries claim %1 bytes uncompressed in total, at most "
                                                 "2147483648 allowed")
                                      .arg(std::uint64_t(c.first) + c.second));
            EXPECT_EQ(progress.calls, 0);
        } else {
            // Within the limit, so the entry is read and found shorter than it claims.
            EXPECT_TRUE(st.error().startsWith("huge.zip: entry \"a.bin\"")) << st.error().toStdString();
        }
        EXPECT_TRUE(filesBelow(dir.filePath("out")).isEmpty());
    }
}

TEST(ExtractPackage, RefusesArchivesWithTooManyEntriesBeforeWritingAny)
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("many.zip");
    QList<ZipSource> entries;
    for (int i = 0; i < 5; ++i)
        entries << ZipSource::fromBytes(QStringLiteral("f%1.txt").arg(i), "x");
    ASSERT_TRUE(WriteZip(zip, entries).ok());

    ExtractLimits limits;
    limits.maxEntries = 4;
    const Status refused = ExtractPackage(zip, dir.filePath("out"), nullptr, Platform{}, limits);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error(), QString("many.zip: archive has 5 entries, at most 4 allowed"));
    EXPECT_TRUE(filesBelow(dir.filePath("out")).isEmpty());

    limits.maxEntries = 5;
    EXPECT_TRUE(ExtractPackage(zip, dir.filePath("out"), nullptr, Platform{}, limits).ok());
    EXPECT_EQ(filesBelow(dir.filePath("out")).size(), 5);
}

TEST(ExtractPackage, TheDefaultLimitIsOneHundredThousandEntries)
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("flood.zip");
    QList<ZipSource> entries;
    entries.reserve(100001);
    for (int i = 0; i < 100001; ++i)
        entries << ZipSource::fromBytes(QString::number(i), QByteArray(), /*stored=*/true);
    ASSERT_TRUE(WriteZip(zip, entries).ok());
    const Status st = ExtractPackage(zip, dir.filePath("out"), nullptr, Platform{});
    ASSERT_FALSE(st.ok());
    EXPECT_EQ(st.error(), QString("flood.zip: archive has 100001 entries, at most 100000 allowed"));
    EXPECT_TRUE(filesBelow(dir.filePath("out")).isEmpty());
}

TEST(ExtractPackage, AFullDiskStopsTheEntryAndReportsIt)
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("big.zip");
    ASSERT_TRUE(WriteZip(zip, {ZipSource::fromBytes("small.txt", "s"),
                               ZipSource::fromBytes("large.bin", randomBytes(3 << 20, 6))})
                    .ok());
    const QString out = dir.filePath("out");
    QDir().mkpath(out);

    // A file-size limit makes writes fail with EFBIG, as a full disk fails them with
    // ENOSPC; the archive was written before the limit applies.
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = previous;
    limited.rlim_cur = 1 << 20;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const Status st = ExtractPackage(zip, out, nullptr, Platform{});
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_FALSE(st.ok());
    EXPECT_TRUE(st.error().startsWith("big.zip: entry \"large.bin\" cannot be written to")) << st.error().toStdString();
    EXPECT_EQ(filesBelow(out), QStringList{"small.txt"});
}
