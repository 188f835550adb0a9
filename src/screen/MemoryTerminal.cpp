// In-memory terminal: writes follow the curses rules the game relies on (a write that starts
// outside the grid is dropped; text past the right edge wraps; nothing scrolls).
#include "screen/MemoryTerminal.h"

bool MemoryTerminal::initPair(int pair, int foreground, int background) {
  if (refusePairs_ || pair < 1 || pair >= static_cast<int>(pairs_.size())) return false;
  pairs_[pair] = {foreground, background};
  return true;
}

bool MemoryTerminal::setKeypad(bool on) {
  keypad_ = on;
  return true;
}

bool MemoryTerminal::setCursorVisibility(int visibility) {
  if (refuseCursor_) return false;
  cursorVisibility_ = visibility;
  return true;
}

bool MemoryTerminal::moveTo(int x, int y) {
  if (x < 0 || x >= columns || y < 0 || y >= rows) return false;
  cursorX_ = x;
  cursorY_ = y;
  return true;
}

void MemoryTerminal::addText(std::string_view text) {
  ScreenCell look{' ', (attrs_ & attr::pairMask) >> attr::pairShift, (attrs_ & attr::bold) != 0,
                  (attrs_ & attr::reverse) != 0};
  for (char ch : text) {
    if (cursorY_ >= rows) break;  // past the bottom-right corner: curses drops the rest
    look.ch = ch;
    grid_[cursorY_][cursorX_] = look;
    if (++cursorX_ == columns) {
      cursorX_ = 0;
      ++cursorY_;
    }
  }
  if (cursorY_ >= rows) {  // the cursor stays on the last cell, as it does in curses
    cursorY_ = rows - 1;
    cursorX_ = columns - 1;
  }
}

void MemoryTerminal::putChar(int x, int y, char ch, int attrs) {
  if (!colours_) attrs = 0;
  if (!MemoryTerminal::moveTo(x, y)) return;
  grid_[y][x] = ScreenCell{ch, (attrs & attr::pairMask) >> attr::pairShift, (attrs & attr::bold) != 0,
                           (attrs & attr::reverse) != 0};
  if (++cursorX_ == columns) {
    cursorX_ = cursorY_ == rows - 1 ? columns - 1 : 0;
    if (cursorY_ < rows - 1) ++cursorY_;
  }
}

void MemoryTerminal::clear() {
  grid_ = Grid{};
  cursorX_ = 0;
  cursorY_ = 0;
}

int MemoryTerminal::readKey() {
  if (keyWaitHook_) keyWaitHook_(*this);
  if (keys_.empty()) throw ScriptExhausted{};
  const int code = keys_.front();
  keys_.pop_front();
  return code;
}

void MemoryTerminal::pushKeys(const std::string& text) {
  for (unsigned char ch : text) keys_.push_back(ch);
}

void MemoryTerminal::pushKeys(const std::vector<int>& codes) {
  keys_.insert(keys_.end(), codes.begin(), codes.end());
}

std::string MemoryTerminal::row(int y) const { return text(0, y, columns); }

std::string MemoryTerminal::text(int x, int y, int length) const {
  std::string out;
  for (int i = x; i < x + length && i < columns; ++i) out += grid_.at(y).at(i).ch;
  return out;
}
