// Makes a terminal the screen layer's active one for the guard's lifetime; the terminal active
// before it is active again afterwards, so nothing leaves the layer pointing at a dead terminal.
#pragma once

#include "screen/Screen.h"

class TerminalInUse {
 public:
  explicit TerminalInUse(Terminal& term) : previous_(activeTerminal()) { useTerminal(term); }
  ~TerminalInUse() { useTerminal(previous_); }
  TerminalInUse(const TerminalInUse&) = delete;
  TerminalInUse& operator=(const TerminalInUse&) = delete;

 private:
  Terminal& previous_;
};
