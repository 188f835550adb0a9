// The screen layer over the in-memory terminal: start and end, refusals, weights, and the writing
// rules the golden scenarios rely on. The colours of the pairs show only on a real terminal; the
// end-to-end tests compare them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "screen/MemoryTerminal.h"
#include "screen/Screen.h"
#include "screen/TerminalInUse.h"

namespace {

class Screen : public ::testing::Test {
 protected:
  MemoryTerminal term;
  const TerminalInUse inUse{term};
};

TEST_F(Screen, StartAndEndSetUpAndRestoreTheTerminalAndOnlyAFailingPairIsAnError) {
  startScreen();
  EXPECT_TRUE(term.active() && term.cbreak() && !term.echo() && term.keypad() &&
              term.cursorVisibility() == 0);
  endScreen();
  EXPECT_FALSE(term.active() || term.cbreak() || !term.echo() || term.cursorVisibility() != 1);
  term.refusePairs(true);
  EXPECT_THROW(startScreen(), CursesError);
  MemoryTerminal spare;
  spare.refuseCursor(true);
  const TerminalInUse onSpare(spare);
  EXPECT_NO_THROW(startScreen());
  EXPECT_NO_THROW(endScreen());
  EXPECT_TRUE(spare.echo());
}

TEST_F(Screen, WeightsBecomeAttributesOnlyWhereDrawnAndOnlyWithColours) {
  printAtColour(0, 0, "w", Black, Heavy);
  printAtColour(1, 0, "w", Red, Light);
  printAt(2, 0, "f");
  const ScreenCell expected[] = {{'w', 8, true, false}, {'w', 1, false, false}, {'f', 0, false, false}};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(term.cell(i, 0), expected[i]) << i;
  EXPECT_EQ(getColourNumber2(-1), 7) << "an unknown colour draws white";
  MemoryTerminal mono(false);
  const TerminalInUse onMono(mono);
  printAtColour(3, 2, "X", Cyan, Heavy);
  EXPECT_EQ(mono.cell(3, 2), (ScreenCell{'X', 0, false, false})) << "no attributes without colours";
}

TEST_F(Screen, TextWrapsAtTheRightEdgeWritesOutsideAreDroppedAndClearingEmptiesAll) {
  printAt(78, 5, "abcd");
  EXPECT_EQ(term.text(78, 5, 2) + term.text(0, 6, 2), "abcd");
  for (auto [x, y] : {std::pair{80, 7}, {-1, 7}, {0, 24}}) printAt(x, y, "zz");
  for (int y = 0; y < MemoryTerminal::rows; ++y)
    EXPECT_THAT(term.row(y), ::testing::Not(::testing::HasSubstr("zz")));
  printAt(78, 23, "1234");  // nothing scrolls past the bottom-right corner
  EXPECT_EQ(term.text(78, 23, 2), "12");
  clearScreen();
  EXPECT_EQ(term.grid(), MemoryTerminal::Grid{});
}

}  // namespace
