// One game: the level loop, the fixed order of a turn, scoring, spawning and the boss counters.
#include <algorithm>

#include "creatures/Creature.h"
#include "dice/Lfrand.h"
#include "game/Game.h"
#include "game/Guide.h"
#include "player/Player.h"
#include "specials/Specials.h"

namespace {

constexpr int startingPower = 3;
constexpr int pointsPerBrainCell = 100;
constexpr int bonusPerLevel = 150;
constexpr int finalLevel = numLevels;
constexpr int brainCells = 6;
// bossHits values that mark a boss level as handled, so its exit opens only once.
constexpr int bossCreatureHandled = 2;
constexpr int brainHandled = 10;
// Threshold for reinforcements: a creature arrives when this roll beats the number of enemies.
constexpr Dicespec spawnDice{1, 4, 2};

// On the boss creature's level nothing spawns but an occasional handful of power-ups.
void spawnOnBossLevel(GameState& game, int points) {
  if (points == 0 && game.bossHits == 0) {
    if (lfDice({1, 10, 0}) == 1) addSpecial(game.world, game.score, 4);
  } else if (points > 0) {
    game.bossHits = 1;
  }
}

// Each destroyed creature brings two arrivals (at most ten per turn): a creature when the roll
// beats the number of enemies, otherwise a random special.
void spawnReinforcements(GameState& game, int points) {
  if (points <= 0) return;
  const int arrivals = 2 * std::min(points, 5);
  for (int i = 0; i < arrivals; ++i) {
    const int enemies = numEnemy(game.world);
    if (lfDice(spawnDice) > enemies) {
      addCreature(game.world, game.level);
    } else {
      addSpecial(game.world, game.score, 0);
    }
  }
}

void checkBosses(GameState& game) {
  if (game.bossHits == brainCells) {
    if (game.level == finalLevel) {
      endLevel(game.world, true);
      game.bossHits = brainHandled;
    }
  } else if (game.bossHits == 1 && isBossCreatureLevel(game.level)) {
    endLevel(game.world, false);
    game.bossHits = bossCreatureHandled;
  }
}

}  // namespace

GameState newGame() {
  GameState game{0, 1, newWorld(1), 0, true, false};
  game.world.player.power = startingPower;
  return game;
}

void playTurn(GameState& game) {
  const int shipX = game.world.player.x;
  const int shipY = game.world.player.y;
  game.alive = getCommand(game.world, game.score);
  // What destroyed the ship is on its cell now; the creatures and specials may change it.
  if (!game.alive) {
    const bool moved = game.world.player.x != shipX || game.world.player.y != shipY;
    guideShipLost(game.world, moved);
  }
  const int points = moveEnemy(game.world);
  game.score += points;
  if (isBossCreatureLevel(game.level)) {
    spawnOnBossLevel(game, points);
  } else {
    spawnReinforcements(game, points);
  }
  const int brainHits = actSpecials(game.world);
  game.bossHits += brainHits;
  game.score += pointsPerBrainCell * brainHits;
  checkBosses(game);
  refreshPaC(game.world);
  if (!game.alive) explosionHere(game.world, game.world.player.x, game.world.player.y, Cyan, true);
  updateScreen();
}

void leaveLevel(GameState& game) {
  if (!game.world.exitReached) return;
  game.score += bonusPerLevel * game.level;
  if (isBossLevel(game.level)) game.score *= 2;
  if (game.level == finalLevel) {
    game.won = true;
    game.level = finalLevel + 1;
  } else {
    nextLevel(game.world, game.level);
  }
  game.bossHits = 0;
}

std::pair<int, int> playGame(GameState game, const LevelSeen& levels) {
  while (game.alive && !game.won) {
    if (levels) levels(game.level);
    guideLevel(game.level);
    game.bossHits = 0;
    // The exit test comes first: a turn never starts on a level whose exit has been reached.
    while (!game.world.exitReached) {
      playTurn(game);
      if (!game.alive) break;
    }
    leaveLevel(game);
  }
  return {game.score, game.level};
}
