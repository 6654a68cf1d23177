#include "engine/search_accelerator.h"

#include "engine/grid_bounds.h"
#include "engine/project.h"
#include "engine/search_steps.h"
#include "engine/workspace.h"
#include "imaging/color_convert.h"
#include "tilelib/tilelib_records.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <new>

// The kernels are plain loops written for the auto-vectoriser; on x86-64 each is also
// compiled for AVX-512 and AVX2 (x86-64-v4 and v3) and the loader picks the widest the processor has. The
// double sums repeat the plain ImgColorDiff operation for operation in every lane (this
// file is built without floating-point contraction), so they round identically.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__) && !defined(__SANITIZE_ADDRESS__)
#define QUILLARY_KERNEL __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define QUILLARY_KERNEL
#endif

namespace {

constexpr int kUprightSamples = 5; // ci1 and the four ci4 entries
constexpr int kRotations = 12;
constexpr int kGridLanes = 160;    // 52 weighted grid entries x 3 channels, ci1 x 3, one zero
constexpr int kListCapacity = TGoodTileList::kCapacity;
constexpr double kCenterWeightSum = 424;

// The ci64 entries whose CenterWeights are not zero, in index order (the corners weigh
// nothing, so they never change ImgColorDiff64).
struct WeightedEntries {
    int count = 0;
    int index[64] = {};
    int weight[64] = {};
};
constexpr WeightedEntries weightedEntries()
{
    WeightedEntries e;
    for (int k = 0; k < 64; ++k)
        if (CenterWeights[k] != 0) {
            e.index[e.count] = k;
            e.weight[e.count] = CenterWeights[k];
            ++e.count;
        }
    return e;
}
constexpr WeightedEntries kWeighted = weightedEntries();
static_assert(kWeighted.count * 3 + 3 < kGridLanes && kWeighted.count * 3 + 4 == kGridLanes);

int paddedCount(int n)
{
    return (n + 15) / 16 * 16;
}

struct AlignedFree {
    void operator()(void* p) const { ::operator delete(p, std::align_val_t(64)); }
};
template <typename T>
using AlignedBlock = std::unique_ptr<T[], AlignedFree>;

template <typename T>
AlignedBlock<T> allocateBlock(std::size_t n)
{
    const std::size_t bytes = std::max<std::size_t>(n * sizeof(T), 64);
    void* p = ::operator new(bytes, std::align_val_t(64));
    std::memset(p, 0, bytes);
    return AlignedBlock<T>(static_cast<T*>(p));
}

// The L* and RGB of ci1 and ci4 of many records, one row of `stride` values per sample
// and channel: row k of L holds sample k of every record.
struct UprightSamples {
    int count = 0;
    int stride = 0;
    AlignedBlock<double> L;
    AlignedBlock<std::int32_t> R, G, B;

    void allocate(int n)
    {
        count = n;
        stride = paddedCount(n);
        L = allocateBlock<double>(std::size_t(kUprightSamples) * stride);
        R = allocateBlock<std::int32_t>(std::size_t(kUprightSamples) * stride);
        G = allocateBlock<std::int32_t>(std::size_t(kUprightSamples) * stride);
        B = allocateBlock<std::int32_t>(std::size_t(kUprightSamples) * stride);
    }
    void set(int i, const TimgColorInfo& info)
    {
        const TColorInfo15* s[kUprightSamples] = {&info.ci1, &info.ci4[0], &info.ci4[1], &info.ci4[2], &info.ci4[3]};
        for (int k = 0; k < kUprightSamples; ++k) {
            L[std::size_t(k) * stride + i] = double(s[k]->Lab.X);
            R[std::size_t(k) * stride + i] = s[k]->rgba.r;
            G[std::size_t(k) * stride + i] = s[k]->rgba.g;
            B[std::size_t(k) * stride + i] = s[k]->rgba.b;
        }
    }
};

// One record's ci1 and ci4, the fixed side of a comparison with many.
struct OneUpright {
    double L[kUprightSamples];
    std::int32_t R[kUprightSamples], G[kUprightSamples], B[kUprightSamples];

