// The end of a game: the result box, the table of the five best scores, and "Play again?".
#include <string>
#include <vector>

#include "game/Game.h"
#include "game/Guide.h"
#include "game/ScoreKeeping.h"
#include "player/KeyMap.h"
#include "store/ScoreFile.h"

namespace {

constexpr int boxLeft = 11;
constexpr int boxRight = 61;
constexpr int boxTop = 4;
constexpr int boxBottom = 17;
constexpr int textColumn = 13;

void drawBox() {
  for (int x = boxLeft; x <= boxRight; ++x) {
    const std::string piece = (x == boxLeft || x == boxRight) ? "+" : "-";
    printAtColour(x, boxTop, piece, Yellow, Heavy);
    printAtColour(x, boxBottom, piece, Yellow, Heavy);
  }
  // Built in place rather than as "|" + blanks + "|": g++ 12 at -O3 misreads that concatenation
  // as an overlapping copy (-Wrestrict), and this is no less clear.
  std::string side(boxRight - boxLeft + 1, ' ');
  side.front() = '|';
  side.back() = '|';
  for (int y = boxTop + 1; y < boxBottom; ++y) printAtColour(boxLeft, y, side, Yellow, Heavy);
}

void drawResult(int score, int level) {
  printAtColour(31, 5, "Game Over", Cyan, Heavy);
  if (level > numLevels) {
    printAt(textColumn, 7, "You destroyed the final boss and won the game!");
  } else {
    printAt(textColumn, 7, "You were killed on level " + std::to_string(level) + ".");
  }
  printAt(textColumn, 8, "You scored " + std::to_string(score) + " points.");
}

void drawTable(const std::vector<int>& table, int score) {
  for (int i = 1; i <= tableEntries; ++i) {
    const int entry = table[i - 1];
    printAtColour(textColumn, 9 + i, scoreLine(i, entry), Yellow, entry == score ? Heavy : Light);
  }
}

}  // namespace

bool endGame(std::pair<int, int> result, ScoreTable& table, const EndSeen& seen) {
  const auto [score, level] = result;
  // Keys typed before a screen showed (a held key when the ship died) must not dismiss it unseen.
  discardTypedKeys();
  readChar();  // the last screen of the game stays until a key is pressed
  drawBox();
  drawResult(score, level);
  const KeptScore kept = table.keep(score);
  guideBestScore(kept.table.front());
  if (seen) seen({score, level, kept.entered});
  if (kept.entered) printAtColour(textColumn, 9, "You got a new high score!", White, Heavy);
  drawTable(kept.table, score);
  printAtColour(29, 16, "Play again? (Y/n)", Green, Heavy);
  discardTypedKeys();
  return commandForKey(readChar()) != Command::DeclineAnother;
}

void playUntilDeclined(ScoreTable& table, const EndSeen& seen, const LevelSeen& levels) {
  for (bool again = true; again;) {
    clearScreen();
    again = endGame(playGame(newGame(), levels), table, seen);
  }
}

int checkTableBeforePlay() { return checkScoreTable().front(); }
