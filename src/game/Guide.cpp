// The guide below the game: one status line and, once the ship is destroyed, what destroyed it.
#include "game/Guide.h"

#include <optional>
#include <vector>

namespace {

struct GuideStatus {
  int level = 1;
  std::optional<int> best;  // unknown until the table is read
  std::string loss;         // "" while the ship flies
  bool practice = false;    // no score is kept, so no best score is shown
};
GuideStatus status;

void show() {
  std::string line = (status.practice ? "Practice, level " : "Level ") + std::to_string(status.level);
  if (status.best && !status.practice) line += "    Best score " + std::to_string(*status.best);
  line += "    Ctrl-C leaves; gridfall --resume continues";
  std::vector<GuideLine> lines{{line}};
  if (!status.loss.empty()) lines.push_back({status.loss, colourAttributes(Red, Heavy)});
  guideBelow(std::move(lines));
}

std::string creatureName(const Creature& c) {
  if (c.colour == White) return "a turret gun";
  if (c.colour == Magenta) return "the boss";
  return "a creature";
}

std::string terrainName(const Terrain& t, bool moved) {
  if (t == PlayerTrail()) return "your own trail";
  if (t.symbol == EnemyTrail().symbol && !t.passable) return "a creature's trail";
  // Wreckage that came onto the ship's cell is the mark of an explosion there.
  if (t.symbol == Wreckage().symbol && !t.passable) return moved ? "wreckage" : "an explosion";
  if (t == LaserBoltV() || t == LaserBoltH()) return "a laser bolt";
  if (t == Disrupted()) return "a disrupted cell";
  if (t == BossBrain()) return "the boss brain";
  if (!t.passable && t.permanent) return "a wall";
  return "";
}

}  // namespace

void guideBestScore(int best) {
  status.best = best;
  show();
}

void guidePractice(bool practice) {
  if (status.practice == practice) return;  // a run of full games draws the guide as it always has
  status.practice = practice;
  show();
}

// A loss ends its game, so a level that starts is always flown by a live ship.
void guideLevel(int level) {
  status.level = level;
  status.loss.clear();
  show();
}

std::string whatDestroyedShip(const World& world, bool moved) {
  const Player& p = world.player;
  for (const Creature& c : world.creatures) {
    if (c.alive && c.x == p.x && c.y == p.y) return creatureName(c);
  }
  return terrainName(world.map.at(p.x, p.y), moved);
}

void guideShipLost(const World& world, bool moved) {
  const std::string cause = whatDestroyedShip(world, moved);
  status.loss = cause.empty() ? "The ship was destroyed." : "The ship was destroyed by " + cause + ".";
  show();
}
