// The whole tile search (Search_withoptions) of a 100 x 100 grid against a full
// 2048-tile library with the new-project window's default options (random order,
// dither on at 100 %, at most 50 uses, repeat radius 1, randomize level 15, both weights
// 0.795...), along the plain path and the fast path, rectangular tiles (ImgColorDiff)
// and round tiles (base tile shape 20: twelve ImgColorDiff64 rotations per tile).
//
// The colour descriptions are measured from generated pictures: each tile is a small
// photo-like picture (a colour field with a gradient, a bright or dark blob and noise)
// measured upright and in twelve rotations with the library's own operations; the
// cells are measured from a generated main image, so that neighbouring cells look
// alike as they do in a photo. Each iteration starts from the freshly read colours.
// The fast-path time includes building its copy of the library's samples.

#include "engine/search_accelerator.h"
#include "engine/workspace.h"
#include "imaging/bitmap_ops.h"
#include "imaging/color_convert.h"
#include "imaging/color_measure.h"

#include <QImage>
#include <QPainter>
#include <QRadialGradient>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kTiles = 2048;
constexpr int kSide = 100;
constexpr int kTilePx = 48;

double peakRssMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

QImage tilePicture(std::mt19937& rng)
{
    std::uniform_int_distribution<int> channel(0, 255);
    QImage img(kTilePx, kTilePx, QImage::Format_ARGB32_Premultiplied);
    const QColor a(channel(rng), channel(rng), channel(rng)), b(channel(rng), channel(rng), channel(rng));
    QLinearGradient g(0, 0, kTilePx * (rng() % 100) / 100.0, kTilePx);
    g.setColorAt(0, a);
    g.setColorAt(1, QColor((a.red() * 3 + b.red()) / 4, (a.green() * 3 + b.green()) / 4, (a.blue() * 3 + b.blue()) / 4));
    QPainter p(&img);
    p.fillRect(img.rect(), g);
    QRadialGradient blob(QPointF(rng() % kTilePx, rng() % kTilePx), kTilePx / 3.0);
    blob.setColorAt(0, b);
    blob.setColorAt(1, Qt::transparent);
    p.fillRect(img.rect(), blob);
    p.end();
    for (int y = 0; y < kTilePx; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < kTilePx; ++x) {
            const int n = int(rng() % 17) - 8;
            auto c = [n](int v) { return std::clamp(v + n, 0, 255); };
            line[x] = qRgb(c(qRed(line[x])), c(qGreen(line[x])), c(qBlue(line[x])));
        }
    }
    return img;
}

// The main image: smooth colour regions with some edges, 8 pixels per cell sample.
QImage mainPicture()
{
    const int px = kSide * 16;
    QImage img(px, px, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < px; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < px; ++x) {
            const double u = double(x) / px, v = double(y) / px;
            const int r = int(127 + 120 * std::sin(6.0 * u + 2.0 * v));
            const int g = int(127 + 120 * std::sin(4.0 * v - 3.0 * u * v + 1.0));
            const int b = (u + v > 1.1) ? int(60 + 150 * u) : int(200 - 120 * v);
            line[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
        }
    }
    return img;
}

struct Setup {
    std::unique_ptr<Workspace> ws;
    std::vector<TimgColorInfo> cellColours;
};

