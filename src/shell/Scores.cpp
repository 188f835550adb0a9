// The --scores command: the stored table printed without playing.
#include <ostream>

#include "shell/Program.h"
#include "store/DiskCache.h"
#include "store/FileMessages.h"

int printScores(std::ostream& out, std::ostream& errors) {
  const std::string dir = storeFolder();
  try {
    const std::optional<std::vector<int>> stored = readCache(dir, tableFileName, strHash);
    if (!stored) {
      out << "No high scores yet: " << shown(dir + tableFileName) << " does not exist.\n";
      return 0;
    }
    const std::vector<int> table = bestFive(*stored);
    for (int i = 1; i <= tableEntries; ++i) out << i << ": " << table[i - 1] << " points\n";
    return 0;
  } catch (const GameError& e) {
    errors << "gridfall: " << e.description() << "\n";
    return 1;
  }
}
