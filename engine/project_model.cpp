#include "engine/project.h"

#include "engine/patterns.h"
#include "engine/workspace.h"

#include <algorithm>
#include <cassert>
#include <cstring>

TMosaicProject::TMosaicProject(Workspace& workspace) : m_ws(&workspace)
{
    std::memset(&cfg, 0, sizeof cfg);
    std::memset(&patterncfg, 0, sizeof patterncfg);
    std::memset(Cells, 0, sizeof Cells);
    std::memset(AddonTiles, 0, sizeof AddonTiles);
    SizeUnitStr.clear();
    patterncfg = DefaultPattern();
    clear();
}

void TMosaicProject::clear()
{
    for (auto& row : Cells)
        for (TCell& cell : row)
            cell.TileID = -1;
    cfg.searchDone = 0;
}

void TMosaicProject::cell_ClearTileID()
{
    // Counts beyond the capacities would write past the arrays; stay inside them.
    const int rows = std::clamp(cfg.Vcc, 0, kGridCapacity), cols = std::clamp(cfg.Hcc, 0, kGridCapacity);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x)
            Cells[y][x].TileID = -1;
    const int addons = std::clamp(cfg.AddonTilesCount, 0, kAddonCapacity);
    for (int i = 0; i < addons; ++i)
        AddonTiles[i].TileID = -1;
}

void TMosaicProject::Cell_SetTile(TCell& cell, int TileID)
{
    assert(TileID >= 0 && TileID < kTileCapacity && "callers place only tiles of the working library");
    cell.TileID = TileID;
    if (TileID >= 0 && TileID < kTileCapacity)
        ws().mtilelib.items[TileID].Usecount += 1;
}

void TMosaicProject::Cell_SetTile_R(TCell& cell, int TileID, int Rid)
{
    Cell_SetTile(cell, TileID);
    // Rid steps of 30 degrees, with the constant the stored projects were made with.
    cell.Rotate = Rid * 188.49555921538757 / 360;
}
