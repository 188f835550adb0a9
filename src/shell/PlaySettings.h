// The settings that change play: a practice level and power, and keys of the player's own. A new
// run takes them from the command line and the keys file and writes them into its recording's
// header; a recording played again (resumed, replayed, verified, cast) takes them from that header
// alone, whatever keys file is in force then.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "game/Game.h"
#include "player/KeyRebinding.h"
#include "recordings/Recording.h"

struct PlaySettings {
  std::optional<Practice> practice;
  std::vector<Rebinding> rebound;
};

// The settings a recording holds, checked as the keys file is: a RecordingError naming the file
// and the line of the first that cannot be used.
PlaySettings settingsOf(const Recording& recording, const std::string& name);
// A new run's recording holds them in its header.
void recordSettings(const PlaySettings& settings, Recording& recording);
// Their keys are the ones in force from now on (the design's when nothing is rebound).
void useKeysOf(const PlaySettings& settings);

// The player's keys file, read and checked: nothing rebound without one. A file that cannot be read
// or used throws a GameError whose description is one line naming the file (and the line).
std::vector<Rebinding> playersKeys();

// --keys: the key map in force for a new run and where it comes from; status 1 with one line on
// `errors` when the keys file cannot be used.
int printKeys(std::ostream& out, std::ostream& errors);
