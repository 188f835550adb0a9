// Placeholder until this part of the game is written; replaced by its owner.
#include "creatures/Creature.h"
#include <stdexcept>
int moveEnemy(World&) { throw std::logic_error("not built yet"); }
int doCreature(World&, Creature&) { throw std::logic_error("not built yet"); }
int doTurret(World&, Creature&) { throw std::logic_error("not built yet"); }
int doBossCreature(World&, Creature&) { throw std::logic_error("not built yet"); }
