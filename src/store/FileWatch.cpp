// Reading a growing file and the kernel's list of locks.
#include "store/FileWatch.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string_view>

#include "store/StoreFiles.h"

namespace {

// The list has a line of about 50 bytes per lock held on the machine.
constexpr std::size_t mostLockListBytes = 4 * 1024 * 1024;

// "MAJOR:MINOR:INODE" as /proc/locks names a file: the device in hex, the inode in decimal.
std::string lockListName(const struct stat& info) {
  char name[64];
  std::snprintf(name, sizeof name, "%02x:%02x:%llu", major(info.st_dev), minor(info.st_dev),
                static_cast<unsigned long long>(info.st_ino));
  return name;
}

// A line such as "1: FLOCK  ADVISORY  WRITE 4242 fe:00:10952921 0 EOF". A waiter's line has "->"
// after the number: it does not hold the lock.
bool holdsFlock(std::string_view line, std::string_view name) {
  if (line.find("->") != std::string_view::npos || line.find(" FLOCK ") == std::string_view::npos)
    return false;
  const std::size_t at = line.find(name);
  return at != std::string_view::npos && at > 0 && line[at - 1] == ' ' &&
         (at + name.size() == line.size() || line[at + name.size()] == ' ');
}

}  // namespace

bool readAppended(int fd, std::size_t offset, std::size_t most, std::string& text) {
  text.clear();
  struct stat info {};
  if (::fstat(fd, &info) != 0 || static_cast<std::size_t>(info.st_size) < offset) return false;
  const std::size_t wanted = std::min(static_cast<std::size_t>(info.st_size) - offset, most);
  text.resize(wanted);
  std::size_t got = 0;
  while (got < wanted) {
    const ssize_t n = ::pread(fd, text.data() + got, wanted - got, static_cast<off_t>(offset + got));
    if (n == 0) break;  // cut meanwhile: the next look sees it shorter
    if (n < 0 && errno != EINTR) return false;
    if (n > 0) got += static_cast<std::size_t>(n);
  }
  text.resize(got);
  return true;
}

LockSeen lockOf(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return LockSeen::Unknown;
  const Descriptor list = openForReading("/proc/locks");
  std::string text;
  if (!list.valid() || readBounded(list.get(), mostLockListBytes, text) != ReadOutcome::Read)
    return LockSeen::Unknown;
  const std::string name = lockListName(info);
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    if (holdsFlock(rest.substr(0, end), name)) return LockSeen::Held;
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  return LockSeen::Free;
}

bool ownedByThisUser(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 && info.st_uid == ::geteuid();
}
