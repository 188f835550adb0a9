// Placeholder until the driver is written.
#include "game/Game.h"
int runProgram() { return 0; }
