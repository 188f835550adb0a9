// Laser bolts: waiting, the streak each turn near every border, the head, the across guard.
#include "common/Harness.h"
#include "specials/Specials.h"

namespace {

using LaserBoltsTest = ScreenTest;

struct Span {
  int from, to;  // along the bolt's line, inclusive; from > to is empty
};
constexpr Span none{1, 0};

struct Flight {
  SpecType kind;
  int x, y;
  int wallAt;                 // along the line: an inner wall the bolt flies through
  Span trailed;               // along the line: trail that the first wipe erases
  std::vector<Span> streaks;  // the streak after each turn; the bolt finishes on the last turn
};

TEST_F(LaserBoltsTest, StreaksNearEveryBorderAndFinishesAtOnceOffItsLine) {
  // clang-format off
  const std::vector<Flight> flights = {
      {LaserN, 30, 18, 10, {19, 20}, {{13, 18}, {8, 13}, {3, 8}, {1, 3}, none, none}},
      {LaserN, 30, 16, 10, {17, 20}, {{11, 16}, {6, 11}, {1, 6}, {1, 1}, none, none}},
      {LaserS, 30, 3, 10, {1, 2}, {{3, 8}, {8, 13}, {13, 18}, {18, 20}, none, none}},
      {LaserS, 30, 5, 10, {1, 4}, {{5, 10}, {10, 15}, {15, 20}, {20, 20}, none, none}},
      {LaserW, 42, 10, 22, {43, 47}, {{37, 42}, {32, 37}, {27, 32}, {22, 27}, {17, 22}, {12, 17}, {7, 12}, {2, 7}, {1, 2}, none}},
      {LaserW, 41, 10, 22, {42, 46}, {{36, 41}, {31, 36}, {26, 31}, {21, 26}, {16, 21}, {11, 16}, {6, 11}, {1, 6}, none, none}},
      {LaserE, 40, 10, 52, {35, 39}, {{40, 45}, {45, 50}, {50, 55}, {55, 60}, {60, 65}, {65, 70}, {70, 71}, none}},
      // Emitted from column 71: starts beyond the border, wipes near it, draws nothing.
      {LaserE, 73, 10, 60, {67, 71}, {none, none}},
      // On the border across its line, here patched with inner wall: finishes at once, touching nothing.
      {LaserN, 72, 10, 15, none, {none}}, {LaserS, 0, 10, 15, none, {none}},
      {LaserE, 10, 21, 15, none, {none}}, {LaserW, 10, 0, 15, none, {none}},
  };
  // clang-format on
  for (const Flight& f : flights) {
    SCOPED_TRACE("bolt of kind " + std::to_string(f.kind) + " from (" + std::to_string(f.x) + ", " +
                 std::to_string(f.y) + ")");
    const bool vertical = f.kind == LaserN || f.kind == LaserS;
    auto onLine = [&](int along) { return vertical ? std::pair{f.x, along} : std::pair{along, f.y}; };
    World w = emptyWorld();
    w.map.put(onLine(f.wallAt).first, onLine(f.wallAt).second, InnerWallV());
    const Map base = w.map;
    for (int i = f.trailed.from; i <= f.trailed.to; ++i)
      w.map.put(onLine(i).first, onLine(i).second, PlayerTrail());
    Terrain bolt = vertical ? LaserBoltV() : LaserBoltH();
    bolt.colour = Cyan;
    w.specials = {Special{f.x, f.y, f.kind, 0, '*', Cyan, Heavy}};
    for (std::size_t turn = 0; turn < f.streaks.size(); ++turn) {
      actSpecials(w);
      Map expected = base;
      for (int i = f.streaks[turn].from; i <= f.streaks[turn].to; ++i) {
        const auto [x, y] = onLine(i);
        if (!expected.at(x, y).permanent) expected.put(x, y, bolt);
      }
      EXPECT_EQ(w.map, expected) << "turn " << turn + 1;
      EXPECT_EQ(w.specials.empty(), turn + 1 == f.streaks.size()) << "turn " << turn + 1;
    }
  }
}

TEST_F(LaserBoltsTest, WaitsLightThenHeavyThenFliesWithItsHeadOverTheStreak) {
  World w = emptyWorld();
  const Map before = w.map;
  Special s{30, 18, LaserN, 3, 'n', Cyan, Heavy};
  for (WeightName weight : {Light, Light, Heavy}) {
    doLaserNorth(w, s);
    EXPECT_EQ(term.cell(30, 18), expectedCell('n', Cyan, weight));
    EXPECT_EQ(w.map, before);
  }
  doLaserNorth(w, s);
  EXPECT_EQ(s.y, 13);
  EXPECT_EQ(term.cell(30, 13), expectedCell('n', Cyan, Heavy));
  EXPECT_EQ(term.cell(30, 14), expectedCell('|', Cyan, Heavy));
}

}  // namespace
