// Rolling random cells, or creatures, until one will do. Every such search is bounded, so that an
// arena with no acceptable cell left cannot hang the game.
#pragma once

#include <optional>

#include "dice/Lfrand.h"
#include "world/WorldData.h"

struct Cell {
  int x;
  int y;
};

// Calls roll() until accepted() takes what it made, and gives that back; nothing after
// maxPlacementAttempts rolls, or as soon as the dice are stuck at zero (seed 0).
template <typename Roll, typename Accept>
auto rollUntil(Roll roll, Accept accepted) -> std::optional<decltype(roll())> {
  for (int attempt = 0; attempt < maxPlacementAttempts; ++attempt) {
    auto rolled = roll();
    if (accepted(rolled)) return rolled;
    if (lfStuck()) break;  // the dice can only roll this again: the bound's outcome, at once
  }
  return std::nullopt;
}

// Rolls cells, column die first, until one is free of walls, creatures, exits and the ship.
inline std::optional<Cell> rollClearCell(const World& w, Dicespec column, Dicespec row) {
  const auto rollCell = [&] {
    const int x = lfDice(column);
    return Cell{x, lfDice(row)};
  };
  return rollUntil(rollCell, [&](const Cell& c) { return isClear(w, c.x, c.y, true); });
}
