#pragma once
// The texts with which the tile picker and the grout window describe a cell, a tile
// and a colour. Numbers follow the user's number format (tests pass a locale).

#include "imaging/color_records.h"

#include <QLocale>
#include <QString>

#include <optional>

class TTilelib;
struct TCell;

// "Pos: X" + CellCenterReal.X + " Y" + CellCenterReal.Y, each "%6.2f": a centre of
// (12.5, 7.25) gives "Pos: X 12.50 Y  7.25".
QString CellPositionText(const TCell& cell, const QLocale& locale = QLocale());

// "R" + red + " G" + green + " B" + blue, plain decimals 0..255: "R200 G120 B64".
QString ColorComponentsText(TAlphaColor color);

// "Tile ID: " + id.
QString TileIdText(int tileId);

// "Current Diff= " + ImgColorDiff64(cell ICinfo, tile ColorInfo) + " " + the tile's
// average colour as ColorComponentsText: "Current Diff= 1520 R200 G120 B64". None for a
// cell without a tile (TileID outside 0..Count-1).
std::optional<QString> CurrentDiffText(const TCell& cell, const TTilelib& library);
