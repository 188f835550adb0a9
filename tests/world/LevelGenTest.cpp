// The ten level layouts as built and drawn, the initial population, and the dice order of the
// random starts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/Harness.h"

namespace {

// A straight run of cells drawn as glyphs, starting at (x, y) and going right or down.
struct Run {
  int x;
  int y;
  bool down;
  std::string glyphs;
};

std::string bar(char end, char middle, int length) { return end + std::string(length - 2, middle) + end; }

void addBox(std::vector<Run>& runs, int x, int y) {
  runs.push_back({x - 1, y - 1, false, "+-+"});
  runs.push_back({x - 1, y, false, "|.|"});  // the gun's cell is floor
  runs.push_back({x - 1, y + 1, false, "+-+"});
}

void addCross(std::vector<Run>& runs, int x, int y) {
  runs.push_back({x, y - 2, true, "+|+|+"});
  runs.push_back({x - 2, y, false, "+-+-+"});
}

// How each level should look inside its border, written out as the walls a player would see.
std::vector<Run> innerWalls(int level) {
  std::vector<Run> runs;
  switch (level) {
    case 2: runs.push_back({18, 10, false, bar('+', '-', 37)}); break;
    case 3:
      runs.push_back({18, 5, true, bar('+', '|', 11)});
      runs.push_back({54, 5, true, bar('+', '|', 11)});
      break;
    case 4:
      for (int x = 3; x <= 69; x += 3)
        for (int y = 3; y <= 18; y += 3) runs.push_back({x, y, false, "+"});
      break;
    case 6:
      for (int y : {4, 6, 9, 11, 14, 16}) runs.push_back({18, y, false, bar('+', '-', 37)});
      break;
    case 7:
      for (int y = 2; y <= 19; ++y) {
        const int d = y < 10 ? 10 - y : y - 10;
        runs.push_back({36 - d, y, false, "+"});
        runs.push_back({36 + d, y, false, "+"});
      }
      addBox(runs, 36, 10);
      break;
    case 8:
      for (auto [x, y] : {std::pair{18, 5}, {18, 15}, {54, 5}, {54, 15}}) addBox(runs, x, y);
      break;
    case 9:
      for (int x : {14, 28, 43, 57})
        for (int y : {7, 14}) addCross(runs, x, y);
      addBox(runs, 36, 10);
      break;
    case 10:
      runs.push_back({24, 1, true, bar('+', '|', 20)});
      runs.push_back({48, 1, true, bar('+', '|', 20)});
      addBox(runs, 36, 5);
      addBox(runs, 36, 15);
      runs.push_back({69, 8, false, "+--"});
      for (int y = 9; y <= 11; ++y) runs.push_back({69, y, false, "|%%"});
      runs.push_back({69, 12, false, "+--"});
      break;
    default: break;
  }
  return runs;
}

std::vector<std::pair<int, int>> turretGuns(int level) {
  switch (level) {
    case 7:
    case 9: return {{36, 10}};
    case 8: return {{18, 5}, {18, 15}, {54, 5}, {54, 15}};
    case 10: return {{36, 5}, {36, 15}};
    default: return {};
  }
}

Terrain innerTerrain(char glyph) {
  switch (glyph) {
    case '+': return InnerWallX();
    case '|': return InnerWallV();
    case '-': return InnerWallH();
    case '%': return BossBrain();
    default: return Floor();
  }
}

Map expectedMap(int level) {
  const bool boss = level == 5 || level == 10;
  Map map;
  for (int x = 0; x <= 72; ++x) {
    for (int y = 0; y <= 21; ++y) {
      const bool edgeX = x == 0 || x == 72;
      const bool edgeY = y == 0 || y == 21;
      if (edgeX && edgeY) map.put(x, y, boss ? SuperWallX() : OuterWallX());
      else if (edgeX) map.put(x, y, boss ? SuperWallV() : OuterWallV());
      else if (edgeY) map.put(x, y, boss ? SuperWallH() : OuterWallH());
    }
  }
  for (const Run& r : innerWalls(level)) {
    for (int i = 0; i < static_cast<int>(r.glyphs.size()); ++i) {
      map.put(r.down ? r.x : r.x + i, r.down ? r.y + i : r.y, innerTerrain(r.glyphs[i]));
    }
  }
  return map;
}

char glyphFacing(Facing f) {
  switch (f) {
    case FLeft: return '<';
    case FRight: return '>';
    case FUp: return '^';
    case FDown: return 'v';
  }
  return '?';
}

class LevelLayout : public ScreenTest, public ::testing::WithParamInterface<int> {};

TEST_P(LevelLayout, MapMatchesTheLayoutAndEveryCellIsDrawn) {
  const int level = GetParam();
  const World w = newWorld(level);
  const Map expected = expectedMap(level);
  for (int x = 0; x <= 72; ++x) {
    for (int y = 0; y <= 21; ++y) {
      ASSERT_EQ(w.map.at(x, y), expected.at(x, y)) << "level " << level << " cell " << x << "," << y;
    }
  }
  // Screen: creatures over terrain, the ship only on the first level.
  for (int x = 0; x <= 72; ++x) {
    for (int y = 0; y <= 21; ++y) {
      const Terrain& t = expected.at(x, y);
      ScreenCell want = expectedCell(t.symbol, t.colour, t.weight);
      if (level == 1 && w.player.x == x && w.player.y == y) want = expectedCell('@', Cyan, Heavy);
      for (const Creature& c : w.creatures) {
        if (c.x == x && c.y == y) want = expectedCell(glyphFacing(c.facing), c.colour, Heavy);
      }
      ASSERT_EQ(term.cell(x, y), want) << "level " << level << " screen " << x << "," << y;
    }
  }
}

TEST_P(LevelLayout, CreaturesGunsRepairersAndIndex) {
  const int level = GetParam();
  const World w = newWorld(level);
  EXPECT_EQ(w.levelIndex, level - 1);
  EXPECT_FALSE(w.exitReached);
  EXPECT_EQ(w.player.power, 0);
  EXPECT_GE(w.player.x, 2);
  EXPECT_LE(w.player.x, 19);
  EXPECT_GE(w.player.y, 2);
  EXPECT_LE(w.player.y, 18);

  const std::vector<std::pair<int, int>> guns = turretGuns(level);
  const int enemies = level == 5 ? 0 : level + 1;
  ASSERT_EQ(w.creatures.size(), static_cast<std::size_t>(enemies + (level == 5 ? 1 : 0)) + guns.size());
  EXPECT_EQ(numEnemy(w), enemies);

  std::set<std::pair<int, int>> occupied;
  for (int i = 0; i < enemies; ++i) {
    const Creature& c = w.creatures[i];
    EXPECT_EQ(c.colour, Red);
    EXPECT_TRUE(c.alive);
    EXPECT_EQ(c.weight, Heavy);
    EXPECT_TRUE(w.map.at(c.x, c.y).passable) << "enemy " << i << " on a wall";
    EXPECT_FALSE(c.x == w.player.x && c.y == w.player.y) << "enemy " << i << " on the ship";
    EXPECT_TRUE(occupied.insert({c.x, c.y}).second) << "two enemies share " << c.x << "," << c.y;
  }
  for (std::size_t g = 0; g < guns.size(); ++g) {
    const Creature& c = w.creatures[enemies + g];
    EXPECT_EQ(c.colour, White);
    EXPECT_TRUE(c.alive);
    EXPECT_EQ(std::pair(c.x, c.y), guns[g]) << "gun " << g << " out of order or place";
    EXPECT_EQ(w.map.at(c.x, c.y), Floor());
    EXPECT_EQ(w.map.at(c.x - 1, c.y), InnerWallV()) << "gun " << g << " is not inside its box";
    EXPECT_EQ(w.map.at(c.x, c.y - 1), InnerWallH());
  }
  if (level == 5) {
    const Creature& boss = w.creatures[0];
    EXPECT_EQ(boss.colour, Magenta);
    EXPECT_GE(boss.x, 36);
    EXPECT_TRUE(w.map.at(boss.x, boss.y).passable);
    EXPECT_FALSE(boss.x == w.player.x && boss.y == w.player.y);
  }

  if (level == 5 || level == 10) {
    EXPECT_TRUE(w.specials.empty());
  } else {
    const int first = level > 5 ? 5 : level;
    ASSERT_EQ(w.specials.size(), 2u);
    EXPECT_EQ(w.specials[0], (Special{0, 0, Repairer, first, '+', Yellow, Heavy}));
    EXPECT_EQ(w.specials[1], (Special{0, 0, Repairer, 1, '+', Yellow, Heavy}));
  }
}

INSTANTIATE_TEST_SUITE_P(AllLevels, LevelLayout, ::testing::Range(1, 11));

class LevelDice : public ScreenTest {};

TEST_F(LevelDice, ShipRollsRowBeforeColumnAndCreatureRollsColumnRowFacing) {
  lfSrand(7);
  const Player p = newPlayer();
  lfSrand(7);
  const int row = lfDice({1, 17, 1});
  const int column = lfDice({1, 18, 1});
  EXPECT_EQ(p, (Player{column, row, 0}));
  lfSrand(7);
  const int swappedColumn = lfDice({1, 18, 1});
  const int swappedRow = lfDice({1, 17, 1});
  ASSERT_NE(p, (Player{swappedColumn, swappedRow, 0})) << "seed does not tell the orders apart";

  lfSrand(11);
  const Creature c = newCreature();
  lfSrand(11);
  const int cx = lfDice({1, 68, 1});
  const int cy = lfDice({1, 17, 1});
  const Facing facings[] = {FLeft, FRight, FUp, FDown};
  const Facing f = facings[lfDice({1, 4, -1})];
  EXPECT_EQ(c, (Creature{cx, cy, Red, Heavy, true, f}));
}

// The first level's dice, replayed by hand: the ship's row and column, then each enemy's column,
// row and facing, rerolled while it would land on the ship or on an earlier enemy.
TEST_F(LevelDice, FirstLevelConsumesExactlyTheDocumentedRolls) {
  for (int seed : {1, 2, 3, 99, 2024}) {
    lfSrand(seed);
    const World w = newWorld(1);
    const int nextAfterWorld = lfGetRand();

    lfSrand(seed);
    const int py = lfDice({1, 17, 1});
    const int px = lfDice({1, 18, 1});
    EXPECT_EQ(w.player, (Player{px, py, 0}));
    std::vector<std::pair<int, int>> taken{{px, py}};
    ASSERT_EQ(w.creatures.size(), 2u);
    for (int i = 0; i < 2; ++i) {
      std::pair<int, int> at;
      int facing;
      do {
        at.first = lfDice({1, 68, 1});
        at.second = lfDice({1, 17, 1});
        facing = lfDice({1, 4, -1});
      } while (std::find(taken.begin(), taken.end(), at) != taken.end());
      taken.push_back(at);
      EXPECT_EQ(std::pair(w.creatures[i].x, w.creatures[i].y), at) << "seed " << seed;
      EXPECT_EQ(static_cast<int>(w.creatures[i].facing), facing) << "seed " << seed;
    }
    EXPECT_EQ(nextAfterWorld, lfGetRand()) << "seed " << seed << ": extra or missing rolls";
  }
}

// The boss creature is rerolled until it stands right of column 35 (and off the ship); some of
// these seeds roll it into the left half first.
TEST_F(LevelDice, BossCreatureIsRerolledIntoTheRightHalf) {
  int leftHalfRolls = 0;
  for (int seed = 1; seed <= 30; ++seed) {
    lfSrand(seed);
    const World w = newWorld(5);
    lfSrand(seed);
    const int py = lfDice({1, 17, 1});
    const int px = lfDice({1, 18, 1});
    int x, y, facing;
    for (;;) {
      x = lfDice({1, 68, 1});
      y = lfDice({1, 17, 1});
      facing = lfDice({1, 4, -1});
      if (x > 35 && !(x == px && y == py)) break;
      if (x > 30) ++leftHalfRolls;
    }
    ASSERT_EQ(w.creatures.size(), 1u);
    EXPECT_EQ(w.creatures[0], (Creature{x, y, Magenta, Heavy, true, static_cast<Facing>(facing)})) << "seed " << seed;
  }
  EXPECT_GT(leftHalfRolls, 0) << "no seed rolled the boss just left of the right half";
}

TEST_F(LevelDice, TurretGunRollsACreatureButKeepsOnlyItsFacing) {
  World w = emptyWorld(5, 5);
  w.map.put(30, 12, InnerWallX());
  lfSrand(5);
  addTurretGun(w, 30, 12);
  const int next = lfGetRand();
  lfSrand(5);
  const Creature rolled = newCreature();
  EXPECT_EQ(next, lfGetRand());
  ASSERT_EQ(w.creatures.size(), 1u);
  EXPECT_EQ(w.creatures[0], (Creature{30, 12, White, Heavy, true, rolled.facing}));
  EXPECT_EQ(w.map.at(30, 12), Floor());
  EXPECT_EQ(term.cell(30, 12), expectedCell(glyphFacing(rolled.facing), White, Heavy));
}

TEST_F(LevelDice, WallWritersWithAdjacentEndsWriteOnlyTheEnds) {
  Map map;
  verticalWall(map, 3, 4, 10);
  horizontalWall(map, 20, 21, 7);
  EXPECT_EQ(map.at(10, 3), InnerWallX());
  EXPECT_EQ(map.at(10, 4), InnerWallX());
  EXPECT_EQ(map.at(10, 5), Floor());
  EXPECT_EQ(map.at(20, 7), InnerWallX());
  EXPECT_EQ(map.at(21, 7), InnerWallX());
  EXPECT_EQ(map.at(22, 7), Floor());
}

// Reinforcements.

// The ship placed far from (x, y) in both directions.
Player farFrom(int x, int y) { return Player{x < 36 ? 71 : 1, y < 10 ? 20 : 1, 0}; }

class Reinforcement : public ScreenTest {};

TEST_F(Reinforcement, TakesTheFirstDeadEntryOrAppends) {
  World w = emptyWorld();
  lfSrand(4);
  const Creature rolled = newCreature();
  w.player = farFrom(rolled.x, rolled.y);
  const Creature dead{3, 3, Red, Heavy, false, FLeft};
  const Creature live{60, 3, Red, Heavy, true, FLeft};
  w.creatures = {live, live, dead, dead};
  lfSrand(4);
  addCreature(w, 1);
  ASSERT_EQ(w.creatures.size(), 4u);
  EXPECT_EQ(w.creatures[2], rolled);
  EXPECT_EQ(w.creatures[3], dead);
  EXPECT_EQ(term.cell(rolled.x, rolled.y), expectedCell(glyphFacing(rolled.facing), Red, Heavy));

  w.creatures = {live};
  lfSrand(4);
  addCreature(w, 1);
  ASSERT_EQ(w.creatures.size(), 2u);
  EXPECT_EQ(w.creatures[1], rolled);
}

TEST_F(Reinforcement, MustLandOnAClearCellFourColumnsAndFourRowsFromTheShip) {
  lfSrand(8);
  const Creature first = newCreature();
  const int dx = first.x < 36 ? 1 : -1;
  const int dy = first.y < 10 ? 1 : -1;
  struct Case {
    const char* name;
    Player player;
    bool blockWithWall;
    bool blockWithCreature;
    bool accepted;
  };
  const Case cases[] = {
      {"exactly four away", {first.x + 4 * dx, first.y + 4 * dy, 0}, false, false, true},
      {"three columns away", {first.x + 3 * dx, first.y + 9 * dy, 0}, false, false, false},
      {"three rows away", {first.x + 20 * dx, first.y + 3 * dy, 0}, false, false, false},
      {"wall on the cell", farFrom(first.x, first.y), true, false, false},
      {"live creature on the cell", farFrom(first.x, first.y), false, true, false},
  };
  for (const Case& k : cases) {
    World w = emptyWorld();
    w.player = k.player;
    if (k.blockWithWall) w.map.put(first.x, first.y, InnerWallX());
    if (k.blockWithCreature) w.creatures.push_back(Creature{first.x, first.y, White, Heavy, true, FUp});
    lfSrand(8);
    addCreature(w, 1);
    ASSERT_FALSE(w.creatures.empty()) << k.name;
    const Creature& added = w.creatures.back();
    EXPECT_EQ(std::pair(added.x, added.y) == std::pair(first.x, first.y), k.accepted) << k.name;
    EXPECT_TRUE(w.map.at(added.x, added.y).passable) << k.name;
    EXPECT_GE(std::abs(added.x - w.player.x), 4) << k.name;
    EXPECT_GE(std::abs(added.y - w.player.y), 4) << k.name;
  }
}

// Seeds whose rolls put the boss die on 1 right after the creature it belongs to.
int seedWithBossDieAfter(int creaturesRolled) {
  for (int seed = 1; seed < 100000; ++seed) {
    lfSrand(seed);
    for (int i = 0; i < creaturesRolled; ++i) newCreature();
    if (lfDice({1, 15, 0}) == 1) return seed;
  }
  return 0;
}

TEST_F(Reinforcement, BossChanceFromLevelNineOnlyOnAnAcceptedFirstRoll) {
  const int seed = seedWithBossDieAfter(1);
  ASSERT_NE(seed, 0);
  lfSrand(seed);
  const Creature first = newCreature();
  const int afterCreature = lfGetRand();
  lfSrand(seed);
  newCreature();
  lfDice({1, 15, 0});
  const int afterBossDie = lfGetRand();

  for (int level : {8, 9, 10}) {
    World w = emptyWorld();
    w.player = farFrom(first.x, first.y);
    lfSrand(seed);
    addCreature(w, level);
    ASSERT_EQ(w.creatures.size(), 1u);
    EXPECT_EQ(w.creatures[0].colour, level >= 9 ? Magenta : Red) << "level " << level;
    EXPECT_EQ(lfGetRand(), level >= 9 ? afterBossDie : afterCreature) << "level " << level;
  }
}

TEST_F(Reinforcement, RetryAfterARejectedRollHasNoBossChance) {
  const int seed = seedWithBossDieAfter(2);
  ASSERT_NE(seed, 0);
  lfSrand(seed);
  const Creature first = newCreature();
  const Creature second = newCreature();
  const int afterTwoCreatures = lfGetRand();
  ASSERT_NE(std::pair(first.x, first.y), std::pair(second.x, second.y));

  World w = emptyWorld();
  w.player = farFrom(second.x, second.y);
  w.map.put(first.x, first.y, InnerWallX());
  lfSrand(seed);
  addCreature(w, 10);
  ASSERT_EQ(w.creatures.size(), 1u);
  EXPECT_EQ(w.creatures[0], second);
  EXPECT_EQ(lfGetRand(), afterTwoCreatures) << "the boss die was rolled on a retry";
}

// With no acceptable cell anywhere the searches stop after maxPlacementAttempts rolls and place
// nothing, consuming exactly the rolls of those attempts.
TEST_F(Reinforcement, ImpossiblePlacementsGiveUpAfterTheAttemptLimit) {
  World w = emptyWorld();
  fill(w, 1, 1, 71, 20, InnerWallX());
  lfSrand(3);
  addCreature(w, 10);
  EXPECT_TRUE(w.creatures.empty());
  const int next = lfGetRand();
  lfSrand(3);
  for (int i = 0; i < 3 * maxPlacementAttempts; ++i) lfGetRand();
  EXPECT_EQ(next, lfGetRand());

  addInitCreatures(w, 5);
  addInitCreatures(w, 1);
  EXPECT_TRUE(w.creatures.empty());
}

}  // namespace
