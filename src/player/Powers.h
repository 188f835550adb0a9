// The powers of the ship as the player's turn offers them: their numbers, costs and menu entries.
#pragma once

#include "world/WorldData.h"

// The powers, numbered as the selection that waits for a direction. The teleport acts at once and
// never waits, so its number 0 doubles as "nothing selected". The number is also the index of the
// marker cell just left of the power's menu entry.
enum PowerId { Teleport, FireLaser, WideLaser, QuadLaser, ShockwavePower, DisruptorPower, PhaseOut, Blink };
constexpr int powerCount = 8;
constexpr int noSelection = Teleport;

struct MenuEntry {
  const char* name;       // in the menu, with its key standing for the first letter
  const char* shortName;  // in the guide and the help
  int column;
  int row;
  int colour;
  WeightName weight;
  int cost;
};

// Indexed by PowerId.
inline constexpr MenuEntry menu[powerCount] = {
    {"Teleport", "teleport", 15, 22, Cyan, Light, teleportCost},
    {"Fire laser", "laser", 30, 22, Yellow, Heavy, laserCost},
    {"Wide laser", "wide laser", 45, 22, Yellow, Heavy, widelaserCost},
    {"Quad laser", "quad laser", 60, 22, Yellow, Heavy, quadlaserCost},
    {"Shockwave", "shockwave", 15, 23, Blue, Heavy, shockwaveCost},
    {"Disruptor", "disruptor", 30, 23, Red, Heavy, fieldisruptorCost},
    {"Phase-out", "phase-out", 45, 23, Cyan, Heavy, phaseCost},
    {"Blink", "blink", 60, 23, White, Heavy, jumpCost},
};

// The order in which the menu entries are drawn.
inline constexpr PowerId menuDrawingOrder[powerCount] = {Teleport,  FireLaser,      WideLaser, ShockwavePower,
                                                         QuadLaser, DisruptorPower, PhaseOut,  Blink};

inline bool affordable(int power, PowerId id) { return power >= menu[id].cost; }

// Shows the powers, their keys and costs, the affordable ones marked, and the rules a newcomer
// cannot guess, in the guide beside the game.
void guidePowers(int power);
