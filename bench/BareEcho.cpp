// The baseline for keystroke-to-screen latency: the screen layer alone, echoing the code of each
// key it reads on the top line until 'Q' is pressed. No game is linked in.
#include <string>

#include "screen/Screen.h"

int main() {
  startScreen();
  printAt(0, 0, "press keys; Q quits");
  updateScreen();
  int presses = 0;
  for (int key = readChar(); key != 'Q'; key = readChar()) {
    printAt(0, 1, "key " + std::to_string(key) + " press " + std::to_string(++presses) + "   ");
    updateScreen();
  }
  endScreen();
  return 0;
}
