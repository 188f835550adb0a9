// Watching a run as it is played (--watch): its journal is played to the game as far as it goes,
// the screen the player sees is shown, and every key that reaches the journal afterwards is played
// and shown as it comes. The watcher only reads the journal, so the player's run goes exactly as it
// would unwatched; the recorded tables stand in for the score file, which is never touched.
#include <chrono>

#include "recordings/JournalFollower.h"
#include "recordings/RecordingCursor.h"
#include "screen/CursesTerminal.h"
#include "screen/ForwardingTerminal.h"
#include "screen/KeyWait.h"
#include "screen/TerminalInUse.h"
#include "shell/PlaySettings.h"
#include "shell/Session.h"
#include "store/FileMessages.h"
#include "store/StoreNames.h"

namespace {

using Clock = std::chrono::steady_clock;

// The journal's size is looked at this often: a key is on the watcher's screen about this long
// after it reached the journal, at the cost of one fstat per look.
constexpr int lookEveryMs = 20;
// The lock and the names are asked less often: each ask reads the kernel's list of locks.
constexpr auto askStateEvery = std::chrono::milliseconds(200);
// A player who has pressed nothing for this long is shown as idle.
constexpr auto idleAfter = std::chrono::seconds(10);
constexpr int quitKey = 'q';

class Watch final : public Session, public ForwardingTerminal, public ScoreTable {
 public:
  // The run's own settings hold whatever keys file the watcher has.
  explicit Watch(const std::string& path)
      : ForwardingTerminal(cursesTerminal()),
        journal_(path),
        settings_(settingsOf(journal_.recording(), journal_.path())) {
    useKeysOf(settings_);
  }

  std::uint32_t seed() const override { return journal_.recording().seed; }
  ScoreTable& scoreTable() override { return *this; }
  std::optional<Practice> practice() const override { return settings_.practice; }
  void gamesOver() override { waitAtTheEnd(); }

  int readKey() override {
    if (cursor_.atEnd()) {
      real_.followResize();
      showWhereTheRunStands();
      while (cursor_.atEnd()) lookOnce(true);
    }
    return fitting([this] { return cursor_.key(); });
  }

  // The viewer's keys are the watcher's own: the recorded run's discards had nothing to drop.
  void discardTypedKeys() override {}

  void showGuide(const Guide& guide) override {
    gameGuide_ = guide;
    showStatus();
  }

  // A game end's table and the note of its save are written together; the screen between them is
  // one the player never saw, so nothing is shown while they are awaited.
  KeptScore keep(int score) override {
    while (cursor_.eventsAhead() < 2) lookOnce(false);
    return mergeScore(fitting([this] { return cursor_.table().table; }), score);
  }

 private:
  // A journal that stops fitting ends the watch with one line naming the file and the line.
  template <typename Read>
  auto fitting(Read read) -> decltype(read()) {
    try {
      return read();
    } catch (const RecordingError& e) {
      throw SessionRefused(e.description());
    }
  }

  void showWhereTheRunStands() {
    showStatus();
    real_.showNow();
  }

  // One look: the viewer's keys for a moment, then the journal, and now and then where the run
  // stands. `showing` is false while the game stands between two screens.
  void lookOnce(bool showing) {
    if (keyArrivesWithin(lookEveryMs)) {
      const int key = showing ? real_.readKey() : nextInputByte();
      if (key == quitKey || key == noInput) throw PlaybackOver{};
    } else if (showing) {
      real_.followResize();  // the wait was cut short by a signal, most likely a resize
    }
    if (fitting([this] { return journal_.catchUp(); })) {
      keyArrived();
    } else if (Clock::now() - lastAsked_ >= askStateEvery) {
      askWhereTheRunStands(showing);
    }
  }

  // Someone writes the journal: a run that was cut off has been resumed.
  void keyArrived() {
    lastArrival_ = Clock::now();
    idle_ = false;
    if (state_ == RunState::CutOff) state_ = RunState::Playing;
  }

  void askWhereTheRunStands(bool showing) {
    const RunState before = state_;
    const bool wasIdle = idle_;
    lastAsked_ = Clock::now();
    state_ = journal_.runState();
    idle_ = lastAsked_ - lastArrival_ >= idleAfter;
    // Whatever the run wrote before it ended is in the file by now.
    if (state_ == RunState::Ended) {
      if (!fitting([this] { return journal_.catchUp(); })) waitAtTheEnd();
      keyArrived();
    } else if (showing && (state_ != before || idle_ != wasIdle)) {
      showWhereTheRunStands();
    }
  }

  // The last screen stays until the viewer quits.
  [[noreturn]] void waitAtTheEnd() {
    state_ = RunState::Ended;
    showWhereTheRunStands();
    for (;;) {
      if (real_.readKey() == quitKey) throw PlaybackOver{};
    }
  }

  std::string stateText() const {
    switch (state_) {
      case RunState::Playing: return idle_ ? "player idle" : "playing";
      case RunState::Stopped: return "its recording stopped";
      case RunState::CutOff: return "cut off; --resume continues it";
      case RunState::Ended: break;
    }
    return "the run has ended";
  }

  // The first line under the game is the watch's own status line; the rest of the guide is the
  // game's.
  void showStatus() {
    const std::string& path = journal_.path();
    std::string text = "watching " + shown(path.substr(path.rfind('/') + 1)) + ": key " +
                       std::to_string(cursor_.keysRead()) + ", " + stateText() + "   q quits";
    real_.showGuide(withStatusLine(gameGuide_, text));
  }

  JournalFollower journal_;
  PlaySettings settings_;
  RecordingCursor cursor_{journal_.recording(), journal_.path()};
  const TerminalInUse installed_{*this};
  RunState state_ = RunState::Playing;
  bool idle_ = false;
  Clock::time_point lastArrival_ = Clock::now();
  Clock::time_point lastAsked_{};
  Guide gameGuide_;
};

std::string journalToWatch(const std::string& named) {
  if (!named.empty()) return named;
  const std::string held = newestHeldJournal();
  if (held.empty())
    throw RecordingError("nothing to watch: no running gridfall holds a journal in " +
                         shown(journalFolder()));
  return held;
}

}  // namespace

std::unique_ptr<Session> watching(const std::string& path) {
  try {
    return std::make_unique<Watch>(journalToWatch(path));
  } catch (const RecordingError& e) {
    throw SessionRefused(e.description());
  }
}
