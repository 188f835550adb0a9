// Reading the keys file: bounded, without following a link or waiting on a FIFO.
#include "store/KeysFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "store/DiskCache.h"
#include "store/FileMessages.h"
#include "store/StoreFiles.h"

namespace {

// A keys file holds a dozen short lines.
constexpr std::size_t maxKeysFileBytes = 64 * 1024;

[[noreturn]] void cannotRead(const std::string& path, const std::string& why) {
  throw FileError(shown(path) + ": " + why);
}

}  // namespace

std::string keysFilePath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && *config != '\0') return std::string(config) + "/gridfall/keys";
  const char* home = std::getenv("HOME");
  const std::string base = (home == nullptr || *home == '\0') ? "." : home;
  return base + "/.config/gridfall/keys";
}

std::optional<std::string> readKeysFile(const std::string& path) {
  // A keys file kept elsewhere and linked into place (as dotfiles often are) is read where it lies.
  const Descriptor file = openForReading(saveTarget(path));
  if (!file.valid()) {
    // No file can be there: none, a file where a folder should be, a path longer than any name.
    if (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG) return std::nullopt;
    cannotRead(path, std::string("cannot be read: ") + std::strerror(errno));
  }
  std::string text;
  switch (readBounded(file.get(), maxKeysFileBytes, text)) {
    case ReadOutcome::Read: return text;
    case ReadOutcome::NotRegular: cannotRead(path, "not a regular file");
    case ReadOutcome::TooLarge: cannotRead(path, "too large to be a keys file");
    case ReadOutcome::Failed: break;
  }
  cannotRead(path, std::string("cannot be read: ") + std::strerror(errno));
}
