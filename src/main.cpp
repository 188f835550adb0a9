// gridfall: fly the ship through ten walled arenas.
#include "shell/Program.h"

int main(int argc, char* argv[]) { return runProgram(argc, argv); }
