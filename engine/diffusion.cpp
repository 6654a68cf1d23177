#include "engine/diffusion.h"

#include "engine/grid_bounds.h"
#include "engine/project.h"
#include "engine/workspace.h"
#include "imaging/color_convert.h"

#include <cmath>

namespace {

// The sum in double precision, rounded once to a Single, then clamped.
int shifted(int channel, int error, float f)
{
    return ClampByte(static_cast<float>(channel + double(error) * f));
}

} // namespace

int ClampByte(float v)
{
    if (!(v >= 0)) // also NaN, from a factor a damaged project file carried
        return 0;
    if (v > 255) return 255;
    return static_cast<int>(std::trunc(v));
}

TimgColorInfo ErrorDiffuse(const TimgColorInfo& S, const TimgColorInfo& T, const TimgColorInfo& D, float f)
{
    TimgColorInfo result = D;
    const int er = int(S.ci1.rgba.r) - int(T.ci1.rgba.r);
    const int eg = int(S.ci1.rgba.g) - int(T.ci1.rgba.g);
    const int eb = int(S.ci1.rgba.b) - int(T.ci1.rgba.b);

    result.ci1.rgba =
        MakeRgba(shifted(D.ci1.rgba.r, er, f), shifted(D.ci1.rgba.g, eg, f), shifted(D.ci1.rgba.b, eb, f), 255);
    for (TColorInfo15& e : result.ci64) {
        const int r = shifted(e.rgba.r, er, f);
        const int g = shifted(e.rgba.g, eg, f);
        const int b = shifted(e.rgba.b, eb, f);
        const int a = e.rgba.a;
        e.rgba = MakeRgba(r, g, b, a);
        e.rgb = MakeColor(r, g, b, a);
    }
    return result;
}

void TMosaicProject::Cell_SetDither_R(int x, int y)
{
    const TmosaicOptions& options = ws().moptions;
    if (!options.DitherOn) return;
    const int rows = gridRowCount(cfg), cols = gridColumnCount(cfg);
    if (x < 0 || y < 0 || x >= cols || y >= rows) return;
    const TCell& filled = Cells[y][x];
    const TTilelib& lib = ws().mtilelib;
    if (!isLibraryTile(lib, filled.TileID)) return; // no tile colour to measure the error against
    const TimgColorInfo& S = filled.ICinfo;
    const TimgColorInfo& T = lib.items[filled.TileID].ColorInfo;
    const double L = options.DitherLevel;

    // Floyd-Steinberg weights; the factors are worked out in double and handed on as
    // Singles. Targets change whether or not they already hold a tile.
    auto diffuse = [&](int tx, int ty, double weight) {
        TimgColorInfo& target = Cells[ty][tx].ICinfo;
        target = ErrorDiffuse(S, T, target, static_cast<float>(L * weight / 16));
    };
    if (x + 1 < cols) diffuse(x + 1, y, 7);
    if (x > 0 && y + 1 < rows) diffuse(x - 1, y + 1, 3);
    if (y + 1 < rows) diffuse(x, y + 1, 5);
    if (x + 1 < cols && y + 1 < rows) diffuse(x + 1, y + 1, 1);
}

void TMosaicProject::Cell_SetDither_addonR(int ID)
{
    const TmosaicOptions& options = ws().moptions;
    if (!options.DitherOn) return;
    if (ID < 0 || ID + 1 >= addonCellCount(cfg)) return; // the last cell of the ring order passes its error nowhere
    const TTilelib& lib = ws().mtilelib;
    const TCell& filled = AddonTiles[ID];
    if (!isLibraryTile(lib, filled.TileID)) return;
    TimgColorInfo& target = AddonTiles[ID + 1].ICinfo;
    target = ErrorDiffuse(filled.ICinfo, lib.items[filled.TileID].ColorInfo, target, options.DitherLevel);
}
