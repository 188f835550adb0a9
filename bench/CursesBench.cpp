// The game's drawing through the real curses backend into a pseudo-terminal: a whole-arena repaint
// and a busy turn, with the bytes curses writes for each.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <thread>

#include "BusyLevel.h"
#include "TurnTimes.h"
#include "dice/Lfrand.h"
#include "screen/CursesTerminal.h"

namespace {

// Puts a pseudo-terminal of 80x24 behind standard input and output for the lifetime of the object,
// so the curses backend starts on it exactly as it would on a player's terminal. A thread reads
// the other side as a terminal emulator would, counting the bytes.
class PtyScreen {
 public:
  PtyScreen() {
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 80;
    if (openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) throw std::runtime_error("openpty failed");
    setenv("TERM", "xterm-256color", 0);
    std::cout.flush();
    std::fflush(stdout);
    savedIn_ = dup(STDIN_FILENO);
    savedOut_ = dup(STDOUT_FILENO);
    dup2(slave_, STDIN_FILENO);
    dup2(slave_, STDOUT_FILENO);
    reader_ = std::thread([this] { drain(); });
  }
  ~PtyScreen() {
    std::fflush(stdout);
    dup2(savedIn_, STDIN_FILENO);
    dup2(savedOut_, STDOUT_FILENO);
    stop_ = true;
    reader_.join();
    for (int fd : {savedIn_, savedOut_, slave_, master_}) close(fd);
  }
  PtyScreen(const PtyScreen&) = delete;
  PtyScreen& operator=(const PtyScreen&) = delete;

  // Types one key, as the player's terminal would send it.
  void type(int key) {
    const char c = static_cast<char>(key);
    if (write(master_, &c, 1) != 1) throw std::runtime_error("cannot type into the pseudo-terminal");
  }
  // All bytes written so far, once the reader has caught up with the writer.
  long long settledBytes() {
    long long seen = -1;
    while (seen != bytes_) {
      seen = bytes_;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return seen;
  }

 private:
  void drain() {
    char buffer[1 << 16];
    pollfd p{master_, POLLIN, 0};
    while (!stop_) {
      if (poll(&p, 1, 5) <= 0) continue;
      const ssize_t n = read(master_, buffer, sizeof buffer);
      if (n > 0) bytes_ += n;
    }
  }

  int master_ = -1;
  int slave_ = -1;
  int savedIn_ = -1;
  int savedOut_ = -1;
  std::atomic<long long> bytes_{0};
  std::atomic<bool> stop_{false};
  std::thread reader_;
};

// curses mode on the pseudo-terminal, left again however the benchmark ends.
class CursesOn {
 public:
  CursesOn() {
    useTerminal(cursesTerminal());
    startScreen();
  }
  ~CursesOn() {
    endScreen();
    static MemoryTerminal spare(true);
    useTerminal(spare);  // curses has ended: stray drawing must not reach it
  }
  CursesOn(const CursesOn&) = delete;
  CursesOn& operator=(const CursesOn&) = delete;
};

void drawWholeArena(const World& w) {
  for (int y = 0; y <= ySize; ++y) {
    for (int x = 0; x <= xSize; ++x) refreshCell(x, y, w.map);
  }
  refreshPaC(w);
}

// Clearing first makes curses send every cell again: the cost of a full repaint, as after a
// resize or at the start of a level. The screen reaches the terminal where the game sends it, in
// the key read, so a key is typed and read each time.
void BM_CursesWholeArena(benchmark::State& state) {
  PtyScreen pty;
  const BenchScene scene = [] {
    const MemoryScreen offScreen;  // the scene is drawn as it is built
    return busyLevelTen();
  }();
  long long bytes = 0;
  {
    const CursesOn curses;
    const long long before = pty.settledBytes();
    for (auto _ : state) {
      clearScreen();
      drawWholeArena(scene.game.world);
      pty.type('x');
      readChar();
    }
    bytes = pty.settledBytes() - before;
  }
  state.counters["bytes_per_repaint"] = static_cast<double>(bytes) / static_cast<double>(state.iterations());
}

// A busy turn read from and drawn to the pseudo-terminal: the key arrives through curses and the
// turn's changes leave through it.
void BM_CursesTurnBusyLevel10(benchmark::State& state) {
  PtyScreen pty;
  long long bytes = 0;
  TurnTimes times;
  {
    const CursesOn curses;
    const BenchScene scene = busyLevelTen();
    drawWholeArena(scene.game.world);
    pty.type('x');
    readChar();  // sends the arena, before the bytes of the turns are counted
    GameState game = scene.game;
    const long long before = pty.settledBytes();
    int turn = 0;
    for (auto _ : state) {
      game = scene.game;
      lfSrand(++turn);
      for (int key : scene.moveKeys) pty.type(key);
      state.SetIterationTime(times.time([&] { playTurn(game); }));
    }
    bytes = pty.settledBytes() - before;
  }
  times.report(state);
  state.counters["bytes_per_turn"] = static_cast<double>(bytes) / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(BM_CursesWholeArena)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_CursesTurnBusyLevel10)->Unit(benchmark::kMicrosecond)->UseManualTime();
