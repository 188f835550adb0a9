// The player's turn driven through scripted keys: survival, the trail, what lies under the ship,
// every key, and each power fired from the ship's new cell.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/Harness.h"
#include "player/Player.h"

namespace {

class PlayerTurn : public ScreenTest {
 protected:
  bool play(World& w, const std::vector<int>& codes) {
    term.pushKeys(codes);
    return getCommand(w, 0);
  }
  bool play(World& w, const char* keys) {
    term.pushKeys(keys);
    return getCommand(w, 0);
  }
};

Creature liveEnemy(int x, int y) { return Creature{x, y, Red, Heavy, true, FLeft}; }

TEST_F(PlayerTurn, MovingOntoPassableGroundSurvivesAndOntoAnythingElseDies) {
  struct Case {
    const char* what;
    Terrain ground;
    bool creature, creatureAlive, survives;
  };
  // clang-format off
  const Case cases[] = {
      {"floor", Floor(), false, false, true},          {"smoking floor", SmokingFloor(), false, false, true},
      {"power-up", PowerUp(), false, false, true},     {"exit", Exit(), false, false, true},
      {"dead creature", Floor(), true, false, true},   {"live creature", Floor(), true, true, false},
      {"inner wall", InnerWallV(), false, false, false}, {"own trail", PlayerTrail(), false, false, false},
      {"enemy trail", EnemyTrail(), false, false, false}, {"wreckage", Wreckage(), false, false, false},
      {"laser streak", LaserBoltH(), false, false, false}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    World w = emptyWorld(10, 10, 0);
    w.map.put(11, 10, c.ground);
    if (c.creature) w.creatures.push_back(Creature{11, 10, Red, Heavy, c.creatureAlive, FLeft});
    EXPECT_EQ(play(w, "l"), c.survives);
    EXPECT_EQ(w.player, (Player{11, 10, 0}));
    EXPECT_EQ(w.exitReached, c.ground == Exit());
    EXPECT_EQ(w.map.at(11, 10), c.ground) << "a plain move changes nothing where it lands";
    EXPECT_EQ(w.map.at(10, 10), PlayerTrail());
    EXPECT_EQ(term.cell(10, 10), expectedCell('*', Cyan, Light));
    EXPECT_TRUE(w.specials.empty());
  }
  EXPECT_EQ(term.cell(11, 10), expectedCell('@', Cyan, Heavy));
}

TEST_F(PlayerTurn, AShipAlreadyDestroyedReturnsAtOnceWithoutDrawingOrReading) {
  World onWreckage = emptyWorld(10, 10, 5), underCreature = emptyWorld(10, 10, 5);
  onWreckage.map.put(10, 10, Wreckage());
  underCreature.creatures.push_back(liveEnemy(10, 10));
  term.pushKeys("l");
  for (World* w : {&onWreckage, &underCreature}) {
    const Map before = w->map;
    EXPECT_FALSE(getCommand(*w, 0));
    EXPECT_EQ(w->map, before);
    EXPECT_EQ(w->player, (Player{10, 10, 5}));
  }
  EXPECT_EQ(term.keysLeft(), 1u);
  EXPECT_EQ(term.grid(), MemoryTerminal::Grid{});
  EXPECT_EQ(term.refreshes(), 0);
}

TEST_F(PlayerTurn, APowerUpUnderTheShipAddsThreeDiceAndAnExitIsReached) {
  for (int seed : {1, 2, 3, 99, 12345}) {
    lfSrand(seed);
    const int power = 4 + lfDice(Dicespec{3, 6, 0});
    lfSrand(seed);
    World w = emptyWorld(10, 10, 4);
    w.map.put(10, 10, PowerUp());
    EXPECT_TRUE(play(w, "l"));
    EXPECT_EQ(w.player.power, power) << "seed " << seed;
    EXPECT_EQ(w.map.at(10, 10), PlayerTrail()) << "the power-up is used up";
    const std::string shown = "Power: " + std::to_string(power) + "  ";
    EXPECT_EQ(term.text(0, 22, static_cast<int>(shown.size())), shown);
  }
  World w = emptyWorld(10, 10, 0);
  w.map.put(10, 10, Exit());
  EXPECT_TRUE(play(w, "k"));
  EXPECT_TRUE(w.exitReached);
  EXPECT_EQ(w.map.at(10, 10), Exit());
  EXPECT_EQ(term.cell(10, 10), expectedCell('X', Cyan, Heavy));
}

TEST_F(PlayerTurn, DirectionAndPowerKeysInEveryFormAndNothingElse) {
  struct Direction {
    std::vector<int> codes;
    int dx, dy;
    SpecType bolt;
  };
  const Direction directions[] = {{{'2', 'j', 'J', keys::down}, 0, 1, LaserS},
                                  {{'4', 'h', 'H', keys::left}, -1, 0, LaserW},
                                  {{'6', 'l', 'L', keys::right}, 1, 0, LaserE},
                                  {{'8', 'k', 'K', keys::up}, 0, -1, LaserN}};
  for (const Direction& d : directions) {
    for (int code : d.codes) {
      World w = emptyWorld(10, 10, laserCost);
      EXPECT_TRUE(play(w, {'f', code})) << code;
      EXPECT_EQ(w.player, (Player{10 + d.dx, 10 + d.dy, 0})) << code;
      ASSERT_EQ(w.specials.size(), 1u) << code;
      EXPECT_EQ(w.specials[0].kind, d.bolt) << code;
    }
  }
  // Each power letter works in either case and charges its cost.
  const std::pair<std::string, int> powers[] = {{"fF", 10},  {"wW", 20}, {"qQ", 25}, {"sS", 12},
                                                {"dD", 100}, {"pP", 3},  {"bB", 1}};
  for (const auto& [letters, cost] : powers) {
    for (char letter : letters) {
      World w = emptyWorld(10, 10, 100);
      play(w, {letter, 'j'});
      EXPECT_EQ(w.player.power, 100 - cost) << letter;
    }
  }
  // Keys outside the tables cancel a pending selection safely.
  for (int code : std::vector<int>{'x', '5', '0', ' ', 27, 0, -1, 255, 265, 410, 1000, 1 << 20}) {
    World w = emptyWorld(10, 10, laserCost);
    EXPECT_TRUE(play(w, {'f', code, 'l'})) << code;
    EXPECT_EQ(w.player, (Player{11, 10, laserCost})) << code;
    EXPECT_TRUE(w.specials.empty()) << code;
  }
}

TEST_F(PlayerTurn, WeaponsGoOffFromTheNewCell) {
  struct Shot {
    std::string keys;
    int power;
    std::size_t count;
    Special first, last;
  };
  // clang-format off
  const Shot shots[] = {
      {"fl", 10, 1, {13, 10, LaserE, 0, '}', Cyan, Heavy}, {13, 10, LaserE, 0, '}', Cyan, Heavy}},
      {"wl", 20, 3, {12, 9, LaserE, 0, '\\', Cyan, Heavy}, {12, 11, LaserE, 0, '/', Cyan, Heavy}},
      {"qj", 25, 4, {12, 11, LaserE, 0, '}', Cyan, Heavy}, {10, 9, LaserN, 0, 'n', Cyan, Heavy}},
      {"sk", 12, 1, {10, 9, Shockwave, 1, '~', Blue, Heavy}, {10, 9, Shockwave, 1, '~', Blue, Heavy}},
      {"dh", 100, 1, {8, 10, Disruptor, 2, '&', Red, Heavy}, {8, 10, Disruptor, 2, '&', Red, Heavy}}};
  // clang-format on
  for (const Shot& s : shots) {
    World w = emptyWorld(10, 10, s.power);
    play(w, s.keys.c_str());
    ASSERT_EQ(w.specials.size(), s.count) << s.keys;
    EXPECT_EQ(w.specials.front(), s.first) << s.keys;
    EXPECT_EQ(w.specials.back(), s.last) << s.keys;
    EXPECT_EQ(w.player.power, 0) << s.keys;
  }
}

TEST_F(PlayerTurn, PhaseOutClearsTrailsAndWreckageButNotWalls) {
  for (const Terrain& t : {PlayerTrail(), EnemyTrail(), Wreckage()}) {
    World w = emptyWorld(10, 10, phaseCost);
    w.map.put(11, 10, t);
    EXPECT_TRUE(play(w, "pl"));
    EXPECT_EQ(w.map.at(11, 10), Floor());
    EXPECT_EQ(w.player.power, 0);
  }
  World w = emptyWorld(71, 10, phaseCost);
  EXPECT_FALSE(play(w, "pl"));
  EXPECT_EQ(w.map.at(72, 10), OuterWallV());
}

TEST_F(PlayerTurn, BlinkRollsAFreshDieAtEveryStepAndStopsOnTheBorder) {
  for (int seed = 1; seed <= 30; ++seed) {
    lfSrand(seed);
    int extra = 0;
    while (extra < lfDice(Dicespec{1, 6, 0})) ++extra;
    lfSrand(seed);
    World w = emptyWorld(10, 10, 5);
    EXPECT_TRUE(play(w, "bl"));
    EXPECT_EQ(w.player, (Player{11 + extra, 10, 4})) << "seed " << seed;
  }
  std::set<int> landings;
  for (int seed = 1; seed <= 200; ++seed) {
    lfSrand(seed);
    World w = emptyWorld(69, 10, 1);
    const bool alive = play(w, "bl");
    ASSERT_LE(w.player.x, xSize) << "seed " << seed;
    EXPECT_EQ(alive, w.player.x < xSize) << "seed " << seed;
    EXPECT_EQ(w.player.y, 10);
    landings.insert(w.player.x);
  }
  EXPECT_EQ(landings, (std::set<int>{71, 72}));
  World up = emptyWorld(10, 2, 1);  // upwards from row 2 even the shortest blink reaches the border
  EXPECT_FALSE(play(up, "bk"));
  EXPECT_EQ(up.player, (Player{10, 0, 0}));
}

// A teleport range (columns 5..67, rows 1..20) packed with exits and creatures but for three free
// cells: only those may be landed on.
TEST_F(PlayerTurn, TeleportLandsOnTheFirstRolledFreeCellAndCostsSeven) {
  const std::set<std::pair<int, int>> free = {{20, 5}, {40, 15}, {60, 8}};
  World crowded = emptyWorld(30, 10, teleportCost);
  for (int x = 5; x <= 67; ++x) {
    for (int y = 1; y <= 20; ++y) {
      if (free.count({x, y}) || (x == 30 && y == 10)) continue;
      if ((x + y) % 2 == 0)
        crowded.map.put(x, y, Exit());
      else
        crowded.creatures.push_back(liveEnemy(x, y));
    }
  }
  for (int seed = 1; seed <= 10; ++seed) {
    lfSrand(seed);
    std::pair<int, int> expected;
    do expected = {lfDice(Dicespec{1, 63, 4}), lfDice(Dicespec{1, 20, 0})};  // column, then row
    while (!free.count(expected));
    lfSrand(seed);
    World w = crowded;
    EXPECT_TRUE(play(w, "t")) << "seed " << seed;
    EXPECT_EQ(std::pair(w.player.x, w.player.y), expected) << "seed " << seed;
    EXPECT_EQ(w.player.power, 0);
    EXPECT_FALSE(w.exitReached);
    EXPECT_EQ(w.map.at(30, 10), PlayerTrail());
  }
}

TEST_F(PlayerTurn, TeleportDropsAPendingSelectionAndNeedsItsCost) {
  World w = emptyWorld(10, 10, 17);
  EXPECT_TRUE(play(w, "ft"));
  EXPECT_TRUE(w.specials.empty());
  EXPECT_EQ(w.player.power, 10);
  EXPECT_NE(std::pair(w.player.x, w.player.y), std::pair(10, 10));

  World poor = emptyWorld(10, 10, teleportCost - 1);
  EXPECT_TRUE(play(poor, "tl"));
  EXPECT_EQ(poor.player, (Player{11, 10, teleportCost - 1})) << "an unaffordable teleport is ignored";

  // Every cell a teleport can reach is wall: it is refused free of charge, dropping the waiting laser.
  World trapped = emptyWorld(2, 10, 17);
  fill(trapped, 3, 1, 71, 20, InnerWallX());
  EXPECT_TRUE(play(trapped, "fth"));
  EXPECT_EQ(trapped.player, (Player{1, 10, 17}));
  EXPECT_TRUE(trapped.specials.empty());
}

}  // namespace
