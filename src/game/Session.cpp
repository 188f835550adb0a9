// Choosing the session the command line asks for.
#include "game/Session.h"

std::unique_ptr<Session> openSession(const RunRequest& request, std::time_t now) {
  if (request.replay) return playback(*request.replay);
  return recordedRun(request, now);
}
