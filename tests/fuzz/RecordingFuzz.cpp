// libFuzzer target for the recording reader: whatever bytes a damaged or hostile recording holds,
// parseRecording either returns a recording or throws RecordingError.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "recordings/Recording.h"

namespace {

// What the reader accepted must write back as the same whole lines, or a resumed journal would
// continue something other than what was played.
void checkRoundTrip(const Recording& recording, std::string_view text) {
  std::string written = recordingHeader(recording.seed);
  for (const RecordedEvent& event : recording.events) {
    if (event.kind == RecordedEvent::Key) written += keyLine(event.key);
    if (event.kind == RecordedEvent::Table) written += tableLine(recording.tableOf(event));
    if (event.kind == RecordedEvent::TableWritten) written += writtenLine();
  }
  const Recording again = parseRecording(written, "again");
  if (again.seed != recording.seed || again.events.size() != recording.events.size()) std::abort();
  if (recording.wholeBytes > text.size() || text.substr(0, recording.wholeBytes).back() != '\n') std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    checkRoundTrip(parseRecording(text, "fuzz.rec"), text);
  } catch (const RecordingError&) {
  }
  // Any other exception escapes, and libFuzzer reports it as a crash with the input that caused it.
  return 0;
}
