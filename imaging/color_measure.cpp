#include "imaging/color_measure.h"

#include "imaging/area_resample.h"
#include "imaging/color_convert.h"

#include <cstdint>

namespace {

QImage sampleRegion(const QImage& bitmap, const TRectF& rect, int n)
{
    const QRectF r(QPointF(rect.Left, rect.Top), QPointF(rect.Right, rect.Bottom));
    return AreaResample(bitmap, r, n, n);
}

// Integer channel sums of the n x n block at (x0, y0) of a premultiplied sample bitmap.
void sumBlock(const QImage& samples, int x0, int y0, int n, int& r, int& g, int& b)
{
    r = g = b = 0;
    for (int y = y0; y < y0 + n; ++y) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(samples.constScanLine(y));
        for (int x = x0; x < x0 + n; ++x) {
            const std::uint32_t p = line[x];
            r += (p >> 16) & 0xFF;
            g += (p >> 8) & 0xFF;
            b += p & 0xFF;
        }
    }
}

} // namespace

bool GetImgColorInfo8(TimgColorInfo& info, const QImage& bitmap, const TRectF& rect)
{
    const QImage samples = sampleRegion(bitmap, rect, 8);
    if (samples.isNull()) return false;
    for (int y = 0; y < 8; ++y) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(samples.constScanLine(y));
        for (int x = 0; x < 8; ++x) {
            TColorInfo15& e = info.ci64[y * 8 + x];
            int a, r, g, b;
            SplitColor(line[x], a, r, g, b);
            CompleteColorInfo(e, r, g, b);
            e.rgb = line[x]; // the sample as read, its alpha included
        }
    }
    for (int q = 0; q < 4; ++q) {
        int r, g, b;
        sumBlock(samples, (q % 2) * 4, (q / 2) * 4, 4, r, g, b);
        CompleteColorInfo(info.ci4[q], r / 16, g / 16, b / 16);
    }
    int r = 0, g = 0, b = 0;
    for (int k = 0; k < 64; ++k) {
        const Trgba& c = info.ci64[k].rgba;
        r += CenterWeights[k] * c.r;
        g += CenterWeights[k] * c.g;
        b += CenterWeights[k] * c.b;
    }
    CompleteColorInfo(info.ci1, r / kCenterWeightSum, g / kCenterWeightSum, b / kCenterWeightSum);
    return true;
}

bool GetImgColorInfo16(TimgColorInfo& info, const QImage& bitmap, const TRectF& rect)
{
    const QImage samples = sampleRegion(bitmap, rect, 16);
    if (samples.isNull()) return false;
    int tr = 0, tg = 0, tb = 0;
    for (int q = 0; q < 4; ++q) {
        int r, g, b;
        sumBlock(samples, (q % 2) * 8, (q / 2) * 8, 8, r, g, b);
        CompleteColorInfo(info.ci4[q], r / 64, g / 64, b / 64);
        tr += r;
        tg += g;
        tb += b;
    }
    CompleteColorInfo(info.ci1, tr / 256, tg / 256, tb / 256);
    return true;
}
