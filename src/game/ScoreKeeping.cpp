// Keeping a game's score in the table file: read, merge and save under the lock.
#include "game/ScoreKeeping.h"

#include <algorithm>
#include <optional>
#include <string>

#include "errors/GameError.h"
#include "store/ScoreFile.h"

namespace {

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

KeptScore keepInFile(int score, const SaveSteps& steps) {
  try {
    KeptScore kept{};
    changeScoreTable([&](const std::vector<int>& stored) {
      if (steps.afterRead) steps.afterRead(stored);
      kept = mergeScore(stored, score);
      return std::optional(kept.table);
    });
    if (steps.afterSave) steps.afterSave();
    return kept;
  } catch (GameError& e) {
    addLostScore(e, score);
    throw;
  }
}

bool keepOnce(int score, const std::vector<int>& recorded) {
  try {
    return changeScoreTable([&](const std::vector<int>& stored) -> std::optional<std::vector<int>> {
      if (std::count(stored.begin(), stored.end(), score) >
          std::count(recorded.begin(), recorded.end(), score))
        return std::nullopt;
      return mergeScore(stored, score).table;
    });
  } catch (GameError& e) {
    addLostScore(e, score);
    throw;
  }
}
