// Reading a journal as it grows, and telling where its run stands from its lock and its names.
#include "recordings/JournalFollower.h"

#include <cerrno>
#include <cstring>

#include "recordings/Journal.h"
#include "store/FileMessages.h"
#include "store/FileWatch.h"
#include "store/StoreNames.h"

namespace {

std::string baseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

Descriptor openJournal(const std::string& path) {
  Descriptor file = openForReading(path);
  if (file.valid()) return file;
  if (errno == ELOOP) throw RecordingError(shown(path) + ": a link; name the journal itself");
  throw RecordingError(shown(path) + ": cannot be opened: " + std::strerror(errno));
}

}  // namespace

JournalFollower::JournalFollower(const std::string& path) : file_(openJournal(path)), path_(path) {
  const std::string text = readWhole(file_, path_);
  if (!ownedByThisUser(file_.get())) throw RecordingError(shown(path_) + ": another user's file");
  recording_ = parseRecording(text, path_);
}

bool JournalFollower::catchUp() {
  if (emptied_) return false;
  std::string appended;
  if (!readAppended(file_.get(), recording_.wholeBytes, maxRecordingBytes, appended)) {
    emptied_ = true;
    return false;
  }
  const std::size_t before = recording_.events.size();
  continueRecording(recording_, appended, path_);
  return recording_.events.size() > before;
}

RunState JournalFollower::runState() const {
  // Only a journal at its own resumable name, not emptied, is a run that may go on.
  const bool resumable = !emptied_ && isJournalName(baseName(path_)) && stillNamed(file_.get(), path_);
  switch (lockOf(file_.get())) {
    case LockSeen::Held: return resumable ? RunState::Playing : RunState::Stopped;
    case LockSeen::Free: return resumable ? RunState::CutOff : RunState::Ended;
    case LockSeen::Unknown: break;
  }
  // Without the list of locks a run cut off cannot be told from one that plays: while the journal
  // keeps its name, the watch goes on.
  return resumable ? RunState::Playing : RunState::Ended;
}

std::string newestHeldJournal() {
  bool unknown = false;
  for (const std::string& path : cutOffJournalsNewestFirst()) {
    const Descriptor file = openForReading(path);
    if (!file.valid()) continue;
    const LockSeen lock = lockOf(file.get());
    if (lock == LockSeen::Held && ownedByThisUser(file.get())) return path;
    unknown = unknown || lock == LockSeen::Unknown;
  }
  if (unknown)
    throw RecordingError("cannot tell which game runs (/proc/locks cannot be read): name its journal");
  return {};
}
