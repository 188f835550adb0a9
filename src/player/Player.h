// The player's turn.
#pragma once

#include "world/WorldData.h"

// The player's half of a turn: reads keys until a command is complete, moves the ship, fires the
// chosen power. Returns whether the ship is alive after its move.
bool getCommand(World& w, int score);
