// Over many random arenas and starts (on, inside and beyond the border, every count, every kind):
// each turn of a special changes only the cells its kind may change.
#include "common/Harness.h"
#include "specials/Specials.h"

namespace {

using SpecialsPropertyTest = ScreenTest;

int roll(int low, int high) { return lfDice(Dicespec{1, high - low + 1, low - 1}); }

Terrain anyTerrain() {
  static const Terrain kinds[] = {Floor(),        Floor(),     Floor(),       Exit(),       PowerUp(),
                                  SmokingFloor(), Wreckage(),  PlayerTrail(), EnemyTrail(), LaserBoltV(),
                                  LaserBoltH(),   Disrupted(), BossBrain(),   InnerWallX(), SuperWallV(),
                                  SuperWallH(),   OuterWallH()};
  return kinds[roll(0, std::size(kinds) - 1)];
}

// Mostly floor inside; a border broken here and there, some of it passable and not permanent.
World randomArena() {
  World w = emptyWorld();
  for (int x = 0; x <= xSize; ++x)
    for (int y = 0; y <= ySize; ++y) {
      const bool border = x == 0 || x == xSize || y == 0 || y == ySize;
      if (roll(1, border ? 4 : 3) == 1) w.map.put(x, y, anyTerrain());
    }
  return w;
}

Special randomSpecial() {
  const auto kind = static_cast<SpecType>(roll(0, 8));
  int x = roll(-8, 80), y = roll(-8, 29);
  switch (roll(1, 3)) {
    case 1: break;  // anywhere, mostly beyond the arena
    case 2:         // on the border
      if (roll(1, 2) == 1)
        x = roll(0, 1) * xSize, y = roll(0, ySize);
      else
        x = roll(0, xSize), y = roll(0, 1) * ySize;
      break;
    case 3: x = roll(1, 71), y = roll(1, 20); break;
  }
  if (kind == Bombardment) x = roll(1, 71), y = roll(1, 20);  // only ever placed inside
  const int maxCount[] = {5, 6, 6, 6, 6, 9, 99, 200, 1};
  return Special{x, y, kind, roll(0, maxCount[kind]), '~', roll(1, 7), Heavy};
}

bool interior(int x, int y) { return x >= 1 && x <= 71 && y >= 1 && y <= 20; }

bool sameBut(Terrain t, const Terrain& kind) {
  t.colour = kind.colour;
  t.weight = kind.weight;
  return t == kind;
}

// Whether one turn of special `s` (as it was before the turn, and after it) may turn `was` into
// `now` at (x, y).
bool mayChange(const Special& s, const Special& after, int x, int y, const Terrain& was, const Terrain& now) {
  const bool vertical = s.kind == LaserN || s.kind == LaserS;
  switch (s.kind) {
    case LaserE:
    case LaserW:
    case LaserN:
    case LaserS:
      return (vertical ? x == s.x : y == s.y) && interior(x, y) && !was.permanent &&
             (now == Floor() ||
              (sameBut(now, vertical ? LaserBoltV() : LaserBoltH()) && now.colour == s.colour));
    case Shockwave:
      return std::abs(x - s.x) <= s.count && std::abs(y - s.y) <= s.count && interior(x, y) &&
             !was.permanent && now == Floor();
    case Bombardment:  // ground turns to smoke and wreckage; walls only have their weight scorched
      return interior(x, y) &&
             (was.permanent ? sameBut(now, was) : (sameBut(now, SmokingFloor()) || sameBut(now, Wreckage())));
    case Disruptor:
      return (x == s.x && y == s.y) || (x == after.x && y == after.y) ||
             (interior(x, y) && !was.permanent && sameBut(now, Wreckage()) && now.colour == Yellow);
    case Repairer:  // rebuilds the wall, or marks the cell its cursor stops on bold yellow
      return !interior(x, y) &&
             (sameBut(now, OuterWallX()) || sameBut(now, OuterWallV()) || sameBut(now, OuterWallH()) ||
              (sameBut(now, was) && now.colour == Yellow && now.weight == Heavy));
    case Destruct: return x == s.x && y <= s.y && now == Disrupted();
  }
  return false;
}

// One turn of each kind, by SpecType, without the scheduler: what a field appends must not act here.
void (*const actDirectly[])(World&, Special&) = {doBombard,
                                                 doLaserEast,
                                                 doLaserWest,
                                                 doLaserNorth,
                                                 doLaserSouth,
                                                 doShock,
                                                 [](World& w, Special& s) { doDisruptor(w, s); },
                                                 doRepairs,
                                                 doDestruct};

TEST_F(SpecialsPropertyTest, NoSpecialChangesACellItMustNot) {
  for (int trial = 1; trial <= 1500; ++trial) {
    lfSrand(trial);
    World w = randomArena();
    Special s = randomSpecial();
    const Special start = s;
    for (int turn = 0; turn < 30 && s.count >= 0; ++turn) {
      const Map before = w.map;
      const Special was = s;
      actDirectly[s.kind](w, s);
      // A field that has run into the border sits on a cell of it, even one that came from beyond.
      if (s.kind == Disruptor && s.count == 0) {
        ASSERT_TRUE(Map::contains(s.x, s.y)) << "trial " << trial;
      }
      for (int x = 0; x <= xSize; ++x)
        for (int y = 0; y <= ySize; ++y)
          ASSERT_TRUE(before.at(x, y) == w.map.at(x, y) ||
                      mayChange(was, s, x, y, before.at(x, y), w.map.at(x, y)))
              << "trial " << trial << " kind " << start.kind << " from (" << start.x << ", " << start.y
              << ") count " << start.count << ", turn " << turn << ": cell (" << x << ", " << y
              << ") changed";
    }
  }
}

}  // namespace
