// Writes a recording of GAMES short games to standard output, for timing --cast and --verify on
// recordings of many games: seed 5, and in each game the ship steps left and right until it runs
// into its own trail, the next key brings up the end box, the table noted is all zeros, and 'y'
// plays again ('n' after the last game). The game itself decides where each game ends.
//   build-bench/bench/short-games 216000 > /tmp/4n.rec
#include <iostream>
#include <string>

#include "dice/Lfrand.h"
#include "game/Game.h"
#include "recordings/Recording.h"
#include "screen/ForwardingTerminal.h"
#include "screen/MemoryTerminal.h"
#include "screen/Screen.h"
#include "screen/TerminalInUse.h"

namespace {

constexpr std::uint32_t seed = 5;

struct OwnScreen {
  MemoryTerminal screen;
};

class ShortGames final : private OwnScreen, public ForwardingTerminal, public ScoreTable {
 public:
  explicit ShortGames(long games) : ForwardingTerminal(screen), games_(games) {}

  int readKey() override {
    int key = left_ ? 'h' : 'l';
    left_ = !left_;
    if (askedToPlayAgain_) {
      askedToPlayAgain_ = false;
      left_ = true;
      key = ++played_ < games_ ? 'y' : 'n';
    }
    std::cout << keyLine(key);
    return key;
  }

  KeptScore keep(int score) override {
    const std::vector<int> table(tableEntries, 0);
    std::cout << tableLine(table) << writtenLine();
    askedToPlayAgain_ = true;
    return mergeScore(table, score);
  }

 private:
  long games_;
  long played_ = 0;
  bool left_ = true;
  bool askedToPlayAgain_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2 || std::stol(argv[1]) < 1) {
    std::cerr << "usage: short-games GAMES\n";
    return 2;
  }
  ShortGames run(std::stol(argv[1]));
  const TerminalInUse installed(run);
  std::cout << recordingHeader(seed);
  lfSrand(static_cast<int>(seed));
  startScreen();
  playUntilDeclined(run);
  return 0;
}
