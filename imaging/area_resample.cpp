#include "imaging/area_resample.h"

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// The source pixels one target pixel covers along one axis, with their coverage
// already divided by the target pixel's extent (so a span wholly inside the bitmap has
// weights summing to 1, and the parts outside the bitmap simply have no taps).
struct AxisTaps {
    std::vector<int> first;  // first source index of target i
    std::vector<int> count;  // number of taps of target i
    std::vector<int> offset; // start of target i's weights in `weights`
    std::vector<double> weights;
    int maxCount = 0;
    int lo = 0; // smallest source index used by any target
    int hi = 0; // one past the largest
};

AxisTaps makeTaps(double start, double extent, int targets, int sourceSize)
{
    AxisTaps t;
    t.first.resize(targets);
    t.count.resize(targets);
    t.offset.resize(targets);
    t.lo = sourceSize;
    t.hi = 0;
    const double scale = extent / targets;
    for (int i = 0; i < targets; ++i) {
        // Boundaries from the exact fraction, so the last edge is start + extent exactly.
        const double a = start + extent * i / targets;
        const double b = start + extent * (i + 1) / targets;
        // Clamped as doubles first: a rectangle far outside must not overflow an int.
        const int s0 = static_cast<int>(std::clamp(std::floor(a), 0.0, double(sourceSize)));
        const int s1 = static_cast<int>(std::clamp(std::ceil(b), 0.0, double(sourceSize)));
        t.offset[i] = static_cast<int>(t.weights.size());
        int first = -1;
        int n = 0;
        for (int s = s0; s < s1; ++s) {
            const double cover = std::min<double>(s + 1, b) - std::max<double>(s, a);
            if (cover <= 0) continue;
            if (first < 0) first = s;
            // Taps are contiguous: only the two ends can have partial (never zero) cover.
            t.weights.push_back(cover / scale);
            ++n;
        }
        t.first[i] = first < 0 ? 0 : first;
        t.count[i] = n;
        t.maxCount = std::max(t.maxCount, n);
        if (n > 0) {
            t.lo = std::min(t.lo, first);
            t.hi = std::max(t.hi, first + n);
        }
    }
    if (t.hi <= t.lo) t.lo = t.hi = 0;
    return t;
}

inline std::uint32_t packPremultiplied(double a, double r, double g, double b)
{
    auto q = [](double v) {
        const double c = std::clamp(v + 0.5, 0.0, 255.0);
        return static_cast<std::uint32_t>(c);
    };
    const std::uint32_t qa = q(a);
    // Rounding is monotonic, so colour never exceeds alpha; the min only guards that.
    const std::uint32_t qr = std::min(q(r), qa);
    const std::uint32_t qg = std::min(q(g), qa);
    const std::uint32_t qb = std::min(q(b), qa);
    return (qa << 24) | (qr << 16) | (qg << 8) | qb;
}

// Four doubles in one vector, the channels in memory order (b, g, r, a); plain IEEE
// operations per lane.
typedef double Quad __attribute__((vector_size(32), aligned(8))); // any 8-byte aligned storage
typedef std::uint8_t Bytes4 __attribute__((vector_size(4), aligned(1)));

#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__) && !defined(__SANITIZE_ADDRESS__)
#define QUILLARY_KERNEL __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define QUILLARY_KERNEL
#endif

void filterRowQuadPortable(const std::uint32_t* line, int W, const AxisTaps& tx, QImage::Format format, Quad* dst)
{
    const bool opaque = format == QImage::Format_RGB32;
    const bool straight = format == QImage::Format_ARGB32;
    for (int x = 0; x < W; ++x) {
        Quad acc = {0, 0, 0, 0};
        const double* wt = tx.weights.data() + tx.offset[x];
        const std::uint32_t* p = line + tx.first[x];
        for (int k = 0, n = tx.count[x]; k < n; ++k) {
            std::uint32_t px = p[k];
            if (opaque)
                px |= 0xFF000000u;
            else if (straight)
                px = qPremultiply(px);
            Bytes4 bytes;
            std::memcpy(&bytes, &px, sizeof px);
            acc += wt[k] * __builtin_convertvector(bytes, Quad);
        }
        dst[x] = acc;
    }
}

