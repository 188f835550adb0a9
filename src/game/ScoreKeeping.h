// Where a game end gets the table of the five best scores and keeps it: normally the score file;
// when a recording is being played the recording stands in for the file, so the end screen shows
// what it showed the first time and a table already saved is not saved twice.
#pragma once

#include <optional>
#include <vector>

// What a recording knows and notes about the table at game ends, in the order they happen.
class TableRecord {
 public:
  virtual ~TableRecord() = default;
  // The table recorded as read at this game end, if the recording reaches that far.
  virtual std::optional<std::vector<int>> recordedTable() = 0;
  // After a recorded table: whether the recorded run got past saving it (a run cut off between
  // reading and saving the table did not).
  virtual bool recordedSave() = 0;
  // Whether this run may touch the score file at all (a replay never does).
  virtual bool mayWriteTable() const = 0;
  virtual void noteTableRead(const std::vector<int>& table) = 0;
  virtual void noteTableSaved() = 0;
};

// The table record consulted by game ends; nullptr (the default) for none.
void useTableRecord(TableRecord* record);

struct KeptScore {
  std::vector<int> table;  // the five entries to show, best first
  bool entered;            // the score beat the fifth entry and took its place
};

// Reads the table, merges the score into it and saves it, under the table's lock.
KeptScore keepScore(int score);
