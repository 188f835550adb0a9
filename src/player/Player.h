// The player's turn and the weapon emitters that every shooter uses.
#pragma once

#include "world/WorldData.h"

// The player's half of a turn: reads keys until a command is complete, moves the ship, fires the
// chosen power. Returns whether the ship is alive after its move.
bool getCommand(World& w, int score);

// Clamps a position into the interior (columns 1..71, rows 1..20).
void adjustPos(int& x, int& y);

// Emitters: each appends specials to w.specials in a fixed order and draws nothing.
void addLaser(Facing facing, World& w, int x, int y, int colour);
void addWideLaser(Facing facing, World& w, int x, int y, int colour);
void addQuadLaser(World& w, int x, int y, int colour, int count, int distance);
void addShockwave(World& w, int x, int y);
void addDisruptor(Facing facing, World& w, int x, int y);
