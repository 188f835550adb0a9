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
  bool play(World& w, const std::string& keys) {
    term.pushKeys(keys);
    return getCommand(w, 0);
  }
  bool play(World& w, const std::vector<int>& codes) {
    term.pushKeys(codes);
    return getCommand(w, 0);
  }
};

Creature liveEnemy(int x, int y) { return Creature{x, y, Red, Heavy, true, FLeft}; }

TEST_F(PlayerTurn, MovingOntoPassableGroundSurvivesAndOntoAnythingElseDies) {
  struct Case {
    const char* what;
    Terrain ground;
    bool survives;
  };
  const Case cases[] = {
      {"floor", Floor(), true},
      {"smoking floor", SmokingFloor(), true},
      {"power-up", PowerUp(), true},
      {"exit", Exit(), true},
      {"inner wall", InnerWallV(), false},
      {"own trail", PlayerTrail(), false},
      {"enemy trail", EnemyTrail(), false},
      {"wreckage", Wreckage(), false},
      {"laser streak", LaserBoltH(), false},
  };
  for (const Case& c : cases) {
    World w = emptyWorld(10, 10, 0);
    w.map.put(11, 10, c.ground);
    EXPECT_EQ(play(w, "l"), c.survives) << c.what;
    EXPECT_EQ(w.player, (Player{11, 10, 0})) << c.what;
    EXPECT_EQ(w.exitReached, c.ground == Exit()) << c.what;
    EXPECT_EQ(w.map.at(11, 10), c.ground) << "a plain move changes nothing where it lands: " << c.what;
  }
}

TEST_F(PlayerTurn, MovingOntoALiveCreatureDiesButADeadOneDoesNotBlock) {
  World w = emptyWorld(10, 10, 0);
  w.creatures.push_back(liveEnemy(11, 10));
  EXPECT_FALSE(play(w, "l"));

  World v = emptyWorld(10, 10, 0);
  Creature dead = liveEnemy(11, 10);
  dead.alive = false;
  v.creatures.push_back(dead);
  EXPECT_TRUE(play(v, "l"));
}

TEST_F(PlayerTurn, TheVacatedCellBecomesTrailOnMapAndScreen) {
  World w = emptyWorld(10, 10, 0);
  EXPECT_TRUE(play(w, "j"));
  EXPECT_EQ(w.map.at(10, 10), PlayerTrail());
  EXPECT_EQ(term.cell(10, 10), expectedCell('*', Cyan, Light));
  EXPECT_EQ(term.cell(10, 11), expectedCell('@', Cyan, Heavy));
  EXPECT_TRUE(w.specials.empty());
}

TEST_F(PlayerTurn, AShipAlreadyDestroyedReturnsAtOnceWithoutDrawingOrReading) {
  World onWreckage = emptyWorld(10, 10, 5);
  onWreckage.map.put(10, 10, Wreckage());
  World underCreature = emptyWorld(10, 10, 5);
  underCreature.creatures.push_back(liveEnemy(10, 10));
  term.pushKeys("l");
  for (World* w : {&onWreckage, &underCreature}) {
    const Map before = w->map;
    EXPECT_FALSE(getCommand(*w, 0));
    EXPECT_EQ(w->map, before);
    EXPECT_EQ(w->player, (Player{10, 10, 5}));
    EXPECT_EQ(term.keysLeft(), 1u);
  }
  EXPECT_EQ(term.grid(), MemoryTerminal::Grid{});
  EXPECT_EQ(term.refreshes(), 0);
}

TEST_F(PlayerTurn, APowerUpUnderTheShipAddsThreeDiceAndIsConsumed) {
  for (int seed : {1, 2, 3, 99, 12345}) {
    lfSrand(seed);
    const int gain = lfDice(Dicespec{3, 6, 0});
    lfSrand(seed);
    World w = emptyWorld(10, 10, 4);
    w.map.put(10, 10, PowerUp());
    EXPECT_TRUE(play(w, "l"));
    EXPECT_EQ(w.player.power, 4 + gain) << "seed " << seed;
    EXPECT_EQ(w.map.at(10, 10), PlayerTrail());
    EXPECT_EQ(term.text(0, 22, 7 + static_cast<int>(std::to_string(4 + gain).size())),
              "Power: " + std::to_string(4 + gain));
  }
}

