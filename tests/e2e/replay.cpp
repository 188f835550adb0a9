// gridfall-replay: plays a dice seed and a key script through the in-memory terminal and prints
// the whole screen every time the game waits for a key, so a real-terminal run can be compared
// with it cell by cell.
//
//   gridfall-replay [--plain] SEED [KEYCODE...]
//
// --plain gives a terminal without colours. Key codes are decimal curses codes (258..261 for the
// arrows). Output, one block per key wait:
//   wait N
//   text <80 characters>          (24 lines, rows 0..23)
//   look <80 cells of 4 letters>  (24 lines: foreground, background, bold, reverse)
// A foreground or background is a digit 0..7 or "d" (no colour pair); bold is "b" or "-",
// reverse "r" or "-". The last line is "end" when the player declined another game, "keys ran out"
// when the script ended first, or "error: ..." when the game failed.
#include <cstdlib>
#include <iostream>
#include <string>

#include "game/Game.h"
#include "screen/MemoryTerminal.h"
#include "screen/Screen.h"
#include "support/Lfrand.h"

namespace {

char colourLetter(int colour) { return static_cast<char>('0' + colour); }

std::string cellLook(const MemoryTerminal& term, const ScreenCell& cell) {
  std::string look;
  if (cell.pair == 0) {
    look += "dd";
  } else {
    look += colourLetter(term.pairForeground(cell.pair));
    look += colourLetter(term.pairBackground(cell.pair));
  }
  look += cell.bold ? 'b' : '-';
  look += cell.reverse ? 'r' : '-';
  return look;
}

void printScreen(std::ostream& out, int wait, const MemoryTerminal& term) {
  out << "wait " << wait << "\n";
  for (int y = 0; y < MemoryTerminal::rows; ++y) out << "text " << term.row(y) << "\n";
  for (int y = 0; y < MemoryTerminal::rows; ++y) {
    out << "look ";
    for (int x = 0; x < MemoryTerminal::columns; ++x) out << cellLook(term, term.cell(x, y));
    out << "\n";
  }
}

// The same sequence as the program itself, with the seed given instead of read from the clock.
void playLikeTheProgram(int seed) {
  lfSrand(seed);
  startScreen();
  bool again = true;
  while (again) {
    clearScreen();
    again = endGame(playGame());
  }
  endScreen();
}

int usage() {
  std::cerr << "usage: gridfall-replay [--plain] SEED [KEYCODE...]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int next = 1;
  bool colours = true;
  if (next < argc && std::string(argv[next]) == "--plain") {
    colours = false;
    ++next;
  }
  if (next >= argc) return usage();
  const int seed = std::atoi(argv[next++]);

  MemoryTerminal term(colours);
  for (; next < argc; ++next) term.pushKey(std::atoi(argv[next]));
  int waits = 0;
  term.onKeyWait([&waits](const MemoryTerminal& t) { printScreen(std::cout, ++waits, t); });
  useTerminal(term);

  try {
    playLikeTheProgram(seed);
    std::cout << "end\n";
  } catch (const ScriptExhausted&) {
    std::cout << "keys ran out\n";
  } catch (const std::exception& e) {
    std::cout << "error: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
