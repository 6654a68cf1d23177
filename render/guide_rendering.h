#pragma once
// Guide pictures for laying a mosaic by hand: every cell in its shape and place, filled
// with its tile's colour or left white, labelled with the tile number in bold. A guide
// cell is built like a final tile, from a flat colour instead of a photo, at the cell's
// output pixel size (Trunc(CellWdPx) x Trunc(CellHtPx)), so the font size is in those
// pixels and the number scales with the cell.
//
// A cell without a tile (TileID -1, or an id that is no index of the working library)
// has nothing to show and is skipped.

#include "imaging/canvas.h"
#include "imaging/color_records.h"

#include <QImage>
#include <QPointF>

class Progress;
class Workspace;
struct TCell;

// Draws the guide picture of `cell` on `canvas` (own scene): the tile colour (fillcolor)
// or white, cut to the cell's shape, the TileID centred in bold at `fontsize` pixels of
// the cell bitmap (white when fillcolor is set and the tile's lightness ci1.Lab.X is 50
// or less, else black), turned by the cell's Rotate about its centre and placed centred
// on CellCenterReal * scale + offsetPX at CellWdf * scale wide. Nothing is drawn for a
// cell without a tile, a cell pixel size below one pixel, or a cell bitmap above
// kMaxTileBitmapPixels (final_mosaic.h).
void Draw_FinalMosaic_OneCell_Guide(Workspace& ws, Canvas& canvas, const TCell& cell, double scale,
                                    QPointF offsetPX, int fontsize, bool fillcolor);

// The bounding rectangle (layout units) of grid block x1..x2, y1..y2, found from its
// border cells only. Indices are clamped to the cell arrays.
TRectF Cells_boundary_PX(const Workspace& ws, int x1, int y1, int x2, int y2);

// Fits the block's bounds into boxW x boxH keeping their proportions, makes `image` the
// fitted size in whole pixels (device pixel ratio 1), clears it white and draws the guide
// picture of every cell of the block whose TileID is within idMin..idMax, row by row;
// `enable` is not consulted. pbar's maximum becomes the block's cell count and it steps
// once per cell drawn (skipped cells take no step); events are pumped per cell.
// The block is first cut to the laid-out grid (0..Hcc-1, 0..Vcc-1); an empty or inverted
// block, one wholly outside the grid, a block of zero extent or an empty box draws
// nothing and leaves `image` and pbar untouched. Returns the scale used (fitted width
// / block width), 0 when nothing was drawn.
double Draw_GuideCellsByRange(Workspace& ws, int x1, int y1, int x2, int y2, int idMin, int idMax, int boxW, int boxH,
                              int fontsize, bool fillcolor, QImage& image, Progress& pbar);
