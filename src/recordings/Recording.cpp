// The recording's text format: writing its lines and reading them back strictly.
#include "recordings/Recording.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "store/FileMessages.h"

namespace {

const std::string magic = "gridfall recording ";
constexpr int maxKeyCode = 65535;
constexpr std::size_t longestNumber = 11;  // "-2147483648"

// File contents may be anything: a message shows at most the start of a field, escaped. Built by
// appending: g++ 12 at -O3 takes "text" + std::string for an overlapping copy (-Wrestrict).
std::string quoted(std::string_view text) {
  constexpr std::size_t shownBytes = 40;
  std::string out = "'";
  out += shown(text.substr(0, shownBytes));
  if (text.size() > shownBytes) out += "...";
  out += '\'';
  return out;
}

struct LineReader {
  std::string_view text;
  const std::string& name;
  std::size_t pos = 0;
  int number = 0;  // of the line last taken, from 1
};

[[noreturn]] void fail(const LineReader& reader, const std::string& what) {
  throw RecordingError(shown(reader.name) + ": line " + std::to_string(reader.number) + ": " + what);
}

// The next whole line, or false at the end or at a torn last line.
bool nextLine(LineReader& reader, std::string_view& line) {
  const std::size_t end = reader.text.find('\n', reader.pos);
  if (end == std::string_view::npos) return false;
  line = reader.text.substr(reader.pos, end - reader.pos);
  reader.pos = end + 1;
  ++reader.number;
  return true;
}

// A decimal integer in [low, high]: an optional "-" then digits, nothing else. A "-" is out of
// range wherever no negative number belongs, "-0" included.
std::int64_t number(const LineReader& reader, std::string_view field, std::int64_t low, std::int64_t high) {
  const bool negative = !field.empty() && field[0] == '-';
  const std::string_view digits = field.substr(negative ? 1 : 0);
  if (digits.empty() || digits.size() > longestNumber) fail(reader, quoted(field) += " is not a number");
  std::int64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') fail(reader, quoted(field) += " is not a number");
    value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  if (value < low || value > high || (negative && low >= 0))
    fail(reader, quoted(field) += " is out of range");
  return value;
}

std::vector<std::string_view> fields(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t pos = 0;
  while (pos <= line.size()) {
    const std::size_t space = line.find(' ', pos);
    const std::size_t end = space == std::string_view::npos ? line.size() : space;
    out.push_back(line.substr(pos, end - pos));
    pos = end + 1;
  }
  return out;
}

// The format of the first line: 1 or 2, refused otherwise.
int readFormat(LineReader& reader) {
  std::string_view line;
  if (!nextLine(reader, line) || line.substr(0, magic.size()) != magic) {
    throw RecordingError(shown(reader.name) + ": not a gridfall recording");
  }
  for (int format = 1; format <= recordingFormat; ++format) {
    if (line == magic + std::to_string(format)) return format;
  }
  std::string what = "format ";
  what += quoted(line.substr(magic.size()));
  what += " is not one this version reads (1 to " + std::to_string(recordingFormat) + ")";
  fail(reader, what);
}

bool isSetting(std::string_view word) { return word == "practice" || word == "power" || word == "keys"; }

void readPractice(const LineReader& reader, const std::vector<std::string_view>& parts,
                  Recording& recording) {
  if (recording.practice) fail(reader, "'practice' is given twice");
  if (parts.size() != 2) fail(reader, "expected 'practice LEVEL'");
  recording.practice = RecordedPractice{static_cast<int>(number(reader, parts[1], 1, 10)), -1};
}

void readPower(const LineReader& reader, const std::vector<std::string_view>& parts, Recording& recording) {
  if (!recording.practice) fail(reader, "'power' goes only after 'practice'");
  if (recording.practice->power >= 0) fail(reader, "'power' is given twice");
  if (parts.size() != 2) fail(reader, "expected 'power N'");
  recording.practice->power = static_cast<int>(number(reader, parts[1], 0, practicePowerLimit));
}

void readKeys(const LineReader& reader, const std::vector<std::string_view>& parts, Recording& recording) {
  if (parts.size() < 3) fail(reader, "expected 'keys ACTION CODE...'");
  for (const RecordedKeys& earlier : recording.rebound) {
    if (earlier.action == parts[1]) fail(reader, quoted(parts[1]) += " is rebound twice");
  }
  RecordedKeys keys{std::string(parts[1]), {}, static_cast<std::size_t>(reader.number)};
  for (std::size_t i = 2; i < parts.size(); ++i)
    keys.codes.push_back(static_cast<int>(number(reader, parts[i], 0, maxKeyCode)));
  recording.rebound.push_back(std::move(keys));
}

// The settings of a format 2 header, each line once, up to the first event.
void readSettings(LineReader& reader, Recording& recording) {
  for (;;) {
    LineReader ahead = reader;
    std::string_view line;
    if (!nextLine(ahead, line)) break;
    const std::vector<std::string_view> parts = fields(line);
    if (!isSetting(parts[0])) break;
    reader.pos = ahead.pos;
    reader.number = ahead.number;
    if (parts[0] == "practice") readPractice(reader, parts, recording);
    if (parts[0] == "power") readPower(reader, parts, recording);
    if (parts[0] == "keys") readKeys(reader, parts, recording);
  }
  if (recording.practice && recording.practice->power < 0) fail(reader, "'practice' without its 'power'");
  if (recording.format() != 2) fail(reader, "a format 2 recording holds a setting after its seed");
}

void readHeader(LineReader& reader, Recording& recording) {
  const int format = readFormat(reader);
  std::string_view line;
  if (!nextLine(reader, line))
    throw RecordingError(shown(reader.name) + ": the recording ends before its seed");
  const std::vector<std::string_view> parts = fields(line);
  if (parts.size() != 2 || parts[0] != "seed") fail(reader, "expected 'seed N'");
  recording.seed =
      static_cast<std::uint32_t>(number(reader, parts[1], 0, std::numeric_limits<std::uint32_t>::max()));
  if (format == 2) readSettings(reader, recording);
}

// Adds the event of one line to the recording.
void readEvent(const LineReader& reader, std::string_view line, Recording& recording) {
  const std::vector<std::string_view> parts = fields(line);
  if (parts[0] == "k" && parts.size() == 2) {
    recording.events.push_back(
        {RecordedEvent::Key, static_cast<int>(number(reader, parts[1], 0, maxKeyCode))});
  } else if (parts[0] == "t" && parts.size() == 1 + tableEntries) {
    RecordedTable& table = recording.tables.emplace_back();
    for (int i = 0; i < tableEntries; ++i) {
      table[static_cast<std::size_t>(i)] =
          static_cast<int>(number(reader, parts[static_cast<std::size_t>(i) + 1],
                                  std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    }
    recording.events.push_back({RecordedEvent::Table, static_cast<int>(recording.tables.size() - 1)});
  } else if (parts[0] == "w" && parts.size() == 1) {
    // The game saves a table only right after reading it.
    if (recording.events.empty() || recording.events.back().kind != RecordedEvent::Table)
      fail(reader, "'w' must follow a 't' line");
    recording.events.push_back({RecordedEvent::TableWritten, 0});
  } else if (isSetting(parts[0])) {
    fail(reader, quoted(parts[0]) += " is a setting: it belongs before the first key, in format 2");
  } else {
    fail(reader, quoted(line) += " is not a recording line");
  }
}

}  // namespace

std::string recordingHeader(const Recording& settings) {
  std::string header =
      magic + std::to_string(settings.format()) + "\nseed " + std::to_string(settings.seed) + "\n";
  if (settings.practice) {
    header += "practice " + std::to_string(settings.practice->level) + "\n";
    header += "power " + std::to_string(settings.practice->power) + "\n";
  }
  for (const RecordedKeys& keys : settings.rebound) {
    header += "keys " + keys.action;
    for (int code : keys.codes) {
      header += ' ';
      header += std::to_string(code);
    }
    header += "\n";
  }
  return header;
}

std::string recordingHeader(std::uint32_t seed) {
  Recording plain;
  plain.seed = seed;
  return recordingHeader(plain);
}

std::string keyLine(int code) {
  std::string line = "k ";
  line += std::to_string(code);
  line += '\n';
  return line;
}

std::string tableLine(const std::vector<int>& table) {
  std::string line = "t";
  for (int entry : table) {
    line += ' ';
    line += std::to_string(entry);
  }
  return line + "\n";
}

std::string writtenLine() { return "w\n"; }

Recording parseRecording(std::string_view text, const std::string& name) {
  if (text.size() > maxRecordingBytes) throw RecordingError(shown(name) + ": too large to be a recording");
  LineReader reader{text, name};
  Recording recording;
  readHeader(reader, recording);
  recording.headerLines = static_cast<std::size_t>(reader.number);
  // Reserved whole, so a long recording is never held twice while its events grow.
  recording.events.reserve(static_cast<std::size_t>(
      std::count(text.begin() + static_cast<std::ptrdiff_t>(reader.pos), text.end(), '\n')));
  std::string_view line;
  while (nextLine(reader, line)) readEvent(reader, line, recording);
  recording.wholeBytes = reader.pos;
  return recording;
}

void continueRecording(Recording& recording, std::string_view appended, const std::string& name) {
  LineReader reader{appended, name};
  reader.number = static_cast<int>(recording.headerLines + recording.events.size());
  std::string_view line;
  while (nextLine(reader, line)) {
    if (recording.wholeBytes + reader.pos > maxRecordingBytes)
      throw RecordingError(shown(name) + ": too large to be a recording");
    readEvent(reader, line, recording);
  }
  recording.wholeBytes += reader.pos;
}
