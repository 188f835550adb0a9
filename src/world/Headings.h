// The four headings and every way the game writes one down: a step, the laser bolt that flies that
// way with its symbol, the code a disruptor field carries, and the glyph of a creature facing it.
#pragma once

#include <array>

#include "world/WorldData.h"

struct Heading {
  int dx;
  int dy;
  SpecType bolt;
  char boltSymbol;
  int fieldCode;  // a travelling disruptor field's count, taken mod 4, keeps this
  char glyph;
};

// Indexed by Facing.
inline constexpr std::array<Heading, 4> headings{{
    {-1, 0, LaserW, '{', 2, '<'},  // FLeft
    {1, 0, LaserE, '}', 1, '>'},   // FRight
    {0, -1, LaserN, 'n', 4, '^'},  // FUp
    {0, 1, LaserS, 'u', 3, 'v'},   // FDown
}};

constexpr const Heading& heading(Facing facing) { return headings[facing]; }

// Up, right, down, left: a turret's turn and a creature's order of looking round.
inline constexpr std::array<Facing, 4> clockwiseOrder{FUp, FRight, FDown, FLeft};

constexpr int clockwiseIndex(Facing facing) {
  int i = 0;
  while (clockwiseOrder[i] != facing) ++i;
  return i;
}
constexpr Facing clockwise(Facing facing) { return clockwiseOrder[(clockwiseIndex(facing) + 1) % 4]; }
constexpr Facing opposite(Facing facing) { return clockwiseOrder[(clockwiseIndex(facing) + 2) % 4]; }

// The heading a travelling disruptor field keeps in its count.
constexpr Facing fieldFacing(int count) {
  for (Facing facing : clockwiseOrder) {
    if (heading(facing).fieldCode % 4 == count % 4) return facing;
  }
  return FDown;
}
