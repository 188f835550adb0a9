// The command line: what the player asked the program to do, read before the terminal is touched.
#pragma once

#include <string>

// What the program does after reading its command line.
enum class Action { Play, Help, Version, Scores, Invalid };

// The parsed command line. Options that change a game (a fixed seed, a recording) add their
// fields here.
struct Options {
  Action action = Action::Play;
  std::string error;  // for Action::Invalid: the one line naming what was not understood
};

// Reads argv with getopt_long. Never prints and never exits; callers act on the record.
Options parseOptions(int argc, char* argv[]);

// The --help text: every option, one a line.
std::string usageText();
// The --version text; its first line is "gridfall " followed by the project version.
std::string versionText();
