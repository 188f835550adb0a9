// Where a game end gets the table of the five best scores and keeps its score: the score file, or,
// while a recording plays, the table the recording holds. The game's end is handed one explicitly.
#pragma once

#include <functional>
#include <vector>

struct KeptScore {
  std::vector<int> table;  // the five entries to show, best first
  bool entered;            // the score beat the fifth entry and took its place
};

class ScoreTable {
 public:
  virtual ~ScoreTable() = default;
  // Keeps the score and returns the table to show with it.
  virtual KeptScore keep(int score) = 0;
};

// The score merged into five entries kept best first; a score that only ties the fifth stays out.
KeptScore mergeScore(std::vector<int> table, int score);

// What a journal notes of a save into the file, in the order it happens.
struct SaveSteps {
  std::function<void(const std::vector<int>&)> afterRead;  // the table as read, before the merge
  std::function<void()> afterSave;                         // the merged table is in the file
};

// Reads the table, merges the score and saves it, all under the table's lock. A failure says which
// score was lost with it.
KeptScore keepInFile(int score, const SaveSteps& steps = {});

// A game end whose table `recorded` was read and noted before the run was cut off, without a note
// that the save was made: the save may or may not have reached the file. Under the lock, the score
// counts as saved when the file holds more entries equal to it than `recorded` did; otherwise it is
// merged into the file as it is now. Returns whether it was saved now.
bool keepOnce(int score, const std::vector<int>& recorded);

// The score file itself.
class FileTable final : public ScoreTable {
 public:
  KeptScore keep(int score) override { return keepInFile(score); }
};
