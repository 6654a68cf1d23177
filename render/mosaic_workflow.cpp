#include "render/mosaic_workflow.h"

#include "engine/patterns.h"
#include "engine/workspace.h"
#include "platform/file_io.h"
#include "platform/number_format.h"
#include "render/mosaic_views.h"
#include "render/working_views.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

int truncToInt(double v) { return std::isfinite(v) && std::fabs(v) < 2e9 ? static_cast<int>(std::trunc(v)) : 0; }

QString ms(const QElapsedTimer& t) { return QString::number(t.elapsed()); }

// (BaseTileRotateCount, BaseTileRotateAngle) of a tile shape.
void rotationsOf(std::int32_t shape, std::int32_t& count, std::int32_t& angle)
{
    switch (shape) {
    case 10:
    case 40: count = 4; angle = 90; break;
    case 20: count = 12; angle = 30; break;
    case 30: count = 3; angle = 120; break;
    default: count = 1; angle = 0; break;
    }
}

} // namespace

QString SizeUnitText(int unitIndex)
{
    switch (unitIndex) {
    case 0: return QStringLiteral("inch");
    case 1: return QStringLiteral("mm");
    case 2: return QStringLiteral("pixel");
    default: return QString();
    }
}

SizeTexts SizeUpdate(Workspace& ws, const NewProjectSettings& s, QSize cellPreviewSize)
{
    TMosaicProject& p = ws.mproject;
    TprojectCFG& c = p.cfg;
    c.CellWdPx = c.CellWdf = s.tileWidth;
    c.CellHtPx = c.CellHtf = s.tileHeight;
    c.CellgapwdF = s.horizontalGap;
    c.CellgaphtF = s.verticalGap;
    c.ProjectPatternType = s.patternPage == 1 ? kPatternCircles : kPatternGrid;
    if (c.ProjectPatternType == kPatternGrid) {
        c.Hcc = std::clamp(truncToInt(s.horizontalCount), 0, kGridCountMax);
        c.Vcc = std::clamp(truncToInt(s.verticalCount), 0, kGridCountMax);
    } else {
        c.BaseTileShape = s.selectedShape;
        rotationsOf(s.selectedShape, c.BaseTileRotateCount, c.BaseTileRotateAngle);
        c.Hcc = 0;
        c.Vcc = 0;
        c.CircleCount = truncToInt(s.circleCount);
        c.Rstart = s.radiusStart;
        c.Rinc = s.radiusInc;
        c.CellSpace = s.tangentSpace;
        c.RotateStart = s.tangentRotateDegrees * kPi / 180;
        c.RotateStep = s.rotateStepDegrees * kPi / 180;
        c.Commondivisor = truncToInt(s.stepDivisor);
    }
    c.SrcColorEnhance = s.enhance;
    const TPointF size = p.GetProjectSize();
    c.FullWidthF = size.X;
    c.FullHeightF = size.Y;
    c.CanvasUnit = s.unitIndex;
    c.CanvasPPI = s.ppi;
    p.SizeUnitStr.set(SizeUnitText(s.unitIndex));
    c.PreviewBMPsize = 8000;
    c.CellPlanBMPsizeWD = truncToInt(cellPreviewSize.width() * double(ws.screenScale));
    c.CellPlanBMPsizeHT = truncToInt(cellPreviewSize.height() * double(ws.screenScale));
    p.MainSize_Update();

    const QString unit = p.SizeUnitStr.get();
    auto f = [](double v) { return FormatFixed(v, 2, 4); };
    SizeTexts t;
    t.mosaicSize = QStringLiteral("Mosaic Size %1 x %2").arg(truncToInt(c.WidthPx)).arg(truncToInt(c.HeightPx)) + unit;
    t.sizeInfo << QStringLiteral("Tile Size ") + f(c.CellWdf) + QStringLiteral(" x ") + f(c.CellHtf) + unit
               << QStringLiteral("Gap Size ") + f(c.CellgapwdF) + QStringLiteral(" x ") + f(c.CellgaphtF) + unit
               << QStringLiteral("Tile Count %1").arg(p.GetProjectCellCount())
               << QStringLiteral("Mosaic Size ") + f(c.FullWidthF) + QStringLiteral(" x ") + f(c.FullHeightF) + unit
               << QStringLiteral("-------")
               << QStringLiteral("Full Image Size %1 x %2Pixels").arg(truncToInt(c.FullWidthPX)).arg(truncToInt(c.FullHeightpx))
               << QStringLiteral("Max Pixel Size is limited to 8192; // According DirectX 10 specification. ");
    p.SizeChanged = true;
    return t;
}

