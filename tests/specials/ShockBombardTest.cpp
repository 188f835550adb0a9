// Shockwaves (the stop rule, rings clamped at the border, the wipe) and bombardment countdowns.
#include "common/Harness.h"
#include "specials/Specials.h"

namespace {

using ShockBombardTest = ScreenTest;

World trailedWorld() {
  World w = emptyWorld();
  fill(w, 1, 1, 71, 20, EnemyTrail());
  return w;
}

Special wave(int x, int y, int count) { return Special{x, y, Shockwave, count, '~', Blue, Heavy}; }

TEST_F(ShockBombardTest, WaveStopsWhenTheRollFallsBelowItsRadiusHavingSweptASquareAndLeftNoRingOnScreen) {
  int stops[9] = {};
  for (int seed = 1; seed <= 150; ++seed) {
    lfSrand(seed);
    int rolls[9];
    for (int& roll : rolls) roll = lfDice(Dicespec{2, 3, 1});
    lfSrand(seed);
    World w = trailedWorld();
    w.map.put(33, 10, InnerWallX());
    Special s = wave(36, 10, 0);
    doShock(w, s);  // clears its centre, rolling nothing
    EXPECT_EQ(std::pair(s.count, w.map.at(36, 10)), std::pair(1, Floor()));
    int radius = 1;
    for (; radius <= 8; ++radius) {
      const Map before = w.map;
      doShock(w, s);
      const bool stopped = s.count == -1;
      ASSERT_EQ(stopped, rolls[radius - 1] < radius) << "seed " << seed << " radius " << radius;
      if (stopped) {
        EXPECT_EQ(w.map, before);  // a wave that stops changes nothing more
        break;
      }
    }
    ASSERT_LE(radius, 8) << "seed " << seed << ": the wave never stopped";
    ++stops[radius];
    const int reach = radius - 1;  // the ring that stopped was never drawn
    World swept = trailedWorld();
    fill(swept, 36 - reach, 10 - reach, 36 + reach, 10 + reach, Floor());
    swept.map.put(33, 10, InnerWallX());
    EXPECT_EQ(w.map, swept.map);
    for (int y = 0; y < MemoryTerminal::rows; ++y) ASSERT_EQ(term.row(y).find('~'), std::string::npos);
  }
  // Never at radius 1 to 3, always by 8; the dice decide in between.
  EXPECT_EQ(stops[1] + stops[2] + stops[3], 0);
  for (int radius = 4; radius <= 6; ++radius) EXPECT_GT(stops[radius], 0) << radius;
}

TEST_F(ShockBombardTest, RingAtTheCornerIsClampedAndItsBorderEdgesRedrawn) {
  World w = trailedWorld();
  w.map.put(5, 3, InnerWallV());
  Map expected = w.map;
  for (int i = 1; i <= 5; ++i)
    for (const auto& [x, y] : {std::pair{i, 1}, {i, 5}, {1, i}, {5, i}})
      if (!expected.at(x, y).permanent) expected.put(x, y, Floor());
  Special s = wave(2, 2, 3);
  doShock(w, s);
  EXPECT_EQ(s.count, 4);
  EXPECT_EQ(w.map, expected);
  const ScreenCell painted = expectedCell('~', Blue, Heavy);
  for (const auto& [x, y] : {std::pair{1, 1}, {5, 1}, {1, 2}, {1, 5}, {3, 5}, {5, 4}})
    EXPECT_EQ(term.cell(x, y), painted);
  EXPECT_NE(term.cell(5, 3), painted);  // the wall is neither painted nor changed
  // Row 1 and column 1 are the first interior row and column: redrawn from the map at once.
  EXPECT_EQ(term.cell(3, 1), expectedCell('.', Black, Heavy));
  EXPECT_EQ(term.cell(1, 3), expectedCell('.', Black, Heavy));
  EXPECT_EQ(term.cell(3, 2), expectedCell('*', Red, Light));  // last turn's ring, wiped
}

TEST_F(ShockBombardTest, BombardmentCountsDownThenExplodes) {
  World w = emptyWorld();
  const Map before = w.map;
  w.specials = {Special{20, 10, Bombardment, 3, '+', Green, Light}};
  for (WeightName weight : {Light, Light, Heavy}) {
    actSpecials(w);
    EXPECT_EQ(term.text(19, 10, 3), "[+]");
    EXPECT_EQ(term.cell(20, 10), expectedCell('+', Green, weight));
    EXPECT_EQ(w.map, before);
  }
  actSpecials(w);
  EXPECT_EQ(w.map.at(20, 10).symbol, '#');  // the larger blast: wreckage in a plus sign
  EXPECT_EQ(w.map.at(21, 10).symbol, '#');
  EXPECT_TRUE(w.specials.empty());  // finished with -1 and dropped
}

}  // namespace
