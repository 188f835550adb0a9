// The per-user store that keeps the high-score table: a cache directory under $HOME holding one
// text file per named value, written atomically and read back with a strict, bounds-checked decoder.
// Messages name the file (control characters escaped) and give advice that fits the error.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "errors/GameError.h"
#include "store/StoreFiles.h"
#include "store/StoreNames.h"

// Every failure of the store is one of these kinds; the message names the file or directory,
// says what is wrong with it and how the player can recover.
class UnsafeDirectory : public GameError {
 public:
  explicit UnsafeDirectory(const std::string& description) : GameError("UnsafeDirectory", description) {}
};
class UnsafeObject : public GameError {
 public:
  explicit UnsafeObject(const std::string& description) : GameError("UnsafeObject", description) {}
};
class FileError : public GameError {
 public:
  explicit FileError(const std::string& description) : GameError("FileError", description) {}
};
class Invalid_Marshalling_ID : public GameError {
 public:
  explicit Invalid_Marshalling_ID(const std::string& description)
      : GameError("Invalid_Marshalling_ID", description) {}
};
class Invalid_Function_Table_Hash : public GameError {
 public:
  explicit Invalid_Function_Table_Hash(const std::string& description)
      : GameError("Invalid_Function_Table_Hash", description) {}
};
class Invalid_Value : public GameError {
 public:
  explicit Invalid_Value(const std::string& description) : GameError("Invalid_Value", description) {}
};

// Turns an object name into the identifier written in its file's header.
using HashFn = std::function<std::int32_t(const std::string&)>;

// The serialisation generation written into, and demanded of, every file (0x8140eec5a3a426a6).
inline constexpr std::int64_t formatTag = static_cast<std::int64_t>(0x8140eec5a3a426a6ULL);

// h = h * 131 + c over the name's characters, wrapping at 2^32, read as signed.
// "highscore" hashes to -110780952, the empty name to 0.
std::int32_t strHash(const std::string& name);

// File format: one line of ASCII with no newline. A header "[" id "]" "[" formatTag "]", then the
// array as "A[" "[" 0 "]" "[" capacity "]", each element as "I[" value "]", and a closing "]".
// Numbers are decimal with a leading "-" when negative. The table 2400, 1200, 350, 0, 0 under the
// name "highscore" is exactly these 71 bytes:
//   [-110780952][-9133037511685953882]A[[0][5]I[2400]I[1200]I[350]I[0]I[0]]
// capacityHint is only a reservation hint for readers; a hint below the element count is raised
// to it, since readers may rely on the hint being at least the count.
std::string encodeTable(const std::vector<int>& table, std::int32_t id, int capacityHint);
inline std::string encodeTable(const std::vector<int>& table, std::int32_t id) {
  return encodeTable(table, id, static_cast<int>(table.size()));
}

// Decodes text written by encodeTable. A pure function of its arguments: it never reads outside
// `text` and throws only Invalid_Marshalling_ID (header id differs from `id`),
// Invalid_Function_Table_Hash (another format generation) or Invalid_Value (anything malformed or
// truncated, a number too large for its type, a value that is not one array of ints). Text after the
// array is ignored.
std::vector<int> decodeTable(std::string_view text, std::int32_t id);

// The game reads exactly tableEntries entries. A table of five is taken as stored (the game keeps it best
// first); a longer one is sorted best first before its best five are kept; a shorter one is padded
// with zeros, which any score ties or beats.
std::vector<int> bestFive(std::vector<int> table);

// Checks the names, creates the private directory (mode 0700) if nothing of that name exists, and returns
// the table stored under `name`, or nothing when no file has been stored yet.
std::optional<std::vector<int>> fromCache(const std::string& dir, const std::string& name, HashFn hash);
// As fromCache, but creates nothing: a missing directory means no table, and one that breaks the
// private-folder rule is refused all the same.
std::optional<std::vector<int>> readCache(const std::string& dir, const std::string& name, HashFn hash);

// Checks the names, creates the directory if needed, and replaces the file under `name` with
// `table`. The new text goes to a temporary file in the same directory, is flushed to disk and
// renamed over the old file, so a failure at any point leaves the old file exactly as it was.
// When the file is a symbolic link, the file it points to is replaced and the link stays.
// Temporary files left by games that no longer run are removed. SIGPIPE and SIGXFSZ are ignored
// meanwhile, so a file-size limit is a FileError, not the end of the program.
// The new file gets the process's default permissions (0666 less the umask).
void toCache(const std::vector<int>& table, const std::string& dir, const std::string& name, HashFn hash);

// The check made before a game starts, so that a game is never played for a score that cannot
// be kept: the names are safe, the directory is private (it is created when missing), a file of a
// table's size can be written and flushed there (a probe, removed again), and a stored table can
// be read and decoded, and the disk has a block left beside the probe for the run's journal.
// Returns what readCache does; throws what fromCache and toCache would.
std::optional<std::vector<int>> checkCache(const std::string& dir, const std::string& name, HashFn hash);

// Holds an exclusive advisory lock (flock) on dir + name + ".lock" for its lifetime, e.g.
// $HOME/.gridfall/highscore.lock, so that read-merge-write of the table by two games ending
// together is serialised. The lock file is created when missing and never removed: removing it
// would let a third process lock a fresh file while a second still holds the old one.
class TableLock {
 public:
  TableLock(const std::string& dir, const std::string& name);

 private:
  Descriptor file_;
};
