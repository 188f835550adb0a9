// Repairers walking the border and rebuilding it, and the final level's self-destruct.
#include <set>

#include "common/Harness.h"
#include "specials/Specials.h"

namespace {

using RepairsTest = ScreenTest;

Special repairer(int x, int y, int count) { return Special{x, y, Repairer, count, '+', Yellow, Heavy}; }

Terrain boldCursor(Terrain wall) {
  wall.colour = Yellow;
  wall.weight = Heavy;
  return wall;
}

TEST_F(RepairsTest, WalksItsCountRebuildingAndMarksTheCursorBold) {
  World w = emptyWorld();
  w.map.put(0, 1, Exit());
  w.map.put(0, 2, Floor());
  Special s = repairer(0, 0, 3);
  doRepairs(w, s);
  EXPECT_EQ(std::pair(s.x, s.y), std::pair(0, 3));
  EXPECT_EQ(w.map.at(0, 0), OuterWallX());
  EXPECT_EQ(w.map.at(0, 1), OuterWallV());
  EXPECT_EQ(w.map.at(0, 2), OuterWallV());
  EXPECT_EQ(w.map.at(0, 3), boldCursor(OuterWallV()));
  EXPECT_EQ(term.cell(0, 3), expectedCell('|', Yellow, Heavy));
}

TEST_F(RepairsTest, OneLapAnticlockwiseIs186CellsAndMendsEveryGap) {
  World w = emptyWorld();
  const Map intact = w.map;
  for (const auto& [x, y] : {std::pair{72, 10}, {30, 0}, {0, 15}, {50, 21}, {72, 21}})
    w.map.put(x, y, Exit());
  Special s = repairer(0, 0, 1);
  std::vector<std::pair<int, int>> path;
  for (int turn = 0; turn < 186; ++turn) {
    path.emplace_back(s.x, s.y);
    doRepairs(w, s);
  }
  EXPECT_EQ(std::set(path.begin(), path.end()).size(), 186u);
  EXPECT_EQ(path[21], std::pair(0, 21));  // down the left side first, then along the bottom
  EXPECT_EQ(path[22], std::pair(1, 21));
  EXPECT_EQ(std::pair(s.x, s.y), std::pair(0, 0));
  Map expected = intact;
  expected.put(0, 0, boldCursor(OuterWallX()));
  EXPECT_EQ(w.map, expected);

  Special wholeLap = repairer(0, 0, 186);  // the same walk in a single turn
  doRepairs(w, wholeLap);
  EXPECT_EQ(std::pair(wholeLap.x, wholeLap.y), std::pair(0, 0));
  EXPECT_EQ(w.map, expected);
}

TEST_F(RepairsTest, IdleOrStrayRepairersLeaveTheArenaAlone) {
  World w = emptyWorld();
  w.map.put(0, 5, Exit());
  const Map before = w.map;
  Special idle = repairer(0, 5, 0);
  doRepairs(w, idle);
  EXPECT_EQ(idle, repairer(0, 5, 0));
  // Off the border a repairer has nowhere to walk: it finishes where it is, marking nothing.
  Special stray = repairer(10, 10, 3);
  doRepairs(w, stray);
  EXPECT_EQ(stray, (Special{10, 10, Repairer, -1, '+', Yellow, Heavy}));
  EXPECT_EQ(w.map, before);
}

TEST_F(RepairsTest, SelfDestructSweepsTheArenaIn73Turns) {
  World w = emptyWorld();
  w.specials = {Special{0, 21, Destruct, 1, '&', Red, Heavy}};
  actSpecials(w);
  for (int y = 0; y <= 21; ++y) EXPECT_EQ(w.map.at(0, y), Disrupted());
  EXPECT_EQ(w.map.at(1, 10), Floor());
  for (int turn = 2; turn <= 72; ++turn) actSpecials(w);
  ASSERT_EQ(w.specials.size(), 1u);
  EXPECT_EQ(w.map.at(72, 10), OuterWallV());
  actSpecials(w);
  EXPECT_TRUE(w.specials.empty());  // finished after its 73rd turn
  Map allDisrupted;
  for (int x = 0; x <= 72; ++x)
    for (int y = 0; y <= 21; ++y) allDisrupted.put(x, y, Disrupted());
  EXPECT_EQ(w.map, allDisrupted);
}

}  // namespace
