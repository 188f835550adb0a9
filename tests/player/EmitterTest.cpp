// Weapon emitters: where each bolt, wave and field starts, the clamp into the interior, the order.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "common/Harness.h"
#include "player/Player.h"

namespace {

std::vector<Special> specialsOf(const World& w) { return {w.specials.begin(), w.specials.end()}; }

TEST(Emitters, AdjustPosClampsEachAxisIntoTheInterior) {
  for (auto [x, y, wantX, wantY] :
       {std::tuple{0, 0, 1, 1}, {80, 25, 71, 20}, {-5, 30, 1, 20}, {71, 20, 71, 20}}) {
    adjustPos(x, y);
    EXPECT_EQ(std::pair(x, y), std::pair(wantX, wantY));
  }
}

// Lasers start two cells ahead of the clamped position; a quad laser fires east, west, south, north
// with its count and distance; shockwaves are not clamped; disruptors carry their heading. Every
// emitter appends, even past finished entries, and leaves the rest alone.
TEST(Emitters, EachStartsWhereItShouldAndAppends) {
  World w = emptyWorld();
  const Special finished{5, 5, LaserE, -1, '}', Cyan, Heavy}, active{6, 6, Repairer, 3, '+', Yellow, Heavy};
  w.specials = {finished, active};
  addLaser(FRight, w, 10, 10, Cyan);
  addLaser(FLeft, w, 10, 10, Red);
  addLaser(FDown, w, 10, 10, White);
  addLaser(FUp, w, 10, 10, Magenta);
  addLaser(FRight, w, 75, 5, Cyan);
  addLaser(FUp, w, 4, -3, Red);
  addQuadLaser(w, 10, 10, White, 2, 2);
  addQuadLaser(w, 0, 30, Magenta, 0, 3);  // clamped to (1, 20) first
  addWideLaser(FUp, w, 10, 10, Cyan);
  addShockwave(w, 0, 21);
  addDisruptor(FDown, w, 10, 0);
  addDisruptor(FRight, w, 72, 5);
  addDisruptor(FLeft, w, 10, 10);
  addDisruptor(FUp, w, 10, 10);
  // clang-format off
  const std::vector<Special> want = {
      finished, active,
      {12, 10, LaserE, 0, '}', Cyan, Heavy}, {8, 10, LaserW, 0, '{', Red, Heavy},
      {10, 12, LaserS, 0, 'u', White, Heavy}, {10, 8, LaserN, 0, 'n', Magenta, Heavy},
      {73, 5, LaserE, 0, '}', Cyan, Heavy}, {4, -1, LaserN, 0, 'n', Red, Heavy},
      {12, 10, LaserE, 2, '}', White, Heavy}, {8, 10, LaserW, 2, '{', White, Heavy},
      {10, 12, LaserS, 2, 'u', White, Heavy}, {10, 8, LaserN, 2, 'n', White, Heavy},
      {4, 20, LaserE, 0, '}', Magenta, Heavy}, {-2, 20, LaserW, 0, '{', Magenta, Heavy},
      {1, 23, LaserS, 0, 'u', Magenta, Heavy}, {1, 17, LaserN, 0, 'n', Magenta, Heavy},
      {9, 11, LaserN, 0, '/', Cyan, Heavy}, {10, 10, LaserN, 0, 'n', Cyan, Heavy},
      {11, 11, LaserN, 0, '\\', Cyan, Heavy}, {0, 21, Shockwave, 1, '~', Blue, Heavy},
      {10, 2, Disruptor, 3, '&', Red, Heavy}, {72, 5, Disruptor, 1, '&', Red, Heavy},
      {9, 10, Disruptor, 2, '&', Red, Heavy}, {10, 9, Disruptor, 4, '&', Red, Heavy}};
  // clang-format on
  EXPECT_EQ(specialsOf(w), want);
}

TEST(Emitters, WideLaserIsAnArrowheadPointingTheWayItFliesAndIsNotClamped) {
  // clang-format off
  const std::pair<Facing, std::vector<Special>> cases[] = {
      {FUp, {{19, 11, LaserN, 0, '/', Cyan, Heavy}, {20, 10, LaserN, 0, 'n', Cyan, Heavy}, {21, 11, LaserN, 0, '\\', Cyan, Heavy}}},
      {FDown, {{19, 9, LaserS, 0, '\\', Cyan, Heavy}, {20, 10, LaserS, 0, 'u', Cyan, Heavy}, {21, 9, LaserS, 0, '/', Cyan, Heavy}}},
      {FRight, {{19, 9, LaserE, 0, '\\', Cyan, Heavy}, {20, 10, LaserE, 0, '}', Cyan, Heavy}, {19, 11, LaserE, 0, '/', Cyan, Heavy}}},
      {FLeft, {{21, 9, LaserW, 0, '/', Cyan, Heavy}, {20, 10, LaserW, 0, '{', Cyan, Heavy}, {21, 11, LaserW, 0, '\\', Cyan, Heavy}}}};
  // clang-format on
  for (const auto& [facing, want] : cases) {
    World w = emptyWorld();
    addWideLaser(facing, w, 20, 10, Cyan);
    EXPECT_EQ(specialsOf(w), want) << "facing " << facing;
  }
  World edge = emptyWorld();
  addWideLaser(FLeft, edge, 0, 0, Red);
  EXPECT_EQ(edge.specials[1], (Special{0, 0, LaserW, 0, '{', Red, Heavy}));
}

}  // namespace
