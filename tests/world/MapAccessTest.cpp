// Map writers, queries, the out-of-map accessor and drawing cells, ships and creatures.
#include <gtest/gtest.h>

#include "common/Harness.h"

namespace {

class MapAccess : public ScreenTest {};

TEST_F(MapAccess, WritersRespectPermanentCellsAndRecolourOnlyTheColour) {
  World w = emptyWorld();
  for (const Terrain& p : {InnerWallX(), OuterWallV(), SuperWallH(), Exit(), Disrupted(), BossBrain()}) {
    w.map.put(5, 5, p);
    setTerrain(w, 5, 5, Floor());
    setTColour(w, 5, 5, Blue);
    EXPECT_EQ(w.map.at(5, 5), p);
    forceTerrain(w, 5, 5, Floor());
    EXPECT_EQ(w.map.at(5, 5), Floor());
  }
  for (const Terrain& o :
       {Floor(), SmokingFloor(), PowerUp(), PlayerTrail(), EnemyTrail(), LaserBoltV(), Wreckage()}) {
    w.map.put(6, 6, o);
    setTerrain(w, 6, 6, LaserBoltH());
    EXPECT_EQ(w.map.at(6, 6), LaserBoltH());
  }
  w.map.put(4, 4, PowerUp());
  setTColour(w, 4, 4, Red);
  Terrain red = PowerUp();
  red.colour = Red;
  EXPECT_EQ(w.map.at(4, 4), red);
  EXPECT_NE(w.map.at(4, 4), PowerUp()) << "equality is over the whole record";
  EXPECT_EQ(w.map.at(4, 5), Floor()) << "a neighbour changed with it";
}

TEST_F(MapAccess, CellsOutsideTheMapAreWallAndIgnoreWrites) {
  World w = emptyWorld();
  for (auto [x, y] : {std::pair{-1, 5}, {73, 5}, {5, -1}, {5, 22}, {-100, 1000}, {1 << 30, -(1 << 30)}}) {
    forceTerrain(w, x, y, Floor());
    w.map.put(x, y, PowerUp());
    EXPECT_FALSE(w.map.at(x, y).passable) << x << "," << y;
    EXPECT_TRUE(w.map.at(x, y).permanent) << x << "," << y;
    EXPECT_FALSE(isClear(w, x, y, false));
  }
  EXPECT_EQ(w.map.at(72, 21), OuterWallX()) << "column 72 and row 21 are inside the map";
  EXPECT_TRUE(Map::contains(72, 21));
  EXPECT_FALSE(Map::contains(73, 21) || Map::contains(72, 22));
  EXPECT_EQ(adjacentBlock(w, 0, 0), 0) << "reads beyond the corner safely";
}

TEST_F(MapAccess, IsClearConsidersTerrainLiveCreaturesThePlayerAndTheExit) {
  World w = emptyWorld(10, 10);
  w.map.put(12, 10, Exit());
  w.map.put(14, 10, Wreckage());
  w.creatures = {{13, 10, Red, Heavy, false, FLeft}};
  EXPECT_TRUE(isClear(w, 11, 10, true));
  EXPECT_FALSE(isClear(w, 10, 10, true));
  EXPECT_TRUE(isClear(w, 10, 10, false));
  EXPECT_FALSE(isClear(w, 12, 10, true));
  EXPECT_TRUE(isClear(w, 12, 10, false));
  EXPECT_TRUE(isClear(w, 13, 10, true)) << "a dead creature never blocks";
  EXPECT_FALSE(isClear(w, 14, 10, false));
  w.creatures.push_back({13, 10, Red, Heavy, true, FLeft});
  EXPECT_FALSE(isClear(w, 13, 10, false)) << "a dead entry must not hide a live one";
}

TEST_F(MapAccess, AdjacentBlockAndNumEnemy) {
  World w = emptyWorld();
  EXPECT_EQ(adjacentBlock(w, 10, 10), 28);
  w.map.put(10, 10, PowerUp());
  EXPECT_EQ(adjacentBlock(w, 10, 10), 49);
  for (auto [x, y] : {std::pair{11, 10}, {9, 10}, {10, 11}, {10, 9}}) w.map.put(x, y, InnerWallX());
  EXPECT_EQ(adjacentBlock(w, 10, 10), 21);
  w.map.put(10, 10, Floor());
  EXPECT_EQ(adjacentBlock(w, 10, 10), 0);
  w.creatures = {{11, 11, Red, Heavy, true, FUp},
                 {6, 5, Red, Heavy, false, FUp},
                 {7, 5, White, Heavy, true, FUp},
                 {8, 5, Magenta, Heavy, true, FUp},
                 {9, 5, Red, Light, true, FDown}};
  EXPECT_EQ(adjacentBlock(w, 11, 12), 28) << "creatures are not obstacles here, only terrain";
  EXPECT_EQ(numEnemy(w), 2) << "only live red creatures count";
}

using Rendering = ScreenTest;

TEST_F(Rendering, CellsShowGlyphColourAndWeightAndCreaturesAreDrawnOverTheShip) {
  World w = emptyWorld(10, 10);
  w.map.put(3, 4, SmokingFloor());
  for (int x : {2, 3}) refreshCell(x, 4, w.map);
  refreshCell(72, 21, w.map);
  EXPECT_EQ(term.cell(2, 4), expectedCell('.', Black, Heavy));
  EXPECT_EQ(term.cell(2, 4).pair, 8) << "black is drawn in pair 8";
  EXPECT_EQ(term.cell(3, 4), expectedCell('.', White, Light));
  EXPECT_EQ(term.cell(72, 21), expectedCell('+', Yellow, Light));

  Creature c{5, 6, Red, Heavy, true, FDown};
  for (auto [facing, glyph] : {std::pair{FLeft, '<'}, {FRight, '>'}, {FUp, '^'}, {FDown, 'v'}}) {
    c.facing = facing;
    drawCreature(c);
    EXPECT_EQ(term.cell(5, 6), expectedCell(glyph, Red, Heavy));
  }
  c.alive = false;
  drawCreature(c);
  EXPECT_EQ(term.cell(5, 6), expectedCell('#', Red, Heavy));

  w.creatures = {{20, 5, White, Light, false, FUp}, {10, 10, Magenta, Heavy, true, FLeft}};
  refreshPaC(w);
  EXPECT_EQ(term.cell(20, 5), ScreenCell{}) << "a dead creature is not drawn";
  EXPECT_EQ(term.cell(10, 10), expectedCell('<', Magenta, Heavy)) << "creatures are drawn after the ship";
  w.creatures[1].alive = false;
  refreshPaC(w);
  EXPECT_EQ(term.cell(10, 10), expectedCell('@', Cyan, Heavy));
}

}  // namespace