TmosaicOptions ReadRenderOptions(const NewProjectSettings& s, const TmosaicOptions& current)
{
    TmosaicOptions o = current;
    o.UseAll = s.useAll;
    o.RepeatMinOn = s.repeatMinOn;
    o.RepeatMaxOn = s.repeatMaxOn;
    o.RepeatRadiusOn = s.repeatRadiusOn;
    o.RepeatMin = truncToInt(s.repeatMin);
    o.RepeatMax = truncToInt(s.repeatMax);
    o.RepeatRadius = truncToInt(s.repeatRadius);
    o.RandomLevel = truncToInt(s.randomLevel);
    o.WeightL = static_cast<float>(s.weightL);
    o.WeightC = static_cast<float>(s.weightC);
    o.DitherOn = s.ditherOn;
    o.DitherLevel = static_cast<float>(s.dither / 100);
    o.ScanlineSearch = s.scanlineSearch;
    o.RGBMatch = s.rgbMatch;
    o.BgMainImage = s.bgMainImage;
    o.BgColor = s.bgColor;
    o.AlphaBlend = s.alphaBlendOn ? s.alphaBlend : 0.0;
    o.ColorAdjust = s.colorEnhanceOn ? s.colorAdjust : 0.0;
    return o;
}

Status PreviewPipeline(Workspace& ws, const NewProjectSettings& s, const CropState& crop, QSize cellPreviewSize,
                       PreviewTarget target, const PreviewViews& views, QString* timeLabel)
{
    QString label;
    QElapsedTimer watch;
    watch.start();
    SizeUpdate(ws, s, cellPreviewSize);
    TMosaicProject& p = ws.mproject;
    p.Cell_Reset();
    label = QStringLiteral("Cell") + ms(watch);

    watch.restart();
    MakeFullSize(ws, crop.cropRect);
    p.Cell_ReadColorFromMI_2017(views.progress);
    p.AddonCell_ReadColorFromMI_2017(views.progress);
    label += QStringLiteral(" ReadC2-") + ms(watch);
    if (timeLabel)
        *timeLabel = label;

    watch.restart();
    Status drawn;
    if (target == PreviewTarget::CellPreview && views.cellPreview)
        drawn = Draw_MosaicToView(ws, kDrawSourceColor, *views.cellPreview, p.cfg.CellPlanScale, views.progress);
    else if (target == PreviewTarget::MainView && views.mainView)
        drawn = Draw_MosaicToView(ws, kDrawSourceColor, *views.mainView, p.cfg.PreviewScale, views.progress);
    label += QStringLiteral("  Draw") + ms(watch);
    if (timeLabel)
        *timeLabel = label;
    p.SizeChanged = false;
    return drawn;
}

Status RenderMosaic(Workspace& ws, const NewProjectSettings& s, const CropState& crop, QString* timeLabel)
{
    TMosaicProject& p = ws.mproject;
    QElapsedTimer watch;
    watch.start();
    ws.moptions = ReadRenderOptions(s, ws.moptions);
    BuildPatternShapeMasks(ws.shapeMasks, p.patterncfg);
    ws.mtilelib.ZeroUsecount();
    p.cell_ClearTileID();
    MakeFullSize(ws, crop.cropRect);
    p.Cell_ReadColorFromMI_2017(nullptr);
    if (timeLabel)
        *timeLabel += QStringLiteral("ReadColor") + ms(watch);
    watch.restart();
    p.Search_withoptions(nullptr);
    p.Rendered = true;
    if (timeLabel)
        *timeLabel += QStringLiteral("  Render") + ms(watch);
    return {};
}

