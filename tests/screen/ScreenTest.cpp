// The screen layer over the in-memory terminal: start/end order, colour pairs, weights, writing.
#include <gtest/gtest.h>

#include "screen/MemoryTerminal.h"
#include "screen/Screen.h"

namespace {

class Screen : public ::testing::Test {
 protected:
  void SetUp() override { useTerminal(term); }
  void TearDown() override { useTerminal(spare); }
  MemoryTerminal term;
  MemoryTerminal spare;
};

TEST_F(Screen, StartAndEndSetUpAndRestoreTheTerminal) {
  startScreen();
  EXPECT_TRUE(term.active());
  EXPECT_TRUE(term.cbreak());
  EXPECT_FALSE(term.echo());
  EXPECT_TRUE(term.keypad());
  EXPECT_EQ(term.cursorVisibility(), 0);
  endScreen();
  EXPECT_FALSE(term.active());
  EXPECT_FALSE(term.cbreak());
  EXPECT_TRUE(term.echo());
  EXPECT_EQ(term.cursorVisibility(), 1);
}

TEST_F(Screen, ColourPairsAreColourOnBlackWithBlackInPairEight) {
  startScreen();
  const int expected[] = {Red, Green, Yellow, Blue, Magenta, Cyan, White, Black};
  for (int pair = 1; pair <= 8; ++pair) {
    EXPECT_EQ(term.pairForeground(pair), expected[pair - 1]) << pair;
    EXPECT_EQ(term.pairBackground(pair), Black) << pair;
  }
  EXPECT_EQ(getColourNumber2(Black), 8);
  for (int c = Red; c <= White; ++c) EXPECT_EQ(getColourNumber2(c), c);
  EXPECT_EQ(getColourNumber2(8), 7);
  EXPECT_EQ(getColourNumber2(-1), 7);
}

TEST_F(Screen, FailingPairIsACursesErrorButAHiddenCursorIsOptional) {
  term.refusePairs(true);
  EXPECT_THROW(startScreen(), CursesError);

  MemoryTerminal stubborn;
  stubborn.refuseCursor(true);
  useTerminal(stubborn);
  EXPECT_NO_THROW(startScreen());
  EXPECT_TRUE(stubborn.keypad());
  EXPECT_NO_THROW(endScreen());
  EXPECT_TRUE(stubborn.echo());
  EXPECT_THROW(hideCursor(), CursesError);
}

TEST_F(Screen, WeightsBecomeAttributesAndAreSwitchedOffAfterwards) {
  startScreen();
  printAtColour(0, 0, "a", Yellow, Heavy);
  printAtColour(1, 0, "b", Yellow, Light);
  printAtColour(2, 0, "c", Red, Inverse);
  printAtColour(3, 0, "d", Red, HeavyInverse);
  printAtColour(4, 0, "e", Black, Heavy);
  printAt(5, 0, "f");
  EXPECT_EQ(term.cell(0, 0), (ScreenCell{'a', 3, true, false}));
  EXPECT_EQ(term.cell(1, 0), (ScreenCell{'b', 3, false, false}));
  EXPECT_EQ(term.cell(2, 0), (ScreenCell{'c', 1, false, true}));
  EXPECT_EQ(term.cell(3, 0), (ScreenCell{'d', 1, true, true}));
  EXPECT_EQ(term.cell(4, 0), (ScreenCell{'e', 8, true, false}));
  EXPECT_EQ(term.cell(5, 0), (ScreenCell{'f', 0, false, false})) << "attributes leaked into printAt";
}

TEST_F(Screen, TerminalWithoutColoursGetsPlainText) {
  MemoryTerminal mono(false);
  useTerminal(mono);
  startScreen();
  printAtColour(3, 2, "XY", Cyan, HeavyInverse);
  EXPECT_EQ(mono.cell(3, 2), (ScreenCell{'X', 0, false, false}));
  EXPECT_EQ(mono.cell(4, 2), (ScreenCell{'Y', 0, false, false}));
}

TEST_F(Screen, PositionIsColumnThenRowAndTextWrapsAtTheRightEdge) {
  printAt(10, 3, "hi");
  EXPECT_EQ(term.text(10, 3, 2), "hi");
  printAt(78, 5, "abcd");
  EXPECT_EQ(term.text(78, 5, 2), "ab");
  EXPECT_EQ(term.text(0, 6, 2), "cd");
  // A write that starts outside the terminal is dropped, not written at the old cursor.
  printAt(80, 7, "zz");
  printAt(-1, 7, "zz");
  printAt(0, 24, "zz");
  for (int y = 0; y < MemoryTerminal::rows; ++y) EXPECT_EQ(term.row(y).find("zz"), std::string::npos);
  // Nothing scrolls past the bottom-right corner.
  printAt(78, 23, "1234");
  EXPECT_EQ(term.text(78, 23, 2), "12");
}

TEST_F(Screen, ClearBlanksTheGrid) {
  printAtColour(1, 1, "q", Red, Heavy);
  clearScreen();
  EXPECT_EQ(term.cell(1, 1), ScreenCell{});
}

TEST_F(Screen, KeysComeFromTheScriptAndAnEmptyScriptEndsTheRun) {
  term.pushKeys("ab");
  term.pushKey(keys::left);
  EXPECT_EQ(readChar(), 'a');
  waitChar();
  EXPECT_EQ(readChar(), 260);
  EXPECT_THROW(readChar(), ScriptExhausted);
}

}  // namespace
