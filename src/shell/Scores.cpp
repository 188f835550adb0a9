// The --scores command: the stored table printed without playing.
#include <ostream>

#include "shell/Program.h"
#include "store/ScoreFile.h"
#include "store/StoreNames.h"

int printScores(std::ostream& out, std::ostream& errors) {
  try {
    const std::optional<std::vector<int>> table = readScoreTable();
    if (!table) {
      out << "No high scores yet: " << scoreTableName() << " does not exist.\n";
      return 0;
    }
    for (int i = 1; i <= tableEntries; ++i) out << scoreLine(i, (*table)[i - 1]) << "\n";
    return 0;
  } catch (const GameError& e) {
    errors << "gridfall: " << e.description() << "\n";
    return 1;
  }
}
