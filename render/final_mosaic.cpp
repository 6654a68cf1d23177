#include "render/final_mosaic.h"

#include "engine/project.h"
#include "engine/workspace.h"
#include "imaging/bitmap_ops.h"
#include "imaging/picture_io.h"
#include "imaging/shapes.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

// Both adjustments are off at this value and below, so the slider's lowest steps
// (0.01 to 0.05) switch them off.
constexpr double kAdjustThreshold = 0.05;
// Grid cells turned by less than this (negative angles included) are drawn unrotated.
constexpr double kGridRotateThreshold = 0.01;
// Tile bitmaps are held at four times the cell's pixel size.
constexpr int kTileOversampling = 4;
// A side beyond this cannot be allocated anyway; it also keeps Trunc of a corrupt
// size from overflowing.
constexpr double kMaxBitmapSide = 32768;

int truncSide(double v)
{
    if (!(v > 0)) return 0; // also NaN
    return static_cast<int>(std::min(v, kMaxBitmapSide));
}

// Shrinks a tile bitmap size to kMaxTileBitmapPixels, keeping its proportions. Ready
// tiles are at most 800 pixels a side, so a larger bitmap adds no detail, only memory: a
// damaged project's cell size would otherwise ask for gigabytes per tile.
QSize withinTileBitmapLimit(QSize size)
{
    const double pixels = double(size.width()) * size.height();
    if (pixels <= double(kMaxTileBitmapPixels)) return size;
    const double f = std::sqrt(double(kMaxTileBitmapPixels) / pixels);
    return QSize(std::max(1, int(size.width() * f)), std::max(1, int(size.height() * f)));
}

double degrees(double radians)
{
    return radians * 180.0 / std::numbers::pi;
}

int gridRows(const TprojectCFG& cfg)
{
    return std::clamp(cfg.Vcc, 0, kGridCountMax);
}
int gridCols(const TprojectCFG& cfg)
{
    return std::clamp(cfg.Hcc, 0, kGridCountMax);
}
int addonCount(const TprojectCFG& cfg)
{
    return std::clamp(cfg.AddonTilesCount, 0, kAddonCapacity);
}
int tileCount(const TTilelib& lib)
{
    return std::clamp(lib.Count, 0, kTileCapacity);
}
int groupCount(std::int32_t n)
{
    return std::clamp(n, 1, kPatternGroupMax);
}

bool placed(const TCell& c, int tileIndex)
{
    return c.enable && c.TileID == tileIndex;
}

// Adds the time since construction to a counter, when there is one.
class Stopwatch {
public:
    explicit Stopwatch(std::int64_t* sink) : m_sink(sink)
    {
        if (m_sink) m_start = std::chrono::steady_clock::now();
    }
    ~Stopwatch()
    {
        if (m_sink)
            *m_sink += std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - m_start)
                           .count();
    }
    Stopwatch(const Stopwatch&) = delete;
    Stopwatch& operator=(const Stopwatch&) = delete;

private:
    std::int64_t* m_sink;
    std::chrono::steady_clock::time_point m_start;
};

std::int64_t* field(FinalMosaicCounters* c, std::int64_t FinalMosaicCounters::*member)
{
    return c ? &(c->*member) : nullptr;
}

// Prepares, places and draws one cell, with the time split into preparation and drawing.
void paintCell(Workspace& ws, Canvas& canvas, const QImage& tileBitmap, int tileIndex, const TCell& cell,
               const QImage& mask, CellPlacementKind kind, double scale, QPointF offset, FinalMosaicCounters* counters)
{
    CellPlacement placement;
    {
        Stopwatch sw(field(counters, &FinalMosaicCounters::prepareNanos));
        const QImage picture = PrepareCellPicture(ws, tileBitmap, tileIndex, cell, mask);
        placement = MakeCellPlacement(picture, cell, kind, ws.mproject.cfg.CellWdf, scale, offset);
    }
    Stopwatch sw(field(counters, &FinalMosaicCounters::drawNanos));
    DrawCellPlacement(canvas, placement);
    if (counters) ++counters->cellsDrawn;
}

// The cells that use each tile, in drawing order (grid row by row, add-on cells by
// index), so that a tile's pass does not scan the whole project again.
struct CellsByTile {
    std::vector<std::vector<const TCell*>> grid;
    std::vector<std::vector<const TCell*>> addons;
};

