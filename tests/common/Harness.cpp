// Test harness helpers.
#include "common/Harness.h"

World emptyWorld(int playerX, int playerY, int power) {
  World w{Map(), {}, Player{playerX, playerY, power}, {}, false, 0};
  for (int x = 0; x <= xSize; ++x) {
    for (int y = 0; y <= ySize; ++y) {
      const bool edgeX = x == 0 || x == xSize;
      const bool edgeY = y == 0 || y == ySize;
      if (edgeX && edgeY) w.map.put(x, y, OuterWallX());
      else if (edgeX) w.map.put(x, y, OuterWallV());
      else if (edgeY) w.map.put(x, y, OuterWallH());
    }
  }
  return w;
}

void fill(World& w, int x1, int y1, int x2, int y2, const Terrain& t) {
  for (int x = x1; x <= x2; ++x)
    for (int y = y1; y <= y2; ++y) w.map.put(x, y, t);
}

ScreenCell expectedCell(char ch, int colour, WeightName weight) {
  return ScreenCell{ch, getColourNumber2(colour), weight == Heavy || weight == HeavyInverse,
                    weight == Inverse || weight == HeavyInverse};
}
