// Creature steering: a mobile creature scores the four steps around it and takes the best one, or
// crashes into the chosen cell when that cell cannot be entered.
#include <array>
#include <cstdlib>

#include "creatures/Creature.h"
#include "dice/Lfrand.h"
#include "world/Headings.h"

namespace {

// Far above any score a legal step can reach (at most 60), so a blocked or reversing step is
// chosen only when every step is blocked.
constexpr int blockedPenalty = 1000;

// Steps are looked at in clockwise order from up (clockwiseOrder): the order of the dice and of the
// tie-breaking.
enum StepIndex { Up, Right, Down, Left };

using Scores = std::array<int, 4>;

int clampDistance(int d) {
  if (d > manyDistance) return manyDistance;
  if (d < -manyDistance) return -manyDistance;
  return d;
}

// Far away the creature heads straight for the player; close in, a step along one axis is worth the
// distance on the other, so it sidesteps out of the player's line instead of closing in.
Scores baseScores(const Creature& c, const Player& player) {
  const int dx = clampDistance(c.x - player.x);
  const int dy = clampDistance(c.y - player.y);
  if (std::abs(dx) <= chickenDistance && std::abs(dy) <= chickenDistance) {
    return {std::abs(dx), std::abs(dy), std::abs(dx), std::abs(dy)};
  }
  return {dy, -dx, -dy, dx};
}

// Turning back is penalised exactly like running into a wall.
int opennessTerm(const World& world, const Creature& c, Facing step) {
  const int tx = c.x + heading(step).dx;
  const int ty = c.y + heading(step).dy;
  if (isClear(world, tx, ty, true) && c.facing != opposite(step)) return adjacentBlock(world, tx, ty);
  return -blockedPenalty;
}

// Strict comparisons: among equal best scores the later step in the order up, right, down, left wins.
int chooseStep(const Scores& s) {
  if (s[Up] > s[Right] && s[Up] > s[Down] && s[Up] > s[Left]) return Up;
  if (s[Right] > s[Down] && s[Right] > s[Left]) return Right;
  if (s[Down] > s[Left]) return Down;
  return Left;
}

}  // namespace

int randomfactor(int value) { return value + lfDice(Dicespec{1, uncertainFactor, 0}); }

int moveCreature(World& world, Creature& creature) {
  Scores scores = baseScores(creature, world.player);
  for (std::size_t i = 0; i < clockwiseOrder.size(); ++i)
    scores[i] += opennessTerm(world, creature, clockwiseOrder[i]);
  scores[clockwiseIndex(creature.facing)] += turnAversion;
  // Four dice on every call, whatever follows, so a fixed seed replays the same moves.
  for (int& score : scores) score = randomfactor(score);

  const Facing chosen = clockwiseOrder[chooseStep(scores)];
  const int tx = creature.x + heading(chosen).dx;
  const int ty = creature.y + heading(chosen).dy;
  if (!isClear(world, tx, ty, true)) {
    // The blast is centred on the cell it ran into, not on the creature's own cell.
    creature.alive = false;
    explosionHere(world, tx, ty, creature.colour, false);
    return 1;
  }
  creature.x = tx;
  creature.y = ty;
  creature.facing = chosen;
  drawCreature(creature);
  return 0;
}
