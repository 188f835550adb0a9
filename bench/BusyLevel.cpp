// Builds the benchmark scenes with the game's own level generation, spawning and emitters.
#include "BusyLevel.h"

#include "dice/Lfrand.h"
#include "specials/Emitters.h"
#include "specials/Specials.h"

namespace {

constexpr int benchPower = 300;  // enough for every power, the disruptor included

struct Move {
  int dx;
  int dy;
  int key;
};
constexpr Move moves[] = {{1, 0, 'l'}, {0, 1, 'j'}, {-1, 0, 'h'}, {0, -1, 'k'}};

// Keeps the ship clear of the wreckage and bolts the set-up laid around it.
void clearAroundShip(World& w) {
  const Player& p = w.player;
  for (int x = p.x - 1; x <= p.x + 1; ++x) {
    for (int y = p.y - 1; y <= p.y + 1; ++y) {
      if (Map::contains(x, y) && !w.map.at(x, y).permanent) w.map.put(x, y, Floor());
    }
  }
}

// The first clear neighbour, looking from direction `first` round the compass.
int clearMoveKey(const GameState& game, int first) {
  const Player& p = game.world.player;
  for (int i = 0; i < 4; ++i) {
    const Move& m = moves[(first + i) % 4];
    if (isClear(game.world, p.x + m.dx, p.y + m.dy, false)) return m.key;
  }
  return 'l';
}

BenchScene withMoveKeys(GameState game) {
  std::vector<int> keys = clearMoveKeys(game, false);
  return {std::move(game), std::move(keys)};
}

}  // namespace

std::vector<int> clearMoveKeys(const GameState& game, bool fire) {
  const int key = clearMoveKey(game, 0);
  return fire ? std::vector<int>{'f', key} : std::vector<int>{key};
}

std::vector<int> playKeys(const GameState& game, int turn) {
  const int key = clearMoveKey(game, turn / 6);
  if (turn % 40 == 0) return {'d', key};
  if (turn % 7 == 0) return {'s', key};
  if (turn % 5 == 0) return {'q', key};
  if (turn % 3 == 0) return {'f', key};
  return {key};
}

BenchScene freshLevel(int level) {
  lfSrand(10 + level);
  return withMoveKeys(gameAtLevel(level, benchPower));
}

BenchScene busyLevelTen() {
  lfSrand(12);
  GameState game = gameAtLevel(10, benchPower);
  World& w = game.world;
  // As crowded as the busiest level-10 turns of random play: the soak's games there never have
  // more than the 13 creatures the level starts with, and one turn in a hundred has 39 or more
  // specials in flight. So: every creature of the level, bolts crossing from every side, three
  // creatures' quad lasers, single bolts, waves, two bombardments and a disruptor field.
  addSpecial(w, 1000, 2);
  addQuadLaser(w, 30, 6, Red, 0, 2);
  addQuadLaser(w, 50, 15, Red, 0, 2);
  addQuadLaser(w, 62, 4, White, 0, 2);
  addLaser(FRight, w, 5, 3, Red);
  addLaser(FLeft, w, 68, 18, Red);
  addLaser(FDown, w, 40, 2, Red);
  addLaser(FUp, w, 12, 19, Red);
  addShockwave(w, 20, 10);
  addShockwave(w, 55, 8);
  addShockwave(w, 35, 17);
  addSpecial(w, 1000, 1);
  addSpecial(w, 1000, 1);
  addDisruptor(FRight, w, 24, 11);
  // Two specials' turns set everything in motion: bolts in flight, waves spreading.
  actSpecials(w);
  actSpecials(w);
  clearAroundShip(w);
  return withMoveKeys(std::move(game));
}

BenchScene selfDestructLevelTen() {
  lfSrand(13);
  GameState game = gameAtLevel(10, benchPower);
  endLevel(game.world, true);
  game.bossHits = 10;  // as the driver leaves it once the brain has fallen
  clearAroundShip(game.world);
  return withMoveKeys(std::move(game));
}
