// The player's turn: the status rows with the power menu, the keys that make up a turn, the
// ship's move with its trail, and the power that goes off from the cell the ship moves into.
#include <algorithm>
#include <optional>
#include <string>

#include "dice/Lfrand.h"
#include "player/KeyMap.h"
#include "player/Player.h"
#include "specials/Emitters.h"
#include "world/CellRolls.h"

namespace {

constexpr int statusPowerRow = 22;
constexpr int statusScoreRow = 23;
constexpr int menuFirstColumn = 15;
constexpr int menuWidth = 60;

// What the key loop settled on: the displacement (one cell, or the jump of a teleport), the heading
// for the directional powers, and the power that goes off after the move.
struct TurnCommand {
  int dx = 0;
  int dy = 0;
  Facing facing = FRight;
  int selection = noSelection;
};

void drawStatusArea(int power, int score) {
  // The two trailing blanks wipe a digit left over from a longer number of the previous turn.
  printAtColour(0, statusPowerRow, "Power: " + std::to_string(power) + "  ", Cyan, Heavy);
  printAtColour(0, statusScoreRow, "Score: " + std::to_string(score), Green, Heavy);
  const std::string blanks(menuWidth, ' ');
  printAt(menuFirstColumn, statusPowerRow, blanks);
  printAt(menuFirstColumn, statusScoreRow, blanks);
  for (PowerId id : menuDrawingOrder) {
    const MenuEntry& e = menu[id];
    if (affordable(power, id)) printAtColour(e.column, e.row, menuLabel(id), e.colour, e.weight);
  }
  guidePowers(power);
  updateScreen();
}

void drawSelectionMarkers(int selection) {
  for (int cell = 0; cell < powerCount; ++cell) {
    const MenuEntry& e = menu[cell];
    if (cell != noSelection && cell == selection)
      printAtColour(e.column - 1, e.row, "*", White, Heavy);
    else
      printAt(e.column - 1, e.row, " ");
  }
}

// Rolls random cells, column die first, until one is free of walls, creatures, the ship and exits.
// An arena can fill up completely (trails, wreckage and creatures everywhere): the search is
// bounded, and when it gives up the caller treats the key like one the player cannot afford.
std::optional<Cell> findTeleportTarget(const World& w) { return rollClearCell(w, {1, 63, 4}, {1, 20, 0}); }

// Reads keys until they make a complete turn: a direction, possibly after a power letter, or a
// teleport. A teleport is paid for here, since it decides the displacement.
TurnCommand readCommand(World& w) {
  Player& p = w.player;
  TurnCommand turn;
  bool done = false;
  while (!done) {
    drawSelectionMarkers(turn.selection);
    const std::optional<Command> command = commandForKey(readChar());
    done = true;
    const std::optional<Move> step = command ? moveOf(*command) : std::nullopt;
    const std::optional<PowerId> power = command ? powerOf(*command) : std::nullopt;
    if (step) {
      turn.dx = step->dx;
      turn.dy = step->dy;
      turn.facing = step->facing;
    } else if (power && affordable(p.power, *power)) {
      if (*power == Teleport) {
        turn.selection = noSelection;
        const std::optional<Cell> target = findTeleportTarget(w);
        if (target) {
          p.power -= teleportCost;
          turn.dx = target->x - p.x;
          turn.dy = target->y - p.y;
        } else {
          done = false;  // nowhere to go: nothing is charged and the ship waits for another key
        }
      } else {
        turn.selection = *power;
        done = false;
      }
    } else {
      turn.selection = noSelection;
      done = false;
    }
  }
  return turn;
}

// Extra steps in the direction of the move. Every test of the loop rolls a fresh die, so the ship
// goes on past step i with chance (6 - i) / 6; it passes over whatever lies between. The landing is
// kept on the map: a blink past the border ends on the border wall, which kills.
void blinkOnward(Player& p, const TurnCommand& turn) {
  for (int i = 0; i < lfDice(Dicespec{1, 6, 0}); ++i) {
    p.x += turn.dx;
    p.y += turn.dy;
  }
  p.power -= jumpCost;
  p.x = std::clamp(p.x, 0, xSize);
  p.y = std::clamp(p.y, 0, ySize);
}

// Fires the selected power from the ship's new cell and charges its cost. The blink has already
// been paid for as it moved the ship.
void fireSelection(World& w, const TurnCommand& turn) {
  const int x = w.player.x;
  const int y = w.player.y;
  switch (turn.selection) {
    case FireLaser: addLaser(turn.facing, w, x, y, Cyan); break;
    case WideLaser: addWideLaser(turn.facing, w, x + 2 * turn.dx, y + 2 * turn.dy, Cyan); break;
    case QuadLaser: addQuadLaser(w, x, y, Cyan, 0, 2); break;
    case ShockwavePower: addShockwave(w, x, y); break;
    case DisruptorPower: addDisruptor(turn.facing, w, x, y); break;
    case PhaseOut: setTerrain(w, x, y, Floor()); break;  // walls and exits are permanent and stay
    default: return;
  }
  w.player.power -= menu[turn.selection].cost;
}

void takeWhatLiesUnderShip(World& w) {
  const Terrain& under = w.map.at(w.player.x, w.player.y);
  if (under == PowerUp())
    w.player.power += lfDice(Dicespec{3, 6, 0});
  else if (under == Exit())
    w.exitReached = true;
}

}  // namespace

bool getCommand(World& w, int score) {
  Player& p = w.player;
  // Something may have destroyed the ship since its last turn.
  if (!isClear(w, p.x, p.y, false)) return false;
  takeWhatLiesUnderShip(w);
  if (p.power < 0) p.power = 0;
  drawStatusArea(p.power, score);
  // The ship always leaves its cell, so the trail goes down now; an exit is permanent and stays.
  setTerrain(w, p.x, p.y, PlayerTrail());
  const TurnCommand turn = readCommand(w);
  refreshCell(p.x, p.y, w.map);
  p.x += turn.dx;
  p.y += turn.dy;
  if (turn.selection == Blink) blinkOnward(p, turn);
  if (w.map.at(p.x, p.y) == Exit()) w.exitReached = true;
  drawPlayer(p.x, p.y);
  fireSelection(w, turn);
  return isClear(w, p.x, p.y, false);
}
