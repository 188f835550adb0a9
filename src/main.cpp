// gridfall: fly the ship through ten walled arenas.
#include "game/Game.h"

int main(int argc, char* argv[]) { return runProgram(argc, argv); }