    explicit OneUpright(const TimgColorInfo& info)
    {
        const TColorInfo15* s[kUprightSamples] = {&info.ci1, &info.ci4[0], &info.ci4[1], &info.ci4[2], &info.ci4[3]};
        for (int k = 0; k < kUprightSamples; ++k) {
            L[k] = double(s[k]->Lab.X);
            R[k] = s[k]->rgba.r;
            G[k] = s[k]->rgba.g;
            B[k] = s[k]->rgba.b;
        }
    }
};

inline int truncatedLane(double sum)
{
    return sum < 2147483647.0 ? (sum <= -2147483648.0 ? INT_MIN : static_cast<int>(sum)) : INT_MAX;
}

// The sums of ImgColorDiff for one fixed record against many, in the plain order: A is
// the cell and B the tile, whichever side is fixed. `fixedIsA` says which.
template <bool fixedIsA, typename Out, typename Finish>
inline void uprightSums(const UprightSamples& many, const OneUpright& one, double wl, double wc, bool rgbMatch,
                        Out* __restrict out, Finish finish)
{
    const int n = many.count, stride = many.stride;
    const double* __restrict L = many.L.get();
    const std::int32_t* __restrict R = many.R.get();
    const std::int32_t* __restrict G = many.G.get();
    const std::int32_t* __restrict B = many.B.get();
    // Local copies, so the compiler sees that the output cannot change them.
    double oL[kUprightSamples];
    std::int32_t oR[kUprightSamples], oG[kUprightSamples], oB[kUprightSamples];
    for (int k = 0; k < kUprightSamples; ++k) {
        oL[k] = one.L[k];
        oR[k] = one.R[k];
        oG[k] = one.G[k];
        oB[k] = one.B[k];
    }
    if (rgbMatch) {
        // Whole numbers far below 2^53: the double sum is exact, so the integer one is it.
        for (int i = 0; i < n; ++i) {
            std::int32_t sum = 0;
            for (int k = 0; k < kUprightSamples; ++k) {
                const std::int32_t dr = oR[k] - R[k * stride + i];
                const std::int32_t dg = oG[k] - G[k * stride + i];
                const std::int32_t db = oB[k] - B[k * stride + i];
                sum += dr * dr + dg * dg + db * db;
            }
            out[i] = finish(double(sum));
        }
        return;
    }
    for (int i = 0; i < n; ++i) {
        double sum = 0;
        for (int k = 0; k < kUprightSamples; ++k) {
            const std::int32_t dr = oR[k] - R[k * stride + i];
            const std::int32_t dg = oG[k] - G[k * stride + i];
            const std::int32_t db = oB[k] - B[k * stride + i];
            // A - B, as the plain loop subtracts.
            const double dl = fixedIsA ? oL[k] - L[k * stride + i] : L[k * stride + i] - oL[k];
            sum += wl * (dl * dl) + wc * double(dr * dr + dg * dg + db * db);
        }
        out[i] = finish(sum);
    }
}

// Trunc(ImgColorDiff(cell, tile t)) for every tile t.
QUILLARY_KERNEL
void cellAgainstTiles(const UprightSamples& tiles, const OneUpright& cell, double wl, double wc, bool rgbMatch,
                      std::int32_t* __restrict out)
{
    uprightSums<true>(tiles, cell, wl, wc, rgbMatch, out, truncatedLane);
}

// ImgColorDiff(cell q, tile) for every cell q.
QUILLARY_KERNEL
void cellsAgainstTile(const UprightSamples& cells, const OneUpright& tile, double wl, double wc, bool rgbMatch,
                      double* __restrict out)
{
    uprightSums<false>(cells, tile, wl, wc, rgbMatch, out, [](double v) { return v; });
}

// A cell's side of ImgColorDiff64 against a rotated tile grid g:
//   sum_k w_k |c_k - g_k|^2 + |c1 - g1|^2 = cellConst + gridConst - 2 * <wc, g>
// with wc the cell's channel values times their weights. Every term is a whole number
// below 2^31 (the largest sum is 82,906,875), so this is exactly ImgColorDiff64.
struct RoundCell {
    alignas(64) std::int16_t wc[kGridLanes] = {};
    std::int32_t cellConst = 0;
    // Per channel: the weighted sum, the weighted spread around the weighted mean, ci1.
    double sum[3] = {}, spread[3] = {}, one[3] = {};
};

// The weighted sum S and spread sqrt(Q - S^2 / W) of one channel, from exact integers.
double weightedSpread(std::int64_t S, std::int64_t Q)
{
    const std::int64_t scaled = std::int64_t(kCenterWeightSum) * Q - S * S; // W^2 times the variance
    return std::sqrt(double(std::max<std::int64_t>(scaled, 0)) / kCenterWeightSum);
}

// Fills the 160 lanes of one description (tile side: plain channel values) and returns
// its constant term; `sums` and `spreads` receive the per-channel statistics.
std::int32_t gridLanes(const TimgColorInfo& info, std::int16_t* lanes, bool weighted, double sums[3],
                       double spreads[3])
{
    std::int64_t S[3] = {}, Q[3] = {};
    std::int32_t constant = 0;
    for (int p = 0; p < kWeighted.count; ++p) {
        const Trgba c = info.ci64[kWeighted.index[p]].rgba;
        const int w = kWeighted.weight[p];
        const int ch[3] = {c.r, c.g, c.b};
        for (int k = 0; k < 3; ++k) {
            lanes[3 * p + k] = static_cast<std::int16_t>(weighted ? w * ch[k] : ch[k]);
            S[k] += w * ch[k];
            Q[k] += std::int64_t(w) * ch[k] * ch[k];
            constant += w * ch[k] * ch[k];
        }
    }
    const Trgba one = info.ci1.rgba;
    const int ch1[3] = {one.r, one.g, one.b};
    for (int k = 0; k < 3; ++k) {
        lanes[3 * kWeighted.count + k] = static_cast<std::int16_t>(ch1[k]);
        constant += ch1[k] * ch1[k];
        sums[k] = double(S[k]);
        spreads[k] = weightedSpread(S[k], Q[k]);
    }
    lanes[kGridLanes - 1] = 0;
    return constant;
}

// The twelve rotations of one tile: ImgColorDiff64(cell, rotation r) for r = 0..11.
QUILLARY_KERNEL
void roundExact(const std::int16_t* __restrict grids, const std::int32_t* __restrict consts, const RoundCell& cell,
                std::int32_t* __restrict out)
{
    const std::int16_t* __restrict wc = cell.wc;
    for (int r = 0; r < kRotations; ++r) {
        const std::int16_t* __restrict g = grids + r * kGridLanes;
        std::int32_t dot = 0;
        for (int j = 0; j < kGridLanes; ++j)
            dot += std::int32_t(wc[j]) * std::int32_t(g[j]);
        out[r] = cell.cellConst + consts[r] - 2 * dot;
    }
}

// Per tile, for each channel, the range over the twelve rotations of the weighted sum,
// the weighted spread and the ci1 value: rows [0..2] sum min, [3..5] sum max, [6..8]
// spread min, [9..11] spread max, [12..14] ci1 min, [15..17] ci1 max.
constexpr int kBoundRows = 18;

// A lower bound of min over r of ImgColorDiff64(cell, rotation r) for every tile. Per
// channel, sum_k w_k (c_k - g_k)^2 = (S_c - S_g)^2 / W + |(c - mean c) - (g - mean g)|^2_w,
// and the second term is at least (spread_c - spread_g)^2; the ci1 term is at least the
// distance of the cell's value to the tile's range.
QUILLARY_KERNEL
void roundBounds(const double* __restrict rows, int stride, int n, const RoundCell& cell, double* __restrict out)
{
    for (int t = 0; t < n; ++t) {
        double lb = 0;
        for (int k = 0; k < 3; ++k) {
            const double s = cell.sum[k], sp = cell.spread[k], o = cell.one[k];
            const double ds = std::max(rows[(0 + k) * stride + t] - s, 0.0) + std::max(s - rows[(3 + k) * stride + t], 0.0);
            const double dp =
                std::max(rows[(6 + k) * stride + t] - sp, 0.0) + std::max(sp - rows[(9 + k) * stride + t], 0.0);
            const double d1 =
                std::max(rows[(12 + k) * stride + t] - o, 0.0) + std::max(o - rows[(15 + k) * stride + t], 0.0);
            lb += ds * ds / kCenterWeightSum + dp * dp + d1 * d1;
        }
        out[t] = lb;
    }
}

// A candidate as one ordered number: the diff in the high half (offset so that signed
// order becomes unsigned order), the tile index in the low half. Ascending keys are
// TryAddTile's ranking: ascending diff, the lower tile index first among equal diffs.
using Key = std::uint64_t;
inline Key makeKey(std::int32_t diff, int tile)
{
    return (Key(std::uint32_t(diff) ^ 0x80000000u) << 32) | std::uint32_t(tile);
}
inline std::int32_t keyDiff(Key k)
{
    return std::int32_t(std::uint32_t(k >> 32) ^ 0x80000000u);
}
inline int keyTile(Key k)
{
    return int(std::uint32_t(k));
}

// The smallest 100 keys offered, in any order of offers: a sorted run while it is only
// read, a max-heap once more keys are offered.
class BestKeys {
public:
    // Starts from a batch of keys (reordered in place).
    void start(Key* keys, int m)
    {
        if (m > kListCapacity) {
            std::nth_element(keys, keys + kListCapacity - 1, keys + m);
            m = kListCapacity;
        }
        std::copy(keys, keys + m, m_heap);
        m_size = m;
        std::make_heap(m_heap, m_heap + m_size);
        m_sorted = false;
    }
    // Starts from at most 100 keys in ascending order.
    void startSorted(const Key* keys, int m)
    {
        std::copy(keys, keys + m, m_heap);
        m_size = m;
        m_sorted = true;
    }
    bool full() const { return m_size == kListCapacity; }
    Key worst() const { return m_sorted ? m_heap[m_size - 1] : m_heap[0]; }
    // Whether a key would be kept (the list is not full or it ranks before the worst).
    bool ranks(Key k) const { return !full() || k < worst(); }
    void offer(Key k)
    {
        if (m_sorted) {
            std::make_heap(m_heap, m_heap + m_size);
            m_sorted = false;
        }
        if (m_size < kListCapacity) {
            m_heap[m_size++] = k;
            std::push_heap(m_heap, m_heap + m_size);
        } else if (k < m_heap[0]) {
            std::pop_heap(m_heap, m_heap + m_size);
            m_heap[m_size - 1] = k;
            std::push_heap(m_heap, m_heap + m_size);
        }
    }
    // Leaves gtl as clear() and the TryAddTile calls would: the ranked entries first,
    // then the cleared old entries, each insert having pushed them one place down.
    // `rotation[t]` is the RotateID of tile t.
    void writeTo(TGoodTileList& gtl, const std::uint8_t* rotation)
    {
        if (!m_sorted) std::sort_heap(m_heap, m_heap + m_size);
        m_sorted = true;
        TGoodTileList::Entry old[kListCapacity];
        std::memcpy(old, gtl.Tiles, sizeof old);
        for (int j = m_size; j < kListCapacity; ++j) {
            gtl.Tiles[j] = old[j - m_size];
            gtl.Tiles[j].tileid = -1;
        }
        for (int i = 0; i < m_size; ++i) {
            const int t = keyTile(m_heap[i]);
            gtl.Tiles[i] = TGoodTileList::Entry{t, rotation ? rotation[t] : 0, keyDiff(m_heap[i])};
        }
        gtl.Count = m_size;
    }

private:
    Key m_heap[kListCapacity];
    int m_size = 0;
    bool m_sorted = true;
};

// Libraries smaller than this are scanned in one pass: a threshold estimate would not
// pay for itself.
constexpr int kSeedingMinTiles = 200;

// A value that roughly the best 100 + 50 % of `values` stay at or below: the matching
// order statistic of every eighth value. Only an estimate; the passes that use it stay
// exact whatever it is.
template <typename T>
T seedThreshold(const T* values, int n)
{
    T sample[kTileCountMax / 8 + 1];
    int m = 0;
    for (int t = 0; t < n; t += 8)
        sample[m++] = values[t];
    const int k = std::min(m - 1, (kListCapacity * 3 / 2 * m + n - 1) / n);
    std::nth_element(sample, sample + k, sample + m);
    return sample[k];
}

// TileAvailabilityCheck(cell, t) for one cell and many tiles: the tiles placed around
// the cell are collected once, when the first tile needs them, instead of once per tile.
class Availability {
public:
    Availability(const TMosaicProject& project, const TCell& cell) : m_project(project), m_cell(cell)
    {
        const TmosaicOptions& options = project.ws().moptions;
        m_repeatMaxOn = options.RepeatMaxOn != 0;
        m_repeatMax = options.RepeatMax;
        m_radiusOn = options.RepeatRadiusOn != 0;
    }
    // Asks the memory for the use counts of tiles about to be checked: each item record
    // is 32 KB, so every use count sits on a page of its own and costs a miss.
    void prefetch(int t) const
    {
        if (m_repeatMaxOn) __builtin_prefetch(&m_project.ws().mtilelib.items[t].Usecount);
    }
    bool operator()(int t)
    {
        if (m_repeatMaxOn && m_project.ws().mtilelib.items[t].Usecount >= m_repeatMax) return false;
        if (!m_radiusOn) return true;
        if (!m_collected) collect();
        return !(m_near[t >> 6] & (std::uint64_t(1) << (t & 63)));
    }

private:
    void mark(int tileID, int count)
    {
        if (tileID >= 0 && tileID < count) m_near[tileID >> 6] |= std::uint64_t(1) << (tileID & 63);
    }
    void collect()
    {
        m_collected = true;
        const TprojectCFG& cfg = m_project.cfg;
        const int count = tileCount(m_project.ws().mtilelib);
        const int R = m_project.ws().moptions.RepeatRadius;
        if (cfg.ProjectPatternType == kPatternGrid) {
            const Span cols = neighbourhood(m_cell.CellX, R, gridColumnCount(cfg));
            const Span rows = neighbourhood(m_cell.CellY, R, gridRowCount(cfg));
            for (int y = rows.lo; y <= rows.hi; ++y)
                for (int x = cols.lo; x <= cols.hi; ++x)
                    mark(m_project.Cells[y][x].TileID, count);
        } else if (cfg.ProjectPatternType == kPatternCircles) {
            const Span ids = neighbourhood(m_cell.CellAID, R, addonCellCount(cfg));
            for (int i = ids.lo; i <= ids.hi; ++i)
                mark(m_project.AddonTiles[i].TileID, count);
        }
    }

