// The program as the command line starts it.
#pragma once

#include <iosfwd>

// The whole program: reads the command line, seeds the dice, runs games until the player
// declines, reports failures. Returns the process exit status.
int runProgram(int argc, char* argv[]);

// --scores: the stored table, best first, one "rank: score points" a line. A missing table is
// said so; a damaged or unreadable one is reported on `errors` and gives status 1. Creates nothing.
int printScores(std::ostream& out, std::ostream& errors);
