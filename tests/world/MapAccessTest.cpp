// Map writers, queries and the out-of-map accessor.
#include <gtest/gtest.h>

#include "common/Harness.h"

namespace {

class MapAccess : public ScreenTest {};

TEST_F(MapAccess, SetTerrainRespectsPermanentCellsAndForceTerrainDoesNot) {
  World w = emptyWorld();
  const Terrain permanents[] = {InnerWallX(), OuterWallV(), SuperWallH(), Exit(), Disrupted(), BossBrain()};
  for (const Terrain& p : permanents) {
    w.map.put(5, 5, p);
    setTerrain(w, 5, 5, Floor());
    EXPECT_EQ(w.map.at(5, 5), p);
    setTColour(w, 5, 5, Blue);
    EXPECT_EQ(w.map.at(5, 5), p);
    forceTerrain(w, 5, 5, Floor());
    EXPECT_EQ(w.map.at(5, 5), Floor());
  }
  const Terrain ordinary[] = {Floor(), SmokingFloor(), PowerUp(), PlayerTrail(), EnemyTrail(), LaserBoltV(), Wreckage()};
  for (const Terrain& o : ordinary) {
    w.map.put(6, 6, o);
    setTerrain(w, 6, 6, LaserBoltH());
    EXPECT_EQ(w.map.at(6, 6), LaserBoltH());
  }
}

TEST_F(MapAccess, RecolouringChangesOnlyTheColourAndBreaksWholeRecordEquality) {
  World w = emptyWorld();
  w.map.put(4, 4, PowerUp());
  setTColour(w, 4, 4, Red);
  Terrain expected = PowerUp();
  expected.colour = Red;
  EXPECT_EQ(w.map.at(4, 4), expected);
  EXPECT_NE(w.map.at(4, 4), PowerUp());
  EXPECT_EQ(w.map.at(4, 5), Floor()) << "a neighbour changed with it";
  EXPECT_NE(Floor(), SmokingFloor());
  EXPECT_NE(OuterWallX(), SuperWallX());
  EXPECT_NE(PlayerTrail(), EnemyTrail());
}

TEST_F(MapAccess, CellsOutsideTheMapAreWallAndIgnoreWrites) {
  World w = emptyWorld();
  const int outside[][2] = {{-1, 5}, {73, 5}, {5, -1}, {5, 22}, {-100, 1000}, {1 << 30, -(1 << 30)}};
  for (const auto& p : outside) {
    const Terrain& t = w.map.at(p[0], p[1]);
    EXPECT_FALSE(t.passable);
    EXPECT_TRUE(t.permanent);
    forceTerrain(w, p[0], p[1], Floor());
    w.map.put(p[0], p[1], PowerUp());
    EXPECT_FALSE(w.map.at(p[0], p[1]).passable);
    EXPECT_FALSE(isClear(w, p[0], p[1], false));
  }
  EXPECT_EQ(w.map.at(72, 21), OuterWallX()) << "column 72 and row 21 are inside the map";
  EXPECT_TRUE(Map::contains(72, 21));
  EXPECT_FALSE(Map::contains(73, 21));
  EXPECT_FALSE(Map::contains(72, 22));
  // adjacentBlock next to the border reads beyond it safely.
  EXPECT_EQ(adjacentBlock(w, 0, 0), 0);
}

TEST_F(MapAccess, IsClearConsidersTerrainLiveCreaturesThePlayerAndTheExit) {
  World w = emptyWorld(10, 10);
  EXPECT_TRUE(isClear(w, 11, 10, true));
  EXPECT_FALSE(isClear(w, 10, 10, true));
  EXPECT_TRUE(isClear(w, 10, 10, false));
  w.map.put(12, 10, Exit());
  EXPECT_FALSE(isClear(w, 12, 10, true));
  EXPECT_TRUE(isClear(w, 12, 10, false));
  w.creatures.push_back(Creature{13, 10, Red, Heavy, false, FLeft});
  EXPECT_TRUE(isClear(w, 13, 10, true)) << "a dead creature never blocks";
  w.creatures.push_back(Creature{13, 10, Red, Heavy, true, FLeft});
  EXPECT_FALSE(isClear(w, 13, 10, false)) << "a dead entry must not hide a live one";
  w.map.put(14, 10, Wreckage());
  EXPECT_FALSE(isClear(w, 14, 10, false));
}

TEST_F(MapAccess, AdjacentBlockCountsOpenNeighboursAndPowerUps) {
  World w = emptyWorld();
  EXPECT_EQ(adjacentBlock(w, 10, 10), 28);
  w.map.put(10, 10, PowerUp());
  EXPECT_EQ(adjacentBlock(w, 10, 10), 49);
  for (auto [x, y] : {std::pair{11, 10}, {9, 10}, {10, 11}, {10, 9}}) w.map.put(x, y, InnerWallX());
  EXPECT_EQ(adjacentBlock(w, 10, 10), 21);
  w.map.put(10, 10, Floor());
  EXPECT_EQ(adjacentBlock(w, 10, 10), 0);
  w.creatures.push_back(Creature{11, 11, Red, Heavy, true, FUp});
  EXPECT_EQ(adjacentBlock(w, 11, 12), 28) << "creatures are not obstacles here, only terrain";
}

TEST_F(MapAccess, NumEnemyCountsOnlyLiveRedCreatures) {
  World w = emptyWorld();
  w.creatures = {{5, 5, Red, Heavy, true, FUp},    {6, 5, Red, Heavy, false, FUp},
                 {7, 5, White, Heavy, true, FUp},  {8, 5, Magenta, Heavy, true, FUp},
                 {9, 5, Red, Light, true, FDown}};
  EXPECT_EQ(numEnemy(w), 2);
}

class Rendering : public ScreenTest {};

TEST_F(Rendering, CellsAreDrawnWithTheirGlyphColourAndWeight) {
  World w = emptyWorld();
  w.map.put(3, 4, SmokingFloor());
  refreshCell(2, 4, w.map);
  refreshCell(3, 4, w.map);
  refreshCell(72, 21, w.map);
  EXPECT_EQ(term.cell(2, 4), expectedCell('.', Black, Heavy));
  EXPECT_EQ(term.cell(2, 4).pair, 8) << "black is drawn in pair 8";
  EXPECT_EQ(term.cell(3, 4), expectedCell('.', White, Light));
  EXPECT_EQ(term.cell(72, 21), expectedCell('+', Yellow, Light));
}

TEST_F(Rendering, CreaturesShowTheirHeadingAndPlayerIsACyanAt) {
  Creature c{5, 6, Red, Heavy, true, FDown};
  const std::pair<Facing, char> glyphs[] = {{FLeft, '<'}, {FRight, '>'}, {FUp, '^'}, {FDown, 'v'}};
  for (auto [facing, glyph] : glyphs) {
    c.facing = facing;
    drawCreature(c);
    EXPECT_EQ(term.cell(5, 6), expectedCell(glyph, Red, Heavy));
  }
  c.alive = false;
  drawCreature(c);
  EXPECT_EQ(term.cell(5, 6), expectedCell('#', Red, Heavy));
  drawPlayer(7, 7);
  EXPECT_EQ(term.cell(7, 7), expectedCell('@', Cyan, Heavy));
}

TEST_F(Rendering, RefreshPlayerAndCreaturesSkipsTheDeadAndDrawsCreaturesLast) {
  World w = emptyWorld(10, 10);
  w.creatures = {{20, 5, White, Light, false, FUp}, {10, 10, Magenta, Heavy, true, FLeft}};
  refreshPaC(w);
  EXPECT_EQ(term.cell(20, 5), ScreenCell{}) << "a dead creature is not drawn";
  EXPECT_EQ(term.cell(10, 10), expectedCell('<', Magenta, Heavy));
  w.creatures[1].alive = false;
  refreshPaC(w);
  EXPECT_EQ(term.cell(10, 10), expectedCell('@', Cyan, Heavy));
}

}  // namespace
