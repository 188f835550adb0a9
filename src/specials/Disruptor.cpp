// Placeholder until this part of the game is written; replaced by its owner.
#include "specials/Specials.h"
#include <stdexcept>
int doDisruptor(World&, Special&) { throw std::logic_error("not built yet"); }
void disruptorExplode(World&, const Special&) { throw std::logic_error("not built yet"); }
