#include "render/working_views.h"

#include "engine/workspace.h"
#include "imaging/bitmap_ops.h"
#include "imaging/picture_io.h"
#include "imaging/shapes.h"
#include "render/cell_text.h"

#include <QPainter>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr TAlphaColor kBlack = 0xFF000000;
constexpr TAlphaColor kWhite = 0xFFFFFFFF;

// Mean of the measured red, green and blue at most 128, compared on the sum so that no
// rounding of the mean decides.
bool measuredIsDark(const TCell& cell)
{
    const Trgba& c = cell.ICinfo.ci1.rgba;
    return int(c.r) + int(c.g) + int(c.b) <= 3 * 128;
}

QRectF cellRectOnCanvas(const TCell& cell, double scale, QPointF offset)
{
    return toQRectF(ScaleRect(cell.CellRectReal, scale)).translated(offset);
}

bool insideGrid(int x, int y) { return x >= 0 && x < kGridCapacity && y >= 0 && y < kGridCapacity; }

bool strictlyOverlaps(const TRectF& a, const TRectF& b)
{
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// One cell by draw mode. Grid cells pass their column and row (needed by mode 35),
// add-on cells pass -1: the tile photo view has no add-on cells.
Status drawCellByMode(Workspace& ws, const TCell& cell, int x, int y, Canvas& canvas, int drawMode, double scale,
                      QPointF offset)
{
    switch (drawMode) {
    case kDrawOutline:
        Draw_onecell_edge(ws, cell, canvas, scale, offset);
        break;
    case kDrawSourceColor:
        Draw_onecell_FillColor(ws, cell, canvas, scale, offset);
        break;
    case kDrawTileColor:
        Draw_onecell_FillTilecolor(ws, cell, canvas, scale, offset);
        break;
    case kDrawTileIdColor:
        Draw_onecell_TileID(ws, cell, canvas, scale, /*fillcolor=*/true, offset);
        break;
    case kDrawTileIdPlain:
        Draw_onecell_TileID(ws, cell, canvas, scale, /*fillcolor=*/false, offset);
        break;
    case kDrawTilePhoto:
        if (x >= 0)
            return Draw_onecell_tilephoto(ws, x, y, canvas, scale, offset);
        break;
    case kDrawPriorityNumber:
    case kDrawPriorityColor:
        Draw_onecell_Priority(ws, cell, canvas, drawMode, scale, offset);
        break;
    default:
        break;
    }
    return {};
}

// The grid cells row by row (only those strictly overlapping `range` when given), then
// every add-on cell, with the scenes, progress and event pumping of the whole-project
// view. A failed tile photo stops the drawing; progress keeps its last value.
Status drawCells(Workspace& ws, Canvas& canvas, int drawMode, double scale, QPointF offset, const TRectF* range,
                 Progress* pbar)
{
    const TMosaicProject& prj = ws.mproject;
    const int rows = std::clamp(prj.cfg.Vcc, 0, kGridCapacity);
    const int cols = std::clamp(prj.cfg.Hcc, 0, kGridCapacity);
    for (int y = 0; y < rows; ++y) {
        {
            Canvas::Scene scene(canvas);
            for (int x = 0; x < cols; ++x) {
                const TCell& cell = prj.Cells[y][x];
                if (range && !strictlyOverlaps(cell.CellRectReal, *range))
                    continue;
                if (Status st = drawCellByMode(ws, cell, x, y, canvas, drawMode, scale, offset); !st)
                    return st;
            }
        }
        SetProgress(pbar, y * 100 / rows);
        PumpEvents(ws.platform);
    }

    const int n = std::clamp(prj.cfg.AddonTilesCount, 0, kAddonCapacity);
    if (n > 0) {
        // Scenes are cut about a hundred times over the add-on cells, so that progress
        // shows without closing a scene per cell.
        const int step = std::max(1, n / 100);
        std::optional<Canvas::Scene> scene;
        scene.emplace(canvas);
        for (int j = 0; j < n; ++j) {
            if (Status st = drawCellByMode(ws, prj.AddonTiles[j], -1, -1, canvas, drawMode, scale, offset); !st)
                return st;
            if (j % step == 0) {
                scene.reset();
                SetProgress(pbar, j * 100 / n);
                PumpEvents(ws.platform);
                scene.emplace(canvas);
            }
        }
    }
    return {};
}

} // namespace

void Draw_CellShape(Canvas& canvas, const TCell& cell, bool fill, float opacity, TAlphaColor color, double scale,
                    QPointF offset)
{
    if (cell.CellShape == kShapeEllipse)
        DrawEllipseAt(canvas, cell.CellRectReal, cell.Rotate, fill, opacity, color, scale, offset);
    else
        DrawShapePolygonAt(canvas, cell.CellPolyReal, fill, opacity, color, scale, offset);
}

void Draw_onecell_edge(Workspace&, const TCell& cell, Canvas& canvas, double scale, QPointF offset)
{
    Draw_CellShape(canvas, cell, /*fill=*/false, 1.0f, kBlack, scale, offset);
}

void Draw_onecell_FillColor(Workspace&, const TCell& cell, Canvas& canvas, double scale, QPointF offset)
{
    if (!cell.enable)
        return;
    Draw_CellShape(canvas, cell, /*fill=*/true, 1.0f, cell.ICinfo.ci1.rgb, scale, offset);
}

void Draw_onecell_FillColor(Workspace& ws, int x, int y, Canvas& canvas, double scale, QPointF offset)
{
    if (!insideGrid(x, y))
        return;
    Draw_onecell_FillColor(ws, ws.mproject.Cells[y][x], canvas, scale, offset);
}

