// Reading a recording in the order the game meets its events: a key wherever the game reads a key,
// the score table wherever a game end reads it, then the note that the table was saved, or none
// when the run was cut between the two. Resume, replay and the headless run (--verify, --cast) all
// read recordings through a cursor, so these rules and the one message for a recording that does
// not fit the game are here alone.
//
// The recording may grow while a cursor reads it (a journal followed as it is written): the cursor
// keeps its place by index, and atEnd() says only that nothing more is recorded yet.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "recordings/Recording.h"

struct RecordedRead {
  std::vector<int> table;  // the table as the game end read it
  bool saved;              // the note that the merged table was saved follows it
};

class RecordingCursor {
 public:
  // `name` (the file) starts the message of a recording the game parts ways with.
  RecordingCursor(const Recording& recording, std::string name);

  bool atEnd() const { return eventsAhead() == 0; }
  // Events recorded beyond the cursor: a watcher waits for a table's note to follow its table.
  std::size_t eventsAhead() const { return recording_.events.size() - next_; }
  // The next event, which must be a key: the game reads one here.
  int key();
  // The next event, which must be a table: a game end reads it here; the note of its save with it.
  RecordedRead table();
  // The run ended here (the player declined another game): nothing more may be recorded.
  void expectEnd() const;
  std::size_t keysRead() const { return keys_; }

 private:
  // A RecordingError naming the file, the line and what the game wanted there.
  [[noreturn]] void doesNotFit(const std::string& what) const;

  const Recording& recording_;
  std::string name_;
  std::size_t next_ = 0;
  std::size_t keys_ = 0;
};
