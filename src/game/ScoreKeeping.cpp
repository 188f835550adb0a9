// Keeping a game's score in the table: read, merge and save under the lock, or, while a
// recording plays, the recorded table in place of the file.
#include "game/ScoreKeeping.h"

#include <algorithm>
#include <string>

#include "support/DiskCache.h"
#include "support/GameError.h"

namespace {

constexpr int tableSize = 5;
const char* const cacheName = ".gridfall";
const char* const tableName = "highscore";
TableRecord* current = nullptr;

// A score that only ties the fifth entry stays out.
KeptScore merge(std::vector<int> table, int score) {
  if (!(table[tableSize - 1] < score)) return {table, false};
  table.push_back(score);
  std::sort(table.begin(), table.end());
  std::reverse(table.begin(), table.end());
  table.pop_back();
  return {table, true};
}

// Held from reading the table to writing it, so two games ending together both keep their score.
// A failure says which score was lost with it.
KeptScore mergeIntoFile(int score, TableRecord* record) {
  try {
    const std::string dir = userCacheDir(cacheName);
    const TableLock lock(dir, tableName);
    const std::vector<int> stored =
        bestFive(fromCache(dir, tableName, strHash).value_or(std::vector<int>(tableSize, 0)));
    if (record != nullptr) record->noteTableRead(stored);
    KeptScore kept = merge(stored, score);
    toCache(kept.table, dir, tableName, strHash);
    if (record != nullptr) record->noteTableSaved();
    return kept;
  } catch (GameError& e) {
    e.addContext("your score of " + std::to_string(score) + " points could not be saved: ");
    throw;
  }
}

}  // namespace

void useTableRecord(TableRecord* record) { current = record; }

KeptScore keepScore(int score) {
  if (current == nullptr) return mergeIntoFile(score, nullptr);
  if (std::optional<std::vector<int>> recorded = current->recordedTable()) {
    // The screen shows the table as it was; a save the cut-off run did not make is made now, into
    // the file as it is now.
    if (!current->recordedSave() && current->mayWriteTable()) {
      mergeIntoFile(score, nullptr);
      current->noteTableSaved();
    }
    return merge(*recorded, score);
  }
  return mergeIntoFile(score, current);
}
