#include "imaging/bitmap_ops.h"

#include "imaging/area_resample.h"

#include <QTransform>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

constexpr QImage::Format kWorkingFormat = QImage::Format_ARGB32_Premultiplied;

// Sizes derived from a rotation or a painter transform carry floating-point noise
// (cos 90 degrees is 6e-17); a side of 100.0000001 pixels is 100, not 101.
constexpr double kSizeNoise = 1e-6;

int ceilIgnoringNoise(double v) { return static_cast<int>(std::ceil(v - kSizeNoise)); }

// Brings a bitmap to the working format for direct pixel access. False for a null bitmap.
bool toWorkingFormat(QImage& bitmap)
{
    if (bitmap.isNull())
        return false;
    if (bitmap.format() != kWorkingFormat)
        bitmap.convertTo(kWorkingFormat);
    return true;
}

QImage newWorkingBitmap(int w, int h, QRgb fill)
{
    QImage image(w, h, kWorkingFormat);
    image.fill(fill);
    return image;
}

// Exact fit of w x h into W x H: the limiting side is exactly W (or H) and the other one is
// the truncated product, free of the rounding that s = W / w followed by s * w would add.
QSize fittedSize(qint64 w, qint64 h, qint64 W, qint64 H)
{
    if (w <= 0 || h <= 0 || W <= 0 || H <= 0)
        return QSize();
    if (W * h <= H * w)
        return QSize(static_cast<int>(W), static_cast<int>(W * h / w));
    return QSize(static_cast<int>(H * w / h), static_cast<int>(H));
}

// Rewrites every pixel's straight colour through `fn(QRgb straight) -> QRgb straight`
// (alpha must be passed through by fn); opaque pixels skip the premultiplication round trip
// and fully transparent ones (all zero when premultiplied) are left as they are.
template <typename Fn>
void forEachStraightPixel(QImage& bitmap, Fn fn)
{
    const int w = bitmap.width();
    for (int y = 0; y < bitmap.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            if (a == 255)
                line[x] = fn(p);
            else if (a != 0)
                line[x] = qPremultiply(fn(qUnpremultiply(p)));
        }
    }
}

// The picture turned about its centre within its own size, uncovered parts `background`.
QImage rotatedWithinSize(const QImage& src, double degrees, QRgb background)
{
    const int w = src.width();
    const int h = src.height();
    QImage out = newWorkingBitmap(w, h, background);
    {
        Canvas canvas(out);
        Canvas::Scene scene(canvas);
        QPainter& p = scene.painter();
        p.translate(w / 2.0, h / 2.0);
        p.rotate(degrees);
        p.translate(-w / 2.0, -h / 2.0);
        DrawScaled(p, QRectF(0, 0, w, h), src);
    }
    out.setDevicePixelRatio(src.devicePixelRatio());
    return out;
}

} // namespace

PreparedScaledDraw PrepareScaledDraw(const QImage& src, const QRectF& dstRect, const QRectF& srcRect,
                                     double deviceScaleX, double deviceScaleY, double opacity)
{
    PreparedScaledDraw out;
    if (src.isNull() || srcRect.isEmpty() || dstRect.isEmpty())
        return out;
    const double deviceW = dstRect.width() * deviceScaleX;
    const double deviceH = dstRect.height() * deviceScaleY;
    const bool shrinkW = srcRect.width() > 2.0 * deviceW;
    const bool shrinkH = srcRect.height() > 2.0 * deviceH;
    out.target = dstRect;
    out.opacity = opacity;
    if (shrinkW || shrinkH) {
        // An axis that does not shrink keeps the source's resolution and is left to the
        // painter's interpolation; a box filter would only make an enlargement blocky.
        const int tw = std::max(1, ceilIgnoringNoise(shrinkW ? deviceW : srcRect.width()));
        const int th = std::max(1, ceilIgnoringNoise(shrinkH ? deviceH : srcRect.height()));
        out.image = AreaResampleVectorised(src, srcRect, tw, th);
        out.sourceRect = QRectF(0, 0, tw, th);
    } else {
        out.image = src;
        out.sourceRect = srcRect;
    }
    return out;
}