    const TMosaicProject& m_project;
    const TCell& m_cell;
    bool m_repeatMaxOn = false, m_radiusOn = false, m_collected = false;
    int m_repeatMax = 0;
    std::uint64_t m_near[(kTileCapacity + 63) / 64] = {};
};

// The cells still waiting in a pass, to find the first one from a random start without
// rescanning the grid. A set bit is checked against the live cell before it is used.
class WaitingCells {
public:
    explicit WaitingCells(int n) : m_n(n), m_words((n + 63) / 64, 0) {}
    void set(int i) { m_words[i >> 6] |= std::uint64_t(1) << (i & 63); }
    void reset(int i) { m_words[i >> 6] &= ~(std::uint64_t(1) << (i & 63)); }
    // The first set index from s on, wrapping from n - 1 to 0; -1 when none.
    int firstFrom(int s) const
    {
        if (m_n <= 0) return -1;
        const int w0 = s >> 6;
        std::uint64_t word = m_words[w0] & (~std::uint64_t(0) << (s & 63));
        for (int w = w0;;) {
            if (word) return w * 64 + std::countr_zero(word);
            if (++w == int(m_words.size())) break;
            word = m_words[w];
        }
        for (int w = 0; w <= w0; ++w) {
            std::uint64_t wordAt = m_words[w];
            if (w == w0) wordAt &= (s & 63) ? ~(~std::uint64_t(0) << (s & 63)) : 0;
            if (wordAt) return w * 64 + std::countr_zero(wordAt);
        }
        return -1;
    }

private:
    int m_n;
    std::vector<std::uint64_t> m_words;
};

} // namespace

