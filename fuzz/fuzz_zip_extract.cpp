// Zip packages from the fuzzer's bytes, extracted into a fresh folder each time. Beside
// not crashing, the extraction must write nothing outside its folder: the folder sits
// alone in a box, and after the run the box holds only it, and nothing inside it is a
// symbolic link.
//
// An input that starts with "PK" is the archive itself. Any other input describes the
// entries of an archive built here, so that the fuzzer reaches the entry checks (names,
// links, folders, claimed sizes) without having to forge checksums: a count byte, then
// per entry a flags byte, a name length byte, the name, a data length byte and the data.
// Flags: 1 symbolic link, 2 folder attributes, 4 made on DOS, 8 claims twice its size.

#include "fuzz/fuzz_support.h"
#include "packages/zip_extract.h"
#include "platform/services.h"
#include "tests/packages/zip_bytes.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

struct CountingProgress final : Progress {
    int maximum = 0, last = 0;
    void setMaximum(int m) override { maximum = m; }
    void setValue(int v) override { last = v; }
    int value() const override { return last; }
};

struct Entry {
    std::uint8_t flags = 0;
    QByteArray name, data;
};

QList<Entry> parseEntries(const std::uint8_t* data, std::size_t size)
{
    QList<Entry> entries;
    std::size_t at = 1;
    const int wanted = size > 0 ? data[0] % 8 + 1 : 0;
    const auto take = [&](std::size_t n) {
        const std::size_t k = std::min(n, size - at);
        QByteArray out(reinterpret_cast<const char*>(data + at), qsizetype(k));
        at += k;
        return out;
    };
    while (entries.size() < wanted && at + 2 <= size) {
        Entry e;
        e.flags = data[at++];
        e.name = take(data[at++] % 64);
        if (at < size) e.data = take(data[at++]);
        entries << e;
    }
    return entries;
}

// Stored entries with the given names, attributes and (claimed) sizes.
QByteArray buildArchive(const QList<Entry>& entries)
{
    using namespace zipbytes;
    QByteArray out, central;
    for (const Entry& e : entries) {
        const auto offset = std::uint32_t(out.size());
        const std::uint32_t crc = crc32(e.data);
        const auto size = std::uint32_t(e.data.size());
        const std::uint32_t claimed = (e.flags & 8) ? size * 2 + 1 : size;
        const std::uint32_t opsys = (e.flags & 4) ? 0 : 3;
        std::uint32_t attributes = (e.flags & 1) ? (0120777u << 16) : (0100644u << 16);
        if (e.flags & 2) attributes = (040755u << 16) | 0x10u;
        for (QByteArray* header : {&out, &central}) {
            const bool local = header == &out;
            put32(*header, local ? 0x04034b50 : 0x02014b50);
            if (!local) put16(*header, (opsys << 8) | 20);
            put16(*header, 20);
            put16(*header, 0); // flags
            put16(*header, 0); // stored
            put16(*header, 0);
            put16(*header, 0x21);
            put32(*header, crc);
            put32(*header, size);
            put32(*header, claimed);
            put16(*header, std::uint32_t(e.name.size()));
            put16(*header, 0);
            if (!local) {
                put16(*header, 0);
                put16(*header, 0);
                put16(*header, 0);
                put32(*header, attributes);
                put32(*header, offset);
            }
            *header += e.name;
        }
        out += e.data;
    }
    const auto centralOffset = std::uint32_t(out.size());
    out += central;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, std::uint32_t(entries.size()));
    put16(out, std::uint32_t(entries.size()));
    put32(out, std::uint32_t(central.size()));
    put32(out, centralOffset);
    put16(out, 0);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    InitFuzzEnvironment(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString scratch = FuzzScratchFolder();
    const QString archive = scratch + QStringLiteral("/package.zip");
    const QString box = scratch + QStringLiteral("/box");
    const QString target = box + QStringLiteral("/target");
    QDir(box).removeRecursively();
    QDir().mkpath(box);
    const bool raw = size >= 2 && data[0] == 'P' && data[1] == 'K';
    const QByteArray bytes = raw ? FuzzBytes(data, size) : buildArchive(parseEntries(data, size));
    {
        QFile file(archive);
        FuzzCheck(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
                  "the scratch archive can be written");
    }

    CountingProgress progress;
    // Smaller bounds than the program's keep each run fast; the checks are the same.
    ExtractLimits limits;
    limits.maxEntries = 2000;
    limits.maxTotalBytes = 8 << 20;
    const Status st = ExtractPackage(archive, target, &progress, Platform{}, limits);
    if (!st) FuzzCheckRefusal(st.error(), QStringLiteral("package.zip"));

    const QStringList inBox =
        QDir(box).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    FuzzCheck(inBox.isEmpty() || inBox == QStringList{QStringLiteral("target")},
              "the extraction wrote only into its target folder");
    QDirIterator it(target, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        FuzzCheck(!it.fileInfo().isSymLink(), "the extraction made no symbolic link");
    }
    FuzzCheck(progress.maximum >= 0, "the progress maximum is an entry count");
    return 0;
}
