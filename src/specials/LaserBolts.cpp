// Laser bolts: a bolt waits a few turns showing its symbol, then flies five cells a turn, wiping
// last turn's streak and painting a new one, until it is well beyond the arena.
#include <algorithm>

#include "specials/Specials.h"

namespace {

struct Span {
  int from;
  int to;  // inclusive; the span is empty when from > to
};

// What tells the four directions apart. A bolt's along-coordinate is the one that changes as it
// flies (y for north and south, x for west and east); every rule takes the head's along-coordinate
// after this turn's step.
struct BoltRules {
  bool fliesAlongY;
  int step;
  Terrain (*streakTerrain)();
  Span (*wipe)(int head);  // where last turn's streak lay
  Span (*streak)(int head);
  bool (*draws)(int head);
  bool (*showsHead)(int head);
  bool (*finished)(int head);
};

const BoltRules north{
    true,
    -5,
    LaserBoltV,
    [](int y) {
      const int end = y >= 11 ? lastRow : std::max(y + 10, 6);
      return Span{end - 5, end};
    },
    [](int y) {
      return Span{std::max(y, 1), y + 5};
    },
    [](int y) { return y >= -4; },
    [](int y) { return y >= 1; },
    [](int y) { return y <= -11; },
};

const BoltRules south{
    true,
    5,
    LaserBoltV,
    [](int y) {
      const int begin = y <= 10 ? 1 : std::min(y - 10, 15);
      return Span{begin, begin + 5};
    },
    [](int y) {
      return Span{y - 5, std::min(y, lastRow)};
    },
    [](int y) { return y <= 25; },
    [](int y) { return y <= lastRow; },
    [](int y) { return y >= 32; },
};

const BoltRules west{
    false,
    -5,
    LaserBoltH,
    [](int x) {
      const int end = x >= 62 ? lastColumn : std::max(x + 10, 6);
      return Span{end - 5, end};
    },
    [](int x) {
      return Span{std::max(x, 1), x + 5};
    },
    [](int x) { return x >= -3; },
    [](int x) { return x >= 1; },
    [](int x) { return x <= -6; },
};

// The east bolt wipes only five cells: its sixth is repainted by the new streak at once.
const BoltRules east{
    false,
    5,
    LaserBoltH,
    [](int x) {
      const int begin = x <= 10 ? 1 : std::min(x - 10, 67);
      return Span{begin, begin + 4};
    },
    [](int x) {
      return Span{x - 5, std::min(x, lastColumn)};
    },
    [](int x) { return x <= 76; },
    [](int x) { return x <= lastColumn; },
    [](int x) { return x >= 79; },
};

// Bolts write only interior cells, whatever their head's position: a bolt that starts beyond the
// border (a side bolt of a wide laser fired beside it) must not touch the border.
Span insideInterior(Span span, int last) { return Span{std::max(span.from, 1), std::min(span.to, last)}; }

void showSymbol(const Special& s, WeightName weight) { drawCell(s.x, s.y, s.symbol, s.colour, weight); }

void actBolt(World& world, Special& s, const BoltRules& rules) {
  const int across = rules.fliesAlongY ? s.x : s.y;
  const int acrossLast = rules.fliesAlongY ? lastColumn : lastRow;
  const int alongLast = rules.fliesAlongY ? lastRow : lastColumn;
  if (across < 1 || across > acrossLast) {
    s.count = -1;
    return;
  }
  if (s.count >= 2) {
    showSymbol(s, Light);
    --s.count;
    return;
  }
  if (s.count == 1) {
    showSymbol(s, Heavy);
    s.count = 0;
    return;
  }

  int& head = rules.fliesAlongY ? s.y : s.x;
  head += rules.step;
  auto cellX = [&](int i) { return rules.fliesAlongY ? across : i; };
  auto cellY = [&](int i) { return rules.fliesAlongY ? i : across; };

  const Span wipe = insideInterior(rules.wipe(head), alongLast);
  for (int i = wipe.from; i <= wipe.to; ++i) {
    setTerrain(world, cellX(i), cellY(i), Floor());
    refreshCell(cellX(i), cellY(i), world.map);
  }
  if (rules.draws(head)) {
    const Span streak = insideInterior(rules.streak(head), alongLast);
    const bool headShown = rules.showsHead(head);
    for (int i = streak.from; i <= streak.to; ++i) {
      setTerrain(world, cellX(i), cellY(i), rules.streakTerrain());
      setTColour(world, cellX(i), cellY(i), s.colour);
      refreshCell(cellX(i), cellY(i), world.map);
      // Reprinted after every streak cell, so the head keeps its symbol over the bolt terrain.
      if (headShown) showSymbol(s, s.weight);
    }
  }
  if (rules.finished(head)) s.count = -1;
}

}  // namespace

void doLaserNorth(World& world, Special& s) { actBolt(world, s, north); }
void doLaserSouth(World& world, Special& s) { actBolt(world, s, south); }
void doLaserWest(World& world, Special& s) { actBolt(world, s, west); }
void doLaserEast(World& world, Special& s) { actBolt(world, s, east); }
