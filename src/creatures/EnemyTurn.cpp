// The enemy turn: every live creature acts in array order through the handler of its kind
// (Red ordinary creature, White turret gun, Magenta boss creature).
#include <cstddef>

#include "creatures/Creature.h"
#include "specials/Emitters.h"
#include "world/Headings.h"

namespace {

constexpr int creaturePoints = 1;
constexpr int turretPoints = 10;
constexpr int bossPoints = 5;

constexpr int quadLaserDistance = 2;
constexpr int bossQuadLaserDistance = 3;
constexpr int bossWideLaserDistance = 3;

int destroyWhereItStands(World& world, Creature& c, bool bigBlast) {
  c.alive = false;
  explosionHere(world, c.x, c.y, c.colour, bigBlast);
  return 1;
}

// A cell with at most one passable neighbour (and no power-up) leaves the boss hemmed in.
bool hemmedIn(const World& world, const Creature& c) {
  return adjacentBlock(world, c.x, c.y) <= wallAversion;
}

bool inLineWithPlayer(const World& world, const Creature& c) {
  return c.x == world.player.x || c.y == world.player.y;
}

void fireBossWideLasers(World& world, const Creature& c) {
  const int d = bossWideLaserDistance;
  addWideLaser(FLeft, world, c.x - d, c.y, c.colour);
  addWideLaser(FRight, world, c.x + d, c.y, c.colour);
  addWideLaser(FUp, world, c.x, c.y - d, c.colour);
  addWideLaser(FDown, world, c.x, c.y + d, c.colour);
}

int pointsForTurn(World& world, Creature& c) {
  switch (c.colour) {
    case Red: return creaturePoints * doCreature(world, c);
    case White: return turretPoints * doTurret(world, c);
    case Magenta: return bossPoints * doBossCreature(world, c);
    default: return 0;
  }
}

}  // namespace

int moveEnemy(World& world) {
  int points = 0;
  // Each creature sees the map as the creatures before it left it. The length is read afresh on
  // every pass, and the element is taken anew each time, so nothing stale is held between turns.
  for (std::size_t i = 0; i != world.creatures.size(); ++i) {
    Creature& c = world.creatures[i];
    if (c.alive) points += pointsForTurn(world, c);
  }
  return points;
}

int doCreature(World& world, Creature& c) {
  const Terrain under = world.map.at(c.x, c.y);
  if (!under.passable) return destroyWhereItStands(world, c, false);
  if (under == PowerUp()) addQuadLaser(world, c.x, c.y, c.colour, 0, quadLaserDistance);
  // The trail goes down before steering, so the creature's own cell already counts as blocked.
  // Only red creatures leave one, so it needs no colouring.
  setTerrain(world, c.x, c.y, EnemyTrail());
  refreshCell(c.x, c.y, world.map);
  return moveCreature(world, c);
}

int doTurret(World& world, Creature& c) {
  const Terrain under = world.map.at(c.x, c.y);
  // Bolts, trails and wreckage pass over a turret harmlessly; only a permanent block destroys it.
  if (!under.passable && under.permanent) return destroyWhereItStands(world, c, true);
  if (under == PowerUp()) addQuadLaser(world, c.x, c.y, c.colour, 0, quadLaserDistance);
  // The weight doubles as the turret's phase: Light fires this turn, Heavy turns a quarter.
  if (c.weight == Light) {
    addLaser(c.facing, world, c.x, c.y, c.colour);
    c.weight = Heavy;
  } else {
    c.facing = clockwise(c.facing);
    c.weight = Light;
  }
  drawCreature(c);
  return 0;
}

int doBossCreature(World& world, Creature& c) {
  const Terrain under = world.map.at(c.x, c.y);
  if (!under.passable) return destroyWhereItStands(world, c, true);
  if (under == PowerUp()) fireBossWideLasers(world, c);
  refreshCell(c.x, c.y, world.map);  // a boss leaves no trail
  if (inLineWithPlayer(world, c) || hemmedIn(world, c)) {
    addQuadLaser(world, c.x, c.y, c.colour, 0, bossQuadLaserDistance);
  }
  return moveCreature(world, c);
}