TEST_F(PlayerTurn, TheExitUnderTheShipIsReachedAndStaysAnExit) {
  World w = emptyWorld(10, 10, 0);
  w.map.put(10, 10, Exit());
  EXPECT_TRUE(play(w, "k"));
  EXPECT_TRUE(w.exitReached);
  EXPECT_EQ(w.map.at(10, 10), Exit());
  EXPECT_EQ(term.cell(10, 10), expectedCell('X', Cyan, Heavy));
}

TEST_F(PlayerTurn, EveryDirectionKeyMovesAndAimsTheSameWay) {
  struct Direction {
    std::vector<int> codes;
    int dx;
    int dy;
    SpecType bolt;
  };
  const Direction directions[] = {
      {{'2', 'j', 'J', keys::down}, 0, 1, LaserS},
      {{'4', 'h', 'H', keys::left}, -1, 0, LaserW},
      {{'6', 'l', 'L', keys::right}, 1, 0, LaserE},
      {{'8', 'k', 'K', keys::up}, 0, -1, LaserN},
  };
  for (const Direction& d : directions) {
    for (int code : d.codes) {
      World w = emptyWorld(10, 10, laserCost);
      EXPECT_TRUE(play(w, std::vector<int>{'f', code})) << code;
      EXPECT_EQ(w.player, (Player{10 + d.dx, 10 + d.dy, 0})) << code;
      ASSERT_EQ(w.specials.size(), 1u) << code;
      EXPECT_EQ(w.specials[0].kind, d.bolt) << code;
    }
  }
}

TEST_F(PlayerTurn, PowerLettersWorkInEitherCaseAndChargeTheirCost) {
  struct Power {
    char letter;
    std::size_t specials;
    int cost;
  };
  const Power powers[] = {{'f', 1, 10},  {'w', 3, 20}, {'q', 4, 25}, {'s', 1, 12},
                          {'d', 1, 100}, {'p', 0, 3},  {'b', 0, 1}};
  for (const Power& p : powers) {
    for (char letter : {p.letter, static_cast<char>(p.letter - 'a' + 'A')}) {
      World w = emptyWorld(10, 10, 100);
      play(w, std::string{letter, 'j'});
      EXPECT_EQ(w.specials.size(), p.specials) << letter;
      EXPECT_EQ(w.player.power, 100 - p.cost) << letter;
    }
  }
}

TEST_F(PlayerTurn, KeysOutsideTheTablesCancelTheSelectionSafely) {
  const int strangers[] = {'x', '5', '0', ' ', 27, 0, -1, 255, 265, 410, 1000, 1 << 20};
  for (int code : strangers) {
    World w = emptyWorld(10, 10, laserCost);
    EXPECT_TRUE(play(w, std::vector<int>{'f', code, 'l'})) << code;
    EXPECT_EQ(w.player, (Player{11, 10, laserCost})) << code;
    EXPECT_TRUE(w.specials.empty()) << code;
  }
}

