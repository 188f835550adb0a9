// The player's ship: its cell and its power points.
#pragma once

struct Player {
  int x;
  int y;
  int power;
  bool operator==(const Player&) const = default;
};

// A random start: rolls y (2..18) first, then x (2..19); power 0.
Player newPlayer();