struct SearchAccelerator::Data {
    int count = 0;
    bool round = false;
    UprightSamples upright;
    // Round tiles: per tile twelve rows of kGridLanes values and their constants, and
    // the rotation ranges the lower bound uses.
    AlignedBlock<std::int16_t> grids;
    AlignedBlock<std::int32_t> gridConsts;
    AlignedBlock<double> boundRows;
    int boundStride = 0;
    // Scratch of one list; the search runs on one thread.
    AlignedBlock<std::int32_t> diffs;
    AlignedBlock<double> bounds;
    AlignedBlock<std::uint8_t> rotations;
    AlignedBlock<Key> batch;
    AlignedBlock<int> firstPass;
    int seedingMinTiles = kSeedingMinTiles;
    mutable Counters counters;
};

SearchAccelerator::SearchAccelerator(const TTilelibData& lib, bool roundTiles) : d(std::make_unique<Data>())
{
    const int n = tileCount(lib);
    d->count = n;
    d->round = roundTiles;
    d->upright.allocate(n);
    for (int t = 0; t < n; ++t)
        d->upright.set(t, lib.items[t].ColorInfo);
    d->diffs = allocateBlock<std::int32_t>(paddedCount(n));
    d->batch = allocateBlock<Key>(paddedCount(n));
    d->firstPass = allocateBlock<int>(paddedCount(n));
    if (!roundTiles) return;
    d->rotations = allocateBlock<std::uint8_t>(paddedCount(n));

    d->grids = allocateBlock<std::int16_t>(std::size_t(n) * kRotations * kGridLanes);
    d->gridConsts = allocateBlock<std::int32_t>(std::size_t(n) * kRotations);
    d->boundStride = paddedCount(n);
    d->boundRows = allocateBlock<double>(std::size_t(kBoundRows) * d->boundStride);
    d->bounds = allocateBlock<double>(d->boundStride);
    const int stride = d->boundStride;
    for (int t = 0; t < n; ++t) {
        double lo[9], hi[9];
        std::fill(lo, lo + 9, INFINITY);
        std::fill(hi, hi + 9, -INFINITY);
        for (int r = 0; r < kRotations; ++r) {
            const TimgColorInfo& info = lib.items[t].RotColorInfo[r];
            double sums[3], spreads[3];
            const std::size_t row = std::size_t(t) * kRotations + r;
            d->gridConsts[row] =
                gridLanes(info, d->grids.get() + row * kGridLanes, /*weighted=*/false, sums, spreads);
            const double one[3] = {double(info.ci1.rgba.r), double(info.ci1.rgba.g), double(info.ci1.rgba.b)};
            for (int k = 0; k < 3; ++k) {
                const double v[3] = {sums[k], spreads[k], one[k]};
                for (int m = 0; m < 3; ++m) {
                    lo[3 * m + k] = std::min(lo[3 * m + k], v[m]);
                    hi[3 * m + k] = std::max(hi[3 * m + k], v[m]);
                }
            }
        }
        for (int m = 0; m < 3; ++m)
            for (int k = 0; k < 3; ++k) {
                d->boundRows[std::size_t(6 * m + k) * stride + t] = lo[3 * m + k];
                d->boundRows[std::size_t(6 * m + 3 + k) * stride + t] = hi[3 * m + k];
            }
    }
}