void DrawPreparedScaled(QPainter& painter, const PreparedScaledDraw& prepared)
{
    if (prepared.image.isNull())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setOpacity(prepared.opacity);
    painter.drawImage(prepared.target, prepared.image, prepared.sourceRect);
    painter.restore();
}

void DrawPreparedScaled(Canvas& canvas, const PreparedScaledDraw& prepared)
{
    Canvas::Scene scene(canvas);
    DrawPreparedScaled(scene.painter(), prepared);
}

void DrawScaled(QPainter& painter, const QRectF& dstRect, const QImage& src, const QRectF& srcRect, double opacity)
{
    if (src.isNull() || srcRect.isEmpty() || dstRect.isEmpty())
        return;
    // Lengths of the painter's unit vectors on the device: scale, DPR and rotation included.
    const QTransform t = painter.combinedTransform();
    DrawPreparedScaled(painter, PrepareScaledDraw(src, dstRect, srcRect, std::hypot(t.m11(), t.m12()),
                                                  std::hypot(t.m21(), t.m22()), opacity));
}

void DrawScaled(Canvas& canvas, const QRectF& dstRect, const QImage& src, const QRectF& srcRect, double opacity)
{
    Canvas::Scene scene(canvas);
    DrawScaled(scene.painter(), dstRect, src, srcRect, opacity);
}

QImage ResizeFill(const QImage& src, int W, int H)
{
    if (W <= 0 || H <= 0)
        return QImage();
    const qint64 w = src.width();
    const qint64 h = src.height();
    QRectF part(0, 0, w, h);
    if (h * W >= H * w) {
        const double d = static_cast<double>(h * W - H * w) / (2.0 * W);
        part = QRectF(QPointF(0, d), QPointF(w, h - d));
    } else {
        const double d = static_cast<double>(H * w - h * W) / (2.0 * H);
        part = QRectF(QPointF(d, 0), QPointF(w - d, h));
    }
    QImage dst = newWorkingBitmap(W, H, 0);
    if (!src.isNull()) {
        Canvas canvas(dst);
        Canvas::Scene scene(canvas);
        DrawScaled(scene.painter(), QRectF(0, 0, W, H), src, part);
    }
    return dst;
}

QImage FitBitmap(const QImage& src, int W, int H)
{
    const QSize size = fittedSize(src.width(), src.height(), W, H);
    if (size.isEmpty())
        return QImage();
    QImage dst = newWorkingBitmap(size.width(), size.height(), 0xFFFFFFFF);
    {
        Canvas canvas(dst);
        Canvas::Scene scene(canvas);
        DrawScaled(scene.painter(), QRectF(0, 0, size.width(), size.height()), src);
    }
    return dst;
}

QImage FitBitmapPadded(const QImage& src, int W, int H, TAlphaColor color)
{
    if (W <= 0 || H <= 0)
        return QImage();
    const QImage fitted = FitBitmap(src, W, H);
    QImage dst(W, H, kWorkingFormat);
    dst.fill(toQColor(color));
    if (!fitted.isNull()) {
        Canvas canvas(dst);
        Canvas::Scene scene(canvas);
        const QRectF at((W - fitted.width()) / 2, (H - fitted.height()) / 2, fitted.width(), fitted.height());
        DrawScaled(scene.painter(), at, fitted);
    }
    return dst;
}

void DrawBitmapFit(Canvas& canvas, const QImage& src, const QRect& box)
{
    const QSize size = fittedSize(src.width(), src.height(), box.width(), box.height());
    if (size.isEmpty())
        return;
    Canvas::Scene scene(canvas);
    const QRectF at((box.width() - size.width()) / 2, (box.height() - size.height()) / 2, size.width(),
                    size.height());
    DrawScaled(scene.painter(), at, src);
}

void GrayscaleBitmap(QImage& bitmap)
{
    if (!toWorkingFormat(bitmap))
        return;
    // 0.299, 0.587 and 0.114 as thousandths: the truncation is exact, so white stays 255
    // where a floating-point sum could give 254.99999.
    forEachStraightPixel(bitmap, [](QRgb p) {
        const int g = (299 * qRed(p) + 587 * qGreen(p) + 114 * qBlue(p)) / 1000;
        return qRgba(g, g, g, qAlpha(p));
    });
}

