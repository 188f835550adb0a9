// The boss creature's fire rule at its own level: in line with the ship (same row or column) or
// hemmed in by walls it fires its quad laser, three cells out; positions games reach by chance.
#include <gtest/gtest.h>

#include "creatures/Creature.h"
#include "dice/Lfrand.h"
#include "screen/MemoryTerminal.h"
#include "screen/TerminalInUse.h"

namespace {

TEST(BossCreature, FiresItsQuadLaserInLineWithTheShipOrHemmedIn) {
  MemoryTerminal term;
  const TerminalInUse inUse(term);
  lfSrand(1);
  for (auto [hemmed, shipRow] : {std::pair{true, 3}, {false, 10}, {false, 3}}) {
    World w{Map(), {Creature{40, 10, Magenta, Heavy, true, FLeft}}, Player{10, shipRow, 0}, {}, false, 0};
    if (hemmed) {
      for (auto [x, y] : {std::pair{41, 10}, {40, 11}, {40, 9}}) w.map.put(x, y, InnerWallX());
    }
    doBossCreature(w, w.creatures[0]);
    std::vector<std::pair<int, int>> bolts;
    for (const Special& s : w.specials) bolts.emplace_back(s.x, s.y);
    const std::vector<std::pair<int, int>> quad = {{43, 10}, {37, 10}, {40, 13}, {40, 7}};
    const auto expected = hemmed || shipRow == 10 ? quad : decltype(quad){};
    EXPECT_EQ(bolts, expected) << "hemmed " << hemmed << ", ship on row " << shipRow;
  }
}

}  // namespace
