// Creature steering: scoring near and far, tie-breaking, the reverse penalty, the four dice of every
// call and the crash into a blocked cell.
#include "common/Harness.h"
#include "creatures/Creature.h"

namespace {

Creature redAt(int x, int y, Facing facing) { return Creature{x, y, Red, Heavy, true, facing}; }

class Steering : public ScreenTest {
 protected:
  // One call of moveCreature on a lone creature; seed 0 makes every die show 1, so only the scores decide.
  Creature stepOnce(World& w, const Creature& c, int seed = 0) {
    w.creatures = {c};
    lfSrand(seed);
    result = moveCreature(w, w.creatures[0]);
    return w.creatures[0];
  }
  int result = -1;
};

// The creature sits at (30, 10). Far case: up scores dy + 28, left dx + 28 + 1 (heading), and so on.
// Equal best scores go to the later step in the order up, right, down, left; each tie is followed by
// a case one point apart to show the comparison itself works.
TEST_F(Steering, ScoresNearAndFarWithTiesToTheLaterStep) {
  struct Case {
    const char* what;
    int playerX, playerY;
    Facing facing;
    int toX, toY;
    Terrain above = Floor();
  };
  // clang-format off
  const Case cases[] = {
      {"up and left tied: left", 26, 5, FLeft, 29, 10},     {"up one ahead of left: up", 27, 5, FLeft, 30, 9},
      {"right and down tied: down", 35, 14, FDown, 30, 11}, {"right one ahead of down", 35, 13, FDown, 31, 10},
      {"down and left tied: left", 26, 15, FLeft, 29, 10},  {"down one ahead of left", 27, 15, FLeft, 30, 11},
      {"up and right tied: right", 35, 6, FUp, 31, 10},     {"up one ahead of right", 34, 6, FUp, 30, 9},
      {"player ten columns right, heading right", 40, 10, FRight, 31, 10},
      {"player two rows above: near, steps out of the column", 30, 8, FLeft, 29, 10},
      {"player six rows above: far, closes in", 30, 4, FLeft, 30, 9},
      {"player 4 left and 1 up: far case, goes left", 26, 9, FUp, 29, 10},
      {"player 3 left and 1 up: near case, goes up", 27, 9, FUp, 30, 9},
      // A power-up above scores 49 + 1; an uncapped pull of 29 or 30 columns sideways would beat it.
      {"distant pull to the right capped at 5", 60, 10, FUp, 30, 9, PowerUp()},
      {"distant pull to the left capped at 5", 1, 10, FUp, 30, 9, PowerUp()}};
  // clang-format on
  for (const Case& e : cases) {
    World w = emptyWorld(e.playerX, e.playerY);
    w.map.put(30, 9, e.above);
    const Creature c = stepOnce(w, redAt(30, 10, e.facing));
    EXPECT_EQ(std::pair(c.x, c.y), std::pair(e.toX, e.toY)) << e.what;
    EXPECT_EQ(term.cell(c.x, c.y), expectedCell("<>^v"[c.facing], Red, Heavy)) << "drawn at its new cell";
  }
}

TEST_F(Steering, AClearCellBehindScoresExactlyLikeAWall) {
  for (int seed = 1; seed <= 40; ++seed) {  // the player is straight behind
    World open = emptyWorld(20, 10), walled = emptyWorld(20, 10);
    walled.map.put(29, 10, InnerWallV());
    const Creature inOpen = stepOnce(open, redAt(30, 10, FRight), seed);
    EXPECT_EQ(result, 0);
    EXPECT_NE(inOpen.x, 29) << "seed " << seed;
    EXPECT_EQ(inOpen, stepOnce(walled, redAt(30, 10, FRight), seed)) << "seed " << seed;
  }
}

TEST_F(Steering, EveryCallRollsExactlyFourDice) {
  for (int layout = 0; layout < 3; ++layout) {  // open floor, a dead end, boxed in
    for (int seed : {1, 7, 12345}) {
      World w = emptyWorld(40, 12);
      if (layout >= 1) fill(w, 29, 9, 31, 9, InnerWallH()), fill(w, 29, 11, 31, 11, InnerWallH());
      if (layout >= 1) w.map.put(31, 10, InnerWallV());
      if (layout == 2) w.map.put(29, 10, EnemyTrail());
      stepOnce(w, redAt(30, 10, FRight), seed);
      const int next = lfGetRand();
      lfSrand(seed);
      for (int i = 0; i < 4; ++i) lfGetRand();
      EXPECT_EQ(next, lfGetRand()) << "layout " << layout << " seed " << seed;
    }
  }
}

TEST_F(Steering, DeadEndEitherCrashesIntoTheNeighbourOrTurnsBack) {
  for (int seed = 1; seed <= 10; ++seed) {
    for (int playerX : {60, 10}) {  // a dead end walled with trail, so the wreckage shows the blast's centre
      World w = emptyWorld(playerX, 10);
      for (auto [x, y] : {std::pair{31, 10}, {30, 9}, {30, 11}}) w.map.put(x, y, PlayerTrail());
      const Creature c = stepOnce(w, redAt(30, 10, FRight), seed);
      if (playerX == 60) {  // the pull ahead outweighs the dice: it runs into the end wall
        EXPECT_EQ(result, 1);
        EXPECT_EQ(c, (Creature{30, 10, Red, Heavy, false, FRight})) << "position and facing kept";
        EXPECT_EQ(w.map.at(31, 10), Wreckage());
        EXPECT_EQ(w.map.at(33, 10), (Terrain{true, false, '.', Red, Light}))
            << "smoke two beyond the neighbour";
        EXPECT_EQ(w.map.at(28, 10), Floor()) << "not centred on the creature's own cell";
      } else {  // the pull behind wins: it turns back out of the dead end
        EXPECT_EQ(result, 0);
        EXPECT_EQ(c, (Creature{29, 10, Red, Heavy, true, FLeft}));
      }
    }
    World boxed = emptyWorld(30, 11);  // the player is one of the four obstacles
    boxed.map.put(30, 9, InnerWallH());
    boxed.map.put(29, 10, EnemyTrail());
    boxed.creatures = {redAt(30, 10, FUp), redAt(31, 10, FUp)};
    lfSrand(seed);
    EXPECT_EQ(moveCreature(boxed, boxed.creatures[0]), 1) << "seed " << seed;
    EXPECT_FALSE(boxed.creatures[0].alive);
    EXPECT_TRUE(boxed.creatures[1].alive) << "the blast never touches creatures";
  }
}

TEST_F(Steering, ExitIsNeverTakenWhileAnotherStepIsLegal) {
  for (int seed = 1; seed <= 30; ++seed) {
    World w = emptyWorld(60, 10);  // exit straight ahead, player beyond it
    w.map.put(31, 10, Exit());
    const Creature c = stepOnce(w, redAt(30, 10, FRight), seed);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(c.x == 30 && (c.y == 9 || c.y == 11)) << "seed " << seed;
    EXPECT_EQ(w.map.at(31, 10), Exit());
  }
}

}  // namespace
