// Shockwaves, square rings that grow a cell a turn and sweep the ground to floor until the dice stop
// them; and bombardments, target markers that count down and then explode.
#include "dice/Lfrand.h"
#include "specials/Specials.h"

namespace {

struct Ring {
  int left, top, right, bottom;
  // Only a wave centred outside the interior, which nothing makes, has a ring clamped to nothing.
  bool empty() const { return left > right || top > bottom; }
};

Ring ringAround(int x, int y, int radius) {
  Ring r{x - radius, y - radius, x + radius, y + radius};
  if (r.left < 1) r.left = 1;
  if (r.right > lastColumn) r.right = lastColumn;
  if (r.top < 1) r.top = 1;
  if (r.bottom > lastRow) r.bottom = lastRow;
  return r;
}

void drawSymbol(const Special& s, int x, int y) { drawCell(x, y, s.symbol, s.colour, s.weight); }

// Permanent cells (walls, exits, disrupted ground, the brain) are neither painted nor cleared.
void sweepCell(World& world, const Special& s, int x, int y) {
  if (!world.map.at(x, y).permanent) drawSymbol(s, x, y);
}

void paintRing(World& world, const Special& s, const Ring& r) {
  for (int x = r.left; x <= r.right; ++x) {
    sweepCell(world, s, x, r.top);
    sweepCell(world, s, x, r.bottom);
    setTerrain(world, x, r.top, Floor());
    setTerrain(world, x, r.bottom, Floor());
  }
  for (int y = r.top + 1; y <= r.bottom - 1; ++y) {
    sweepCell(world, s, r.left, y);
    sweepCell(world, s, r.right, y);
    setTerrain(world, r.left, y, Floor());
    setTerrain(world, r.right, y, Floor());
  }
}

// Redraws last turn's ring from the map. A ring edge lying on the first or last interior row or
// column is redrawn too, so a wave that has reached the border leaves no symbol there.
void wipePreviousRing(const World& world, const Ring& r) {
  for (int x = r.left + 1; x <= r.right - 1; ++x) {
    refreshCell(x, r.top + 1, world.map);
    refreshCell(x, r.bottom - 1, world.map);
    if (r.top < 2)
      refreshCell(x, r.top, world.map);
    else if (r.bottom > lastRow - 1)
      refreshCell(x, r.bottom, world.map);
  }
  for (int y = r.top + 2; y <= r.bottom - 2; ++y) {
    refreshCell(r.left + 1, y, world.map);
    refreshCell(r.right - 1, y, world.map);
    if (r.left < 2)
      refreshCell(r.left, y, world.map);
    else if (r.right > lastColumn - 1)
      refreshCell(r.right, y, world.map);
  }
}

void showMarker(const Special& s, WeightName weight) {
  printAtColour(s.x - 1, s.y, "[", s.colour, weight);
  printAtColour(s.x, s.y, "+", s.colour, weight);
  printAtColour(s.x + 1, s.y, "]", s.colour, weight);
}

}  // namespace

void doShock(World& world, Special& s) {
  if (s.count == 0) {
    // A wave that has not begun clears its centre. Only an interior centre: a wave never touches
    // the border, and none is ever made outside the interior.
    if (inInterior(s.x, s.y)) {
      sweepCell(world, s, s.x, s.y);
      setTerrain(world, s.x, s.y, Floor());
    }
  } else {
    const int radius = s.count;
    const Ring ring = ringAround(s.x, s.y, radius);
    // 2d3+1 is at least 3 and at most 7: a wave always reaches radius 3 and never radius 8.
    if (lfDice(Dicespec{2, 3, 1}) < radius) {
      s.count = -2;
    } else if (!ring.empty()) {
      paintRing(world, s, ring);
    }
    if (!ring.empty()) wipePreviousRing(world, ring);
  }
  ++s.count;
}

void doBombard(World& world, Special& s) {
  if (s.count >= 2) {
    showMarker(s, Light);
  } else if (s.count == 1) {
    showMarker(s, Heavy);  // bold on the last turn before the blast
  } else {
    explosionHere(world, s.x, s.y, s.colour, true);
  }
  --s.count;
}
