// The narrow seam between the screen layer and a terminal: the handful of curses operations the
// game uses. Two backends implement it: the real curses terminal and an in-memory one for tests.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Attribute bits, numerically the same as the curses ones so the real backend passes them through.
namespace attr {
constexpr int pairShift = 8;
constexpr int pairMask = 0xff << pairShift;
constexpr int reverse = 1 << 18;
constexpr int bold = 1 << 21;
constexpr int colourPair(int pair) { return pair << pairShift; }
}  // namespace attr

// Key codes delivered by a terminal in keypad mode, as curses numbers them.
namespace keys {
constexpr int down = 258;
constexpr int up = 259;
constexpr int left = 260;
constexpr int right = 261;
constexpr int end = 0550;
constexpr int resize = 0632;  // not typed: the terminal's size changed
constexpr int escape = 27;
}  // namespace keys

// The guide: what the game shows in the space beyond its 80x24 screen, rows below it and columns
// right of it, wherever the terminal has that space. A line is drawn with one set of attributes.
struct GuideLine {
  std::string text;
  int attrs = 0;
  bool operator==(const GuideLine&) const = default;
};
struct Guide {
  std::vector<GuideLine> below;   // from the first row under the game, at its left edge
  std::vector<GuideLine> beside;  // from the top row, right of the game
  bool operator==(const Guide&) const = default;
};

// The guide with its first line below the game taken by a status line of a session's own (a
// replay's, a watch's); the rest stays the game's.
inline Guide withStatusLine(Guide guide, std::string status) {
  if (guide.below.empty()) guide.below.emplace_back();
  guide.below.front() = {std::move(status)};
  return guide;
}

class Terminal {
 public:
  virtual ~Terminal() = default;

  // Entering and leaving the terminal's full-screen mode.
  virtual void initialise() = 0;
  virtual void setCbreak(bool on) = 0;
  virtual void setEcho(bool on) = 0;
  virtual void startColour() = 0;
  virtual void finish() = 0;

  virtual bool hasColours() const = 0;
  // Returns false when the terminal refuses (curses ERR).
  virtual bool initPair(int pair, int foreground, int background) = 0;
  virtual bool setKeypad(bool on) = 0;
  virtual bool setCursorVisibility(int visibility) = 0;

  virtual void attributesOn(int attrs) = 0;
  virtual void attributesOff(int attrs) = 0;
  // Moves the cursor; false when (x, y) lies outside the terminal.
  virtual bool moveTo(int x, int y) = 0;
  // Writes text at the cursor with the attributes in force, wrapping at the right edge.
  virtual void addText(std::string_view text) = 0;
  // Writes one character at (x, y) with the given attributes and leaves the attributes off, as
  // attributesOn, moveTo, addText, attributesOff would; on a terminal without colours the character
  // is written plain. The arena is drawn a cell at a time, so this is one cheap call.
  virtual void putChar(int x, int y, char ch, int attrs) = 0;
  virtual void clear() = 0;
  virtual void refresh() = 0;
  // Sends what was drawn to the terminal at once. The game never needs it (a key read shows the
  // screen); showing a recording, whose screens change without a key read, does.
  virtual void showNow() { refresh(); }
  // A resize that came while no key was read (a replay shows screens between reads): while the
  // terminal is too small, waits as a key read would; then repaints. Nothing to do by default.
  virtual void followResize() {}
  // The guide to show from now on, with every update of the screen. A terminal without room
  // beyond 80x24 has nothing to show it in.
  virtual void showGuide(const Guide&) {}
  // Blocks until a key arrives and returns its code.
  virtual int readKey() = 0;
  // Brings the screen up to date and drops keys typed before it showed, and those of a key still
  // held. A scripted terminal's keys are typed when the game waits for them, so by default there is
  // nothing to drop.
  virtual void discardTypedKeys() {}
};
