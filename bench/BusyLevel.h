// Game states the benchmarks replay, from a fresh level to a crowded final level, and the keys
// that play them.
#pragma once

#include <vector>

#include "game/Game.h"
#include "screen/MemoryTerminal.h"
#include "screen/TerminalInUse.h"

// An in-memory terminal installed as the game's screen for the lifetime of the object; afterwards
// the terminal that was active before is active again.
struct MemoryScreen {
  MemoryTerminal term;
  TerminalInUse installed{term};
};

struct BenchScene {
  GameState game;
  std::vector<int> moveKeys;  // keys of one turn that moves the ship onto a clear cell
};

// A level as a game finds it on arrival, with power for every weapon.
BenchScene freshLevel(int level);
// Level 10 in the thick of a fight: twenty creatures, laser bolts and quad lasers crossing the
// arena, shockwaves spreading, a bombardment falling and a disruptor field in flight.
BenchScene busyLevelTen();
// Level 10 just after the boss brain fell: the arena flooded with specials and the self-destruct
// starting its sweep from the left.
BenchScene selfDestructLevelTen();

// Keys for one turn: a plain move onto a clear neighbour of the ship, or (fire = true) a laser fired
// in that direction. Falls back to moving right when the ship is boxed in.
std::vector<int> clearMoveKeys(const GameState& game, bool fire);
// Keys for turn number `turn` of a played benchmark: a move onto a clear cell, turning now and
// then, with the powers in a fixed rotation: a disruptor every 40th turn, a shockwave every 7th, a
// quad laser every 5th, a laser every 3rd.
std::vector<int> playKeys(const GameState& game, int turn);
