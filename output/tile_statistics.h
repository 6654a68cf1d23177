#pragma once
// How often each tile of the working library is used, and the outputs of the list.

#include "platform/result.h"

#include <QString>
#include <QStringList>

#include <vector>

class Progress;
class TMosaicProject;
class TTilelib;
class Workspace;
struct Platform;

struct TileUse {
    int tile;
    int count;
};

// One entry per library tile 0..Count-1, in tile order. Counts the grid cells
// (rows 0..Vcc-1, columns 0..Hcc-1) whose TileID is the tile, plus the add-on cells
// 0..AddonTilesCount-1 when `includeAddon`. A TileID outside the library counts for no
// tile.
std::vector<TileUse> CountTileUse(const TMosaicProject& project, const TTilelib& library, bool includeAddon);

// Descending by count with the list's own exchange procedure: for each i, for each
// j >= i, swap when count[i] < count[j]. Equal counts keep the order it leaves
// (counts 5, 9, 5, 9 for tiles 0..3 give tiles 1, 3, 2, 0).
void OrderByCount(std::vector<TileUse>& uses);

// "ID:  12   Count:    34   <File:free12.jpg>".
QString TileListRow(const TileUse& use, const QString& fileName);

// The spreadsheet substitute: a workbook with the columns "Tile ID", "Count" and
// "File Name" (the ready picture's full path), one row per tile, grid cells counted
// only; numbers are stored as numbers. Written through a temporary file.
Status WriteTileStatisticsXlsx(const QString& path, const TMosaicProject& project, const TTilelib& library);

// The list as picture pages, always in tile order: ceil(Count / 50) pages of 512 x
// 32 * min(Count, 50) pixels on opaque white. Row j of page p shows tile p * 50 + j: its
// ready picture fitted into 32 x 32 on white at (0, 32j) and, in black in the band
// x 64..448 of the row, vertically centred on one line (cut at the band, never wrapped),
// "ID:" + id + " Count" + count + " File:" + the picture's file name, with the count of
// grid cells only. Page p is written as JPEG to folder/name + p + ".jpg" (name keeps its
// extension: "TileCountList.jpg0.jpg"), replacing a file of that name; one bitmap is
// reused and cleared after each page. An empty library writes nothing. A tile picture
// that cannot be loaded stops with the loader's message (naming the file): the pages
// written before it stay, the page it was on is not written. Progress per tile, events
// pumped per page, progress 0 at the end. Returns the files written.
Result<QStringList> SaveTileCountPages(const Workspace& ws, const QString& folder, const QString& name,
                                       Progress* progress, const Platform& platform);

// The text of one row of the pages: "ID:12 Count34 File:free12.jpg".
QString TileCountPageText(const TileUse& use, const QString& fileName);