SearchAccelerator::~SearchAccelerator() = default;

bool SearchAccelerator::covers(const TTilelibData& lib, bool roundTiles) const
{
    return tileCount(lib) == d->count && roundTiles == d->round;
}

SearchAccelerator::Counters SearchAccelerator::counters() const
{
    return d->counters;
}

void SearchAccelerator::GetGoodTileList(const TMosaicProject& project, const TCell& cell, TGoodTileList& gtl,
                                        bool bypassAC) const
{
    const TTilelib& lib = project.ws().mtilelib;
    const int n = d->count;
    const bool seeding = n >= std::max(d->seedingMinTiles, 16);
    Availability available(project, cell);
    BestKeys best;
    Key* batch = d->batch.get();
    int m = 0;
    ++d->counters.lists;

    // Two passes: first the tiles likely to rank, then the rest against the list the
    // first pass filled. The kept set does not depend on the order of the offers.
    if (!d->round) {
        const ColorMatchSettings settings = matchSettings(project.ws().moptions);
        std::int32_t* diffs = d->diffs.get();
        cellAgainstTiles(d->upright, OneUpright(cell.ICinfo), settings.WeightL, settings.WeightC, settings.RGBMatch,
                         diffs);
        const std::int32_t seed = seeding ? seedThreshold(diffs, n) : INT_MAX;
        for (int t = 0; t < n; ++t) {
            batch[m] = makeKey(diffs[t], t);
            m += diffs[t] <= seed;
        }
        // Availability is asked in rank order, so only about the first 100 need it.
        std::sort(batch, batch + m);
        if (!bypassAC)
            for (int i = 0; i < std::min(m, kListCapacity + 8); ++i)
                available.prefetch(keyTile(batch[i]));
        int kept = 0;
        for (int i = 0; i < m && kept < kListCapacity; ++i) {
            const int t = keyTile(batch[i]);
            if (lib.ItemEnable[t] && (bypassAC || available(t))) batch[kept++] = batch[i];
        }
        best.startSorted(batch, kept);
        // A full list holds only diffs up to the seed, which every other tile exceeds.
        if (!best.full())
            for (int t = 0; t < n; ++t) {
                if (diffs[t] <= seed || !lib.ItemEnable[t]) continue;
                const Key key = makeKey(diffs[t], t);
                if (best.ranks(key) && (bypassAC || available(t))) best.offer(key);
            }
        best.writeTo(gtl, nullptr);
        return;
    }

    RoundCell rc;
    rc.cellConst = gridLanes(cell.ICinfo, rc.wc, /*weighted=*/true, rc.sum, rc.spread);
    rc.one[0] = cell.ICinfo.ci1.rgba.r;
    rc.one[1] = cell.ICinfo.ci1.rgba.g;
    rc.one[2] = cell.ICinfo.ci1.rgba.b;
    double* bounds = d->bounds.get();
    std::uint8_t* rotation = d->rotations.get();
    roundBounds(d->boundRows.get(), d->boundStride, n, rc, bounds);
    // The best rotation of tile t (the lower one on ties) and its key.
    auto exact = [&](int t) {
        ++d->counters.exactTiles;
        std::int32_t rotDiff[kRotations];
        const std::size_t row = std::size_t(t) * kRotations;
        roundExact(d->grids.get() + row * kGridLanes, d->gridConsts.get() + row, rc, rotDiff);
        int bestR = 0;
        for (int r = 1; r < kRotations; ++r)
            if (rotDiff[r] < rotDiff[bestR]) bestR = r;
        rotation[t] = std::uint8_t(bestR);
        return makeKey(rotDiff[bestR], t);
    };
    // The tiles with the smallest bounds first, so that the list fills with good
    // candidates and the bound rejects most of the rest.
    const double seed = seeding ? seedThreshold(bounds, n) : INFINITY;
    int* first = d->firstPass.get();
    int firstCount = 0;
    for (int t = 0; t < n; ++t) {
        first[firstCount] = t;
        firstCount += bounds[t] <= seed && lib.ItemEnable[t];
    }
    if (!bypassAC)
        for (int i = 0; i < firstCount; ++i)
            available.prefetch(first[i]);
    for (int i = 0; i < firstCount; ++i)
        if (bypassAC || available(first[i])) batch[m++] = exact(first[i]);
    best.start(batch, m);
    for (int t = 0; t < n; ++t) {
        if (bounds[t] <= seed || !lib.ItemEnable[t]) continue;
        if (best.full()) {
            // The bound is computed in double from exact integers and is off by far
            // less than 0.5. Above worst - 0.5 it proves diff >= worst, enough for a
            // tile after the worst one (an equal diff ranks behind it); a tile before
            // it needs diff > worst.
            const Key worst = best.worst();
            const double margin = t > keyTile(worst) ? -0.5 : 0.5;
            if (bounds[t] > double(keyDiff(worst)) + margin) {
                ++d->counters.boundedTiles;
                continue;
            }
        }
        if (bypassAC || available(t)) best.offer(exact(t));
    }
    best.writeTo(gtl, rotation);
}

