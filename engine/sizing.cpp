// Mosaic sizes in real units, output pixels and working-canvas pixels. A mosaic without a
// defined size (no cells, a zero or non-finite extent, an unknown layout kind) gets a
// 0 x 0 working canvas and zero scales rather than a division by zero.

#include "engine/project.h"

#include "engine/patterns.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

int gridRows(const TprojectCFG& cfg) { return std::clamp(cfg.Vcc, 0, kGridCountMax); }
int gridCols(const TprojectCFG& cfg) { return std::clamp(cfg.Hcc, 0, kGridCountMax); }

// Truncation toward zero that cannot overflow: non-finite values give 0, others are
// held within the Integer range first.
int truncToInt(double v)
{
    if (!std::isfinite(v))
        return 0;
    constexpr double lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    return static_cast<int>(std::trunc(std::clamp(v, lo, hi)));
}

int clampToInt(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

struct FittedSize {
    float width = 0, height = 0;
};

// Fits W x H into boxW x boxH keeping the aspect ratio, scaling up or down, in Single
// precision like the rectangle fit the stored sizes were made with.
FittedSize fitInto(double w, double h, double boxW, double boxH)
{
    const float W = static_cast<float>(w), H = static_cast<float>(h);
    const float BW = static_cast<float>(boxW), BH = static_cast<float>(boxH);
    if (!(W > 0) || !(H > 0) || !(BW > 0) || !(BH > 0) || !std::isfinite(W) || !std::isfinite(H) ||
        !std::isfinite(BW) || !std::isfinite(BH))
        return {};
    const float ratio = std::max(W / BW, H / BH);
    FittedSize f{W / ratio, H / ratio};
    if (!std::isfinite(f.width) || !std::isfinite(f.height))
        return {};
    return f;
}

double safeDivide(double num, double den)
{
    if (den == 0)
        return 0;
    const double q = num / den;
    return std::isfinite(q) ? q : 0;
}

double toPixels(double real, std::int32_t unit, double ppi, double current)
{
    switch (unit) {
    case kUnitInch:
        return real * ppi;
    case kUnitMm:
        return real / 25.4 * ppi;
    case kUnitPixel:
        return real;
    default:
        return current;
    }
}

} // namespace

int TMosaicProject::RingCellCount(int i) const
{
    const double radius = i * cfg.Rinc + cfg.Rstart;
    int n = cfg.CellSpace != 0 ? truncToInt(radius * 2 * std::numbers::pi / cfg.CellSpace) : 0;
    if (cfg.Commondivisor > 0)
        n = (n / cfg.Commondivisor) * cfg.Commondivisor;
    return n;
}

int TMosaicProject::GetProjectCellCount() const
{
    switch (cfg.ProjectPatternType) {
    case kPatternGrid:
        return clampToInt(static_cast<long long>(cfg.Hcc) * cfg.Vcc);
    case kPatternCircles: {
        long long sum = 0;
        for (int i = 0; i < cfg.CircleCount; ++i)
            sum += RingCellCount(i);
        return clampToInt(sum);
    }
    default:
        return 0;
    }
}

TPointF TMosaicProject::GetProjectSizeByPattern() const
{
    float width = 0, height = 0;
    const float w = static_cast<float>(cfg.CellWdf), h = static_cast<float>(cfg.CellHtf);
    const float gw = static_cast<float>(cfg.CellgapwdF), gh = static_cast<float>(cfg.CellgaphtF);
    for (int y = 0; y < gridRows(cfg); ++y)
        for (int x = 0; x < gridCols(cfg); ++x) {
            const TRectF r = PatternCellRect(x, y, w, h, gw, gh, patterncfg);
            width = std::max(width, r.Right);
            height = std::max(height, r.Bottom);
        }
    return TPointF{width, height};
}

TPointF TMosaicProject::GetProjectSize() const
{
    switch (cfg.ProjectPatternType) {
    case kPatternGrid:
        return GetProjectSizeByPattern();
    case kPatternCircles: {
        const double side = 2 * ((cfg.CircleCount - 1) * cfg.Rinc + cfg.Rstart) + std::max(cfg.CellWdf, cfg.CellHtf);
        const float s = static_cast<float>(side);
        return TPointF{s, s};
    }
    default:
        return TPointF{0, 0};
    }
}

void TMosaicProject::MainSize_Update()
{
    const std::int32_t unit = cfg.CanvasUnit;
    const double ppi = cfg.CanvasPPI;
    cfg.FullWidthPX = toPixels(cfg.FullWidthF, unit, ppi, cfg.FullWidthPX);
    cfg.FullHeightpx = toPixels(cfg.FullHeightF, unit, ppi, cfg.FullHeightpx);
    cfg.CellWdPx = toPixels(cfg.CellWdf, unit, ppi, cfg.CellWdPx);
    cfg.CellHtPx = toPixels(cfg.CellHtf, unit, ppi, cfg.CellHtPx);
    cfg.CellgapwdPX = toPixels(cfg.CellgapwdF, unit, ppi, cfg.CellgapwdPX);
    cfg.cellgapHtpx = toPixels(cfg.CellgaphtF, unit, ppi, cfg.cellgapHtpx);

    // The longer side of the working canvas is PreviewBMPsize whatever the resolution.
    const FittedSize canvas = fitInto(cfg.FullWidthPX, cfg.FullHeightpx, cfg.PreviewBMPsize, cfg.PreviewBMPsize);
    cfg.WidthPx = canvas.width;
    cfg.HeightPx = canvas.height;
    cfg.PreviewScale = 1.0;
    cfg.CanvasScale = safeDivide(cfg.WidthPx, cfg.FullWidthF);

    const FittedSize plan = fitInto(cfg.FullWidthPX, cfg.FullHeightpx, cfg.CellPlanBMPsizeWD, cfg.CellPlanBMPsizeHT);
    cfg.CellPlanScale = safeDivide(plan.width, cfg.FullWidthF);
}

void TMosaicProject::Cell_Counttosize()
{
    cfg.CellWdPx = safeDivide(safeDivide(cfg.WidthPx, patterncfg.Hscale), cfg.Hcc);
    cfg.CellHtPx = safeDivide(safeDivide(cfg.HeightPx, patterncfg.Vscale), cfg.Vcc);
}

void TMosaicProject::Cell_Sizetocount()
{
    // The counts index the 101 x 101 grid, so a conversion never yields more than 100.
    cfg.Hcc = std::clamp(truncToInt(safeDivide(safeDivide(cfg.WidthPx, patterncfg.Hscale), cfg.CellWdPx)), 0,
                         kGridCountMax);
    cfg.Vcc = std::clamp(truncToInt(safeDivide(safeDivide(cfg.HeightPx, patterncfg.Vscale), cfg.CellHtPx)), 0,
                         kGridCountMax);
}
