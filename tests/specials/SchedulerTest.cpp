// The specials' turn (order, same-pass appends, tidying the end of the list) and the level end.
#include "common/Harness.h"
#include "specials/Specials.h"

namespace {

using SchedulerTest = ScreenTest;

Special waitingBolt(int x, int y, char symbol) { return Special{x, y, LaserN, 5, symbol, Green, Heavy}; }
Special finished(int count = -1) { return Special{0, 0, Bombardment, count, '+', Green, Light}; }

TEST_F(SchedulerTest, ActsInListOrderAndDropsOneFinishedEntryPerCallFromTheEnd) {
  World w = emptyWorld();
  w.specials = {
      waitingBolt(5, 5, 'a'), finished(), waitingBolt(5, 5, 'b'), finished(), finished(), finished()};
  std::vector<std::size_t> sizes;
  for (int call = 0; call < 5; ++call) {
    actSpecials(w);
    sizes.push_back(w.specials.size());
  }
  EXPECT_EQ(term.cell(5, 5).ch, 'b');                           // both print on one cell: the later one shows
  EXPECT_EQ(sizes, (std::vector<std::size_t>{5, 4, 3, 3, 3}));  // the middle one waits behind a live one
  // A finished entry whose count is not exactly -1 is never removed, nor anything before it.
  w.specials = {finished(), finished(-2)};
  for (int call = 0; call < 3; ++call) actSpecials(w);
  EXPECT_EQ(w.specials.size(), 2u);
}

TEST_F(SchedulerTest, SpecialsAppendedMidPassActInTheSamePassAndBrainHitsAreSummed) {
  World w = emptyWorld();
  // A field on its 20th cell burns out and appends a shockwave there; a waiting bolt listed after
  // the field prints on that same cell. The wave's '~' must end on top: it acted after the bolt.
  w.specials = {Special{20, 10, Disruptor, 77, '&', Red, Heavy}, waitingBolt(21, 10, 'b')};
  EXPECT_EQ(actSpecials(w), 0);
  ASSERT_GE(w.specials.size(), 3u);
  for (std::size_t i = 2; i < w.specials.size(); ++i) EXPECT_EQ(w.specials[i].count, 1);  // stepped once
  EXPECT_EQ(term.cell(21, 10), expectedCell('~', Blue, Heavy));

  w = emptyWorld();
  w.map.put(20, 5, BossBrain());
  w.map.put(40, 15, BossBrain());
  w.specials = {Special{20, 5, Disruptor, 9, '&', Red, Heavy},
                Special{40, 15, Disruptor, 13, '&', Red, Heavy}};
  EXPECT_EQ(actSpecials(w), 2);
}

TEST_F(SchedulerTest, LevelEndStopsRepairersOpensTheExitAndMakesTwentyRandomSpecials) {
  World w = emptyWorld();
  const Special repairer{0, 0, Repairer, 2, '+', Yellow, Heavy};
  w.specials = {repairer, waitingBolt(5, 5, 'a'), repairer};
  World byHand = w;
  endLevel(w, false);
  const int rollAfterLevelEnd = lfGetRand();

  lfSrand(1);
  byHand.specials[0].count = byHand.specials[2].count = -1;
  for (int y = 9; y <= 11; ++y) byHand.map.put(72, y, Exit());
  for (int i = 0; i < 20; ++i) addSpecial(byHand, 0, 0);
  EXPECT_EQ(lfGetRand(), rollAfterLevelEnd);  // as many rolls as twenty calls make
  EXPECT_EQ(w.specials, byHand.specials);
  EXPECT_EQ(w.map, byHand.map);
  EXPECT_EQ(term.cell(72, 10), expectedCell('X', Cyan, Heavy));
  for (const Special& s : w.specials)
    EXPECT_FALSE(s.kind == Destruct || (s.kind == Repairer && s.count >= 0));

  endLevel(w, true);
  EXPECT_EQ(w.specials.back(), (Special{0, 21, Destruct, 1, '&', Red, Heavy}));
}

}  // namespace
