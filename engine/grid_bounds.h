#pragma once
// The counts the engine loops over, held inside the arrays they index. The model checks
// nothing (a project file or a caller may carry any value), so every loop over cells or
// tiles goes through these instead of reading Vcc, Hcc, AddonTilesCount or Count raw.

#include "engine/project_records.h"
#include "tilelib/tilelib_records.h"

#include <algorithm>

inline int gridRowCount(const TprojectCFG& cfg)
{
    return std::clamp(cfg.Vcc, 0, kGridCountMax);
}
inline int gridColumnCount(const TprojectCFG& cfg)
{
    return std::clamp(cfg.Hcc, 0, kGridCountMax);
}
inline int addonCellCount(const TprojectCFG& cfg)
{
    return std::clamp(cfg.AddonTilesCount, 0, kAddonCapacity);
}
inline int tileCount(const TTilelibData& lib)
{
    return std::clamp(lib.Count, 0, kTileCountMax);
}

// A TileID that names an item of the library; anything else counts as no tile.
inline bool isLibraryTile(const TTilelibData& lib, int tileID)
{
    return tileID >= 0 && tileID < tileCount(lib);
}
