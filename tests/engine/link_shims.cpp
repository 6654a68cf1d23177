// The candidate list belongs to the tile search, which this test executable does not
// exercise; the workspace constructs two lists, so it needs their clear(). The weak
// definition gives way to the search's own as soon as the engine library provides it.

#include "engine/project.h"

__attribute__((weak)) void TGoodTileList::clear()
{
    Count = 0;
    for (Entry& e : Tiles)
        e.tileid = -1;
}
