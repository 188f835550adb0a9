// What the terminal tells beyond curses: a bounded wait for a key and a raw byte (for the replay's
// pacing), and its real size.
#pragma once

// Whether a key arrives on standard input within `milliseconds` (it is not taken).
bool keyArrivesWithin(int milliseconds);
// The next byte typed, read past curses so that nothing is refreshed; noInput when input ended.
constexpr int noInput = -1;
int nextInputByte();
// The terminal's real size, from the kernel (0 by 0 when standard output is not a terminal):
// LINES and COLUMNS in the environment may say otherwise.
struct TerminalSize {
  int columns;
  int rows;
};
TerminalSize terminalSize();
