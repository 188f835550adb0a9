// The ten level layouts as built and drawn, the initial population, the dice order of the random
// starts, and reinforcements.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "common/Harness.h"

namespace {

using Cell = std::pair<int, int>;

// A straight wall from (x1, y1) to (x2, y2): '+' at both ends, '|' or '-' between; one cell is a pillar.
void wall(Map& m, int x1, int y1, int x2, int y2) {
  for (int x = x1; x <= x2; ++x)
    for (int y = y1; y <= y2; ++y) m.put(x, y, x1 == x2 ? InnerWallV() : InnerWallH());
  m.put(x1, y1, InnerWallX());
  m.put(x2, y2, InnerWallX());
}

// A turret gun's box: walls all round, floor in the middle where the gun stands.
void box(Map& m, int x, int y) {
  wall(m, x - 1, y - 1, x + 1, y - 1);
  wall(m, x - 1, y + 1, x + 1, y + 1);
  m.put(x - 1, y, InnerWallV());
  m.put(x + 1, y, InnerWallV());
  m.put(x, y, Floor());
}

std::vector<Cell> turretGuns(int level) {
  switch (level) {
    case 7:
    case 9: return {{36, 10}};
    case 8: return {{18, 5}, {18, 15}, {54, 5}, {54, 15}};
    case 10: return {{36, 5}, {36, 15}};
    default: return {};
  }
}

// How each level should look, written out independently of the level builder.
Map expectedMap(int level) {
  Map m;
  const bool boss = level % 5 == 0;
  const Terrain corner = boss ? SuperWallX() : OuterWallX(), side = boss ? SuperWallV() : OuterWallV(),
                edge = boss ? SuperWallH() : OuterWallH();
  for (int x = 0; x <= 72; ++x) m.put(x, 0, edge), m.put(x, 21, edge);
  for (int y = 0; y <= 21; ++y) m.put(0, y, side), m.put(72, y, side);
  for (int x : {0, 72})
    for (int y : {0, 21}) m.put(x, y, corner);
  if (level == 2) wall(m, 18, 10, 54, 10);
  if (level == 3) wall(m, 18, 5, 18, 15), wall(m, 54, 5, 54, 15);
  if (level == 4)
    for (int x = 3; x <= 69; x += 3)
      for (int y = 3; y <= 18; y += 3) wall(m, x, y, x, y);
  if (level == 6)
    for (int y : {4, 6, 9, 11, 14, 16}) wall(m, 18, y, 54, y);
  if (level == 7)
    for (int y = 2; y <= 19; ++y)
      for (int x : {36 - std::abs(y - 10), 36 + std::abs(y - 10)}) wall(m, x, y, x, y);
  if (level == 9)  // crosses "+-+-+" both ways
    for (int x : {14, 28, 43, 57})
      for (int y : {7, 14}) {
        wall(m, x - 2, y, x, y), wall(m, x, y, x + 2, y);
        wall(m, x, y - 2, x, y), wall(m, x, y, x, y + 2);
      }
  if (level == 10) {
    wall(m, 24, 1, 24, 20), wall(m, 48, 1, 48, 20), wall(m, 69, 8, 69, 12);
    for (int x : {70, 71}) {
      m.put(x, 8, InnerWallH()), m.put(x, 12, InnerWallH());
      for (int y = 9; y <= 11; ++y) m.put(x, y, BossBrain());
    }
  }
  for (auto [x, y] : turretGuns(level)) box(m, x, y);
  return m;
}

char glyphFacing(Facing f) { return "<>^v"[f]; }

ScreenCell creatureCell(const Creature& c) { return expectedCell(glyphFacing(c.facing), c.colour, Heavy); }

class LevelLayout : public ScreenTest, public ::testing::WithParamInterface<int> {};

TEST_P(LevelLayout, MapScreenCreaturesGunsRepairersAndIndex) {
  const int level = GetParam();
  const World w = newWorld(level);
  const Map expected = expectedMap(level);
  for (int x = 0; x <= 72; ++x) {
    for (int y = 0; y <= 21; ++y) {
      const Terrain& t = expected.at(x, y);
      ASSERT_EQ(w.map.at(x, y), t) << "cell " << x << "," << y;
      ScreenCell want = expectedCell(t.symbol, t.colour, t.weight);
      if (level == 1 && w.player.x == x && w.player.y == y) want = expectedCell('@', Cyan, Heavy);
      for (const Creature& c : w.creatures)
        if (c.x == x && c.y == y) want = creatureCell(c);
      ASSERT_EQ(term.cell(x, y), want) << "screen " << x << "," << y;
    }
  }
  EXPECT_EQ(w.levelIndex, level - 1);
  EXPECT_FALSE(w.exitReached);
  EXPECT_EQ(w.player.power, 0);

  const std::vector<Cell> guns = turretGuns(level);
  const std::size_t reds = level == 5 ? 0 : level + 1, roamers = level == 5 ? 1 : reds;
  ASSERT_EQ(w.creatures.size(), roamers + guns.size());
  EXPECT_EQ(numEnemy(w), static_cast<int>(reds));
  std::set<Cell> taken{{w.player.x, w.player.y}};
  for (std::size_t i = 0; i < w.creatures.size(); ++i) {
    const Creature& c = w.creatures[i];
    const int colour = level == 5 ? Magenta : i < reds ? Red : White;
    EXPECT_EQ(c, (Creature{c.x, c.y, colour, Heavy, true, c.facing})) << i;
    EXPECT_TRUE(w.map.at(c.x, c.y).passable) << i;
    const bool placedFree =
        i < roamers ? taken.insert({c.x, c.y}).second : Cell(c.x, c.y) == guns[i - roamers];
    EXPECT_TRUE(placedFree) << i << ": on the ship or another creature, or a gun out of order or place";
  }
  EXPECT_TRUE(level != 5 || w.creatures[0].x >= 36) << "the boss starts in the right half";

  std::vector<Special> repairers;
  if (level % 5 != 0)
    for (int count : {std::min(level, 5), 1})
      repairers.push_back({0, 0, Repairer, count, '+', Yellow, Heavy});
  EXPECT_EQ(std::vector<Special>(w.specials.begin(), w.specials.end()), repairers);
}

INSTANTIATE_TEST_SUITE_P(AllLevels, LevelLayout, ::testing::Range(1, 11));

class LevelDice : public ScreenTest {};

// A creature's dice: column, row, facing.
Creature rollCreature() {
  const int x = lfDice({1, 68, 1}), y = lfDice({1, 17, 1});
  return Creature{x, y, Red, Heavy, true, static_cast<Facing>(lfDice({1, 4, -1}))};
}

// The first level's dice replayed by hand: the ship's row then column, then each enemy's column, row
// and facing, rerolled while it would land on the ship or an earlier enemy; nothing more.
TEST_F(LevelDice, FirstLevelConsumesExactlyTheDocumentedRolls) {
  for (int seed : {1, 2, 3, 7, 99, 2024}) {
    lfSrand(seed);
    const World w = newWorld(1);
    const int nextAfterWorld = lfGetRand();
    lfSrand(seed);
    const int py = lfDice({1, 17, 1});
    EXPECT_EQ(w.player, (Player{lfDice({1, 18, 1}), py, 0})) << seed;
    std::vector<Cell> taken{{w.player.x, w.player.y}};
    ASSERT_EQ(w.creatures.size(), 2u);
    for (const Creature& placed : w.creatures) {
      Creature c;
      do c = rollCreature();
      while (std::find(taken.begin(), taken.end(), Cell(c.x, c.y)) != taken.end());
      taken.push_back({c.x, c.y});
      EXPECT_EQ(placed, c) << "seed " << seed;
    }
    EXPECT_EQ(nextAfterWorld, lfGetRand()) << "seed " << seed << ": extra or missing rolls";
  }
}

// Some of these seeds roll the boss into the left half first; it is rerolled until x > 35.
TEST_F(LevelDice, BossCreatureIsRerolledIntoTheRightHalf) {
  int leftHalfRolls = 0;
  for (int seed = 1; seed <= 30; ++seed) {
    lfSrand(seed);
    const World w = newWorld(5);
    lfSrand(seed);
    const int py = lfDice({1, 17, 1}), px = lfDice({1, 18, 1});
    Creature c = rollCreature();
    for (; c.x <= 35 || (c.x == px && c.y == py); c = rollCreature()) leftHalfRolls += c.x > 30;
    c.colour = Magenta;
    EXPECT_EQ(w.creatures, std::vector<Creature>{c}) << "seed " << seed;
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
  const Creature gun{30, 12, White, Heavy, true, rolled.facing};
  EXPECT_EQ(w.creatures, std::vector<Creature>{gun});
  EXPECT_EQ(w.map.at(30, 12), Floor());
  EXPECT_EQ(term.cell(30, 12), creatureCell(gun));
}

// The ship placed far from (x, y) in both directions.
Player farFrom(const Creature& c) { return Player{c.x < 36 ? 71 : 1, c.y < 10 ? 20 : 1, 0}; }

// The first seed whose boss die (1 in 15) shows 1 right after `creatures` creature rolls.
int seedWithBossDieAfter(int creatures) {
  for (int seed = 1;; ++seed) {
    lfSrand(seed);
    for (int i = 0; i < creatures; ++i) newCreature();
    if (lfDice({1, 15, 0}) == 1) return seed;
  }
}

class Reinforcement : public ScreenTest {};

TEST_F(Reinforcement, TakesTheFirstDeadEntryOrAppends) {
  lfSrand(4);
  const Creature rolled = newCreature();
  const Creature dead{3, 3, Red, Heavy, false, FLeft}, live{60, 3, Red, Heavy, true, FLeft};
  World w = emptyWorld();
  w.player = farFrom(rolled);
  for (auto [before, after] :
       {std::pair{std::vector{live, live, dead, dead}, std::vector{live, live, rolled, dead}},
        std::pair{std::vector{live}, std::vector{live, rolled}}}) {
    w.creatures = before;
    lfSrand(4);
    addCreature(w, 1);
    EXPECT_EQ(w.creatures, after);
  }
  EXPECT_EQ(term.cell(rolled.x, rolled.y), creatureCell(rolled));
}

TEST_F(Reinforcement, MustLandOnAClearCellFourColumnsAndFourRowsFromTheShip) {
  lfSrand(8);
  const Creature first = newCreature();
  const int dx = first.x < 36 ? 1 : -1, dy = first.y < 10 ? 1 : -1;
  struct Case {
    const char* name;
    Player player;
    Terrain ground;
    bool creatureThere, accepted;
  };
  const Case cases[] = {
      {"exactly four away", {first.x + 4 * dx, first.y + 4 * dy, 0}, Floor(), false, true},
      {"three columns away", {first.x + 3 * dx, first.y + 9 * dy, 0}, Floor(), false, false},
      {"three rows away", {first.x + 20 * dx, first.y + 3 * dy, 0}, Floor(), false, false},
      {"wall on the cell", farFrom(first), InnerWallX(), false, false},
      {"live creature on the cell", farFrom(first), Floor(), true, false},
  };
  for (const Case& k : cases) {
    World w = emptyWorld();
    w.player = k.player;
    w.map.put(first.x, first.y, k.ground);
    if (k.creatureThere) w.creatures.push_back(Creature{first.x, first.y, White, Heavy, true, FUp});
    lfSrand(8);
    addCreature(w, 1);
    const Creature& added = w.creatures.back();
    EXPECT_EQ(Cell(added.x, added.y) == Cell(first.x, first.y), k.accepted) << k.name;
    EXPECT_TRUE(w.map.at(added.x, added.y).passable) << k.name;
    EXPECT_GE(std::abs(added.x - w.player.x), 4) << k.name;
    EXPECT_GE(std::abs(added.y - w.player.y), 4) << k.name;
  }
}

// From level nine a placed creature may turn boss (one in fifteen), but only on the first roll.
TEST_F(Reinforcement, BossChanceFromLevelNineOnlyOnAnAcceptedFirstRoll) {
  const int seed = seedWithBossDieAfter(1);
  lfSrand(seed);
  const Creature first = newCreature();
  lfDice({1, 15, 0});
  const int afterBossDie = lfGetRand();
  lfSrand(seed);
  newCreature();
  const int afterCreature = lfGetRand();
  for (int level : {8, 9, 10}) {
    World w = emptyWorld();
    w.player = farFrom(first);
    lfSrand(seed);
    addCreature(w, level);
    ASSERT_EQ(w.creatures.size(), 1u);
    EXPECT_EQ(w.creatures[0].colour, level >= 9 ? Magenta : Red) << "level " << level;
    EXPECT_EQ(lfGetRand(), level >= 9 ? afterBossDie : afterCreature) << "level " << level;
  }

  const int retrySeed = seedWithBossDieAfter(2);
  lfSrand(retrySeed);
  const Creature rejected = newCreature(), second = newCreature();
  const int afterTwo = lfGetRand();
  ASSERT_NE(Cell(rejected.x, rejected.y), Cell(second.x, second.y));
  World w = emptyWorld();
  w.player = farFrom(second);
  w.map.put(rejected.x, rejected.y, InnerWallX());
  lfSrand(retrySeed);
  addCreature(w, 10);
  EXPECT_EQ(w.creatures, std::vector<Creature>{second});
  EXPECT_EQ(lfGetRand(), afterTwo) << "the boss die was rolled on a retry";
}

// With no acceptable cell anywhere the searches stop after maxPlacementAttempts creature rolls.
TEST_F(Reinforcement, ImpossiblePlacementsGiveUpAfterTheAttemptLimit) {
  World w = emptyWorld();
  fill(w, 1, 1, 71, 20, InnerWallX());
  lfSrand(3);
  addCreature(w, 10);
  addInitCreatures(w, 5);
  addInitCreatures(w, 1);
  EXPECT_TRUE(w.creatures.empty());
  const int next = lfGetRand();
  lfSrand(3);
  for (int i = 0; i < 3 * 4 * maxPlacementAttempts; ++i) lfGetRand();
  EXPECT_EQ(next, lfGetRand());
}

}  // namespace
