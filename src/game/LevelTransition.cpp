// Moving to the next level: the ship keeps its power and lands on a clear cell on the left.
#include "dice/Lfrand.h"
#include "game/Game.h"

namespace {

// Rolls x (columns 3..23) then y (rows 2..19) until the cell is clear of terrain, creatures, the
// exit and the ship's old position. The first test is at (0, 0), a border cell, so at least one
// pair is always rolled. Bounded so that an arena with no free cell there cannot hang the game:
// past the bound the ship stays where the search left it.
void placeShip(World& world) {
  int x = 0;
  int y = 0;
  for (int attempt = 0; !isClear(world, x, y, true) && attempt < maxPlacementAttempts; ++attempt) {
    if (attempt > 0 && lfStuck()) break;
    x = lfDice({1, 21, 2});
    y = lfDice({1, 18, 1});
  }
  world.player.x = x;
  world.player.y = y;
  drawPlayer(x, y);
}

}  // namespace

void nextLevel(World& world, int& level) {
  const Player ship = world.player;
  level = level + 1;
  world = newWorld(level);
  world.player = ship;
  refreshCell(ship.x, ship.y, world.map);
  placeShip(world);
}

GameState gameAtLevel(int level, int power) {
  if (level <= 1) {
    GameState game = newGame();
    game.world.player.power = power;
    return game;
  }
  // Arrive as if from the level before, so the ship starts where the game would put it.
  World world = newWorld(level - 1);
  world.player.power = power;
  int arrival = level - 1;
  nextLevel(world, arrival);
  return GameState{0, arrival, std::move(world), 0, true, false};
}
