#pragma once
// Writing zip archives: the embedded content packages are built with it, and tests use
// it to make archives to extract. Names are stored as UTF-8 with '/' separators, file
// entries deflated unless marked stored. The archive is assembled in a temporary file
// next to `zipPath` and renamed over it at the end, so a failure keeps an existing
// archive intact.

#include "platform/result.h"

#include <QByteArray>
#include <QList>
#include <QString>

// One entry of an archive to write: a file from bytes in memory or from a file on disk,
// or a folder entry (stored with a trailing '/').
struct ZipSource {
    QString name;     // path inside the archive, '/'-separated
    QByteArray bytes; // contents when `filePath` is empty
    QString filePath; // read from this file instead, when set
    bool folder = false;
    bool stored = false; // true: no compression; false: deflate

    static ZipSource fromBytes(const QString& name, const QByteArray& bytes, bool stored = false)
    {
        ZipSource s;
        s.name = name;
        s.bytes = bytes;
        s.stored = stored;
        return s;
    }
    static ZipSource fromFile(const QString& name, const QString& filePath, bool stored = false)
    {
        ZipSource s;
        s.name = name;
        s.filePath = filePath;
        s.stored = stored;
        return s;
    }
    static ZipSource folderEntry(const QString& name)
    {
        ZipSource s;
        s.name = name;
        s.folder = true;
        return s;
    }
};

// Writes the entries in order, replacing `zipPath`. Fails, naming the archive and the
// entry, on an empty or duplicate name, a missing source file or a write error. An empty
// list writes a valid archive with no entries.
Status WriteZip(const QString& zipPath, const QList<ZipSource>& entries);
