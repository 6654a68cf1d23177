// Pattern files (".pat") from the fuzzer's bytes, read over the default pattern; then
// what reads a loaded pattern: the cell rectangles and shapes of a grid, the shape
// masks, the layout of a small project, its size and its outline and shape views.

#include "engine/patterns.h"
#include "engine/workspace.h"
#include "fuzz/fuzz_support.h"
#include "render/mosaic_views.h"
#include "render/working_views.h"

#include <algorithm>
#include <cmath>

namespace {

Workspace& workspace()
{
    static Workspace* ws = new Workspace(Platform{}, 3);
    return *ws;
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
    Workspace& ws = workspace();
    TpatternCfg pattern = DefaultPattern();
    const QString name = QStringLiteral("fuzz.pat");
    const Status st = LoadPatternFromBytes(pattern, FuzzBytes(data, size), name);
    if (!st) {
        FuzzCheckRefusal(st.error(), name);
        return 0;
    }
    for (int y = -2; y < 12; ++y)
        for (int x = -2; x < 12; ++x) {
            (void)PatternCellShape(pattern, x, y);
            (void)PatternCellRotate(pattern, x, y);
            (void)PatternCellRect(x, y, 10, 10, 1, 1, pattern);
        }
    BuildPatternShapeMasks(ws.shapeMasks, pattern);

    TMosaicProject& p = ws.mproject;
    p.patterncfg = pattern;
    p.cfg.ProjectPatternType = kPatternGrid;
    p.cfg.Vcc = 5;
    p.cfg.Hcc = 6;
    p.cfg.CellWdf = p.cfg.CellHtf = 10;
    p.cfg.CellgapwdF = p.cfg.CellgaphtF = 1;
    p.cfg.CanvasUnit = 2;
    p.cfg.CanvasPPI = 100;
    p.cfg.PreviewBMPsize = 64;
    p.cfg.CellPlanBMPsizeWD = p.cfg.CellPlanBMPsizeHT = 32;
    const TPointF extent = p.GetProjectSize();
    p.cfg.FullWidthF = extent.X;
    p.cfg.FullHeightF = extent.Y;
    p.MainSize_Update();
    p.Cell_Counttosize();
    p.Cell_Reset();
    (void)p.Cell_GetIdByMouse(5, 5, 1);

    const double longest = std::max(p.cfg.FullWidthF, p.cfg.FullHeightF);
    const double scale = std::isfinite(longest) && longest > 0 && 48 / longest > 0 ? 48 / longest : 1.0;
    for (int mode : {kDrawOutline, kDrawSourceColor, kDrawPriorityColor}) {
        QImage view;
        (void)Draw_MosaicToView(ws, mode, view, scale, nullptr);
    }
    return 0;
}
