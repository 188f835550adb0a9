// The journal files: creating and locking one per run, appending a line per key, moving a finished
// run to last-game.rec, and finding, taking over and pruning the journals of cut-off runs.
#include "support/Journal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "support/DiskCache.h"

namespace {

const char* const suffix = ".rec";

bool ensureDirectory(const std::string& path) { return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST; }

bool lockWithoutWaiting(int fd) { return flock(fd, LOCK_EX | LOCK_NB) == 0; }

bool writeWhole(int fd, std::string_view text) {
  return write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

// A write beyond the file-size limit (ulimit -f) would kill the game with SIGXFSZ; the journal stops
// short of the limit instead, a true beginning of the run. Asked once, not at every key.
std::int64_t roomUnderSizeLimit(int fd) {
  rlimit limit{};
  struct stat info {};
  if (getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return INT64_MAX;
  if (fstat(fd, &info) != 0) return 0;
  return std::max<std::int64_t>(0, static_cast<std::int64_t>(limit.rlim_cur) - info.st_size);
}

bool appendWhole(Journal& journal, std::string_view line) {
  if (journal.room < 0) journal.room = roomUnderSizeLimit(journal.fd);
  if (static_cast<std::int64_t>(line.size()) > journal.room || !writeWhole(journal.fd, line)) return false;
  journal.room -= static_cast<std::int64_t>(line.size());
  return true;
}

std::string journalName(std::time_t start) {
  std::tm utc{};
  gmtime_r(&start, &utc);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
  return std::string(stamp) + "-" + std::to_string(getpid());
}

struct Candidate {
  std::string path;
  timespec modified;
};

// Journals of the folder, newest first (by last change, then by name).
std::vector<Candidate> journalsNewestFirst() {
  std::vector<Candidate> found;
  const std::string dir = journalDir();
  DIR* folder = opendir(dir.c_str());
  if (folder == nullptr) return found;
  while (const dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    if (name[0] == '.' || name.size() <= std::strlen(suffix) || !name.ends_with(suffix)) continue;
    struct stat info {};
    if (lstat((dir + name).c_str(), &info) == 0 && S_ISREG(info.st_mode))
      found.push_back({dir + name, info.st_mtim});
  }
  closedir(folder);
  std::sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
    if (a.modified.tv_sec != b.modified.tv_sec) return a.modified.tv_sec > b.modified.tv_sec;
    if (a.modified.tv_nsec != b.modified.tv_nsec) return a.modified.tv_nsec > b.modified.tv_nsec;
    return a.path > b.path;
  });
  return found;
}

std::string readBounded(int fd, const std::string& path) {
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) throw RecordingError(path + ": not a regular file");
  if (static_cast<std::size_t>(info.st_size) > maxRecordingBytes) {
    throw RecordingError(path + ": too large to be a recording");
  }
  std::string text(static_cast<std::size_t>(info.st_size), '\0');
  std::size_t got = 0;
  while (got < text.size()) {
    const ssize_t n = pread(fd, text.data() + got, text.size() - got, static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw RecordingError(path + ": cannot be read: " + std::strerror(errno));
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  text.resize(got);
  return text;
}

}  // namespace

std::string journalDir() { return userCacheDir(".gridfall") + "journal/"; }
std::string lastGamePath() { return userCacheDir(".gridfall") + "last-game.rec"; }

Journal startJournal(std::uint32_t seed, std::time_t start) {
  // The journal keeps the score store's rule: no folder reached through "..".
  if (journalDir().find("..") != std::string::npos) return {};
  if (!ensureDirectory(userCacheDir(".gridfall")) || !ensureDirectory(journalDir())) return {};
  const std::string base = journalDir() + journalName(start);
  // Headed and locked under a hidden name first, so --resume never meets a journal half made.
  const std::string making = journalDir() + "." + journalName(start) + ".new";
  const int fd = open(making.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) return {};
  std::string path = base + suffix;
  for (int n = 2; access(path.c_str(), F_OK) == 0; ++n) path = base + "-" + std::to_string(n) + suffix;
  Journal journal{fd, path};
  if (!lockWithoutWaiting(fd) || !appendWhole(journal, recordingHeader(seed)) ||
      rename(making.c_str(), path.c_str()) != 0) {
    close(fd);
    unlink(making.c_str());
    return {};
  }
  return journal;
}

void appendToJournal(Journal& journal, std::string_view line) {
  if (journal.fd < 0 || journal.broken) return;
  if (!appendWhole(journal, line)) journal.broken = true;
}

void finishJournal(Journal& journal) {
  if (journal.fd < 0) return;
  if (!journal.broken && fsync(journal.fd) == 0 &&
      rename(journal.path.c_str(), lastGamePath().c_str()) == 0) {
    journal.path = lastGamePath();
  }
  closeJournal(journal);
}

void closeJournal(Journal& journal) {
  if (journal.fd >= 0) close(journal.fd);
  journal.fd = -1;
}

std::optional<ResumableRun> takeNewestJournal(std::string& why) {
  int held = 0;
  for (const Candidate& candidate : journalsNewestFirst()) {
    const int fd = open(candidate.path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
    if (fd < 0) continue;
    if (!lockWithoutWaiting(fd)) {
      ++held;
      close(fd);
      continue;
    }
    try {
      const std::string text = readBounded(fd, candidate.path);
      Recording recording = parseRecording(text, candidate.path);
      // A torn last line is cut off, so what is appended next starts on a line of its own.
      if (recording.wholeBytes < text.size() &&
          ftruncate(fd, static_cast<off_t>(recording.wholeBytes)) != 0) {
        throw RecordingError(candidate.path + ": cannot be continued: " + std::strerror(errno));
      }
      return ResumableRun{{fd, candidate.path}, std::move(recording)};
    } catch (...) {
      close(fd);
      throw;
    }
  }
  why = held == 0 ? "no cut-off game in " + journalDir()
                  : std::to_string(held) + " cut-off game" + (held == 1 ? " is" : "s are") +
                        " still held by a running gridfall; none other in " + journalDir();
  return std::nullopt;
}

void pruneJournals(int keep) {
  int kept = 0;
  for (const Candidate& candidate : journalsNewestFirst()) {
    const int fd = open(candidate.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    if (lockWithoutWaiting(fd) && ++kept > keep) unlink(candidate.path.c_str());
    close(fd);
  }
}

Recording readRecordingFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw RecordingError(path + ": cannot be opened: " + std::strerror(errno));
  try {
    const std::string text = readBounded(fd, path);
    close(fd);
    return parseRecording(text, path);
  } catch (...) {
    close(fd);
    throw;
  }
}
