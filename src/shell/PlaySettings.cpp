// The settings that change play, between the command line, the keys file and a recording's header.
#include "shell/PlaySettings.h"

#include <ostream>

#include "store/FileMessages.h"
#include "store/KeysFile.h"

namespace {

[[noreturn]] void unusable(const std::string& name, std::size_t line, const std::string& what) {
  throw RecordingError(shown(name) + ": line " + std::to_string(line) + ": " + what);
}

std::vector<Rebinding> reboundIn(const Recording& recording, const std::string& name) {
  std::vector<Rebinding> rebound;
  for (const RecordedKeys& keys : recording.rebound) {
    const std::optional<Command> action = actionNamed(keys.action);
    if (!action) unusable(name, keys.line, "unknown action '" + shown(keys.action) + "'");
    rebound.push_back({*action, keys.codes, keys.line});
  }
  if (const std::optional<RebindingProblem> problem = problemWith(rebound))
    unusable(name, rebound[problem->index].line, problem->what);
  return rebound;
}

std::string keysOf(Command action) {
  std::string words;
  for (int key : keysFor(action)) {
    if (!words.empty()) words += ' ';
    words += keyWord(key);
  }
  return words;
}

}  // namespace

PlaySettings settingsOf(const Recording& recording, const std::string& name) {
  PlaySettings settings;
  if (recording.practice) settings.practice = Practice{recording.practice->level, recording.practice->power};
  settings.rebound = reboundIn(recording, name);
  return settings;
}

void recordSettings(const PlaySettings& settings, Recording& recording) {
  if (settings.practice)
    recording.practice = RecordedPractice{settings.practice->level, settings.practice->power};
  for (const Rebinding& r : settings.rebound) recording.rebound.push_back({actionName(r.action), r.keys});
}

void useKeysOf(const PlaySettings& settings) { useKeyMap(keyMapWith(settings.rebound)); }

std::vector<Rebinding> playersKeys() {
  const std::string path = keysFilePath();
  const std::optional<std::string> text = readKeysFile(path);
  return text ? parseKeysFile(*text, path) : std::vector<Rebinding>{};
}

int printKeys(std::ostream& out, std::ostream& errors) {
  const std::string path = keysFilePath();
  try {
    const std::optional<std::string> text = readKeysFile(path);
    useKeysOf({std::nullopt, text ? parseKeysFile(*text, path) : std::vector<Rebinding>{}});
    out << (text ? "Keys from " + shown(path) + ":\n"
                 : "The game's own keys (no file at " + shown(path) + "):\n");
  } catch (const GameError& e) {
    errors << "gridfall: " << e.description() << "\n";
    return 1;
  }
  for (Command action : reboundableActions()) {
    std::string name = actionName(action);
    name.resize(12, ' ');
    out << name << keysOf(action) << "\n";
  }
  out << "At the end of a game, n declines another.\n";
  return 0;
}
