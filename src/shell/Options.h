// The command line: what the player asked the program to do, read before the terminal is touched.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

// What the program does after reading its command line.
enum class Action { Play, Help, Version, Scores, Cast, Verify, Keys, Invalid };

// The parsed command line. Options that change a game (a fixed seed, a recording) add their
// fields here.
struct Options {
  Action action = Action::Play;
  std::string error;                  // for Action::Invalid: the one line naming what was not understood
  std::optional<std::uint32_t> seed;  // --seed N; none: the clock's seconds
  bool resume = false;                // --resume
  std::optional<std::string> replay;  // --replay [FILE]; "" for last-game.rec
  std::optional<std::string> watch;   // --watch [JOURNAL]; "" for the newest one a running game holds
  std::string recording;              // --cast [FILE], --verify [FILE]; "" for last-game.rec
  bool daily = false;                 // --daily: the seed of today's UTC date
  int pace = 8;                       // --pace N: keys a second of --cast and --replay
  std::optional<int> practice;        // --practice LEVEL: every game starts there, its score not kept
  std::optional<int> power;           // --power N: the power practice games start with
};

// The seed --daily plays at `now`: the UTC date as the number YYYYMMDD.
std::uint32_t dailySeed(std::time_t now);

// Reads argv with getopt_long. Never prints and never exits; callers act on the record.
Options parseOptions(int argc, char* argv[]);

// A seed as given on the command line: decimal digits only, 0..4294967295.
std::optional<std::uint32_t> parseSeed(std::string_view text);

// The recording --replay, --cast or --verify reads: the file named, or last-game.rec when none
// was ("" given). Throws RecordingError when none was named and no game has finished yet, so that
// a first use is told what to do rather than that a file it never heard of cannot be opened.
std::string recordingToRead(const std::string& named);

// The --help text: every option, one a line.
std::string usageText();
// The --version text: "gridfall " and the project version, then the copyright, licence and
// no-warranty lines.
std::string versionText();
// The keys section of usageText: the moves and the powers with their costs.
std::string keysHelp();
