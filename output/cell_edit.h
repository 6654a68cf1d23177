#pragma once
// Hand edits of a rendered mosaic: the tile pen, which puts one tile into a clicked
// cell, and the tile picker, which lists the library tiles that match a cell best and
// puts a chosen one into it, with the texts and pictures the picker shows.
//
// A cell is addressed as (x, y): the grid cell in column x of row y, or the add-on cell
// x when y is -1. Only laid-out cells are addressed: columns 0..Hcc-1 and rows 0..Vcc-1
// of the grid, add-on cells 0..AddonTilesCount-1; anything else is refused, as is a
// tile that is no index of the working library (0..Count-1). A refused edit changes
// nothing.
//
// An edit repaints the cell on the main view (when one is given) with
// Draw_FinalMosaic_OneCell at PreviewScale, offset (0, 0), over what the view shows. A
// tile photo that cannot be loaded fails the edit with the loader's message and the
// cell keeps its tile (and the library its use counts).

#include "engine/project.h"
#include "platform/result.h"

#include <QImage>
#include <QString>

class TTilelib;
class Workspace;

// The addressed cell, or null when (x, y) names no laid-out cell.
TCell* EditedCell(TMosaicProject& project, int x, int y);
const TCell* EditedCell(const TMosaicProject& project, int x, int y);

// The pen: the cell's TileID becomes `tile`; its rotation and every use count stay as
// they are.
Status PaintCell(Workspace& ws, int x, int y, int tile, QImage* mainView);

// The picker's choice of `entry` (tileid, RotateID): an add-on cell takes the tile and
// keeps its rotation; a grid cell takes the tile with Cell_SetTile_R, which sets the
// rotation to RotateID steps of 30 degrees and raises the tile's Usecount.
Status PickCandidate(Workspace& ws, int x, int y, const TGoodTileList::Entry& entry, QImage* mainView);

// Fills ws.pickerList with the candidates of the cell: every enabled tile ranked by
// colour difference with the repeat limits bypassed (GetGoodTileList of a copy of the
// cell), at most 100. False, leaving the list alone, for a cell that is not laid out.
bool FillPickerCandidates(Workspace& ws, int x, int y);

// The picker's candidate strip shows at most 50 cards of 128 x 192, four at a time.
constexpr int kPickerCardWidth = 128;
constexpr int kPickerCardHeight = 192;
constexpr int kPickerStripCards = 50;
constexpr int kPickerVisibleCards = 4;

// "Images Match the Cell: " + min(Count, 50).
QString CandidateCaption(const TGoodTileList& list);
// The scroll bar's maximum: (min(Count, 50) - 4) * 128, not below 0.
int CandidateScrollMaximum(const TGoodTileList& list);
// The list entry under horizontal position `x` of the candidate image at scroll
// position `scroll`: Trunc((scroll + x) / 128), or -1 when that is left of the strip or
// not below the list's Count (the blank area after the last card).
int CandidateIndexAt(const TGoodTileList& list, int scroll, double x);

// The strip: 6400 x 192 opaque white with, for candidate i < min(Count, 50), the colour
// card of its tile (MakeColorInfoCard of the tile's ColorInfo and ready picture) at
// (128 i, 0). A ready picture that cannot be loaded stops with its message; `strip`
// then holds the cards made so far.
Status BuildCandidateStrip(const Workspace& ws, const TGoodTileList& list, QImage& strip);

// The visible part of the strip: its rectangle (scroll, 0, scroll + 512, 192) drawn
// stretched into (0, 0, 512, 196) of `target` (logical units), the four extra rows
// included.
void ShowCandidateStrip(QImage& target, const QImage& strip, int scroll);

// The card of the cell's current tile: MakeColorInfoCard of the cell's own measured
// colours and the tile's ready picture. A null image for a cell without a tile (TileID
// outside the library) or a cell that is not laid out; the loader's message when the
// picture cannot be read.
Result<QImage> CellInfoCard(const Workspace& ws, int x, int y);
