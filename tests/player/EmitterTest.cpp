// Weapon emitters: where each bolt, wave and field starts, the clamp into the interior, the order.
#include <gtest/gtest.h>

#include <vector>

#include "common/Harness.h"
#include "player/Player.h"

namespace {

std::vector<Special> specialsOf(const World& w) { return {w.specials.begin(), w.specials.end()}; }

TEST(Emitters, AdjustPosClampsEachAxisIntoTheInterior) {
  const int cases[][4] = {{0, 0, 1, 1}, {80, 25, 71, 20}, {-5, 30, 1, 20}, {71, 20, 71, 20}, {35, 10, 35, 10}};
  for (const auto& k : cases) {
    int x = k[0], y = k[1];
    adjustPos(x, y);
    EXPECT_EQ(x, k[2]) << k[0] << "," << k[1];
    EXPECT_EQ(y, k[3]) << k[0] << "," << k[1];
  }
}

TEST(Emitters, LaserStartsTwoCellsAheadOfTheClampedPosition) {
  World w = emptyWorld();
  addLaser(FRight, w, 10, 10, Cyan);
  addLaser(FLeft, w, 10, 10, Red);
  addLaser(FDown, w, 10, 10, White);
  addLaser(FUp, w, 10, 10, Magenta);
  addLaser(FRight, w, 71, 5, Cyan);
  addLaser(FRight, w, 75, 5, Cyan);
  addLaser(FUp, w, 4, -3, Red);
  const std::vector<Special> want = {
      {12, 10, LaserE, 0, '}', Cyan, Heavy}, {8, 10, LaserW, 0, '{', Red, Heavy},
      {10, 12, LaserS, 0, 'u', White, Heavy}, {10, 8, LaserN, 0, 'n', Magenta, Heavy},
      {73, 5, LaserE, 0, '}', Cyan, Heavy},  {73, 5, LaserE, 0, '}', Cyan, Heavy},
      {4, -1, LaserN, 0, 'n', Red, Heavy},
  };
  EXPECT_EQ(specialsOf(w), want);
}

TEST(Emitters, QuadLaserFiresEastWestSouthNorthWithItsCountAndDistance) {
  World w = emptyWorld();
  addQuadLaser(w, 10, 10, White, 2, 2);
  addQuadLaser(w, 0, 30, Magenta, 0, 3);  // clamped to (1, 20) first
  const std::vector<Special> want = {
      {12, 10, LaserE, 2, '}', White, Heavy},  {8, 10, LaserW, 2, '{', White, Heavy},
      {10, 12, LaserS, 2, 'u', White, Heavy},  {10, 8, LaserN, 2, 'n', White, Heavy},
      {4, 20, LaserE, 0, '}', Magenta, Heavy}, {-2, 20, LaserW, 0, '{', Magenta, Heavy},
      {1, 23, LaserS, 0, 'u', Magenta, Heavy}, {1, 17, LaserN, 0, 'n', Magenta, Heavy},
  };
  EXPECT_EQ(specialsOf(w), want);
}

TEST(Emitters, WideLaserIsAnArrowheadPointingTheWayItFliesAndIsNotClamped) {
  struct Case {
    Facing facing;
    std::vector<Special> want;
  };
  const Case cases[] = {
      {FUp, {{19, 11, LaserN, 0, '/', Cyan, Heavy}, {20, 10, LaserN, 0, 'n', Cyan, Heavy}, {21, 11, LaserN, 0, '\\', Cyan, Heavy}}},
      {FDown, {{19, 9, LaserS, 0, '\\', Cyan, Heavy}, {20, 10, LaserS, 0, 'u', Cyan, Heavy}, {21, 9, LaserS, 0, '/', Cyan, Heavy}}},
      {FRight, {{19, 9, LaserE, 0, '\\', Cyan, Heavy}, {20, 10, LaserE, 0, '}', Cyan, Heavy}, {19, 11, LaserE, 0, '/', Cyan, Heavy}}},
      {FLeft, {{21, 9, LaserW, 0, '/', Cyan, Heavy}, {20, 10, LaserW, 0, '{', Cyan, Heavy}, {21, 11, LaserW, 0, '\\', Cyan, Heavy}}},
  };
  for (const Case& k : cases) {
    World w = emptyWorld();
    addWideLaser(k.facing, w, 20, 10, Cyan);
    EXPECT_EQ(specialsOf(w), k.want) << "facing " << k.facing;
  }
  World edge = emptyWorld();
  addWideLaser(FLeft, edge, 0, 0, Red);
  EXPECT_EQ(edge.specials[1], (Special{0, 0, LaserW, 0, '{', Red, Heavy}));
}

TEST(Emitters, ShockwaveIsNotClampedAndDisruptorCarriesItsHeading) {
  World w = emptyWorld();
  addShockwave(w, 0, 21);
  addDisruptor(FDown, w, 10, 0);
  addDisruptor(FRight, w, 72, 5);
  addDisruptor(FLeft, w, 10, 10);
  addDisruptor(FUp, w, 10, 10);
  const std::vector<Special> want = {
      {0, 21, Shockwave, 1, '~', Blue, Heavy}, {10, 2, Disruptor, 3, '&', Red, Heavy},
      {72, 5, Disruptor, 1, '&', Red, Heavy},  {9, 10, Disruptor, 2, '&', Red, Heavy},
      {10, 9, Disruptor, 4, '&', Red, Heavy},
  };
  EXPECT_EQ(specialsOf(w), want);
}

// Emitters always append, even when finished entries could be reused, and leave the rest alone.
TEST(Emitters, AppendAfterEverythingAlreadyThere) {
  World w = emptyWorld();
  const Special finished{5, 5, LaserE, -1, '}', Cyan, Heavy};
  const Special active{6, 6, Repairer, 3, '+', Yellow, Heavy};
  w.specials = {finished, active};
  addLaser(FRight, w, 10, 10, Cyan);
  addWideLaser(FUp, w, 10, 10, Cyan);
  addQuadLaser(w, 10, 10, Cyan, 0, 2);
  addShockwave(w, 10, 10);
  addDisruptor(FUp, w, 10, 10);
  ASSERT_EQ(w.specials.size(), 2u + 1 + 3 + 4 + 1 + 1);
  EXPECT_EQ(w.specials[0], finished);
  EXPECT_EQ(w.specials[1], active);
  EXPECT_EQ(w.specials[2].kind, LaserE);
  EXPECT_EQ(w.specials.back().kind, Disruptor);
}

}  // namespace