// The library and project of the benchmark, the same for every path.
std::unique_ptr<Setup> makeSetup(bool roundTiles)
{
    auto s = std::make_unique<Setup>();
    s->ws = std::make_unique<Workspace>(Platform{}, 1u);
    Workspace& ws = *s->ws;
    std::mt19937 rng(2048);
    TTilelib& lib = ws.mtilelib;
    const TRectF whole{0, 0, float(kTilePx), float(kTilePx)};
    for (int t = 0; t < kTiles; ++t) {
        const QImage picture = tilePicture(rng);
        TTileItem& item = lib.items[t];
        GetImgColorInfo8(item.ColorInfo, picture, whole);
        for (int r = 0; r < 12; ++r) {
            QImage turned = picture.copy();
            RotateBitmap(turned, float(r * 30.0));
            GetImgColorInfo8(item.RotColorInfo[r], turned, whole);
        }
        lib.ItemEnable[t] = 1;
        lib.Count = t + 1;
    }
    TMosaicProject& prj = ws.mproject;
    prj.cfg.ProjectPatternType = kPatternGrid;
    prj.cfg.Hcc = prj.cfg.Vcc = kSide;
    prj.cfg.BaseTileShape = roundTiles ? kShapeEllipse : kShapeRect;
    const QImage main = mainPicture();
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            TCell& c = prj.Cells[y][x];
            c.CellX = x;
            c.CellY = y;
            c.enable = 1;
            c.PriLevel = kPriorityNormal;
            c.CellShape = prj.cfg.BaseTileShape;
            GetImgColorInfo16(c.ICinfo, main, TRectF{x * 16.0f, y * 16.0f, x * 16.0f + 16, y * 16.0f + 16});
            s->cellColours.push_back(c.ICinfo);
        }
    TmosaicOptions& o = ws.moptions;
    std::memset(&o, 0, sizeof o);
    o.RepeatMaxOn = o.RepeatRadiusOn = o.DitherOn = 1;
    o.RepeatMax = 50;
    o.RepeatRadius = 1;
    o.RandomLevel = 15;
    o.DitherLevel = 1;
    o.WeightL = o.WeightC = kDefaultMatchWeight;
    return s;
}

Setup& setup(bool roundTiles)
{
    static Setup* rect = nullptr;
    static Setup* round = nullptr;
    Setup*& slot = roundTiles ? round : rect;
    if (!slot) slot = makeSetup(roundTiles).release();
    return *slot;
}

void restart(Setup& s)
{
    s.ws->mtilelib.ZeroUsecount();
    TMosaicProject& prj = s.ws->mproject;
    prj.cell_ClearTileID();
    for (int q = 0; q < kSide * kSide; ++q)
        prj.Cells[q / kSide][q % kSide].ICinfo = s.cellColours[q];
    s.ws->random().seed(1);
}

// Arguments: round tiles (0/1), path (0 plain, 1 fast).
void BM_Search(benchmark::State& state)
{
    const bool roundTiles = state.range(0) != 0;
    Setup& s = setup(roundTiles);
    s.ws->searchPath = state.range(1) ? SearchPath::Accelerated : SearchPath::Reference;
    for (auto _ : state) {
        state.PauseTiming();
        restart(s);
        state.ResumeTiming();
        s.ws->mproject.Search_withoptions();
    }
    // A checksum of the result, equal along both paths for the same seed.
    std::uint64_t sum = 0;
    for (int q = 0; q < kSide * kSide; ++q) {
        const TCell& c = s.ws->mproject.Cells[q / kSide][q % kSide];
        sum = sum * 1000003u + std::uint64_t(c.TileID + 1) * 13u + std::uint64_t(std::lround(c.Rotate * 100));
    }
    state.counters["result_hash"] = double(sum % 1000000007u);
    state.counters["peak_RSS_MB"] = peakRssMB();
    state.SetLabel(std::string(roundTiles ? "round" : "rect") + (state.range(1) ? " fast" : " plain"));
}
BENCHMARK(BM_Search)
    ->ArgNames({"round", "fast"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// The candidate list of one cell (what the tile picker asks), fast path only.
void BM_GoodTileList(benchmark::State& state)
{
    const bool roundTiles = state.range(0) != 0;
    Setup& s = setup(roundTiles);
    restart(s);
    const SearchAccelerator accelerator(s.ws->mtilelib, roundTiles);
    TGoodTileList gtl;
    int q = 0;
    for (auto _ : state) {
        const TCell& c = s.ws->mproject.Cells[q / kSide][q % kSide];
        accelerator.GetGoodTileList(s.ws->mproject, c, gtl, /*bypassAC=*/false);
        q = (q + 7919) % (kSide * kSide);
        benchmark::DoNotOptimize(gtl.Count);
    }
    // Round tiles only: how many tiles needed their twelve exact rotations, how many the
    // lower bound settled.
    const SearchAccelerator::Counters n = accelerator.counters();
    const double lists = double(std::max<std::int64_t>(n.lists, 1));
    state.counters["exact_tiles_per_list"] = double(n.exactTiles) / lists;
    state.counters["bounded_tiles_per_list"] = double(n.boundedTiles) / lists;
}
BENCHMARK(BM_GoodTileList)->ArgNames({"round"})->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
