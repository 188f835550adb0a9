// Moving to the next level: the ship keeps its power and lands on a clear cell on the left.
#include "game/Game.h"
#include "world/CellRolls.h"

namespace {

// A clear cell in columns 3..23 and rows 2..19, away from the exit and the ship's old position
// (still the ship's here). An arena with no free cell there, which no level has, leaves the ship on
// that old cell.
void placeShip(World& world) {
  const std::optional<Cell> cell = rollClearCell(world, {1, 21, 2}, {1, 18, 1});
  if (cell) {
    world.player.x = cell->x;
    world.player.y = cell->y;
  }
  drawPlayer(world.player.x, world.player.y);
}

}  // namespace

void nextLevel(World& world, int& level) {
  const Player ship = world.player;
  level = level + 1;
  world = newWorld(level);
  world.player = ship;
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
  const Player start = world.player;
  int arrival = level - 1;
  nextLevel(world, arrival);
  // A real arrival comes from an exit on the border, where no creature stands; this ship came from
  // inside the arena. Its cell there is drawn from the map again, hiding a creature the new level
  // placed on it until the first turn draws the creatures.
  refreshCell(start.x, start.y, world.map);
  return GameState{0, arrival, std::move(world), 0, true, false};
}

GameState practiceGame(const Practice& practice) {
  if (practice.level <= 1) {
    GameState game = newGame();
    game.world.player.power = practice.power;
    return game;
  }
  // The level as nextLevel makes it; the start newWorld rolled stands for the cell the ship left.
  World world = newWorld(practice.level);
  world.player.power = practice.power;
  placeShip(world);
  return GameState{0, practice.level, std::move(world), 0, true, false};
}
