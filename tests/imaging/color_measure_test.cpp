#include "imaging/color_measure.h"

#include "imaging/color_convert.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstring>

namespace {

QImage solid(int w, int h, QRgb color)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(color);
    return img;
}

TRectF rect(float l, float t, float r, float b)
{
    return TRectF{l, t, r, b};
}

TimgColorInfo garbage()
{
    TimgColorInfo info;
    std::memset(&info, 0xAB, sizeof info);
    return info;
}

void expectColour(const TColorInfo15& e, int r, int g, int b)
{
    EXPECT_EQ(e.rgba.r, r);
    EXPECT_EQ(e.rgba.g, g);
    EXPECT_EQ(e.rgba.b, b);
    EXPECT_EQ(e.rgba.a, 255);
    int L, ap, bp;
    RGBToLab(r, g, b, L, ap, bp);
    EXPECT_EQ(e.Lab.X, float(L));
    EXPECT_EQ(e.Lab.Y, float(ap - 128));
    EXPECT_EQ(e.Lab.Z, float(bp - 128));
    EXPECT_EQ(e.Lab.W, 1.0f);
}

bool hslUntouched(const TColorInfo15& e)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(&e.hsl);
    for (size_t i = 0; i < sizeof e.hsl; ++i)
        if (bytes[i] != 0xAB) return false;
    return true;
}

} // namespace

TEST(GetImgColorInfo, AUniformRegionGivesItsColourEverywhere)
{
    const QImage img = solid(37, 23, qRgb(200, 100, 50));
    struct Case {
        const char* name;
        TRectF r;
    };
    const Case cases[] = {{"whole", rect(0, 0, 37, 23)},
                          {"fractional", rect(1.25f, 2.5f, 30.75f, 20)},
                          {"smaller than a sample grid", rect(3, 3, 5.5f, 4)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TimgColorInfo info = garbage();
        ASSERT_TRUE(GetImgColorInfo8(info, img, c.r));
        for (const TColorInfo15* e : {&info.ci1, &info.ci4[0], &info.ci4[1], &info.ci4[2], &info.ci4[3]}) {
            EXPECT_EQ(e->rgb, 0xFFC86432u);
            expectColour(*e, 200, 100, 50);
            EXPECT_EQ(e->Lab.X, 74.0f);
            EXPECT_EQ(e->Lab.Y, 17.0f);
            EXPECT_EQ(e->Lab.Z, 32.0f);
            EXPECT_TRUE(hslUntouched(*e));
        }
        for (const TColorInfo15& e : info.ci64) {
            EXPECT_EQ(e.rgb, 0xFFC86432u);
            expectColour(e, 200, 100, 50);
            EXPECT_TRUE(hslUntouched(e));
        }

        TimgColorInfo info16 = garbage();
        ASSERT_TRUE(GetImgColorInfo16(info16, img, c.r));
        for (const TColorInfo15* e : {&info16.ci1, &info16.ci4[0], &info16.ci4[1], &info16.ci4[2], &info16.ci4[3]}) {
            EXPECT_EQ(e->rgb, 0xFFC86432u);
            expectColour(*e, 200, 100, 50);
        }
    }
}

TEST(GetImgColorInfo8, OneToOneSamplesAreThePixels)
{
    // An 8 x 8 window of a larger picture, at an integer offset: ci64 is the window.
    QImage img(20, 12, QImage::Format_RGB32);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x)
            img.setPixel(x, y, qRgb(x * 12, y * 20, (x * y) % 256));
    TimgColorInfo info = garbage();
    ASSERT_TRUE(GetImgColorInfo8(info, img, rect(5, 3, 13, 11)));
    int sums[4][3] = {};
    int weighted[3] = {};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const QRgb p = img.pixel(5 + x, 3 + y);
            const TColorInfo15& e = info.ci64[y * 8 + x];
            SCOPED_TRACE(testing::Message() << x << "," << y);
            EXPECT_EQ(e.rgb, p);
            expectColour(e, qRed(p), qGreen(p), qBlue(p));
            const int q = (y / 4) * 2 + x / 4;
            sums[q][0] += qRed(p);
            sums[q][1] += qGreen(p);
            sums[q][2] += qBlue(p);
            weighted[0] += CenterWeights[y * 8 + x] * qRed(p);
            weighted[1] += CenterWeights[y * 8 + x] * qGreen(p);
            weighted[2] += CenterWeights[y * 8 + x] * qBlue(p);
        }
    for (int q = 0; q < 4; ++q) {
        SCOPED_TRACE(q);
        expectColour(info.ci4[q], sums[q][0] / 16, sums[q][1] / 16, sums[q][2] / 16);
        EXPECT_EQ(info.ci4[q].rgb, MakeColor(sums[q][0] / 16, sums[q][1] / 16, sums[q][2] / 16, 255));
    }
    expectColour(info.ci1, weighted[0] / 424, weighted[1] / 424, weighted[2] / 424);
}

TEST(GetImgColorInfo8, BlackAndWhiteHalvesGiveA127Disc)
{
    QImage img = solid(8, 8, qRgb(0, 0, 0));
    for (int y = 0; y < 8; ++y)
        for (int x = 4; x < 8; ++x)
            img.setPixel(x, y, qRgb(255, 255, 255));
    TimgColorInfo info = garbage();
    ASSERT_TRUE(GetImgColorInfo8(info, img, rect(0, 0, 8, 8)));
    expectColour(info.ci4[0], 0, 0, 0);
    expectColour(info.ci4[2], 0, 0, 0);
    expectColour(info.ci4[1], 255, 255, 255);
    expectColour(info.ci4[3], 255, 255, 255);
    // 212 of the 424 weight units are white: 127.5, truncated.
    expectColour(info.ci1, 127, 127, 127);
    EXPECT_EQ(info.ci1.rgb, 0xFF7F7F7Fu);
}

