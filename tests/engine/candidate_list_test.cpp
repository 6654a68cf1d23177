#include "engine/project.h"

#include <gtest/gtest.h>

TEST(TGoodTileList, RanksByDifferenceWithEqualsInArrivalOrder)
{
    TGoodTileList list;
    list.TryAddTile(0, 50);
    list.TryAddTile(1, 10);
    list.TryAddTile(2, 50); // equal to tile 0: goes after it
    list.TryAddTile_R(3, 7, 10);
    ASSERT_EQ(list.Count, 4);
    const int order[] = {1, 3, 0, 2};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(list.Tiles[i].tileid, order[i]) << i;
    EXPECT_EQ(list.Tiles[1].RotateID, 7);
    EXPECT_EQ(list.Tiles[0].RotateID, 0);
    EXPECT_EQ(list.Tiles[4].tileid, -1);
}

TEST(TGoodTileList, AFullListPushesOutItsWorstForABetterOneAndDropsAnEqualOne)
{
    TGoodTileList list;
    for (int t = 0; t < 100; ++t)
        list.TryAddTile(t, 1000 + t);
    ASSERT_EQ(list.Count, 100);
    list.TryAddTile(100, 1099); // equal to the worst: dropped
    EXPECT_EQ(list.Tiles[99].tileid, 99);
    list.TryAddTile(101, 5);    // better: first, the old worst falls off
    EXPECT_EQ(list.Count, 100);
    EXPECT_EQ(list.Tiles[0].tileid, 101);
    EXPECT_EQ(list.Tiles[99].tileid, 98);

    list.clear();
    EXPECT_EQ(list.Count, 0);
    EXPECT_EQ(list.Tiles[0].tileid, -1);
    EXPECT_EQ(list.Tiles[0].diff, 5); // clear only empties the tile ids
}
