// A run recorded in its journal: every key the game reads and every table a game end reads and
// saves is appended as it happens. A resumed run first plays its journal's events silently into an
// in-memory terminal, then paints the real terminal with that screen and goes on live.
#include <deque>

#include "game/ScoreKeeping.h"
#include "game/Session.h"
#include "screen/CursesTerminal.h"
#include "screen/ForwardingTerminal.h"
#include "screen/MemoryTerminal.h"
#include "screen/Screen.h"
#include "support/Journal.h"

namespace {

constexpr int keptCutOffJournals = 10;

class RecordedRun final : public Session, public ForwardingTerminal, public TableRecord {
 public:
  // A resumed run comes with its journal; a new one starts its journal once the terminal is
  // usable, so a run that never got to play leaves none.
  RecordedRun(std::uint32_t seed, Journal journal, std::vector<RecordedEvent> earlier,
              std::optional<std::time_t> start)
      : ForwardingTerminal(cursesTerminal()),
        seed_(seed),
        journal_(std::move(journal)),
        earlier_(earlier.begin(), earlier.end()),
        start_(start) {
    useTerminal(*this);
    useTableRecord(this);
  }
  ~RecordedRun() override {
    useTableRecord(nullptr);
    useTerminal(cursesTerminal());
    closeJournal(journal_);
  }

  std::uint32_t seed() const override { return seed_; }
  void finished() override { finishJournal(journal_); }
  std::string journalPath() const override { return journal_.path; }

  void initialise() override {
    ForwardingTerminal::initialise();
    if (start_) {
      pruneJournals(keptCutOffJournals);
      journal_ = startJournal(seed_, *start_);
    }
    if (!earlier_.empty()) {
      silent_.emplace(real_.hasColours());
      draw_ = &*silent_;
    }
  }

  int readKey() override {
    if (!earlier_.empty()) {
      if (earlier_.front().kind != RecordedEvent::Key) mismatch();
      const int key = earlier_.front().key;
      earlier_.pop_front();
      return key;
    }
    if (silent_) showWhereTheRunStands();
    const int key = real_.readKey();
    appendToJournal(journal_, keyLine(key));
    return key;
  }

  // Keys typed meanwhile belong to the live part only: the journal's keys are never discarded.
  void discardTypedKeys() override {
    if (earlier_.empty()) ForwardingTerminal::discardTypedKeys();
  }

  std::optional<std::vector<int>> recordedTable() override {
    if (earlier_.empty()) return std::nullopt;
    if (earlier_.front().kind != RecordedEvent::Table) mismatch();
    std::vector<int> table = std::move(earlier_.front().table);
    earlier_.pop_front();
    return table;
  }
  bool recordedSave() override {
    // Events after the table mean the recorded run went past this game end.
    if (earlier_.empty()) return false;
    if (earlier_.front().kind == RecordedEvent::TableWritten) earlier_.pop_front();
    return true;
  }
  bool mayWriteTable() const override { return true; }
  void noteTableRead(const std::vector<int>& table) override { appendToJournal(journal_, tableLine(table)); }
  void noteTableSaved() override { appendToJournal(journal_, writtenLine()); }

 private:
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

  [[noreturn]] void mismatch() const {
    throw RecordingError(journal_.path + ": the recorded run does not fit this version of the game");
  }

  std::uint32_t seed_;
  Journal journal_;
  std::deque<RecordedEvent> earlier_;  // events of the journal still to be played silently
  std::optional<MemoryTerminal> silent_;
  std::optional<std::time_t> start_;
};

}  // namespace

std::unique_ptr<Session> recordedRun(const Options& options, std::time_t now) {
  if (options.resume) {
    std::string why;
    std::optional<ResumableRun> run;
    try {
      run = takeNewestJournal(why);
    } catch (const RecordingError& e) {
      throw SessionRefused("cannot resume: " + e.description());
    }
    if (!run) throw SessionRefused("nothing to resume: " + why);
    const std::uint32_t seed = run->recording.seed;
    return std::make_unique<RecordedRun>(seed, std::move(run->journal), std::move(run->recording.events),
                                         std::nullopt);
  }
  const auto seed = options.seed.value_or(static_cast<std::uint32_t>(now));
  return std::make_unique<RecordedRun>(seed, Journal{}, std::vector<RecordedEvent>{}, now);
}
