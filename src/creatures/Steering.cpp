// Creature steering: a mobile creature scores the four steps around it and takes the best one, or
// crashes into the chosen cell when that cell cannot be entered.
#include <array>
#include <cstdlib>

#include "creatures/Creature.h"
#include "dice/Lfrand.h"

namespace {

// Far above any score a legal step can reach (at most 60), so a blocked or reversing step is
// chosen only when every step is blocked.
constexpr int blockedPenalty = 1000;

struct Step {
  int dx;
  int dy;
  Facing heading;   // the facing after taking this step
  Facing reversed;  // the facing from which this step would turn the creature round
};

// Index order up, right, down, left: the order of the dice and of the tie-breaking.
enum StepIndex { Up, Right, Down, Left };
constexpr std::array<Step, 4> steps{{
    {0, -1, FUp, FDown},
    {1, 0, FRight, FLeft},
    {0, 1, FDown, FUp},
    {-1, 0, FLeft, FRight},
}};

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
int opennessTerm(const World& world, const Creature& c, const Step& step) {
  const int tx = c.x + step.dx;
  const int ty = c.y + step.dy;
  if (isClear(world, tx, ty, true) && c.facing != step.reversed) return adjacentBlock(world, tx, ty);
  return -blockedPenalty;
}

int headingIndex(Facing facing) {
  switch (facing) {
    case FUp: return Up;
    case FRight: return Right;
    case FDown: return Down;
    case FLeft: return Left;
  }
  return Up;
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
  for (std::size_t i = 0; i < steps.size(); ++i) scores[i] += opennessTerm(world, creature, steps[i]);
  scores[headingIndex(creature.facing)] += turnAversion;
  // Four dice on every call, whatever follows, so a fixed seed replays the same moves.
  for (int& score : scores) score = randomfactor(score);

  const Step& chosen = steps[chooseStep(scores)];
  const int tx = creature.x + chosen.dx;
  const int ty = creature.y + chosen.dy;
  if (!isClear(world, tx, ty, true)) {
    // The blast is centred on the cell it ran into, not on the creature's own cell.
    creature.alive = false;
    explosionHere(world, tx, ty, creature.colour, false);
    return 1;
  }
  creature.x = tx;
  creature.y = ty;
  creature.facing = chosen.heading;
  drawCreature(creature);
  return 0;
}
