// Choosing the session the command line asks for.
#include "game/Session.h"

std::unique_ptr<Session> openSession(const Options& options, std::time_t now) {
  if (options.replay) return playback(*options.replay);
  return recordedRun(options, now);
}
