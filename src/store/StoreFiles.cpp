// The store's file primitives.
#include "store/StoreFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>

#include "store/DiskCache.h"
#include "store/FileMessages.h"

namespace {

constexpr int safeFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

std::string folderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

}  // namespace

Descriptor::~Descriptor() {
  if (fd_ >= 0) ::close(fd_);
}

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.release();
  }
  return *this;
}

int Descriptor::release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

int Descriptor::closeChecked() { return ::close(release()) == 0 ? 0 : errno; }

Descriptor openForReading(const std::string& path) {
  return Descriptor(::open(path.c_str(), O_RDONLY | safeFlags));
}
Descriptor openForAppending(const std::string& path) {
  return Descriptor(::open(path.c_str(), O_RDWR | O_APPEND | safeFlags));
}
Descriptor createNewFile(const std::string& path, int mode) {
  return Descriptor(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | safeFlags, mode));
}
// Read-only is enough for flock, and works on a lock file that a strict umask made read-only.
Descriptor openShared(const std::string& path) {
  return Descriptor(::open(path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666));
}

ReadOutcome readBounded(int fd, std::size_t cap, std::string& text) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return ReadOutcome::Failed;
  if (!S_ISREG(info.st_mode)) return ReadOutcome::NotRegular;
  if (static_cast<std::size_t>(info.st_size) > cap) return ReadOutcome::TooLarge;
  text.clear();
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) return ReadOutcome::Read;
    if (got > 0) {
      text.append(buffer, static_cast<std::size_t>(got));
      if (text.size() > cap) return ReadOutcome::TooLarge;  // it grew meanwhile
    } else if (errno != EINTR) {
      return ReadOutcome::Failed;
    }
  }
}

int writeAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t put = ::write(fd, text.data(), text.size());
    if (put < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    text.remove_prefix(static_cast<std::size_t>(put));
  }
  return 0;
}

int syncFile(int fd) { return ::fsync(fd) == 0 ? 0 : errno; }

std::int64_t roomUnderSizeLimit(int fd) {
  rlimit limit{};
  struct stat info {};
  if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return INT64_MAX;
  if (::fstat(fd, &info) != 0) return 0;
  return std::max<std::int64_t>(0, static_cast<std::int64_t>(limit.rlim_cur) - info.st_size);
}

std::optional<DiskRoom> diskRoomOf(int fd) {
  struct stat info {};
  struct statvfs disk {};
  if (::fstat(fd, &info) != 0 || ::fstatvfs(fd, &disk) != 0 || disk.f_frsize == 0) return std::nullopt;
  return DiskRoom{info.st_size, static_cast<std::int64_t>(disk.f_frsize),
                  static_cast<std::int64_t>(disk.f_bavail)};
}

bool stillNamed(int fd, const std::string& path) {
  struct stat open {
  }, named{};
  return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
         open.st_ino == named.st_ino;
}

bool processRuns(long pid) {
  return pid <= 0 || pid > INT_MAX || ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

bool cutFile(int fd, std::size_t length) { return ::ftruncate(fd, static_cast<off_t>(length)) == 0; }

bool lockWithoutWaiting(int fd) { return ::flock(fd, LOCK_EX | LOCK_NB) == 0; }

int lockWaiting(int fd) {
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

int renameWithoutReplacing(const std::string& from, const std::string& to) {
  return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0 ? 0 : errno;
}
int renameOver(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}
bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

void syncFolder(const std::string& dir) {
  const Descriptor folder(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.valid()) ::fsync(folder.get());
}

std::vector<FolderEntry> listFolder(const std::string& dir) {
  std::vector<FolderEntry> entries;
  DIR* folder = ::opendir(dir.c_str());
  if (folder == nullptr) return entries;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat info {};
    if (::lstat((dir + name).c_str(), &info) == 0)
      entries.push_back({name, S_ISREG(info.st_mode), info.st_mtim, info.st_size});
  }
  ::closedir(folder);
  return entries;
}

std::string saveTarget(const std::string& path) {
  constexpr int mostLinks = 40;  // as the kernel's own limit: a loop of links ends here
  std::string target = path;
  for (int i = 0; i < mostLinks; ++i) {
    char link[PATH_MAX];
    const ssize_t length = ::readlink(target.c_str(), link, sizeof link - 1);
    if (length < 0) return target;  // not a link (or nothing there yet): save right here
    const std::string next(link, static_cast<std::size_t>(length));
    target = next.starts_with('/') ? next : folderOf(target) + next;
  }
  return target;
}

PendingFile::~PendingFile() {
  if (!path.empty() && !renamed) ::unlink(path.c_str());
}

// Mode 0666 lets the kernel apply the umask (and any default ACL), exactly as a direct create of
// the target would. The pid keeps two games from picking the same name; the attempt number skips
// names left behind by a crashed game that had the same pid.
Descriptor createTemporary(const std::string& dir, const std::string& name, std::string& tempPath) {
  constexpr int attempts = 100;
  int error = 0;
  for (int attempt = 0; attempt < attempts; ++attempt) {
    const std::string candidate =
        dir + "." + name + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    Descriptor file = createNewFile(candidate, 0666);
    if (file.valid()) {
      tempPath = candidate;  // only a file this call created may ever be removed
      return file;
    }
    error = errno;
    if (error != EEXIST) break;
  }
  throw FileError("cannot create a temporary file in " + shown(dir) + " to save " + shown(dir + name) + ": " +
                  withAdvice(error, "check that the folder is writable"));
}

void removeStaleTemporaries(const std::string& dir, const std::string& name) {
  const std::string prefix = "." + name + ".tmp";
  for (const FolderEntry& entry : listFolder(dir)) {
    const std::string_view file = entry.name;
    if (!file.starts_with(prefix)) continue;
    const std::string_view rest = file.substr(prefix.size());
    const std::size_t dash = rest.find('-');
    if (dash == 0 || dash > 9 || dash == std::string_view::npos ||
        rest.find_first_not_of("0123456789-") != std::string_view::npos)
      continue;
    if (!processRuns(std::stol(std::string(rest.substr(0, dash)))))
      ::unlink((dir + std::string(file)).c_str());
  }
}

WriteSignalsIgnored::WriteSignalsIgnored() {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, &pipe_);
  sigaction(SIGXFSZ, &ignore, &fileSize_);
}

WriteSignalsIgnored::~WriteSignalsIgnored() {
  sigaction(SIGPIPE, &pipe_, nullptr);
  sigaction(SIGXFSZ, &fileSize_, nullptr);
}
