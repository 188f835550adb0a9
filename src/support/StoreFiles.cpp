// File-level helpers of the high-score store.
#include "support/StoreFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "support/DiskCache.h"
#include "support/FileMessages.h"

Descriptor::~Descriptor() {
  if (fd_ >= 0) ::close(fd_);
}

int Descriptor::closeChecked() {
  const int fd = fd_;
  fd_ = -1;
  return ::close(fd) == 0 ? 0 : errno;
}

namespace {

[[noreturn]] void tooLarge(const std::string& path) {
  throw Invalid_Value(shown(path) + " is not a readable score table: it is larger than " +
                      std::to_string(maxTableBytes / 1024) + " KiB; move the file away to start a new table");
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

}  // namespace

std::optional<std::string> readWholeFile(const std::string& path) {
  // O_NONBLOCK so that a FIFO put in the file's place cannot hang the game.
  Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.get() < 0) {
    const int error = errno;
    if (error == ENOENT) return std::nullopt;
    throw FileError("cannot open " + shown(path) +
                    " for reading: " + withAdvice(error, "check it, or move it away to start a new table"));
  }
  struct stat info {};
  if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
    throw FileError(shown(path) + " is not a regular file; move it away to start a new table");
  if (info.st_size > maxTableBytes) tooLarge(path);
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
    if (got == 0) return text;
    if (got > 0) {
      text.append(buffer, static_cast<std::size_t>(got));
      if (text.size() > static_cast<std::size_t>(maxTableBytes)) tooLarge(path);  // it grew meanwhile
    } else if (errno != EINTR) {
      throw FileError("cannot read " + shown(path) + ": " +
                      withAdvice(errno, "check the file and its disk, or move it away to start a new table"));
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

// A plain O_CREAT with 0666 lets the kernel apply the umask (and any default ACL), exactly as a
// direct create of the target would. The pid keeps two games from picking the same name; the
// attempt number skips names left behind by a crashed game that had the same pid.
int createTemporary(const std::string& dir, const std::string& name, std::string& tempPath) {
  constexpr int attempts = 100;
  int error = 0;
  for (int attempt = 0; attempt < attempts; ++attempt) {
    const std::string candidate =
        dir + "." + name + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      tempPath = candidate;  // only a file this call created may ever be removed
      return fd;
    }
    error = errno;
    if (error != EEXIST) break;
  }
  throw FileError("cannot create a temporary file in " + shown(dir) + " to save " + shown(dir + name) + ": " +
                  withAdvice(error, "check that the folder is writable"));
}

void removeStaleTemporaries(const std::string& dir, const std::string& name) {
  DIR* folder = ::opendir(dir.c_str());
  if (folder == nullptr) return;  // the save itself will report what is wrong with the folder
  const std::string prefix = "." + name + ".tmp";
  while (const dirent* entry = ::readdir(folder)) {
    const std::string_view file = entry->d_name;
    if (!file.starts_with(prefix)) continue;
    const std::string_view rest = file.substr(prefix.size());
    const std::size_t dash = rest.find('-');
    if (dash == 0 || dash > 9 || dash == std::string_view::npos ||
        rest.find_first_not_of("0123456789-") != std::string_view::npos)
      continue;
    const long pid = std::stol(std::string(rest.substr(0, dash)));
    if (pid > 0 && pid <= INT_MAX && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
      ::unlink((dir + std::string(file)).c_str());
  }
  ::closedir(folder);
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
