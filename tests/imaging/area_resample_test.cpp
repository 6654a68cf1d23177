#include "imaging/area_resample.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

namespace {

QImage randomImage(int w, int h, std::uint32_t seed, QImage::Format format = QImage::Format_ARGB32_Premultiplied)
{
    std::mt19937 rng(seed);
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int a = static_cast<int>(rng() % 256);
            const int r = static_cast<int>(rng() % (a + 1));
            const int g = static_cast<int>(rng() % (a + 1));
            const int b = static_cast<int>(rng() % (a + 1));
            img.setPixel(x, y, qRgba(r, g, b, a));
        }
    return format == img.format() ? img : img.convertToFormat(format);
}

QImage solid(int w, int h, QRgb color)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(color);
    return img;
}

// The definition the resampler must agree with: every target pixel is the integral of
// the premultiplied source over its area, divided by that area, outside = 0.
double referenceChannel(const QImage& pm, const QRectF& r, int W, int H, int tx, int ty, int shift)
{
    const double x0 = r.left() + r.width() * tx / W, x1 = r.left() + r.width() * (tx + 1) / W;
    const double y0 = r.top() + r.height() * ty / H, y1 = r.top() + r.height() * (ty + 1) / H;
    double sum = 0;
    for (int y = std::max(0, int(std::floor(y0))); y < std::min(pm.height(), int(std::ceil(y1))); ++y) {
        const double cy = std::min<double>(y + 1, y1) - std::max<double>(y, y0);
        for (int x = std::max(0, int(std::floor(x0))); x < std::min(pm.width(), int(std::ceil(x1))); ++x) {
            const double cx = std::min<double>(x + 1, x1) - std::max<double>(x, x0);
            sum += cx * cy * ((pm.pixel(x, y) >> shift) & 0xFF);
        }
    }
    return sum / ((x1 - x0) * (y1 - y0));
}

} // namespace

