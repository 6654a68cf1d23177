#include "platform/cp1252.h"
#include "platform/short_string.h"

#include <gtest/gtest.h>

TEST(Cp1252, RoundTripsEveryCharacterTheCodePageHolds)
{
    struct Case { const char* name; QString text; QByteArray bytes; };
    const Case cases[] = {
        {"ascii", QStringLiteral("a.jpg"), QByteArray("a.jpg")},
        {"latin-1", QString::fromUtf8("Größe"), QByteArray("Gr\xF6\xDF" "e")},
        {"euro sign", QString::fromUtf8("€5"), QByteArray("\x80" "5")},
        {"curly quotes", QString::fromUtf8("“x”"), QByteArray("\x93x\x94")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool exact = false;
        EXPECT_EQ(toCp1252(c.text, &exact), c.bytes);
        EXPECT_TRUE(exact);
        EXPECT_EQ(fromCp1252(c.bytes), c.text);
    }
}

TEST(Cp1252, ReplacesWhatItCannotHoldAndSaysSo)
{
    bool exact = true;
    EXPECT_EQ(toCp1252(QString::fromUtf8("猫.jpg"), &exact), QByteArray("?.jpg"));
    EXPECT_FALSE(exact);
    EXPECT_FALSE(fitsCp1252(QString::fromUtf8("😀")));
    EXPECT_EQ(toCp1252(QString::fromUtf8("😀")), QByteArray("?")); // one mark for a surrogate pair
}

TEST(ShortString, CutsToCapacityAndZeroesTheTail)
{
    ShortString<10> s;
    std::memset(&s, 0xAB, sizeof s);
    s.set(QStringLiteral("abcdefghijklmnop"));
    EXPECT_EQ(s.len, 10);
    EXPECT_EQ(s.get(), QStringLiteral("abcdefghij"));
    s.set(QStringLiteral("ab"));
    EXPECT_EQ(s.len, 2);
    for (int i = 2; i < 10; ++i)
        EXPECT_EQ(s.chars[i], 0) << i;
}

TEST(ShortString, ReadsAnOversizedLengthAsCapacity)
{
    ShortString<4> s;
    s.len = 200;
    std::memcpy(s.chars, "wxyz", 4);
    EXPECT_EQ(s.get(), QStringLiteral("wxyz"));
}
