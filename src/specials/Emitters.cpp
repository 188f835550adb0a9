// Weapon emitters: every bolt, shockwave and disruptor field fired by anyone is appended here.
#include "specials/Emitters.h"

#include <algorithm>

#include "world/Headings.h"

namespace {

Special bolt(int x, int y, Facing facing, int count, char symbol, int colour) {
  return Special{x, y, heading(facing).bolt, count, symbol, colour, Heavy};
}

Special bolt(int x, int y, Facing facing, int count, int colour) {
  return bolt(x, y, facing, count, heading(facing).boltSymbol, colour);
}

// A shot fired from beyond the interior starts from the nearest interior cell.
void clampIntoInterior(int& x, int& y) {
  x = std::clamp(x, 1, lastColumn);
  y = std::clamp(y, 1, lastRow);
}

// The symbol of a wide laser's side bolt at (dx, dy) from the centre bolt: the diagonal joining them.
char diagonal(int dx, int dy) { return dx * dy > 0 ? '\\' : '/'; }

}  // namespace

void addLaser(Facing facing, World& w, int x, int y, int colour) {
  clampIntoInterior(x, y);
  // The bolt starts two cells ahead; the offset comes after the clamp, so it may lie beyond it.
  const Heading& h = heading(facing);
  w.specials.push_back(bolt(x + 2 * h.dx, y + 2 * h.dy, facing, 0, colour));
}

void addQuadLaser(World& w, int x, int y, int colour, int count, int distance) {
  clampIntoInterior(x, y);
  for (Facing facing : {FRight, FLeft, FDown, FUp}) {
    const Heading& h = heading(facing);
    w.specials.push_back(bolt(x + distance * h.dx, y + distance * h.dy, facing, count, colour));
  }
}

void addWideLaser(Facing facing, World& w, int x, int y, int colour) {
  // Three bolts in an arrowhead pointing the way they travel: the side bolts trail by one cell,
  // the one above (or left of) the centre bolt first.
  const Heading& h = heading(facing);
  const int acrossX = h.dx == 0 ? 1 : 0;
  const int acrossY = h.dy == 0 ? 1 : 0;
  for (int side : {-1, 0, 1}) {
    const int dx = side == 0 ? 0 : side * acrossX - h.dx;
    const int dy = side == 0 ? 0 : side * acrossY - h.dy;
    const char symbol = side == 0 ? h.boltSymbol : diagonal(dx, dy);
    w.specials.push_back(bolt(x + dx, y + dy, facing, 0, symbol, colour));
  }
}

void addShockwave(World& w, int x, int y) {
  w.specials.push_back(Special{x, y, Shockwave, 1, '~', Blue, Heavy});
}

void addDisruptor(Facing facing, World& w, int x, int y) {
  clampIntoInterior(x, y);
  // The field starts one cell ahead, its heading kept in its count.
  const Heading& h = heading(facing);
  w.specials.push_back(Special{x + h.dx, y + h.dy, Disruptor, h.fieldCode, '&', Red, Heavy});
}
