// The high-score store: name checks, reading and atomic saving, the check made before a game
// starts, and the advisory lock around read-merge-write. The text format is in TableFormat.cpp.
#include "store/DiskCache.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>

#include "store/FileMessages.h"
#include "store/PrivateFolder.h"

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

[[noreturn]] void saveFailed(const std::string& path, const char* step, int error) {
  throw FileError("cannot save " + shown(path) + ": " + step +
                  " failed: " + withAdvice(error, "check the disk and the folder") +
                  " (the previous table in that file is unchanged)");
}

// What() holds "kind: description"; the description alone is re-used with the file's name.
std::string damagedFileText(const std::string& path, const std::string& what) {
  return shown(path) + " is not a readable score table: " + what +
         "; move the file away to start a new table";
}

// The whole file (through its links), or nothing when it does not exist.
std::optional<std::string> readTableFile(const std::string& path) {
  Descriptor file = openForReading(saveTarget(path));
  if (!file.valid()) {
    const int error = errno;
    if (error == ENOENT) return std::nullopt;
    throw FileError("cannot open " + shown(path) +
                    " for reading: " + withAdvice(error, "check it, or move it away to start a new table"));
  }
  std::string text;
  switch (readBounded(file.get(), maxTableBytes, text)) {
    case ReadOutcome::Read: return text;
    case ReadOutcome::NotRegular:
      throw FileError(shown(path) + " is not a regular file; move it away to start a new table");
    case ReadOutcome::TooLarge:
      throw Invalid_Value(
          damagedFileText(path, "it is larger than " + std::to_string(maxTableBytes / 1024) + " KiB"));
    case ReadOutcome::Failed: break;
  }
  throw FileError("cannot read " + shown(path) + ": " +
                  withAdvice(errno, "check the file and its disk, or move it away to start a new table"));
}

std::string folderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

// Writes `text` to a new temporary file beside the target and flushes it; the caller decides
// whether it replaces the target or is dropped again.
Descriptor writeTemporary(const std::string& path, const std::string& target, const std::string& text,
                          PendingFile& pending) {
  const std::string targetDir = folderOf(target);
  Descriptor file = createTemporary(targetDir, target.substr(targetDir.size()), pending.path);
  if (const int error = writeAll(file.get(), text)) saveFailed(path, "writing the temporary file", error);
  if (const int error = syncFile(file.get())) saveFailed(path, "flushing the temporary file", error);
  return file;
}

}  // namespace

std::vector<int> bestFive(std::vector<int> table) {
  if (table.size() > tableEntries) std::sort(table.begin(), table.end(), std::greater<>());
  table.resize(tableEntries, 0);
  return table;
}

std::optional<std::vector<int>> fromCache(const std::string& dir, const std::string& name, HashFn hash) {
  checkNames(dir, name);
  preparePrivateFolder(dir);
  return readCache(dir, name, hash);
}

std::optional<std::vector<int>> readCache(const std::string& dir, const std::string& name, HashFn hash) {
  checkNames(dir, name);
  if (!privateFolderExists(dir)) return std::nullopt;  // the rule play follows, for --scores too
  const std::string path = dir + name;
  const std::optional<std::string> text = readTableFile(path);
  if (!text) return std::nullopt;
  try {
    return decodeTable(*text, hash(name));
  } catch (const Invalid_Marshalling_ID& error) {
    throw Invalid_Marshalling_ID(damagedFileText(path, error.description()));
  } catch (const Invalid_Function_Table_Hash& error) {
    throw Invalid_Function_Table_Hash(damagedFileText(path, error.description()));
  } catch (const Invalid_Value& error) {
    throw Invalid_Value(damagedFileText(path, error.description()));
  }
}

namespace {

// With the probe's table on the disk, the run's journal must still find a block of its own, or its
// first line would take the one the game's end saves into.
void needRoomForTheJournal(const std::string& path, int probe) {
  const std::optional<DiskRoom> room = diskRoomOf(probe);
  if (room && room->freeBlocks < 1)
    throw FileError("cannot save " + shown(path) +
                    ": the disk has room for the table but not for this run's recording beside it: " +
                    withAdvice(ENOSPC, "free some space"));
}

// Writes `table` to a new temporary file beside the file the save must replace, flushed and closed;
// `replace` then renames it into place, or the probe leaves it to be removed again.
void writeTable(const std::vector<int>& table, const std::string& dir, const std::string& name, HashFn hash,
                bool replace) {
  checkNames(dir, name);
  preparePrivateFolder(dir);
  const std::string path = dir + name;
  const std::string target = saveTarget(path);
  const WriteSignalsIgnored writeErrorsReported;
  removeStaleTemporaries(folderOf(target), target.substr(folderOf(target).size()));
  PendingFile pending;
  Descriptor file = writeTemporary(path, target, encodeTable(table, hash(name)), pending);
  if (!replace) needRoomForTheJournal(path, file.get());
  if (const int error = file.closeChecked()) saveFailed(path, "closing the temporary file", error);
  if (!replace) return;
  if (const int error = renameOver(pending.path, target))
    saveFailed(path, "renaming the temporary file over it", error);
  pending.renamed = true;
  syncFolder(folderOf(target));
}

}  // namespace

void toCache(const std::vector<int>& table, const std::string& dir, const std::string& name, HashFn hash) {
  writeTable(table, dir, name, hash, true);
}

// The probe writes a table of the largest size a score can make, so a full disk or a file-size
// limit shows now and not at the game's end.
std::optional<std::vector<int>> checkCache(const std::string& dir, const std::string& name, HashFn hash) {
  writeTable(std::vector<int>(tableEntries, std::numeric_limits<int>::min()), dir, name, hash, false);
  return readCache(dir, name, hash);
}

TableLock::TableLock(const std::string& dir, const std::string& name) {
  checkNames(dir, name);
  preparePrivateFolder(dir);
  const std::string path = dir + name + ".lock";
  file_ = openShared(path);
  if (!file_.valid())
    throw FileError("cannot open the lock file " + shown(path) + ": " +
                    withAdvice(errno, "check that the folder is writable"));
  if (const int error = lockWaiting(file_.get()))
    throw FileError("cannot lock " + shown(path) + ": " +
                    withAdvice(error, "check that " + shown(dir) + " is on a local disk"));
}
