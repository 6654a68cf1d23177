#pragma once
// The length-prefixed 8-bit strings of the stored records: one length byte, then N
// bytes of Windows-1252 characters. Bytes after the length are not significant; this
// system writes them as zeros. A stored length larger than N is read as N.

#include "platform/cp1252.h"

#include <QString>

#include <cstdint>
#include <cstring>
#include <type_traits>

template <int N>
struct ShortString {
    std::uint8_t len;
    char chars[N];

    static constexpr int capacity = N;

    // Text cut to N characters; characters the code page cannot hold become '?'.
    void set(const QString& text)
    {
        QByteArray bytes = toCp1252(text);
        if (bytes.size() > N)
            bytes.truncate(N);
        std::memset(chars, 0, N);
        std::memcpy(chars, bytes.constData(), static_cast<size_t>(bytes.size()));
        len = static_cast<std::uint8_t>(bytes.size());
    }
    QString get() const { return fromCp1252(QByteArray(chars, length())); }
    int length() const { return len > N ? N : len; }
    bool empty() const { return len == 0; }
    void clear() { len = 0; std::memset(chars, 0, N); }
};

static_assert(std::is_trivially_copyable_v<ShortString<10>>);
static_assert(sizeof(ShortString<250>) == 251);
static_assert(sizeof(ShortString<251>) == 252);
static_assert(sizeof(ShortString<255>) == 256);
