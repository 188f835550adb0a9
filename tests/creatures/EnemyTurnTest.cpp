// The enemy turn: turret phases, the boss's lasers, the ordinary creature's trail, points, and the
// array order in which creatures see each other's work.
#include <vector>

#include "common/Harness.h"
#include "creatures/Creature.h"

namespace {

Creature make(int colour, int x, int y, Facing facing) { return Creature{x, y, colour, Heavy, true, facing}; }

std::vector<SpecType> kindsOf(const World& w) {
  std::vector<SpecType> kinds;
  for (const Special& s : w.specials) kinds.push_back(s.kind);
  return kinds;
}

bool hasBoltAt(const World& w, int x, int y, SpecType kind, int colour) {
  for (const Special& s : w.specials)
    if (s.x == x && s.y == y && s.kind == kind && s.colour == colour) return true;
  return false;
}

const std::vector<SpecType> quad = {LaserE, LaserW, LaserS, LaserN};

using EnemyTurn = ScreenTest;

// A turret turns (drawn without bold) on odd turns and fires on even ones, sweeping clockwise.
TEST_F(EnemyTurn, TurretTurnsThenFiresSweepingClockwiseFromEachFacing) {
  const std::pair<Facing, std::vector<SpecType>> sweeps[] = {{FUp, {LaserE, LaserS, LaserW, LaserN}},
                                                             {FRight, {LaserS, LaserW, LaserN, LaserE}},
                                                             {FDown, {LaserW, LaserN, LaserE, LaserS}},
                                                             {FLeft, {LaserN, LaserE, LaserS, LaserW}}};
  for (const auto& [start, fired] : sweeps) {
    World w = emptyWorld();
    w.creatures = {make(White, 30, 10, start)};
    for (int turn = 1; turn <= 8; ++turn) {
      EXPECT_EQ(moveEnemy(w), 0);
      EXPECT_EQ(w.creatures[0].weight, turn % 2 == 1 ? Light : Heavy) << "turn " << turn;
      EXPECT_EQ(w.specials.size(), static_cast<std::size_t>(turn / 2)) << "turn " << turn;
    }
    EXPECT_EQ(kindsOf(w), fired) << "from facing " << start;
    EXPECT_EQ(w.creatures[0], make(White, 30, 10, start)) << "a full sweep ends where it began, unmoved";
    EXPECT_TRUE(hasBoltAt(w, 32, 10, LaserE, White) && hasBoltAt(w, 30, 8, LaserN, White)) << "two cells out";
  }
  World w = emptyWorld();
  w.creatures = {make(White, 30, 10, FUp)};
  moveEnemy(w);
  EXPECT_EQ(term.cell(30, 10), expectedCell('>', White, Light)) << "about to fire: drawn without bold";
}

TEST_F(EnemyTurn, TurretShrugsOffBoltsButNotPermanentBlocksAndFiresFromAPowerUp) {
  World w = emptyWorld();
  w.creatures = {make(White, 20, 10, FUp), make(White, 50, 10, FUp)};
  w.map.put(20, 10, LaserBoltV());
  w.map.put(50, 10, Disrupted());
  EXPECT_EQ(moveEnemy(w), 10);
  EXPECT_TRUE(w.creatures[0].alive);
  EXPECT_FALSE(w.creatures[1].alive);
  EXPECT_EQ(w.map.at(51, 10).symbol, '#') << "the larger blast leaves a plus of wreckage";
  EXPECT_EQ(w.map.at(50, 11).symbol, '#');

  World p = emptyWorld();
  p.creatures = {make(White, 30, 10, FUp)};
  p.map.put(30, 10, PowerUp());
  moveEnemy(p);  // turns, and sets the power-up off
  moveEnemy(p);  // sets it off again, then fires its own laser
  std::vector<SpecType> fired = quad;
  fired.insert(fired.end(), quad.begin(), quad.end());
  fired.push_back(LaserE);
  EXPECT_EQ(kindsOf(p), fired);
  EXPECT_TRUE(hasBoltAt(p, 28, 10, LaserW, White)) << "quad laser two cells out";
  EXPECT_EQ(p.map.at(30, 10), PowerUp()) << "a turret never uses up the power-up";
}

TEST_F(EnemyTurn, OrdinaryCreatureDiesOnABlockedCellAndTrailsWhereItWent) {
  World w = emptyWorld(60, 10);
  w.creatures = {make(Red, 30, 10, FRight)};
  w.map.put(30, 10, LaserBoltV());
  EXPECT_EQ(moveEnemy(w), 1);
  EXPECT_FALSE(w.creatures[0].alive);
  EXPECT_EQ(w.map.at(30, 10), Wreckage()) << "the smaller blast, on its own cell";
  EXPECT_EQ(w.map.at(32, 10).symbol, '.');
  EXPECT_EQ(w.map.at(33, 10), Floor());

  World p = emptyWorld(60, 10);
  p.creatures = {make(Red, 30, 10, FRight)};
  p.map.put(30, 10, PowerUp());
  EXPECT_EQ(moveEnemy(p), 0);
  EXPECT_EQ(kindsOf(p), quad);
  EXPECT_TRUE(hasBoltAt(p, 30, 12, LaserS, Red));
  EXPECT_EQ(p.map.at(30, 10), EnemyTrail()) << "the trail replaces the power-up";
  EXPECT_EQ(p.creatures[0].x, 31);
}

TEST_F(EnemyTurn, BossFiresItsQuadLaserInLineWithThePlayerOrWhenHemmedIn) {
  struct Case {
    const char* what;
    int playerX, playerY;
    std::vector<std::pair<int, int>> walls;
    bool fires;
  };
  const Case cases[] = {{"same column, far away", 30, 20, {}, true},
                        {"same row", 60, 10, {}, true},
                        {"one open neighbour", 60, 3, {{30, 9}, {30, 11}, {31, 10}}, true},
                        {"corridor, two open neighbours", 60, 3, {{30, 9}, {30, 11}}, false},
                        {"open floor, out of line", 60, 3, {}, false}};
  for (const Case& c : cases) {
    World w = emptyWorld(c.playerX, c.playerY);
    for (auto [x, y] : c.walls) w.map.put(x, y, InnerWallX());
    w.creatures = {make(Magenta, 30, 10, FLeft)};
    moveEnemy(w);
    EXPECT_EQ(kindsOf(w), c.fires ? quad : std::vector<SpecType>{}) << c.what;
    EXPECT_EQ(hasBoltAt(w, 33, 10, LaserE, Magenta) && hasBoltAt(w, 30, 7, LaserN, Magenta), c.fires)
        << "three cells out: " << c.what;
  }
}

TEST_F(EnemyTurn, BossSetsOffFourWideLasersFromAPowerUpAndLeavesItThere) {
  World w = emptyWorld(60, 3);
  w.creatures = {make(Magenta, 30, 10, FLeft)};
  w.map.put(30, 10, PowerUp());
  EXPECT_EQ(moveEnemy(w), 0);
  EXPECT_EQ(kindsOf(w), (std::vector<SpecType>{LaserW, LaserW, LaserW, LaserE, LaserE, LaserE, LaserN, LaserN,
                                               LaserN, LaserS, LaserS, LaserS}));
  EXPECT_EQ(w.specials[1].x, 27);
  EXPECT_EQ(w.specials[4].x, 33);
  EXPECT_EQ(w.specials[7].y, 7);
  EXPECT_EQ(w.specials[10].y, 13);
  EXPECT_EQ(w.map.at(30, 10), PowerUp());
  EXPECT_FALSE(w.creatures[0].x == 30 && w.creatures[0].y == 10) << "it moved on";
}

TEST_F(EnemyTurn, PointsPerKindAndWhatIsNeverCounted) {
  World w = emptyWorld(40, 18);
  w.creatures = {make(Red, 10, 5, FUp), make(White, 30, 5, FUp), make(Magenta, 55, 5, FUp),
                 make(Green, 10, 15, FUp), make(Red, 30, 15, FUp)};
  w.creatures[4].alive = false;
  for (const Creature& c : w.creatures) w.map.put(c.x, c.y, c.colour == White ? InnerWallX() : Wreckage());
  EXPECT_EQ(moveEnemy(w), 1 + 10 + 5);
  EXPECT_EQ(w.creatures[3], make(Green, 10, 15, FUp)) << "an unknown kind is left alone";
  EXPECT_EQ(w.map.at(11, 15), Floor()) << "and sets nothing off";

  World boxed = emptyWorld(60, 3);  // a boss that crashes while moving counts the same
  fill(boxed, 29, 9, 31, 11, InnerWallX());
  boxed.map.put(30, 10, Floor());
  boxed.creatures = {make(Magenta, 30, 10, FUp)};
  EXPECT_EQ(moveEnemy(boxed), 5);
  World none = emptyWorld();
  EXPECT_EQ(moveEnemy(none), 0);
}

// A one-cell corridor on row 10; both creatures head right towards a distant player.
TEST_F(EnemyTurn, EachCreatureSeesTheMapAsTheOnesBeforeItLeftIt) {
  const Creature front = make(Red, 30, 10, FRight), behind = make(Red, 29, 10, FRight);
  for (bool frontFirst : {true, false}) {
    World w = emptyWorld(60, 10);
    fill(w, 20, 9, 50, 9, InnerWallH());
    fill(w, 20, 11, 50, 11, InnerWallH());
    w.creatures = frontFirst ? std::vector{front, behind} : std::vector{behind, front};
    if (frontFirst) {
      EXPECT_EQ(moveEnemy(w), 1) << "the trail just laid in front blocks the one behind";
      EXPECT_EQ(w.creatures[0], make(Red, 31, 10, FRight));
      EXPECT_FALSE(w.creatures[1].alive);
      EXPECT_EQ(w.map.at(30, 10), Wreckage());
    } else {
      EXPECT_EQ(moveEnemy(w), 2) << "wreckage dropped on a later creature kills it on its turn";
      EXPECT_FALSE(w.creatures[0].alive || w.creatures[1].alive);
      EXPECT_EQ(w.creatures[1].x, 30);
    }
  }
}

}  // namespace
