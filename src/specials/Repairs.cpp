// Repairers, cursors that walk the border anticlockwise rebuilding the outer wall (and closing any
// exit a disruptor broke); and the final level's self-destruct, which sweeps the arena from the left.
#include <algorithm>

#include "specials/Specials.h"

namespace {

bool onLeftOrRight(int x) { return x == 0 || x == xSize; }
bool onTopOrBottom(int y) { return y == 0 || y == ySize; }
bool onBorder(int x, int y) { return Map::contains(x, y) && (onLeftOrRight(x) || onTopOrBottom(y)); }

void rebuildWall(World& world, int x, int y) {
  if (onBorder(x, y)) {
    if (onLeftOrRight(x) && onTopOrBottom(y))
      forceTerrain(world, x, y, OuterWallX());
    else if (onLeftOrRight(x))
      forceTerrain(world, x, y, OuterWallV());
    else
      forceTerrain(world, x, y, OuterWallH());
  }
  refreshCell(x, y, world.map);
}

// Down the left side, right along the bottom, up the right side, left along the top: 186 cells a
// lap. A cursor that is not on the border has nowhere to go and finishes where it is.
void stepAnticlockwise(Special& s) {
  if (s.x == 0 && s.y < ySize)
    ++s.y;
  else if (s.y == ySize && s.x < xSize)
    ++s.x;
  else if (s.x == xSize && s.y > 0)
    --s.y;
  else if (s.y == 0 && s.x > 0)
    --s.x;
  else
    s.count = -1;
}

// The cursor shows as one bold cell of the wall; the next rebuild there turns it back to Light.
// Set in the record itself, since the wall is permanent. A cursor that has strayed off the border
// marks nothing: it must never recolour a cell inside the arena.
void markCursor(World& world, const Special& s) {
  if (!onBorder(s.x, s.y)) return;
  Terrain t = world.map.at(s.x, s.y);
  t.colour = Yellow;
  t.weight = Heavy;
  world.map.put(s.x, s.y, t);
  refreshCell(s.x, s.y, world.map);
}

}  // namespace

void doRepairs(World& world, Special& s) {
  // The walk length is taken on entry: finishing mid-walk does not shorten this turn.
  const int cells = s.count;
  for (int i = 0; i < cells; ++i) {
    rebuildWall(world, s.x, s.y);
    stepAnticlockwise(s);
    markCursor(world, s);
  }
}

void doDestruct(World& world, Special& s) {
  // Rows beyond the map hold nothing to destroy.
  const int lowestRow = std::min(s.y, ySize);
  for (int y = 0; y <= lowestRow; ++y) {
    forceTerrain(world, s.x, y, Disrupted());
    refreshCell(s.x, y, world.map);
  }
  ++s.x;
  if (s.x > xSize) s.count = -1;
}
