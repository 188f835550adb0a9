// Placeholder until this part of the game is written; replaced by its owner.
#include "specials/Specials.h"
#include <stdexcept>
void doLaserNorth(World&, Special&) { throw std::logic_error("not built yet"); }
void doLaserSouth(World&, Special&) { throw std::logic_error("not built yet"); }
void doLaserWest(World&, Special&) { throw std::logic_error("not built yet"); }
void doLaserEast(World&, Special&) { throw std::logic_error("not built yet"); }
