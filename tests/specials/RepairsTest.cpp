// Repairers walking the border and rebuilding it, and the final level's self-destruct.
#include <set>

#include "common/Harness.h"
#include "specials/Specials.h"

namespace {

using RepairsTest = ScreenTest;

Special repairer(int x, int y, int count) { return Special{x, y, Repairer, count, '+', Yellow, Heavy}; }

TEST_F(RepairsTest, WalksALapOf186CellsAnticlockwiseMendingEveryGapAndLeavesABoldCursor) {
  World w = emptyWorld();
  Map expected = w.map;
  Terrain cursor = OuterWallX();
  cursor.colour = Yellow;
  cursor.weight = Heavy;
  expected.put(0, 0, cursor);
  for (const auto& [x, y] : {std::pair{0, 1}, {72, 10}, {30, 0}, {0, 15}, {50, 21}, {72, 21}})
    w.map.put(x, y, Exit());
  w.map.put(0, 2, Floor());
  const Map broken = w.map;
  // An idle repairer waits; off the border one has nowhere to walk and finishes, marking nothing.
  for (const auto& [before, after] :
       {std::pair{repairer(0, 1, 0), repairer(0, 1, 0)}, {repairer(10, 10, 3), repairer(10, 10, -1)}}) {
    Special idleOrStray = before;
    doRepairs(w, idleOrStray);
    EXPECT_EQ(idleOrStray, after);
    EXPECT_EQ(w.map, broken);
  }
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
  EXPECT_EQ(w.map, expected);
  EXPECT_EQ(term.cell(0, 0), expectedCell('+', Yellow, Heavy));

  Special wholeLap = repairer(0, 0, 186);  // the same walk in a single turn
  doRepairs(w, wholeLap);
  EXPECT_EQ(std::pair(wholeLap.x, wholeLap.y), std::pair(0, 0));
  EXPECT_EQ(w.map, expected);
}

TEST_F(RepairsTest, SelfDestructSweepsTheArenaIn73Turns) {
  World w = emptyWorld();
  w.specials = {Special{0, 21, Destruct, 1, '&', Red, Heavy}};
  actSpecials(w);
  EXPECT_EQ(std::pair(w.map.at(0, 0), w.map.at(1, 10)), std::pair(Disrupted(), Floor()));
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
