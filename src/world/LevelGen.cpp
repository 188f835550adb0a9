// Level generation: the border, the fixed inner layout of each level, the player's start, the
// initial creatures, turret guns and repairers, and reinforcements during play.
#include <cstdlib>
#include <optional>

#include "dice/Lfrand.h"
#include "world/CellRolls.h"
#include "world/WorldData.h"

namespace {

struct WallFamily {
  Terrain corner;
  Terrain vertical;
  Terrain horizontal;
};

WallFamily borderFamily(int level) {
  if (isBossLevel(level)) return {SuperWallX(), SuperWallV(), SuperWallH()};
  return {OuterWallX(), OuterWallV(), OuterWallH()};
}

void buildBorderAndFloor(Map& map, int level) {
  const WallFamily family = borderFamily(level);
  for (int x = 0; x <= xSize; ++x) {
    for (int y = 0; y <= ySize; ++y) {
      const bool edgeColumn = x == 0 || x == xSize;
      const bool edgeRow = y == 0 || y == ySize;
      if (edgeColumn && edgeRow)
        map.put(x, y, family.corner);
      else if (edgeColumn)
        map.put(x, y, family.vertical);
      else if (edgeRow)
        map.put(x, y, family.horizontal);
      else
        map.put(x, y, Floor());
    }
  }
}

void pillarLattice(Map& map) {
  for (int x = 2; x <= 70; ++x) {
    for (int y = 2; y <= 19; ++y) {
      if (x % 3 == 0 && y % 3 == 0) map.put(x, y, InnerWallX());
    }
  }
}

void threeCorridors(Map& map) {
  for (int y : {5, 10, 15}) {
    horizontalWall(map, 18, 54, y + 1);
    horizontalWall(map, 18, 54, y - 1);
  }
}

// Two diagonal lines of pillars crossing at the centre, where the turret box then stands.
void pillarCross(Map& map) {
  for (int y = 2; y <= 19; ++y) {
    const int d = std::abs(y - 10);
    map.put(36 - d, y, InnerWallX());
    map.put(36 + d, y, InnerWallX());
  }
  turretBox(map, 36, 10);
}

void eightCrosses(Map& map) {
  for (int x : {14, 28, 43, 57}) {
    for (int y : {7, 14}) {
      verticalWall(map, y - 2, y + 2, x);
      horizontalWall(map, x - 2, x + 2, y);
      map.put(x, y, InnerWallX());
    }
  }
  turretBox(map, 36, 10);
}

// The six boss-brain cells at the right edge, closed in by inner walls and the border.
void brainChamber(Map& map) {
  for (int x = 70; x <= 71; ++x) {
    for (int y : {8, 12}) map.put(x, y, InnerWallH());
  }
  for (int y = 9; y <= 11; ++y) map.put(69, y, InnerWallV());
  map.put(69, 8, InnerWallX());
  map.put(69, 12, InnerWallX());
  for (int x = 70; x <= 71; ++x) {
    for (int y = 9; y <= 11; ++y) map.put(x, y, BossBrain());
  }
}

// The last level: two full-height walls seal the arena into three rooms.
void sealedRooms(Map& map) {
  for (int x : {24, 48}) verticalWall(map, 1, 20, x);
  turretBox(map, 36, 5);
  turretBox(map, 36, 15);
  brainChamber(map);
}

void buildInnerLayout(Map& map, int level) {
  switch (level % numLevels) {
    case 2: horizontalWall(map, 18, 54, 10); break;
    case 3:
      for (int x : {18, 54}) verticalWall(map, 5, 15, x);
      break;
    case 4: pillarLattice(map); break;
    case 6: threeCorridors(map); break;
    case 7: pillarCross(map); break;
    case 8:
      for (int x : {18, 54}) {
        for (int y : {5, 15}) turretBox(map, x, y);
      }
      break;
    case 9: eightCrosses(map); break;
    case 0: sealedRooms(map); break;
    default: break;  // levels 1 and 5: border only
  }
}

void drawWholeMap(const Map& map) {
  for (int x = 0; x <= xSize; ++x) {
    for (int y = 0; y <= ySize; ++y) refreshCell(x, y, map);
  }
}

void placeCreature(World& w, const Creature& c) {
  drawCreature(c);
  w.creatures.push_back(c);
}

// The boss creature of level 5 starts in the right half of the arena, away from the player's side.
// Bounded: if no clear cell with x > 35 exists the level is left without its boss.
void placeBossCreature(World& w) {
  std::optional<Creature> boss =
      rollUntil(newCreature, [&w](const Creature& c) { return isClear(w, c.x, c.y, true) && c.x > 35; });
  if (!boss) return;
  boss->colour = Magenta;
  placeCreature(w, *boss);
}

// Bounded: an enemy that finds no clear cell within maxPlacementAttempts rolls is not placed.
void placeOrdinaryCreatures(World& w, int level) {
  for (int i = 0; i <= level; ++i) {
    const std::optional<Creature> c =
        rollUntil(newCreature, [&w](const Creature& r) { return isClear(w, r.x, r.y, true); });
    if (c) placeCreature(w, *c);
  }
}

// Each gun sits in the centre of a turret box that the level's layout built.
void placeTurretGuns(World& w, int level) {
  switch (level) {
    case 7:
    case 9: addTurretGun(w, 36, 10); break;
    case 8:
      for (int x : {18, 54}) {
        for (int y : {5, 15}) addTurretGun(w, x, y);
      }
      break;
    case 10:
      addTurretGun(w, 36, 5);
      addTurretGun(w, 36, 15);
      break;
    default: break;
  }
}

Special repairer(int count) { return Special{0, 0, Repairer, count, '+', Yellow, Heavy}; }

// A reinforcement must land on a clear cell at least four columns and four rows from the ship.
bool farEnoughFromPlayer(const World& w, const Creature& c) {
  return isClear(w, c.x, c.y, true) && std::abs(c.x - w.player.x) >= 4 && std::abs(c.y - w.player.y) >= 4;
}

}  // namespace

