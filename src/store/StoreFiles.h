// The store's file primitives, through which the game opens, reads and writes its files: descriptors,
// a bounded reader that never blocks, whole writes, new files made exclusively, locks, renames and
// folder listings.
#pragma once

#include <csignal>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor();
  Descriptor(Descriptor&& other) noexcept : fd_(other.release()) {}
  Descriptor& operator=(Descriptor&& other) noexcept;
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release();
  // A failed close can mean the data never reached the disk, so savers must check it. Returns 0 or
  // the errno of the failure.
  int closeChecked();

 private:
  int fd_ = -1;
};

// How a file may be opened: every open adds O_NOFOLLOW, O_NONBLOCK and O_CLOEXEC, so a planted link
// is never followed and a FIFO never blocks. The descriptor is invalid on failure, errno set.
Descriptor openForReading(const std::string& path);
Descriptor openForAppending(const std::string& path);
// A new file: O_CREAT|O_EXCL, so it is this call's own file; `mode` is less the umask.
Descriptor createNewFile(const std::string& path, int mode);
// A file shared by every game, such as a lock: created when missing, never truncated.
Descriptor openShared(const std::string& path);

enum class ReadOutcome { Read, NotRegular, TooLarge, Failed };
// Reads the whole regular file behind `fd` into `text`, refusing, before reading, one larger than
// `cap`. On Failed, errno says why.
ReadOutcome readBounded(int fd, std::size_t cap, std::string& text);

// Returns 0 or the errno of the failed write.
int writeAll(int fd, std::string_view text);
// Returns 0 or errno.
int syncFile(int fd);
// Bytes the file-size limit (ulimit -f) still lets the file grow.
std::int64_t roomUnderSizeLimit(int fd);

// The file's size and the room on its disk: whole blocks, as files take them, free to an ordinary
// user (statvfs's f_bavail). Nothing when the file system cannot say.
struct DiskRoom {
  std::int64_t fileSize;
  std::int64_t blockSize;
  std::int64_t freeBlocks;
};
std::optional<DiskRoom> diskRoomOf(int fd);

// True when `path` (not followed) is the file open on `fd`.
bool stillNamed(int fd, const std::string& path);

// True while a process of that id runs (or cannot be told apart from one that does).
bool processRuns(long pid);
bool cutFile(int fd, std::size_t length);

// flock: true when held.
bool lockWithoutWaiting(int fd);
// Waits for the lock; returns 0 or errno.
int lockWaiting(int fd);

// Returns 0 or errno. The first never replaces a file of the new name (EEXIST).
int renameWithoutReplacing(const std::string& from, const std::string& to);
int renameOver(const std::string& from, const std::string& to);
bool removeFile(const std::string& path);  // true when removed
// Makes a rename in the folder durable; a failure only weakens durability across a power cut.
void syncFolder(const std::string& dir);

struct FolderEntry {
  std::string name;
  bool regular;       // a regular file, not a link or anything else
  timespec modified;  // of the entry itself
  std::int64_t size;
};
// The entries of the folder (without "." and ".."); empty when it cannot be read.
std::vector<FolderEntry> listFolder(const std::string& dir);

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
Descriptor createTemporary(const std::string& dir, const std::string& name, std::string& tempPath);
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
