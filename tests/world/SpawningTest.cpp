// Random specials: the kind roll, each kind's dice and layout, and reuse of finished entries.
#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "common/Harness.h"

namespace {

using Spawning = ScreenTest;

int columnDie() { return lfDice({1, 63, 4}); }
int rowDie() { return lfDice({1, 20, 0}); }
std::vector<Special> specialsOf(const World& w) { return {w.specials.begin(), w.specials.end()}; }

const Special finished{9, 9, Shockwave, -1, '~', Blue, Heavy};

TEST_F(Spawning, LaserVolleyAndShockwaveRollInOrderAndFillFinishedEntriesFirst) {
  World w = emptyWorld();
  const Special busy{30, 7, Bombardment, 3, '+', Green, Light};
  w.specials = {busy, finished, finished};
  lfSrand(21);
  addSpecial(w, 0, 2);
  addSpecial(w, 0, 3);

  lfSrand(21);
  const int northColumn = columnDie(), southColumn = columnDie(), westRow = rowDie(), eastRow = rowDie();
  const int shockRow = rowDie(), shockColumn = columnDie();
  ASSERT_TRUE(northColumn != southColumn && westRow != eastRow) << "seed does not tell the dice apart";
  EXPECT_EQ(specialsOf(w), (std::vector<Special>{busy,
                                                 {1, eastRow, LaserE, 2, '}', Yellow, Heavy},
                                                 {71, westRow, LaserW, 2, '{', Yellow, Heavy},
                                                 {southColumn, 1, LaserS, 2, 'u', Yellow, Heavy},
                                                 {northColumn, 20, LaserN, 2, 'n', Yellow, Heavy},
                                                 {shockColumn, shockRow, Shockwave, 0, '~', Blue, Heavy}}));
}

// The cluster walk replayed by hand over many seeds, which between them push the walk against all
// four limits.
TEST_F(Spawning, BombardmentClusterWalksFromARandomPointAndIsHeldInsideTheLimits) {
  std::set<char> limitsHit;
  for (int seed = 1; seed <= 400; ++seed) {
    World w = emptyWorld();
    lfSrand(seed);
    addSpecial(w, 0, 1);
    lfSrand(seed);
    int x = columnDie(), y = rowDie();
    const int size = lfDice({2, 3, 0});
    ASSERT_EQ(w.specials.size(), static_cast<std::size_t>(size)) << "seed " << seed;
    for (int i = 1; i <= size; ++i) {
      x += lfDice({1, 11, -6});
      y += lfDice({1, 11, -6});
      if (x <= 3) x = 4, limitsHit.insert('L');
      if (x > 68) x = 68, limitsHit.insert('R');
      if (y <= 3) y = 4, limitsHit.insert('T');
      if (y > 17) y = 17, limitsHit.insert('B');
      ASSERT_EQ(w.specials[i - 1], (Special{x, y, Bombardment, i + 1, '+', Green, Light})) << "seed " << seed;
    }
  }
  EXPECT_EQ(limitsHit, (std::set<char>{'B', 'L', 'R', 'T'}));
}

TEST_F(Spawning, PowerUpsAreWrittenOverAnythingAndAddNoSpecial) {
  World w = emptyWorld();
  fill(w, 1, 1, 71, 20, InnerWallX());
  w.specials = {finished};
  lfSrand(17);
  addSpecial(w, 0, 4);
  World want = emptyWorld();
  fill(want, 1, 1, 71, 20, InnerWallX());
  lfSrand(17);
  for (int i = 0; i < 3; ++i) {
    const int x = columnDie(), y = rowDie();
    want.map.put(x, y, PowerUp());
    EXPECT_EQ(term.cell(x, y), expectedCell('!', Cyan, Heavy));
  }
  EXPECT_EQ(w.map, want.map);
  EXPECT_EQ(specialsOf(w), std::vector<Special>{finished});
}

// What addSpecial made, as its selector number.
int kindMade(const World& w) {
  if (w.specials.empty()) return w.map == emptyWorld().map ? 0 : 4;
  return w.specials[0].kind == Bombardment ? 1 : w.specials[0].kind == LaserE ? 2 : 3;
}

TEST_F(Spawning, PowerUpsJoinTheKindRollOnlyAboveScoreFiveAndOtherSelectorsDoNothing) {
  std::set<int> seenAtFive, seenAtSix;
  for (int seed = 1; seed <= 60; ++seed) {
    for (auto [score, sides, seen] : {std::tuple{5, 3, &seenAtFive}, {6, 4, &seenAtSix}}) {
      World w = emptyWorld();
      lfSrand(seed);
      addSpecial(w, score, 0);
      lfSrand(seed);
      EXPECT_EQ(kindMade(w), lfDice({1, sides, 0})) << "seed " << seed << " score " << score;
      seen->insert(kindMade(w));
    }
  }
  EXPECT_EQ(seenAtFive, (std::set<int>{1, 2, 3}));
  EXPECT_EQ(seenAtSix, (std::set<int>{1, 2, 3, 4}));
  for (int selector : {5, -1}) {
    World w = emptyWorld();
    lfSrand(2);
    addSpecial(w, 100, selector);
    const int next = lfGetRand();
    lfSrand(2);
    EXPECT_EQ(next, lfGetRand()) << "selector " << selector << " rolled dice";
    EXPECT_EQ(kindMade(w), 0) << "selector " << selector;
  }
}

}  // namespace
