// Keeping a game's score in the table file: read, merge and save under the lock.
#include "game/ScoreKeeping.h"

#include <algorithm>
#include <string>

#include "errors/GameError.h"
#include "store/DiskCache.h"

namespace {

std::vector<int> storedTable() {
  return bestFive(
      fromCache(storeFolder(), tableFileName, strHash).value_or(std::vector<int>(tableEntries, 0)));
}

void addLostScore(GameError& error, int score) {
  error.addContext("your score of " + std::to_string(score) + " points could not be saved: ");
}

}  // namespace

KeptScore mergeScore(std::vector<int> table, int score) {
  if (!(table[tableEntries - 1] < score)) return {table, false};
  table.push_back(score);
  std::sort(table.begin(), table.end(), std::greater<>());
  table.pop_back();
  return {table, true};
}

// The lock is held from reading the table to writing it, so two games ending together both keep
// their score.
KeptScore keepInFile(int score, const SaveSteps& steps) {
  try {
    const TableLock lock(storeFolder(), tableFileName);
    const std::vector<int> stored = storedTable();
    if (steps.afterRead) steps.afterRead(stored);
    KeptScore kept = mergeScore(stored, score);
    toCache(kept.table, storeFolder(), tableFileName, strHash);
    if (steps.afterSave) steps.afterSave();
    return kept;
  } catch (GameError& e) {
    addLostScore(e, score);
    throw;
  }
}

bool keepOnce(int score, const std::vector<int>& recorded) {
  try {
    const TableLock lock(storeFolder(), tableFileName);
    const std::vector<int> stored = storedTable();
    if (std::count(stored.begin(), stored.end(), score) > std::count(recorded.begin(), recorded.end(), score))
      return false;
    toCache(mergeScore(stored, score).table, storeFolder(), tableFileName, strHash);
    return true;
  } catch (GameError& e) {
    addLostScore(e, score);
    throw;
  }
}
