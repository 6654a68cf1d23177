#include "packages/zip_write.h"

#include "platform/file_io.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <zip.h>

#include <cstdint>

namespace {

// Entries carry Unix permissions so that other tools extract them readable.
constexpr zip_uint32_t kFileAttributes = (0100644u << 16);
constexpr zip_uint32_t kFolderAttributes = (040755u << 16) | 0x10u; // 0x10: the DOS folder bit

// A fixed time stamp keeps archives built from the same content identical.
constexpr time_t kEntryTime = 1577836800; // 2020-01-01

QString archiveError(zip_t* za)
{
    return QString::fromUtf8(zip_strerror(za));
}

} // namespace

Status WriteZip(const QString& zipPath, const QList<ZipSource>& entries)
{
    const QString archiveName = QFileInfo(zipPath).fileName();
    if (entries.isEmpty()) {
        // libzip removes an archive that ends up empty instead of writing one, so the
        // 22-byte end record of an empty archive is written directly.
        QByteArray eocd(22, '\0');
        eocd[0] = 'P';
        eocd[1] = 'K';
        eocd[2] = 5;
        eocd[3] = 6;
        return writeFileAtomically(zipPath, eocd);
    }

    QSet<QString> seen;
    for (const ZipSource& e : entries) {
        if (e.name.isEmpty()) return Failure(QStringLiteral("%1: an entry has an empty name").arg(archiveName));
        QString key = e.name;
        if (key.endsWith(QLatin1Char('/'))) key.chop(1);
        if (seen.contains(key))
            return Failure(QStringLiteral("%1: entry \"%2\" appears twice").arg(archiveName, e.name));
        seen.insert(key);
        if (!e.folder && !e.filePath.isEmpty() && !QFileInfo(e.filePath).isFile())
            return Failure(
                QStringLiteral("%1: entry \"%2\": source file %3 does not exist").arg(archiveName, e.name, e.filePath));
    }

    int errorCode = 0;
    zip_t* za = zip_open(QFile::encodeName(zipPath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &errorCode);
    if (!za) {
        zip_error_t error;
        zip_error_init_with_code(&error, errorCode);
        const QString text = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        return Failure(QStringLiteral("%1: cannot create the archive (%2)").arg(zipPath, text));
    }

    auto fail = [&](const ZipSource& e, const QString& what) {
        const QString message =
            QStringLiteral("%1: entry \"%2\": %3 (%4)").arg(archiveName, e.name, what, archiveError(za));
        zip_discard(za);
        return Failure(message);
    };

    for (const ZipSource& e : entries) {
        const QByteArray name = e.name.toUtf8();
        zip_int64_t index = -1;
        if (e.folder) {
            index = zip_dir_add(za, name.constData(), ZIP_FL_ENC_UTF_8);
            if (index < 0) return fail(e, QStringLiteral("cannot add the folder"));
        } else {
            // Buffer sources point into `entries`, which outlives zip_close below.
            zip_source_t* source =
                e.filePath.isEmpty()
                    ? zip_source_buffer(za, e.bytes.constData(), static_cast<zip_uint64_t>(e.bytes.size()), 0)
                    : zip_source_file(za, QFile::encodeName(e.filePath).constData(), 0, -1);
            if (!source) return fail(e, QStringLiteral("cannot read the contents"));
            index = zip_file_add(za, name.constData(), source, ZIP_FL_ENC_UTF_8);
            if (index < 0) {
                zip_source_free(source);
                return fail(e, QStringLiteral("cannot add the file"));
            }
            const zip_int32_t method = e.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE;
            if (zip_set_file_compression(za, static_cast<zip_uint64_t>(index), method, 0) < 0)
                return fail(e, QStringLiteral("cannot set the compression"));
        }
        const auto i = static_cast<zip_uint64_t>(index);
        if (zip_file_set_external_attributes(za, i, 0, ZIP_OPSYS_UNIX, e.folder ? kFolderAttributes : kFileAttributes) <
                0 ||
            zip_file_set_mtime(za, i, kEntryTime, 0) < 0)
            return fail(e, QStringLiteral("cannot set the attributes"));
    }

    if (zip_close(za) < 0) {
        const QString message = QStringLiteral("%1: cannot write the archive (%2)").arg(zipPath, archiveError(za));
        zip_discard(za);
        return Failure(message);
    }
    return {};
}
