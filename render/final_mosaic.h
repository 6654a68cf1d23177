#pragma once
// The final mosaic: every placed cell painted with the photo of its tile, cut to the
// cell's shape, optionally tinted toward the cell's measured colour and blended with the
// main image, rotated with the cell.
//
// Rules shared by the family:
// - `scale` maps layout units (CellRectReal, CellCenterReal, CellWdf) to the canvas's
//   logical units.
// - The mosaic is drawn tile by tile: each tile photo of the working library is loaded
//   and prepared once per render (ResizeFill to Trunc(CellWdPx) * 4 x Trunc(CellHtPx) * 4,
//   grey when Grayscale is set), then every cell that uses it is painted. Only cells with
//   `enable` set and a TileID of 0..Count-1 are painted; the rest show the background.
// - Every placement is one scene of its own; callers do not wrap the calls in a scene.
// - Counts of the project and the library are clamped to the arrays that hold them.
// - A tile photo that cannot be loaded stops the render with the loader's message (which
//   names the file); what was drawn so far stays and the progress keeps its value.
//
// The work per cell is split into three steps so that a faster variant can prepare
// tiles and cells elsewhere and still draw the same picture: PrepareTileBitmap (per
// tile), PrepareCellPicture (per cell), MakeCellPlacement + DrawCellPlacement (per cell,
// the drawing in cell order).

#include "imaging/canvas.h"
#include "platform/result.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>

#include <cstdint>

class Progress;
class Workspace;
struct TCell;

// Where the time of a render goes, for benchmarks and tests; every field is added to,
// so one record can sum several renders.
struct FinalMosaicCounters {
    std::int64_t tilesLoaded = 0;  // tile photos read from disk
    std::int64_t cellsDrawn = 0;   // placements drawn
    std::int64_t loadNanos = 0;    // reading, cropping and scaling tile photos
    std::int64_t prepareNanos = 0; // per-cell colour shift, blend, mask and rotation
    std::int64_t drawNanos = 0;    // drawing the placements onto the canvas
};

// How a prepared cell picture is placed.
enum class CellPlacementKind {
    GridCell,  // unrotated into its rectangle below 0.01 rad, else rotated, grown and centred
    GridAddon, // rotated within its own size, stretched into its rectangle
    FreeCell,  // rotated (when not 0), grown and centred
    OneCell,   // always rotated, grown and centred (the repaint of one cell)
};

// A picture and the rectangle (canvas units) it is drawn into, at full opacity.
struct CellPlacement {
    QImage picture;
    QRectF target;
};

// Tile and guide-cell bitmaps are at most this many pixels (8192 x 8192).
inline constexpr std::int64_t kMaxTileBitmapPixels = std::int64_t(8192) * 8192;

// The size of the prepared tile bitmaps of the render: Trunc(CellWdPx) * 4 by
// Trunc(CellHtPx) * 4, shrunk in proportion to kMaxTileBitmapPixels when larger.
QSize FinalTileSize(const Workspace& ws);

// Loads the picture of tile `tileIndex` (GetFullName) and makes the tile bitmap T of
// `size` from it with ResizeFill, grey when Grayscale is set. Fails with the loader's
// message naming the file.
Result<QImage> PrepareTileBitmap(const Workspace& ws, int tileIndex, QSize size);

// Wm for one cell from the tile bitmap T of its tile: the colour shift toward the cell's
// colour when ColorAdjust > 0.05, the cell's part of fullSizeImage blended over it when
// AlphaBlend > 0.05, then cut to `mask` (a null mask cuts nothing).
QImage PrepareCellPicture(const Workspace& ws, const QImage& tileBitmap, int tileIndex, const TCell& cell,
                          const QImage& mask);

// The first two steps of PrepareCellPicture (copy, colour shift, blend), before the cut
// to the mask, which the caller then applies (ApplyAlphaMask or, with a mask stretched
// once for many cells, ApplyStretchedAlphaMask).
QImage AdjustCellPicture(const Workspace& ws, const QImage& tileBitmap, int tileIndex, const TCell& cell);
// The same on a copy the caller made (and may reuse from cell to cell).
void AdjustCellPictureInPlace(const Workspace& ws, QImage& picture, int tileIndex, const TCell& cell);

// The rotated picture and its rectangle for a prepared Wm. For the centred kinds the
// size is the rotated picture's times k = CellWdf * scale / width(Wm), centred on
// CellCenterReal * scale; `offset` is added to the rectangle.
CellPlacement MakeCellPlacement(const QImage& cellPicture, const TCell& cell, CellPlacementKind kind, double cellWdf,
                                double scale, QPointF offset = QPointF());

// Draws the placement in one scene of its own.
void DrawCellPlacement(Canvas& canvas, const CellPlacement& placement);

// The background under the final mosaic over the whole canvas, in one scene:
// fullSizeImage stretched when BgMainImage is set, otherwise a clear to BgColor.
void PaintMosaicBackground(Workspace& ws, Canvas& canvas);

// Draws every placed cell of the project with its tile photo (drawMode is not
// consulted; callers pass 50). Progress i * 100 / Count before tile i, events pumped
// once per tile, progress 0 at the end. `counters`, when given, is added to. Runs
// DrawFinalMosaicParallel unless the workspace's renderPath asks for the plain loop.
Status Draw_FinalMosaic(Workspace& ws, Canvas& canvas, int drawMode, double scale, Progress* pbar,
                        FinalMosaicCounters* counters = nullptr);

// The straightforward render on the calling thread: for each tile in index order, load
// and prepare it, then prepare and draw each of its cells. The definition the parallel
// render is tested against.
Status DrawFinalMosaicPlain(Workspace& ws, Canvas& canvas, double scale, Progress* pbar,
                            FinalMosaicCounters* counters = nullptr);

// The same picture with the work spread over `threads` threads (0: one per core; 1: all
// on the calling thread): worker threads load tiles ahead and prepare their cells'
// pictures, filtered to their drawn size, while the calling thread draws them in the
// plain order, reports progress and pumps events at the same points. A mask is
// stretched once per render instead of once per cell. At most a few tiles are prepared
// ahead of the drawing, so the memory stays a few megabytes above the canvas. A tile
// that fails to load stops the render at that tile, as the plain loop does.
Status DrawFinalMosaicParallel(Workspace& ws, Canvas& canvas, double scale, Progress* pbar,
                               FinalMosaicCounters* counters = nullptr, int threads = 0);

// Repaints one cell with its tile photo: T at Trunc(4 * CellWdPx) x Trunc(4 * CellHtPx),
// masked with MakeShapeMask(CellShape), always rotated, grown and centred. The area under
// the cell is not cleared. `offsetPX` (canvas units) is added to the placement, so a
// caller drawing into a moved view passes its shift; every current caller passes (0, 0).
// A cell without a valid tile (TileID outside 0..Count-1) draws nothing.
Status Draw_FinalMosaic_OneCell(Workspace& ws, Canvas& canvas, const TCell& cell, double scale, QPointF offsetPX);
