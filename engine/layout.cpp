// Cell layout (the patterned grid and the concentric rings) and hit-testing.

#include "engine/project.h"

#include "engine/patterns.h"
#include "engine/workspace.h"
#include "imaging/shapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Vcc and Hcc beyond 100 would index past the grid; the layout and the hit-tests stay
// within it whatever the configuration says.
int gridRows(const TprojectCFG& cfg) { return std::clamp(cfg.Vcc, 0, kGridCountMax); }
int gridCols(const TprojectCFG& cfg) { return std::clamp(cfg.Hcc, 0, kGridCountMax); }
int addonCount(const TprojectCFG& cfg) { return std::clamp(cfg.AddonTilesCount, 0, kAddonCapacity); }

TPointF rectCentre(const TRectF& r) { return TPointF{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

bool containsPoint(const TRectF& r, float px, float py)
{
    return px >= r.Left && px < r.Right && py >= r.Top && py < r.Bottom;
}

double distance(float px, float py, TPointF c)
{
    const double dx = static_cast<double>(px) - c.X, dy = static_cast<double>(py) - c.Y;
    return std::sqrt(dx * dx + dy * dy);
}

void markLaidOut(TCell& c)
{
    c.NewTypeCell = 1;
    c.TileID = -1;
    c.enable = 1;
    c.SplitLevel = 0;
    c.PriLevel = kPriorityNormal;
}

constexpr double kNoHit = 100000000.0;

} // namespace

TRectF ScaleRect(const TRectF& rect, double factor)
{
    return TRectF{static_cast<float>(rect.Left * factor), static_cast<float>(rect.Top * factor),
                  static_cast<float>(rect.Right * factor), static_cast<float>(rect.Bottom * factor)};
}

void TMosaicProject::Cell_Reset()
{
    cfg.AddonTilesCount = 0;
    for (TCell& c : AddonTiles) {
        c.NewTypeCell = 0;
        c.TileID = -1;
        c.enable = 0;
        c.SplitLevel = 0;
        c.PriLevel = kPriorityNormal;
    }

    if (cfg.ProjectPatternType == kPatternGrid) {
        const float w = static_cast<float>(cfg.CellWdf), h = static_cast<float>(cfg.CellHtf);
        const float gw = static_cast<float>(cfg.CellgapwdF), gh = static_cast<float>(cfg.CellgaphtF);
        for (int y = 0; y < gridRows(cfg); ++y)
            for (int x = 0; x < gridCols(cfg); ++x) {
                TCell& c = Cells[y][x];
                c.CellShape = PatternCellShape(patterncfg, x, y);
                c.Rotate = PatternCellRotate(patterncfg, x, y);
                c.CellRectReal = PatternCellRect(x, y, w, h, gw, gh, patterncfg);
                c.CellCenterReal = rectCentre(c.CellRectReal);
                c.CellRect = ScaleRect(c.CellRectReal, cfg.CanvasScale);
                c.CellPolyReal = ShapePolygon(c.CellShape, cfg.CellWdf, cfg.CellHtf, c.Rotate, c.CellCenterReal);
                markLaidOut(c);
                c.CellX = x;
                c.CellY = y;
            }
        return;
    }

    if (cfg.ProjectPatternType != kPatternCircles || cfg.CircleCount < 1)
        return;
    const double cx = cfg.FullWidthF / 2, cy = cfg.FullHeightF / 2;
    const float halfW = static_cast<float>(cfg.CellWdf / 2), halfH = static_cast<float>(cfg.CellHtf / 2);
    for (int i = 0; i < cfg.CircleCount; ++i) {
        const int n = RingCellCount(i);
        // One draw per ring, also for a ring without cells, so the draws follow the rings.
        const double phase = ws().random().Random(180) * std::numbers::pi / 180;
        const double step = n > 0 ? 2 * std::numbers::pi / n : 0;
        const double r = i * cfg.Rinc + cfg.Rstart;
        for (int k = 0; k < n; ++k) {
            const double a = k * step + phase;
            const TPointF p{static_cast<float>(r * std::cos(a) + cx), static_cast<float>(r * std::sin(a) + cy)};
            const int index = cfg.AddonTilesCount;
            TCell& c = AddonTiles[index];
            c.CellShape = cfg.BaseTileShape;
            c.CellCenterReal = p;
            c.CellRectReal = TRectF{p.X - halfW, p.Y - halfH, p.X + halfW, p.Y + halfH};
            c.CellRect = ScaleRect(c.CellRectReal, cfg.CanvasScale);
            // Tangent to the ring, plus the configured extra rotation.
            c.Rotate = a + cfg.RotateStart + k * cfg.RotateStep + std::numbers::pi / 2;
            c.CellPolyReal = ShapePolygon(c.CellShape, cfg.CellWdf, cfg.CellHtf, c.Rotate, p);
            markLaidOut(c);
            c.CellAID = index;
            cfg.AddonTilesCount = index + 1;
            if (cfg.AddonTilesCount >= kAddonCapacity)
                return; // the add-on list is full
        }
    }
}

TPoint TMosaicProject::Cell_GetIdByMouse(float mx, float my, float scale) const
{
    TPoint result{-1, -1};
    if (!(scale > 0))
        return result;
    const float px = mx / scale, py = my / scale;
    double best = kNoHit;
    for (int y = 0; y < gridRows(cfg); ++y)
        for (int x = 0; x < gridCols(cfg); ++x) {
            const TCell& c = Cells[y][x];
            if (!c.enable || !containsPoint(c.CellRectReal, px, py))
                continue;
            const double d = distance(px, py, rectCentre(c.CellRectReal));
            if (d < best) {
                best = d;
                result = TPoint{x, y};
            }
        }
    // Ring cells are found by the nearest centre alone, enabled or not.
    for (int i = 0; i < addonCount(cfg); ++i) {
        const double d = distance(px, py, AddonTiles[i].CellCenterReal);
        if (d < best) {
            best = d;
            result = TPoint{i, -1};
        }
    }
    return result;
}

int TMosaicProject::Cell_GetAddonIdByMouse(float mx, float my, float scale) const
{
    if (cfg.AddonTilesCount <= 0 || !(scale > 0))
        return -1;
    const float px = mx / scale, py = my / scale;
    double best = kNoHit;
    int result = -1;
    for (int i = 0; i < addonCount(cfg); ++i) {
        const TRectF& r = AddonTiles[i].CellRectReal;
        if (!containsPoint(r, px, py))
            continue;
        const double d = distance(px, py, rectCentre(r));
        if (d < best) {
            best = d;
            result = i;
        }
    }
    return result;
}
