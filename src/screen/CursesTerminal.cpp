// Real terminal backend over ncurses, with the care a player's terminal deserves: a clean report
// for unusable terminals, restoration on fatal signals, resize repaints and a short Escape delay.
#include "screen/CursesTerminal.h"

#include <curses.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

// Escape sequences arrive within a few milliseconds; a lone Escape should not freeze input.
constexpr int escapeDelayMs = 25;
const int fatalSignals[] = {SIGINT, SIGQUIT, SIGTERM, SIGHUP};

SCREEN* session = nullptr;

void restoreAndReraise(int signal) {
  // Leave curses mode so the shell gets back a sane terminal, then die as the signal intends.
  if (session != nullptr) {
    curs_set(1);
    endwin();
  }
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void installSignalHandlers() {
  for (int s : fatalSignals) {
    struct sigaction action {};
    action.sa_handler = restoreAndReraise;
    sigemptyset(&action.sa_mask);
    sigaction(s, &action, nullptr);
  }
}

void removeSignalHandlers() {
  for (int s : fatalSignals) std::signal(s, SIG_DFL);
}

std::string sizeText(int columns, int rows) { return std::to_string(columns) + "x" + std::to_string(rows); }

class CursesTerminal : public Terminal {
 public:
  void initialise() override {
    const char* term = std::getenv("TERM");
    if (term == nullptr || *term == '\0') throw TerminalUnusable("TERM is not set; cannot start the game");
    if (!isatty(STDIN_FILENO)) throw TerminalUnusable("standard input is not a terminal");
    session = newterm(nullptr, stdout, stdin);
    if (session == nullptr) {
      throw TerminalUnusable(std::string("unknown terminal type '") + term + "'");
    }
    set_term(session);
    if (COLS < neededColumns || LINES < neededRows) {
      const std::string have = sizeText(COLS, LINES);
      shutdown();
      throw TerminalUnusable("the terminal must be at least " + sizeText(neededColumns, neededRows) +
                             " characters; it is " + have);
    }
    set_escdelay(escapeDelayMs);
    installSignalHandlers();
  }
  // Outside a curses session (start-up failed, or already ended) there is nothing to restore.
  void setCbreak(bool on) override {
    if (session != nullptr) on ? cbreak() : nocbreak();
  }
  void setEcho(bool on) override {
    if (session != nullptr) on ? echo() : noecho();
  }
  void startColour() override { start_color(); }
  void finish() override { shutdown(); }
  bool hasColours() const override { return has_colors(); }
  bool initPair(int pair, int foreground, int background) override {
    return init_pair(static_cast<short>(pair), static_cast<short>(foreground), static_cast<short>(background)) != ERR;
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
  void clear() override { ::clear(); }
  void refresh() override { ::refresh(); }
  int readKey() override {
    for (;;) {
      const int key = wgetch(stdscr);
      if (key == KEY_RESIZE) {
        repaint();
        continue;
      }
      if (key == ERR) throw InputEnded("the terminal stopped delivering keys");
      return key;
    }
  }

 private:
  static void repaint() {
    // curses has already resized its screens; redraw everything from what it holds.
    clearok(curscr, TRUE);
    wrefresh(stdscr);
  }
  static void shutdown() {
    if (session == nullptr) return;
    endwin();
    removeSignalHandlers();
    delscreen(session);
    session = nullptr;
  }
};

}  // namespace

Terminal& cursesTerminal() {
  static CursesTerminal terminal;
  return terminal;
}
