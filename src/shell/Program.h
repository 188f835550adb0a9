// The program as the command line starts it.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "shell/Headless.h"

// The whole program: reads the command line, seeds the dice, runs games until the player
// declines, reports failures. Returns the process exit status.
int runProgram(int argc, char* argv[]);

// --scores: the stored table, best first, one "rank: score points" a line. A missing table is
// said so; a damaged or unreadable one is reported on `errors` and gives status 1. Creates nothing.
int printScores(std::ostream& out, std::ostream& errors);

// A recording read and re-run headless, known to fit the game.
struct CheckedRecording {
  std::string file;
  Recording recording;
  HeadlessRun run;
};
// Reads the recording at `path` ("" for last-game.rec) and plays it headless, `seen` watching. A
// recording that cannot be read or that the game cannot follow is reported in one line on `errors`: nothing.
std::optional<CheckedRecording> checkRecording(const std::string& path, const ScreenSeen& seen,
                                               std::ostream& errors);

// --verify: one JSON object on `out` (fields in docs/gridfall.6); status 1 when the recording does
// not fit, with the line saying where on `errors`.
int printVerification(const std::string& path, std::ostream& out, std::ostream& errors);
// --cast: the recording as asciicast v2 on `out`, `pace` keys a second; written only once the whole
// recording is known to fit, else status 1 and one line on `errors`.
int printCast(const std::string& path, int pace, std::ostream& out, std::ostream& errors);

// What --verify and --cast write of a recording known to fit. The cast plays it again as it is
// written and returns what that play found (the same run: the game follows its keys alone).
void writeVerification(const CheckedRecording& checked, std::ostream& out);
HeadlessRun writeCast(const CheckedRecording& checked, int pace, std::ostream& out);