void SearchAccelerator::setSeedingMinTiles(int n)
{
    d->seedingMinTiles = n;
}

void SearchAccelerator::Search_Pos_for_tile(TMosaicProject& project, Progress* Pbar) const
{
    Workspace& w = project.ws();
    const ColorMatchSettings settings = matchSettings(w.moptions);
    const int rows = gridRowCount(project.cfg), cols = gridColumnCount(project.cfg);
    const int count = d->count, N = rows * cols;

    PumpEvents(w.platform);
    // The pass diffuses nothing, so the cells' colours hold for all of it; only which
    // cells are free changes, and only through this pass.
    UprightSamples cells;
    cells.allocate(N);
    std::vector<std::uint8_t> free(std::size_t(std::max(N, 1)));
    for (int q = 0; q < N; ++q) {
        const TCell& cell = project.Cells[q / cols][q % cols];
        cells.set(q, cell.ICinfo);
        free[q] = isFreeCell(cell);
    }
    AlignedBlock<double> dist = allocateBlock<double>(cells.stride);
    for (int t = 0; t < count; ++t) {
        PumpEvents(w.platform);
        reportSearchProgress(Pbar, t, count);
        const int ox = w.random().Random(cols);
        const int oy = w.random().Random(rows);
        OneUpright tile(w.mtilelib.items[t].ColorInfo);
        cellsAgainstTile(cells, tile, settings.WeightL, settings.WeightC, settings.RGBMatch, dist.get());
        // The plain scan order from the random start, wrapping; the first of equal
        // differences wins.
        double best = 4294967295.0;
        int chosen = -1;
        for (int r = 0; r < rows; ++r) {
            int y = oy + r;
            if (y >= rows) y -= rows;
            const int rowStart = y * cols;
            for (int c = 0; c < cols; ++c) {
                int x = ox + c;
                if (x >= cols) x -= cols;
                const int q = rowStart + x;
                if (free[q] && dist[q] < best) {
                    best = dist[q];
                    chosen = q;
                }
            }
        }
        if (chosen >= 0) {
            project.Cell_SetTile(project.Cells[chosen / cols][chosen % cols], t);
            free[chosen] = 0;
        }
    }
    SetProgress(Pbar, 0);
}

