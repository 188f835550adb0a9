// Following a journal as its run writes it (--watch): the recording read so far, grown by each
// whole line appended since, and where the run stands. Only ever reads: the journal is never
// locked, written or renamed, so the run that writes it goes exactly as it would unwatched.
#pragma once

#include <string>

#include "recordings/Recording.h"
#include "store/StoreFiles.h"

enum class RunState {
  Playing,  // a program holds the journal and records in it
  Stopped,  // a program holds it, but the recording stopped (renamed .stopped.rec, or emptied)
  CutOff,   // nobody holds it and it keeps its resumable name: --resume may continue it
  Ended,    // nobody holds it and it is finished, stopped or gone: nothing more will come
};

class JournalFollower {
 public:
  // Opens `path` for reading, never through a link, and reads it whole. RecordingError (naming the
  // file) for anything but a regular file of this user that the reader accepts.
  explicit JournalFollower(const std::string& path);

  const Recording& recording() const { return recording_; }
  const std::string& path() const { return path_; }
  // Adds the events of the whole lines appended since the last look, through the descriptor opened
  // first, so that a rename loses nothing. True when there were any; RecordingError for a line the
  // reader refuses.
  bool catchUp();
  // Asks the kernel's list of locks and the file's names; a few system calls, so asked seldom.
  RunState runState() const;

 private:
  Descriptor file_;
  std::string path_;
  Recording recording_;
  bool emptied_ = false;  // the run stopped recording and emptied the journal
};

// The newest journal of this user that a running program holds, "" when there is none;
// RecordingError when the folder is unsafe or the running programs cannot be told.
std::string newestHeldJournal();
