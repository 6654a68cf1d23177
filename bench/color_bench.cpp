// Colour measurement and the difference measures: the inner loops of sampling and search.

#include "imaging/area_resample.h"
#include "imaging/color_convert.h"
#include "imaging/color_measure.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

namespace {

QImage noisePicture(int w, int h, QImage::Format format)
{
    std::mt19937 rng(1);
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<quint32*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = 0xFF000000u | (rng() & 0xFFFFFFu);
    }
    return img.convertToFormat(format);
}

TimgColorInfo randomInfo(std::mt19937& rng)
{
    TimgColorInfo info;
    std::memset(&info, 0, sizeof info);
    CompleteColorInfo(info.ci1, rng() % 256, rng() % 256, rng() % 256);
    for (TColorInfo15& e : info.ci4)
        CompleteColorInfo(e, rng() % 256, rng() % 256, rng() % 256);
    for (TColorInfo15& e : info.ci64)
        CompleteColorInfo(e, rng() % 256, rng() % 256, rng() % 256);
    return info;
}

void BM_AreaResamplePhotoToTile(benchmark::State& state)
{
    const QImage photo = noisePicture(4000, 3000, QImage::Format_RGB32);
    for (auto _ : state)
        benchmark::DoNotOptimize(AreaResample(photo, QRectF(0, 0, 4000, 3000), 400, 300));
    state.SetBytesProcessed(state.iterations() * 4000LL * 3000 * 4);
}
BENCHMARK(BM_AreaResamplePhotoToTile)->Unit(benchmark::kMillisecond);

void BM_GetImgColorInfo8Cell(benchmark::State& state)
{
    const QImage main = noisePicture(3000, 2000, QImage::Format_ARGB32_Premultiplied);
    const float side = float(state.range(0));
    TimgColorInfo info;
    float x = 0;
    for (auto _ : state) {
        GetImgColorInfo8(info, main, TRectF{x, 100.5f, x + side, 100.5f + side});
        benchmark::DoNotOptimize(info);
        x = x + side > 2900 ? 0 : x + 7.25f;
    }
}
BENCHMARK(BM_GetImgColorInfo8Cell)->Arg(16)->Arg(60)->Arg(300)->Unit(benchmark::kMicrosecond);

void BM_ImgColorDiff(benchmark::State& state)
{
    std::mt19937 rng(2);
    TimgColorInfo tiles[256];
    for (TimgColorInfo& t : tiles)
        t = randomInfo(rng);
    const TimgColorInfo cell = randomInfo(rng);
    const ColorMatchSettings s{kDefaultMatchWeight, kDefaultMatchWeight, false};
    for (auto _ : state)
        for (const TimgColorInfo& t : tiles)
            benchmark::DoNotOptimize(ImgColorDiff(cell, t, s));
    state.SetItemsProcessed(state.iterations() * 256);
}
BENCHMARK(BM_ImgColorDiff);

void BM_ImgColorDiff64(benchmark::State& state)
{
    std::mt19937 rng(3);
    TimgColorInfo tiles[256];
    for (TimgColorInfo& t : tiles)
        t = randomInfo(rng);
    const TimgColorInfo cell = randomInfo(rng);
    for (auto _ : state)
        for (const TimgColorInfo& t : tiles)
            benchmark::DoNotOptimize(ImgColorDiff64(cell, t));
    state.SetItemsProcessed(state.iterations() * 256);
}
BENCHMARK(BM_ImgColorDiff64);

} // namespace

BENCHMARK_MAIN();
