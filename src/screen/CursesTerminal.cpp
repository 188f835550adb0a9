// Real terminal backend over ncurses, with the care a player's terminal deserves: a clean report
// for unusable terminals, restoration on fatal signals (TerminalGuard), resize repaints and a
// short Escape delay.
#include "screen/CursesTerminal.h"

#include <curses.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "errors/Text.h"
#include "screen/KeyWait.h"
#include "screen/TerminalGuard.h"

static_assert(keys::down == KEY_DOWN && keys::up == KEY_UP && keys::left == KEY_LEFT &&
                  keys::right == KEY_RIGHT && keys::end == KEY_END && keys::resize == KEY_RESIZE,
              "the game's key codes are the ones curses delivers");

namespace {

// Escape sequences arrive within a few milliseconds; a lone Escape should not freeze input.
constexpr int escapeDelayMs = 25;
// A held key repeats every 25 to 50 ms; a deliberate press comes later than this after the last.
constexpr int quietInputMs = 150;
// The game's screen; the guide uses what lies beyond it. The side guide is drawn one column clear
// of the game and only where all of its width fits.
constexpr int gameColumns = 80;
constexpr int gameRows = 24;
constexpr int sideGuideColumn = gameColumns + 1;
constexpr int sideGuideWidth = 25;

SCREEN* session = nullptr;
// A copy of the game's screen, brought up to date at every key read: a resize that cuts the screen
// down loses what no longer fits, and this brings it back. A pad, because curses never resizes pads.
WINDOW* kept = nullptr;

// A "dumb" or printing terminal has no cursor addressing; the arena would come out as a stream of
// text, so such a terminal is refused like an unknown one.
bool canPlaceCursor() {
  const char* move = tigetstr("cup");
  return move != nullptr && move != reinterpret_cast<char*>(-1);
}

std::string sizeText(int columns, int rows) { return std::to_string(columns) + "x" + std::to_string(rows); }

// What undoes curses' changes to the display, for a signal handler that cannot call curses.
std::string leaveText() {
  std::string text;
  for (const char* capability : {"sgr0", "cnorm", "rmkx", "rmcup"}) {
    const char* sequence = tigetstr(capability);
    if (sequence != nullptr && sequence != reinterpret_cast<char*>(-1)) text += sequence;
  }
  return text;
}

// NO_COLOR set to anything draws as on a monochrome terminal.
bool coloursWanted() {
  const char* noColour = std::getenv("NO_COLOR");
  return has_colors() && (noColour == nullptr || *noColour == '\0');
}

class CursesTerminal : public Terminal {
 public:
  void initialise() override {
    const char* term = std::getenv("TERM");
    if (term == nullptr || *term == '\0') throw TerminalUnusable("TERM is not set; cannot start the game");
    if (!isatty(STDIN_FILENO)) throw TerminalUnusable("standard input is not a terminal");
    if (!isatty(STDOUT_FILENO))
      throw TerminalUnusable("standard output is not a terminal; the game draws on it");
    use_tioctl(TRUE);  // curses too takes the size from the terminal, not from LINES and COLUMNS
    rememberTerminal(STDIN_FILENO);
    session = newterm(nullptr, stdout, stdin);
    if (session == nullptr) {
      releaseTerminal();
      throw TerminalUnusable("unknown terminal type '" + shown(term) + "'");
    }
    set_term(session);
    if (!canPlaceCursor()) {
      shutdown();
      throw TerminalUnusable("terminal type '" + shown(term) +
                             "' cannot move the cursor; cannot draw the game");
    }
    set_escdelay(escapeDelayMs);
    startOutputBuffering();
    kept = newpad(neededRows, neededColumns);
    if (kept == nullptr) {
      shutdown();
      throw TerminalUnusable("too little memory to start the screen");
    }
    colours = coloursWanted();
    guardTerminal(leaveText());
    // A terminal too small at the start waits to grow, as one that shrinks during a game does;
    // the fatal signals are guarded by now, so Ctrl-C leaves it cleanly.
    if (!bigEnough()) {
      cbreak();
      noecho();
      keypad(stdscr, TRUE);
      waitWhileTooSmall();
      erase();
    }
  }
  // Outside a curses session (start-up failed, or already ended) there is nothing to restore.
  void setCbreak(bool on) override {
    if (session != nullptr) on ? cbreak() : nocbreak();
  }
  void setEcho(bool on) override {
    if (session != nullptr) on ? echo() : noecho();
  }
  void startColour() override {
    if (colours) start_color();
  }
  void finish() override { shutdown(); }
  bool hasColours() const override { return colours; }
  bool initPair(int pair, int foreground, int background) override {
    return init_pair(static_cast<short>(pair), static_cast<short>(foreground),
                     static_cast<short>(background)) != ERR;
  }
  bool setKeypad(bool on) override { return keypad(stdscr, on ? TRUE : FALSE) != ERR; }
  bool setCursorVisibility(int visibility) override {
    return session == nullptr || curs_set(visibility) != ERR;
  }
  void attributesOn(int attrs) override { attr_on(static_cast<attr_t>(attrs), nullptr); }
  void attributesOff(int attrs) override { attr_off(static_cast<attr_t>(attrs), nullptr); }
  bool moveTo(int x, int y) override { return move(y, x) != ERR; }
  void addText(std::string_view text) override {
    waddnstr(stdscr, text.data(), static_cast<int>(text.size()));
  }
  void putChar(int x, int y, char ch, int attrs) override {
    if (!colours) attrs = 0;
    mvwaddch(stdscr, y, x, static_cast<chtype>(static_cast<unsigned char>(ch)) | static_cast<chtype>(attrs));
  }
  void clear() override { ::clear(); }
  // The game waits only in key reads, so what it draws is sent there, in one update just before it
  // blocks (readKey): one write(2) per turn instead of one for the status rows, one at the end of
  // the turn and one for the selection markers. The screen at every key wait is the same.
  void refresh() override {}
  void showNow() override { update(); }
  void showGuide(const Guide& guide) override { guide_ = guide; }
  int readKey() override {
    for (;;) {
      // Leaves stdscr untouched, so wgetch finds nothing to refresh and does not update twice.
      update();
      const int key = wgetch(stdscr);
      if (key == KEY_RESIZE) {
        repaintAfterResize();
        continue;
      }
      if (key == ERR) throw InputEnded("the terminal stopped delivering keys");
      if (key == keys::escape || key == KEY_MOUSE) discardRestOfSequence(key);
      return key;
    }
  }
  // Only a key read hears of a resize, so one is read without waiting; a key the viewer typed
  // at that moment is put back for the next read.
  void followResize() override {
    if (session == nullptr) return;
    // Nothing is read unless the size changed: a key put back is not seen by a wait on the input.
    const TerminalSize size = terminalSize();
    if (size.columns == COLS && size.rows == LINES) return;
    keepCopy();  // the read refreshes the screen, after which the copy could no longer see what changed
    wtimeout(stdscr, 0);
    const int key = wgetch(stdscr);
    wtimeout(stdscr, -1);
    if (key == KEY_RESIZE) {
      repaintAfterResize();
    } else if (key != ERR) {
      ungetch(key);
    }
  }
  // Keys count again only once the input has been quiet for a moment, so that a key held as the
  // screen appeared cannot answer it. The keys dropped are never read: no recording sees them.
  void discardTypedKeys() override {
    update();
    do {
      flushinp();
    } while (keyArrivesWithin(quietInputMs));
  }

