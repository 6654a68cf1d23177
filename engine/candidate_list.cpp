#include "engine/project.h"

// The candidate list shifts in place and never allocates: it is filled once per cell
// for every tile of the library.

void TGoodTileList::clear()
{
    Count = 0;
    for (Entry& e : Tiles)
        e.tileid = -1;
}

void TGoodTileList::insert(int index, int tileid, int diff)
{
    insert_R(index, tileid, 0, diff);
}

void TGoodTileList::insert_R(int index, int tileid, int RotateID, int diff)
{
    for (int i = kCapacity - 1; i > index; --i)
        Tiles[i] = Tiles[i - 1]; // entry 99 falls off the end
    Tiles[index] = Entry{tileid, RotateID, diff};
    if (Count < kCapacity)
        ++Count;
}

void TGoodTileList::TryAddTile(int Tileid, int Diff)
{
    TryAddTile_R(Tileid, 0, Diff);
}

void TGoodTileList::TryAddTile_R(int Tileid, int RotateID, int Diff)
{
    // After every equal difference: among equals the one added first ranks first.
    for (int i = 0; i < Count; ++i) {
        if (Tiles[i].diff > Diff) {
            insert_R(i, Tileid, RotateID, Diff);
            return;
        }
    }
    if (Count < kCapacity)
        insert_R(Count, Tileid, RotateID, Diff);
}
