// A recording of one run of the program: the dice seed and, in order, every key the game read and
// every score table it read and wrote at a game end. The seed and the keys decide the whole game;
// the tables make a recording self-contained, so it plays back the same whatever the score file
// holds later. Text format in docs/recording.md; parsing is strict and bounded.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
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

// Small, since a recording from anywhere may hold two million of them: a table is kept aside.
struct RecordedEvent {
  enum Kind : std::uint8_t { Key, Table, TableWritten };
  Kind kind;
  int key;  // Key: the code the game read; Table: the place of its entries in Recording::tables
};

using RecordedTable = std::array<int, tableEntries>;

// The settings that change play, as a format 2 recording's header holds them.
struct RecordedPractice {
  int level;  // every game starts on it, 1..10
  int power;  // with this much power
};
struct RecordedKeys {
  std::string action;      // as the keys file names it; the shell knows the actions
  std::vector<int> codes;  // exactly the keys it takes
  std::size_t line = 0;    // of the header, for messages
};

struct Recording {
  std::uint32_t seed = 0;
  std::optional<RecordedPractice> practice;
  std::vector<RecordedKeys> rebound;
  std::vector<RecordedEvent> events;
  std::vector<RecordedTable> tables;  // each table read, in order: the entries before the score went in
  // Bytes of whole lines; anything after them is a torn last line, left by a cut-off append.
  std::size_t wholeBytes = 0;
  // Lines before the first event, so that event i is on line headerLines + i + 1.
  std::size_t headerLines = 2;

  // A run with no setting that changes play is written in format 1, byte for byte as before.
  int format() const { return practice || !rebound.empty() ? 2 : 1; }

  // The table a Table event read.
  std::vector<int> tableOf(const RecordedEvent& event) const {
    const RecordedTable& table = tables[static_cast<std::size_t>(event.key)];
    return {table.begin(), table.end()};
  }
};

// The newest format version this program writes and reads; it reads every one before it.
constexpr int recordingFormat = 2;
constexpr int practicePowerLimit = 9999;

// Exact file format (version 1): ASCII lines ending in "\n".
//   gridfall recording 1      first line: what the file is and its format version
//   seed 1709294400           the dice seed, 0..4294967295
//   k 259                     a key the game read (its code, 0..65535)
//   t 2400 1200 350 0 0       the score table read at a game end (five ints)
//   w                         that table, with this game's score merged in, was saved
// A run of seed 1709294400 whose ship turns back into its own trail (Up 259, Down 258), whose end
// screen is brought up with 'n' (110) and another game declined with 'n', is exactly these bytes:
//   "gridfall recording 1\nseed 1709294400\nk 259\nk 258\nk 110\nt 2400 1200 350 0 0\nw\nk 110\n"
// Format 2 is a run with settings that change play: after the seed, its header holds them, each
// once and before the first event:
//   practice 5                every game starts on level 5 (1..10)
//   power 150                 with this much power (0..9999); only with practice, which needs it
//   keys laser 122 90         an action and exactly the key codes it takes (one line per action)
std::string recordingHeader(const Recording& settings);
// The header of a run with no setting: format 1.
std::string recordingHeader(std::uint32_t seed);
std::string keyLine(int code);
std::string tableLine(const std::vector<int>& table);
std::string writtenLine();

// Parses a recording; `name` (the file) starts every error message. A last line without its
// "\n" is ignored (a cut in mid-append); anything else out of place is a RecordingError saying
// which line is wrong and how.
Recording parseRecording(std::string_view text, const std::string& name);
// Adds to `recording` the events of the whole lines in `appended`, the bytes of its file after
// recording.wholeBytes (a journal followed as it is written), as strictly as parseRecording and with
// the same line numbers; a torn last line is left for the next call.
void continueRecording(Recording& recording, std::string_view appended, const std::string& name);
