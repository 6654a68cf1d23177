#include "platform/number_format.h"

#include <gtest/gtest.h>

TEST(FormatFixed, PadsAndUsesTheLocaleSeparator)
{
    struct Case { const char* name; double v; int dec, width; QLocale locale; const char* text; };
    const Case cases[] = {
        {"two decimals", 2974.0, 2, 4, QLocale::c(), "2974.00"},
        {"negative", -380.0, 2, 4, QLocale::c(), "-380.00"},
        {"zero never pads", 0.0, 2, 4, QLocale::c(), "0.00"},
        {"right-aligned in six", 7.25, 2, 6, QLocale::c(), "  7.25"},
        {"german comma", -400.0, 2, 4, QLocale(QLocale::German, QLocale::Germany), "-400,00"},
        {"no thousands separator", 12345.5, 2, 4, QLocale(QLocale::German, QLocale::Germany), "12345,50"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FormatFixed(c.v, c.dec, c.width, c.locale), QString(c.text));
    }
}

TEST(FormatInt, RightAlignsLikePrintf)
{
    EXPECT_EQ(FormatInt(1, 3), QString("  1"));
    EXPECT_EQ(FormatInt(12, 4), QString("  12"));
    EXPECT_EQ(FormatInt(1234567, 3), QString("1234567"));
}

TEST(ParseUserNumber, AcceptsTheLocaleFormatAndRefusesText)
{
    double v = 0;
    EXPECT_TRUE(ParseUserNumber("18", v, QLocale::c()));
    EXPECT_EQ(v, 18.0);
    EXPECT_TRUE(ParseUserNumber("2,5", v, QLocale(QLocale::German)));
    EXPECT_EQ(v, 2.5);
    EXPECT_FALSE(ParseUserNumber("abc", v, QLocale::c()));
    EXPECT_FALSE(ParseUserNumber("", v, QLocale::c()));
}
