// Drawing the arena cell by cell. Nothing here refreshes the screen; the driver does that.
#include "world/Headings.h"
#include "world/WorldData.h"

void drawPlayer(int x, int y) { drawCell(x, y, '@', Cyan, Heavy); }

namespace {
char creatureGlyph(const Creature& c) { return c.alive ? heading(c.facing).glyph : '#'; }
}  // namespace

void drawCreature(const Creature& c) { drawCell(c.x, c.y, creatureGlyph(c), c.colour, c.weight); }

void refreshPaC(const World& w) {
  drawPlayer(w.player.x, w.player.y);
  for (const Creature& c : w.creatures) {
    if (c.alive) drawCreature(c);
  }
}
