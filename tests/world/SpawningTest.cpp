// Where a reinforcement lands is a range: a property over many rolls.
#include <gtest/gtest.h>

#include <cstdlib>

#include "dice/Lfrand.h"
#include "screen/MemoryTerminal.h"
#include "screen/TerminalInUse.h"
#include "world/WorldData.h"

namespace {

TEST(Reinforcements, LandFourColumnsAndFourRowsFromTheShipInTheEntryOfADeadCreature) {
  MemoryTerminal term;
  const TerminalInUse inUse(term);
  lfSrand(5);
  for (int trial = 0; trial < 3000; ++trial) {
    World w{
        Map(), {Creature{1, 1, Red, Heavy, false, FUp}}, Player{5 + trial % 60, 2 + trial % 17, 0}, {}, false,
        0};
    addCreature(w, 3);
    ASSERT_EQ(w.creatures.size(), 1u) << "the dead creature's entry is taken";
    const Creature& c = w.creatures[0];
    EXPECT_TRUE(c.alive && c.colour == Red);
    EXPECT_GE(std::abs(c.x - w.player.x), 4) << trial;
    EXPECT_GE(std::abs(c.y - w.player.y), 4) << trial;
  }
}

}  // namespace
