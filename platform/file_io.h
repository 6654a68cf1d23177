#pragma once
// Whole-file reads and crash-safe writes. Every file that replaces another goes through
// writeFileAtomically: the bytes go to a temporary file in the same folder, which is
// renamed over the target only after everything was written and flushed, so a failure
// leaves the previous file intact.

#include "platform/result.h"

#include <QByteArray>
#include <QString>

#include <cstddef>

// Reads the whole file. Refuses files larger than `maxBytes` without reading them.
Result<QByteArray> readWholeFile(const QString& path, qint64 maxBytes);

Status writeFileAtomically(const QString& path, const char* data, std::size_t size);
inline Status writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    return writeFileAtomically(path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Test seam: when set, called before each atomic write commits; returning false makes
// the write fail as a full disk would, after the temporary file was partly written.
using WriteFaultHook = bool (*)(const QString& path);
void setWriteFaultHook(WriteFaultHook hook);
// For writers that stream into a temporary file of their own (zip entries, the
// spreadsheet library): true when the hook makes the write of `path` fail. Called just
// before the temporary file would replace `path`.
bool writeFaultInjected(const QString& path);

// Moves a finished temporary file (in the same folder) over `path`: flushed to disk,
// then renamed, so `path` holds either its old or its new contents. On failure, the
// injected one included, the temporary file is removed and `path` is left as it was.
Status replaceFileWith(const QString& tempPath, const QString& path);

// writeFileAtomically in two steps, for writers that learn the final name only later
// (the bytes can be written and flushed on a worker thread, the rename done in order):
// stageFile writes and flushes the bytes to disk under a hidden temporary name in
// `folder` made from `name`, and returns its path; placeStagedFile renames it over
// `path` (in the same folder), replacing a file of that name; discardStagedFile removes
// it. Messages name folder/name or `path`, not the temporary file. The fault hook is
// asked with folder/name.
Result<QString> stageFile(const QString& folder, const QString& name, const QByteArray& bytes);
Status placeStagedFile(const QString& staged, const QString& path);
void discardStagedFile(const QString& staged);

// Copies a file over an existing one through a temporary file.
Status copyFileReplacing(const QString& from, const QString& to);

// The native-independent joining the records' paths use: "a/b" + "c" and "a/b/" + "c"
// both give "a/b/c".
QString joinPath(const QString& folder, const QString& name);
