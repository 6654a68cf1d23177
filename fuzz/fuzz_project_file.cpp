// Project files, both kinds, from the fuzzer's bytes; then everything that reads a
// loaded project: the views of every drawing mode, the guide pictures, the tile
// statistics, the colour histograms, the robot code, hit-testing and a search.
//
// Input: one mode byte, then the file. Mode bit 0 picks the quick-save reader; with bit
// 1 as well, the input is a quick-save file with its add-on block cut short (the last
// four bytes are the closing count), padded back with zero cells, so that small inputs
// reach a 13 MB format.

#include "engine/grid_bounds.h"
#include "engine/workspace.h"
#include "fuzz/fuzz_support.h"
#include "output/cell_edit.h"
#include "output/cell_texts.h"
#include "output/guide_cards.h"
#include "output/robot_code.h"
#include "output/tile_statistics.h"
#include "output/work_plan.h"
#include "render/color_charts.h"
#include "render/final_mosaic.h"
#include "render/guide_rendering.h"
#include "render/mosaic_views.h"
#include "render/overview.h"
#include "render/working_views.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace {

constexpr qint64 kGridOffset = 3440;
constexpr qint64 kAllAddonBytes = qint64(kAddonCapacity) * sizeof(TCell);

struct NullProgress final : Progress {
    void setValue(int) override {}
};

Workspace& workspace()
{
    static Workspace* ws = [] {
        auto* w = new Workspace(Platform{}, 1);
        MakeFuzzLibrary(w->mtilelib, FuzzScratchFolder() + QStringLiteral("/library"), 3);
        w->fullSizeImage = QImage(16, 16, QImage::Format_ARGB32_Premultiplied);
        w->fullSizeImage.fill(0xFF808080);
        return w;
    }();
    return *ws;
}

QByteArray expandQuickSave(const QByteArray& input)
{
    if (input.size() < kGridOffset + 4) return input;
    TprojectCFG cfg;
    std::memcpy(&cfg, input.constData(), sizeof cfg);
    if (cfg.Vcc < 0 || cfg.Vcc > kGridCountMax || cfg.Hcc < 0 || cfg.Hcc > kGridCountMax) return input;
    const qint64 needed = kGridOffset + qint64(cfg.Vcc + 1) * cfg.Hcc * qint64(sizeof(TCell)) + kAllAddonBytes;
    QByteArray body = input.left(input.size() - 4);
    if (body.size() < needed) body.append(QByteArray(needed - body.size(), '\0'));
    return body + input.right(4);
}

// The scale at which the whole project fits `side` pixels, or 1 when it has no size.
double fittingScale(const TprojectCFG& cfg, double side)
{
    const double extent = std::max(cfg.FullWidthF, cfg.FullHeightF);
    if (!std::isfinite(extent) || !(extent > 0)) return 1.0;
    const double scale = side / extent;
    return std::isfinite(scale) && scale > 0 ? scale : 1.0;
}

// The final rendering and the guide cells work on bitmaps of (four times) the cells'
// output size; big cells are legitimate but slow, and the fuzzer learns nothing there.
bool smallTiles(const Workspace& ws)
{
    const QSize tile = FinalTileSize(ws);
    return std::int64_t(tile.width()) * tile.height() <= 128 * 128 && ws.mproject.cfg.CellWdPx < 64 &&
           ws.mproject.cfg.CellHtPx < 64;
}

