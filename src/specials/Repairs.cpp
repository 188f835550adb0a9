// Placeholder until this part of the game is written; replaced by its owner.
#include "specials/Specials.h"
#include <stdexcept>
void doRepairs(World&, Special&) { throw std::logic_error("not built yet"); }
void doDestruct(World&, Special&) { throw std::logic_error("not built yet"); }
