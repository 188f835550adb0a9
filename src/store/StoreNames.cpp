// Where the player's files are: under $HOME, by the names StoreNames.h gives.
#include "store/StoreNames.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "store/DiskCache.h"
#include "store/PrivateFolder.h"

std::string userCacheDir(const std::string& name) {
  const char* home = std::getenv("HOME");
  const std::string base = (home == nullptr || *home == '\0') ? "." : home;
  return base + "/" + name + "/";
}
std::string storeFolder() { return userCacheDir(storeFolderName); }
std::string journalFolder() { return storeFolder() + journalFolderName + "/"; }
std::string lastGamePath() { return storeFolder() + lastGameFileName; }

bool lastGameExists() {
  struct stat info {};
  return ::lstat(lastGamePath().c_str(), &info) == 0 || errno != ENOENT;
}

bool prepareJournalFolder(bool create) {
  if (storeFolder().find("..") != std::string::npos) throw UnsafeDirectory("HOME leads through \"..\"");
  if (!create) return privateFolderExists(storeFolder()) && privateFolderExists(journalFolder());
  preparePrivateFolder(storeFolder());
  preparePrivateFolder(journalFolder());
  return true;
}
