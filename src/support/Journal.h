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

#include "support/Recording.h"

struct Journal {
  int fd = -1;             // open for appending, locked; -1: no journal (it could not be started)
  std::string path;        // empty when there is none
  bool broken = false;     // a write failed: nothing more is appended
  std::int64_t room = -1;  // bytes the file-size limit still allows; -1 until first needed
};

// $HOME/.gridfall/journal/ and $HOME/.gridfall/last-game.rec.
std::string journalDir();
std::string lastGamePath();

// Creates, locks and heads a new journal named after the start time and the process, or returns
// one with fd -1 when that is impossible (the game then plays unrecorded rather than not at all).
Journal startJournal(std::uint32_t seed, std::time_t start);

// Appends one line with a single write(2), so a kill loses at most the line being written. After a
// failed write nothing more is written: the journal stays a true beginning of the run.
void appendToJournal(Journal& journal, std::string_view line);

// A normal end: the journal atomically replaces last-game.rec.
void finishJournal(Journal& journal);
// Any other end: the journal stays where it is, for --resume.
void closeJournal(Journal& journal);

struct ResumableRun {
  Journal journal;  // locked and open for appending, any torn last line cut off
  Recording recording;
};
// The newest cut-off journal that no running program holds. Nothing at all: nullopt, with
// `why` saying what was found (nothing, or journals held by running programs).
std::optional<ResumableRun> takeNewestJournal(std::string& why);

// Keeps the `keep` newest cut-off journals that no program holds and removes the older ones.
void pruneJournals(int keep);

// Reads a recording file whole, refusing anything larger than a recording can be.
Recording readRecordingFile(const std::string& path);
