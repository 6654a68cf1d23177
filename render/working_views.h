#pragma once
// The working views: cell outlines, measured colours, tile colours, tile numbers and
// priorities, for one cell, every cell, or the cells of one rectangle. `scale` maps
// layout units (CellRectReal) to canvas units; `offset` is added to every drawn point
// after scaling. Outlines are opaque black, thickness 1.
//
// Draw modes: 0 outlines, 10 measured colour, 20 tile colour, 30 tile number over tile
// colour, 31 tile number over outline, 35 tile photo stretched (grid cells only),
// 40 priority numbers, 41 priority shading, 50 the final mosaic (final_mosaic.h).
//
// Scenes: Draw_Allcell and Draw_CellsByRange open their own; the one-cell operations
// draw into the caller's open scene, except Draw_onecell_tilephoto and
// Draw_onecell_Priority, which open their own (scenes nest).
//
// A TileID that is no index of the working library (-1, or a stale id at or beyond its
// Count) is a cell without a tile everywhere: outline only, number "-1", no photo.
// Vcc, Hcc and AddonTilesCount are clamped to the cell arrays.

#include "imaging/canvas.h"
#include "platform/result.h"

#include <QPointF>

class Progress;
class Workspace;
struct TCell;

constexpr int kDrawOutline = 0;
constexpr int kDrawSourceColor = 10;
constexpr int kDrawTileColor = 20;
constexpr int kDrawTileIdColor = 30;
constexpr int kDrawTileIdPlain = 31;
constexpr int kDrawTilePhoto = 35;
constexpr int kDrawPriorityNumber = 40;
constexpr int kDrawPriorityColor = 41;
constexpr int kDrawFinal = 50;

void Draw_CellShape(Canvas& canvas, const TCell& cell, bool fill, float opacity, TAlphaColor color, double scale,
                    QPointF offset);
void Draw_onecell_edge(Workspace& ws, const TCell& cell, Canvas& canvas, double scale, QPointF offset);
void Draw_onecell_FillColor(Workspace& ws, const TCell& cell, Canvas& canvas, double scale, QPointF offset);
void Draw_onecell_FillColor(Workspace& ws, int x, int y, Canvas& canvas, double scale, QPointF offset);
void Draw_onecell_FillTilecolor(Workspace& ws, const TCell& cell, Canvas& canvas, double scale, QPointF offset);
// The tile colour (fillcolor) or the outline, then the TileID centred in the cell's
// rectangle at font size IDTextHeight (canvas units): white when fillcolor is set and
// the measured colour's mean of red, green and blue is 128 or less, else black.
void Draw_onecell_TileID(Workspace& ws, const TCell& cell, Canvas& canvas, double scale, bool fillcolor,
                         QPointF offset);
// Grid cell (x, y) with its tile's picture stretched over ScaleRect(CellRectReal, scale)
// + offset, unmasked and unrotated; a cell without a tile is drawn as
// Draw_onecell_FillColor(x, y). A cell outside the grid draws nothing. A picture that
// cannot be loaded is reported and nothing is drawn.
Status Draw_onecell_tilephoto(Workspace& ws, int x, int y, Canvas& canvas, double scale, QPointF offset = {});
// Mode 40: the priority number over the measured colour (priority 3 left blank); mode 41:
// the measured colour fading with the priority, priority 3 crossed. Disabled cells and
// other modes draw nothing.
void Draw_onecell_Priority(Workspace& ws, const TCell& cell, Canvas& canvas, int mode, double scale,
                           QPointF offset = {});

// Every grid cell row by row (one scene per row), then the add-on cells in batches of
// about a hundredth; progress per row / batch, events pumped; progress 0 at the end.
Status Draw_Allcell(Workspace& ws, Canvas& canvas, int drawMode, double scale, Progress* pbar);
// The cells overlapping `srcRange` (layout units; touching is not overlapping), moved so
// that srcRange's top-left lands at the canvas origin, and the range's outline in the
// current stroke. Every mode is moved, the tile photos (35) and priorities (40, 41)
// included; add-on cells are drawn without the overlap test.
Status Draw_CellsByRange(Workspace& ws, Canvas& canvas, const TRectF& srcRange, int drawMode, double scale,
                         Progress* pbar);
