#include "imaging/bitmap_ops.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

QImage solid(int w, int h, QRgb straight)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor::fromRgba(straight));
    return img;
}

// A picture whose pixel (x, y) is colourOf(x, y), straight ARGB.
QImage painted(int w, int h, const std::function<QRgb(int, int)>& colourOf)
{
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, colourOf(x, y));
    return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QRgb straightAt(const QImage& img, int x, int y) { return img.pixelColor(x, y).rgba(); }

::testing::AssertionResult colourNear(const QImage& img, int x, int y, QRgb expected, int tolerance = 0)
{
    const QRgb got = straightAt(img, x, y);
    const int d[] = {qRed(got) - qRed(expected), qGreen(got) - qGreen(expected), qBlue(got) - qBlue(expected),
                     qAlpha(got) - qAlpha(expected)};
    for (int v : d)
        if (std::abs(v) > tolerance)
            return ::testing::AssertionFailure()
                   << "pixel (" << x << ", " << y << ") is " << std::hex << got << ", expected " << expected;
    return ::testing::AssertionSuccess();
}

// Area averaging of a uniform region may round one unit off; a misplaced source
// rectangle costs a third of a channel or more in these tests.
constexpr int kAveraging = 1;

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

TimgColorInfo infoWithColour(TAlphaColor rgb)
{
    TimgColorInfo info{};
    info.ci1.rgb = rgb;
    return info;
}

} // namespace

