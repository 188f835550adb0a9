// The real terminal, through curses. The only code in the game that includes <curses.h>.
#pragma once

#include <string>

#include "errors/GameError.h"
#include "screen/Terminal.h"

// The terminal cannot be used at all (unknown terminal type, no cursor addressing, not a terminal).
// The program reports it in one line instead of starting a game.
class TerminalUnusable : public GameError {
 public:
  explicit TerminalUnusable(const std::string& description) : GameError("TerminalUnusable", description) {}
};

// A key read failed: the terminal hung up or input was closed. The game cannot go on.
class InputEnded : public GameError {
 public:
  explicit InputEnded(const std::string& description) : GameError("InputEnded", description) {}
};

// The smallest terminal the game can draw on: the 73-column arena and its status area need
// 75 columns (the power menu reaches column 74) and 24 rows. A smaller one holds the game, at the
// start as during play, until it grows.
constexpr int neededColumns = 75;
constexpr int neededRows = 24;

Terminal& cursesTerminal();
