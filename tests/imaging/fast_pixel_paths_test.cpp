// The fast paths of the pixel operations against their plain rules: the vectorised
// area resampling against AreaResample, and the four-pixel blocks of ShiftRGB and of
// the mask cut against the per-pixel rule written out here.

#include "imaging/area_resample.h"
#include "imaging/bitmap_ops.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

int differingPixels(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

// Noise with runs of opaque, transparent and half-transparent pixels, so that both the
// four-pixel blocks and the per-pixel fallback are met.
QImage noise(int w, int h, std::mt19937& rng, QImage::Format format)
{
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int run = (x / 8 + y) % 4;
            const int a = run == 0 ? 255 : run == 1 ? 0 : run == 2 ? int(rng() % 256) : 255;
            img.setPixel(x, y, qRgba(int(rng() % 256), int(rng() % 256), int(rng() % 256), a));
        }
    return img.convertToFormat(format);
}

TEST(AreaResampleVectorised, GivesTheSameBitmapAsThePlainResampling)
{
    std::mt19937 rng(9);
    struct Case {
        const char* name;
        QImage::Format format;
        QRectF rect;
        int W, H;
    };
    const Case cases[] = {
        {"premultiplied, strong reduction", QImage::Format_ARGB32_Premultiplied, QRectF(0, 0, 308, 308), 78, 78},
        {"straight alpha, fractional part", QImage::Format_ARGB32, QRectF(3.3, 7.75, 200.5, 101.2), 37, 19},
        {"opaque, enlargement", QImage::Format_RGB32, QRectF(10, 10, 20, 30), 64, 90},
        {"partly outside", QImage::Format_ARGB32_Premultiplied, QRectF(-20.5, 100, 150, 200), 33, 41},
        {"another format", QImage::Format_RGB888, QRectF(0, 0, 120, 90), 17, 13},
        {"whole-pixel reduction by 4", QImage::Format_ARGB32_Premultiplied, QRectF(0, 0, 320, 320), 80, 80},
        {"by 2, opaque, offset", QImage::Format_RGB32, QRectF(6, 4, 300, 200), 150, 100},
        {"by 8, straight alpha", QImage::Format_ARGB32, QRectF(0, 8, 320, 160), 40, 20},
        {"by 4 across, 2 down: not uniform", QImage::Format_ARGB32_Premultiplied, QRectF(0, 0, 320, 160), 80, 80},
        {"by 3: weights not exact", QImage::Format_ARGB32_Premultiplied, QRectF(0, 0, 300, 300), 100, 100},
        {"by 4 but reaching outside", QImage::Format_ARGB32_Premultiplied, QRectF(-4, 0, 320, 320), 80, 80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage src = noise(337, 331, rng, c.format);
        const QImage a = AreaResample(src, c.rect, c.W, c.H);
        const QImage b = AreaResampleVectorised(src, c.rect, c.W, c.H);
        ASSERT_EQ(a.size(), b.size());
        EXPECT_EQ(differingPixels(a, b), 0);
        QImage blank(a.size(), a.format());
        blank.fill(0);
        EXPECT_GT(differingPixels(a, blank), 0); // not a blank result
    }
}

TEST(ShiftRGB, EveryPixelMovesByTheShiftClamped)
{
    struct Case {
        const char* name;
        int dR, dG, dB;
    };
    const Case cases[] = {{"up", 40, 3, 200}, {"down", -50, -1, -255}, {"mixed", 90, -70, 0}, {"beyond", 400, -300, 0}};
    std::mt19937 rng(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage src = noise(61, 9, rng, QImage::Format_ARGB32_Premultiplied);
        QImage fast = src;
        ShiftRGB(fast, c.dR, c.dG, c.dB);
        for (int y = 0; y < src.height(); ++y)
            for (int x = 0; x < src.width(); ++x) {
                const QRgb p = reinterpret_cast<const QRgb*>(src.constScanLine(y))[x];
                QRgb want = p;
                const int a = qAlpha(p);
                if (a != 0) {
                    const QRgb s = a == 255 ? p : qUnpremultiply(p);
                    const QRgb shifted = qRgba(std::clamp(qRed(s) + c.dR, 0, 255), std::clamp(qGreen(s) + c.dG, 0, 255),
                                               std::clamp(qBlue(s) + c.dB, 0, 255), a);
                    want = a == 255 ? shifted : qPremultiply(shifted);
                }
                ASSERT_EQ(reinterpret_cast<const QRgb*>(fast.constScanLine(y))[x], want) << x << "," << y;
            }
    }
}

TEST(ApplyStretchedAlphaMask, CutsEveryPixelByTheMaskRule)
{
    std::mt19937 rng(4);
    const QImage target = noise(53, 11, rng, QImage::Format_ARGB32_Premultiplied);
    // A mask with wide inside and outside runs and a soft edge between them.
    QImage mask(53, 11, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 53; ++x) {
            const int band = (x + 3 * y) % 20;
            const int A = band < 8 ? 255 : band < 14 ? 0 : int(rng() % 256);
            mask.setPixel(x, y, qPremultiply(qRgba(255, 255, 255, A)));
        }
    QImage fast = target;
    ApplyStretchedAlphaMask(fast, mask);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 53; ++x) {
            const QRgb p = reinterpret_cast<const QRgb*>(target.constScanLine(y))[x];
            const int A = qAlpha(reinterpret_cast<const QRgb*>(mask.constScanLine(y))[x]);
            QRgb want = p;
            if (A < 128)
                want = 0;
            else if (qAlpha(p) == 255)
                want = A == 255 ? p : qPremultiply(qRgba(qRed(p), qGreen(p), qBlue(p), A));
            else if (qAlpha(p) != 0) {
                const QRgb s = qUnpremultiply(p);
                want = qPremultiply(qRgba(qRed(s), qGreen(s), qBlue(s), A));
            }
            ASSERT_EQ(reinterpret_cast<const QRgb*>(fast.constScanLine(y))[x], want) << x << "," << y;
        }
}

} // namespace