// Bands: red outside the expected source rectangle, green and blue halves inside it. A
// rectangle off by one source pixel brings red into the outermost target pixels.
TEST(ResizeFill, ShowsTheLargestCentredPartWithTheTargetProportions)
{
    auto landscapeBands = [](int x, int) { return x < 50 ? kRed : x < 200 ? kGreen : x < 350 ? kBlue : kRed; };
    auto portraitBands = [](int, int y) { return y < 50 ? kRed : y < 200 ? kGreen : y < 350 ? kBlue : kRed; };
    struct Case {
        const char* name;
        int w, h;
        std::function<QRgb(int, int)> colourOf;
        int W, H;
        bool bandsAcross; // true: green left, blue right; false: green top, blue bottom
    };
    const Case cases[] = {
        {"400x300 to 100x100, area-averaged", 400, 300, landscapeBands, 100, 100, true},
        {"400x300 to 200x200, interpolated", 400, 300, landscapeBands, 200, 200, true},
        {"300x400 to 100x100, area-averaged", 300, 400, portraitBands, 100, 100, false},
        {"300x400 to 200x200, interpolated", 300, 400, portraitBands, 200, 200, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage out = ResizeFill(painted(c.w, c.h, c.colourOf), c.W, c.H);
        ASSERT_EQ(out.size(), QSize(c.W, c.H));
        EXPECT_EQ(out.format(), QImage::Format_ARGB32_Premultiplied);
        const int half = c.W / 2;
        for (int i = 0; i < c.H; i += 7) {
            for (int along : {0, 1, half - 3, half + 3, c.W - 2, c.W - 1}) {
                const QRgb expected = along < half ? kGreen : kBlue;
                const int x = c.bandsAcross ? along : i;
                const int y = c.bandsAcross ? i : along;
                EXPECT_TRUE(colourNear(out, x, y, expected, kAveraging));
            }
        }
    }
}

TEST(ResizeFill, APictureWithTheTargetProportionsIsScaledWhole)
{
    // An 8-pixel red frame: every border pixel of a 4x reduction is red only if nothing
    // was cut.
    const QImage src = painted(400, 300, [](int x, int y) {
        return (x < 8 || y < 8 || x >= 392 || y >= 292) ? kRed : kGreen;
    });
    const QImage out = ResizeFill(src, 100, 75);
    ASSERT_EQ(out.size(), QSize(100, 75));
    for (QPoint p : {QPoint(0, 0), QPoint(1, 1), QPoint(99, 74), QPoint(98, 73), QPoint(50, 0), QPoint(0, 40)})
        EXPECT_TRUE(colourNear(out, p.x(), p.y(), kRed, kAveraging));
    for (QPoint p : {QPoint(2, 2), QPoint(97, 72), QPoint(50, 37)})
        EXPECT_TRUE(colourNear(out, p.x(), p.y(), kGreen, kAveraging));
}

TEST(ResizeFill, MayReplaceItsOwnSourceAndRefusesEmptyTargets)
{
    QImage img = painted(300, 400, [](int, int y) { return y < 50 || y >= 350 ? kRed : kBlue; });
    img = ResizeFill(img, 30, 30);
    ASSERT_EQ(img.size(), QSize(30, 30));
    EXPECT_TRUE(colourNear(img, 0, 0, kBlue, kAveraging));
    EXPECT_TRUE(colourNear(img, 29, 29, kBlue, kAveraging));
    EXPECT_TRUE(ResizeFill(img, 0, 30).isNull());
    const QImage fromEmpty = ResizeFill(QImage(), 5, 4);
    ASSERT_EQ(fromEmpty.size(), QSize(5, 4));
    EXPECT_EQ(fromEmpty.pixel(2, 2), 0u);
}

TEST(FitBitmap, SizeIsTheTruncatedFitWithTheLimitingSideExact)
{
    struct Case {
        const char* name;
        int w, h, W, H;
        QSize expected;
    };
    const Case cases[] = {
        {"landscape into square", 400, 300, 32, 32, QSize(32, 24)},
        {"portrait into square", 300, 400, 32, 32, QSize(24, 32)},
        {"enlarged", 10, 10, 100, 50, QSize(50, 50)},
        {"truncated side", 3, 1, 10, 10, QSize(10, 3)},
        // 49 / 11 * 11 is 48.99999 in floating point; the fit is still 49 wide.
        {"limiting side free of rounding", 11, 5, 49, 49, QSize(49, 22)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FitBitmap(solid(c.w, c.h, kRed), c.W, c.H).size(), c.expected);
    }
}

TEST(FitBitmap, DrawsOverOpaqueWhiteAndIgnoresEmptyPictures)
{
    QImage src = solid(400, 300, 0x00000000);
    QPainter(&src).fillRect(0, 0, 200, 300, QColor(0, 0, 255)); // left half blue, right half transparent
    const QImage out = FitBitmap(src, 32, 32);
    ASSERT_EQ(out.size(), QSize(32, 24));
    EXPECT_TRUE(colourNear(out, 2, 12, kBlue, kAveraging));
    EXPECT_TRUE(colourNear(out, 30, 12, kWhite, kAveraging));
    EXPECT_TRUE(FitBitmap(QImage(), 32, 32).isNull());
    EXPECT_TRUE(FitBitmap(solid(1000, 1, kRed), 32, 32).isNull()) << "a fit 0 pixels high";
}

TEST(FitBitmapPadded, CentresTheFitOnBandsOfTheBackground)
{
    struct Case {
        const char* name;
        TAlphaColor background;
    };
    const Case cases[] = {{"opaque blue", 0xFF0000FF}, {"transparent white", 0x00FFFFFF}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage out = FitBitmapPadded(solid(400, 300, kGreen), 32, 32, c.background);
        ASSERT_EQ(out.size(), QSize(32, 32));
        const QRgb band = qAlpha(c.background) == 0 ? 0u : c.background;
        for (int x : {0, 15, 31}) {
            for (int y : {0, 3, 28, 31})
                EXPECT_EQ(out.pixel(x, y), band) << x << "," << y;
            for (int y : {4, 16, 27})
                EXPECT_TRUE(colourNear(out, x, y, kGreen, kAveraging));
        }
    }
    const QImage plain = FitBitmapPadded(QImage(), 8, 6, 0xFF123456);
    ASSERT_EQ(plain.size(), QSize(8, 6));
    EXPECT_TRUE(colourNear(plain, 4, 3, 0xFF123456));
}

TEST(DrawBitmapFit, CentresInABoxAtTheCanvasOrigin)
{
    QImage target = solid(64, 64, kWhite);
    Canvas canvas(target);
    DrawBitmapFit(canvas, solid(400, 300, kRed), QRect(10, 10, 32, 32));
    EXPECT_FALSE(canvas.inScene());
    // 32 x 24 at (0, 4): the box's own position is not used.
    EXPECT_TRUE(colourNear(target, 0, 4, kRed, kAveraging));
    EXPECT_TRUE(colourNear(target, 31, 27, kRed, kAveraging));
    for (QPoint p : {QPoint(5, 2), QPoint(5, 29), QPoint(33, 20), QPoint(40, 40)})
        EXPECT_TRUE(colourNear(target, p.x(), p.y(), kWhite)) << p.x() << "," << p.y();
}

TEST(GrayscaleBitmap, UsesTruncatedLumaOfTheStraightColour)
{
    struct Case {
        const char* name;
        QRgb in;
        int grey;
        int tolerance;
    };
    const Case cases[] = {
        {"red", 0xFFFF0000, 76, 0},          {"green", 0xFF00FF00, 149, 0},     {"blue", 0xFF0000FF, 29, 0},
        {"white stays white", kWhite, 255, 0}, {"grey stays grey", 0xFF646464, 100, 0},
        // In floating point 0.299 * 8 + 0.587 * 8 + 0.114 * 8 is 7.9999999.
        {"dark grey stays grey", 0xFF080808, 8, 0},  {"grey 64 stays grey", 0xFF404040, 64, 0},
        {"half-transparent red", 0x80FF0000, 76, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage img = solid(3, 2, c.in);
        GrayscaleBitmap(img);
        EXPECT_EQ(img.format(), QImage::Format_ARGB32_Premultiplied);
        EXPECT_TRUE(colourNear(img, 1, 1, qRgba(c.grey, c.grey, c.grey, qAlpha(c.in)), c.tolerance));
        EXPECT_EQ(qAlpha(img.pixel(2, 0)), qAlpha(c.in));
    }
}

TEST(GrayscaleBitmap, ConvertsOtherFormatsFirst)
{
    QImage img(2, 2, QImage::Format_RGB888);
    img.fill(QColor(255, 0, 0));
    GrayscaleBitmap(img);
    EXPECT_EQ(img.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_TRUE(colourNear(img, 0, 0, 0xFF4C4C4C));
}

TEST(ApplyAlphaMask, WeakAlphaBecomesTransparentBlackAndTheRestIsKept)
{
    struct Case {
        const char* name;
        int maskAlpha;
        bool cut;
    };
    const Case cases[] = {{"alpha 0", 0, true},          {"alpha 127", 127, true}, {"alpha 128", 128, false},
                          {"alpha 200", 200, false},     {"alpha 255", 255, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage target = solid(8, 8, 0xFFC86432);
        ApplyAlphaMask(target, solid(8, 8, qRgba(102, 204, 255, c.maskAlpha)));
        ASSERT_EQ(target.size(), QSize(8, 8));
        if (c.cut) {
            EXPECT_EQ(target.pixel(3, 3), 0u);
        } else {
            EXPECT_EQ(qAlpha(target.pixel(3, 3)), c.maskAlpha);
            EXPECT_TRUE(colourNear(target, 3, 3, qRgba(200, 100, 50, c.maskAlpha), 1));
        }
    }
}

TEST(ApplyAlphaMask, AStretchedMaskEndsSharplyAtHalfOpacity)
{
    // Left column opaque, right column transparent: smoothing gives a ramp, the threshold
    // cuts it at 128.
    QImage mask = solid(2, 2, 0x00000000);
    mask.setPixel(0, 0, 0xFF000000);
    mask.setPixel(0, 1, 0xFF000000);
    QImage target = solid(64, 64, 0xFF204060);
    ApplyAlphaMask(target, mask);
    EXPECT_EQ(qAlpha(target.pixel(0, 10)), 255);
    EXPECT_EQ(target.pixel(63, 10), 0u);
    int seenKept = 0;
    for (int x = 0; x < 64; ++x) {
        const int a = qAlpha(target.pixel(x, 30));
        EXPECT_TRUE(a == 0 || a >= 128) << "x " << x << " alpha " << a;
        seenKept += a >= 128 && a < 255;
    }
    EXPECT_GT(seenKept, 0) << "the smooth edge down to half opacity is kept";
}

TEST(ApplyAlphaMask, ATranslucentTargetKeepsItsStraightColourWithTheMasksAlpha)
{
    QImage target = solid(4, 4, 0x80C86432);
    ApplyAlphaMask(target, solid(4, 4, 0xFF000000));
    EXPECT_TRUE(colourNear(target, 1, 1, 0xFFC86432, 1));
    QImage faint = solid(4, 4, 0x10C86432);
    ApplyAlphaMask(faint, solid(4, 4, 0xC0000000));
    EXPECT_EQ(qAlpha(faint.pixel(1, 1)), 0xC0);
    EXPECT_TRUE(colourNear(faint, 1, 1, 0xC0C86432, 8)) << "the colour is as exact as 16 alpha levels allow";
}

TEST(ApplyAlphaMask, ANullMaskLeavesTheTarget)
{
    QImage target = solid(4, 4, 0xFF010203);
    ApplyAlphaMask(target, QImage());
    EXPECT_TRUE(colourNear(target, 1, 1, 0xFF010203));
}

TEST(ShiftRGB, MovesChannelsThroughClampedTables)
{
    struct Case {
        const char* name;
        int dR, dG, dB;
        QRgb in, out;
    };
    const Case cases[] = {
        {"saturating", 300, -300, 0, 0xFF0AC81E, 0xFFFF001E},
        {"saturating, other colour", 300, -300, 0, 0xFFFA0580, 0xFFFF0080},
        {"small offsets clamp at the ends", 10, -10, 5, 0xFFFA0564, 0xFFFF0069},
        {"none", 0, 0, 0, 0xFF123456, 0xFF123456},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage img = solid(4, 3, c.in);
        ShiftRGB(img, c.dR, c.dG, c.dB);
        EXPECT_TRUE(colourNear(img, 0, 0, c.out));
        EXPECT_TRUE(colourNear(img, 3, 2, c.out));
    }
    QImage translucent = solid(2, 2, 0x800A141E);
    ShiftRGB(translucent, 300, -300, 0);
    EXPECT_EQ(qAlpha(translucent.pixel(0, 0)), 0x80);
    EXPECT_TRUE(colourNear(translucent, 0, 0, 0x80FF001E, 1));
}

TEST(ShiftTowardColor, MovesAFractionOfTheWayTruncatingTowardZero)
{
    struct Case {
        const char* name;
        TAlphaColor from, to;
        float factor;
        QRgb in, out;
    };
    const Case cases[] = {
        // (40, -20, 0): 0.4 of (100, -50, 0).
        {"tile grey toward cell colour", 0xFF646464, 0xFFC83264, 0.4f, 0xFF32963C, 0xFF5A823C},
        // 0.5 * -3 = -1.5 moves by -1, not -2.
        {"negative halves truncate", 0xFF646464, 0xFF616161, 0.5f, 0xFF646464, 0xFF636363},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage img = solid(2, 2, c.in);
        ShiftTowardColor(img, infoWithColour(c.from), infoWithColour(c.to), c.factor);
        EXPECT_TRUE(colourNear(img, 1, 1, c.out));
    }
}

TEST(BlendBitmap, DrawsAPartOverTheTargetAtOpacity)
{
    QImage dst = solid(10, 10, kRed);
    BlendBitmap(dst, solid(4, 4, kBlue), TRectF{0, 0, 4, 4}, TRectF{0, 0, 5, 10}, 0.25f);
    EXPECT_TRUE(colourNear(dst, 2, 5, qRgb(191, 0, 64), 1));
    EXPECT_TRUE(colourNear(dst, 8, 5, kRed));
}

TEST(BlendBitmap, WorksInsideTheCallersScene)
{
    QImage dst = solid(10, 10, kRed);
    Canvas canvas(dst);
    {
        Canvas::Scene outer(canvas);
        BlendBitmap(canvas, solid(4, 4, kBlue), TRectF{0, 0, 4, 4}, TRectF{5, 0, 10, 10}, 1.0f);
        EXPECT_TRUE(canvas.inScene());
    }
    EXPECT_TRUE(colourNear(dst, 8, 5, kBlue));
    EXPECT_TRUE(colourNear(dst, 2, 5, kRed));
}

TEST(RotateBitmap, QuarterTurnKeepsTheSizeWithBlackBands)
{
    QImage img = solid(200, 100, kWhite);
    RotateBitmap(img, 90.0f);
    ASSERT_EQ(img.size(), QSize(200, 100));
    for (int y : {0, 50, 99}) {
        for (int x : {0, 45, 155, 199})
            EXPECT_TRUE(colourNear(img, x, y, kBlack));
        for (int x : {55, 100, 145})
            EXPECT_TRUE(colourNear(img, x, y, kWhite));
    }
}

TEST(RotateBitmap, PositiveAnglesTurnClockwise)
{
    // Top half red, bottom half blue: a clockwise quarter turn puts red on the right.
    QImage img = painted(40, 40, [](int, int y) { return y < 20 ? kRed : kBlue; });
    RotateBitmap(img, 90.0f);
    EXPECT_TRUE(colourNear(img, 35, 20, kRed));
    EXPECT_TRUE(colourNear(img, 4, 20, kBlue));
}

TEST(RotateBitmap, ZeroChangesNothing)
{
    QImage img = painted(20, 10, [](int x, int) { return x < 3 ? kRed : kGreen; });
    const QImage before = img;
    RotateBitmap(img, 0.0f);
    EXPECT_EQ(img, before);
}

TEST(RotateBitmapTransparent, UncoveredCornersAreTransparent)
{
    QImage img = solid(200, 100, kWhite);
    RotateBitmapTransparent(img, 90.0);
    ASSERT_EQ(img.size(), QSize(200, 100));
    EXPECT_EQ(img.pixel(10, 50), 0u);
    EXPECT_EQ(img.pixel(190, 50), 0u);
    EXPECT_TRUE(colourNear(img, 100, 50, kWhite));
}

TEST(RotatedBitmapGrown, GrowsToTheBoundingBox)
{
    struct Case {
        const char* name;
        int w, h;
        double degrees;
        QSize expected;
    };
    const Case cases[] = {
        {"zero", 200, 100, 0.0, QSize(200, 100)},
        {"quarter turn", 200, 100, 90.0, QSize(100, 200)},
        {"half turn", 200, 100, 180.0, QSize(200, 100)},
        {"minus quarter turn", 200, 100, -90.0, QSize(100, 200)},
        {"45 degrees", 100, 100, 45.0, QSize(142, 142)},
        {"30 degrees", 200, 100, 30.0, QSize(224, 187)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage out = RotatedBitmapGrown(solid(c.w, c.h, kGreen), c.degrees);
        EXPECT_EQ(out.size(), c.expected);
        EXPECT_EQ(out.format(), QImage::Format_ARGB32_Premultiplied);
        EXPECT_TRUE(colourNear(out, out.width() / 2, out.height() / 2, kGreen));
    }
}

TEST(RotatedBitmapGrown, IsTransparentOutsideThePicture)
{
    const QImage diamond = RotatedBitmapGrown(solid(100, 100, kGreen), 45.0);
    for (QPoint p : {QPoint(0, 0), QPoint(141, 0), QPoint(0, 141), QPoint(141, 141), QPoint(20, 20)})
        EXPECT_EQ(diamond.pixel(p), 0u) << p.x() << "," << p.y();
    EXPECT_TRUE(colourNear(diamond, 71, 10, kGreen));
    const QImage turned = RotatedBitmapGrown(solid(200, 100, kGreen), 90.0);
    for (QPoint p : {QPoint(0, 0), QPoint(99, 0), QPoint(0, 199), QPoint(99, 199)})
        EXPECT_TRUE(colourNear(turned, p.x(), p.y(), kGreen)) << "a quarter turn fills the box exactly";
}

// A one-pixel checkerboard read from half a pixel off: every 8 x 8 area holds exactly half
// black and half white, while point samples land on pixel centres and alias.
TEST(DrawScaled, ShrinkingByMoreThanTwoAveragesAreas)
{
    const QImage board = painted(257, 257, [](int x, int y) { return (x + y) % 2 ? kWhite : kBlack; });
    struct Case {
        const char* name;
        qreal dpr;
        int pixels;
    };
    const Case cases[] = {{"plain bitmap", 1.0, 32}, {"high-DPI canvas", 2.0, 32}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage target = solid(c.pixels, c.pixels, kRed);
        target.setDevicePixelRatio(c.dpr);
        {
            Canvas canvas(target);
            Canvas::Scene scene(canvas);
            const double side = c.pixels / c.dpr;
            DrawScaled(scene.painter(), QRectF(0, 0, side, side), board, QRectF(0.5, 0.5, 256, 256));
        }
        for (int y = 0; y < c.pixels; ++y)
            for (int x = 0; x < c.pixels; ++x)
                ASSERT_TRUE(colourNear(target, x, y, qRgb(128, 128, 128), 1));
    }
}

TEST(DrawScaled, EnlargingInterpolatesSmoothly)
{
    const QImage two = painted(2, 1, [](int x, int) { return x == 0 ? kBlack : kWhite; });
    QImage target = solid(20, 1, kRed);
    {
        QPainter p(&target);
        DrawScaled(p, QRectF(0, 0, 20, 1), two);
    }
    int intermediate = 0;
    for (int x = 0; x < 20; ++x) {
        const int g = qGreen(target.pixel(x, 0));
        EXPECT_EQ(qRed(target.pixel(x, 0)), g) << "no red left at " << x;
        intermediate += g > 10 && g < 245;
    }
    EXPECT_GE(intermediate, 4) << "a smooth ramp, not nearest-neighbour blocks";
}

TEST(DrawScaled, AveragesAtTheDeviceResolutionOfAHighDpiCanvas)
{
    // Black left half, white right half: averaged to the 32 device pixels the edge stays
    // sharp; averaged to the 16 logical units and enlarged it would blur.
    const QImage src = painted(256, 4, [](int x, int) { return x < 128 ? kBlack : kWhite; });
    QImage target = solid(32, 2, kRed);
    target.setDevicePixelRatio(2.0);
    {
        Canvas canvas(target);
        Canvas::Scene scene(canvas);
        DrawScaled(scene.painter(), QRectF(0, 0, 16, 1), src);
    }
    for (int y = 0; y < 2; ++y) {
        EXPECT_TRUE(colourNear(target, 15, y, kBlack, 1));
        EXPECT_TRUE(colourNear(target, 16, y, kWhite, 1));
    }
}

TEST(DrawScaled, OnACanvasOpensItsOwnSceneOrJoinsTheCallers)
{
    QImage target = solid(8, 8, kRed);
    Canvas canvas(target);
    DrawScaled(canvas, QRectF(0, 0, 4, 8), solid(2, 2, kBlue));
    EXPECT_FALSE(canvas.inScene());
    {
        Canvas::Scene outer(canvas);
        DrawScaled(canvas, QRectF(4, 0, 4, 8), solid(2, 2, kGreen), 0.5);
        EXPECT_TRUE(canvas.inScene());
    }
    EXPECT_TRUE(colourNear(target, 1, 4, kBlue));
    EXPECT_TRUE(colourNear(target, 6, 4, qRgb(128, 128, 0), 1));
}
