#include "engine/diffusion.h"

#include "engine/grid_bounds.h"
#include "engine/project.h"
#include "engine/workspace.h"
#include "imaging/color_convert.h"

#include <cmath>

namespace {

// The sum in double precision, rounded once to a Single, then clamped. `shift` is the
// error times the factor, the same product for every entry of a record.
inline int shifted(int channel, double shift)
{
    const float v = static_cast<float>(channel + shift);
    if (!(v >= 0)) return 0;
    if (v > 255) return 255;
    return static_cast<int>(v);
}

} // namespace

int ClampByte(float v)
{
    if (!(v >= 0)) // also NaN, from a factor a damaged project file carried
        return 0;
    if (v > 255) return 255;
    return static_cast<int>(std::trunc(v));
}

void ErrorDiffuseInPlace(const TimgColorInfo& S, const TimgColorInfo& T, TimgColorInfo& D, float f)
{
    const int er = int(S.ci1.rgba.r) - int(T.ci1.rgba.r);
    const int eg = int(S.ci1.rgba.g) - int(T.ci1.rgba.g);
    const int eb = int(S.ci1.rgba.b) - int(T.ci1.rgba.b);
    const double sr = double(er) * f, sg = double(eg) * f, sb = double(eb) * f;

    D.ci1.rgba = MakeRgba(shifted(D.ci1.rgba.r, sr), shifted(D.ci1.rgba.g, sg), shifted(D.ci1.rgba.b, sb), 255);
    for (TColorInfo15& e : D.ci64) {
        const int r = shifted(e.rgba.r, sr);
        const int g = shifted(e.rgba.g, sg);
        const int b = shifted(e.rgba.b, sb);
        const int a = e.rgba.a;
        e.rgba = MakeRgba(r, g, b, a);
        e.rgb = MakeColor(r, g, b, a);
    }
}

TimgColorInfo ErrorDiffuse(const TimgColorInfo& S, const TimgColorInfo& T, const TimgColorInfo& D, float f)
{
    TimgColorInfo result = D;
    ErrorDiffuseInPlace(S, T, result, f);
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
        ErrorDiffuseInPlace(S, T, Cells[ty][tx].ICinfo, static_cast<float>(L * weight / 16));
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
    ErrorDiffuseInPlace(filled.ICinfo, lib.items[filled.TileID].ColorInfo, AddonTiles[ID + 1].ICinfo,
                        options.DitherLevel);
}
