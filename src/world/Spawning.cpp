// Random specials during play: bombardment clusters, laser volleys, shockwaves and power-ups.
#include <vector>

#include "dice/Lfrand.h"
#include "world/Headings.h"
#include "world/WorldData.h"

namespace {

int columnRoll() { return lfDice({1, 63, 4}); }  // 5..67
int rowRoll() { return lfDice({1, 20, 0}); }     // 1..20

int kindRoll(int score) {
  // Power-ups join the choice only once the player has scored something.
  return lfDice({1, score > 5 ? 4 : 3, 0});
}

// Each bombardment drifts from the previous one, held inside columns 4..68 and rows 4..17; the
// walk goes on from the held position.
std::vector<Special> bombardmentCluster() {
  std::vector<Special> cluster;
  int x = columnRoll();
  int y = rowRoll();
  const int size = lfDice({2, 3, 0});
  for (int i = 1; i <= size; ++i) {
    x += lfDice({1, 11, -6});
    y += lfDice({1, 11, -6});
    if (x <= 3) x = 4;
    if (x > 68) x = 68;
    if (y <= 3) y = 4;
    if (y > 17) y = 17;
    cluster.push_back(Special{x, y, Bombardment, i + 1, '+', Green, Light});
  }
  return cluster;
}

Special volleyBolt(int x, int y, Facing facing) {
  return Special{x, y, heading(facing).bolt, 2, heading(facing).boltSymbol, Yellow, Heavy};
}

// One bolt from each side. The dice fall north column, south column, west row, east row, while
// the bolts are listed east, west, south, north.
std::vector<Special> laserVolley() {
  const int northColumn = columnRoll();
  const int southColumn = columnRoll();
  const int westRow = rowRoll();
  const int eastRow = rowRoll();
  return {
      volleyBolt(1, eastRow, FRight),
      volleyBolt(lastColumn, westRow, FLeft),
      volleyBolt(southColumn, 1, FDown),
      volleyBolt(northColumn, lastRow, FUp),
  };
}

std::vector<Special> shockwave() {
  const int y = rowRoll();
  const int x = columnRoll();
  return {Special{x, y, Shockwave, 0, '~', Blue, Heavy}};
}

// Power-ups are written straight into the map, over anything, walls included.
void scatterPowerUps(World& w) {
  for (int i = 0; i < 3; ++i) {
    const int x = columnRoll();
    const int y = rowRoll();
    w.map.put(x, y, PowerUp());
    refreshCell(x, y, w.map);
  }
}

// A finished special's entry (count -1) is taken before the list grows.
void storeSpecial(World& w, const Special& s) {
  for (Special& entry : w.specials) {
    if (entry.count == -1) {
      entry = s;
      return;
    }
  }
  w.specials.push_back(s);
}

}  // namespace

void addSpecial(World& w, int score, int selector) {
  const int kind = selector != 0 ? selector : kindRoll(score);
  std::vector<Special> made;
  switch (kind) {
    case 1: made = bombardmentCluster(); break;
    case 2: made = laserVolley(); break;
    case 3: made = shockwave(); break;
    case 4: scatterPowerUps(w); break;
    default: break;
  }
  for (const Special& s : made) storeSpecial(w, s);
}
