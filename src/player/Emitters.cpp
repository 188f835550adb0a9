// Weapon emitters: every bolt, shockwave and disruptor field fired by anyone is appended here.
#include "player/Player.h"

namespace {
Special bolt(int x, int y, SpecType kind, int count, char symbol, int colour) {
  return Special{x, y, kind, count, symbol, colour, Heavy};
}
}  // namespace

void adjustPos(int& x, int& y) {
  if (x < 1) x = 1;
  if (y < 1) y = 1;
  if (x > xSize - 1) x = xSize - 1;
  if (y > ySize - 1) y = ySize - 1;
}

void addLaser(Facing facing, World& w, int x, int y, int colour) {
  adjustPos(x, y);
  // The bolt starts two cells ahead; the offset comes after the clamp, so it may lie beyond it.
  switch (facing) {
    case FRight: w.specials.push_back(bolt(x + 2, y, LaserE, 0, '}', colour)); break;
    case FLeft: w.specials.push_back(bolt(x - 2, y, LaserW, 0, '{', colour)); break;
    case FDown: w.specials.push_back(bolt(x, y + 2, LaserS, 0, 'u', colour)); break;
    case FUp: w.specials.push_back(bolt(x, y - 2, LaserN, 0, 'n', colour)); break;
  }
}

void addQuadLaser(World& w, int x, int y, int colour, int count, int distance) {
  adjustPos(x, y);
  w.specials.push_back(bolt(x + distance, y, LaserE, count, '}', colour));
  w.specials.push_back(bolt(x - distance, y, LaserW, count, '{', colour));
  w.specials.push_back(bolt(x, y + distance, LaserS, count, 'u', colour));
  w.specials.push_back(bolt(x, y - distance, LaserN, count, 'n', colour));
}

void addWideLaser(Facing facing, World& w, int x, int y, int colour) {
  // Three bolts in an arrowhead pointing the way they travel: the side bolts trail by one cell.
  switch (facing) {
    case FRight:
      w.specials.push_back(bolt(x - 1, y - 1, LaserE, 0, '\\', colour));
      w.specials.push_back(bolt(x, y, LaserE, 0, '}', colour));
      w.specials.push_back(bolt(x - 1, y + 1, LaserE, 0, '/', colour));
      break;
    case FLeft:
      w.specials.push_back(bolt(x + 1, y - 1, LaserW, 0, '/', colour));
      w.specials.push_back(bolt(x, y, LaserW, 0, '{', colour));
      w.specials.push_back(bolt(x + 1, y + 1, LaserW, 0, '\\', colour));
      break;
    case FDown:
      w.specials.push_back(bolt(x - 1, y - 1, LaserS, 0, '\\', colour));
      w.specials.push_back(bolt(x, y, LaserS, 0, 'u', colour));
      w.specials.push_back(bolt(x + 1, y - 1, LaserS, 0, '/', colour));
      break;
    case FUp:
      w.specials.push_back(bolt(x - 1, y + 1, LaserN, 0, '/', colour));
      w.specials.push_back(bolt(x, y, LaserN, 0, 'n', colour));
      w.specials.push_back(bolt(x + 1, y + 1, LaserN, 0, '\\', colour));
      break;
  }
}

void addShockwave(World& w, int x, int y) {
  w.specials.push_back(Special{x, y, Shockwave, 1, '~', Blue, Heavy});
}

void addDisruptor(Facing facing, World& w, int x, int y) {
  adjustPos(x, y);
  // The field's count carries its heading: 1 east, 2 west, 3 south, 4 north.
  switch (facing) {
    case FRight: w.specials.push_back(Special{x + 1, y, Disruptor, 1, '&', Red, Heavy}); break;
    case FLeft: w.specials.push_back(Special{x - 1, y, Disruptor, 2, '&', Red, Heavy}); break;
    case FDown: w.specials.push_back(Special{x, y + 1, Disruptor, 3, '&', Red, Heavy}); break;
    case FUp: w.specials.push_back(Special{x, y - 1, Disruptor, 4, '&', Red, Heavy}); break;
  }
}
