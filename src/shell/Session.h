// A run of the program as the command line asks for it: a new game or a resumed one, both recorded
// in a journal, or the replay of a recording. The session puts itself between the game and the
// terminal (keys) and hands the game's ends the score table they keep their scores in.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "errors/GameError.h"
#include "game/Game.h"
#include "game/ScoreKeeping.h"
#include "shell/Options.h"
#include "shell/PlaySettings.h"

// The run cannot start: nothing to resume, an unusable recording. One line, exit status 1.
class SessionRefused : public GameError {
 public:
  explicit SessionRefused(const std::string& description) : GameError("SessionRefused", description) {}
};

// Thrown when the viewer of a replay or a watch quits; not a std::exception, so no game code catches it.
struct PlaybackOver {};

class Session {
 public:
  virtual ~Session() = default;
  virtual std::uint32_t seed() const = 0;
  // Where the game's ends keep their scores.
  virtual ScoreTable& scoreTable() = 0;
  // A practice run's level and power: its games keep no score and read no table.
  virtual std::optional<Practice> practice() const = 0;
  // The player declined another game: a replay waits at the last screen for 'q'.
  virtual void gamesOver() {}
  // After the terminal is restored from a normal end: the journal becomes last-game.rec.
  virtual void finished() {}
  // The journal a failure report should name ("" when there is none).
  virtual std::string journalPath() const { return ""; }
  // What the player should know of the recording once the terminal is restored ("" for nothing).
  virtual std::string recordingTrouble() const { return ""; }
};

// Reads what the options need (throwing SessionRefused) and installs the session; `now` names a
// new journal and, without --seed, seeds the dice. A new run reads the player's keys file here, before
// the terminal is touched. Notes on skipped journals go to `notes`.
std::unique_ptr<Session> openSession(const Options& options, std::time_t now, std::ostream& notes);

// The kinds, for openSession.
std::unique_ptr<Session> newRun(std::uint32_t seed, std::time_t now, const PlaySettings& settings);
std::unique_ptr<Session> resumedRun(std::ostream& notes);
std::unique_ptr<Session> playback(const std::string& path, int pace);
// --watch: the journal at `path`, or ("") the newest one a running game holds.
std::unique_ptr<Session> watching(const std::string& path);
