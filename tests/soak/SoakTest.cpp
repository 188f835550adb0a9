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

GameState gameOn(int level, World world) { return GameState{0, level, std::move(world), 0, true, false}; }

bool mentions(const std::vector<std::string>& faults, const std::string& words) {
  for (const std::string& f : faults) {
    if (f.find(words) != std::string::npos) return true;
  }
  return false;
}

const Player inside{10, 10, 0};

TEST(SoakInvariants, SoundGameHasNoFaults) {
  GameState game = gameOn(3, emptyWorld(10, 11));
  game.world.creatures.push_back(Creature{1, 1, Red, Heavy, true, FLeft});
  game.world.creatures.push_back(Creature{71, 20, White, Heavy, true, FUp});
  EXPECT_TRUE(turnFaults(game, inside, SoakOptions{}).empty());
}

TEST(SoakInvariants, ShipStaysOnTheMap) {
  const SoakOptions options;
  GameState game = gameOn(1, emptyWorld(xSize, 5));
  // In the wall alive: on an exit, or in a hole a disruptor field made; it dies there next turn.
  EXPECT_TRUE(turnFaults(game, Player{xSize - 1, 5, 0}, options).empty());
  EXPECT_TRUE(turnFaults(game, Player{xSize, 6, 0}, options).empty());
  game.world.player.x = xSize + 1;
  EXPECT_TRUE(mentions(turnFaults(game, Player{xSize, 5, 0}, options), "alive outside the map at (73, 5)"));
  game.alive = false;
  EXPECT_TRUE(mentions(turnFaults(game, inside, options), "dead outside the map at (73, 5)"));
  game.world.player = Player{4, -1, 0};
  EXPECT_TRUE(mentions(turnFaults(game, inside, options), "outside the map at (4, -1)"));
  // Only a ship that started its turn in the border (on an exit, or in a hole a disruptor field
  // made) may die one step beyond it.
  EXPECT_TRUE(turnFaults(game, Player{4, 0, 0}, options).empty());
  EXPECT_FALSE(turnFaults(game, Player{4, 1, 0}, options).empty());
  EXPECT_FALSE(turnFaults(game, Player{5, 0, 0}, options).empty());
}

TEST(SoakInvariants, LiveCreatureOutsideTheMap) {
  const SoakOptions options;
  GameState game = gameOn(2, emptyWorld());
  game.world.creatures.push_back(Creature{-1, 4, Red, Heavy, false, FLeft});  // wreck: ignored
  EXPECT_TRUE(turnFaults(game, inside, options).empty());
  game.world.creatures.push_back(Creature{5, ySize + 1, Magenta, Heavy, true, FDown});
  EXPECT_TRUE(mentions(turnFaults(game, inside, options),
                       "creature 1 (colour 5) is alive outside the map at (5, 22)"));
}

TEST(SoakInvariants, ListsMustStayBounded) {
  SoakOptions options;
  options.maxSpecials = 3;
  options.maxCreatures = 2;
  GameState game = gameOn(4, emptyWorld());
  game.world.specials.assign(2, Special{1, 1, LaserE, 1, '-', Cyan, Heavy});
  game.world.creatures.assign(1, Creature{3, 3, Red, Heavy, true, FLeft});
  EXPECT_TRUE(turnFaults(game, inside, options).empty());
  game.world.specials.push_back(Special{1, 1, LaserE, -1, '-', Cyan, Heavy});
  game.world.creatures.push_back(Creature{3, 4, Red, Heavy, false, FLeft});
  const auto faults = turnFaults(game, inside, options);
  EXPECT_TRUE(mentions(faults, "specials list has grown to 3"));
  EXPECT_TRUE(mentions(faults, "creature array has grown to 2"));
}

TEST(SoakInvariants, TurnsArePlayedOnRealLevelsOnly) {
  EXPECT_TRUE(mentions(turnFaults(gameOn(0, emptyWorld()), inside, SoakOptions{}), "played on level 0"));
  EXPECT_TRUE(
      mentions(turnFaults(gameOn(numLevels + 1, emptyWorld()), inside, SoakOptions{}), "played on level 11"));
}

SoakOptions shortRun(long long turns) {
  SoakOptions options;
  options.turns = turns;
  options.seed = 7;
  options.stallSeconds = 0;
  return options;
}

TEST(SoakRun, CountsEveryTurnAndEveryGameOnAllLevels) {
  std::ostringstream log;
  const SoakTally tally = runSoak(shortRun(3000), log);
  EXPECT_EQ(log.str(), "");
  EXPECT_EQ(tally.errors, 0);
  EXPECT_EQ(tally.turns, 3000);
  EXPECT_EQ(tally.games, tally.deaths + tally.wins + tally.budgetEnds);
  ASSERT_GE(tally.games, numLevels);
  for (int level = 1; level <= numLevels; ++level) EXPECT_GE(tally.levelsReached[level], 1) << level;
  // Every level entered after the first of a game was entered through an exit.
  long long entered = 0;
  for (long long n : tally.levelsReached) entered += n;
  EXPECT_EQ(entered, tally.games + tally.exits);
}

TEST(SoakRun, SameSeedSameRun) {
  std::ostringstream log;
  const SoakTally a = runSoak(shortRun(1500), log);
  const SoakTally b = runSoak(shortRun(1500), log);
  EXPECT_EQ(summaryLine(a), summaryLine(b));
}

TEST(SoakRun, OneLevelOnly) {
  std::ostringstream log;
  SoakOptions options = shortRun(500);
  options.level = 7;
  const SoakTally tally = runSoak(options, log);
  EXPECT_GE(tally.levelsReached[7], tally.games);
  for (int level = 1; level < 7; ++level) EXPECT_EQ(tally.levelsReached[level], 0);
}

TEST(SoakRun, KeyBudgetEndsLongGames) {
  std::ostringstream log;
  SoakOptions options = shortRun(400);
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
}

TEST(SoakRun, TurnThatNeverEndsIsAnError) {
  std::ostringstream log;
  SoakOptions options = shortRun(10);
  options.maxErrors = 3;
  // Keys the game ignores: the first turn of every game waits forever.
  const SoakTally tally = runSoak(options, log, [](const GameState&) { return std::vector<int>{'x'}; });
  EXPECT_EQ(tally.errors, 3);
  EXPECT_EQ(tally.games, 3);
  EXPECT_EQ(tally.turns, 0);
  EXPECT_NE(log.str().find("game seed 7 level 1 turn 1: the turn took more than 50 keys"), std::string::npos)
      << log.str();
  EXPECT_NE(log.str().find("game seed 9 level 3 turn 1"), std::string::npos) << log.str();
}

TEST(SoakRun, MissingKeysAndGameErrorsAreReported) {
  std::ostringstream log;
  SoakOptions options = shortRun(10);
  options.maxErrors = 1;
  const SoakTally silent = runSoak(options, log, [](const GameState&) { return std::vector<int>{}; });
  EXPECT_EQ(silent.errors, 1);
  EXPECT_NE(log.str().find("waited for a key that the soak did not supply"), std::string::npos) << log.str();

  const SoakTally failing = runSoak(options, log, [](const GameState&) -> std::vector<int> {
    throw std::runtime_error("broken key source");
  });
  EXPECT_EQ(failing.errors, 1);
  EXPECT_NE(log.str().find("the game raised an error: broken key source"), std::string::npos) << log.str();
}

TEST(SoakRunDeathTest, StuckTurnStopsTheRunAndNamesTheGame) {
  SoakOptions options = shortRun(10);
  options.seed = 40;
  options.level = 6;
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
