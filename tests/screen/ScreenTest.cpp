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

// The colours of the pairs show only on a real terminal; the end-to-end tests compare them.
TEST_F(Screen, StartSetsUpTheTerminalAndEndRestoresIt) {
  startScreen();
  EXPECT_TRUE(term.active() && term.cbreak() && !term.echo() && term.keypad());
  EXPECT_EQ(term.cursorVisibility(), 0);
  EXPECT_EQ(getColourNumber2(-1), 7) << "an unknown colour draws white";
  endScreen();
  EXPECT_FALSE(term.active() || term.cbreak() || !term.echo());
  EXPECT_EQ(term.cursorVisibility(), 1);
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

TEST_F(Screen, WeightsBecomeAttributesOnlyWhereDrawnAndOnlyWithColours) {
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
  clearScreen();
  EXPECT_EQ(term.grid(), MemoryTerminal::Grid{});

  MemoryTerminal mono(false);
  useTerminal(mono);
  startScreen();
  printAtColour(3, 2, "XY", Cyan, HeavyInverse);
  EXPECT_EQ(mono.cell(3, 2), (ScreenCell{'X', 0, false, false})) << "no attributes without colours";
  EXPECT_EQ(mono.cell(4, 2), (ScreenCell{'Y', 0, false, false}));
}

TEST_F(Screen, PositionIsColumnThenRowTextWrapsAndWritesOutsideAreDropped) {
  printAt(10, 3, "hi");
  EXPECT_EQ(term.text(10, 3, 2), "hi");
  printAt(78, 5, "abcd");
  EXPECT_EQ(term.text(78, 5, 2) + term.text(0, 6, 2), "abcd");
  for (auto [x, y] : {std::pair{80, 7}, {-1, 7}, {0, 24}}) printAt(x, y, "zz");
  for (int y = 0; y < MemoryTerminal::rows; ++y) EXPECT_EQ(term.row(y).find("zz"), std::string::npos);
  printAt(78, 23, "1234");  // nothing scrolls past the bottom-right corner
  EXPECT_EQ(term.text(78, 23, 2), "12");
}

}  // namespace
