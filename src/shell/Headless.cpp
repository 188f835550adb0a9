// Playing a recording headless: the recorded keys feed the game, the recorded tables stand in for
// the score file, and anything out of place stops the run with the line it is on.
#include "shell/Headless.h"

#include <algorithm>

#include "dice/Lfrand.h"
#include "game/Game.h"
#include "screen/ForwardingTerminal.h"
#include "screen/Screen.h"
#include "screen/TerminalInUse.h"

namespace {

// Where the recording and the game part ways; not a std::exception, so no game code catches it.
struct Mismatch {
  std::string where;
};

// The screen is a base of its own so that it is built before the terminal that draws on it.
struct OwnScreen {
  MemoryTerminal screen;
};

class HeadlessPlay final : private OwnScreen, public ForwardingTerminal, public ScoreTable {
 public:
  HeadlessPlay(const Recording& recording, const ScreenSeen& seen)
      : ForwardingTerminal(screen), recording_(recording), events_(recording.events), seen_(seen) {}

  int readKey() override {
    if (seen_) seen_(screen, keys_);
    if (next_ >= events_.size()) throw ScriptExhausted{};
    expect(RecordedEvent::Key, "a key");
    ++keys_;
    return events_[next_++].key;
  }

  KeptScore keep(int score) override {
    if (next_ >= events_.size()) throw ScriptExhausted{};  // the run was cut before its table was read
    expect(RecordedEvent::Table, "the score table");
    std::vector<int> table = recording_.tableOf(events_[next_++]);
    if (next_ < events_.size() && events_[next_].kind == RecordedEvent::TableWritten) ++next_;
    return mergeScore(std::move(table), score);
  }

  // After the player declined another game nothing more can have been recorded.
  void expectNothingMore() const {
    if (next_ < events_.size())
      throw Mismatch{lineOf(next_) + ": the run had ended here, but the recording goes on"};
  }

  std::size_t keysPlayed() const { return keys_; }
  const MemoryTerminal& shown() const { return screen; }

 private:
  // The header takes two lines, so event i is on line i + 3.
  static std::string lineOf(std::size_t event) { return "line " + std::to_string(event + 3); }

  void expect(RecordedEvent::Kind kind, const char* wanted) const {
    if (events_[next_].kind != kind) throw Mismatch{lineOf(next_) + ": the game reads " + wanted + " here"};
  }

  const Recording& recording_;
  const std::vector<RecordedEvent>& events_;
  const ScreenSeen& seen_;
  std::size_t next_ = 0;
  std::size_t keys_ = 0;
};

}  // namespace

HeadlessRun playHeadless(const Recording& recording, const ScreenSeen& seen) {
  HeadlessRun run;
  HeadlessPlay play(recording, seen);
  const TerminalInUse installed(play);
  lfSrand(static_cast<int>(recording.seed));
  const auto noteEnd = [&run, &play](const GameEnd& end) {
    run.games.push_back(
        {end.score, std::min(end.level, numLevels), end.level > numLevels, end.entered, play.keysPlayed()});
  };
  const auto noteLevel = [&run, &play](int level) { run.levels.push_back({level, play.keysPlayed()}); };
  try {
    startScreen();
    playUntilDeclined(play, noteEnd, noteLevel);
    play.expectNothingMore();
    run.finished = true;
    if (seen) seen(play.shown(), play.keysPlayed());
  } catch (const ScriptExhausted&) {
  } catch (const Mismatch& mismatch) {
    run.fits = false;
    run.whereItStopped = mismatch.where;
  }
  run.keys = play.keysPlayed();
  return run;
}