#if defined(__GNUC__) && defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__)
// The same with the bytes widened in two instructions; multiply and add stay separate
// operations (no fused multiply-add), so every lane rounds as above.
__attribute__((target("avx2"))) void filterRowQuadAvx2(const std::uint32_t* line, int W, const AxisTaps& tx,
                                                       QImage::Format format, Quad* dst)
{
    const bool opaque = format == QImage::Format_RGB32;
    const bool straight = format == QImage::Format_ARGB32;
    for (int x = 0; x < W; ++x) {
        __m256d acc = _mm256_setzero_pd();
        const double* wt = tx.weights.data() + tx.offset[x];
        const std::uint32_t* p = line + tx.first[x];
        for (int k = 0, n = tx.count[x]; k < n; ++k) {
            std::uint32_t px = p[k];
            if (opaque)
                px |= 0xFF000000u;
            else if (straight)
                px = qPremultiply(px);
            const __m256d v = _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(int(px))));
            acc = _mm256_add_pd(acc, _mm256_mul_pd(_mm256_set1_pd(wt[k]), v));
        }
        _mm256_storeu_pd(reinterpret_cast<double*>(dst + x), acc);
    }
}
#endif

void filterRowQuad(const std::uint32_t* line, int W, const AxisTaps& tx, QImage::Format format, Quad* dst)
{
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) return filterRowQuadAvx2(line, W, tx, format, dst);
#endif
    filterRowQuadPortable(line, W, tx, format, dst);
}

QUILLARY_KERNEL
void accumulateRows(Quad* acc, const Quad* row, double f, int W)
{
    for (int i = 0; i < W; ++i)
        acc[i] += f * row[i];
}

typedef std::int32_t Int4 __attribute__((vector_size(16), aligned(4)));

// packPremultiplied on a whole row: the same clamp of v + 0.5 and truncation per lane.
QUILLARY_KERNEL
void packRow(const Quad* acc, int W, std::uint32_t* dst)
{
    for (int x = 0; x < W; ++x) {
        Quad c = acc[x] + 0.5;
        c = c < 0.0 ? Quad{0, 0, 0, 0} : c;
        c = c > 255.0 ? Quad{255, 255, 255, 255} : c;
        const Int4 q = __builtin_convertvector(c, Int4);
        const std::uint32_t qa = std::uint32_t(q[3]);
        const std::uint32_t qr = std::min(std::uint32_t(q[2]), qa);
        const std::uint32_t qg = std::min(std::uint32_t(q[1]), qa);
        const std::uint32_t qb = std::min(std::uint32_t(q[0]), qa);
        dst[x] = (qa << 24) | (qr << 16) | (qg << 8) | qb;
    }
}

// The taps of an axis that averages exactly k whole source pixels per target, k a power
// of two (a reduction by 2, 4, 8 or 16): each weight is exactly 1 / k. Then every
// product and sum of the double filter is exact, the target value is the integer sum S
// of its k x k pixels divided by k^2, and its rounding (v + 0.5, truncated) is
// (S + k^2 / 2) >> log2(k^2): whole-number arithmetic gives the same bytes.
int uniformTaps(const AxisTaps& t)
{
    if (t.count.empty()) return 0;
    const int k = t.count[0];
    if (k < 2 || k > 16 || (k & (k - 1)) != 0) return 0;
    const double w = 1.0 / k;
    for (std::size_t i = 0; i < t.count.size(); ++i) {
        if (t.count[i] != k) return 0;
        if (i > 0 && t.first[i] != t.first[i - 1] + k) return 0;
    }
    for (double v : t.weights)
        if (v != w) return 0;
    return k;
}

// Adds one source row's bytes (premultiplied or opaque pixels) to per-column sums.
QUILLARY_KERNEL
void addRowBytes(const std::uint8_t* __restrict row, int n, std::uint16_t* __restrict sums)
{
    for (int i = 0; i < n; ++i)
        sums[i] = std::uint16_t(sums[i] + row[i]);
}