 private:
  bool colours = false;
  Guide guide_;
  static constexpr int longestSequence = 64;

  // Mouse reports, pasted-text markers and terminal replies are escape sequences curses has no key
  // for: it hands them over byte by byte, and a "2" or "4" inside one would steer the ship. The
  // rest of such a sequence is dropped, so the whole of it counts as the one key already read.
  static void discardRestOfSequence(int first) {
    wtimeout(stdscr, escapeDelayMs);
    if (first == KEY_MOUSE) {
      for (int i = 0; i < 3 && nextSequenceByte() != ERR; ++i) {
      }
    } else {
      const int introducer = nextSequenceByte();
      if (introducer == '[') {
        skipControlSequence();
      } else if (introducer == ']') {
        skipStringSequence();
      } else if (introducer == 'O') {
        nextSequenceByte();
      } else if (introducer != ERR) {
        ungetch(introducer);  // Escape followed by an ordinary key: keep that key
      }
    }
    wtimeout(stdscr, -1);
  }
  // Parameters and intermediates (0x20..0x3f) up to the final byte (0x40..0x7e).
  static void skipControlSequence() {
    for (int i = 0; i < longestSequence; ++i) {
      const int c = nextSequenceByte();
      if (c >= 0x40 && c <= 0x7e) return;
      if (c < 0x20 || c > 0x3f) {
        if (c != ERR) ungetch(c);
        return;
      }
    }
  }
  // Up to BEL or ESC backslash.
  static void skipStringSequence() {
    for (int i = 0; i < longestSequence * 4; ++i) {
      const int c = nextSequenceByte();
      if (c == ERR || c == '\a') return;
      if (c == keys::escape) {
        nextSequenceByte();
        return;
      }
    }
  }
  // The next byte of a sequence, or ERR when none follows within the escape delay.
  static int nextSequenceByte() {
    const int c = wgetch(stdscr);
    if (c == KEY_RESIZE) {
      ungetch(KEY_RESIZE);  // handled by the next key read, which waits without a time limit
      return ERR;
    }
    return c;
  }
  static bool bigEnough() { return COLS >= neededColumns && LINES >= neededRows; }
  // One update of the terminal: the copy is kept first, since the guide is not part of it.
  void update() {
    keepCopy();
    drawGuide();
    wrefresh(stdscr);
  }
  void drawGuide() {
    if (!bigEnough()) return;
    for (int y = gameRows; y < LINES; ++y) {
      const std::size_t line = static_cast<std::size_t>(y - gameRows);
      drawGuideLine(0, y, line < guide_.below.size() ? guide_.below[line] : GuideLine{});
    }
    if (COLS < sideGuideColumn + sideGuideWidth) return;
    for (int y = 0; y < gameRows; ++y) {
      const std::size_t line = static_cast<std::size_t>(y);
      drawGuideLine(sideGuideColumn, y, line < guide_.beside.size() ? guide_.beside[line] : GuideLine{});
    }
  }
  // The rest of the row is blanked, so a shorter line leaves nothing of a longer one; the text is
  // cut at the right edge rather than wrapped onto the next row.
  void drawGuideLine(int x, int y, const GuideLine& line) {
    wmove(stdscr, y, x);
    wclrtoeol(stdscr);
    const int attrs = colours ? line.attrs : 0;
    attr_on(static_cast<attr_t>(attrs), nullptr);
    waddnstr(stdscr, line.text.c_str(), std::min(static_cast<int>(line.text.size()), COLS - x));
    attr_off(static_cast<attr_t>(attrs), nullptr);
  }
  // Called right before each update of the screen: the rows touched since the last update are the
  // only ones that can differ from the copy, so only they are copied.
  static void keepCopy() {
    if (kept == nullptr || !bigEnough()) return;
    for (int y = 0; y < neededRows; ++y) {
      if (is_linetouched(stdscr, y)) copywin(stdscr, kept, y, 0, y, 0, y, neededColumns - 1, FALSE);
    }
  }
  // Two things that cost system calls on every update without changing what is shown:
  // - By default curses polls the keyboard (poll(2)) every few rows of an update, to cut the update
  //   short when a key is waiting. The game draws a turn in full anyway: no polling.
  // - ncurses (6.4) flushes its output (a write(2)) after every cursor movement of an update for as
  //   long as the screen is in its initial state, which it reads as a low-level program driving
  //   the cursor itself and wanting each movement out at once. Only a refresh that comes back from
  //   endwin leaves that state; a program that never calls endwin stays in it. That made 7 to 15
  //   writes of a few dozen bytes for an ordinary turn of about 250 bytes. So the screen is
  //   suspended and resumed once here, before anything is drawn (nothing shows: the terminal only
  //   enters and leaves its alternate screen in one write); an update is then a single write(2),
  //   unless it outgrows curses' output buffer (2,235 bytes on an 80x24 terminal), as a full
  //   repaint of a busy arena does (its 3,332 bytes leave in two).
  static void startOutputBuffering() {
    typeahead(-1);
    endwin();
    doupdate();
  }
  // curses has already resized its screens. While the terminal is too small the game waits and
  // keys are not taken as commands; then the whole screen is drawn again from the kept copy.
  void repaintAfterResize() {
    waitWhileTooSmall();
    if (kept != nullptr) copywin(kept, stdscr, 0, 0, 0, 0, neededRows - 1, neededColumns - 1, FALSE);
    clearok(curscr, TRUE);
    drawGuide();
    wrefresh(stdscr);
  }
  static void waitWhileTooSmall() {
    followTerminalSize();
    while (!bigEnough()) {
      erase();
      const std::string text = "gridfall needs " + sizeText(neededColumns, neededRows) +
                               " characters; the terminal is " + sizeText(COLS, LINES);
      mvaddnstr(0, 0, text.c_str(), -1);
      wrefresh(stdscr);
      if (wgetch(stdscr) == ERR) throw InputEnded("the terminal stopped delivering keys");
      followTerminalSize();
    }
  }
  // With LINES and COLUMNS in the environment, curses keeps the size they had once a resize comes;
  // the terminal's own size is the one that counts.
  static void followTerminalSize() {
    const TerminalSize size = terminalSize();
    if (size.columns > 0 && size.rows > 0 && (size.columns != COLS || size.rows != LINES))
      resizeterm(size.rows, size.columns);
  }
  static void shutdown() {
    if (session == nullptr) return;
    if (kept != nullptr) {
      delwin(kept);
      kept = nullptr;
    }
    endwin();
    releaseTerminal();
    delscreen(session);
    session = nullptr;
  }
};

}  // namespace

Terminal& cursesTerminal() {
  static CursesTerminal terminal;
  return terminal;
}
