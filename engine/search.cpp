// The tile search, written as the plain reference: every cell compared with every
// enabled tile, candidates ranked in the shared list, one of the best few drawn at
// random. Each Random(n) happens at a fixed point of the order below, so a fixed seed
// repeats a mosaic exactly; a faster path must draw the same numbers in the same order.
// While Search_withoptions runs with the workspace's default SearchPath, the list, the
// random-order and the placement passes hand over to SearchAccelerator, which is tested
// to give the same results as the loops below.

#include "engine/grid_bounds.h"
#include "engine/project.h"
#include "engine/search_accelerator.h"
#include "engine/search_steps.h"
#include "engine/workspace.h"
#include "imaging/color_convert.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>

bool TMosaicProject::TileAvailabilityCheck(const TCell& cell, int tileid) const
{
    const TTilelib& lib = ws().mtilelib;
    const TmosaicOptions& options = ws().moptions;
    if (!isLibraryTile(lib, tileid)) return false;
    if (options.RepeatMaxOn && lib.items[tileid].Usecount >= options.RepeatMax) return false;
    if (!options.RepeatRadiusOn) return true;

    const int R = options.RepeatRadius;
    if (cfg.ProjectPatternType == kPatternGrid) {
        // A square of cells around the cell, not a circle.
        const Span cols = neighbourhood(cell.CellX, R, gridColumnCount(cfg));
        const Span rows = neighbourhood(cell.CellY, R, gridRowCount(cfg));
        for (int y = rows.lo; y <= rows.hi; ++y)
            for (int x = cols.lo; x <= cols.hi; ++x)
                if (Cells[y][x].TileID == tileid) return false;
    } else if (cfg.ProjectPatternType == kPatternCircles) {
        // Neighbours along the ring order.
        const Span ids = neighbourhood(cell.CellAID, R, addonCellCount(cfg));
        for (int i = ids.lo; i <= ids.hi; ++i)
            if (AddonTiles[i].TileID == tileid) return false;
    }
    return true;
}

void TMosaicProject::GetGoodTileList(const TCell& cell, TGoodTileList& gtl, bool bypassAC) const
{
    const TTilelib& lib = ws().mtilelib;
    const bool roundTiles = cfg.BaseTileShape == kShapeEllipse;
    if (m_searchAccelerator && m_searchAccelerator->covers(lib, roundTiles)) {
        m_searchAccelerator->GetGoodTileList(*this, cell, gtl, bypassAC);
        return;
    }
    const ColorMatchSettings settings = matchSettings(ws().moptions);
    gtl.clear();
    const int count = tileCount(lib);
    for (int t = 0; t < count; ++t) {
        if (!lib.ItemEnable[t]) continue;
        if (!bypassAC && !TileAvailabilityCheck(cell, t)) continue;
        const TTileItem& item = lib.items[t];
        if (roundTiles) {
            // The rotation that matches best, the lower one on ties.
            int bestR = 0;
            std::int32_t best = ImgColorDiff64(cell.ICinfo, item.RotColorInfo[0]);
            for (int r = 1; r < 12; ++r) {
                const std::int32_t d = ImgColorDiff64(cell.ICinfo, item.RotColorInfo[r]);
                if (d < best) {
                    best = d;
                    bestR = r;
                }
            }
            gtl.TryAddTile_R(t, bestR, best);
        } else {
            gtl.TryAddTile(t, truncatedDiff(ImgColorDiff(cell.ICinfo, item.ColorInfo, settings)));
        }
    }
}

void TMosaicProject::Search_withoptions(Progress* Pbar)
{
    TmosaicOptions& options = ws().moptions;
    // The fast path lives for this search only: the copy of the tiles' samples is
    // taken from the library as the search finds it.
    std::unique_ptr<SearchAccelerator> accelerator;
    if (ws().searchPath == SearchPath::Accelerated)
        accelerator = std::make_unique<SearchAccelerator>(ws().mtilelib, cfg.BaseTileShape == kShapeEllipse);
    struct Scope {
        const SearchAccelerator*& slot;
        ~Scope() { slot = nullptr; }
    } scope{m_searchAccelerator};
    m_searchAccelerator = accelerator.get();

    if (options.UseAll) Search_Pos_for_tile(Pbar);
    if (options.RepeatMinOn) {
        // The passes above already placed every tile once; the lowered value stays in the
        // options and is saved with the project.
        if (options.UseAll && options.RepeatMin > INT_MIN) options.RepeatMin -= 1;
        for (int i = 0; i < options.RepeatMin; ++i)
            Search_Pos_for_tile(Pbar);
    }
    for (int p = kPriorityHigh; p <= kPriorityLow; ++p) {
        if (options.ScanlineSearch)
            TSL_Search_Tile_for_pos_Scanline(p, Pbar);
        else
            TSL_Search_Tile_for_pos_Random(p, Pbar);
        Search_Tile_for_AddOn(!options.ScanlineSearch, p, Pbar);
    }
    cfg.searchDone = 1;
}

