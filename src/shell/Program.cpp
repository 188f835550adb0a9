// The program: seeds the dice from the clock, runs games until the player declines another, and
// makes sure the terminal is restored however the program ends.
#include "shell/Program.h"

#include <ctime>
#include <exception>
#include <iostream>
#include <optional>

#include "dice/Lfrand.h"
#include "game/Game.h"
#include "game/Guide.h"
#include "screen/CursesTerminal.h"
#include "screen/MemoryTerminal.h"
#include "shell/Options.h"
#include "shell/Session.h"
#include "store/FileMessages.h"

namespace {

void tellRecordingTrouble(const Session& session) {
  if (const std::string trouble = session.recordingTrouble(); !trouble.empty())
    std::cerr << "gridfall: " << trouble << "\n";
}

void reportFailure(const std::string& description, const std::vector<std::string>& trace,
                   const Session& session) {
  std::cout << "Oops!\n" << description << "\n";
  if (!session.journalPath().empty()) {
    std::cout << "This run is kept in " << shown(session.journalPath())
              << "; once the cause is mended, gridfall --resume continues it and keeps its score.\n";
  }
  tellRecordingTrouble(session);
  if (!trace.empty()) {
    std::cout << "Call trace:\n";
    for (const std::string& frame : trace) std::cout << "  " << frame << "\n";
  }
  std::cout.flush();
}

// An answer that could not be written (a full disk, a closed output) is a failure, not a success.
int written(int status) {
  if (std::cout.flush()) return status;
  std::cerr << "gridfall: cannot write to standard output\n";
  return 1;
}

// Answers the options that do not play: help, version, the score table, a mistake. Returns the exit
// status, or nothing when a game is to be played.
std::optional<int> answerWithoutPlaying(const Options& options) {
  switch (options.action) {
    case Action::Help: std::cout << usageText(); return written(0);
    case Action::Version: std::cout << versionText(); return written(0);
    case Action::Scores: return written(printScores(std::cout, std::cerr));
    case Action::Cast: return written(printCast(options.recording, options.pace, std::cout, std::cerr));
    case Action::Verify: return written(printVerification(options.recording, std::cout, std::cerr));
    case Action::Keys: return written(printKeys(std::cout, std::cerr));
    case Action::Invalid:
      std::cerr << "gridfall: " << options.error << "\nTry 'gridfall --help' for more information.\n";
      return 2;
    case Action::Play: break;
  }
  return std::nullopt;
}

}  // namespace

int runProgram(int argc, char* argv[]) {
  const Options options = parseOptions(argc, argv);
  if (const std::optional<int> status = answerWithoutPlaying(options)) return *status;
  std::unique_ptr<Session> session;
  try {
    session = openSession(options, std::time(nullptr), std::cerr);
  } catch (const SessionRefused& e) {
    std::cerr << "gridfall: " << e.description() << "\n";
    return 1;
  }
  lfSrand(static_cast<int>(session->seed()));
  try {
    // A replay or a watch never touches the table, nor does practice, so only a run that keeps scores
    // needs it usable.
    if (!options.replay && !options.watch && !session->practice()) guideBestScore(checkTableBeforePlay());
  } catch (const GameError& e) {
    // Found before any game is played: the same words as at game over, with the terminal untouched.
    std::cerr << "gridfall: " << e.description() << "\n";
    return 1;
  }
  try {
    startScreen();
    playUntilDeclined(session->scoreTable(), {}, {}, session->practice());
    session->gamesOver();
    endScreen();
    session->finished();
    tellRecordingTrouble(*session);
    return 0;
  } catch (const PlaybackOver&) {
    endScreen();
    return 0;
  } catch (const SessionRefused& e) {
    // A watched journal that stopped fitting the game: one line, once the terminal is back.
    endScreen();
    std::cerr << "gridfall: " << e.description() << "\n";
    return 1;
  } catch (const TerminalUnusable& e) {
    // Nothing was drawn; one plain line says what the terminal lacks.
    std::cerr << "gridfall: " << e.description() << "\n";
    return 1;
  } catch (const InputEnded& e) {
    endScreen();
    std::cerr << "gridfall: " << e.description() << "; the game has ended\n";
    return 1;
  } catch (const ScriptExhausted&) {
    endScreen();
    throw;  // a scripted run has simply run out of keys; its harness handles that
  } catch (const GameError& e) {
    endScreen();
    reportFailure(e.what(), e.trace(), *session);
    return 1;
  } catch (const std::exception& e) {
    endScreen();
    reportFailure(e.what(), captureCallTrace(), *session);
    return 1;
  }
}
