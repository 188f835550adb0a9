// Choosing the session the command line asks for.
#include "shell/Session.h"

std::unique_ptr<Session> openSession(const Options& options, std::time_t now, std::ostream& notes) {
  if (options.replay) return playback(*options.replay, options.pace);
  if (options.watch) return watching(*options.watch);
  if (options.resume) return resumedRun(notes);
  if (options.daily) return newRun(dailySeed(now), now);
  return newRun(options.seed.value_or(static_cast<std::uint32_t>(now)), now);
}
