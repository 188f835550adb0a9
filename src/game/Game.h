// The game driver: the turn loop, scoring, spawning, level transitions and the end of a game.
#pragma once

#include <functional>
#include <utility>

#include "game/ScoreKeeping.h"
#include "world/WorldData.h"

// Everything one game carries from turn to turn.
struct GameState {
  int score;
  int level;     // 1..10; 11 once the last level has been left through its exit
  World world;   // the current level
  int bossHits;  // boss progress of the current level
  bool alive;
  bool won;
};

// A fresh game on level 1 with the starting power.
GameState newGame();
// A game that starts directly on the given level (1..10), for tests and tools.
GameState gameAtLevel(int level, int power);

// One turn: player, creatures, score, spawning, specials, boss checks, drawing, refresh.
void playTurn(GameState& game);
// After a level's turn loop: the level bonus and the move to the next level, if the ship left.
void leaveLevel(GameState& game);
// Told each level as it starts (1 when a game starts), so tools that follow a run can mark it.
using LevelSeen = std::function<void(int level)>;
// Plays a game on the started screen from the given state (newGame(), or a game started on a later
// level for tests and tools) until it is won or lost; returns (score, level).
std::pair<int, int> playGame(GameState game, const LevelSeen& levels = {});

// Installs the next level and places the ship on a clear cell in its left part.
void nextLevel(World& world, int& level);
// How a game ended, as its end screen tells it.
struct GameEnd {
  int score;
  int level;  // numLevels + 1 for a won game
  bool entered;
};
using EndSeen = std::function<void(const GameEnd&)>;

// Shows the result and the high-score table, keeps the score in `table`, and asks whether to play
// again; `seen` learns the end before the question.
bool endGame(std::pair<int, int> result, ScoreTable& table, const EndSeen& seen = {});
// Games on the started screen until the player declines another.
void playUntilDeclined(ScoreTable& table, const EndSeen& seen = {}, const LevelSeen& levels = {});

// Before a game starts: throws the store's error when the table could not be read or saved, so
// that no game is played for a score that cannot be kept. Returns the table's best score.
int checkTableBeforePlay();
