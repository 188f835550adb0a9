// --cast: a recording as an asciicast v2 terminal recording. The recording is played headless; at
// every key wait the output that turns the screen shown before into the game's screen is kept as
// one event: only the cells that changed, each with the colour, bold and reverse the game drew it
// with. A last event gives the viewer's terminal back. Times follow a steady pace, so the same
// recording always gives the same bytes.
#include <cstdio>
#include <ostream>

#include "shell/Json.h"
#include "shell/Program.h"

namespace {

// Pauses longer than this are cut short by players; a cast has none, but a viewer's seek may.
constexpr const char* idleTimeLimit = "1.0";

// The viewer's terminal as the cast found it: attributes reset and the cursor shown again, then the
// cursor on a fresh line below the picture's 24 rows, where the shell's prompt comes back. A move
// to row 24 and a newline rather than a move to row 25: a terminal of exactly 24 rows has no row 25
// (the move would stop on row 24 and the prompt would overwrite the picture's last row); the newline
// scrolls the picture up one line there and simply lands on row 25 of a taller one. The reset
// comes first so that a line scrolled in is blank, not in the colour of the last cell drawn.
constexpr const char* terminalGivenBack = "\x1b[0m\x1b[?25h\x1b[24;1H\r\n";

// The graphic rendition the game draws `cell` with, as one SGR sequence from a full reset: curses
// colour numbers are the terminal's eight colours, so a pair's foreground is 30 + its colour.
std::string renditionOf(const ScreenCell& cell, const MemoryTerminal& screen) {
  std::string code = "\x1b[0";
  // ';' as a character: g++ 12 at -O3 warns (-Wrestrict, wrongly) about a string literal put before
  // a temporary string.
  if (cell.pair > 0) {
    code += ';' + std::to_string(30 + screen.pairForeground(cell.pair));
    code += ';' + std::to_string(40 + screen.pairBackground(cell.pair));
  }
  if (cell.bold) code += ";1";
  if (cell.reverse) code += ";7";
  return code + "m";
}

// The game draws ASCII only; anything else would not be one cell on the viewer's terminal.
char printable(char ch) { return ch >= ' ' && ch <= '~' ? ch : '?'; }

// Keeps what the viewer's terminal shows and turns it into the game's next screen.
class Painter {
 public:
  std::string paint(const MemoryTerminal& screen) {
    std::string out;
    if (first_) {
      // A known start: attributes reset, cursor hidden (as the game hides it), screen cleared.
      out = "\x1b[0m\x1b[?25l\x1b[H\x1b[2J";
      first_ = false;
    }
    for (int y = 0; y < MemoryTerminal::rows; ++y) {
      for (int x = 0; x < MemoryTerminal::columns; ++x) {
        if (screen.cell(x, y) != shown_[y][x]) paintCell(out, x, y, screen);
      }
    }
    return out;
  }

 private:
  void paintCell(std::string& out, int x, int y, const MemoryTerminal& screen) {
    const ScreenCell& cell = screen.cell(x, y);
    if (x != cursorX_ || y != cursorY_)
      out += "\x1b[" + std::to_string(y + 1) + ";" + std::to_string(x + 1) + "H";
    if (const std::string rendition = renditionOf(cell, screen); rendition != rendition_) {
      out += rendition;
      rendition_ = rendition;
    }
    out += printable(cell.ch);
    shown_[y][x] = cell;
    // After the last column the cursor waits to wrap: the next cell is always reached by a move.
    cursorX_ = x + 1 < MemoryTerminal::columns ? x + 1 : -1;
    cursorY_ = y;
  }

  MemoryTerminal::Grid shown_{};  // a cleared terminal: blanks without colour
  std::string rendition_ = "\x1b[0m";
  int cursorX_ = -1;
  int cursorY_ = -1;
  bool first_ = true;
};

std::string timeAt(std::size_t keysPlayed, int pace) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", static_cast<double>(keysPlayed) / pace);
  return text;
}

std::string header(std::uint32_t seed) {
  return "{\"version\": 2, \"width\": 80, \"height\": 24, \"title\": " +
         jsonString("gridfall, seed " + std::to_string(seed)) +
         ", \"env\": {\"TERM\": \"xterm-256color\", \"SHELL\": \"/bin/sh\"}, \"idle_time_limit\": " +
         idleTimeLimit + "}\n";
}

// Built by appending, for g++ 12's sake as in renditionOf().
std::string event(std::size_t keysPlayed, int pace, const char* code, const std::string& data) {
  std::string line = "[";
  line += timeAt(keysPlayed, pace);
  line += ", \"";
  line += code;
  line += "\", ";
  line += jsonString(data);
  return line + "]\n";
}

// The markers that belong with each screen: games whose end screen came up there, then levels
// started there. Screens come in the order of their keys, so each list is walked once.
class Markers {
 public:
  Markers(const HeadlessRun& run, int pace) : run_(run), pace_(pace) {}

  void writeAt(std::size_t keysPlayed, std::ostream& out) {
    for (; game_ < run_.games.size() && run_.games[game_].endsAtKey <= keysPlayed; ++game_) {
      const HeadlessGame& game = run_.games[game_];
      if (game.endsAtKey == keysPlayed)
        out << event(keysPlayed, pace_, "m", "game over: " + std::to_string(game.score) + " points");
    }
    for (; level_ < run_.levels.size() && run_.levels[level_].startsAtKey <= keysPlayed; ++level_) {
      const HeadlessLevel& level = run_.levels[level_];
      if (level.startsAtKey == keysPlayed)
        out << event(keysPlayed, pace_, "m", "level " + std::to_string(level.level));
    }
  }

 private:
  const HeadlessRun& run_;
  int pace_;
  std::size_t game_ = 0;
  std::size_t level_ = 0;
};

}  // namespace

HeadlessRun writeCast(const CheckedRecording& checked, int pace, std::ostream& out) {
  out << header(checked.recording.seed);
  Painter painter;
  Markers markers(checked.run, pace);
  std::size_t lastKeys = 0;
  HeadlessRun run = playHeadless(checked.recording, checked.file,
                                 [&](const MemoryTerminal& screen, std::size_t keysPlayed) {
                                   out << event(keysPlayed, pace, "o", painter.paint(screen));
                                   markers.writeAt(keysPlayed, out);
                                   lastKeys = keysPlayed;
                                 });
  out << event(lastKeys, pace, "o", terminalGivenBack);
  return run;
}

// The recording is checked whole first and then played again as the cast is written, so nothing
// is written for one the game cannot follow and no more than a screen of the cast is ever held.
int printCast(const std::string& path, int pace, std::ostream& out, std::ostream& errors) {
  const std::optional<CheckedRecording> checked = checkRecording(path, {}, errors);
  if (!checked) return 1;
  writeCast(*checked, pace, out);
  return 0;
}
