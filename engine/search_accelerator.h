#pragma once
// The fast path of the tile search. The plain search in engine/search.cpp is the
// definition; everything here gives the same results for the same random draws: every
// cell's TileID and Rotate, every ICinfo byte, every Usecount and every candidate list
// entry, and draws Random(n), pumps events and reports progress at the same points.
//
// What makes it fast:
// - The tiles' colour samples are copied once per search into structure-of-arrays
//   blocks (doubles for the L* terms, 16-bit integers for the 8 x 8 grids), so one
//   cell is compared with the whole library in vectorised loops.
// - The candidate list depends only on the set of (diff, tile index) keys: TryAddTile
//   keeps the 100 smallest in ascending order, lower index first on equal diffs. So
//   tiles whose key cannot reach the current 100th are skipped without the
//   availability check, and, for round tiles, without computing their twelve exact
//   rotations: a lower bound of the difference (from the weighted mean and spread of
//   each channel) decides first.
// - Free cells are found through bitsets instead of rescanning the grid at every
//   random attempt; the placement pass compares each tile with all free cells at once.
// Per-cell filtering and placement stay sequential in cell order, since use counts,
// neighbours and the diffused colours change after every placement.

#include "engine/project_records.h"

#include <cstdint>
#include <memory>
#include <vector>

class Progress;
class TGoodTileList;
class TMosaicProject;
struct TTilelibData;

class SearchAccelerator {
public:
    // Copies the colour samples of the library's items 0..Count-1: the upright ci1 and
    // ci4 always, the twelve rotated grids when `roundTiles` (base tile shape 20).
    SearchAccelerator(const TTilelibData& lib, bool roundTiles);
    ~SearchAccelerator();
    SearchAccelerator(const SearchAccelerator&) = delete;
    SearchAccelerator& operator=(const SearchAccelerator&) = delete;

    // True when the copy still describes `lib` for a search of this tile shape (same
    // item count; the colour samples of a working library do not change during a
    // search).
    bool covers(const TTilelibData& lib, bool roundTiles) const;

    // The same list as TMosaicProject::GetGoodTileList, byte for byte.
    void GetGoodTileList(const TMosaicProject& project, const TCell& cell, TGoodTileList& gtl, bool bypassAC) const;

    // The search passes, with the effects and random draws of the plain ones. (The
    // scan-line pass needs no version of its own: it visits cells in order and only
    // its lists come from here.)
    void Search_Pos_for_tile(TMosaicProject& project, Progress* Pbar) const;
    void TSL_Search_Tile_for_pos_Random(TMosaicProject& project, int priority, Progress* Pbar) const;
    void Search_Tile_for_AddOn(TMosaicProject& project, bool randomsearch, int priority, Progress* pbar) const;

    // Counters of the last searches, for benchmarks: exact round-tile evaluations
    // (tile and twelve rotations) against tiles skipped by the lower bound.
    struct Counters {
        std::int64_t lists = 0;
        std::int64_t exactTiles = 0;
        std::int64_t boundedTiles = 0;
    };
    Counters counters() const;

    // Libraries of at least this many tiles (200 by default, never fewer than 16) first offer the tiles that
    // an estimate says will rank; smaller ones are scanned once. Either way the lists
    // are the same; tests lower it to cover both.
    void setSeedingMinTiles(int n);

private:
    struct Data;
    std::unique_ptr<Data> d;
};
