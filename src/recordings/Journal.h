// The journal: every run's recording, written as it goes to $HOME/.gridfall/journal/<name>.rec,
// one write(2) per line, under an advisory lock (flock) for as long as the program runs. A run that
// ends normally moves its journal to $HOME/.gridfall/last-game.rec; any other end leaves it in the
// journal folder, where --resume finds it.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "recordings/Recording.h"
#include "store/StoreFiles.h"

struct Journal {
  Descriptor file;              // open for appending and locked; invalid: no journal
  std::string path;             // empty when there is none
  std::string trouble;          // why the journal could not be made or stopped ("" while all is well)
  std::int64_t room = 0;        // bytes the journal may grow before the limits and the disk are asked again
  bool emptied = false;         // stopped where it could not be renamed, and emptied instead
  bool stillResumable = false;  // stopped, but could be neither renamed nor emptied
};

// Journals are named <start>-<pid>.rec (<start> as 20240301-120000, UTC), with "-2", "-3"... before
// ".rec" when that name is taken; one that stopped early ends in ".stopped.rec". A journal being
// made is ".<start>-<pid>.new". Nothing else in the folder is ever touched.
bool isJournalName(std::string_view name);
bool isStoppedJournalName(std::string_view name);
bool isHalfMadeJournalName(std::string_view name);

// Removes half-made journals whose maker (the pid in the name) no longer runs and that nobody holds:
// a living maker may not have locked its file yet.
void removeHalfMadeJournals();

// Creates, locks and heads a new journal named after the start time and the process. When that is
// impossible the journal has no file and `trouble` says why (the game then plays unrecorded). Its
// header holds the seed and the settings of `settings`, a recording with no events yet.
Journal startJournal(const Recording& settings, std::time_t start);
inline Journal startJournal(std::uint32_t seed, std::time_t start) {
  Recording plain;
  plain.seed = seed;
  return startJournal(plain, start);
}

// Appends one line with a single write(2), so a kill loses at most the line being written. A write
// that fails, or that would take the journal past the file-size limit, past what the reader accepts
// or into the last free block of the disk (a table's save needs it), stops the journal for good:
// `trouble` says why, and --resume never continues a run the journal no longer follows: it is
// renamed to its stopped name, or, where the folder refuses, emptied (an empty journal is never
// resumed); only when neither works is it `stillResumable`, and the player must move it away.
void appendToJournal(Journal& journal, std::string_view line);

// A normal end: the journal atomically replaces last-game.rec (stopped or not); if that fails, or
// it was emptied, it is removed, since a finished run must never be resumed.
void finishJournal(Journal& journal);
// Any other end: the journal stays where it is, for --resume.
void closeJournal(Journal& journal);

// Cut-off journals of the folder, newest first, by path; RecordingError when the folder is unsafe.
std::vector<std::string> cutOffJournalsNewestFirst();

// Gone: another --resume took it and moved it on meanwhile.
enum class TakeOutcome { Taken, Held, Unusable, Gone };
struct TakenJournal {
  TakeOutcome outcome;
  Journal journal;      // Taken: locked and open for appending, any torn last line cut off
  Recording recording;  // Taken
  std::string why;      // Unusable: what is wrong with it
};
TakenJournal takeJournal(const std::string& path);

// Keeps the `keep` newest cut-off journals that no program holds and removes the older ones, except
// those cut between reading a game end's table and saving it (ending on a `t` line): their score
// may still be missing from the table, so they stay for --resume to settle.
void pruneJournals(int keep);

// The whole text of an open recording file, bounded by what the reader accepts; a RecordingError
// naming the file when it is not a regular file, too large or unreadable.
std::string readWhole(const Descriptor& file, const std::string& path);

// Reads a recording file whole (through its links), refusing anything larger than a recording can be
// and anything that is not a regular file, without ever blocking.
Recording readRecordingFile(const std::string& path);
