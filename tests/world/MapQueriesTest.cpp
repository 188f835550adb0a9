// The three map queries at their own level, on the worked examples of the game's rules: games show
// them only in rare positions (a creature beside a power-up, a reinforcement roll near the count).
#include <gtest/gtest.h>

#include "world/WorldData.h"

namespace {

World openWorld() { return World{Map(), {}, Player{10, 10, 0}, {}, false, 0}; }

TEST(MapQueries, IsClearBlocksOnTerrainLiveCreaturesTheShipAndExits) {
  World w = openWorld();
  w.map.put(5, 5, PlayerTrail());
  w.map.put(6, 6, Exit());
  w.creatures = {Creature{7, 7, Red, Heavy, true, FLeft}, Creature{8, 8, Red, Heavy, false, FLeft}};
  EXPECT_FALSE(isClear(w, 5, 5, false)) << "an impassable trail";
  EXPECT_FALSE(isClear(w, 7, 7, false)) << "a live creature";
  EXPECT_TRUE(isClear(w, 8, 8, true)) << "a dead creature never blocks";
  EXPECT_FALSE(isClear(w, 6, 6, true));
  EXPECT_TRUE(isClear(w, 6, 6, false)) << "the exit blocks only when avoiding the player";
  EXPECT_FALSE(isClear(w, 10, 10, true));
  EXPECT_TRUE(isClear(w, 10, 10, false));
}

TEST(MapQueries, AdjacentBlockCountsOpenNeighboursAndFavoursPowerUps) {
  World w = openWorld();
  w.map.put(20, 10, PowerUp());
  EXPECT_EQ(adjacentBlock(w, 20, 10), 49);
  EXPECT_EQ(adjacentBlock(w, 30, 10), 28);
  for (auto [x, y] : {std::pair{21, 10}, {19, 10}, {20, 11}, {20, 9}}) w.map.put(x, y, InnerWallX());
  EXPECT_EQ(adjacentBlock(w, 20, 10), 21);
}

TEST(MapQueries, NumEnemyCountsOnlyLiveOrdinaryCreatures) {
  World w = openWorld();
  w.creatures = {Creature{1, 1, Red, Heavy, true, FLeft}, Creature{2, 2, White, Heavy, true, FLeft},
                 Creature{3, 3, Magenta, Heavy, true, FLeft}, Creature{4, 4, Red, Heavy, false, FLeft}};
  EXPECT_EQ(numEnemy(w), 1);
}

}  // namespace
