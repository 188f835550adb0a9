// Showing a recording: the recorded keys are played to the game at a steady pace that the viewer
// controls (space pause, + and - pace, '.' or right arrow one key while paused, 'e' or End to the
// end, 'q' quit). The recorded tables stand in for the score file; nothing is ever written.
#include <algorithm>
#include <chrono>
#include <optional>

#include "recordings/Journal.h"
#include "recordings/RecordingCursor.h"
#include "screen/CursesTerminal.h"
#include "screen/ForwardingTerminal.h"
#include "screen/KeyWait.h"
#include "screen/Screen.h"
#include "screen/TerminalInUse.h"
#include "shell/Session.h"
#include "store/FileMessages.h"
#include "store/StoreNames.h"

namespace {

constexpr int slowestPace = 1;
constexpr int fastestPace = 128;

// The viewer's keys, which steer the replay and never reach the game.
enum class Control { Quit, Pause, Faster, Slower, Step, ToTheEnd };
struct ControlKey {
  int key;
  Control control;
};
constexpr ControlKey controls[] = {{'q', Control::Quit},     {' ', Control::Pause},
                                   {'+', Control::Faster},   {'-', Control::Slower},
                                   {'.', Control::Step},     {keys::right, Control::Step},
                                   {'e', Control::ToTheEnd}, {keys::end, Control::ToTheEnd}};

std::optional<Control> controlFor(int key) {
  for (const ControlKey& c : controls) {
    if (c.key == key) return c.control;
  }
  return std::nullopt;
}

class Playback final : public Session, public ForwardingTerminal, public ScoreTable {
 public:
  Playback(std::string path, Recording recording, int pace)
      : ForwardingTerminal(cursesTerminal()),
        path_(std::move(path)),
        recording_(std::move(recording)),
        settings_(settingsOf(recording_, path_)),
        pace_(pace) {
    useKeysOf(settings_);
    keyCount_ =
        static_cast<int>(std::count_if(recording_.events.begin(), recording_.events.end(),
                                       [](const RecordedEvent& e) { return e.kind == RecordedEvent::Key; }));
  }

  std::uint32_t seed() const override { return recording_.seed; }
  ScoreTable& scoreTable() override { return *this; }
  std::optional<Practice> practice() const override { return settings_.practice; }
  void gamesOver() override { waitAtTheEnd(); }

  int readKey() override {
    if (cursor_.atEnd()) waitAtTheEnd();
    const int key = cursor_.key();
    if (keysPlayed_ + 1 == keyCount_ && jumping_) {
      // A jump lands on the last key's screen; whatever the run went on to show after that key,
      // up to where it ended, follows as the game refreshes.
      jumping_ = false;
      showStatus();
      real_.showNow();
    } else if (!jumping_) {
      waitForTurnOf();
    }
    ++keysPlayed_;
    return key;
  }

  // The viewer's keys steer the playback; the recorded run's own discards had nothing to drop.
  void discardTypedKeys() override {}

  // The first line under the game is the replay's own status line; the rest of the guide is the
  // game's.
  void showGuide(const Guide& guide) override {
    gameGuide_ = guide;
    showStatus();
  }

  // The recorded table stands in for the file, which a replay never touches.
  KeptScore keep(int score) override {
    if (cursor_.atEnd()) waitWithoutShowingMore();
    return mergeScore(cursor_.table().table, score);
  }

 private:
  // The screen the game shows at this key, for as long as the pace (or a pause) says.
  void waitForTurnOf() {
    real_.followResize();
    showStatus();
    real_.showNow();
    if (paused_) {
      waitWhilePaused();
      return;
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point due = Clock::now() + std::chrono::milliseconds(1000 / pace_);
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count();
      if (left <= 0 || !keyArrivesWithin(static_cast<int>(left))) {
        if (Clock::now() >= due) return;
        real_.followResize();  // the wait was cut short by a signal, most likely a resize
        continue;
      }
      control(real_.readKey());
      if (jumping_) return;
      if (paused_) {
        waitWhilePaused();
        return;
      }
    }
  }

  // Blocks in the key read: no time passes for the replay while it is paused.
  void waitWhilePaused() {
    while (paused_ && !jumping_) {
      const int key = real_.readKey();
      if (controlFor(key) == Control::Step) return;
      control(key);
    }
  }

  void control(int key) {
    switch (controlFor(key).value_or(Control::Step)) {
      case Control::Quit: throw PlaybackOver{};
      case Control::Pause: paused_ = !paused_; break;
      case Control::Faster: pace_ = std::min(pace_ * 2, fastestPace); break;
      case Control::Slower: pace_ = std::max(pace_ / 2, slowestPace); break;
      case Control::ToTheEnd:
        jumping_ = true;
        paused_ = false;
        break;
      case Control::Step: break;  // taken before while paused; outside a pause, as any other key, nothing
    }
    showStatus();
  }

  // The run was cut between reading a key and reading the table (it failed there): what the game
  // drew since its last refresh never showed, so the key that quits is read without a refresh.
  [[noreturn]] void waitWithoutShowingMore() {
    for (int byte = 0; controlFor(byte) != Control::Quit && byte != noInput;) byte = nextInputByte();
    throw PlaybackOver{};
  }

  // The last screen the game showed stays until the viewer quits.
  [[noreturn]] void waitAtTheEnd() {
    jumping_ = false;
    atEnd_ = true;
    showStatus();
    for (;;) {
      if (controlFor(real_.readKey()) == Control::Quit) throw PlaybackOver{};
    }
  }

  void showStatus() {
    std::string text = "replay: key " + std::to_string(keysPlayed_) + " of " + std::to_string(keyCount_);
    text += atEnd_ ? ", the end" : ", " + std::to_string(pace_) + " keys/s" + (paused_ ? ", paused" : "");
    text += "   keys: space . + - e q";
    real_.showGuide(withStatusLine(gameGuide_, text));
  }

  std::string path_;
  Recording recording_;
  PlaySettings settings_;
  RecordingCursor cursor_{recording_, path_};
  const TerminalInUse installed_{*this};
  int keyCount_ = 0;
  int keysPlayed_ = 0;
  int pace_;
  bool paused_ = false;
  bool jumping_ = false;
  bool atEnd_ = false;
  Guide gameGuide_;
};

}  // namespace

std::unique_ptr<Session> playback(const std::string& path, int pace) {
  try {
    const std::string file = recordingToRead(path);
    return std::make_unique<Playback>(file, readRecordingFile(file), pace);
  } catch (const RecordingError& e) {
    throw SessionRefused(e.description());
  }
}