void verticalWall(Map& map, int top, int bottom, int x) {
  for (int y = top + 1; y <= bottom - 1; ++y) map.put(x, y, InnerWallV());
  map.put(x, top, InnerWallX());
  map.put(x, bottom, InnerWallX());
}

void horizontalWall(Map& map, int left, int right, int y) {
  for (int x = left + 1; x <= right - 1; ++x) map.put(x, y, InnerWallH());
  map.put(left, y, InnerWallX());
  map.put(right, y, InnerWallX());
}

void turretBox(Map& map, int x, int y) {
  horizontalWall(map, x - 1, x + 1, y - 1);
  horizontalWall(map, x - 1, x + 1, y + 1);
  verticalWall(map, y - 1, y + 1, x - 1);
  verticalWall(map, y - 1, y + 1, x + 1);
  map.put(x, y, InnerWallX());
}

World newWorld(int level) {
  Map map;
  buildBorderAndFloor(map, level);
  buildInnerLayout(map, level);
  drawWholeMap(map);
  // The start is rolled on every level; the level transition replaces it after the first.
  const Player player = newPlayer();
  if (level == 1) drawPlayer(player.x, player.y);
  World w{map, {}, player, {}, false, level - 1};
  addInitCreatures(w, level);
  addInitSpecials(w, level);
  return w;
}

void addInitCreatures(World& w, int level) {
  if (isBossCreatureLevel(level)) {
    placeBossCreature(w);  // the boss level has no other creatures and no turret guns
    return;
  }
  placeOrdinaryCreatures(w, level);
  placeTurretGuns(w, level);
}

void addTurretGun(World& w, int x, int y) {
  // The gun's dice are rolled like any creature's; only its facing is kept.
  Creature c = newCreature();
  c.x = x;
  c.y = y;
  c.colour = White;
  drawCreature(c);
  w.creatures.push_back(c);
  w.map.put(x, y, Floor());
}

void addInitSpecials(World& w, int level) {
  if (isBossLevel(level)) return;  // no breachable wall to repair
  const int layout = level % numLevels;
  const int first = layout > 5 ? 5 : layout;
  for (int count : {first, 1}) w.specials.push_back(repairer(count));
}

// Only a first roll that is accepted may become a boss creature, on levels 9 and 10. Bounded: after
// maxPlacementAttempts rejected rolls no reinforcement arrives this time.
void addCreature(World& w, int level) {
  int rolls = 0;
  const auto roll = [&rolls] {
    ++rolls;
    return newCreature();
  };
  std::optional<Creature> c = rollUntil(roll, [&w](const Creature& r) { return farEnoughFromPlayer(w, r); });
  if (!c) return;
  if (rolls == 1 && level >= 9 && lfDice({1, 15, 0}) == 1) c->colour = Magenta;
  drawCreature(*c);
  for (Creature& entry : w.creatures) {
    if (!entry.alive) {
      entry = *c;
      return;
    }
  }
  w.creatures.push_back(*c);
}