void Draw_onecell_FillTilecolor(Workspace& ws, const TCell& cell, Canvas& canvas, double scale, QPointF offset)
{
    if (const TTileItem* tile = WorkingTile(ws.mtilelib, cell.TileID))
        Draw_CellShape(canvas, cell, /*fill=*/true, 1.0f, tile->ColorInfo.ci1.rgb, scale, offset);
    else
        Draw_onecell_edge(ws, cell, canvas, scale, offset);
}

void Draw_onecell_TileID(Workspace& ws, const TCell& cell, Canvas& canvas, double scale, bool fillcolor,
                         QPointF offset)
{
    if (fillcolor)
        Draw_onecell_FillTilecolor(ws, cell, canvas, scale, offset);
    else
        Draw_onecell_edge(ws, cell, canvas, scale, offset);

    const bool hasTile = WorkingTile(ws.mtilelib, cell.TileID) != nullptr;
    const QString text = QString::number(hasTile ? cell.TileID : -1);
    // The brightness is judged from the measured colour, not the tile colour under the
    // text: the number stays readable on the plan of the main image.
    const TAlphaColor color = fillcolor && measuredIsDark(cell) ? kWhite : kBlack;
    Canvas::Scene scene(canvas);
    DrawCentredText(scene.painter(), cellRectOnCanvas(cell, scale, offset), text, color, canvas.font().family(),
                    ws.workplanCfg.IDTextHeight);
}

namespace {

// A side of the decoding hint; a cell that is huge or not finite on the canvas (a damaged
// project) asks for no more than the largest picture the reader would decode.
int decodeSide(double v)
{
    const double side = std::ceil(std::abs(v));
    return std::isfinite(side) ? int(std::min(side, 65536.0)) : 0;
}

} // namespace

Status Draw_onecell_tilephoto(Workspace& ws, int x, int y, Canvas& canvas, double scale, QPointF offset)
{
    if (!insideGrid(x, y))
        return {};
    const TCell& cell = ws.mproject.Cells[y][x];
    if (!WorkingTile(ws.mtilelib, cell.TileID)) {
        Draw_onecell_FillColor(ws, x, y, canvas, scale, offset);
        return {};
    }
    const QRectF dst = cellRectOnCanvas(cell, scale, offset);
    // Decoding needs no more detail than the cell shows on the device.
    const double dpr = canvas.image().devicePixelRatio();
    PictureLoadOptions options;
    options.minSize = QSize(decodeSide(dst.width() * dpr), decodeSide(dst.height() * dpr));
    Result<QImage> picture = LoadPicture(ws.mtilelib.GetFullName(cell.TileID), options);
    if (!picture)
        return Failure(picture.error());
    DrawScaled(canvas, dst, *picture);
    return {};
}

void Draw_onecell_Priority(Workspace&, const TCell& cell, Canvas& canvas, int mode, double scale, QPointF offset)
{
    if (!cell.enable || (mode != kDrawPriorityNumber && mode != kDrawPriorityColor))
        return;
    if (mode == kDrawPriorityNumber && cell.PriLevel == kPriorityNever)
        return;
    const QRectF R = cellRectOnCanvas(cell, scale, offset);
    Canvas::Scene scene(canvas);
    QPainter& painter = scene.painter();
    // DrawShape places the shape by scale alone; the offset is applied as a translation
    // of this scene, which the shape's nested scene shares.
    painter.save();
    painter.translate(offset);
    const float opacity =
        mode == kDrawPriorityNumber ? 1.0f : std::clamp(1.0f - 0.25f * float(cell.PriLevel), 0.0f, 1.0f);
    DrawShape(canvas, cell.CellRectReal, cell.CellShape, /*fill=*/true, opacity, cell.ICinfo.ci1.rgb, scale);
    painter.restore();

    if (mode == kDrawPriorityNumber) {
        const TAlphaColor color = measuredIsDark(cell) ? kWhite : kBlack;
        DrawCentredText(painter, R, QString::number(cell.PriLevel), color, canvas.font().family(), R.height());
    } else if (cell.PriLevel == kPriorityNever) {
        painter.save();
        painter.setOpacity(1.0);
        painter.setPen(canvas.pen());
        painter.drawLine(R.topLeft(), R.bottomRight());
        painter.drawLine(R.topRight(), R.bottomLeft());
        painter.restore();
    }
}

Status Draw_Allcell(Workspace& ws, Canvas& canvas, int drawMode, double scale, Progress* pbar)
{
    if (Status st = drawCells(ws, canvas, drawMode, scale, QPointF(0, 0), nullptr, pbar); !st)
        return st;
    SetProgress(pbar, 0);
    return {};
}

Status Draw_CellsByRange(Workspace& ws, Canvas& canvas, const TRectF& srcRange, int drawMode, double scale,
                         Progress* pbar)
{
    const QPointF offset(-srcRange.Left * scale, -srcRange.Top * scale);
    if (Status st = drawCells(ws, canvas, drawMode, scale, offset, &srcRange, pbar); !st)
        return st;
    {
        Canvas::Scene scene(canvas);
        QPainter& painter = scene.painter();
        painter.save();
        painter.setOpacity(1.0);
        painter.setPen(canvas.pen());
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(toQRectF(ScaleRect(srcRange, scale)).translated(offset));
        painter.restore();
    }
    SetProgress(pbar, 0);
    return {};
}
