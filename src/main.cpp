// gridfall: fly the ship through ten walled arenas.
#include "game/Game.h"

int main() { return runProgram(); }