CellsByTile cellsByTile(const TMosaicProject& prj, int count)
{
    CellsByTile out;
    out.grid.resize(static_cast<size_t>(count));
    out.addons.resize(static_cast<size_t>(count));
    const auto wanted = [count](const TCell& c) { return c.enable && c.TileID >= 0 && c.TileID < count; };
    for (int y = 0; y < gridRows(prj.cfg); ++y)
        for (int x = 0; x < gridCols(prj.cfg); ++x)
            if (const TCell& c = prj.Cells[y][x]; wanted(c)) out.grid[static_cast<size_t>(c.TileID)].push_back(&c);
    for (int j = 0; j < addonCount(prj.cfg); ++j)
        if (const TCell& c = prj.AddonTiles[j]; wanted(c)) out.addons[static_cast<size_t>(c.TileID)].push_back(&c);
    return out;
}

} // namespace

QSize FinalTileSize(const Workspace& ws)
{
    const TprojectCFG& cfg = ws.mproject.cfg;
    return withinTileBitmapLimit(
        QSize(truncSide(cfg.CellWdPx) * kTileOversampling, truncSide(cfg.CellHtPx) * kTileOversampling));
}

Result<QImage> PrepareTileBitmap(const Workspace& ws, int tileIndex, QSize size)
{
    PictureLoadOptions options;
    options.minSize = size; // a large photo is decoded at a reduced size that still oversamples T
    Result<QImage> photo = LoadPicture(ws.mtilelib.GetFullName(tileIndex), options);
    if (!photo) return photo;
    QImage tile = ResizeFill(*photo, size.width(), size.height());
    if (ws.moptions.Grayscale) GrayscaleBitmap(tile);
    return tile;
}

QImage PrepareCellPicture(const Workspace& ws, const QImage& tileBitmap, int tileIndex, const TCell& cell,
                          const QImage& mask)
{
    QImage w = AdjustCellPicture(ws, tileBitmap, tileIndex, cell);
    if (w.isNull()) return w;
    ApplyAlphaMask(w, mask);
    return w;
}

QImage AdjustCellPicture(const Workspace& ws, const QImage& tileBitmap, int tileIndex, const TCell& cell)
{
    QImage w = tileBitmap.copy();
    if (w.isNull()) return w;
    AdjustCellPictureInPlace(ws, w, tileIndex, cell);
    return w;
}

void AdjustCellPictureInPlace(const Workspace& ws, QImage& w, int tileIndex, const TCell& cell)
{
    const TmosaicOptions& o = ws.moptions;
    if (w.isNull()) return;
    if (o.ColorAdjust > kAdjustThreshold)
        ShiftTowardColor(w, ws.mtilelib.items[tileIndex].ColorInfo, cell.ICinfo, static_cast<float>(o.ColorAdjust));
    if (o.AlphaBlend > kAdjustThreshold && !ws.fullSizeImage.isNull())
        BlendBitmap(w, ws.fullSizeImage, ScaleRect(cell.CellRect, ws.mainImageScale),
                    TRectF{0, 0, static_cast<float>(w.width()), static_cast<float>(w.height())},
                    static_cast<float>(o.AlphaBlend));
}

CellPlacement MakeCellPlacement(const QImage& cellPicture, const TCell& cell, CellPlacementKind kind, double cellWdf,
                                double scale, QPointF offset)
{
    CellPlacement out;
    if (cellPicture.isNull()) return out;
    const double angle = degrees(cell.Rotate);

    const auto intoRect = [&](QImage picture) {
        out.picture = std::move(picture);
        out.target = toQRectF(ScaleRect(cell.CellRectReal, scale)).translated(offset);
    };
    // k uses the width of the unrotated picture: the cell's width on the canvas per pixel.
    const auto centred = [&](QImage picture) {
        const double k = cellWdf * scale / cellPicture.width();
        const QSizeF size(picture.width() * k, picture.height() * k);
        const QPointF centre(cell.CellCenterReal.X * scale, cell.CellCenterReal.Y * scale);
        out.target = QRectF(centre - QPointF(size.width() / 2, size.height() / 2), size).translated(offset);
        out.picture = std::move(picture);
    };

    switch (kind) {
    case CellPlacementKind::GridCell:
        if (cell.Rotate < kGridRotateThreshold)
            intoRect(cellPicture);
        else
            centred(RotatedBitmapGrown(cellPicture, angle));
        break;
    case CellPlacementKind::GridAddon: {
        QImage turned = cellPicture;
        RotateBitmapTransparent(turned, angle);
        intoRect(std::move(turned));
        break;
    }
    case CellPlacementKind::FreeCell:
        centred(cell.Rotate != 0 ? RotatedBitmapGrown(cellPicture, angle) : cellPicture);
        break;
    case CellPlacementKind::OneCell:
        centred(RotatedBitmapGrown(cellPicture, angle));
        break;
    }
    return out;
}

