// How far a journal may grow: what its reader accepts, the file-size limit, and the disk, whose
// last free block is kept for the table's save at a game end.
#pragma once

#include <cstdint>
#include <string>

// The room is asked again at least this often, so a disk that fills meanwhile is noticed.
inline constexpr std::int64_t mostRoomBetweenAsks = 64 * 1024;

// Which limit the room ends at.
enum class JournalBound { Reader, SizeLimit, Disk };
struct JournalRoom {
  std::int64_t bytes;
  JournalBound bound;
};

// What the journal open on `fd` may still grow: within what the reader accepts and the file-size
// limit, and on the disk to the end of its last block and then only into free blocks beyond the
// one a table's save needs. Asked when a line outgrows the room asked last time, not at every key.
JournalRoom journalRoomLeft(int fd);
// The player's words for a journal stopped at that limit.
std::string whyJournalStopped(JournalBound bound);
