// Reading and changing the arena: the safe accessor, the three writers and the three queries.
#include "world/WorldData.h"

Map::Map() {
  for (auto& column : cells_) column.fill(Floor());
}

const Terrain& Map::beyond() {
  static const Terrain wall = OuterWallX();
  return wall;
}

bool isClear(const World& w, int x, int y, bool avoidPlayer) {
  if (!w.map.at(x, y).passable) return false;
  for (const Creature& c : w.creatures) {
    if (c.x == x && c.y == y && c.alive) return false;
  }
  if (avoidPlayer && ((w.player.x == x && w.player.y == y) || w.map.at(x, y).symbol == 'X')) return false;
  return true;
}

int adjacentBlock(const World& w, int x, int y) {
  int open = 4;
  const int neighbours[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
  for (const auto& n : neighbours) {
    if (!w.map.at(n[0], n[1]).passable) --open;
  }
  if (w.map.at(x, y) == PowerUp()) open += 3;
  return open * wallAversion;
}

int numEnemy(const World& w) {
  int count = 0;
  for (const Creature& c : w.creatures) {
    if (c.alive && c.colour == Red) ++count;
  }
  return count;
}
