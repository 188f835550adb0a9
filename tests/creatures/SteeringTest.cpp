// Creature steering: scoring near and far, tie-breaking, the reverse penalty, the four dice of every
// call and the crash into a blocked cell.
#include "common/Harness.h"
#include "creatures/Creature.h"

namespace {

Creature redAt(int x, int y, Facing facing) { return Creature{x, y, Red, Heavy, true, facing}; }

struct Expected {
  const char* what;
  int playerX, playerY;
  Facing facing;
  int toX, toY;
};

class Steering : public ScreenTest {
 protected:
  // One call of moveCreature on a lone creature. Seed 0 makes every die show 1, so only the
  // scores decide.
  Creature stepOnce(World& w, const Creature& c, int seed = 0) {
    w.creatures = {c};
    lfSrand(seed);
    result = moveCreature(w, w.creatures[0]);
    return w.creatures[0];
  }

  // A creature at (30, 10) in open floor, optionally with a special cell just above it.
  void expectMove(const Expected& e, const Terrain& above = Floor()) {
    World w = emptyWorld(e.playerX, e.playerY);
    w.map.put(30, 9, above);
    const Creature c = stepOnce(w, redAt(30, 10, e.facing));
    EXPECT_EQ(c.x, e.toX) << e.what;
    EXPECT_EQ(c.y, e.toY) << e.what;
  }

