// Random specials: the kind roll, each kind's dice and layout, and reuse of finished entries.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "common/Harness.h"

namespace {

class Spawning : public ScreenTest {};

int columnDie() { return lfDice({1, 63, 4}); }
int rowDie() { return lfDice({1, 20, 0}); }

Special finished() { return Special{9, 9, Shockwave, -1, '~', Blue, Heavy}; }

TEST_F(Spawning, LaserVolleyFillsFinishedEntriesFirstThenAppends) {
  World w = emptyWorld();
  const Special busy{30, 7, Bombardment, 3, '+', Green, Light};
  w.specials = {busy, finished(), finished()};
  lfSrand(21);
  addSpecial(w, 0, 2);

  lfSrand(21);
  const int northColumn = columnDie();
  const int southColumn = columnDie();
  const int westRow = rowDie();
  const int eastRow = rowDie();
  const std::vector<Special> want = {
      busy,
      Special{1, eastRow, LaserE, 2, '}', Yellow, Heavy},
      Special{71, westRow, LaserW, 2, '{', Yellow, Heavy},
      Special{southColumn, 1, LaserS, 2, 'u', Yellow, Heavy},
      Special{northColumn, 20, LaserN, 2, 'n', Yellow, Heavy},
  };
  EXPECT_EQ(std::vector<Special>(w.specials.begin(), w.specials.end()), want);
  ASSERT_TRUE(northColumn != southColumn || westRow != eastRow) << "seed does not tell the dice apart";
}

// The cluster walk replayed by hand over many seeds; the seeds must between them push the walk
// against every one of the four limits, so the clamps are exercised.
TEST_F(Spawning, BombardmentClusterWalksFromARandomPointAndIsHeldInsideTheLimits) {
  std::set<char> limitsHit;
  for (int seed = 1; seed <= 400; ++seed) {
    World w = emptyWorld();
    lfSrand(seed);
    addSpecial(w, 0, 1);

    lfSrand(seed);
    int x = columnDie();
    int y = rowDie();
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

TEST_F(Spawning, ShockwaveRollsRowThenColumn) {
  World w = emptyWorld();
  lfSrand(13);
  addSpecial(w, 0, 3);
  lfSrand(13);
  const int y = rowDie();
  const int x = columnDie();
  ASSERT_EQ(w.specials.size(), 1u);
  EXPECT_EQ(w.specials[0], (Special{x, y, Shockwave, 0, '~', Blue, Heavy}));
}

TEST_F(Spawning, PowerUpsAreWrittenOverAnythingAndAddNoSpecial) {
  World w = emptyWorld();
  fill(w, 1, 1, 71, 20, InnerWallX());
  w.specials = {finished()};
  lfSrand(17);
  addSpecial(w, 0, 4);
  lfSrand(17);
  for (int i = 0; i < 3; ++i) {
    const int x = columnDie();
    const int y = rowDie();
    EXPECT_EQ(w.map.at(x, y), PowerUp()) << x << "," << y;
    EXPECT_EQ(term.cell(x, y), expectedCell('!', Cyan, Heavy));
  }
  int powerUps = 0;
  for (int x = 0; x <= 72; ++x)
    for (int y = 0; y <= 21; ++y) powerUps += w.map.at(x, y) == PowerUp();
  EXPECT_GE(powerUps, 1);
  EXPECT_LE(powerUps, 3);
  ASSERT_EQ(w.specials.size(), 1u);
  EXPECT_EQ(w.specials[0], finished());
}

// What addSpecial made, as its selector number.
int kindMade(const World& w) {
  if (w.specials.empty()) return 4;
  switch (w.specials[0].kind) {
    case Bombardment: return 1;
    case LaserE: return 2;
    case Shockwave: return 3;
    default: return 0;
  }
}

TEST_F(Spawning, PowerUpsJoinTheKindRollOnlyAboveScoreFive) {
  std::set<int> seenAtFive, seenAtSix;
  for (int seed = 1; seed <= 60; ++seed) {
    lfSrand(seed);
    const int threeSided = lfDice({1, 3, 0});
    lfSrand(seed);
    const int fourSided = lfDice({1, 4, 0});

    World atFive = emptyWorld();
    lfSrand(seed);
    addSpecial(atFive, 5, 0);
    EXPECT_EQ(kindMade(atFive), threeSided) << "seed " << seed;
    seenAtFive.insert(kindMade(atFive));

    World atSix = emptyWorld();
    lfSrand(seed);
    addSpecial(atSix, 6, 0);
    EXPECT_EQ(kindMade(atSix), fourSided) << "seed " << seed;
    seenAtSix.insert(kindMade(atSix));
  }
  EXPECT_EQ(seenAtFive, (std::set<int>{1, 2, 3}));
  EXPECT_EQ(seenAtSix, (std::set<int>{1, 2, 3, 4}));
}

TEST_F(Spawning, UnknownSelectorDoesNothingAndRollsNothing) {
  for (int selector : {5, -1}) {
    World w = emptyWorld();
    const World before = w;
    lfSrand(2);
    addSpecial(w, 100, selector);
    const int next = lfGetRand();
    lfSrand(2);
    EXPECT_EQ(next, lfGetRand());
    EXPECT_TRUE(w.specials.empty());
    EXPECT_EQ(w.map, before.map);
  }
}

}  // namespace
