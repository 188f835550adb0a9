// Screen operations over whichever terminal backend is active.
#include "screen/Screen.h"

#include "screen/CursesTerminal.h"

namespace {
Terminal* current = nullptr;
Guide guide;
bool guideUnsent = false;

void initialiseColourPairs() {
  // Pair p draws colour p on black; colour Black (0) cannot use pair 0, so it gets pair 8.
  const int foregrounds[] = {Red, Green, Yellow, Blue, Magenta, Cyan, White, Black};
  for (int pair = 1; pair <= 8; ++pair) {
    if (!activeTerminal().initPair(pair, foregrounds[pair - 1], Black)) {
      throw CursesError("init_pair(" + std::to_string(pair) + ") failed");
    }
  }
}
}  // namespace

// A terminal taking over hears of the guide as it stands, at its first key read (it may still be
// under construction now): the guide passes on only its changes, and a run played before (a resumed
// run's silent part, a check of its journal) may have set it already.
void useTerminal(Terminal& terminal) {
  current = &terminal;
  guideUnsent = true;
}

Terminal& activeTerminal() {
  if (current == nullptr) current = &cursesTerminal();
  return *current;
}

void startScreen() {
  Terminal& t = activeTerminal();
  t.initialise();
  t.setCbreak(true);
  t.setEcho(false);
  t.startColour();
  if (t.hasColours()) initialiseColourPairs();
  try {
    if (!t.setKeypad(true)) throw CursesError("keypad failed");
    hideCursor();
  } catch (const CursesError&) {
    // A terminal that refuses the keypad mode or cannot hide the cursor still plays: without the
    // keypad its arrow keys do nothing (the letters and digits still steer), and the cursor just
    // stays visible.
  }
}

void endScreen() {
  Terminal& t = activeTerminal();
  try {
    showCursor();
  } catch (const CursesError&) {
  }
  t.setCbreak(false);
  t.setEcho(true);
  t.finish();
}

void printAt(int x, int y, const std::string& text) {
  Terminal& t = activeTerminal();
  if (t.moveTo(x, y)) t.addText(text);
}

int getColourNumber2(int colour) {
  // Black cannot use pair 0 (the terminal's default colours), so it has pair 8; the other colours
  // have the pair of their own number, and anything unknown draws white.
  static constexpr int pairs[] = {8, 1, 2, 3, 4, 5, 6, 7};
  return colour >= Black && colour <= White ? pairs[colour] : 7;
}

int weightAttributes(WeightName weight) { return weight == Heavy ? attr::bold : 0; }

int colourAttributes(int colour, WeightName weight) {
  return attr::colourPair(getColourNumber2(colour)) | weightAttributes(weight);
}

bool screenHasColours() { return activeTerminal().hasColours(); }

void printAtColour(int x, int y, const std::string& text, int colour, WeightName weight) {
  Terminal& t = activeTerminal();
  if (!t.hasColours()) {
    printAt(x, y, text);
    return;
  }
  const int attrs = colourAttributes(colour, weight);
  t.attributesOn(attrs);
  printAt(x, y, text);
  t.attributesOff(attrs);
}

void printCharColour(int x, int y, char ch, int colour, WeightName weight) {
  activeTerminal().putChar(x, y, ch, colourAttributes(colour, weight));
}

// The terminal hears of the guide only when it changes: most turns change nothing in it.
void guideBelow(std::vector<GuideLine> lines) {
  if (lines == guide.below) return;
  guide.below = std::move(lines);
  activeTerminal().showGuide(guide);
}

void guideBeside(std::vector<GuideLine> lines) {
  if (lines == guide.beside) return;
  guide.beside = std::move(lines);
  activeTerminal().showGuide(guide);
}

void clearScreen() { activeTerminal().clear(); }
void updateScreen() { activeTerminal().refresh(); }
int readChar() {
  Terminal& t = activeTerminal();
  if (guideUnsent) {
    guideUnsent = false;
    t.showGuide(guide);
  }
  return t.readKey();
}
void waitChar() { readChar(); }
void discardTypedKeys() { activeTerminal().discardTypedKeys(); }

void showCursor() {
  if (!activeTerminal().setCursorVisibility(1)) throw CursesError("curs_set(1) failed");
}

void hideCursor() {
  if (!activeTerminal().setCursorVisibility(0)) throw CursesError("curs_set(0) failed");
}
