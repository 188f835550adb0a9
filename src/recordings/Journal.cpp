// The journal files: creating and locking one per run, appending a line per key, moving a finished
// run to last-game.rec, and finding, taking over and pruning the journals of cut-off runs. Every
// file operation goes through the store.
#include "recordings/Journal.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "recordings/JournalRoom.h"
#include "store/FileMessages.h"

namespace {

const std::string suffix = ".rec";
const std::string stoppedSuffix = ".stopped.rec";
const std::string makingSuffix = ".new";
constexpr int mostNameAttempts = 1000;

// Takes from the front of `text` a run of `least` to `most` digits.
bool takeDigits(std::string_view& text, std::size_t least, std::size_t most) {
  std::size_t n = 0;
  while (n < text.size() && n < most && text[n] >= '0' && text[n] <= '9') ++n;
  if (n < least) return false;
  text.remove_prefix(n);
  return true;
}

bool takeText(std::string_view& text, std::string_view expected) {
  if (!text.starts_with(expected)) return false;
  text.remove_prefix(expected.size());
  return true;
}

// <8 digits>-<6 digits>-<pid>, the part every name of a journal starts with.
bool takeStem(std::string_view& text) {
  return takeDigits(text, 8, 8) && takeText(text, "-") && takeDigits(text, 6, 6) && takeText(text, "-") &&
         takeDigits(text, 1, 10);
}

// A stem, an optional "-N", then exactly `ending`.
bool matches(std::string_view name, std::string_view ending) {
  if (!takeStem(name)) return false;
  if (name.starts_with('-') && !(takeText(name, "-") && takeDigits(name, 1, 4))) return false;
  return name == ending;
}

std::string stamp(std::time_t start) {
  std::tm utc{};
  gmtime_r(&start, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &utc);
  return std::string(text) + "-" + std::to_string(::getpid());
}

std::string nameAttempt(const std::string& base, int attempt) {
  return attempt == 1 ? base + suffix : base + "-" + std::to_string(attempt) + suffix;
}

// A stopped journal no longer follows its run, so it must never be resumed: it is renamed out of
// the resumable names where the folder allows, and otherwise emptied through the descriptor the run
// holds, which needs no folder (an empty journal is never offered to --resume).
void stop(Journal& journal, const std::string& why) {
  journal.trouble = why;
  if (journal.path.ends_with(stoppedSuffix) || !journal.path.ends_with(suffix)) return;
  const std::string stopped = journal.path.substr(0, journal.path.size() - suffix.size()) + stoppedSuffix;
  const int error = renameOver(journal.path, stopped);
  if (error == 0) {
    journal.path = stopped;
  } else if (cutFile(journal.file.get(), 0)) {
    journal.emptied = true;
    journal.trouble += "; " + shown(journal.path) + " could not be renamed (" + std::strerror(error) +
                       "), so it was emptied";
  } else {
    journal.stillResumable = true;
  }
}

bool append(Journal& journal, std::string_view line) {
  const auto length = static_cast<std::int64_t>(line.size());
  if (length > journal.room) {
    const JournalRoom room = journalRoomLeft(journal.file.get());
    if (length > room.bytes) {
      stop(journal, whyJournalStopped(room.bound));
      return false;
    }
    journal.room = std::min(room.bytes, std::max(length, mostRoomBetweenAsks));
  }
  if (const int error = writeAll(journal.file.get(), line)) {
    stop(journal, "the recording stopped: " + withAdvice(error, "check the disk"));
    return false;
  }
  journal.room -= length;
  return true;
}

struct Found {
  std::string path;
  timespec modified;
  std::int64_t size;
};

// Journals of the folder whose names match, newest first (by last change, then by name).
std::vector<Found> journalsNewestFirst(bool (*wanted)(std::string_view)) {
  std::vector<Found> found;
  for (const FolderEntry& entry : listFolder(journalFolder())) {
    if (entry.regular && wanted(entry.name))
      found.push_back({journalFolder() + entry.name, entry.modified, entry.size});
  }
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    if (a.modified.tv_sec != b.modified.tv_sec) return a.modified.tv_sec > b.modified.tv_sec;
    if (a.modified.tv_nsec != b.modified.tv_nsec) return a.modified.tv_nsec > b.modified.tv_nsec;
    return a.path > b.path;
  });
  return found;
}

bool isAnyJournalName(std::string_view name) { return isJournalName(name) || isStoppedJournalName(name); }

// The folders are made and checked by the store's private-folder rule; false when they cannot be.
bool journalFolderUsable(std::string& why, bool create = true) {
  try {
    return prepareJournalFolder(create);
  } catch (const GameError& e) {
    why = e.description();
    return false;
  }
}

// A journal that ends on a table's note was cut between reading the table and saving it: its score
// may not be in the table yet, and only --resume can settle that.
bool unsettled(const Descriptor& file, const std::string& path) {
  try {
    const Recording recording = parseRecording(readWhole(file, path), path);
    return !recording.events.empty() && recording.events.back().kind == RecordedEvent::Table;
  } catch (const RecordingError&) {
    return false;  // damaged: nothing --resume could settle
  }
}

// The maker of a half-made journal, from its name (".<start>-<pid>.new").
long makerOf(std::string_view name) {
  const std::size_t dash = name.rfind('-');
  return std::stol(std::string(name.substr(dash + 1, name.size() - dash - 1 - makingSuffix.size())));
}

}  // namespace