void drawViews(Workspace& ws, bool all)
{
    const TprojectCFG& cfg = ws.mproject.cfg;
    const double scale = fittingScale(cfg, 48);
    const bool finalToo = all && smallTiles(ws);
    for (int mode : {kDrawOutline, kDrawSourceColor, kDrawTileColor, kDrawTileIdColor, kDrawTileIdPlain, kDrawTilePhoto,
                     kDrawPriorityNumber, kDrawPriorityColor, kDrawFinal}) {
        if (mode == kDrawFinal && !finalToo) continue;
        QImage view;
        const Status st = Draw_MosaicToView(ws, mode, view, scale, nullptr);
        FuzzCheck(st.ok() || !st.error().isEmpty(), "a failed view says why");
        if (mode == kDrawOutline || mode == kDrawFinal) {
            QImage bitmap(40, 30, QImage::Format_ARGB32_Premultiplied);
            (void)Draw_MosaicToBitmap(ws, mode, bitmap, nullptr);
        }
    }

    QImage canvasImage(32, 32, QImage::Format_ARGB32_Premultiplied);
    Canvas canvas(canvasImage);
    const TRectF range{float(cfg.FullWidthF / 4), float(cfg.FullHeightF / 4), float(cfg.FullWidthF / 2),
                       float(cfg.FullHeightF / 2)};
    (void)Draw_CellsByRange(ws, canvas, range, kDrawTileIdColor, scale, nullptr);
    const int rows = gridRowCount(cfg), cols = gridColumnCount(cfg), addons = addonCellCount(cfg);
    if (rows > 0 && cols > 0) {
        const TCell& cell = ws.mproject.Cells[rows / 2][cols / 2];
        if (finalToo) (void)Draw_FinalMosaic_OneCell(ws, canvas, cell, scale, QPointF(2, 2));
        if (finalToo) Draw_FinalMosaic_OneCell_Guide(ws, canvas, cell, scale, QPointF(2, 2), 10, true);
        (void)Draw_onecell_tilephoto(ws, cols - 1, rows - 1, canvas, scale);
        Draw_onecell_Priority(ws, cell, canvas, kDrawPriorityColor, scale);
    }
    if (addons > 0) {
        const TCell& cell = ws.mproject.AddonTiles[addons - 1];
        if (finalToo) (void)Draw_FinalMosaic_OneCell(ws, canvas, cell, scale, QPointF(1, 1));
        if (finalToo) Draw_FinalMosaic_OneCell_Guide(ws, canvas, cell, scale, QPointF(1, 1), 8, false);
    }

    NullProgress progress;
    QImage guide;
    (void)Cells_boundary_PX(ws, 0, 0, cols - 1, rows - 1);
    // Work plans: a page of the page grid, then (guide cells) a page of a colour group.
    RefreshWorkplanCfg(ws, 2, 2, 40, 8, 0);
    (void)WorkplanOnePage(ws.workplanCfg, 5, -3);
    QImage page;
    (void)DrawWorkplanPage(ws, page, 1, 1, /*fill=*/true, nullptr);
    if (!finalToo) return;
    (void)Draw_GuideCellsByRange(ws, 0, 0, cols - 1, rows - 1, 0, kTileCountMax, 48, 48, 10, true, guide, progress);
    (void)Draw_GuideCellsByRange(ws, cols / 2, rows / 2, cols + 5, rows + 5, 1, 2, 24, 40, 6, false, guide, progress);

    WorkplanGroupSettings group;
    group.cellsH = group.cellsV = 3;
    group.groupSize = 2;
    group.pagePx = 40;
    group.fontSize = 6;
    (void)WorkplanGroupLabels(ws.mproject, group.cellsH, group.cellsV);
    (void)DrawWorkplanGroupPage(ws, page, 1, 0, 0, 1, group, nullptr);
    (void)DrawWorkplanGroupPreview(ws, page, 0, 0, group, nullptr);
}

// What the tile picker, the pen and the cell information read of the cells.
void editCells(Workspace& ws)
{
    const TprojectCFG& cfg = ws.mproject.cfg;
    const int rows = gridRowCount(cfg), cols = gridColumnCount(cfg), addons = addonCellCount(cfg);
    const std::pair<int, int> cells[] = {{0, 0}, {cols - 1, rows - 1}, {addons - 1, -1}, {cols, 0}, {-5, -1}};
    for (const auto& [x, y] : cells) {
        const TCell* cell = EditedCell(ws.mproject, x, y);
        if (!cell) continue;
        (void)CurrentDiffText(*cell, ws.mtilelib);
        (void)CellPositionText(*cell);
        (void)CellInfoCard(ws, x, y);
        if (FillPickerCandidates(ws, x, y)) {
            QImage strip;
            (void)BuildCandidateStrip(ws, ws.pickerList, strip);
            (void)CandidateIndexAt(ws.pickerList, CandidateScrollMaximum(ws.pickerList), 1e9);
        }
    }
    (void)GuideCardMappingFor(QSize(), cfg.WidthPx, cfg.HeightPx);
    (void)OverviewSize(ws);
    (void)OverviewScale(ws);
}

