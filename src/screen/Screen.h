// The game's only access to the terminal: curses mode, colour pairs, text weights, positioned
// text, refresh and single-key input.
#pragma once

#include <string>
#include <vector>

#include "errors/GameError.h"
#include "screen/Terminal.h"

// Colour numbers, as curses numbers them.
constexpr int Black = 0;
constexpr int Red = 1;
constexpr int Green = 2;
constexpr int Yellow = 3;
constexpr int Blue = 4;
constexpr int Magenta = 5;
constexpr int Cyan = 6;
constexpr int White = 7;

// The weights the game draws with: bold, or not.
enum WeightName { Heavy, Light };

// Raised when curses reports a failure from init_pair or curs_set.
class CursesError : public GameError {
 public:
  explicit CursesError(const std::string& description) : GameError("CursesError", description) {}
};

// Chooses the terminal every screen operation talks to (the real curses terminal by default).
void useTerminal(Terminal& terminal);
Terminal& activeTerminal();

void startScreen();
void endScreen();
void printAt(int x, int y, const std::string& text);
void printAtColour(int x, int y, const std::string& text, int colour, WeightName weight);
// printAtColour for a single character: the same result on the screen, without building a text.
void printCharColour(int x, int y, char ch, int colour, WeightName weight);
int getColourNumber2(int colour);
int weightAttributes(WeightName weight);
// The attributes printAtColour draws a colour and weight with.
int colourAttributes(int colour, WeightName weight);
// Whether the terminal draws in colour (not under NO_COLOR, not on a monochrome terminal).
bool screenHasColours();
// The guide beyond the game's 80x24 screen, shown where the terminal has room for it: the lines
// below the game and the lines beside it, each replacing what that part showed before.
void guideBelow(std::vector<GuideLine> lines);
void guideBeside(std::vector<GuideLine> lines);
void clearScreen();
void updateScreen();
int readChar();
// Shows what was drawn and drops keys typed before it showed, so the next readChar waits for a
// key pressed with this screen in view.
void discardTypedKeys();
void waitChar();
void showCursor();
void hideCursor();
