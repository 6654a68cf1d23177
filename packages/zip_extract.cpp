#include "packages/zip_extract.h"

#include "platform/file_io.h"
#include "platform/services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>

#include <zip.h>

#include <sys/stat.h>

#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr zip_uint64_t kChunkBytes = 64 * 1024;

struct ArchiveDiscard {
    void operator()(zip_t* za) const { zip_discard(za); }
};
using ArchivePtr = std::unique_ptr<zip_t, ArchiveDiscard>;

struct EntryClose {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using EntryPtr = std::unique_ptr<zip_file_t, EntryClose>;

QString libzipErrorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

// An entry name split into the components it creates below the target folder.
struct EntryPath {
    QStringList parts;
    bool folder = false;
};

// Archives made on Windows may separate folders with '\', so both separators count;
// "." and empty components are dropped. Nullopt means the name leaves the folder.
std::optional<EntryPath> splitEntryName(const QString& name)
{
    QString n = name;
    n.replace(QLatin1Char('\\'), QLatin1Char('/'));
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    if (n.startsWith(QLatin1Char('/')) || drive.match(n).hasMatch()) return std::nullopt;
    EntryPath path;
    path.folder = n.endsWith(QLatin1Char('/'));
    for (const QString& part : n.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("..")) return std::nullopt;
        if (part != QLatin1String(".")) path.parts << part;
    }
    return path;
}

bool isInside(const QString& root, const QString& path)
{
    if (path == root) return true;
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    return path.startsWith(prefix);
}

// Walks the components down from the (canonical) target folder, following the links
// that already exist there, and gives the path the entry would really be written to,
// or nullopt when that path lies outside the folder or runs through a dangling link.
std::optional<QString> resolveInside(const QString& root, const QStringList& parts)
{
    QString path = root;
    int i = 0;
    for (; i < parts.size(); ++i) {
        const QString next = path + QLatin1Char('/') + parts[i];
        const QFileInfo info(next);
        if (info.isSymLink()) {
            const QString resolved = info.canonicalFilePath();
            if (resolved.isEmpty()) return std::nullopt;
            path = resolved;
        } else if (info.exists()) {
            path = next;
        } else {
            break;
        }
        if (!isInside(root, path)) return std::nullopt;
    }
    for (; i < parts.size(); ++i)
        path += QLatin1Char('/') + parts[i];
    return path;
}

bool isSymlinkEntry(zip_t* za, zip_uint64_t index)
{
    zip_uint8_t opsys = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(za, index, 0, &opsys, &attributes) < 0) return false;
    if (opsys != ZIP_OPSYS_UNIX && opsys != ZIP_OPSYS_OS_X) return false;
    return ((attributes >> 16) & S_IFMT) == S_IFLNK;
}

} // namespace

