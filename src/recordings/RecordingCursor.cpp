// The one reading order of a recording.
#include "recordings/RecordingCursor.h"

#include "store/FileMessages.h"

RecordingCursor::RecordingCursor(const Recording& recording, std::string name)
    : recording_(recording), name_(std::move(name)) {}

int RecordingCursor::key() {
  if (atEnd() || recording_.events[next_].kind != RecordedEvent::Key) doesNotFit("the game reads a key here");
  ++keys_;
  return recording_.events[next_++].key;
}

RecordedRead RecordingCursor::table() {
  if (atEnd() || recording_.events[next_].kind != RecordedEvent::Table)
    doesNotFit("the game reads the score table here");
  RecordedRead read{recording_.tableOf(recording_.events[next_++]), false};
  // The reader takes a save's note only right after a table, so it can be nowhere else.
  if (!atEnd() && recording_.events[next_].kind == RecordedEvent::TableWritten) {
    read.saved = true;
    ++next_;
  }
  return read;
}

void RecordingCursor::expectEnd() const {
  if (!atEnd()) doesNotFit("the run had ended here, but the recording goes on");
}

void RecordingCursor::doesNotFit(const std::string& what) const {
  throw RecordingError(shown(name_) + ": line " + std::to_string(recording_.headerLines + next_ + 1) + ": " +
                       what + "; the recorded run does not fit this version of the game");
}
