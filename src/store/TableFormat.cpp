// The high-score table's text format: the encoder and a strict, bounds-checked decoder. Pure
// functions of their arguments; the file handling is in DiskCache.cpp.
#include <algorithm>
#include <limits>

#include "store/DiskCache.h"
#include "store/FileMessages.h"

namespace {

// The original reader kept number fields in a 33-character buffer; anything longer is damage.
constexpr std::size_t maxFieldLength = 33;
// Shortest encoding of one element, "I[]": bounds what a forged capacity hint can reserve.
constexpr std::size_t shortestElement = 3;

// ---- Decoding -------------------------------------------------------------------------------

struct Reader {
  std::string_view text;
  std::size_t pos = 0;
};

[[noreturn]] void damaged(std::size_t at, const std::string& what) {
  throw Invalid_Value("damaged at byte " + std::to_string(at) + ": " + what);
}

char take(Reader& reader, const char* expected) {
  if (reader.pos >= reader.text.size())
    damaged(reader.pos, std::string("the text ends where ") + expected + " should follow");
  return reader.text[reader.pos++];
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Base-10 conversion with wcstol's leniency (leading blanks, a sign, stop at the first non-digit,
// no digits at all gives 0) but a number beyond 64 bits is damage rather than a clamped value.
std::int64_t parseLikeWcstol(std::string_view field, std::size_t at) {
  std::size_t i = 0;
  while (i < field.size() && isBlank(field[i])) ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
  const std::uint64_t limit =
      static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
  std::uint64_t magnitude = 0;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
    const auto digit = static_cast<std::uint64_t>(field[i] - '0');
    if (magnitude > (limit - digit) / 10)
      damaged(at, "the number " + shown(field) + " is too large for 64 bits");
    magnitude = magnitude * 10 + digit;
  }
  // Two's-complement negation in unsigned arithmetic keeps -2^63 representable.
  return negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
}

// "[" number "]"
std::int64_t readNumberField(Reader& reader) {
  const std::size_t start = reader.pos;
  if (take(reader, "a number field") != '[') damaged(start, "expected '[' opening a number field");
  const std::string_view rest = reader.text.substr(reader.pos);
  const std::size_t close = rest.substr(0, maxFieldLength + 1).find(']');
  if (close == std::string_view::npos) {
    if (rest.size() > maxFieldLength) damaged(start, "a number field is longer than 33 characters");
    damaged(start, "the text ends inside a number field");
  }
  const std::int64_t value = parseLikeWcstol(rest.substr(0, close), start);
  reader.pos += close + 1;
  return value;
}

int readIntField(Reader& reader, const char* what) {
  const std::size_t start = reader.pos;
  const std::int64_t value = readNumberField(reader);
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
    damaged(start, std::string("the ") + what + " " + std::to_string(value) + " is out of an int's range");
  return static_cast<int>(value);
}

[[noreturn]] void rejectKind(char kind, std::size_t at) {
  switch (kind) {
    case 'A': damaged(at, "an array inside the table; the store holds only arrays of ints");
    case 'C':
    case 'S':
    case 'R':
    case 'U':
    case 'F': damaged(at, std::string("a value of kind '") + kind + "'; the store holds only arrays of ints");
    default: damaged(at, "unknown value kind '" + shown(std::string_view(&kind, 1)) + "'");
  }
}

// "A[" "[" k "]" "[" capacity "]" elements "]", the "A" already consumed.
std::vector<int> readIntArray(Reader& reader) {
  if (take(reader, "'[' opening the array") != '[') damaged(reader.pos - 1, "expected '[' after 'A'");
  const std::size_t indexAt = reader.pos;
  const int index = readIntField(reader, "array index");
  // The table is the first and only array of its file.
  if (index != 0) damaged(indexAt, "array index " + std::to_string(index) + " where 0 was expected");
  const int capacity = readIntField(reader, "capacity hint");
  std::vector<int> table;
  const std::size_t fitsInText = (reader.text.size() - reader.pos) / shortestElement;
  table.reserve(std::min(static_cast<std::size_t>(std::max(capacity, 0)), fitsInText));
  for (;;) {
    const std::size_t at = reader.pos;
    const char kind = take(reader, "an element or the ']' closing the table");
    if (kind == ']') return table;
    if (kind != 'I') rejectKind(kind, at);
    table.push_back(readIntField(reader, "element"));
  }
}

}  // namespace

std::int32_t strHash(const std::string& name) {
  std::uint32_t h = 0;
  for (const char c : name) h = h * 131u + static_cast<unsigned char>(c);
  return static_cast<std::int32_t>(h);
}

std::string encodeTable(const std::vector<int>& table, std::int32_t id, int capacityHint) {
  const auto count = static_cast<int>(table.size());
  std::string text;
  const auto field = [&text](long long number) {
    text += '[';
    text += std::to_string(number);
    text += ']';
  };
  field(id);
  field(formatTag);
  text += "A[";
  field(0);  // the first (and only) array of the file
  field(std::max(capacityHint, count));
  for (const int value : table) {
    text += 'I';
    field(value);
  }
  text += ']';
  return text;
}

std::vector<int> decodeTable(std::string_view text, std::int32_t id) {
  Reader reader{text};
  const std::int64_t storedId = readNumberField(reader);
  if (storedId != id)
    throw Invalid_Marshalling_ID("it was stored under identifier " + std::to_string(storedId) + ", not " +
                                 std::to_string(id) + ", so it holds some other value");
  const std::int64_t storedTag = readNumberField(reader);
  if (storedTag != formatTag)
    throw Invalid_Function_Table_Hash("it was written with format tag " + std::to_string(storedTag) +
                                      ", not " + std::to_string(formatTag) +
                                      ", by another program or version");
  const std::size_t at = reader.pos;
  const char kind = take(reader, "the stored table");
  if (kind != 'A') rejectKind(kind, at);
  return readIntArray(reader);
}
