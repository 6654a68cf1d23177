// Cell colour reading: every cell's region of fullSizeImage measured on an 8 x 8 grid,
// the grid's saturation strengthened by SrcColorEnhance, and the whole-cell colour
// recomputed from the strengthened grid. The quadrant colours stay as measured.

#include "engine/grid_bounds.h"
#include "engine/project.h"
#include "engine/workspace.h"
#include "imaging/color_convert.h"
#include "imaging/color_measure.h"

#include <algorithm>
#include <cstdint>

namespace {

// The cell's rectangle in fullSizeImage pixels, cut to (0, 0, W - 1, H - 1). A rectangle
// with nothing inside becomes empty, which measures black.
TRectF imageRegion(const TRectF& cellRect, double scale, const QImage& image)
{
    const TRectF r = ScaleRect(cellRect, scale);
    const float right = static_cast<float>(image.width() - 1), bottom = static_cast<float>(image.height() - 1);
    const TRectF clipped{std::max(r.Left, 0.0f), std::max(r.Top, 0.0f), std::min(r.Right, right),
                         std::min(r.Bottom, bottom)};
    if (!(clipped.Right > clipped.Left) || !(clipped.Bottom > clipped.Top)) return TRectF{0, 0, 0, 0};
    return clipped;
}

// S x factor, at most 100 %. A negative or NaN factor (only a damaged project file has
// one) would leave the HSV range and give channels outside a byte.
double boostedSaturation(double S, double factor)
{
    const double s = std::min(S * factor, 100.0);
    return s >= 0 ? s : 0.0;
}

std::uint8_t channelByte(int v)
{
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

void readCellColor(TCell& cell, const QImage& image, double scale, double enhance)
{
    TimgColorInfo& info = cell.ICinfo;
    if (!GetImgColorInfo8(info, image, imageRegion(cell.CellRect, scale, image))) return;

    for (TColorInfo15& e : info.ci64) {
        double H, S, V;
        RGBToHSV(e.rgba.r, e.rgba.g, e.rgba.b, H, S, V);
        int r, g, b, gray;
        HSVToRGB(H, boostedSaturation(S, enhance), V, r, g, b, gray);
        // Only the channels change: alpha, rgb, Lab and hsl keep the measured values.
        e.rgba.r = channelByte(r);
        e.rgba.g = channelByte(g);
        e.rgba.b = channelByte(b);
    }

    int R = 0, G = 0, B = 0;
    for (int k = 0; k < 64; ++k) {
        const Trgba& c = info.ci64[k].rgba;
        R += CenterWeights[k] * c.r;
        G += CenterWeights[k] * c.g;
        B += CenterWeights[k] * c.b;
    }
    // Lab, rgb and rgba of ci1 follow the boosted grid; its hsl stays.
    CompleteColorInfo(info.ci1, R / kCenterWeightSum, G / kCenterWeightSum, B / kCenterWeightSum);
}

} // namespace

void TMosaicProject::Cell_ReadColorFromMI_2017(Progress* /*Pbar*/)
{
    const QImage& image = ws().fullSizeImage;
    const double scale = ws().mainImageScale;
    const int rows = gridRowCount(cfg), cols = gridColumnCount(cfg);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x)
            readCellColor(Cells[y][x], image, scale, cfg.SrcColorEnhance);
}

void TMosaicProject::AddonCell_ReadColorFromMI_2017(Progress* /*Pbar*/)
{
    const QImage& image = ws().fullSizeImage;
    const double scale = ws().mainImageScale;
    const int count = addonCellCount(cfg);
    for (int i = 0; i < count; ++i)
        readCellColor(AddonTiles[i], image, scale, cfg.SrcColorEnhance);
}
