// What the replay's pacing needs from the terminal beyond the game's own operations.
#pragma once

// Whether a key arrives on standard input within `milliseconds` (it is not taken).
bool keyArrivesWithin(int milliseconds);
// The next byte typed, read past curses so that nothing is refreshed; noInput when input ended.
constexpr int noInput = -1;
int nextInputByte();
// The terminal's real number of rows (0 when standard output is not a terminal).
int terminalRows();
