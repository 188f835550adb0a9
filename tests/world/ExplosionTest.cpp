// Explosions: the smoke square and its clipping at the borders, the wreckage, what survives.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "common/Harness.h"

namespace {

class Explosion : public ScreenTest {};

Terrain tinted(Terrain t, int colour, WeightName weight) {
  t.colour = colour;
  t.weight = weight;
  return t;
}

struct BlastCase {
  std::string name;
  int x, y;
  bool big;
  int x1, x2, y1, y2;                      // the smoke square after clipping
  std::vector<std::pair<int, int>> wreck;  // cells left as wreckage
};

void PrintTo(const BlastCase& k, std::ostream* os) { *os << k.name; }

class ExplosionClipping : public ScreenTest, public ::testing::WithParamInterface<BlastCase> {};

TEST_P(ExplosionClipping, SmokeSquareAndWreckage) {
  const BlastCase& k = GetParam();
  World w = emptyWorld(40, 3);
  explosionHere(w, k.x, k.y, Blue, k.big);
  for (int x = 1; x <= 71; ++x) {
    for (int y = 1; y <= 20; ++y) {
      const bool inSquare = x >= k.x1 && x <= k.x2 && y >= k.y1 && y <= k.y2;
      const bool wrecked = std::find(k.wreck.begin(), k.wreck.end(), std::pair(x, y)) != k.wreck.end();
      Terrain want = Floor();
      if (wrecked) want = tinted(Wreckage(), Blue, k.big ? Light : Heavy);
      else if (inSquare) want = tinted(SmokingFloor(), Blue, Light);
      ASSERT_EQ(w.map.at(x, y), want) << k.name << " at " << x << "," << y;
      if (inSquare) {
        ASSERT_EQ(term.cell(x, y), expectedCell(want.symbol, Blue, want.weight)) << k.name;
      }
    }
  }
  EXPECT_EQ(w.map.at(0, k.y), OuterWallV()) << "border touched";
}

INSTANTIATE_TEST_SUITE_P(
    Borders, ExplosionClipping,
    ::testing::Values(
        BlastCase{"small_open", 10, 10, false, 8, 12, 8, 12, {{10, 10}}},
        BlastCase{"big_open", 30, 10, true, 27, 33, 7, 13, {{29, 10}, {30, 10}, {31, 10}, {30, 9}, {30, 11}}},
        BlastCase{"big_left", 2, 10, true, 1, 6, 7, 13, {{3, 10}, {4, 10}, {2, 9}, {2, 11}}},
        BlastCase{"big_top", 10, 1, true, 7, 13, 1, 5, {{9, 1}, {10, 1}, {11, 1}, {10, 3}}},
        BlastCase{"big_right", 71, 10, true, 67, 71, 7, 13, {{69, 10}, {71, 9}, {71, 11}}},
        BlastCase{"big_bottom_right", 70, 19, true, 66, 71, 15, 20, {{68, 19}, {69, 19}, {70, 17}, {70, 18}}},
        BlastCase{"small_left", 1, 10, false, 1, 4, 8, 12, {{1, 10}}},
        BlastCase{"small_bottom", 10, 20, false, 8, 12, 17, 20, {{10, 20}}}),
    [](const ::testing::TestParamInfo<BlastCase>& info) { return info.param.name; });

TEST_F(Explosion, BigBlastScorchesWallsInItsPlusSignAndClearsLooseTerrain) {
  World w = emptyWorld(40, 3);
  w.map.put(11, 10, InnerWallV());  // in the plus sign
  w.map.put(10, 11, Exit());        // in the plus sign
  w.map.put(12, 12, InnerWallH());  // in the square, off the plus sign
  w.map.put(9, 8, Exit());
  w.map.put(8, 8, PowerUp());
  w.map.put(12, 8, PlayerTrail());
  w.map.put(13, 13, LaserBoltV());
  explosionHere(w, 10, 10, Red, true);

  EXPECT_EQ(w.map.at(11, 10), tinted(InnerWallV(), Green, Light));
  EXPECT_EQ(term.cell(11, 10), expectedCell('|', Green, Light));
  EXPECT_EQ(w.map.at(10, 11), tinted(Exit(), Cyan, Light));
  EXPECT_TRUE(w.map.at(10, 11).passable);
  EXPECT_EQ(w.map.at(12, 12), InnerWallH());
  EXPECT_EQ(term.cell(12, 12), expectedCell('-', Green, Heavy));
  EXPECT_EQ(w.map.at(9, 8), Exit());
  for (auto [x, y] : {std::pair{8, 8}, {12, 8}, {13, 13}}) {
    EXPECT_EQ(w.map.at(x, y), tinted(SmokingFloor(), Red, Light)) << x << "," << y;
  }
}

TEST_F(Explosion, ShipAndLiveCreaturesAreRedrawnOverTheSmokeButLeftAlone) {
  World w = emptyWorld(9, 10);
  w.creatures = {Creature{11, 11, Red, Heavy, true, FUp}, Creature{12, 12, White, Heavy, false, FUp}};
  explosionHere(w, 10, 10, Yellow, false);
  EXPECT_EQ(term.cell(9, 10), expectedCell('@', Cyan, Heavy));
  EXPECT_EQ(term.cell(11, 11), expectedCell('^', Red, Heavy));
  EXPECT_EQ(term.cell(12, 12), expectedCell('.', Yellow, Light)) << "a dead creature was drawn";
  EXPECT_TRUE(w.creatures[0].alive);
  EXPECT_EQ(w.player, (Player{9, 10, 0}));
}

}  // namespace
