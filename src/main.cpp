// gridfall: fly the ship through ten walled arenas.
#include "game/Game.h"
#include "game/RecordingOptions.h"

int main(int argc, char** argv) {
  RunRequest request;
  if (const std::optional<int> status = parseRunRequest(argc, argv, request)) return *status;
  return runProgram(request);
}
