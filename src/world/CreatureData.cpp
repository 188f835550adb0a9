// Making ordinary enemies at random.
#include "world/CreatureData.h"

#include "dice/Lfrand.h"

Creature newCreature() {
  const int x = lfDice({1, 68, 1});
  const int y = lfDice({1, 17, 1});
  const Facing facings[] = {FLeft, FRight, FUp, FDown};
  const Facing facing = facings[lfDice({1, 4, -1})];
  return Creature{x, y, Red, Heavy, true, facing};
}
