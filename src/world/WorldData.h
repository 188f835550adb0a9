// The world of one level: terrain, the map, specials, and the operations of the world model
// (terrain catalogue, map access and queries, level generation, rendering, explosions, spawning).
#pragma once

#include <array>
#include <deque>
#include <vector>

#include "screen/Screen.h"
#include "world/Constants.h"
#include "world/CreatureData.h"
#include "world/PlayerData.h"

struct Terrain {
  bool passable;
  bool permanent;
  char symbol;
  int colour;
  WeightName weight;
  bool operator==(const Terrain&) const = default;
};

// The terrain catalogue: every kind of cell the game uses, as (passable, permanent, symbol,
// colour, weight). Each call makes a fresh record; cells are recognised by comparing with these.
inline Terrain Floor() { return {true, false, '.', Black, Heavy}; }
inline Terrain Exit() { return {true, true, 'X', Cyan, Heavy}; }
inline Terrain PowerUp() { return {true, false, '!', Cyan, Heavy}; }
inline Terrain SmokingFloor() { return {true, false, '.', White, Light}; }
inline Terrain Wreckage() { return {false, false, '#', Red, Heavy}; }
inline Terrain PlayerTrail() { return {false, false, '*', Cyan, Light}; }
inline Terrain EnemyTrail() { return {false, false, '*', Red, Light}; }
inline Terrain LaserBoltV() { return {false, false, '|', Yellow, Heavy}; }
inline Terrain LaserBoltH() { return {false, false, '-', Yellow, Heavy}; }
inline Terrain Disrupted() { return {false, true, '&', Red, Heavy}; }
inline Terrain BossBrain() { return {false, true, '%', Magenta, Heavy}; }
inline Terrain InnerWallX() { return {false, true, '+', Green, Heavy}; }
inline Terrain InnerWallV() { return {false, true, '|', Green, Heavy}; }
inline Terrain InnerWallH() { return {false, true, '-', Green, Heavy}; }
inline Terrain SuperWallX() { return {false, true, '+', Yellow, Heavy}; }
inline Terrain SuperWallV() { return {false, true, '|', Yellow, Heavy}; }
inline Terrain SuperWallH() { return {false, true, '-', Yellow, Heavy}; }
inline Terrain OuterWallX() { return {false, true, '+', Yellow, Light}; }
inline Terrain OuterWallV() { return {false, true, '|', Yellow, Light}; }
inline Terrain OuterWallH() { return {false, true, '-', Yellow, Light}; }

constexpr int mapColumns = xSize + 1;  // 73
constexpr int mapRows = ySize + 1;     // 22

// The arena, indexed (x, y). All access goes through at() and put(), which are safe for any
// coordinate: a cell outside the arena reads as permanent, impassable outer wall and a write there
// is dropped, so no caller can reach outside the map whatever it passes.
class Map {
 public:
  Map();  // all Floor
  static bool contains(int x, int y) { return x >= 0 && x < mapColumns && y >= 0 && y < mapRows; }
  const Terrain& at(int x, int y) const { return contains(x, y) ? cells_[x][y] : beyond(); }
  void put(int x, int y, const Terrain& t) {
    if (contains(x, y)) cells_[x][y] = t;
  }
  bool operator==(const Map&) const = default;

 private:
  // What every cell beyond the arena reads as: wall that nothing may enter or change.
  static const Terrain& beyond();
  std::array<std::array<Terrain, mapRows>, mapColumns> cells_;
};

enum SpecType { Bombardment, LaserE, LaserW, LaserN, LaserS, Shockwave, Disruptor, Repairer, Destruct };

// A timed effect on the map. count -1 marks a finished special whose entry may be reused.
struct Special {
  int x;
  int y;
  SpecType kind;
  int count;
  char symbol;
  int colour;
  WeightName weight;
  bool operator==(const Special&) const = default;
};

// Specials live in a deque: handlers hold a reference to their own entry while they append new
// specials, and appending to a deque never moves the elements already there.
struct World {
  Map map;
  std::vector<Creature> creatures;
  Player player;
  std::deque<Special> specials;
  bool exitReached;
  int levelIndex;
};

// Map access and queries. The writers run for nearly every cell an effect touches, so they are
// inline. forceTerrain replaces any cell; setTerrain and setTColour leave permanent cells alone.
inline void forceTerrain(World& w, int x, int y, const Terrain& t) { w.map.put(x, y, t); }
inline void setTerrain(World& w, int x, int y, const Terrain& t) {
  if (!w.map.at(x, y).permanent) w.map.put(x, y, t);
}
inline void setTColour(World& w, int x, int y, int colour) {
  Terrain t = w.map.at(x, y);
  if (t.permanent) return;
  t.colour = colour;
  w.map.put(x, y, t);
}
bool isClear(const World& w, int x, int y, bool avoidPlayer);
int adjacentBlock(const World& w, int x, int y);
int numEnemy(const World& w);

// Rendering: map cell (x, y) is drawn at screen column x, row y.
inline void drawCell(int x, int y, char ch, int colour, WeightName weight) {
  printCharColour(x, y, ch, colour, weight);
}
// Without colours the ship's trail and a creature's would both be '*': a creature's (any trail not
// the ship's cyan) is drawn as 'o' there, and only there.
constexpr char monochromeCreatureTrail = 'o';
inline char shownSymbol(const Terrain& t) {
  const Terrain shipTrail = PlayerTrail();
  if (t.symbol == shipTrail.symbol && !t.passable && t.colour != shipTrail.colour && !screenHasColours())
    return monochromeCreatureTrail;
  return t.symbol;
}
inline void refreshCell(int x, int y, const Map& map) {
  const Terrain& t = map.at(x, y);
  drawCell(x, y, shownSymbol(t), t.colour, t.weight);
}
void drawPlayer(int x, int y);
void drawCreature(const Creature& c);
void refreshPaC(const World& w);

// Level generation.
World newWorld(int level);
void verticalWall(Map& map, int top, int bottom, int x);
void horizontalWall(Map& map, int left, int right, int y);
void turretBox(Map& map, int x, int y);
void addInitCreatures(World& w, int level);
void addTurretGun(World& w, int x, int y);
void addInitSpecials(World& w, int level);
void addCreature(World& w, int level);

// Explosions and random specials.
void explosionHere(World& w, int x, int y, int colour, bool big);
void addSpecial(World& w, int score, int selector);