namespace {
Status drawFinalMosaic(Workspace& ws, QImage& mainView, Progress* progress)
{
    ws.mproject.cfg.PreviewBMPsize = 8000;
    ws.mproject.MainSize_Update();
    return Draw_MosaicToView(ws, kDrawFinal, mainView, ws.mproject.cfg.PreviewScale, progress);
}
} // namespace

Status CreateMosaic(Workspace& ws, const NewProjectSettings& s, const CropState& crop, QSize cellPreviewSize,
                    QImage& mainView, Progress* progress, QString* timeLabel)
{
    SizeUpdate(ws, s, cellPreviewSize);
    if (Status st = RenderMosaic(ws, s, crop, timeLabel); !st)
        return st;
    return drawFinalMosaic(ws, mainView, progress);
}

Status CreateMosaicCommand(Workspace& ws, const NewProjectSettings& s, const CropState& crop, QSize cellPreviewSize,
                           QImage& mainView, Progress* progress, QString* timeLabel)
{
    if (ws.mainImage.isNull())
        return Failure(QStringLiteral("Please pick a main image first."));
    if (ws.mtilelib.Count <= 0)
        return Failure(QStringLiteral("The tile library holds no tiles. Please choose a tile library with photos."));
    if (timeLabel)
        timeLabel->clear();
    QElapsedTimer watch;
    watch.start();
    const int count = std::min(ws.mtilelib.Count, kTileCountMax);
    for (int i = 0; i < count; ++i)
        ws.mtilelib.ItemEnable[i] = 1;
    if (ws.mproject.SizeChanged) {
        if (Status st = PreviewPipeline(ws, s, crop, cellPreviewSize, PreviewTarget::None, {}, nullptr); !st)
            return st;
    }
    SizeUpdate(ws, s, cellPreviewSize);
    if (Status st = RenderMosaic(ws, s, crop, timeLabel); !st)
        return st;
    // The drawing is timed on its own, so each figure follows its own step.
    watch.restart();
    Status drawn = drawFinalMosaic(ws, mainView, progress);
    if (timeLabel)
        *timeLabel += QStringLiteral("  Draw") + ms(watch);
    Beep(ws.platform);
    return drawn;
}

Status RenderMosaicAgain(Workspace& ws, QImage& mainView, Progress* progress)
{
    TMosaicProject& p = ws.mproject;
    if (ws.fullSizeImage.isNull() || ws.mainImageScale <= 0)
        return Failure(QStringLiteral("The mosaic has no main picture to match; create or open a mosaic first."));
    BuildPatternShapeMasks(ws.shapeMasks, p.patterncfg);
    ws.mtilelib.ZeroUsecount();
    p.cell_ClearTileID();
    p.Cell_ReadColorFromMI_2017(nullptr);
    p.AddonCell_ReadColorFromMI_2017(nullptr);
    p.Search_withoptions(nullptr);
    p.Rendered = true;
    return Draw_MosaicToView(ws, kDrawFinal, mainView, p.cfg.PreviewScale, progress);
}

bool SetPriorityAt(Workspace& ws, float x, float y, int level)
{
    TMosaicProject& p = ws.mproject;
    const float scale = static_cast<float>(p.cfg.CellPlanScale);
    const TPoint hit = p.Cell_GetIdByMouse(x, y, scale);
    if (hit.X >= 0 && hit.Y >= 0) {
        p.Cells[hit.Y][hit.X].PriLevel = level;
        return true;
    }
    const int addon = hit.X >= 0 ? hit.X : p.Cell_GetAddonIdByMouse(x, y, scale);
    if (addon >= 0 && addon < std::min(p.cfg.AddonTilesCount, kAddonCapacity)) {
        p.AddonTiles[addon].PriLevel = level;
        return true;
    }
    return false;
}

QString QuickSaveFile(const Workspace& ws)
{
    return joinPath(ws.folders.DataRoot, QStringLiteral("TempMosaic.Prj"));
}