void SearchAccelerator::TSL_Search_Tile_for_pos_Random(TMosaicProject& project, int priority, Progress* Pbar) const
{
    Workspace& w = project.ws();
    TGoodTileList& gtl = w.goodTileList;
    const int rows = gridRowCount(project.cfg), cols = gridColumnCount(project.cfg);
    const int N = rows * cols;

    PumpEvents(w.platform);
    WaitingCells waiting(N);
    for (int q = 0; q < N; ++q)
        if (isCandidateCell(project.Cells[q / cols][q % cols], priority)) waiting.set(q);
    for (int attempt = 0; attempt < N; ++attempt) {
        const int s = w.random().Random(N);
        PumpEvents(w.platform);
        if (attempt % cols == 0) reportSearchProgress(Pbar, attempt, N);
        int q;
        while ((q = waiting.firstFrom(s)) >= 0 && !isCandidateCell(project.Cells[q / cols][q % cols], priority))
            waiting.reset(q);
        if (q < 0) continue;
        const int y = q / cols, x = q % cols;
        TCell& cell = project.Cells[y][x];
        project.GetGoodTileList(cell, gtl, /*bypassAC=*/false);
        if (gtl.Count > 0) {
            const int i = w.random().Random(std::min(gtl.Count, w.moptions.RandomLevel));
            project.Cell_SetTile_R(cell, gtl.Tiles[i].tileid, gtl.Tiles[i].RotateID);
            project.Cell_SetDither_R(x, y);
            waiting.reset(q);
        }
    }
    SetProgress(Pbar, 0);
}

