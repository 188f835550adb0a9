// Explosions: the smoke square and its clipping at the borders, the wreckage, what survives.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "common/Harness.h"

namespace {

using Explosion = ScreenTest;

Terrain tinted(Terrain t, int colour, WeightName weight) {
  t.colour = colour;
  t.weight = weight;
  return t;
}

TEST_F(Explosion, SmokeSquareAndWreckageAreClippedAtEveryBorder) {
  struct Blast {
    const char* name;
    int x, y;
    bool big;
    int x1, x2, y1, y2;                      // the smoke square after clipping
    std::vector<std::pair<int, int>> wreck;  // cells left as wreckage
  };
  const Blast blasts[] = {
      {"small open", 10, 10, false, 8, 12, 8, 12, {{10, 10}}},
      {"big open", 30, 10, true, 27, 33, 7, 13, {{29, 10}, {30, 10}, {31, 10}, {30, 9}, {30, 11}}},
      {"big left", 2, 10, true, 1, 6, 7, 13, {{3, 10}, {4, 10}, {2, 9}, {2, 11}}},
      {"big top", 10, 1, true, 7, 13, 1, 5, {{9, 1}, {10, 1}, {11, 1}, {10, 3}}},
      {"big right", 71, 10, true, 67, 71, 7, 13, {{69, 10}, {71, 9}, {71, 11}}},
      {"big bottom right", 70, 19, true, 66, 71, 15, 20, {{68, 19}, {69, 19}, {70, 17}, {70, 18}}},
      {"small left", 1, 10, false, 1, 4, 8, 12, {{1, 10}}},
      {"small bottom", 10, 20, false, 8, 12, 17, 20, {{10, 20}}},
  };
  const Map untouched = emptyWorld().map;
  for (const Blast& k : blasts) {
    SCOPED_TRACE(k.name);
    World w = emptyWorld(40, 3);
    explosionHere(w, k.x, k.y, Blue, k.big);
    for (int x = 0; x <= 72; ++x) {
      for (int y = 0; y <= 21; ++y) {
        const bool inSquare = x >= k.x1 && x <= k.x2 && y >= k.y1 && y <= k.y2;
        Terrain want = untouched.at(x, y);
        if (std::count(k.wreck.begin(), k.wreck.end(), std::pair(x, y)))
          want = tinted(Wreckage(), Blue, k.big ? Light : Heavy);
        else if (inSquare)
          want = tinted(SmokingFloor(), Blue, Light);
        ASSERT_EQ(w.map.at(x, y), want) << x << "," << y;
        if (inSquare) {
          ASSERT_EQ(term.cell(x, y), expectedCell(want.symbol, Blue, want.weight)) << x << "," << y;
        }
      }
    }
  }
}

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
  EXPECT_EQ(w.map.at(12, 12), InnerWallH());
  EXPECT_EQ(term.cell(12, 12), expectedCell('-', Green, Heavy));
  EXPECT_EQ(w.map.at(9, 8), Exit());
  for (auto [x, y] : {std::pair{8, 8}, {12, 8}, {13, 13}})
    EXPECT_EQ(w.map.at(x, y), tinted(SmokingFloor(), Red, Light)) << x << "," << y;
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
