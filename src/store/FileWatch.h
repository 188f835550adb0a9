// Following a file another process writes, without ever changing it or its locks: what was
// appended since a point, whether any process holds its lock, and whose it is. --watch reads a
// running game's journal through these.
#pragma once

#include <cstddef>
#include <string>

// The bytes appended to the file behind `fd` since `offset`, at most `most` of them, into `text`
// (empty when it has not grown). False when the file is now shorter than `offset` (it was emptied)
// or cannot be read.
bool readAppended(int fd, std::size_t offset, std::size_t most, std::string& text);

enum class LockSeen { Held, Free, Unknown };
// Whether any process holds a flock lock on the file behind `fd`, from the kernel's list of locks
// (/proc/locks). Asking never takes the lock, not even for an instant: a probe that took it could
// make the player's --resume, or the pruning of a starting run, find the journal held and pass it
// by. Unknown where the list cannot be read.
LockSeen lockOf(int fd);

// True when the regular file behind `fd` belongs to this process's user.
bool ownedByThisUser(int fd);