void SearchAccelerator::Search_Tile_for_AddOn(TMosaicProject& project, bool randomsearch, int priority,
                                              Progress* pbar) const
{
    Workspace& w = project.ws();
    TGoodTileList& gtl = w.goodTileList;
    const int count = addonCellCount(project.cfg);

    PumpEvents(w.platform);
    if (count <= 0) return;
    WaitingCells waiting(count);
    for (int e = 0; e < count; ++e)
        if (isCandidateCell(project.AddonTiles[e], priority)) waiting.set(e);
    for (int attempt = 0; attempt < count; ++attempt) {
        if (attempt % 64 == 0) reportSearchProgress(pbar, attempt, count);
        const int s = randomsearch ? w.random().Random(count) : 0;
        int e;
        while ((e = waiting.firstFrom(s)) >= 0 && !isCandidateCell(project.AddonTiles[e], priority))
            waiting.reset(e);
        if (e < 0) continue;
        TCell& cell = project.AddonTiles[e];
        project.GetGoodTileList(cell, gtl, /*bypassAC=*/false);
        if (gtl.Count <= 0) {
            Beep(w.platform);
        } else {
            const int i = w.random().Random(std::min(gtl.Count, w.moptions.RandomLevel));
            // Add-on cells keep the tangent rotation of their layout.
            const double rotate = cell.Rotate;
            project.Cell_SetTile_R(cell, gtl.Tiles[i].tileid, gtl.Tiles[i].RotateID);
            cell.Rotate = rotate;
            project.Cell_SetDither_addonR(e);
            waiting.reset(e);
        }
    }
    SetProgress(pbar, 0);
}
