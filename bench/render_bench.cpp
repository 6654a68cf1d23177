// The final mosaic of a 100 x 100 project drawn at the 8000-pixel working canvas from a
// 500-tile library, as a project's picture is exported: where the time goes (tile
// loading, per-cell preparation, drawing) and how much memory the render needs.

#include "engine/patterns.h"
#include "engine/workspace.h"
#include "imaging/color_measure.h"
#include "imaging/picture_io.h"
#include "render/final_mosaic.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

namespace {

constexpr int kTiles = 500;
constexpr int kTileSide = 66;
constexpr int kCells = 100;
constexpr double kCellSize = 60;
constexpr double kGap = 2;

// Half solid tiles, half diagonal gradients between two colours.
QImage tilePicture(std::mt19937& rng, int index)
{
    const QColor a(int(rng() % 256), int(rng() % 256), int(rng() % 256));
    QImage img(kTileSide, kTileSide, QImage::Format_RGB32);
    if (index % 2 == 0) {
        img.fill(a);
        return img;
    }
    const QColor b(int(rng() % 256), int(rng() % 256), int(rng() % 256));
    QLinearGradient g(0, 0, kTileSide, kTileSide);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    QPainter p(&img);
    p.fillRect(img.rect(), g);
    return img;
}

// The library, written as JPEG pictures with their catalogue, loaded as the working library.
bool makeLibrary(Workspace& ws, const QString& folder)
{
    if (!QDir(folder).mkpath(QStringLiteral("ready"))) return false;
    TTilelib& lib = ws.mtilelib;
    lib.emptytilelib();
    lib.setRootpath(folder);
    lib.cfg.widthPx = lib.cfg.heightPx = kTileSide;
    std::mt19937 rng(7);
    for (int i = 0; i < kTiles; ++i) {
        const QImage picture = tilePicture(rng, i);
        TTileItem& item = lib.items[i];
        item.FileName.set(QStringLiteral("tile%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
        GetImgColorInfo8(item.ColorInfo, picture, TRectF{0, 0, float(kTileSide), float(kTileSide)});
        for (TimgColorInfo& r : item.RotColorInfo)
            r = item.ColorInfo;
        lib.ItemEnable[i] = 1;
        lib.Count = i + 1;
        if (!SavePicture(picture, lib.GetFullName(i)).ok()) return false;
    }
    return true;
}

void makeProject(Workspace& ws)
{
    TMosaicProject& prj = ws.mproject;
    TprojectCFG& cfg = prj.cfg;
    prj.patterncfg = DefaultPattern();
    cfg.ProjectPatternType = kPatternGrid;
    cfg.Hcc = cfg.Vcc = kCells;
    cfg.CellWdf = cfg.CellHtf = kCellSize;
    cfg.CellgapwdF = cfg.CellgaphtF = kGap;
    const TPointF size = prj.GetProjectSize();
    cfg.FullWidthF = size.X;
    cfg.FullHeightF = size.Y;
    cfg.CanvasUnit = kUnitPixel;
    cfg.CanvasPPI = 100;
    cfg.PreviewBMPsize = 8000;
    cfg.CellPlanBMPsizeWD = cfg.CellPlanBMPsizeHT = 600;
    prj.MainSize_Update();
    prj.Cell_Reset();
    BuildPatternShapeMasks(ws.shapeMasks, prj.patterncfg);

    // The main image at half the working canvas, a smooth gradient.
    QImage main(int(cfg.WidthPx / 2), int(cfg.HeightPx / 2), QImage::Format_ARGB32_Premultiplied);
    {
        QLinearGradient g(0, 0, main.width(), main.height());
        g.setColorAt(0, QColor(200, 40, 40));
        g.setColorAt(0.5, QColor(40, 200, 90));
        g.setColorAt(1, QColor(30, 60, 220));
        QPainter p(&main);
        p.fillRect(main.rect(), g);
    }
    ws.fullSizeImage = main;
    ws.mainImageScale = main.width() / cfg.WidthPx;

    std::mt19937 rng(11);
    for (int y = 0; y < kCells; ++y)
        for (int x = 0; x < kCells; ++x) {
            TCell& c = prj.Cells[y][x];
            c.TileID = int(rng() % kTiles);
            c.ICinfo.ci1.rgb = 0xFF000000u | (rng() & 0xFFFFFFu);
        }
    ws.moptions = TmosaicOptions{};
    ws.moptions.BgColor = 0xFFFFFFFF;
    ws.moptions.AlphaBlend = 0.25;
    ws.moptions.ColorAdjust = 0.40;
}

long peakRssMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024; // kilobytes on Linux
}

struct RenderSetup {
    QTemporaryDir dir;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    bool ok = false;
};

RenderSetup& renderSetup()
{
    static RenderSetup* setup = [] {
        auto* s = new RenderSetup;
        s->ok = s->dir.isValid() && makeLibrary(*s->ws, s->dir.filePath(QStringLiteral("lib")));
        if (s->ok) makeProject(*s->ws);
        return s;
    }();
    return *setup;
}

// Argument: 0 the plain loop, 1 the parallel render on one thread (its per-render mask
// stretching and filtering ahead, no threads), 2 the parallel render on every core.
void BM_FinalMosaic100x100At8000(benchmark::State& state)
{
    RenderSetup& setup = renderSetup();
    if (!setup.ok) {
        state.SkipWithError("cannot write the tile library");
        return;
    }
    Workspace& ws = *setup.ws;
    const TprojectCFG& cfg = ws.mproject.cfg;
    const double scale = cfg.CanvasScale; // layout units to working-canvas pixels
    const int path = int(state.range(0));
    FinalMosaicCounters counters;
    QImage view;
    for (auto _ : state) {
        view = QImage(); // one canvas at a time
        view = QImage(int(cfg.FullWidthF * scale), int(cfg.FullHeightF * scale), QImage::Format_ARGB32_Premultiplied);
        view.fill(Qt::white);
        Canvas canvas(view);
        PaintMosaicBackground(ws, canvas);
        const Status st = path == 0 ? DrawFinalMosaicPlain(ws, canvas, scale, nullptr, &counters)
                                    : DrawFinalMosaicParallel(ws, canvas, scale, nullptr, &counters, path == 1 ? 1 : 0);
        if (!st) {
            state.SkipWithError(st.error().toStdString().c_str());
            return;
        }
        benchmark::DoNotOptimize(view.constBits());
    }
    const double n = double(state.iterations());
    state.counters["width"] = view.width();
    state.counters["height"] = view.height();
    state.counters["tiles_loaded"] = double(counters.tilesLoaded) / n;
    state.counters["cells_drawn"] = double(counters.cellsDrawn) / n;
    state.counters["load_s"] = double(counters.loadNanos) / 1e9 / n;
    state.counters["prepare_s"] = double(counters.prepareNanos) / 1e9 / n;
    state.counters["draw_s"] = double(counters.drawNanos) / 1e9 / n;
    state.counters["peak_RSS_MB"] = double(peakRssMB());
    state.SetLabel(path == 0 ? "plain" : path == 1 ? "parallel on 1 thread" : "parallel on all cores");
}
BENCHMARK(BM_FinalMosaic100x100At8000)
    ->ArgName("path")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
