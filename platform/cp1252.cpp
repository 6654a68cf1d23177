#include "platform/cp1252.h"

#include <array>

namespace {

// Unicode code points of bytes 0x80..0x9F; 0 marks the five bytes the code page leaves
// undefined, which we read as their C1 control characters.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

int byteFor(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == u && u != 0)
            return 0x80 + i;
    return -1;
}

} // namespace

QByteArray toCp1252(const QString& text, bool* exact)
{
    QByteArray out;
    out.reserve(text.size());
    bool allKept = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i; // one replacement for the whole pair
        const int b = c.isSurrogate() ? -1 : byteFor(c.unicode());
        if (b < 0) {
            out.append('?');
            allKept = false;
        } else {
            out.append(static_cast<char>(b));
        }
    }
    if (exact)
        *exact = allKept;
    return out;
}

QString fromCp1252(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b < 0xA0 && kHigh[b - 0x80] != 0)
            out.append(QChar(kHigh[b - 0x80]));
        else
            out.append(QChar(b));
    }
    return out;
}

bool fitsCp1252(const QString& text)
{
    bool exact = false;
    toCp1252(text, &exact);
    return exact;
}