Status ExtractPackage(const QString& archivePath, const QString& targetFolder, Progress* progress,
                      const Platform& platform, const ExtractLimits& limits)
{
    if (!QFileInfo::exists(archivePath)) return {};
    const QString archiveName = QFileInfo(archivePath).fileName();

    int openError = 0;
    ArchivePtr za(zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &openError));
    if (!za)
        return Failure(
            QStringLiteral("%1: not a readable zip archive (%2)").arg(archiveName, libzipErrorText(openError)));

    const zip_int64_t total = zip_get_num_entries(za.get(), 0);
    if (total < 0)
        return Failure(QStringLiteral("%1: cannot read the entry list (%2)")
                           .arg(archiveName, QString::fromUtf8(zip_strerror(za.get()))));
    if (total > limits.maxEntries)
        return Failure(QStringLiteral("%1: archive has %2 entries, at most %3 allowed")
                           .arg(archiveName)
                           .arg(total)
                           .arg(limits.maxEntries));

    std::vector<zip_stat_t> stats(static_cast<std::size_t>(total));
    std::uint64_t claimed = 0;
    for (zip_int64_t i = 0; i < total; ++i) {
        zip_stat_t& st = stats[static_cast<std::size_t>(i)];
        zip_stat_init(&st);
        if (zip_stat_index(za.get(), static_cast<zip_uint64_t>(i), 0, &st) < 0 || !(st.valid & ZIP_STAT_NAME) ||
            !(st.valid & ZIP_STAT_SIZE))
            return Failure(QStringLiteral("%1: entry %2 cannot be read (%3)")
                               .arg(archiveName)
                               .arg(i)
                               .arg(QString::fromUtf8(zip_strerror(za.get()))));
        // Saturating, so that hostile sizes cannot wrap the sum around.
        claimed = st.size > std::numeric_limits<std::uint64_t>::max() - claimed
                      ? std::numeric_limits<std::uint64_t>::max()
                      : claimed + st.size;
    }
    if (claimed > static_cast<std::uint64_t>(limits.maxTotalBytes))
        return Failure(QStringLiteral("%1: the entries claim %2 bytes uncompressed in total, at most %3 allowed")
                           .arg(archiveName)
                           .arg(claimed)
                           .arg(limits.maxTotalBytes));

    if (!QDir().mkpath(targetFolder))
        return Failure(QStringLiteral("%1: cannot create the target folder %2").arg(archiveName, targetFolder));
    const QString root = QFileInfo(targetFolder).canonicalFilePath();
    if (root.isEmpty())
        return Failure(QStringLiteral("%1: target folder %2 cannot be resolved").arg(archiveName, targetFolder));

    if (progress) progress->setMaximum(static_cast<int>(total));
    int done = 0;
    QString lastName;
    auto report = [&](const QString& entryName, const QString& fileName) {
        if (entryName != lastName) {
            lastName = entryName;
            ++done;
        }
        if (progress) {
            progress->setValue(done);
            progress->setText(QStringLiteral("%1/%2   %3").arg(done).arg(total).arg(fileName));
        }
        PumpEvents(platform);
    };

    std::vector<char> buffer(kChunkBytes);
    for (zip_int64_t i = 0; i < total; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        const zip_stat_t& st = stats[static_cast<std::size_t>(i)];
        const QString name = QString::fromUtf8(st.name);
        auto entryFailure = [&](const QString& what) {
            return Failure(QStringLiteral("%1: entry \"%2\" %3").arg(archiveName, name, what));
        };

        if (isSymlinkEntry(za.get(), index))
            return entryFailure(QStringLiteral("is a symbolic link, only files and folders are extracted"));
        const std::optional<EntryPath> path = splitEntryName(name);
        if (!path) return entryFailure(QStringLiteral("would be written outside the target folder"));
        if (path->parts.isEmpty()) {
            if (path->folder) continue; // "./" names the target folder itself
            return entryFailure(QStringLiteral("has no file name"));
        }
        const std::optional<QString> destination = resolveInside(root, path->parts);
        if (!destination)
            return entryFailure(
                QStringLiteral("would be written outside the target folder (through a symbolic link in it)"));

        if (path->folder) {
            if (!QDir().mkpath(*destination))
                return entryFailure(QStringLiteral("cannot be created as folder %1").arg(*destination));
            continue;
        }
        if (!QDir().mkpath(QFileInfo(*destination).absolutePath()))
            return entryFailure(QStringLiteral("cannot be written: folder %1 cannot be created")
                                    .arg(QFileInfo(*destination).absolutePath()));

        EntryPtr in(zip_fopen_index(za.get(), index, 0));
        if (!in)
            return entryFailure(QStringLiteral("cannot be read (%1)").arg(QString::fromUtf8(zip_strerror(za.get()))));

        QSaveFile out(*destination);
        if (!out.open(QIODevice::WriteOnly))
            return entryFailure(QStringLiteral("cannot be written to %1 (%2)").arg(*destination, out.errorString()));

        const QString fileName = path->parts.last();
        report(name, fileName);
        std::uint64_t written = 0;
        for (;;) {
            const zip_int64_t n = zip_fread(in.get(), buffer.data(), kChunkBytes);
            if (n < 0) {
                out.cancelWriting();
                return entryFailure(
                    QStringLiteral("is damaged (%1)").arg(QString::fromUtf8(zip_file_strerror(in.get()))));
            }
            if (n == 0) break;
            written += static_cast<std::uint64_t>(n);
            if (written > st.size) {
                out.cancelWriting();
                return entryFailure(QStringLiteral("inflates beyond its stated size of %1 bytes").arg(st.size));
            }
            if (out.write(buffer.data(), n) != n) {
                const QString reason = out.errorString();
                out.cancelWriting();
                return entryFailure(QStringLiteral("cannot be written to %1 (%2)").arg(*destination, reason));
            }
            report(name, fileName);
        }
        if (written != st.size) {
            out.cancelWriting();
            return entryFailure(QStringLiteral("is damaged (%1 bytes of data, %2 expected)").arg(written).arg(st.size));
        }
        if (const int closeError = zip_fclose(in.release()); closeError != 0) {
            out.cancelWriting();
            return entryFailure(QStringLiteral("is damaged (%1)").arg(libzipErrorText(closeError)));
        }
        if (writeFaultInjected(*destination)) {
            out.cancelWriting();
            return entryFailure(QStringLiteral("cannot be written to %1 (no space left on device)").arg(*destination));
        }
        if (!out.commit())
            return entryFailure(QStringLiteral("cannot be written to %1 (%2)").arg(*destination, out.errorString()));
    }

    za.reset();
    if (progress) {
        progress->setValue(0);
        progress->setText(QStringLiteral("-/-"));
    }
    return {};
}
