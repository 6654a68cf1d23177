// The final mosaic with the preparation spread over threads. The plain loop
// (DrawFinalMosaicPlain) is the definition: the same placements are drawn onto the
// canvas in the same order with the same pictures, so the result is the same bitmap.
//
// Work is cut into one unit per tile: load and prepare the tile bitmap, then for each
// of its cells the adjusted, masked, rotated picture, already area-averaged to the size
// it is drawn at (the filtering DrawScaled would do while drawing). Worker threads take
// units in tile order, at most a window ahead of the drawing; the calling thread waits
// for each unit in turn and only places its pictures.

#include "render/final_mosaic.h"

#include "engine/project.h"
#include "engine/workspace.h"
#include "imaging/bitmap_ops.h"
#include "imaging/shapes.h"

#include <QColorSpace>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Units prepared ahead of the drawing, per worker: enough to keep the workers busy
// while a tile with many cells is drawn, few enough to keep the memory small.
constexpr int kUnitsAheadPerWorker = 3;

std::int64_t nanosSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start).count();
}

// The counts as the plain loop clamps them.
int tileCountOf(const TTilelib& lib)
{
    return std::clamp(lib.Count, 0, kTileCapacity);
}
int groupCount(std::int32_t n)
{
    return std::clamp(n, 1, kPatternGroupMax);
}

// One placement of the plain loop: the cell, the mask it is cut to and how it is placed.
struct Job {
    const TCell* cell;
    const QImage* mask;
    CellPlacementKind kind;
};

// Every placement, per tile, in the plain loop's order: per group element, the grid
// cells row by row, then the add-on cells; for a free pattern the add-on cells.
std::vector<std::vector<Job>> jobsByTile(const Workspace& ws, const QImage& freeMask)
{
    const TMosaicProject& prj = ws.mproject;
    const TprojectCFG& cfg = prj.cfg;
    const int count = tileCountOf(ws.mtilelib);
    std::vector<std::vector<const TCell*>> grid(static_cast<std::size_t>(count)), addons(static_cast<std::size_t>(count));
    const auto wanted = [count](const TCell& c) { return c.enable && c.TileID >= 0 && c.TileID < count; };
    const int rows = std::clamp(cfg.Vcc, 0, kGridCountMax), cols = std::clamp(cfg.Hcc, 0, kGridCountMax);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x)
            if (const TCell& c = prj.Cells[y][x]; wanted(c)) grid[std::size_t(c.TileID)].push_back(&c);
    for (int j = 0; j < std::clamp(cfg.AddonTilesCount, 0, kAddonCapacity); ++j)
        if (const TCell& c = prj.AddonTiles[j]; wanted(c)) addons[std::size_t(c.TileID)].push_back(&c);

    std::vector<std::vector<Job>> jobs(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        std::vector<Job>& out = jobs[std::size_t(i)];
        if (cfg.ProjectPatternType == kPatternGrid) {
            for (int gy = 0; gy < groupCount(prj.patterncfg.VertGroupCount); ++gy)
                for (int gx = 0; gx < groupCount(prj.patterncfg.HorzGroupCount); ++gx) {
                    const std::int32_t shape = prj.patterncfg.CellGroup[gy][gx].Shape;
                    const QImage* mask = &ws.shapeMasks[gy][gx];
                    for (const TCell* c : grid[std::size_t(i)])
                        if (c->CellShape == shape) out.push_back(Job{c, mask, CellPlacementKind::GridCell});
                    for (const TCell* c : addons[std::size_t(i)])
                        if (c->CellShape == shape) out.push_back(Job{c, mask, CellPlacementKind::GridAddon});
                }
        } else if (cfg.ProjectPatternType == kPatternCircles) {
            for (const TCell* c : addons[std::size_t(i)])
                out.push_back(Job{c, &freeMask, CellPlacementKind::FreeCell});
        }
    }
    return jobs;
}

struct Unit {
    bool done = false;
    Status status;
    std::vector<PreparedScaledDraw> draws;
    std::int64_t loadNanos = 0;
    std::int64_t prepareNanos = 0;
};

// What every unit reads; nothing in it changes while workers run.
struct RenderInputs {
    const Workspace& ws;
    double scale;
    QSize tileSize;
    double deviceScaleX, deviceScaleY;
    const std::vector<std::vector<Job>>& jobs;
    const std::map<const QImage*, QImage>& stretchedMasks;
};

// The tile bitmap copied into `scratch`, reused from cell to cell: a fresh 4x-size
// bitmap per cell costs an allocation and a page fault per 4 KB.
void copyInto(QImage& scratch, const QImage& tile)
{
    if (scratch.size() != tile.size() || scratch.format() != tile.format() || !scratch.isDetached() ||
        scratch.bytesPerLine() != tile.bytesPerLine()) {
        scratch = QImage(tile.size(), tile.format());
        scratch.setDevicePixelRatio(tile.devicePixelRatio());
        scratch.setColorSpace(tile.colorSpace());
    }
    std::memcpy(scratch.bits(), tile.constBits(), static_cast<std::size_t>(tile.sizeInBytes()));
}