TEST(AreaResample, OneToOneIsTheIdentity)
{
    const QImage src = randomImage(13, 9, 1);
    const QImage out = AreaResample(src, QRectF(0, 0, 13, 9), 13, 9);
    ASSERT_EQ(out.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(out, src);

    // A one-to-one window at an integer offset copies exactly that window.
    const QImage window = AreaResample(src, QRectF(3, 2, 8, 5), 8, 5);
    EXPECT_EQ(window, src.copy(3, 2, 8, 5));
}

TEST(AreaResample, HalvingAveragesEachTwoByTwoBlockExactly)
{
    const QImage src = randomImage(16, 10, 2);
    const QImage out = AreaResample(src, QRectF(0, 0, 16, 10), 8, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x)
            for (int shift : {0, 8, 16, 24}) {
                int sum = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        sum += (src.pixel(2 * x + dx, 2 * y + dy) >> shift) & 0xFF;
                SCOPED_TRACE(testing::Message() << x << "," << y << " shift " << shift);
                // The mean with halves rounded up.
                EXPECT_EQ(int((out.pixel(x, y) >> shift) & 0xFF), (sum + 2) / 4);
            }
}

TEST(AreaResample, FractionalEdgesWeighPartlyCoveredPixelsByTheirCover)
{
    QImage src(3, 1, QImage::Format_ARGB32_Premultiplied);
    src.setPixel(0, 0, qRgba(100, 0, 0, 255));
    src.setPixel(1, 0, qRgba(40, 0, 0, 255));
    src.setPixel(2, 0, qRgba(200, 0, 0, 255));
    // Half of pixel 0, all of pixel 1, half of pixel 2: (50 + 40 + 100) / 2.
    const QImage out = AreaResample(src, QRectF(0.5, 0, 2, 1), 1, 1);
    EXPECT_EQ(qRed(out.pixel(0, 0)), 95);
    EXPECT_EQ(qAlpha(out.pixel(0, 0)), 255);
}

TEST(AreaResample, AgreesWithTheAreaIntegralOnFractionalRectangles)
{
    struct Case {
        const char* name;
        int sw, sh;
        QRectF rect;
        int W, H;
    };
    const Case cases[] = {
        {"shrink", 40, 30, QRectF(1.3, 2.7, 35.2, 21.9), 8, 8},
        {"shrink wide", 200, 7, QRectF(0.5, 0.25, 199, 6.5), 3, 2},
        {"enlarge", 5, 4, QRectF(0.2, 0.4, 3.1, 2.9), 11, 7},
        {"partly outside", 20, 20, QRectF(-6.5, 12.25, 15, 14), 8, 8},
        {"mixed", 33, 17, QRectF(2.1, 0.9, 30.4, 3.3), 16, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage src = randomImage(c.sw, c.sh, 7);
        const QImage out = AreaResample(src, c.rect, c.W, c.H);
        ASSERT_EQ(out.size(), QSize(c.W, c.H));
        int worst = 0;
        for (int y = 0; y < c.H; ++y)
            for (int x = 0; x < c.W; ++x)
                for (int shift : {0, 8, 16, 24}) {
                    const double ref = referenceChannel(src, c.rect, c.W, c.H, x, y, shift);
                    const int got = (out.pixel(x, y) >> shift) & 0xFF;
                    worst = std::max(worst, int(std::lround(std::abs(got - ref) * 1000)));
                }
        // Rounding to whole units: never more than half a unit plus float noise.
        EXPECT_LE(worst, 501);
    }
}

TEST(AreaResample, AUniformColourStaysExactUnderAnyInsideRectangle)
{
    const QImage src = solid(37, 23, qRgba(200, 100, 50, 255));
    for (const QRectF& r : {QRectF(0.3, 0.7, 13.6, 8.4), QRectF(1, 1, 35, 21), QRectF(5.5, 3.25, 0.5, 0.75)}) {
        const QImage out = AreaResample(src, r, 8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_EQ(out.pixel(x, y), 0xFFC86432u) << x << "," << y;
    }
    // Tens of thousands of pixels summed into one stay exact as well.
    const QImage wide = solid(60000, 3, qRgba(200, 100, 50, 255));
    for (const QRectF& r : {QRectF(0, 0, 60000, 3), QRectF(0.1, 0.5, 59999.8, 2.25)})
        for (int W : {1, 3}) {
            const QImage out = AreaResample(wide, r, W, 1);
            for (int x = 0; x < W; ++x)
                ASSERT_EQ(out.pixel(x, 0), 0xFFC86432u) << x;
        }
}

TEST(AreaResample, OutsideTheSourceIsTransparentBlack)
{
    const QImage src = solid(2, 2, qRgba(255, 255, 255, 255));
    // Half the target lies left of the bitmap: half the alpha, half the colour.
    const QImage half = AreaResample(src, QRectF(-2, 0, 4, 2), 1, 1);
    EXPECT_EQ(half.pixel(0, 0), qRgba(128, 128, 128, 128));
    // Two target pixels: the outside one is 0, the inside one white.
    const QImage split = AreaResample(src, QRectF(-2, 0, 4, 2), 2, 1);
    EXPECT_EQ(split.pixel(0, 0), 0u);
    EXPECT_EQ(split.pixel(1, 0), 0xFFFFFFFFu);

    const QImage away = AreaResample(src, QRectF(10, 10, 4, 4), 3, 3);
    ASSERT_EQ(away.size(), QSize(3, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(away.pixel(x, y), 0u);
}

TEST(AreaResample, EmptyRectanglesAndZeroSizes)
{
    const QImage src = solid(4, 4, qRgba(10, 20, 30, 255));
    EXPECT_TRUE(AreaResample(src, QRectF(0, 0, 4, 4), 0, 5).isNull());
    EXPECT_TRUE(AreaResample(src, QRectF(0, 0, 4, 4), 5, -1).isNull());

    struct Case {
        const char* name;
        QRectF rect;
    };
    const Case cases[] = {{"zero width", QRectF(1, 1, 0, 2)},
                          {"zero height", QRectF(1, 1, 2, 0)},
                          {"negative width", QRectF(3, 0, -2, 2)},
                          {"not a number", QRectF(std::nan(""), 0, 2, 2)},
                          {"far away", QRectF(-1e12, -1e12, 3, 3)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage out = AreaResample(src, c.rect, 2, 2);
        ASSERT_EQ(out.size(), QSize(2, 2));
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                EXPECT_EQ(out.pixel(x, y), 0u);
    }
    const QImage fromNull = AreaResample(QImage(), QRectF(0, 0, 1, 1), 2, 2);
    ASSERT_EQ(fromNull.size(), QSize(2, 2));
    EXPECT_EQ(fromNull.pixel(1, 1), 0u);
}

TEST(AreaResample, EveryPixelFormatGivesThePremultipliedResult)
{
    // A straight-alpha picture and its premultiplied conversion give the same bytes.
    std::mt19937 rng(3);
    QImage straight(12, 10, QImage::Format_ARGB32);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            straight.setPixel(x, y, rng());
    const QImage premultiplied = straight.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRectF r(1.5, 0.5, 9, 8.5);
    const QImage expected = AreaResample(premultiplied, r, 4, 3);
    EXPECT_EQ(AreaResample(straight, r, 4, 3), expected);
    // Another byte order holding the same premultiplied values.
    EXPECT_EQ(AreaResample(premultiplied.convertToFormat(QImage::Format_RGBA8888_Premultiplied), r, 4, 3), expected);

    // Opaque formats: RGB32 and a 24-bit format agree with each other.
    const QImage rgb32 = randomImage(12, 10, 4).convertToFormat(QImage::Format_RGB32);
    const QImage rgb888 = rgb32.convertToFormat(QImage::Format_RGB888);
    const QImage a = AreaResample(rgb32, QRectF(0.25, 0.5, 11, 9), 5, 4);
    EXPECT_EQ(a, AreaResample(rgb888, QRectF(0.25, 0.5, 11, 9), 5, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(qAlpha(a.pixel(x, y)), 255);

    // Straight alpha is premultiplied before averaging: red 255 at alpha 128 reads 128.
    const QImage halfRed = solid(3, 3, qRgba(255, 0, 0, 128));
    EXPECT_EQ(AreaResample(halfRed, QRectF(0, 0, 3, 3), 1, 1).pixel(0, 0), qRgba(128, 0, 0, 128));
}

TEST(AreaResample, EnlargingRepeatsAPixel)
{
    const QImage src = solid(1, 1, qRgba(9, 99, 199, 255));
    const QImage out = AreaResample(src, QRectF(0, 0, 1, 1), 4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(out.pixel(x, y), qRgba(9, 99, 199, 255));
}

TEST(AreaResample, StrongReductionAveragesEveryCoveredPixel)
{
    // 1000 columns into 2: each half's mean, exactly.
    QImage src(1000, 3, QImage::Format_RGB32);
    for (int x = 0; x < 1000; ++x)
        for (int y = 0; y < 3; ++y)
            src.setPixel(x, y, x < 500 ? qRgb(x % 2 ? 255 : 0, 0, 0) : qRgb(0, 0, 100));
    const QImage out = AreaResample(src, QRectF(0, 0, 1000, 3), 2, 1);
    EXPECT_EQ(qRed(out.pixel(0, 0)), 128); // 127.5 rounds up
    EXPECT_EQ(qBlue(out.pixel(0, 0)), 0);
    EXPECT_EQ(qBlue(out.pixel(1, 0)), 100);
    EXPECT_EQ(qRed(out.pixel(1, 0)), 0);
}
