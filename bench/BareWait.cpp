// The baseline for the game's memory and idle CPU: the screen layer alone, started on the
// terminal, showing one line and waiting for a key. No game is linked in.
#include "screen/Screen.h"

int main() {
  startScreen();
  printAt(0, 0, "waiting for a key");
  updateScreen();
  waitChar();
  endScreen();
  return 0;
}
