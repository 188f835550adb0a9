// How far a journal may grow before it must stop, asked of the file-size limit and the disk.
#include "recordings/JournalRoom.h"

#include <algorithm>

#include "store/StoreFiles.h"
#include "store/StoreNames.h"

// A file takes the disk in whole blocks: it grows into its last one for free.
JournalRoom journalRoomLeft(int fd) {
  const std::optional<DiskRoom> disk = diskRoomOf(fd);
  if (!disk) return {0, JournalBound::Disk};
  JournalRoom room{static_cast<std::int64_t>(maxRecordingBytes) - disk->fileSize, JournalBound::Reader};
  const auto tighten = [&room](std::int64_t bytes, JournalBound bound) {
    if (bytes < room.bytes) room = {bytes, bound};
  };
  tighten(roomUnderSizeLimit(fd), JournalBound::SizeLimit);
  if (disk->blockSize > 0) {
    const std::int64_t toBlockEnd = (disk->blockSize - disk->fileSize % disk->blockSize) % disk->blockSize;
    const std::int64_t spareBlocks = std::max<std::int64_t>(0, disk->freeBlocks - blocksKeptForTheTable);
    tighten(toBlockEnd + spareBlocks * disk->blockSize, JournalBound::Disk);
  }
  return room;
}

std::string whyJournalStopped(JournalBound bound) {
  switch (bound) {
    case JournalBound::Reader:
      return "the recording reached its limit of " + std::to_string(maxRecordingBytes >> 20) +
             " MiB and stopped there";
    case JournalBound::SizeLimit:
      return "the recording stopped: the file-size limit (ulimit -f) leaves no room";
    case JournalBound::Disk: break;
  }
  return "the recording stopped: the disk is nearly full, and the room left is kept for the score table";
}
