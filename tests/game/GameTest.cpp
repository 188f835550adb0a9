// Whole games and the pieces of the driver, played through the in-memory terminal.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "common/Harness.h"
#include "game/Game.h"
#include "support/DiskCache.h"

namespace {

namespace fs = std::filesystem;

const std::string header = "[-110780952][-9133037511685953882]";

// Gives each test its own HOME so no test touches a real score table.
class Game : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    char pattern[] = "/tmp/gridfall-game-XXXXXX";
    home = mkdtemp(pattern);
    const char* old = std::getenv("HOME");
    savedHome = old ? old : "";
    setenv("HOME", home.c_str(), 1);
  }
  void TearDown() override {
    setenv("HOME", savedHome.c_str(), 1);
    fs::remove_all(home);
    ScreenTest::TearDown();
  }
  std::string readTable() const {
    std::stringstream s;
    s << std::ifstream(home + "/.gridfall/highscore").rdbuf();
    return s.str();
  }
  // Which of the five table rows are drawn bold.
  std::string boldRows() const {
    std::string rows;
    for (int row = 10; row <= 14; ++row) rows += term.cell(13, row).bold ? 'B' : '-';
    return rows;
  }

  std::string home, savedHome;
};

TEST_F(Game, FirstGameWithThreeHundredFiftyIsTheNewBestScore) {
  term.pushKeys(" n");
  EXPECT_FALSE(endGame({350, 3}));
  EXPECT_EQ(term.text(11, 4, 51), "+" + std::string(49, '-') + "+");
  EXPECT_EQ(term.text(11, 17, 51), "+" + std::string(49, '-') + "+");
  EXPECT_EQ(term.text(11, 10, 51), "| 1: 350 points" + std::string(35, ' ') + "|");
  EXPECT_EQ(term.cell(11, 4), expectedCell('+', Yellow, Heavy));
  EXPECT_EQ(term.cell(11, 9), expectedCell('|', Yellow, Heavy));
  EXPECT_EQ(term.text(31, 5, 9), "Game Over");
  EXPECT_EQ(term.cell(31, 5), expectedCell('G', Cyan, Heavy));
  EXPECT_EQ(term.text(13, 7, 27), "You were killed on level 3.");
  EXPECT_EQ(term.cell(13, 7).pair, 0);
  EXPECT_EQ(term.text(13, 8, 25), "You scored 350 points.   ");
  EXPECT_EQ(term.text(13, 9, 25), "You got a new high score!");
  EXPECT_EQ(term.cell(13, 9), expectedCell('Y', White, Heavy));
  EXPECT_EQ(term.cell(13, 10), expectedCell('1', Yellow, Heavy));
  for (int row = 11; row <= 14; ++row) {
    EXPECT_EQ(term.text(16, row, 8), "0 points");
    EXPECT_EQ(term.cell(13, row), expectedCell(term.cell(13, row).ch, Yellow, Light));
  }
  EXPECT_EQ(term.text(29, 16, 17), "Play again? (Y/n)");
  EXPECT_EQ(term.cell(29, 16), expectedCell('P', Green, Heavy));
  EXPECT_EQ(readTable(), header + "A[[0][5]I[350]I[0]I[0]I[0]I[0]]");
  struct stat info {};
  ASSERT_EQ(stat((home + "/.gridfall").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0700u);
}

// A score equal to a row is highlighted there but only a better score enters and pushes the worst out.
TEST_F(Game, HighlightingOfZeroOnAnEmptyTableOfTiesAndOfBetterScores) {
  term.pushKeys("xN");
  EXPECT_FALSE(endGame({0, 1}));
  EXPECT_EQ(term.text(13, 9, 25), std::string(25, ' ')) << "zero is no new high score";
  EXPECT_EQ(boldRows(), "BBBBB");

  toCache({2400, 1200, 350, 100, 50}, userCacheDir(".gridfall"), "highscore", strHash);
  term.pushKeys(" y");
  EXPECT_TRUE(endGame({50, 2}));
  EXPECT_EQ(term.text(13, 9, 25), std::string(25, ' ')) << "a tie with the fifth entry does not enter";
  EXPECT_EQ(boldRows(), "----B");

  term.pushKeys(" \n");
  EXPECT_TRUE(endGame({1200, 11}));
  EXPECT_EQ(term.text(13, 7, 46), "You destroyed the final boss and won the game!");
  EXPECT_EQ(readTable(), header + "A[[0][5]I[2400]I[1200]I[1200]I[350]I[100]]");
  EXPECT_EQ(boldRows(), "-BB--");
}

TEST_F(Game, AnyKeyButNStartsAnotherGameAndADamagedTableIsReportedAndLeftAlone) {
  for (int key : {int{'y'}, int{'Y'}, int{'\n'}, int{' '}, int{'q'}, 27, 260}) {
    term.pushKey(' ');
    term.pushKey(key);
    EXPECT_TRUE(endGame({10, 1})) << key;
  }
  term.pushKeys(" n");
  EXPECT_FALSE(endGame({10, 1}));

  std::ofstream(home + "/.gridfall/highscore") << "[1][2]garbage";
  term.clear();
  term.pushKeys(" n");
  EXPECT_THROW(endGame({10, 1}), Invalid_Marshalling_ID);
  EXPECT_EQ(readTable(), "[1][2]garbage");
  EXPECT_EQ(term.text(13, 10, 2), "  ") << "the table is not drawn when it cannot be read";
}

// Worked example: 1000 points leaving level 4 with 600 for it, then 1000 more leaving level 5,
// where the bonus of 1500 comes before the doubling.
TEST_F(Game, LeavingALevelAddsItsBonusAndDoublesOnBossLevels) {
  GameState game = gameAtLevel(4, 50);
  for (auto [level, after] : {std::pair{5, 1600}, {6, 3500}}) {
    game.score = 1000;
    game.world.exitReached = true;
    leaveLevel(game);
    EXPECT_EQ(std::pair(game.score, game.level), std::pair(after, level));
    EXPECT_EQ(game.world.player.power, 50) << "power carries over";
    EXPECT_EQ(game.world.levelIndex, level - 1);
  }
  GameState last = gameAtLevel(10, 0);
  last.score = 100;
  last.world.exitReached = true;
  leaveLevel(last);
  EXPECT_EQ(last.score, (100 + 1500) * 2);
  EXPECT_EQ(last.level, 11);
  EXPECT_TRUE(last.won);
}

TEST_F(Game, NextLevelKeepsTheShipAndLandsOnAClearCellOnTheLeft) {
  for (int seed = 1; seed <= 40; ++seed) {
    lfSrand(seed);
    for (int level = 1; level < numLevels; ++level) {
      World world = newWorld(level);
      world.player.power = 33;
      const Player before = world.player;
      int next = level;
      nextLevel(world, next);
      ASSERT_EQ(next, level + 1);
      const Player& p = world.player;
      EXPECT_EQ(p.power, 33);
      EXPECT_TRUE(p.x >= 3 && p.x <= 23 && p.y >= 2 && p.y <= 19) << p.x << "," << p.y;
      EXPECT_FALSE(p.x == before.x && p.y == before.y);
      World probe = world;
      probe.player = Player{-1, -1, 0};
      EXPECT_TRUE(isClear(probe, p.x, p.y, true)) << "seed " << seed << " level " << next;
      EXPECT_EQ(term.cell(p.x, p.y), expectedCell('@', Cyan, Heavy));
    }
  }
}

// Fly left until the ship dies, then dismiss the end screen and decline another game.
TEST_F(Game, AWholeGameEndsInDeathAndTheEndScreen) {
  GameState game = newGame();
  EXPECT_EQ(game.world.player.power, 3);
  term.pushKeys("l");
  playTurn(game);
  EXPECT_EQ(term.text(0, 22, 8), "Power: 3");
  EXPECT_EQ(term.text(0, 23, 8), "Score: 0");

  term.onKeyWait([this](const MemoryTerminal& t) {
    if (t.keysLeft() == 0) term.pushKey(t.row(5).find("Game Over") != std::string::npos ? 'n' : 'h');
  });
  startScreen();
  const auto [score, level] = playGame();
  EXPECT_EQ(level, 1);
  EXPECT_GE(score, 0);
  EXPECT_FALSE(endGame({score, level}));
  EXPECT_EQ(term.text(13, 7, 27), "You were killed on level 1.");
  const std::string scored = "You scored " + std::to_string(score) + " points.";
  EXPECT_EQ(term.text(13, 8, static_cast<int>(scored.size())), scored);
  endScreen();
}

TEST_F(Game, BossExitsOpenOnAnExactSixthBrainHitAndOnTheBossCreaturesDeath) {
  // No special on a fresh level 10 can hit the brain in the first turn, so the count stays put.
  for (int hits : {7, 6}) {
    GameState game = gameAtLevel(10, 0);
    game.bossHits = hits;
    term.pushKeys("l");
    playTurn(game);
    EXPECT_EQ(game.bossHits, hits == 6 ? 10 : 7);
    for (int y = 9; y <= 11; ++y) EXPECT_EQ(game.world.map.at(72, y) == Exit(), hits == 6) << hits;
    EXPECT_EQ(!game.world.specials.empty() && game.world.specials.back().kind == Destruct, hits == 6) << hits;
  }
  GameState game = gameAtLevel(5, 0);
  ASSERT_EQ(game.world.creatures.size(), 1u);
  const Creature& boss = game.world.creatures[0];
  game.world.map.put(boss.x, boss.y, Wreckage());  // destroyed at its turn, worth 5 points
  term.pushKeys("l");
  playTurn(game);
  EXPECT_EQ(game.score, 5);
  EXPECT_EQ(game.bossHits, 2);
  for (int y = 9; y <= 11; ++y) EXPECT_EQ(game.world.map.at(72, y), Exit());
}

}  // namespace
