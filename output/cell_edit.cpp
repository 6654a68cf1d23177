#include "output/cell_edit.h"

#include "engine/workspace.h"
#include "imaging/bitmap_ops.h"
#include "imaging/canvas.h"
#include "imaging/color_cards.h"
#include "imaging/picture_io.h"
#include "render/cell_text.h"
#include "render/final_mosaic.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kStripWidth = kPickerStripCards * kPickerCardWidth;
constexpr int kVisibleWidth = kPickerVisibleCards * kPickerCardWidth;
// The visible window is stretched by four rows over the candidate image.
constexpr int kVisibleHeight = kPickerCardHeight + 4;

int tileCount(const TTilelib& library)
{
    return std::clamp(library.Count, 0, kTileCountMax);
}

QString cellName(int x, int y)
{
    return y == -1 ? QStringLiteral("add-on cell %1").arg(x) : QStringLiteral("cell (%1, %2)").arg(x).arg(y);
}

Status refuseCell(const TMosaicProject& project, int x, int y)
{
    const TprojectCFG& c = project.cfg;
    if (y == -1)
        return Failure(QStringLiteral("%1: the project has %2 add-on cells (0..%3 allowed)")
                           .arg(cellName(x, y))
                           .arg(std::clamp(c.AddonTilesCount, 0, kAddonCapacity))
                           .arg(std::clamp(c.AddonTilesCount, 0, kAddonCapacity) - 1));
    return Failure(QStringLiteral("%1: outside the %2 x %3 grid (columns 0..%4, rows 0..%5 allowed)")
                       .arg(cellName(x, y))
                       .arg(std::clamp(c.Hcc, 0, kGridCountMax))
                       .arg(std::clamp(c.Vcc, 0, kGridCountMax))
                       .arg(std::clamp(c.Hcc, 0, kGridCountMax) - 1)
                       .arg(std::clamp(c.Vcc, 0, kGridCountMax) - 1));
}

Status checkTile(const TTilelib& library, int tile)
{
    const int count = tileCount(library);
    if (tile >= 0 && tile < count) return {};
    if (count == 0) return Failure(QStringLiteral("tile %1: the working library holds no tiles").arg(tile));
    return Failure(QStringLiteral("tile %1: the working library holds %2 tiles (0..%3 allowed)")
                       .arg(tile)
                       .arg(count)
                       .arg(count - 1));
}

Status repaint(Workspace& ws, const TCell& cell, QImage* mainView)
{
    if (!mainView || mainView->isNull()) return {};
    Canvas canvas(*mainView);
    return Draw_FinalMosaic_OneCell(ws, canvas, cell, ws.mproject.cfg.PreviewScale, QPointF(0, 0));
}

// Repaints the changed copy first and only then stores it, so that a tile photo that
// cannot be loaded leaves the cell (and the use counts) as they were.
Status commitEdit(Workspace& ws, TCell& cell, const TCell& changed, QImage* mainView, int usedTile,
                  std::int32_t usecountBefore)
{
    if (Status st = repaint(ws, changed, mainView); !st) {
        if (usedTile >= 0) ws.mtilelib.items[usedTile].Usecount = usecountBefore;
        return st;
    }
    cell = changed;
    return {};
}

} // namespace

TCell* EditedCell(TMosaicProject& project, int x, int y)
{
    return const_cast<TCell*>(EditedCell(static_cast<const TMosaicProject&>(project), x, y));
}

const TCell* EditedCell(const TMosaicProject& project, int x, int y)
{
    const TprojectCFG& c = project.cfg;
    if (y == -1) {
        if (x >= 0 && x < std::clamp(c.AddonTilesCount, 0, kAddonCapacity)) return &project.AddonTiles[x];
        return nullptr;
    }
    if (x >= 0 && y >= 0 && x < std::clamp(c.Hcc, 0, kGridCountMax) && y < std::clamp(c.Vcc, 0, kGridCountMax))
        return &project.Cells[y][x];
    return nullptr;
}