std::string readWhole(const Descriptor& file, const std::string& path) {
  std::string text;
  switch (readBounded(file.get(), maxRecordingBytes, text)) {
    case ReadOutcome::Read: return text;
    case ReadOutcome::NotRegular: throw RecordingError(shown(path) + ": not a regular file");
    case ReadOutcome::TooLarge: throw RecordingError(shown(path) + ": too large to be a recording");
    case ReadOutcome::Failed: break;
  }
  throw RecordingError(shown(path) + ": cannot be read: " + std::strerror(errno));
}

bool isJournalName(std::string_view name) { return matches(name, suffix); }
bool isStoppedJournalName(std::string_view name) { return matches(name, stoppedSuffix); }
bool isHalfMadeJournalName(std::string_view name) {
  return takeText(name, ".") && takeStem(name) && name == makingSuffix;
}

void removeHalfMadeJournals() {
  std::string why;
  if (!journalFolderUsable(why, false)) return;
  for (const FolderEntry& entry : listFolder(journalFolder())) {
    if (!entry.regular || !isHalfMadeJournalName(entry.name)) continue;
    const std::string path = journalFolder() + entry.name;
    // Its maker locks it just after creating it: only one whose maker no longer runs, and that
    // nobody holds, is surely left over.
    if (processRuns(makerOf(entry.name))) continue;
    const Descriptor file = openForReading(path);
    if (file.valid() && lockWithoutWaiting(file.get())) removeFile(path);
  }
}

Journal startJournal(const Recording& settings, std::time_t start) {
  Journal journal;
  if (!journalFolderUsable(journal.trouble)) return journal;
  const std::string base = journalFolder() + stamp(start);
  // Headed and locked under a hidden name first, so --resume never meets a journal half made.
  const std::string making = journalFolder() + "." + stamp(start) + makingSuffix;
  journal.file = createNewFile(making, 0600);
  if (!journal.file.valid()) {
    journal.trouble = "cannot create " + shown(making) + ": " + withAdvice(errno, "check the folder");
    return journal;
  }
  int error = EEXIST;
  if (!lockWithoutWaiting(journal.file.get()) || !append(journal, recordingHeader(settings))) error = EIO;
  for (int attempt = 1; error == EEXIST && attempt <= mostNameAttempts; ++attempt) {
    journal.path = nameAttempt(base, attempt);
    error = renameWithoutReplacing(making, journal.path);
  }
  if (error != 0) {
    if (journal.trouble.empty())
      journal.trouble =
          "cannot name the journal " + shown(base + suffix) + ": " + withAdvice(error, "check the folder");
    removeFile(making);
    journal.file = Descriptor();
    journal.path.clear();
  }
  return journal;
}

void appendToJournal(Journal& journal, std::string_view line) {
  if (!journal.file.valid() || !journal.trouble.empty()) return;
  append(journal, line);
}

void finishJournal(Journal& journal) {
  if (!journal.file.valid()) return;
  syncFile(journal.file.get());
  if (!journal.emptied && renameOver(journal.path, lastGamePath()) == 0) {
    journal.path = lastGamePath();
  } else if (removeFile(journal.path)) {
    journal.path.clear();
  }
  closeJournal(journal);
}

void closeJournal(Journal& journal) { journal.file = Descriptor(); }

std::vector<std::string> cutOffJournalsNewestFirst() {
  std::vector<std::string> paths;
  std::string why;
  if (!journalFolderUsable(why, false)) {
    if (!why.empty()) throw RecordingError(why);
    return paths;
  }
  for (const Found& found : journalsNewestFirst(isJournalName)) {
    if (found.size > 0) paths.push_back(found.path);  // an empty journal was stopped: see stop()
  }
  return paths;
}

TakenJournal takeJournal(const std::string& path) {
  TakenJournal taken{TakeOutcome::Unusable, Journal{}, Recording{}, ""};
  taken.journal.file = openForAppending(path);
  if (!taken.journal.file.valid() && errno == ENOENT) {
    taken.outcome = TakeOutcome::Gone;
    return taken;
  }
  if (!taken.journal.file.valid()) {
    taken.why = shown(path) + ": cannot be opened: " + std::strerror(errno);
    return taken;
  }
  if (!lockWithoutWaiting(taken.journal.file.get())) {
    taken.outcome = TakeOutcome::Held;
    return taken;
  }
  // Its holder may have moved it on between the open and the lock: only the file still of that
  // name is the cut-off run.
  if (!stillNamed(taken.journal.file.get(), path)) {
    taken.outcome = TakeOutcome::Gone;
    taken.journal.file = Descriptor();
    return taken;
  }
  try {
    const std::string text = readWhole(taken.journal.file, path);
    taken.recording = parseRecording(text, path);
    // A torn last line is cut off, so what is appended next starts on a line of its own.
    if (taken.recording.wholeBytes < text.size() &&
        !cutFile(taken.journal.file.get(), taken.recording.wholeBytes))
      throw RecordingError(shown(path) + ": cannot be continued: " + std::strerror(errno));
    taken.journal.path = path;
    taken.outcome = TakeOutcome::Taken;
  } catch (const RecordingError& e) {
    taken.why = e.description();
    taken.journal.file = Descriptor();
  }
  return taken;
}

void pruneJournals(int keep) {
  std::string why;
  if (!journalFolderUsable(why, false)) return;
  int kept = 0;
  for (const Found& found : journalsNewestFirst(isAnyJournalName)) {
    const Descriptor file = openForReading(found.path);
    if (file.valid() && lockWithoutWaiting(file.get()) && ++kept > keep && !unsettled(file, found.path))
      removeFile(found.path);
  }
}

Recording readRecordingFile(const std::string& path) {
  const Descriptor file = openForReading(saveTarget(path));
  if (!file.valid()) throw RecordingError(shown(path) + ": cannot be opened: " + std::strerror(errno));
  return parseRecording(readWhole(file, path), path);
}
