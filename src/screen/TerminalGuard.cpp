// Restoring the terminal on fatal signals. A handler may only make async-signal-safe calls
// (write, tcsetattr, sigaction, raise) on data prepared beforehand, so everything it needs is
// worked out when the terminal is taken.
#include "screen/TerminalGuard.h"

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace {

// The signals that end a program by default and may reach a game: sent by the player, the system
// or a fault. (SIGKILL and SIGSTOP cannot be caught.)
constexpr int fatalSignals[] = {SIGHUP,  SIGINT,  SIGQUIT,   SIGILL,  SIGTRAP, SIGABRT, SIGBUS,
                                SIGFPE,  SIGUSR1, SIGSEGV,   SIGUSR2, SIGPIPE, SIGALRM, SIGTERM,
                                SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGSYS};

int terminalFd = -1;
// The dispositions found before curses started (which installs handlers of its own), put back when
// the guard is released. Of the signals a
// shell ignores for its jobs (SIGHUP under nohup, SIGINT and SIGQUIT for background commands), one
// found ignored stays ignored. Others found ignored are an accident of the parent (an interpreter
// that ignores SIGPIPE for itself) and are guarded like the rest.
struct sigaction found[sizeof fatalSignals / sizeof fatalSignals[0]];
bool remembering = false;
termios remembered{};
char leave[256];
std::size_t leaveLength = 0;
// The note is set while signals may arrive: its length is zero while the text changes.
char note[1024];
volatile std::sig_atomic_t noteLength = 0;

void writeAll(int fd, const char* text, std::size_t length) {
  for (std::size_t done = 0; done < length;) {
    const ssize_t put = ::write(fd, text + done, length - done);
    if (put <= 0) return;  // a terminal that hung up takes nothing
    done += static_cast<std::size_t>(put);
  }
}

// The signals by which a player or the system ends a game on purpose; the others are faults.
bool endsOnPurpose(int signal) { return signal == SIGHUP || signal == SIGINT || signal == SIGTERM; }

void putTerminalBack() {
  writeAll(terminalFd, leave, leaveLength);  // even when nothing is taken, the modes go back
  ::tcsetattr(terminalFd, TCSANOW, &remembered);
}

void setAction(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  for (int s : fatalSignals) sigaddset(&action.sa_mask, s);  // one handler at a time
  ::sigaction(signal, &action, nullptr);
}

void restoreAndReraise(int signal) {
  putTerminalBack();
  if (endsOnPurpose(signal)) writeAll(STDERR_FILENO, note, static_cast<std::size_t>(noteLength));
  // The signal stays blocked until the handler returns, and is then delivered with its default
  // action, so the program ends as the signal intends (a fault re-occurs and ends it the same way).
  setAction(signal, SIG_DFL);
  ::raise(signal);
}

// curses itself may end the program (it does when memory runs out while it starts): the terminal is
// put back on that way out too, unless it was released already.
void putBackAtExit() {
  if (terminalFd >= 0) putTerminalBack();
}

}  // namespace

void rememberTerminal(int fd) {
  static const bool atExit = std::atexit(putBackAtExit) == 0;
  (void)atExit;
  for (std::size_t i = 0; i < std::size(fatalSignals); ++i) ::sigaction(fatalSignals[i], nullptr, &found[i]);
  remembering = true;
  if (::tcgetattr(fd, &remembered) != 0) return;
  terminalFd = fd;
  termios playing = remembered;
  playing.c_iflag &= ~static_cast<tcflag_t>(IXON);
  ::tcsetattr(fd, TCSANOW, &playing);
}

void guardTerminal(const std::string& leaveText) {
  leaveLength = std::min(leaveText.size(), sizeof leave);
  std::memcpy(leave, leaveText.data(), leaveLength);
  for (std::size_t i = 0; i < std::size(fatalSignals); ++i) {
    const int s = fatalSignals[i];
    const bool keptIgnored = (s == SIGHUP || s == SIGINT || s == SIGQUIT) && found[i].sa_handler == SIG_IGN;
    if (!keptIgnored) setAction(s, restoreAndReraise);
  }
}

void noteOnLeaving(const std::string& text) {
  noteLength = 0;
  const std::size_t length = std::min(text.size(), sizeof note);
  std::memcpy(note, text.data(), length);
  noteLength = static_cast<std::sig_atomic_t>(length);
}

void releaseTerminal() {
  if (remembering) {
    for (std::size_t i = 0; i < std::size(fatalSignals); ++i)
      ::sigaction(fatalSignals[i], &found[i], nullptr);
    remembering = false;
  }
  leaveLength = 0;
  if (terminalFd >= 0) ::tcsetattr(terminalFd, TCSANOW, &remembered);
  terminalFd = -1;
}
