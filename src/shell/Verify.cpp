// --verify: a recording re-run headless, and what it proves printed as one JSON object.
#include <ostream>

#include "recordings/Journal.h"
#include "shell/Headless.h"
#include "shell/Json.h"
#include "shell/Options.h"
#include "shell/Program.h"
#include "store/FileMessages.h"

namespace {

const char* boolean(bool value) { return value ? "true" : "false"; }

void printGames(const std::vector<HeadlessGame>& games, std::ostream& out) {
  out << "[";
  for (std::size_t i = 0; i < games.size(); ++i) {
    const HeadlessGame& game = games[i];
    out << (i == 0 ? "" : ", ") << "{\"score\": " << game.score << ", \"level\": " << game.level
        << ", \"won\": " << boolean(game.won) << ", \"entered\": " << boolean(game.entered) << "}";
  }
  out << "]";
}

}  // namespace

std::optional<CheckedRecording> checkRecording(const std::string& path, const ScreenSeen& seen,
                                               std::ostream& errors) {
  try {
    const std::string file = recordingToRead(path);
    CheckedRecording checked{file, readRecordingFile(file), {}};
    checked.run = playHeadless(checked.recording, file, seen);
    if (checked.run.fits) return checked;
    errors << "gridfall: " << checked.run.mismatch << "\n";
  } catch (const RecordingError& e) {
    errors << "gridfall: " << e.description() << "\n";
  }
  return std::nullopt;
}

int printVerification(const std::string& path, std::ostream& out, std::ostream& errors) {
  const std::optional<CheckedRecording> checked = checkRecording(path, {}, errors);
  if (!checked) return 1;
  writeVerification(*checked, out);
  return 0;
}

void writeVerification(const CheckedRecording& checked, std::ostream& out) {
  const HeadlessRun& run = checked.run;
  out << "{\"name\": " << jsonString(checked.file) << ", \"format\": " << recordingFormat
      << ", \"seed\": " << checked.recording.seed << ", \"keys\": " << run.keys << ", \"games\": ";
  printGames(run.games, out);
  out << ", \"finished\": " << boolean(run.finished) << "}\n";
}
