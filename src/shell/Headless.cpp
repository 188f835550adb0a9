// Playing a recording headless: the recorded keys feed the game, the recorded tables stand in for
// the score file, and anything out of place stops the run with the line it is on.
#include "shell/Headless.h"

#include <algorithm>

#include "dice/Lfrand.h"
#include "game/Game.h"
#include "recordings/RecordingCursor.h"
#include "screen/ForwardingTerminal.h"
#include "screen/Screen.h"
#include "screen/TerminalInUse.h"

namespace {

// The screen is a base of its own so that it is built before the terminal that draws on it.
struct OwnScreen {
  MemoryTerminal screen;
};

class HeadlessPlay final : private OwnScreen, public ForwardingTerminal, public ScoreTable {
 public:
  HeadlessPlay(const Recording& recording, const std::string& name, const ScreenSeen& seen)
      : ForwardingTerminal(screen), recording_(recording, name), seen_(seen) {}

  int readKey() override {
    if (seen_) seen_(screen, recording_.keysRead());
    if (recording_.atEnd()) throw ScriptExhausted{};
    return recording_.key();
  }

  KeptScore keep(int score) override {
    if (recording_.atEnd()) throw ScriptExhausted{};  // the run was cut before its table was read
    return mergeScore(recording_.table().table, score);
  }

  // After the player declined another game nothing more can have been recorded.
  void expectNothingMore() const { recording_.expectEnd(); }

  std::size_t keysPlayed() const { return recording_.keysRead(); }
  const MemoryTerminal& shown() const { return screen; }

 private:
  RecordingCursor recording_;
  const ScreenSeen& seen_;
};

}  // namespace

HeadlessRun playHeadless(const Recording& recording, const std::string& name, const ScreenSeen& seen) {
  HeadlessRun run;
  HeadlessPlay play(recording, name, seen);
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
  } catch (const RecordingError& mismatch) {
    run.fits = false;
    run.mismatch = mismatch.description();
  }
  run.keys = play.keysPlayed();
  return run;
}
