// Bitmap operations given values no window produces (from damaged project files).

#include "imaging/bitmap_ops.h"

#include <QImage>

#include <gtest/gtest.h>

#include <climits>
#include <limits>

TEST(ShiftRGB, ShiftsOfAnySizeSaturate)
{
    struct Case {
        const char* name;
        int dR, dG, dB;
        QRgb expected;
    };
    const Case cases[] = {
        {"small", 10, -10, 0, qRgb(110, 90, 100)},
        {"largest integers", INT_MAX, INT_MIN, INT_MAX, qRgb(255, 0, 255)},
        {"just beyond a channel", 256, -256, 155, qRgb(255, 0, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage img(2, 2, QImage::Format_ARGB32);
        img.fill(qRgb(100, 100, 100));
        ShiftRGB(img, c.dR, c.dG, c.dB);
        EXPECT_EQ(img.pixel(1, 1), c.expected);
    }
}

TEST(ShiftTowardColor, AnyFactorStaysWithinTheChannels)
{
    TimgColorInfo source{}, target{};
    source.ci1.rgb = 0xFF646464; // 100, 100, 100
    target.ci1.rgb = 0xFFC80032; // 200, 0, 50
    struct Case {
        const char* name;
        float factor;
        QRgb expected;
    };
    const Case cases[] = {
        {"half way", 0.5f, qRgb(150, 50, 75)},
        {"huge", 1e30f, qRgb(255, 0, 0)},
        {"huge negative", -1e30f, qRgb(0, 255, 255)},
        {"infinite", std::numeric_limits<float>::infinity(), qRgb(255, 0, 0)},
        {"not a number", std::numeric_limits<float>::quiet_NaN(), qRgb(100, 100, 100)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage img(2, 2, QImage::Format_ARGB32);
        img.fill(qRgb(100, 100, 100));
        ShiftTowardColor(img, source, target, c.factor);
        EXPECT_EQ(img.pixel(0, 0), c.expected);
    }
}
