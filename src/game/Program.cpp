// The program: seeds the dice from the clock, runs games until the player declines another, and
// makes sure the terminal is restored however the program ends.
#include <ctime>
#include <exception>
#include <iostream>

#include "game/Game.h"
#include "game/Session.h"
#include "screen/CursesTerminal.h"
#include "screen/MemoryTerminal.h"
#include "support/Lfrand.h"

namespace {

void playUntilDeclined() {
  bool again = true;
  while (again) {
    clearScreen();
    again = endGame(playGame());
  }
}

void reportFailure(const std::string& description, const std::vector<std::string>& trace, const Session& session) {
  std::cout << "Oops!\n" << description << "\n";
  if (!session.journalPath().empty()) {
    std::cout << "This run is recorded in " << session.journalPath() << " (gridfall --replay shows it).\n";
  }
  if (!trace.empty()) {
    std::cout << "Call trace:\n";
    for (const std::string& frame : trace) std::cout << "  " << frame << "\n";
  }
  std::cout.flush();
}

}  // namespace

int runProgram(const RunRequest& request) {
  std::unique_ptr<Session> session;
  try {
    session = openSession(request, std::time(nullptr));
  } catch (const SessionRefused& e) {
    std::cerr << "gridfall: " << e.description() << "\n";
    return 1;
  }
  lfSrand(static_cast<int>(session->seed()));
  try {
    startScreen();
    playUntilDeclined();
    session->gamesOver();
    endScreen();
    session->finished();
    return 0;
  } catch (const PlaybackOver&) {
    endScreen();
    return 0;
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