TEST_F(PlayerTurn, WeaponsGoOffFromTheNewCell) {
  World laser = emptyWorld(10, 10, 10);
  play(laser, "fl");
  EXPECT_EQ(laser.specials.at(0), (Special{13, 10, LaserE, 0, '}', Cyan, Heavy}));

  // The wide laser's centre bolt starts three cells from where the ship stood.
  World wide = emptyWorld(10, 10, 20);
  play(wide, "wl");
  ASSERT_EQ(wide.specials.size(), 3u);
  EXPECT_EQ(wide.specials[0], (Special{12, 9, LaserE, 0, '\\', Cyan, Heavy}));
  EXPECT_EQ(wide.specials[1], (Special{13, 10, LaserE, 0, '}', Cyan, Heavy}));
  EXPECT_EQ(wide.specials[2], (Special{12, 11, LaserE, 0, '/', Cyan, Heavy}));

  World quad = emptyWorld(10, 10, 25);
  play(quad, "qj");
  ASSERT_EQ(quad.specials.size(), 4u);
  EXPECT_EQ(quad.specials[0], (Special{12, 11, LaserE, 0, '}', Cyan, Heavy}));
  EXPECT_EQ(quad.specials[3], (Special{10, 9, LaserN, 0, 'n', Cyan, Heavy}));

  World shock = emptyWorld(10, 10, 12);
  play(shock, "sk");
  EXPECT_EQ(shock.specials.at(0), (Special{10, 9, Shockwave, 1, '~', Blue, Heavy}));

  World field = emptyWorld(10, 10, 100);
  play(field, "dh");
  EXPECT_EQ(field.specials.at(0), (Special{8, 10, Disruptor, 2, '&', Red, Heavy}));
  for (const World* w : {&laser, &wide, &quad, &shock, &field}) EXPECT_EQ(w->player.power, 0);
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

TEST_F(PlayerTurn, BlinkRollsAFreshDieAtEveryStep) {
  for (int seed = 1; seed <= 30; ++seed) {
    lfSrand(seed);
    int extra = 0;
    while (extra < lfDice(Dicespec{1, 6, 0})) ++extra;
    lfSrand(seed);
    World w = emptyWorld(10, 10, 5);
    EXPECT_TRUE(play(w, "bl"));
    EXPECT_EQ(w.player, (Player{11 + extra, 10, 4})) << "seed " << seed;
  }
}

TEST_F(PlayerTurn, BlinkPastTheBorderLandsOnItAndDies) {
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

  // Upwards from row 2 even the shortest blink reaches the top border.
  World up = emptyWorld(10, 2, 1);
  EXPECT_FALSE(play(up, "bk"));
  EXPECT_EQ(up.player, (Player{10, 0, 0}));
}

// A teleport range (columns 5..67, rows 1..20) packed with exits and creatures, with three free
// cells: only those may be landed on.
World crowdedArena(const std::set<std::pair<int, int>>& free) {
  World w = emptyWorld(30, 10, teleportCost);
  for (int x = 5; x <= 67; ++x) {
    for (int y = 1; y <= 20; ++y) {
      if (free.count({x, y}) || (x == 30 && y == 10)) continue;
      if ((x + y) % 2 == 0)
        w.map.put(x, y, Exit());
      else
        w.creatures.push_back(liveEnemy(x, y));
    }
  }
  return w;
}

TEST_F(PlayerTurn, TeleportLandsOnTheFirstRolledFreeCellAndCostsSeven) {
  const std::set<std::pair<int, int>> free = {{20, 5}, {40, 15}, {60, 8}};
  for (int seed = 1; seed <= 10; ++seed) {
    lfSrand(seed);
    std::pair<int, int> expected;
    do {
      expected.first = lfDice(Dicespec{1, 63, 4});
      expected.second = lfDice(Dicespec{1, 20, 0});
    } while (!free.count(expected));
    lfSrand(seed);
    World w = crowdedArena(free);
    EXPECT_TRUE(play(w, "t")) << "seed " << seed;
    EXPECT_EQ(std::make_pair(w.player.x, w.player.y), expected) << "seed " << seed;
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
  EXPECT_NE(std::make_pair(w.player.x, w.player.y), std::make_pair(10, 10));

  World poor = emptyWorld(10, 10, teleportCost - 1);
  EXPECT_TRUE(play(poor, "tl"));
  EXPECT_EQ(poor.player, (Player{11, 10, teleportCost - 1})) << "an unaffordable teleport is ignored";
}

TEST_F(PlayerTurn, TeleportWithNowhereToGoIsRefusedFreeOfCharge) {
  // Every cell a teleport can reach is wall; the ship's way out lies outside that range.
  World w = emptyWorld(2, 10, 17);
  fill(w, 3, 1, 71, 20, InnerWallX());
  EXPECT_TRUE(play(w, "fth"));
  EXPECT_EQ(w.player, (Player{1, 10, 17}));
  EXPECT_TRUE(w.specials.empty()) << "the refused teleport drops the laser waiting for a direction";
}

}  // namespace
