// Waiting a bounded time for a key, a raw byte, and the terminal's size, straight from the file
// descriptors.
#include "screen/KeyWait.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

bool keyArrivesWithin(int milliseconds) {
  pollfd input{STDIN_FILENO, POLLIN, 0};
  // An interruption (a resize) ends the wait early; the caller simply waits again.
  return poll(&input, 1, milliseconds) > 0;
}

int nextInputByte() {
  unsigned char byte = 0;
  for (;;) {
    const ssize_t n = read(STDIN_FILENO, &byte, 1);
    if (n == 1) return byte;
    if (n == 0 || errno != EINTR) return noInput;
  }
}

TerminalSize terminalSize() {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0) return {0, 0};
  return {size.ws_col, size.ws_row};
}
