// Creatures: ordinary enemies (Red), turret guns (White) and boss creatures (Magenta).
#pragma once

#include "screen/Screen.h"

enum Facing { FLeft, FRight, FUp, FDown };

// The colour is also the creature's kind. A destroyed creature keeps its entry with alive false.
struct Creature {
  int x;
  int y;
  int colour;
  WeightName weight;
  bool alive;
  Facing facing;
  bool operator==(const Creature&) const = default;
};

// A random ordinary enemy: rolls x (2..69), then y (2..18), then its facing.
Creature newCreature();
