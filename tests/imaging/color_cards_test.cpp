#include "imaging/color_cards.h"

#include "imaging/color_convert.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstring>

namespace {

// ci1 one colour, ci64 entry k a colour of its own (red = 4k, green = 255 - 4k, blue 7).
TimgColorInfo MakeInfo(int r, int g, int b)
{
    TimgColorInfo info;
    std::memset(&info, 0, sizeof info);
    CompleteColorInfo(info.ci1, r, g, b);
    for (int k = 0; k < 64; ++k)
        CompleteColorInfo(info.ci64[k], 4 * k, 255 - 4 * k, 7);
    return info;
}

QImage Solid(int w, int h, QRgb color)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(color);
    return img;
}

bool NearRgb(QRgb p, int r, int g, int b, int tolerance = 2)
{
    return std::abs(qRed(p) - r) <= tolerance && std::abs(qGreen(p) - g) <= tolerance &&
           std::abs(qBlue(p) - b) <= tolerance;
}

} // namespace

TEST(MakeColorInfoCard, FitsThePictureIntoTheTopSquareOverTransparency)
{
    struct Case {
        const char* name;
        int w, h;
        QRect expected; // where the picture lands
    };
    const Case cases[] = {
        {"landscape 400 x 300", 400, 300, QRect(0, 16, 128, 96)},
        {"portrait 100 x 200", 100, 200, QRect(32, 0, 64, 128)},
        {"small square, scaled up", 10, 10, QRect(0, 0, 128, 128)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage card = MakeColorInfoCard(MakeInfo(10, 20, 30), Solid(c.w, c.h, 0xFF00FF00));
        ASSERT_EQ(card.size(), QSize(128, 192));
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x) {
                const QRgb p = card.pixel(x, y);
                // One pixel of smoothing tolerance at the picture's edges.
                const QRect inner = c.expected.adjusted(1, 1, -1, -1);
                const QRect outer = c.expected.adjusted(-1, -1, 1, 1);
                if (inner.contains(x, y)) {
                    ASSERT_TRUE(qAlpha(p) == 255 && NearRgb(p, 0, 255, 0)) << x << ", " << y;
                } else if (!outer.contains(x, y)) {
                    ASSERT_EQ(qAlpha(p), 0) << x << ", " << y;
                }
            }
    }
}

TEST(MakeColorInfoCard, PutsTheSwatchAndTheGridUnderThePicture)
{
    const TimgColorInfo info = MakeInfo(200, 100, 50);
    const QImage card = MakeColorInfoCard(info, Solid(50, 50, 0xFF0000FF));
    EXPECT_TRUE(NearRgb(card.pixel(32, 160), 200, 100, 50)) << "swatch centre";
    EXPECT_TRUE(NearRgb(card.pixel(2, 190), 200, 100, 50)) << "swatch spans 64 units";
    EXPECT_EQ(qAlpha(card.pixel(0, 128)), 0) << "swatch corners are rounded";
    EXPECT_EQ(qAlpha(card.pixel(63, 191)), 0) << "swatch corners are rounded";
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j) {
            SCOPED_TRACE(testing::Message() << "grid " << i << ", " << j);
            const int k = i * 8 + j;
            const int x = 64 + 8 * j, y = 128 + 8 * i;
            EXPECT_TRUE(NearRgb(card.pixel(x + 3, y + 3), 4 * k, 255 - 4 * k, 7));
            EXPECT_TRUE(NearRgb(card.pixel(x + 1, y + 5), 4 * k, 255 - 4 * k, 7));
            EXPECT_EQ(qAlpha(card.pixel(x + 7, y + 3)), 0) << "one unit of gap to the right";
            EXPECT_EQ(qAlpha(card.pixel(x + 3, y + 7)), 0) << "one unit of gap below";
        }
}

TEST(DrawColorGrid, KeepsTheStoredAlphaOfEachEntry)
{
    TimgColorInfo info = MakeInfo(0, 0, 0);
    info.ci64[0].rgb = 0x00FF0000; // alpha 0: nothing shows
    info.ci64[1].rgb = 0x80FF0000; // half
    QImage img(64, 64, QImage::Format_ARGB32_Premultiplied);
    img.fill(0xFFFFFFFF);
    Canvas canvas(img);
    DrawColorGrid(canvas, 0, 0, info);
    EXPECT_EQ(img.pixel(3, 3), 0xFFFFFFFFu);
    const QRgb half = img.pixel(11, 3);
    EXPECT_EQ(qRed(half), 255);
    EXPECT_NEAR(qGreen(half), 127, 2);
    EXPECT_TRUE(NearRgb(img.pixel(19, 3), 8, 247, 7)) << "entry 2 is opaque";
}

TEST(DrawColorSwatch, PlacesTheSwatchAtItsPosition)
{
    QImage img(100, 100, QImage::Format_ARGB32_Premultiplied);
    img.fill(0xFFFFFFFF);
    Canvas canvas(img);
    DrawColorSwatch(canvas, 20.5f, 30, MakeInfo(0, 0, 255));
    EXPECT_TRUE(NearRgb(img.pixel(52, 62), 0, 0, 255));
    EXPECT_TRUE(NearRgb(img.pixel(25, 35), 0, 0, 255));
    EXPECT_EQ(img.pixel(19, 60), 0xFFFFFFFFu);
    EXPECT_EQ(img.pixel(86, 60), 0xFFFFFFFFu);
    EXPECT_EQ(img.pixel(50, 95), 0xFFFFFFFFu);

    QImage null;
    Canvas nullCanvas(null);
    DrawColorSwatch(nullCanvas, 0, 0, MakeInfo(0, 0, 255));
    DrawColorGrid(nullCanvas, 0, 0, MakeInfo(0, 0, 255));
    EXPECT_TRUE(null.isNull());
    EXPECT_FALSE(nullCanvas.inScene());
}

TEST(MakeColorInfoCard, ANullPictureLeavesTheSquareTransparent)
{
    const QImage card = MakeColorInfoCard(MakeInfo(1, 2, 3), QImage());
    ASSERT_EQ(card.size(), QSize(128, 192));
    int opaque = 0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            opaque += qAlpha(card.pixel(x, y)) != 0;
    EXPECT_EQ(opaque, 0);
    EXPECT_TRUE(NearRgb(card.pixel(32, 160), 1, 2, 3));
}
