// What the guide names as the ship's end: each thing a ship can be destroyed by, on its cell.
#include <gtest/gtest.h>

#include "game/Guide.h"
#include "screen/MemoryTerminal.h"
#include "screen/TerminalInUse.h"

namespace {

TEST(ShipLost, NamesWhatLiesOnTheShipsCell) {
  MemoryTerminal term;
  const TerminalInUse inUse(term);
  Terrain recolouredTrail = EnemyTrail();
  recolouredTrail.colour = Magenta;
  const struct {
    Terrain terrain;
    bool moved;
    const char* named;
  } cases[] = {{PlayerTrail(), true, "your own trail"},  {recolouredTrail, true, "a creature's trail"},
               {Wreckage(), true, "wreckage"},           {Wreckage(), false, "an explosion"},
               {LaserBoltH(), false, "a laser bolt"},    {SuperWallV(), true, "a wall"},
               {OuterWallX(), true, "a wall"},           {BossBrain(), true, "the boss brain"},
               {Disrupted(), false, "a disrupted cell"}, {Floor(), false, ""}};
  World world = newWorld(1);
  world.player = Player{10, 10, 0};
  for (const auto& c : cases) {
    forceTerrain(world, 10, 10, c.terrain);
    EXPECT_EQ(whatDestroyedShip(world, c.moved), c.named) << c.named;
  }
  world.creatures.push_back(Creature{10, 10, White, Heavy, false, FUp});
  EXPECT_EQ(whatDestroyedShip(world, true), "") << "a dead turret does not count";
  world.creatures.push_back(Creature{10, 10, White, Heavy, true, FUp});
  EXPECT_EQ(whatDestroyedShip(world, true), "a turret gun");
}

}  // namespace
