// A run recorded in its journal: every key the game reads and every table a game end reads and
// saves is appended as it happens. A resumed run first plays its journal's events silently into an
// in-memory terminal, then paints the real terminal with that screen and goes on live.
#include "shell/RecordedRun.h"

#include "recordings/RecordingCursor.h"
#include "screen/CursesTerminal.h"
#include "screen/ForwardingTerminal.h"
#include "screen/MemoryTerminal.h"
#include "screen/Screen.h"
#include "screen/TerminalGuard.h"
#include "screen/TerminalInUse.h"
#include "store/FileMessages.h"

namespace {

constexpr int keptCutOffJournals = 10;

class RecordedRun final : public Session, public ForwardingTerminal, public ScoreTable {
 public:
  RecordedRun(Journal journal, Recording earlier, std::optional<std::time_t> start)
      : ForwardingTerminal(cursesTerminal()),
        journal_(std::move(journal)),
        earlier_(std::move(earlier)),
        start_(start) {}
  ~RecordedRun() override { closeJournal(journal_); }

  std::uint32_t seed() const override { return earlier_.seed; }
  ScoreTable& scoreTable() override { return *this; }
  void finished() override { finishJournal(journal_); }
  std::string journalPath() const override { return journal_.path; }
  std::string recordingTrouble() const override {
    if (journal_.trouble.empty()) return "";
    if (!recorded_) return journal_.trouble + "; this run was not recorded, so --resume cannot continue it";
    if (journal_.stillResumable)
      return journal_.trouble + "; the run went on unrecorded: move " + shown(journal_.path) +
             " away, or --resume would continue it from an older point";
    return journal_.trouble + "; the run went on unrecorded, so --resume cannot continue it";
  }

  // A new run's journal is made once the terminal is usable, so a run that never got to play
  // leaves none.
  void initialise() override {
    ForwardingTerminal::initialise();
    removeHalfMadeJournals();
    if (start_) {
      pruneJournals(keptCutOffJournals);
      journal_ = startJournal(earlier_.seed, *start_);
      recorded_ = journal_.file.valid();
    }
    if (replaying()) {
      silent_.emplace(real_.hasColours());
      draw_ = &*silent_;
    }
    tellHowToComeBack();
  }

  int readKey() override {
    if (replaying()) return cursor_.key();
    if (silent_) showWhereTheRunStands();
    const int key = real_.readKey();
    append(keyLine(key));
    return key;
  }

  // Keys typed meanwhile belong to the live part only: the journal's keys are never discarded.
  void discardTypedKeys() override {
    if (!replaying()) ForwardingTerminal::discardTypedKeys();
  }

  // The table is noted in the journal before the save and the save after it. A journal that ends
  // on the table's note was cut off while the save may or may not have reached the file: the
  // store settles that by what the file holds, so the score is kept exactly once.
  KeptScore keep(int score) override {
    if (!replaying()) {
      return keepInFile(score, {[this](const std::vector<int>& table) { append(tableLine(table)); },
                                [this] { append(writtenLine()); }});
    }
    const RecordedRead recorded = cursor_.table();
    if (!recorded.saved && !replaying()) {
      keepOnce(score, recorded.table);
      append(writtenLine());
    }
    // The screen shows the table as it was the first time.
    return mergeScore(recorded.table, score);
  }

 private:
  bool replaying() const { return !cursor_.atEnd(); }

  void append(std::string_view line) {
    const bool wasRecording = journal_.trouble.empty();
    appendToJournal(journal_, line);
    if (wasRecording && !journal_.trouble.empty()) tellHowToComeBack();
  }

  // A player who leaves by Ctrl-C, or whose connection drops, learns where the run is kept; a run
  // that is not recorded, or no longer, has nothing to come back to.
  void tellHowToComeBack() const {
    const bool resumable = !journal_.path.empty() && journal_.trouble.empty();
    noteOnLeaving(resumable ? "gridfall: this run is kept in " + shown(journal_.path) +
                                  "; gridfall --resume continues it\n"
                            : "");
  }

  // The silent part is over: the real terminal gets every cell of the screen the game stands at.
  void showWhereTheRunStands() {
    for (int y = 0; y < MemoryTerminal::rows; ++y) {
      for (int x = 0; x < MemoryTerminal::columns; ++x) {
        const ScreenCell& cell = silent_->cell(x, y);
        real_.putChar(
            x, y, cell.ch,
            attr::colourPair(cell.pair) | (cell.bold ? attr::bold : 0) | (cell.reverse ? attr::reverse : 0));
      }
    }
    draw_ = &real_;
    silent_.reset();
  }

  Journal journal_;
  Recording earlier_;  // the journal's run, played silently up to its end
  RecordingCursor cursor_{earlier_, journal_.path};
  const TerminalInUse installed_{*this};
  bool recorded_ = journal_.file.valid();  // the run had a journal, however it ended
  std::optional<MemoryTerminal> silent_;
  std::optional<std::time_t> start_;
};

}  // namespace

std::unique_ptr<Session> recordedRun(Journal journal, Recording earlier, std::optional<std::time_t> start) {
  return std::make_unique<RecordedRun>(std::move(journal), std::move(earlier), start);
}

std::unique_ptr<Session> newRun(std::uint32_t seed, std::time_t now) {
  Recording fresh;
  fresh.seed = seed;
  return recordedRun(Journal{}, std::move(fresh), now);
}
