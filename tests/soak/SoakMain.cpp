// gridfall-soak: plays random keys through the in-memory terminal for a given number of turns and
// prints one summary line. Faults go to standard error; the exit status is 1 when there were any.
//   gridfall-soak --turns N [--seed S] [--level L] [--keys-per-game K]
#include <cstdlib>
#include <iostream>
#include <string>

#include "soak/Soak.h"

namespace {

int usage() {
  std::cerr << "usage: gridfall-soak --turns N [--seed S] [--level L (1..10, 0 = all)] [--keys-per-game K]\n";
  return 2;
}

bool parseNumber(const char* text, long long low, long long high, long long& out) {
  char* end = nullptr;
  const long long value = std::strtoll(text, &end, 10);
  if (end == text || *end != '\0' || value < low || value > high) return false;
  out = value;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  SoakOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    long long value = 0;
    if (i + 1 >= argc) return usage();
    const char* text = argv[++i];
    if (name == "--turns" && parseNumber(text, 1, 1'000'000'000'000LL, value)) {
      options.turns = value;
    } else if (name == "--seed" && parseNumber(text, -2147483648LL, 2147483647LL, value)) {
      options.seed = static_cast<int>(value);
    } else if (name == "--level" && parseNumber(text, 0, numLevels, value)) {
      options.level = static_cast<int>(value);
    } else if (name == "--keys-per-game" && parseNumber(text, 1, 1'000'000'000, value)) {
      options.keysPerGame = static_cast<int>(value);
    } else {
      return usage();
    }
  }
  const SoakTally tally = runSoak(options, std::cerr);
  std::cout << summaryLine(tally) << std::endl;
  return tally.errors == 0 ? 0 : 1;
}
