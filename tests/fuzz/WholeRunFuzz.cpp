// libFuzzer target for a whole recorded run: any recording the reader accepts is played headless to
// its end, so the game's own rules meet arbitrary keys and tables, and one that fits is written as
// --verify and --cast write it. The cast plays the run a second time: it must find the same run.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string_view>

#include "shell/Program.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckedRecording checked{"fuzz.rec", {}, {}};
  try {
    checked.recording = parseRecording(text, checked.file);
  } catch (const RecordingError&) {
    return 0;
  }
  checked.run = playHeadless(checked.recording, checked.file);
  if (!checked.run.fits) return 0;
  std::ostringstream verification, cast;
  writeVerification(checked, verification);
  const HeadlessRun again = writeCast(checked, 8, cast);
  if (!again.fits || again.keys != checked.run.keys || again.games.size() != checked.run.games.size() ||
      again.levels.size() != checked.run.levels.size() || again.finished != checked.run.finished)
    std::abort();
  // Any exception escapes, and libFuzzer reports it as a crash with the input that caused it.
  return 0;
}
