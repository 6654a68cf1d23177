#pragma once
// Work plans: the mosaic cut into page pictures in which every cell shows its tile
// number, optionally over the tile's colour, for laying a mosaic by hand.
//
// Two generators:
// - the page grid cuts the mosaic's full size into PageCountH x PageCountV equal pages
//   (by size, not by cells: a cell across a page border shows on both pages, each page
//   showing its part) and draws each with the tile-number view at PageScale, with the
//   shared TworkplanCfg;
// - the colour groups cut the grid into blocks of ch x cv cells and draw, for every
//   block, one guide picture per group of consecutive tile numbers, so that one group
//   of colours can be laid at a time.
//
// Pictures are JPEG files; files of the same name are replaced. One bitmap, given by
// the caller (the window's page picture), is reused for every page.

#include "imaging/color_records.h"
#include "output/robot_code.h"
#include "platform/result.h"

#include <QImage>
#include <QLocale>
#include <QString>
#include <QStringList>

class Progress;
class TMosaicProject;
class Workspace;
struct TworkplanCfg;

// ---- Page grid ----

// Refreshes ws.workplanCfg from the page-grid settings: ColorCount, PageCountH,
// PageCountV, PageWidth = FullWidthF / PageCountH, PageHeight = FullHeightF /
// PageCountV, IDTextHeight = textSize, PageWidthPx = PageHeightPx = pagePx and
// PageScale = min(PageWidthPx / PageWidth, PageHeightPx / PageHeight). Page counts below
// 1 count as 1 (a count of 0 would divide by zero); pagePx below 1 counts as 1. A
// project without size gives PageScale 0.
void RefreshWorkplanCfg(Workspace& ws, int pagesH, int pagesV, int pagePx, double textSize, int colorCount);

// "Mosaic size: " + FullWidthF + " x " + FullHeightF ("%4.2f") + SizeUnitStr.
QString WorkplanSizeLabel(const TMosaicProject& project, const QLocale& locale = QLocale());

// The layout-unit rectangle of page (column j, row i): (PageWidth * j, PageHeight * i)
// to (PageWidth * (j + 1), PageHeight * (i + 1)).
TRectF WorkplanPageRange(const TworkplanCfg& cfg, int j, int i);

// The page "One Page" shows for the typed X and Y: column min(PageCountH - 1, X), row
// min(PageCountV - 1, Y), and not below 0. Returned as (column, row).
TPoint WorkplanOnePage(const TworkplanCfg& cfg, int X, int Y);

// "WorkPlan_Page Y" + i + "X" + j + ".jpg".
QString WorkplanPageFileName(int j, int i);

// Makes `page` PageWidthPx x PageHeightPx (device pixel ratio 1; kept when it already
// is), clears it white and draws page (j, i): the cells overlapping its range in mode 30
// (tile number over tile colour) when `fill`, else 31 (number over outline), at
// PageScale, moved so that the range's top-left is the picture's origin and cut to the
// range, so that the rest of a picture whose aspect differs from the page's stays white.
// Refused before ws.workplanCfg has been refreshed (no page size).
Status DrawWorkplanPage(Workspace& ws, QImage& page, int j, int i, bool fill, Progress* progress);

// Draws every page of the current ws.workplanCfg (refreshed by the caller first), row by
// row and in each row column by column, into `page` and writes it to `folder` as
// WorkplanPageFileName(j, i). Stops at the first failure with its message; the pages
// written stay. Returns the files written.
Result<QStringList> OutputAllWorkplanPages(Workspace& ws, QImage& page, const QString& folder, bool fill,
                                           Progress* progress);

// ---- Colour groups ----

struct WorkplanGroupSettings {
    int cellsH = 24;    // cells per page horizontally, 1..100
    int cellsV = 24;    // cells per page vertically, 1..100
    int groupSize = 10; // tile numbers per group, 1..100
    int pagePx = 1000;  // the page box: 1000, 2000 or 4000
    int fontSize = 18;  // tile numbers, in pixels of a cell's output size
    bool fill = true;   // cells in their tile's colour
};

struct WorkplanGroupInfo {
    QString horizontalCount; // "Horizontal Tile Count :48"
    QString verticalCount;   // "Vertical Tile Count :48"
    QString mosaicSize;      // "Mosaic size: 2974.00 x 2974.00pixel"
    QString pageCount;       // "Page count: 2 x 2 = 4"
    int pagesH = 0;          // ceil(Hcc / cellsH)
    int pagesV = 0;          // ceil(Vcc / cellsV)
};
// Cells per page below 1 count as 1.
WorkplanGroupInfo WorkplanGroupLabels(const TMosaicProject& project, int cellsH, int cellsV,
                                      const QLocale& locale = QLocale());

// The cell block of page (j, k): columns j * ch .. min(Hcc - 1, j * ch + ch - 1), rows
// likewise; empty or inverted beyond the last page.
RobotPageBlock WorkplanGroupBlock(const TMosaicProject& project, int j, int k, int cellsH, int cellsV);

// N + "_Page X" + j + "Y" + k + "_Color " + first + "to" + last + ".jpg".
QString WorkplanGroupFileName(const QString& baseName, int j, int k, int first, int last);

// Draws the block of page (j, k) into `page` with Draw_GuideCellsByRange: the cells
// whose TileID is idMin..idMax, fitted into pagePx x pagePx (so `page` takes the fitted
// size), then resets the progress to 0. A page whose block has no cells (beyond the
// last page) or no extent draws nothing: `page` becomes a null image rather than keep
// the previous page, and the result is false.
bool DrawWorkplanGroupPage(Workspace& ws, QImage& page, int j, int k, int idMin, int idMax,
                           const WorkplanGroupSettings& settings, Progress* progress);

// The preview: page (j, k) with every tile number of the library.
bool DrawWorkplanGroupPreview(Workspace& ws, QImage& page, int j, int k, const WorkplanGroupSettings& settings,
                              Progress* progress);

// For every group g of ceil(Count / groupSize) (first = g * groupSize, last = first +
// groupSize - 1, not cut to the library), every page column j and, within it, every
// page row k: draws the block restricted to first..last and writes it to `folder` as
// WorkplanGroupFileName(baseName, j, k, first, last). A page without a cell of the group
// is written white. Stops at the first failure with its message; the pictures written
// stay. Returns the files written.
Result<QStringList> OutputAllWorkplanGroups(Workspace& ws, QImage& page, const QString& folder, const QString& baseName,
                                            const WorkplanGroupSettings& settings, Progress* progress);
