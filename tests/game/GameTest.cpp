// Whole games and the pieces of the driver, played through the in-memory terminal.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/Harness.h"
#include "game/Game.h"
#include "support/DiskCache.h"

namespace {

namespace fs = std::filesystem;

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
  std::string tableFile() const { return home + "/.gridfall/highscore"; }
  std::string readTable() const {
    std::ifstream in(tableFile());
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void storeTable(const std::vector<int>& table) {
    toCache(table, userCacheDir(".gridfall"), "highscore", strHash);
  }

  std::string home;
  std::string savedHome;
};

bool showsGameOver(const MemoryTerminal& t) { return t.row(5).find("Game Over") != std::string::npos; }

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
  EXPECT_EQ(readTable(), "[-110780952][-9133037511685953882]A[[0][5]I[350]I[0]I[0]I[0]I[0]]");
  struct stat info {};
  ASSERT_EQ(stat((home + "/.gridfall").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0700u);
}

TEST_F(Game, ZeroScoreOnAnEmptyTableHighlightsEveryRowWithoutANewHighScore) {
  term.pushKeys("xN");
  EXPECT_FALSE(endGame({0, 1}));
  EXPECT_EQ(term.text(13, 9, 25), std::string(25, ' '));
  for (int row = 10; row <= 14; ++row) EXPECT_TRUE(term.cell(13, row).bold) << row;
}

TEST_F(Game, TiesAreHighlightedButDoNotEnterAndBetterScoresPushTheWorstOut) {
  storeTable({2400, 1200, 350, 100, 50});
  term.pushKeys(" y");
  EXPECT_TRUE(endGame({50, 2}));
  EXPECT_EQ(term.text(13, 9, 25), std::string(25, ' ')) << "a tie with the fifth entry does not enter";
  EXPECT_TRUE(term.cell(13, 14).bold);
  EXPECT_FALSE(term.cell(13, 13).bold);

  term.pushKeys(" \n");
  EXPECT_TRUE(endGame({1200, 11}));
  EXPECT_EQ(term.text(13, 7, 46), "You destroyed the final boss and won the game!");
  EXPECT_EQ(readTable(), "[-110780952][-9133037511685953882]A[[0][5]I[2400]I[1200]I[1200]I[350]I[100]]");
  EXPECT_TRUE(term.cell(13, 11).bold);
  EXPECT_TRUE(term.cell(13, 12).bold);
  EXPECT_FALSE(term.cell(13, 10).bold);
}

TEST_F(Game, AnyKeyButNStartsAnotherGame) {
  for (int key : {int{'y'}, int{'Y'}, int{'\n'}, int{' '}, int{'q'}, 27, 260}) {
    term.pushKey(' ');
    term.pushKey(key);
    EXPECT_TRUE(endGame({10, 1})) << key;
  }
  term.pushKeys(" n");
  EXPECT_FALSE(endGame({10, 1}));
}

TEST_F(Game, ADamagedTableIsReportedUnderItsOwnKindAndLeftAlone) {
  fs::create_directories(home + "/.gridfall");
  { std::ofstream(tableFile()) << "[1][2]garbage"; }
  term.pushKeys(" n");
  EXPECT_THROW(endGame({10, 1}), Invalid_Marshalling_ID);
  EXPECT_EQ(readTable(), "[1][2]garbage");
  EXPECT_EQ(term.text(13, 10, 2), "  ") << "the table is not drawn when it cannot be read";
}

TEST_F(Game, LeavingALevelAddsItsBonusAndDoublesOnBossLevels) {
  GameState game = gameAtLevel(4, 50);
  game.score = 1000;
  game.world.exitReached = true;
  leaveLevel(game);
  EXPECT_EQ(game.score, 1600);
  EXPECT_EQ(game.level, 5);
  EXPECT_EQ(game.world.player.power, 50) << "power carries over";
  EXPECT_EQ(game.world.levelIndex, 4);

  game.score = 1000;
  game.world.exitReached = true;
  leaveLevel(game);
  EXPECT_EQ(game.score, 3500);
  EXPECT_EQ(game.level, 6);

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
      EXPECT_GE(p.x, 3);
      EXPECT_LE(p.x, 23);
      EXPECT_GE(p.y, 2);
      EXPECT_LE(p.y, 19);
      EXPECT_FALSE(p.x == before.x && p.y == before.y);
      World probe = world;
      probe.player = Player{-1, -1, 0};
      EXPECT_TRUE(isClear(probe, p.x, p.y, true)) << "seed " << seed << " level " << next;
      EXPECT_EQ(term.cell(p.x, p.y), expectedCell('@', Cyan, Heavy));
    }
  }
}

TEST_F(Game, AWholeGameEndsInDeathAndTheEndScreen) {
  // Fly left until the ship dies, then dismiss the end screen and decline another game.
  term.onKeyWait([this](const MemoryTerminal& t) {
    if (t.keysLeft() > 0) return;
    term.pushKey(showsGameOver(t) ? 'n' : 'h');
  });
  startScreen();
  const auto [score, level] = playGame();
  EXPECT_EQ(level, 1);
  EXPECT_GE(score, 0);
  EXPECT_FALSE(endGame({score, level}));
  EXPECT_EQ(term.text(13, 7, 27), "You were killed on level 1.");
  EXPECT_EQ(term.text(13, 8, 11 + static_cast<int>(std::to_string(score).size())),
            "You scored " + std::to_string(score));
  endScreen();
}

TEST_F(Game, StatusRowsShowPowerAndScoreFromTheFirstTurn) {
  GameState game = newGame();
  EXPECT_EQ(game.world.player.power, 3);
  term.pushKeys("l");
  playTurn(game);
  EXPECT_EQ(term.text(0, 23, 8), "Score: 0");
  EXPECT_EQ(term.text(0, 22, 8), "Power: 3");
}

TEST_F(Game, OnlyAnExactSixthBrainHitOpensTheFinalExit) {
  // No special on a fresh level 10 can hit the brain in the first turn, so the count stays put.
  GameState overshot = gameAtLevel(10, 0);
  overshot.bossHits = 7;
  term.pushKeys("l");
  playTurn(overshot);
  EXPECT_EQ(overshot.bossHits, 7);
  EXPECT_NE(overshot.world.map.at(72, 10), Exit());

  GameState exact = gameAtLevel(10, 0);
  exact.bossHits = 6;
  term.pushKeys("l");
  playTurn(exact);
  EXPECT_EQ(exact.bossHits, 10);
  for (int y = 9; y <= 11; ++y) EXPECT_EQ(exact.world.map.at(72, y), Exit());
  EXPECT_EQ(exact.world.specials.back().kind, Destruct);
}

TEST_F(Game, TheBossCreaturesDeathOpensTheExitOfLevelFive) {
  GameState game = gameAtLevel(5, 0);
  ASSERT_EQ(game.world.creatures.size(), 1u);
  // Put the boss on wreckage: it is destroyed at its turn, worth 5 points.
  const Creature& boss = game.world.creatures[0];
  game.world.map.put(boss.x, boss.y, Wreckage());
  term.pushKeys("l");
  playTurn(game);
  EXPECT_EQ(game.score, 5);
  EXPECT_EQ(game.bossHits, 2);
  for (int y = 9; y <= 11; ++y) EXPECT_EQ(game.world.map.at(72, y), Exit());
}

}  // namespace
