// Adding photos to a tile library: photos per second on one thread and on all cores,
// against the cost of only decoding the same photos with the same decoder settings, on
// one thread and on all cores.
//
// The photos (500 JPEGs of 4000 x 3000, 12 megapixels, or QUILLARY_BENCH_PHOTOS of
// them) are made once in a temporary folder, which is not timed; the library has 66 x 66
// tiles, as the sample library. Times are wall-clock. peak_RSS_MB is the process's peak
// resident size so far (getrusage).

#include "imaging/picture_io.h"
#include "tilelib/library_building.h"
#include "tilelib/tilelib.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <atomic>
#include <random>
#include <thread>
#include <vector>

namespace {

constexpr int kTileSide = 66;

double peakRssMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// A photo-like picture: smooth colour fields with fine noise, so the JPEG is of a
// realistic size and the decoder has real work.
QImage makePhoto(int w, int h, int seed)
{
    std::mt19937 rng{static_cast<std::uint32_t>(seed)};
    QImage img(w, h, QImage::Format_RGB32);
    const int cx = int(rng() % std::uint32_t(w));
    const int cy = int(rng() % std::uint32_t(h));
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int n = int(rng() & 15);
            const int r = (x * 255 / w + seed * 37) & 255;
            const int g = (y * 255 / h + seed * 59) & 255;
            const int b = ((std::abs(x - cx) + std::abs(y - cy)) / 12 + seed * 13) & 255;
            line[x] = qRgb(std::min(255, r + n), std::min(255, g + n), std::min(255, b + n));
        }
    }
    return img;
}

struct PhotoSet {
    QTemporaryDir dir;
    QStringList paths;
};

const PhotoSet& photos()
{
    // Destroyed at exit, which removes the temporary folder with its photos.
    static PhotoSet set;
    static const bool made = [] {
        PhotoSet* s = &set;
        const char* env = std::getenv("QUILLARY_BENCH_PHOTOS");
        const int count = env ? std::max(1, std::atoi(env)) : 500;
        std::fprintf(stderr, "making %d photos of 4000 x 3000 in %s ...\n", count, qPrintable(s->dir.path()));
        for (int i = 0; i < count; ++i) {
            const QString path = s->dir.filePath(QStringLiteral("photos/photo%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
            QDir().mkpath(s->dir.filePath(QStringLiteral("photos")));
            // Eight distinct pictures are enough content; every file is its own photo.
            if (i < 8) {
                if (!SavePicture(makePhoto(4000, 3000, i), path).ok()) std::abort();
            } else if (!QFile::copy(s->paths[i % 8], path)) {
                std::abort();
            }
            s->paths << path;
        }
        return true;
    }();
    (void)made;
    return set;
}

void clearFolder(const QString& folder)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder + QStringLiteral("/source"));
    QDir().mkpath(folder + QStringLiteral("/ready"));
}

void BM_AddPhotos(benchmark::State& state)
{
    const PhotoSet& set = photos();
    const int threads = int(state.range(0));
    const QString folder = set.dir.filePath(QStringLiteral("library"));
    auto lib = std::make_unique<TTilelib>();
    int added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        clearFolder(folder);
        lib->emptytilelib();
        lib->setRootpath(folder);
        lib->cfg.widthPx = kTileSide;
        lib->cfg.heightPx = kTileSide;
        state.ResumeTiming();
        const AddPhotosReport report = AddPhotos(*lib, set.paths, AddPhotosOptions{.threads = threads}, nullptr, {});
        added = int(report.added.size());
        if (!report.failed.isEmpty()) {
            state.SkipWithError(qPrintable(report.failed.first().message));
            break;
        }
    }
    state.counters["photos_per_s"] =
        benchmark::Counter(double(set.paths.size()), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["threads"] = threads > 0 ? threads : QThread::idealThreadCount();
    state.counters["added"] = added;
    state.counters["peak_RSS_MB"] = peakRssMB();
}
BENCHMARK(BM_AddPhotos)->Arg(1)->Arg(0)->ArgName("threads")->UseRealTime()->Unit(benchmark::kMillisecond);

// The decoding alone, on one thread, as AddPhotos decodes: scaled to at least twice the
// tile size (minSize) ...
void BM_DecodeScaled(benchmark::State& state)
{
    const PhotoSet& set = photos();
    for (auto _ : state) {
        for (const QString& path : set.paths) {
            Result<QImage> img = LoadPicture(path, PictureLoadOptions{QSize(kTileSide, kTileSide)});
            benchmark::DoNotOptimize(img);
        }
    }
    state.counters["photos_per_s"] =
        benchmark::Counter(double(set.paths.size()), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_RSS_MB"] = peakRssMB();
}
BENCHMARK(BM_DecodeScaled)->UseRealTime()->Unit(benchmark::kMillisecond);

// The same decoding on every core, each thread taking the next photo: the floor under
// a parallel library add.
void BM_DecodeScaledParallel(benchmark::State& state)
{
    const PhotoSet& set = photos();
    const int threads = std::max(1, QThread::idealThreadCount());
    for (auto _ : state) {
        std::atomic<int> next{0};
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t)
            pool.emplace_back([&] {
                for (int i; (i = next++) < set.paths.size();) {
                    Result<QImage> img = LoadPicture(set.paths[i], PictureLoadOptions{QSize(kTileSide, kTileSide)});
                    benchmark::DoNotOptimize(img);
                }
            });
        for (std::thread& t : pool)
            t.join();
    }
    state.counters["photos_per_s"] =
        benchmark::Counter(double(set.paths.size()), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["threads"] = threads;
    state.counters["peak_RSS_MB"] = peakRssMB();
}
BENCHMARK(BM_DecodeScaledParallel)->UseRealTime()->Unit(benchmark::kMillisecond);

// ... and at full size, what the decoding would cost without minSize.
void BM_DecodeFull(benchmark::State& state)
{
    const PhotoSet& set = photos();
    for (auto _ : state) {
        for (const QString& path : set.paths) {
            Result<QImage> img = LoadPicture(path);
            benchmark::DoNotOptimize(img);
        }
    }
    state.counters["photos_per_s"] =
        benchmark::Counter(double(set.paths.size()), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_RSS_MB"] = peakRssMB();
}
BENCHMARK(BM_DecodeFull)->UseRealTime()->Unit(benchmark::kMillisecond);

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
