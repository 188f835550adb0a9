// The high-score store: name checks, the cache directory, the table's text format, atomic saving
// and the advisory lock around read-merge-write. The only code of the game that touches files.
#include "support/DiskCache.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// The original reader kept number fields in a 33-character buffer; anything longer is damage.
constexpr std::size_t maxFieldLength = 33;
// Shortest encoding of one element, "I[]": bounds what a forged capacity hint can reserve.
constexpr std::size_t shortestElement = 3;

std::string errnoText(int error) { return std::strerror(error); }

// File contents may be anything; keep messages printable on the terminal.
std::string printable(std::string_view text) {
  std::string out;
  for (char c : text) out += (c >= 0x20 && c < 0x7f) ? c : '?';
  return out;
}

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
  const std::uint64_t limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
  std::uint64_t magnitude = 0;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
    const auto digit = static_cast<std::uint64_t>(field[i] - '0');
    if (magnitude > (limit - digit) / 10) damaged(at, "the number " + printable(field) + " does not fit in 64 bits");
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
    damaged(start, std::string("the ") + what + " " + std::to_string(value) + " does not fit in an int");
  return static_cast<int>(value);
}

[[noreturn]] void rejectKind(char kind, std::size_t at) {
  switch (kind) {
    case 'A':
      damaged(at, "an array inside the table; the store holds only arrays of ints");
    case 'C':
    case 'S':
    case 'R':
    case 'U':
    case 'F':
      damaged(at, std::string("a value of kind '") + kind + "'; the store holds only arrays of ints");
    default:
      damaged(at, "unknown value kind '" + printable(std::string_view(&kind, 1)) + "'");
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

// ---- Files and directories ------------------------------------------------------------------

void checkNames(const std::string& dir, const std::string& name) {
  if (name.find("..") != std::string::npos)
    throw UnsafeDirectory("the object name \"" + name + "\" contains \"..\" and could leave the cache directory " + dir);
  if (name.find('/') != std::string::npos)
    throw UnsafeObject("the object name \"" + name + "\" contains \"/\"; objects live directly in " + dir);
  if (dir.find("..") != std::string::npos)
    throw UnsafeDirectory("the cache directory " + dir + " contains \"..\"; set HOME to a path without \"..\"");
}

// Creates only the last component; the chmod makes the mode exactly 0700 whatever the umask
// (and clears a set-group-id bit inherited from the parent).
void prepareDirectory(const std::string& dir) {
  struct stat info {};
  if (::stat(dir.c_str(), &info) == 0) return;
  if (::mkdir(dir.c_str(), 0700) != 0) {
    const int error = errno;
    if (error == EEXIST) return;  // another game created it in the meantime
    throw FileError("cannot create the directory " + dir + ": " + errnoText(error) +
                    "; check that its parent exists and is writable");
  }
  if (::chmod(dir.c_str(), 0700) != 0)
    throw FileError("cannot set the permissions of the new directory " + dir + ": " + errnoText(errno));
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // A failed close can mean the data never reached the disk, so savers must check it.
  int closeChecked() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd);
  }

 private:
  int fd_;
};

std::optional<std::string> readWholeFile(const std::string& path) {
  // O_NONBLOCK so that a FIFO put in the file's place cannot hang the game.
  Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.get() < 0) {
    const int error = errno;
    if (error == ENOENT) return std::nullopt;
    throw FileError("cannot open " + path + " for reading: " + errnoText(error) +
                    "; check its permissions, or move it away to start a new table");
  }
  struct stat info {};
  if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
    throw FileError(path + " is not a regular file; move it away to start a new table");
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
    if (got == 0) return text;
    if (got > 0) {
      text.append(buffer, static_cast<std::size_t>(got));
    } else if (errno != EINTR) {
      throw FileError("cannot read " + path + ": " + errnoText(errno) +
                      "; check the file and its disk, or move it away to start a new table");
    }
  }
}

// Returns 0 or the errno of the failed write.
int writeAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t put = ::write(fd, text.data(), text.size());
    if (put < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    text.remove_prefix(static_cast<std::size_t>(put));
  }
  return 0;
}

// The temporary file beside the target: removed again unless it was renamed into place.
struct PendingFile {
  std::string path;
  bool renamed = false;
  ~PendingFile() {
    if (!path.empty() && !renamed) ::unlink(path.c_str());
  }
};