TEST(GetImgColorInfo8, BlackCornersDoNotReachTheDisc)
{
    QImage img = solid(8, 8, qRgb(255, 255, 255));
    for (const auto& [x, y] : {std::pair{0, 0}, {7, 0}, {0, 7}, {7, 7}})
        img.setPixel(x, y, qRgb(0, 0, 0));
    TimgColorInfo info = garbage();
    ASSERT_TRUE(GetImgColorInfo8(info, img, rect(0, 0, 8, 8)));
    expectColour(info.ci1, 255, 255, 255);
    for (int q = 0; q < 4; ++q)
        expectColour(info.ci4[q], 15 * 255 / 16, 15 * 255 / 16, 15 * 255 / 16);
}

TEST(GetImgColorInfo8, QuadrantMeansAreTruncated)
{
    // Quadrant 0: fifteen pixels of 128 and one of 127, a mean of 127.94.
    QImage img = solid(8, 8, qRgb(128, 128, 128));
    img.setPixel(2, 1, qRgb(127, 127, 127));
    TimgColorInfo info = garbage();
    ASSERT_TRUE(GetImgColorInfo8(info, img, rect(0, 0, 8, 8)));
    expectColour(info.ci4[0], 127, 127, 127);
    expectColour(info.ci4[1], 128, 128, 128);
}

TEST(GetImgColorInfo16, LeavesTheGridAloneAndTakesThePlainMean)
{
    QImage img(16, 16, QImage::Format_RGB32);
    int total[3] = {};
    int quad[4][3] = {};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb p = qRgb((x * 17) % 256, (y * 13 + x) % 256, (x ^ y) * 16 % 256);
            img.setPixel(x, y, p);
            const int q = (y / 8) * 2 + x / 8;
            const int c[3] = {qRed(p), qGreen(p), qBlue(p)};
            for (int i = 0; i < 3; ++i) {
                total[i] += c[i];
                quad[q][i] += c[i];
            }
        }
    TimgColorInfo info = garbage();
    const TimgColorInfo before = info;
    ASSERT_TRUE(GetImgColorInfo16(info, img, rect(0, 0, 16, 16)));
    EXPECT_EQ(std::memcmp(info.ci64, before.ci64, sizeof info.ci64), 0);
    expectColour(info.ci1, total[0] / 256, total[1] / 256, total[2] / 256);
    for (int q = 0; q < 4; ++q) {
        SCOPED_TRACE(q);
        expectColour(info.ci4[q], quad[q][0] / 64, quad[q][1] / 64, quad[q][2] / 64);
        EXPECT_TRUE(hslUntouched(info.ci4[q]));
    }
    EXPECT_TRUE(hslUntouched(info.ci1));
}

TEST(GetImgColorInfo, ARegionOutsideTheBitmapIsBlack)
{
    const QImage img = solid(10, 10, qRgb(200, 100, 50));
    struct Case {
        const char* name;
        TRectF r;
    };
    const Case cases[] = {
        {"wholly outside", rect(20, 20, 30, 30)}, {"zero width", rect(2, 2, 2, 8)}, {"zero height", rect(2, 5, 8, 5)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TimgColorInfo info = garbage();
        ASSERT_TRUE(GetImgColorInfo8(info, img, c.r));
        expectColour(info.ci1, 0, 0, 0);
        for (const TColorInfo15& e : info.ci4)
            expectColour(e, 0, 0, 0);
        for (const TColorInfo15& e : info.ci64) {
            EXPECT_EQ(e.rgb, 0u);
            expectColour(e, 0, 0, 0);
        }
        TimgColorInfo info16 = garbage();
        ASSERT_TRUE(GetImgColorInfo16(info16, img, c.r));
        expectColour(info16.ci1, 0, 0, 0);
        EXPECT_EQ(info16.ci1.rgb, 0xFF000000u);
    }
}

TEST(GetImgColorInfo8, ARegionHalfOutsideIsDarkerAndKeepsTheSampledAlpha)
{
    const QImage img = solid(8, 8, qRgb(255, 255, 255));
    TimgColorInfo info = garbage();
    ASSERT_TRUE(GetImgColorInfo8(info, img, rect(-8, 0, 8, 8)));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const TColorInfo15& e = info.ci64[y * 8 + x];
            EXPECT_EQ(e.rgb, x < 4 ? 0u : 0xFFFFFFFFu) << x << "," << y;
        }
    expectColour(info.ci4[0], 0, 0, 0);
    expectColour(info.ci4[1], 255, 255, 255);
    expectColour(info.ci1, 127, 127, 127);
}

TEST(GetImgColorInfo8, TranslucentPixelsAreReadPremultiplied)
{
    QImage img(8, 8, QImage::Format_ARGB32);
    img.fill(qRgba(255, 0, 0, 128));
    TimgColorInfo info = garbage();
    ASSERT_TRUE(GetImgColorInfo8(info, img, rect(0, 0, 8, 8)));
    EXPECT_EQ(info.ci64[9].rgb, qRgba(128, 0, 0, 128));
    expectColour(info.ci64[9], 128, 0, 0);
    expectColour(info.ci1, 128, 0, 0);
    EXPECT_EQ(info.ci1.rgb, 0xFF800000u);
}
