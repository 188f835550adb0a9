// The specials' turn: every live special takes one step of its kind, in list order; and the end of
// a boss level, which opens the exit and floods the arena.
#include "specials/Specials.h"

namespace {

// One step of one special. Returns the boss-brain cells it destroyed (only a disruptor can).
int actOne(World& world, Special& s) {
  switch (s.kind) {
    case Bombardment: doBombard(world, s); break;
    case LaserE: doLaserEast(world, s); break;
    case LaserW: doLaserWest(world, s); break;
    case LaserN: doLaserNorth(world, s); break;
    case LaserS: doLaserSouth(world, s); break;
    case Shockwave: doShock(world, s); break;
    case Disruptor: return doDisruptor(world, s);
    case Repairer: doRepairs(world, s); break;
    case Destruct: doDestruct(world, s); break;
  }
  return 0;
}

constexpr int exitTop = 9;
constexpr int exitBottom = 11;
constexpr int floodSpecials = 20;

}  // namespace

int actSpecials(World& world) {
  int brainCells = 0;
  // By index, with the length read on every pass: specials appended by a handler act in this
  // same pass, after everything that was already there. A deque keeps `s` valid meanwhile.
  for (std::size_t i = 0; i < world.specials.size(); ++i) {
    Special& s = world.specials[i];
    if (s.count < 0) continue;
    brainCells += actOne(world, s);
  }
  // The list shrinks by at most one finished entry per turn, and only from its end.
  if (!world.specials.empty() && world.specials.back().count == -1) world.specials.pop_back();
  return brainCells;
}

void endLevel(World& world, bool final) {
  for (std::size_t i = 0; i < world.specials.size(); ++i) {
    if (world.specials[i].kind == Repairer) world.specials[i].count = -1;
  }
  for (int y = exitTop; y <= exitBottom; ++y) {
    forceTerrain(world, xSize, y, Exit());
    refreshCell(xSize, y, world.map);
  }
  for (int i = 0; i < floodSpecials; ++i) addSpecial(world, 0, 0);
  if (final) world.specials.push_back(Special{0, ySize, Destruct, 1, '&', Red, Heavy});
}
