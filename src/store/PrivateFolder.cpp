// The private-folder rule shared by the score table and the recordings.
#include "store/PrivateFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "store/DiskCache.h"
#include "store/FileMessages.h"

namespace {

std::string withoutSlash(const std::string& dir) { return dir.substr(0, dir.find_last_not_of('/') + 1); }

std::string octal(mode_t mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
  return text;
}

[[noreturn]] void cannotCreate(const std::string& dir, int error) {
  throw FileError("cannot create the directory " + shown(dir) + ": " +
                  withAdvice(error, "check that its parent exists and is writable"));
}

// A folder reached through a link, or one that others can write in, could have the game's files
// swapped or planted under it. One that others may only read or enter (0755, made by hand or
// restored from a backup) is the player's choice and is taken as it is: the game makes its own 0700.
void checkPrivate(const std::string& dir, const struct stat& info) {
  if (S_ISLNK(info.st_mode))
    throw UnsafeDirectory(shown(dir) + " is a symbolic link; the game keeps its files only in a folder of " +
                          "its own: move the link away");
  if (!S_ISDIR(info.st_mode))
    throw FileError(shown(dir) +
                    " is not a directory; move it away so that the game can create the directory");
  if (info.st_uid != ::geteuid())
    throw UnsafeDirectory(shown(dir) + " belongs to another user (uid " + std::to_string(info.st_uid) +
                          "); move it away so that the game can create its own");
  if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
    throw UnsafeDirectory(shown(dir) + " is writable by other users (mode " + octal(info.st_mode) +
                          "); make it private with: chmod 700 " + shown(dir));
}

}  // namespace

bool privateFolderExists(const std::string& dir) {
  struct stat info {};
  if (::lstat(withoutSlash(dir).c_str(), &info) != 0) {
    if (errno == ENOENT) return false;
    cannotCreate(dir, errno);  // the path cannot even be looked at, as when HOME is a file
  }
  checkPrivate(dir, info);
  return true;
}

// The chmod makes the mode exactly 0700 whatever the umask (and clears a set-group-id bit
// inherited from the parent).
void preparePrivateFolder(const std::string& dir) {
  if (privateFolderExists(dir)) return;
  if (::mkdir(withoutSlash(dir).c_str(), 0700) != 0) {
    const int error = errno;
    if (error != EEXIST) cannotCreate(dir, error);
    privateFolderExists(dir);  // another game created it in the meantime
    return;
  }
  if (::chmod(withoutSlash(dir).c_str(), 0700) != 0)
    throw FileError("cannot set the permissions of the new directory " + shown(dir) + ": " +
                    withAdvice(errno, "check the directory"));
}
