// The disruptor field: travel and burn-out, the boss-brain hit, and the border (super-wall stop,
// the exit chance, blasting until then).
#include "common/Harness.h"
#include "specials/Specials.h"

namespace {

using DisruptorTest = ScreenTest;

Special field(int x, int y, int count) { return Special{x, y, Disruptor, count, '&', Red, Heavy}; }

// The next n rolls of one kind of dice for a seed, leaving the generator freshly seeded with it.
std::vector<int> rollsAhead(int seed, Dicespec dice, int n) {
  lfSrand(seed);
  std::vector<int> rolls;
  for (int i = 0; i < n; ++i) rolls.push_back(lfDice(dice));
  lfSrand(seed);
  return rolls;
}

// A seed whose twentieth 1-in-4 roll is a 1: the last cell then gets two waves.
int seedEndingInTwoWaves() {
  int seed = 1;
  while (rollsAhead(seed, Dicespec{1, 4, 0}, 20)[19] != 1) ++seed;
  return seed;
}

TEST_F(DisruptorTest, TravelsBulldozingAndBurnsOutOnItsTwentiethCell) {
  // count, heading: east, west, south and north; the last two start on the border to have room.
  const int starts[][5] = {{10, 10, 1, 1, 0}, {40, 10, 2, -1, 0}, {30, 0, 3, 0, 1}, {30, 21, 4, 0, -1}};
  for (int seed : {1, 2, 3, seedEndingInTwoWaves()}) {
    for (const auto& [x0, y0, count, dx, dy] : starts) {
      SCOPED_TRACE("seed " + std::to_string(seed) + " count " + std::to_string(count));
      World w = emptyWorld();
      w.map.put(x0 + 2 * dx, y0 + 2 * dy, InnerWallV());  // in its way: disrupted, then floor
      const std::vector<int> rolls = rollsAhead(seed, Dicespec{1, 4, 0}, 20);
      Special s = field(x0, y0, count);
      std::size_t waves = 0;
      for (int cell = 1; cell <= 20; ++cell) {
        EXPECT_EQ(doDisruptor(w, s), 0);
        EXPECT_EQ(w.map.at(s.x - dx, s.y - dy), Floor());
        ASSERT_EQ(std::pair(s.x, s.y), std::pair(x0 + cell * dx, y0 + cell * dy));
        waves += rolls[cell - 1] == 1;
        if (cell == 20) break;
        EXPECT_EQ(std::pair(s.count, w.map.at(s.x, s.y)), std::pair(count + 4 * cell, Disrupted()));
        EXPECT_EQ(w.specials.size(), waves);
      }
      EXPECT_EQ(std::pair(s.count, w.map.at(s.x, s.y)), std::pair(-1, Floor()));
      EXPECT_EQ(w.map.at(x0 + 2 * dx, y0 + 2 * dy), Floor());
      // The 1-in-4 roll comes first, so the last cell may get two waves.
      ASSERT_EQ(w.specials.size(), waves + 1);
      for (std::size_t i = w.specials.size() - (rolls[19] == 1 ? 2 : 1); i < w.specials.size(); ++i)
        EXPECT_EQ(w.specials[i], (Special{s.x, s.y, Shockwave, 0, '~', Blue, Heavy}));
    }
  }
}

TEST_F(DisruptorTest, HitsTheBrainOneTurnAfterEnteringIt) {
  World w = emptyWorld();
  w.map.put(15, 10, BossBrain());
  w.map.put(12, 7, InnerWallH());
  Special s = field(13, 10, 1);
  EXPECT_EQ(doDisruptor(w, s) + doDisruptor(w, s), 0);
  EXPECT_EQ(w.map.at(15, 10), BossBrain());  // entered, not disrupted
  const std::size_t before = w.specials.size();
  EXPECT_EQ(doDisruptor(w, s), 1);
  EXPECT_EQ(std::pair(s.count, w.map.at(15, 10)), std::pair(-1, Floor()));
  Terrain wreck = Wreckage();
  wreck.colour = Yellow;
  for (const auto& [x, y] : {std::pair{9, 4}, {21, 16}, {14, 10}}) EXPECT_EQ(w.map.at(x, y), wreck);
  EXPECT_EQ(w.map.at(8, 10), Floor());
  EXPECT_EQ(w.map.at(12, 7), InnerWallH());

  // Three volleys of four bolts, two cells out from the brain.
  ASSERT_EQ(w.specials.size(), before + 12);
  const int colours[] = {Magenta, White, Red};
  const std::pair<int, int> spots[] = {{17, 10}, {13, 10}, {15, 12}, {15, 8}};
  for (int i = 0; i < 12; ++i) {
    const Special& bolt = w.specials[before + i];
    EXPECT_EQ(std::tuple(bolt.colour, bolt.count, bolt.x, bolt.y),
              std::tuple(colours[i / 4], 2 * (i / 4), spots[i % 4].first, spots[i % 4].second));
  }
}

TEST_F(DisruptorTest, StopsAtASuperWallElseBlastsTheBorderUntilOneInTwentyOpensAnExit) {
  World walled = emptyWorld();
  for (int x = 0; x <= 72; ++x) walled.map.put(x, 0, SuperWallH()), walled.map.put(x, 21, SuperWallH());
  for (int y = 0; y <= 21; ++y) walled.map.put(0, y, SuperWallV()), walled.map.put(72, y, SuperWallV());
  walled.map.put(72, 0, SuperWallX());
  World w = walled;
  Special s = field(71, 10, 1);
  doDisruptor(w, s);
  EXPECT_EQ(std::pair(s.x, s.count), std::pair(72, 0));
  const Map before = w.map;
  EXPECT_EQ(before.at(72, 10), SuperWallV());
  doDisruptor(w, s);
  EXPECT_EQ(s.count, -1);
  EXPECT_EQ(w.map, before);  // no blast
  const int next = lfGetRand();
  lfSrand(1);
  EXPECT_EQ(lfGetRand(), next);  // stepping onto the border rolls nothing, nor does the stop

  int exits = 0, blasts = 0;
  for (int seed = 1; seed <= 200; ++seed) {
    const bool superCorner = seed % 2 == 0;  // a super-wall corner does not stop the field
    w = superCorner ? walled : emptyWorld();
    const int y = superCorner ? 0 : 10, top = superCorner ? 1 : 4;
    w.map.put(68, top + 2, Disrupted());
    s = field(72, y, 0);
    const bool exitRoll = rollsAhead(seed, Dicespec{1, 20, 0}, 1)[0] == 1;
    doDisruptor(w, s);
    EXPECT_EQ(std::pair(w.map.at(72, y), s.count),
              exitRoll ? std::pair(Exit(), -1) : std::pair(Disrupted(), 0));
    if (exitRoll) {
      ++exits;
      continue;
    }
    ++blasts;
    EXPECT_EQ(w.map.at(66, top).symbol, '#');  // the square, clamped to columns 66..71
    EXPECT_EQ(w.map.at(65, top), Floor());
    EXPECT_EQ(w.map.at(68, top + 2), Disrupted());  // permanent, kept
  }
  EXPECT_GT(exits, 0);
  EXPECT_GT(blasts, exits);
}

}  // namespace
