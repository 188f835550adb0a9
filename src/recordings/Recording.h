// A recording of one run of the program: the dice seed and, in order, every key the game read and
// every score table it read and wrote at a game end. The seed and the keys decide the whole game;
// the tables make a recording self-contained, so it plays back the same whatever the score file
// holds later. Text format in docs/recording.md; parsing is strict and bounded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "errors/GameError.h"
#include "store/StoreNames.h"

// A recording that cannot be used: not a recording, another format version, damaged.
class RecordingError : public GameError {
 public:
  explicit RecordingError(const std::string& description) : GameError("RecordingError", description) {}
};

struct RecordedEvent {
  enum Kind { Key, Table, TableWritten };
  Kind kind;
  int key;                 // Key: the code the game read
  std::vector<int> table;  // Table: the five entries as read, before this game's score went in
};

struct Recording {
  std::uint32_t seed;
  std::vector<RecordedEvent> events;
  // Bytes of whole lines; anything after them is a torn last line, left by a cut-off append.
  std::size_t wholeBytes;
};

// The format version this program writes and reads.
constexpr int recordingFormat = 1;

// Exact file format (version 1): ASCII lines ending in "\n".
//   gridfall recording 1      first line: what the file is and its format version
//   seed 1709294400           the dice seed, 0..4294967295
//   k 259                     a key the game read (its code, 0..65535)
//   t 2400 1200 350 0 0       the score table read at a game end (five ints)
//   w                         that table, with this game's score merged in, was saved
// A run whose first game ends after one key, Up (259), whose end screen is closed with 'n' (110)
// and another game declined with 'n', is exactly these bytes:
//   "gridfall recording 1\nseed 1709294400\nk 259\nk 110\nt 2400 1200 350 0 0\nw\nk 110\n"
std::string recordingHeader(std::uint32_t seed);
std::string keyLine(int code);
std::string tableLine(const std::vector<int>& table);
std::string writtenLine();

// Parses a recording; `name` (the file) starts every error message. A last line without its
// "\n" is ignored (a cut in mid-append); anything else out of place is a RecordingError saying
// which line is wrong and how.
Recording parseRecording(std::string_view text, const std::string& name);
