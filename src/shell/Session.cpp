// Choosing the session the command line asks for.
#include "shell/Session.h"

std::unique_ptr<Session> openSession(const Options& options, std::time_t now, std::ostream& notes) {
  if (options.replay) return playback(*options.replay, options.pace);
  if (options.watch) return watching(*options.watch);
  if (options.resume) return resumedRun(notes);
  PlaySettings settings;
  try {
    settings.rebound = playersKeys();
  } catch (const GameError& e) {
    throw SessionRefused(e.description());
  }
  if (options.practice)
    settings.practice = Practice{*options.practice, options.power.value_or(practiceStartingPower)};
  const std::uint32_t seed =
      options.daily ? dailySeed(now) : options.seed.value_or(static_cast<std::uint32_t>(now));
  return newRun(seed, now, settings);
}
