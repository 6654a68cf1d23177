#pragma once
// Extracting a content package (a zip archive) into a folder with progress.
//
// Progress: the maximum is the archive's entry count n. While a file entry is written,
// progress is reported once before its first byte and again after every 64 KiB; each
// report counts the entry once (when its name differs from the last one reported), sets
// the value to the entries done and the text to "<done>/<n>   <file name>", e.g.
// "3/20   a.jpg", then lets pending events run. Folder entries are created without a
// report, so they are not counted. At the end the value is 0 and the text "-/-".
//
// Safety: entries keep their stored folder structure and replace existing files, but
// an entry is refused when its name is absolute, has a ".." component (with '/' or '\'
// separators), or would land outside the target folder once the symbolic links already
// present in the target are resolved; symbolic-link entries are refused. Each file is
// written to a temporary file beside its final name and renamed only after its data
// passed the checksum, so a damaged entry never leaves a half-written file. Extraction
// stops at the first refused or damaged entry; the entries before it stay written and
// the progress text keeps its last value.

#include "platform/result.h"

#include <QString>

#include <cstdint>

class Progress;
struct Platform;

// Bounds that keep a hostile archive from exhausting memory or disk.
struct ExtractLimits {
    std::int64_t maxEntries = 100000;
    std::int64_t maxTotalBytes = std::int64_t(2) << 30; // uncompressed, as the entries claim
};

// A missing archive does nothing and succeeds (the progress is not touched). Errors name
// the archive file and the entry, e.g.
// "DefaultSample.zip: entry \"../evil.txt\" would be written outside the target folder".
// Archives over the limits are refused before anything is written; an entry that
// inflates beyond the size it claims is stopped as soon as it passes that size.
Status ExtractPackage(const QString& archivePath, const QString& targetFolder, Progress* progress,
                      const Platform& platform, const ExtractLimits& limits = {});