QImage StretchAlphaMask(const QImage& mask, int w, int h)
{
    if (mask.isNull() || w <= 0 || h <= 0)
        return QImage();
    QImage stretched = newWorkingBitmap(w, h, 0); // transparent white is 0 once premultiplied
    {
        Canvas canvas(stretched);
        Canvas::Scene scene(canvas);
        DrawScaled(scene.painter(), QRectF(0, 0, w, h), mask);
    }
    return stretched;
}

void ApplyStretchedAlphaMask(QImage& target, const QImage& stretched)
{
    if (stretched.isNull() || stretched.size() != target.size() || !toWorkingFormat(target))
        return;
    const int w = target.width();
    const int h = target.height();
    const auto cut = [](QRgb p, int A) -> QRgb {
        if (A < 128)
            return 0;
        if (qAlpha(p) == 255)
            return A == 255 ? p : qPremultiply(qRgba(qRed(p), qGreen(p), qBlue(p), A));
        if (qAlpha(p) != 0) {
            const QRgb s = qUnpremultiply(p);
            return qPremultiply(qRgba(qRed(s), qGreen(s), qBlue(s), A));
        }
        return p; // a transparent target pixel has no colour left to keep and stays 0
    };
    for (int y = 0; y < h; ++y) {
        const QRgb* alphaLine = reinterpret_cast<const QRgb*>(stretched.constScanLine(y));
        QRgb* line = reinterpret_cast<QRgb*>(target.scanLine(y));
        int x = 0;
#if defined(__SSE2__)
        // Four pixels at a time where the answer is plain: inside the shape (mask alpha
        // 255) an opaque pixel stays as it is; outside (every alpha below 128) all
        // become 0. Edges go through the per-pixel rule.
        const __m128i alphaBits = _mm_set1_epi32(static_cast<int>(0xFF000000u));
        for (; x + 4 <= w; x += 4) {
            const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(alphaLine + x));
            const int top = _mm_movemask_epi8(m) & 0x8888; // the high bit of each alpha
            if (top == 0) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(line + x), _mm_setzero_si128());
                continue;
            }
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + x));
            const __m128i both = _mm_and_si128(_mm_and_si128(m, v), alphaBits);
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(both, alphaBits)) == 0xFFFF) continue;
            for (int k = x; k < x + 4; ++k)
                line[k] = cut(line[k], qAlpha(alphaLine[k]));
        }
#endif
        for (; x < w; ++x)
            line[x] = cut(line[x], qAlpha(alphaLine[x]));
    }
}

void ApplyAlphaMask(QImage& target, const QImage& mask)
{
    if (mask.isNull() || !toWorkingFormat(target))
        return;
    ApplyStretchedAlphaMask(target, StretchAlphaMask(mask, target.width(), target.height()));
}

void ShiftRGB(QImage& bitmap, int dR, int dG, int dB)
{
    if (!toWorkingFormat(bitmap))
        return;
    // Any shift beyond a full channel saturates the same way; held there, i + d cannot
    // overflow.
    dR = std::clamp(dR, -255, 255);
    dG = std::clamp(dG, -255, 255);
    dB = std::clamp(dB, -255, 255);
    std::array<std::uint8_t, 256> tr{}, tg{}, tb{};
    for (int i = 0; i < 256; ++i) {
        tr[i] = static_cast<std::uint8_t>(std::clamp(i + dR, 0, 255));
        tg[i] = static_cast<std::uint8_t>(std::clamp(i + dG, 0, 255));
        tb[i] = static_cast<std::uint8_t>(std::clamp(i + dB, 0, 255));
    }
    const auto shift = [&](QRgb p) { return qRgba(tr[qRed(p)], tg[qGreen(p)], tb[qBlue(p)], qAlpha(p)); };
#if defined(__SSE2__)
    // Opaque pixels, four at a time: clamp(c + d) is a saturating add of the positive
    // part of d followed by a saturating subtraction of the negative part (one of them
    // is zero), the same values the tables hold. Alpha gets 0 and 0.
    const auto part = [](int d) { return static_cast<std::uint32_t>(std::clamp(d, 0, 255)); };
    const std::uint32_t up = (part(dR) << 16) | (part(dG) << 8) | part(dB);
    const std::uint32_t down = (part(-dR) << 16) | (part(-dG) << 8) | part(-dB);
    const __m128i vUp = _mm_set1_epi32(static_cast<int>(up));
    const __m128i vDown = _mm_set1_epi32(static_cast<int>(down));
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const int w = bitmap.width();
    for (int y = 0; y < bitmap.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
        int x = 0;
        for (; x + 4 <= w; x += 4) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + x));
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(v, opaque), opaque)) == 0xFFFF) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(line + x), _mm_subs_epu8(_mm_adds_epu8(v, vUp), vDown));
                continue;
            }
            for (int k = x; k < x + 4; ++k) {
                const QRgb p = line[k];
                const int a = qAlpha(p);
                if (a == 255)
                    line[k] = shift(p);
                else if (a != 0)
                    line[k] = qPremultiply(shift(qUnpremultiply(p)));
            }
        }
        for (; x < w; ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            if (a == 255)
                line[x] = shift(p);
            else if (a != 0)
                line[x] = qPremultiply(shift(qUnpremultiply(p)));
        }
    }