Status PaintCell(Workspace& ws, int x, int y, int tile, QImage* mainView)
{
    TCell* cell = EditedCell(ws.mproject, x, y);
    if (!cell) return refuseCell(ws.mproject, x, y);
    if (Status st = checkTile(ws.mtilelib, tile); !st) return st;
    TCell changed = *cell;
    changed.TileID = tile;
    return commitEdit(ws, *cell, changed, mainView, -1, 0);
}

Status PickCandidate(Workspace& ws, int x, int y, const TGoodTileList::Entry& entry, QImage* mainView)
{
    TCell* cell = EditedCell(ws.mproject, x, y);
    if (!cell) return refuseCell(ws.mproject, x, y);
    if (Status st = checkTile(ws.mtilelib, entry.tileid); !st) return st;
    TCell changed = *cell;
    if (y == -1) {
        changed.TileID = entry.tileid;
        return commitEdit(ws, *cell, changed, mainView, -1, 0);
    }
    const std::int32_t before = ws.mtilelib.items[entry.tileid].Usecount;
    ws.mproject.Cell_SetTile_R(changed, entry.tileid, entry.RotateID);
    return commitEdit(ws, *cell, changed, mainView, entry.tileid, before);
}

bool FillPickerCandidates(Workspace& ws, int x, int y)
{
    const TCell* cell = EditedCell(ws.mproject, x, y);
    if (!cell) return false;
    const TCell copy = *cell;
    ws.mproject.GetGoodTileList(copy, ws.pickerList, /*bypassAC=*/true);
    return true;
}

QString CandidateCaption(const TGoodTileList& list)
{
    return QStringLiteral("Images Match the Cell: %1").arg(std::min(list.Count, kPickerStripCards));
}

int CandidateScrollMaximum(const TGoodTileList& list)
{
    return std::max(0, (std::min(list.Count, kPickerStripCards) - kPickerVisibleCards) * kPickerCardWidth);
}

int CandidateIndexAt(const TGoodTileList& list, int scroll, double x)
{
    const double position = scroll + x;
    if (!(position >= 0)) return -1;
    const double a = std::trunc(position / kPickerCardWidth);
    if (a >= std::clamp(list.Count, 0, TGoodTileList::kCapacity)) return -1;
    return static_cast<int>(a);
}

Status BuildCandidateStrip(const Workspace& ws, const TGoodTileList& list, QImage& strip)
{
    if (strip.size() != QSize(kStripWidth, kPickerCardHeight) || strip.format() != QImage::Format_ARGB32_Premultiplied)
        strip = QImage(kStripWidth, kPickerCardHeight, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::white);
    const int n = std::min(std::clamp(list.Count, 0, TGoodTileList::kCapacity), kPickerStripCards);
    QPainter painter(&strip);
    for (int i = 0; i < n; ++i) {
        const TTileItem* tile = WorkingTile(ws.mtilelib, list.Tiles[i].tileid);
        if (!tile) continue;
        Result<QImage> picture = LoadPicture(ws.mtilelib.GetFullName(list.Tiles[i].tileid));
        if (!picture) return Failure(picture.error());
        const QImage card = MakeColorInfoCard(tile->ColorInfo, *picture);
        painter.drawImage(QRect(i * kPickerCardWidth, 0, kPickerCardWidth, kPickerCardHeight), card,
                          QRect(0, 0, kPickerCardWidth, kPickerCardHeight));
    }
    return {};
}

void ShowCandidateStrip(QImage& target, const QImage& strip, int scroll)
{
    if (target.isNull() || strip.isNull()) return;
    QPainter painter(&target);
    DrawScaled(painter, QRectF(0, 0, kVisibleWidth, kVisibleHeight), strip,
               QRectF(scroll, 0, kVisibleWidth, kPickerCardHeight));
}

Result<QImage> CellInfoCard(const Workspace& ws, int x, int y)
{
    const TCell* cell = EditedCell(ws.mproject, x, y);
    if (!cell || !WorkingTile(ws.mtilelib, cell->TileID)) return QImage();
    Result<QImage> picture = LoadPicture(ws.mtilelib.GetFullName(cell->TileID));
    if (!picture) return Result<QImage>::failure(picture.error());
    return MakeColorInfoCard(cell->ICinfo, *picture);
}
