// Extraction and installation replace the user's files; a write that fails half-way
// (a full disk, a killed process) keeps the previous contents.

#include "packages/sample_content.h"
#include "packages/zip_extract.h"
#include "packages/zip_write.h"

#include "engine/data_folders.h"
#include "engine/workspace.h"
#include "platform/file_io.h"
#include "platform/services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/resource.h>

namespace {

bool failEveryWrite(const QString&)
{
    return false;
}

// Fails the writes of files whose name ends with the given text.
QString g_failingSuffix;
bool failMatchingWrites(const QString& path)
{
    return !path.endsWith(g_failingSuffix);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

TEST(ExtractPackage, AnEntryThatCannotBeWrittenKeepsTheFileItWouldReplace)
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("pack.zip");
    ASSERT_TRUE(WriteZip(zip, {ZipSource::fromBytes("a.pat", "new a"), ZipSource::fromBytes("b.pat", "new b")}).ok());
    const QString out = dir.filePath("out");
    ASSERT_TRUE(QDir().mkpath(out));
    ASSERT_TRUE(writeFileAtomically(joinPath(out, "a.pat"), QByteArray("old a")).ok());
    ASSERT_TRUE(writeFileAtomically(joinPath(out, "b.pat"), QByteArray("old b")).ok());

    g_failingSuffix = QStringLiteral("b.pat");
    setWriteFaultHook(&failMatchingWrites);
    const Status st = ExtractPackage(zip, out, nullptr, Platform{});
    setWriteFaultHook(nullptr);

    ASSERT_FALSE(st.ok());
    EXPECT_EQ(st.error(), QStringLiteral("pack.zip: entry \"b.pat\" cannot be written to %1 (no space left on device)")
                              .arg(QFileInfo(joinPath(out, "b.pat")).canonicalFilePath()));
    EXPECT_EQ(readFile(joinPath(out, "a.pat")), QByteArray("new a"));
    EXPECT_EQ(readFile(joinPath(out, "b.pat")), QByteArray("old b"));
    EXPECT_EQ(entriesOf(out), (QStringList{"a.pat", "b.pat"}));
}

TEST(ExtractPackage, AFullDiskKeepsTheFileTheEntryWouldReplace)
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("big.zip");
    ASSERT_TRUE(WriteZip(zip, {ZipSource::fromBytes("large.bin", QByteArray(3 << 20, 'n'))}).ok());
    const QString out = dir.filePath("out");
    ASSERT_TRUE(QDir().mkpath(out));
    const QByteArray previous(1000, 'o');
    ASSERT_TRUE(writeFileAtomically(joinPath(out, "large.bin"), previous).ok());

    // A file-size limit fails the writes as a full disk fails them (EFBIG for ENOSPC).
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = before;
    limited.rlim_cur = 1 << 20;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const Status st = ExtractPackage(zip, out, nullptr, Platform{});
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_FALSE(st.ok());
    EXPECT_TRUE(st.error().startsWith("big.zip: entry \"large.bin\" cannot be written to")) << st.error().toStdString();
    EXPECT_EQ(readFile(joinPath(out, "large.bin")), previous);
    EXPECT_EQ(entriesOf(out), QStringList{"large.bin"});
}

TEST(InstallSampleContent, AFailedWriteKeepsTheInstalledFiles)
{
    QTemporaryDir resources;
    ASSERT_TRUE(WriteZip(resources.filePath("Resource_1"), {ZipSource::fromBytes("imagelib.dat", "new library")}).ok());
    ASSERT_TRUE(
        WriteZip(resources.filePath("Resource_2"), {ZipSource::fromBytes("20_Ellipse.pat", "new pattern")}).ok());
    ASSERT_TRUE(writeFileAtomically(resources.filePath("Resource_3"), QByteArray("%PDF new")).ok());

    QTemporaryDir docs, exe;
    auto ws = std::make_unique<Workspace>();
    ASSERT_TRUE(InitDataFolders(*ws, exe.path(), docs.path()).ok());
    const DataFolders& f = ws->folders;
    const QString libraryZip = joinPath(f.userLibraryFolder, "DefaultSample.zip");
    const QString patternZip = joinPath(f.DataRoot, "Patterns.zip");
    ASSERT_TRUE(writeFileAtomically(libraryZip, QByteArray("installed library zip")).ok());
    ASSERT_TRUE(writeFileAtomically(patternZip, QByteArray("installed pattern zip")).ok());

    setWriteFaultHook(&failEveryWrite);
    const Status st = InstallSampleContent(*ws, resources.path(), nullptr);
    setWriteFaultHook(nullptr);

    ASSERT_FALSE(st.ok());
    EXPECT_TRUE(st.error().contains("QLYhelp.pdf")) << st.error().toStdString();
    EXPECT_EQ(readFile(libraryZip), QByteArray("installed library zip"));
    EXPECT_EQ(readFile(patternZip), QByteArray("installed pattern zip"));
    EXPECT_FALSE(QFileInfo::exists(joinPath(f.DataRoot, "QLYhelp.pdf")));
    EXPECT_EQ(entriesOf(f.userLibraryFolder), QStringList{"DefaultSample.zip"});
}
