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

World superWalled() {
  World w = emptyWorld();
  for (int x = 0; x <= 72; ++x) w.map.put(x, 0, SuperWallH()), w.map.put(x, 21, SuperWallH());
  for (int y = 0; y <= 21; ++y) w.map.put(0, y, SuperWallV()), w.map.put(72, y, SuperWallV());
  w.map.put(72, 0, SuperWallX());
  return w;
}

TEST_F(DisruptorTest, TravelsBulldozingAndBurnsOutOnItsTwentiethCell) {
  struct Start {
    int x, y, count, dx, dy;
  };
  // East, west, south and north; the last two start on the border to have twenty cells of room.
  const Start starts[] = {{10, 10, 1, 1, 0}, {40, 10, 2, -1, 0}, {30, 0, 3, 0, 1}, {30, 21, 4, 0, -1}};
  for (int seed : {1, 2, 3, 7, 42}) {
    for (const Start& start : starts) {
      SCOPED_TRACE("seed " + std::to_string(seed) + " count " + std::to_string(start.count));
      World w = emptyWorld();
      w.map.put(start.x, start.y, InnerWallX());  // where the emitter put it: floor after the first turn
      const int wallX = start.x + 2 * start.dx, wallY = start.y + 2 * start.dy;
      w.map.put(wallX, wallY, InnerWallV());  // in its way: disrupted, then floor
      const std::vector<int> rolls = rollsAhead(seed, Dicespec{1, 4, 0}, 20);
      Special s = field(start.x, start.y, start.count);
      std::size_t waves = 0;
      for (int cell = 1; cell <= 20; ++cell) {
        EXPECT_EQ(doDisruptor(w, s), 0);
        EXPECT_EQ(w.map.at(s.x - start.dx, s.y - start.dy), Floor());
        ASSERT_EQ(std::pair(s.x, s.y), std::pair(start.x + cell * start.dx, start.y + cell * start.dy));
        waves += rolls[cell - 1] == 1;
        if (cell == 20) break;
        EXPECT_EQ(s.count, start.count + 4 * cell);
        EXPECT_EQ(w.map.at(s.x, s.y), Disrupted());
        EXPECT_EQ(w.specials.size(), waves);
      }
      EXPECT_EQ(s.count, -1);
      EXPECT_EQ(w.map.at(s.x, s.y), Floor());
      EXPECT_EQ(w.map.at(wallX, wallY), Floor());
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
  EXPECT_EQ(doDisruptor(w, s), 0);
  EXPECT_EQ(doDisruptor(w, s), 0);
  EXPECT_EQ(w.map.at(15, 10), BossBrain());  // entered, not disrupted
  const std::size_t before = w.specials.size();
  EXPECT_EQ(doDisruptor(w, s), 1);
  EXPECT_EQ(s.count, -1);
  EXPECT_EQ(w.map.at(15, 10), Floor());
  Terrain wreck = Wreckage();
  wreck.colour = Yellow;
  for (const auto& [x, y] : {std::pair{9, 4}, {21, 16}, {14, 10}}) EXPECT_EQ(w.map.at(x, y), wreck);
  EXPECT_EQ(w.map.at(8, 10), Floor());
  EXPECT_EQ(w.map.at(12, 7), InnerWallH());

  ASSERT_EQ(w.specials.size(), before + 12);
  const int colours[] = {Magenta, White, Red}, counts[] = {0, 2, 4};
  const std::pair<int, int> spots[] = {{17, 10}, {13, 10}, {15, 12}, {15, 8}};
  for (int volley = 0; volley < 3; ++volley)
    for (int i = 0; i < 4; ++i) {
      const Special& bolt = w.specials[before + 4 * volley + i];
      EXPECT_EQ(std::tuple(bolt.colour, bolt.count, bolt.x, bolt.y),
                std::tuple(colours[volley], counts[volley], spots[i].first, spots[i].second));
    }
}

TEST_F(DisruptorTest, ReachesTheBorderWithoutChangingItThenStopsAtASuperWall) {
  World w = superWalled();
  Special s = field(71, 10, 1);
  doDisruptor(w, s);
  EXPECT_EQ(std::pair(s.x, s.count), std::pair(72, 0));
  EXPECT_EQ(w.map.at(72, 10), SuperWallV());
  const Map before = w.map;
  doDisruptor(w, s);
  EXPECT_EQ(s.count, -1);
  EXPECT_EQ(w.map, before);  // no blast
  const int next = lfGetRand();
  lfSrand(1);
  EXPECT_EQ(lfGetRand(), next);  // stepping onto the border rolls nothing, nor does the stop
}

TEST_F(DisruptorTest, BlastsTheBorderUntilOneInTwentyOpensAnExit) {
  int exits = 0, blasts = 0;
  for (int seed = 1; seed <= 200; ++seed) {
    const bool superCorner = seed % 2 == 0;  // a super-wall corner does not stop the field
    World w = superCorner ? superWalled() : emptyWorld();
    const int y = superCorner ? 0 : 10, top = superCorner ? 1 : 4;
    w.map.put(68, top + 2, Disrupted());
    Special s = field(72, y, 0);
    const bool exitRoll = rollsAhead(seed, Dicespec{1, 20, 0}, 1)[0] == 1;
    doDisruptor(w, s);
    EXPECT_EQ(w.map.at(72, y), exitRoll ? Exit() : Disrupted());
    EXPECT_EQ(s.count, exitRoll ? -1 : 0);
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
