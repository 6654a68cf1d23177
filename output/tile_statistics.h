#pragma once
// How often each tile of the working library is used, and the outputs of the list.

#include "platform/result.h"

#include <QString>
#include <QStringList>

#include <vector>

class TMosaicProject;
class TTilelib;

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
