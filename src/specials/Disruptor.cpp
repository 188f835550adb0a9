// The disruptor field: a disrupted cell that bulldozes its way across the arena, burns out after
// twenty cells, wrecks the boss brain, and blasts at the border until it breaks an exit through.
#include <algorithm>

#include "dice/Lfrand.h"
#include "specials/Emitters.h"
#include "specials/Specials.h"
#include "world/Headings.h"

namespace {

// While travelling, count carries the heading's field code (mod 4) and grows by this per cell.
constexpr int countPerCell = 4;
constexpr int burnOutCount = 80;
constexpr int blastReach = 6;
constexpr int atTheBorder = 0;

bool isBrain(const World& world, int x, int y) { return world.map.at(x, y) == BossBrain(); }

void lay(World& world, int x, int y, const Terrain& t) {
  forceTerrain(world, x, y, t);
  refreshCell(x, y, world.map);
}

void appendShockwave(World& world, int x, int y) {
  // Appended, never put into a free entry: the scheduler reaches it later in this same pass.
  world.specials.push_back(Special{x, y, Shockwave, 0, '~', Blue, Heavy});
}

// The brain cell is destroyed a turn after the field entered it; three rings of bolts fly from it,
// the later two waiting a little so that they come out as a volley.
int hitBrain(World& world, Special& s) {
  disruptorExplode(world, s);
  forceTerrain(world, s.x, s.y, Floor());
  s.count = -1;
  addQuadLaser(world, s.x, s.y, Magenta, 0, 2);
  addQuadLaser(world, s.x, s.y, White, 2, 2);
  addQuadLaser(world, s.x, s.y, Red, 4, 2);
  return 1;
}

void enterCell(World& world, Special& s) {
  const bool brain = isBrain(world, s.x, s.y);
  if (!brain) forceTerrain(world, s.x, s.y, Disrupted());
  refreshCell(s.x, s.y, world.map);
  s.count += countPerCell;
  if (lfDice(Dicespec{1, 4, 0}) == 1) appendShockwave(world, s.x, s.y);
  if (s.count > burnOutCount && !brain) {
    lay(world, s.x, s.y, Floor());
    appendShockwave(world, s.x, s.y);
    s.count = -1;
  }
}

int travel(World& world, Special& s) {
  if (isBrain(world, s.x, s.y)) return hitBrain(world, s);
  const Heading& step = heading(fieldFacing(s.count));
  lay(world, s.x, s.y, Floor());
  s.x += step.dx;
  s.y += step.dy;
  if (inInterior(s.x, s.y)) {
    enterCell(world, s);
  } else {
    // Only a field that started beyond the border can be off the map here.
    s.x = std::clamp(s.x, 0, xSize);
    s.y = std::clamp(s.y, 0, ySize);
    s.count = atTheBorder;
  }
  return 0;
}

void blastTheBorder(World& world, Special& s) {
  const Terrain& wall = world.map.at(s.x, s.y);
  if (wall == SuperWallV() || wall == SuperWallH()) {
    s.count = -1;
    return;
  }
  if (lfDice(Dicespec{1, 20, 0}) == 1) {
    lay(world, s.x, s.y, Exit());
    s.count = -1;
    return;
  }
  lay(world, s.x, s.y, Disrupted());
  disruptorExplode(world, s);
}

}  // namespace

int doDisruptor(World& world, Special& s) {
  if (s.count >= 1) return travel(world, s);
  if (s.count == atTheBorder) blastTheBorder(world, s);
  return 0;
}

void disruptorExplode(World& world, const Special& s) {
  const int left = std::max(s.x - blastReach, 1);
  const int right = std::min(s.x + blastReach, lastColumn);
  const int top = std::max(s.y - blastReach, 1);
  const int bottom = std::min(s.y + blastReach, lastRow);
  for (int x = left; x <= right; ++x) {
    for (int y = top; y <= bottom; ++y) {
      setTerrain(world, x, y, Wreckage());
      setTColour(world, x, y, Yellow);
      refreshCell(x, y, world.map);
    }
  }
}
