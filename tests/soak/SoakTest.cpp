// The soak's own checks: the invariants it tests after each turn, and that a run counts every game
// and reports, rather than hides, a turn that never ends or a game that fails.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "common/Harness.h"
#include "soak/Soak.h"

namespace {

const Player inside{10, 10, 0};

// A sound turn on level 3: the ship inside, live creatures in the corners, two specials.
GameState soundGame() {
  GameState game{0, 3, emptyWorld(inside.x, inside.y), 0, true, false};
  game.world.specials.assign(2, Special{1, 1, LaserE, 1, '-', Cyan, Heavy});
  game.world.creatures = {Creature{1, 1, Red, Heavy, true, FLeft}, Creature{71, 20, White, Heavy, true, FUp}};
  return game;
}

// The turn's faults on one line, with both lists bounded at three entries; "" when it is sound.
std::string faultsOf(const GameState& game, const Player& shipBefore = inside) {
  SoakOptions options;
  options.maxSpecials = options.maxCreatures = 3;
  std::string all;
  for (const std::string& fault : turnFaults(game, shipBefore, options))
    all += (all.empty() ? "" : " | ") + fault;
  return all;
}

TEST(SoakInvariants, ShipOutsideTheMapUnlessItDiedSteppingOutOfTheBorder) {
  const struct {
    bool alive;
    Player ship, before;
    std::string fault;
  } cases[] = {
      // Alive in the border: on an exit, or in a hole a disruptor field made; it dies there next turn.
      {true, {xSize, 5, 0}, {xSize - 1, 5, 0}, ""},
      {true, {xSize + 1, 5, 0}, {xSize, 5, 0}, "the ship is alive outside the map at (73, 5)"},
      {false, {xSize + 1, 5, 0}, inside, "the ship is dead outside the map at (73, 5)"},
      // Only a ship that started its turn in the border may die one step beyond it.
      {false, {4, -1, 0}, {4, 0, 0}, ""},
      {false, {4, -1, 0}, {5, 0, 0}, "the ship is dead outside the map at (4, -1)"},
      {false, {4, -1, 0}, {4, 1, 0}, "the ship is dead outside the map at (4, -1)"},
  };
  for (const auto& c : cases) {
    GameState game = soundGame();
    game.alive = c.alive;
    game.world.player = c.ship;
    EXPECT_EQ(faultsOf(game, c.before), c.fault);
  }
}

TEST(SoakInvariants, LiveCreaturesOutsideFullListsAndUnknownLevels) {
  GameState game = soundGame();
  EXPECT_EQ(faultsOf(game), "");
  game.world.creatures[1] = Creature{-1, 4, Red, Heavy, false, FLeft};  // a wreck: ignored
  EXPECT_EQ(faultsOf(game), "");
  game.world.creatures[1] = Creature{5, ySize + 1, Magenta, Heavy, true, FDown};
  EXPECT_EQ(faultsOf(game), "creature 1 (colour 5) is alive outside the map at (5, 22)");

  game = soundGame();
  game.world.specials.push_back(Special{1, 1, LaserE, -1, '-', Cyan, Heavy});
  game.world.creatures.push_back(Creature{3, 4, Red, Heavy, false, FLeft});
  EXPECT_EQ(faultsOf(game),
            "the specials list has grown to 3 entries | the creature array has grown to 3 entries");
  for (int level : {0, numLevels + 1}) {
    game = soundGame();
    game.level = level;
    EXPECT_EQ(faultsOf(game), "a turn was played on level " + std::to_string(level));
  }
}

SoakOptions shortRun(long long turns, int level = 0, int seed = 7) {
  SoakOptions options;
  options.turns = turns;
  options.level = level;
  options.seed = seed;
  options.stallSeconds = 0;
  return options;
}

TEST(SoakRun, CountsEveryTurnAndEveryGameOnAllLevelsAndRepeatsForTheSameSeed) {
  std::ostringstream log;
  const SoakTally tally = runSoak(shortRun(3000), log);
  EXPECT_EQ(tally.errors, 0) << log.str();
  EXPECT_EQ(tally.turns, 3000);
  EXPECT_EQ(tally.games, tally.deaths + tally.wins + tally.budgetEnds);
  for (int level = 1; level <= numLevels; ++level) EXPECT_GE(tally.levelsReached[level], 1) << level;
  // Every level entered after the first of a game was entered through an exit.
  long long entered = 0;
  for (long long n : tally.levelsReached) entered += n;
  EXPECT_EQ(entered, tally.games + tally.exits);
  EXPECT_EQ(summaryLine(runSoak(shortRun(3000), log)), summaryLine(tally));
}

TEST(SoakRun, OneLevelOnlyAndTheKeyBudgetEndsLongGames) {
  std::ostringstream log;
  SoakOptions options = shortRun(400, 7);
  options.keysPerGame = 3;
  // Plain moves onto clear cells only: every turn takes one key and the ship rarely dies.
  const SoakTally tally = runSoak(options, log, [](const GameState& game) {
    const Player& p = game.world.player;
    if (isClear(game.world, p.x + 1, p.y, false)) return std::vector<int>{'l'};
    if (isClear(game.world, p.x - 1, p.y, false)) return std::vector<int>{'h'};
    if (isClear(game.world, p.x, p.y + 1, false)) return std::vector<int>{'j'};
    return std::vector<int>{'k'};
  });
  EXPECT_EQ(tally.errors, 0) << log.str();
  EXPECT_GT(tally.budgetEnds, tally.games / 2);
  EXPECT_LE(tally.turns, 3 * tally.games);
  EXPECT_GE(tally.levelsReached[7], tally.games);
  for (int level = 1; level < 7; ++level) EXPECT_EQ(tally.levelsReached[level], 0);
}

TEST(SoakRun, TurnsThatNeverEndAndGameErrorsAreCountedAndLogged) {
  const std::pair<KeyChooser, std::string> cases[] = {
      // Keys the game ignores: the first turn of every game waits forever.
      {[](const GameState&) { return std::vector<int>{'x'}; },
       "game seed 7 level 1 turn 1: the turn took more than 50 keys"},
      {[](const GameState&) { return std::vector<int>{}; }, "waited for a key that the soak did not supply"},
      {[](const GameState&) -> std::vector<int> { throw std::runtime_error("broken key source"); },
       "the game raised an error: broken key source"},
  };
  for (const auto& [chooser, logged] : cases) {
    std::ostringstream log;
    SoakOptions options = shortRun(10);
    options.maxErrors = 3;
    const SoakTally tally = runSoak(options, log, chooser);
    EXPECT_EQ(tally.errors, 3);
    EXPECT_EQ(std::pair(tally.games, tally.turns), std::pair(3LL, 0LL));
    EXPECT_NE(log.str().find(logged), std::string::npos) << log.str();
    EXPECT_NE(log.str().find("game seed 9 level 3 turn 1"), std::string::npos) << log.str();
  }
}

TEST(SoakRunDeathTest, StuckTurnStopsTheRunAndNamesTheGame) {
  SoakOptions options = shortRun(10, 6, 40);
  options.stallSeconds = 1;
  // A turn that never comes back, as a loop inside the game that reads no key would be.
  const KeyChooser stuck = [](const GameState&) -> std::vector<int> {
    std::this_thread::sleep_for(std::chrono::seconds(30));
    return {'l'};
  };
  std::ostringstream log;
  EXPECT_EXIT(runSoak(options, log, stuck), ::testing::ExitedWithCode(3),
              "turn never ended: no progress for 1 s in game seed 40 level 6 turn 0");
}

}  // namespace
