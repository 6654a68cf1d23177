#pragma once
// Hand-made zip bytes for the extraction tests: archives with entries a zip library
// refuses to write (traversing names, symbolic links) and patches that damage archives
// written by WriteZip in controlled ways.

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <stdexcept>

namespace zipbytes {

inline std::uint32_t crc32(const QByteArray& data)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (char ch : data) {
        crc ^= static_cast<std::uint8_t>(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline void put16(QByteArray& out, std::uint32_t v)
{
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>((v >> 8) & 0xFF));
}
inline void put32(QByteArray& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
inline std::uint32_t get16(const QByteArray& in, qsizetype at)
{
    return static_cast<std::uint8_t>(in[at]) | (static_cast<std::uint32_t>(static_cast<std::uint8_t>(in[at + 1])) << 8);
}
inline std::uint32_t get32(const QByteArray& in, qsizetype at)
{
    return get16(in, at) | (get16(in, at + 2) << 16);
}
inline void set32(QByteArray& in, qsizetype at, std::uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        in[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
}

// A stored entry with a raw name and raw attributes.
struct RawEntry {
    QByteArray name;
    QByteArray data;
    std::uint32_t externalAttributes = 0100644u << 16;
    std::uint8_t opsys = 3; // Unix
};

inline RawEntry symlinkEntry(const QByteArray& name, const QByteArray& target)
{
    return RawEntry{name, target, 0120777u << 16, 3};
}

inline QByteArray buildStoredZip(const QList<RawEntry>& entries)
{
    QByteArray out, central;
    for (const RawEntry& e : entries) {
        const auto offset = static_cast<std::uint32_t>(out.size());
        const std::uint32_t crc = crc32(e.data);
        const auto size = static_cast<std::uint32_t>(e.data.size());
        put32(out, 0x04034b50);
        put16(out, 20);
        put16(out, 0);    // flags
        put16(out, 0);    // stored
        put16(out, 0);    // time
        put16(out, 0x21); // date 1980-01-01
        put32(out, crc);
        put32(out, size);
        put32(out, size);
        put16(out, static_cast<std::uint32_t>(e.name.size()));
        put16(out, 0);
        out += e.name;
        out += e.data;

        put32(central, 0x02014b50);
        put16(central, (static_cast<std::uint32_t>(e.opsys) << 8) | 20);
        put16(central, 20);
        put16(central, 0);
        put16(central, 0);
        put16(central, 0);
        put16(central, 0x21);
        put32(central, crc);
        put32(central, size);
        put32(central, size);
        put16(central, static_cast<std::uint32_t>(e.name.size()));
        put16(central, 0); // extra
        put16(central, 0); // comment
        put16(central, 0); // disk
        put16(central, 0); // internal attributes
        put32(central, e.externalAttributes);
        put32(central, offset);
        central += e.name;
    }
    const auto centralOffset = static_cast<std::uint32_t>(out.size());
    out += central;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<std::uint32_t>(entries.size()));
    put16(out, static_cast<std::uint32_t>(entries.size()));
    put32(out, static_cast<std::uint32_t>(central.size()));
    put32(out, centralOffset);
    put16(out, 0);
    return out;
}

// Where one entry of an archive (without archive comment or zip64 records) lies.
struct EntryLocation {
    qsizetype centralHeader = -1;
    qsizetype localHeader = -1;
    qsizetype dataStart = -1;
    std::uint32_t method = 0;
    std::uint32_t compressedSize = 0;
};

inline EntryLocation locate(const QByteArray& zip, const QByteArray& name)
{
    const qsizetype eocd = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (eocd < 0) throw std::runtime_error("no end record");
    const std::uint32_t count = get16(zip, eocd + 10);
    qsizetype at = get32(zip, eocd + 16);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t nameLen = get16(zip, at + 28);
        const std::uint32_t extraLen = get16(zip, at + 30);
        const std::uint32_t commentLen = get16(zip, at + 32);
        if (zip.mid(at + 46, nameLen) == name) {
            EntryLocation loc;
            loc.centralHeader = at;
            loc.localHeader = get32(zip, at + 42);
            loc.method = get16(zip, at + 10);
            loc.compressedSize = get32(zip, at + 20);
            loc.dataStart = loc.localHeader + 30 + get16(zip, loc.localHeader + 26) + get16(zip, loc.localHeader + 28);
            return loc;
        }
        at += 46 + nameLen + extraLen + commentLen;
    }
    throw std::runtime_error("entry not found");
}

// Makes an entry claim another uncompressed size, in both of its headers.
inline void setClaimedSize(QByteArray& zip, const QByteArray& name, std::uint32_t size)
{
    const EntryLocation loc = locate(zip, name);
    set32(zip, loc.localHeader + 22, size);
    set32(zip, loc.centralHeader + 24, size);
}

} // namespace zipbytes