QImage boxAverage(const QImage& src, const AxisTaps& tx, const AxisTaps& ty, int k, int W, int H, QImage out)
{
    const bool opaque = src.format() == QImage::Format_RGB32;
    const bool straight = src.format() == QImage::Format_ARGB32;
    const int shift = 2 * std::countr_zero(unsigned(k));
    const std::uint32_t half = std::uint32_t(1) << (shift - 1);
    const int x0 = tx.first[0], span = W * k; // source columns x0 .. x0 + span - 1
    // Column sums of k rows stay below 16 * 255, so 16 bits hold them.
    std::vector<std::uint16_t> columns(static_cast<std::size_t>(span) * 4);
    std::vector<std::uint32_t> premultiplied(straight ? static_cast<std::size_t>(span) : 0);
    for (int y = 0; y < H; ++y) {
        std::fill(columns.begin(), columns.end(), std::uint16_t(0));
        for (int j = 0; j < k; ++j) {
            const auto* line = reinterpret_cast<const std::uint32_t*>(src.constScanLine(ty.first[y] + j)) + x0;
            if (straight) {
                for (int i = 0; i < span; ++i)
                    premultiplied[std::size_t(i)] = qPremultiply(line[i]);
                line = premultiplied.data();
            }
            addRowBytes(reinterpret_cast<const std::uint8_t*>(line), span * 4, columns.data());
        }
        auto* dst = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
        for (int x = 0; x < W; ++x) {
            // Channels in memory order: b, g, r, a.
            std::uint32_t sum[4] = {0, 0, 0, 0};
            const std::uint16_t* c = columns.data() + std::size_t(x) * k * 4;
            for (int j = 0; j < k; ++j)
                for (int ch = 0; ch < 4; ++ch)
                    sum[ch] += c[j * 4 + ch];
            // An opaque format's alpha counts as 255 whatever its byte holds.
            const std::uint32_t qa = opaque ? 255u : std::min<std::uint32_t>((sum[3] + half) >> shift, 255);
            const std::uint32_t qr = std::min((sum[2] + half) >> shift, qa);
            const std::uint32_t qg = std::min((sum[1] + half) >> shift, qa);
            const std::uint32_t qb = std::min((sum[0] + half) >> shift, qa);
            dst[x] = (qa << 24) | (qr << 16) | (qg << 8) | qb;
        }
    }
    return out;
}

} // namespace

QImage AreaResampleVectorised(const QImage& src, const QRectF& srcRect, int W, int H)
{
    if (W <= 0 || H <= 0) return QImage();
    QImage out(W, H, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull()) return out;
    out.fill(0);

    const double L = srcRect.left();
    const double T = srcRect.top();
    const double w = srcRect.width();
    const double h = srcRect.height();
    if (src.isNull() || !(w > 0) || !(h > 0) || !std::isfinite(L + T + w + h)) return out;
    QImage::Format format = src.format();
    if (format != QImage::Format_ARGB32_Premultiplied && format != QImage::Format_ARGB32 &&
        format != QImage::Format_RGB32)
        return AreaResample(src, srcRect, W, H); // the conversion dominates anyway

    const AxisTaps tx = makeTaps(L, w, W, src.width());
    const AxisTaps ty = makeTaps(T, h, H, src.height());
    if (tx.hi == tx.lo || ty.hi == ty.lo) return out;
    if (const int k = uniformTaps(tx); k > 0 && uniformTaps(ty) == k) return boxAverage(src, tx, ty, k, W, H, out);

    const int ringRows = std::max(1, ty.maxCount);
    std::vector<double> ringStore(static_cast<std::size_t>(ringRows) * W * 4);
    std::vector<double> accStore(static_cast<std::size_t>(W) * 4);
    Quad* ring = reinterpret_cast<Quad*>(ringStore.data());
    Quad* acc = reinterpret_cast<Quad*>(accStore.data());
    int filteredUpTo = ty.lo;
    for (int y = 0; y < H; ++y) {
        const int n = ty.count[y];
        if (n == 0) continue;
        const int first = ty.first[y];
        for (; filteredUpTo < first + n; ++filteredUpTo)
            if (filteredUpTo >= first)
                filterRowQuad(reinterpret_cast<const std::uint32_t*>(src.constScanLine(filteredUpTo)), W, tx, format,
                              ring + static_cast<std::size_t>(filteredUpTo % ringRows) * W);
        std::fill(accStore.begin(), accStore.end(), 0.0);
        const double* wt = ty.weights.data() + ty.offset[y];
        for (int k = 0; k < n; ++k)
            accumulateRows(acc, ring + static_cast<std::size_t>((first + k) % ringRows) * W, wt[k], W);
        packRow(acc, W, reinterpret_cast<std::uint32_t*>(out.scanLine(y)));
    }
    return out;
}

