// Drawing the arena cell by cell. Nothing here refreshes the screen; the driver does that.
#include "world/WorldData.h"

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
