// The player's random start.
#include "world/PlayerData.h"

#include "dice/Lfrand.h"

Player newPlayer() {
  const int y = lfDice({1, 17, 1});  // the row is rolled before the column
  const int x = lfDice({1, 18, 1});
  return Player{x, y, 0};
}
