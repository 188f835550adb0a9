// The high-score store: name checks, the cache directory, reading and atomic saving, the check
// made before a game starts, and the advisory lock around read-merge-write. With StoreFiles.cpp,
// the only code of the game that touches files; the text format is in TableFormat.cpp.
#include "support/DiskCache.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "support/FileMessages.h"
#include "support/StoreFiles.h"

namespace {

void checkNames(const std::string& dir, const std::string& name) {
  if (name.find("..") != std::string::npos)
    throw UnsafeDirectory("the object name \"" + shown(name) +
                          "\" contains \"..\" and could leave the cache directory " + shown(dir));
  if (name.find('/') != std::string::npos)
    throw UnsafeObject("the object name \"" + shown(name) + "\" contains \"/\"; objects live directly in " +
                       shown(dir));
  if (dir.find("..") != std::string::npos)
    throw UnsafeDirectory("the cache directory " + shown(dir) +
                          " contains \"..\"; set HOME to a path without \"..\"");
}

[[noreturn]] void cannotCreate(const std::string& dir, int error) {
  throw FileError("cannot create the directory " + shown(dir) + ": " +
                  withAdvice(error, "check that its parent exists and is writable"));
}

// Something of the directory's name is there but is no directory: a file, or a link to nothing.
void checkIsDirectory(const std::string& dir) {
  struct stat info {};
  if (::stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return;
  throw FileError(shown(dir) + " is not a directory (a file, or a link to something missing); move it away " +
                  "so that the game can create the directory");
}

// Whether the directory exists (and is one). A path that cannot even be looked at, as when HOME
// is a file, is reported as a directory that cannot be created.
bool directoryExists(const std::string& dir) {
  struct stat info {};
  const std::string bare = dir.substr(0, dir.find_last_not_of('/') + 1);  // a link is seen as a link
  if (::lstat(bare.c_str(), &info) == 0) {
    checkIsDirectory(dir);
    return true;
  }
  if (errno != ENOENT) cannotCreate(dir, errno);
  return false;
}

// Creates only the last component; the chmod makes the mode exactly 0700 whatever the umask
// (and clears a set-group-id bit inherited from the parent).
void prepareDirectory(const std::string& dir) {
  if (directoryExists(dir)) return;
  if (::mkdir(dir.c_str(), 0700) != 0) {
    const int error = errno;
    if (error == EEXIST) return checkIsDirectory(dir);  // another game created it in the meantime
    cannotCreate(dir, error);
  }
  if (::chmod(dir.c_str(), 0700) != 0)
    throw FileError("cannot set the permissions of the new directory " + shown(dir) + ": " +
                    withAdvice(errno, "check the directory"));
}

// Checks, without creating anything, that the missing directory could be created.
void checkCanCreate(const std::string& dir) {
  const std::string bare = dir.substr(0, dir.find_last_not_of('/') + 1);
  const std::size_t slash = bare.rfind('/');
  const std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : bare.substr(0, slash);
  if (::access(parent.c_str(), W_OK | X_OK) != 0) cannotCreate(dir, errno);
}

[[noreturn]] void saveFailed(const std::string& path, const char* step, int error) {
  throw FileError("cannot save " + shown(path) + ": " + step +
                  " failed: " + withAdvice(error, "check the disk and the folder") +
                  " (the previous table in that file is unchanged)");
}

// Makes the rename itself durable. The new table is already in place when this runs, so a failure
// here only weakens durability across a power cut and is not reported as a failed save.
void syncDirectory(const std::string& dir) {
  Descriptor directory(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.get() >= 0) ::fsync(directory.get());
}

// What() holds "kind: description"; the description alone is re-used with the file's name.
std::string damagedFileText(const std::string& path, const GameError& error) {
  return shown(path) + " is not a readable score table: " + error.description() +
         "; move the file away to start a new table";
}

std::string folderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

}  // namespace

std::string userCacheDir(const std::string& name) {
  const char* home = std::getenv("HOME");
  const std::string base = (home == nullptr || *home == '\0') ? "." : home;
  return base + "/" + name + "/";
}

std::vector<int> bestFive(std::vector<int> table) {
  if (table.size() > 5) std::sort(table.begin(), table.end(), std::greater<>());
  table.resize(5, 0);
  return table;
}

std::optional<std::vector<int>> fromCache(const std::string& dir, const std::string& name, HashFn hash) {
  checkNames(dir, name);
  prepareDirectory(dir);
  return readCache(dir, name, hash);
}

std::optional<std::vector<int>> readCache(const std::string& dir, const std::string& name, HashFn hash) {
  checkNames(dir, name);
  const std::string path = dir + name;
  const std::optional<std::string> text = readWholeFile(path);
  if (!text) return std::nullopt;
  try {
    return decodeTable(*text, hash(name));
  } catch (const Invalid_Marshalling_ID& error) {
    throw Invalid_Marshalling_ID(damagedFileText(path, error));
  } catch (const Invalid_Function_Table_Hash& error) {
    throw Invalid_Function_Table_Hash(damagedFileText(path, error));
  } catch (const Invalid_Value& error) {
    throw Invalid_Value(damagedFileText(path, error));
  }
}

void toCache(const std::vector<int>& table, const std::string& dir, const std::string& name, HashFn hash) {
  checkNames(dir, name);
  prepareDirectory(dir);
  const std::string path = dir + name;
  const std::string target = saveTarget(path);
  const std::string targetDir = folderOf(target);
  const std::string targetName = target.substr(targetDir.size());
  const std::string text = encodeTable(table, hash(name));
  const WriteSignalsIgnored writeErrorsReported;
  removeStaleTemporaries(targetDir, targetName);
  PendingFile pending;
  Descriptor file(createTemporary(targetDir, targetName, pending.path));
  if (const int error = writeAll(file.get(), text)) saveFailed(path, "writing the temporary file", error);
  if (::fsync(file.get()) != 0) saveFailed(path, "flushing the temporary file", errno);
  if (const int error = file.closeChecked()) saveFailed(path, "closing the temporary file", error);
  if (::rename(pending.path.c_str(), target.c_str()) != 0)
    saveFailed(path, "renaming the temporary file over it", errno);
  pending.renamed = true;
  syncDirectory(targetDir);
}

void checkCache(const std::string& dir, const std::string& name, HashFn hash) {
  checkNames(dir, name);
  if (!directoryExists(dir)) return checkCanCreate(dir);
  const std::string target = saveTarget(dir + name);
  const std::string targetDir = folderOf(target);
  PendingFile probe;
  Descriptor file(createTemporary(targetDir, target.substr(targetDir.size()), probe.path));
  readCache(dir, name, hash);
}

TableLock::TableLock(const std::string& dir, const std::string& name) : fd_(-1) {
  checkNames(dir, name);
  prepareDirectory(dir);
  const std::string path = dir + name + ".lock";
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd_ < 0)
    throw FileError("cannot open the lock file " + shown(path) + ": " +
                    withAdvice(errno, "check that the folder is writable"));
  while (::flock(fd_, LOCK_EX) != 0) {
    const int error = errno;
    if (error == EINTR) continue;
    ::close(fd_);
    throw FileError("cannot lock " + shown(path) + ": " +
                    withAdvice(error, "check that " + shown(dir) + " is on a local disk"));
  }
}

TableLock::~TableLock() { ::close(fd_); }
