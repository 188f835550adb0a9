// Drawing the arena cell by cell. Nothing here refreshes the screen; the driver does that.
#include "world/WorldData.h"

void drawCell(int x, int y, char ch, int colour, WeightName weight) {
  printCharColour(x, y, ch, colour, weight);
}

void refreshCell(int x, int y, const Map& map) {
  const Terrain& t = map.at(x, y);
  drawCell(x, y, t.symbol, t.colour, t.weight);
}

void drawPlayer(int x, int y) { drawCell(x, y, '@', Cyan, Heavy); }

namespace {
char creatureGlyph(const Creature& c) {
  if (!c.alive) return '#';
  switch (c.facing) {
    case FLeft: return '<';
    case FRight: return '>';
    case FUp: return '^';
    case FDown: return 'v';
  }
  return '?';
}
}  // namespace

void drawCreature(const Creature& c) { drawCell(c.x, c.y, creatureGlyph(c), c.colour, c.weight); }

void refreshPaC(const World& w) {
  drawPlayer(w.player.x, w.player.y);
  for (const Creature& c : w.creatures) {
    if (c.alive) drawCreature(c);
  }
}