#else
    forEachStraightPixel(bitmap, shift);
#endif
}

void ShiftTowardColor(QImage& bitmap, const TimgColorInfo& source, const TimgColorInfo& target, float factor)
{
    const TAlphaColor c1 = source.ci1.rgb;
    const TAlphaColor c2 = target.ci1.rgb;
    auto delta = [factor](TAlphaColor from, TAlphaColor to, int shift) {
        const int a = static_cast<int>((from >> shift) & 0xFF);
        const int b = static_cast<int>((to >> shift) & 0xFF);
        const double d = static_cast<double>(factor) * (b - a);
        // Beyond a full channel the shift saturates anyway; a factor from a damaged
        // project file may be huge or NaN.
        if (!(d == d)) return 0;
        return static_cast<int>(std::clamp(d, -255.0, 255.0)); // truncates toward zero
    };
    ShiftRGB(bitmap, delta(c1, c2, 16), delta(c1, c2, 8), delta(c1, c2, 0));
}

void BlendBitmap(Canvas& dst, const QImage& src, const TRectF& srcRect, const TRectF& dstRect, float opacity)
{
    Canvas::Scene scene(dst);
    DrawScaled(scene.painter(), toQRectF(dstRect), src, toQRectF(srcRect), opacity);
}

void BlendBitmap(QImage& dst, const QImage& src, const TRectF& srcRect, const TRectF& dstRect, float opacity)
{
    if (!toWorkingFormat(dst))
        return;
    Canvas canvas(dst);
    BlendBitmap(canvas, src, srcRect, dstRect, opacity);
}

void RotateBitmap(QImage& bitmap, float angle)
{
    if (angle == 0.0f || bitmap.isNull())
        return;
    bitmap = rotatedWithinSize(bitmap, angle, 0xFF000000);
}

void RotateBitmapTransparent(QImage& bitmap, double degrees)
{
    if (degrees == 0.0 || bitmap.isNull())
        return;
    bitmap = rotatedWithinSize(bitmap, degrees, 0);
}

QImage RotatedBitmapGrown(const QImage& src, double degrees)
{
    if (src.isNull())
        return QImage();
    if (degrees == 0.0)
        return src.convertToFormat(kWorkingFormat);
    const int w = src.width();
    const int h = src.height();
    QTransform turn;
    turn.rotate(degrees);
    const QRectF bounds = turn.mapRect(QRectF(0, 0, w, h));
    const int W = std::max(1, ceilIgnoringNoise(bounds.width()));
    const int H = std::max(1, ceilIgnoringNoise(bounds.height()));
    QImage out = newWorkingBitmap(W, H, 0);
    {
        Canvas canvas(out);
        Canvas::Scene scene(canvas);
        QPainter& p = scene.painter();
        p.translate(W / 2.0, H / 2.0);
        p.rotate(degrees);
        p.translate(-w / 2.0, -h / 2.0);
        DrawScaled(p, QRectF(0, 0, w, h), src);
    }
    return out;
}
