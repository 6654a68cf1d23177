#include "render/guide_rendering.h"

#include "engine/workspace.h"
#include "imaging/bitmap_ops.h"
#include "imaging/shapes.h"
#include "render/cell_text.h"
#include "render/final_mosaic.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr TAlphaColor kBlack = 0xFF000000;
constexpr TAlphaColor kWhite = 0xFFFFFFFF;

int clampIndex(int i) { return std::clamp(i, 0, kGridCapacity - 1); }

} // namespace

void Draw_FinalMosaic_OneCell_Guide(Workspace& ws, Canvas& canvas, const TCell& cell, double scale,
                                    QPointF offsetPX, int fontsize, bool fillcolor)
{
    const TTileItem* tile = WorkingTile(ws.mtilelib, cell.TileID);
    if (!tile)
        return;
    const TprojectCFG& cfg = ws.mproject.cfg;
    const double wd = std::trunc(cfg.CellWdPx), ht = std::trunc(cfg.CellHtPx);
    // A cell pixel size beyond any sane bitmap is not a guide cell either (a damaged
    // project would otherwise ask for gigabytes per cell).
    if (!(wd >= 1 && ht >= 1 && wd <= 32767 && ht <= 32767 && wd * ht <= double(kMaxTileBitmapPixels)))
        return;

    QImage B(int(wd), int(ht), QImage::Format_ARGB32_Premultiplied);
    B.fill(toQColor(fillcolor ? tile->ColorInfo.ci1.rgb : kWhite));
    QImage mask;
    MakeShapeMask(cell.CellShape, mask);
    ApplyAlphaMask(B, mask);
    {
        Canvas cellCanvas(B);
        Canvas::Scene scene(cellCanvas);
        const TAlphaColor color = fillcolor && tile->ColorInfo.ci1.Lab.X <= 50 ? kWhite : kBlack;
        DrawCentredText(scene.painter(), QRectF(0, 0, B.width(), B.height()), QString::number(cell.TileID), color,
                        canvas.font().family(), fontsize, /*bold=*/true);
    }

    const QImage turned = RotatedBitmapGrown(B, cell.Rotate * 180 / std::numbers::pi);
    const double k = cfg.CellWdf * scale / B.width();
    const QSizeF size(turned.width() * k, turned.height() * k);
    const QPointF centre = QPointF(cell.CellCenterReal.X * scale, cell.CellCenterReal.Y * scale) + offsetPX;
    DrawScaled(canvas, QRectF(centre - QPointF(size.width() / 2, size.height() / 2), size), turned);
}

TRectF Cells_boundary_PX(const Workspace& ws, int x1, int y1, int x2, int y2)
{
    x1 = clampIndex(x1);
    y1 = clampIndex(y1);
    x2 = clampIndex(x2);
    y2 = clampIndex(y2);
    const auto& cells = ws.mproject.Cells;
    TRectF r{cells[y1][x1].CellRectReal.Left, cells[y1][x1].CellRectReal.Top, cells[y2][x2].CellRectReal.Right,
             cells[y2][x2].CellRectReal.Bottom};
    for (int x = x1; x <= x2; ++x) {
        r.Top = std::min(r.Top, cells[y1][x].CellRectReal.Top);
        r.Bottom = std::max(r.Bottom, cells[y2][x].CellRectReal.Bottom);
    }
    for (int y = y1; y <= y2; ++y) {
        r.Left = std::min(r.Left, cells[y][x1].CellRectReal.Left);
        r.Right = std::max(r.Right, cells[y][x2].CellRectReal.Right);
    }
    return r;
}

double Draw_GuideCellsByRange(Workspace& ws, int x1, int y1, int x2, int y2, int idMin, int idMax, int boxW, int boxH,
                              int fontsize, bool fillcolor, QImage& image, Progress& pbar)
{
    const TprojectCFG& cfg = ws.mproject.cfg;
    // A page beyond the last one asks for a block past the grid's end: nothing to draw.
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, std::clamp(cfg.Hcc, 0, kGridCapacity) - 1);
    y2 = std::min(y2, std::clamp(cfg.Vcc, 0, kGridCapacity) - 1);
    if (x1 > x2 || y1 > y2 || boxW <= 0 || boxH <= 0)
        return 0;

    const TRectF R = Cells_boundary_PX(ws, x1, y1, x2, y2);
    const double rw = double(R.Right) - R.Left, rh = double(R.Bottom) - R.Top;
    if (!(rw > 0 && rh > 0))
        return 0;
    // Fitting keeps the proportions; the side that meets the box is set to the box's
    // side exactly, so that truncating to whole pixels cannot lose a pixel to rounding.
    const bool widthLimits = rw * boxH >= rh * boxW;
    const double fw = widthLimits ? boxW : rw * boxH / rh;
    const double fh = widthLimits ? rh * boxW / rw : boxH;
    const double t = widthLimits ? boxW / rw : boxH / rh;
    const QPointF offset(-R.Left * t, -R.Top * t);

    image = QImage(std::max(1, int(std::trunc(fw))), std::max(1, int(std::trunc(fh))),
                   QImage::Format_ARGB32_Premultiplied);
    image.fill(toQColor(kWhite));
    pbar.setMaximum((y2 - y1 + 1) * (x2 - x1 + 1));
    pbar.setValue(0);

    Canvas canvas(image);
    int drawn = 0;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x) {
            const TCell& cell = ws.mproject.Cells[y][x];
            if (cell.TileID < idMin || cell.TileID > idMax || !WorkingTile(ws.mtilelib, cell.TileID))
                continue;
            Draw_FinalMosaic_OneCell_Guide(ws, canvas, cell, t, offset, fontsize, fillcolor);
            pbar.setValue(++drawn);
            PumpEvents(ws.platform);
        }
    return t;
}