QImage AreaResample(const QImage& src, const QRectF& srcRect, int W, int H)
{
    if (W <= 0 || H <= 0) return QImage();
    QImage out(W, H, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull()) return out;
    out.fill(0);

    const double L = srcRect.left();
    const double T = srcRect.top();
    const double w = srcRect.width();
    const double h = srcRect.height();
    // NaN fails every comparison, so it lands here too.
    if (src.isNull() || !(w > 0) || !(h > 0) || !std::isfinite(L + T + w + h)) return out;

    // Read the three 32-bit layouts in place; anything else is converted, but only the
    // part the rectangle touches, so measuring a small region of a large picture stays
    // cheap.
    const QImage* pixels = &src;
    QImage converted;
    int originX = 0;
    int originY = 0;
    QImage::Format format = src.format();
    if (format != QImage::Format_ARGB32_Premultiplied && format != QImage::Format_ARGB32 &&
        format != QImage::Format_RGB32) {
        auto clampTo = [](double v, int size) { return static_cast<int>(std::clamp(v, 0.0, double(size))); };
        const int x0 = clampTo(std::floor(L), src.width());
        const int y0 = clampTo(std::floor(T), src.height());
        const int x1 = clampTo(std::ceil(L + w), src.width());
        const int y1 = clampTo(std::ceil(T + h), src.height());
        if (x1 <= x0 || y1 <= y0) return out;
        converted = src.copy(x0, y0, x1 - x0, y1 - y0).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (converted.isNull()) return QImage();
        pixels = &converted;
        originX = x0;
        originY = y0;
        format = QImage::Format_ARGB32_Premultiplied;
    }

    const AxisTaps tx = makeTaps(L - originX, w, W, pixels->width());
    const AxisTaps ty = makeTaps(T - originY, h, H, pixels->height());
    if (tx.hi == tx.lo || ty.hi == ty.lo) return out;

    // Horizontal pass per source row into a ring of the rows the current target row
    // needs; target rows move monotonically, so every source row is filtered once.
    const int ringRows = std::max(1, ty.maxCount);
    // Double sums keep a uniform colour exact even over spans of many thousand pixels.
    std::vector<double> ring(static_cast<std::size_t>(ringRows) * W * 4);
    std::vector<double> acc(static_cast<std::size_t>(W) * 4);
    int filteredUpTo = ty.lo; // rows below this are in the ring (or were dropped)

    auto filterRow = [&](int y) {
        double* dst = ring.data() + static_cast<std::size_t>(y % ringRows) * W * 4;
        const auto* line = reinterpret_cast<const std::uint32_t*>(pixels->constScanLine(y));
        const bool opaque = format == QImage::Format_RGB32;
        const bool straight = format == QImage::Format_ARGB32;
        for (int x = 0; x < W; ++x) {
            double a = 0, r = 0, g = 0, b = 0;
            const double* wt = tx.weights.data() + tx.offset[x];
            const std::uint32_t* p = line + tx.first[x];
            for (int k = 0, n = tx.count[x]; k < n; ++k) {
                std::uint32_t px = p[k];
                if (opaque)
                    px |= 0xFF000000u;
                else if (straight)
                    px = qPremultiply(px);
                const double f = wt[k];
                a += f * double(px >> 24);
                r += f * double((px >> 16) & 0xFF);
                g += f * double((px >> 8) & 0xFF);
                b += f * double(px & 0xFF);
            }
            dst[4 * x + 0] = a;
            dst[4 * x + 1] = r;
            dst[4 * x + 2] = g;
            dst[4 * x + 3] = b;
        }
    };

    for (int y = 0; y < H; ++y) {
        const int n = ty.count[y];
        if (n == 0) continue;
        const int first = ty.first[y];
        for (; filteredUpTo < first + n; ++filteredUpTo)
            if (filteredUpTo >= first) filterRow(filteredUpTo);
        std::fill(acc.begin(), acc.end(), 0.0);
        const double* wt = ty.weights.data() + ty.offset[y];
        for (int k = 0; k < n; ++k) {
            const double f = wt[k];
            const double* row = ring.data() + static_cast<std::size_t>((first + k) % ringRows) * W * 4;
            for (int i = 0; i < W * 4; ++i)
                acc[i] += f * row[i];
        }
        auto* dst = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
        for (int x = 0; x < W; ++x)
            dst[x] = packPremultiplied(acc[4 * x], acc[4 * x + 1], acc[4 * x + 2], acc[4 * x + 3]);
    }
    return out;
}
