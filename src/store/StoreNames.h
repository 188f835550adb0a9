// The names of the player's files, the table's size and the size caps of what the store reads: each
// written here and nowhere else.
#pragma once

#include <cstddef>
#include <string>

inline constexpr const char* storeFolderName = ".gridfall";
inline constexpr const char* tableFileName = "highscore";
inline constexpr const char* journalFolderName = "journal";
inline constexpr const char* lastGameFileName = "last-game.rec";

// The table keeps the five best scores.
inline constexpr int tableEntries = 5;
// A score table is a few dozen bytes; a file larger than this is refused unread as damaged.
inline constexpr std::size_t maxTableBytes = 64 * 1024;
// A table's save takes one block of the disk (its temporary file holds a few dozen bytes): a
// journal never grows into the last one, and a run starts only with a block more for its journal.
inline constexpr int blocksKeptForTheTable = 1;
// A long winning run records about 30 KB; the journal stops writing at this size, and the reader
// refuses anything larger.
inline constexpr std::size_t maxRecordingBytes = 8 * 1024 * 1024;

// "$HOME/" + name + "/", with "." standing in for an empty or unset HOME. Touches no file.
std::string userCacheDir(const std::string& name);
// $HOME/.gridfall/, $HOME/.gridfall/journal/ and $HOME/.gridfall/last-game.rec.
std::string storeFolder();
std::string journalFolder();
std::string lastGamePath();
// False only when nothing at all, not even a link, is at lastGamePath(): no game has finished in
// this HOME yet. Whatever is there, usable or not, is the reader's to judge.
bool lastGameExists();
// The journal folder and the store folder it lies in, by the private-folder rule: made when
// missing (`create`), or only looked at, and then false when either is missing. Throws the store's
// error for a folder the rule refuses.
bool prepareJournalFolder(bool create);
