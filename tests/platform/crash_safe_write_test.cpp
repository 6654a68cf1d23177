// Writers that replace a file: a writer killed half-way or failing at the end leaves
// the previous file whole.

#include "platform/file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool failEveryWrite(const QString&)
{
    return false;
}

// The write end of a pipe the child's hook reports on before it stops for good.
int g_reportFd = -1;
bool reportAndHang(const QString&)
{
    const char byte = 'w';
    (void)!::write(g_reportFd, &byte, 1);
    for (;;)
        ::pause();
}

// The size of the largest file that process `pid` has open in `folder`, named or not.
qint64 largestOpenFileIn(pid_t pid, const QString& folder)
{
    qint64 largest = 0;
    const QByteArray prefix = QFile::encodeName(QFileInfo(folder).canonicalFilePath()) + '/';
    const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString& fd : QDir(fds).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QByteArray link = QFile::encodeName(fds + QLatin1Char('/') + fd);
        char target[4096];
        const ssize_t n = ::readlink(link.constData(), target, sizeof target);
        if (n <= 0 || !QByteArray(target, n).startsWith(prefix)) continue;
        struct stat info;
        if (::stat(link.constData(), &info) == 0) largest = std::max<qint64>(largest, info.st_size);
    }
    return largest;
}

} // namespace

TEST(WriteFileAtomically, AWriterKilledHalfWayLeavesThePreviousFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("imagelib.dat");
    const QByteArray previous(100000, 'p');
    ASSERT_TRUE(writeFileAtomically(path, previous).ok());

    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(fds[0]);
        g_reportFd = fds[1];
        setWriteFaultHook(&reportAndHang);
        // Half of the new bytes are written when the hook runs; the parent kills us there.
        (void)writeFileAtomically(path, QByteArray(4 << 20, 'n'));
        ::_exit(3);
    }
    ::close(fds[1]);
    char byte = 0;
    ASSERT_EQ(::read(fds[0], &byte, 1), 1) << "the child never reached the middle of its write";
    ::close(fds[0]);
    // The temporary file (unnamed on file systems that allow it) holds the first half.
    const qint64 partial = largestOpenFileIn(child, dir.path());
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    EXPECT_GE(partial, 2 << 20);
    EXPECT_EQ(contents(path), previous);
    // And the next write goes through.
    ASSERT_TRUE(writeFileAtomically(path, QByteArray("after")).ok());
    EXPECT_EQ(contents(path), QByteArray("after"));
}

TEST(ReplaceFileWith, MovesTheFinishedFileOverTheTargetKeepingItsPermissions)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("stats.xlsx");
    ASSERT_TRUE(writeFileAtomically(path, QByteArray("old")).ok());
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    const QString temp = dir.filePath(".stats.xlsx.tmp");
    {
        QFile f(temp);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("new");
    }
    ASSERT_EQ(::chmod(QFile::encodeName(temp).constData(), 0600), 0);

    const Status st = replaceFileWith(temp, path);
    ASSERT_TRUE(st.ok()) << st.error().toStdString();
    EXPECT_EQ(contents(path), QByteArray("new"));
    EXPECT_FALSE(QFileInfo::exists(temp));
    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(ReplaceFileWith, AFailureKeepsTheTargetAndRemovesTheTemporaryFile)
{
    struct Case {
        const char* name;
        bool injected; // otherwise the temporary file is missing
    };
    const Case cases[] = {{"injected fault", true}, {"missing temporary file", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("stats.xlsx");
        ASSERT_TRUE(writeFileAtomically(path, QByteArray("old")).ok());
        const QString temp = dir.filePath(".stats.xlsx.tmp");
        if (c.injected) {
            QFile f(temp);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("new");
        }
        if (c.injected) setWriteFaultHook(&failEveryWrite);
        const Status st = replaceFileWith(temp, path);
        setWriteFaultHook(nullptr);
        ASSERT_FALSE(st.ok());
        EXPECT_TRUE(st.error().contains(path)) << st.error().toStdString();
        EXPECT_EQ(contents(path), QByteArray("old"));
        EXPECT_FALSE(QFileInfo::exists(temp));
    }
}
