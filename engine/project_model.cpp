#include "engine/project.h"

#include "engine/patterns.h"
#include "engine/workspace.h"

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
    for (int y = 0; y < cfg.Vcc; ++y)
        for (int x = 0; x < cfg.Hcc; ++x)
            Cells[y][x].TileID = -1;
    for (int i = 0; i < cfg.AddonTilesCount; ++i)
        AddonTiles[i].TileID = -1;
}

void TMosaicProject::Cell_SetTile(TCell& cell, int TileID)
{
    cell.TileID = TileID;
    ws().mtilelib.items[TileID].Usecount += 1;
}

void TMosaicProject::Cell_SetTile_R(TCell& cell, int TileID, int Rid)
{
    Cell_SetTile(cell, TileID);
    // Rid steps of 30 degrees, with the constant the stored projects were made with.
    cell.Rotate = Rid * 188.49555921538757 / 360;
}