// A plain O_CREAT with 0666 lets the kernel apply the umask (and any default ACL), exactly as a
// direct create of the target would. The pid keeps two games from picking the same name; the
// attempt number skips names left behind by a crashed game that had the same pid.
int createTemporary(const std::string& dir, const std::string& name, std::string& tempPath) {
  constexpr int attempts = 100;
  int error = 0;
  for (int attempt = 0; attempt < attempts; ++attempt) {
    const std::string candidate = dir + "." + name + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      tempPath = candidate;  // only a file this call created may ever be removed
      return fd;
    }
    error = errno;
    if (error != EEXIST) break;
  }
  throw FileError("cannot create a temporary file in " + dir + " to save " + dir + name + ": " + errnoText(error) +
                  "; check that the directory is writable and the disk is not full");
}

[[noreturn]] void saveFailed(const std::string& path, const char* step, int error) {
  throw FileError("cannot save " + path + ": " + step + " failed: " + errnoText(error) +
                  "; the previous table in that file is unchanged (check the disk space and permissions)");
}

// Makes the rename itself durable. The new table is already in place when this runs, so a failure
// here only weakens durability across a power cut and is not reported as a failed save.
void syncDirectory(const std::string& dir) {
  Descriptor directory(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.get() >= 0) ::fsync(directory.get());
}

// What() holds "kind: description"; the description alone is re-used with the file's name.
std::string descriptionOf(const GameError& error) {
  return std::string(error.what()).substr(error.kind().size() + 2);
}

std::string damagedFileText(const std::string& path, const GameError& error) {
  return path + " is not a readable score table: " + descriptionOf(error) +
         "; move the file away to start a new table";
}

}  // namespace

std::int32_t strHash(const std::string& name) {
  std::uint32_t h = 0;
  for (const char c : name) h = h * 131u + static_cast<unsigned char>(c);
  return static_cast<std::int32_t>(h);
}

std::string userCacheDir(const std::string& name) {
  const char* home = std::getenv("HOME");
  const std::string base = (home == nullptr || *home == '\0') ? "." : home;
  return base + "/" + name + "/";
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
    throw Invalid_Function_Table_Hash("it was written with format tag " + std::to_string(storedTag) + ", not " +
                                      std::to_string(formatTag) + ", by another program or version");
  const std::size_t at = reader.pos;
  const char kind = take(reader, "the stored table");
  if (kind != 'A') rejectKind(kind, at);
  return readIntArray(reader);
}

std::vector<int> bestFive(std::vector<int> table) {
  if (table.size() > 5) std::sort(table.begin(), table.end(), std::greater<>());
  table.resize(5, 0);
  return table;
}

std::optional<std::vector<int>> fromCache(const std::string& dir, const std::string& name, HashFn hash) {
  checkNames(dir, name);
  prepareDirectory(dir);
  return readCache(dir, name, hash);
}

std::optional<std::vector<int>> readCache(const std::string& dir, const std::string& name, HashFn hash) {
  checkNames(dir, name);
  const std::string path = dir + name;
  const std::optional<std::string> text = readWholeFile(path);
  if (!text) return std::nullopt;
  try {
    return decodeTable(*text, hash(name));
  } catch (const Invalid_Marshalling_ID& error) {
    throw Invalid_Marshalling_ID(damagedFileText(path, error));
  } catch (const Invalid_Function_Table_Hash& error) {
    throw Invalid_Function_Table_Hash(damagedFileText(path, error));
  } catch (const Invalid_Value& error) {
    throw Invalid_Value(damagedFileText(path, error));
  }
}

void toCache(const std::vector<int>& table, const std::string& dir, const std::string& name, HashFn hash) {
  checkNames(dir, name);
  prepareDirectory(dir);
  const std::string path = dir + name;
  const std::string text = encodeTable(table, hash(name));
  PendingFile pending;
  Descriptor file(createTemporary(dir, name, pending.path));
  if (const int error = writeAll(file.get(), text)) saveFailed(path, "writing the temporary file", error);
  if (::fsync(file.get()) != 0) saveFailed(path, "flushing the temporary file", errno);
  if (file.closeChecked() != 0) saveFailed(path, "closing the temporary file", errno);
  if (::rename(pending.path.c_str(), path.c_str()) != 0) saveFailed(path, "renaming the temporary file over it", errno);
  pending.renamed = true;
  syncDirectory(dir);
}

TableLock::TableLock(const std::string& dir, const std::string& name) : fd_(-1) {
  checkNames(dir, name);
  prepareDirectory(dir);
  const std::string path = dir + name + ".lock";
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd_ < 0)
    throw FileError("cannot open the lock file " + path + ": " + errnoText(errno) +
                    "; check that " + dir + " is writable");
  while (::flock(fd_, LOCK_EX) != 0) {
    const int error = errno;
    if (error == EINTR) continue;
    ::close(fd_);
    throw FileError("cannot lock " + path + ": " + errnoText(error) + "; check that " + dir + " is on a local disk");
  }
}

TableLock::~TableLock() { ::close(fd_); }
