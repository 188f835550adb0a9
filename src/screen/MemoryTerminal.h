// An in-memory 80x24 terminal for tests and tools: a grid of character, colour pair and weight,
// with curses-like writing rules and a scripted queue of keys.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "screen/Terminal.h"

// Thrown when the game waits for a key and the script has none left. It deliberately does not
// derive from std::exception, so the game's own error handling never mistakes it for a failure.
struct ScriptExhausted {};

struct ScreenCell {
  char ch = ' ';
  int pair = 0;  // 0: no colour pair
  bool bold = false;
  bool reverse = false;
  bool operator==(const ScreenCell&) const = default;
};

class MemoryTerminal final : public Terminal {
 public:
  static constexpr int columns = 80;
  static constexpr int rows = 24;
  using Grid = std::array<std::array<ScreenCell, columns>, rows>;  // grid[y][x]

  explicit MemoryTerminal(bool colours = true) : colours_(colours) {}

  void initialise() override { active_ = true; }
  void setCbreak(bool on) override { cbreak_ = on; }
  void setEcho(bool on) override { echo_ = on; }
  void startColour() override {}
  void finish() override { active_ = false; }
  bool hasColours() const override { return colours_; }
  bool initPair(int pair, int foreground, int background) override;
  bool setKeypad(bool on) override;
  bool setCursorVisibility(int visibility) override;
  void attributesOn(int attrs) override { attrs_ |= attrs; }
  void attributesOff(int attrs) override { attrs_ &= ~attrs; }
  bool moveTo(int x, int y) override;
  void addText(std::string_view text) override;
  void putChar(int x, int y, char ch, int attrs) override;
  void clear() override;
  void refresh() override {}
  int readKey() override;

  // Script of keys, consumed in order by readKey.
  void pushKeys(const std::string& text);
  void pushKeys(const std::vector<int>& codes);
  std::size_t keysLeft() const { return keys_.size(); }
  // Called with the screen each time the game waits for a key, before the key is taken.
  void onKeyWait(std::function<void(const MemoryTerminal&)> hook) { keyWaitHook_ = std::move(hook); }

  // Inspection.
  const ScreenCell& cell(int x, int y) const { return grid_.at(y).at(x); }
  const Grid& grid() const { return grid_; }
  std::string row(int y) const;
  std::string text(int x, int y, int length) const;
  bool active() const { return active_; }
  bool cbreak() const { return cbreak_; }
  bool echo() const { return echo_; }
  bool keypad() const { return keypad_; }
  int cursorVisibility() const { return cursorVisibility_; }
  int pairForeground(int pair) const { return pairs_.at(pair).first; }
  int pairBackground(int pair) const { return pairs_.at(pair).second; }

  // Failure switches, for terminals that refuse these requests.
  void refuseCursor(bool refuse) { refuseCursor_ = refuse; }
  void refusePairs(bool refuse) { refusePairs_ = refuse; }

 private:
  Grid grid_{};
  std::array<std::pair<int, int>, 256> pairs_{};
  std::deque<int> keys_;
  std::function<void(const MemoryTerminal&)> keyWaitHook_;
  bool colours_;
  bool active_ = false;
  bool cbreak_ = false;
  bool echo_ = true;
  bool keypad_ = false;
  bool refuseCursor_ = false;
  bool refusePairs_ = false;
  int cursorVisibility_ = 1;
  int attrs_ = 0;
  int cursorX_ = 0;
  int cursorY_ = 0;
};