void prepareUnit(const RenderInputs& in, int i, Unit& unit, QImage& scratch)
{
    const auto loadStart = std::chrono::steady_clock::now();
    Result<QImage> tile = PrepareTileBitmap(in.ws, i, in.tileSize);
    unit.loadNanos = nanosSince(loadStart);
    if (!tile) {
        unit.status = Failure(tile.error());
        return;
    }
    const auto prepareStart = std::chrono::steady_clock::now();
    const std::vector<Job>& jobs = in.jobs[std::size_t(i)];
    unit.draws.reserve(jobs.size());
    for (const Job& job : jobs) {
        if (tile->isNull()) {
            unit.draws.emplace_back();
            continue;
        }
        copyInto(scratch, *tile);
        AdjustCellPictureInPlace(in.ws, scratch, i, *job.cell);
        ApplyStretchedAlphaMask(scratch, in.stretchedMasks.at(job.mask));
        const CellPlacement placement =
            MakeCellPlacement(scratch, *job.cell, job.kind, in.ws.mproject.cfg.CellWdf, in.scale);
        if (placement.picture.isNull()) {
            unit.draws.emplace_back();
            continue;
        }
        unit.draws.push_back(PrepareScaledDraw(placement.picture, placement.target,
                                               QRectF(placement.picture.rect()), in.deviceScaleX,
                                               in.deviceScaleY));
    }
    unit.prepareNanos = nanosSince(prepareStart);
}

} // namespace

Status DrawFinalMosaicParallel(Workspace& ws, Canvas& canvas, double scale, Progress* pbar,
                               FinalMosaicCounters* counters, int threads)
{
    const TprojectCFG& cfg = ws.mproject.cfg;
    const int count = tileCountOf(ws.mtilelib);
    QImage freeMask;
    if (cfg.ProjectPatternType == kPatternCircles) MakeShapeMask(cfg.BaseTileShape, freeMask);
    const std::vector<std::vector<Job>> jobs = jobsByTile(ws, freeMask);
    const QSize tileSize = FinalTileSize(ws);

    // Every mask is cut at the tile size (the cell pictures are copies of the tile
    // bitmap), so each is stretched once here instead of once per cell.
    std::map<const QImage*, QImage> stretchedMasks;
    for (const std::vector<Job>& tileJobs : jobs)
        for (const Job& job : tileJobs)
            if (!stretchedMasks.count(job.mask))
                stretchedMasks[job.mask] = StretchAlphaMask(*job.mask, tileSize.width(), tileSize.height());

    // The device scale of the canvas's scenes, which DrawScaled would read from each.
    double deviceScaleX = 1, deviceScaleY = 1;
    {
        Canvas::Scene scene(canvas);
        const QTransform t = scene.painter().combinedTransform();
        deviceScaleX = std::hypot(t.m11(), t.m12());
        deviceScaleY = std::hypot(t.m21(), t.m22());
    }
    const RenderInputs inputs{ws, scale, tileSize, deviceScaleX, deviceScaleY, jobs, stretchedMasks};

    if (threads <= 0) threads = std::max(1, QThread::idealThreadCount());
    const int workers = threads > 1 ? std::min(threads, std::max(count, 1)) : 0;
    const int window = std::max(1, workers * kUnitsAheadPerWorker);
    std::vector<Unit> units(static_cast<std::size_t>(count));
    std::mutex mutex;
    std::condition_variable changed;
    int nextUnit = 0, drawnUnits = 0;
    bool stop = false;

    std::vector<std::thread> pool;
    for (int k = 0; k < workers; ++k)
        pool.emplace_back([&] {
            QImage scratch;
            for (;;) {
                int i;
                {
                    std::unique_lock lock(mutex);
                    changed.wait(lock, [&] { return stop || nextUnit >= count || nextUnit < drawnUnits + window; });
                    if (stop || nextUnit >= count) return;
                    i = nextUnit++;
                }
                Unit unit;
                prepareUnit(inputs, i, unit, scratch);
                {
                    std::lock_guard lock(mutex);
                    unit.done = true;
                    units[std::size_t(i)] = std::move(unit);
                }
                changed.notify_all();
            }
        });
    struct Joiner {
        std::vector<std::thread>& pool;
        std::mutex& mutex;
        std::condition_variable& changed;
        bool& stop;
        ~Joiner()
        {
            {
                std::lock_guard lock(mutex);
                stop = true;
            }
            changed.notify_all();
            for (std::thread& t : pool)
                t.join();
        }
    } joiner{pool, mutex, changed, stop};

    QImage mainScratch;
    for (int i = 0; i < count; ++i) {
        SetProgress(pbar, i * 100 / count);
        PumpEvents(ws.platform);

        Unit unit;
        if (workers == 0) {
            prepareUnit(inputs, i, unit, mainScratch);
        } else {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return units[std::size_t(i)].done; });
            unit = std::move(units[std::size_t(i)]);
        }
        if (counters) {
            counters->loadNanos += unit.loadNanos;
            counters->prepareNanos += unit.prepareNanos;
        }
        if (!unit.status) return unit.status;
        if (counters) ++counters->tilesLoaded;

        const auto drawStart = std::chrono::steady_clock::now();
        if (!unit.draws.empty()) {
            // One scene for the tile's cells: each placement restores the painter's
            // state, so a fresh painter per cell would draw the same pixels, slower.
            Canvas::Scene scene(canvas);
            for (const PreparedScaledDraw& draw : unit.draws) {
                DrawPreparedScaled(scene.painter(), draw);
                if (counters) ++counters->cellsDrawn;
            }
        }
        if (counters) counters->drawNanos += nanosSince(drawStart);
        if (workers > 0) {
            {
                std::lock_guard lock(mutex);
                drawnUnits = i + 1;
            }
            changed.notify_all();
        }
    }
    SetProgress(pbar, 0);
    return {};
}