void DrawCellPlacement(Canvas& canvas, const CellPlacement& placement)
{
    if (placement.picture.isNull()) return;
    DrawScaled(canvas, placement.target, placement.picture);
}

void PaintMosaicBackground(Workspace& ws, Canvas& canvas)
{
    Canvas::Scene scene(canvas);
    if (ws.moptions.BgMainImage)
        DrawScaled(scene.painter(), QRectF(QPointF(0, 0), canvas.logicalSize()), ws.fullSizeImage);
    else
        canvas.Clear(ws.moptions.BgColor);
}

Status Draw_FinalMosaic(Workspace& ws, Canvas& canvas, int /*drawMode*/, double scale, Progress* pbar,
                        FinalMosaicCounters* counters)
{
    if (ws.renderPath == RenderPath::Parallel) return DrawFinalMosaicParallel(ws, canvas, scale, pbar, counters);
    return DrawFinalMosaicPlain(ws, canvas, scale, pbar, counters);
}

Status DrawFinalMosaicPlain(Workspace& ws, Canvas& canvas, double scale, Progress* pbar, FinalMosaicCounters* counters)
{
    const TMosaicProject& prj = ws.mproject;
    const TprojectCFG& cfg = prj.cfg;
    const int count = tileCount(ws.mtilelib);
    const QSize tileSize = FinalTileSize(ws);
    const CellsByTile cells = cellsByTile(prj, count);
    QImage freeMask;
    if (cfg.ProjectPatternType == kPatternCircles) MakeShapeMask(cfg.BaseTileShape, freeMask);

    for (int i = 0; i < count; ++i) {
        SetProgress(pbar, i * 100 / count);
        PumpEvents(ws.platform);

        // Every tile of the library is loaded, used or not, as the render always has.
        QImage tile;
        {
            Stopwatch sw(field(counters, &FinalMosaicCounters::loadNanos));
            Result<QImage> loaded = PrepareTileBitmap(ws, i, tileSize);
            if (!loaded) return Failure(loaded.error());
            tile = std::move(*loaded);
            if (counters) ++counters->tilesLoaded;
        }

        if (cfg.ProjectPatternType == kPatternGrid) {
            // A shape that occurs in several group elements is drawn once per element, at
            // the same place with the same result.
            for (int gy = 0; gy < groupCount(prj.patterncfg.VertGroupCount); ++gy)
                for (int gx = 0; gx < groupCount(prj.patterncfg.HorzGroupCount); ++gx) {
                    const std::int32_t shape = prj.patterncfg.CellGroup[gy][gx].Shape;
                    const QImage& mask = ws.shapeMasks[gy][gx];
                    for (const TCell* c : cells.grid[static_cast<size_t>(i)])
                        if (placed(*c, i) && c->CellShape == shape)
                            paintCell(ws, canvas, tile, i, *c, mask, CellPlacementKind::GridCell, scale, {}, counters);
                    for (const TCell* c : cells.addons[static_cast<size_t>(i)])
                        if (placed(*c, i) && c->CellShape == shape)
                            paintCell(ws, canvas, tile, i, *c, mask, CellPlacementKind::GridAddon, scale, {}, counters);
                }
        } else if (cfg.ProjectPatternType == kPatternCircles) {
            // Every cell of a free pattern takes the base shape, whatever its own shape says.
            for (const TCell* c : cells.addons[static_cast<size_t>(i)])
                if (placed(*c, i))
                    paintCell(ws, canvas, tile, i, *c, freeMask, CellPlacementKind::FreeCell, scale, {}, counters);
        }
    }
    SetProgress(pbar, 0);
    return {};
}

Status Draw_FinalMosaic_OneCell(Workspace& ws, Canvas& canvas, const TCell& cell, double scale, QPointF offsetPX)
{
    if (cell.TileID < 0 || cell.TileID >= tileCount(ws.mtilelib)) return {};
    const TprojectCFG& cfg = ws.mproject.cfg;
    // Here the multiplication comes before the truncation, unlike the whole render.
    const QSize size = withinTileBitmapLimit(
        QSize(truncSide(kTileOversampling * cfg.CellWdPx), truncSide(kTileOversampling * cfg.CellHtPx)));
    Result<QImage> tile = PrepareTileBitmap(ws, cell.TileID, size);
    if (!tile) return Failure(tile.error());
    QImage mask;
    MakeShapeMask(cell.CellShape, mask);
    paintCell(ws, canvas, *tile, cell.TileID, cell, mask, CellPlacementKind::OneCell, scale, offsetPX, nullptr);
    return {};
}
