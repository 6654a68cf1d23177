#include "platform/file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::atomic<WriteFaultHook> g_faultHook{nullptr};
}

void setWriteFaultHook(WriteFaultHook hook) { g_faultHook.store(hook); }

bool writeFaultInjected(const QString& path)
{
    const WriteFaultHook hook = g_faultHook.load();
    return hook && !hook(path);
}

Status replaceFileWith(const QString& tempPath, const QString& path)
{
    const auto fail = [&](const QString& reason) {
        QFile::remove(tempPath);
        return Failure(QStringLiteral("%1: write failed (%2)").arg(path, reason));
    };
    if (writeFaultInjected(path)) return fail(QStringLiteral("no space left on device"));
    const int fd = ::open(QFile::encodeName(tempPath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return fail(QString::fromLocal8Bit(std::strerror(errno)));
    // Temporary files are private; the result gets the permissions the replaced file
    // had, or those of a new file.
    struct stat existing;
    mode_t mode;
    if (::stat(QFile::encodeName(path).constData(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    (void)::fchmod(fd, mode);
    // The data must be on disk before the rename makes it the file.
    const bool synced = ::fsync(fd) == 0;
    const int syncError = errno;
    ::close(fd);
    if (!synced) return fail(QString::fromLocal8Bit(std::strerror(syncError)));
    if (::rename(QFile::encodeName(tempPath).constData(), QFile::encodeName(path).constData()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    return {};
}

Result<QByteArray> readWholeFile(const QString& path, qint64 maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Result<QByteArray>::failure(QStringLiteral("%1: cannot open for reading (%2)").arg(path, file.errorString()));
    const qint64 size = file.size();
    if (size > maxBytes)
        return Result<QByteArray>::failure(
            QStringLiteral("%1: file is %2 bytes, at most %3 expected").arg(path).arg(size).arg(maxBytes));
    QByteArray bytes = file.read(maxBytes);
    if (file.error() != QFileDevice::NoError)
        return Result<QByteArray>::failure(QStringLiteral("%1: read failed (%2)").arg(path, file.errorString()));
    return bytes;
}

Status writeFileAtomically(const QString& path, const char* data, std::size_t size)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Failure(QStringLiteral("%1: cannot open for writing (%2)").arg(path, file.errorString()));
    // Write in slices so an injected fault can stop half-way, as a full disk would.
    const std::size_t half = size / 2;
    if (half > 0 && file.write(data, static_cast<qint64>(half)) != static_cast<qint64>(half)) {
        file.cancelWriting();
        return Failure(QStringLiteral("%1: write failed (%2)").arg(path, file.errorString()));
    }
    if (writeFaultInjected(path)) {
        file.cancelWriting();
        return Failure(QStringLiteral("%1: write failed (no space left on device)").arg(path));
    }
    const qint64 rest = static_cast<qint64>(size - half);
    if (rest > 0 && file.write(data + half, rest) != rest) {
        file.cancelWriting();
        return Failure(QStringLiteral("%1: write failed (%2)").arg(path, file.errorString()));
    }
    if (!file.commit())
        return Failure(QStringLiteral("%1: write failed (%2)").arg(path, file.errorString()));
    return {};
}

Result<QString> stageFile(const QString& folder, const QString& name, const QByteArray& bytes)
{
    const QString target = joinPath(folder, name);
    // Hidden, and short enough for any file system whatever the name.
    QTemporaryFile file(joinPath(folder, QStringLiteral(".%1.XXXXXX.part").arg(name.left(64))));
    file.setAutoRemove(false);
    if (!file.open())
        return Result<QString>::failure(
            QStringLiteral("%1: cannot open for writing (%2)").arg(target, file.errorString()));
    const QString staged = file.fileName();
    const auto fail = [&](const QString& why) {
        file.close();
        QFile::remove(staged);
        return Result<QString>::failure(QStringLiteral("%1: write failed (%2)").arg(target, why));
    };
    const qint64 half = bytes.size() / 2;
    if (half > 0 && file.write(bytes.constData(), half) != half) return fail(file.errorString());
    if (WriteFaultHook hook = g_faultHook.load(); hook && !hook(target)) return fail(QStringLiteral("no space left on device"));
    const qint64 rest = bytes.size() - half;
    if (rest > 0 && file.write(bytes.constData() + half, rest) != rest) return fail(file.errorString());
    if (!file.flush()) return fail(file.errorString());
#if defined(Q_OS_UNIX)
    // What QSaveFile does before its rename: the data is on disk before the name is.
    if (::fdatasync(file.handle()) != 0) return fail(QString::fromLocal8Bit(std::strerror(errno)));
#endif
    file.close();
    return staged;
}

Status placeStagedFile(const QString& staged, const QString& path)
{
#if defined(Q_OS_UNIX)
    if (::rename(QFile::encodeName(staged).constData(), QFile::encodeName(path).constData()) != 0)
        return Failure(QStringLiteral("%1: cannot write the file (%2)").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
#else
    QFile::remove(path);
    if (!QFile::rename(staged, path))
        return Failure(QStringLiteral("%1: cannot write the file (rename failed)").arg(path));
#endif
    return {};
}

void discardStagedFile(const QString& staged)
{
    if (!staged.isEmpty()) QFile::remove(staged);
}

Status copyFileReplacing(const QString& from, const QString& to)
{
    if (QFileInfo(from).canonicalFilePath() == QFileInfo(to).canonicalFilePath() && QFileInfo::exists(to))
        return {}; // copying a file onto itself would truncate it
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return Failure(QStringLiteral("%1: cannot open for reading (%2)").arg(from, in.errorString()));
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return Failure(QStringLiteral("%1: read failed (%2)").arg(from, in.errorString()));
    return writeFileAtomically(to, bytes);
}

QString joinPath(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}
