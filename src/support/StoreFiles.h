// File-level helpers of the high-score store: descriptors, bounded reading, writing, temporary
// files and where a save must go. Only DiskCache.cpp uses them.
#pragma once

#include <csignal>
#include <optional>
#include <string>
#include <string_view>

// A score table is a few dozen bytes; a file larger than this is refused unread as damaged.
inline constexpr long maxTableBytes = 64 * 1024;

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor();
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // A failed close can mean the data never reached the disk, so savers must check it. Returns 0 or
  // the errno of the failure.
  int closeChecked();

 private:
  int fd_;
};

// The whole file, or nothing when it does not exist. FileError when it cannot be opened or read
// or is not a regular file; Invalid_Value naming the file when it is larger than maxTableBytes.
std::optional<std::string> readWholeFile(const std::string& path);

// Returns 0 or the errno of the failed write.
int writeAll(int fd, std::string_view text);

// The file a save must replace: `path` itself, or, when it is a symbolic link, the file the link
// (and any link after it) points to, so that the link stays in place.
std::string saveTarget(const std::string& path);

// The temporary file beside the target: removed again unless it was renamed into place.
struct PendingFile {
  std::string path;
  bool renamed = false;
  ~PendingFile();
};

// Creates dir + "." + name + ".tmp" + pid + "-" + attempt, exclusively; FileError when it cannot.
int createTemporary(const std::string& dir, const std::string& name, std::string& tempPath);
// Removes the temporary files of `name` in `dir` whose process no longer runs.
void removeStaleTemporaries(const std::string& dir, const std::string& name);

// While it lives, SIGPIPE and SIGXFSZ are ignored, so that a write beyond the file-size limit (or
// into a closed pipe) fails with an error the store reports, instead of killing the game.
class WriteSignalsIgnored {
 public:
  WriteSignalsIgnored();
  ~WriteSignalsIgnored();
  WriteSignalsIgnored(const WriteSignalsIgnored&) = delete;
  WriteSignalsIgnored& operator=(const WriteSignalsIgnored&) = delete;

 private:
  struct sigaction pipe_ {};
  struct sigaction fileSize_ {};
};
