// The engine steps of " Create Mosaic >>>": rendering the crop into fullSizeImage,
// reading the cell colours and the reference tile search.

#include "engine/main_image.h"
#include "engine/workspace.h"
#include "imaging/bitmap_ops.h"
#include "imaging/color_convert.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>

namespace {

QImage photo(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<quint32*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgb(x * 255 / w, y * 255 / h, (x ^ y) & 0xFF);
    }
    return img;
}

// A workspace with the photo loaded into a 400 x 300 view and a square 8000-pixel
// canvas, the crop chosen automatically.
std::unique_ptr<Workspace> squareProject(int photoW, int photoH, CropState& crop)
{
    auto ws = std::make_unique<Workspace>();
    ws->mainImage = photo(photoW, photoH);
    ws->zoomedImage = FitBitmap(ws->mainImage, 400, 300);
    ws->mproject.cfg.WidthPx = ws->mproject.cfg.HeightPx = 8000;
    (void)AutoCropRect(*ws, crop);
    return ws;
}

void BM_MakeFullSize(benchmark::State& state)
{
    CropState crop;
    auto ws = squareProject(int(state.range(0)), int(state.range(1)), crop);
    for (auto _ : state) {
        MakeFullSize(*ws, crop.cropRect);
        benchmark::DoNotOptimize(ws->fullSizeImage.constBits());
    }
    state.SetLabel(
        QStringLiteral("%1 x %2").arg(ws->fullSizeImage.width()).arg(ws->fullSizeImage.height()).toStdString());
}
// A 12-megapixel photo is enlarged (its 2700-pixel crop into 4000), a 36-megapixel one
// shrunk (5400 into 4000).
BENCHMARK(BM_MakeFullSize)->Args({4000, 3000})->Args({8000, 6000})->Unit(benchmark::kMillisecond);

void BM_ReadCellColours(benchmark::State& state)
{
    CropState crop;
    auto ws = squareProject(4000, 3000, crop);
    MakeFullSize(*ws, crop.cropRect);
    TMosaicProject& prj = ws->mproject;
    prj.cfg.ProjectPatternType = kPatternGrid;
    prj.cfg.Hcc = prj.cfg.Vcc = 100;
    prj.cfg.SrcColorEnhance = 1.2;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            prj.Cells[y][x].CellRect = TRectF{x * 80.0f, y * 80.0f, x * 80.0f + 78, y * 80.0f + 78};
    for (auto _ : state)
        prj.Cell_ReadColorFromMI_2017();
}
BENCHMARK(BM_ReadCellColours)->Unit(benchmark::kMillisecond);

void BM_SearchReference(benchmark::State& state)
{
    const int side = int(state.range(0)), tiles = int(state.range(1));
    auto ws = std::make_unique<Workspace>(Platform{}, 1u);
    ws->searchPath = SearchPath::Reference; // the plain loops; bench/search_bench.cpp compares the fast path
    std::mt19937 rng(3);
    auto info = [&rng] {
        TimgColorInfo i;
        std::memset(&i, 0, sizeof i);
        CompleteColorInfo(i.ci1, rng() % 256, rng() % 256, rng() % 256);
        for (TColorInfo15& e : i.ci4)
            CompleteColorInfo(e, rng() % 256, rng() % 256, rng() % 256);
        for (TColorInfo15& e : i.ci64)
            CompleteColorInfo(e, rng() % 256, rng() % 256, rng() % 256);
        return i;
    };
    TTilelib& lib = ws->mtilelib;
    lib.Count = tiles;
    for (int t = 0; t < tiles; ++t) {
        lib.items[t].ColorInfo = info();
        lib.ItemEnable[t] = 1;
    }
    TMosaicProject& prj = ws->mproject;
    prj.cfg.ProjectPatternType = kPatternGrid;
    prj.cfg.Hcc = prj.cfg.Vcc = side;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            TCell& c = prj.Cells[y][x];
            c.CellX = x;
            c.CellY = y;
            c.enable = 1;
            c.PriLevel = kPriorityNormal;
            c.ICinfo = info();
        }
    TmosaicOptions& o = ws->moptions;
    std::memset(&o, 0, sizeof o);
    o.RepeatMaxOn = o.RepeatRadiusOn = o.DitherOn = 1;
    o.RepeatMax = 50;
    o.RepeatRadius = 1;
    o.RandomLevel = 15;
    o.DitherLevel = 1;
    o.WeightL = o.WeightC = kDefaultMatchWeight;
    for (auto _ : state) {
        lib.ZeroUsecount();
        prj.cell_ClearTileID();
        prj.Search_withoptions();
    }
}
BENCHMARK(BM_SearchReference)->Args({48, 200})->Args({100, 500})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
