// The score table's file, through the cache that keeps it.
#include "store/ScoreFile.h"

#include "store/DiskCache.h"
#include "store/FileMessages.h"

namespace {

std::vector<int> storedOrZeros(std::optional<std::vector<int>> stored) {
  return bestFive(std::move(stored).value_or(std::vector<int>(tableEntries, 0)));
}

}  // namespace

std::string scoreTableName() { return shown(storeFolder() + tableFileName); }

std::optional<std::vector<int>> readScoreTable() {
  std::optional<std::vector<int>> stored = readCache(storeFolder(), tableFileName, strHash);
  if (stored) stored = bestFive(std::move(*stored));
  return stored;
}

std::vector<int> checkScoreTable() {
  return storedOrZeros(checkCache(storeFolder(), tableFileName, strHash));
}

bool changeScoreTable(const TableChange& change) {
  const TableLock lock(storeFolder(), tableFileName);
  const std::optional<std::vector<int>> changed =
      change(storedOrZeros(fromCache(storeFolder(), tableFileName, strHash)));
  if (!changed) return false;
  toCache(*changed, storeFolder(), tableFileName, strHash);
  return true;
}

std::string scoreLine(int place, int entry) {
  return std::to_string(place) + ": " + std::to_string(entry) + " points";
}
