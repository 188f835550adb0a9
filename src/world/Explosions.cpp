// Explosions: a square of smoking floor with wreckage at its heart, clipped to the interior.
#include "world/WorldData.h"

namespace {

struct Area {
  int x1, y1, x2, y2;
};

// A square cut by the left or top border grows by one cell on the far side; one cut by the right
// or bottom border grows by one cell on the near side.
Area clippedSquare(int x, int y, int reach) {
  Area a{x - reach, y - reach, x + reach, y + reach};
  if (a.x1 < 1) {
    a.x1 = 1;
    a.x2 = x + reach + 1;
  }
  if (a.y1 < 1) {
    a.y1 = 1;
    a.y2 = y + reach + 1;
  }
  if (a.x2 > lastColumn) {
    a.x2 = lastColumn;
    a.x1 = a.x1 - 1;
  }
  if (a.y2 > lastRow) {
    a.y2 = lastRow;
    a.y1 = a.y1 - 1;
  }
  return a;
}

void wreckBig(World& w, int x, int y, int colour) {
  setTerrain(w, x, y, Wreckage());
  setTColour(w, x, y, colour);
  // The heart of a big blast scorches even walls: their weight drops to Light.
  Terrain t = w.map.at(x, y);
  t.weight = Light;
  w.map.put(x, y, t);
  refreshCell(x, y, w.map);
}

}  // namespace

void explosionHere(World& w, int x, int y, int colour, bool big) {
  const Area a = clippedSquare(x, y, big ? 3 : 2);
  for (int i = a.x1; i <= a.x2; ++i) {
    for (int j = a.y1; j <= a.y2; ++j) {
      setTerrain(w, i, j, SmokingFloor());
      setTColour(w, i, j, colour);
      refreshCell(i, j, w.map);
    }
  }
  if (big) {
    for (int i = a.x1 + 2; i <= a.x2 - 2; ++i) wreckBig(w, i, y, colour);
    for (int j : {a.y1 + 2, a.y2 - 2}) wreckBig(w, x, j, colour);
  } else {
    setTerrain(w, x, y, Wreckage());
    setTColour(w, x, y, colour);
    refreshCell(x, y, w.map);
  }
  refreshPaC(w);
}