  int result = -1;
};

TEST_F(Steering, EqualBestScoresGoToTheLaterStepInOrderUpRightDownLeft) {
  // The creature sits at (30, 10). Far case: up scores dy + 28, left dx + 28 + 1 (heading), and
  // so on; the second row of each pair breaks the tie by one point to show the comparison works.
  const Expected cases[] = {
      {"up and left tied: left", 26, 5, FLeft, 29, 10},
      {"up one ahead of left: up", 27, 5, FLeft, 30, 9},
      {"right and down tied: down", 35, 14, FDown, 30, 11},
      {"right one ahead of down: right", 35, 13, FDown, 31, 10},
      {"down and left tied: left", 26, 15, FLeft, 29, 10},
      {"down one ahead of left: down", 27, 15, FLeft, 30, 11},
      {"up and right tied: right", 35, 6, FUp, 31, 10},
      {"up one ahead of right: up", 34, 6, FUp, 30, 9},
  };
  for (const Expected& e : cases) expectMove(e);
}

TEST_F(Steering, NearAndFarCasesAndTheCappedPull) {
  const Expected cases[] = {
      {"player ten columns right, heading right", 40, 10, FRight, 31, 10},
      {"player two rows above: near, steps out of the column", 30, 8, FLeft, 29, 10},
      {"player six rows above: far, closes in", 30, 4, FLeft, 30, 9},
      {"player 4 left and 1 up: far case, goes left", 26, 9, FUp, 29, 10},
      {"player 3 left and 1 up: near case, goes up", 27, 9, FUp, 30, 9},
  };
  for (const Expected& e : cases) expectMove(e);

  // A power-up above scores 49 + 1; an uncapped pull of 29 or 30 columns sideways would beat it.
  expectMove({"distant pull to the right capped at 5", 60, 10, FUp, 30, 9}, PowerUp());
  expectMove({"distant pull to the left capped at 5", 1, 10, FUp, 30, 9}, PowerUp());

  World w = emptyWorld(40, 10);
  stepOnce(w, redAt(30, 10, FRight));
  EXPECT_EQ(term.cell(31, 10), expectedCell('>', Red, Heavy)) << "drawn at its new cell";
}

TEST_F(Steering, AClearCellBehindScoresExactlyLikeAWall) {
  // The player is straight behind, so without the penalty the creature would turn round.
  for (int seed = 1; seed <= 40; ++seed) {
    World open = emptyWorld(20, 10);
    World walled = emptyWorld(20, 10);
    walled.map.put(29, 10, InnerWallV());
    const Creature inOpen = stepOnce(open, redAt(30, 10, FRight), seed);
    EXPECT_EQ(result, 0);
    const Creature besideWall = stepOnce(walled, redAt(30, 10, FRight), seed);
    EXPECT_NE(inOpen.x, 29) << "seed " << seed;
    EXPECT_EQ(inOpen, besideWall) << "seed " << seed;
  }
}

TEST_F(Steering, EveryCallRollsExactlyFourDice) {
  auto layouts = [](int which) {
    World w = emptyWorld(40, 12);
    if (which >= 1) fill(w, 29, 9, 31, 9, InnerWallH());  // dead end: only turning back is clear
    if (which >= 1) fill(w, 29, 11, 31, 11, InnerWallH());
    if (which >= 1) w.map.put(31, 10, InnerWallV());
    if (which == 2) w.map.put(29, 10, EnemyTrail());  // boxed in: always crashes
    return w;
  };
  for (int which = 0; which < 3; ++which) {
    for (int seed : {1, 7, 12345}) {
      World w = layouts(which);
      stepOnce(w, redAt(30, 10, FRight), seed);
      const int next = lfGetRand();
      lfSrand(seed);
      for (int i = 0; i < 4; ++i) lfGetRand();
      EXPECT_EQ(next, lfGetRand()) << "layout " << which << " seed " << seed;
    }
  }
}

TEST_F(Steering, DeadEndEitherCrashesIntoTheNeighbourOrTurnsBack) {
  // A dead end walled with trail, so the wreckage shows which cell the blast was centred on.
  auto deadEnd = [](int playerX) {
    World w = emptyWorld(playerX, 10);
    for (auto [x, y] : {std::pair{31, 10}, {30, 9}, {30, 11}}) w.map.put(x, y, PlayerTrail());
    return w;
  };
  for (int seed = 1; seed <= 10; ++seed) {
    World ahead = deadEnd(60);  // the pull ahead outweighs the dice: it runs into the end wall
    const Creature crashed = stepOnce(ahead, redAt(30, 10, FRight), seed);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(crashed, (Creature{30, 10, Red, Heavy, false, FRight})) << "position and facing kept";
    EXPECT_EQ(ahead.map.at(31, 10), Wreckage());
    EXPECT_EQ(ahead.map.at(33, 10).symbol, '.') << "the square reaches two beyond the neighbour";
    EXPECT_EQ(ahead.map.at(33, 10).colour, Red);
    EXPECT_EQ(ahead.map.at(28, 10), Floor()) << "not centred on the creature's own cell";

    World behind = deadEnd(10);  // the pull behind wins: it turns back out of the dead end
    const Creature turned = stepOnce(behind, redAt(30, 10, FRight), seed);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(turned, (Creature{29, 10, Red, Heavy, true, FLeft}));
  }
}

TEST_F(Steering, BoxedInCreatureAlwaysCrashes) {
  for (int seed = 1; seed <= 30; ++seed) {
    World w = emptyWorld(30, 11);  // the player is one of the four obstacles
    w.map.put(30, 9, InnerWallH());
    w.map.put(29, 10, EnemyTrail());
    w.creatures = {redAt(30, 10, FUp), redAt(31, 10, FUp)};
    lfSrand(seed);
    EXPECT_EQ(moveCreature(w, w.creatures[0]), 1) << "seed " << seed;
    EXPECT_FALSE(w.creatures[0].alive);
    EXPECT_EQ(w.creatures[0].x, 30);
    EXPECT_TRUE(w.creatures[1].alive) << "the blast never touches creatures";
  }
}

TEST_F(Steering, ExitIsNeverTakenWhileAnotherStepIsLegal) {
  for (int seed = 1; seed <= 30; ++seed) {
    World w = emptyWorld(60, 10);  // exit straight ahead, player beyond it
    w.map.put(31, 10, Exit());
    const Creature c = stepOnce(w, redAt(30, 10, FRight), seed);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(c.x, 30) << "seed " << seed;
    EXPECT_TRUE(c.y == 9 || c.y == 11);
    EXPECT_EQ(w.map.at(31, 10), Exit());
  }
}

}  // namespace
