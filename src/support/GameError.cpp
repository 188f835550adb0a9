// Error base with a call trace captured where the error is raised.
#include "support/GameError.h"

#include <execinfo.h>

#include <cstdlib>

namespace {
constexpr int maxFrames = 64;
}

std::vector<std::string> captureCallTrace() {
  void* frames[maxFrames];
  int count = backtrace(frames, maxFrames);
  std::vector<std::string> lines;
  char** symbols = backtrace_symbols(frames, count);
  if (symbols == nullptr) return lines;
  // Frame 0 is captureCallTrace itself; it tells the reader nothing.
  for (int i = 1; i < count; ++i) lines.emplace_back(symbols[i]);
  std::free(symbols);
  return lines;
}

GameError::GameError(const std::string& kind, const std::string& description)
    : std::runtime_error(kind + ": " + description), kind_(kind), description_(description), trace_(captureCallTrace()) {}
