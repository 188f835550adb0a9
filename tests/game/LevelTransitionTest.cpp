// Where the ship lands on a new level is a range, not one cell: a property over many seeds.
#include <gtest/gtest.h>

#include "dice/Lfrand.h"
#include "game/Game.h"
#include "screen/MemoryTerminal.h"
#include "screen/TerminalInUse.h"

namespace {

TEST(NextLevel, KeepsThePowerAndLandsOnAFreeCellOnTheLeft) {
  MemoryTerminal term;
  const TerminalInUse inUse(term);
  for (int seed = 1; seed <= 30; ++seed) {
    lfSrand(seed);
    for (int level = 1; level < numLevels; ++level) {
      World world = newWorld(level);
      world.player.power = 33;
      const Player before = world.player;
      int next = level;
      nextLevel(world, next);
      const Player& p = world.player;
      ASSERT_EQ(next, level + 1);
      EXPECT_EQ(p.power, 33);
      EXPECT_TRUE(p.x >= 3 && p.x <= 23 && p.y >= 2 && p.y <= 19) << p.x << "," << p.y;
      EXPECT_FALSE(p.x == before.x && p.y == before.y) << "the old position is taken";
      World probe = world;
      probe.player = Player{-1, -1, 0};
      EXPECT_TRUE(isClear(probe, p.x, p.y, true)) << "seed " << seed << " level " << next;
      EXPECT_EQ(term.cell(p.x, p.y).ch, '@');
    }
  }
}

}  // namespace
