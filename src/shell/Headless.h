// A recording played without a terminal: into an in-memory screen, with the recorded tables in place
// of the score file. It tells whether the recording fits the game and how each recorded game ended.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "recordings/Recording.h"
#include "screen/MemoryTerminal.h"

struct HeadlessGame {
  int score;
  int level;  // the level reached; 11 for a won game
  bool won;
  bool entered;           // the score entered the recorded table
  std::size_t endsAtKey;  // keys played when its end screen came up
};

struct HeadlessLevel {
  int level;
  std::size_t startsAtKey;  // keys played when it started: its first screen is the one after them
};

struct HeadlessRun {
  std::vector<HeadlessGame> games;
  std::vector<HeadlessLevel> levels;  // every level started, in order, of every game
  std::size_t keys = 0;               // recorded keys played
  bool fits = true;                   // every event fell where the game reads one
  std::string mismatch;               // when it parts ways: the file, the line and what the game wanted
  bool finished = false;              // the player declined another game: the run ended normally
};

// Called each time the game waits for a key, with the screen as it stands and the number of keys
// played so far, and once more at the end with the last screen.
using ScreenSeen = std::function<void(const MemoryTerminal&, std::size_t keysPlayed)>;

// Plays the whole recording of the file `name`. The dice are seeded with the recording's seed; the
// active terminal is restored afterwards. Never touches a file.
HeadlessRun playHeadless(const Recording& recording, const std::string& name, const ScreenSeen& seen = {});
