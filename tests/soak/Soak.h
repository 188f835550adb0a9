// The soak: many games of random keys played through the in-memory terminal, with the game's
// invariants checked after every turn. Used by the gridfall-soak tool and by its own tests.
#pragma once

#include <array>
#include <iosfwd>
#include <string>
#include <vector>

#include "game/Game.h"

struct SoakOptions {
  long long turns = 200'000;   // the run stops after this many turns in all
  int seed = 1;                // game g of the run is seeded with seed + g
  int level = 0;               // 1..10 plays only that level's start; 0 cycles through all ten
  int keysPerTurn = 50;        // a turn that asks for more keys than this never ended: an error
  int keysPerGame = 5'000;     // a game still going after this many keys ends by the key budget
  int maxSpecials = 10'000;    // the specials list must stay below this
  int maxCreatures = 100'000;  // so must the creature array (dead creatures keep their entries)
  int stallSeconds = 60;       // no turn ending for this long means a turn is stuck; 0: no watch
  int maxErrors = 100;         // the run stops early after this many errors; 0: never
};

struct SoakTally {
  long long turns = 0;
  long long games = 0;
  long long deaths = 0;
  long long wins = 0;        // games that left level 10 through its exit
  long long budgetEnds = 0;  // games cut off by the key budget or by the end of the run
  long long exits = 0;       // levels left through an exit
  long long errors = 0;
  std::array<long long, numLevels + 2> levelsReached{};  // [level] = times the ship was on it
};

// The keys of one step of play: one key, or a power letter with the direction it waits for.
// Random keys in every form the game accepts (all direction keys including the arrow codes, every
// power letter in both cases, teleports, blinks with a direction) and keys it must ignore. Most
// moves avoid walls and trails and head for an open exit, so games live long enough to use their
// powers, open exits and reach later levels.
std::vector<int> randomKeys(const GameState& game);

// What is wrong with the game after a turn that started with the ship at shipBefore; empty when
// every invariant holds.
std::vector<std::string> turnFaults(const GameState& game, const Player& shipBefore,
                                    const SoakOptions& options);

// Plays games until options.turns turns are done. Faults are written to `log` as they are found,
// one line each, naming the game's seed and start level so the game can be replayed alone.
SoakTally runSoak(const SoakOptions& options, std::ostream& log);

// The one-line summary of a run.
std::string summaryLine(const SoakTally& tally);