void TMosaicProject::Search_Pos_for_tile(Progress* Pbar)
{
    if (m_searchAccelerator && m_searchAccelerator->covers(ws().mtilelib, cfg.BaseTileShape == kShapeEllipse)) {
        m_searchAccelerator->Search_Pos_for_tile(*this, Pbar);
        return;
    }
    Workspace& w = ws();
    TTilelib& lib = w.mtilelib;
    const ColorMatchSettings settings = matchSettings(w.moptions);
    const int rows = gridRowCount(cfg), cols = gridColumnCount(cfg);
    const int count = tileCount(lib);

    PumpEvents(w.platform);
    for (int t = 0; t < count; ++t) {
        PumpEvents(w.platform);
        reportSearchProgress(Pbar, t, count);
        const int ox = w.random().Random(cols);
        const int oy = w.random().Random(rows);
        // The scan starts at a random cell and wraps, so on equal differences the first
        // cell met from there wins.
        double best = 4294967295.0;
        TCell* chosen = nullptr;
        for (int r = 0; r < rows; ++r) {
            int y = oy + r;
            if (y >= rows) y -= rows;
            for (int c = 0; c < cols; ++c) {
                int x = ox + c;
                if (x >= cols) x -= cols;
                TCell& cell = Cells[y][x];
                if (!isFreeCell(cell)) continue;
                const double d = ImgColorDiff(cell.ICinfo, lib.items[t].ColorInfo, settings);
                if (d < best) {
                    best = d;
                    chosen = &cell;
                }
            }
        }
        // Rotation and neighbours stay as they are: this pass only spreads the tiles.
        if (chosen) Cell_SetTile(*chosen, t);
    }
    SetProgress(Pbar, 0);
}

void TMosaicProject::TSL_Search_Tile_for_pos_Scanline(int priority, Progress* Pbar)
{
    Workspace& w = ws();
    TGoodTileList& gtl = w.goodTileList;
    const int rows = gridRowCount(cfg), cols = gridColumnCount(cfg);

    PumpEvents(w.platform);
    for (int y = 0; y < rows; ++y) {
        reportSearchProgress(Pbar, y, rows);
        for (int x = 0; x < cols; ++x) {
            TCell& cell = Cells[y][x];
            if (!isCandidateCell(cell, priority)) continue;
            GetGoodTileList(cell, gtl, /*bypassAC=*/false);
            if (gtl.Count <= 0) continue;
            const int i = w.random().Random(std::min(gtl.Count, w.moptions.RandomLevel));
            Cell_SetTile_R(cell, gtl.Tiles[i].tileid, gtl.Tiles[i].RotateID);
            Cell_SetDither_R(x, y);
        }
    }
    SetProgress(Pbar, 0);
}

void TMosaicProject::TSL_Search_Tile_for_pos_Random(int priority, Progress* Pbar)
{
    if (m_searchAccelerator && m_searchAccelerator->covers(ws().mtilelib, cfg.BaseTileShape == kShapeEllipse)) {
        m_searchAccelerator->TSL_Search_Tile_for_pos_Random(*this, priority, Pbar);
        return;
    }
    Workspace& w = ws();
    TGoodTileList& gtl = w.goodTileList;
    const int rows = gridRowCount(cfg), cols = gridColumnCount(cfg);
    const int N = rows * cols;

    PumpEvents(w.platform);
    for (int attempt = 0; attempt < N; ++attempt) {
        const int s = w.random().Random(N);
        PumpEvents(w.platform);
        if (attempt % cols == 0) reportSearchProgress(Pbar, attempt, N);
        // The first waiting cell from s on, wrapping. A cell whose list stays empty
        // remains free and may be met again by a later attempt.
        for (int k = 0; k < N; ++k) {
            int q = s + k;
            if (q >= N) q -= N;
            const int y = q / cols, x = q % cols;
            TCell& cell = Cells[y][x];
            if (!isCandidateCell(cell, priority)) continue;
            GetGoodTileList(cell, gtl, /*bypassAC=*/false);
            if (gtl.Count > 0) {
                const int i = w.random().Random(std::min(gtl.Count, w.moptions.RandomLevel));
                Cell_SetTile_R(cell, gtl.Tiles[i].tileid, gtl.Tiles[i].RotateID);
                Cell_SetDither_R(x, y);
            }
            break;
        }
    }
    SetProgress(Pbar, 0);
}

void TMosaicProject::Search_Tile_for_AddOn(bool randomsearch, int priority, Progress* pbar)
{
    if (m_searchAccelerator && m_searchAccelerator->covers(ws().mtilelib, cfg.BaseTileShape == kShapeEllipse)) {
        m_searchAccelerator->Search_Tile_for_AddOn(*this, randomsearch, priority, pbar);
        return;
    }
    Workspace& w = ws();
    TGoodTileList& gtl = w.goodTileList;
    const int count = addonCellCount(cfg);

    PumpEvents(w.platform);
    if (count <= 0) return;
    for (int attempt = 0; attempt < count; ++attempt) {
        if (attempt % 64 == 0) reportSearchProgress(pbar, attempt, count);
        const int s = randomsearch ? w.random().Random(count) : 0;
        for (int k = 0; k < count; ++k) {
            int e = s + k;
            if (e >= count) e -= count;
            TCell& cell = AddonTiles[e];
            if (!isCandidateCell(cell, priority)) continue;
            GetGoodTileList(cell, gtl, /*bypassAC=*/false);
            if (gtl.Count <= 0) {
                Beep(w.platform);
            } else {
                const int i = w.random().Random(std::min(gtl.Count, w.moptions.RandomLevel));
                // Add-on cells keep the tangent rotation of their layout.
                const double rotate = cell.Rotate;
                Cell_SetTile_R(cell, gtl.Tiles[i].tileid, gtl.Tiles[i].RotateID);
                cell.Rotate = rotate;
                Cell_SetDither_addonR(e);
            }
            break;
        }
    }
    SetProgress(pbar, 0);
}