void readOutputs(Workspace& ws)
{
    const TMosaicProject& p = ws.mproject;
    std::vector<TileUse> uses = CountTileUse(p, ws.mtilelib, /*includeAddon=*/true);
    FuzzCheck(uses.size() == size_t(tileCount(ws.mtilelib)), "one use entry per tile");
    OrderByCount(uses);
    for (const TileUse& u : uses)
        (void)TileListRow(u, ws.mtilelib.items[u.tile].FileName.get());

    TColorHistogram hist;
    ProjectColorHistogram(hist, p);
    QImage chart;
    DrawColorWheel(chart, hist, kChartHueWheel);

    (void)RobotInfoLabels(p, 4, 3);
    for (const auto& page : {std::pair{0, 0}, std::pair{1, 2}, std::pair{-1, 0}})
        (void)GenerateRobotCode(p, ws.mtilelib, page.first, page.second, 4, 3, nullptr, ws.platform);
    (void)RobotPage(p, 3, 3, 4, 3);
}

void search(Workspace& ws)
{
    TMosaicProject& p = ws.mproject;
    const TprojectCFG& cfg = p.cfg;
    if (gridRowCount(cfg) * gridColumnCount(cfg) + addonCellCount(cfg) > 600) return;
    // Options as the windows set them: the file's own values reach the search only
    // through controls with ranges.
    TmosaicOptions& o = ws.moptions;
    o.RepeatMin = std::clamp(o.RepeatMin, 1, 2);
    o.RepeatMax = std::clamp(o.RepeatMax, 1, 100000);
    o.RepeatRadius = std::clamp(o.RepeatRadius, 0, 100);
    o.RandomLevel = std::clamp(o.RandomLevel, 1, 100);
    if (!(o.DitherLevel >= 0 && o.DitherLevel <= 1)) o.DitherLevel = 0.5f;
    ws.mtilelib.ZeroUsecount();
    TGoodTileList list;
    const int rows = gridRowCount(cfg), cols = gridColumnCount(cfg);
    if (rows > 0 && cols > 0) {
        p.GetGoodTileList(p.Cells[0][0], list, /*bypassAC=*/false);
        (void)p.TileAvailabilityCheck(p.Cells[rows - 1][cols - 1], 1);
    }
    p.Search_withoptions(nullptr);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    InitFuzzEnvironment(argc, argv);
    workspace();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    Workspace& ws = workspace();
    TMosaicProject& p = ws.mproject;
    const std::uint8_t mode = data[0];
    QByteArray bytes = FuzzBytes(data + 1, size - 1);
    const bool quickSave = mode & 1;
    if (quickSave && (mode & 2)) bytes = expandQuickSave(bytes);
    const QString name = quickSave ? QStringLiteral("TempMosaic.Prj") : QStringLiteral("Mosaic.Prj");
    const Status st = quickSave ? p.LoadProjectFileFromBytes(bytes, name) : p.LoadProjectFromBytes(bytes, name);
    if (!st) {
        FuzzCheckRefusal(st.error(), name);
        return 0;
    }
    BuildPatternShapeMasks(ws.shapeMasks, p.patterncfg);
    ws.mainImageScale = p.cfg.WidthPx > 0 ? ws.fullSizeImage.width() / p.cfg.WidthPx : 0.0;

    (void)p.GetProjectSize();
    (void)p.GetProjectCellCount();
    (void)p.Cell_GetIdByMouse(10, 10, 1);
    (void)p.Cell_GetAddonIdByMouse(10, 10, 1);
    readOutputs(ws);
    editCells(ws);
    drawViews(ws, /*all=*/true);
    search(ws);
    drawViews(ws, /*all=*/false);
    return 0;
}
